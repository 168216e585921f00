// DplaySessionTransport: the simulator's multiplayer session on the network,
// as DirectPlay 8 over UDP. The host is a DplayNode on the session's port;
// every local peer is a DplayNode of its own on a port the system chooses,
// joining the host over loopback like any other player, so the simulator
// connects to it and receives its messages from it directly. One socket
// thread serves every endpoint: it waits on all sockets, hands each
// datagram to its node and runs the timers; one lock guards the nodes.
// Events of the host's node are queued for DispatchEvents.
// Tested by tests/simbridge/dplay_session_test.cpp and
// tests/threads/dplay_transport_threads_test.cpp.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "net/halk_socket_udp.h"
#include "simbridge/dplay_node.h"
#include "simbridge/sim_session_transport.h"

class DplaySessionTransport final : public SimSessionTransport {
public:
    struct Options {
        uint32_t bindIp = 0;  // host order; 0: every interface
        uint32_t joinTimeoutMs = 10000;
    };

    DplaySessionTransport() : DplaySessionTransport(Options{}) {}
    explicit DplaySessionTransport(Options options);
    ~DplaySessionTransport() override;

    bool Host(const SimHostDescription& description, std::string& error) override;
    void Close() override;
    bool AddLocalPeer(const SimLocalPeerDescription& peer, SimPeerHandle& handle,
                      std::string& error) override;
    void RemoveLocalPeer(SimPeerHandle handle) override;
    bool Send(SimPeerHandle from, SimPlayerId to, const std::vector<uint8_t>& data,
              const SimSendOptions& options) override;
    void DispatchEvents(SimSessionEvents& events) override;

    // The port the session is hosted on; 0 before Host.
    uint16_t GetPort() const;
    // Datagrams dropped as malformed or out of place, over every endpoint.
    uint64_t GetDroppedCount() const;

private:
    struct Endpoint {
        std::unique_ptr<HalkSocketUDP> socket;
        std::unique_ptr<dplay::DplayNode> node;  // after the socket: goes first
        bool leaving = false;
        uint64_t leftAt = 0;
    };
    class HostEvents;
    class IgnoredEvents;
    using Event = std::function<void(SimSessionEvents&)>;

    Endpoint* OpenEndpoint(uint64_t key, uint16_t port, dplay::DplayNodeEvents* events);  // with m_mutex held
    Endpoint* FindEndpoint(SimPeerHandle handle);                                         // with m_mutex held
    void Run();
    void Pump(uint64_t now);  // with m_mutex held
    void Wake();
    void StopThread();

    Options m_options;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    int m_wake[2] = {-1, -1};
    bool m_stop = false;
    bool m_hosting = false;
    bool m_closed = false;
    SimGuid m_application;
    dplay::Address m_hostAddress;
    uint64_t m_nextKey = 1;
    uint64_t m_droppedGone = 0;                   // counts of endpoints already removed
    std::map<uint64_t, Endpoint> m_endpoints;     // 0: the host
    std::map<SimPeerHandle, uint64_t> m_handles;  // joined local peers
    std::deque<Event> m_events;
    std::unique_ptr<HostEvents> m_hostEvents;
    std::unique_ptr<IgnoredEvents> m_ignoredEvents;
};
