// Tested by tests/voice/voice_channel_test.cpp.
#include "tools/voiceserver/voice_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "net/halk_socket.h"
#include "net/halk_socket_udp.h"
#include "voice/voice_wire.h"

struct VoiceTestServer::Member {
    std::unique_ptr<HalkSocket> socket;
    VoiceItemReader reader;
    std::vector<uint8_t> pending;  // bytes the socket did not take yet
    std::string room;
    std::string name;
    uint16_t id = 0;
    bool joined = false;
    bool closed = false;
    uint32_t address = 0;
    uint16_t port = 0;
};

VoiceTestServer::VoiceTestServer() = default;

VoiceTestServer::~VoiceTestServer() {
    if (m_listener >= 0) close(m_listener);
}

bool VoiceTestServer::Start(uint16_t port, bool loopbackOnly, std::string* error) {
    // With port 0 the TCP port is the system's choice, and the UDP port must
    // match it: try a few until both bind.
    for (int attempt = 0; attempt < 20; ++attempt) {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        int yes = 1;
        setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(loopbackOnly ? INADDR_LOOPBACK : INADDR_ANY);
        address.sin_port = htons(port);
        socklen_t length = sizeof address;
        if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(m_listener, 16) != 0 ||
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            if (error) *error = "cannot listen on port " + std::to_string(port) + ": " + std::strerror(errno);
            if (m_listener >= 0) close(m_listener);
            m_listener = -1;
            return false;
        }
        m_port = ntohs(address.sin_port);
        m_udp = std::make_unique<HalkSocketUDP>(m_port);
        if (m_udp->IsOpen()) return true;
        close(m_listener);
        m_listener = -1;
        if (port != 0) break;
    }
    if (error) *error = "cannot open UDP port " + std::to_string(port);
    return false;
}

void VoiceTestServer::SendItems(Member& member, const std::vector<uint8_t>& bytes) {
    member.pending.insert(member.pending.end(), bytes.begin(), bytes.end());
    int sent =
        member.socket->Send(reinterpret_cast<const char*>(member.pending.data()), member.pending.size());
    if (sent > 0) member.pending.erase(member.pending.begin(), member.pending.begin() + sent);
    if (sent < 0) member.closed = true;
}

void VoiceTestServer::Poll() {
    for (;;) {
        int fd = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) break;
        auto member = std::make_unique<Member>();
        member->socket = std::make_unique<HalkSocket>(HalkSocket::Adopt(fd));
        m_members.push_back(std::move(member));
    }
    for (size_t i = 0; i < m_members.size(); ++i) {
        Member& member = *m_members[i];
        if (!member.pending.empty()) SendItems(member, {});
        ReadClient(member);
    }
    for (auto& member : m_members)
        if (member->closed) Leave(*member);
    m_members.erase(
        std::remove_if(m_members.begin(), m_members.end(), [](const auto& m) { return m->closed; }),
        m_members.end());
    uint8_t buffer[kMaxReceivedDatagram + 1];
    for (int i = 0; i < 256; ++i) {
        uint32_t address = 0;
        uint16_t port = 0;
        int got = m_udp->ReceiveFrom(reinterpret_cast<char*>(buffer), sizeof buffer, address, port);
        if (got < 0) break;
        HandleDatagram(buffer, static_cast<size_t>(got), address, port);
    }
}

void VoiceTestServer::ReadClient(Member& member) {
    char buffer[1024];
    for (;;) {
        int got = member.socket->Receive(buffer, sizeof buffer);
        if (got < 0 || member.socket->PeerClosed()) {
            member.closed = true;
            return;
        }
        if (got == 0) break;
        member.reader.Append(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(got));
    }
    VoiceItem item;
    for (;;) {
        auto step = member.reader.Next(item);
        if (step == VoiceItemReader::Step::NeedMore) return;
        if (step == VoiceItemReader::Step::Bad) {
            member.closed = true;
            return;
        }
        if (item.type == voice_item::kJoin && item.raw.size() > 12) {
            auto nul = std::find(item.raw.begin() + 12, item.raw.end(), 0);
            member.room.assign(item.raw.begin() + 12, nul);
        } else if (item.type == voice_item::kDisplayName) {
            member.name.assign(item.raw.begin(), item.raw.end());
        } else if (item.type == voice_item::kJoinParameter2 && !member.joined) {
            Join(member);
        }
    }
}

void VoiceTestServer::Join(Member& member) {
    member.joined = true;
    member.id = ++m_nextId[member.room];
    std::vector<uint8_t> items;
    AppendVoiceItemId(items, voice_item::kOwnId, member.id);
    AppendVoiceItemId(items, voice_item::kMemberJoined, 0);
    AppendVoiceItemName(items, 0, "relay");
    AppendVoiceItemEndPoint(items, 0, 0, m_port);
    for (auto& other : m_members) {
        if (other.get() == &member || !other->joined || other->room != member.room) continue;
        AppendVoiceItemId(items, voice_item::kMemberJoined, other->id);
        AppendVoiceItemName(items, other->id, other->name);
        std::vector<uint8_t> news;
        AppendVoiceItemId(news, voice_item::kMemberJoined, member.id);
        AppendVoiceItemName(news, member.id, member.name);
        SendItems(*other, news);
    }
    SendItems(member, items);
}

void VoiceTestServer::Leave(Member& member) {
    if (!member.joined) return;
    for (auto& other : m_members) {
        if (other.get() == &member || other->closed || !other->joined || other->room != member.room) continue;
        std::vector<uint8_t> news;
        AppendVoiceItemId(news, voice_item::kMemberLeft, member.id);
        SendItems(*other, news);
    }
}

void VoiceTestServer::HandleDatagram(const uint8_t* data, size_t size, uint32_t address, uint16_t port) {
    VoiceDatagram d;
    if (!ParseVoiceDatagram(data, size, d)) return;
    Member* sender = nullptr;
    for (auto& member : m_members)
        if (member->joined && member->id == d.senderId && member->room == d.room) sender = member.get();
    if (!sender) return;
    if (sender->address != address || sender->port != port) {
        sender->address = address;
        sender->port = port;
        std::vector<uint8_t> own;
        AppendVoiceItemEndPoint(own, sender->id, address, port);
        SendItems(*sender, own);
    }
    if (!d.flag) {
        uint8_t answer[kMaxVoiceDatagram];
        size_t n = BuildVoiceDatagram(answer, d.room, 0, true, nullptr, 0, nullptr, 0, nullptr, 0);
        m_udp->SendTo(reinterpret_cast<const char*>(answer), n, address, port);
    }
    if (d.payloadLength <= 0) return;
    std::vector<uint16_t> targets = d.listA;
    targets.insert(targets.end(), d.listB.begin(), d.listB.end());
    for (uint16_t id : targets) {
        for (auto& member : m_members) {
            if (!member->joined || member->room != d.room || member->id != id || !member->port) continue;
            uint8_t out[kMaxVoiceDatagram];
            size_t n = BuildVoiceDatagram(out, d.room, sender->id, true, nullptr, 0, nullptr, 0, d.payload,
                                          d.payloadLength);
            if (n) m_udp->SendTo(reinterpret_cast<const char*>(out), n, member->address, member->port);
            ++m_relayed;
        }
    }
}

int VoiceTestServer::ReachableMembers(const std::string& room) const {
    int count = 0;
    for (const auto& member : m_members)
        if (member->joined && member->room == room && member->port) ++count;
    return count;
}

void VoiceTestServer::CloseRoom(const std::string& room) {
    for (auto& member : m_members)
        if (member->room == room) member->socket->Abort();
    for (auto& member : m_members)
        if (member->room == room) member->closed = true;
}
