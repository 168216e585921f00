// A display window's scope host over the global objects.
// Tested through tests/app/scope_program_test.cpp.
#include "app/display_scope_host.h"

#include <ctime>

#include "app/command_bindings.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/shell_state.h"
#include "comms/command_processor.h"
#include "foundation/profile.h"
#include "foundation/start_directory.h"
#include "foundation/text_helpers.h"
#include "platform/message_box.h"
#include "scope/display_scope.h"

namespace {

// The scope that holds a sticky-note drag across displays; main thread only.
TarqDisplayScope* g_captureScope = nullptr;

WxDisplayWindow* MainWindow() {
    return g_displayManager ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay()) : nullptr;
}

}  // namespace

int DisplayScopeHost::GetColor(const std::string& key) {
    return g_profile ? g_profile->GetColor(m_display.GetColorProfileName(), key) : 0xFFFFFF;
}

std::string DisplayScopeHost::GetColorProfileName() const { return m_display.GetColorProfileName(); }

int DisplayScopeHost::GetInt(const std::string& key) { return g_profile ? g_profile->GetInt(key) : 0; }

bool DisplayScopeHost::GetBool(const std::string& key) { return g_profile && g_profile->GetBool(key); }

bool DisplayScopeHost::IsVFRCode(uint16_t code) { return g_profile && g_profile->IsVFRCode(code); }

bool DisplayScopeHost::IsMainDisplay() const { return m_display.IsMainDisplay(); }

TarqDisplayScope* DisplayScopeHost::GetMainScope() {
    TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr;
    return main ? main->GetScope() : nullptr;
}

void DisplayScopeHost::ShowError(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowError(text);
}

void DisplayScopeHost::ShowInfo(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowMessage(text);
}

void DisplayScopeHost::ShowErrorBox(const std::string& text, const std::string& caption) {
    ShowMessageBox(text, caption, {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0}, m_display.GetWindow());
}

void DisplayScopeHost::Redraw(bool resetProjection) { m_display.Redraw(resetProjection, 0); }

void DisplayScopeHost::RebuildMenus() { m_display.RebuildMenus(); }

void DisplayScopeHost::UpdateTitle() { m_display.UpdateTitle(); }

int64_t DisplayScopeHost::NowSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

bool DisplayScopeHost::FindAircraft(const std::string& callsign, ScopeAircraft& out) {
    const TarqAircraft* aircraft = g_aircraftDB ? g_aircraftDB->GetAircraft(callsign) : nullptr;
    if (!aircraft) return false;
    out.position = aircraft->GetPosition(0.0, 0.0);
    out.groundSpeed = aircraft->GetGroundSpeed();
    out.heading = aircraft->GetHeading();
    out.smoothedPosition = aircraft->GetSmoothedPosition(0.0, 0.0);
    out.smoothedAltitude = aircraft->GetSmoothedAltitude();
    out.smoothedHeading = aircraft->GetSmoothedHeading();
    return true;
}

ScopeFlightPlan DisplayScopeHost::GetFlightPlan(const std::string& callsign) {
    if (!g_aircraftDB) return {};
    TarqFlightPlanRecord plan = g_aircraftDB->GetFlightPlan(callsign);
    return {plan.departure, plan.destination, plan.route};
}

std::string DisplayScopeHost::GetSelectedCallsign() {
    return g_displayManager ? g_displayManager->GetSelectedCallsign() : std::string();
}

std::string DisplayScopeHost::GetCommandLine() {
    WxDisplayWindow* main = MainWindow();
    return main ? main->GetCommandLine() : std::string();
}

void DisplayScopeHost::SetCommandLine(const std::string& text) {
    if (WxDisplayWindow* main = MainWindow()) main->PrefillCommandLine(text);
}

void DisplayScopeHost::AddToCommandHistory(const std::string& text) {
    CommandProcessorOfShell().History().Add(ReplaceAll(text, "  ", " "));
}

bool DisplayScopeHost::ExpandAliases(const std::string& text, std::string& out,
                                     const std::string& contextCallsign) {
    return ::ExpandAliases(text, out, contextCallsign);
}

int DisplayScopeHost::MeasureText(const std::string& text, int fontId) {
    WxDisplayWindow* main = MainWindow();
    return main ? main->MeasureText(fontId, text).width : 0;
}

PixelPoint DisplayScopeHost::GetMouseReadoutPlace(int, int height) {
    constexpr int kLeft = 10;
    constexpr int kAbove = 8;
    auto* window = dynamic_cast<WxDisplayWindow*>(&m_display);
    TarqDisplayRadioHistory* history = window ? window->GetRadioHistory() : nullptr;
    if (!history || !(window->GetShowMask() & TarqDisplayFurniture::kShowRadioHistory))
        return {kLeft, kAbove};
    if (history->GetOffset() >= 0) return {kLeft, history->GetOffset() + kAbove};
    // Expanded, the history leaves a strip between its top (57 px below the
    // viewport's) and the button bar.
    return {kLeft, height - 55};
}

int DisplayScopeHost::GetOverlayTop(int height) {
    auto* window = dynamic_cast<WxDisplayWindow*>(&m_display);
    if (!window || !window->GetRadioHistory() || !(window->GetShowMask() & TarqDisplayFurniture::kShowButtonBar))
        return height - 1;
    // The bar's buttons stand kMargin below the top edge; one more margin
    // keeps the overlay off their frames.
    return height - 1 - TarqDisplayButtonBar::kHeight - 2 * TarqDisplayButtonBar::kMargin;
}

TarqDisplayScope* DisplayScopeHost::GetCaptureScope() { return g_captureScope; }

void DisplayScopeHost::SetCaptureScope(TarqDisplayScope* scope) { g_captureScope = scope; }

uint32_t DisplayScopeHost::GetDebugFlags() { return DebugFlags; }

void DisplayScopeHost::MarkProfileModified() {
    if (g_profile) g_profile->SetModified(true);
}

std::string DisplayScopeHost::GetStartDirectory() { return StartDirectory; }

void DisplayScopeHost::GetOceanicTracks(OceanicTrackMap& out) {
    if (g_oceanicTracksDB)
        g_oceanicTracksDB->GetTracks(out);
    else
        out.clear();
}

void DisplayScopeHost::StartOceanicTracksDownload() {
    if (g_oceanicTracksDB) g_oceanicTracksDB->StartDownload();
}

void DisplayScopeHost::ForceVisibilityUpdate() {
    if (g_networkManager) g_networkManager->ForceVisibilityUpdate();
}

TarqAircraftDB* DisplayTargetEnvironment::GetAircraftDB() { return g_aircraftDB; }

TarqControllerDB* DisplayTargetEnvironment::GetControllerDB() { return g_controllerDB; }

std::string DisplayTargetEnvironment::GetString(const std::string& key) {
    return g_profile ? g_profile->GetString(key) : std::string();
}

std::vector<std::string> DisplayTargetEnvironment::GetList(const std::string& key) {
    return g_profile ? g_profile->GetListSetting(key) : std::vector<std::string>();
}

int DisplayTargetEnvironment::GetPrimaryFrequency() {
    return g_commsPanel ? g_commsPanel->GetPrimaryFrequency() : 0;
}

bool DisplayTargetEnvironment::IsSeeAll() { return g_displayManager && g_displayManager->IsSeeAll(); }

// No command, menu or message of the program suppresses an aircraft.
bool DisplayTargetEnvironment::IsSuppressed(const std::string&) { return false; }

void DisplayTargetEnvironment::SetSelectedCallsign(const std::string& callsign) {
    if (g_displayManager) g_displayManager->SetSelectedCallsign(callsign);
}

void DisplayTargetEnvironment::ShowFlightPlanDetails(const std::string& callsign) {
    if (g_aircraftList) g_aircraftList->ShowFlightPlanDetails(callsign);
}
