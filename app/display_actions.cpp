// Tested through tests/app/program_test.cpp.
#include "app/display_actions.h"

#include "app/command_bindings.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "comms/chat_manager.h"
#include "comms/command_history.h"
#include "comms/command_processor.h"
#include "foundation/profile.h"
#include "foundation/sound_cues.h"
#include "foundation/text_helpers.h"
#include "scope/display_scope.h"
#include "scope/sticky_builder.h"

namespace {

WxDisplayWindow* MainWindow() {
    return g_displayManager ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay()) : nullptr;
}

std::string ProfileString(const std::string& key) {
    return g_profile ? g_profile->GetString(key) : std::string();
}

}  // namespace

void DisplayActionServices::RunCommand(const std::string& line) { m_window.RunCommand(line); }

void DisplayActionServices::ShowErrorLine(const std::string& text) { m_window.ShowErrorLine(text); }

void DisplayActionServices::ShowInfoLine(const std::string& text) { m_window.ShowInfoLine(text); }

void DisplayActionServices::PlayErrorSound() { PlayConfiguredSound(ProfileString("SoundError"), false); }

std::string DisplayActionServices::GetOwnCallsign() { return ProfileString("Callsign"); }

int DisplayActionServices::GetRating() { return g_profile ? g_profile->GetInt("Rating") : 0; }

std::vector<std::string> DisplayActionServices::GetScratchpadPresets() {
    return g_profile ? g_profile->GetListSetting("ScratchpadPresets") : std::vector<std::string>();
}

bool DisplayActionServices::HasAircraft(const std::string& callsign) {
    return g_aircraftDB && g_aircraftDB->HasAircraft(callsign);
}

std::string DisplayActionServices::GetTrackingController(const std::string& callsign) {
    return g_aircraftDB ? g_aircraftDB->GetTrackingController(callsign) : std::string();
}

bool DisplayActionServices::HasIncomingHandoff(const std::string& callsign) {
    return g_aircraftDB && g_aircraftDB->HasIncomingHandoff(callsign);
}

std::string DisplayActionServices::GetHandoffTarget(const std::string& callsign) {
    return g_aircraftDB ? g_aircraftDB->GetHandoffTarget(callsign) : std::string();
}

std::string DisplayActionServices::GetScratchpad(const std::string& callsign) {
    return g_aircraftDB ? g_aircraftDB->GetScratchpad(callsign) : std::string();
}

void DisplayActionServices::SetScratchpad(const std::string& callsign, const std::string& text) {
    if (g_aircraftDB) g_aircraftDB->SetScratchpad(callsign, GetOwnCallsign(), text, true);
}

void DisplayActionServices::ToggleRequestList(const std::string& callsign) {
    if (g_aircraftDB) g_aircraftDB->ToggleRequestList(callsign);
}

std::string DisplayActionServices::GetDeparture(const std::string& callsign) {
    return g_aircraftDB ? g_aircraftDB->GetFlightPlan(callsign).departure : std::string();
}

std::string DisplayActionServices::GetDestination(const std::string& callsign) {
    return g_aircraftDB ? g_aircraftDB->GetFlightPlan(callsign).destination : std::string();
}

std::string DisplayActionServices::GetCallsignForAircraftNumber(const std::string& number) {
    return g_aircraftDB ? g_aircraftDB->GetCallsignForAircraftNumber(number) : std::string();
}

std::vector<std::string> DisplayActionServices::FindCallsignsContaining(const std::string& text) {
    return g_aircraftDB ? g_aircraftDB->FindCallsignsContaining(text) : std::vector<std::string>();
}

std::string DisplayActionServices::FindListedCallsign(char key) {
    return g_aircraftList ? g_aircraftList->GetCallsignForLabel(std::string(1, key)) : std::string();
}

std::vector<MenuController> DisplayActionServices::GetRadarControllers() {
    std::vector<MenuController> out;
    if (!g_controllerDB) return out;
    for (const std::string& callsign : g_controllerDB->GetControllerCallsigns(false)) {
        const TarqController* controller = g_controllerDB->GetController(callsign);
        if (controller) out.push_back({callsign, controller->GetPositionId()});
    }
    return out;
}

bool DisplayActionServices::HasController(const std::string& callsign) {
    return g_controllerDB && g_controllerDB->GetController(callsign) != nullptr;
}

void DisplayActionServices::InitiateHandoff(const std::string& callsign, const std::string& positionId) {
    if (g_aircraftDB) g_aircraftDB->InitiateHandoff(callsign, positionId);
}

void DisplayActionServices::ShowControllerInfo(const std::string& callsign) {
    if (g_controllerList) g_controllerList->ShowControllerInfo(callsign);
}

bool DisplayActionServices::IsValidATC() { return g_networkManager && g_networkManager->IsValidATC(); }

void DisplayActionServices::SendPointOut(const std::string& controller, const std::string& callsign) {
    if (g_networkManager) g_networkManager->SendPointOut(controller, callsign);
}

bool DisplayActionServices::HasSelcal(const std::string& callsign) {
    return g_selcalPanel && g_selcalPanel->Codes().ContainsCallsign(callsign);
}

void DisplayActionServices::SendSelcal(const std::string& callsign) {
    if (g_selcalPanel) g_selcalPanel->Codes().SendSelected(callsign);
}

void DisplayActionServices::AddStrip(const std::string& callsign) {
    if (g_flightStripBay) g_flightStripBay->AddStripForAircraft(callsign);
}

void DisplayActionServices::RequestMetar(const std::string& station) {
    if (!g_weatherPanel) return;
    g_weatherPanel->Store().RequestMetar(station);
    g_weatherPanel->Show();
    if (g_displayManager) g_displayManager->RebuildAllMenus();
}

void DisplayActionServices::OpenTextEntry(const TextEntryRequest& request) {
    m_window.ShowTextEntryDialog(request);
}

std::string DisplayActionServices::GetSelectedCallsign() {
    return g_displayManager ? g_displayManager->GetSelectedCallsign() : std::string();
}

void DisplayActionServices::SetSelectedCallsign(const std::string& callsign) {
    if (g_displayManager) g_displayManager->SetSelectedCallsign(callsign);
}

std::string DisplayActionServices::GetCommandLine() {
    WxDisplayWindow* main = MainWindow();
    return main ? main->GetCommandLine() : std::string();
}

void DisplayActionServices::SetCommandLine(const std::string& text) {
    if (WxDisplayWindow* main = MainWindow()) main->SetCommandLine(text);
}

void DisplayActionServices::AddToCommandHistory(const std::string& text) {
    // Recalled as it ran: blanks collapsed as the command processor does.
    CommandProcessorOfShell().History().Add(ReplaceAll(text, "  ", " "));
}

void DisplayActionServices::ShowRoute(const std::string& callsign) {
    if (TarqDisplayScope* scope = m_window.GetScope()) scope->ShowRoute(callsign, true);
}

void DisplayActionServices::ShowConvergence(const std::string& a, const std::string& b) {
    if (TarqDisplayScope* scope = m_window.GetScope()) scope->ShowConvergence(a, b);
}

void DisplayActionServices::AddSeparationLink(const std::string& a, const std::string& b) {
    if (TarqDisplayScope* scope = m_window.GetScope()) scope->AddSeparationLink(a, b);
}

bool DisplayActionServices::FindNamedPoint(const std::string& name) {
    ScopePoint point;
    TarqDisplayScope* scope = m_window.GetScope();
    return scope && scope->FindNamedPoint(name, point);
}

void DisplayActionServices::AddAnchor(const std::string& callsign, const std::string& pointName) {
    ScopePoint point;
    TarqDisplayScope* scope = m_window.GetScope();
    if (scope && scope->FindNamedPoint(pointName, point)) scope->AddAnchor(callsign, pointName, point);
}

std::string DisplayActionServices::GetNoteText(uint64_t key) {
    TarqDisplayScope* scope = m_window.GetScope();
    return scope ? scope->GetStickyBuilder()->GetNoteText(key) : std::string();
}

void DisplayActionServices::SetNoteText(uint64_t key, const std::string& text) {
    if (TarqDisplayScope* scope = m_window.GetScope()) scope->GetStickyBuilder()->SetNoteText(key, text);
}

void DisplayActionServices::RemoveNote(uint64_t key) {
    if (TarqDisplayScope* scope = m_window.GetScope()) scope->GetStickyBuilder()->RemoveNote(key);
}

void DisplayActionServices::ShowTrafficCall(const std::string& a, const std::string& b) {
    m_window.ShowTrafficCall(a, b);
}

void DisplayActionServices::ShowFlightPlan(const std::string& callsign) {
    if (g_networkManager) g_networkManager->RequestFlightPlan(callsign);
    if (g_flightPlanEditor) {
        g_flightPlanEditor->ShowFlightPlan(callsign);
        g_flightPlanEditor->Show();
        g_flightPlanEditor->Activate();
    }
    if (WxDisplayWindow* main = MainWindow()) main->Activate();
}

int DisplayActionServices::GetInt(const std::string& key) { return g_profile ? g_profile->GetInt(key) : 0; }

void DisplayActionServices::SelectAllCommandLine() {
    if (WxDisplayWindow* main = MainWindow()) main->SelectAllCommandLine();
}

void DisplayActionServices::SelectAircraftFromCommandLine() {
    m_window.GetAircraftActions().SelectAircraftFromCommandLine();
}

void DisplayActionServices::SelectControllerFromCommandLine() {
    if (WxDisplayWindow* main = MainWindow()) main->SelectControllerFromCommandLine();
}

void DisplayActionServices::ClearSelectedCallsign() { SetSelectedCallsign(""); }

std::string DisplayActionServices::PreviousCommand(const std::string& current) {
    return CommandProcessorOfShell().History().Previous(current);
}

std::string DisplayActionServices::NextCommand(const std::string& current) {
    return CommandProcessorOfShell().History().Next(current);
}

void DisplayActionServices::ActivateLastChatWindow() {
    if (g_chatManager) g_chatManager->ActivateLastChatWindow();
}

bool DisplayActionServices::RadioHistoryKey(int virtualKey, bool ctrl) {
    return m_window.RadioHistoryKey(virtualKey, ctrl);
}
