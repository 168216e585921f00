// DplayNode: one member of a DirectPlay 8 peer-to-peer session on one UDP
// endpoint: either its host (answers enumeration, runs the connect handshake,
// keeps the name table, tells the peers of players joining and leaving) or a
// peer joining it (sends its player information, builds its name table,
// connects to the peers the host names and accepts theirs). It owns no
// socket and no clock: the owner hands it datagrams and the time and it
// sends through the function it was given; what happens in the session is
// told to its events as it happens. Not thread-safe; the owner serialises
// the calls. Tested by tests/simbridge/dplay_session_test.cpp.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "simbridge/dplay_link.h"
#include "simbridge/sim_session_transport.h"

namespace dplay {

struct Address {
    uint32_t ip = 0;  // host order
    uint16_t port = 0;
    auto operator<=>(const Address&) const = default;
};

constexpr uint32_t kLoopback = 0x7F000001;

class DplayNodeEvents {
public:
    virtual ~DplayNodeEvents() = default;
    virtual void OnPlayerCreated(SimPlayerId player, const SimPlayerInfo& info) = 0;
    virtual void OnPlayerDestroyed(SimPlayerId player) = 0;
    virtual void OnReceive(SimPlayerId from, const std::string& senderName, const Bytes& data) = 0;
    virtual void OnSessionTerminated(const std::string& reason) = 0;
};

class DplayNode {
public:
    using SendFn = std::function<void(const Address&, const Bytes&)>;
    // The address of this machine that the given remote address reaches.
    using LocalAddressFn = std::function<uint32_t(uint32_t remoteIp)>;
    enum class JoinState { None, Joining, Joined, Failed };

    DplayNode(SendFn send, DplayNodeEvents* events, uint32_t seed);

    // Players on loopback are shown to remote players at the address this
    // function answers; without it they keep the loopback address.
    void SetLocalAddressFn(LocalAddressFn function) { m_localAddress = std::move(function); }

    // Becomes the host of a session; tells the events of the host's player.
    void Host(const SimHostDescription& description, const SimGuid& instance, uint64_t now);
    // Joins the session hosted at host; see GetJoinState.
    void Join(const Address& host, const SimGuid& application, const SimLocalPeerDescription& me,
              uint64_t now, uint64_t timeoutMs);
    JoinState GetJoinState() const { return m_joinState; }
    const std::string& GetJoinError() const { return m_joinError; }
    SimPlayerId GetLocalPlayer() const { return m_self; }

    void OnDatagram(const Address& from, ByteSpan bytes, uint64_t now);
    void Poll(uint64_t now);

    // A message from this node's player to one player or to kSimAllPlayers.
    // serials receives the player and serial of each message queued, for IsSent.
    bool Send(SimPlayerId to, const Bytes& data, bool reliable, uint32_t timeoutMs, uint64_t now,
              std::vector<std::pair<SimPlayerId, uint64_t>>* serials = nullptr);
    // The message has gone out to that player (or the player is gone).
    bool IsSent(SimPlayerId to, uint64_t serial) const;

    // Host: ends the session for every player. Peer: leaves it.
    void Close(uint64_t now);
    // No connection is left open.
    bool IsIdle() const { return m_connections.empty(); }

    // Datagrams dropped as malformed, out of place or from an unknown address.
    uint64_t GetDroppedCount() const { return m_dropped; }
    bool IsHost() const { return m_isHost; }
    std::set<SimPlayerId> GetPlayers() const;

private:
    enum class Role { Unknown, ToHost, FromPeer, ToPeer, FromJoiner };
    struct Connection {
        std::unique_ptr<DplayLink> link;
        Role role = Role::Unknown;
        SimPlayerId player = 0;
        bool greeted = false;  // our first message went out once established
    };
    struct Player {
        SimPlayerId id = 0;
        std::u16string name;
        Bytes data;
        Bytes connectData;
        std::string url;
        uint32_t flags = 0;
        uint32_t version = 0;
        uint32_t dnetVersion = kDnetVersion;
        bool joined = false;  // host: the player acknowledged the connect information
    };

    Connection& Connect(const Address& to, Role role, uint64_t now);
    Connection* ConnectionOf(SimPlayerId player, Address* address = nullptr);
    const Connection* ConnectionOf(SimPlayerId player) const;
    void SendCore(Connection& connection, const Bytes& message, uint64_t now);
    void Service(const Address& address, Connection& connection, uint64_t now);
    void OnCoreMessage(const Address& address, Connection& connection, const Bytes& message, uint64_t now);
    void OnHostMessage(const Address& address, Connection& connection, uint32_t type, const Bytes& message,
                       uint64_t now);
    void OnPeerMessage(const Address& address, Connection& connection, uint32_t type, const Bytes& message,
                       uint64_t now);
    void OnConnectionClosed(Connection& connection, uint64_t now);
    void OnEnumQuery(const Address& from, ByteSpan bytes);
    void AcceptJoiner(const Address& address, Connection& connection, const Bytes& message, uint64_t now);
    void RemovePlayer(SimPlayerId player, uint32_t reason, uint64_t now);
    void FailJoin(const std::string& error, uint64_t now);
    void CheckJoined();
    void EndSession(const std::string& reason, uint64_t now);
    NameTableEntry EntryFor(const Player& player, const Address& recipient) const;
    SimPlayerId MakePlayerId();
    bool IsJoined(SimPlayerId player) const;
    void Deliver(SimPlayerId from, const Bytes& data);

    SendFn m_send;
    DplayNodeEvents* m_events;
    LocalAddressFn m_localAddress;
    std::mt19937 m_random;
    uint64_t m_dropped = 0;

    bool m_isHost = false;
    bool m_closed = false;
    SimHostDescription m_description;
    SimGuid m_instance;
    SimGuid m_application;
    uint32_t m_version = 0;
    uint32_t m_nextIndex = 2;
    SimPlayerId m_self = 0;
    SimPlayerId m_hostPlayer = 0;
    std::map<SimPlayerId, Player> m_players;
    std::map<Address, Connection> m_connections;

    // Joining.
    JoinState m_joinState = JoinState::None;
    std::string m_joinError;
    SimLocalPeerDescription m_me;
    Address m_hostAddress;
    uint64_t m_joinDeadline = 0;
    bool m_acknowledged = false;
    std::set<SimPlayerId> m_awaited;  // established peers still to connect to us
};

}  // namespace dplay
