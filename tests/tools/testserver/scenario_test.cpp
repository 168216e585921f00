#include "tools/testserver/scenario.h"

#include <gtest/gtest.h>

#include <string>

TEST(Scenario, ReadsPilotsPlansWaypointsAndMetars) {
    Result<Scenario> result = ParseScenario(
        "# demo\r\n"
        "\n"
        "metar EDDF EDDF 101250Z 25008KT 9999 Q1017\n"
        "PILOT dlh4ab 2101 5000 210 loop\n"
        "  NAME Anna  Berg \n"
        "REMARKS /v/ SEL/AB-CD\n"
        "PLAN I A320 430 EDDF FL240 EDDM EDDN SULUS1S SULUS Y163\n"
        "WAYPOINT 50.0333 8.5706\n"
        "WAYPOINT -33.5\t-70.25\n"
        "PILOT N123 7000 2500 110\n"
        "WAYPOINT 1 2");
    ASSERT_TRUE(result) << result.Error().message;
    const Scenario& s = result.Value();
    ASSERT_EQ(s.pilots.size(), 2u);
    const ScenarioPilot& p = s.pilots[0];
    EXPECT_EQ(p.callsign, "DLH4AB");
    EXPECT_EQ(p.squawk, 2101);
    EXPECT_EQ(p.altitude, 5000);
    EXPECT_EQ(p.groundSpeed, 210);
    EXPECT_TRUE(p.loop);
    EXPECT_EQ(p.realName, "Anna  Berg");
    EXPECT_EQ(p.rules, "I");
    EXPECT_EQ(p.aircraftType, "A320");
    EXPECT_EQ(p.trueAirspeed, 430);
    EXPECT_EQ(p.departure, "EDDF");
    EXPECT_EQ(p.cruiseAltitude, "FL240");
    EXPECT_EQ(p.destination, "EDDM");
    EXPECT_EQ(p.alternate, "EDDN");
    EXPECT_EQ(p.route, "SULUS1S SULUS Y163");
    EXPECT_EQ(p.remarks, "/v/ SEL/AB-CD");
    EXPECT_EQ(s.pilots[1].remarks, "");
    ASSERT_EQ(p.waypoints.size(), 2u);
    EXPECT_DOUBLE_EQ(p.waypoints[1].first, -33.5);
    EXPECT_DOUBLE_EQ(p.waypoints[1].second, -70.25);
    EXPECT_FALSE(s.pilots[1].loop);
    EXPECT_TRUE(s.pilots[1].rules.empty());
    ASSERT_EQ(s.metars.size(), 1u);
    EXPECT_EQ(s.metars[0].first, "EDDF");
    EXPECT_EQ(s.metars[0].second, "EDDF 101250Z 25008KT 9999 Q1017");
}

TEST(Scenario, ErrorsNameTheirLine) {
    struct Case {
        const char* name;
        const char* text;
        int line;
        const char* message;
    } cases[] = {
        {"unknown keyword", "PILOT A 1200 0 0\nWAYPOINT 1 1\nFLY home", 3, "unknown keyword FLY"},
        {"waypoint before pilot", "WAYPOINT 1 2", 1, "WAYPOINT before any PILOT"},
        {"squawk out of range", "PILOT A 9999 0 0", 1, "bad squawk"},
        {"latitude out of range", "PILOT A 1200 0 0\nWAYPOINT 91 0", 2,
         "WAYPOINT needs latitude and longitude in degrees"},
        {"not a number", "PILOT A 1200 0 0\nWAYPOINT 5O.1 0", 2,
         "WAYPOINT needs latitude and longitude in degrees"},
        {"callsign with colon", "PILOT A:B 1200 0 0", 1, "bad callsign"},
        {"bad rules", "PILOT A 1200 0 0\nPLAN X C172 100 A B C D", 2, "rules must be I or V"},
        {"short plan", "PILOT A 1200 0 0\nPLAN I C172", 2,
         "PLAN needs rules, type, speed, airports and altitude"},
        {"pilot without waypoint", "PILOT A 1200 0 0", 0, "pilot A has no WAYPOINT"},
        {"metar without report", "METAR EDDF", 1, "METAR needs a station and a report"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Result<Scenario> result = ParseScenario(c.text);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.Error().line, c.line);
        EXPECT_EQ(result.Error().message, c.message);
    }
}

TEST(Scenario, ShippedDemoLoads) {
    Result<Scenario> result = LoadScenario(TARQ_RESOURCES_DIR "/demo_scenario.txt");
    ASSERT_TRUE(result) << result.Error().message << " line " << result.Error().line;
    EXPECT_GE(result.Value().pilots.size(), 3u);
}

TEST(Scenario, MissingFileIsAnError) {
    Result<Scenario> result = LoadScenario("no/such/scenario.txt");
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().message, "cannot read no/such/scenario.txt");
}
