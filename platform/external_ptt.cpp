// Tested by tests/platform/local_sockets_test.cpp.
#include "platform/external_ptt.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

ExternalPttSocket::ExternalPttSocket(std::string runtimeDir, std::string name)
    : m_path(SocketPath(runtimeDir, name)) {}

ExternalPttSocket::~ExternalPttSocket() {
    if (m_fd >= 0) {
        close(m_fd);
        unlink(m_path.c_str());
    }
}

std::string ExternalPttSocket::SocketPath(const std::string& runtimeDir, const std::string& name) {
    return runtimeDir + "/tarq-" + name + ".ptt";
}

bool ExternalPttSocket::Open() {
    if (m_fd >= 0) return true;
    sockaddr_un address;
    if (!FillAddress(m_path, address)) return false;
    // Only the single instance opens this, so a file still there is stale.
    unlink(m_path.c_str());
    m_fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0) return false;
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
}

std::vector<bool> ExternalPttSocket::TakeEvents() {
    std::vector<bool> events;
    if (m_fd < 0) return events;
    unsigned char buffer[256];
    for (;;) {
        ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
        if (n < 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == 0 || buffer[i] == 1) events.push_back(buffer[i] == 1);
        }
    }
    return events;
}

bool ExternalPttSocket::Send(const std::string& runtimeDir, bool keyed, const std::string& name) {
    sockaddr_un address;
    if (!FillAddress(SocketPath(runtimeDir, name), address)) return false;
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    unsigned char byte = keyed ? 1 : 0;
    bool sent =
        sendto(fd, &byte, 1, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address), sizeof address) == 1;
    close(fd);
    return sent;
}
