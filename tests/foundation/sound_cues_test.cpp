#include "foundation/sound_cues.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <filesystem>

#include "foundation/profile.h"
#include "foundation/session_services.h"
#include "foundation/start_directory.h"
#include "platform/cue_player.h"

namespace {

struct Alarm : TarqAlarmSound {
    bool IsSoundPlaying() const override { return playing; }
    bool StopSound() override {
        playing = false;
        return ::StopSound();
    }
    bool playing = false;
};

class SoundCuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("tarq-cues-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir / "sounds");
        WriteTone(m_dir / "ding.wav", 0.25f);
        WriteTone(m_dir / "sounds" / "alarm.wav", 0.5f);
        m_savedStart = StartDirectory;
        StartDirectory = m_dir.string();
        m_profile = std::make_unique<TarqProfile>((m_dir / "Tarq.ini").string());
        m_profile->SetBool("UseSounds", true);
        g_profile = m_profile.get();
        auto output = std::make_unique<MemoryCueOutput>();
        m_output = output.get();
        m_player = std::make_unique<CuePlayer>(std::move(output));
        g_cuePlayer = m_player.get();
        g_alarmSound = &m_alarm;
    }
    void TearDown() override {
        g_alarmSound = nullptr;
        g_cuePlayer = nullptr;
        g_profile = nullptr;
        StartDirectory = m_savedStart;
        std::filesystem::remove_all(m_dir);
    }
    static void WriteTone(const std::filesystem::path& path, float level) {
        SF_INFO info{};
        info.samplerate = 8000;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        std::vector<float> samples(200, level);
        sf_writef_float(file, samples.data(), 200);
        sf_close(file);
    }
    float Level() { return m_output->Render(1).at(0); }

    std::filesystem::path m_dir;
    std::string m_savedStart;
    std::unique_ptr<TarqProfile> m_profile;
    MemoryCueOutput* m_output = nullptr;
    std::unique_ptr<CuePlayer> m_player;
    Alarm m_alarm;
};

TEST_F(SoundCuesTest, NamesResolveAgainstTheStartDirectory) {
    struct Case {
        const char* name;
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {"relative", "ding.wav", StartDirectory + "/ding.wav"},
        {"windows folder", "sounds\\alarm.wav", StartDirectory + "/sounds/alarm.wav"},
        {"drive letter unchanged", "C:\\Tarq\\ding.wav", "C:\\Tarq\\ding.wav"},
        {"absolute", "/usr/share/sounds/a.wav", "/usr/share/sounds/a.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ResolveSoundPath(c.input), c.expected);
    }
    EXPECT_TRUE(PlayConfiguredSound("ding.wav", true));
    EXPECT_FLOAT_EQ(Level(), 0.25f);
}

TEST_F(SoundCuesTest, RefusedWhenOffShortOrMissing) {
    EXPECT_FALSE(PlayConfiguredSound("", true)) << "an unset key never plays";
    EXPECT_FALSE(PlayConfiguredSound("a.wa", true));
    EXPECT_FALSE(PlayConfiguredSound("missing.wav", true));
    m_profile->SetBool("UseSounds", false);
    EXPECT_FALSE(PlayConfiguredSound("ding.wav", true));
    EXPECT_FALSE(PlaySoundFile("sounds/alarm.wav")) << "not even the alarm";
}

TEST_F(SoundCuesTest, InterruptReplacesAndOtherwiseTheCueIsDropped) {
    ASSERT_TRUE(PlayConfiguredSound("ding.wav", true));
    EXPECT_FALSE(PlayConfiguredSound("sounds/alarm.wav", false));
    EXPECT_FLOAT_EQ(Level(), 0.25f);
    EXPECT_TRUE(PlayConfiguredSound("sounds/alarm.wav", true));
    EXPECT_FLOAT_EQ(Level(), 0.5f);
}

TEST_F(SoundCuesTest, NoCueInterruptsTheAlarmUntilTheDatabaseStopsIt) {
    ASSERT_TRUE(PlaySoundFile("sounds/alarm.wav"));
    m_alarm.playing = true;
    m_output->Render(500);
    EXPECT_FLOAT_EQ(Level(), 0.5f) << "the alarm loops";
    EXPECT_FALSE(PlayConfiguredSound("ding.wav", true));
    EXPECT_FALSE(PlayConfiguredSound("ding.wav", false));
    EXPECT_TRUE(m_alarm.StopSound());
    EXPECT_FALSE(m_player->IsPlaying());
    EXPECT_TRUE(PlayConfiguredSound("ding.wav", false));
}

}  // namespace
