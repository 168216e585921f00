#include "app/frame_tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/key_state.h"

namespace {

constexpr int kPttKey = 0xA2;  // left Ctrl

// Records, per tick, which work ran, as one compact line.
class RecordingWork : public TarqTickWork {
public:
    int PushToTalkKey() override { return kPttKey; }
    void SetPushToTalk(bool down) override { m_line += down ? "P+ " : "P- "; }
    void VoicePeriodic() override { m_line += "V "; }
    void NetworkTimer() override {
        m_line += "N ";
        if (onNetwork) onNetwork();
    }
    void AircraftFrame() override { m_line += "a "; }
    bool HasThreeDDisplay() override { return m_threeD; }
    void RedrawAll(bool onlyThreeD) override { m_line += onlyThreeD ? "R3 " : "R "; }
    void StripBayFrame() override { m_line += "s "; }
    void CommsPanelFrame() override { m_line += "c "; }
    void WeatherRefresh() override { m_line += "W "; }
    void ControllerTimer() override { m_line += "C "; }
    void AircraftTimer() override { m_line += "A "; }
    void AircraftListTimer() override { m_line += "L"; }
    // Its place in the tick is tested with the land-line watch (button_kinds_test).
    void LandLineRefresh() override {}

    std::string Take() {
        std::string line = m_line;
        m_line.clear();
        while (!line.empty() && line.back() == ' ') line.pop_back();
        return line;
    }
    bool m_threeD = false;
    std::function<void()> onNetwork;

private:
    std::string m_line;
};

TEST(FrameTick, ScheduleOverTwentyTicks) {
    const std::string every = "a s c";
    const std::string fifth = "V a s c";
    const std::string tenth = "V N a R s c W C A L";
    const std::string even3D = "a R3 s c";
    for (bool threeD : {false, true}) {
        SCOPED_TRACE(threeD ? "with a 3-D display" : "2-D only");
        RecordingWork work;
        work.m_threeD = threeD;
        ManualKeyState keys;
        TarqFrameTick tick(work, keys);
        for (int n = 1; n <= 20; ++n) {
            SCOPED_TRACE(n);
            tick.OnFrameTick();
            int c = (n - 1) % 10 + 1;
            std::string expected = c == 10 ? tenth : c == 5 ? fifth : every;
            if (threeD && c % 2 == 0 && c != 10) expected = c == 5 ? fifth : even3D;
            EXPECT_EQ(work.Take(), expected);
        }
        EXPECT_EQ(tick.Counter(), 0);
    }
}

TEST(FrameTick, OnlyKeyChangesReachTheTransmitter) {
    RecordingWork work;
    ManualKeyState keys;
    TarqFrameTick tick(work, keys);
    struct Step {
        const char* name;
        bool keyDown;
        std::string expected;  // the push-to-talk part of the tick
    };
    const Step steps[] = {
        {"up at start passes nothing", false, ""}, {"pressed keys", true, "P+"},
        {"still held passes nothing", true, ""},   {"released unkeys", false, "P-"},
        {"still up passes nothing", false, ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        keys.SetDown(kPttKey, step.keyDown);
        tick.OnFrameTick();
        std::string line = work.Take();
        EXPECT_EQ(line.substr(0, 2) == "P+" || line.substr(0, 2) == "P-" ? line.substr(0, 2) : "",
                  step.expected);
    }
}

TEST(FrameTick, ExternalPushToTalkSilencesTheKeyPollUntilCleared) {
    RecordingWork work;
    ManualKeyState keys;
    TarqFrameTick tick(work, keys);
    tick.SetPushToTalkByMessage(true);
    EXPECT_EQ(work.Take(), "P+");
    keys.SetDown(kPttKey, true);
    tick.OnFrameTick();
    keys.SetDown(kPttKey, false);
    tick.OnFrameTick();
    EXPECT_EQ(work.Take().find('P'), std::string::npos) << "holding or releasing the key changes nothing";
    tick.SetPushToTalkByMessage(false);
    EXPECT_EQ(work.Take(), "P-");
    tick.ClearPushToTalkByMessage();
    keys.SetDown(kPttKey, true);
    tick.OnFrameTick();
    EXPECT_EQ(work.Take().substr(0, 2), "P+") << "the poll takes over again";
}

TEST(FrameTick, WorkInAModalLoopIsSkippedNotQueuedByTheTicksInside) {
    RecordingWork work;
    ManualKeyState keys;
    TarqFrameTick tick(work, keys);
    std::string inside;
    bool opened = false;
    work.onNetwork = [&] {
        // The first network poll opens a message box; twenty ticks run in its loop.
        if (opened) return;
        opened = true;
        work.Take();
        for (int n = 0; n < 20; ++n) tick.OnFrameTick();
        inside = work.Take();
    };
    for (int n = 0; n < 10; ++n) tick.OnFrameTick();
    EXPECT_EQ(inside.find('N'), std::string::npos) << "the poll on the stack is not run again: " << inside;
    EXPECT_NE(inside.find("R s c W C A L"), std::string::npos) << "the rest of the 10th tick's work runs";
    EXPECT_EQ(std::count(inside.begin(), inside.end(), 'a'), 20) << "every tick inside ran";
    work.Take();
    for (int n = 0; n < 10; ++n) tick.OnFrameTick();
    std::string after = work.Take();
    EXPECT_EQ(std::count(after.begin(), after.end(), 'N'), 1) << "nothing was queued: one poll in ten ticks";
}

}  // namespace
