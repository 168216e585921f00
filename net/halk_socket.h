// A non-blocking TCP stream socket whose state is advanced by zero-wait polls,
// never waited on. Tested by tests/net/halk_buffered_socket_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Local and peer addresses of a connected socket, all in host order.
struct HalkAddresses {
    uint32_t localIp = 0;
    uint16_t localPort = 0;
    uint32_t peerIp = 0;
    uint16_t peerPort = 0;
};

class HalkSocket {
public:
    // Socket states; the session reports the same numbers.
    static constexpr int kIdle = 1;
    static constexpr int kConnecting = 2;
    static constexpr int kConnected = 3;
    static constexpr int kClosed = 4;
    static constexpr int kError = 5;

    // Creates a TCP socket bound to any interface at localPort (0: the system
    // chooses). Any failure leaves the socket in kError.
    explicit HalkSocket(uint16_t localPort = 0);
    // Adopts a descriptor that is already connected (a listener's accept);
    // makes it non-blocking and sets TCP_NODELAY.
    static HalkSocket Adopt(int fd);
    HalkSocket(HalkSocket&& other) noexcept;
    HalkSocket& operator=(HalkSocket&&) = delete;
    HalkSocket(const HalkSocket&) = delete;
    virtual ~HalkSocket();

    // ip in host order. Returns 0 or the errno of connect (EINPROGRESS included).
    int Connect(uint32_t ip, uint16_t port);
    // While connecting, finds out without waiting whether the connect finished;
    // a failed connect (SO_ERROR) gives kClosed, never kConnected.
    int PollState();
    // > 0 bytes read; 0 nothing waiting (or the peer closed, see PeerClosed);
    // -1 on error or on the peer's close after our own shut-down.
    int Receive(char* buffer, size_t size);
    // Bytes sent; 0 when the socket would block; -1 on error.
    int Send(const char* data, size_t length);
    // Shuts down the sending direction and gives kClosed.
    void Disconnect();
    // Shuts down the sending direction; the peer's close then ends the socket.
    void RequestShutdown();
    // Shuts down both directions with a reset, so the peer sees an abortive close.
    void Abort();
    // Returns the local port.
    uint16_t GetAddresses(HalkAddresses& out) const;

    int State() const { return m_state; }
    bool PeerClosed() const { return m_peerClosed; }
    // The errno that ended the socket (a refused or reset connection); 0 when
    // it ended in order or has not ended.
    int LastError() const { return m_lastError; }
    // The owner saw the peer's close through; the socket is done.
    void MarkClosed() { m_state = kClosed; }
    int Descriptor() const { return m_fd; }

    // Dotted IPv4 text or a host name → IPv4 in host order; 0 when neither works.
    static uint32_t Resolve(const std::string& host);

private:
    struct AdoptTag {};
    HalkSocket(AdoptTag, int fd);

    int m_fd = -1;
    uint16_t m_localPort = 0;
    int m_state = kError;
    bool m_peerClosed = false;
    bool m_shutdownRequested = false;
    int m_lastError = 0;
};
