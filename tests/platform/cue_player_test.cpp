#include "platform/cue_player.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <filesystem>

namespace {

// Writes a mono 8 kHz wave file whose every sample is `level`.
std::string WriteTone(const std::string& name, float level, int frames) {
    auto path =
        std::filesystem::temp_directory_path() / ("tarq-cue-" + std::to_string(getpid()) + "-" + name);
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> samples(static_cast<size_t>(frames), level);
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return path.string();
}

class CuePlayerTest : public ::testing::Test {
protected:
    CuePlayerTest() {
        auto output = std::make_unique<MemoryCueOutput>();
        m_output = output.get();
        m_player = std::make_unique<CuePlayer>(std::move(output));
        m_a = WriteTone("a.wav", 0.25f, 100);
        m_b = WriteTone("b.wav", 0.5f, 100);
    }
    ~CuePlayerTest() override {
        std::filesystem::remove(m_a);
        std::filesystem::remove(m_b);
    }
    float Level() { return m_output->Render(1).at(0); }

    MemoryCueOutput* m_output;
    std::unique_ptr<CuePlayer> m_player;
    std::string m_a, m_b;
};

TEST_F(CuePlayerTest, PlaysOnceAtTheFilesFormatThenFallsSilent) {
    ASSERT_TRUE(m_player->Play(m_a, CueMode::Interrupt));
    EXPECT_EQ(m_output->SampleRate(), 8000);
    EXPECT_EQ(m_output->Channels(), 1);
    std::vector<float> played = m_output->Render(150);
    EXPECT_FLOAT_EQ(played[0], 0.25f);
    EXPECT_FLOAT_EQ(played[99], 0.25f);
    EXPECT_FLOAT_EQ(played[100], 0.0f);
    EXPECT_FLOAT_EQ(played[149], 0.0f);
    EXPECT_FALSE(m_player->IsPlaying());
}

TEST_F(CuePlayerTest, OneCueAtATimeRules) {
    struct Case {
        const char* name;
        CueMode second;
        bool accepted;
        float heard;  // level after the second request
    };
    const Case cases[] = {
        {"interrupt replaces", CueMode::Interrupt, true, 0.5f},
        {"no-stop is dropped", CueMode::NoStop, false, 0.25f},
        {"loop replaces", CueMode::Loop, true, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_player->Play(m_a, CueMode::Interrupt));
        m_output->Render(10);
        EXPECT_EQ(m_player->Play(m_b, c.second), c.accepted);
        EXPECT_FLOAT_EQ(Level(), c.heard);
        m_player->Stop();
    }
}

TEST_F(CuePlayerTest, NoStopPlaysOnceTheOtherCueHasEnded) {
    ASSERT_TRUE(m_player->Play(m_a, CueMode::Interrupt));
    m_output->Render(100);
    EXPECT_TRUE(m_player->Play(m_b, CueMode::NoStop));
    EXPECT_FLOAT_EQ(Level(), 0.5f);
}

TEST_F(CuePlayerTest, LoopRepeatsUntilStopped) {
    ASSERT_TRUE(m_player->Play(m_a, CueMode::Loop));
    std::vector<float> played = m_output->Render(350);
    EXPECT_FLOAT_EQ(played[349], 0.25f);
    EXPECT_TRUE(m_player->IsPlaying());
    EXPECT_TRUE(m_player->Stop());
    EXPECT_FALSE(m_player->IsPlaying());
    EXPECT_TRUE(m_output->Render(10).empty());  // the stream is closed
}

TEST_F(CuePlayerTest, UnreadableFileOrMissingDeviceRefusesTheCue) {
    EXPECT_FALSE(m_player->Play("/nonexistent/ding.wav", CueMode::Interrupt));
    std::string notSound = m_a + ".txt";
    FILE* f = fopen(notSound.c_str(), "w");
    fputs("not a sound", f);
    fclose(f);
    EXPECT_FALSE(m_player->Play(notSound, CueMode::Interrupt));
    std::filesystem::remove(notSound);
    m_output->SetFailOpen(true);
    EXPECT_FALSE(m_player->Play(m_a, CueMode::Interrupt));
    EXPECT_FALSE(m_player->IsPlaying());
}

TEST(PortAudioCueOutput, WithoutASoundCardPlayingFailsCleanly) {
    // Machines with a sound card play the cue; both outcomes must be clean.
    std::string tone = WriteTone("pa.wav", 0.0f, 80);
    CuePlayer player(CreatePortAudioCueOutput());
    player.Play(tone, CueMode::Interrupt);
    EXPECT_TRUE(player.Stop());
    EXPECT_FALSE(player.IsPlaying());
    std::filesystem::remove(tone);
}

}  // namespace
