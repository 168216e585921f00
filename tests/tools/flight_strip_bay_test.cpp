// The strip bay: adding, removing and queueing while busy, the slide,
// separators, clearing, pushing, and the window's input machine and menu.
#include "tools/flight_strip_bay.h"

#include <gtest/gtest.h>

#include "strip_fakes.h"

namespace {

class StripBayTest : public testing::Test {
protected:
    StripBayTest() {
        bay.SetView(&view);
        bay.InitFields();
        bay.SetViewSize(1102, 600);
    }

    // The callsigns of a column bottom to top, separators in brackets.
    std::string Column(int column) const {
        std::map<int, std::string> rows;
        for (const auto& [key, slot] : bay.Slots()) {
            if (slot.column != column || key == bay.GetDraggedKey()) continue;
            const std::string name = slot.strip->GetCallsign();
            rows[slot.position] += rows.count(slot.position) ? "|dup " + name : name;
            if (slot.isSeparator) rows[slot.position] = "[" + name + "]";
        }
        std::string out;
        int expected = 0;
        for (const auto& [position, name] : rows) {
            if (position != expected++) out += "<gap> ";
            out += name + " ";
        }
        if (!out.empty()) out.pop_back();
        return out;
    }
    int KeyOf(const std::string& callsign) const {
        for (const auto& [key, slot] : bay.Slots()) {
            if (slot.strip->GetCallsign() == callsign) return key;
        }
        return 0;
    }
    void Layout() {
        StripBayFrame frame;
        bay.BuildFrame(frame);
    }
    void Settle() {
        for (int i = 0; i < 20; ++i) bay.OnFrameTick();
        Layout();
    }
    // Presses on the body of the strip at (column, row) and moves away.
    void StartDrag(int column, int row, StripModifiers mods = {}) {
        Layout();
        const int x = column * 551 + 30, y = row * 64 + 30;
        bay.OnMouseMove(x, y);
        ASSERT_EQ(bay.GetHitResult(), 1);
        bay.OnLButtonDown(x, y, mods);
        ASSERT_TRUE(bay.IsPressed());
        bay.OnMouseMove(x + 1, y + 1);
        ASSERT_NE(bay.GetDraggedKey(), 0);
    }
    std::pair<int, int> DragTarget() const {
        const StripSlot& s = bay.Slots().at(bay.GetDraggedKey());
        return {s.column, s.position};
    }

    FakeStripServices services;
    FakeStripView view;
    TarqFlightStripBay bay{services};
};

TEST_F(StripBayTest, NewStripsGoOnTopOfTheLeftColumnAndAskForTheirPlan) {
    services.plans["B"] = {};
    bay.AddStripForAircraft("a");
    bay.AddStripForAircraft("B");
    bay.AddStripForAircraft("A");
    EXPECT_EQ(Column(0), "A B A");
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"request A", "request A"}));
    EXPECT_TRUE(bay.HasStrip("A"));
    EXPECT_FALSE(bay.HasStrip("a"));
    // The older of two strips goes first.
    const int older = KeyOf("A");
    EXPECT_TRUE(bay.RemoveStrip("a"));
    EXPECT_EQ(bay.Slots().count(older), 0u);
    EXPECT_FALSE(bay.RemoveStrip("NONE"));
}

TEST_F(StripBayTest, UnknownPushTypeStillAddsTheStrip) {
    bay.AddStrip("N1", 4, {"x"});
    EXPECT_EQ(Column(0), "N1");
    EXPECT_EQ(services.Take().front(),
              "error: Unknown flight strip type received in push. Annotations may have been lost.");
    EXPECT_EQ(bay.Slots().begin()->second.strip->GetAnnotation(0), "");
}

TEST_F(StripBayTest, ClosedGapSlidesInSixTicks) {
    for (const char* c : {"A", "B", "C"}) bay.AddStripForAircraft(c);
    ASSERT_TRUE(bay.RemoveStrip("A"));
    EXPECT_EQ(Column(0), "B C");
    std::vector<int> offsets;
    while (bay.IsBusy()) {
        offsets.push_back(bay.Slots().at(KeyOf("C")).offset);
        bay.OnFrameTick();
        ASSERT_LT(offsets.size(), 10u);
    }
    EXPECT_EQ(offsets, (std::vector<int>{64, 52, 40, 28, 16, 4}));
    EXPECT_EQ(bay.Slots().at(KeyOf("B")).offset, 0);
}

TEST_F(StripBayTest, RequestsWhileBusyWaitForAQuietTickInOrder) {
    for (const char* c : {"A", "B", "C"}) bay.AddStripForAircraft(c);
    ASSERT_TRUE(bay.RemoveStrip("A"));  // sliding now
    bay.AddStrip("D", 1, {"d0"});
    EXPECT_TRUE(bay.RemoveStrip("B"));
    EXPECT_TRUE(bay.RemoveStrip("D"));   // not there yet, but queued before
    EXPECT_FALSE(bay.RemoveStrip("D"));  // only one D will be there
    EXPECT_FALSE(bay.RemoveStrip("X"));
    EXPECT_TRUE(bay.DeleteSlot(KeyOf("C")));
    EXPECT_FALSE(bay.DeleteSlot(999));
    EXPECT_EQ(Column(0), "B C");
    Settle();
    EXPECT_EQ(Column(0), "");
    EXPECT_EQ(bay.QueuedCount(), 0u);
}

TEST_F(StripBayTest, StripPushedDuringADragShowsAfterTheDrop) {
    for (const char* c : {"A", "B"}) bay.AddStripForAircraft(c);
    StartDrag(0, 1);
    bay.AddStrip("P", 1, {});
    EXPECT_FALSE(bay.HasStrip("P"));
    bay.OnMouseMove(30, 10);
    bay.OnLButtonUp();
    EXPECT_EQ(Column(0), "B A");
    Settle();
    EXPECT_EQ(Column(0), "B A P");
}

TEST_F(StripBayTest, SeparatorsKeepTheirColumn) {
    bay.AddSeparator("ONE|TWO||THREE", 1);
    EXPECT_EQ(Column(1), "[ONE] [TWO] [THREE]");
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"modified"}));
    bay.AddStripForAircraft("A");
    bay.AddStripForAircraft("B");
    bay.RemoveStrip("A");  // sliding
    bay.AddSeparator("LATE", 1);
    EXPECT_EQ(Column(1), "[ONE] [TWO] [THREE]");
    Settle();
    EXPECT_EQ(Column(1), "[ONE] [TWO] [THREE] [LATE]");
    EXPECT_EQ(bay.GetSeparatorLabels(1), (std::vector<std::string>{"ONE", "TWO", "THREE", "LATE"}));
    EXPECT_EQ(bay.GetSortedStrips(0), std::vector<std::string>{});
}

TEST_F(StripBayTest, ClearingStripsRenumbersWhatIsLeft) {
    bay.AddSeparator("S1", 0);
    bay.AddStripForAircraft("A");
    bay.AddSeparator("S2", 0);
    bay.AddStripForAircraft("B");
    bay.AddSeparator("R1", 1);
    EXPECT_EQ(Column(0), "[S1] A [S2] B");
    bay.ClearStrips(false);
    EXPECT_EQ(Column(0), "[S1] [S2]");
    EXPECT_EQ(Column(1), "[R1]");
    EXPECT_EQ(bay.GetSeparatorLabels(0), (std::vector<std::string>{"S1", "S2"}));
    bay.ClearStrips(true);
    EXPECT_TRUE(bay.Slots().empty());
}

TEST_F(StripBayTest, PushSendsTheStripOrABareOne) {
    bay.AddStrip("N1", 1, {"a:b", "", "c"});
    bay.PushStrip("n1", "xy_app", nullptr);
    bay.PushStrip("N9", "XY_APP", nullptr);
    services.log.erase(services.log.begin());  // the plan request
    EXPECT_EQ(services.Take(), (std::vector<std::string>{
                                   "push N1 to XY_APP type 1 [a:b] [] [c] [] [] [] [] [] []",
                                   "push N9 to XY_APP type 1",
                               }));
}

TEST_F(StripBayTest, ScrollIsClampedAgainAfterRemovals) {
    bay.SetViewSize(551, 200);
    for (const char* c : {"A", "B", "C", "D", "E", "F"}) bay.AddStripForAircraft(c);
    bay.Scroll(120);
    bay.Scroll(120);
    EXPECT_EQ(bay.GetScrollOffset(), -30);
    for (int i = 0; i < 20; ++i) bay.Scroll(120);
    EXPECT_EQ(bay.GetScrollOffset(), 200 - 6 * 64);
    bay.RemoveStrip("A");
    EXPECT_EQ(bay.GetScrollOffset(), 200 - 5 * 64);
    Settle();
    bay.RemoveStrip("B");
    Settle();
    bay.RemoveStrip("C");
    EXPECT_EQ(bay.GetScrollOffset(), 0);
}

TEST_F(StripBayTest, DropTargets) {
    services.bools["StripBayTwoCols"] = true;
    for (const char* c : {"A", "B", "C"}) bay.AddStripForAircraft(c);
    bay.AddStripForAircraft("D");
    bay.AddStripForAircraft("E");
    // D and E to the right column.
    for (int i = 0; i < 2; ++i) {
        StartDrag(0, 3);
        bay.OnMouseMove(600, 500);
        bay.OnLButtonUp();
        Settle();
    }
    ASSERT_EQ(Column(0), "A B C");
    ASSERT_EQ(Column(1), "D E");

    StartDrag(0, 0);  // A; B and C close up
    struct Case {
        const char* name;
        int x, y;
        std::pair<int, int> target;
    };
    const std::vector<Case> cases = {
        {"bottom row", 30, 10, {0, 0}},
        {"a shared edge belongs to the lower row", 30, 64, {0, 0}},
        {"just above it", 30, 65, {0, 1}},
        {"above the top row is the top", 30, 500, {0, 2}},
        {"below the bottom is the foot", 30, -5, {0, 0}},
        {"the border still is the left column", 554, 30, {0, 0}},
        {"past it the right column", 555, 30, {1, 0}},
        {"right column middle", 600, 100, {1, 1}},
        {"above the right column's top", 600, 500, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bay.OnMouseMove(c.x, c.y);
        EXPECT_EQ(DragTarget(), c.target);
    }
    bay.OnLButtonUp();
    Settle();
    EXPECT_EQ(Column(0), "B C");
    EXPECT_EQ(Column(1), "D E A");
}

TEST_F(StripBayTest, DragToAnEmptyColumnAndFromBottomToTop) {
    services.bools["StripBayTwoCols"] = true;
    for (const char* c : {"A", "B", "C"}) bay.AddStripForAircraft(c);
    StartDrag(0, 0);
    bay.OnMouseMove(30, 400);
    EXPECT_EQ(view.cursor, StripCursor::Grab);
    bay.OnLButtonUp();
    EXPECT_EQ(Column(0), "B C A");
    Settle();
    StartDrag(0, 1);
    bay.OnMouseMove(700, 300);
    bay.OnLButtonUp();
    EXPECT_EQ(Column(1), "C");
    EXPECT_EQ(Column(0), "B A");
}

TEST_F(StripBayTest, DropWhileOthersSlideLandsAfterTheSlide) {
    for (const char* c : {"A", "B", "C"}) bay.AddStripForAircraft(c);
    StartDrag(0, 2);
    bay.OnMouseMove(30, 10);
    bay.OnLButtonUp();
    EXPECT_EQ(bay.GetLandingKey(), KeyOf("C"));
    StripBayFrame frame;
    bay.BuildFrame(frame);
    EXPECT_TRUE(frame.shadow);
    Settle();
    EXPECT_EQ(bay.GetLandingKey(), 0);
    bay.BuildFrame(frame);
    EXPECT_FALSE(frame.shadow);
    EXPECT_EQ(Column(0), "C A B");
}

TEST_F(StripBayTest, ShiftDragCopiesTheStrip) {
    bay.AddStrip("A", 1, {"x"});
    bay.AddStripForAircraft("B");
    StartDrag(0, 0, {.shift = true});
    bay.OnMouseMove(30, 300);
    bay.OnLButtonUp();
    EXPECT_EQ(Column(0), "A B A");
    const StripSlot& top = bay.Slots().rbegin()->second;
    EXPECT_EQ(top.position, 2);
    EXPECT_EQ(top.strip->GetAnnotation(0), "x");
}

TEST_F(StripBayTest, StillPressIsNoDrag) {
    bay.AddStripForAircraft("A");
    Layout();
    bay.OnMouseMove(30, 30);
    bay.OnLButtonDown(30, 30, {});
    bay.OnMouseMove(30, 30);
    EXPECT_EQ(bay.GetDraggedKey(), 0);
    bay.OnLButtonUp();
    EXPECT_FALSE(bay.IsPressed());
    EXPECT_EQ(view.cursor, StripCursor::Hand);
}

TEST_F(StripBayTest, AltClickDeletesCtrlClickOpensThePlan) {
    bay.AddSeparator("S", 0);
    bay.AddStripForAircraft("A");
    services.Take();
    Layout();
    bay.OnMouseMove(30, 94);
    bay.OnLButtonDown(30, 94, {.ctrl = true});
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"editor A"}));
    bay.OnDoubleClick({.alt = true});
    EXPECT_TRUE(services.Take().empty());
    bay.OnDoubleClick({});
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"select A"}));
    // Alt on a separator deletes it and marks the profile.
    bay.OnLButtonDown(30, 30, {.alt = true});
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"modified"}));
    EXPECT_EQ(Column(0), "A");
    // While sliding it does nothing.
    bay.OnLButtonDown(30, 30, {.alt = true});
    EXPECT_EQ(Column(0), "A");
    Settle();
    bay.OnLButtonDown(30, 30, {.alt = true});
    EXPECT_EQ(Column(0), "");
}

TEST_F(StripBayTest, ClickOnABoxEditsTheAnnotation) {
    bay.AddStrip("A", 1, {"", "", "", "", "old"});
    Layout();
    bay.OnMouseMove(500, 30);
    EXPECT_EQ(bay.GetHitResult(), 2);
    EXPECT_EQ(view.cursor, StripCursor::IBeam);
    view.editorAnswer = true;
    view.editorText = "new";
    bay.OnLButtonDown(500, 30, {});
    EXPECT_EQ(view.editorSaw, "old");
    EXPECT_EQ(bay.Slots().begin()->second.strip->GetAnnotation(4), "new");
    view.editorAnswer = false;
    view.editorText = "cancelled";
    bay.OnLButtonDown(500, 30, {});
    EXPECT_EQ(bay.Slots().begin()->second.strip->GetAnnotation(4), "new");
}

TEST_F(StripBayTest, ContextMenuContents) {
    bay.AddSeparator("S", 0);
    bay.AddStripForAircraft("A");
    Layout();
    services.controllers = {"XY_APP", "XY_CTR"};
    bay.OnMouseMove(30, 94);
    StripBayMenu menu;
    ASSERT_TRUE(bay.BuildContextMenu(&menu));
    EXPECT_EQ(menu.title, "A");
    EXPECT_FALSE(menu.separator);
    EXPECT_EQ(menu.pushTargets, services.controllers);

    services.controllers.assign(120, "C_CTR");
    ASSERT_TRUE(bay.BuildContextMenu(&menu));
    EXPECT_EQ(menu.pushTargets.size(), 100u);

    bay.OnMouseMove(30, 30);
    ASSERT_TRUE(bay.BuildContextMenu(&menu));
    EXPECT_EQ(menu.title, "S");
    EXPECT_TRUE(menu.separator);
    EXPECT_TRUE(menu.pushTargets.empty());

    bay.OnMouseMove(30, 300);
    EXPECT_FALSE(bay.BuildContextMenu(&menu));
}

TEST_F(StripBayTest, MenuCommands) {
    bay.AddStrip("A", 1, {"n"});
    bay.AddStripForAircraft("B");
    services.controllers = {"XY_APP"};
    services.Take();
    Layout();
    const int a = KeyOf("A");
    bay.OnMouseMove(30, 30);
    StripBayMenu menu;
    ASSERT_TRUE(bay.BuildContextMenu(&menu));

    services.validAtc = false;
    bay.OnMenuCommand(a, kStripMenuFirstPush, menu);
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"error: Observers cannot push flight strips."}));
    services.validAtc = true;
    services.controllers.clear();  // gone since the menu opened
    bay.OnMenuCommand(a, kStripMenuFirstPush, menu);
    EXPECT_TRUE(services.Take().empty());
    services.controllers = {"XY_APP"};
    services.bools["DelPushedStrips"] = true;
    bay.OnMenuCommand(a, kStripMenuFirstPush, menu);
    EXPECT_EQ(services.Take(),
              (std::vector<std::string>{"push A to XY_APP type 1 [n] [] [] [] [] [] [] [] []",
                                        "info: Flight strip for A pushed to XY_APP."}));
    EXPECT_EQ(Column(0), "B");
    bay.OnMenuCommand(KeyOf("B"), kStripMenuEditPlan, menu);
    EXPECT_EQ(services.Take(), (std::vector<std::string>{"editor raised B"}));

    // A slide that started while the menu was open defers the delete.
    ASSERT_TRUE(bay.IsBusy());
    bay.OnMenuCommand(KeyOf("B"), kStripMenuDelete, menu);
    EXPECT_EQ(Column(0), "B");
    Settle();
    EXPECT_EQ(Column(0), "");
}

TEST_F(StripBayTest, RightClickTracksTheMenu) {
    bay.AddStripForAircraft("A");
    Layout();
    view.menuAnswer = kStripMenuDelete;
    bay.OnRButtonDown(30, 30);
    EXPECT_EQ(view.lastMenu.title, "A");
    EXPECT_EQ(Column(0), "");
}

TEST_F(StripBayTest, FrameHasRailsArrowsAndMarker) {
    bay.SetViewSize(551, 130);
    for (const char* c : {"A", "B", "C"}) bay.AddStripForAircraft(c);
    StripBayFrame frame;
    bay.BuildFrame(frame);
    EXPECT_EQ(frame.rails, (std::vector<int>{78, 449}));
    // Rows remain above: one upward arrow at the top edge.
    ASSERT_FALSE(frame.lifted.Commands().empty());
    EXPECT_EQ(frame.lifted.Commands().back().count, 3u);
    EXPECT_EQ(frame.lifted.Vertices().back().x, 541);
    EXPECT_EQ(frame.lifted.Vertices().back().y, 116);
    bay.Scroll(-120);
    bay.Scroll(120);
    bay.BuildFrame(frame);
    EXPECT_EQ(frame.lifted.Commands().back().count, 6u);
}

TEST(StripRailTexture, RodThenBlack) {
    const std::vector<uint8_t> t = StripRailTexture();
    ASSERT_EQ(t.size(), 64u * 64u * 3u);
    auto pixel = [&](int x, int y) {
        const uint8_t* p = &t[static_cast<size_t>((y * 64 + x) * 3)];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(pixel(0, 0), (std::vector<int>{49, 53, 65}));
    EXPECT_EQ(pixel(4, 63), (std::vector<int>{251, 251, 255}));
    EXPECT_EQ(pixel(23, 30), (std::vector<int>{38, 58, 69}));
    EXPECT_EQ(pixel(24, 30), (std::vector<int>{0, 0, 0}));
}

}  // namespace
