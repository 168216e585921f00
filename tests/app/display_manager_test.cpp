#include "app/display_manager.h"

#include <gtest/gtest.h>

#include <thread>

#include "fake_display.h"

namespace {

class DisplayManagerTest : public ::testing::Test {
protected:
    DisplayManagerTest() {
        TarqDisplayManager::Hooks hooks;
        hooks.isOnMonitor = [](int x, int y) { return x >= 0 && y >= 0 && x < 1600 && y < 1200; };
        hooks.playErrorSound = [this] { log.push_back("sound"); };
        hooks.setSharedMainWindow = [this](WindowHandle window) { shared = window; };
        hooks.showFlightPlanDetails = [this](const std::string& c) { log.push_back("details " + c); };
        hooks.repaintStrips = [this] { log.push_back("strips"); };
        factory.log = &log;
        manager = std::make_unique<TarqDisplayManager>(factory, queue.Poster(), queue.Scheduler(), hooks);
    }
    ~DisplayManagerTest() override { manager.reset(); }

    FakeDisplay* Create(const std::string& name, int mode = 3) {
        return static_cast<FakeDisplay*>(manager->CreateDisplay(NamedSettings(name, mode)));
    }

    std::vector<std::string> log;
    WindowHandle shared = nullptr;
    JobQueue queue;
    FakeDisplayFactory factory;
    std::unique_ptr<TarqDisplayManager> manager;
};

TEST_F(DisplayManagerTest, FirstDisplayIsMainAndNumbersAreNeverReused) {
    FakeDisplay* one = Create("one");
    FakeDisplay* two = Create("two");
    FakeDisplay* three = Create("three");
    EXPECT_TRUE(one->isMain);
    EXPECT_FALSE(two->isMain);
    EXPECT_EQ(manager->GetMainDisplay(), one);
    EXPECT_EQ(manager->GetMainWindow(), one->GetWindow());
    EXPECT_EQ(shared, one->GetWindow());
    EXPECT_TRUE(manager->FrameTimer().IsRunning()) << "the main display starts the frame timer";
    EXPECT_EQ(manager->GetDisplayById(2), two);
    EXPECT_EQ(manager->GetDisplayById(3), three);
    EXPECT_EQ(manager->GetDisplayById(4), nullptr);

    manager->ScheduleClose(two->GetWindow());
    EXPECT_EQ(manager->GetDisplayById(2), two) << "stays until the next full redraw";
    manager->RedrawAll(true);
    EXPECT_EQ(manager->GetDisplayById(2), two) << "a 3-D-only redraw closes nothing";
    manager->RedrawAll(false);
    EXPECT_EQ(manager->GetDisplayById(2), nullptr);
    EXPECT_EQ(manager->DisplayCount(), 2u);

    FakeDisplay* four = static_cast<FakeDisplay*>(manager->NewWindow(*one));
    EXPECT_EQ(manager->GetDisplayNumber(four->GetWindow()), 4);
    EXPECT_FALSE(four->isMain);
}

TEST_F(DisplayManagerTest, RedrawNumbersAndThreeDOnlyRedraws) {
    FakeDisplay* main = Create("main", 6);
    FakeDisplay* flat = Create("flat", 3);
    FakeDisplay* threeD = Create("3d", 6);
    EXPECT_TRUE(manager->HasThreeDDisplay());
    manager->RedrawAll(false);
    manager->RedrawAll(true);
    EXPECT_EQ(main->redraws, (std::vector<int>{1, 1}));
    EXPECT_EQ(flat->redraws, (std::vector<int>{2}));
    EXPECT_EQ(threeD->redraws, (std::vector<int>{3, 3}));
    // The tick's redraw leaves each display to judge whether it changed.
    manager->RedrawChanged(false);
    manager->RedrawChanged(true);
    EXPECT_EQ(main->tickRedraws, (std::vector<int>{1, 1}));
    EXPECT_EQ(flat->tickRedraws, (std::vector<int>{2}));
    EXPECT_EQ(threeD->tickRedraws, (std::vector<int>{3, 3}));
    EXPECT_EQ(flat->redraws, (std::vector<int>{2}));
    threeD->settings.Mode = 3;
    main->settings.Mode = 3;
    EXPECT_FALSE(manager->HasThreeDDisplay());
}

TEST_F(DisplayManagerTest, ClosingEverythingEmptiesTheMainDisplayAndSinksDropLines) {
    FakeDisplay* main = Create("main");
    Create("other");
    manager->ShowError("before");
    EXPECT_EQ(main->lines, (std::vector<std::string>{"6 before"}));
    manager->CloseAll();
    manager->RedrawAll(false);
    EXPECT_EQ(manager->GetMainDisplay(), nullptr);
    EXPECT_EQ(manager->GetMainWindow(), nullptr);
    EXPECT_EQ(manager->DisplayCount(), 0u);
    log.clear();
    manager->ShowError("after");
    manager->ShowMessage("after");
    EXPECT_TRUE(log.empty()) << "no sound and no line without a main display";
}

TEST_F(DisplayManagerTest, SinksAddTheirKindsAndTheErrorSoundFirst) {
    FakeDisplay* main = Create("main");
    FakeDisplay* other = Create("other");
    manager->ShowError("Not your control.");
    manager->ShowMessage("Connected.");
    manager->ShowServerMessage("Welcome");
    manager->ShowOverrideMessage("EDDF_TWR", "hello");
    EXPECT_EQ(main->lines, (std::vector<std::string>{"6 Not your control.", "7 Connected.", "8 Welcome",
                                                     "11 EDDF_TWR: hello"}));
    EXPECT_TRUE(other->lines.empty());
    EXPECT_EQ(log[0], "sound");
    EXPECT_EQ(log[1], "line Not your control.");
}

TEST_F(DisplayManagerTest, WorkerThreadLinesReachTheHistoryOnlyThroughTheMainThread) {
    FakeDisplay* main = Create("main");
    std::thread worker([this] {
        manager->ShowMessage("Performing version check...");
        manager->ShowError("Server list failed");
    });
    worker.join();
    EXPECT_TRUE(main->lines.empty());
    queue.RunAll();
    EXPECT_EQ(main->lines,
              (std::vector<std::string>{"7 Performing version check...", "6 Server list failed"}));
}

TEST_F(DisplayManagerTest, TracksChangedOnAWorkerRedrawEveryDisplayOnTheMainThread) {
    FakeDisplay* main = Create("main");
    FakeDisplay* flat = Create("flat", 3);
    FakeDisplay* threeD = Create("3d", 6);
    std::thread worker([this] { manager->RefreshAllDisplays(); });
    worker.join();
    EXPECT_TRUE(main->redraws.empty());
    EXPECT_EQ(flat->oceanicRefreshes, 0);
    queue.RunAll();
    EXPECT_EQ(main->redraws, (std::vector<int>{1}));
    EXPECT_EQ(flat->redraws, (std::vector<int>{2}));
    EXPECT_EQ(threeD->redraws, (std::vector<int>{3}));
    for (FakeDisplay* d : {main, flat, threeD}) EXPECT_EQ(d->oceanicRefreshes, 1);
}

TEST_F(DisplayManagerTest, SelectedCallsignFollowsTheField) {
    FakeDisplay* main = Create("main");
    manager->SetSelectedCallsign("DLH123");
    EXPECT_EQ(main->callsignField, "DLH123");
    EXPECT_EQ(manager->GetSelectedCallsign(), "DLH123");
    log.clear();
    manager->SetSelectedCallsign("");
    EXPECT_EQ(main->callsignField, "");
    EXPECT_EQ(log, (std::vector<std::string>{"strips"})) << "no flight plan details for an empty callsign";
}

TEST_F(DisplayManagerTest, OffMonitorPlaceMovesTo15And15) {
    TarqDisplaySettings gone = NamedSettings("gone");
    gone.LocX = 3000;
    gone.LocY = 200;
    auto* display = static_cast<FakeDisplay*>(manager->CreateDisplay(gone));
    EXPECT_EQ(display->settings.LocX, 15);
    EXPECT_EQ(display->settings.LocY, 15);
    FakeDisplay* kept = Create("kept");
    EXPECT_EQ(kept->settings.LocX, 100);
}

TEST_F(DisplayManagerTest, CascadeColourProfilesAndLayout) {
    FakeDisplay* main = Create("Night");
    FakeDisplay* b = Create("night");
    FakeDisplay* c = Create("Night");
    manager->CascadeDisplays();
    EXPECT_EQ(main->settings.LocX, 0);
    int bx = b->settings.LocX, cx = c->settings.LocX;
    EXPECT_EQ(std::min(bx, cx), 50);
    EXPECT_EQ(std::max(bx, cx), 100);
    EXPECT_EQ(b->settings.LocY, bx);

    manager->ReplaceColorProfile("Night", "Default");
    EXPECT_EQ(main->settings.ColorProfile, "Default");
    EXPECT_EQ(b->settings.ColorProfile, "night") << "case counts";
    EXPECT_EQ(c->settings.ColorProfile, "Default");

    std::vector<TarqDisplaySettings> layout = manager->SaveLayout();
    ASSERT_EQ(layout.size(), 3u);
    EXPECT_EQ(layout[0].LocX, 0) << "main first";
    EXPECT_EQ(layout[1].ColorProfile, "night") << "then by display number";
}

TEST_F(DisplayManagerTest, NewWindowCopiesTheViewButNotThePlaceOrLists) {
    TarqDisplaySettings source = NamedSettings("Night", 4);
    source.Zoom = 2.5;
    source.SectorFile = "ZLA.sct2";
    source.VisibleFixes = {"ALPHA"};
    source.Maximized = true;
    manager->CreateDisplay(source);
    auto* copy = static_cast<FakeDisplay*>(manager->NewWindow(*manager->GetMainDisplay()));
    EXPECT_EQ(copy->settings.LocX, 0);
    EXPECT_EQ(copy->settings.Width, 640);
    EXPECT_EQ(copy->settings.Height, 480);
    EXPECT_EQ(copy->settings.Mode, 4);
    EXPECT_EQ(copy->settings.Zoom, 2.5);
    EXPECT_EQ(copy->settings.SectorFile, "ZLA.sct2");
    EXPECT_EQ(copy->settings.ColorProfile, "Night");
    EXPECT_TRUE(copy->settings.VisibleFixes.empty());
    EXPECT_FALSE(copy->settings.Maximized);
}

TEST_F(DisplayManagerTest, ResetDeletesLeftoverDisplaysAndRestartsNumbering) {
    Create("old main");
    Create("old other");
    manager->CloseAll();
    manager->Reset();  // before any redraw took the closed displays away
    EXPECT_EQ(manager->GetMainDisplay(), nullptr);
    FakeDisplay* fresh = Create("new");
    EXPECT_TRUE(fresh->isMain);
    EXPECT_EQ(manager->GetDisplayById(1), fresh);
    EXPECT_EQ(manager->GetMainDisplay(), fresh);
}

TEST_F(DisplayManagerTest, ScopeCursorFollowsTheMainDisplaysModeOnEveryDisplay) {
    FakeDisplay* main = Create("main", 10);
    FakeDisplay* other = Create("other", 3);
    manager->ApplySettings(false, 118700, "N");
    EXPECT_EQ(manager->ScopeCursor(), 376) << "TAAATS on the main display";
    EXPECT_EQ(main->scopeCursor, 376);
    EXPECT_EQ(other->scopeCursor, 376) << "the main display's mode decides for all";
    main->settings.Mode = 3;
    manager->ApplySettings(false, 118700, "N");
    EXPECT_EQ(manager->ScopeCursor(), 209);
    EXPECT_EQ(other->scopeCursor, 209);
    EXPECT_EQ(Create("later", 5)->scopeCursor, 209) << "a display opened later shows it too";
}

TEST_F(DisplayManagerTest, ActiveDisplayIsNullOnceItsWindowIsGone) {
    Create("main");
    FakeDisplay* other = Create("other");
    manager->SetActiveWindow(other->GetWindow());
    EXPECT_EQ(manager->GetActiveDisplay(), other);
    manager->ScheduleClose(other->GetWindow());
    manager->RedrawAll(false);
    EXPECT_EQ(manager->GetActiveDisplay(), nullptr);
}

}  // namespace
