// QmvSocket: a non-blocking TCP client socket whose happenings (connected,
// data, closed, errors) reach its owner as events during PumpMessages, on the
// thread that pumps it. The HTTP client runs on one.
// Tested by tests/net/http_client_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class QmvSocket {
public:
    // Events given to the callback.
    static constexpr int kConnected = 0;
    static constexpr int kConnectFailed = 1;    // error text set
    static constexpr int kSendFailed = 2;       // error text set
    static constexpr int kReceiveFailed = 3;    // error text set
    static constexpr int kData = 4;             // data and length, at most kChunk bytes
    static constexpr int kClosed = 5;           // closed by the peer
    static constexpr int kClosedWithError = 6;  // error text set
    static constexpr size_t kChunk = 1024;

    using Callback = void (*)(QmvSocket& socket, void* user, int event, const char* data, size_t length);

    QmvSocket() = default;
    QmvSocket(const QmvSocket&) = delete;
    QmvSocket& operator=(const QmvSocket&) = delete;
    virtual ~QmvSocket();

    // Resolves the host (IPv4, first address) and starts a non-blocking
    // connect. The name lookup blocks: owners call this from worker threads.
    // False with the error text set when the connect cannot be started.
    virtual bool Connect(const std::string& host, uint16_t port, Callback callback, void* user);
    // Shuts the socket down and closes it; further pumps deliver nothing.
    virtual void Close();
    // Sends the whole text; what the socket cannot take now is kept and sent
    // as it becomes writable, after anything already pending.
    virtual bool Send(const std::string& text);
    // Delivers the events that are due, waiting at most waitMs for the first.
    // False when there is no open socket.
    virtual bool PumpMessages(int waitMs = 0);
    // Dotted IPv4 and port, "127.0.0.1:40000"; empty when it cannot be read.
    virtual std::string GetLocalAddress() const;
    std::string GetErrorText() const { return m_errorText; }
    virtual void Notify(int event, const char* data, size_t length);
    void SetErrorText(const std::string& text) { m_errorText = text; }
    // The socket-error text of an errno value.
    void SetErrorFromCode(int code) { m_errorText = SocketErrorText(code); }

    bool IsOpen() const { return m_fd >= 0; }

    // "Connection refused" for ECONNREFUSED; "Unknown winsock error (n)" for
    // a code without a text. Any thread.
    static std::string SocketErrorText(int code);
    // The text of a failed name lookup (getaddrinfo's EAI_ codes).
    static std::string LookupErrorText(int code);

private:
    // Reads what is waiting; false when an event closed or replaced the socket.
    bool ReadAvailable(unsigned generation);
    bool FlushPending(unsigned generation);

    int m_fd = -1;
    bool m_connecting = false;
    // Bumped by every Close and Connect, so a pump notices that a callback
    // closed or replaced the socket under it.
    unsigned m_generation = 0;
    Callback m_callback = nullptr;
    void* m_user = nullptr;
    std::string m_pending;
    std::string m_errorText;
};
