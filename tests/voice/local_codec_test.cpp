// Tests of the local codec over memory sound devices: the blocks it sends,
// and how received blocks find talker slots and streams.
#include "voice/local_codec.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "melp_quality.h"
#include "platform/clock.h"
#include "platform/memory_sound_devices.h"
#include "voice/audio_clock.h"
#include "voice/audio_graph.h"

namespace {

class Sink : public CAudioConsumer {
public:
    void Consume(int32_t, const uint8_t* data, int16_t length) override {
        blocks.emplace_back(data, data + length);
    }
    std::vector<std::vector<uint8_t>> blocks;
};

class Source : public CAudioProducer {};

class Handler : public CLocalCodecHandler {
public:
    void OnReceiving(bool receiving) override { calls.push_back(receiving); }
    std::vector<bool> calls;
};

std::vector<uint8_t> Block(uint8_t talker, uint16_t sequence, bool end = false, int length = 86) {
    std::vector<uint8_t> block(static_cast<size_t>(length), 0x55);
    block[0] = talker;
    block[1] = end ? 1 : 0;
    block[2] = static_cast<uint8_t>(sequence >> 8);
    block[3] = static_cast<uint8_t>(sequence);
    return block;
}

class LocalCodecTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAudioClock(&clock);
        codec = std::make_unique<CLocalCodec>(devices, false);
        codec->SetHandler(&handler);
        source.Connect(0, codec.get(), 0);
        speaker = devices.OutputCard(0);
    }
    void TearDown() override {
        codec.reset();
        SetAudioClock(nullptr);
    }
    void Give(const std::vector<uint8_t>& block) {
        source.Send(0, block.data(), static_cast<int16_t>(block.size()));
    }
    size_t PlayedOn(uint32_t stream) { return speaker->Played(stream).size(); }

    ManualClock clock{100};
    MemorySoundDeviceProvider devices{{"mic"}, {"phones"}};
    std::unique_ptr<CLocalCodec> codec;
    Handler handler;
    Source source;
    std::shared_ptr<MemorySoundCard> speaker;
};

// The lead-in (a quarter second at the card's 8000 per second) and one block
// of 2160 samples at 7350, as the card sees them.
constexpr size_t kLeadIn = 1999;
constexpr size_t kBlock = 2351;

TEST_F(LocalCodecTest, SendsNumberedBlocksOfCapturedSpeech) {
    Sink sink;
    codec->Connect(0, &sink, 0);
    EXPECT_TRUE(codec->IsInputOpen());
    EXPECT_TRUE(codec->IsOutputOpen());
    auto speech = melp_quality::ToSamples(melp_quality::SyntheticVowel(8000, 60));
    devices.InputCard(0)->Feed(speech.data(), speech.size());
    for (int i = 0; i < 6; ++i) codec->Run();
    ASSERT_EQ(sink.blocks.size(), 3u) << "one block per run, only while a whole block is captured";
    for (size_t i = 0; i < sink.blocks.size(); ++i) {
        const auto& b = sink.blocks[i];
        ASSERT_EQ(b.size(), 86u);
        EXPECT_EQ(b[0], CLocalCodec::ProcessTalkerByte());
        EXPECT_EQ(b[1], 0);
        EXPECT_EQ(b[2] << 8 | b[3], static_cast<int>(i + 1)) << "big-endian, starting at 1";
        EXPECT_EQ(b[85], 0);
    }
}

TEST_F(LocalCodecTest, BlockLengths) {
    struct Case {
        int length;
        size_t played;
    };
    for (const Case& c : {Case{84, 0}, Case{85, kLeadIn + kBlock}, Case{86, kLeadIn + kBlock}}) {
        SCOPED_TRACE(c.length);
        speaker->TakePlayed(0);
        Give(Block(static_cast<uint8_t>(c.length), 1, false, c.length));
        EXPECT_NEAR(static_cast<double>(speaker->TakePlayed(0).size()), static_cast<double>(c.played), 2);
        Give(Block(static_cast<uint8_t>(c.length), 2, true, c.length));
    }
}

TEST_F(LocalCodecTest, TalkersTakeSlotsAndStreams) {
    Give(Block(7, 1));
    Give(Block(9, 1));
    Give(Block(7, 2));
    Give(Block(11, 1));
    EXPECT_NEAR(static_cast<double>(PlayedOn(0)), kLeadIn + 2 * kBlock, 4);
    EXPECT_NEAR(static_cast<double>(PlayedOn(1)), kLeadIn + kBlock, 4);
    EXPECT_NEAR(static_cast<double>(PlayedOn(2)), kLeadIn + kBlock, 4);
    EXPECT_EQ(handler.calls, std::vector<bool>{true});
}

TEST_F(LocalCodecTest, StaleBlocksAreDecodedButNotPlayed) {
    Give(Block(7, 5));
    size_t before = PlayedOn(0);
    Give(Block(7, 5));
    Give(Block(7, 4));
    EXPECT_EQ(PlayedOn(0), before);
    Give(Block(7, 6));
    EXPECT_GT(PlayedOn(0), before);
}

TEST_F(LocalCodecTest, LongTransmissionStaysInOneSlotAcrossByteAndWrapBoundaries) {
    for (uint16_t s : {0x00FE, 0x00FF, 0x0100, 0x0101}) Give(Block(7, s));
    for (uint16_t s : {0xFFFE, 0xFFFF, 0x0000, 0x0001}) Give(Block(8, s));
    EXPECT_NEAR(static_cast<double>(PlayedOn(0)), kLeadIn + 4 * kBlock, 4);
    EXPECT_NEAR(static_cast<double>(PlayedOn(1)), kLeadIn + 4 * kBlock, 4);
    EXPECT_TRUE(speaker->Played(2).empty()) << "no third slot, no extra lead-in";
}

TEST_F(LocalCodecTest, EndMarkerFreesTheSlotAtOnceAndPlaysNothing) {
    Give(Block(7, 1));
    size_t before = PlayedOn(0);
    Give(Block(7, 2, true));
    EXPECT_EQ(PlayedOn(0), before);
    EXPECT_EQ(speaker->Ends(0), 1);
    EXPECT_EQ(handler.calls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(codec->IsReceiving());
    Give(Block(7, 2));
    EXPECT_NEAR(static_cast<double>(PlayedOn(0) - before), kLeadIn + kBlock, 4)
        << "the first block after the slot was freed plays, after a lead-in";
}

TEST_F(LocalCodecTest, FifthTalkerWaitsAndSilentTalkersExpire) {
    for (uint8_t t = 1; t <= 4; ++t) Give(Block(t, 1));
    Give(Block(5, 1));
    EXPECT_TRUE(speaker->Played(4).empty());
    for (uint32_t s = 0; s < 4; ++s) EXPECT_NEAR(static_cast<double>(PlayedOn(s)), kLeadIn + kBlock, 4);
    clock.Advance(2100);
    size_t before = PlayedOn(0);
    Give(Block(5, 2));
    EXPECT_GT(PlayedOn(0), before) << "the talkers that fell silent freed their slots";
}

TEST_F(LocalCodecTest, RefusedWriteStopsTheStream) {
    speaker->SetRefuseWrites(true);
    Give(Block(7, 1));
    EXPECT_EQ(speaker->Stops(0), 1);
}

TEST_F(LocalCodecTest, OutputOnlyCodecSendsNothing) {
    CLocalCodec speakerCodec(devices, true);
    Sink sink;
    speakerCodec.Connect(0, &sink, 0);
    EXPECT_FALSE(speakerCodec.IsInputOpen());
    auto speech = melp_quality::ToSamples(melp_quality::SyntheticVowel(8000, 60));
    devices.InputCard(0)->Feed(speech.data(), speech.size());
    speakerCodec.Run();
    EXPECT_TRUE(sink.blocks.empty());
}

TEST_F(LocalCodecTest, DeviceSelection) {
    std::vector<std::string> inputs, outputs;
    uint16_t in = 0, out = 0;
    codec->GetDevices(&inputs, &outputs, &in, &out);
    EXPECT_EQ(inputs, std::vector<std::string>{"mic"});
    EXPECT_EQ(outputs, std::vector<std::string>{"phones"});
    EXPECT_EQ(in, 0xFFFF);
    EXPECT_FALSE(codec->SetInputDevice(3));
    EXPECT_FALSE(codec->IsInputOpen());
    EXPECT_TRUE(codec->SetInputDevice(0));
    codec->SetOutputDevice(2);
    EXPECT_FALSE(codec->IsOutputOpen());
    codec->GetDevices(nullptr, nullptr, &in, &out);
    EXPECT_EQ(in, 0);
    EXPECT_EQ(out, 2);
}

}  // namespace
