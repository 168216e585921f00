// SimulatorPeer: a stand-in for the flight simulator in the multiplayer
// session: it looks for the session by enumeration, joins it as a player
// that is neither local nor host, and records the players and messages it
// sees. Used by the tests and by tarq_simpeer to check a running Tarq.
// Single-threaded: Pump runs its socket and timers on the caller's thread.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "net/halk_socket_udp.h"
#include "simbridge/dplay_node.h"

class SimulatorPeer final : private dplay::DplayNodeEvents {
public:
    struct Received {
        SimPlayerId from = 0;
        std::string senderName;
        dplay::Bytes data;
    };

    // Binds a port the system chooses on bindIp (host order).
    explicit SimulatorPeer(uint32_t bindIp = dplay::kLoopback);

    // Asks host for its session until it answers or timeoutMs pass.
    bool Enumerate(const dplay::Address& host, const SimGuid& application, dplay::EnumResponse& response,
                   int timeoutMs);
    // Joins the session at host as name; true once joined.
    bool Join(const dplay::Address& host, const SimGuid& application, const std::string& name, int timeoutMs);
    // Serves the socket and timers for ms milliseconds.
    void Pump(int ms);
    // Pumps until done answers true or timeoutMs pass; answers done().
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs);
    // A reliable message to every player.
    bool SendToAll(const dplay::Bytes& data);
    // Leaves the session and waits up to flushMs for the goodbyes.
    void Leave(int flushMs);

    std::string GetJoinError() const { return m_node.GetJoinError(); }
    SimPlayerId GetPlayerId() const { return m_node.GetLocalPlayer(); }
    uint64_t GetDroppedCount() const { return m_node.GetDroppedCount(); }

    std::map<SimPlayerId, std::string> players;  // the players now in the session
    std::vector<Received> received;
    std::vector<SimPlayerId> destroyed;
    std::string terminated;  // why the session ended; empty while it runs

private:
    void OnPlayerCreated(SimPlayerId player, const SimPlayerInfo& info) override;
    void OnPlayerDestroyed(SimPlayerId player) override;
    void OnReceive(SimPlayerId from, const std::string& senderName, const dplay::Bytes& data) override;
    void OnSessionTerminated(const std::string& reason) override;
    void Receive(int waitMs);

    HalkSocketUDP m_socket;
    dplay::DplayNode m_node;
};
