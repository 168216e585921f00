// Tested by tests/voice/voice_wire_test.cpp.
#include "voice/voice_wire.h"

#include <algorithm>
#include <cstring>

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v >> 16));
    Put16(out, static_cast<uint16_t>(v));
}

bool ReadList(const uint8_t* data, size_t size, size_t& at, int8_t& count, std::vector<uint16_t>& list) {
    if (at >= size) return false;
    count = static_cast<int8_t>(data[at++]);
    list.clear();
    if (count <= 0) return true;
    size_t bytes = static_cast<size_t>(count) * 2;
    if (size - at < bytes) return false;
    for (int i = 0; i < count; ++i, at += 2) list.push_back(Get16(data + at));
    return true;
}

}  // namespace

bool ParseVoiceDatagram(const uint8_t* data, size_t size, VoiceDatagram& out) {
    if (size < 1 || size > kMaxReceivedDatagram) return false;
    const auto* nul = static_cast<const uint8_t*>(std::memchr(data + 1, 0, size - 1));
    if (!nul) return false;
    out.room.assign(reinterpret_cast<const char*>(data + 1), static_cast<size_t>(nul - (data + 1)));
    size_t at = static_cast<size_t>(nul - data) + 1;
    if (size - at < 3) return false;
    out.senderId = Get16(data + at);
    out.flag = data[at + 2] != 0;
    at += 3;
    if (!ReadList(data, size, at, out.countA, out.listA)) return false;
    if (!ReadList(data, size, at, out.countB, out.listB)) return false;
    out.payload = data + at;
    out.payloadLength = static_cast<int16_t>(size - at);
    return true;
}

size_t BuildVoiceDatagram(uint8_t* out, const std::string& room, uint16_t senderId, bool flag,
                          const uint16_t* listA, int countA, const uint16_t* listB, int countB,
                          const uint8_t* payload, int payloadLength) {
    countA = std::clamp(countA, 0, kMaxDatagramIds);
    countB = std::clamp(countB, 0, kMaxDatagramIds);
    if (!listA) countA = 0;
    if (!listB) countB = 0;
    if (!payload || payloadLength < 0) payloadLength = 0;
    if (room.find('\0') != std::string::npos) return 0;
    size_t size = 1 + room.size() + 1 + 2 + 1 + 1 + 2 * static_cast<size_t>(countA) + 1 +
                  2 * static_cast<size_t>(countB) + static_cast<size_t>(payloadLength);
    if (size > kMaxVoiceDatagram) return 0;
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    bytes.push_back(kVoiceMarker);
    bytes.insert(bytes.end(), room.begin(), room.end());
    bytes.push_back(0);
    Put16(bytes, senderId);
    bytes.push_back(flag ? 1 : 0);
    bytes.push_back(static_cast<uint8_t>(countA));
    for (int i = 0; i < countA; ++i) Put16(bytes, listA[i]);
    bytes.push_back(static_cast<uint8_t>(countB));
    for (int i = 0; i < countB; ++i) Put16(bytes, listB[i]);
    bytes.insert(bytes.end(), payload, payload + payloadLength);
    std::copy(bytes.begin(), bytes.end(), out);
    return bytes.size();
}

void VoiceItemReader::Append(const uint8_t* data, size_t size) {
    // Compact now and then, so the buffer holds at most one partial item.
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_start));
        m_start = 0;
    }
    m_buffer.insert(m_buffer.end(), data, data + size);
}

VoiceItemReader::Step VoiceItemReader::Next(VoiceItem& item) {
    while (m_start < m_buffer.size() && m_buffer[m_start] != kVoiceMarker) ++m_start;
    size_t available = m_buffer.size() - m_start;
    if (available < 2) return Step::NeedMore;
    const uint8_t* p = m_buffer.data() + m_start;
    item = VoiceItem{};
    item.type = p[1];
    if (item.type == voice_item::kIgnored || item.type == voice_item::kPing) {
        m_start += 2;
        return Step::Item;
    }
    if (available < 4) return Step::NeedMore;
    auto length = static_cast<int16_t>(Get16(p + 2));
    if (length < 0) return Step::Bad;
    if (available < 4 + static_cast<size_t>(length)) return Step::NeedMore;
    const uint8_t* value = p + 4;
    size_t need = 0;
    switch (item.type) {
        case voice_item::kOwnId:
        case voice_item::kMemberJoined:
        case voice_item::kMemberLeft:
        case voice_item::kMemberName:
            need = 2;
            break;
        case voice_item::kMemberValue1:
        case voice_item::kMemberValue2:
            need = 6;
            break;
        case voice_item::kMemberEndPoint:
            need = 8;
            break;
        default:
            break;
    }
    if (static_cast<size_t>(length) < need) return Step::Bad;
    if (need >= 2) item.id = Get16(value);
    if (item.type == voice_item::kMemberName)
        item.name.assign(reinterpret_cast<const char*>(value + 2), static_cast<size_t>(length) - 2);
    else if (need == 6)
        item.value = Get32(value + 2);
    else if (need == 8) {
        item.value = Get32(value + 2);
        item.port = Get16(value + 6);
    } else if (need == 0)
        item.raw.assign(value, value + length);
    m_start += 4 + static_cast<size_t>(length);
    return Step::Item;
}

void AppendVoiceItem(std::vector<uint8_t>& out, uint8_t type, const uint8_t* value, size_t length) {
    length = std::min<size_t>(length, VoiceItemReader::kMaxValue);
    out.push_back(kVoiceMarker);
    out.push_back(type);
    Put16(out, static_cast<uint16_t>(length));
    if (length) out.insert(out.end(), value, value + length);
}

void AppendVoiceItemU32(std::vector<uint8_t>& out, uint8_t type, uint32_t value) {
    std::vector<uint8_t> bytes;
    Put32(bytes, value);
    AppendVoiceItem(out, type, bytes.data(), bytes.size());
}

void AppendJoinItems(std::vector<uint8_t>& out, const std::string& room, const std::string& displayName,
                     uint32_t parameter1, uint32_t parameter2, const std::array<uint8_t, 12>& joinField) {
    std::vector<uint8_t> join(joinField.begin(), joinField.end());
    join.insert(join.end(), room.begin(), room.end());
    join.push_back(0);
    AppendVoiceItem(out, voice_item::kJoin, join.data(), join.size());
    AppendVoiceItem(out, voice_item::kDisplayName, reinterpret_cast<const uint8_t*>(displayName.data()),
                    displayName.size());
    AppendVoiceItemU32(out, voice_item::kJoinParameter1, parameter1);
    AppendVoiceItemU32(out, voice_item::kJoinParameter2, parameter2);
}

void AppendVoiceItemId(std::vector<uint8_t>& out, uint8_t type, uint16_t id) {
    std::vector<uint8_t> bytes;
    Put16(bytes, id);
    AppendVoiceItem(out, type, bytes.data(), bytes.size());
}

void AppendVoiceItemName(std::vector<uint8_t>& out, uint16_t id, const std::string& name) {
    std::vector<uint8_t> bytes;
    Put16(bytes, id);
    bytes.insert(bytes.end(), name.begin(), name.end());
    AppendVoiceItem(out, voice_item::kMemberName, bytes.data(), bytes.size());
}

void AppendVoiceItemEndPoint(std::vector<uint8_t>& out, uint16_t id, uint32_t address, uint16_t port) {
    std::vector<uint8_t> bytes;
    Put16(bytes, id);
    Put32(bytes, address);
    Put16(bytes, port);
    AppendVoiceItem(out, voice_item::kMemberEndPoint, bytes.data(), bytes.size());
}

RoomAddress SplitRoomAddress(const std::string& address) {
    RoomAddress out;
    size_t colon = address.find(':');
    size_t slash = address.find('/');
    if (colon != std::string::npos && slash != std::string::npos && slash < colon) colon = std::string::npos;
    std::string portText;
    if (colon == std::string::npos) {
        out.server = address.substr(0, slash);
    } else {
        out.server = address.substr(0, colon);
        portText = slash == std::string::npos ? address.substr(colon + 1)
                                              : address.substr(colon + 1, slash - colon - 1);
    }
    if (slash != std::string::npos) out.room = address.substr(slash + 1);
    if (portText.empty()) return out;
    uint32_t port = 0;
    for (char c : portText) {
        if (c < '0' || c > '9') break;
        port = port * 10 + static_cast<uint32_t>(c - '0');
        if (port > 65535) {
            port = 0;
            break;
        }
    }
    out.port = static_cast<uint16_t>(port);
    return out;
}
