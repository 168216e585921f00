#include "net/halk_buffered_socket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "net/halk_socket.h"
#include "net/halk_socket_udp.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001;

// A listening socket on an ephemeral loopback port.
class Listener {
public:
    Listener() {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(kLoopback);
        socklen_t length = sizeof a;
        bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(m_fd, 4);
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &length);
        m_port = ntohs(a.sin_port);
    }
    ~Listener() { close(m_fd); }
    uint16_t Port() const { return m_port; }
    HalkSocket Accept() { return HalkSocket::Adopt(accept(m_fd, nullptr, nullptr)); }

private:
    int m_fd;
    uint16_t m_port;
};

struct Recorder : HalkBufferedSocketDataHandler {
    std::vector<std::string> lines;
    std::vector<std::pair<int, int>> states;
    void OnLine(HalkBufferedSocket*, const char* text, size_t length) override {
        lines.emplace_back(text, length);
    }
    void OnStateChange(HalkBufferedSocket*, int o, int n) override { states.emplace_back(o, n); }
};

void SendAll(HalkSocket& s, const std::string& bytes) {
    size_t at = 0;
    while (at < bytes.size()) {
        int n = s.Send(bytes.data() + at, bytes.size() - at);
        ASSERT_GE(n, 0);
        at += static_cast<size_t>(n);
    }
}

// Waits until done() holds, for at most ten seconds (a busy machine can hold
// loopback traffic back for a while).
template <class Done>
bool WaitFor(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Bytes waiting to be read at a descriptor.
size_t Waiting(int fd) {
    int n = 0;
    return ioctl(fd, FIONREAD, &n) == 0 && n > 0 ? static_cast<size_t>(n) : 0;
}

// Events the descriptor has now, without waiting.
short Events(int fd) {
    pollfd p{fd, POLLIN | POLLRDHUP, 0};
    return poll(&p, 1, 0) == 1 ? p.revents : 0;
}

// Waits until the connection's socket holds at least the given bytes unread.
void Arrive(HalkBufferedSocket& connection, size_t bytes) {
    ASSERT_TRUE(WaitFor([&] { return Waiting(connection.Socket().Descriptor()) >= bytes; }))
        << Waiting(connection.Socket().Descriptor()) << " of " << bytes << " bytes arrived";
}

// Waits until the peer's end of stream (after everything it sent) has arrived.
void PeerEnded(HalkBufferedSocket& connection) {
    ASSERT_TRUE(WaitFor([&] { return (Events(connection.Socket().Descriptor()) & (POLLRDHUP | POLLHUP | POLLERR)) != 0; }));
}

class BufferedSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        connection.SetDataHandler(&recorder);
        connection.Connect(kLoopback, listener.Port());
        peer = std::make_unique<HalkSocket>(listener.Accept());
        WaitFor([&] { return connection.GetState() == HalkSocket::kConnected; });
        ASSERT_EQ(connection.GetState(), HalkSocket::kConnected);
    }

    Listener listener;
    Recorder recorder;
    HalkBufferedSocket connection;
    std::unique_ptr<HalkSocket> peer;
};

}  // namespace

TEST_F(BufferedSocketTest, ReportsConnectingThenConnected) {
    ASSERT_GE(recorder.states.size(), 2u);
    EXPECT_EQ(recorder.states[0], std::make_pair(1, 2));
    EXPECT_EQ(recorder.states[1], std::make_pair(2, 3));
}

TEST_F(BufferedSocketTest, LineSplitAcrossReadsIsDeliveredOnce) {
    SendAll(*peer, "#DPAB");
    Arrive(connection, 5);
    connection.Poll(-1);
    EXPECT_TRUE(recorder.lines.empty());
    SendAll(*peer, "C\r");
    Arrive(connection, 2);
    connection.Poll(-1);
    EXPECT_TRUE(recorder.lines.empty());
    SendAll(*peer, "\n");
    Arrive(connection, 1);
    connection.Poll(-1);
    ASSERT_EQ(recorder.lines.size(), 1u);
    EXPECT_EQ(recorder.lines[0], "#DPABC\r\n");
}

TEST_F(BufferedSocketTest, MaximumLinesLeavesTheRestBuffered) {
    SendAll(*peer, "1\r\n2\r\n3\r\n4\r\n5\r\n");
    Arrive(connection, 15);
    connection.Poll(2);
    EXPECT_EQ(recorder.lines.size(), 2u);
    size_t received = 0, queued = 0;
    connection.GetBufferSizes(received, queued);
    EXPECT_EQ(received, 9u);
    connection.Poll(-1);
    EXPECT_EQ(recorder.lines.size(), 5u);
}

TEST_F(BufferedSocketTest, OverlongLineIsDroppedAndTheNextOneDelivered) {
    std::string junk(HalkBufferedSocket::kMaxLineBytes * 3, 'A');
    for (size_t at = 0; at < junk.size(); at += 4096) {
        SendAll(*peer, junk.substr(at, 4096));
        Arrive(connection, 4096);
        connection.Poll(-1);
        size_t received = 0, queued = 0;
        connection.GetBufferSizes(received, queued);
        EXPECT_LE(received, HalkBufferedSocket::kMaxLineBytes + 1024);
    }
    SendAll(*peer, "AAAA\r\n#DPX\r\n");
    Arrive(connection, 12);
    connection.Poll(-1);
    ASSERT_EQ(recorder.lines.size(), 1u);
    EXPECT_EQ(recorder.lines[0], "#DPX\r\n");
    EXPECT_EQ(connection.GetState(), HalkSocket::kConnected);
}

TEST_F(BufferedSocketTest, PeerCloseEndsTheConnectionAfterItsLines) {
    SendAll(*peer, "1\r\n2\r\n3\r\nunfinished");
    peer->Disconnect();  // half-close: the peer sends no more
    PeerEnded(connection);
    EXPECT_EQ(connection.Poll(2), HalkSocket::kConnected);  // a line is still waiting
    EXPECT_EQ(connection.Poll(2), HalkSocket::kClosed);
    // The peer will send no more: its unterminated last line is delivered as it is.
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"1\r\n", "2\r\n", "3\r\n", "unfinished"}));
    size_t received = 0, queued = 0;
    connection.GetBufferSizes(received, queued);
    EXPECT_EQ(received, 0u);
    EXPECT_EQ(recorder.states.back(), std::make_pair(3, 4));
}

TEST_F(BufferedSocketTest, FlushOfABigQueueShutsDownOnThePollThatEmptiesIt) {
    // The peer reads nothing yet: pieces go out until the kernel's buffers
    // are full and the queue keeps some.
    const std::string piece(256 << 10, 'x');
    size_t sent = 0;
    size_t received = 0, queued = 0;
    for (int i = 0; i < 400 && queued == 0; ++i) {
        connection.Send(piece);
        sent += piece.size();
        connection.Poll(0);
        connection.GetBufferSizes(received, queued);
    }
    connection.Flush();
    connection.GetBufferSizes(received, queued);
    ASSERT_GT(queued, 0u) << "the socket took 100 MiB; the test needs a peer that reads less";
    EXPECT_FALSE(connection.SendQueueOverflowed());
    EXPECT_EQ(connection.GetState(), HalkSocket::kConnected);
    std::vector<char> sink(1 << 16);
    size_t drained = 0;
    for (int i = 0; i < 100000 && drained < sent; ++i) {
        int n = peer->Receive(sink.data(), sink.size());
        if (n > 0) drained += static_cast<size_t>(n);
        connection.Poll(-1);
    }
    EXPECT_EQ(drained, sent);
    // The shut-down reached the peer as end of stream.
    char byte;
    EXPECT_TRUE(WaitFor([&] {
        peer->Receive(&byte, 1);
        return peer->PeerClosed();
    }));
}

TEST_F(BufferedSocketTest, SendToAClosedPeerRaisesNoSignal) {
    peer->Abort();
    PeerEnded(connection);
    WaitFor([&] {
        connection.Send(std::string(1000, 'x'));
        connection.Poll(-1);
        return connection.GetState() != HalkSocket::kConnected;
    });
    EXPECT_EQ(connection.GetState(), HalkSocket::kClosed);
}

TEST(HalkBufferedSocket, EmptyTerminatorKeepsCrLf) {
    Listener listener;
    Recorder recorder;
    HalkBufferedSocket connection;
    connection.SetDataHandler(&recorder);
    connection.SetTerminator("");
    connection.Connect(kLoopback, listener.Port());
    HalkSocket peer = listener.Accept();
    SendAll(peer, "a\nb\r\n");
    Arrive(connection, 5);
    connection.Poll(-1);
    EXPECT_EQ(recorder.lines, std::vector<std::string>{"a\nb\r\n"});
}

TEST(HalkSocket, FailedConnectEndsClosedNeverConnected) {
    uint16_t port;
    {
        Listener gone;  // a port that was free a moment ago and has no listener now
        port = gone.Port();
    }
    HalkSocket socket;
    socket.Connect(kLoopback, port);
    int state = socket.State();
    WaitFor([&] {
        state = socket.PollState();
        return state != HalkSocket::kConnecting;
    });
    EXPECT_TRUE(state == HalkSocket::kClosed || state == HalkSocket::kError) << state;
}

TEST(HalkSocket, Resolve) {
    struct Case {
        const char* name;
        const char* host;
        uint32_t ip;
    } cases[] = {
        {"dotted", "10.1.2.3", 0x0A010203},
        {"loopback", "127.0.0.1", kLoopback},
        {"unknown name", "no-such-host.invalid", 0},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HalkSocket::Resolve(c.host), c.ip);
    }
    EXPECT_EQ(HalkSocket::Resolve("localhost"), kLoopback);
}

TEST(HalkSocketUDP, SendsAndReceivesOnLoopback) {
    HalkSocketUDP a(0);
    HalkSocketUDP b(0);
    ASSERT_TRUE(a.IsOpen() && b.IsOpen());
    char buffer[64];
    uint32_t ip = 0;
    uint16_t port = 0;
    EXPECT_EQ(b.ReceiveFrom(buffer, sizeof buffer, ip, port), -1);  // nothing waiting
    ASSERT_EQ(a.SendTo("melp", 4, kLoopback, b.LocalPort()), 4);
    ASSERT_TRUE(WaitFor([&] { return Waiting(b.Handle()) > 0; }));
    ASSERT_EQ(b.ReceiveFrom(buffer, sizeof buffer, ip, port), 4);
    EXPECT_EQ(std::string(buffer, 4), "melp");
    EXPECT_EQ(ip, kLoopback);
    EXPECT_EQ(port, a.LocalPort());
    HalkSocketUDP clash(b.LocalPort());
    EXPECT_FALSE(clash.IsOpen());
}

TEST_F(BufferedSocketTest, ResetIsReportedAfterTheLinesBeforeIt) {
    SendAll(*peer, "1\r\n2\r\n3\r\n4\r\n5\r\npartial");
    Arrive(connection, 22);
    peer->Abort();
    PeerEnded(connection);
    EXPECT_EQ(connection.Poll(2), HalkSocket::kConnected);
    EXPECT_EQ(connection.Poll(2), HalkSocket::kConnected);
    EXPECT_EQ(connection.Poll(2), HalkSocket::kClosed);
    EXPECT_EQ(recorder.lines.size(), 5u);
    size_t received = 0, queued = 0;
    connection.GetBufferSizes(received, queued);
    EXPECT_EQ(received, 0u);
}

TEST_F(BufferedSocketTest, LocalDisconnectIsReportedAtOnce) {
    SendAll(*peer, "1\r\n2\r\n");
    Arrive(connection, 6);
    connection.Poll(0);  // read, deliver nothing
    connection.Disconnect();
    EXPECT_EQ(recorder.states.back(), std::make_pair(3, 4));
}
