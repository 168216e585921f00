// Tests of one reliable DirectPlay connection on a fake clock, between two
// links joined by a datagram layer that drops, duplicates and reorders what
// passes: the handshake, ordered delivery of reliable messages (also ones
// split over many frames), unreliable messages that are lost without
// stalling the rest, keep-alives, time-outs, and both ways of disconnecting.
#include "simbridge/dplay_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

using namespace dplay;

namespace {

struct Faults {
    int dropEvery = 0;  // every n-th datagram is lost
    int duplicateEvery = 0;
    int holdEvery = 0;  // held back and sent after the next one
    int dropFirst = 0;  // the first n datagrams are lost
    int lossPercent = 0;  // lost at random, this share of them
    uint64_t delayMs = 0;  // on the way, each direction
    bool hideSackMasks = false;  // B's acknowledgements never tell of frames out of order
};

Bytes WithoutSackMask(const Bytes& d) {
    if (ClassifyDatagram(d) == DatagramKind::Data) {
        DataFrame frame;
        if (!DecodeDataFrame(d, frame)) return d;
        frame.sackMask = 0;
        frame.control &= ~(kControlSack1 | kControlSack2);
        return EncodeDataFrame(frame);
    }
    SackFrame sack;
    if (d.size() < 2 || d[1] != kOpSack || !DecodeSack(d, sack)) return d;
    sack.sackMask = 0;
    return EncodeSack(sack);
}

// Two links on one fake clock. A connects; B is made from the first CONNECT
// that arrives, as a listening node would.
class LinkPair {
public:
    explicit LinkPair(Faults faults = {}) : m_faults(faults) {
        // The classic 15-bit generator, seeded: the same losses every run.
        m_random = 0x5EED;
        a = std::make_unique<DplayLink>(0x5EED1234, now,
                                        [this](const Bytes& d) { Route(d, m_toB, m_heldB); });
    }

    void Step(uint64_t ms = 5) {
        now += ms;
        const std::deque<Bytes> toB = Arrived(m_toB), toA = Arrived(m_toA);
        for (const Bytes& d : toB) {
            if (!b) {
                ConnectFrame connect;
                if (!DecodeConnectFrame(d, connect) || connect.opcode != kOpConnect) continue;
                b = std::make_unique<DplayLink>(connect, now, [this](const Bytes& d) {
                    Route(m_faults.hideSackMasks ? WithoutSackMask(d) : d, m_toA, m_heldA);
                });
                continue;
            }
            b->OnDatagram(d, now);
        }
        for (const Bytes& d : toA) a->OnDatagram(d, now);
        a->Poll(now);
        if (b) b->Poll(now);
        for (auto& m : a->TakeReceived()) fromB.push_back(std::move(m.data));
        if (b)
            for (auto& m : b->TakeReceived()) fromA.push_back(std::move(m.data));
    }
    template <typename Done>
    bool RunUntil(Done done, uint64_t limitMs = 120000) {
        const uint64_t end = now + limitMs;
        while (now < end) {
            if (done()) return true;
            Step();
        }
        return done();
    }
    bool Connected() {
        return RunUntil([&] { return a->IsEstablished() && b && b->IsEstablished(); });
    }
    void Cut() { m_cut = true; }
    size_t datagrams = 0;

    uint64_t now = 1000;
    std::unique_ptr<DplayLink> a, b;
    std::vector<Bytes> fromA, fromB;

private:
    struct OnTheWay {
        uint64_t arrivesAt = 0;
        Bytes datagram;
    };
    std::deque<Bytes> Arrived(std::deque<OnTheWay>& queue) {
        std::deque<Bytes> arrived;
        while (!queue.empty() && queue.front().arrivesAt <= now) {
            arrived.push_back(std::move(queue.front().datagram));
            queue.pop_front();
        }
        return arrived;
    }
    int Random() {
        m_random = m_random * 214013 + 2531011;
        return (m_random >> 16) & 0x7FFF;
    }
    void Route(const Bytes& d, std::deque<OnTheWay>& queue, std::optional<Bytes>& held) {
        const int n = ++m_count;
        ++datagrams;
        if (m_cut || n <= m_faults.dropFirst) return;
        if (m_faults.dropEvery && n % m_faults.dropEvery == 0) return;
        if (m_faults.lossPercent && Random() % 100 < m_faults.lossPercent) return;
        if (m_faults.holdEvery && n % m_faults.holdEvery == 0 && !held) {
            held = d;
            return;
        }
        const uint64_t arrivesAt = now + m_faults.delayMs;
        queue.push_back({arrivesAt, d});
        if (m_faults.duplicateEvery && n % m_faults.duplicateEvery == 0) queue.push_back({arrivesAt, d});
        if (held) {
            queue.push_back({arrivesAt, *held});
            held.reset();
        }
    }
    Faults m_faults;
    int m_count = 0;
    uint32_t m_random = 0;
    bool m_cut = false;
    std::deque<OnTheWay> m_toA, m_toB;
    std::optional<Bytes> m_heldA, m_heldB;
};

Bytes MessageNumber(int i, size_t size) {
    Bytes m(size, static_cast<uint8_t>(i * 7));
    m[0] = static_cast<uint8_t>(i);
    m[size - 1] = static_cast<uint8_t>(i >> 8);
    return m;
}

struct FaultCase {
    const char* name;
    Faults faults;
};

class ReliableDelivery : public testing::TestWithParam<FaultCase> {};

TEST_P(ReliableDelivery, EveryMessageArrivesOnceAndInOrder) {
    LinkPair pair(GetParam().faults);
    ASSERT_TRUE(pair.Connected());
    std::vector<Bytes> sent;
    for (int i = 0; i < 150; ++i) {
        // Now and then one long enough to take several frames.
        const size_t size = i % 25 == 0 ? 5000 : 20 + i % 50;
        sent.push_back(MessageNumber(i, size));
        ASSERT_NE(pair.a->Send(sent.back(), true, false, 0, pair.now), 0u);
        if (i % 10 == 0) pair.Step();
    }
    // Traffic the other way shares the frames' acknowledgements.
    for (int i = 0; i < 20; ++i) pair.b->Send(MessageNumber(i, 30), true, true, 0, pair.now);
    ASSERT_TRUE(pair.RunUntil([&] { return pair.fromA.size() == sent.size() && pair.fromB.size() == 20; }));
    EXPECT_EQ(pair.fromA, sent);
    EXPECT_TRUE(pair.a->IsEstablished());
    EXPECT_TRUE(pair.b->IsEstablished());
}

INSTANTIATE_TEST_SUITE_P(Faults, ReliableDelivery,
                         testing::Values(FaultCase{"clean", {}}, FaultCase{"every_fifth_lost", {5, 0, 0, 0}},
                                         FaultCase{"every_third_lost", {3, 0, 0, 0}},
                                         FaultCase{"duplicated", {0, 2, 0, 0}},
                                         FaultCase{"reordered", {0, 0, 3, 0}},
                                         FaultCase{"handshake_lost_then_mixed", {7, 4, 5, 3}}),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(DplayLink, LostUnreliableMessagesDoNotHoldBackLaterOnes) {
    LinkPair pair({4, 0, 0, 0});
    ASSERT_TRUE(pair.Connected());
    for (int i = 0; i < 40; ++i) {
        pair.a->Send(MessageNumber(i, 40), false, false, 0, pair.now);
        pair.Step(50);
    }
    const Bytes last = MessageNumber(99, 40);
    pair.a->Send(last, true, false, 0, pair.now);
    const bool arrived =
        pair.RunUntil([&] { return !pair.fromA.empty() && pair.fromA.back() == last; }, 20000);
    ASSERT_TRUE(arrived);
    EXPECT_LT(pair.fromA.size(), 41u);  // some were lost for good...
    EXPECT_GT(pair.fromA.size(), 20u);  // ...and the rest arrived
    for (size_t i = 1; i < pair.fromA.size(); ++i) EXPECT_LT(pair.fromA[i - 1][0], pair.fromA[i][0]);
}

struct StreamCase {
    const char* name;
    bool hideSackMasks;
};

class UnreliableStream : public testing::TestWithParam<StreamCase> {};

// Positions at 100 a second for half a minute, 25 ms each way, one datagram
// in twenty lost: a lost one costs a gap of a round trip or a retry interval,
// never a stall, and the estimate of the round trip stays near the truth.
// Without SACK masks a gap is found only by the retry timer, which is where
// an estimate taken from frames that waited behind a gap feeds on itself.
TEST_P(UnreliableStream, KeepsFlowingUnderLightLoss) {
    constexpr uint64_t kTrueRttMs = 50;
    Faults faults;
    faults.lossPercent = 5;
    faults.delayMs = kTrueRttMs / 2;
    faults.hideSackMasks = GetParam().hideSackMasks;
    LinkPair pair(faults);
    ASSERT_TRUE(pair.Connected());
    const uint64_t start = pair.now;
    uint64_t lastDelivery = start, longestGap = 0, highestRtt = 0;
    size_t delivered = 0;
    for (int i = 0; pair.now - start < 30000; ++i) {
        pair.a->Send(MessageNumber(i, 60), false, false, 0, pair.now);
        for (int step = 0; step < 2; ++step) {
            pair.Step(5);
            if (pair.fromA.size() != delivered) {
                delivered = pair.fromA.size();
                longestGap = std::max(longestGap, pair.now - lastDelivery);
                lastDelivery = pair.now;
            }
            highestRtt = std::max(highestRtt, pair.a->GetRttMs());
        }
    }
    EXPECT_LT(longestGap, 500u);
    EXPECT_GT(delivered, 2700u);  // about 5% lost, nothing else
    EXPECT_TRUE(pair.a->IsEstablished());
    EXPECT_NEAR(static_cast<double>(pair.a->GetRttMs()), kTrueRttMs, 20.0);
    EXPECT_LT(highestRtt, kTrueRttMs * 2);
}

INSTANTIATE_TEST_SUITE_P(Acknowledgements, UnreliableStream,
                         testing::Values(StreamCase{"with_sack_masks", false},
                                         StreamCase{"without_sack_masks", true}),
                         [](const testing::TestParamInfo<StreamCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(DplayLink, RetriedConnectedAnswersTheLatestConnect) {
    std::vector<ConnectFrame> sent;
    const auto record = [&](const Bytes& d) {
        ConnectFrame frame;
        ASSERT_TRUE(DecodeConnectFrame(d, frame));
        sent.push_back(frame);
    };
    ConnectFrame connect;
    connect.poll = true;
    connect.sessionId = 0x5EED1234;
    connect.messageId = 0;
    DplayLink listener(connect, 1000, record);
    // The connector heard nothing and tried twice more; our answers go on
    // naming the request it sent last.
    for (uint8_t id : {1, 2}) {
        connect.messageId = id;
        ASSERT_TRUE(listener.OnDatagram(EncodeConnectFrame(connect), 1100 + id));
    }
    for (uint64_t now = 1100; now < 3000; now += 10) listener.Poll(now);
    ASSERT_GE(sent.size(), 5u);
    EXPECT_EQ(sent[0].responseId, 0);
    EXPECT_EQ(sent[2].responseId, 2);
    for (size_t i = 3; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].opcode, kOpConnected);
        EXPECT_TRUE(sent[i].poll);
        EXPECT_EQ(sent[i].responseId, 2) << "retry " << i;
    }
    // Each CONNECTED is a new message of its own.
    for (size_t i = 1; i < sent.size(); ++i) EXPECT_EQ(sent[i].messageId, sent[i - 1].messageId + 1);
}

TEST(DplayLink, ExpiredUnsentMessagesAreDropped) {
    LinkPair pair;
    ASSERT_TRUE(pair.Connected());
    pair.Cut();  // the window fills and stays full
    for (int i = 0; i < 80; ++i) pair.a->Send(MessageNumber(i, 10), false, false, 100, pair.now);
    const uint64_t serial = pair.a->Send(MessageNumber(80, 10), false, false, 100, pair.now);
    EXPECT_FALSE(pair.a->IsSent(serial));
    pair.Step(200);
    pair.a->Poll(pair.now);
    pair.a->Send(MessageNumber(81, 10), false, false, 100, pair.now);
    EXPECT_TRUE(pair.a->IsSent(serial));
}

TEST(DplayLink, IdleConnectionStaysUpOnKeepAlives) {
    LinkPair pair;
    ASSERT_TRUE(pair.Connected());
    const size_t before = pair.datagrams;
    pair.RunUntil([] { return false; }, 90000);
    EXPECT_TRUE(pair.a->IsEstablished());
    EXPECT_TRUE(pair.b->IsEstablished());
    EXPECT_GT(pair.datagrams, before);  // keep-alives and their acknowledgements
    EXPECT_LT(pair.datagrams, before + 40);
    EXPECT_TRUE(pair.fromA.empty());
    EXPECT_TRUE(pair.fromB.empty());
}

TEST(DplayLink, PeerThatStopsAnsweringTimesOut) {
    LinkPair pair;
    ASSERT_TRUE(pair.Connected());
    pair.Cut();
    pair.a->Send(MessageNumber(1, 10), true, false, 0, pair.now);
    ASSERT_TRUE(pair.RunUntil([&] { return pair.a->IsClosed(); }, 120000));
    EXPECT_EQ(pair.a->GetCloseReason(), DplayLink::CloseReason::TimedOut);
    // Ten retries, backing off to five seconds apart: about half a minute.
    EXPECT_GT(pair.now, 1000u + 20000u);
}

TEST(DplayLink, ConnectWithoutAnswerFails) {
    LinkPair pair({0, 0, 0, 1000});
    ASSERT_TRUE(pair.RunUntil([&] { return pair.a->IsClosed(); }, 120000));
    EXPECT_EQ(pair.a->GetCloseReason(), DplayLink::CloseReason::ConnectFailed);
    EXPECT_EQ(pair.datagrams, 15u);  // the request and fourteen retries
}

TEST(DplayLink, GracefulDisconnectDeliversEverythingFirst) {
    LinkPair pair({5, 0, 0, 0});
    ASSERT_TRUE(pair.Connected());
    for (int i = 0; i < 10; ++i) pair.a->Send(MessageNumber(i, 100), true, false, 0, pair.now);
    pair.a->Disconnect(pair.now);
    EXPECT_EQ(pair.a->Send(MessageNumber(11, 10), true, false, 0, pair.now), 0u);
    ASSERT_TRUE(pair.RunUntil([&] { return pair.a->IsClosed() && pair.b->IsClosed(); }));
    EXPECT_EQ(pair.fromA.size(), 10u);
    EXPECT_EQ(pair.a->GetCloseReason(), DplayLink::CloseReason::Graceful);
    EXPECT_EQ(pair.b->GetCloseReason(), DplayLink::CloseReason::Graceful);
}

TEST(DplayLink, HardDisconnectEndsBothSidesAtOnce) {
    LinkPair pair;
    ASSERT_TRUE(pair.Connected());
    pair.a->Send(MessageNumber(1, 10), true, false, 0, pair.now);
    pair.b->HardDisconnect(pair.now);
    ASSERT_TRUE(pair.RunUntil([&] { return pair.a->IsClosed() && pair.b->IsClosed(); }, 2000));
    EXPECT_EQ(pair.a->GetCloseReason(), DplayLink::CloseReason::Hard);
}

TEST(DplayLink, MessageWithoutEndIsBoundedInSize) {
    LinkPair pair;
    ASSERT_TRUE(pair.Connected());
    // Frames that start a message and never end it, straight onto B.
    DataFrame frame;
    frame.command = kCommandReliable | kCommandSequential | kCommandNewMsg;
    frame.payload.assign(1100, 0xEE);
    for (int i = 0; i < 600 && !pair.b->IsClosing(); ++i) {
        frame.sequence = static_cast<uint8_t>(i);
        frame.command = kCommandReliable | kCommandSequential | (i == 0 ? kCommandNewMsg : 0);
        pair.b->OnDatagram(EncodeDataFrame(frame), pair.now);
    }
    EXPECT_TRUE(pair.b->IsClosing());
    ASSERT_TRUE(pair.RunUntil([&] { return pair.b->IsClosed(); }, 5000));
    EXPECT_EQ(pair.b->GetCloseReason(), DplayLink::CloseReason::Violation);
    EXPECT_TRUE(pair.fromA.empty());
}

TEST(DplayLink, FramesOutsideTheWindowAndStrayCommandsAreIgnored) {
    LinkPair pair;
    ASSERT_TRUE(pair.Connected());
    DataFrame far;
    far.command = kCommandReliable | kCommandNewMsg | kCommandEndMsg;
    far.sequence = 100;
    far.payload = {1, 2, 3};
    pair.b->OnDatagram(EncodeDataFrame(far), pair.now);
    ConnectFrame wrongSession;
    wrongSession.opcode = kOpHardDisconnect;
    wrongSession.sessionId = 0xBAD;
    EXPECT_FALSE(pair.b->OnDatagram(EncodeConnectFrame(wrongSession), pair.now));
    EXPECT_FALSE(pair.b->OnDatagram(Bytes{0x80, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, pair.now));
    const Bytes real = MessageNumber(5, 12);
    pair.a->Send(real, true, false, 0, pair.now);
    ASSERT_TRUE(pair.RunUntil([&] { return !pair.fromA.empty(); }, 2000));
    EXPECT_EQ(pair.fromA, std::vector<Bytes>{real});
    EXPECT_TRUE(pair.b->IsEstablished());
}

}  // namespace
