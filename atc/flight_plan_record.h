// The flight plan value type, the model information of a pilot's simulator
// aircraft and one record of the aircraft type database.
// Tested through tests/atc/aircraft_db_items_test.cpp.
#pragma once

#include <cstdint>
#include <string>

// Fields in the order the network's flight plan and amendment lines carry them.
struct TarqFlightPlanRecord {
    // Set only in the stand-in stored when an aircraft is first seen without a plan.
    bool placeholder = false;
    int flightRules = 0;       // character code: 'I', 'V', 'S', 'D'
    std::string aircraftType;  // as filed, with prefix and equipment suffix
    std::string bareType;      // ICAO type code alone
    int trueAirspeed = 0;
    std::string departure;
    int proposedDepartureTime = 0;
    int actualDepartureTime = 0;
    std::string cruiseAltitude;
    std::string destination;
    int hoursEnRoute = 0;
    int minutesEnRoute = 0;
    int hoursFuel = 0;
    int minutesFuel = 0;
    std::string alternate;
    std::string remarks;
    std::string route;

    friend bool operator==(const TarqFlightPlanRecord&, const TarqFlightPlanRecord&) = default;
};

struct ModelInfoRecord {
    std::string equipment;
    std::string airline;
    std::string livery;
    // A plane-information request went out for the callsign, or an answer came.
    bool requested = false;
};

// One line of "aircraft_info.dat", keyed by ICAO type code.
struct AircraftTypeRecord {
    std::string manufacturer;
    std::string model;
    int16_t engineCount = 0;
    std::string engineType;
    std::string weightClass;  // "H" marks a heavy
    int16_t climbRate = 0;
    int16_t descentRate = 0;
    std::string srsCategory;
};
