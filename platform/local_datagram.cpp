// Tested by tests/platform/local_sockets_test.cpp.
#include "platform/local_datagram.h"

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

int BindLocalDatagram(const std::string& path) {
    sockaddr_un address;
    if (!FillAddress(path, address)) return -1;
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool SendLocalDatagram(const std::string& path, unsigned char byte) {
    sockaddr_un address;
    if (!FillAddress(path, address)) return false;
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool sent =
        sendto(fd, &byte, 1, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address), sizeof address) == 1;
    close(fd);
    return sent;
}
