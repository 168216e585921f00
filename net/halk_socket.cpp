// POSIX implementation of HalkSocket: non-blocking, poll() with zero time-out,
// TCP_NODELAY, and MSG_NOSIGNAL so a closed peer never raises SIGPIPE.
// Tested by tests/net/halk_buffered_socket_test.cpp.
#include "net/halk_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool IsClosingError(int error) {
    return error == ECONNABORTED || error == ECONNRESET || error == ENOTCONN || error == EPIPE ||
           error == ETIMEDOUT || error == ESHUTDOWN;
}

// Lines go out at once rather than batched. The socket works without it, so
// a refusal is no failure.
void SetNoDelay(int fd) {
    int one = 1;
    (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

bool SetNonBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

HalkSocket::HalkSocket(uint16_t localPort) : m_localPort(localPort) {
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) return;
    SetNoDelay(m_fd);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(localPort);
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return;
    if (!SetNonBlocking(m_fd)) return;
    m_state = kIdle;
}

HalkSocket::HalkSocket(AdoptTag, int fd) : m_fd(fd) {
    if (m_fd < 0) return;
    SetNoDelay(m_fd);
    if (SetNonBlocking(m_fd)) m_state = kConnected;
}

HalkSocket HalkSocket::Adopt(int fd) { return HalkSocket(AdoptTag{}, fd); }

HalkSocket::HalkSocket(HalkSocket&& other) noexcept
    : m_fd(other.m_fd),
      m_localPort(other.m_localPort),
      m_state(other.m_state),
      m_peerClosed(other.m_peerClosed),
      m_shutdownRequested(other.m_shutdownRequested),
      m_lastError(other.m_lastError) {
    other.m_fd = -1;
    other.m_state = kClosed;
}

HalkSocket::~HalkSocket() {
    if (m_fd >= 0) close(m_fd);
}

int HalkSocket::Connect(uint32_t ip, uint16_t port) {
    if (m_fd < 0 || m_state != kIdle) return EBADF;  // a failed or used socket is not reused
    m_state = kConnecting;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = htonl(ip);
    peer.sin_port = htons(port);
    if (connect(m_fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0) {
        m_state = kConnected;
        return 0;
    }
    int error = errno;
    if (error != EINPROGRESS && error != EAGAIN && error != EINTR) {
        m_state = kError;
        m_lastError = error;
    }
    return error;
}

int HalkSocket::PollState() {
    if (m_state != kConnecting) return m_state;
    pollfd entry{m_fd, POLLOUT, 0};
    int ready = poll(&entry, 1, 0);
    if (ready < 0) {
        if (errno != EINTR) m_state = kError;
        return m_state;
    }
    if (ready == 0) return m_state;
    // A non-blocking connect reports its outcome only through SO_ERROR: the
    // socket turns writable on failure too.
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        m_state = kError;
        m_lastError = errno;
    } else if (error == 0 && (entry.revents & POLLOUT) && !(entry.revents & POLLERR)) {
        m_state = kConnected;
    } else {
        m_state = kClosed;
        m_lastError = error != 0 ? error : ECONNREFUSED;
    }
    return m_state;
}

int HalkSocket::Receive(char* buffer, size_t size) {
    if (m_fd < 0) return -1;
    ssize_t n = recv(m_fd, buffer, size, 0);
    if (n > 0) return static_cast<int>(n);
    if (n == 0) {
        m_peerClosed = true;
        if (m_shutdownRequested) {
            m_state = kClosed;
            return -1;
        }
        return 0;
    }
    int error = errno;
    if (error == EAGAIN || error == EWOULDBLOCK || error == EINTR) return 0;
    m_state = IsClosingError(error) ? kClosed : kError;
    m_lastError = error;
    return -1;
}

int HalkSocket::Send(const char* data, size_t length) {
    if (m_fd < 0) return -1;
    ssize_t n = send(m_fd, data, length, MSG_NOSIGNAL);
    if (n >= 0) return static_cast<int>(n);
    int error = errno;
    if (error == EAGAIN || error == EWOULDBLOCK || error == EINTR) return 0;
    m_state = IsClosingError(error) ? kClosed : kError;
    m_lastError = error;
    return -1;
}

void HalkSocket::Disconnect() {
    if (m_fd >= 0) shutdown(m_fd, SHUT_WR);
    m_state = kClosed;
}

void HalkSocket::RequestShutdown() {
    if (m_fd < 0 || shutdown(m_fd, SHUT_WR) != 0) {
        m_state = kError;
        return;
    }
    m_shutdownRequested = true;
}

void HalkSocket::Abort() {
    if (m_fd >= 0) {
        linger hard{1, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        close(m_fd);
        m_fd = -1;
    }
    m_state = kClosed;
}

uint16_t HalkSocket::GetAddresses(HalkAddresses& out) const {
    out = HalkAddresses{};
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (m_fd >= 0 && getpeername(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        out.peerIp = ntohl(address.sin_addr.s_addr);
        out.peerPort = ntohs(address.sin_port);
    }
    length = sizeof address;
    if (m_fd >= 0 && getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        out.localIp = ntohl(address.sin_addr.s_addr);
        out.localPort = ntohs(address.sin_port);
    }
    return out.localPort;
}

uint32_t HalkSocket::Resolve(const std::string& host) {
    in_addr direct{};
    if (inet_pton(AF_INET, host.c_str(), &direct) == 1) return ntohl(direct.s_addr);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return 0;
    uint32_t ip = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return ip;
}
