// SimSessionTransport: the wire under the simulator multiplayer host. The
// host runs a peer-to-peer session on this machine that the flight simulator
// joins as a player; every aircraft shown in the simulator joins the same
// session as a local peer of its own and sends its messages from there.
//
// Threads. Host, Close, Send and DispatchEvents are called on the bridge's
// thread (the main thread). AddLocalPeer is called on short-lived connect
// threads, several at once and while the bridge's thread goes on using the
// transport; RemoveLocalPeer on the bridge's thread or a connect thread. An
// implementation is thus safe for these calls at once. Session events happen
// on whatever threads the implementation runs; it queues them and hands them
// over only inside DispatchEvents, in the order they happened, on the
// caller's thread: the bridge sees every event on its own thread.
//
// Players. Every member of the session is a player with a 32-bit id (never
// 0). The host's own player is reported like any other, with isLocal and
// isHost set. A local peer added with AddLocalPeer is reported as an
// ordinary player (isLocal and isHost clear), carrying the connect data it
// joined with, as the host sees it.
//
// Tested through its in-memory implementation, tests/simbridge/fs_multiplayer_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using SimPlayerId = uint32_t;
// A local peer of this process, as AddLocalPeer answers it; kSimHostPeer is
// the host peer itself.
using SimPeerHandle = uint32_t;
constexpr SimPeerHandle kSimHostPeer = 0;
// Send's "to" for every player of the session.
constexpr SimPlayerId kSimAllPlayers = 0;

// A GUID in its usual layout: data1 to data3 are numbers (little-endian when
// written out), data4 is eight bytes in order.
struct SimGuid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};

struct SimHostDescription {
    SimGuid application;         // the simulator looks for sessions of this application
    std::string sessionName;     // 8-bit (ISO 8859-1); the transport converts for the wire
    uint16_t port = 0;           // TCP/IP port of the session
    std::string playerName;      // the host player's name
    std::vector<uint8_t> playerData;           // the host player's data, sent as given
    std::vector<uint8_t> applicationReserved;  // the session's application-reserved data
};

struct SimLocalPeerDescription {
    std::string playerName;            // 8-bit
    std::vector<uint8_t> playerData;   // sent as given
    std::vector<uint8_t> connectData;  // handed to the host with the connection request
};

enum class SimDelivery { Unreliable, Reliable };

struct SimSendOptions {
    SimDelivery delivery = SimDelivery::Unreliable;
    // True: Send returns once the message was sent (or failed) and answers
    // that. False: Send only queues it and answers whether it could.
    bool wait = false;
    // Milliseconds after which an unsent message is dropped; 0 for no limit.
    uint32_t timeoutMs = 0;
};

struct SimPlayerInfo {
    std::string name;  // 8-bit; empty when the player gave none
    bool isLocal = false;
    bool isHost = false;
    std::vector<uint8_t> connectData;  // what the player joined with; empty when none
};

class SimSessionEvents {
public:
    virtual ~SimSessionEvents() = default;
    virtual void OnPlayerCreated(SimPlayerId player, const SimPlayerInfo& info) = 0;
    virtual void OnPlayerDestroyed(SimPlayerId player) = 0;
    // senderName: the sending player's name at the time it sent.
    virtual void OnReceive(SimPlayerId from, const std::string& senderName, const std::vector<uint8_t>& data) = 0;
    // The session ended from outside (not through Close); every local peer is gone.
    virtual void OnSessionTerminated(const std::string& reason) = 0;
};

class SimSessionTransport {
public:
    // Ends a session that is still up, as Close does.
    virtual ~SimSessionTransport() = default;

    // Hosts the session and returns once it is up (true) or has failed
    // (false, error says what failed, for the user). Once per transport.
    virtual bool Host(const SimHostDescription& description, std::string& error) = 0;
    // Ends the session for every player and releases every local peer. An
    // AddLocalPeer that is still waiting returns false. Idempotent.
    virtual void Close() = 0;

    // Joins a new local peer to the hosted session and returns once it has
    // joined (true, with its handle) or failed (false, error set). Blocks.
    virtual bool AddLocalPeer(const SimLocalPeerDescription& peer, SimPeerHandle& handle,
                              std::string& error) = 0;
    // Takes the local peer out of the session; an unknown handle is ignored.
    virtual void RemoveLocalPeer(SimPeerHandle handle) = 0;

    // Sends data from the host peer or a local peer to one player or to
    // kSimAllPlayers. False when the message could not be sent (or queued).
    virtual bool Send(SimPeerHandle from, SimPlayerId to, const std::vector<uint8_t>& data,
                      const SimSendOptions& options) = 0;

    // Hands every event queued so far to events, oldest first, on the calling
    // thread, and returns when the queue is empty. events may call Send and
    // RemoveLocalPeer.
    virtual void DispatchEvents(SimSessionEvents& events) = 0;
};
