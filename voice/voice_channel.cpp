// Tested by tests/voice/voice_channel_test.cpp.
#include "voice/voice_channel.h"

#include <algorithm>
#include <cctype>

#include "net/halk_socket.h"
#include "voice/audio_clock.h"

CVoiceChannel::CVoiceChannel(uint32_t serverAddress, uint16_t serverPort, const std::string& roomName,
                             const std::string& displayName, uint32_t parameter1, uint32_t parameter2,
                             const std::array<uint8_t, 12>& joinField, CUDPAudioPort* port)
    : CUDPConsumer(port),
      CUDPProducer(port),
      CAudioTask(1.0),
      m_serverAddress(serverAddress),
      m_serverPort(serverPort),
      m_displayName(displayName),
      m_roomName(roomName),
      m_parameter1(parameter1),
      m_parameter2(parameter2),
      m_joinField(joinField) {}

CVoiceChannel::~CVoiceChannel() = default;

void CVoiceChannel::Report(uint32_t code) {
    if (m_handler) m_handler->OnEvent(this, code);
}

void CVoiceChannel::ForgetSession() {
    m_members.clear();
    m_ownId = 0;
    m_confirmed = 0;
    m_publicAddress = 0;
    m_publicPort = 0;
}

void CVoiceChannel::ConnectServer() {
    if (m_socket) {
        ForgetSession();
        m_socket.reset();
        m_lastState = HalkSocket::kIdle;
        m_reader = VoiceItemReader();
        m_sendQueue.clear();
    }
    m_socket = std::make_unique<HalkSocket>(0);
    // An unknown server (address 0 would reach this machine) fails at once;
    // the next run reports it.
    m_failed = m_serverAddress == 0 || m_serverPort == 0;
    if (!m_failed) m_socket->Connect(m_serverAddress, m_serverPort);
    AppendJoinItems(m_sendQueue, m_roomName, m_displayName, m_parameter1, m_parameter2, m_joinField);
    Schedule(0.0);
}

void CVoiceChannel::DisconnectServer() {
    if (!m_socket || m_failed) return;
    int state = m_socket->PollState();
    if (state == HalkSocket::kConnecting) {
        m_socket->Disconnect();
    } else if (state == HalkSocket::kConnected) {
        if (m_ownId != 0)
            m_socket->RequestShutdown();
        else
            m_socket->Disconnect();
    }
    Schedule(0.0);
}

double CVoiceChannel::Run() {
    if (!m_socket) return 0.1;
    int state = m_failed ? HalkSocket::kError : m_socket->PollState();
    if (state == HalkSocket::kConnected && !m_sendQueue.empty()) {
        int sent = m_socket->Send(reinterpret_cast<const char*>(m_sendQueue.data()), m_sendQueue.size());
        if (sent > 0) m_sendQueue.erase(m_sendQueue.begin(), m_sendQueue.begin() + sent);
        if (m_sendQueue.size() > kMaxSendQueue) m_socket->Disconnect();
    }
    if (m_socket->State() == HalkSocket::kConnected && !m_failed) {
        char buffer[1024];
        bool any = false;
        for (int i = 0; i < kMaxReadsPerRun; ++i) {
            int got = m_socket->Receive(buffer, sizeof buffer);
            if (got <= 0) break;
            m_reader.Append(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(got));
            any = true;
            if (m_socket->State() != HalkSocket::kConnected) break;
        }
        // A server that ends the stream closes the room.
        if (m_socket->PeerClosed()) m_socket->MarkClosed();
        // A bad item means the stream cannot be followed any further.
        if (any && !ParseItems()) m_socket->Disconnect();
    }
    state = m_failed ? HalkSocket::kError : m_socket->PollState();
    if (state != m_lastState) {
        m_lastState = state;
        if (state == HalkSocket::kClosed) {
            ForgetSession();
            Report(kVoiceDisconnected);
        } else if (state == HalkSocket::kError) {
            ForgetSession();
            Report(kVoiceFailedOrMembers);
        }
    }
    return m_publicAddress != 0 ? 1.0 : 0.1;
}

bool CVoiceChannel::ParseItems() {
    VoiceItem item;
    for (;;) {
        auto step = m_reader.Next(item);
        if (step == VoiceItemReader::Step::NeedMore) return true;
        if (step == VoiceItemReader::Step::Bad) return false;
        switch (item.type) {
            case voice_item::kPing:
                m_sendQueue.push_back(kVoiceMarker);
                m_sendQueue.push_back(voice_item::kPing);
                break;
            case voice_item::kOwnId:
                m_ownId = item.id;
                break;
            case voice_item::kMemberJoined:
                m_members[item.id] = VoiceMember{};
                break;
            case voice_item::kMemberLeft:
                m_members.erase(item.id);
                Report(kVoiceFailedOrMembers);
                break;
            case voice_item::kMemberName:
                m_members[item.id].name = item.name;
                Report(kVoiceFailedOrMembers);
                break;
            case voice_item::kMemberValue1:
                m_members[item.id].value1 = item.value;
                break;
            case voice_item::kMemberValue2:
                m_members[item.id].value2 = item.value;
                break;
            case voice_item::kMemberEndPoint:
                if (item.id != m_ownId) {
                    auto& member = m_members[item.id];
                    member.address = item.value ? item.value : m_serverAddress;
                    member.port = item.port;
                    member.lastHello = AudioClockSeconds();
                    SendDatagram(member.address, member.port, m_ownId, m_roomName, member.heard != 0, nullptr,
                                 0, nullptr, 0, nullptr, 0);
                } else if (item.value != m_publicAddress || item.port != m_publicPort) {
                    m_publicAddress = item.value;
                    m_publicPort = item.port;
                    Report(kVoicePublicEndPoint);
                }
                break;
            default:
                break;
        }
    }
}

bool CVoiceChannel::Accepts(uint32_t, uint16_t, uint16_t senderId, const char* roomName, bool,
                            const uint16_t*, int8_t, const uint16_t*, int8_t, int16_t) {
    std::string room(roomName);
    if (room.size() != m_roomName.size()) return false;
    for (size_t i = 0; i < room.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(room[i])) !=
            std::toupper(static_cast<unsigned char>(m_roomName[i])))
            return false;
    return m_members.count(senderId) != 0;
}

void CVoiceChannel::SendTo(uint16_t, const VoiceMember& member, const std::vector<uint16_t>& listA,
                           const std::vector<uint16_t>& listB, const uint8_t* payload, int16_t length) {
    // A datagram holds at most 127 ids per list: a longer list goes out in pieces.
    size_t a = 0, b = 0;
    do {
        size_t na = std::min<size_t>(listA.size() - a, kMaxDatagramIds);
        size_t nb = std::min<size_t>(listB.size() - b, kMaxDatagramIds);
        SendDatagram(member.address, member.port, m_ownId, m_roomName, member.heard != 0,
                     na ? listA.data() + a : nullptr, static_cast<int>(na), nb ? listB.data() + b : nullptr,
                     static_cast<int>(nb), payload, length);
        a += na;
        b += nb;
    } while (a < listA.size() || b < listB.size());
}

void CVoiceChannel::OnPacket(uint32_t address, uint16_t port, uint16_t senderId, const char*, bool flag,
                             const uint16_t* listA, int8_t countA, const uint16_t* listB, int8_t countB,
                             const uint8_t* payload, int16_t payloadLength) {
    auto found = m_members.find(senderId);
    if (found == m_members.end()) return;
    if (m_ownId != 0 && !m_confirmed) {
        m_confirmed = 1;
        Report(kVoicePathConfirmed);
        found = m_members.find(senderId);  // the handler may have changed the table
        if (found == m_members.end()) return;
    }
    VoiceMember& member = found->second;
    member.heard = 1;
    bool changed = address != member.address || port != member.port;
    if (changed) {
        if (member.address == 0) member.address = address;
        member.port = port;
    }
    double now = AudioClockSeconds();
    if (changed || !flag || now - member.lastHello > kHelloInterval) {
        SendDatagram(address, port, m_ownId, m_roomName, true, nullptr, 0, nullptr, 0, nullptr, 0);
        member.lastHello = now;
    }
    if (payloadLength <= 0) return;
    Send(0, payload, payloadLength);
    std::vector<uint16_t> unreached;
    auto relay = [&](const uint16_t* list, int8_t count) {
        if (!list) return;
        for (int i = 0; i < count; ++i) {
            auto target = m_members.find(list[i]);
            if (target == m_members.end()) continue;
            if (target->second.address && target->second.port)
                SendTo(target->first, target->second, {}, {}, payload, payloadLength);
            else
                unreached.push_back(list[i]);
        }
    };
    relay(listA, countA);
    relay(listB, countB);
    auto relayMember = m_members.find(0);
    if (!unreached.empty() && relayMember != m_members.end())
        SendTo(0, relayMember->second, {}, unreached, payload, payloadLength);
}

void CVoiceChannel::Consume(int32_t, const uint8_t* data, int16_t length) {
    auto relay = m_members.find(0);
    if (relay == m_members.end() || relay->second.address == 0) return;
    std::vector<uint16_t> ids;
    for (const auto& [id, member] : m_members)
        if (id != m_ownId && id != 0) ids.push_back(id);
    SendTo(0, relay->second, ids, {}, data, length);
}
