// DplayLink: one reliable connection of the DirectPlay 8 session with one
// remote address: the connect handshake, sequenced data frames with
// acknowledgements, selective acknowledgements and send masks, retries with
// back-off, keep-alives, reassembly of multi-frame messages, and graceful and
// hard disconnects. It owns no socket and no clock: the owner hands it the
// datagrams from its remote address and the time, and it sends through the
// function it was given. Not thread-safe; the owner serialises the calls.
// Tested by tests/simbridge/dplay_link_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>

#include "simbridge/dplay_frames.h"

namespace dplay {

class DplayLink {
public:
    using SendFn = std::function<void(const Bytes&)>;
    enum class State { Connecting, Accepting, Established, Closed };
    enum class CloseReason { None, Graceful, Hard, TimedOut, ConnectFailed, Violation };

    struct Message {
        Bytes data;
        bool user1 = false;  // a core session message
    };

    // The largest payload of one data frame; longer messages are split.
    static constexpr size_t kMaxFramePayload = 1180;
    // The largest message reassembled; a longer one ends the connection.
    static constexpr size_t kMaxMessageBytes = 512 * 1024;
    static constexpr uint64_t kMaxAssemblyMs = 30000;
    static constexpr size_t kMaxPendingMessages = 4096;
    static constexpr uint64_t kKeepAliveMs = 25000;
    static constexpr int kMaxRetries = 10;
    static constexpr int kMaxConnectRetries = 14;

    // Outbound: sends CONNECT at once and retries it.
    DplayLink(uint32_t sessionId, uint64_t now, SendFn send);
    // Inbound: answers the CONNECT with CONNECTED and retries that.
    DplayLink(const ConnectFrame& connect, uint64_t now, SendFn send);

    // A datagram from the remote address. False when it is malformed or has
    // no place in the connection's state; it is then dropped.
    bool OnDatagram(ByteSpan bytes, uint64_t now);
    // Runs the timers.
    void Poll(uint64_t now);

    // Queues a message; answers its serial (see IsSent), 0 when refused.
    // timeoutMs: dropped when not sent within that time; 0 for no limit.
    uint64_t Send(const Bytes& message, bool reliable, bool user1, uint32_t timeoutMs, uint64_t now);
    // Every frame of the message with this serial has gone out once, or it was dropped.
    bool IsSent(uint64_t serial) const;
    // Ends the connection once everything queued is sent and acknowledged.
    void Disconnect(uint64_t now);
    // Ends the connection at once, telling the remote end.
    void HardDisconnect(uint64_t now);

    State GetState() const { return m_state; }
    bool IsEstablished() const { return m_state == State::Established; }
    bool IsClosed() const { return m_state == State::Closed; }
    bool IsClosing() const { return m_closing; }
    CloseReason GetCloseReason() const { return m_closeReason; }
    uint32_t GetSessionId() const { return m_sessionId; }
    uint64_t GetRttMs() const { return m_rttMs; }
    // Messages received in order since the last call.
    std::deque<Message> TakeReceived();

private:
    struct Pending {
        Bytes payload;
        uint8_t command = 0;  // reliable, user and message boundary bits
        uint8_t control = 0;  // keep-alive or end of stream
        uint64_t expiresAt = 0;
        uint64_t serial = 0;
    };
    struct InFlight {
        uint8_t sequence = 0;
        Pending frame;
        uint64_t sentAt = 0;
        uint64_t nextRetryAt = 0;
        int retries = 0;
        bool sacked = false;    // the remote end has it, out of order
        bool given_up = false;  // unreliable and lost: reported in send masks
    };
    struct Slot {
        bool present = false;
        bool dropped = false;
        uint8_t sequence = 0;
        uint8_t command = 0;
        uint8_t control = 0;
        Bytes payload;
    };

    void Close(CloseReason reason);
    void SendConnectFrame(uint8_t opcode, bool poll, uint8_t responseId, uint64_t now);
    bool OnCommand(ByteSpan bytes, uint64_t now);
    bool OnData(ByteSpan bytes, uint64_t now);
    void OnAcknowledged(uint8_t nextReceive, uint64_t sackMask, uint64_t now);
    void OnSendMask(uint8_t reference, uint64_t sendMask);
    void Drain(uint64_t now);
    void Deliver(Slot& slot, uint64_t now);
    void Assemble(const Bytes& payload, uint8_t command, uint64_t now);
    void Flush(uint64_t now);
    void Transmit(InFlight& frame, bool retry, uint64_t now);
    void SendSack(uint64_t now);
    uint64_t ReceiveSackMask() const;
    uint64_t SendMaskBefore(uint8_t sequence) const;
    uint64_t RetryInterval(int retries) const;
    bool KeepAliveHasSession() const { return m_remoteVersion >= 0x00010005; }

    SendFn m_send;
    State m_state;
    CloseReason m_closeReason = CloseReason::None;
    uint32_t m_sessionId;
    uint32_t m_remoteVersion = kProtocolVersion;
    uint8_t m_messageId = 0;
    uint8_t m_remoteMessageId = 0;
    int m_connectTries = 0;
    uint64_t m_connectSentAt = 0;
    uint64_t m_connectRetryAt = 0;
    uint64_t m_rttMs = 100;

    // Sending.
    std::deque<Pending> m_pending;
    std::deque<InFlight> m_window;  // oldest first, consecutive sequence numbers
    uint8_t m_nextSend = 0;
    uint64_t m_nextSerial = 1;
    uint64_t m_sendMaskDueAt = 0;
    bool m_closing = false;
    bool m_endStreamSent = false;
    uint64_t m_closingSince = 0;
    int m_hardSent = 0;
    uint64_t m_hardNextAt = 0;
    bool m_hardByUs = false;

    // Receiving.
    std::array<Slot, 64> m_slots;  // by sequence number modulo 64
    uint8_t m_nextReceive = 0;
    uint64_t m_ackDueAt = 0;
    bool m_lastWasRetry = false;
    bool m_remoteEnded = false;
    uint64_t m_lastReceiveAt = 0;
    uint64_t m_keepAliveAt = 0;
    Bytes m_assembly;
    bool m_assembling = false;
    bool m_assemblyUser1 = false;
    uint64_t m_assemblyStart = 0;
    std::deque<Message> m_received;
};

}  // namespace dplay
