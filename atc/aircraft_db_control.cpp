// The aircraft database's controller side: per-callsign annotations,
// controller-to-controller items, flight plan reception and amendments.
// Tested by tests/atc/aircraft_db_items_test.cpp.
#include <algorithm>

#include "atc/aircraft_db.h"
#include "atc/controller_db.h"
#include "foundation/geo_helpers.h"
#include "foundation/text_helpers.h"
#include "platform/clock.h"

namespace {

template <typename Map, typename Value>
Value FindOr(const Map& map, const std::string& key, Value fallback) {
    auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
}

void ReplaceAllChars(std::string& text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
}

void EraseAll(std::string& text, const std::string& what) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at))
        text.erase(at, what.size());
}

// The leading decimal number of a text, 0 when it does not start with one.
int LeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 2147483647LL) value = 2147483647LL;
    }
    return static_cast<int>(negative ? -value : value);
}

const char* VoiceLetter(int voiceType) {
    switch (voiceType) {
        case 1:
            return "t";
        case 2:
            return "r";
        case 3:
            return "v";
        default:
            return "";
    }
}

}  // namespace

int VoiceTypeFromRemarks(const std::string& remarks) {
    const std::string lower = ToLower(remarks);
    if (lower.find("/v/") != std::string::npos) return 3;
    if (lower.find("/r/") != std::string::npos) return 2;
    if (lower.find("/t/") != std::string::npos) return 1;
    return 0;
}

// --- annotations --------------------------------------------------------------
// Readers never create entries: asking about a callsign must not make it known.

std::string TarqAircraftDB::GetScratchpad(const std::string& callsign) const {
    return FindOr(m_scratchpads, callsign, std::string());
}
int TarqAircraftDB::GetVoiceType(const std::string& callsign) const {
    return FindOr(m_voiceTypes, callsign, 0);
}
uint16_t TarqAircraftDB::GetReportedSquawk(const std::string& callsign) const {
    return FindOr(m_reportedSquawks, callsign, uint16_t{0});
}
int TarqAircraftDB::GetTemporaryAltitude(const std::string& callsign) const {
    return FindOr(m_temporaryAltitudes, callsign, 0);
}
uint16_t TarqAircraftDB::GetAssignedSquawk(const std::string& callsign) const {
    return FindOr(m_assignedSquawks, callsign, uint16_t{0});
}
bool TarqAircraftDB::HasAutoAssignedSquawk(const std::string& callsign, uint16_t code) const {
    auto it = m_autoAssignedSquawks.find(callsign);
    return it != m_autoAssignedSquawks.end() && it->second == code;
}
std::time_t TarqAircraftDB::GetRequestTime(const std::string& callsign) const {
    return FindOr(m_requestList, callsign, std::time_t{0});
}
double TarqAircraftDB::GetDistanceToDestination(const std::string& callsign) const {
    return FindOr(m_distanceToDestination, callsign, -1.0);
}
double TarqAircraftDB::GetDistanceFromDeparture(const std::string& callsign) const {
    return FindOr(m_distanceFromDeparture, callsign, -1.0);
}
double TarqAircraftDB::GetBearingToCentre(const std::string& callsign) const {
    return FindOr(m_bearingToCentre, callsign, 45.0);
}
double TarqAircraftDB::GetDistanceFromCentre(const std::string& callsign) const {
    return FindOr(m_distanceFromCentre, callsign, 1.0);
}
bool TarqAircraftDB::IsHeavy(const std::string& callsign) const {
    return FindOr(m_heavyFlags, callsign, false);
}
std::string TarqAircraftDB::GetWeightClass(const std::string& callsign) const {
    return FindOr(m_weightClasses, callsign, std::string());
}
bool TarqAircraftDB::IsBelowRadarFloor(const std::string& callsign) const {
    return FindOr(m_belowRadarFloor, callsign, false);
}

void TarqAircraftDB::SetAssignedSquawk(const std::string& callsign, const std::string& byController,
                                       uint16_t code) {
    if (byController != OwnCallsign()) {
        m_assignedSquawks[callsign] = code;
        if (m_services.tools->GetEditorCallsign() == callsign) m_services.tools->SetSquawkField(code);
        return;
    }
    if (!HasAircraft(callsign)) {
        m_services.messages->ShowError("Aircraft not found.");
        return;
    }
    uint16_t assigned = code;
    if (code == kAutoSquawk) {
        uint16_t low = 1000, high = 6777;
        if (m_controllers) {
            m_controllers->GetSquawkRange(OwnCallsign(), m_services.tools->GetPrimaryFrequency(), low, high);
        }
        assigned = AssignSquawk(low, high);
        if (assigned == 0) return;
        m_autoAssignedSquawks[callsign] = assigned;
    }
    m_assignedSquawks[callsign] = assigned;
    m_services.tools->ShowFlightPlanDetails(callsign);
    m_services.network->AssignSquawk(callsign, assigned);
    ++m_squawksAssigned;
}

void TarqAircraftDB::ToggleRequestList(const std::string& callsign) {
    std::string message;
    auto it = m_requestList.find(callsign);
    if (it != m_requestList.end()) {
        m_requestList.erase(it);
        message = callsign + " removed from request list.";
    } else {
        if (!HasAircraft(callsign)) {
            m_services.messages->ShowError("Aircraft not found.");
            return;
        }
        m_requestList[callsign] = Now();
        message = callsign + " added to request list.";
        if (m_requestList.size() == 1) m_lastReminderTime = Now();
    }
    m_services.messages->ShowMessage(message);
    m_services.tools->RebuildAircraftList();
}

bool TarqAircraftDB::CompareRequestTime(const std::string& a, const std::string& b) const {
    return GetRequestTime(a) < GetRequestTime(b);
}

void TarqAircraftDB::UpdateAirportDistances(const std::string& callsign) {
    TarqAircraft* aircraft = GetAircraft(callsign);
    auto plan = m_flightPlans.find(callsign);
    if (!aircraft || plan == m_flightPlans.end()) return;
    AtcScope& scope = *m_services.scope;
    const ScopePoint offset = scope.GetSectorOffset();
    const ScopePoint position = aircraft->GetPosition(offset.x, offset.y);
    const double scale = LongitudeScale;
    ScopePoint airport;
    if (!plan->second.departure.empty() && scope.FindNamedPoint(plan->second.departure, airport)) {
        m_distanceFromDeparture[callsign] =
            ScaledDistance(position.x, position.y, airport.x, airport.y, scale) * 60;
    }
    if (!plan->second.destination.empty() && scope.FindNamedPoint(plan->second.destination, airport)) {
        m_distanceToDestination[callsign] =
            ScaledDistance(position.x, position.y, airport.x, airport.y, scale) * 60;
    }
}

bool TarqAircraftDB::StopSound() {
    const bool stopped = m_services.sounds->StopSound();
    m_soundPlaying = false;
    return stopped;
}

// --- controller-to-controller items -------------------------------------------

void TarqAircraftDB::RefreshEditor(const std::string& callsign) {
    if (m_services.tools->GetEditorCallsign() == callsign) m_services.tools->ShowFlightPlan(callsign);
}

void TarqAircraftDB::SetScratchpad(const std::string& callsign, const std::string& controller,
                                   const std::string& text, bool refresh) {
    if (controller == OwnCallsign()) {
        if (!CheckControl(callsign)) return;
        ++m_scratchpadsAssigned;
        m_services.network->SendScratchpad(callsign, text);
    }
    m_scratchpads[callsign] = text;
    if (refresh) RefreshEditor(callsign);
}

void TarqAircraftDB::SetTemporaryAltitude(const std::string& callsign, const std::string& controller,
                                          int altitude) {
    if (controller == OwnCallsign()) {
        if (!CheckControl(callsign)) return;
        ++m_temporaryAltitudesAssigned;
        m_services.network->SendTemporaryAltitude(callsign, altitude);
    }
    m_temporaryAltitudes[callsign] = altitude;
}

void TarqAircraftDB::SetCruiseAltitude(const std::string& callsign, int altitude) {
    if (!CheckControl(callsign)) return;
    TarqFlightPlanRecord plan = GetFlightPlan(callsign);
    plan.placeholder = false;
    plan.cruiseAltitude = std::to_string(altitude);
    if (plan.route.empty() || plan.route[0] != '+') plan.route = "+" + plan.route;
    ++m_cruiseAltitudesAssigned;
    m_services.network->SendAmendedFlightPlan(callsign, plan);
    m_flightPlans[callsign] = plan;
    m_services.network->SendFinalAltitude(callsign, altitude);
    RefreshEditor(callsign);
}

void TarqAircraftDB::SetVoiceType(const std::string& callsign, const std::string& controller, int voiceType) {
    if (controller == OwnCallsign()) {
        // A refused change must leave no trace: nothing sent, nothing stored.
        if (!CheckControl(callsign)) return;
        const std::string letter = VoiceLetter(voiceType);
        if (letter.empty()) return;
        auto plan = m_flightPlans.find(callsign);
        if (plan != m_flightPlans.end() && !plan->second.placeholder) {
            std::string remarks = plan->second.remarks;
            for (const char* marker : {"/v/", "/V/", "/r/", "/R/", "/t/", "/T/"}) EraseAll(remarks, marker);
            AmendRemarks(callsign, "/" + letter + "/" + remarks);
        }
        m_services.network->SendVoiceType(callsign, letter);
    }
    m_voiceTypes[callsign] = voiceType;
}

void TarqAircraftDB::AmendFlightPlan(const std::string& callsign, const std::string& route) {
    if (!CheckControl(callsign)) return;
    std::string newRoute = route;
    ReplaceAllChars(newRoute, ':', ' ');
    TarqFlightPlanRecord plan = GetFlightPlan(callsign);
    plan.placeholder = false;
    plan.route = "+" + newRoute;
    m_amendedCallsigns.insert(callsign);
    m_services.network->SendAmendedFlightPlan(callsign, plan);
    m_flightPlans[callsign] = plan;
    RefreshEditor(callsign);
}

void TarqAircraftDB::AmendRemarks(const std::string& callsign, const std::string& remarks) {
    if (!CheckControl(callsign)) return;
    std::string newRemarks = remarks;
    ReplaceAllChars(newRemarks, ':', ' ');
    TarqFlightPlanRecord plan = GetFlightPlan(callsign);
    plan.placeholder = false;
    if (plan.route.empty() || plan.route[0] != '+') plan.route = "+" + plan.route;
    plan.remarks = newRemarks;
    m_amendedCallsigns.insert(callsign);
    m_services.network->SendAmendedFlightPlan(callsign, plan);
    m_flightPlans[callsign] = plan;
    RefreshEditor(callsign);
}

void TarqAircraftDB::AmendFlightPlan3(const std::string& callsign, TarqFlightPlanRecord plan) {
    if (!CheckControl(callsign)) return;
    plan.placeholder = false;
    m_flightPlans[callsign] = plan;
    m_amendedCallsigns.insert(callsign);
    m_services.network->SendAmendedFlightPlan(callsign, plan);
    m_services.network->SendFinalAltitude(callsign, LeadingNumber(plan.cruiseAltitude));
}

// --- flight plans ----------------------------------------------------------------

TarqFlightPlanRecord TarqAircraftDB::GetFlightPlan(const std::string& callsign) const {
    return FindOr(m_flightPlans, callsign, TarqFlightPlanRecord{});
}

void TarqAircraftDB::OnFlightPlanReceived(const std::string& callsign, TarqFlightPlanRecord plan) {
    const int voiceType = VoiceTypeFromRemarks(plan.remarks);
    if (voiceType != 0) m_voiceTypes[callsign] = voiceType;

    ReplaceAllChars(plan.route, '\t', ' ');
    ReplaceAllChars(plan.remarks, '\t', ' ');
    plan.placeholder = false;
    m_flightPlans[callsign] = plan;
    RefreshEditor(callsign);
    TarqAircraft* aircraft = GetAircraft(callsign);
    if (aircraft) m_services.tools->AddSelcalAircraft(callsign, plan.remarks);

    m_heavyFlags[callsign] = false;
    m_weightClasses[callsign].clear();
    if (AircraftTypeRecord type; GetAircraftType(plan.bareType, type)) {
        m_weightClasses[callsign] = type.weightClass;
        m_heavyFlags[callsign] = type.weightClass == "H";
    }

    AtcSettings& settings = *m_services.settings;
    const bool arrivals = settings.GetBool("AutoAddStripsArr");
    const bool departures = settings.GetBool("AutoAddStripsDep");
    if (!(arrivals || departures) || m_services.tools->HasStrip(callsign) || !aircraft) return;
    const std::string key = plan.departure + " " + plan.destination;
    auto added = m_autoStripRoutes.find(callsign);
    if (added != m_autoStripRoutes.end() && added->second == key) return;

    auto listed = [&](const char* setting, const std::string& airport) {
        const std::vector<std::string> fields = settings.GetList(setting);
        return std::find(fields.begin(), fields.end(), airport) != fields.end();
    };
    bool add = false;
    if (aircraft->GetGroundSpeed() > 50) {
        add = arrivals && listed("ArrivalFields", plan.destination);
    } else if (departures) {
        UpdateAirportDistances(callsign);
        const double distance = GetDistanceFromDeparture(callsign);
        add = listed("DepartureFields", plan.departure) && distance >= 0 && distance <= 5.0;
    }
    if (!add) return;
    m_services.tools->AddStripForAircraft(callsign);
    m_autoStripRoutes[callsign] = key;
    if (Now() - m_services.network->GetConnectTime() > 10) {
        m_services.sounds->PlayConfiguredSound(settings.GetString("SoundStripReceived"), false);
    }
}
