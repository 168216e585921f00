#include "app/screen_saver_hold.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/screen_saver.h"

namespace {

// The desktop and the X server, as calls.
class RecordingControl final : public ScreenSaverControl {
public:
    void Inhibit() override { calls.push_back("inhibit"); }
    void Release() override { calls.push_back("release"); }
    void ResetIdleTimer() override { calls.push_back("reset"); }
    int IdleTimeoutSeconds() override { return timeoutSeconds; }

    std::vector<std::string> calls;
    int timeoutSeconds = 600;
};

using Calls = std::vector<std::string>;

TEST(ScreenSaverHold, InhibitsOnceWhileHeldAndReleasesWhenNoLonger) {
    RecordingControl control;
    ScreenSaverHold hold(control);
    hold.SetHeld(false);
    EXPECT_EQ(control.calls, Calls{}) << "nothing to release before the first hold";
    hold.SetHeld(true);
    hold.SetHeld(true);  // another window of the program becomes the active one
    EXPECT_EQ(control.calls, (Calls{"inhibit", "reset"}));
    hold.OnResetPeriod();
    hold.SetHeld(false);
    hold.SetHeld(false);
    EXPECT_EQ(control.calls, (Calls{"inhibit", "reset", "reset", "release"}));
    EXPECT_EQ(hold.ResetPeriodMs(), 0);
    hold.OnResetPeriod();
    EXPECT_EQ(control.calls.size(), 4u) << "a late timer after the release resets nothing";
}

TEST(ScreenSaverHold, EndingWhileHeldReleases) {
    RecordingControl control;
    {
        ScreenSaverHold hold(control);
        hold.SetHeld(true);
    }
    EXPECT_EQ(control.calls, (Calls{"inhibit", "reset", "release"}));
}

TEST(ScreenSaverHold, ResetsTwiceWithinTheServersTimeout) {
    struct Case {
        int timeoutSeconds;
        int periodMs;
    };
    const Case cases[] = {
        {2, 1000},     // well before a short saver starts
        {1, 500},      // never busier than twice a second
        {40, 20000},   // half the timeout
        {600, 30000},  // the monitor's own power-off timeouts are a minute or more
        {0, 30000},    // no saver, but the power-off may still come
    };
    for (const Case& c : cases) {
        RecordingControl control;
        control.timeoutSeconds = c.timeoutSeconds;
        ScreenSaverHold hold(control);
        hold.SetHeld(true);
        EXPECT_EQ(hold.ResetPeriodMs(), c.periodMs) << "timeout " << c.timeoutSeconds;
    }
}

TEST(ScreenSaverHold, FollowsATimeoutChangedWhileHeld) {
    RecordingControl control;
    ScreenSaverHold hold(control);
    hold.SetHeld(true);
    EXPECT_EQ(hold.ResetPeriodMs(), 30000);
    control.timeoutSeconds = 10;
    hold.OnResetPeriod();
    EXPECT_EQ(hold.ResetPeriodMs(), 5000);
}

}  // namespace
