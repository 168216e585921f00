// Tests of the audio graph: connections and their back links, and the
// mixer's links, drains and ages.
#include "voice/audio_graph.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "voice/audio_clock.h"

namespace {

struct Received {
    int32_t key;
    std::vector<uint8_t> bytes;
};

class Sink : public CAudioConsumer {
public:
    void Consume(int32_t key, const uint8_t* data, int16_t length) override {
        received.push_back({key, std::vector<uint8_t>(data, data + length)});
    }
    std::vector<Received> received;
};

class Source : public CAudioProducer {};

std::vector<uint8_t> Block(uint8_t tag) {
    std::vector<uint8_t> block(86, 0);
    block[0] = tag;
    return block;
}

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAudioClock(&clock);
        for (int k : {10, 11, 12}) mixer.Connect(k, &sinks[k - 10], k);
        source.Connect(0, &mixer, 1);
    }
    void TearDown() override { SetAudioClock(nullptr); }
    void SendBlock(uint8_t tag) {
        auto block = Block(tag);
        source.Send(0, block.data(), static_cast<int16_t>(block.size()));
    }
    // Tags and end markers a sink got, as "tag:end" words.
    std::string Got(int index) {
        std::string out;
        for (const auto& r : sinks[index].received)
            out += std::to_string(r.bytes[0]) + ":" + std::to_string(r.bytes[1]) + " ";
        return out;
    }

    ManualClock clock{1000};
    CAudioMixer mixer;
    Source source;
    Sink sinks[3];
};

TEST_F(MixerTest, DrainTable) {
    struct Case {
        const char* name;
        std::vector<bool> switches;  // SetLink(1, 10, on) calls before the blocks
        const char* expected;        // what destination 10 receives of five blocks
    };
    const Case cases[] = {
        {"linked passes everything", {true}, "1:0 2:0 3:0 4:0 5:0 "},
        {"off drains three, the third marked", {true, false}, "1:0 2:0 3:1 "},
        {"never linked then off drains too", {false}, "1:0 2:0 3:1 "},
        {"off twice does not restart", {true, false, false}, "1:0 2:0 3:1 "},
        {"on during the drain links again", {true, false, true}, "1:0 2:0 3:0 4:0 5:0 "},
        {"no links", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioMixer fresh;
        Sink sink;
        fresh.Connect(10, &sink, 10);
        Source s;
        s.Connect(0, &fresh, 1);
        for (bool on : c.switches) fresh.SetLink(1, 10, on);
        for (uint8_t tag = 1; tag <= 5; ++tag) {
            auto block = Block(tag);
            s.Send(0, block.data(), 86);
        }
        std::string got;
        for (const auto& r : sink.received)
            got += std::to_string(r.bytes[0]) + ":" + std::to_string(r.bytes[1]) + " ";
        EXPECT_EQ(got, c.expected);
    }
}

TEST_F(MixerTest, DrainingPairIsNotLinkedAndCallersBlockStaysUnmarked) {
    mixer.SetLink(1, 10, true);
    mixer.SetLink(1, 11, true);
    mixer.SetLink(1, 12, true);
    EXPECT_TRUE(mixer.IsLinked(1, 10));
    SendBlock(1);
    SendBlock(2);
    mixer.SetLink(1, 10, false);
    mixer.SetLink(1, 11, false);
    EXPECT_FALSE(mixer.IsLinked(1, 10));
    SendBlock(3);
    SendBlock(4);
    auto block = Block(5);
    source.Send(0, block.data(), 86);
    EXPECT_EQ(block[1], 0) << "the caller's block is never changed";
    SendBlock(6);
    EXPECT_EQ(Got(0), "1:0 2:0 3:0 4:0 5:1 ");
    EXPECT_EQ(Got(1), "1:0 2:0 3:0 4:0 5:1 ");
    EXPECT_EQ(Got(2), "1:0 2:0 3:0 4:0 5:0 6:0 ");
}

TEST_F(MixerTest, Ages) {
    EXPECT_FLOAT_EQ(mixer.InputAge(1), -1.0f);
    EXPECT_FLOAT_EQ(mixer.OutputAge(10), -1.0f);
    SendBlock(1);
    clock.Advance(500);
    EXPECT_NEAR(mixer.InputAge(1), 0.5f, 1e-4) << "a source without links still refreshes its time";
    EXPECT_FLOAT_EQ(mixer.OutputAge(10), -1.0f);
    mixer.SetLink(1, 10, true);
    SendBlock(2);
    clock.Advance(250);
    EXPECT_NEAR(mixer.OutputAge(10), 0.25f, 1e-4);
}

TEST_F(MixerTest, BusFeedsItselfAndChains) {
    mixer.Connect(4, &mixer, 4);
    mixer.SetLink(1, 4, true);
    mixer.SetLink(4, 10, true);
    mixer.SetLink(4, 11, true);
    SendBlock(7);
    EXPECT_EQ(Got(0), "7:0 ");
    EXPECT_EQ(Got(1), "7:0 ");
}

TEST_F(MixerTest, ALinkLoopEndsInsteadOfRecursingForever) {
    mixer.Connect(4, &mixer, 4);
    mixer.Connect(5, &mixer, 5);
    mixer.SetLink(1, 4, true);
    mixer.SetLink(4, 5, true);
    mixer.SetLink(5, 4, true);
    mixer.SetLink(5, 10, true);
    SendBlock(1);
    EXPECT_FALSE(sinks[0].received.empty());
}

TEST_F(MixerTest, ForgetKeyDropsItsLinks) {
    mixer.SetLink(1, 10, true);
    mixer.ForgetKey(10);
    EXPECT_FALSE(mixer.IsLinked(1, 10));
    SendBlock(1);
    EXPECT_TRUE(sinks[0].received.empty());
}

TEST(AudioGraph, ConnectionsAndBackLinks) {
    Source source;
    Sink a, b;
    source.Connect(3, &a, 7);
    EXPECT_EQ(source.GetConsumer(3), &a);
    EXPECT_EQ(source.GetInputKey(3), 7);
    source.Connect(3, &a, 7);  // the same again changes nothing
    source.Connect(3, &b, 8);
    uint8_t byte = 9;
    source.Send(3, &byte, 1);
    EXPECT_TRUE(a.received.empty());
    ASSERT_EQ(b.received.size(), 1u);
    EXPECT_EQ(b.received[0].key, 8);
    source.Send(4, &byte, 1);  // unconnected: nothing
    EXPECT_EQ(b.received.size(), 1u);
    EXPECT_EQ(source.GetConsumer(4), nullptr);
    EXPECT_EQ(source.GetInputKey(4), 0);
}

TEST(AudioGraph, EitherEndMayGoFirst) {
    {
        Source source;
        auto sink = std::make_unique<Sink>();
        source.Connect(0, sink.get(), 0);
        sink.reset();
        EXPECT_EQ(source.GetConsumer(0), nullptr);
        uint8_t byte = 1;
        source.Send(0, &byte, 1);
    }
    {
        Sink sink;
        auto source = std::make_unique<Source>();
        source->Connect(0, &sink, 0);
        source.reset();
    }  // the sink's destructor must not reach the deleted source
}

TEST(AudioGraph, TwoProducersOnOneInputBothForgetADeletedConsumer) {
    Source first, second;
    auto sink = std::make_unique<Sink>();
    first.Connect(0, sink.get(), 5);
    second.Connect(0, sink.get(), 5);
    sink.reset();
    EXPECT_EQ(first.GetConsumer(0), nullptr) << "an older producer must not keep a dangling pointer";
    EXPECT_EQ(second.GetConsumer(0), nullptr);
}

}  // namespace
