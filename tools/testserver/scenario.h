// Scripted traffic for the local test server, read from a small text file.
// The format is described at the top of scenario.cpp.
// Tested by tests/tools/testserver/scenario_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/result.h"

struct ScenarioPilot {
    std::string callsign;
    int squawk = 1200;    // decimal digits are the code
    int altitude = 0;     // feet
    int groundSpeed = 0;  // knots
    bool loop = false;    // fly the route again instead of leaving at its end
    std::string realName;
    // Flight plan; empty rules means the pilot filed none.
    std::string rules;
    std::string aircraftType;
    int trueAirspeed = 0;
    std::string departure;
    std::string cruiseAltitude;
    std::string destination;
    std::string alternate;
    std::string route;
    std::string remarks;                               // empty: "/v/"
    std::vector<std::pair<double, double>> waypoints;  // latitude, longitude in degrees
    // Per waypoint: the altitude (feet) to reach there, climbing or
    // descending along the leg to it; -1 keeps the altitude.
    std::vector<int> waypointAltitudes;
};

// A scripted controller: on the network from `fromSeconds` after the server
// starts until `untilSeconds` (-1: for ever).
struct ScenarioController {
    std::string callsign;
    int frequency = 199998;  // kHz
    int facility = 0;
    int visibilityRange = 0;  // NM
    int rating = 1;
    double latitude = 0;
    double longitude = 0;
    int fromSeconds = 0;
    int untilSeconds = -1;
};

struct Scenario {
    std::vector<ScenarioPilot> pilots;
    std::vector<ScenarioController> controllers;
    std::vector<std::pair<std::string, std::string>> metars;  // station, report
};

Result<Scenario> ParseScenario(std::string_view text);
Result<Scenario> LoadScenario(const std::string& path);
