// Tested by tests/simbridge/dplay_session_test.cpp and tests/threads/dplay_transport_threads_test.cpp.
#include "simbridge/dplay_session_transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "platform/clock.h"

namespace {

constexpr int kPollMs = 10;
constexpr uint64_t kLeaveLingerMs = 3000;
constexpr auto kCloseFlush = std::chrono::milliseconds(500);
constexpr auto kSendWait = std::chrono::milliseconds(2000);

uint64_t Now() { return SystemClock::Instance().NowMs(); }

// The local address the system would send from to reach remoteIp; a
// connected datagram socket sends nothing.
uint32_t LocalAddressToward(uint32_t remoteIp) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = htonl(remoteIp);
    remote.sin_port = htons(9);
    sockaddr_in local{};
    socklen_t length = sizeof local;
    uint32_t ip = 0;
    if (connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0)
        ip = ntohl(local.sin_addr.s_addr);
    close(fd);
    return ip;
}

SimGuid RandomGuid() {
    std::random_device device;
    SimGuid guid;
    guid.data1 = device();
    guid.data2 = static_cast<uint16_t>(device());
    guid.data3 = static_cast<uint16_t>((device() & 0x0FFF) | 0x4000);
    for (uint8_t& b : guid.data4) b = static_cast<uint8_t>(device());
    guid.data4[0] = (guid.data4[0] & 0x3F) | 0x80;
    return guid;
}

}  // namespace

class DplaySessionTransport::HostEvents final : public dplay::DplayNodeEvents {
public:
    explicit HostEvents(std::deque<Event>& queue) : m_queue(queue) {}
    void OnPlayerCreated(SimPlayerId player, const SimPlayerInfo& info) override {
        m_queue.push_back([player, info](SimSessionEvents& events) { events.OnPlayerCreated(player, info); });
    }
    void OnPlayerDestroyed(SimPlayerId player) override {
        m_queue.push_back([player](SimSessionEvents& events) { events.OnPlayerDestroyed(player); });
    }
    void OnReceive(SimPlayerId from, const std::string& name, const dplay::Bytes& data) override {
        m_queue.push_back(
            [from, name, data](SimSessionEvents& events) { events.OnReceive(from, name, data); });
    }
    void OnSessionTerminated(const std::string& reason) override {
        m_queue.push_back([reason](SimSessionEvents& events) { events.OnSessionTerminated(reason); });
    }

private:
    std::deque<Event>& m_queue;  // guarded by the transport's lock, held when nodes run
};

// A local peer's own view of the session: the host's node reports it.
class DplaySessionTransport::IgnoredEvents final : public dplay::DplayNodeEvents {
public:
    void OnPlayerCreated(SimPlayerId, const SimPlayerInfo&) override {}
    void OnPlayerDestroyed(SimPlayerId) override {}
    void OnReceive(SimPlayerId, const std::string&, const dplay::Bytes&) override {}
    void OnSessionTerminated(const std::string&) override {}
};

DplaySessionTransport::DplaySessionTransport(Options options)
    : m_options(options),
      m_hostEvents(std::make_unique<HostEvents>(m_events)),
      m_ignoredEvents(std::make_unique<IgnoredEvents>()) {}

DplaySessionTransport::~DplaySessionTransport() {
    Close();
    StopThread();
}

DplaySessionTransport::Endpoint* DplaySessionTransport::OpenEndpoint(uint64_t key, uint16_t port,
                                                                     dplay::DplayNodeEvents* events) {
    Endpoint endpoint;
    endpoint.socket = std::make_unique<HalkSocketUDP>(port, m_options.bindIp);
    if (!endpoint.socket->IsOpen()) return nullptr;
    HalkSocketUDP* socket = endpoint.socket.get();
    auto send = [socket](const dplay::Address& to, const dplay::Bytes& bytes) {
        socket->SendTo(reinterpret_cast<const char*>(bytes.data()), bytes.size(), to.ip, to.port);
    };
    endpoint.node = std::make_unique<dplay::DplayNode>(send, events, std::random_device()());
    endpoint.node->SetLocalAddressFn(LocalAddressToward);
    return &(m_endpoints[key] = std::move(endpoint));
}

DplaySessionTransport::Endpoint* DplaySessionTransport::FindEndpoint(SimPeerHandle handle) {
    uint64_t key = 0;
    if (handle != kSimHostPeer) {
        auto it = m_handles.find(handle);
        if (it == m_handles.end()) return nullptr;
        key = it->second;
    }
    auto it = m_endpoints.find(key);
    return it == m_endpoints.end() || it->second.leaving ? nullptr : &it->second;
}

bool DplaySessionTransport::Host(const SimHostDescription& description, std::string& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_hosting || m_closed) {
        error = "The multiplayer session was already started.";
        return false;
    }
    Endpoint* host = OpenEndpoint(0, description.port, m_hostEvents.get());
    if (!host) {
        error =
            "Could not open UDP port " + std::to_string(description.port) + " for the multiplayer session.";
        return false;
    }
    if (pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_endpoints.clear();
        error = "Could not start the multiplayer session.";
        return false;
    }
    m_application = description.application;
    m_hostAddress = {m_options.bindIp ? m_options.bindIp : dplay::kLoopback, host->socket->LocalPort()};
    host->node->Host(description, RandomGuid(), Now());
    m_hosting = true;
    m_thread = std::thread(&DplaySessionTransport::Run, this);
    return true;
}

void DplaySessionTransport::Wake() {
    if (m_wake[1] >= 0) {
        const char byte = 1;
        (void)!write(m_wake[1], &byte, 1);
    }
}

void DplaySessionTransport::Run() {
    std::vector<pollfd> fds;
    char buffer[2048];
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) return;
            fds.clear();
            fds.push_back({m_wake[0], POLLIN, 0});
            for (const auto& [key, endpoint] : m_endpoints)
                fds.push_back({endpoint.socket->Handle(), POLLIN, 0});
        }
        poll(fds.data(), fds.size(), kPollMs);
        std::lock_guard<std::mutex> lock(m_mutex);
        while (read(m_wake[0], buffer, sizeof buffer) > 0) {
        }
        const uint64_t now = Now();
        for (auto& [key, endpoint] : m_endpoints) {
            uint32_t ip = 0;
            uint16_t port = 0;
            for (int n; (n = endpoint.socket->ReceiveFrom(buffer, sizeof buffer, ip, port)) >= 0;)
                endpoint.node->OnDatagram({ip, port}, dplay::ByteSpan(reinterpret_cast<uint8_t*>(buffer), n),
                                          now);
        }
        Pump(now);
        m_changed.notify_all();
    }
}

void DplaySessionTransport::Pump(uint64_t now) {
    for (auto it = m_endpoints.begin(); it != m_endpoints.end();) {
        Endpoint& endpoint = it->second;
        endpoint.node->Poll(now);
        if (endpoint.leaving && (endpoint.node->IsIdle() || now - endpoint.leftAt > kLeaveLingerMs)) {
            m_droppedGone += endpoint.node->GetDroppedCount();
            it = m_endpoints.erase(it);
        } else {
            ++it;
        }
    }
}

void DplaySessionTransport::StopThread() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        Wake();
    }
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_endpoints.clear();
    m_handles.clear();
    for (int& fd : m_wake) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

void DplaySessionTransport::Close() {
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_closed || !m_hosting) {
            m_closed = true;
            m_changed.notify_all();
            return;
        }
        m_closed = true;
        const uint64_t now = Now();
        // The host's node first, so every player hears the session end.
        for (auto& [key, endpoint] : m_endpoints) {
            endpoint.node->Close(now);
            endpoint.leaving = true;
            endpoint.leftAt = now;
        }
        m_handles.clear();
        Wake();
        m_changed.notify_all();
        // The goodbyes go out while the socket thread keeps running.
        m_changed.wait_for(lock, kCloseFlush, [this] { return m_endpoints.empty(); });
    }
    StopThread();
}

bool DplaySessionTransport::AddLocalPeer(const SimLocalPeerDescription& peer, SimPeerHandle& handle,
                                         std::string& error) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_hosting || m_closed) {
        error = "no session to join";
        return false;
    }
    const uint64_t key = m_nextKey++;
    Endpoint* endpoint = OpenEndpoint(key, 0, m_ignoredEvents.get());
    if (!endpoint) {
        error = "could not open a UDP port for the player";
        return false;
    }
    endpoint->node->Join(m_hostAddress, m_application, peer, Now(), m_options.joinTimeoutMs);
    Wake();
    using JoinState = dplay::DplayNode::JoinState;
    m_changed.wait(lock, [this, key] {
        auto it = m_endpoints.find(key);
        return m_closed || it == m_endpoints.end() || it->second.node->GetJoinState() != JoinState::Joining;
    });
    auto it = m_endpoints.find(key);
    if (it == m_endpoints.end()) {
        error = "the session was closed";
        return false;
    }
    if (m_closed || it->second.node->GetJoinState() != JoinState::Joined) {
        error = m_closed ? "the session was closed" : it->second.node->GetJoinError();
        it->second.node->Close(Now());
        it->second.leaving = true;
        it->second.leftAt = Now();
        return false;
    }
    handle = it->second.node->GetLocalPlayer();
    m_handles[handle] = key;
    return true;
}

void DplaySessionTransport::RemoveLocalPeer(SimPeerHandle handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (handle == kSimHostPeer) return;
    Endpoint* endpoint = FindEndpoint(handle);
    if (!endpoint) return;
    const uint64_t now = Now();
    endpoint->node->Close(now);
    endpoint->leaving = true;
    endpoint->leftAt = now;
    m_handles.erase(handle);
    Wake();
}

bool DplaySessionTransport::Send(SimPeerHandle from, SimPlayerId to, const std::vector<uint8_t>& data,
                                 const SimSendOptions& options) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_hosting || m_closed) return false;
    Endpoint* endpoint = FindEndpoint(from);
    if (!endpoint) return false;
    std::vector<std::pair<SimPlayerId, uint64_t>> serials;
    const bool reliable = options.delivery == SimDelivery::Reliable;
    if (!endpoint->node->Send(to, data, reliable, options.timeoutMs, Now(), &serials)) return false;
    if (!options.wait) return true;
    const uint64_t key = from == kSimHostPeer ? 0 : m_handles[from];
    return m_changed.wait_for(lock, kSendWait, [&] {
        auto it = m_endpoints.find(key);
        if (m_closed || it == m_endpoints.end()) return true;
        for (const auto& [player, serial] : serials)
            if (!it->second.node->IsSent(player, serial)) return false;
        return true;
    }) && !m_closed;
}

void DplaySessionTransport::DispatchEvents(SimSessionEvents& events) {
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

uint16_t DplaySessionTransport::GetPort() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hosting ? m_hostAddress.port : 0;
}

uint64_t DplaySessionTransport::GetDroppedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    uint64_t dropped = m_droppedGone;
    for (const auto& [key, endpoint] : m_endpoints) dropped += endpoint.node->GetDroppedCount();
    return dropped;
}
