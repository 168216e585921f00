// Tests of the DirectPlay 8 wire formats against the byte examples of the
// published protocol specifications (the reliable layer's connection
// sequence, a data frame and its acknowledgement; the session's player
// connect information and the host's connect information reply), and of the
// decoders' handling of truncated and inconsistent input.
#include "simbridge/dplay_frames.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace dplay;

namespace {

Bytes Hex(const std::string& text) {
    std::istringstream in(text);
    Bytes bytes;
    unsigned value = 0;
    while (in >> std::hex >> value) bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

// The data frames of the session examples, from their UDP payload on.
const char* const kConnectInfoEx =
    "7F 00 01 00 C1 00 00 00 04 00 00 00 08 00 00 00 60 00 00 00 14 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 23 81 BE 94 AB A1 FB 48 "
    "A2 E7 23 85 9E 65 89 36 DA 80 EF 61 1B 69 47 42 9A DD 1C 7B ED 2B C1 3E 58 00 00 00 08 00 00 00 "
    "07 02 08 FE 41 34 EF 3D 54 00 65 00 73 00 74 00 20 00 55 00 73 00 65 00 72 00 00 00 ";
const char* const kSendConnectInfo =
    "7F 00 01 02 C2 00 00 00 00 00 00 00 00 00 00 00 50 00 00 00 04 00 00 00 00 00 00 00 02 00 00 00 "
    "56 01 00 00 1A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "23 81 BE 94 AB A1 FB 48 A2 E7 23 85 9E 65 89 36 DA 80 EF 61 1B 69 47 42 9A DD 1C 7B ED 2B C1 3E "
    "20 81 8E 94 03 00 00 00 00 00 00 00 02 00 00 00 00 00 00 00 21 81 9E 94 00 00 00 00 02 01 00 00 "
    "02 00 00 00 00 00 00 00 07 00 00 00 42 01 00 00 14 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 20 81 8E 94 00 00 00 00 00 01 00 00 03 00 00 00 00 00 00 00 08 00 00 00 2E 01 00 00 "
    "14 00 00 00 00 00 00 00 00 00 00 00 CC 00 00 00 62 00 00 00 78 2D 64 69 72 65 63 74 70 6C 61 79 "
    "3A 2F 70 72 6F 76 69 64 65 72 3D 25 37 42 45 42 46 45 37 42 41 30 2D 36 32 38 44 2D 31 31 44 32 "
    "2D 41 45 30 46 2D 30 30 36 30 39 37 42 30 31 34 31 31 25 37 44 3B 68 6F 73 74 6E 61 6D 65 3D 36 "
    "35 2E 35 32 2E 32 33 39 2E 36 31 3B 70 6F 72 74 3D 32 33 30 32 00 54 00 65 00 73 00 74 00 20 00 "
    "55 00 73 00 65 00 72 00 00 00 54 00 65 00 73 00 74 00 20 00 55 00 73 00 65 00 72 00 00 00 54 00 "
    "65 00 73 00 74 00 20 00 53 00 65 00 73 00 73 00 69 00 6F 00 6E 00 00 00 ";

const SimGuid kExampleInstance = {
    0x94BE8123, 0xA1AB, 0x48FB, {0xA2, 0xE7, 0x23, 0x85, 0x9E, 0x65, 0x89, 0x36}};
const SimGuid kExampleApplication = {
    0x61EF80DA, 0x691B, 0x4247, {0x9A, 0xDD, 0x1C, 0x7B, 0xED, 0x2B, 0xC1, 0x3E}};

bool operator==(const SimGuid& a, const SimGuid& b) {
    return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
           std::equal(std::begin(a.data4), std::end(a.data4), std::begin(b.data4));
}

struct CommandCase {
    const char* name;
    const char* bytes;
    ConnectFrame frame;
};

class ConnectFrameExamples : public testing::TestWithParam<CommandCase> {};

TEST_P(ConnectFrameExamples, DecodeAndEncodeByteForByte) {
    const CommandCase& c = GetParam();
    ConnectFrame decoded;
    ASSERT_TRUE(DecodeConnectFrame(Hex(c.bytes), decoded));
    EXPECT_EQ(decoded.opcode, c.frame.opcode);
    EXPECT_EQ(decoded.poll, c.frame.poll);
    EXPECT_EQ(decoded.messageId, c.frame.messageId);
    EXPECT_EQ(decoded.responseId, c.frame.responseId);
    EXPECT_EQ(decoded.version, c.frame.version);
    EXPECT_EQ(decoded.sessionId, c.frame.sessionId);
    EXPECT_EQ(decoded.timestamp, c.frame.timestamp);
    EXPECT_EQ(EncodeConnectFrame(c.frame), Hex(c.bytes));
}

INSTANTIATE_TEST_SUITE_P(
    ConnectionSequence, ConnectFrameExamples,
    testing::Values(CommandCase{"connect",
                                "88 01 00 00 06 00 01 00 C6 AE C9 79 9D 36 67 23",
                                {kOpConnect, true, 0, 0, 0x00010006, 0x79C9AEC6, 0x2367369D}},
                    CommandCase{"listener_connected",
                                "88 02 00 00 06 00 01 00 C6 AE C9 79 E1 DF 04 00",
                                {kOpConnected, true, 0, 0, 0x00010006, 0x79C9AEC6, 0x0004DFE1}},
                    CommandCase{"connector_connected",
                                "80 02 01 00 06 00 01 00 C6 AE C9 79 9D 36 67 23",
                                {kOpConnected, false, 1, 0, 0x00010006, 0x79C9AEC6, 0x2367369D}},
                    CommandCase{"hard_disconnect",
                                "80 04 02 05 05 00 01 00 C6 AE C9 79 00 00 00 00",
                                {kOpHardDisconnect, false, 2, 5, 0x00010005, 0x79C9AEC6, 0}}),
    [](const testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

struct DataCase {
    const char* name;
    const char* bytes;
    uint8_t command, control, sequence, nextReceive;
    uint64_t sackMask, sendMask;
    const char* payload;
};

class DataFrameExamples : public testing::TestWithParam<DataCase> {};

TEST_P(DataFrameExamples, DecodeAndEncodeByteForByte) {
    const DataCase& c = GetParam();
    DataFrame decoded;
    ASSERT_TRUE(DecodeDataFrame(Hex(c.bytes), decoded));
    EXPECT_EQ(decoded.command, c.command);
    EXPECT_EQ(decoded.control, c.control);
    EXPECT_EQ(decoded.sequence, c.sequence);
    EXPECT_EQ(decoded.nextReceive, c.nextReceive);
    EXPECT_EQ(decoded.sackMask, c.sackMask);
    EXPECT_EQ(decoded.sendMask, c.sendMask);
    EXPECT_EQ(decoded.payload, Hex(c.payload));
    EXPECT_EQ(EncodeDataFrame(decoded), Hex(c.bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DataFrameExamples,
    testing::Values(
        // A keep-alive carries the session id as its payload.
        DataCase{"keep_alive", "3F 02 00 00 C6 AE C9 79", 0x3F, kControlKeepAlive, 0, 0, 0, 0, "C6 AE C9 79"},
        DataCase{"unreliable_data", "3D 00 05 03 01 41 42 43 44 45", 0x3D, 0, 5, 3, 0, 0,
                 "01 41 42 43 44 45"},
        // Masks follow the header in the order SACK low, SACK high, send low, send high.
        DataCase{"all_masks", "07 F0 10 0C 01 00 00 00 00 00 00 80 02 00 00 00 00 00 00 40 AA", 0x07, 0xF0,
                 0x10, 0x0C, 0x8000000000000001ull, 0x4000000000000002ull, "AA"},
        DataCase{"send_mask_only", "03 48 09 01 04 00 00 00", 0x03, kControlEndStream | kControlSend1, 9, 1,
                 0, 4, ""}),
    [](const testing::TestParamInfo<DataCase>& info) { return std::string(info.param.name); });

TEST(DplaySack, ExampleAcknowledgementDecodesAndEncodes) {
    const Bytes bytes = Hex("80 06 01 00 03 06 00 00 07 5D 11 00");
    SackFrame sack;
    ASSERT_TRUE(DecodeSack(bytes, sack));
    EXPECT_EQ(sack.flags, kSackResponse);
    EXPECT_EQ(sack.retry, 0);
    EXPECT_EQ(sack.nextSend, 3);
    EXPECT_EQ(sack.nextReceive, 6);
    EXPECT_EQ(sack.timestamp, 0x00115D07u);
    EXPECT_EQ(EncodeSack(sack), bytes);

    sack.sackMask = 0x100000000ull;
    sack.sendMask = 0x3;
    const Bytes masked = EncodeSack(sack);
    EXPECT_EQ(masked, Hex("80 06 0D 00 03 06 00 00 07 5D 11 00 01 00 00 00 03 00 00 00"));
    SackFrame back;
    ASSERT_TRUE(DecodeSack(masked, back));
    EXPECT_EQ(back.sackMask, 0x100000000ull);
    EXPECT_EQ(back.sendMask, 0x3u);
}

TEST(DplayCoalesced, PartsAreSplitWithTheirPadding) {
    // Three parts: 3 bytes reliable, 4 bytes, 1 byte (last); odd header count pads 2 bytes.
    const Bytes payload = Hex("03 02 04 00 01 41 00 00 AA BB CC 00 11 22 33 44 99");
    std::vector<CoalescedPart> parts;
    ASSERT_TRUE(DecodeCoalesced(payload, parts));
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].data, Hex("AA BB CC"));
    EXPECT_EQ(parts[0].command, kCommandReliable);
    EXPECT_EQ(parts[1].data, Hex("11 22 33 44"));
    EXPECT_EQ(parts[2].data, Hex("99"));
    EXPECT_EQ(parts[2].command, kCommandUser1);
    // A size beyond the frame, and headers that never end, are refused.
    EXPECT_FALSE(DecodeCoalesced(Hex("09 01 00 00 AA"), parts));
    EXPECT_FALSE(DecodeCoalesced(Bytes(80, 0x02), parts));
}

TEST(DplayCoreMessages, PlayerConnectInfoExampleDecodesAndEncodes) {
    const Bytes frame = Hex(kConnectInfoEx);
    DataFrame data;
    ASSERT_TRUE(DecodeDataFrame(frame, data));
    EXPECT_EQ(data.command, 0x7F);  // reliable core message, one frame
    EXPECT_EQ(data.sequence, 1);
    PlayerConnectInfo info;
    ASSERT_TRUE(DecodePlayerConnectInfo(data.payload, info));
    EXPECT_EQ(info.flags, kObjectTypePeer);
    EXPECT_EQ(info.dnetVersion, 8u);
    EXPECT_EQ(info.name, u"Test User");
    EXPECT_TRUE(info.data.empty());
    EXPECT_TRUE(info.connectData.empty());
    EXPECT_TRUE(info.url.empty());
    EXPECT_TRUE(info.instance == kExampleInstance);
    EXPECT_TRUE(info.application == kExampleApplication);
    EXPECT_EQ(info.alternateAddresses, Hex("07 02 08 FE 41 34 EF 3D"));
    EXPECT_EQ(EncodePlayerConnectInfo(info), data.payload);
}

TEST(DplayCoreMessages, SendConnectInfoExampleDecodesAndEncodes) {
    DataFrame data;
    ASSERT_TRUE(DecodeDataFrame(Hex(kSendConnectInfo), data));
    SendConnectInfo info;
    ASSERT_TRUE(DecodeSendConnectInfo(data.payload, info));
    EXPECT_EQ(info.flags, 0x04u);
    EXPECT_EQ(info.currentPlayers, 2u);
    EXPECT_EQ(info.sessionName, u"Test Session");
    EXPECT_TRUE(info.instance == kExampleInstance);
    EXPECT_EQ(info.playerId, 0x948E8120u);
    EXPECT_EQ(info.version, 3u);
    ASSERT_EQ(info.entries.size(), 2u);
    EXPECT_EQ(info.entries[0].id, 0x949E8121u);
    EXPECT_EQ(info.entries[0].flags, kEntryHost | kEntryPeer);
    EXPECT_EQ(info.entries[0].dnetVersion, 7u);
    EXPECT_EQ(info.entries[0].name, u"Test User");
    EXPECT_TRUE(info.entries[0].url.empty());
    EXPECT_EQ(info.entries[1].flags, kEntryPeer);
    EXPECT_EQ(info.entries[1].version, 3u);
    EXPECT_EQ(info.entries[1].url, BuildAddressUrl(0x4134EF3D, 2302));
    // The host lays the variable fields out from the end, as the example shows.
    EXPECT_EQ(EncodeSendConnectInfo(info), data.payload);
}

TEST(DplayCoreMessages, SmallMessagesRoundTrip) {
    NameTableEntry entry;
    entry.id = 0x12345678;
    entry.flags = kEntryPeer;
    entry.version = 9;
    entry.name = u"DLH123";
    entry.data = {4, 0, 0, 0, 'B', '7', '3', '7', 0, 0, 0, 0};
    entry.url = BuildAddressUrl(0x7F000001, 50123);
    NameTableEntry back;
    ASSERT_TRUE(DecodeAddPlayer(EncodeAddPlayer(entry), back));
    EXPECT_EQ(back.id, entry.id);
    EXPECT_EQ(back.name, entry.name);
    EXPECT_EQ(back.data, entry.data);
    EXPECT_EQ(back.url, entry.url);

    EXPECT_EQ(EncodeDestroyPlayer({0x11223344, 5, kDestroyConnectionLost}),
              Hex("D1 00 00 00 44 33 22 11 05 00 00 00 00 00 00 00 02 00 00 00"));
    EXPECT_EQ(EncodeInstructConnect(0x11223344, 6), Hex("C6 00 00 00 44 33 22 11 06 00 00 00 00 00 00 00"));
    EXPECT_EQ(EncodeTerminateSession({}), Hex("DF 00 00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(EncodeConnectFailed({kErrInvalidApplication, {}}),
              Hex("C5 00 00 00 00 83 15 80 00 00 00 00 00 00 00 00"));
}

TEST(DplayCoreMessages, EveryTruncationOfTheExamplesIsRefused) {
    DataFrame connect, reply;
    ASSERT_TRUE(DecodeDataFrame(Hex(kConnectInfoEx), connect));
    ASSERT_TRUE(DecodeDataFrame(Hex(kSendConnectInfo), reply));
    for (size_t size = 0; size < connect.payload.size(); ++size) {
        PlayerConnectInfo info;
        EXPECT_FALSE(DecodePlayerConnectInfo(ByteSpan(connect.payload.data(), size), info)) << size;
    }
    for (size_t size = 0; size < reply.payload.size(); ++size) {
        SendConnectInfo info;
        EXPECT_FALSE(DecodeSendConnectInfo(ByteSpan(reply.payload.data(), size), info)) << size;
    }
}

struct CorruptCase {
    const char* name;
    size_t at;       // byte of the reply's payload to overwrite
    uint32_t value;  // little-endian
};

class CorruptConnectInfo : public testing::TestWithParam<CorruptCase> {};

TEST_P(CorruptConnectInfo, IsRefused) {
    DataFrame reply;
    ASSERT_TRUE(DecodeDataFrame(Hex(kSendConnectInfo), reply));
    Bytes payload = reply.payload;
    for (int i = 0; i < 4; ++i)
        payload[GetParam().at + i] = static_cast<uint8_t>(GetParam().value >> (8 * i));
    SendConnectInfo info;
    EXPECT_FALSE(DecodeSendConnectInfo(payload, info));
}

INSTANTIATE_TEST_SUITE_P(Fields, CorruptConnectInfo,
                         testing::Values(CorruptCase{"session_name_past_end", 0x1C, 0x1000},
                                         CorruptCase{"session_name_size_wraps", 0x20, 0xFFFFFFF0},
                                         CorruptCase{"entry_count_beyond_data", 0x68, 0x10000000},
                                         CorruptCase{"membership_count_beyond_data", 0x6C, 1000},
                                         CorruptCase{"entry_url_past_end", 0x70 + 48 + 40, 0x7FFFFFFF},
                                         CorruptCase{"description_size", 0x0C, 0x48}),
                         [](const testing::TestParamInfo<CorruptCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(DplayEnumeration, QueryAndResponseRoundTrip) {
    EnumQuery query;
    query.payload = 0x1234;
    query.hasApplication = true;
    query.application = kExampleApplication;
    const Bytes queryBytes = EncodeEnumQuery(query);
    EXPECT_EQ(Bytes(queryBytes.begin(), queryBytes.begin() + 5), Hex("00 02 34 12 01"));
    EnumQuery backQuery;
    ASSERT_TRUE(DecodeEnumQuery(queryBytes, backQuery));
    EXPECT_TRUE(backQuery.application == kExampleApplication);
    EXPECT_FALSE(DecodeEnumQuery(Hex("00 02 34 12 01 DA 80"), backQuery));
    EXPECT_FALSE(DecodeEnumQuery(Hex("00 02 34 12 07"), backQuery));

    EnumResponse response;
    response.payload = 0x1234;
    response.flags = kSessionNoDpnsvr;
    response.currentPlayers = 3;
    response.sessionName = u"Wrenlow (box)";
    response.applicationReserved = Bytes(16, 0);
    response.instance = kExampleInstance;
    response.application = kExampleApplication;
    const Bytes bytes = EncodeEnumResponse(response);
    // Session name right after the fixed part, offsets counted from byte 4.
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 16),
              Hex("00 03 34 12 00 00 00 00 00 00 00 00 50 00 00 00"));
    EXPECT_EQ(bytes[28], 88);
    EnumResponse back;
    ASSERT_TRUE(DecodeEnumResponse(bytes, back));
    EXPECT_EQ(back.sessionName, response.sessionName);
    EXPECT_EQ(back.currentPlayers, 3u);
    EXPECT_EQ(back.applicationReserved.size(), 16u);
    EXPECT_TRUE(back.instance == kExampleInstance);
    for (size_t size = 0; size < bytes.size(); ++size)
        EXPECT_FALSE(DecodeEnumResponse(ByteSpan(bytes.data(), size), back)) << size;
}

TEST(DplayAddressUrl, ParsesHostnameAndPort) {
    uint32_t ip = 0;
    uint16_t port = 0;
    ASSERT_TRUE(ParseAddressUrl(BuildAddressUrl(0x7F000001, 23457), ip, port));
    EXPECT_EQ(ip, 0x7F000001u);
    EXPECT_EQ(port, 23457);
    EXPECT_TRUE(ParseAddressUrl("x-directplay:/port=2302;hostname=10.0.0.2#user", ip, port));
    EXPECT_EQ(ip, 0x0A000002u);
    for (const char* bad : {"x-directplay://hostname=1.2.3.4;port=5", "x-directplay:/hostname=1.2.3.4",
                            "x-directplay:/hostname=box;port=5", "x-directplay:/hostname=1.2.3.4;port=70000",
                            "http:/hostname=1.2.3.4;port=5"})
        EXPECT_FALSE(ParseAddressUrl(bad, ip, port)) << bad;
}

}  // namespace
