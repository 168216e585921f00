// The text of "aircraft_info.dat": "version=" lines and one aircraft type per
// line in nine tab-separated fields (code, manufacturer, model, engines,
// engine type, weight class, climb rate, descent rate, SRS category).
// Tested by tests/atc/aircraft_types_test.cpp; fuzzed by aircraft_types_fuzzer.
#pragma once

#include <map>
#include <string>

#include "atc/flight_plan_record.h"

// Every well-formed type line, keyed by type code; the first line of a code
// wins; lines of another field count are left out; numbers that are not
// numbers read as 0.
std::map<std::string, AircraftTypeRecord> ParseAircraftTypes(const std::string& text);
