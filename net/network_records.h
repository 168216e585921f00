// The session's parsed records in the shapes the ATC state takes.
// Tested by tests/net/network_handlers_test.cpp.
#pragma once

#include <string>
#include <string_view>

#include "atc/aircraft.h"
#include "atc/controller.h"
#include "atc/flight_plan_record.h"

struct ATCPositionRecord;
struct FlightPlanPacket;
struct PilotPositionRecord;

AircraftReport ToAircraftReport(const PilotPositionRecord& record);
ControllerReport ToControllerReport(const ATCPositionRecord& record);
// Texts copied (null reads as empty), the bare type taken out of the filed
// type, the cruise altitude normalised.
TarqFlightPlanRecord ToFlightPlanRecord(const FlightPlanPacket& packet);

// "FL350" and "F350" → "35000", "A045" → "04500", "350" → "35000"; other
// text loses its F and A letters ("VFR" → "VR").
std::string NormalizeCruiseAltitude(std::string_view text);
