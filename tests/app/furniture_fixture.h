// A recording radio-history host, a profile in a temporary directory and a
// manual clock, shared by the radio history's tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/radio_history.h"
#include "app/shell_state.h"
#include "foundation/profile.h"
#include "platform/clock.h"

struct RecordingHistoryHost : RadioHistoryHost {
    void EnsureRadioHistoryShown() override { ++reveals; }
    int GetPrimaryFrequency() override { return primaryKhz; }
    void PlaySoundSetting(const std::string& key, bool interrupt) override {
        sounds.push_back(key + (interrupt ? " interrupting" : " not interrupting"));
    }
    void ShowErrorLine(const std::string& text) override { errors.push_back(text); }
    void ShowInfoLine(const std::string& text) override { infos.push_back(text); }
    bool SetClipboardText(const std::string& text) override {
        clipboard.push_back(text);
        return clipboardFree;
    }
    const GlBitmapFont* GetFont(int id) const override { return id == 3 ? font : nullptr; }

    int reveals = 0;
    int primaryKhz = 118700;
    std::vector<std::string> sounds;
    std::vector<std::string> errors;
    std::vector<std::string> infos;
    std::vector<std::string> clipboard;
    bool clipboardFree = true;
    const GlBitmapFont* font = nullptr;
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarq-furniture-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) m_path = buffer.data();
    }
    ~TempDir() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// A history over a fresh profile: 3 lines, no time stamps, blinking on, a
// 400 x 300 drawing area laid out once.
class HistoryTest : public ::testing::Test {
protected:
    HistoryTest() : profile(dir.File("Tarq.ini")), clock(10000, 9 * 3600 + 5 * 60 + 7) {
        StartTime = 1000;
        profile.SetInt("RadioHistorySize", 3);
        profile.SetBool("ShowTimestamps", false);
        profile.SetBool("FlashOnNewMessage", true);
        profile.SetString("Callsign", "EDDF_TWR");
        history = std::make_unique<TarqDisplayRadioHistory>(host, profile, clock);
        history->Layout(0, 0, 400, 300, true);
    }
    ~HistoryTest() override { StartTime = 0; }

    TempDir dir;
    TarqProfile profile;
    ManualClock clock;
    RecordingHistoryHost host;
    std::unique_ptr<TarqDisplayRadioHistory> history;
};
