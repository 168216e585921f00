// Tested by tests/platform/local_sockets_test.cpp.
#include "platform/external_ptt.h"

#include <sys/socket.h>
#include <unistd.h>

#include "platform/local_datagram.h"

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
    // Only the single instance opens this, so a file still there is stale.
    unlink(m_path.c_str());
    m_fd = BindLocalDatagram(m_path);
    return m_fd >= 0;
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
    return SendLocalDatagram(SocketPath(runtimeDir, name), keyed ? 1 : 0);
}
