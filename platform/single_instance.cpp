// Tested by tests/platform/local_sockets_test.cpp.
#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/local_datagram.h"
#include "platform/runtime_dir.h"

namespace {

constexpr char kRaiseByte = 'R';

}  // namespace

SingleInstance::SingleInstance(std::string name, std::string runtimeDir)
    : m_lockPath(runtimeDir + "/tarq-" + name + ".lock"),
      m_socketPath(runtimeDir + "/tarq-" + name + ".sock") {}

SingleInstance::~SingleInstance() {
    if (m_socket >= 0) {
        close(m_socket);
        unlink(m_socketPath.c_str());
    }
    // The lock file stays: removing it would race with a starting instance
    // that has opened it but not locked it yet.
    if (m_lockFd >= 0) close(m_lockFd);
}

std::string SingleInstance::DefaultRuntimeDir() { return UserRuntimeDirectory(); }

bool SingleInstance::Acquire() {
    if (m_first) return true;
    m_lockFd = open(m_lockPath.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (m_lockFd >= 0 && flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        close(m_lockFd);
        m_lockFd = -1;
        return false;
    }
    m_first = true;
    // A socket file left by a crashed instance is stale: we hold the lock now.
    unlink(m_socketPath.c_str());
    m_socket = BindLocalDatagram(m_socketPath);
    return true;
}

bool SingleInstance::RequestRaise() const { return SendLocalDatagram(m_socketPath, kRaiseByte); }

int SingleInstance::TakeRaiseRequests() {
    if (m_socket < 0) return m_first ? 0 : -1;
    int count = 0;
    char buffer[64];
    for (;;) {
        ssize_t n = recv(m_socket, buffer, sizeof buffer, 0);
        if (n < 0) break;
        if (n >= 1 && buffer[0] == kRaiseByte) ++count;
    }
    return count;
}
