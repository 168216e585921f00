// The controller database. Tested by tests/atc/controller_db_test.cpp and land_line_test.cpp.
#include "atc/controller_db.h"

#include <algorithm>

#include "atc/aircraft_db.h"
#include "foundation/text_helpers.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"

namespace {

struct CallsignParts {
    std::string prefix;
    std::string suffix;
};

// Prefix: before the first '_'; suffix: after the last '_'; both empty without one.
CallsignParts SplitCallsign(const std::string& upperCallsign) {
    const size_t first = upperCallsign.find('_');
    if (first == std::string::npos) return {};
    return {upperCallsign.substr(0, first), upperCallsign.substr(upperCallsign.rfind('_') + 1)};
}

bool EndsWith(const std::string& text, const char* tail) {
    const std::string t(tail);
    return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

// Silence after which a controller is dropped, and how often that is checked (seconds).
constexpr std::time_t kControllerTimeout = 45;
constexpr std::time_t kPurgeInterval = 10;

}  // namespace

TarqControllerDB::TarqControllerDB(const AtcServices& services)
    : m_services(services.Checked("TarqControllerDB")),
      m_alphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ") {
    m_lastPurgeTime = m_services.clock->WallSeconds();
}

TarqControllerDB::~TarqControllerDB() = default;

// --- reports and lifetime ---------------------------------------------------

void TarqControllerDB::SetIdentifier(TarqController& controller, const std::string& upperCallsign,
                                     const std::string& id) {
    auto old = m_identifiers.find(controller.GetPositionId());
    if (old != m_identifiers.end() && old->second == upperCallsign) m_identifiers.erase(old);
    controller.SetPositionId(id);
    // An empty identifier addresses nobody; entering it would let an empty
    // handoff target resolve to this controller.
    if (!id.empty()) m_identifiers[id] = upperCallsign;
}

void TarqControllerDB::UpdateFromPositionReport(const std::string& callsign, const ControllerReport& report) {
    const std::string upper = ToUpper(callsign);
    const std::time_t now = m_services.clock->WallSeconds();
    auto it = m_controllers.find(upper);
    if (it == m_controllers.end()) {
        auto created = std::make_unique<TarqController>(upper);
        TarqController& controller = *created;
        m_controllers[upper] = std::move(created);
        controller.UpdateFromReport(report, now);
        SetIdentifier(controller, upper, GeneratePositionId(upper, report.frequency, false));
        AssignPofRecord(controller);
        controller.SetRadioCallsign(FindRadioCallsign(upper, report.frequency));
        m_services.network->RequestRealName(upper);
        m_services.network->RequestIsValidATC(upper);
        m_services.network->SendCCPID(upper);
        m_services.tools->RebuildChatGroups();
        m_services.tools->RebuildControllerList();
        return;
    }
    TarqController& controller = *it->second;
    bool refresh = false;
    bool changed = false;
    if (report.frequency != controller.GetFrequency()) {
        SetIdentifier(controller, upper, std::string());
        SetIdentifier(controller, upper, GeneratePositionId(upper, report.frequency, false));
        refresh = changed = true;
    } else if (report.facility != controller.GetFacility()) {
        changed = true;
    }
    controller.UpdateFromReport(report, now);
    if (refresh) {
        RefreshPositionIds();
        AssignPofRecord(controller);
        controller.SetRadioCallsign(FindRadioCallsign(upper, report.frequency));
    }
    if (changed) m_services.tools->RebuildControllerList();
}

void TarqControllerDB::RemoveController(const std::string& callsign, bool refresh) {
    const std::string upper = ToUpper(callsign);
    auto it = m_controllers.find(upper);
    if (it == m_controllers.end()) return;
    auto id = m_identifiers.find(it->second->GetPositionId());
    if (id != m_identifiers.end() && id->second == upper) m_identifiers.erase(id);
    m_controllers.erase(it);
    m_helpFlags.erase(upper);
    m_helpMessages.erase(upper);
    if (refresh) RefreshPositionIds();  // rebuilds the controller list
    m_services.tools->RebuildChatGroups();
    if (m_aircraftDB) m_aircraftDB->ReleaseController(upper);
}

void TarqControllerDB::Clear() {
    std::vector<std::string> callsigns;
    for (const auto& entry : m_controllers) callsigns.push_back(entry.first);
    for (const std::string& callsign : callsigns) RemoveController(callsign, false);
    m_controllers.clear();
    m_identifiers.clear();
    m_services.tools->RebuildControllerList();
}

void TarqControllerDB::OnTimer() {
    const std::time_t now = m_services.clock->WallSeconds();
    if (now - m_lastPurgeTime <= kPurgeInterval) return;
    m_lastPurgeTime = now;
    std::vector<std::string> silent;
    for (const auto& [callsign, controller] : m_controllers) {
        if (now - controller->GetLastReportTime() > kControllerTimeout) silent.push_back(callsign);
    }
    for (const std::string& callsign : silent) RemoveController(callsign, true);
    if (!silent.empty()) m_services.tools->RebuildControllerList();
}

// --- lookups -------------------------------------------------------------------

TarqController* TarqControllerDB::GetController(const std::string& callsign) const {
    auto it = m_controllers.find(ToUpper(callsign));
    return it == m_controllers.end() ? nullptr : it->second.get();
}

std::string TarqControllerDB::GetCallsignForPositionId(const std::string& positionId) const {
    if (positionId.empty()) return {};
    auto it = m_identifiers.find(ToUpper(positionId));
    return it == m_identifiers.end() ? std::string() : it->second;
}

std::string TarqControllerDB::GetSymbol(const std::string& callsign) const {
    const TarqController* controller = GetController(callsign);
    return controller ? controller->GetSymbol() : "??";
}

std::vector<std::string> TarqControllerDB::GetControllerCallsigns(bool withoutGround) const {
    std::vector<std::string> out;
    for (const auto& entry : m_controllers) {
        const std::string& c = entry.first;
        if (c.size() < 3) continue;
        const bool ground = EndsWith(c, "DEL") || EndsWith(c, "GND");
        const bool radar = EndsWith(c, "CTR") || EndsWith(c, "APP") || EndsWith(c, "DEP") ||
                           EndsWith(c, "TWR") || EndsWith(c, "FSS") || ground;
        if (radar && !(withoutGround && ground)) out.push_back(c);
    }
    return out;
}

std::vector<std::string> TarqControllerDB::GetAllCallsigns() const {
    std::vector<std::string> out;
    out.reserve(m_controllers.size());
    for (const auto& entry : m_controllers) out.push_back(entry.first);
    return out;
}

// --- position file and identifiers -------------------------------------------------

bool TarqControllerDB::LoadPOFFile() {
    std::string path = m_services.settings->GetString("POFFile");
    if (path.empty()) return false;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string contents;
    if (!ReadWholeFile(path, contents)) return false;
    SetPositionRecords(ParsePositionFile(contents));
    return true;
}

void TarqControllerDB::SetPositionRecords(std::vector<PofRecord> records) {
    m_records = std::move(records);
    m_reservedIds.clear();
    for (const PofRecord& record : m_records) {
        if (!record.positionId.empty()) m_reservedIds[record.positionId] = true;
    }
}

const PofRecord* TarqControllerDB::FindMatchingRecord(const std::string& callsign, int frequency) const {
    const CallsignParts parts = SplitCallsign(ToUpper(callsign));
    for (const PofRecord& record : m_records) {
        if (record.frequency == frequency && record.prefix == parts.prefix && record.suffix == parts.suffix) {
            return &record;
        }
    }
    return nullptr;
}

std::string TarqControllerDB::FindSymbol(const std::string& callsign, int frequency) const {
    if (const PofRecord* record = FindMatchingRecord(callsign, frequency)) return record->symbol;
    const std::string suffix = SplitCallsign(ToUpper(callsign)).suffix;
    static const std::pair<const char*, const char*> kLetters[] = {
        {"CTR", "C"}, {"APP", "A"}, {"DEP", "D"}, {"TWR", "T"}, {"GND", "G"}, {"DEL", "L"}, {"FSS", "F"}};
    for (const auto& [name, letter] : kLetters) {
        if (suffix == name) return letter;
    }
    return "?";
}

std::string TarqControllerDB::FindRadioCallsign(const std::string& callsign, int frequency) const {
    if (const PofRecord* record = FindMatchingRecord(callsign, frequency)) return record->radioCallsign;
    return ToUpper(callsign);
}

void TarqControllerDB::GetSquawkRange(const std::string& callsign, int frequency, uint16_t& low,
                                      uint16_t& high) const {
    if (const PofRecord* record = FindMatchingRecord(callsign, frequency)) {
        low = record->squawkLow;
        high = record->squawkHigh;
        return;
    }
    low = 1000;
    high = 6777;
}

bool TarqControllerDB::IsInPositionFile(const std::string& callsign, int frequency) const {
    if (callsign.find('_') == std::string::npos) return false;
    return FindMatchingRecord(callsign, frequency) != nullptr;
}

bool TarqControllerDB::IsIdHeldByOther(const std::string& id, const std::string& upperCallsign) const {
    for (const auto& [callsign, controller] : m_controllers) {
        if (callsign != upperCallsign && controller->GetPositionId() == id) return true;
    }
    return false;
}

std::string TarqControllerDB::GeneratePositionId(const std::string& callsign, int frequency,
                                                 bool positionFileOnly) const {
    const std::string upper = ToUpper(callsign);
    const CallsignParts parts = SplitCallsign(upper);
    for (const PofRecord& record : m_records) {
        if (record.frequency != frequency || record.prefix != parts.prefix || record.suffix != parts.suffix)
            continue;
        if (record.positionId.empty()) continue;  // a line without an identifier gives none
        if (positionFileOnly) return record.positionId;
        if (!IsIdHeldByOther(record.positionId, upper)) return record.positionId;
    }
    if (positionFileOnly) return {};

    std::string letter;
    int firstIndex = 0;
    static const std::pair<const char*, const char*> kLetters[] = {
        {"APP", "A"}, {"DEP", "D"}, {"TWR", "T"}, {"GND", "G"}, {"DEL", "D"}, {"FSS", "F"}, {"ATIS", "S"}};
    const bool centre = parts.suffix == "CTR";
    if (centre) {
        letter = "4";
        firstIndex = 26;
    } else {
        for (const auto& [name, l] : kLetters) {
            if (parts.suffix == name) letter = l;
        }
    }
    const int length = static_cast<int>(m_alphabet.size());
    for (int i = firstIndex; i <= length; ++i) {
        const std::string candidate = i < length ? letter + m_alphabet[i] : letter;
        if (!candidate.empty() && m_reservedIds.count(candidate) == 0 && !IsIdHeldByOther(candidate, upper)) {
            return candidate;
        }
        if (i == 25 && !centre) break;
    }
    return {};
}

void TarqControllerDB::RefreshPositionIds() {
    // Generated identifiers are kept: asking the position file alone would
    // wipe every identifier that did not come from it.
    for (auto& [callsign, controller] : m_controllers) {
        const std::string id = GeneratePositionId(callsign, controller->GetFrequency(), false);
        if (id != controller->GetPositionId()) SetIdentifier(*controller, callsign, id);
    }
    m_services.tools->RebuildControllerList();
}

void TarqControllerDB::RefreshSymbols() {
    for (auto& [callsign, controller] : m_controllers) {
        controller->SetSymbol(FindSymbol(callsign, controller->GetFrequency()));
    }
}

void TarqControllerDB::AssignPofRecord(TarqController& controller) {
    controller.SetSymbol(FindSymbol(controller.GetCallsign(), controller.GetFrequency()));
}

// --- flags ---------------------------------------------------------------------------

void TarqControllerDB::SetBreakRequest(const std::string& callsign, bool on) {
    if (TarqController* controller = GetController(callsign)) controller->SetBreakRequest(on);
}

void TarqControllerDB::SetHelpFlag(const std::string& callsign, bool on) {
    if (GetController(callsign)) m_helpFlags[ToUpper(callsign)] = on;
}

bool TarqControllerDB::GetHelpFlag(const std::string& callsign) const {
    auto it = m_helpFlags.find(ToUpper(callsign));
    return it != m_helpFlags.end() && it->second;
}

void TarqControllerDB::SetHelpMessage(const std::string& callsign, const std::string& text) {
    if (GetController(callsign)) m_helpMessages[ToUpper(callsign)] = text;
}

std::string TarqControllerDB::GetHelpMessage(const std::string& callsign) const {
    auto it = m_helpMessages.find(ToUpper(callsign));
    return it == m_helpMessages.end() ? std::string() : it->second;
}

// --- land lines ------------------------------------------------------------------------

void TarqControllerDB::PlaceCall(LandLineKind kind, const std::string& callsign) {
    if (!m_services.network->IsValidATC()) {
        m_services.messages->ShowError("You must be an active controller to initiate land line calls.");
        return;
    }
    if (!m_services.voice->PlaceLandLineCall(kind, callsign)) {
        m_services.messages->ShowError("Could not open land line.");
        return;
    }
    if (kind == LandLineKind::Intercom) m_services.tools->RebuildControllerList();
}

void TarqControllerDB::OpenIntercom(const std::string& callsign) {
    PlaceCall(LandLineKind::Intercom, callsign);
}

void TarqControllerDB::OpenOverride(const std::string& callsign) {
    PlaceCall(LandLineKind::Override, callsign);
}

void TarqControllerDB::StartMonitor(const std::string& callsign) {
    if (!m_monitoredController.empty()) {
        m_services.messages->ShowError("You can only monitor one controller at a time.");
        return;
    }
    if (!m_services.voice->PlaceLandLineCall(LandLineKind::Monitor, callsign)) {
        m_services.messages->ShowError("Could not open land line.");
        return;
    }
    m_monitoredController = callsign;
}

void TarqControllerDB::AcceptLandLine() {
    if (!m_services.voice->AcceptLandLineCall(m_incomingCaller)) {
        m_services.messages->ShowError("Could not accept land line call.");
    }
    m_services.tools->RebuildControllerList();
}

void TarqControllerDB::ToggleIntercomHold() {
    constexpr int kActive = 4;
    constexpr int kHeld = 7;
    const int state = m_services.voice->GetLandLineState(LandLineKind::Intercom, m_intercomPartner);
    if (state == kActive) {
        m_services.voice->HoldLandLine();
    } else if (state == kHeld) {
        m_services.voice->ResumeLandLine(m_intercomPartner);
    } else {
        return;
    }
    m_services.tools->RebuildControllerList();
}

void TarqControllerDB::StopLandLine() {
    m_services.voice->HangUpLandLine();
    m_services.tools->RebuildControllerList();
}
