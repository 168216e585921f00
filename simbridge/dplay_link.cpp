// Tested by tests/simbridge/dplay_link_test.cpp.
#include "simbridge/dplay_link.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace dplay {
namespace {

constexpr size_t kWindow = 64;
constexpr uint64_t kAckDelayMs = 100;
constexpr uint64_t kShortAckDelayMs = 20;
constexpr uint64_t kSendMaskDelayMs = 40;
constexpr uint64_t kMaxRetryMs = 5000;
constexpr uint64_t kLingerMs = 10000;

uint64_t ConnectRetryInterval(int tries) {
    return std::min<uint64_t>(kMaxRetryMs, 200ull << std::min(tries, 5));
}

}  // namespace

DplayLink::DplayLink(uint32_t sessionId, uint64_t now, SendFn send)
    : m_send(std::move(send)), m_state(State::Connecting), m_sessionId(sessionId) {
    m_lastReceiveAt = now;
    SendConnectFrame(kOpConnect, true, 0, now);
    m_connectRetryAt = now + ConnectRetryInterval(0);
}

DplayLink::DplayLink(const ConnectFrame& connect, uint64_t now, SendFn send)
    : m_send(std::move(send)), m_state(State::Accepting), m_sessionId(connect.sessionId) {
    m_remoteVersion = connect.version;
    m_remoteMessageId = connect.messageId;
    m_lastReceiveAt = now;
    SendConnectFrame(kOpConnected, true, connect.messageId, now);
    m_connectRetryAt = now + ConnectRetryInterval(0);
}

void DplayLink::Close(CloseReason reason) {
    if (m_state == State::Closed) return;
    m_state = State::Closed;
    if (m_closeReason == CloseReason::None) m_closeReason = reason;
    m_pending.clear();
    m_window.clear();
}

void DplayLink::SendConnectFrame(uint8_t opcode, bool poll, uint8_t responseId, uint64_t now) {
    ConnectFrame frame;
    frame.opcode = opcode;
    frame.poll = poll;
    frame.messageId = m_messageId++;
    frame.responseId = responseId;
    frame.sessionId = m_sessionId;
    frame.timestamp = static_cast<uint32_t>(now);
    m_connectSentAt = now;
    m_send(EncodeConnectFrame(frame));
}

std::deque<DplayLink::Message> DplayLink::TakeReceived() { return std::exchange(m_received, {}); }

bool DplayLink::OnDatagram(ByteSpan bytes, uint64_t now) {
    if (m_state == State::Closed) return false;
    switch (ClassifyDatagram(bytes)) {
        case DatagramKind::Data:
            return OnData(bytes, now);
        case DatagramKind::Command:
            return OnCommand(bytes, now);
        default:
            return false;
    }
}

bool DplayLink::OnCommand(ByteSpan bytes, uint64_t now) {
    if (bytes[1] == kOpSack) {
        SackFrame sack;
        if (!DecodeSack(bytes, sack) || m_state != State::Established) return false;
        m_lastReceiveAt = now;
        OnAcknowledged(sack.nextReceive, sack.sackMask, now);
        OnSendMask(sack.nextSend, sack.sendMask);
        Drain(now);
        Flush(now);
        return true;
    }
    ConnectFrame frame;
    if (!DecodeConnectFrame(bytes, frame) || frame.sessionId != m_sessionId) return false;
    switch (frame.opcode) {
        case kOpConnect:
            // Our CONNECTED was lost: the connector tries again. Our retries
            // answer its latest request from now on.
            if (m_state != State::Accepting) return false;
            m_remoteMessageId = frame.messageId;
            SendConnectFrame(kOpConnected, true, frame.messageId, now);
            return true;
        case kOpConnected:
            if (m_state == State::Connecting && frame.poll) {
                m_remoteVersion = frame.version;
                m_rttMs = std::max<uint64_t>(1, now - m_connectSentAt);
                m_state = State::Established;
                m_lastReceiveAt = now;
                SendConnectFrame(kOpConnected, false, frame.messageId, now);
                Flush(now);
                return true;
            }
            if (m_state == State::Accepting && !frame.poll) {
                m_rttMs = std::max<uint64_t>(1, now - m_connectSentAt);
                m_state = State::Established;
                m_lastReceiveAt = now;
                Flush(now);
                return true;
            }
            if (m_state == State::Established && frame.poll) {
                // The listener did not hear our confirmation.
                SendConnectFrame(kOpConnected, false, frame.messageId, now);
                return true;
            }
            return false;
        case kOpHardDisconnect:
            if (m_state != State::Established && m_state != State::Accepting) return false;
            if (!m_hardByUs) {
                for (int i = 0; i < 3; ++i) SendConnectFrame(kOpHardDisconnect, false, m_nextSend, now);
            }
            Close(CloseReason::Hard);
            return true;
        default:
            return false;
    }
}

bool DplayLink::OnData(ByteSpan bytes, uint64_t now) {
    DataFrame frame;
    if (!DecodeDataFrame(bytes, frame) || m_state != State::Established) return false;
    const bool keepAlive = (frame.control & kControlKeepAlive) && KeepAliveHasSession();
    if (keepAlive) {
        if (frame.payload.size() != 4 || (frame.control & kControlCoalesce)) return false;
        const uint32_t session = frame.payload[0] | frame.payload[1] << 8 | frame.payload[2] << 16 |
                                 static_cast<uint32_t>(frame.payload[3]) << 24;
        if (session != m_sessionId) return false;
    }
    m_lastReceiveAt = now;
    m_lastWasRetry = (frame.control & kControlRetry) != 0;
    OnAcknowledged(frame.nextReceive, frame.sackMask, now);

    const uint8_t distance = static_cast<uint8_t>(frame.sequence - m_nextReceive);
    bool outOfOrder = distance != 0;
    if (distance >= kWindow || m_remoteEnded) {
        // A duplicate, or beyond the window: tell the sender where we are.
        if (frame.command & kCommandPoll)
            SendSack(now);
        else if (m_ackDueAt == 0 || m_ackDueAt > now + kShortAckDelayMs)
            m_ackDueAt = now + kShortAckDelayMs;
        Flush(now);
        return true;
    }
    OnSendMask(frame.sequence, frame.sendMask);
    Slot& slot = m_slots[frame.sequence % kWindow];
    if (slot.present && slot.sequence == frame.sequence) {
        outOfOrder = true;
    } else {
        slot.present = true;
        slot.dropped = false;
        slot.sequence = frame.sequence;
        slot.command = frame.command;
        slot.control = keepAlive ? kControlKeepAlive : frame.control;
        slot.payload = keepAlive ? Bytes() : std::move(frame.payload);
    }
    Drain(now);
    if (m_state == State::Closed) return true;
    if (frame.command & kCommandPoll) {
        SendSack(now);
    } else {
        const uint64_t due = now + (outOfOrder ? kShortAckDelayMs : kAckDelayMs);
        if (m_ackDueAt == 0 || m_ackDueAt > due) m_ackDueAt = due;
    }
    Flush(now);
    return true;
}

void DplayLink::OnAcknowledged(uint8_t nextReceive, uint64_t sackMask, uint64_t now) {
    const size_t acked = static_cast<uint8_t>(nextReceive - m_nextSend + m_window.size());
    // An acknowledgement of frames never sent is ignored.
    if (acked > m_window.size()) return;
    // One round-trip sample per acknowledgement, from the newest frame it
    // passes that went out once and is heard of for the first time. A frame
    // a SACK mask covered earlier, and any frame behind one that was lost
    // (retried, given up on, or SACKed past), sat at the receiver waiting for
    // the gap to close: its age says how long the gap took, not the round
    // trip, and counting it drives the retry interval towards its cap.
    std::optional<uint64_t> sentAt;
    bool behindGap = false;
    for (size_t i = 0; i < acked; ++i) {
        const InFlight& frame = m_window.front();
        if (frame.retries != 0 || frame.given_up || frame.sacked)
            behindGap = true;
        else if (!behindGap)
            sentAt = frame.sentAt;
        m_window.pop_front();
    }
    if (sentAt) m_rttMs = (m_rttMs * 7 + std::max<uint64_t>(1, now - *sentAt)) / 8;
    bool sacked = false;
    for (size_t i = 0; i < m_window.size(); ++i) {
        const uint8_t offset = static_cast<uint8_t>(m_window[i].sequence - nextReceive - 1);
        if (offset < 64 && (sackMask >> offset & 1)) {
            m_window[i].sacked = true;
            sacked = true;
        }
    }
    // A gap the receiver reports is retried soon.
    if (sacked && !m_window.empty() && !m_window.front().sacked && !m_window.front().given_up)
        m_window.front().nextRetryAt = std::min(m_window.front().nextRetryAt, now + 10);
}

void DplayLink::OnSendMask(uint8_t reference, uint64_t sendMask) {
    for (int bit = 0; bit < 64 && sendMask; ++bit) {
        if (!(sendMask >> bit & 1)) continue;
        const uint8_t sequence = static_cast<uint8_t>(reference - 1 - bit);
        if (static_cast<uint8_t>(sequence - m_nextReceive) >= kWindow) continue;
        Slot& slot = m_slots[sequence % kWindow];
        if (slot.present && slot.sequence == sequence) continue;
        slot = Slot();
        slot.dropped = true;
        slot.sequence = sequence;
    }
}

void DplayLink::Drain(uint64_t now) {
    for (;;) {
        Slot& slot = m_slots[m_nextReceive % kWindow];
        if (!(slot.present || slot.dropped) || slot.sequence != m_nextReceive) return;
        Slot taken = std::move(slot);
        slot = Slot();
        ++m_nextReceive;
        Deliver(taken, now);
        if (m_state == State::Closed) return;
    }
}

void DplayLink::Deliver(Slot& slot, uint64_t now) {
    if (slot.dropped) {
        // A lost unreliable frame: any message it was part of is lost too.
        m_assembling = false;
        m_assembly.clear();
        return;
    }
    if ((slot.control & kControlKeepAlive) || m_hardByUs) return;
    if (slot.control & kControlCoalesce) {
        std::vector<CoalescedPart> parts;
        if (DecodeCoalesced(slot.payload, parts)) {
            for (CoalescedPart& part : parts)
                m_received.push_back({std::move(part.data), (part.command & kCommandUser1) != 0});
        }
    } else if (!(slot.control & kControlEndStream) || !slot.payload.empty()) {
        Assemble(slot.payload, slot.command, now);
    }
    if (slot.control & kControlEndStream) {
        m_remoteEnded = true;
        SendSack(now);
        Disconnect(now);
    }
}

void DplayLink::Assemble(const Bytes& payload, uint8_t command, uint64_t now) {
    // A frame that starts a message ends any unfinished one, which is dropped.
    if ((command & kCommandNewMsg) || !m_assembling) {
        m_assembly.clear();
        m_assembling = true;
        m_assemblyUser1 = (command & kCommandUser1) != 0;
        m_assemblyStart = now;
    }
    if (m_assembly.size() + payload.size() > kMaxMessageBytes) {
        HardDisconnect(now);
        m_closeReason = CloseReason::Violation;
        return;
    }
    m_assembly.insert(m_assembly.end(), payload.begin(), payload.end());
    if (command & kCommandEndMsg) {
        m_received.push_back({std::exchange(m_assembly, {}), m_assemblyUser1});
        m_assembling = false;
    }
}

uint64_t DplayLink::Send(const Bytes& message, bool reliable, bool user1, uint32_t timeoutMs, uint64_t now) {
    if (m_state == State::Closed || m_closing || m_pending.size() >= kMaxPendingMessages) return 0;
    if (message.size() > kMaxMessageBytes) return 0;
    const uint64_t serial = m_nextSerial++;
    const uint8_t base = (reliable ? kCommandReliable : 0) | (user1 ? kCommandUser1 : 0);
    size_t at = 0;
    do {
        Pending part;
        const size_t size = std::min(kMaxFramePayload, message.size() - at);
        part.payload.assign(message.begin() + static_cast<ptrdiff_t>(at),
                            message.begin() + static_cast<ptrdiff_t>(at + size));
        part.command = base | (at == 0 ? kCommandNewMsg : 0);
        at += size;
        if (at == message.size()) part.command |= kCommandEndMsg;
        part.expiresAt = timeoutMs ? now + timeoutMs : 0;
        part.serial = serial;
        m_pending.push_back(std::move(part));
    } while (at < message.size());
    Flush(now);
    return serial;
}

void DplayLink::Disconnect(uint64_t now) {
    if (m_state == State::Closed || m_closing) return;
    if (m_state != State::Established) {
        Close(CloseReason::Graceful);
        return;
    }
    m_closing = true;
    m_closingSince = now;
    Pending end;
    end.command = kCommandReliable | kCommandNewMsg | kCommandEndMsg;
    end.control = kControlEndStream;
    end.serial = m_nextSerial++;
    m_pending.push_back(std::move(end));
    Flush(now);
}

void DplayLink::HardDisconnect(uint64_t now) {
    if (m_state == State::Closed || m_hardByUs) return;
    if (m_state != State::Established) {
        if (m_state == State::Accepting) SendConnectFrame(kOpHardDisconnect, false, 0, now);
        Close(CloseReason::Hard);
        return;
    }
    m_hardByUs = true;
    m_closing = true;
    m_pending.clear();
    m_window.clear();
    SendConnectFrame(kOpHardDisconnect, false, m_nextSend, now);
    m_hardSent = 1;
    m_hardNextAt = now + std::clamp<uint64_t>(m_rttMs / 2, 10, 500);
}

bool DplayLink::IsSent(uint64_t serial) const {
    // Messages are sequenced in serial order: the oldest one waiting decides.
    return m_state == State::Closed || m_pending.empty() || m_pending.front().serial > serial;
}

void DplayLink::Flush(uint64_t now) {
    // A message whose time ran out while it waited is dropped whole.
    uint64_t dropping = 0;
    std::erase_if(m_pending, [&](const Pending& p) {
        if (p.expiresAt && now >= p.expiresAt && (p.command & kCommandNewMsg)) dropping = p.serial;
        return dropping != 0 && p.serial == dropping;
    });
    if (m_state != State::Established || m_hardByUs) return;
    while (!m_pending.empty() && m_window.size() < kWindow && !m_endStreamSent) {
        Pending next = std::move(m_pending.front());
        m_pending.pop_front();
        if (next.control & kControlEndStream) m_endStreamSent = true;
        InFlight frame;
        frame.sequence = m_nextSend++;
        frame.frame = std::move(next);
        m_window.push_back(std::move(frame));
        Transmit(m_window.back(), false, now);
    }
}

void DplayLink::Transmit(InFlight& frame, bool retry, uint64_t now) {
    DataFrame data;
    const bool reliable = frame.frame.command & kCommandReliable;
    data.command = frame.frame.command | kCommandSequential | (reliable ? kCommandPoll : 0);
    data.control = frame.frame.control | (retry ? kControlRetry : 0);
    data.sequence = frame.sequence;
    data.nextReceive = m_nextReceive;
    data.sackMask = ReceiveSackMask();
    data.sendMask = SendMaskBefore(frame.sequence);
    data.payload = frame.frame.payload;
    if (frame.frame.control & kControlKeepAlive) {
        data.payload.clear();
        if (KeepAliveHasSession()) {
            for (int i = 0; i < 4; ++i) data.payload.push_back(static_cast<uint8_t>(m_sessionId >> (8 * i)));
        } else {
            data.control &= ~kControlKeepAlive;
        }
    }
    if (!retry) frame.sentAt = now;
    frame.nextRetryAt = now + RetryInterval(frame.retries);
    m_ackDueAt = 0;  // the frame carries our acknowledgement
    m_send(EncodeDataFrame(data));
}

void DplayLink::SendSack(uint64_t now) {
    SackFrame sack;
    sack.retry = m_lastWasRetry ? 1 : 0;
    sack.nextSend = m_nextSend;
    sack.nextReceive = m_nextReceive;
    sack.timestamp = static_cast<uint32_t>(now);
    sack.sackMask = ReceiveSackMask();
    sack.sendMask = SendMaskBefore(m_nextSend);
    m_ackDueAt = 0;
    m_sendMaskDueAt = 0;
    m_send(EncodeSack(sack));
}

uint64_t DplayLink::ReceiveSackMask() const {
    uint64_t mask = 0;
    for (int bit = 0; bit < 63; ++bit) {
        const uint8_t sequence = static_cast<uint8_t>(m_nextReceive + 1 + bit);
        const Slot& slot = m_slots[sequence % kWindow];
        if (slot.present && slot.sequence == sequence) mask |= 1ull << bit;
    }
    return mask;
}

uint64_t DplayLink::SendMaskBefore(uint8_t sequence) const {
    uint64_t mask = 0;
    for (const InFlight& frame : m_window) {
        const uint8_t bit = static_cast<uint8_t>(sequence - 1 - frame.sequence);
        if (frame.given_up && bit < 64) mask |= 1ull << bit;
    }
    return mask;
}

uint64_t DplayLink::RetryInterval(int retries) const {
    // Linear for the second and third try, then doubling, capped.
    static constexpr uint64_t kFactor[] = {1, 2, 3, 6, 12, 24, 48, 96};
    const uint64_t base = m_rttMs * 5 / 2 + kAckDelayMs;
    return std::min(kMaxRetryMs, base * kFactor[std::min(retries, 7)]);
}

void DplayLink::Poll(uint64_t now) {
    switch (m_state) {
        case State::Closed:
            return;
        case State::Connecting:
        case State::Accepting:
            if (now < m_connectRetryAt) return;
            if (m_connectTries >= kMaxConnectRetries) {
                Close(CloseReason::ConnectFailed);
                return;
            }
            ++m_connectTries;
            if (m_state == State::Connecting)
                SendConnectFrame(kOpConnect, true, 0, now);
            else
                SendConnectFrame(kOpConnected, true, m_remoteMessageId, now);
            m_connectRetryAt = now + ConnectRetryInterval(m_connectTries);
            return;
        case State::Established:
            break;
    }
    if (m_hardByUs) {
        if (now < m_hardNextAt) return;
        if (m_hardSent >= 3) {
            Close(m_closeReason == CloseReason::None ? CloseReason::Hard : m_closeReason);
            return;
        }
        SendConnectFrame(kOpHardDisconnect, false, m_nextSend, now);
        ++m_hardSent;
        m_hardNextAt = now + std::clamp<uint64_t>(m_rttMs / 2, 10, 500);
        return;
    }
    for (InFlight& frame : m_window) {
        if (frame.sacked || frame.given_up || now < frame.nextRetryAt) continue;
        if (!(frame.frame.command & kCommandReliable)) {
            frame.given_up = true;
            if (m_sendMaskDueAt == 0) m_sendMaskDueAt = now + kSendMaskDelayMs;
            continue;
        }
        if (frame.retries >= kMaxRetries) {
            Close(CloseReason::TimedOut);
            return;
        }
        ++frame.retries;
        Transmit(frame, true, now);
    }
    // Unreliable frames given up on leave the window once acknowledged past.
    if (m_assembling && now - m_assemblyStart > kMaxAssemblyMs) {
        HardDisconnect(now);
        m_closeReason = CloseReason::Violation;
        return;
    }
    // Until the receiver has passed the frames given up on, it hears of them
    // again now and then: one lost send mask would stall it for good.
    if (m_sendMaskDueAt == 0 &&
        std::any_of(m_window.begin(), m_window.end(), [](const InFlight& f) { return f.given_up; }))
        m_sendMaskDueAt = now + RetryInterval(0);
    Flush(now);
    if (m_ackDueAt && now >= m_ackDueAt) SendSack(now);
    if (m_sendMaskDueAt && now >= m_sendMaskDueAt) SendSack(now);
    if (!m_closing && now - m_lastReceiveAt >= kKeepAliveMs && now >= m_keepAliveAt) {
        Pending keepAlive;
        keepAlive.command = kCommandReliable | kCommandNewMsg | kCommandEndMsg;
        keepAlive.control = kControlKeepAlive;
        keepAlive.serial = m_nextSerial++;
        m_pending.push_back(std::move(keepAlive));
        m_keepAliveAt = now + kKeepAliveMs;
        Flush(now);
    }
    if (m_closing) {
        if (m_endStreamSent && m_window.empty() && m_remoteEnded) {
            Close(CloseReason::Graceful);
        } else if (now - m_closingSince > kLingerMs) {
            Close(CloseReason::Graceful);
        }
    }
}

}  // namespace dplay
