// Saving the open session profile with its live windows, display layouts and
// colour profiles; "Save Profile As".
#include <string>
#include <vector>

#include "foundation/display_services.h"
#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "foundation/session_services.h"
#include "foundation/settings_catalogue.h"
#include "foundation/text_helpers.h"
#include "foundation/tool_window_place.h"
#include "foundation/user_registry.h"
#include "platform/message_box.h"

TarqDisplayServices* g_displayServices = nullptr;
TarqSessionToolWindows g_sessionToolWindows;
TarqChatLogState* g_chatLogState = nullptr;
TarqStripSeparators* g_stripSeparators = nullptr;
TarqAlarmSound* g_alarmSound = nullptr;

namespace {

TarqProfile::ProfileDialogRunner g_profileDialogRunner = nullptr;

std::string JoinList(const std::vector<std::string>& items) {
    return JoinStrings(items, std::string_view(&kListSeparator, 1));
}

void SaveToolWindow(CIniFile& ini, const std::string& section, const TarqToolWindowPlace* window,
                    const std::string& stem, bool withHeight) {
    if (!window) return;
    ScreenRect rect;
    window->GetRect(&rect);
    ini.SetBool(section, stem + "Visible", window->IsVisible());
    ini.SetInt(section, stem + "LocX", rect.left);
    ini.SetInt(section, stem + "LocY", rect.top);
    if (withHeight) ini.SetInt(section, stem + "Height", rect.bottom - rect.top);
}

void SaveDisplay(CIniFile& ini, const std::string& section, const TarqDisplaySettings& s, int display) {
    auto key = [display](const char* format) { return FormDisplayKey(format, display); };
    // A minimised window's rectangle is not where it will be restored to.
    if (!s.Minimized) {
        ini.SetInt(section, key("DisplayLocX%d"), s.LocX);
        ini.SetInt(section, key("DisplayLocY%d"), s.LocY);
        ini.SetInt(section, key("DisplayWidth%d"), s.Width);
        ini.SetInt(section, key("DisplayHeight%d"), s.Height);
        ini.SetBool(section, key("DisplayMaximized%d"), s.Maximized);
    }
    ini.SetFloat(section, key("DisplayCenterLon%d"), s.CenterLon);
    ini.SetFloat(section, key("DisplayCenterLat%d"), s.CenterLat);
    ini.SetFloat(section, key("DisplayRingLon%d"), s.RingLon);
    ini.SetFloat(section, key("DisplayRingLat%d"), s.RingLat);
    ini.SetFloat(section, key("DisplayZoom%d"), s.Zoom);
    ini.SetInt(section, key("DisplayMode%d"), s.Mode);
    ini.SetText(section, key("DisplaySectorFile%d"), s.SectorFile, true);
    ini.SetInt(section, key("DisplayToggles%d"), s.Toggles);
    ini.SetText(section, key("VisibleSIDs%d"), JoinList(s.VisibleSIDs), true);
    ini.SetText(section, key("VisibleSTARs%d"), JoinList(s.VisibleSTARs), true);
    ini.SetText(section, key("VisibleFixes%d"), JoinList(s.VisibleFixes), true);
    ini.SetText(section, key("VisibleVORs%d"), JoinList(s.VisibleVORs), true);
    ini.SetText(section, key("VisibleNDBs%d"), JoinList(s.VisibleNDBs), true);
    ini.SetText(section, key("VisibleAirports%d"), JoinList(s.VisibleAirports), true);
    ini.SetText(section, key("VisibleCenterlines%d"), JoinList(s.VisibleCenterlines), true);
    ini.SetText(section, key("VisibleAirways%d"), JoinList(s.VisibleAirways), true);
    ini.SetText(section, key("ColorProfile%d"), s.ColorProfile, true);
    ini.SetInt(section, key("AirspaceFloor%d"), s.AirspaceFloor);
    ini.SetInt(section, key("AirspaceCeiling%d"), s.AirspaceCeiling);
    ini.SetBool(section, key("ShowTargetsAboveCeiling%d"), s.ShowTargetsAboveCeiling);
    ini.SetBool(section, key("ShowTagsAboveCeiling%d"), s.ShowTagsAboveCeiling);
    ini.SetBool(section, key("ShowTargetsBelowFloor%d"), s.ShowTargetsBelowFloor);
    ini.SetBool(section, key("ShowTagsBelowFloor%d"), s.ShowTagsBelowFloor);
    ini.SetFloat(section, key("DisplayCameraLon%d"), s.CameraLon);
    ini.SetFloat(section, key("DisplayCameraLat%d"), s.CameraLat);
    ini.SetInt(section, key("DisplayCameraAlt%d"), s.CameraAlt);
    ini.SetInt(section, key("DisplayTerrainAlt%d"), s.TerrainAlt);
}

}  // namespace

int TarqProfile::ShowProfileDialog(WindowHandle parent) {
    if (g_profileDialogRunner) g_profileDialogRunner(parent);
    return 0;
}

TarqProfile::ProfileDialogRunner TarqProfile::SetProfileDialogRunner(ProfileDialogRunner runner) {
    ProfileDialogRunner previous = g_profileDialogRunner;
    g_profileDialogRunner = runner;
    return previous;
}

bool TarqProfile::SaveProfileAs(const std::string& name) {
    if (name.empty()) {
        if (g_displayServices) g_displayServices->ShowError("Invalid session profile name.");
        return false;
    }
    const bool existed = ProfileExists(name);
    std::string previous;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        previous = m_profileName;
        m_profileName = name;
    }
    const bool saved = Save();
    if (!saved) {
        // The session keeps its name: the new section never reached the disk.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_profileName = previous;
    }
    if (!saved && !existed) m_ini->DeleteSection(name);
    if (g_displayServices) g_displayServices->UpdateAllTitles();
    return saved;
}

bool TarqProfile::Save() {
    const std::string section = GetProfileName();
    if (section == "Default") {
        // "Default" is never overwritten; the dialog saves under a new name.
        // Saved only when the user chose one and it was written.
        ShowProfileDialog(g_displayServices ? g_displayServices->GetMainWindow() : nullptr);
        return GetProfileName() != "Default" && !IsModified();
    }

    const SettingsSnapshot settings = Snapshot();
    CIniFile& ini = *m_ini;
    for (const auto& [key, value] : settings.bools) ini.SetBool(section, key, value);
    for (const auto& [key, value] : settings.ints) ini.SetInt(section, key, value);
    for (const auto& [key, value] : settings.floats) ini.SetFloat(section, key, static_cast<double>(value));
    for (const auto& [key, value] : settings.strings) ini.SetText(section, key, value, true);
    for (const auto& [key, value] : settings.lists) ini.SetText(section, key, JoinList(value), true);

    const TarqSessionToolWindows& tools = g_sessionToolWindows;
    SaveToolWindow(ini, section, tools.commsPanel, "CommsPanel", false);
    SaveToolWindow(ini, section, tools.weatherPanel, "WeatherPanel", true);
    SaveToolWindow(ini, section, tools.controllerList, "ControllerList", true);
    SaveToolWindow(ini, section, tools.aircraftList, "AircraftList", true);
    SaveToolWindow(ini, section, tools.flightPlanEditor, "FlightStrip", false);
    SaveToolWindow(ini, section, tools.stripBay, "StripBay", true);
    SaveToolWindow(ini, section, tools.selcalPanel, "SELCALPanel", true);

    if (g_chatLogState) ini.SetBool(section, "ChatLogVisible", g_chatLogState->IsIncomingChatLogOpen());

    if (g_displayServices) {
        const std::vector<TarqDisplaySettings> layout = g_displayServices->SaveLayout();
        ini.SetInt(section, "DisplayCount", static_cast<int>(layout.size()));
        for (size_t i = 0; i < layout.size(); ++i)
            SaveDisplay(ini, section, layout[i], static_cast<int>(i) + 1);
    }

    if (g_stripSeparators) {
        ini.SetText(section, "StripBaySeparators0", JoinList(g_stripSeparators->GetSortedStrips(0)), true);
        ini.SetText(section, "StripBaySeparators1", JoinList(g_stripSeparators->GetSortedStrips(1)), true);
    }

    std::map<std::string, std::map<std::string, int>> colorProfiles;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        colorProfiles = m_colorProfiles;
    }
    for (const auto& [name, colors] : colorProfiles)
        for (const auto& [key, color] : colors) ini.SetInt(":CP:" + name, key, color);

    // A file started from nothing would otherwise be taken for format 1 at
    // the next start and converted over its own settings.
    AddMetaVersionIfMissing();

    std::string error;
    if (!WriteIni(&error)) {
        ShowMessageBox("The session profile could not be saved: " + error, "Error",
                       {MessageBoxButtons::Ok, MessageBoxIcon::Error},
                       g_displayServices ? g_displayServices->GetMainWindow() : nullptr);
        return false;
    }
    RecordLastProfile(section);
    SetModified(false);
    if (g_displayServices) g_displayServices->ShowMessage("Session profile saved.");
    return true;
}

void TarqProfile::AddMetaVersionIfMissing() {
    if (m_ini->FindSection(":META") >= 0) return;
    m_ini->AddSection(":META");
    m_ini->SetInt(":META", "Version", kCurrentVersion);
}

bool TarqProfile::WriteIni(std::string* error) {
    if (m_ini->Write()) return true;
    if (error) *error = m_ini->GetLastError();
    return false;
}

void TarqProfile::RecordLastProfile(const std::string& name) {
    // Like the registry value it replaces, a failure here is not worth a message.
    if (m_registry) m_registry->SetString(kTarqRegistryKey, kLastProfileValue, name);
}
