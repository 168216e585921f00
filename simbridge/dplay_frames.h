// The wire formats of the DirectPlay 8 session the simulator joins: the
// enumeration query and response, the reliable layer's command and data
// frames (with coalesced payloads), and the core session messages that ride
// in data frames. Pure functions over bytes; every decoder checks each
// length, count and offset against the bytes it was given and answers false
// rather than read past them. All integers little-endian. Any thread.
// Tested by tests/simbridge/dplay_frames_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "simbridge/sim_session_transport.h"

namespace dplay {

using Bytes = std::vector<uint8_t>;
using ByteSpan = std::span<const uint8_t>;

// 1.5: coalesced payloads, no signing.
constexpr uint32_t kProtocolVersion = 0x00010005;
// The DirectPlay version a joining peer reports (DirectX 9).
constexpr uint32_t kDnetVersion = 8;

// --- enumeration (lead byte 0) ---------------------------------------------
constexpr uint8_t kEnumQuery = 0x02;
constexpr uint8_t kEnumResponse = 0x03;
constexpr uint32_t kSessionNoDpnsvr = 0x40;

struct EnumQuery {
    uint16_t payload = 0;
    bool hasApplication = false;
    SimGuid application;
    Bytes applicationPayload;
};

struct EnumResponse {
    uint16_t payload = 0;
    uint32_t flags = 0;
    uint32_t maxPlayers = 0;
    uint32_t currentPlayers = 0;
    std::u16string sessionName;
    Bytes applicationReserved;
    Bytes applicationData;
    SimGuid instance;
    SimGuid application;
};

Bytes EncodeEnumQuery(const EnumQuery& query);
bool DecodeEnumQuery(ByteSpan bytes, EnumQuery& query);
Bytes EncodeEnumResponse(const EnumResponse& response);
bool DecodeEnumResponse(ByteSpan bytes, EnumResponse& response);

// --- reliable layer: command frames -----------------------------------------
constexpr uint8_t kCommandCframe = 0x80;
constexpr uint8_t kCommandPoll = 0x08;
constexpr uint8_t kOpConnect = 0x01;
constexpr uint8_t kOpConnected = 0x02;
constexpr uint8_t kOpConnectedSigned = 0x03;
constexpr uint8_t kOpHardDisconnect = 0x04;
constexpr uint8_t kOpSack = 0x06;

// CONNECT, CONNECTED and HARD_DISCONNECT share one 12-byte layout.
struct ConnectFrame {
    uint8_t opcode = kOpConnect;
    bool poll = false;
    uint8_t messageId = 0;
    uint8_t responseId = 0;
    uint32_t version = kProtocolVersion;
    uint32_t sessionId = 0;
    uint32_t timestamp = 0;
};

constexpr uint8_t kSackResponse = 0x01;

struct SackFrame {
    bool poll = false;
    uint8_t flags = kSackResponse;  // the mask bits are set by the encoder
    uint8_t retry = 0;
    uint8_t nextSend = 0;
    uint8_t nextReceive = 0;
    uint32_t timestamp = 0;
    uint64_t sackMask = 0;
    uint64_t sendMask = 0;
};

Bytes EncodeConnectFrame(const ConnectFrame& frame);
// CONNECT, CONNECTED or HARD_DISCONNECT; a signed or unknown frame is false.
bool DecodeConnectFrame(ByteSpan bytes, ConnectFrame& frame);
Bytes EncodeSack(const SackFrame& frame);
bool DecodeSack(ByteSpan bytes, SackFrame& frame);

// --- reliable layer: data frames --------------------------------------------
constexpr uint8_t kCommandData = 0x01;
constexpr uint8_t kCommandReliable = 0x02;
constexpr uint8_t kCommandSequential = 0x04;
constexpr uint8_t kCommandNewMsg = 0x10;
constexpr uint8_t kCommandEndMsg = 0x20;
constexpr uint8_t kCommandUser1 = 0x40;  // a core session message
constexpr uint8_t kCommandUser2 = 0x80;

constexpr uint8_t kControlRetry = 0x01;
constexpr uint8_t kControlKeepAlive = 0x02;
constexpr uint8_t kControlCoalesce = 0x04;
constexpr uint8_t kControlEndStream = 0x08;
constexpr uint8_t kControlSack1 = 0x10;
constexpr uint8_t kControlSack2 = 0x20;
constexpr uint8_t kControlSend1 = 0x40;
constexpr uint8_t kControlSend2 = 0x80;

// The payload holds the session id of a keep-alive as its 4 bytes.
struct DataFrame {
    uint8_t command = kCommandData;
    uint8_t control = 0;  // the mask bits are set by the encoder
    uint8_t sequence = 0;
    uint8_t nextReceive = 0;
    uint64_t sackMask = 0;
    uint64_t sendMask = 0;
    Bytes payload;
};

Bytes EncodeDataFrame(const DataFrame& frame);
bool DecodeDataFrame(ByteSpan bytes, DataFrame& frame);

struct CoalescedPart {
    uint8_t command = 0;  // reliable, sequential and user bits of the part
    Bytes data;
};
bool DecodeCoalesced(ByteSpan payload, std::vector<CoalescedPart>& parts);

enum class DatagramKind { Enumeration, Data, Command, Invalid };
DatagramKind ClassifyDatagram(ByteSpan bytes);

// --- core session messages --------------------------------------------------
constexpr uint32_t kMsgPlayerConnectInfo = 0xC1;
constexpr uint32_t kMsgSendConnectInfo = 0xC2;
constexpr uint32_t kMsgAckConnectInfo = 0xC3;
constexpr uint32_t kMsgSendPlayerDpnid = 0xC4;
constexpr uint32_t kMsgConnectFailed = 0xC5;
constexpr uint32_t kMsgInstructConnect = 0xC6;
constexpr uint32_t kMsgInstructedConnectFailed = 0xC7;
constexpr uint32_t kMsgConnectAttemptFailed = 0xC8;
constexpr uint32_t kMsgNameTableVersion = 0xC9;
constexpr uint32_t kMsgAddPlayer = 0xD0;
constexpr uint32_t kMsgDestroyPlayer = 0xD1;
constexpr uint32_t kMsgTerminateSession = 0xDF;
constexpr uint32_t kMsgReqProcessCompletion = 0xE0;
constexpr uint32_t kMsgProcessCompletion = 0xE1;

constexpr uint32_t kObjectTypePeer = 0x04;

constexpr uint32_t kEntryLocal = 0x001;
constexpr uint32_t kEntryHost = 0x002;
constexpr uint32_t kEntryGroup = 0x010;
constexpr uint32_t kEntryPeer = 0x100;

constexpr uint32_t kDestroyNormal = 1;
constexpr uint32_t kDestroyConnectionLost = 2;

constexpr uint32_t kErrInvalidApplication = 0x80158300;
constexpr uint32_t kErrInvalidInstance = 0x80158380;
constexpr uint32_t kErrInvalidInterface = 0x80158390;

struct PlayerConnectInfo {
    uint32_t flags = kObjectTypePeer;
    uint32_t dnetVersion = kDnetVersion;  // 7 and above: the extended layout
    std::u16string name;                  // without its terminating NUL
    Bytes data;
    Bytes password;
    Bytes connectData;
    std::string url;
    SimGuid instance;
    SimGuid application;
    Bytes alternateAddresses;
};

struct NameTableEntry {
    uint32_t id = 0;
    uint32_t owner = 0;
    uint32_t flags = 0;
    uint32_t version = 0;
    uint32_t dnetVersion = kDnetVersion;
    std::u16string name;
    Bytes data;
    std::string url;
};

struct SendConnectInfo {
    Bytes reply;
    uint32_t flags = 0;
    uint32_t maxPlayers = 0;
    uint32_t currentPlayers = 0;
    std::u16string sessionName;
    Bytes password;
    Bytes reserved;
    Bytes applicationReserved;
    SimGuid instance;
    SimGuid application;
    uint32_t playerId = 0;
    uint32_t version = 0;
    std::vector<NameTableEntry> entries;  // memberships are read past, never sent
};

struct DestroyPlayer {
    uint32_t id = 0;
    uint32_t version = 0;
    uint32_t reason = kDestroyNormal;
};

struct ConnectFailed {
    uint32_t result = 0;
    Bytes reply;
};

// The type of a core message; false when shorter than 4 bytes.
bool MessageType(ByteSpan bytes, uint32_t& type);

Bytes EncodePlayerConnectInfo(const PlayerConnectInfo& info);
bool DecodePlayerConnectInfo(ByteSpan bytes, PlayerConnectInfo& info);
Bytes EncodeSendConnectInfo(const SendConnectInfo& info);
bool DecodeSendConnectInfo(ByteSpan bytes, SendConnectInfo& info);
Bytes EncodeAddPlayer(const NameTableEntry& entry);
bool DecodeAddPlayer(ByteSpan bytes, NameTableEntry& entry);
Bytes EncodeDestroyPlayer(const DestroyPlayer& message);
bool DecodeDestroyPlayer(ByteSpan bytes, DestroyPlayer& message);
Bytes EncodeConnectFailed(const ConnectFailed& message);
bool DecodeConnectFailed(ByteSpan bytes, ConnectFailed& message);
Bytes EncodeTerminateSession(const Bytes& data);
bool DecodeTerminateSession(ByteSpan bytes, Bytes& data);
// INSTRUCT_CONNECT: a player id and the name table version.
Bytes EncodeInstructConnect(uint32_t id, uint32_t version);
bool DecodeInstructConnect(ByteSpan bytes, uint32_t& id, uint32_t& version);
// The messages that are a type and one 32-bit value (a player id or a
// completion context); ACK_CONNECT_INFO is the type alone.
Bytes EncodeTypeAndValue(uint32_t type, uint32_t value);
bool DecodeTypeAndValue(ByteSpan bytes, uint32_t type, uint32_t& value);
Bytes EncodeTypeOnly(uint32_t type);

// --- addresses --------------------------------------------------------------
// "x-directplay:/provider=%7BEBFE7BA0-628D-11D2-AE0F-006097B01411%7D;hostname=a.b.c.d;port=n"
std::string BuildAddressUrl(uint32_t ip, uint16_t port);
// The IPv4 hostname and port of an address URL; false when either is missing.
bool ParseAddressUrl(const std::string& url, uint32_t& ip, uint16_t& port);

// 8-bit text (ISO 8859-1) to UTF-16 and back; characters beyond 0xFF become '?'.
std::u16string Widen(const std::string& text);
std::string Narrow(const std::u16string& text);

}  // namespace dplay
