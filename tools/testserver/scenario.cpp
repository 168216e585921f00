// Scenario files of the local test server.
//
// One statement a line; blank lines and lines whose first non-blank character
// is '#' are ignored; words are separated by blanks or tabs.
//
//   PILOT <callsign> <squawk> <altitude ft> <ground speed kt> [LOOP]
//       Starts a scripted pilot. The PLAN, NAME, REMARKS and WAYPOINT lines after it,
//       up to the next PILOT, belong to it. With LOOP the pilot flies its
//       route again from the first waypoint; without it the pilot leaves
//       ("#DP") when it reaches the last one.
//   NAME <real name, rest of the line>
//   REMARKS <flight plan remarks, rest of the line> (default "/v/")
//   PLAN <rules I|V> <aircraft type> <true airspeed> <departure> <cruise altitude>
//        <destination> <alternate> <route, rest of the line>
//   WAYPOINT <latitude> <longitude> [<altitude ft>]
//       Decimal degrees, north and east positive. Every pilot needs at least
//       one. With an altitude the pilot climbs or descends along the leg so
//       as to reach it there: a route can climb, cruise, descend and land
//       (a last waypoint at field elevation without LOOP).
//   METAR <station> <report, rest of the line>
//   CONTROLLER <callsign> <frequency MHz> <facility 0-6> <visibility NM> <rating 1-12>
//              <latitude> <longitude> [<from s> [<until s>]]
//       A controller that reports its position from <from> seconds after the
//       server starts (default 0) and leaves at <until> (default never).
//
// Keywords are case-insensitive. An error names its line and stops the load.
// Tested by tests/tools/testserver/scenario_test.cpp.
#include "tools/testserver/scenario.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/atomic_file.h"

namespace {

std::vector<std::string_view> Words(std::string_view line, size_t limit, std::string_view& rest) {
    std::vector<std::string_view> words;
    size_t at = 0;
    rest = {};
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        if (at >= line.size()) break;
        if (words.size() == limit) {
            rest = line.substr(at);
            while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
            break;
        }
        size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

bool ToInt(std::string_view text, int& value) {
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool ToDouble(std::string_view text, double& value) {
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && std::isfinite(value);
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

ParseError Error(int line, std::string message, std::string_view text) {
    return ParseError{1, std::move(message), line, 0, std::string(text)};
}

}  // namespace

Result<Scenario> ParseScenario(std::string_view text) {
    Scenario scenario;
    int lineNumber = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view rest;
        std::vector<std::string_view> all = Words(line, 64, rest);
        if (all.empty() || all[0][0] == '#') continue;
        std::string keyword = Upper(all[0]);
        ScenarioPilot* pilot = scenario.pilots.empty() ? nullptr : &scenario.pilots.back();

        if (keyword == "PILOT") {
            if (all.size() < 5 || all.size() > 6) {
                return Error(lineNumber, "PILOT needs callsign, squawk, altitude and ground speed", line);
            }
            ScenarioPilot next;
            next.callsign = Upper(all[1]);
            if (next.callsign.find(':') != std::string::npos) return Error(lineNumber, "bad callsign", line);
            if (!ToInt(all[2], next.squawk) || next.squawk < 0 || next.squawk > 7777) {
                return Error(lineNumber, "bad squawk", line);
            }
            if (!ToInt(all[3], next.altitude)) return Error(lineNumber, "bad altitude", line);
            if (!ToInt(all[4], next.groundSpeed) || next.groundSpeed < 0) {
                return Error(lineNumber, "bad ground speed", line);
            }
            if (all.size() == 6) {
                if (Upper(all[5]) != "LOOP") return Error(lineNumber, "unknown PILOT option", line);
                next.loop = true;
            }
            scenario.pilots.push_back(std::move(next));
        } else if (keyword == "NAME") {
            if (!pilot) return Error(lineNumber, "NAME before any PILOT", line);
            Words(line, 1, rest);
            pilot->realName = std::string(rest);
        } else if (keyword == "REMARKS") {
            if (!pilot) return Error(lineNumber, "REMARKS before any PILOT", line);
            Words(line, 1, rest);
            pilot->remarks = std::string(rest);
        } else if (keyword == "PLAN") {
            if (!pilot) return Error(lineNumber, "PLAN before any PILOT", line);
            std::vector<std::string_view> w = Words(line, 8, rest);
            if (w.size() < 8)
                return Error(lineNumber, "PLAN needs rules, type, speed, airports and altitude", line);
            pilot->rules = Upper(w[1]);
            if (pilot->rules != "I" && pilot->rules != "V")
                return Error(lineNumber, "rules must be I or V", line);
            pilot->aircraftType = Upper(w[2]);
            if (!ToInt(w[3], pilot->trueAirspeed)) return Error(lineNumber, "bad true airspeed", line);
            pilot->departure = Upper(w[4]);
            pilot->cruiseAltitude = Upper(w[5]);
            pilot->destination = Upper(w[6]);
            pilot->alternate = Upper(w[7]);
            pilot->route = std::string(rest);
        } else if (keyword == "WAYPOINT") {
            if (!pilot) return Error(lineNumber, "WAYPOINT before any PILOT", line);
            double latitude = 0;
            double longitude = 0;
            if ((all.size() != 3 && all.size() != 4) || !ToDouble(all[1], latitude) ||
                !ToDouble(all[2], longitude) || std::fabs(latitude) > 90 || std::fabs(longitude) > 180) {
                return Error(lineNumber, "WAYPOINT needs latitude and longitude in degrees", line);
            }
            int altitude = -1;
            if (all.size() == 4 && (!ToInt(all[3], altitude) || altitude < 0 || altitude > 60000)) {
                return Error(lineNumber, "bad waypoint altitude", line);
            }
            pilot->waypoints.emplace_back(latitude, longitude);
            pilot->waypointAltitudes.push_back(altitude);
        } else if (keyword == "CONTROLLER") {
            ScenarioController c;
            double megahertz = 0;
            if (all.size() < 8 || all.size() > 10 || !ToDouble(all[2], megahertz) || !ToInt(all[3], c.facility) ||
                !ToInt(all[4], c.visibilityRange) || !ToInt(all[5], c.rating) || !ToDouble(all[6], c.latitude) ||
                !ToDouble(all[7], c.longitude) || (all.size() > 8 && !ToInt(all[8], c.fromSeconds)) ||
                (all.size() > 9 && !ToInt(all[9], c.untilSeconds))) {
                return Error(lineNumber,
                             "CONTROLLER needs callsign, frequency, facility, visibility, rating, latitude and "
                             "longitude",
                             line);
            }
            c.callsign = Upper(all[1]);
            c.frequency = static_cast<int>(std::lround(megahertz * 1000));
            if (c.callsign.find(':') != std::string::npos || c.frequency < 100000 || c.frequency > 199999 ||
                c.facility < 0 || c.facility > 6 || c.rating < 1 || c.rating > 12 || std::fabs(c.latitude) > 90 ||
                std::fabs(c.longitude) > 180 || c.fromSeconds < 0 ||
                (c.untilSeconds >= 0 && c.untilSeconds <= c.fromSeconds)) {
                return Error(lineNumber, "CONTROLLER value out of range", line);
            }
            scenario.controllers.push_back(std::move(c));
        } else if (keyword == "METAR") {
            std::vector<std::string_view> w = Words(line, 2, rest);
            if (w.size() < 2 || rest.empty())
                return Error(lineNumber, "METAR needs a station and a report", line);
            scenario.metars.emplace_back(Upper(w[1]), std::string(rest));
        } else {
            return Error(lineNumber, "unknown keyword " + std::string(all[0]), line);
        }
    }
    for (const ScenarioPilot& pilot : scenario.pilots) {
        if (pilot.waypoints.empty())
            return Error(0, "pilot " + pilot.callsign + " has no WAYPOINT", pilot.callsign);
    }
    return scenario;
}

Result<Scenario> LoadScenario(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) return ParseError{2, "cannot read " + path, 0, 0, path};
    return ParseScenario(text);
}
