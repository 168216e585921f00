// A TCP connection with a receive buffer, a send queue and line framing; it
// reports whole lines and state changes to a data handler. Polled, never waited on.
// Tested by tests/net/halk_buffered_socket_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "net/halk_socket.h"

class HalkBufferedSocket;

class HalkBufferedSocketDataHandler {
public:
    // text points at the line with its terminator; valid only during the call.
    virtual void OnLine(HalkBufferedSocket* connection, const char* text, size_t length) = 0;
    virtual void OnStateChange(HalkBufferedSocket* connection, int oldState, int newState) = 0;
    virtual ~HalkBufferedSocketDataHandler() = default;
};

class HalkBufferedSocket {
public:
    // Longest line kept, terminator included. A longer line is dropped whole,
    // up to its terminator, and the lines after it are delivered as usual.
    static constexpr size_t kMaxLineBytes = 16384;
    // Unread data held before reading pauses, so a flood waits in the kernel.
    static constexpr size_t kMaxBufferedBytes = 1 << 20;
    // Unsent data held for a peer that does not read. Normal traffic is a few
    // hundred bytes a second; past this the peer has stopped reading.
    static constexpr size_t kMaxQueuedBytes = 1 << 20;

    HalkBufferedSocket();
    // Takes over a socket that is already connected (a server's accept).
    explicit HalkBufferedSocket(HalkSocket socket);
    virtual ~HalkBufferedSocket();
    HalkBufferedSocket(const HalkBufferedSocket&) = delete;
    HalkBufferedSocket& operator=(const HalkBufferedSocket&) = delete;

    void SetDataHandler(HalkBufferedSocketDataHandler* handler) { m_handler = handler; }
    // An empty text restores "\r\n".
    void SetTerminator(std::string_view terminator);

    int Connect(uint32_t ip, uint16_t port);
    void Disconnect();
    uint16_t GetAddresses(HalkAddresses& out) const { return m_socket.GetAddresses(out); }

    // Queues bytes; nothing goes out before Poll or Flush. Bytes that would
    // take the queue past kMaxQueuedBytes are dropped and the queue counts as
    // overflowed from then on: the owner should give the connection up.
    void Send(const char* data, size_t length);
    void Send(std::string_view text) { Send(text.data(), text.size()); }
    bool SendQueueOverflowed() const { return m_sendOverflowed; }

    void GetBufferSizes(size_t& receiveLength, size_t& sendLength) const;
    int GetState();
    void UpdateState();
    // Sends what is queued now and shuts the sending side down once the queue
    // is empty (at once, or on the poll that empties it).
    void Flush();
    // Sends, reads and delivers at most maxLines complete lines (-1: no limit).
    // Once the peer has closed its side and every complete line is delivered,
    // a last line without terminator is delivered as it is (often the reason
    // a server gives before it hangs up) and the connection is closed
    // (kClosed). After a reset an unfinished tail may be cut short: it is dropped.
    int Poll(int maxLines);

    HalkSocket& Socket() { return m_socket; }

private:
    void SetState(int state);
    bool HasCompleteLine() const;
    void SendQueued();
    void ReadAvailable();
    void DeliverLines(int maxLines);
    // Start of the next complete line's terminator, or npos; drops over-long
    // data on the way.
    size_t FindTerminator();
    void Compact();

    HalkSocket m_socket;
    int m_lastState;
    std::string m_receive;
    size_t m_receiveStart = 0;  // bytes before it are consumed
    size_t m_scanFrom = 0;      // no terminator starts before this offset
    bool m_discarding = false;  // inside an over-long line, waiting for its end
    std::string m_sendQueue;
    size_t m_sendStart = 0;
    std::string m_terminator = "\r\n";
    HalkBufferedSocketDataHandler* m_handler = nullptr;
    bool m_flushThenShutdown = false;
    bool m_sendOverflowed = false;
    bool m_localClose = false;  // we closed: report it at once
};
