// Tested through tests/app/session_test.cpp.
#include "app/strip_bay_services.h"

#include <algorithm>

#include "app/display_manager.h"
#include "app/global_objects.h"
#include "atc/aircraft_db.h"
#include "atc/controller_db.h"
#include "foundation/profile.h"
#include "net/network_manager.h"

namespace {

bool Listed(const char* key, const std::string& airport) {
    if (!g_profile || airport.empty()) return false;
    const std::vector<std::string> fields = g_profile->GetListSetting(key);
    return std::find(fields.begin(), fields.end(), airport) != fields.end();
}

}  // namespace

TarqFlightPlanRecord ShellStripBayServices::GetFlightPlan(const std::string& callsign) const {
    if (g_aircraftDB && g_aircraftDB->HasFlightPlan(callsign)) return g_aircraftDB->GetFlightPlan(callsign);
    TarqFlightPlanRecord none;
    none.flightRules = 'I';
    return none;
}

int ShellStripBayServices::GetAircraftNumber(const std::string& callsign) const {
    return g_aircraftDB ? g_aircraftDB->GetAircraftNumber(callsign) : 0;
}

int ShellStripBayServices::GetAssignedSquawk(const std::string& callsign) const {
    return g_aircraftDB ? g_aircraftDB->GetAssignedSquawk(callsign) : 0;
}

int ShellStripBayServices::GetTemporaryAltitude(const std::string& callsign) const {
    return g_aircraftDB ? g_aircraftDB->GetTemporaryAltitude(callsign) : 0;
}

std::string ShellStripBayServices::GetScratchpad(const std::string& callsign) const {
    return g_aircraftDB ? g_aircraftDB->GetScratchpad(callsign) : std::string();
}

bool ShellStripBayServices::IsArrivalField(const std::string& airport) const {
    return Listed("ArrivalFields", airport);
}

bool ShellStripBayServices::IsDepartureField(const std::string& airport) const {
    return Listed("DepartureFields", airport);
}

int ShellStripBayServices::GetColorSetting(const std::string& key) const {
    return g_profile ? g_profile->GetInt(key) : 0;
}

std::string ShellStripBayServices::GetSelectedCallsign() const {
    return g_displayManager ? g_displayManager->GetSelectedCallsign() : std::string();
}

StripTextExtent ShellStripBayServices::GetTextExtent(int font, const std::string& text) const {
    if (measure) return measure(font, text);
    return {7 * static_cast<int>(text.size()), font == kStripLargeFont ? 37 : 13};
}

bool ShellStripBayServices::HasReceivedFlightPlan(const std::string& callsign) const {
    return g_aircraftDB && g_aircraftDB->HasFlightPlan(callsign) &&
           !g_aircraftDB->GetFlightPlan(callsign).placeholder;
}

void ShellStripBayServices::RequestFlightPlan(const std::string& callsign) {
    if (!g_networkManager || !g_networkManager->IsConnected()) return;
    // The bay asks on its own for a pushed strip's plan: a pilot without one
    // is no news to the user.
    SetSuppressedLookup(callsign);
    g_networkManager->RequestFlightPlan(callsign);
}

void ShellStripBayServices::PushFlightStrip(const std::string& to, const std::string& callsign, int type,
                                            const std::vector<std::string>& annotations) {
    if (g_networkManager && g_networkManager->IsConnected()) {
        g_networkManager->PushFlightStrip(to, callsign, type, annotations);
    }
}

void ShellStripBayServices::ShowError(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowError(text);
}

void ShellStripBayServices::ShowMessage(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowMessage(text);
}

void ShellStripBayServices::SetProfileModified() {
    if (g_profile) g_profile->SetModified(true);
}

bool ShellStripBayServices::GetBoolSetting(const std::string& key) const {
    return g_profile && g_profile->GetBool(key);
}

bool ShellStripBayServices::IsValidATC() const { return g_networkManager && g_networkManager->IsValidATC(); }

bool ShellStripBayServices::ControllerExists(const std::string& callsign) const {
    return g_controllerDB && g_controllerDB->GetController(callsign) != nullptr;
}

std::vector<std::string> ShellStripBayServices::ListRadarControllers() const {
    return g_controllerDB ? g_controllerDB->GetControllerCallsigns(false) : std::vector<std::string>{};
}

void ShellStripBayServices::ShowFlightPlan(const std::string& callsign, bool raise) {
    if (!g_flightPlanEditor) return;
    g_flightPlanEditor->ShowFlightPlan(callsign);
    if (!raise) return;
    g_flightPlanEditor->Show();
    g_flightPlanEditor->Activate();
    if (activateMainDisplay) activateMainDisplay();
}

void ShellStripBayServices::SelectAircraft(const std::string& callsign) {
    if (g_displayManager) g_displayManager->SetSelectedCallsign(callsign);
    if (activateMainDisplay) activateMainDisplay();
}
