// One running instance per user: a lock file in the runtime directory, and a
// local datagram socket on which a second start asks the first to come forward.
// Tested by tests/platform/local_sockets_test.cpp.
#pragma once

#include <string>

class SingleInstance {
public:
    // name: the program's instance GUID; runtimeDir: where the lock and the
    // socket live ($XDG_RUNTIME_DIR, see DefaultRuntimeDir).
    SingleInstance(std::string name, std::string runtimeDir);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the lock (and listens for raise
    // requests); false when another instance holds it. A lock that cannot be
    // created at all counts as held by us, so a read-only runtime directory
    // never keeps the program from starting.
    bool Acquire();
    bool IsFirst() const { return m_first; }

    // Second instance: asks the first to bring its window forward; false when
    // nobody listens.
    bool RequestRaise() const;

    // First instance: the number of raise requests that arrived since the last
    // call. Never blocks; -1 before Acquire succeeded.
    int TakeRaiseRequests();
    // The socket to watch for requests (-1 when not listening).
    int RaiseFd() const { return m_socket; }

    // $XDG_RUNTIME_DIR, else a folder of the user's own in /tmp.
    static std::string DefaultRuntimeDir();

private:
    std::string m_lockPath;
    std::string m_socketPath;
    int m_lockFd = -1;
    int m_socket = -1;
    bool m_first = false;
};
