// POSIX implementation of HalkSocketUDP. Tested by tests/net/halk_buffered_socket_test.cpp.
#include "net/halk_socket_udp.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

HalkSocketUDP::HalkSocketUDP(uint16_t localPort, uint32_t localIp) {
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0) return;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(localIp);
    local.sin_port = htons(localPort);
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        close(m_fd);
        m_fd = -1;
    }
}

HalkSocketUDP::~HalkSocketUDP() {
    if (m_fd >= 0) close(m_fd);
}

uint16_t HalkSocketUDP::LocalPort() const {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (m_fd < 0 || getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

int HalkSocketUDP::ReceiveFrom(char* buffer, size_t size, uint32_t& ip, uint16_t& port) {
    if (m_fd < 0) return -1;
    sockaddr_in from{};
    socklen_t length = sizeof from;
    ssize_t n = recvfrom(m_fd, buffer, size, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return -1;
    ip = ntohl(from.sin_addr.s_addr);
    port = ntohs(from.sin_port);
    return static_cast<int>(n);
}

int HalkSocketUDP::SendTo(const char* data, size_t length, uint32_t ip, uint16_t port) {
    if (m_fd < 0) return -1;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(ip);
    to.sin_port = htons(port);
    return static_cast<int>(
        sendto(m_fd, data, length, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&to), sizeof to));
}
