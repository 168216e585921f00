// Snapping rules on plain rectangles, and the manager's choice of targets.
#include "foundation/window_snap.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

const ScreenRect kFarWorkArea{-10000, -10000, 10000, 10000};
const ScreenRect kO{100, 100, 300, 300};

std::string Show(const WindowPlacement& p) {
    return std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(p.cx) + "x" +
           std::to_string(p.cy);
}

TEST(SnapPlacementTest, Table) {
    struct Case {
        const char* name;
        ScreenRect current;
        WindowPlacement proposed;
        std::vector<ScreenRect> targets;
        ScreenRect workArea;
        const char* expected;
    };
    const Case cases[] = {
        {"docks to the right of O, keeping its size",
         {400, 150, 500, 250},
         {nullptr, 305, 150, 100, 100},
         {kO},
         kFarWorkArea,
         "300,150 100x100"},
        {"docks below O with its left edge aligned",
         {500, 500, 600, 600},
         {nullptr, 103, 310, 100, 100},
         {kO},
         kFarWorkArea,
         "100,300 100x100"},
        {"sizing the right edge snaps only that edge to the work area",
         {500, 500, 700, 700},
         {nullptr, 500, 500, 1090, 200},
         {},
         {0, 0, 1600, 1200},
         "500,500 1100x200"},
        {"15 pixels away snaps",
         {400, 150, 500, 250},
         {nullptr, 315, 150, 100, 100},
         {kO},
         kFarWorkArea,
         "300,150 100x100"},
        {"16 pixels away does not",
         {400, 150, 500, 250},
         {nullptr, 316, 150, 100, 100},
         {kO},
         kFarWorkArea,
         "316,150 100x100"},
        {"a purely horizontal drag does not snap vertically",
         {200, 305, 300, 405},
         {nullptr, 250, 305, 100, 100},
         {kO},
         kFarWorkArea,
         "250,305 100x100"},
        {"the same place reached with a vertical move snaps",
         {200, 305, 300, 405},
         {nullptr, 250, 306, 100, 100},
         {kO},
         kFarWorkArea,
         "250,300 100x100"},
        {"a much taller window beside O does not dock",
         {400, 0, 500, 600},
         {nullptr, 305, 0, 100, 600},
         {kO},
         kFarWorkArea,
         "305,0 100x600"},
        {"the later of two candidates decides",
         {400, 250, 500, 350},
         {nullptr, 305, 250, 100, 100},
         {kO, {100, 300, 310, 500}},
         kFarWorkArea,
         "310,250 100x100"},
        {"the work area has the last word",
         {400, 150, 500, 250},
         {nullptr, 305, 150, 100, 100},
         {kO},
         {0, 0, 410, 1200},
         "310,150 100x100"},
        {"the work area's left edge pulls a window in",
         {400, 150, 500, 250},
         {nullptr, 8, 150, 100, 100},
         {},
         {0, 0, 1600, 1200},
         "0,150 100x100"},
        {"nothing near: unchanged",
         {400, 150, 500, 250},
         {nullptr, 600, 650, 100, 100},
         {kO},
         kFarWorkArea,
         "600,650 100x100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowPlacement pos = c.proposed;
        SnapPlacement(&pos, c.current, c.targets, c.workArea);
        EXPECT_EQ(Show(pos), c.expected);
    }
}

class FakeSnapSystem : public SnapWindowSystem {
public:
    ScreenRect WorkArea() const override { return kFarWorkArea; }
    bool IsControlDown() const override { return controlDown; }
    bool GetWindowRect(WindowHandle window, ScreenRect* rect) const override {
        auto it = windows.find(window);
        if (it == windows.end()) return false;
        *rect = it->second.rect;
        return true;
    }
    bool IsWindowVisible(WindowHandle window) const override {
        auto it = windows.find(window);
        return it != windows.end() && it->second.visible;
    }
    struct Window {
        ScreenRect rect;
        bool visible;
    };
    std::map<WindowHandle, Window> windows;
    bool controlDown = false;
};

WindowHandle Handle(int n) { return reinterpret_cast<WindowHandle>(static_cast<intptr_t>(n)); }

TEST(WindowSnapManagerTest, ChoosesTargetsAndHonoursTheSwitches) {
    struct Case {
        const char* name;
        bool otherVisible;
        bool otherRegistered;
        bool controlDown;
        bool disabled;
        int expectedX;
    };
    // The moving window (handle 1) at 400,150 is dragged to 305,150, 5 pixels
    // from the right edge of window 2 at kO.
    const Case cases[] = {
        {"a visible registered window is a target", true, true, false, false, 300},
        {"a hidden window is not", false, true, false, false, 305},
        {"an unregistered window is not", true, false, false, false, 305},
        {"Ctrl held leaves the placement alone", true, true, true, false, 305},
        {"snapping switched off leaves it alone", true, true, false, true, 305},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSnapSystem system;
        system.windows[Handle(1)] = {{400, 150, 500, 250}, true};
        system.windows[Handle(2)] = {kO, c.otherVisible};
        system.controlDown = c.controlDown;
        WindowSnapManager manager;
        manager.SetSystem(&system);
        manager.RegisterWindow(Handle(1));
        if (c.otherRegistered) manager.RegisterWindow(Handle(2));
        if (c.disabled) WindowSnapManager::DisableSnapping();
        WindowPlacement pos{Handle(1), 305, 150, 100, 100};
        manager.SnapWindow(&pos);
        WindowSnapManager::EnableSnapping();
        EXPECT_EQ(pos.x, c.expectedX);
        EXPECT_EQ(pos.cx, 100);
    }
}

TEST(WindowSnapManagerTest, TheMovingWindowIsNeverItsOwnTarget) {
    FakeSnapSystem system;
    // Dragged 90 pixels right: its new left edge is 10 from its old right
    // edge, which would dock if the window were its own target.
    system.windows[Handle(1)] = {{100, 100, 200, 200}, true};
    WindowSnapManager manager;
    manager.SetSystem(&system);
    manager.RegisterWindow(Handle(1));
    manager.RegisterWindow(Handle(1));
    WindowPlacement pos{Handle(1), 190, 100, 100, 100};
    manager.SnapWindow(&pos);
    EXPECT_EQ(Show(pos), "190,100 100x100");
    manager.UnregisterWindow(Handle(1));
    manager.UnregisterWindow(Handle(1));
    EXPECT_FALSE(manager.IsRegistered(Handle(1)));
}

}  // namespace
