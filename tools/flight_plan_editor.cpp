// Tested by tests/tools/flight_plan_editor_test.cpp.
#include "tools/flight_plan_editor.h"

#include <algorithm>
#include <cstdio>

#include "foundation/text_helpers.h"

namespace {

std::string Limit(const std::string& text, size_t limit) { return text.substr(0, limit); }

// The network's lines are colon-separated.
std::string NoColons(std::string text) {
    std::replace(text.begin(), text.end(), ':', ' ');
    return text;
}

std::string FourDigits(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", code);
    return text;
}

}  // namespace

std::string FlightPlanEditorModel::RulesText(int rules) {
    switch (rules) {
        case 'D':
            return "DVFR";
        case 'I':
            return "IFR";
        case 'S':
            return "SVFR";
        default:
            return "VFR";
    }
}

int FlightPlanEditorModel::RulesFromText(const std::string& text) {
    switch (text.empty() ? '\0' : text[0]) {
        case 'V':
            return 'V';
        case 'S':
            return 'S';
        case 'D':
            return 'D';
        default:
            return 'I';
    }
}

FlightPlanFields FlightPlanEditorModel::Show(const std::string& callsign) {
    m_callsign = callsign;
    const TarqFlightPlanRecord plan = m_source.GetFlightPlan(callsign);
    FlightPlanFields f;
    f.callsign = callsign;
    f.type = plan.aircraftType;
    f.rules = RulesText(plan.flightRules);
    f.departure = plan.departure;
    f.destination = plan.destination;
    f.alternate = plan.alternate;
    f.cruise = plan.cruiseAltitude;
    f.scratchpad = m_source.GetScratchpad(callsign);
    f.squawk = FourDigits(m_source.GetAssignedSquawk(callsign));
    std::string name = m_source.GetPilotName(callsign);
    if (name.empty()) name = "Name unknown";
    const bool amended = !plan.route.empty() && plan.route[0] == '+';
    m_title = "Flight Plan - " + callsign + " (" + name + ")" + (amended ? " - Amended" : "");
    f.route = amended ? plan.route.substr(1) : plan.route;
    f.remarks = plan.remarks;
    m_planModified = m_squawkEdited = m_scratchpadModified = false;
    return f;
}

std::string FlightPlanEditorModel::SquawkFieldText(int code) const {
    return m_squawkEdited ? std::string() : FourDigits(code);
}

bool FlightPlanEditorModel::ParseSquawk(const std::string& text, uint16_t& code) {
    const std::string digits = Limit(text, kSquawkLimit);
    // An emptied field assigns code 0.
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        m_source.ShowError(kInvalidSquawk);
        return false;
    }
    code = digits.empty() ? 0 : static_cast<uint16_t>(std::stoi(digits));
    return true;
}

bool FlightPlanEditorModel::Amend(const FlightPlanFields& typed, FlightPlanFields& shown) {
    if (!m_source.CheckControl(m_callsign)) return false;
    // A bad code refuses the whole amendment before anything goes out, so
    // nothing is half sent and every typed text stays.
    uint16_t squawk = 0;
    if (m_squawkEdited && !ParseSquawk(typed.squawk, squawk)) return false;
    const std::string own = m_source.GetOwnCallsign();
    if (m_planModified) {
        TarqFlightPlanRecord plan = m_source.GetFlightPlan(m_callsign);
        plan.placeholder = false;
        plan.aircraftType = NoColons(Limit(typed.type, kTypeLimit));
        plan.bareType = GetBareAircraftType(plan.aircraftType);
        plan.flightRules = RulesFromText(typed.rules);
        plan.departure = NoColons(Limit(typed.departure, kAirportLimit));
        plan.destination = NoColons(Limit(typed.destination, kAirportLimit));
        plan.alternate = NoColons(Limit(typed.alternate, kAirportLimit));
        plan.cruiseAltitude = NoColons(Limit(typed.cruise, kCruiseLimit));
        plan.route = "+" + NoColons(Limit(typed.route, kTextLimit));
        plan.remarks = NoColons(Limit(typed.remarks, kTextLimit));
        m_source.AmendFlightPlan(m_callsign, plan);
        m_planModified = false;
    }
    if (m_scratchpadModified) {
        m_source.SetScratchpad(m_callsign, own, Limit(typed.scratchpad, kScratchpadLimit));
        m_scratchpadModified = false;
    }
    if (m_squawkEdited) {
        // The database's setter sends the assignment itself: sending it
        // here as well would put it on the network twice.
        m_source.SetAssignedSquawk(m_callsign, own, squawk);
        m_squawkEdited = false;
    }
    shown = Show(m_callsign);
    return true;
}

bool FlightPlanEditorModel::AssignSquawk(const FlightPlanFields& typed, std::string& squawkText) {
    if (!m_source.CheckControl(m_callsign)) return false;
    uint16_t code = 0xFFFF;
    if (m_squawkEdited && !ParseSquawk(typed.squawk, code)) return false;
    m_source.SetAssignedSquawk(m_callsign, m_source.GetOwnCallsign(), code);
    squawkText = FourDigits(m_source.GetAssignedSquawk(m_callsign));
    m_squawkEdited = false;
    return true;
}

std::string FlightPlanEditorModel::PlotText(const FlightPlanFields& typed) {
    std::string text = Limit(typed.departure, kAirportLimit) + " " + Limit(typed.route, kPlotRouteLimit) +
                       " " + Limit(typed.destination, kAirportLimit);
    return Limit(text, 1024);
}
