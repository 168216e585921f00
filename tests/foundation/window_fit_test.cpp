// Where new windows open: on a monitor, clear of the main display's menu bar
// and command line.
#include "foundation/window_fit.h"

#include <gtest/gtest.h>

namespace {

// A 1600 x 1200 monitor and a second one to its right; the main display
// covers the left monitor with its caption and menu bar (0 to 50) and its
// command line (1150 to 1176) kept clear.
const std::vector<ScreenRect> kMonitors{{0, 0, 1600, 1200}, {1600, 0, 2880, 1024}};
const std::vector<ScreenRect> kKeepClear{{0, 0, 1600, 50}, {0, 1150, 1600, 1176}};

TEST(WindowFit, NewWindowsGoWhollyOnAMonitorAndClearOfTheMenuBarAndCommandLine) {
    struct Case {
        const char* what;
        ScreenRect window;
        ScreenRect placed;
    };
    const Case cases[] = {
        {"clear already", {100, 200, 312, 500}, {100, 200, 312, 500}},
        {"a chat window on the main display's corner", {1, 0, 301, 120}, {1, 50, 301, 170}},
        {"caption above the screen", {40, -20, 252, 280}, {40, 50, 252, 350}},
        {"over the command line", {500, 1000, 800, 1160}, {500, 990, 800, 1150}},
        {"past the right edge", {1500, 300, 1800, 500}, {1300, 300, 1600, 500}},
        {"on the second monitor, past its bottom", {2000, 900, 2212, 1200}, {2000, 724, 2212, 1024}},
        {"on no monitor", {-500, -500, -300, -300}, {0, 50, 200, 250}},
        {"taller than the room between", {10, 10, 222, 1190}, {10, 50, 222, 1150}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenRect r = FitNewWindow(c.window, kMonitors, kKeepClear);
        EXPECT_EQ(r.left, c.placed.left);
        EXPECT_EQ(r.top, c.placed.top);
        EXPECT_EQ(r.right, c.placed.right);
        EXPECT_EQ(r.bottom, c.placed.bottom);
    }
}

TEST(WindowFit, AMainDisplayNotAcrossTheMonitorLeavesRoomBesideIt) {
    // The main display on the right half: a window over its menu bar moves
    // sideways if that is nearer than below the bar.
    const std::vector<ScreenRect> keepClear{{800, 0, 1600, 400}};
    const ScreenRect r = FitNewWindow({780, 100, 992, 300}, kMonitors, keepClear);
    EXPECT_EQ(r.left, 588);
    EXPECT_EQ(r.top, 100);
}

TEST(WindowFit, NoMonitorsLeavesTheWindowAsItIs) {
    const ScreenRect r = FitNewWindow({-5, -5, 100, 100}, {}, kKeepClear);
    EXPECT_EQ(r.left, -5);
    EXPECT_EQ(r.bottom, 100);
}

}  // namespace
