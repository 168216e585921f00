// Capturing a display's place and view, and the display manager's layout
// skipping closed displays.
#include "app/layout_capture.h"

#include <gtest/gtest.h>

#include "app/display_manager.h"
#include "fake_display.h"

namespace {

// A scope whose sector offset is (+10, +20): absolute = relative - offset.
struct FakeScope : TarqScopeLayoutSource {
    ScopePoint GetCenter() const override { return {1.5, 2.5}; }
    ScopePoint GetRangeRingCenter() const override { return {3.0, 4.0}; }
    ScopePoint GetCameraPosition() const override { return {5.0, 6.0}; }
    void RemoveOffset(ScopePoint& p) const override {
        p.x -= 10.0;
        p.y -= 20.0;
    }
    double GetZoom() const override { return 0.75; }
    int GetRadarMode() const override { return 11; }
    std::string GetSectorFileName() const override { return "C:\\Sectors\\EDMM.sct2"; }
    std::vector<std::string> GetVisibleItems(VisibleItemKind kind) const override {
        return {"item" + std::to_string(static_cast<int>(kind))};
    }
    int GetShowMask() const override { return 0xC000; }
    int GetCameraAltitudeFeet() const override { return 4500; }
    int GetMinCameraAltitude() const override { return 1300; }
    int GetAirspaceFloor() const override { return 2000; }
    int GetAirspaceCeiling() const override { return 24500; }
    bool GetShowSymbolsAboveCeiling() const override { return true; }
    bool GetShowTagsAboveCeiling() const override { return false; }
    bool GetShowSymbolsBelowFloor() const override { return false; }
    bool GetShowTagsBelowFloor() const override { return true; }
};

TEST(LayoutCaptureTest, FillsEveryFieldFromTheWindowAndTheScope) {
    FakeScope scope;
    DisplayWindowPlace place{{100, 50, 900, 650}, {100, 50, 900, 650}, false, false};
    TarqDisplaySettings s = CaptureDisplaySettings(place, scope, "Night");
    EXPECT_EQ(s.LocX, 100);
    EXPECT_EQ(s.LocY, 50);
    EXPECT_EQ(s.Width, 800);
    EXPECT_EQ(s.Height, 600);
    EXPECT_DOUBLE_EQ(s.CenterLon, -8.5);
    EXPECT_DOUBLE_EQ(s.CenterLat, -17.5);
    EXPECT_DOUBLE_EQ(s.RingLon, -7.0);
    EXPECT_DOUBLE_EQ(s.RingLat, -16.0);
    EXPECT_DOUBLE_EQ(s.CameraLon, -5.0);
    EXPECT_DOUBLE_EQ(s.CameraLat, -14.0);
    EXPECT_DOUBLE_EQ(s.Zoom, 0.75);
    EXPECT_EQ(s.Mode, 11);
    EXPECT_EQ(s.SectorFile, "C:\\Sectors\\EDMM.sct2");
    EXPECT_EQ(s.VisibleSIDs, std::vector<std::string>{"item0"});
    EXPECT_EQ(s.VisibleSTARs, std::vector<std::string>{"item1"});
    EXPECT_EQ(s.VisibleFixes, std::vector<std::string>{"item2"});
    EXPECT_EQ(s.VisibleVORs, std::vector<std::string>{"item3"});
    EXPECT_EQ(s.VisibleNDBs, std::vector<std::string>{"item4"});
    EXPECT_EQ(s.VisibleAirports, std::vector<std::string>{"item5"});
    EXPECT_EQ(s.VisibleCenterlines, std::vector<std::string>{"item6"});
    EXPECT_EQ(s.VisibleAirways, std::vector<std::string>{"item7"});
    EXPECT_EQ(s.Toggles, 0xC000);
    EXPECT_EQ(s.CameraAlt, 4500);
    EXPECT_EQ(s.TerrainAlt, 1300);
    EXPECT_EQ(s.ColorProfile, "Night");
    EXPECT_EQ(s.AirspaceFloor, 2000);
    EXPECT_EQ(s.AirspaceCeiling, 24500);
    EXPECT_TRUE(s.ShowTargetsAboveCeiling);
    EXPECT_FALSE(s.ShowTagsAboveCeiling);
    EXPECT_FALSE(s.ShowTargetsBelowFloor);
    EXPECT_TRUE(s.ShowTagsBelowFloor);
}

TEST(LayoutCaptureTest, WindowStatesSaveTheRightPlace) {
    struct Case {
        const char* name;
        DisplayWindowPlace place;
        ScreenRect expected;
    };
    const ScreenRect restored{200, 100, 840, 580};
    const Case cases[] = {
        {"normal: as it stands", {restored, restored, false, false}, restored},
        {"maximised: the rectangle as it stands",
         {{0, 0, 1600, 1200}, restored, false, true},
         {0, 0, 1600, 1200}},
        {"minimised: the restored place",
         {{-32000, -32000, -31840, -31970}, restored, true, false},
         restored},
    };
    FakeScope scope;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqDisplaySettings s = CaptureDisplaySettings(c.place, scope, "Default");
        EXPECT_EQ(s.LocX, c.expected.left);
        EXPECT_EQ(s.LocY, c.expected.top);
        EXPECT_EQ(s.Width, c.expected.right - c.expected.left);
        EXPECT_EQ(s.Height, c.expected.bottom - c.expected.top);
        EXPECT_EQ(s.Minimized, c.place.minimized);
        EXPECT_EQ(s.Maximized, c.place.maximized);
    }
}

TEST(LayoutCaptureTest, SaveLayoutSkipsClosedDisplays) {
    FakeDisplayFactory factory;
    JobQueue jobs;
    TarqDisplayManager manager(factory, jobs.Poster(), jobs.Scheduler(), {});
    manager.CreateDisplay(NamedSettings("one"));
    TarqDisplay* second = manager.CreateDisplay(NamedSettings("two"));
    manager.CreateDisplay(NamedSettings("three"));
    manager.ScheduleClose(second->GetWindow());
    manager.RedrawAll(false);
    manager.CreateDisplay(NamedSettings("four"));
    std::vector<TarqDisplaySettings> layout = manager.SaveLayout();
    ASSERT_EQ(layout.size(), 3u);
    EXPECT_EQ(layout[0].ColorProfile, "one");
    EXPECT_EQ(layout[1].ColorProfile, "three");
    EXPECT_EQ(layout[2].ColorProfile, "four");
    manager.StopFrameTimer();
}

}  // namespace
