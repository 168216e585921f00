// Used by tests/simbridge/dplay_session_test.cpp.
#include "tools/simpeer/simulator_peer.h"

#include <poll.h>

#include <random>

#include "platform/clock.h"

namespace {

uint64_t Now() { return SystemClock::Instance().NowMs(); }

}  // namespace

SimulatorPeer::SimulatorPeer(uint32_t bindIp)
    : m_socket(0, bindIp),
      m_node(
          [this](const dplay::Address& to, const dplay::Bytes& bytes) {
              m_socket.SendTo(reinterpret_cast<const char*>(bytes.data()), bytes.size(), to.ip, to.port);
          },
          this, std::random_device()()) {}

void SimulatorPeer::Receive(int waitMs) {
    pollfd fd{m_socket.Handle(), POLLIN, 0};
    poll(&fd, 1, waitMs);
    char buffer[2048];
    uint32_t ip = 0;
    uint16_t port = 0;
    for (int n; (n = m_socket.ReceiveFrom(buffer, sizeof buffer, ip, port)) >= 0;)
        m_node.OnDatagram({ip, port}, dplay::ByteSpan(reinterpret_cast<uint8_t*>(buffer), n), Now());
    m_node.Poll(Now());
}

bool SimulatorPeer::Enumerate(const dplay::Address& host, const SimGuid& application,
                              dplay::EnumResponse& response, int timeoutMs) {
    dplay::EnumQuery query;
    query.hasApplication = true;
    query.application = application;
    const uint64_t end = Now() + timeoutMs;
    while (Now() < end) {
        ++query.payload;
        const dplay::Bytes bytes = dplay::EncodeEnumQuery(query);
        m_socket.SendTo(reinterpret_cast<const char*>(bytes.data()), bytes.size(), host.ip, host.port);
        pollfd fd{m_socket.Handle(), POLLIN, 0};
        poll(&fd, 1, 100);
        char buffer[2048];
        uint32_t ip = 0;
        uint16_t port = 0;
        for (int n; (n = m_socket.ReceiveFrom(buffer, sizeof buffer, ip, port)) >= 0;) {
            if (dplay::DecodeEnumResponse(dplay::ByteSpan(reinterpret_cast<uint8_t*>(buffer), n), response) &&
                response.payload == query.payload && ip == host.ip && port == host.port)
                return true;
        }
    }
    return false;
}

bool SimulatorPeer::Join(const dplay::Address& host, const SimGuid& application, const std::string& name,
                         int timeoutMs) {
    m_node.Join(host, application, {name, {}, {}}, Now(), static_cast<uint64_t>(timeoutMs));
    PumpUntil([this] { return m_node.GetJoinState() != dplay::DplayNode::JoinState::Joining; },
              timeoutMs + 100);
    return m_node.GetJoinState() == dplay::DplayNode::JoinState::Joined;
}

void SimulatorPeer::Pump(int ms) {
    const uint64_t end = Now() + ms;
    do Receive(5);
    while (Now() < end);
}

bool SimulatorPeer::PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const uint64_t end = Now() + timeoutMs;
    while (!done() && Now() < end) Receive(5);
    return done();
}

bool SimulatorPeer::SendToAll(const dplay::Bytes& data) {
    return m_node.Send(kSimAllPlayers, data, true, 0, Now());
}

void SimulatorPeer::Leave(int flushMs) {
    m_node.Close(Now());
    PumpUntil([this] { return m_node.IsIdle(); }, flushMs);
}

void SimulatorPeer::OnPlayerCreated(SimPlayerId player, const SimPlayerInfo& info) {
    players[player] = info.name;
}

void SimulatorPeer::OnPlayerDestroyed(SimPlayerId player) {
    players.erase(player);
    destroyed.push_back(player);
}

void SimulatorPeer::OnReceive(SimPlayerId from, const std::string& senderName, const dplay::Bytes& data) {
    received.push_back({from, senderName, data});
}

void SimulatorPeer::OnSessionTerminated(const std::string& reason) {
    terminated = reason.empty() ? "ended" : reason;
}
