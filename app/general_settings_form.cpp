// Tested by tests/app/settings_forms_test.cpp.
#include "app/general_settings_form.h"

#include <charconv>
#include <string_view>

#include "app/comms_windows.h"
#include "app/display.h"
#include "app/global_objects.h"
#include "app/session.h"
#include "foundation/profile.h"
#include "foundation/text_helpers.h"
#include "platform/message_box.h"
#include "scope/display_scope.h"

namespace {

using K = SettingsControlKind;

SettingsControl Check(int id, const char* label, const char* key) { return {id, K::Check, label, key}; }
SettingsControl Number(int id, const char* label, const char* key, int min, int max, int step = 1) {
    return {id, K::Number, label, key, min, max, step};
}

std::vector<SettingsPage> BuildPages() {
    using namespace settings_pages;
    std::vector<SettingsPage> pages;
    pages.push_back(
        {kMiscellaneous,
         "Miscellaneous",
         {{1127, K::Path, "Alias File:", "AliasFile", 0, 0, 1, ",", 259},
          {1129, K::Path, "POF File:", "POFFile", 0, 0, 1, ",", 259},
          Number(1149, "Range Ring Spacing (NM):", "RingSpacing", 1, 50),
          Number(1147, "Centerline Length (NM):", "CenterlineLength", 0, 50),
          Check(1135, "Prompt to Save Profile", "PromptSaveProfile"),
          Check(1137, "Prompt Before Disconnect", "PromptDisconnect"),
          Check(1138, "Use System Precision Cursor", "UseSystemCursor"),
          Check(1158, "Play/Show Request List Reminder", "RequestListReminder"),
          Check(1169, "Flash Radio Text Box On New Message", "FlashOnNewMessage"),
          Check(1181, "Flash Chat Box Title Bar On New Message", "FlashOnNewChat"),
          Check(1185, "Invert Mouse in 3D Mode", "InvertMouse3D"),
          Check(1192, "Assign Squawk Codes In Random Order", "AssignSquawksRandomly"),
          Check(1193, "Format Mouse Coords as Deg/Min/Sec", "FormatMouseCoordsDMS"),
          Check(1205, "Show Oceanic Track Waypoint Labels", "ShowOceanicTrackLabels"),
          Check(1218, "Download Only Current Oceanic Tracks", "IncludeOnlyCurrentTracks"),
          Check(1216, "Enable Group Separators in Controller List", "EnableCLSeparators"),
          Check(1219, "Show Timestamps In Chat/Radio Logs", "ShowTimestamps"),
          Check(1220, "Click Chat Log To Clear Msg Waiting Notice", "ChatLogClickClearMsgFlag")}});
    pages.push_back({kHotkeys,
                     "Hotkeys",
                     {{1165, K::Key, "Aircraft Select Key:", "ASELKey"},
                      {1166, K::Key, "Controller Select Key:", "CSELKey"},
                      {1167, K::Key, "Push to Talk Key:", "PTTKey"}}});
    pages.push_back({kAirspace,
                     "Airspace",
                     {{1114, K::Slider, "Target Visibility Range:", "VisRange", 1, 120, 5},
                      {1188, K::UpperText, "Arrival Fields:", "ArrivalFields", 0, 0, 1, ",", 2047},
                      {1179, K::UpperText, "Departure Fields:", "DepartureFields", 0, 0, 1, ",", 2047},
                      Number(1159, "Transition Altitude:", "TransLevel", 0, 99999, 500),
                      Number(1223, "Radar Floor:", "RadarFloor", 0, 99999, 100)}});
    pages.push_back({kDataTags,
                     "Data Tags",
                     {{1162, K::RadioOff, "NM", nullptr},
                      {1163, K::Radio, "Min", "TimeBasedVector"},
                      Number(1139, "Vector Length:", "VectorLength", 0, 15),
                      Number(1141, "History Count:", "HistoryCount", 0, 10),
                      Number(1143, "Default Leader Length:", "LeaderLength", 4, 200),
                      Number(1145, "Default Data Tag Position:", "TagPosition", 1, 9),
                      Check(1189, "Realistic Data Tag Mode", "RealisticTags"),
                      Check(1190, "Use Selected Color", "UseSelectedColor"),
                      Check(1209, "Use Handoff Color", "UseHandoffColor"),
                      Check(1210, "Use Conflict, Emergency && Coasting Colors", "UseDangerColors"),
                      {1136, K::Text, "VFR Codes:", "VFRCodes", 0, 0, 1, " ", 1023},
                      {1208, K::Text, "Scratchpad Presets:", "ScratchpadPresets", 0, 0, 1, " ", 1023}}});
    pages.push_back({kFlightStrips,
                     "Flight Strips",
                     {Check(1170, "Two-column Flight Strip Bay", "StripBayTwoCols"),
                      Check(1171, "Auto-Add Arrival Strips", "AutoAddStripsArr"),
                      Check(1187, "Auto-Add Departure Strips", "AutoAddStripsDep"),
                      Check(1182, "Add Strip When Initiating Track", "AddStripOnTrack"),
                      Check(1180, "Add Strip When Accepting Handoff", "AddStripOnAccept"),
                      Check(1186, "Push Strip When Handing Off Aircraft", "PushStripOnHandoff"),
                      {1211, K::Radio, "When Initiating Handoff", "PushStripOnInitHandoff"},
                      {1212, K::RadioOff, "When Handoff Accepted", nullptr},
                      Check(1191, "Delete Strip When Controller Accepts Handoff", "DeleteStripOnAccept"),
                      Check(1172, "Delete Strip When Pushed Manually", "DelPushedStrips"),
                      Check(1194, "Delete Strip When Dropping Track", "DeleteStripOnDrop"),
                      Check(1195, "Ignore Pushed Strips", "IgnorePushedStrips"),
                      {1146, K::Swatch, "Arrivals:", "ColorStripArrivals"},
                      {1144, K::Swatch, "Departures:", "ColorStripDepartures"},
                      {1198, K::Swatch, "Overflights:", "ColorStripOverflights"},
                      {1197, K::Swatch, "Local Traffic:", "ColorStripLocal"},
                      {1142, K::Swatch, "VFR:", "ColorStripVFR"},
                      {1199, K::Swatch, "Separators:", "ColorStripSeparators"}}});
    pages.push_back({kConflictAlerts,
                     "Conflict Alerts",
                     {Number(1117, "Minimum Lateral Separation (NM):", "CALateralMin", 0, 50),
                      Number(1119, "Minimum Vertical Separation (Feet):", "CAVerticalMin", 0, 5000, 100),
                      Number(1121, "Conflict Alert Floor:", "CAFloor", 0, 99999, 100),
                      Check(1115, "Show Separation Rings Around Conflicting Targets", "ShowSepRingsOnCA")}});
    pages.push_back({kButtonBar,
                     "Button Bar",
                     {Check(1151, "Show Clock/Callsign/Freq Button", "DispBtnClock"),
                      Check(1152, "Show Filters Button", "DispBtnFilters"),
                      Check(1153, "Show Separation Timer Button", "DispBtnTimer"),
                      Check(1154, "Show Active Frequency Buttons", "DispBtnFreqs"),
                      Check(1155, "Show Weather Station Buttons", "DispBtnWXStations"),
                      Check(1173, "Show Ruler Data Button", "DispBtnRuler"),
                      Check(1183, "Show Reminders Button", "DispBtnReminders"),
                      Check(1184, "Show Quicklook Button", "DispBtnQuicklook")}});
    return pages;
}

// The label without its colour and trailing colon, for messages.
std::string FieldName(const char* label) {
    std::string name = label;
    while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.pop_back();
    return name;
}

std::vector<std::string> SplitList(std::string text, size_t maxLength, bool upper) {
    if (text.size() > maxLength) text.resize(maxLength);
    if (upper) text = ToUpper(text);
    std::vector<std::string> items;
    SplitString(ReplaceAll(text, ",", " "), items, 0, " ");
    if (upper) {
        for (std::string& item : items) {
            if (item.size() > 4) item.resize(4);
        }
    }
    return items;
}

class ProgramEffects : public TarqSettingsEffects {
public:
    bool LoadAliasFile(const std::string& path) override { return LoadAliases(path); }
    void LoadPositionFile() override {
        if (!g_controllerDB) return;
        g_controllerDB->LoadPOFFile();
        g_controllerDB->RefreshPositionIds();
        g_controllerDB->RefreshSymbols();
    }
    void RebuildDisplayLists(uint32_t mask) override {
        if (!g_displayManager) return;
        g_displayManager->ForEachDisplay([mask](TarqDisplay& display) {
            if (TarqDisplayScope* scope = display.GetScope()) scope->RebuildDisplayLists(mask);
        });
    }
    void RebuildControllerList() override {
        if (g_controllerList) g_controllerList->Rebuild();
    }
    void ApplyDisplaySettings() override {
        if (!g_displayManager || !g_profile) return;
        // The own position's symbol, not its callsign, picks the cursor.
        ::ApplyDisplaySettings();
        g_displayManager->UpdateAllTitles();
    }
    void RebuildAircraftList() override {
        if (!g_aircraftList) return;
        g_aircraftList->Rebuild();
        g_aircraftList->LoadFieldSettings();
    }
    void FitStripBay() override {
        if (g_flightStripBay) g_flightStripBay->Paint(true);
    }
    void ApplyBackgroundColor(const std::string& colorProfile) override {
        if (!g_displayManager) return;
        g_displayManager->ForEachDisplay([&colorProfile](TarqDisplay& display) {
            if (display.GetColorProfileName() == colorProfile) display.SetColorProfile(colorProfile);
        });
    }
    void ShowError(const std::string& line) override {
        if (g_displayManager) g_displayManager->ShowError(line);
    }
    void ClearPushToTalkByMessage() override {
        if (g_displayManager) g_displayManager->ClearPushToTalkByMessage();
    }
};

}  // namespace

const std::vector<SettingsPage>& GeneralSettingsPages() {
    static const std::vector<SettingsPage> pages = BuildPages();
    return pages;
}

const SettingsPage* FindSettingsPage(int resourceId) {
    for (const SettingsPage& page : GeneralSettingsPages()) {
        if (page.resourceId == resourceId) return &page;
    }
    return nullptr;
}

TarqSettingsEffects& ProgramSettingsEffects() {
    static ProgramEffects effects;
    return effects;
}

void TarqGeneralSettingsForm::CaptureKey(int resourceId, int controlId, int virtualKey) {
    auto page = m_pages.find(resourceId);
    const SettingsPage* layout = FindSettingsPage(resourceId);
    if (page == m_pages.end() || !layout) return;
    for (const SettingsControl& control : layout->controls) {
        if (control.id != controlId || control.kind != SettingsControlKind::Key) continue;
        page->second.ints[controlId] = virtualKey;
        if (control.key && std::string_view(control.key) == "PTTKey") m_effects.ClearPushToTalkByMessage();
    }
}

std::string TarqGeneralSettingsForm::VectorLabel(bool minutes) {
    return minutes ? "Vector Length (Min):" : "Vector Length (NM):";
}

std::string TarqGeneralSettingsForm::RangeLabel(int sliderPosition) {
    return std::to_string(sliderPosition * 5) + " NM";
}

SettingsPageValues& TarqGeneralSettingsForm::Show(int resourceId) {
    auto found = m_pages.find(resourceId);
    if (found != m_pages.end()) return found->second;
    SettingsPageValues& values = m_pages[resourceId];
    if (const SettingsPage* page = FindSettingsPage(resourceId)) Fill(*page, values);
    return values;
}

void TarqGeneralSettingsForm::Fill(const SettingsPage& page, SettingsPageValues& values) {
    const SettingsControl* radio = nullptr;
    for (const SettingsControl& control : page.controls) {
        switch (control.kind) {
            case K::Check:
                values.checks[control.id] = m_profile.GetBool(control.key);
                break;
            case K::Number:
                values.texts[control.id] = std::to_string(m_profile.GetInt(control.key));
                break;
            case K::Text:
            case K::UpperText:
                values.texts[control.id] = JoinStrings(m_profile.GetListSetting(control.key), control.join);
                break;
            case K::Path:
                values.texts[control.id] = m_profile.GetString(control.key);
                break;
            case K::Slider:
                values.ints[control.id] = m_profile.GetInt(control.key) / control.step;
                break;
            case K::Key:
                values.ints[control.id] = m_profile.GetInt(control.key);
                break;
            case K::Radio:
                radio = &control;
                values.checks[control.id] = m_profile.GetBool(control.key);
                break;
            case K::RadioOff:
                // Its partner may come before or after it in the table.
                break;
            case K::Swatch:
                break;
        }
    }
    for (const SettingsControl& control : page.controls) {
        if (control.kind == K::RadioOff && radio) values.checks[control.id] = !values.checks[radio->id];
    }
}

std::string TarqGeneralSettingsForm::CheckNumber(const SettingsControl& control, const std::string& text) {
    const std::string trimmed = TrimBlanks(text);
    int value = 0;
    const char* end = trimmed.data() + trimmed.size();
    auto [stop, error] = std::from_chars(trimmed.data(), end, value);
    if (trimmed.empty() || error != std::errc() || stop != end || value < control.min ||
        value > control.max) {
        return "\"" + FieldName(control.label) + "\" must be a whole number from " +
               std::to_string(control.min) + " to " + std::to_string(control.max) + ".";
    }
    return {};
}

bool TarqGeneralSettingsForm::Apply(WindowHandle owner) {
    for (const SettingsPage& page : GeneralSettingsPages()) {
        auto values = m_pages.find(page.resourceId);
        if (values == m_pages.end()) continue;
        for (const SettingsControl& control : page.controls) {
            if (control.kind != K::Number) continue;
            const std::string refusal = CheckNumber(control, values->second.texts[control.id]);
            if (refusal.empty()) continue;
            ShowMessageBox(refusal, "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0}, owner);
            return false;
        }
    }
    for (const SettingsPage& page : GeneralSettingsPages()) {
        auto values = m_pages.find(page.resourceId);
        if (values != m_pages.end()) Store(page, values->second);
    }
    return true;
}

void TarqGeneralSettingsForm::Store(const SettingsPage& page, const SettingsPageValues& values) {
    using namespace settings_pages;
    auto text = [&](int id) {
        auto found = values.texts.find(id);
        return found == values.texts.end() ? std::string() : found->second;
    };
    auto number = [&](int id) { return std::stoi(TrimBlanks(text(id))); };
    bool aliasChanged = false, pofChanged = false, ringsChanged = false, centerlinesChanged = false;
    for (const SettingsControl& control : page.controls) {
        switch (control.kind) {
            case K::Check:
            case K::Radio:
                m_profile.SetBool(control.key,
                                  values.checks.count(control.id) && values.checks.at(control.id));
                break;
            case K::Number: {
                const int value = number(control.id);
                if (value == m_profile.GetInt(control.key)) break;
                ringsChanged |= control.id == 1149 && page.resourceId == kMiscellaneous;
                centerlinesChanged |= control.id == 1147 && page.resourceId == kMiscellaneous;
                m_profile.SetInt(control.key, value);
                break;
            }
            case K::Text:
            case K::UpperText:
                m_profile.SetListSetting(control.key,
                                         SplitList(text(control.id), static_cast<size_t>(control.maxLength),
                                                   control.kind == K::UpperText));
                break;
            case K::Path: {
                std::string path = text(control.id).substr(0, static_cast<size_t>(control.maxLength));
                if (path == m_profile.GetString(control.key)) break;
                m_profile.SetString(control.key, path);
                aliasChanged |= control.id == 1127;
                pofChanged |= control.id == 1129;
                break;
            }
            case K::Slider:
                if (values.ints.count(control.id))
                    m_profile.SetInt(control.key, values.ints.at(control.id) * control.step);
                break;
            case K::Key:
                if (values.ints.count(control.id)) m_profile.SetInt(control.key, values.ints.at(control.id));
                break;
            case K::RadioOff:
            case K::Swatch:
                break;
        }
    }
    switch (page.resourceId) {
        case kMiscellaneous:
            m_effects.RebuildControllerList();
            m_effects.ApplyDisplaySettings();
            if (aliasChanged && !m_effects.LoadAliasFile(m_profile.GetString("AliasFile")))
                m_effects.ShowError("Error loading alias file!");
            if (pofChanged) m_effects.LoadPositionFile();
            if (ringsChanged) m_effects.RebuildDisplayLists(kRangeRingLists);
            if (centerlinesChanged) m_effects.RebuildDisplayLists(kCenterlineLists);
            break;
        case kAirspace:
            m_effects.RebuildAircraftList();
            break;
        case kDataTags:
            m_profile.LoadVFRCodes();
            break;
        case kFlightStrips:
            m_effects.FitStripBay();
            break;
        default:
            break;
    }
    m_profile.SetModified(true);
}
