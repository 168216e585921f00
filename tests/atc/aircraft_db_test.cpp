// Tests of the aircraft database: first sight, the radar floor, the landing
// drop, the simulator circle, aircraft numbers, removal, purge, timers,
// readers, model information and statistics.
#include "atc/aircraft_db.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "atc_fakes.h"

namespace {

bool Logged(const CallLog& log, const std::string& line) {
    return std::find(log.lines.begin(), log.lines.end(), line) != log.lines.end();
}

TEST(AircraftDB, FirstSightSendsFourRequestsInOrderOnce) {
    AtcWorld w;
    w.See("BAW1");
    const std::vector<std::string> expected = {"RequestFlightPlan BAW1", "RequestRealName BAW1",
                                               "SendWhoHas BAW1", "RequestPlaneInfo BAW1",
                                               "RebuildAircraftList"};
    EXPECT_EQ(w.log.lines, expected);
    w.log.Clear();
    w.See("BAW1", 40.01);
    w.aircraft.RequestMissingModelInfo();
    EXPECT_TRUE(w.log.lines.empty()) << "a known aircraft asks nothing, and the plane info went out already";
    EXPECT_EQ(w.aircraft.GetSeenCount(), 1u);
    const TarqFlightPlanRecord plan = w.aircraft.GetFlightPlan("BAW1");
    EXPECT_TRUE(plan.placeholder);
    EXPECT_EQ(plan.flightRules, 'I');
}

TEST(AircraftDB, PlanReceivedBeforeFirstReportIsKept) {
    AtcWorld w;
    TarqFlightPlanRecord plan;
    plan.departure = "KJFK";
    plan.destination = "EGLL";
    plan.remarks = "/R/ early";
    w.aircraft.OnFlightPlanReceived("BAW1", plan);
    w.See("BAW1");
    const TarqFlightPlanRecord kept = w.aircraft.GetFlightPlan("BAW1");
    EXPECT_FALSE(kept.placeholder);
    EXPECT_EQ(kept.destination, "EGLL");
    EXPECT_EQ(w.aircraft.GetVoiceType("BAW1"), 2);
}

TEST(AircraftDB, RadarFloor) {
    struct Row {
        const char* name;
        int floor;
        int altitude;
        bool below;
    };
    const Row rows[] = {
        {"floor off", 0, 100, false}, {"just below", 1000, 999, true}, {"at floor", 1000, 1000, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        w.settings.ints["RadarFloor"] = row.floor;
        w.See("N1", 40, -74, row.altitude);
        EXPECT_EQ(w.aircraft.IsBelowRadarFloor("N1"), row.below);
        EXPECT_DOUBLE_EQ(w.aircraft.GetAircraft("N1")->GetPosition(0, 0).y, 40) << "first sight never coasts";
    }
}

TEST(AircraftDB, OwnTrackBelowFloorCoastsAndStays) {
    AtcWorld w;
    w.settings.ints["RadarFloor"] = 1000;
    w.See("N1", 40, -74, 3000, 360);
    w.aircraft.AcceptHandoff("N1");
    ASSERT_EQ(w.aircraft.GetTrackingController("N1"), "ME_CTR");
    w.See("N1", 45, -74, 500, 360);
    TarqAircraft* a = w.aircraft.GetAircraft("N1");
    EXPECT_TRUE(a->IsCoasted());
    EXPECT_NEAR(a->GetPosition(0, 0).y, 40 + 1.0 / 120, 1e-9) << "dead-reckoned, not the report";
    w.clock.Advance(60000);
    w.aircraft.PurgeStaleAircraft();
    w.aircraft.PurgeStaleAircraft();
    EXPECT_TRUE(w.aircraft.HasAircraft("N1"));
    w.See("N1", 45, -74, 1000, 360);
    EXPECT_DOUBLE_EQ(a->GetPosition(0, 0).y, 45);
}

TEST(AircraftDB, LandingDropsOwnTrackAndLinks) {
    struct Row {
        const char* name;
        double northOfField;  // degrees of latitude
        int speed;
        bool drops;
    };
    const Row rows[] = {{"2.9 NM at 49 kt", 2.9 / 60, 49, true},
                        {"3.0 NM", 3.0 / 60, 49, false},
                        {"50 kt", 2.9 / 60, 50, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        w.scope.namedPoints["EGLL"] = {0, 0};
        w.See("N1", 0.5, 0, 3000, 200);
        TarqFlightPlanRecord plan;
        plan.destination = "EGLL";
        w.aircraft.OnFlightPlanReceived("N1", plan);
        w.aircraft.AcceptHandoff("N1");
        w.log.Clear();
        w.aircraft.UpdatePilotPosition("N1", AtcWorld::Report(row.northOfField, 0, 100, row.speed));
        EXPECT_EQ(w.aircraft.GetTrackingController("N1").empty(), row.drops);
        EXPECT_EQ(Logged(w.log, "DropTrack N1"), row.drops);
        EXPECT_EQ(Logged(w.log, "RemoveSeparationLinks N1"), row.drops);
    }
}

TEST(AircraftDB, UnknownDestinationNeverDrops) {
    AtcWorld w;
    w.See("N1", 51, 0, 100, 10);
    EXPECT_DOUBLE_EQ(w.aircraft.GetDistanceToDestination("N1"), -1.0);
    EXPECT_FALSE(Logged(w.log, "RemoveSeparationLinks N1"));
}

TEST(AircraftDB, SimulatorCircle) {
    AtcWorld w;
    w.simulator.connected = true;
    w.scope.centres[0] = {0.5, 0};
    w.See("IN", 15.9 / 60, 0.5);
    EXPECT_EQ(w.aircraft.GetSimulatorId("IN"), 1u);
    w.See("IN", 16.0 / 60, 0.5);
    EXPECT_EQ(w.aircraft.GetSimulatorId("IN"), 0u);
    EXPECT_TRUE(Logged(w.log, "SimRemove 1"));
    w.simulator.connected = false;
    w.See("OUT", 50, 0);
    EXPECT_EQ(w.aircraft.GetSimulatorId("OUT"), 0u);
}

TEST(AircraftDB, ModelInfoOutsideCircleForgetsSimulatorId) {
    AtcWorld w;
    w.simulator.connected = true;
    w.scope.centres[0] = {0, 50};
    w.See("N1", 50, 0);
    ASSERT_EQ(w.aircraft.GetSimulatorId("N1"), 1u);
    // Moves out while the bridge happens to be disconnected, then comes back.
    w.simulator.connected = false;
    w.See("N1", 51, 0);
    w.simulator.connected = true;
    w.log.Clear();
    w.aircraft.SetModelInfo("N1", {{"EQUIPMENT", "B738"}});
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"SimRemove 1"});
    EXPECT_EQ(w.aircraft.GetSimulatorId("N1"), 0u);
    w.See("N1", 50, 0);
    EXPECT_TRUE(Logged(w.log, "SimAdd N1 B738// -> 2")) << "re-injected when it comes back inside";
}

TEST(AircraftDB, ModelInfoKeysAndDisplay) {
    AtcWorld w;
    w.aircraft.ShowModelInfo("NOPE");
    w.aircraft.SetModelInfo("N1", {{"AIRLINE", "BAW"}, {"LIVERY", "OneWorld"}, {"equipment", "A320"}});
    w.aircraft.ShowModelInfo("N1");
    const std::vector<std::string> expected = {
        "error: Model info not found for callsign NOPE.",
        "info: Model info for callsign N1: Equipment: ?? - Airline: BAW - Livery: OneWorld"};
    EXPECT_EQ(w.log.lines, expected);
}

TEST(AircraftDB, ModelInfoInjectsWithinCircleAndReinjects) {
    AtcWorld w;
    w.scope.centres[0] = {0, 50};
    w.See("N1", 50, 0);
    w.aircraft.SetModelInfo("N1", {{"EQUIPMENT", "B738"}});
    EXPECT_EQ(w.aircraft.GetSimulatorId("N1"), 0u) << "bridge disconnected";
    w.simulator.connected = true;
    w.aircraft.SetModelInfo("N1", {{"EQUIPMENT", "B738"}});
    w.aircraft.SetModelInfo("N1", {{"AIRLINE", "RYR"}});
    EXPECT_TRUE(Logged(w.log, "SimAdd N1 B738// -> 1"));
    EXPECT_TRUE(Logged(w.log, "SimRemove 1"));
    EXPECT_TRUE(Logged(w.log, "SimAdd N1 B738/RYR/ -> 2"));
    w.log.Clear();
    w.aircraft.RemoveAircraft("N1", true);
    EXPECT_EQ(w.log.lines.front(), "SimRemove 2")
        << "an injected aircraft leaves the simulator with the database";
}

TEST(AircraftDB, NumbersAreUniqueAndTheDrawAlwaysEnds) {
    AtcWorld w;
    std::set<uint16_t> numbers;
    for (int i = 0; i < 900; ++i) {
        const std::string callsign = "N" + std::to_string(i);
        w.See(callsign);
        const uint16_t n = w.aircraft.GetAircraftNumber(callsign);
        ASSERT_GE(n, 100);
        ASSERT_LE(n, 999);
        numbers.insert(n);
    }
    EXPECT_EQ(numbers.size(), 900u);
    w.See("EXTRA");
    EXPECT_EQ(w.aircraft.GetAircraftNumber("EXTRA"), 0) << "all numbers taken: none given, no hang";
    const uint16_t freed = w.aircraft.GetAircraftNumber("N5");
    w.aircraft.RemoveAircraft("N5", true);
    w.See("LATE");
    EXPECT_EQ(w.aircraft.GetAircraftNumber("LATE"), freed);
    EXPECT_EQ(w.aircraft.GetCallsignForAircraftNumber(std::to_string(freed)), "LATE");
}

TEST(AircraftDB, CallsignForAircraftNumber) {
    AtcWorld w;
    w.See("BAW1");
    const std::string number = std::to_string(w.aircraft.GetAircraftNumber("BAW1"));
    struct Row {
        std::string input, expected;
    };
    const Row rows[] = {{number, "BAW1"}, {"12", "12"}, {"1234", "1234"}, {"ABC", "ABC"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.input);
        EXPECT_EQ(w.aircraft.GetCallsignForAircraftNumber(row.input), row.expected);
    }
}

TEST(AircraftDB, RemoveProtectsOwnTrackAndFreesState) {
    AtcWorld w;
    w.See("MINE");
    w.See("OTHER");
    w.aircraft.AcceptHandoff("MINE");
    w.log.Clear();
    w.aircraft.RemoveAircraft("MINE", true);
    EXPECT_TRUE(w.aircraft.HasAircraft("MINE"));
    EXPECT_TRUE(w.log.lines.empty());
    w.aircraft.RemoveAircraft("OTHER", true);
    const std::vector<std::string> expected = {"RebuildAircraftList", "RemoveSelcal OTHER"};
    EXPECT_EQ(w.log.lines, expected);
    EXPECT_FALSE(w.aircraft.HasFlightPlan("OTHER"));
    w.aircraft.OnFlightPlanReceived("FILED", TarqFlightPlanRecord{});
    w.log.Clear();
    w.aircraft.Clear();
    EXPECT_FALSE(w.aircraft.HasAircraft("MINE"));
    EXPECT_TRUE(w.aircraft.HasFlightPlan("FILED")) << "a plan without an aircraft survives clearing";
    EXPECT_EQ(std::count(w.log.lines.begin(), w.log.lines.end(), "RebuildAircraftList"), 1);
    EXPECT_EQ(w.aircraft.GetSeenCount(), 2u) << "statistics survive clearing";
}

TEST(AircraftDB, PurgeCoastsAfterFifteenSecondsThenRemoves) {
    struct Row {
        const char* name;
        int ageSeconds;
        bool coasted;
    };
    const Row rows[] = {{"15 s", 15, false}, {"16 s", 16, true}, {"future report", -100, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        w.See("N1");
        w.clock.SetWallSeconds(AtcWorld::kStart + row.ageSeconds);
        w.aircraft.PurgeStaleAircraft();
        ASSERT_TRUE(w.aircraft.HasAircraft("N1"));
        EXPECT_EQ(w.aircraft.GetAircraft("N1")->IsCoasted(), row.coasted);
        w.aircraft.PurgeStaleAircraft();
        EXPECT_EQ(w.aircraft.HasAircraft("N1"), !row.coasted) << "removed at the next purge once coasting";
    }
}

TEST(AircraftDB, TimerRunsPurgeAndReminder) {
    AtcWorld w;
    w.settings.bools["RequestListReminder"] = true;
    w.settings.strings["SoundReminder"] = "remind.wav";
    w.See("ZZZ9");
    w.See("AAA1");
    w.aircraft.ToggleRequestList("ZZZ9");
    w.aircraft.ToggleRequestList("AAA1");
    w.log.Clear();
    w.clock.SetWallSeconds(AtcWorld::kStart + 30);
    w.aircraft.OnTimer();
    EXPECT_FALSE(Logged(w.log, "info: Callsigns on request list: AAA1, ZZZ9")) << "needs more than 30 s";
    w.clock.SetWallSeconds(AtcWorld::kStart + 31);
    w.aircraft.OnTimer();
    const std::vector<std::string> expected = {"info: Callsigns on request list: AAA1, ZZZ9",
                                               "sound: remind.wav"};
    EXPECT_EQ(std::vector<std::string>(w.log.lines.end() - 2, w.log.lines.end()), expected);
    EXPECT_TRUE(w.aircraft.GetAircraft("AAA1")->IsCoasted()) << "the purge ran too";
    // A clock set back stops both jobs.
    w.log.Clear();
    w.clock.SetWallSeconds(AtcWorld::kStart - 3600);
    w.aircraft.OnTimer();
    EXPECT_TRUE(w.log.lines.empty());
}

TEST(AircraftDB, ReminderSilentWhenListEmptyOrOff) {
    AtcWorld w;
    w.settings.bools["RequestListReminder"] = true;
    w.clock.SetWallSeconds(AtcWorld::kStart + 100);
    w.aircraft.OnTimer();
    EXPECT_TRUE(w.log.lines.empty());
    w.See("N1");
    w.aircraft.ToggleRequestList("N1");
    w.settings.bools["RequestListReminder"] = false;
    w.log.Clear();
    w.clock.SetWallSeconds(AtcWorld::kStart + 200);
    w.aircraft.OnTimer();
    EXPECT_FALSE(Logged(w.log, "info: Callsigns on request list: N1"));
}

TEST(AircraftDB, RequestListToggle) {
    AtcWorld w;
    w.See("N1");
    w.aircraft.ToggleRequestList("N1");
    EXPECT_EQ(w.aircraft.GetRequestTime("N1"), AtcWorld::kStart);
    EXPECT_TRUE(w.aircraft.CompareRequestTime("OFFLIST", "N1"));
    w.aircraft.ToggleRequestList("N1");
    w.aircraft.ToggleRequestList("GHOST");
    const std::vector<std::string> expected = {"RequestFlightPlan N1", "RequestRealName N1",
                                               "SendWhoHas N1",        "RequestPlaneInfo N1",
                                               "RebuildAircraftList",  "info: N1 added to request list.",
                                               "RebuildAircraftList",  "info: N1 removed from request list.",
                                               "RebuildAircraftList",  "error: Aircraft not found."};
    EXPECT_EQ(w.log.lines, expected);
    EXPECT_FALSE(w.aircraft.HasRequestListEntries());
}

TEST(AircraftDB, ReadersNeverMakeACallsignKnown) {
    AtcWorld w;
    EXPECT_EQ(w.aircraft.GetVoiceType("GHOST"), 0);
    EXPECT_FALSE(w.aircraft.IsInConflict("GHOST"));
    EXPECT_TRUE(w.aircraft.GetTrackingController("GHOST").empty());
    EXPECT_TRUE(w.aircraft.GetHandoffTarget("GHOST").empty());
    EXPECT_FALSE(w.aircraft.HasIncomingHandoff("GHOST"));
    EXPECT_FALSE(w.aircraft.IsPointedOut("GHOST"));
    EXPECT_DOUBLE_EQ(w.aircraft.GetBearingToCentre("GHOST"), 45.0);
    EXPECT_DOUBLE_EQ(w.aircraft.GetDistanceFromCentre("GHOST"), 1.0);
    EXPECT_EQ(w.aircraft.GetAssignedSquawk("GHOST"), 0);
    EXPECT_TRUE(w.aircraft.GetScratchpad("GHOST").empty());
    // None of that made the callsign known to the user's operations.
    w.aircraft.AcceptHandoff("GHOST");
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"error: Aircraft not found."});
    EXPECT_FALSE(w.aircraft.AnyIncomingHandoff());
}

TEST(AircraftDB, NearestVisibilityCentre) {
    AtcWorld w;
    w.See("NOCENTRE", 10, 10);
    EXPECT_DOUBLE_EQ(w.aircraft.GetDistanceFromCentre("NOCENTRE"), 361.0);
    w.scope.centres[1] = {10, 12};
    w.scope.centres[3] = {10, 11};
    w.See("N1", 10, 10);
    EXPECT_DOUBLE_EQ(w.aircraft.GetDistanceFromCentre("N1"), 1.0);
    EXPECT_DOUBLE_EQ(w.aircraft.GetBearingToCentre("N1"), 360);
    EXPECT_EQ(w.aircraft.GetReportedSquawk("N1"), 1200);
}

TEST(AircraftDB, FindCallsignsContaining) {
    AtcWorld w;
    for (const char* c : {"BAW1", "BAW12", "DLH4"}) w.See(c);
    EXPECT_EQ(w.aircraft.FindCallsignsContaining("aw1"), (std::vector<std::string>{"BAW1", "BAW12"}));
    EXPECT_EQ(w.aircraft.FindCallsignsContaining("baw1"), (std::vector<std::string>{"BAW1"}));
}

TEST(AircraftDB, FrameTickSmoothsEveryAircraftAndFeedsInjectedOnes) {
    AtcWorld w;
    w.simulator.connected = true;
    w.scope.centres[0] = {0, 50};
    w.See("NEAR", 50, 0);
    w.See("FAR", 55, 0);
    w.log.Clear();
    w.aircraft.OnFrameTick();
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"SimUpdate 1 1 5000"});
    EXPECT_DOUBLE_EQ(w.aircraft.GetAircraft("FAR")->GetSmoothedPosition(0, 0).y, 55);
}

TEST(AircraftDB, StatisticsBlockAndReset) {
    AtcWorld w;
    w.See("N1");
    w.aircraft.AcceptHandoff("N1");
    w.network.connectedTime = 25 * 3600 + 61;
    w.log.Clear();
    w.aircraft.ShowStatistics();
    const std::vector<std::string> expected = {
        "info: -------------------------", "info: Statistics:",
        "info: Time connected: 25:01:01",  "info: Aircraft Seen: 1",
        "info: Aircraft Tracked: 1",       "info: Flight Plans Amended: 0",
        "info: Handoffs Initiated: 0",     "info: Handoffs Accepted: 0",
        "info: Handoffs Refused: 0",       "info: Squawks Assigned: 0",
        "info: Cruise Alts Assigned: 0",   "info: Temp Alts Assigned: 0",
        "info: Scratchpads Assigned: 0",   "info: Conflicts Detected: 0",
        "info: -------------------------"};
    EXPECT_EQ(w.log.lines, expected);
    w.aircraft.ResetStatistics();
    EXPECT_EQ(w.network.connectedTime, 0);
    EXPECT_EQ(w.aircraft.GetSeenCount(), 0u);
    EXPECT_EQ(w.aircraft.GetTrackedCount(), 0u);
}

TEST(AircraftDB, PointoutsClearOnDeclutter) {
    AtcWorld w;
    w.See("N1");
    w.See("N2");
    w.aircraft.OnPointoutReceived("N1", "XY_APP");
    w.aircraft.OnPointoutReceived("N2", "XY_APP");
    w.aircraft.ClearPointouts();
    EXPECT_FALSE(w.aircraft.IsPointedOut("N1"));
    EXPECT_FALSE(w.aircraft.IsPointedOut("N2"));
    EXPECT_TRUE(w.aircraft.HasAircraft("N1"));
}

}  // namespace
