// The two voice formats on the wire: the voice datagram (UDP, speech between
// clients, servers and peers) and the voice-server item (TCP, room membership),
// and the room address that names a voice room. All integers big-endian.
// Both come from outside: every length is checked against what arrived.
// Tested by tests/voice/voice_wire_test.cpp and the two wire fuzzers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint16_t kVoiceUdpPort = 3290;
inline constexpr uint16_t kVoiceServerPort = 3782;
inline constexpr uint8_t kVoiceMarker = 0x0F;
// A sender builds a datagram in this many bytes; a receiver reads up to the larger.
inline constexpr size_t kMaxVoiceDatagram = 512;
inline constexpr size_t kMaxReceivedDatagram = 2048;
// A count is a signed byte.
inline constexpr int kMaxDatagramIds = 127;

// A parsed datagram; payload points into the bytes it was read from.
struct VoiceDatagram {
    std::string room;
    uint16_t senderId = 0;
    bool flag = false;
    int8_t countA = 0;
    int8_t countB = 0;
    std::vector<uint16_t> listA;
    std::vector<uint16_t> listB;
    const uint8_t* payload = nullptr;
    int16_t payloadLength = 0;
};

// False when the room name has no NUL or the header and lists do not fit in
// the bytes (the datagram is then dropped), or it is longer than a receiver reads.
bool ParseVoiceDatagram(const uint8_t* data, size_t size, VoiceDatagram& out);

// Writes one datagram into out (kMaxVoiceDatagram bytes); returns its size,
// or 0 when it would not fit. Counts of 0 or less send an empty list.
size_t BuildVoiceDatagram(uint8_t* out, const std::string& room, uint16_t senderId, bool flag,
                          const uint16_t* listA, int countA, const uint16_t* listB, int countB,
                          const uint8_t* payload, int payloadLength);

// Voice-server item types.
namespace voice_item {
inline constexpr uint8_t kJoin = 0x00;
inline constexpr uint8_t kOwnId = 0x02;
inline constexpr uint8_t kMemberJoined = 0x0A;
inline constexpr uint8_t kMemberLeft = 0x0B;
inline constexpr uint8_t kMemberName = 0x0C;
inline constexpr uint8_t kMemberValue1 = 0x0D;
inline constexpr uint8_t kMemberValue2 = 0x0E;
inline constexpr uint8_t kMemberEndPoint = 0x0F;
inline constexpr uint8_t kDisplayName = 0x10;
inline constexpr uint8_t kJoinParameter1 = 0x11;
inline constexpr uint8_t kJoinParameter2 = 0x12;
inline constexpr uint8_t kIgnored = 0x14;
inline constexpr uint8_t kPing = 0x15;
}  // namespace voice_item

struct VoiceItem {
    uint8_t type = 0;
    uint16_t id = 0;
    std::string name;          // 0x0C
    uint32_t value = 0;        // 0x0D, 0x0E; the address of 0x0F
    uint16_t port = 0;         // 0x0F
    std::vector<uint8_t> raw;  // the value of a type the client does not read
};

// Cuts the TCP stream into items, however the bytes arrive.
class VoiceItemReader {
public:
    enum class Step { Item, NeedMore, Bad };
    // An item longer than this is not one a voice server sends.
    static constexpr int kMaxValue = 0x7FFF;

    void Append(const uint8_t* data, size_t size);
    // Bad: a negative length, or a value too short for its type; the stream
    // cannot be trusted after it.
    Step Next(VoiceItem& item);
    size_t Buffered() const { return m_buffer.size() - m_start; }

private:
    std::vector<uint8_t> m_buffer;
    size_t m_start = 0;
};

void AppendVoiceItem(std::vector<uint8_t>& out, uint8_t type, const uint8_t* value, size_t length);
void AppendVoiceItemU32(std::vector<uint8_t>& out, uint8_t type, uint32_t value);
// The four join items that open every connection.
void AppendJoinItems(std::vector<uint8_t>& out, const std::string& room, const std::string& displayName,
                     uint32_t parameter1, uint32_t parameter2, const std::array<uint8_t, 12>& joinField);

// Server items, for the voice servers of tests and demos.
void AppendVoiceItemId(std::vector<uint8_t>& out, uint8_t type, uint16_t id);
void AppendVoiceItemName(std::vector<uint8_t>& out, uint16_t id, const std::string& name);
void AppendVoiceItemEndPoint(std::vector<uint8_t>& out, uint16_t id, uint32_t address, uint16_t port);

// "server[:port]/room".
struct RoomAddress {
    std::string server;
    uint16_t port = kVoiceServerPort;
    std::string room;
};
// A port text that is no number below 65536 gives port 0, which connects nowhere.
RoomAddress SplitRoomAddress(const std::string& address);
