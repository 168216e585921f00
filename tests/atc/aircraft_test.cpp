// Tests of TarqAircraft: track, altitude correction, history, coasting,
// the packed attitude word and the smoothed state.
#include "atc/aircraft.h"

#include <gtest/gtest.h>

#include "atc_fakes.h"
#include "foundation/geo_helpers.h"
#include "platform/clock.h"

namespace {

AircraftReport At(double lat, double lon, double heading = 90, int altitude = 5000, int speed = 200) {
    AircraftReport r;
    r.latitude = lat;
    r.longitude = lon;
    r.heading = heading;
    r.altitude = altitude;
    r.groundSpeed = speed;
    r.transponderMode = 'N';
    return r;
}

class ScaleGuard {
public:
    explicit ScaleGuard(double scale) { LongitudeScale = scale; }
    ~ScaleGuard() { LongitudeScale = 1.0; }
};

TEST(Aircraft, TrackFollowsReportsWithScaledLongitudes) {
    ScaleGuard scale(0.5);
    ManualClock clock(0, 1000);
    TarqAircraft a("ABC123", clock);
    a.Update(At(40, -74, 123), false, 18000);
    EXPECT_DOUBLE_EQ(a.GetHeading(), 123) << "first report takes the reported heading";
    a.Update(At(40, -74, 200), false, 18000);
    EXPECT_DOUBLE_EQ(a.GetHeading(), 123) << "same position keeps the track";
    // 2 degrees east and 1 north with scale 0.5 is a 45 degree bearing.
    a.Update(At(41, -72, 200), false, 18000);
    EXPECT_NEAR(a.GetHeading(), 45, 1e-9);
    EXPECT_DOUBLE_EQ(a.GetHeading2(), 200);
}

TEST(Aircraft, AltitudeTakesDifferenceAtTransitionLevel) {
    struct Row {
        const char* name;
        int altitude;
        int expected;
    };
    const Row rows[] = {{"below", 17999, 17999}, {"at", 18000, 18150}, {"above", 25000, 25150}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ManualClock clock;
        TarqAircraft a("X", clock);
        AircraftReport r = At(1, 1, 90, row.altitude);
        r.altitudeDifference = 150;
        a.Update(r, false, 18000);
        EXPECT_EQ(a.GetAltitude(), row.expected);
        EXPECT_EQ(a.GetPreviousAltitude(), row.expected) << "first report sets the previous altitude too";
    }
}

TEST(Aircraft, HistoryHoldsTenPreviousPositionsNewestFirst) {
    ManualClock clock;
    TarqAircraft a("X", clock);
    EXPECT_EQ(a.GetHistoryWithOffset(0, 0).size(), 10u);
    for (int i = 1; i <= 12; ++i) a.Update(At(i, 0), false, 18000);
    const std::vector<ScopePoint> history = a.GetHistoryWithOffset(0, 0.5);
    ASSERT_EQ(history.size(), 10u);
    EXPECT_DOUBLE_EQ(history[0].y, 11.5);
    EXPECT_DOUBLE_EQ(history[9].y, 2.5) << "the first reported position has left with the twelfth report";
}

TEST(Aircraft, CoastingMovesOnlyWithinLimits) {
    struct Row {
        const char* name;
        double track;
        int speed;
        bool moves;
    };
    const Row rows[] = {{"north at 360", 360, 360, true},
                        {"north at 0", 0, 360, true},
                        {"no speed", 90, 0, false},
                        {"too fast", 90, 10001, false},
                        {"track beyond 360", 361, 200, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ManualClock clock;
        TarqAircraft a("X", clock);
        a.Update(At(10, 10, row.track, 5000, row.speed), false, 18000);
        a.Coast();
        EXPECT_TRUE(a.IsCoasted());
        const ScopePoint p = a.GetPosition(0, 0);
        const std::vector<ScopePoint> history = a.GetHistoryWithOffset(0, 0);
        if (row.moves) {
            // 360 kt for 5 s is half a NM, 1/120 degree north.
            EXPECT_NEAR(p.y, 10 + 1.0 / 120, 1e-9);
            EXPECT_NEAR(p.x, 10, 1e-9);
            EXPECT_DOUBLE_EQ(history[0].y, 10);
        } else {
            EXPECT_DOUBLE_EQ(p.y, 10);
            EXPECT_DOUBLE_EQ(history[0].y, 0) << "history untouched";
        }
    }
}

TEST(Aircraft, CoastFlagTakesTimeButNotPosition) {
    ManualClock clock(0, 500);
    TarqAircraft a("X", clock);
    a.Update(At(10, 10, 90, 5000, 0), false, 18000);
    clock.SetWallSeconds(600);
    a.Update(At(50, 50, 90, 9000, 0), true, 18000);
    EXPECT_TRUE(a.IsCoasted());
    EXPECT_EQ(a.GetLastReportTime(), 600);
    EXPECT_DOUBLE_EQ(a.GetPosition(0, 0).y, 10);
    EXPECT_EQ(a.GetAltitude(), 5000);
    a.Update(At(11, 10, 90, 5000, 0), false, 18000);
    EXPECT_FALSE(a.IsCoasted());
}

TEST(Aircraft, PackedAttitudeFields) {
    struct Row {
        const char* name;
        double pitch, bank, heading;
        uint32_t expected;
    };
    const Row rows[] = {
        {"level north", 0, 0, 0, 0},
        {"pitch up 10", 10, 0, 0, 995u << 22},
        {"pitch down 10", -10, 0, 0, 28u << 22},
        {"bank 10", 0, 10, 0, 995u << 12},
        {"heading 90", 0, 0, 90, 256u << 2},
        // A heading of exactly 360 wraps to 0 instead of spilling into the bank field.
        {"heading 360", 0, 0, 360, 0},
        {"pitch -360", -360, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PackAttitude(row.pitch, row.bank, row.heading), row.expected);
    }
}

TEST(Aircraft, AttitudeRoundTripsThroughTheWord) {
    double pitch, bank, heading;
    UnpackAttitude(PackAttitude(-10.546875, 20.390625, 270), pitch, bank, heading);
    EXPECT_NEAR(pitch, -10.546875, 1e-9);
    EXPECT_NEAR(bank, 20.390625, 1e-9);
    EXPECT_NEAR(heading, 270, 1e-9);
}

TEST(Aircraft, SmoothedStateFeedsBridgeOnlyWithAnIdentifier) {
    CallLog log;
    FakeSimulator bridge(log);
    ManualClock clock(100000, 1000);
    TarqAircraft a("X", clock);
    AircraftReport r = At(10, 20, 90, 7000);
    r.pitch = 5;
    a.Update(r, false, 18000);
    a.UpdateSmoothedState(0, &bridge);
    EXPECT_EQ(bridge.updates, 0);
    EXPECT_DOUBLE_EQ(a.GetSmoothedPosition(0, 0).x, 20);
    EXPECT_EQ(a.GetSmoothedAltitude(), 7000);
    EXPECT_NEAR(a.GetSmoothedHeading(), 90, 1e-9);
    EXPECT_NEAR(a.GetSmoothedPitch(), 5, 360.0 / 1024);
    a.UpdateSmoothedState(7, &bridge);
    ASSERT_EQ(log.lines, std::vector<std::string>{"SimUpdate 7 1 5000"});
}

TEST(Aircraft, FreshAircraftDefaults) {
    ManualClock clock;
    TarqAircraft a("X", clock);
    EXPECT_EQ(a.GetTransponderMode(), 'S');
    EXPECT_TRUE(a.GetRealName().empty());
    EXPECT_FALSE(a.IsCoasted());
    a.SetRealName("Jo Pilot");
    EXPECT_EQ(a.GetRealName(), "Jo Pilot");
}

}  // namespace
