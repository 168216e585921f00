// Tests of the voice wire formats: golden bytes of datagrams and join items,
// the readers' bounds, and room addresses.
#include "voice/voice_wire.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Hex(const uint8_t* data, size_t size) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        if (i) out += ' ';
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

TEST(VoiceDatagram, GoldenBytes) {
    uint8_t out[kMaxVoiceDatagram];
    const uint16_t a[] = {0x0102, 0x0304};
    const uint16_t b[] = {0x0506};
    const uint8_t payload[] = {0xAA, 0xBB};
    size_t n = BuildVoiceDatagram(out, "APP", 0x1234, true, a, 2, b, 1, payload, 2);
    EXPECT_EQ(Hex(out, n), "0f 41 50 50 00 12 34 01 02 01 02 03 04 01 05 06 aa bb");
    n = BuildVoiceDatagram(out, "ICDLH", 1, false, nullptr, 0, nullptr, 0, nullptr, 0);
    EXPECT_EQ(Hex(out, n), "0f 49 43 44 4c 48 00 00 01 00 00 00") << "a hello: no lists, no payload";
}

TEST(VoiceDatagram, TooBigToSendIsNotBuilt) {
    uint8_t out[kMaxVoiceDatagram];
    std::vector<uint8_t> payload(504, 1);
    EXPECT_EQ(BuildVoiceDatagram(out, "APP", 1, false, nullptr, 0, nullptr, 0, payload.data(), 502), 512u);
    EXPECT_EQ(BuildVoiceDatagram(out, "APP", 1, false, nullptr, 0, nullptr, 0, payload.data(), 503), 0u);
    EXPECT_EQ(BuildVoiceDatagram(out, std::string(600, 'x'), 1, false, nullptr, 0, nullptr, 0, nullptr, 0),
              0u);
    std::vector<uint16_t> ids(200, 7);
    size_t n = BuildVoiceDatagram(out, "A", 1, false, ids.data(), 200, nullptr, 0, nullptr, 0);
    EXPECT_EQ(out[6], 127) << "a count is a signed byte";
    EXPECT_EQ(n, 1 + 2 + 2 + 1 + 1 + 254 + 1u);
}

TEST(VoiceDatagram, Reading) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool ok;
        const char* room;
        int sender, flag, a, b, payload;
    };
    const Case cases[] = {
        {"full", Bytes({0x0F, 'A', 0, 0, 5, 1, 1, 0, 9, 1, 0, 8, 0xEE}), true, "A", 5, 1, 1, 1, 1},
        {"any marker is read", Bytes({0x33, 'B', 0, 0, 2, 0, 0, 0}), true, "B", 2, 0, 0, 0, 0},
        {"counts 0x80..0xFF are empty lists, their ids are payload",
         Bytes({0x0F, 0, 0, 1, 0, 0x80, 0xFF, 1, 2, 3, 4}), true, "", 1, 0, 0, 0, 4},
        {"no NUL behind the room", Bytes({0x0F, 'A', 'B'}), false, "", 0, 0, 0, 0, 0},
        {"header cut short", Bytes({0x0F, 'A', 0, 0, 1}), false, "", 0, 0, 0, 0, 0},
        {"list longer than the datagram", Bytes({0x0F, 0, 0, 1, 0, 5, 0, 1}), false, "", 0, 0, 0, 0, 0},
        {"second count missing", Bytes({0x0F, 0, 0, 1, 0, 1, 0, 1}), false, "", 0, 0, 0, 0, 0},
        {"empty", {}, false, "", 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VoiceDatagram d;
        ASSERT_EQ(ParseVoiceDatagram(c.bytes.data(), c.bytes.size(), d), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(d.room, c.room);
        EXPECT_EQ(d.senderId, c.sender);
        EXPECT_EQ(d.flag, c.flag != 0);
        EXPECT_EQ(d.listA.size(), static_cast<size_t>(c.a));
        EXPECT_EQ(d.listB.size(), static_cast<size_t>(c.b));
        EXPECT_EQ(d.payloadLength, c.payload);
    }
    std::vector<uint8_t> huge(kMaxReceivedDatagram + 1, 0);
    VoiceDatagram d;
    EXPECT_FALSE(ParseVoiceDatagram(huge.data(), huge.size(), d));
}

TEST(VoiceDatagram, RoundTrip) {
    uint8_t out[kMaxVoiceDatagram];
    const uint16_t a[] = {3, 4, 5};
    std::vector<uint8_t> block(86, 0x42);
    size_t n = BuildVoiceDatagram(out, "EDDF_TWR", 9, true, a, 3, nullptr, 0, block.data(), 86);
    VoiceDatagram d;
    ASSERT_TRUE(ParseVoiceDatagram(out, n, d));
    EXPECT_EQ(d.room, "EDDF_TWR");
    EXPECT_EQ(d.senderId, 9);
    EXPECT_TRUE(d.flag);
    EXPECT_EQ(d.listA, (std::vector<uint16_t>{3, 4, 5}));
    EXPECT_TRUE(d.listB.empty());
    ASSERT_EQ(d.payloadLength, 86);
    EXPECT_EQ(std::vector<uint8_t>(d.payload, d.payload + 86), block);
}

TEST(VoiceItems, JoinGoldenBytes) {
    std::vector<uint8_t> out;
    AppendJoinItems(out, "APP", "DLH (123)", 0, 0, {});
    EXPECT_EQ(Hex(out.data(), out.size()),
              "0f 00 00 10 00 00 00 00 00 00 00 00 00 00 00 00 41 50 50 00 "
              "0f 10 00 09 44 4c 48 20 28 31 32 33 29 "
              "0f 11 00 04 00 00 00 00 "
              "0f 12 00 04 00 00 00 00");
}

std::string ReadAllItems(VoiceItemReader& reader, bool& bad) {
    std::string out;
    VoiceItem item;
    for (;;) {
        auto step = reader.Next(item);
        if (step == VoiceItemReader::Step::NeedMore) break;
        if (step == VoiceItemReader::Step::Bad) {
            bad = true;
            break;
        }
        out += std::to_string(item.type) + "/" + std::to_string(item.id);
        if (!item.name.empty()) out += "/" + item.name;
        if (item.value) out += "/" + std::to_string(item.value);
        if (item.port) out += ":" + std::to_string(item.port);
        out += " ";
    }
    return out;
}

TEST(VoiceItems, StrayBytesAndOneByteReadsGiveTheSameItems) {
    std::vector<uint8_t> stream = Bytes({0x55, 0x00});
    AppendVoiceItemId(stream, voice_item::kOwnId, 4);
    AppendVoiceItemId(stream, voice_item::kMemberJoined, 0);
    AppendVoiceItemName(stream, 7, "EDDF_TWR");
    stream.push_back(0x0F);
    stream.push_back(0x15);
    AppendVoiceItemEndPoint(stream, 7, 0x7F000001, 3290);
    AppendVoiceItem(stream, voice_item::kMemberValue1, Bytes({0, 7, 0, 0, 0, 9}).data(), 6);
    AppendVoiceItem(stream, 0x30, Bytes({1, 2, 3}).data(), 3);
    const std::string expected = "2/4 10/0 12/7/EDDF_TWR 21/0 15/7/2130706433:3290 13/7/9 48/0 ";

    VoiceItemReader whole;
    whole.Append(stream.data(), stream.size());
    bool bad = false;
    EXPECT_EQ(ReadAllItems(whole, bad), expected);

    VoiceItemReader trickle;
    std::string got;
    for (uint8_t byte : stream) {
        trickle.Append(&byte, 1);
        got += ReadAllItems(trickle, bad);
    }
    EXPECT_EQ(got, expected);
    EXPECT_FALSE(bad);
    EXPECT_EQ(trickle.Buffered(), 0u);
}

TEST(VoiceItems, BadItemsStopTheStream) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"negative length", Bytes({0x0F, 0x30, 0x80, 0x00})},
        {"own id without its id", Bytes({0x0F, 0x02, 0x00, 0x01, 0x00})},
        {"end point cut short", Bytes({0x0F, 0x0F, 0x00, 0x04, 0, 1, 0, 0})},
        {"value item cut short", Bytes({0x0F, 0x0D, 0x00, 0x02, 0, 1})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VoiceItemReader reader;
        reader.Append(c.bytes.data(), c.bytes.size());
        VoiceItem item;
        EXPECT_EQ(reader.Next(item), VoiceItemReader::Step::Bad);
    }
}

TEST(RoomAddress, Split) {
    struct Case {
        const char* text;
        const char* server;
        int port;
        const char* room;
    };
    const Case cases[] = {
        {"10.0.0.1/APP", "10.0.0.1", 3782, "APP"}, {"10.0.0.1:4000/APP", "10.0.0.1", 4000, "APP"},
        {"10.0.0.1", "10.0.0.1", 3782, ""},        {"voice.example:/R", "voice.example", 3782, "R"},
        {"host:12ab/R", "host", 12, "R"},          {"host:x/R", "host", 0, "R"},
        {"host:99999/R", "host", 0, "R"},          {"host:4000", "host", 4000, ""},
        {"host/R:1", "host", 3782, "R:1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto a = SplitRoomAddress(c.text);
        EXPECT_EQ(a.server, c.server);
        EXPECT_EQ(a.port, c.port);
        EXPECT_EQ(a.room, c.room);
    }
}

}  // namespace
