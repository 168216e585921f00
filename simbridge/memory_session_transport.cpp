// Tested by tests/simbridge/fs_multiplayer_test.cpp.
#include "simbridge/memory_session_transport.h"

#include <utility>

void MemorySessionTransport::Queue(Event event) { m_events.push_back(std::move(event)); }

bool MemorySessionTransport::Host(const SimHostDescription& description, std::string& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_hostError.empty()) {
        error = m_hostError;
        return false;
    }
    m_description = description;
    m_hosting = true;
    const SimPlayerId self = m_nextPlayer++;
    m_players[self] = description.playerName;
    SimPlayerInfo info{description.playerName, true, true, {}};
    Queue([self, info](SimSessionEvents& events) { events.OnPlayerCreated(self, info); });
    return true;
}

void MemorySessionTransport::Close() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hosting = false;
    m_closed = true;
    m_localPeers.clear();
    m_players.clear();
    m_joinGate.notify_all();
}

bool MemorySessionTransport::AddLocalPeer(const SimLocalPeerDescription& peer, SimPeerHandle& handle,
                                          std::string& error) {
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_waitingJoins;
    m_joinGate.wait(lock, [this] { return !m_holdJoins || m_closed; });
    --m_waitingJoins;
    if (!m_hosting || m_failJoins) {
        error = "no session to join";
        return false;
    }
    // The local peer's player id doubles as its handle.
    handle = m_nextPlayer++;
    m_localPeers[handle] = peer;
    m_players[handle] = peer.playerName;
    SimPlayerInfo info{peer.playerName, false, false, peer.connectData};
    const SimPlayerId player = handle;
    Queue([player, info](SimSessionEvents& events) { events.OnPlayerCreated(player, info); });
    return true;
}

void MemorySessionTransport::RemoveLocalPeer(SimPeerHandle handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_localPeers.erase(handle) == 0) return;
    m_players.erase(handle);
    Queue([handle](SimSessionEvents& events) { events.OnPlayerDestroyed(handle); });
}

bool MemorySessionTransport::Send(SimPeerHandle from, SimPlayerId to, const std::vector<uint8_t>& data,
                                  const SimSendOptions& options) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_hosting || m_failSends) return false;
    if (from != kSimHostPeer && m_localPeers.count(from) == 0) return false;
    if (to != kSimAllPlayers && m_players.count(to) == 0) return false;
    m_sent.push_back({from, to, data, options});
    return true;
}

void MemorySessionTransport::DispatchEvents(SimSessionEvents& events) {
    for (;;) {
        Event next;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_events.empty()) return;
            next = std::move(m_events.front());
            m_events.pop_front();
        }
        // Outside the lock: the handler may send or remove peers.
        next(events);
    }
}

void MemorySessionTransport::FailHost(const std::string& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hostError = error;
}

void MemorySessionTransport::FailSends(bool fail) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failSends = fail;
}

void MemorySessionTransport::HoldJoins() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_holdJoins = true;
}

void MemorySessionTransport::ReleaseJoins() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_holdJoins = false;
    m_joinGate.notify_all();
}

void MemorySessionTransport::FailJoins(bool fail) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failJoins = fail;
}

int MemorySessionTransport::WaitingJoins() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_waitingJoins;
}

SimPlayerId MemorySessionTransport::AddRemotePlayer(const std::string& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const SimPlayerId player = m_nextPlayer++;
    m_players[player] = name;
    SimPlayerInfo info{name, false, false, {}};
    Queue([player, info](SimSessionEvents& events) { events.OnPlayerCreated(player, info); });
    return player;
}

void MemorySessionTransport::RemoveRemotePlayer(SimPlayerId player) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_players.erase(player) == 0) return;
    Queue([player](SimSessionEvents& events) { events.OnPlayerDestroyed(player); });
}

void MemorySessionTransport::ReceiveFrom(SimPlayerId player, const std::vector<uint8_t>& data) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_players.find(player);
    const std::string name = it == m_players.end() ? std::string() : it->second;
    Queue([player, name, data](SimSessionEvents& events) { events.OnReceive(player, name, data); });
}

void MemorySessionTransport::Terminate(const std::string& reason) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hosting = false;
    m_localPeers.clear();
    m_players.clear();
    Queue([reason](SimSessionEvents& events) { events.OnSessionTerminated(reason); });
}

bool MemorySessionTransport::IsHosting() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hosting;
}

SimHostDescription MemorySessionTransport::GetHostDescription() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_description;
}

std::map<SimPeerHandle, SimLocalPeerDescription> MemorySessionTransport::GetLocalPeers() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_localPeers;
}

std::vector<MemorySessionTransport::SentMessage> MemorySessionTransport::TakeSent() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_sent, {});
}
