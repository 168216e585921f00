// Tested by tests/app/session_test.cpp.
#include "app/session.h"

#include <algorithm>
#include <cctype>

#include "app/audio_settings_form.h"
#include "app/global_objects.h"
#include "app/shell_state.h"
#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "foundation/prompts.h"
#include "foundation/settings_catalogue.h"
#include "foundation/start_directory.h"
#include "foundation/user_registry.h"
#include "platform/message_box.h"

namespace {

constexpr MessageBoxStyle kErrorBox{MessageBoxButtons::Ok, MessageBoxIcon::Error, 0};

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

std::string Key(const char* format, int number) { return FormDisplayKey(format, number); }

// Data files named in a profile are relative to the start directory unless
// absolute; profiles written on Windows separate folders with "\".
std::string DataFilePath(std::string name) {
    if (name.size() >= 2 && name[1] == ':') return name;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (!name.empty() && name[0] == '/') return name;
    return PathInDirectory(StartDirectory, name);
}

}  // namespace

std::string ProfileList::SelectedName() const {
    if (selected < 0 || selected >= static_cast<int>(entries.size())) return "";
    return entries[static_cast<size_t>(selected)];
}

ProfileList FillProfileList(const std::vector<std::string>& names, bool includeDefault,
                            const std::optional<std::string>& lastProfile) {
    ProfileList list;
    for (const std::string& name : names) {
        if (!includeDefault && name == "Default") continue;
        list.entries.push_back(name);
    }
    std::stable_sort(list.entries.begin(), list.entries.end(), LessNoCase);
    if (list.entries.empty()) return list;
    // The last profile is remembered per user, outside this data directory:
    // when this file has no such profile, the first one is selected, or OK
    // would do nothing.
    list.selected = 0;
    if (lastProfile) {
        auto it = std::find(list.entries.begin(), list.entries.end(), *lastProfile);
        if (it != list.entries.end()) list.selected = static_cast<int>(it - list.entries.begin());
    }
    return list;
}

ProfileList FillProfileList(bool selectLast, bool includeDefault) {
    std::optional<std::string> last;
    if (selectLast && g_userRegistry) {
        std::string value = g_userRegistry->GetString(kTarqRegistryKey, kLastProfileValue, "");
        if (!value.empty()) last = value;
    }
    std::vector<std::string> names;
    if (g_profile) g_profile->GetProfileNames(names);
    ProfileList list = FillProfileList(names, includeDefault, last);
    if (!selectLast) list.selected = -1;
    return list;
}

bool DeleteSelectedProfile(ProfileList& list, WindowHandle dialog) {
    if (list.entries.size() == 1) {
        ShowMessageBox("You cannot delete the last session profile!", "Error", kErrorBox, dialog);
        return false;
    }
    std::string name = list.SelectedName();
    if (name.empty()) return false;
    if (name == "Default") {
        ShowMessageBox("The default session profile cannot be deleted.", "Error",
                       {MessageBoxButtons::Ok, MessageBoxIcon::Warning, 0}, dialog);
        return false;
    }
    MessageBoxResult answer = ShowMessageBox(
        "Are you sure you want to delete the selected session profile? This action cannot be undone.",
        "Confirm Delete", {MessageBoxButtons::YesNo, MessageBoxIcon::Question, 1}, dialog);
    if (answer != MessageBoxResult::Yes || !g_profile) return false;
    bool deleted = g_profile->DeleteProfile(name);
    list = FillProfileList(true, true);
    return deleted;
}

namespace {
bool ProfileStores(TarqProfile& p, const std::string& key) {
    const CIniFile& ini = p.GetIniFile();
    const int section = ini.FindSection(p.GetProfileName());
    return section >= 0 && ini.FindEntry(section, key) >= 0;
}
}  // namespace

TarqDisplaySettings ReadDisplaySettings(TarqProfile& p, int n) {
    TarqDisplaySettings s;
    s.LocX = p.GetInt(Key("DisplayLocX%d", n));
    s.LocY = p.GetInt(Key("DisplayLocY%d", n));
    s.Width = p.GetInt(Key("DisplayWidth%d", n));
    s.Height = p.GetInt(Key("DisplayHeight%d", n));
    s.CenterLon = p.GetFloat(Key("DisplayCenterLon%d", n));
    s.CenterLat = p.GetFloat(Key("DisplayCenterLat%d", n));
    s.RingLon = p.GetFloat(Key("DisplayRingLon%d", n));
    s.RingLat = p.GetFloat(Key("DisplayRingLat%d", n));
    // Without a stored centre the view and the rings go to the sector's
    // centre, not to the default position (in Antarctica, far from any traffic).
    s.CenterUnset = !ProfileStores(p, Key("DisplayCenterLon%d", n)) || !ProfileStores(p, Key("DisplayCenterLat%d", n));
    if (!ProfileStores(p, Key("DisplayRingLon%d", n)) || !ProfileStores(p, Key("DisplayRingLat%d", n))) {
        s.RingLon = 0.0;  // the rings follow the view centre
        s.RingLat = 0.0;
    }
    s.Zoom = p.GetFloat(Key("DisplayZoom%d", n));
    s.Mode = p.GetInt(Key("DisplayMode%d", n));
    s.SectorFile = p.GetString(Key("DisplaySectorFile%d", n));
    s.VisibleSIDs = p.GetListSetting(Key("VisibleSIDs%d", n));
    s.VisibleSTARs = p.GetListSetting(Key("VisibleSTARs%d", n));
    s.VisibleFixes = p.GetListSetting(Key("VisibleFixes%d", n));
    s.VisibleVORs = p.GetListSetting(Key("VisibleVORs%d", n));
    s.VisibleNDBs = p.GetListSetting(Key("VisibleNDBs%d", n));
    s.VisibleAirports = p.GetListSetting(Key("VisibleAirports%d", n));
    s.VisibleCenterlines = p.GetListSetting(Key("VisibleCenterlines%d", n));
    s.VisibleAirways = p.GetListSetting(Key("VisibleAirways%d", n));
    s.Toggles = p.GetInt(Key("DisplayToggles%d", n));
    s.Maximized = p.GetBool(Key("DisplayMaximized%d", n));
    s.CameraLon = p.GetFloat(Key("DisplayCameraLon%d", n));
    s.CameraLat = p.GetFloat(Key("DisplayCameraLat%d", n));
    s.CameraAlt = p.GetInt(Key("DisplayCameraAlt%d", n));
    s.TerrainAlt = p.GetInt(Key("DisplayTerrainAlt%d", n));
    s.ColorProfile = p.GetString(Key("ColorProfile%d", n));
    s.AirspaceFloor = p.GetInt(Key("AirspaceFloor%d", n));
    s.AirspaceCeiling = p.GetInt(Key("AirspaceCeiling%d", n));
    s.ShowTargetsAboveCeiling = p.GetBool(Key("ShowTargetsAboveCeiling%d", n));
    s.ShowTagsAboveCeiling = p.GetBool(Key("ShowTagsAboveCeiling%d", n));
    s.ShowTargetsBelowFloor = p.GetBool(Key("ShowTargetsBelowFloor%d", n));
    s.ShowTagsBelowFloor = p.GetBool(Key("ShowTagsBelowFloor%d", n));
    return s;
}

bool OpenDisplayWindows() {
    if (!g_profile || !g_displayManager) return false;
    // A session always has a main display, whatever "DisplayCount" says.
    int count = std::max(1, g_profile->GetDisplayCount());
    g_displayManager->Reset();
    for (int i = 1; i <= count; ++i) g_displayManager->CreateDisplay(ReadDisplaySettings(*g_profile, i));
    return true;
}

void ApplyDisplaySettings() {
    if (!g_displayManager || !g_profile) return;
    int frequency = g_commsPanel ? g_commsPanel->GetPrimaryFrequency() : 0;
    std::string symbol;
    if (frequency != 0 && g_controllerDB)
        symbol = g_controllerDB->FindSymbol(g_profile->GetString("Callsign"), frequency);
    g_displayManager->ApplySettings(g_profile->GetBool("UseSystemCursor"), frequency, symbol);
}

bool OpenSessionProfile(const ProfileList& list, WindowHandle dialog, TarqSessionUi& ui) {
    std::string name = list.SelectedName();
    if (name.empty() || !g_profile) return false;
    if (!g_profile->Load(name)) {
        ShowMessageBox(g_profile->GetLastError(), "Error", kErrorBox, dialog);
        return false;
    }
    ui.DisableSnapping();
    ui.DestroyProfileDialog();
    OpenDisplayWindows();
    ApplyDisplaySettings();
    g_commsPanel->Create();
    g_aircraftList->Create();
    g_controllerList->Create();
    g_weatherPanel->Create();
    g_flightPlanEditor->Create();
    g_flightStripBay->Create();
    g_selcalPanel->Create();
    // As with the alias file, a profile that names no position file opens
    // without complaint.
    if (!g_controllerDB->LoadPOFFile() && !g_profile->GetString("POFFile").empty()) {
        ShowMessageBox("Error loading POF file!", "Error", kErrorBox);
    }
    g_commsPanel->Refresh();
    std::string aliasFile = g_profile->GetString("AliasFile");
    if (!LoadAliases(aliasFile.empty() ? aliasFile : DataFilePath(aliasFile)) && !aliasFile.empty())
        ShowMessageBox("Error loading alias file!", "Error", kErrorBox);

    TarqProfile& p = *g_profile;
    auto place = [&](auto& window, const char* prefix, bool withHeight) {
        std::string base = prefix;
        window.SetPosition(p.GetInt(base + "LocX"), p.GetInt(base + "LocY"),
                           withHeight ? p.GetInt(base + "Height") : 0);
        if (p.GetBool(base + "Visible")) window.Show();
    };
    place(*g_controllerList, "ControllerList", true);
    g_aircraftList->LoadFieldSettings();
    place(*g_aircraftList, "AircraftList", true);
    place(*g_commsPanel, "CommsPanel", false);
    place(*g_flightPlanEditor, "FlightStrip", false);
    place(*g_selcalPanel, "SELCALPanel", false);
    g_flightStripBay->InitFields();
    for (int column = 0; column < 2; ++column) {
        for (const std::string& label : p.GetListSetting("StripBaySeparators" + std::to_string(column))) {
            g_flightStripBay->AddSeparator(label, column);
        }
    }
    place(*g_flightStripBay, "StripBay", true);
    place(*g_weatherPanel, "WeatherPanel", true);
    g_weatherPanel->Restore();
    g_chatManager->OpenChatWindow("Incoming Chat Log", "", p.GetBool("ChatLogVisible"));

    g_displayManager->RebuildMainButtonBar();
    g_displayManager->RebuildAllMenus();
    ui.ActivateMainDisplay();
    g_commsPanel->ApplyAudioSettings();
    if (!g_voiceEngine->AreDevicesReady())
        ShowMessageBox("Could not initialize voice engine!", "Error", kErrorBox);
    p.SetModified(false);
    if (g_userRegistry) g_userRegistry->SetString(kTarqRegistryKey, kLastProfileValue, name);
    ui.EnableSnapping();
    if (!g_networkManager->IsServerListReady()) {
        g_displayManager->ShowMessage("Performing version check...");
        g_networkManager->StartVersionCheck();
        g_displayManager->ShowMessage("Loading network information...");
        g_networkManager->StartServerListFetch();
    }
    return true;
}

bool CloseSession(WindowHandle displayWindow, bool exit, TarqSessionUi& ui) {
    bool connected = g_networkManager->IsConnected();
    if (connected && g_profile->GetBool("PromptDisconnect") && !ConfirmDisconnect(displayWindow))
        return false;
    if (g_profile->IsModified() && g_profile->GetBool("PromptSaveProfile")) {
        MessageBoxResult answer = PromptSaveProfile(displayWindow);
        if (answer == MessageBoxResult::Cancel) return false;
        // A save that failed (its box said why) or that the user cancelled
        // keeps the session, so the changes are not lost.
        if (answer == MessageBoxResult::Yes && !g_profile->Save()) return false;
    }
    // A pending attempt would otherwise sign on with no session to show it.
    if (connected || g_networkManager->IsConnecting()) g_networkManager->Disconnect();
    g_controllerDB->Clear();
    g_controllerList->Rebuild();
    g_aircraftDB->Clear();
    g_aircraftList->Rebuild();
    MicCalibration().Reset();
    g_displayManager->CloseAll();
    g_commsPanel->ResetVoice();
    g_controllerList->Hide();
    g_commsPanel->Hide();
    g_flightPlanEditor->Hide();
    g_weatherPanel->Hide();
    g_aircraftList->Hide();
    g_chatManager->CloseAllWindows();
    g_flightStripBay->Close();
    if (ReturnToProfileDialog) {
        ReturnToProfileDialog = false;
        ui.ShowProfileDialog();
    }
    if (exit) ui.PostQuit();
    return true;
}
