// A non-blocking datagram socket bound to a local port (the voice port).
// Tested by tests/net/halk_buffered_socket_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

// What the program shows, with the caption "Error", before it quits with exit
// code 1 when the voice port cannot be opened; the caller shows it.
inline constexpr const char* kUdpPortErrorText =
    "Could not open UDP voice port. Perhaps another Peltan program is running such as Kobrin?";

class HalkSocketUDP {
public:
    // Binds to localIp (host order; 0 for every interface) at localPort (0:
    // the system chooses). On failure the socket is closed and IsOpen() is false.
    explicit HalkSocketUDP(uint16_t localPort, uint32_t localIp = 0);
    virtual ~HalkSocketUDP();
    HalkSocketUDP(const HalkSocketUDP&) = delete;
    HalkSocketUDP& operator=(const HalkSocketUDP&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    // The descriptor, for waiting on several sockets at once; -1 when closed.
    int Handle() const { return m_fd; }
    uint16_t LocalPort() const;
    // Bytes received, or -1 when nothing is waiting or on error; ip and port
    // of the sender in host order.
    int ReceiveFrom(char* buffer, size_t size, uint32_t& ip, uint16_t& port);
    // ip in host order; bytes sent or -1.
    int SendTo(const char* data, size_t length, uint32_t ip, uint16_t port);

private:
    int m_fd = -1;
};
