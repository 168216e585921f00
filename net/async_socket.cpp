// QmvSocket on POSIX: a non-blocking socket advanced by poll(), events raised
// on the pumping thread in the order connect, send, data, close.
// Tested by tests/net/http_client_test.cpp.
#include "net/async_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/resource_strings.h"

namespace {

// Reads per pump, so one fast peer cannot hold its owner's thread for long.
constexpr int kMaxReadsPerPump = 64;

struct ErrorId {
    int code;
    unsigned id;
};

// The socket-error texts of the string table, in their order.
constexpr ErrorId kErrorIds[] = {
    {EINTR, 140},        {EACCES, 141},          {EFAULT, 142},          {EINVAL, 143},
    {EMFILE, 183},       {EAGAIN, 145},          {EINPROGRESS, 146},     {EALREADY, 147},
    {ENOTSOCK, 148},     {EDESTADDRREQ, 149},    {EMSGSIZE, 150},        {EPROTOTYPE, 151},
    {ENOPROTOOPT, 152},  {EPROTONOSUPPORT, 153}, {ESOCKTNOSUPPORT, 154}, {EOPNOTSUPP, 155},
    {EPFNOSUPPORT, 156}, {EAFNOSUPPORT, 157},    {EADDRINUSE, 158},      {EADDRNOTAVAIL, 159},
    {ENETDOWN, 160},     {ENETUNREACH, 161},     {ENETRESET, 162},       {ECONNABORTED, 163},
    {ECONNRESET, 164},   {ENOBUFS, 165},         {EISCONN, 166},         {ENOTCONN, 167},
    {ESHUTDOWN, 168},    {ETIMEDOUT, 169},       {ECONNREFUSED, 170},    {EHOSTDOWN, 171},
    {EHOSTUNREACH, 172}, {EPIPE, 168},
};

bool SetNonBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

std::string QmvSocket::SocketErrorText(int code) {
    for (const ErrorId& e : kErrorIds) {
        if (e.code == code) return LoadResourceString(e.id);
    }
    return "Unknown winsock error (" + std::to_string(code) + ")";
}

std::string QmvSocket::LookupErrorText(int code) {
    switch (code) {
        case EAI_NONAME:
            return LoadResourceString(179);
        case EAI_AGAIN:
            return LoadResourceString(180);
        case EAI_FAIL:
            return LoadResourceString(181);
#ifdef EAI_NODATA
        case EAI_NODATA:
            return LoadResourceString(182);
#endif
        case EAI_SYSTEM:
            return SocketErrorText(errno);
        default:
            return LoadResourceString(179);
    }
}

QmvSocket::~QmvSocket() { Close(); }

bool QmvSocket::Connect(const std::string& host, uint16_t port, Callback callback, void* user) {
    Close();
    m_callback = callback;
    m_user = user;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int lookup = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (lookup != 0 || !found) {
        SetErrorText(LookupErrorText(lookup));
        if (found) freeaddrinfo(found);
        return false;
    }
    sockaddr_in peer = *reinterpret_cast<sockaddr_in*>(found->ai_addr);
    freeaddrinfo(found);
    peer.sin_port = htons(port);

    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0 || !SetNonBlocking(m_fd)) {
        SetErrorFromCode(errno);
        Close();
        return false;
    }
    if (connect(m_fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) != 0 && errno != EINPROGRESS) {
        SetErrorFromCode(errno);
        Close();
        return false;
    }
    m_connecting = true;
    return true;
}

void QmvSocket::Close() {
    ++m_generation;
    m_pending.clear();
    m_connecting = false;
    if (m_fd < 0) return;
    shutdown(m_fd, SHUT_RDWR);
    close(m_fd);
    m_fd = -1;
}

bool QmvSocket::Send(const std::string& text) {
    if (m_fd < 0) {
        SetErrorFromCode(ENOTCONN);
        return false;
    }
    m_pending += text;
    if (m_connecting) return true;  // goes out once connected
    while (!m_pending.empty()) {
        ssize_t sent = send(m_fd, m_pending.data(), m_pending.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (WouldBlock(errno)) return true;
            SetErrorFromCode(errno);
            m_pending.clear();
            return false;
        }
        m_pending.erase(0, static_cast<size_t>(sent));
    }
    return true;
}

void QmvSocket::Notify(int event, const char* data, size_t length) {
    if (m_callback) m_callback(*this, m_user, event, data, length);
}

bool QmvSocket::PumpMessages(int waitMs) {
    if (m_fd < 0) return false;
    const unsigned generation = m_generation;
    pollfd p{m_fd, POLLIN, 0};
    if (m_connecting || !m_pending.empty()) p.events |= POLLOUT;
    int ready = poll(&p, 1, waitMs);
    if (ready <= 0) return true;

    if (m_connecting) {
        int error = 0;
        socklen_t size = sizeof error;
        if (getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
        if (error == 0 && !(p.revents & (POLLOUT | POLLIN))) return true;
        m_connecting = false;
        if (error != 0) {
            SetErrorFromCode(error);
            Notify(kConnectFailed, nullptr, 0);
            if (generation == m_generation) Close();
            return false;
        }
        Notify(kConnected, nullptr, 0);
        if (generation != m_generation) return m_fd >= 0;
    }
    if (!m_pending.empty() && !FlushPending(generation)) return m_fd >= 0;
    if (p.revents & (POLLIN | POLLHUP | POLLERR)) ReadAvailable(generation);
    return m_fd >= 0;
}

bool QmvSocket::FlushPending(unsigned generation) {
    while (!m_pending.empty()) {
        ssize_t sent = send(m_fd, m_pending.data(), m_pending.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (WouldBlock(errno)) return true;
            SetErrorFromCode(errno);
            m_pending.clear();
            Notify(kSendFailed, nullptr, 0);
            if (generation == m_generation) Close();
            return false;
        }
        m_pending.erase(0, static_cast<size_t>(sent));
    }
    return true;
}

bool QmvSocket::ReadAvailable(unsigned generation) {
    char buffer[kChunk];
    for (int reads = 0; reads < kMaxReadsPerPump; ++reads) {
        ssize_t got = recv(m_fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            Notify(kData, buffer, static_cast<size_t>(got));
            if (generation != m_generation) return false;
            continue;
        }
        if (got < 0 && WouldBlock(errno)) return true;
        int event = kClosed;
        if (got < 0) {
            bool reset = errno == ECONNRESET || errno == ECONNABORTED || errno == ETIMEDOUT;
            SetErrorFromCode(errno);
            event = reset ? kClosedWithError : kReceiveFailed;
        }
        Notify(event, nullptr, 0);
        if (generation == m_generation) Close();
        return false;
    }
    return true;
}

std::string QmvSocket::GetLocalAddress() const {
    if (m_fd < 0) return "";
    sockaddr_in local{};
    socklen_t size = sizeof local;
    if (getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &size) != 0) return "";
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &local.sin_addr, text, sizeof text)) return "";
    return std::string(text) + ":" + std::to_string(ntohs(local.sin_port));
}
