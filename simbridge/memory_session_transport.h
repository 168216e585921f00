// MemorySessionTransport: a session that exists only in memory, for tests
// and for running the bridge without a simulator. Tests play the simulator
// through it: players join, leave and send text, joins of local peers can be
// held back, and every message sent is logged. Every member is safe to call
// from any thread. Tested by tests/simbridge/fs_multiplayer_test.cpp.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "simbridge/sim_session_transport.h"

class MemorySessionTransport final : public SimSessionTransport {
public:
    struct SentMessage {
        SimPeerHandle from;
        SimPlayerId to;
        std::vector<uint8_t> data;
        SimSendOptions options;
    };

    MemorySessionTransport() = default;
    ~MemorySessionTransport() override { Close(); }

    bool Host(const SimHostDescription& description, std::string& error) override;
    void Close() override;
    bool AddLocalPeer(const SimLocalPeerDescription& peer, SimPeerHandle& handle, std::string& error) override;
    void RemoveLocalPeer(SimPeerHandle handle) override;
    bool Send(SimPeerHandle from, SimPlayerId to, const std::vector<uint8_t>& data,
              const SimSendOptions& options) override;
    void DispatchEvents(SimSessionEvents& events) override;

    // --- the test's side ---------------------------------------------------
    // Host answers false with this error.
    void FailHost(const std::string& error);
    // Sends to the players fail.
    void FailSends(bool fail);
    // AddLocalPeer waits until ReleaseJoins (or Close).
    void HoldJoins();
    void ReleaseJoins();
    // AddLocalPeer fails at once.
    void FailJoins(bool fail);
    // Number of AddLocalPeer calls waiting at the hold.
    int WaitingJoins() const;

    // A remote player (the simulator) joins, leaves, or sends data.
    SimPlayerId AddRemotePlayer(const std::string& name);
    void RemoveRemotePlayer(SimPlayerId player);
    void ReceiveFrom(SimPlayerId player, const std::vector<uint8_t>& data);
    void Terminate(const std::string& reason);

    bool IsHosting() const;
    SimHostDescription GetHostDescription() const;
    // The local peers in the session by handle.
    std::map<SimPeerHandle, SimLocalPeerDescription> GetLocalPeers() const;
    // The messages sent since the last call.
    std::vector<SentMessage> TakeSent();

private:
    using Event = std::function<void(SimSessionEvents&)>;
    void Queue(Event event);  // with m_mutex held

    mutable std::mutex m_mutex;
    std::condition_variable m_joinGate;
    bool m_hosting = false;
    bool m_closed = false;
    bool m_holdJoins = false;
    bool m_failJoins = false;
    bool m_failSends = false;
    int m_waitingJoins = 0;
    std::string m_hostError;
    SimHostDescription m_description;
    SimPlayerId m_nextPlayer = 1;
    std::map<SimPeerHandle, SimLocalPeerDescription> m_localPeers;
    std::map<SimPlayerId, std::string> m_players;  // every player by name
    std::deque<Event> m_events;
    std::vector<SentMessage> m_sent;
};
