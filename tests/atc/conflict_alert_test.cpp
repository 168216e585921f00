// Tests of the conflict alert (thresholds, projections, exclusions, the
// partner choice and the alarm-once rule) through the aircraft database, and
// of its grid against the walk over every aircraft.
#include "atc/conflict_alert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "atc/aircraft_db.h"
#include "atc_fakes.h"
#include "foundation/geo_helpers.h"
#include "foundation/random15.h"

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

// A busy sky: a thousand aircraft in a box of two degrees, most of them in
// one altitude band, some slow, in standby, VFR or below the radar floor.
TEST(ConflictAlert, GridFindsTheSamePartnersAsTheWalkOnABusySky) {
    AtcWorld w;
    Defaults(w);
    w.settings.vfrCodes = {1200};
    w.scope.offset = {0.37, -0.21};
    const double savedScale = LongitudeScale;
    LongitudeScale = 0.766;
    std::set<std::string> belowFloor;
    TarqConflictAlert alert(
        w.Services(), [&](const std::string& c) { return belowFloor.count(c) != 0; },
        [](const std::string&) { return false; });
    Random15 random(11);
    auto uniform = [&](double low, double high) { return low + random.Next() / 32767.0 * (high - low); };
    std::vector<std::unique_ptr<TarqAircraft>> fleet;
    std::vector<std::string> callsigns;
    auto report = [&](size_t i) {
        AircraftReport r = AtcWorld::Report(
            uniform(40, 42), uniform(-75, -73), 9000 + random.Next() % 30 * 100,
            random.Next() % 10 == 0 ? 40 : 120 + random.Next() % 400, random.Next() % 9 == 0 ? 1200 : 2000);
        r.heading = 1 + random.Next() % 360;
        r.transponderMode = random.Next() % 15 == 0 ? 'S' : 'N';
        fleet[i]->Update(r, false, 18000);
        alert.Moved(callsigns[i], *fleet[i]);
    };
    for (size_t i = 0; i < 1000; ++i) {
        callsigns.push_back("T" + std::to_string(1000 + random.Next() % 9000) + "_" + std::to_string(i));
        fleet.push_back(std::make_unique<TarqAircraft>(callsigns.back(), w.clock));
        if (i % 40 == 0) belowFloor.insert(callsigns.back());
        report(i);
        report(i);  // a second report gives a climb or descent to project
    }
    for (int lateral : {5, 30}) {
        w.settings.ints["CALateralMin"] = lateral;
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE("lateral " + std::to_string(lateral) + " NM, round " + std::to_string(round));
            int conflicts = 0;
            for (const std::string& callsign : callsigns) {
                const std::string partner = alert.FindPartner(callsign);
                ASSERT_EQ(partner, alert.FindPartnerByWalk(callsign)) << callsign;
                conflicts += !partner.empty();
            }
            EXPECT_GT(conflicts, 50) << "the sky must be busy for the comparison to mean anything";
            // Half the aircraft move on and some leave.
            for (size_t i = 0; i < fleet.size(); i += 2) report(i);
            for (size_t i = round; i < fleet.size(); i += 97) alert.Remove(callsigns[i]);
        }
    }
    LongitudeScale = savedScale;
}

TEST(ConflictAlert, RemovedAircraftAreNoPartners) {
    AtcWorld w;
    Defaults(w);
    Fly(w, "B", 1.0 / 60, 0, 10000);
    Fly(w, "A", 0, 0, 10000);
    ASSERT_EQ(w.aircraft.GetConflictPartner("A"), "B");
    w.aircraft.RemoveAircraft("B", false);
    Fly(w, "A", 0, 0, 10000);
    EXPECT_FALSE(w.aircraft.IsInConflict("A"));
}

}  // namespace
