// Record conversions of the network manager.
// Tested by tests/net/network_handlers_test.cpp.
#include "net/network_records.h"

#include <charconv>

#include "foundation/text_helpers.h"
#include "net/halk_session.h"

namespace {

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

AircraftReport ToAircraftReport(const PilotPositionRecord& record) {
    AircraftReport r;
    r.latitude = record.latitude;
    r.longitude = record.longitude;
    r.altitude = record.altitude;
    r.altitudeDifference = record.altitudeDifference;
    r.groundSpeed = record.groundSpeed;
    r.heading = record.heading;
    r.bank = record.bank;
    r.pitch = record.pitch;
    r.squawk = record.squawk;
    r.transponderMode = record.transponderMode;
    r.rating = record.rating;
    return r;
}

ControllerReport ToControllerReport(const ATCPositionRecord& record) {
    ControllerReport r;
    r.frequency = record.frequency;
    r.facility = record.facility;
    r.visRange = record.visibilityRange;
    r.rating = record.rating;
    r.latitude = record.latitude;
    r.longitude = record.longitude;
    r.altitude = record.altitude;
    return r;
}

TarqFlightPlanRecord ToFlightPlanRecord(const FlightPlanPacket& packet) {
    TarqFlightPlanRecord p;
    p.flightRules = packet.flightRules;
    p.aircraftType = Text(packet.aircraftType);
    p.bareType = GetBareAircraftType(p.aircraftType);
    p.trueAirspeed = packet.trueAirspeed;
    p.departure = Text(packet.departure);
    p.proposedDepartureTime = packet.proposedDeparture;
    p.actualDepartureTime = packet.actualDeparture;
    p.cruiseAltitude = NormalizeCruiseAltitude(Text(packet.cruiseAltitude));
    p.destination = Text(packet.destination);
    p.hoursEnRoute = packet.hoursEnRoute;
    p.minutesEnRoute = packet.minutesEnRoute;
    p.hoursFuel = packet.hoursFuel;
    p.minutesFuel = packet.minutesFuel;
    p.alternate = Text(packet.alternate);
    p.remarks = Text(packet.remarks);
    p.route = Text(packet.route);
    return p;
}

std::string NormalizeCruiseAltitude(std::string_view text) {
    std::string altitude = ToUpper(std::string(text));
    if (altitude.find("FL") != std::string::npos) altitude = ReplaceAll(altitude, "FL", "") + "00";
    std::string kept;
    for (char c : altitude) {
        if (c != 'F' && c != 'A') kept.push_back(c);
    }
    int value = 0;
    const char* end = kept.data() + kept.size();
    const char* start = kept.data();
    while (start < end && *start == ' ') ++start;
    std::from_chars(start, end, value);
    if (value >= 1 && value <= 999) kept += "00";
    return kept;
}
