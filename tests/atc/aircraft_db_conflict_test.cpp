// Tests of the conflict alert (thresholds, projections, exclusions, the
// partner choice and the alarm-once rule) and of the squawk picker.
#include <gtest/gtest.h>

#include <algorithm>

#include "atc/aircraft_db.h"
#include "atc_fakes.h"

namespace {

// Reports an aircraft at lat/lon (degrees), altitude, speed, heading.
void Fly(AtcWorld& w, const std::string& callsign, double lat, double lon, int altitude, int speed = 300,
         double heading = 90, uint16_t squawk = 2000, int mode = 'N') {
    AircraftReport r = AtcWorld::Report(lat, lon, altitude, speed, squawk);
    r.heading = heading;
    r.transponderMode = mode;
    w.aircraft.UpdatePilotPosition(callsign, r);
}

void Defaults(AtcWorld& w) {
    w.settings.ints["CAVerticalMin"] = 1000;
    w.settings.ints["CALateralMin"] = 5;
}

TEST(ConflictAlert, VerticalThreshold) {
    struct Row {
        const char* name;
        int separation;
        bool conflict;
    };
    // Both fly east one NM apart: lateral separation is lost and the vertical test decides.
    const Row rows[] = {{"899 ft", 899, true}, {"900 ft", 900, false}, {"134 ft", 134, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        Defaults(w);
        Fly(w, "B", 1.0 / 60, 0, 10000);
        Fly(w, "A", 0, 0, 10000 + row.separation);
        EXPECT_EQ(w.aircraft.IsInConflict("A"), row.conflict);
    }
}

TEST(ConflictAlert, VerticalDivergenceAndCloseFloor) {
    AtcWorld w;
    Defaults(w);
    Fly(w, "B", 1.0 / 60, 0, 10000);
    Fly(w, "A", 0, 0, 10500);
    ASSERT_TRUE(w.aircraft.IsInConflict("A"));
    Fly(w, "A", 0, 0, 10700);  // climbing away: 700 ft now, 900 projected
    EXPECT_FALSE(w.aircraft.IsInConflict("A"));
    Fly(w, "B", 1.0 / 60, 0, 10000);
    Fly(w, "C", 2.0 / 60, 0, 9900);
    Fly(w, "C", 2.0 / 60, 0, 9866);  // 134 ft from B and diverging: still a conflict
    EXPECT_TRUE(w.aircraft.IsInConflict("C"));
    EXPECT_EQ(w.aircraft.GetConflictPartner("C"), "B");
}

TEST(ConflictAlert, LateralThresholdAndProjection) {
    struct Row {
        const char* name;
        double nm;
        double headingA;  // B flies east; A flies this way
        bool conflict;
    };
    const Row rows[] = {{"4.9 NM converging", 4.9, 90 + 0.0, true},
                        {"4.9 NM diverging", 4.9, 270, false},
                        {"0.7 NM diverging", 0.7, 270, true},
                        {"5.1 NM converging", 5.1, 90, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        Defaults(w);
        // B east of A, A heading east towards B (converging) or west away (diverging).
        Fly(w, "B", 0, row.nm / 60, 10000, 300, 90);
        Fly(w, "A", 0, 0, 10000, 400, row.headingA);
        EXPECT_EQ(w.aircraft.IsInConflict("A"), row.conflict);
    }
}

TEST(ConflictAlert, Exclusions) {
    struct Row {
        const char* name;
        std::function<void(AtcWorld&)> fly;
        bool conflict;
    };
    const Row rows[] = {
        {"A slow", [](AtcWorld& w) { Fly(w, "A", 0, 0, 10000, 49); }, false},
        {"A standby", [](AtcWorld& w) { Fly(w, "A", 0, 0, 10000, 300, 90, 2000, 'S'); }, false},
        {"A below CA floor",
         [](AtcWorld& w) {
             w.settings.ints["CAFloor"] = 10001;
             Fly(w, "A", 0, 0, 10000);
         },
         false},
        {"A below radar floor",
         [](AtcWorld& w) {
             w.settings.ints["RadarFloor"] = 10001;
             Fly(w, "A", 0, 0, 10000);
         },
         false},
        {"both VFR", [](AtcWorld& w) { Fly(w, "A", 0, 0, 10000, 300, 90, 1200); }, false},
        {"one VFR", [](AtcWorld& w) { Fly(w, "A", 0, 0, 10000, 300, 90, 2000); }, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        Defaults(w);
        w.settings.vfrCodes = {1200};
        Fly(w, "B", 1.0 / 60, 0, 10000, 300, 90, 1200);
        Fly(w, "A", 0, 0, 10000);  // in conflict first
        ASSERT_TRUE(w.aircraft.IsInConflict("A"));
        row.fly(w);
        EXPECT_EQ(w.aircraft.IsInConflict("A"), row.conflict);
        if (!row.conflict) {
            EXPECT_TRUE(w.aircraft.GetConflictPartner("A").empty());
        }
    }
}

TEST(ConflictAlert, CaFloorAppliesToCheckedAircraftOnly) {
    AtcWorld w;
    Defaults(w);
    w.settings.ints["CAFloor"] = 5000;
    Fly(w, "LOW", 1.0 / 60, 0, 4900);
    Fly(w, "A", 0, 0, 5000);
    EXPECT_EQ(w.aircraft.GetConflictPartner("A"), "LOW");
    EXPECT_FALSE(w.aircraft.IsInConflict("LOW"));
}

TEST(ConflictAlert, PartnerIsLowestCallsign) {
    AtcWorld w;
    Defaults(w);
    Fly(w, "ZED", 1.0 / 60, 0, 10000);
    Fly(w, "BEE", -1.0 / 60, 0, 10000);
    Fly(w, "MID", 0, 0, 10000);
    EXPECT_EQ(w.aircraft.GetConflictPartner("MID"), "BEE");
}

TEST(ConflictAlert, AlarmOncePerEntryForOwnTracks) {
    AtcWorld w;
    Defaults(w);
    w.settings.strings["SoundConflict"] = "ca.wav";
    Fly(w, "B", 1.0 / 60, 0, 10000);
    Fly(w, "A", 0, 0, 20000);
    w.aircraft.AcceptHandoff("A");
    w.log.Clear();
    Fly(w, "A", 0, 0, 10000);
    Fly(w, "A", 0, 0, 10000);
    EXPECT_EQ(std::count(w.log.lines.begin(), w.log.lines.end(), "loop: ca.wav"), 1);
    EXPECT_TRUE(w.aircraft.IsSoundPlaying());
    EXPECT_TRUE(w.aircraft.StopSound());
    EXPECT_FALSE(w.aircraft.IsSoundPlaying());
    Fly(w, "A", 0, 0, 20000);
    Fly(w, "A", 0, 0, 10000);
    EXPECT_EQ(std::count(w.log.lines.begin(), w.log.lines.end(), "loop: ca.wav"), 2)
        << "leaves and enters again";
    EXPECT_EQ(w.aircraft.GetConflictsDetected(), 2);
}

TEST(ConflictAlert, SilentConflictsAreFlaggedButNotCounted) {
    AtcWorld w;
    Defaults(w);
    Fly(w, "B", 1.0 / 60, 0, 10000);
    Fly(w, "A", 0, 0, 20000);
    w.aircraft.AcceptHandoff("A");
    Fly(w, "A", 0, 0, 10000);
    EXPECT_TRUE(w.aircraft.IsInConflict("A"));
    EXPECT_EQ(w.aircraft.GetConflictsDetected(), 0);
    EXPECT_FALSE(w.aircraft.IsSoundPlaying());
}

// --- squawk picker ---------------------------------------------------------------

std::vector<uint16_t> Pick(AtcWorld& w, uint16_t low, uint16_t high, int count) {
    std::vector<uint16_t> codes;
    for (int i = 0; i < count; ++i) codes.push_back(w.aircraft.AssignSquawk(low, high));
    return codes;
}

TEST(SquawkPicker, SequentialSkipsInvalidCodesOnly) {
    struct Row {
        const char* name;
        uint16_t low, high;
        int count;
        std::vector<uint16_t> expected;
    };
    const Row rows[] = {
        {"octal digits", 1000, 1077, 10, {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1010, 1011}},
        {"wraps after high", 1075, 1077, 4, {1075, 1076, 1077, 1075}},
        {"bounds with nines", 1069, 1071, 3, {1070, 1071, 1070}},
        {"nine in the third digit", 1090, 1101, 3, {1100, 1101, 1100}},
        {"second-digit eight keeps the next valid code", 1850, 2001, 2, {2000, 2001}},
        {"zero range", 0, 0, 1, {1}},
        {"above 7477", 7476, 7777, 3, {7476, 7477, 7476}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        EXPECT_EQ(Pick(w, row.low, row.high, row.count), row.expected);
    }
}

TEST(SquawkPicker, TakenCodesAndErrors) {
    AtcWorld w;
    // A pilot squawks 1001 unassigned; 1002 is assigned to someone.
    w.aircraft.UpdatePilotPosition("P", AtcWorld::Report(0, 0, 100, 10, 1001));
    w.aircraft.SetAssignedSquawk("Q", "XY_APP", 1002);
    EXPECT_EQ(Pick(w, 1000, 1003, 2), (std::vector<uint16_t>{1000, 1003}));
    w.aircraft.SetAssignedSquawk("Q2", "XY_APP", 1000);
    w.aircraft.SetAssignedSquawk("Q3", "XY_APP", 1003);
    w.log.Clear();
    EXPECT_EQ(w.aircraft.AssignSquawk(1000, 1003), 0);
    EXPECT_EQ(w.aircraft.AssignSquawk(4000, 3000), 0);
    const std::vector<std::string> expected = {"error: All squawk codes in the configured range are taken.",
                                               "error: Invalid squawk code range."};
    EXPECT_EQ(w.log.lines, expected);
}

TEST(SquawkPicker, FindsFreeCodeBelowLastHandedOut) {
    AtcWorld w;
    EXPECT_EQ(w.aircraft.AssignSquawk(1000, 1007), 1000);
    for (uint16_t code = 1001; code <= 1007; ++code)
        w.aircraft.SetAssignedSquawk("T" + std::to_string(code), "X", code);
    w.aircraft.SetAssignedSquawk("T1", "X", 1000);
    w.aircraft.SetAssignedSquawk("T1", "X", 0);  // 1000 free again
    EXPECT_EQ(w.aircraft.AssignSquawk(1000, 1007), 1000);
}

TEST(SquawkPicker, RandomStrategy) {
    AtcWorld w;
    w.settings.bools["AssignSquawksRandomly"] = true;
    EXPECT_EQ(w.aircraft.AssignSquawk(1077, 1080), 1077) << "one valid free code";
    std::set<uint16_t> seen;
    for (int i = 0; i < 200; ++i) {
        const uint16_t code = w.aircraft.AssignSquawk(1070, 1107);
        ASSERT_NE(code, 0);
        for (char c : std::to_string(code)) ASSERT_LT(c, '8') << code;
        seen.insert(code);
    }
    EXPECT_GT(seen.size(), 10u);
    EXPECT_EQ(w.aircraft.GetLastAssignedSquawk(), 0) << "the random pick leaves the sequence alone";
    w.aircraft.SetAssignedSquawk("T", "X", 1077);
    w.log.Clear();
    EXPECT_EQ(w.aircraft.AssignSquawk(1077, 1077), 0);
    EXPECT_EQ(w.log.lines,
              std::vector<std::string>{"error: All squawk codes in the configured range are taken."});
}

}  // namespace
