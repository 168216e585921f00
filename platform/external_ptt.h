// External push-to-talk: another program keys our transmitter by sending one
// byte to a local datagram socket named after the program's push-to-talk GUID:
// 1 keys, 0 unkeys. Tested by tests/platform/local_sockets_test.cpp.
#pragma once

#include <string>
#include <vector>

// The GUID that names the socket, kept from the window-message name it replaces.
inline constexpr const char* kExternalPttName = "{E539BEE8-05D0-4295-8F4A-74409712E1EA}";

class ExternalPttSocket {
public:
    // The socket is <runtimeDir>/tarq-<name>.ptt.
    explicit ExternalPttSocket(std::string runtimeDir, std::string name = kExternalPttName);
    ~ExternalPttSocket();
    ExternalPttSocket(const ExternalPttSocket&) = delete;
    ExternalPttSocket& operator=(const ExternalPttSocket&) = delete;

    // Binds the socket; false when it cannot (another instance holds it).
    bool Open();
    int Fd() const { return m_fd; }
    // Every key (true) and unkey (false) received since the last call, in
    // order; bytes other than 0 and 1 are ignored. Never blocks.
    std::vector<bool> TakeEvents();

    // What an outside program does: sends one state byte.
    static bool Send(const std::string& runtimeDir, bool keyed, const std::string& name = kExternalPttName);
    static std::string SocketPath(const std::string& runtimeDir, const std::string& name);

private:
    std::string m_path;
    int m_fd = -1;
};
