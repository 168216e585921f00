// Tests of the voice channel against a scripted server on loopback, of two
// channels talking through the local voice server, and of the direct link.
#include "voice/voice_channel.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/halk_socket.h"
#include "net/halk_socket_udp.h"
#include "platform/clock.h"
#include "tools/voiceserver/voice_test_server.h"
#include "voice/audio_clock.h"
#include "voice/direct_voice_link.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001;

class Events : public CVoiceChannelHandler {
public:
    void OnEvent(CVoiceChannel*, uint32_t code) override {
        std::string text;
        for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>(code >> shift);
        log += text + " ";
    }
    std::string log;
};

class Sink : public CAudioConsumer {
public:
    void Consume(int32_t, const uint8_t* data, int16_t length) override {
        blocks.emplace_back(data, data + length);
    }
    std::vector<std::vector<uint8_t>> blocks;
};

class Source : public CAudioProducer {};

// A TCP listener on loopback that takes one connection.
class ScriptedServer {
public:
    ScriptedServer() {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(m_listener, 1);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length);
        port = ntohs(a.sin_port);
    }
    ~ScriptedServer() {
        if (m_client >= 0) close(m_client);
        close(m_listener);
    }
    void Accept() { m_client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK); }
    void Write(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(write(m_client, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::vector<uint8_t> Read() {
        std::vector<uint8_t> out(4096);
        ssize_t n = read(m_client, out.data(), out.size());
        out.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return out;
    }
    // Everything written has been acknowledged: the channel's end holds it.
    bool Delivered() const {
        int unacknowledged = 0;
        return ioctl(m_client, SIOCOUTQ, &unacknowledged) == 0 && unacknowledged == 0;
    }
    void Close() {
        close(m_client);
        m_client = -1;
    }
    uint16_t port = 0;

private:
    int m_listener = -1;
    int m_client = -1;
};

// Runs the steps until done, for at most ten seconds.
bool Until(const std::function<bool()>& done, const std::function<void()>& step) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        step();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        usleep(1000);
    }
}

std::vector<uint8_t> Hello(uint16_t sender, const std::string& room, bool flag,
                           const std::vector<uint8_t>& payload = {}) {
    uint8_t out[kMaxVoiceDatagram];
    size_t n = BuildVoiceDatagram(out, room, sender, flag, nullptr, 0, nullptr, 0, payload.data(),
                                  static_cast<int>(payload.size()));
    return std::vector<uint8_t>(out, out + n);
}

// Reads the datagrams on a raw socket: waits (ten seconds at most) until
// `expected` have come, then takes any others already waiting.
std::vector<VoiceDatagram> Drain(HalkSocketUDP& socket, std::vector<std::vector<uint8_t>>& storage,
                                 size_t expected) {
    std::vector<VoiceDatagram> out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        std::vector<uint8_t> buffer(2048);
        uint32_t ip = 0;
        uint16_t port = 0;
        int n = socket.ReceiveFrom(reinterpret_cast<char*>(buffer.data()), buffer.size(), ip, port);
        if (n < 0) {
            if (out.size() >= expected || std::chrono::steady_clock::now() > deadline) break;
            usleep(1000);
            continue;
        }
        buffer.resize(static_cast<size_t>(n));
        storage.push_back(buffer);
        VoiceDatagram d;
        if (ParseVoiceDatagram(storage.back().data(), storage.back().size(), d)) out.push_back(d);
    }
    return out;
}

class ChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        channel = std::make_unique<CVoiceChannel>(kLoopback, server.port, "APP", "DLH (123)", 0, 0,
                                                  std::array<uint8_t, 12>{}, &port);
        channel->SetHandler(&events);
        channel->Connect(0, &sink, 0);
    }
    void Join() {
        channel->ConnectServer();
        server.Accept();
        ASSERT_TRUE(
            Until([&] { return channel->SocketState() == HalkSocket::kConnected; }, [&] { channel->Run(); }));
        channel->Run();
    }
    void Items(const std::vector<uint8_t>& bytes) {
        server.Write(bytes);
        ASSERT_TRUE(Until([&] { return server.Delivered(); }, [] {}));
        channel->Run();
    }

    ScriptedServer server;
    CUDPAudioPort port{0};
    HalkSocketUDP peer{0};
    Events events;
    Sink sink;
    std::unique_ptr<CVoiceChannel> channel;
};

TEST_F(ChannelTest, JoinItemsAreTheFirstBytes) {
    Join();
    std::vector<uint8_t> expected;
    AppendJoinItems(expected, "APP", "DLH (123)", 0, 0, {});
    EXPECT_EQ(server.Read(), expected);
}

TEST_F(ChannelTest, ItemReactions) {
    Join();
    server.Read();
    std::vector<uint8_t> items;
    AppendVoiceItemId(items, voice_item::kOwnId, 3);
    AppendVoiceItemEndPoint(items, 5, kLoopback, peer.LocalPort());  // before its announcement
    AppendVoiceItemName(items, 5, "EDDF_TWR");
    items.push_back(0x0F);
    items.push_back(0x15);
    AppendVoiceItemEndPoint(items, 3, 0x0A000001, 4000);
    Items(items);
    EXPECT_EQ(channel->OwnId(), 3);
    ASSERT_EQ(channel->Members().count(5), 1u);
    EXPECT_EQ(channel->Members().at(5).name, "EDDF_TWR");
    EXPECT_EQ(channel->PublicAddress(), 0x0A000001u);
    EXPECT_EQ(events.log, "rwdn rwIP ");
    std::vector<std::vector<uint8_t>> storage;
    auto hellos = Drain(peer, storage, 1);
    ASSERT_EQ(hellos.size(), 1u);
    EXPECT_EQ(hellos[0].senderId, 3);
    EXPECT_EQ(hellos[0].room, "APP");
    EXPECT_FALSE(hellos[0].flag) << "not heard yet";
    EXPECT_EQ(hellos[0].payloadLength, 0);
    channel->Run();
    EXPECT_EQ(server.Read(), (std::vector<uint8_t>{0x0F, 0x15})) << "the server's ping is answered";

    std::vector<uint8_t> leave;
    AppendVoiceItemId(leave, voice_item::kMemberLeft, 5);
    Items(leave);
    EXPECT_EQ(channel->Members().count(5), 0u);
}

TEST_F(ChannelTest, ABadItemClosesTheConnection) {
    Join();
    Items({0x0F, 0x0F, 0x00, 0x02, 0x00, 0x01});
    EXPECT_EQ(channel->SocketState(), HalkSocket::kClosed);
    EXPECT_EQ(events.log, "rwDn ");
}

TEST_F(ChannelTest, ServerClosingEndsTheRoom) {
    Join();
    std::vector<uint8_t> items;
    AppendVoiceItemId(items, voice_item::kOwnId, 3);
    AppendVoiceItemId(items, voice_item::kMemberJoined, 0);
    Items(items);
    server.Close();
    ASSERT_TRUE(
        Until([&] { return channel->SocketState() == HalkSocket::kClosed; }, [&] { channel->Run(); }));
    EXPECT_EQ(events.log, "rwDn ");
    EXPECT_TRUE(channel->Members().empty());
    EXPECT_EQ(channel->OwnId(), 0);
}

TEST_F(ChannelTest, UnknownServerFailsAtOnce) {
    CVoiceChannel nowhere(0, 3782, "APP", "X", 0, 0, {}, &port);
    Events e;
    nowhere.SetHandler(&e);
    nowhere.ConnectServer();
    nowhere.Run();
    EXPECT_EQ(nowhere.SocketState(), HalkSocket::kError);
    EXPECT_EQ(e.log, "rwdn ");
}

TEST_F(ChannelTest, DatagramsFromMembers) {
    ManualClock clock(1000);
    SetAudioClock(&clock);
    Join();
    std::vector<uint8_t> items;
    AppendVoiceItemId(items, voice_item::kOwnId, 3);
    AppendVoiceItemEndPoint(items, 5, kLoopback, peer.LocalPort());
    AppendVoiceItemId(items, voice_item::kMemberJoined, 6);
    Items(items);
    std::vector<std::vector<uint8_t>> storage;
    Drain(peer, storage, 1);
    events.log.clear();

    auto unknown = Hello(9, "APP", false);
    port.Dispatch(kLoopback, peer.LocalPort(), unknown.data(), unknown.size());
    EXPECT_EQ(events.log, "") << "an unknown sender is dropped";

    std::vector<uint8_t> block(86, 0x11);
    auto speech = Hello(5, "app", true, block);
    port.Dispatch(kLoopback, peer.LocalPort(), speech.data(), speech.size());
    EXPECT_EQ(events.log, "rwCn ") << "a room name differing in case is accepted";
    ASSERT_EQ(sink.blocks.size(), 1u);
    EXPECT_EQ(sink.blocks[0], block);
    EXPECT_TRUE(Drain(peer, storage, 0).empty()) << "flag 1 from an unchanged end point within 15 s: no answer";

    auto zero = Hello(5, "APP", false);
    port.Dispatch(kLoopback, peer.LocalPort(), zero.data(), zero.size());
    auto answers = Drain(peer, storage, 1);
    ASSERT_EQ(answers.size(), 1u) << "flag 0 is always answered";
    EXPECT_TRUE(answers[0].flag);
    clock.Advance(15100);
    port.Dispatch(kLoopback, peer.LocalPort(), speech.data(), speech.size());
    EXPECT_EQ(Drain(peer, storage, 1).size(), 1u) << "after 15 s a flag-1 datagram is answered again";
    SetAudioClock(nullptr);
}

TEST_F(ChannelTest, SpeechGoesToMemberZeroWithTheRecipients) {
    Join();
    Source mic;
    mic.Connect(0, channel.get(), 0);
    std::vector<uint8_t> block(86, 0x22);
    std::vector<uint8_t> items;
    AppendVoiceItemId(items, voice_item::kOwnId, 3);
    for (uint16_t id : {7, 5}) AppendVoiceItemId(items, voice_item::kMemberJoined, id);
    Items(items);
    mic.Send(0, block.data(), 86);
    std::vector<std::vector<uint8_t>> storage;
    EXPECT_TRUE(Drain(peer, storage, 0).empty()) << "without member 0 nothing is sent";

    items.clear();
    AppendVoiceItemEndPoint(items, 0, kLoopback, peer.LocalPort());
    Items(items);
    Drain(peer, storage, 1);
    mic.Send(0, block.data(), 86);
    auto sent = Drain(peer, storage, 1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].senderId, 3);
    EXPECT_EQ(sent[0].listA, (std::vector<uint16_t>{5, 7}));
    EXPECT_EQ(sent[0].payloadLength, 86);

    items.clear();
    AppendVoiceItemId(items, voice_item::kMemberLeft, 5);
    Items(items);
    mic.Send(0, block.data(), 86);
    sent = Drain(peer, storage, 1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].listA, (std::vector<uint16_t>{7})) << "a member that left is no longer a recipient";
}

TEST_F(ChannelTest, ReconnectForgetsTheOldSession) {
    Join();
    std::vector<uint8_t> items;
    AppendVoiceItemId(items, voice_item::kOwnId, 3);
    AppendVoiceItemId(items, voice_item::kMemberJoined, 5);
    Items(items);
    channel->ConnectServer();
    EXPECT_EQ(channel->OwnId(), 0);
    EXPECT_TRUE(channel->Members().empty());
}

TEST(VoiceServer, TwoChannelsHearEachOtherThroughTheRelay) {
    VoiceTestServer server;
    std::string error;
    ASSERT_TRUE(server.Start(0, true, &error)) << error;
    CUDPAudioPort portA(0), portB(0);
    CVoiceChannel a(kLoopback, server.Port(), "EDDF_TWR", "A (1)", 0, 0, {}, &portA);
    CVoiceChannel b(kLoopback, server.Port(), "EDDF_TWR", "B (2)", 0, 0, {}, &portB);
    Events ea, eb;
    a.SetHandler(&ea);
    b.SetHandler(&eb);
    Sink heard;
    b.Connect(0, &heard, 0);
    a.ConnectServer();
    b.ConnectServer();
    auto step = [&] {
        server.Poll();
        a.Run();
        b.Run();
        portA.Run();
        portB.Run();
    };
    ASSERT_TRUE(Until(
        [&] {
            return ea.log.find("rwCn") != std::string::npos && eb.log.find("rwCn") != std::string::npos &&
                   a.Members().size() == 2 && b.Members().size() == 2;
        },
        step))
        << ea.log << " / " << eb.log;
    std::vector<uint8_t> block(86, 0x33);
    a.Consume(0, block.data(), 86);
    ASSERT_TRUE(Until([&] { return !heard.blocks.empty(); }, step));
    EXPECT_EQ(heard.blocks[0], block);

    server.CloseRoom("EDDF_TWR");
    ASSERT_TRUE(Until([&] { return a.SocketState() == HalkSocket::kClosed; }, step));
    EXPECT_NE(ea.log.find("rwDn"), std::string::npos);
}

TEST(DirectVoiceLink, HelloNamesPortsAndFlags) {
    CUDPAudioPort port(0);
    HalkSocketUDP peer(0);
    Sink sink;
    CDirectVoiceLink link(kLoopback, peer.LocalPort(), "ICEDDF_TWR", "ICEDDF_APP", &port);
    link.Connect(0, &sink, 0);
    std::vector<std::vector<uint8_t>> storage;
    auto first = Drain(peer, storage, 1);
    ASSERT_EQ(first.size(), 1u) << "creating a link sends one hello";
    EXPECT_EQ(first[0].room, "ICEDDF_APP");
    EXPECT_EQ(first[0].senderId, 1);
    EXPECT_FALSE(first[0].flag);
    EXPECT_EQ(first[0].payloadLength, 0);

    std::vector<uint8_t> block(86, 0x44);
    auto right = Hello(1, "ICEDDF_TWR", false, block);
    auto wrongCase = Hello(1, "icEDDF_TWR", false, block);
    EXPECT_TRUE(port.Dispatch(0x0A000001, 5000, right.data(), right.size()));
    EXPECT_TRUE(sink.blocks.empty()) << "another address is not the peer";
    port.Dispatch(kLoopback, 6000, wrongCase.data(), wrongCase.size());
    EXPECT_TRUE(sink.blocks.empty()) << "letter case counts on a land line";
    port.Dispatch(kLoopback, 6000, right.data(), right.size());
    ASSERT_EQ(sink.blocks.size(), 1u);
    EXPECT_EQ(link.PeerPort(), 6000) << "the peer port follows the source port";

    link.Consume(0, block.data(), 86);
    CDirectVoiceLink back(kLoopback, peer.LocalPort(), "x", "y", &port);
    auto later = Drain(peer, storage, 1);
    ASSERT_EQ(later.size(), 1u) << "the speech went to the new port, only the second link's hello here";
    EXPECT_EQ(later[0].room, "y");
}

}  // namespace
