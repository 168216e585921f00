// HalkBufferedSocket: send queue, receive buffer and line framing over HalkSocket.
// Consumed data is skipped by offset and compacted in bulk, so a burst costs
// linear time. Tested by tests/net/halk_buffered_socket_test.cpp.
#include "net/halk_buffered_socket.h"

HalkBufferedSocket::HalkBufferedSocket() : m_socket(0), m_lastState(m_socket.State()) {}

HalkBufferedSocket::HalkBufferedSocket(HalkSocket socket)
    : m_socket(std::move(socket)), m_lastState(m_socket.State()) {}

HalkBufferedSocket::~HalkBufferedSocket() = default;

void HalkBufferedSocket::SetTerminator(std::string_view terminator) {
    m_terminator = terminator.empty() ? std::string("\r\n") : std::string(terminator);
}

int HalkBufferedSocket::Connect(uint32_t ip, uint16_t port) {
    int result = m_socket.Connect(ip, port);
    // Report "connecting" before any poll can move the state on.
    SetState(m_socket.State());
    return result;
}

void HalkBufferedSocket::Disconnect() {
    m_localClose = true;
    m_socket.Disconnect();
    UpdateState();
}

void HalkBufferedSocket::Send(const char* data, size_t length) {
    if (m_sendOverflowed || m_sendQueue.size() - m_sendStart + length > kMaxQueuedBytes) {
        m_sendOverflowed = true;
        return;
    }
    m_sendQueue.append(data, length);
}

void HalkBufferedSocket::GetBufferSizes(size_t& receiveLength, size_t& sendLength) const {
    receiveLength = m_receive.size() - m_receiveStart;
    sendLength = m_sendQueue.size() - m_sendStart;
}

int HalkBufferedSocket::GetState() {
    UpdateState();
    return m_lastState;
}

void HalkBufferedSocket::UpdateState() {
    int state = m_socket.PollState();
    // A close or reset from the peer is reported once the lines that came
    // before it are delivered.
    bool peerEnded = (state == HalkSocket::kClosed || state == HalkSocket::kError) && !m_localClose;
    if (peerEnded && m_lastState == HalkSocket::kConnected && HasCompleteLine()) return;
    SetState(state);
}

bool HalkBufferedSocket::HasCompleteLine() const {
    size_t from = m_scanFrom < m_receiveStart ? m_receiveStart : m_scanFrom;
    return m_receive.find(m_terminator, from) != std::string::npos;
}

void HalkBufferedSocket::SetState(int state) {
    if (state == m_lastState) return;
    int old = m_lastState;
    m_lastState = state;
    if (m_handler) m_handler->OnStateChange(this, old, state);
}

void HalkBufferedSocket::SendQueued() {
    while (m_sendStart < m_sendQueue.size()) {
        int sent = m_socket.Send(m_sendQueue.data() + m_sendStart, m_sendQueue.size() - m_sendStart);
        if (sent < 0) {
            UpdateState();
            break;
        }
        if (sent == 0) break;
        m_sendStart += static_cast<size_t>(sent);
    }
    if (m_sendStart == m_sendQueue.size()) {
        m_sendQueue.clear();
        m_sendStart = 0;
    } else if (m_sendStart > 65536 && m_sendStart * 2 > m_sendQueue.size()) {
        m_sendQueue.erase(0, m_sendStart);
        m_sendStart = 0;
    }
}

void HalkBufferedSocket::Flush() {
    if (m_socket.State() != HalkSocket::kConnected) {
        m_flushThenShutdown = true;
        return;
    }
    SendQueued();
    if (m_socket.State() != HalkSocket::kConnected || m_sendStart < m_sendQueue.size()) {
        m_flushThenShutdown = true;
        return;
    }
    m_socket.RequestShutdown();
    UpdateState();
    m_flushThenShutdown = false;
}

void HalkBufferedSocket::Compact() {
    if (m_receiveStart == m_receive.size()) {
        m_receive.clear();
        m_scanFrom = 0;
        m_receiveStart = 0;
    } else if (m_receiveStart > 4096 && m_receiveStart * 2 > m_receive.size()) {
        m_receive.erase(0, m_receiveStart);
        m_scanFrom -= m_receiveStart;
        m_receiveStart = 0;
    }
}

void HalkBufferedSocket::ReadAvailable() {
    char chunk[1024];
    while (m_socket.State() == HalkSocket::kConnected &&
           m_receive.size() - m_receiveStart < kMaxBufferedBytes) {
        int got = m_socket.Receive(chunk, sizeof chunk);
        if (got < 0) {
            UpdateState();
            break;
        }
        if (got < 1) break;
        m_receive.append(chunk, static_cast<size_t>(got));
    }
}

size_t HalkBufferedSocket::FindTerminator() {
    for (;;) {
        size_t from = m_scanFrom < m_receiveStart ? m_receiveStart : m_scanFrom;
        size_t at = m_receive.find(m_terminator, from);
        if (at == std::string::npos) {
            size_t keep = m_terminator.size() - 1;
            m_scanFrom = m_receive.size() > keep ? m_receive.size() - keep : 0;
            if (m_receive.size() - m_receiveStart > kMaxLineBytes) {
                // Keep only what might be the start of a split terminator.
                m_discarding = true;
                m_receiveStart = m_scanFrom > m_receiveStart ? m_scanFrom : m_receiveStart;
                Compact();
            }
            return std::string::npos;
        }
        size_t end = at + m_terminator.size();
        if (m_discarding || end - m_receiveStart > kMaxLineBytes) {
            m_discarding = false;
            m_receiveStart = end;
            m_scanFrom = end;
            continue;
        }
        return at;
    }
}

void HalkBufferedSocket::DeliverLines(int maxLines) {
    while (maxLines != 0) {
        size_t at = FindTerminator();
        if (at == std::string::npos) break;
        size_t start = m_receiveStart;
        size_t end = at + m_terminator.size();
        m_receiveStart = end;
        m_scanFrom = end;
        // The handler may queue sends or disconnect, but the buffer is not
        // touched again until it returns, so the pointer stays valid.
        if (m_handler) m_handler->OnLine(this, m_receive.data() + start, end - start);
        if (maxLines > 0) --maxLines;
    }
    Compact();
}

int HalkBufferedSocket::Poll(int maxLines) {
    UpdateState();
    if (m_socket.State() == HalkSocket::kConnected) {
        if (m_sendStart < m_sendQueue.size()) SendQueued();
        if (m_socket.State() == HalkSocket::kConnected && m_sendStart == m_sendQueue.size() &&
            m_flushThenShutdown) {
            m_socket.RequestShutdown();
            UpdateState();
            m_flushThenShutdown = false;
        }
        ReadAvailable();
    }
    if (maxLines == 0) return GetState();
    DeliverLines(maxLines);
    int state = m_socket.State();
    bool ended = state == HalkSocket::kClosed || state == HalkSocket::kError ||
                 (state == HalkSocket::kConnected && m_socket.PeerClosed());
    if (ended && m_receiveStart < m_receive.size() && FindTerminator() == std::string::npos) {
        // Every complete line is out; an unfinished tail can never complete.
        // After an orderly close it is the peer's last word, whole.
        const bool orderly = state == HalkSocket::kConnected && m_socket.PeerClosed();
        if (orderly && !m_discarding && m_handler) {
            const size_t start = m_receiveStart;
            m_receiveStart = m_receive.size();
            m_handler->OnLine(this, m_receive.data() + start, m_receive.size() - start);
        }
        m_receive.clear();
        m_receiveStart = 0;
        m_scanFrom = 0;
        m_discarding = false;
    }
    if (state == HalkSocket::kConnected && m_socket.PeerClosed() && m_receive.size() == m_receiveStart) {
        m_socket.MarkClosed();
    }
    return GetState();
}
