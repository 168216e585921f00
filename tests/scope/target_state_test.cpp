// The targets' per-frame decisions and clicks, driven against a real aircraft
// database without GL: the builder is a lambda that records each record and
// returns a fixed data block rectangle beside the symbol.
#include "scope/target_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <set>

#include "fake_scope_host.h"
#include "foundation/geo_helpers.h"
#include "scope/display_scope.h"
#include "tests/atc/atc_fakes.h"
#include "tests/scope/fake_target_environment.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class TargetStateTest : public ::testing::Test {
public:
    void SetUp() override {
        host.ints["LeaderLength"] = 20;
        host.ints["TagPosition"] = 6;
        const char* keys[] = {"ColorHandoff",  "ColorEmergency", "ColorConflict",
                              "ColorCoasting", "ColorSelected",  "ColorLDB",
                              "ColorFiltered", "ColorTracked",   "ColorUntracked"};
        for (int i = 0; i < 9; ++i) host.colors[keys[i]] = 0x100 + i;
    }
    void TearDown() override { LongitudeScale = m_savedScale; }

    // An aircraft whose position projects to window pixel (x, y down).
    void Add(const std::string& callsign, int x = 400, int y = 300, int altitude = 10000, int speed = 250,
             uint16_t squawk = 1200) {
        ScopePoint p = scope->Projection().WindowToPoint(x, y);
        AircraftReport r = AtcWorld::Report(p.y, p.x, altitude, speed, squawk);
        world.aircraft.UpdatePilotPosition(callsign, r);
    }
    void Correlate(const std::string& callsign, uint16_t code = 1200) {
        world.aircraft.SetAssignedSquawk(callsign, "OTHER_CTR", code);
    }
    void Plan(const std::string& callsign, const std::string& type, const std::string& cruise,
              const std::string& departure = "KJFK", const std::string& destination = "KBOS") {
        TarqFlightPlanRecord plan;
        plan.flightRules = 'I';
        plan.bareType = type;
        plan.aircraftType = type + "/L";
        plan.cruiseAltitude = cruise;
        plan.departure = departure;
        plan.destination = destination;
        world.aircraft.OnFlightPlanReceived(callsign, plan);
    }

    // One frame; the records by callsign. Each data block is 40 by 20 pixels
    // starting 20 pixels right of the symbol.
    std::map<std::string, TargetSnapshot> Frame(int mode = 5) {
        std::map<std::string, TargetSnapshot> out;
        state.RunFrame(mode, 1, [&](TargetSnapshot& t) {
            out[t.callsign] = t;
            PixelPoint s = scope->ProjectToScreen(t.position);
            return TagRect{s.x + 20, s.y + 10, s.x + 60, s.y - 10};
        });
        return out;
    }

    std::unique_ptr<TarqDisplayScope> MakeScope() {
        LongitudeScale = 1.0;
        TarqDisplaySettings settings;
        settings.Zoom = 0.5;
        settings.CenterLon = -74.0;
        settings.CenterLat = 40.0;
        auto made = std::make_unique<TarqDisplayScope>(host, settings);
        made->SetViewportSize(kWidth, kHeight);
        return made;
    }

    double m_savedScale = LongitudeScale;
    AtcWorld world;
    FakeScopeHost host;
    std::unique_ptr<TarqDisplayScope> scope = MakeScope();
    FakeTargetEnvironment env{world};
    TargetState state{*scope, env};
};

}  // namespace

TEST_F(TargetStateTest, DataBlockColourFollowsThePriorityRule) {
    struct Case {
        const char* name;
        std::function<void(TargetStateTest&)> setup;
        const char* expected;
        int mode = 5;
    };
    const Case cases[] = {
        {"handoff beats emergency",
         [](TargetStateTest& f) {
             f.Add("A1", 400, 300, 10000, 250, 7700);
             f.world.AddController("OTHER_CTR");
             f.world.aircraft.SetTrackingController("A1", "OTHER_CTR");
             f.world.aircraft.OnHandoffRequest("A1", "OTHER_CTR");
             f.host.bools["UseHandoffColor"] = true;
             f.host.bools["UseDangerColors"] = true;
         },
         "ColorHandoff"},
        {"7700 with danger colours",
         [](TargetStateTest& f) {
             f.Add("A1", 400, 300, 10000, 250, 7700);
             f.host.bools["UseDangerColors"] = true;
         },
         "ColorEmergency"},
        {"7500 with danger colours",
         [](TargetStateTest& f) {
             f.Add("A1", 400, 300, 10000, 250, 7500);
             f.host.bools["UseDangerColors"] = true;
         },
         "ColorEmergency"},
        {"7600 is no emergency colour",
         [](TargetStateTest& f) {
             f.Add("A1", 400, 300, 10000, 250, 7600);
             f.host.bools["UseDangerColors"] = true;
         },
         "ColorLDB"},
        {"7700 without danger colours", [](TargetStateTest& f) { f.Add("A1", 400, 300, 10000, 250, 7700); },
         "ColorLDB"},
        {"selected",
         [](TargetStateTest& f) {
             f.Add("A1");
             f.host.selected = "A1";
             f.host.bools["UseSelectedColor"] = true;
         },
         "ColorSelected"},
        {"selected but uncorrelated under realistic tags",
         [](TargetStateTest& f) {
             f.Add("A1");
             f.host.selected = "A1";
             f.host.bools["UseSelectedColor"] = true;
             f.host.bools["RealisticTags"] = true;
         },
         "ColorLDB"},
        {"filtered",
         [](TargetStateTest& f) {
             f.Add("A1", 400, 300, 2000);
             f.scope->SetAirspaceFloor(5000);
         },
         "ColorFiltered"},
        {"tracked by me",
         [](TargetStateTest& f) {
             f.Add("A1");
             f.world.aircraft.SetTrackingController("A1", "ME_CTR");
         },
         "ColorTracked"},
        {"limited block in Simple", [](TargetStateTest& f) { f.Add("A1"); }, "ColorUntracked", 1},
        {"limited block in Tower", [](TargetStateTest& f) { f.Add("A1"); }, "ColorUntracked", 2},
        {"limited block in ARTS", [](TargetStateTest& f) { f.Add("A1"); }, "ColorLDB", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        world.aircraft.Clear();
        host.bools.clear();
        host.selected.clear();
        scope->SetAirspaceFloor(0);
        c.setup(*this);
        TargetState fresh(*scope, env);
        TargetSnapshot seen;
        fresh.RunFrame(c.mode, 1, [&](TargetSnapshot& t) {
            seen = t;
            return TagRect::Empty();
        });
        ASSERT_EQ(seen.callsign, "A1");
        EXPECT_EQ(seen.dataBlockColor, static_cast<uint32_t>(host.colors[c.expected]));
    }
}

TEST_F(TargetStateTest, DerivedFieldsComeFromThePlanAndTheDatabases) {
    Add("LONG1");
    Plan("LONG1", "B7478", "FL350");
    Add("SHORT1");
    Plan("SHORT1", "C172", "35000", "KJFK", "KLGA");
    world.aircraft.SetScratchpad("SHORT1", "OTHER_CTR", "", false);
    Add("MINE1");
    world.aircraft.SetTrackingController("MINE1", "ME_CTR");
    Add("THEIRS1");
    world.aircraft.SetTrackingController("THEIRS1", "NOBODY_CTR");

    auto frame = Frame();
    EXPECT_EQ(frame["LONG1"].typeCode, "B747");
    EXPECT_EQ(frame["LONG1"].cruiseAltitude, 0);
    EXPECT_EQ(frame["SHORT1"].typeCode, "C172");
    EXPECT_EQ(frame["SHORT1"].cruiseAltitude, 35000);
    EXPECT_EQ(frame["SHORT1"].scratchpad, "KLGA");
    EXPECT_EQ(frame["MINE1"].ownerId, "--");
    EXPECT_TRUE(frame["MINE1"].trackedByMe);
    EXPECT_EQ(frame["THEIRS1"].ownerId, "");
    EXPECT_EQ(frame["THEIRS1"].ownerSectorText, "");
    EXPECT_FALSE(frame["THEIRS1"].trackedByMe);

    // STARS keeps an empty scratchpad empty.
    EXPECT_EQ(Frame(kRadarModeSTARS)["SHORT1"].scratchpad, "");
}

TEST_F(TargetStateTest, DepartureAcquisitionHoldsUnderThreeMiles) {
    world.settings.lists["DepartureFields"] = {"KJFK"};
    scope->SetAirspaceFloor(5000);
    for (double nm : {2.9, 3.0}) {
        SCOPED_TRACE(nm);
        world.aircraft.Clear();
        TargetState fresh(*scope, env);
        Add("DEP1", 400, 300, 1000, 30);
        Plan("DEP1", "B738", "35000");
        // The airport due south of the aircraft by nm.
        ScopePoint at = world.aircraft.GetAircraft("DEP1")->GetPosition(0, 0);
        world.scope.namedPoints["KJFK"] = {at.x, at.y - nm / 60.0 - 1e-9};
        world.aircraft.UpdateAirportDistances("DEP1");
        std::map<std::string, TargetSnapshot> frame;
        auto run = [&] {
            frame.clear();
            fresh.RunFrame(3, 1, [&](TargetSnapshot& t) {
                frame[t.callsign] = t;
                return TagRect::Empty();
            });
        };
        run();
        EXPECT_FALSE(frame["DEP1"].fullDataBlock);
        Add("DEP1", 400, 300, 1000, 50);
        run();
        EXPECT_EQ(frame["DEP1"].fullDataBlock, nm < 3.0);
        EXPECT_EQ(frame["DEP1"].filtered, nm >= 3.0);
    }
}

TEST_F(TargetStateTest, AirborneStateFollowsFortyAndFiftyKnots) {
    world.settings.lists["DepartureFields"] = {"KJFK"};
    Add("DEP1", 400, 300, 1000, 45);
    Plan("DEP1", "B738", "35000");
    ScopePoint at = world.aircraft.GetAircraft("DEP1")->GetPosition(0, 0);
    world.scope.namedPoints["KJFK"] = {at.x, at.y};
    world.aircraft.UpdateAirportDistances("DEP1");
    // First seen at 45 kt: already airborne, so reaching 50 acquires nothing.
    Frame(3);
    Add("DEP1", 400, 300, 1000, 60);
    EXPECT_FALSE(Frame(3)["DEP1"].fullDataBlock);
    // Back below 40 and up again past 50: now it is a departure.
    Add("DEP1", 400, 300, 1000, 39);
    Frame(3);
    Add("DEP1", 400, 300, 1000, 50);
    EXPECT_TRUE(Frame(3)["DEP1"].fullDataBlock);
}

TEST_F(TargetStateTest, QuicklookShowsFullBlocksWithoutChangingTheMap) {
    Add("A1");
    Correlate("A1");
    Add("B1");  // no assigned code
    host.bools["RealisticTags"] = true;
    scope->ToggleQuicklook();
    auto frame = Frame(3);
    EXPECT_TRUE(frame["A1"].fullDataBlock);
    EXPECT_FALSE(frame["B1"].fullDataBlock);
    EXPECT_FALSE(state.GetFullDataBlockEntry("A1"));
    scope->ToggleQuicklook();
    EXPECT_FALSE(Frame(3)["A1"].fullDataBlock);
    host.bools["RealisticTags"] = false;
    scope->ToggleQuicklook();
    EXPECT_TRUE(Frame(3)["B1"].fullDataBlock);
}

TEST_F(TargetStateTest, FilterExemptions) {
    scope->SetAirspaceFloor(5000);
    scope->SetShowTagsBelowFloor(true);
    Add("LOW1", 400, 300, 2000);
    Add("MINE1", 400, 300, 2000);
    world.aircraft.SetTrackingController("MINE1", "ME_CTR");
    Add("PO1", 400, 300, 2000);
    world.aircraft.OnPointoutReceived("PO1", "OTHER_CTR");
    auto frame = Frame();
    EXPECT_TRUE(frame["LOW1"].filtered);
    EXPECT_TRUE(frame["LOW1"].hideSymbol);
    EXPECT_FALSE(frame["LOW1"].hideDataBlock);
    EXPECT_FALSE(frame["MINE1"].filtered);
    EXPECT_EQ(frame["PO1"].filtered, !world.aircraft.IsPointedOut("PO1"));
    scope->ToggleFilters();
    EXPECT_FALSE(Frame()["LOW1"].filtered);
}

TEST_F(TargetStateTest, SuppressedAircraftAreNotDrawnUnlessTrackedOrSeeAll) {
    Add("S1");
    Add("S2");
    world.aircraft.SetTrackingController("S2", "ME_CTR");
    env.suppressed = {"S1", "S2"};
    auto frame = Frame();
    EXPECT_EQ(frame.count("S1"), 0u);
    EXPECT_EQ(frame.count("S2"), 1u);
    env.seeAll = true;
    EXPECT_EQ(Frame().count("S1"), 1u);
}

TEST_F(TargetStateTest, NoAircraftStopsThePlayingAlertSound) {
    world.log.Clear();
    EXPECT_TRUE(Frame().empty());
    EXPECT_FALSE(world.aircraft.IsSoundPlaying());
}

TEST(TargetBlinkPhase, AdvancesEveryHalfSecondOverFourSeconds) {
    const std::pair<uint64_t, uint16_t> cases[] = {{0, 1},    {499, 1},  {500, 2},
                                                   {3500, 8}, {3999, 8}, {4000, 1}};
    for (auto [ms, phase] : cases) EXPECT_EQ(TargetBlinkPhase(ms), phase) << ms;
}

TEST(TagPositionForBearing, KeypadBySector) {
    const std::pair<double, int> cases[] = {{0, 8},   {22, 8},  {23, 9},  {67, 9},  {68, 6},  {112, 6},
                                            {113, 3}, {157, 3}, {158, 2}, {202, 2}, {203, 1}, {247, 1},
                                            {248, 4}, {292, 4}, {293, 7}, {337, 7}, {338, 8}, {359, 8}};
    for (auto [bearing, position] : cases) EXPECT_EQ(TagPositionForBearing(bearing), position) << bearing;
}

TEST_F(TargetStateTest, TagPositionSettingOutOfRangeGivesSix) {
    for (auto [setting, expected] : {std::pair{0, 6}, {10, 6}, {5, 5}, {9, 9}}) {
        TargetState fresh(*scope, env);
        host.ints["TagPosition"] = setting;
        EXPECT_EQ(fresh.GetTagPosition("X"), expected) << setting;
    }
}

TEST_F(TargetStateTest, LeaderLengthSettingIsClampedToTheDragRange) {
    host.ints["LeaderLength"] = 1000;
    EXPECT_EQ(state.GetLeaderLength("A", 3), 200);
    EXPECT_EQ(state.GetLeaderLength("B", kRadarModeSTARS), 500);
    host.ints["LeaderLength"] = -70000;
    EXPECT_EQ(state.GetLeaderLength("C", 3), 4);
}

TEST_F(TargetStateTest, DraggingMovesTheTagAndClampsTheLeader) {
    struct Case {
        int mode;
        int dx, dy;  // mouse from the target, window pixels (y down)
        int tagPosition;
        int leader;
    };
    const Case cases[] = {
        {3, 0, -100, 8, 100},  // straight up
        {3, 100, 0, 6, 100},   // right
        {3, -300, 0, 4, 200},  // far left: clamped
        {3, 2, 2, 6, 4},       // within 3 pixels: the tag stays, shortest leader
        {kRadarModeSTARS, 0, 0, 6, 0},
        {kRadarModeSTARS, 0, 300, 2, 300},
        {kRadarModeSTARS, 0, 520, 2, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.dx << "," << c.dy);
        world.aircraft.Clear();
        TargetState fresh(*scope, env);
        Add("D1", 400, 300);
        Frame();  // not this state's frame
        fresh.RunFrame(c.mode, 1, [&](TargetSnapshot& t) {
            PixelPoint s = scope->ProjectToScreen(t.position);
            return TagRect{s.x + 20, s.y + 10, s.x + 60, s.y - 10};
        });
        // Grab the block exactly at the leader's length from the target.
        ScopeMouse grab;
        grab.x = 400 + 20;
        grab.y = 300;
        scope->OnMouseMove(grab);
        ASSERT_TRUE(fresh.OnLeftClick(grab.x, grab.y, c.mode));
        EXPECT_EQ(fresh.GetDraggedCallsign(), "D1");
        ScopeMouse to;
        to.x = 400 + c.dx;
        to.y = 300 + c.dy;
        scope->OnMouseMove(to);
        TargetSnapshot seen;
        fresh.RunFrame(c.mode, 1, [&](TargetSnapshot& t) {
            seen = t;
            return TagRect::Empty();
        });
        EXPECT_EQ(seen.tagPosition, c.tagPosition);
        EXPECT_EQ(seen.leaderLength, c.leader);
        fresh.CancelDrag();
        EXPECT_EQ(fresh.GetDraggedCallsign(), "");
    }
}

TEST_F(TargetStateTest, TargetHitBoxIsAsymmetric) {
    Add("A1", 400, 300);
    Frame();
    PixelPoint s = scope->ProjectToWindow(world.aircraft.GetAircraft("A1")->GetPosition(0, 0));
    const struct {
        int dx, dyUp;
        bool hit;
    } cases[] = {{7, 5, true}, {-2, -6, true}, {-3, 0, false}, {0, -7, false}, {8, 0, false}, {0, 6, false}};
    for (auto c : cases) {
        env.selected.clear();
        EXPECT_EQ(state.OnLeftClick(s.x + c.dx, s.y - c.dyUp, 3), c.hit) << c.dx << "," << c.dyUp;
        EXPECT_EQ(env.selected, c.hit ? "A1" : "");
    }
}

TEST_F(TargetStateTest, SearchOrderTargetsFirstThenCallsignOrder) {
    Add("BBB", 400, 300);
    Add("AAA", 400, 300);
    Add("CCC", 380, 305);  // its data block covers the other two's symbols
    Frame();
    ASSERT_TRUE(state.OnLeftClick(400, 300, 3));
    EXPECT_EQ(env.selected, "AAA");
    EXPECT_EQ(state.GetDraggedCallsign(), "");
    // Only CCC's data block lies here.
    ASSERT_TRUE(state.OnLeftClick(405, 313, 3));
    EXPECT_EQ(state.GetDraggedCallsign(), "CCC");
    EXPECT_EQ(env.details, std::vector<std::string>{"CCC"});
    EXPECT_TRUE(state.OpenMenuAt(400, 300, 3));
    EXPECT_EQ(env.menus, std::vector<std::string>{"AAA"});
    EXPECT_FALSE(state.OnLeftClick(100, 100, 3));
    EXPECT_FALSE(state.OnLeftClick(400, 300, kRadarMode3D));
}

TEST_F(TargetStateTest, StrictSelectionUnderRealisticTags) {
    host.bools["RealisticTags"] = true;
    Add("SBY1", 400, 300);  // mode C, wrong code
    Frame(3);
    EXPECT_FALSE(state.OnLeftClick(400, 300, 3));
    EXPECT_TRUE(state.OnLeftClick(400, 300, 1));  // Simple is never strict
    env.selected.clear();
    host.commandLine = ".contactme ";
    EXPECT_TRUE(state.OnLeftClick(400, 300, 3));
    EXPECT_FALSE(state.OpenMenuAt(400, 300, 3));  // no exception for the menu
    host.commandLine.clear();
    env.shift = true;
    env.selected.clear();
    EXPECT_TRUE(state.OnLeftClick(400, 300, 3));
    EXPECT_EQ(env.selected, "");  // shift does not select
    env.shift = false;
    Correlate("SBY1");
    EXPECT_TRUE(state.OnLeftClick(400, 300, 3));
    EXPECT_EQ(env.selected, "SBY1");
    // A wrong code's data block drags but shows no flight plan.
    Correlate("SBY1", 4321);
    Frame(3);
    EXPECT_TRUE(state.OnLeftClick(430, 300, 3));
    EXPECT_EQ(state.GetDraggedCallsign(), "SBY1");
    EXPECT_TRUE(env.details.empty());
    // Shift and ".contactme " lift strict selection on the data block too.
    env.shift = true;
    EXPECT_TRUE(state.OnLeftClick(430, 300, 3));
    env.shift = false;
    host.commandLine = ".contactme ";
    EXPECT_TRUE(state.OnLeftClick(430, 300, 3));
    EXPECT_EQ(env.details, (std::vector<std::string>{"SBY1", "SBY1"}));
}

TEST_F(TargetStateTest, PendingPointoutKeepsTheSelection) {
    Add("A1", 400, 300);
    state.ToggleFullDataBlock("a1");
    Frame();
    for (auto [line, selects] : {std::pair{".qp ", false}, {".qp  ", true}, {"", true}}) {
        env.selected.clear();
        host.commandLine = line;
        ASSERT_TRUE(state.OnLeftClick(400, 300, 3));
        EXPECT_EQ(env.selected == "A1", selects) << '"' << line << '"';
    }
}

TEST_F(TargetStateTest, MiddleClickFlipsTheBlockToggle) {
    Add("A1", 400, 300);
    Frame();
    EXPECT_TRUE(state.OnMiddleClick(430, 300, 3));
    EXPECT_TRUE(Frame()["A1"].blockToggled);
    EXPECT_TRUE(state.OnMiddleClick(430, 300, 3));
    EXPECT_FALSE(Frame()["A1"].blockToggled);
    EXPECT_FALSE(state.OnMiddleClick(400, 300, 3));  // the symbol is no data block
}

TEST_F(TargetStateTest, DuplicateCodesNameTheFirstHolder) {
    Add("AAA", 400, 300, 10000, 250, 4000);
    Add("BBB", 300, 300, 10000, 250, 4000);
    Add("CCC", 200, 300, 10000, 250, 5000);
    auto frame = Frame();
    EXPECT_FALSE(frame["AAA"].duplicateCode);
    EXPECT_TRUE(frame["BBB"].duplicateCode);
    EXPECT_FALSE(frame["CCC"].duplicateCode);
}

TEST_F(TargetStateTest, LeavingAircraftTakeTheirEntriesAndClicksWithThem) {
    Add("GONE1", 400, 300);
    host.ints["LeaderLength"] = 30;
    Frame();
    ASSERT_TRUE(state.HasEntries("GONE1"));
    world.aircraft.RemoveAircraft("GONE1", false);
    EXPECT_FALSE(state.OnMiddleClick(430, 300, 3));
    EXPECT_FALSE(state.OnLeftClick(430, 300, 3));
    Frame();
    EXPECT_FALSE(state.HasEntries("GONE1"));
    // Back under the same callsign: the settings' leader, not the old one.
    host.ints["LeaderLength"] = 50;
    Add("GONE1", 400, 300);
    EXPECT_EQ(Frame()["GONE1"].leaderLength, 50);
}

TEST_F(TargetStateTest, UndrawnAircraftRectanglesTakeNoClicks) {
    Add("S1", 400, 300);
    Frame();
    env.suppressed = {"S1"};
    env.seeAll = false;
    Frame();
    EXPECT_TRUE(state.GetTagRect("S1").IsEmpty());
    EXPECT_FALSE(state.OnMiddleClick(430, 300, 3));
}

TEST_F(TargetStateTest, BadReportsAreNotDrawn) {
    Add("OK1", 400, 300);
    world.aircraft.UpdatePilotPosition("NAN1",
                                       AtcWorld::Report(std::numeric_limits<double>::quiet_NaN(), -74));
    world.aircraft.UpdatePilotPosition("FAR1", AtcWorld::Report(95.0, -74));
    world.aircraft.UpdatePilotPosition("HIGH1", AtcWorld::Report(40, -74, 5000000));
    auto frame = Frame();
    EXPECT_EQ(frame.size(), 1u);
    EXPECT_EQ(frame.count("OK1"), 1u);
    EXPECT_FALSE(state.OnLeftClick(400, 300, 3) && env.selected != "OK1");
}

TEST_F(TargetStateTest, AnchorIsMeasuredEveryFrame) {
    Add("A1", 400, 300, 10000, 120);
    ScopePoint at = world.aircraft.GetAircraft("A1")->GetPosition(0, 0);
    scope->AddAnchor("A1", "FIX", {at.x, at.y + 0.5});  // 30 NM north
    auto frame = Frame();
    ASSERT_TRUE(frame["A1"].hasAnchor);
    EXPECT_EQ(frame["A1"].anchor.heading, 360);
    EXPECT_NEAR(frame["A1"].anchor.distance, 30.0, 0.01);
    EXPECT_EQ(frame["A1"].anchor.timeToGo, "15:00");
}
