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
    std::vector<std::pair<double, double>> waypoints;  // latitude, longitude in degrees
};

struct Scenario {
    std::vector<ScenarioPilot> pilots;
    std::vector<std::pair<std::string, std::string>> metars;  // station, report
};

Result<Scenario> ParseScenario(std::string_view text);
Result<Scenario> LoadScenario(const std::string& path);
