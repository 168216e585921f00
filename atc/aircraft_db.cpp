// The aircraft database: construction, position reports, removal, purge,
// timers, lookups, simulator model information and statistics.
// Tested by tests/atc/aircraft_db_test.cpp.
#include "atc/aircraft_db.h"

#include <algorithm>
#include <cmath>

#include "atc/controller_db.h"
#include "foundation/geo_helpers.h"
#include "foundation/text_helpers.h"
#include "platform/clock.h"

namespace {

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

constexpr int kFirstAircraftNumber = 100;
constexpr int kLastAircraftNumber = 999;
// Random draws before the number search falls back to a scan.
constexpr int kNumberDraws = 64;
// Aircraft within this many whole NM of visibility centre 0 go into the simulator.
constexpr int kSimulatorRadiusNm = 15;
// No visibility centre set.
constexpr double kNoCentreDistance = 361.0;

}  // namespace

TarqAircraftDB::TarqAircraftDB(const AtcServices& services)
    : m_services(services.Checked("TarqAircraftDB")),
      m_tracking(
          m_services, [this](const std::string& callsign) { return HasAircraft(callsign); },
          [this](const std::string& positionId) { return ResolvePositionId(positionId); }),
      m_conflicts(
          m_services, [this](const std::string& callsign) { return IsBelowRadarFloor(callsign); },
          [this](const std::string& callsign) { return IsTrackedByMe(callsign); }),
      m_squawks(m_services, m_random),
      m_types(m_services) {
    m_random.Seed(static_cast<uint32_t>(Now()));
    m_lastPurgeTime = Now();
    m_soundPlaying = false;
    ResetStatistics();
}

TarqAircraftDB::~TarqAircraftDB() { WaitForDownload(); }

std::string TarqAircraftDB::OwnCallsign() const { return m_services.settings->GetString("Callsign"); }

std::time_t TarqAircraftDB::Now() const { return m_services.clock->WallSeconds(); }

std::string TarqAircraftDB::ResolvePositionId(const std::string& positionId) const {
    if (!m_controllers || positionId.empty()) return {};
    return m_controllers->GetCallsignForPositionId(positionId);
}

// --- position reports ----------------------------------------------------

void TarqAircraftDB::UpdatePilotPosition(const std::string& callsign, const AircraftReport& report) {
    AtcSettings& settings = *m_services.settings;
    const int floor = settings.GetInt("RadarFloor");
    const bool below = floor > 0 && report.altitude < floor;
    const int transLevel = settings.GetInt("TransLevel");

    auto it = m_aircraft.find(callsign);
    if (it == m_aircraft.end()) {
        m_seenCallsigns.insert(callsign);
        auto aircraft = std::make_unique<TarqAircraft>(callsign, *m_services.clock,
                                                       m_services.simulator->CreateExtrapolator());
        aircraft->Update(report, false, transLevel);
        m_conflicts.Moved(callsign, *aircraft);
        m_aircraft[callsign] = std::move(aircraft);

        const uint16_t number = DrawAircraftNumber();
        m_aircraftNumbers[callsign] = number;
        if (number != 0) m_callsignsByNumber[number] = callsign;

        // A plan that arrived before the first report is the real one; keep it.
        if (m_flightPlans.find(callsign) == m_flightPlans.end()) {
            TarqFlightPlanRecord placeholder;
            placeholder.placeholder = true;
            placeholder.flightRules = 'I';
            m_flightPlans[callsign] = placeholder;
        }
        m_tracking.StartAircraft(callsign);
        // A kept plan still tells the pilot's voice capability.
        m_voiceTypes[callsign] = VoiceTypeFromRemarks(m_flightPlans[callsign].remarks);
        m_temporaryAltitudes[callsign] = 0;
        m_scratchpads[callsign].clear();
        m_conflicts.ResetState(callsign);
        m_distanceToDestination[callsign] = -1.0;
        m_distanceFromDeparture[callsign] = -1.0;

        AtcNetwork& network = *m_services.network;
        network.RequestFlightPlan(callsign);
        network.RequestRealName(callsign);
        network.SendWhoHas(callsign);
        network.RequestPlaneInfo(callsign);
        m_services.tools->RebuildAircraftList();

        // The plane-information request just went out: the periodic request
        // must not ask a second time.
        m_modelInfo[callsign].requested = true;
    } else {
        const bool coast = below && IsTrackedByMe(callsign);
        it->second->Update(report, coast, transLevel);
        m_conflicts.Moved(callsign, *it->second);
    }

    m_belowRadarFloor[callsign] = below;
    CheckConflicts(callsign);
    UpdateAirportDistances(callsign);

    const double toDestination = GetDistanceToDestination(callsign);
    if (toDestination >= 0 && toDestination < 3.0 && report.groundSpeed < 50) {
        if (IsTrackedByMe(callsign)) DropTrack(callsign, OwnCallsign());
        m_services.scope->RemoveSeparationLinksAll(callsign);
    }

    const double scale = LongitudeScale;
    if (m_services.simulator->IsConnected()) {
        const ScopePoint centre = m_services.scope->GetVisibilityCenter(0);
        const int nm = static_cast<int>(
            ScaledDistance(centre.x, centre.y, report.longitude, report.latitude, scale) * 60);
        auto sim = m_simulatorIds.find(callsign);
        if (sim != m_simulatorIds.end() && nm > kSimulatorRadiusNm) {
            m_services.simulator->RemoveAircraft(sim->second);
            m_simulatorIds.erase(sim);
        } else if (sim == m_simulatorIds.end() && nm <= kSimulatorRadiusNm) {
            const ModelInfoRecord& info = m_modelInfo[callsign];
            m_simulatorIds[callsign] =
                m_services.simulator->AddAircraft(callsign, info.equipment, info.airline, info.livery);
        }
    }

    double nearest = kNoCentreDistance;
    int nearestIndex = 0;
    for (int i = 0; i < 4; ++i) {
        const ScopePoint c = m_services.scope->GetVisibilityCenter(i);
        if (c.x == 0 && c.y == 0) continue;
        const double d = ScaledDistance(report.longitude, report.latitude, c.x, c.y, scale);
        if (d < nearest) {
            nearest = d;
            nearestIndex = i;
        }
    }
    const ScopePoint c = m_services.scope->GetVisibilityCenter(nearestIndex);
    m_distanceFromCentre[callsign] = nearest;
    m_bearingToCentre[callsign] = BearingBetween(report.longitude, report.latitude, c.x, c.y, true);
    m_reportedSquawks[callsign] = report.squawk;
}

uint16_t TarqAircraftDB::DrawAircraftNumber() {
    int number = kFirstAircraftNumber;
    for (int draw = 0; draw < kNumberDraws; ++draw) {
        const int r = m_random.Next();
        number = kFirstAircraftNumber + static_cast<int>(static_cast<double>(r) * 899.0 / 32767.0);
        if (m_callsignsByNumber.find(static_cast<uint16_t>(number)) == m_callsignsByNumber.end()) {
            return static_cast<uint16_t>(number);
        }
    }
    // Crowded: walk on from the last draw so the search always ends.
    const int span = kLastAircraftNumber - kFirstAircraftNumber + 1;
    for (int step = 1; step <= span; ++step) {
        const int candidate = kFirstAircraftNumber + (number - kFirstAircraftNumber + step) % span;
        if (m_callsignsByNumber.find(static_cast<uint16_t>(candidate)) == m_callsignsByNumber.end()) {
            return static_cast<uint16_t>(candidate);
        }
    }
    return 0;  // all 900 in use: this aircraft goes without a number
}

// --- removal and purge ------------------------------------------------------

void TarqAircraftDB::RemoveAircraft(const std::string& callsign, bool protectOwnTrack) {
    if (protectOwnTrack && IsTrackedByMe(callsign)) return;
    auto it = m_aircraft.find(callsign);
    if (it == m_aircraft.end()) return;
    m_aircraft.erase(it);

    auto number = m_aircraftNumbers.find(callsign);
    if (number != m_aircraftNumbers.end()) {
        auto reverse = m_callsignsByNumber.find(number->second);
        if (reverse != m_callsignsByNumber.end() && reverse->second == callsign)
            m_callsignsByNumber.erase(reverse);
        m_aircraftNumbers.erase(number);
    }
    m_flightPlans.erase(callsign);
    m_tracking.RemoveAircraft(callsign);
    m_conflicts.Remove(callsign);
    m_reportedSquawks.erase(callsign);
    m_assignedSquawks.erase(callsign);
    m_voiceTypes.erase(callsign);
    m_temporaryAltitudes.erase(callsign);
    m_scratchpads.erase(callsign);
    m_requestList.erase(callsign);

    auto sim = m_simulatorIds.find(callsign);
    if (sim != m_simulatorIds.end()) m_services.simulator->RemoveAircraft(sim->second);
    m_modelInfo.erase(callsign);
    m_simulatorIds.erase(callsign);
    if (protectOwnTrack) m_services.tools->RebuildAircraftList();
    m_services.tools->RemoveSelcalCallsign(callsign);
}

void TarqAircraftDB::Clear() {
    std::vector<std::string> callsigns = GetCallsigns();
    for (const std::string& callsign : callsigns) RemoveAircraft(callsign, false);
    m_aircraft.clear();
    m_autoStripRoutes.clear();
    m_bearingToCentre.clear();
    m_distanceFromCentre.clear();
    m_heavyFlags.clear();
    m_weightClasses.clear();
    m_tracking.ClearPointouts();
    m_belowRadarFloor.clear();
    m_services.tools->RebuildAircraftList();
}

void TarqAircraftDB::PurgeStaleAircraft() {
    const std::time_t now = Now();
    const std::string own = OwnCallsign();
    std::vector<std::string> stale;
    for (auto& [callsign, aircraft] : m_aircraft) {
        const std::time_t age = now - aircraft->GetLastReportTime();
        if (age < 0 || age <= 15) continue;
        if (!aircraft->IsCoasted() || IsTrackedByMe(callsign)) {
            aircraft->Coast();
            m_conflicts.Moved(callsign, *aircraft);
            continue;
        }
        stale.push_back(callsign);
    }
    if (stale.empty()) return;
    for (const std::string& callsign : stale) RemoveAircraft(callsign, true);
    m_services.tools->RebuildAircraftList();
}

std::vector<std::string> TarqAircraftDB::FindCallsignsContaining(const std::string& text) const {
    const std::string upper = ToUpper(text);
    std::vector<std::string> found;
    for (const auto& [callsign, aircraft] : m_aircraft) {
        if (callsign == upper) return {callsign};
        if (callsign.find(upper) != std::string::npos) found.push_back(callsign);
    }
    return found;
}

std::vector<std::string> TarqAircraftDB::GetCallsigns() const {
    std::vector<std::string> callsigns;
    callsigns.reserve(m_aircraft.size());
    for (const auto& entry : m_aircraft) callsigns.push_back(entry.first);
    return callsigns;
}

// --- timers ---------------------------------------------------------------

void TarqAircraftDB::OnTimer() {
    const std::time_t now = Now();
    // A clock set back makes the differences negative; they never count.
    if (now - m_lastPurgeTime > 5) {
        m_lastPurgeTime = now;
        PurgeStaleAircraft();
    }
    if (m_services.settings->GetBool("RequestListReminder") && now - m_lastReminderTime > 30) {
        m_lastReminderTime = now;
        RequestListReminder();
    }
}

void TarqAircraftDB::RequestListReminder() {
    if (m_requestList.empty()) return;
    std::string joined;
    for (const auto& entry : m_requestList) {  // the map keeps ascending byte order
        if (!joined.empty()) joined += ", ";
        joined += entry.first;
    }
    m_services.messages->ShowMessage("Callsigns on request list: " + joined);
    m_services.sounds->PlayConfiguredSound(m_services.settings->GetString("SoundReminder"), false);
}

void TarqAircraftDB::OnFrameTick() {
    const bool connected = m_services.simulator->IsConnected();
    for (auto& [callsign, aircraft] : m_aircraft) {
        uint32_t id = 0;
        if (connected) {
            auto sim = m_simulatorIds.find(callsign);
            if (sim != m_simulatorIds.end()) id = sim->second;
        }
        aircraft->UpdateSmoothedState(id, m_services.simulator);
    }
}

// --- lookups -----------------------------------------------------------------

TarqAircraft* TarqAircraftDB::GetAircraft(const std::string& callsign) const {
    auto it = m_aircraft.find(callsign);
    return it == m_aircraft.end() ? nullptr : it->second.get();
}

uint16_t TarqAircraftDB::GetAircraftNumber(const std::string& callsign) const {
    auto it = m_aircraftNumbers.find(callsign);
    return it == m_aircraftNumbers.end() ? 0 : it->second;
}

std::string TarqAircraftDB::GetCallsignForAircraftNumber(const std::string& text) const {
    if (text.size() != 3) return text;
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        number = number * 10 + (c - '0');
    }
    auto it = m_callsignsByNumber.find(static_cast<uint16_t>(number));
    return it == m_callsignsByNumber.end() ? text : it->second;
}

std::vector<bool> TarqAircraftDB::TakenSquawks() const {
    // Every code a pilot squawks or a controller assigned, whoever it belongs to.
    std::vector<bool> taken(TarqSquawkAssigner::kBeyondCodes, false);
    for (const auto& entry : m_reportedSquawks) {
        if (entry.second < taken.size()) taken[entry.second] = true;
    }
    for (const auto& entry : m_assignedSquawks) {
        if (entry.second < taken.size()) taken[entry.second] = true;
    }
    return taken;
}

// --- simulator model information -------------------------------------------

void TarqAircraftDB::SetModelInfo(const std::string& callsign,
                                  const std::vector<std::pair<std::string, std::string>>& items) {
    ModelInfoRecord& info = m_modelInfo[callsign];
    for (const auto& [key, value] : items) {
        if (key == "EQUIPMENT")
            info.equipment = value;
        else if (key == "AIRLINE")
            info.airline = value;
        else if (key == "LIVERY")
            info.livery = value;
    }
    info.requested = true;
    AtcSimulatorBridge& simulator = *m_services.simulator;
    if (!simulator.IsConnected()) return;
    // The bridge forgets the old injection; so do we, or a later report would
    // believe an aircraft outside the circle is still in the simulator.
    auto sim = m_simulatorIds.find(callsign);
    if (sim != m_simulatorIds.end()) {
        simulator.RemoveAircraft(sim->second);
        m_simulatorIds.erase(sim);
    }
    TarqAircraft* aircraft = GetAircraft(callsign);
    if (!aircraft) return;
    const ScopePoint centre = m_services.scope->GetVisibilityCenter(0);
    const ScopePoint position = aircraft->GetPosition(0, 0);
    const int nm =
        static_cast<int>(ScaledDistance(position.x, position.y, centre.x, centre.y, LongitudeScale) * 60);
    if (nm > kSimulatorRadiusNm) return;
    m_simulatorIds[callsign] = simulator.AddAircraft(callsign, info.equipment, info.airline, info.livery);
}

void TarqAircraftDB::RequestMissingModelInfo() {
    for (const auto& entry : m_aircraft) {
        auto info = m_modelInfo.find(entry.first);
        if (info == m_modelInfo.end() || info->second.requested) continue;
        m_services.network->RequestPlaneInfo(entry.first);
        info->second.requested = true;
    }
}

void TarqAircraftDB::ShowModelInfo(const std::string& callsign) {
    auto it = m_modelInfo.find(callsign);
    if (it == m_modelInfo.end()) {
        m_services.messages->ShowError("Model info not found for callsign " + callsign + ".");
        return;
    }
    auto orUnknown = [](const std::string& text) { return text.empty() ? std::string("??") : text; };
    std::string line =
        "Model info for callsign " + callsign + ": Equipment: " + orUnknown(it->second.equipment) +
        " - Airline: " + orUnknown(it->second.airline) + " - Livery: " + orUnknown(it->second.livery);
    if (line.size() > 255) line.resize(255);
    m_services.messages->ShowMessage(line);
}

bool TarqAircraftDB::GetModelInfo(const std::string& callsign, ModelInfoRecord& info) const {
    auto it = m_modelInfo.find(callsign);
    if (it == m_modelInfo.end()) return false;
    info = it->second;
    return true;
}

uint32_t TarqAircraftDB::GetSimulatorId(const std::string& callsign) const {
    auto it = m_simulatorIds.find(callsign);
    return it == m_simulatorIds.end() ? 0 : it->second;
}

// --- statistics ---------------------------------------------------------------

void TarqAircraftDB::ShowStatistics() {
    AtcMessageSink& out = *m_services.messages;
    const int t = m_services.network->GetConnectedTime();
    out.ShowMessage("-------------------------");
    out.ShowMessage("Statistics:");
    out.ShowMessage("Time connected: " + TwoDigits(t / 3600) + ":" + TwoDigits(t % 3600 / 60) + ":" +
                    TwoDigits(t % 60));
    out.ShowMessage("Aircraft Seen: " + std::to_string(m_seenCallsigns.size()));
    out.ShowMessage("Aircraft Tracked: " + std::to_string(GetTrackedCount()));
    out.ShowMessage("Flight Plans Amended: " + std::to_string(m_amendedCallsigns.size()));
    out.ShowMessage("Handoffs Initiated: " + std::to_string(GetHandoffsInitiated()));
    out.ShowMessage("Handoffs Accepted: " + std::to_string(GetHandoffsAccepted()));
    out.ShowMessage("Handoffs Refused: " + std::to_string(GetHandoffsRefused()));
    out.ShowMessage("Squawks Assigned: " + std::to_string(m_squawksAssigned));
    out.ShowMessage("Cruise Alts Assigned: " + std::to_string(m_cruiseAltitudesAssigned));
    out.ShowMessage("Temp Alts Assigned: " + std::to_string(m_temporaryAltitudesAssigned));
    out.ShowMessage("Scratchpads Assigned: " + std::to_string(m_scratchpadsAssigned));
    out.ShowMessage("Conflicts Detected: " + std::to_string(GetConflictsDetected()));
    out.ShowMessage("-------------------------");
}

void TarqAircraftDB::ResetStatistics() {
    m_seenCallsigns.clear();
    m_amendedCallsigns.clear();
    m_tracking.ResetStatistics();
    m_conflicts.ResetStatistics();
    m_scratchpadsAssigned = m_squawksAssigned = 0;
    m_temporaryAltitudesAssigned = m_cruiseAltitudesAssigned = 0;
    m_services.network->ResetConnectedTime();
}

void TarqAircraftDB::ShowAircraftInfo(const std::string& callsign, bool withCallsign) {
    auto plan = m_flightPlans.find(callsign);
    if (plan == m_flightPlans.end()) {
        m_services.messages->ShowError("Flight plan not found for specified callsign.");
        return;
    }
    const std::string code = plan->second.bareType;
    if (code.empty()) {
        m_services.messages->ShowError("Type code in flight plan is empty.");
        return;
    }
    std::string line;
    {
        AircraftTypeRecord r;
        if (GetAircraftType(code, r)) {
            line = "Aircraft info" + (withCallsign ? " for " + callsign : std::string()) + ": " + code +
                   " - " + r.manufacturer + " " + r.model +
                   " - Engines/Class: " + std::to_string(r.engineCount) + r.engineType + "/" + r.weightClass +
                   " - C/D Rates: " + std::to_string(r.climbRate) + "/" + std::to_string(r.descentRate) +
                   " - SRS Category " + r.srsCategory;
        }
    }
    if (line.empty()) {
        m_services.messages->ShowError("Type code not found in database.");
        return;
    }
    if (line.size() > 255) line.resize(255);
    m_services.messages->ShowMessage(line);
}
