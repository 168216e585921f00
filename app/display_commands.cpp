// Tested by tests/app/display_commands_test.cpp.
#include "app/display_commands.h"

#include <algorithm>

#include "app/display.h"
#include "app/global_objects.h"
#include "app/session.h"
#include "app/shell_state.h"
#include "foundation/profile.h"
#include "foundation/program_version.h"
#include "foundation/prompts.h"
#include "foundation/sound_cues.h"
#include "platform/message_box.h"
#include "scope/display_scope.h"

namespace {

template <typename Window>
bool Toggle(Window* window) {
    if (!window) return false;
    window->ToggleVisible();
    return true;
}

// False for a kind with no window.
bool ToggleToolWindow(ToolWindowKind kind) {
    switch (kind) {
        case ToolWindowKind::CommsPanel:
            return Toggle(g_commsPanel);
        case ToolWindowKind::AircraftList:
            return Toggle(g_aircraftList);
        case ToolWindowKind::ControllerList:
            return Toggle(g_controllerList);
        case ToolWindowKind::WeatherPanel:
            return Toggle(g_weatherPanel);
        case ToolWindowKind::StripBay:  // handled apart
            return false;
        case ToolWindowKind::SelcalPanel:
            return Toggle(g_selcalPanel);
        case ToolWindowKind::None:
            break;
    }
    return false;
}

const TarqToolWindowPlace* ToolWindow(ToolWindowKind kind) {
    switch (kind) {
        case ToolWindowKind::CommsPanel:
            return g_commsPanel;
        case ToolWindowKind::AircraftList:
            return g_aircraftList;
        case ToolWindowKind::ControllerList:
            return g_controllerList;
        case ToolWindowKind::WeatherPanel:
            return g_weatherPanel;
        case ToolWindowKind::StripBay:
            return g_flightStripBay;
        case ToolWindowKind::SelcalPanel:
            return g_selcalPanel;
        case ToolWindowKind::None:
            break;
    }
    return nullptr;
}

void MarkModified() {
    if (g_profile) g_profile->SetModified(true);
}

// The display of the window activated last; the keys act on it.
TarqDisplay* ActiveDisplay() { return g_displayManager ? g_displayManager->GetActiveDisplay() : nullptr; }

TarqDisplayScope* ActiveScope() {
    TarqDisplay* display = ActiveDisplay();
    return display ? display->GetScope() : nullptr;
}

}  // namespace

TarqDisplayCommands::TarqDisplayCommands(const TarqDisplaySettings& settings, bool isMain,
                                         TarqDisplay& display, TarqDisplayCommandHost& host,
                                         TarqSessionUi& session)
    : m_settings(settings), m_isMain(isMain), m_display(display), m_host(host), m_session(session) {}

bool TarqDisplayCommands::OnMenuCommand(int id) {
    if (id >= kFirstColorProfileId && id <= kLastColorProfileId) {
        std::vector<std::string> names = ColorProfileNames();
        size_t index = static_cast<size_t>(id - kFirstColorProfileId);
        if (index >= names.size()) return true;
        SetColorProfile(names[index]);
        MarkModified();
        return true;
    }
    if (id >= static_cast<int>(CommandId::SaveBookmark1) &&
        id <= static_cast<int>(CommandId::RecallBookmark0)) {
        TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr;
        if (!main) return true;
        const int offset = id - static_cast<int>(CommandId::SaveBookmark1);
        if (id == static_cast<int>(CommandId::RecallBookmark0))
            main->RecallBookmark(0);
        else if (offset % 2 == 0)
            main->SaveBookmark(offset / 2 + 1);
        else
            main->RecallBookmark(offset / 2 + 1);
        return true;
    }
    const CommandRow* row = FindCommand(id);
    if (!row) return false;
    if (row->radarMode != 0) {
        m_settings.Mode = row->radarMode;
        m_host.RebuildMenus();
        // The scope cursor follows the main display's mode.
        ApplyDisplaySettings();
        MarkModified();
        return true;
    }
    if (row->showBit != 0) {
        m_settings.Toggles ^= row->showBit;
        // The radio history's visibility is not a setting of the session.
        if (row->id != CommandId::RadioHistory) MarkModified();
        m_host.RebuildMenus();
        return true;
    }
    if (row->tool == ToolWindowKind::StripBay && g_flightStripBay) {
        g_flightStripBay->ToggleVisible();
        if (g_displayManager) g_displayManager->RebuildAllMenus();
        return true;
    }
    if (ToggleToolWindow(row->tool)) {
        if (g_displayManager) g_displayManager->RebuildAllMenus();
        return true;
    }
    if (row->prefill) {
        if (TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr) {
            main->PrefillCommandLine(row->prefill);
        }
        return true;
    }
    if (row->helpPage) {
        const std::string error = OpenHelpPage(
            HelpPageUrl(row->id), [this](const std::string& url) { return m_host.OpenUrl(url); });
        if (!error.empty() && g_displayManager) g_displayManager->ShowError(error);
        return true;
    }
    switch (row->id) {
        case CommandId::NewWindow:
            if (g_displayManager) g_displayManager->NewWindow(m_display);
            MarkModified();
            return true;
        case CommandId::CloseWindow:
            OnCloseRequest();
            return true;
        case CommandId::Exit:
            ReturnToProfileDialog = false;
            CloseSession(m_host.GetWindow(), true, m_session);
            return true;
        case CommandId::OpenSessionProfile:
            ReturnToProfileDialog = true;
            if (!CloseSession(m_host.GetWindow(), false, m_session)) ReturnToProfileDialog = false;
            return true;
        case CommandId::SaveSessionProfile:
            if (g_profile) g_profile->Save();
            return true;
        case CommandId::SaveSessionProfileAs:
            TarqProfile::ShowProfileDialog(m_host.GetWindow());
            return true;
        case CommandId::FiltersActive:
        case CommandId::ToggleAltitudeFilters:
            ToggleFilters(ActiveDisplay());
            return true;
        case CommandId::ToggleQuicklook:
            ToggleQuicklook(ActiveDisplay());
            return true;
        case CommandId::Quicklook:
            ToggleQuicklook(&m_display);
            return true;
        case CommandId::Declutter:
            if (TarqDisplayScope* scope = ActiveScope()) {
                scope->Declutter();
                g_displayManager->ClearSeeAll();
            }
            return true;
        case CommandId::ToggleSepRings:
            if (TarqDisplayScope* scope = ActiveScope()) scope->ToggleSepRings();
            return true;
        case CommandId::GeneralSettings:
        case CommandId::ColorProfiles:
        case CommandId::Sounds:
        case CommandId::AudioDevices:
        case CommandId::CalibrateMic:
        case CommandId::FiltersConfigure:
        case CommandId::ModifyColorProfile:
            // The settings dialogs are not written yet: their items do nothing.
            return true;
        case CommandId::ClearMessageWaiting:
            m_host.ClearMessageWaiting();
            return true;
        case CommandId::StopSound:
            if (g_aircraftDB && g_aircraftDB->IsSoundPlaying()) g_aircraftDB->StopSound();
            return true;
        case CommandId::About:
            ShowAbout();
            return true;
        case CommandId::Connect:
            m_host.ShowConnectDialog();
            return true;
        case CommandId::Disconnect:
            Disconnect();
            return true;
        case CommandId::StartMpSession:
            StartMpSession();
            m_host.RebuildMenus();
            return true;
        case CommandId::AtisMaker:
            if (g_atisMaker) g_atisMaker->ShowDialog();
            return true;
        case CommandId::IncomingChatLog:
            if (g_chatManager) g_chatManager->ShowIncomingChatLog();
            if (g_displayManager) g_displayManager->RebuildAllMenus();
            return true;
        case CommandId::ZoomIn:
        case CommandId::ZoomInFast:
        case CommandId::ZoomOut:
        case CommandId::ZoomOutFast:
            Zoom(row->id);
            return true;
        default:
            // An id the display does not carry out (the window takes its own first).
            return false;
    }
}

bool TarqDisplayCommands::CheckConnected() {
    if (g_networkManager && g_networkManager->IsConnected()) return true;
    if (g_displayManager) g_displayManager->ShowError("Not connected.");
    return false;
}

void TarqDisplayCommands::StartMpSession() {
    if (!g_fsmpManager || !g_displayManager) return;
    g_displayManager->ShowMessage("Starting multiplayer session. This will take a few moments...");
    // Connecting takes a while: the line shows first.
    m_host.Redraw();
    if (!g_fsmpManager->Connect()) {
        g_displayManager->ShowError("Error starting multiplayer session.");
        return;
    }
    g_displayManager->ShowMessage("Success.");
    TarqDisplayScope* scope = m_display.GetScope();
    if (scope && !scope->HasPrimaryVisibilityCenter()) {
        if (g_profile) PlayConfiguredSound(g_profile->GetString("SoundReminder"), false);
        g_displayManager->ShowMessage("Remember to set your primary visibility center!");
    }
}

void TarqDisplayCommands::ToggleFilters(TarqDisplay* target) {
    TarqDisplayScope* scope = target ? target->GetScope() : nullptr;
    if (!scope) {
        // A display without a scope keeps the state itself.
        m_filtersEnabled = !m_filtersEnabled;
        m_host.UpdateTitle();
        m_host.RebuildMenus();
        return;
    }
    scope->ToggleFilters();
    target->RebuildMenus();
}

void TarqDisplayCommands::ToggleQuicklook(TarqDisplay* target) {
    TarqDisplayScope* scope = target ? target->GetScope() : nullptr;
    if (!scope) {
        m_quicklook = !m_quicklook;
        m_host.UpdateTitle();
        m_host.RebuildMenus();
        return;
    }
    scope->ToggleQuicklook();
    target->RebuildMenus();
}

void TarqDisplayCommands::Zoom(CommandId id) {
    const bool fast = id == CommandId::ZoomInFast || id == CommandId::ZoomOutFast;
    const bool in = id == CommandId::ZoomIn || id == CommandId::ZoomInFast;
    if (TarqDisplayScope* scope = ActiveScope()) {
        if (in)
            scope->ZoomIn(fast);
        else
            scope->ZoomOut(fast);
        return;
    }
    if (in)
        m_host.ZoomIn(fast);
    else
        m_host.ZoomOut(fast);
}

bool TarqDisplayCommands::FiltersEnabled() const {
    const TarqDisplayScope* scope = m_display.GetScope();
    return scope ? scope->AreFiltersEnabled() : m_filtersEnabled;
}

bool TarqDisplayCommands::QuicklookEnabled() const {
    const TarqDisplayScope* scope = m_display.GetScope();
    return scope ? scope->IsQuicklookEnabled() : m_quicklook;
}

void TarqDisplayCommands::ShowAbout() {
    ShowMessageBox(std::string("Tarqline\r\n\r\nVersion: ") + kProgramVersion +
                       "\r\n\r\nAn ATC client for the Peltan network.",
                   std::string("About ") + kProgramName,
                   {MessageBoxButtons::Ok, MessageBoxIcon::Information, 0}, m_host.GetWindow());
}

void TarqDisplayCommands::Disconnect() {
    if (!g_networkManager) return;
    // A pending attempt is cancelled without asking: nothing is signed on yet.
    if (g_networkManager->IsConnected() && g_profile && g_profile->GetBool("PromptDisconnect") &&
        !ConfirmDisconnect(m_host.GetWindow()))
        return;
    g_networkManager->Disconnect();
    if (g_controllerDB) g_controllerDB->Clear();
    if (g_aircraftDB) g_aircraftDB->Clear();
    if (g_controllerList) g_controllerList->Rebuild();
    if (g_commsPanel) g_commsPanel->SyncVoiceCheckboxes();
}

void TarqDisplayCommands::OnCloseRequest() {
    if (m_isMain) {
        CloseSession(m_host.GetWindow(), true, m_session);
        return;
    }
    ReturnToProfileDialog = false;
    MarkModified();
    if (g_displayManager) g_displayManager->ScheduleClose(m_host.GetWindow());
}

void TarqDisplayCommands::SetColorProfile(const std::string& name) {
    m_settings.ColorProfile = name;
    if (g_profile) m_host.SetBackgroundColor(name, g_profile->GetColor(name, "ColorBackground"));
    m_host.RebuildMenus();
    m_host.Redraw();
}

TitleState TarqDisplayCommands::Title(int displayNumber) const {
    TitleState state;
    state.displayNumber = displayNumber;
    state.profileName = g_profile ? g_profile->GetProfileName() : "";
    state.isMain = m_isMain;
    state.connected = g_networkManager && g_networkManager->IsConnected();
    if (state.connected && g_profile) state.server = g_profile->GetString("Server");
    state.filtersEnabled = FiltersEnabled();
    state.quicklook = QuicklookEnabled();
    return state;
}

std::vector<MenuItemState> TarqDisplayCommands::MenuStates() const {
    std::vector<MenuItemState> states;
    bool connected = g_networkManager && g_networkManager->IsConnected();
    bool connecting = g_networkManager && g_networkManager->IsConnecting();
    for (const CommandRow& row : CommandTable()) {
        int place = m_isMain ? kMainMenu : kSecondaryMenu;
        if (!(row.places & place)) continue;
        MenuItemState state{row.id, false, true};
        if (row.showBit != 0) {
            state.checked = (m_settings.Toggles & row.showBit) != 0;
        } else if (row.radarMode != 0) {
            state.checked = row.radarMode == m_settings.Mode;
        } else if (row.tool != ToolWindowKind::None) {
            const TarqToolWindowPlace* window = ToolWindow(row.tool);
            state.checked = window && window->IsVisible();
        } else {
            switch (row.id) {
                case CommandId::Quicklook:
                    state.checked = QuicklookEnabled();
                    break;
                case CommandId::FiltersActive:
                    state.checked = FiltersEnabled();
                    break;
                case CommandId::IncomingChatLog:
                    state.checked = g_chatManager && g_chatManager->IsIncomingChatLogOpen();
                    break;
                case CommandId::Connect:
                    state.enabled = !connected;
                    break;
                case CommandId::Disconnect:
                    state.enabled = connected || connecting;
                    break;
                case CommandId::StartMpSession:
                    state.enabled = !(g_fsmpManager && g_fsmpManager->IsConnected());
                    break;
                default:
                    continue;  // nothing about it changes
            }
        }
        states.push_back(state);
    }
    return states;
}

std::vector<std::string> TarqDisplayCommands::ColorProfileNames() const {
    std::vector<std::string> names;
    if (g_profile) g_profile->GetColorProfileNames(names);
    std::sort(names.begin(), names.end());
    if (names.size() > kMaxColorProfileItems) names.resize(kMaxColorProfileItems);
    return names;
}
