// Tested by tests/simbridge/dplay_frames_test.cpp.
#include "simbridge/dplay_frames.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

namespace dplay {
namespace {

class Writer {
public:
    explicit Writer(Bytes& out) : m_out(out) {}
    void U8(uint8_t v) { m_out.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
    }
    void Guid(const SimGuid& g) {
        U32(g.data1);
        U16(g.data2);
        U16(g.data3);
        Raw(ByteSpan(g.data4, 8));
    }
    void Raw(ByteSpan bytes) { m_out.insert(m_out.end(), bytes.begin(), bytes.end()); }

private:
    Bytes& m_out;
};

// Reads forward; once a read runs past the end every later read fails too.
class Reader {
public:
    explicit Reader(ByteSpan bytes) : m_bytes(bytes) {}
    bool Ok() const { return m_ok; }
    size_t Left() const { return m_ok ? m_bytes.size() - m_at : 0; }
    size_t At() const { return m_at; }
    uint8_t U8() { return Need(1) ? m_bytes[m_at++] : 0; }
    uint16_t U16() {
        if (!Need(2)) return 0;
        const uint16_t v = static_cast<uint16_t>(m_bytes[m_at] | m_bytes[m_at + 1] << 8);
        m_at += 2;
        return v;
    }
    uint32_t U32() {
        if (!Need(4)) return 0;
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(m_bytes[m_at + i]) << (8 * i);
        m_at += 4;
        return v;
    }
    SimGuid Guid() {
        SimGuid g;
        g.data1 = U32();
        g.data2 = U16();
        g.data3 = U16();
        if (Need(8)) {
            std::memcpy(g.data4, m_bytes.data() + m_at, 8);
            m_at += 8;
        }
        return g;
    }
    Bytes Rest() {
        if (!m_ok) return {};
        Bytes rest(m_bytes.begin() + static_cast<ptrdiff_t>(m_at), m_bytes.end());
        m_at = m_bytes.size();
        return rest;
    }
    void Skip(size_t n) {
        if (Need(n)) m_at += n;
    }

private:
    bool Need(size_t n) {
        if (m_ok && m_bytes.size() - m_at >= n) return true;
        m_ok = false;
        return false;
    }
    ByteSpan m_bytes;
    size_t m_at = 0;
    bool m_ok = true;
};

void PutU32(Bytes& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

Bytes WideBytes(const std::u16string& text) {
    Bytes out;
    if (text.empty()) return out;
    for (char16_t c : text) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

Bytes NarrowBytes(const std::string& text) {
    Bytes out(text.begin(), text.end());
    if (!text.empty()) out.push_back(0);
    return out;
}

std::u16string FromWide(const Bytes& bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

std::string FromNarrow(const Bytes& bytes) {
    std::string text;
    for (uint8_t b : bytes) {
        if (b == 0) break;
        text.push_back(static_cast<char>(b));
    }
    return text;
}

// A field placed by offset and size; offsets count from base within bytes.
// An offset of 0 means no field.
bool Field(ByteSpan bytes, size_t base, uint32_t offset, uint32_t size, Bytes& out) {
    out.clear();
    if (offset == 0) return true;
    const uint64_t start = static_cast<uint64_t>(base) + offset;
    if (start > bytes.size() || size > bytes.size() - start) return false;
    out.assign(bytes.begin() + static_cast<ptrdiff_t>(start),
               bytes.begin() + static_cast<ptrdiff_t>(start + size));
    return true;
}

// Lays variable fields out forward after a fixed part: each Add answers the
// offset (from base) and size to write into the fixed part.
class ForwardPacker {
public:
    ForwardPacker(Bytes& out, size_t base) : m_out(out), m_base(base) {}
    void Add(const Bytes& field, size_t offsetAt) {
        if (field.empty()) return;
        PutU32(m_out, offsetAt, static_cast<uint32_t>(m_out.size() - m_base));
        PutU32(m_out, offsetAt + 4, static_cast<uint32_t>(field.size()));
        m_out.insert(m_out.end(), field.begin(), field.end());
    }

private:
    Bytes& m_out;
    size_t m_base;
};

// Lays variable fields out backward from the end of a buffer already sized
// for them, the order the session's hosts use for the connect information.
class BackwardPacker {
public:
    BackwardPacker(Bytes& out, size_t base) : m_out(out), m_base(base), m_end(out.size()) {}
    void Add(const Bytes& field, size_t offsetAt) {
        if (field.empty()) return;
        m_end -= field.size();
        std::copy(field.begin(), field.end(), m_out.begin() + static_cast<ptrdiff_t>(m_end));
        PutU32(m_out, offsetAt, static_cast<uint32_t>(m_end - m_base));
        PutU32(m_out, offsetAt + 4, static_cast<uint32_t>(field.size()));
    }

private:
    Bytes& m_out;
    size_t m_base;
    size_t m_end;
};

constexpr size_t kEntrySize = 48;

void WriteEntryFixed(Writer& w, const NameTableEntry& e) {
    w.U32(e.id);
    w.U32(e.owner);
    w.U32(e.flags);
    w.U32(e.version);
    w.U32(0);
    w.U32(e.dnetVersion);
    for (int i = 0; i < 6; ++i) w.U32(0);  // name, data, url: offset and size
}

bool ReadEntry(ByteSpan bytes, size_t base, Reader& r, NameTableEntry& e) {
    e.id = r.U32();
    e.owner = r.U32();
    e.flags = r.U32();
    e.version = r.U32();
    r.U32();
    e.dnetVersion = r.U32();
    const uint32_t nameOffset = r.U32(), nameSize = r.U32();
    const uint32_t dataOffset = r.U32(), dataSize = r.U32();
    const uint32_t urlOffset = r.U32(), urlSize = r.U32();
    if (!r.Ok()) return false;
    Bytes name, url;
    if (!Field(bytes, base, nameOffset, nameSize, name) ||
        !Field(bytes, base, dataOffset, dataSize, e.data) || !Field(bytes, base, urlOffset, urlSize, url))
        return false;
    e.name = FromWide(name);
    e.url = FromNarrow(url);
    return true;
}

}  // namespace

// --- enumeration -------------------------------------------------------------

Bytes EncodeEnumQuery(const EnumQuery& query) {
    Bytes out;
    Writer w(out);
    w.U8(0);
    w.U8(kEnumQuery);
    w.U16(query.payload);
    w.U8(query.hasApplication ? 0x01 : 0x02);
    if (query.hasApplication) w.Guid(query.application);
    w.Raw(query.applicationPayload);
    return out;
}

bool DecodeEnumQuery(ByteSpan bytes, EnumQuery& query) {
    Reader r(bytes);
    if (r.U8() != 0 || r.U8() != kEnumQuery) return false;
    query.payload = r.U16();
    const uint8_t type = r.U8();
    if (!r.Ok() || (type != 0x01 && type != 0x02)) return false;
    query.hasApplication = type == 0x01;
    if (query.hasApplication) query.application = r.Guid();
    if (!r.Ok()) return false;
    query.applicationPayload = r.Rest();
    return true;
}

Bytes EncodeEnumResponse(const EnumResponse& response) {
    Bytes out;
    Writer w(out);
    w.U8(0);
    w.U8(kEnumResponse);
    w.U16(response.payload);
    const size_t replyAt = out.size();
    w.U32(0);  // reply offset and size
    w.U32(0);
    w.U32(0x50);
    w.U32(response.flags);
    w.U32(response.maxPlayers);
    w.U32(response.currentPlayers);
    const size_t nameAt = out.size();
    for (int i = 0; i < 8; ++i) w.U32(0);  // name, password, reserved, application reserved
    w.Guid(response.instance);
    w.Guid(response.application);
    ForwardPacker p(out, 4);
    p.Add(WideBytes(response.sessionName), nameAt);
    p.Add(response.applicationReserved, nameAt + 24);
    p.Add(response.applicationData, replyAt);
    return out;
}

bool DecodeEnumResponse(ByteSpan bytes, EnumResponse& response) {
    Reader r(bytes);
    if (r.U8() != 0 || r.U8() != kEnumResponse) return false;
    response.payload = r.U16();
    const uint32_t replyOffset = r.U32(), replySize = r.U32();
    if (r.U32() != 0x50) return false;
    response.flags = r.U32();
    response.maxPlayers = r.U32();
    response.currentPlayers = r.U32();
    const uint32_t nameOffset = r.U32(), nameSize = r.U32();
    r.Skip(16);  // password and reserved data: never used
    const uint32_t reservedOffset = r.U32(), reservedSize = r.U32();
    response.instance = r.Guid();
    response.application = r.Guid();
    if (!r.Ok()) return false;
    Bytes name;
    if (!Field(bytes, 4, nameOffset, nameSize, name) ||
        !Field(bytes, 4, reservedOffset, reservedSize, response.applicationReserved) ||
        !Field(bytes, 4, replyOffset, replySize, response.applicationData))
        return false;
    response.sessionName = FromWide(name);
    return true;
}

// --- command frames ---------------------------------------------------------

Bytes EncodeConnectFrame(const ConnectFrame& frame) {
    Bytes out;
    Writer w(out);
    w.U8(kCommandCframe | (frame.poll ? kCommandPoll : 0));
    w.U8(frame.opcode);
    w.U8(frame.messageId);
    w.U8(frame.responseId);
    w.U32(frame.version);
    w.U32(frame.sessionId);
    w.U32(frame.timestamp);
    return out;
}

bool DecodeConnectFrame(ByteSpan bytes, ConnectFrame& frame) {
    Reader r(bytes);
    const uint8_t command = r.U8();
    frame.opcode = r.U8();
    frame.messageId = r.U8();
    frame.responseId = r.U8();
    frame.version = r.U32();
    frame.sessionId = r.U32();
    frame.timestamp = r.U32();
    if (!r.Ok() || (command & ~kCommandPoll) != kCommandCframe) return false;
    if (frame.opcode != kOpConnect && frame.opcode != kOpConnected && frame.opcode != kOpHardDisconnect)
        return false;
    frame.poll = (command & kCommandPoll) != 0;
    return (frame.version >> 16) == 1 || frame.opcode == kOpHardDisconnect;
}

Bytes EncodeSack(const SackFrame& frame) {
    const uint32_t sack1 = static_cast<uint32_t>(frame.sackMask),
                   sack2 = static_cast<uint32_t>(frame.sackMask >> 32);
    const uint32_t send1 = static_cast<uint32_t>(frame.sendMask),
                   send2 = static_cast<uint32_t>(frame.sendMask >> 32);
    uint8_t flags = frame.flags & kSackResponse;
    if (sack1) flags |= 0x02;
    if (sack2) flags |= 0x04;
    if (send1) flags |= 0x08;
    if (send2) flags |= 0x10;
    Bytes out;
    Writer w(out);
    w.U8(kCommandCframe | (frame.poll ? kCommandPoll : 0));
    w.U8(kOpSack);
    w.U8(flags);
    w.U8(frame.retry);
    w.U8(frame.nextSend);
    w.U8(frame.nextReceive);
    w.U16(0);
    w.U32(frame.timestamp);
    if (sack1) w.U32(sack1);
    if (sack2) w.U32(sack2);
    if (send1) w.U32(send1);
    if (send2) w.U32(send2);
    return out;
}

bool DecodeSack(ByteSpan bytes, SackFrame& frame) {
    Reader r(bytes);
    const uint8_t command = r.U8();
    if (r.U8() != kOpSack || (command & ~kCommandPoll) != kCommandCframe) return false;
    frame.poll = (command & kCommandPoll) != 0;
    frame.flags = r.U8();
    frame.retry = r.U8();
    frame.nextSend = r.U8();
    frame.nextReceive = r.U8();
    r.U16();
    frame.timestamp = r.U32();
    if (frame.flags & ~0x1F) return false;
    uint64_t sack1 = frame.flags & 0x02 ? r.U32() : 0, sack2 = frame.flags & 0x04 ? r.U32() : 0;
    uint64_t send1 = frame.flags & 0x08 ? r.U32() : 0, send2 = frame.flags & 0x10 ? r.U32() : 0;
    frame.sackMask = sack1 | sack2 << 32;
    frame.sendMask = send1 | send2 << 32;
    return r.Ok();
}

// --- data frames ------------------------------------------------------------

Bytes EncodeDataFrame(const DataFrame& frame) {
    const uint32_t sack1 = static_cast<uint32_t>(frame.sackMask),
                   sack2 = static_cast<uint32_t>(frame.sackMask >> 32);
    const uint32_t send1 = static_cast<uint32_t>(frame.sendMask),
                   send2 = static_cast<uint32_t>(frame.sendMask >> 32);
    uint8_t control =
        frame.control & (kControlRetry | kControlKeepAlive | kControlCoalesce | kControlEndStream);
    if (sack1) control |= kControlSack1;
    if (sack2) control |= kControlSack2;
    if (send1) control |= kControlSend1;
    if (send2) control |= kControlSend2;
    Bytes out;
    out.reserve(20 + frame.payload.size());
    Writer w(out);
    w.U8(frame.command | kCommandData);
    w.U8(control);
    w.U8(frame.sequence);
    w.U8(frame.nextReceive);
    if (sack1) w.U32(sack1);
    if (sack2) w.U32(sack2);
    if (send1) w.U32(send1);
    if (send2) w.U32(send2);
    w.Raw(frame.payload);
    return out;
}

bool DecodeDataFrame(ByteSpan bytes, DataFrame& frame) {
    Reader r(bytes);
    frame.command = r.U8();
    frame.control = r.U8();
    frame.sequence = r.U8();
    frame.nextReceive = r.U8();
    if (!r.Ok() || !(frame.command & kCommandData)) return false;
    uint64_t sack1 = frame.control & kControlSack1 ? r.U32() : 0;
    uint64_t sack2 = frame.control & kControlSack2 ? r.U32() : 0;
    uint64_t send1 = frame.control & kControlSend1 ? r.U32() : 0;
    uint64_t send2 = frame.control & kControlSend2 ? r.U32() : 0;
    frame.sackMask = sack1 | sack2 << 32;
    frame.sendMask = send1 | send2 << 32;
    if (!r.Ok()) return false;
    frame.payload = r.Rest();
    return true;
}

bool DecodeCoalesced(ByteSpan payload, std::vector<CoalescedPart>& parts) {
    parts.clear();
    Reader r(payload);
    std::vector<std::pair<uint8_t, size_t>> headers;
    for (;;) {
        const uint8_t size = r.U8();
        const uint8_t command = r.U8();
        if (!r.Ok() || headers.size() == 32) return false;
        headers.emplace_back(command, size | static_cast<size_t>(command & 0x38) << 5);
        if (command & 0x01) break;
    }
    if (headers.size() % 2) r.Skip(2);
    for (size_t i = 0; i < headers.size(); ++i) {
        const size_t size = headers[i].second;
        if (!r.Ok() || size > r.Left()) return false;
        CoalescedPart part;
        part.command =
            headers[i].first & (kCommandReliable | kCommandSequential | kCommandUser1 | kCommandUser2);
        part.data.assign(payload.begin() + static_cast<ptrdiff_t>(r.At()),
                         payload.begin() + static_cast<ptrdiff_t>(r.At() + size));
        r.Skip(size);
        parts.push_back(std::move(part));
        // Every part but the last is padded to a 32-bit boundary.
        if (i + 1 < headers.size() && size % 4) r.Skip(std::min(4 - size % 4, r.Left()));
    }
    return r.Ok();
}

DatagramKind ClassifyDatagram(ByteSpan bytes) {
    if (bytes.empty()) return DatagramKind::Invalid;
    if (bytes[0] == 0) return DatagramKind::Enumeration;
    if (bytes.size() >= 4 && (bytes[0] & kCommandData)) return DatagramKind::Data;
    if (bytes.size() >= 12 && (bytes[0] == kCommandCframe || bytes[0] == (kCommandCframe | kCommandPoll)))
        return DatagramKind::Command;
    return DatagramKind::Invalid;
}

// --- core messages ----------------------------------------------------------

bool MessageType(ByteSpan bytes, uint32_t& type) {
    Reader r(bytes);
    type = r.U32();
    return r.Ok();
}

Bytes EncodePlayerConnectInfo(const PlayerConnectInfo& info) {
    const bool extended = info.dnetVersion >= 7;
    Bytes out;
    Writer w(out);
    w.U32(kMsgPlayerConnectInfo);
    w.U32(info.flags);
    w.U32(info.dnetVersion);
    const size_t fieldsAt = out.size();
    for (int i = 0; i < 10; ++i) w.U32(0);  // name, data, password, connect data, url
    w.Guid(info.instance);
    w.Guid(info.application);
    const size_t alternateAt = out.size();
    if (extended) {
        w.U32(0);
        w.U32(0);
    }
    ForwardPacker p(out, 4);
    if (extended) p.Add(info.alternateAddresses, alternateAt);
    p.Add(NarrowBytes(info.url), fieldsAt + 32);
    p.Add(info.connectData, fieldsAt + 24);
    p.Add(info.password, fieldsAt + 16);
    p.Add(info.data, fieldsAt + 8);
    p.Add(WideBytes(info.name), fieldsAt);
    return out;
}

bool DecodePlayerConnectInfo(ByteSpan bytes, PlayerConnectInfo& info) {
    Reader r(bytes);
    if (r.U32() != kMsgPlayerConnectInfo) return false;
    info.flags = r.U32();
    info.dnetVersion = r.U32();
    uint32_t f[10];
    for (uint32_t& v : f) v = r.U32();
    info.instance = r.Guid();
    info.application = r.Guid();
    uint32_t alternateOffset = 0, alternateSize = 0;
    if (info.dnetVersion >= 7) {
        alternateOffset = r.U32();
        alternateSize = r.U32();
    }
    if (!r.Ok()) return false;
    Bytes name, url;
    if (!Field(bytes, 4, f[0], f[1], name) || !Field(bytes, 4, f[2], f[3], info.data) ||
        !Field(bytes, 4, f[4], f[5], info.password) || !Field(bytes, 4, f[6], f[7], info.connectData) ||
        !Field(bytes, 4, f[8], f[9], url) ||
        !Field(bytes, 4, alternateOffset, alternateSize, info.alternateAddresses))
        return false;
    info.name = FromWide(name);
    info.url = FromNarrow(url);
    return true;
}

Bytes EncodeSendConnectInfo(const SendConnectInfo& info) {
    Bytes session = WideBytes(info.sessionName);
    std::vector<Bytes> names, urls;
    size_t variable = info.reply.size() + session.size() + info.password.size() + info.reserved.size() +
                      info.applicationReserved.size();
    for (const NameTableEntry& e : info.entries) {
        names.push_back(WideBytes(e.name));
        urls.push_back(NarrowBytes(e.url));
        variable += names.back().size() + e.data.size() + urls.back().size();
    }
    Bytes out;
    Writer w(out);
    w.U32(kMsgSendConnectInfo);
    w.U32(0);  // reply
    w.U32(0);
    w.U32(0x50);
    w.U32(info.flags);
    w.U32(info.maxPlayers);
    w.U32(info.currentPlayers);
    const size_t sessionAt = out.size();
    for (int i = 0; i < 8; ++i) w.U32(0);  // session name, password, reserved, application reserved
    w.Guid(info.instance);
    w.Guid(info.application);
    w.U32(info.playerId);
    w.U32(info.version);
    w.U32(0);
    w.U32(static_cast<uint32_t>(info.entries.size()));
    w.U32(0);  // memberships
    const size_t entriesAt = out.size();
    for (const NameTableEntry& e : info.entries) WriteEntryFixed(w, e);
    out.resize(out.size() + variable);
    BackwardPacker p(out, 4);
    p.Add(info.reply, 4);
    p.Add(session, sessionAt);
    p.Add(info.password, sessionAt + 8);
    p.Add(info.reserved, sessionAt + 16);
    p.Add(info.applicationReserved, sessionAt + 24);
    for (size_t i = 0; i < info.entries.size(); ++i) {
        const size_t at = entriesAt + i * kEntrySize + 24;
        p.Add(names[i], at);
        p.Add(info.entries[i].data, at + 8);
        p.Add(urls[i], at + 16);
    }
    return out;
}

bool DecodeSendConnectInfo(ByteSpan bytes, SendConnectInfo& info) {
    Reader r(bytes);
    if (r.U32() != kMsgSendConnectInfo) return false;
    const uint32_t replyOffset = r.U32(), replySize = r.U32();
    if (r.U32() != 0x50) return false;
    info.flags = r.U32();
    info.maxPlayers = r.U32();
    info.currentPlayers = r.U32();
    uint32_t f[8];
    for (uint32_t& v : f) v = r.U32();
    info.instance = r.Guid();
    info.application = r.Guid();
    info.playerId = r.U32();
    info.version = r.U32();
    r.U32();
    const uint32_t entryCount = r.U32();
    const uint32_t membershipCount = r.U32();
    if (!r.Ok()) return false;
    // Counts are checked against what is left before anything is reserved.
    if (entryCount > r.Left() / kEntrySize) return false;
    Bytes session;
    if (!Field(bytes, 4, replyOffset, replySize, info.reply) || !Field(bytes, 4, f[0], f[1], session) ||
        !Field(bytes, 4, f[2], f[3], info.password) || !Field(bytes, 4, f[4], f[5], info.reserved) ||
        !Field(bytes, 4, f[6], f[7], info.applicationReserved))
        return false;
    info.sessionName = FromWide(session);
    info.entries.clear();
    info.entries.reserve(entryCount);
    for (uint32_t i = 0; i < entryCount; ++i) {
        NameTableEntry e;
        if (!ReadEntry(bytes, 4, r, e)) return false;
        info.entries.push_back(std::move(e));
    }
    if (membershipCount > r.Left() / 16) return false;
    return true;
}

Bytes EncodeAddPlayer(const NameTableEntry& entry) {
    Bytes out;
    Writer w(out);
    w.U32(kMsgAddPlayer);
    WriteEntryFixed(w, entry);
    ForwardPacker p(out, 4);
    p.Add(NarrowBytes(entry.url), 4 + 40);
    p.Add(entry.data, 4 + 32);
    p.Add(WideBytes(entry.name), 4 + 24);
    return out;
}

bool DecodeAddPlayer(ByteSpan bytes, NameTableEntry& entry) {
    Reader r(bytes);
    if (r.U32() != kMsgAddPlayer) return false;
    return ReadEntry(bytes, 4, r, entry);
}

Bytes EncodeDestroyPlayer(const DestroyPlayer& message) {
    Bytes out;
    Writer w(out);
    w.U32(kMsgDestroyPlayer);
    w.U32(message.id);
    w.U32(message.version);
    w.U32(0);
    w.U32(message.reason);
    return out;
}

bool DecodeDestroyPlayer(ByteSpan bytes, DestroyPlayer& message) {
    Reader r(bytes);
    if (r.U32() != kMsgDestroyPlayer) return false;
    message.id = r.U32();
    message.version = r.U32();
    r.U32();
    message.reason = r.U32();
    return r.Ok();
}

Bytes EncodeConnectFailed(const ConnectFailed& message) {
    Bytes out;
    Writer w(out);
    w.U32(kMsgConnectFailed);
    w.U32(message.result);
    w.U32(0);
    w.U32(0);
    ForwardPacker(out, 4).Add(message.reply, 8);
    return out;
}

bool DecodeConnectFailed(ByteSpan bytes, ConnectFailed& message) {
    Reader r(bytes);
    if (r.U32() != kMsgConnectFailed) return false;
    message.result = r.U32();
    const uint32_t offset = r.U32(), size = r.U32();
    return r.Ok() && Field(bytes, 4, offset, size, message.reply);
}

Bytes EncodeTerminateSession(const Bytes& data) {
    Bytes out;
    Writer w(out);
    w.U32(kMsgTerminateSession);
    w.U32(0);
    w.U32(0);
    ForwardPacker(out, 4).Add(data, 4);
    return out;
}

bool DecodeTerminateSession(ByteSpan bytes, Bytes& data) {
    Reader r(bytes);
    if (r.U32() != kMsgTerminateSession) return false;
    const uint32_t offset = r.U32(), size = r.U32();
    return r.Ok() && Field(bytes, 4, offset, size, data);
}

Bytes EncodeInstructConnect(uint32_t id, uint32_t version) {
    Bytes out;
    Writer w(out);
    w.U32(kMsgInstructConnect);
    w.U32(id);
    w.U32(version);
    w.U32(0);
    return out;
}

bool DecodeInstructConnect(ByteSpan bytes, uint32_t& id, uint32_t& version) {
    Reader r(bytes);
    if (r.U32() != kMsgInstructConnect) return false;
    id = r.U32();
    version = r.U32();
    r.U32();
    return r.Ok();
}

Bytes EncodeTypeAndValue(uint32_t type, uint32_t value) {
    Bytes out;
    Writer w(out);
    w.U32(type);
    w.U32(value);
    return out;
}

bool DecodeTypeAndValue(ByteSpan bytes, uint32_t type, uint32_t& value) {
    Reader r(bytes);
    if (r.U32() != type) return false;
    value = r.U32();
    return r.Ok();
}

Bytes EncodeTypeOnly(uint32_t type) {
    Bytes out;
    Writer(out).U32(type);
    return out;
}

// --- addresses --------------------------------------------------------------

std::string BuildAddressUrl(uint32_t ip, uint16_t port) {
    in_addr address{};
    address.s_addr = htonl(ip);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return std::string("x-directplay:/provider=%7BEBFE7BA0-628D-11D2-AE0F-006097B01411%7D;hostname=") + text +
           ";port=" + std::to_string(port);
}

bool ParseAddressUrl(const std::string& url, uint32_t& ip, uint16_t& port) {
    static const std::string kScheme = "x-directplay:/";
    if (url.compare(0, kScheme.size(), kScheme) != 0) return false;
    const size_t hash = url.find('#');
    const std::string data =
        url.substr(kScheme.size(), hash == std::string::npos ? hash : hash - kScheme.size());
    bool haveHost = false, havePort = false;
    size_t at = 0;
    while (at <= data.size()) {
        size_t end = data.find(';', at);
        if (end == std::string::npos) end = data.size();
        const std::string pair = data.substr(at, end - at);
        const size_t equals = pair.find('=');
        if (equals != std::string::npos) {
            const std::string key = pair.substr(0, equals), value = pair.substr(equals + 1);
            if (key == "hostname") {
                in_addr address{};
                if (inet_pton(AF_INET, value.c_str(), &address) == 1) {
                    ip = ntohl(address.s_addr);
                    haveHost = true;
                }
            } else if (key == "port" && !value.empty() && value.size() <= 5 &&
                       value.find_first_not_of("0123456789") == std::string::npos) {
                const unsigned long n = std::stoul(value);
                if (n > 0 && n <= 65535) {
                    port = static_cast<uint16_t>(n);
                    havePort = true;
                }
            }
        }
        at = end + 1;
    }
    return haveHost && havePort;
}

std::u16string Widen(const std::string& text) {
    std::u16string out;
    for (char c : text) out.push_back(static_cast<char16_t>(static_cast<uint8_t>(c)));
    return out;
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    return out;
}

}  // namespace dplay
