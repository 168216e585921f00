#include "foundation/settings_catalogue.h"

#include <algorithm>
#include <string>

namespace {

CatalogueEntry Bool(std::string key, bool value) {
    return {std::move(key), SettingType::Bool, value ? 1 : 0, 0.0, ""};
}
CatalogueEntry Int(std::string key, int value) { return {std::move(key), SettingType::Int, value, 0.0, ""}; }
CatalogueEntry Float(std::string key, double value) {
    return {std::move(key), SettingType::Float, 0, value, ""};
}
CatalogueEntry Text(std::string key, std::string value = "") {
    return {std::move(key), SettingType::Text, 0, 0.0, std::move(value)};
}
CatalogueEntry List(std::string key, std::string value = "") {
    return {std::move(key), SettingType::List, 0, 0.0, std::move(value)};
}

std::vector<CatalogueEntry> BuildFixedSettings() {
    std::vector<CatalogueEntry> s;
    for (const char* key : {"PromptSaveProfile",
                            "PromptDisconnect",
                            "ShowSepRingsOnCA",
                            "UseSounds",
                            "ControllerListVisible",
                            "DispBtnClock",
                            "DispBtnFilters",
                            "DispBtnTimer",
                            "DispBtnFreqs",
                            "DispBtnWXStations",
                            "DispBtnRuler",
                            "DispBtnReminders",
                            "DispBtnQuicklook",
                            "RequestListReminder",
                            "FlashOnNewMessage",
                            "UseSelectedColor",
                            "UseHandoffColor",
                            "UseDangerColors",
                            "FormatMouseCoordsDMS",
                            "ShowOceanicTrackLabels",
                            "EnableCLSeparators",
                            "ShowTimestamps",
                            "ChatLogClickClearMsgFlag"})
        s.push_back(Bool(key, true));
    for (const char* key :
         {"UseSystemCursor",    "CommsPanelVisible",     "WeatherPanelVisible",     "AircraftListVisible",
          "FlightStripVisible", "StripBayVisible",       "SELCALPanelVisible",      "ChatLogVisible",
          "TimeBasedVector",    "FlashOnNewChat",        "StripBayTwoCols",         "DelPushedStrips",
          "InvertMouse3D",      "VHFSimHeadset",         "VHFSimSpeakers",          "AddStripOnAccept",
          "AddStripOnTrack",    "AutoAddStripsArr",      "AutoAddStripsDep",        "DeleteStripOnDrop",
          "IgnorePushedStrips", "PushStripOnHandoff",    "PushStripOnInitHandoff",  "DeleteStripOnAccept",
          "RealisticTags",      "AssignSquawksRandomly", "IncludeOnlyCurrentTracks"})
        s.push_back(Bool(key, false));

    s.push_back(Int("OutputVolumeHDST", 100));
    s.push_back(Int("OutputVolumeSPKR", 100));
    s.push_back(Int("VisRange", 150));
    s.push_back(Int("CALateralMin", 5));
    s.push_back(Int("CAVerticalMin", 1000));
    s.push_back(Int("CAFloor", 0));
    s.push_back(Int("RadioHistorySize", 5));
    s.push_back(Int("VectorLength", 3));
    s.push_back(Int("HistoryCount", 5));
    s.push_back(Int("LeaderLength", 10));
    s.push_back(Int("TagPosition", 6));
    s.push_back(Int("CenterlineLength", 20));
    s.push_back(Int("RingSpacing", 5));
    s.push_back(Int("Facility", 0));
    s.push_back(Int("Rating", 1));
    s.push_back(Int("TransLevel", 18000));
    s.push_back(Int("RadarFloor", 0));
    s.push_back(Int("CSELKey", 220));  // VK_OEM_5
    s.push_back(Int("ASELKey", 107));  // VK_ADD, keypad plus
    s.push_back(Int("PTTKey", 163));   // VK_RCONTROL
    for (int i = 0; i <= 11; ++i) s.push_back(Int("CommsEntryFreq" + std::to_string(i), 0));
    s.push_back(Int("DisplayCount", 1));
    s.push_back(Int("VoxATISFreq", 0));
    s.push_back(Int("ColorStripSeparators", 0xC0C0C0));
    s.push_back(Int("ColorStripArrivals", 0xBFAFCF));
    s.push_back(Int("ColorStripDepartures", 0xCFAFAF));
    s.push_back(Int("ColorStripOverflights", 0x9FB5DF));
    s.push_back(Int("ColorStripVFR", 0xD5DFCA));
    s.push_back(Int("ColorStripLocal", 0x9FDFDF));
    // Tool-window places; their visibility is the bool key of the same stem.
    s.push_back(Int("CommsPanelLocX", 10));
    s.push_back(Int("CommsPanelLocY", 10));
    s.push_back(Int("WeatherPanelLocX", 20));
    s.push_back(Int("WeatherPanelLocY", 20));
    s.push_back(Int("WeatherPanelHeight", 200));
    s.push_back(Int("ControllerListLocX", 30));
    s.push_back(Int("ControllerListLocY", 30));
    s.push_back(Int("ControllerListHeight", 300));
    s.push_back(Int("AircraftListLocX", 40));
    s.push_back(Int("AircraftListLocY", 40));
    s.push_back(Int("AircraftListHeight", 300));
    s.push_back(Int("FlightStripLocX", 50));
    s.push_back(Int("FlightStripLocY", 50));
    s.push_back(Int("StripBayLocX", 60));
    s.push_back(Int("StripBayLocY", 60));
    s.push_back(Int("StripBayHeight", 400));
    s.push_back(Int("SELCALPanelLocX", 70));
    s.push_back(Int("SELCALPanelLocY", 70));
    s.push_back(Int("SELCALPanelHeight", 200));

    s.push_back(Float("InputSquelch", 220.0));
    for (int i = 1; i <= 9; ++i) {
        std::string n = std::to_string(i);
        for (const char* stem :
             {"BookmarkLon", "BookmarkLat", "BookmarkZoom", "BookmarkRingLon", "BookmarkRingLat"})
            s.push_back(Float(stem + n, 0.0));
    }

    for (const char* key : {"ATIS",
                            "AliasFile",
                            "POFFile",
                            "Callsign",
                            "Server",
                            "CID",
                            "Password",
                            "RealName",
                            "SoundConnect",
                            "SoundDisconnect",
                            "SoundHandoffReq",
                            "SoundHandoffAcc",
                            "SoundConflict",
                            "SoundRadioMsg",
                            "SoundChatMsg",
                            "SoundATCMsg",
                            "SoundBcastMsg",
                            "SoundGuardMsg",
                            "SoundError",
                            "SoundIntercomCall",
                            "SoundOverrideCall",
                            "SoundReminder",
                            "SoundPointout",
                            "SoundStripReceived"})
        s.push_back(Text(key));
    for (int i = 0; i <= 11; ++i) {
        std::string n = std::to_string(i);
        for (const char* stem : {"CommsEntryName", "CommsEntryVoxServer", "CommsEntryVoxChan"})
            s.push_back(Text(stem + n));
    }
    for (const char* key :
         {"ATISMakerICAO", "ATISMakerTemplate", "AudioInputDevice", "AudioOutputHeadsetDevice",
          "AudioOutputSpeakerDevice", "VoxATISTemplate", "VoxATISServer"})
        s.push_back(Text(key));

    s.push_back(List("VFRCodes", "1200"));
    s.push_back(List("ModelSetOrder", "Qmv|VIP"));
    for (const char* key : {"ArrivalFields", "DepartureFields", "WxStations", "ATISMakerRunways",
                            "StripBaySeparators0", "StripBaySeparators1", "ScratchpadPresets"})
        s.push_back(List(key));
    return s;
}

std::vector<CatalogueEntry> BuildPerDisplaySettings() {
    return {
        Int("DisplayLocX%d", 10),
        Int("DisplayLocY%d", 10),
        Int("DisplayWidth%d", 640),
        Int("DisplayHeight%d", 480),
        Bool("DisplayMaximized%d", false),
        Float("DisplayCenterLon%d", 83.0),
        Float("DisplayCenterLat%d", -70.0),
        Float("DisplayRingLon%d", 83.0),
        Float("DisplayRingLat%d", -70.0),
        Float("DisplayZoom%d", 1.0),
        Int("DisplayMode%d", 3),
        Text("DisplaySectorFile%d"),
        Int("DisplayToggles%d", 0x3FCC40E),
        Text("ColorProfile%d", "Default"),
        Int("AirspaceFloor%d", 0),
        Int("AirspaceCeiling%d", 0),
        Bool("ShowTargetsAboveCeiling%d", true),
        Bool("ShowTagsAboveCeiling%d", true),
        Bool("ShowTargetsBelowFloor%d", true),
        Bool("ShowTagsBelowFloor%d", true),
        List("VisibleSIDs%d"),
        List("VisibleSTARs%d"),
        List("VisibleFixes%d"),
        List("VisibleVORs%d"),
        List("VisibleNDBs%d"),
        List("VisibleAirports%d"),
        List("VisibleCenterlines%d"),
        List("VisibleAirways%d"),
        Float("DisplayCameraLon%d", 0.0),
        Float("DisplayCameraLat%d", 0.0),
        Int("DisplayCameraAlt%d", 500),
        Int("DisplayTerrainAlt%d", 20),
    };
}

std::vector<ColorEntry> BuildDefaultColors() {
    std::vector<ColorEntry> c = {
        {"ColorTracked", 0x00FF00},
        {"ColorUntracked", 0x008000},
        {"ColorLDB", 0x008000},
        {"ColorFiltered", 0x004000},
        {"ColorHandoff", 0xFF0000},
        {"ColorConflict", 0x0000FF},
        {"ColorEmergency", 0x0000FF},
        {"ColorCoasting", 0x0000FF},
        {"ColorRangeRings", 0x0A0A0A},
        {"ColorVOR", 0x002E5B},
        {"ColorNDB", 0x000062},
        {"ColorFix", 0x002B2B},
        {"ColorAirport", 0x001C00},
        {"ColorHighAirway", 0x001C55},
        {"ColorLowAirway", 0x002B2B},
        {"ColorARTCCBound", 0x313131},
        {"ColorLowBound", 0x000080},
        {"ColorHighBound", 0x004000},
        {"ColorBackground", 0x000000},
        {"ColorRunway", 0x005500},
        {"ColorCenterlines", 0x004040},
        {"ColorSID", 0x003500},
        {"ColorSTAR", 0x008000},
        {"ColorSelected", 0x00FFFF},
        {"ColorPositionSymbol", 0x008000},
        {"ColorTargetSymbol", 0x008000},
        {"ColorPrimaryTarget", 0x008000},
        {"ColorHistoryTrail", 0x004000},
        {"ColorAnchorLines", 0x008080},
        {"ColorVectorLine", 0x008000},
        {"ColorToolLines", 0x00FFFF},
        {"ColorOceanicTracksWest", 0x808000},
        {"ColorOceanicTracksEast", 0x804000},
        {"ColorStickyText", 0x969696},
        {"ColorStickyBorder", 0x404080},
    };
    // Byte-wise key order, as the store's maps keep them.
    std::sort(c.begin(), c.end(), [](const ColorEntry& a, const ColorEntry& b) { return a.key < b.key; });
    return c;
}

std::vector<BuiltInColorProfile> BuildBuiltInColorProfiles() {
    // One row per key, columns Park Air, STARS R13, STARS R14, TAAATS; -1: not written.
    struct Row {
        std::string_view key;
        int colors[4];
    };
    static const Row rows[] = {
        {"ColorARTCCBound", {0xB4B4B4, 0x313131, 0x313131, 0x313131}},
        {"ColorAirport", {0xBEB4B4, 0x001C00, 0x001C00, 0x5B5B5B}},
        {"ColorAnchorLines", {0xD2D2D2, 0x008080, 0x008080, 0xB4E6FF}},
        {"ColorBackground", {0x322828, 0x000000, 0x000000, 0x949494}},
        {"ColorCenterlines", {0x322828, 0x004040, 0x004040, 0x4D4D4D}},
        {"ColorCoasting", {0xB4B4B4, 0x0000FF, 0x0000FF, 0x373737}},
        {"ColorConflict", {0x4650E6, 0x0000FF, 0x0000FF, 0x00FFFF}},
        {"ColorEmergency", {0x4650E6, 0x0000FF, 0x0000FF, 0x2E2EC8}},
        {"ColorFiltered", {0xF0F0F0, 0x004000, 0x004000, 0x000000}},
        {"ColorFix", {0xC8C3B4, 0x002B2B, 0x002B2B, 0x5B5B5B}},
        {"ColorHandoff", {0xF0F0F0, 0xFF0000, 0xFF0000, 0x69CDFF}},
        {"ColorHighAirway", {0x82AA55, 0x001C55, 0x001C55, 0x7D7D7D}},
        {"ColorHighBound", {0x4650E6, 0x004000, 0x004000, 0xB1B291}},
        {"ColorHistoryTrail", {0xB4B4B4, 0x009B00, 0xFF0A0A, 0x90BE90}},
        {"ColorLDB", {0xF0F0F0, 0x006E00, 0x006E00, 0x000000}},
        {"ColorLeaderLine", {-1, -1, -1, 0xAFE6AF}},  // TAAATS writes it right after ColorLDB
        {"ColorLowAirway", {0x0C8585, 0x002B2B, 0x002B2B, 0x7D7D7D}},
        {"ColorLowBound", {0xB4B4B4, 0x000080, 0x000080, 0x5B5B5B}},
        {"ColorNDB", {0xC8C3B4, 0x000062, 0x000062, 0x5B5B5B}},
        {"ColorOceanicTracksWest", {0x808000, 0x808000, 0x808000, 0x808000}},
        {"ColorOceanicTracksEast", {0x804000, 0x804000, 0x804000, 0x804000}},
        {"ColorPositionSymbol", {0xF0F0F0, 0xFFFFFF, 0x00F000, -1}},
        {"ColorPrimaryTarget", {0xF0F0F0, 0x00DCDC, 0x00C800, 0xAFE6AF}},
        {"ColorRangeRings", {0x464646, 0x0A0A0A, 0x0A0A0A, 0x606060}},
        {"ColorRunway", {0x322828, 0x005500, 0x005500, 0xA00000}},
        {"ColorSID", {0xC8D2F0, 0x003500, 0x003500, 0xC4ABC4}},
        {"ColorSTAR", {0xC8D2F0, 0x008000, 0x008000, 0xC4ABC4}},
        {"ColorSelected", {0xF0F0F0, 0x00FFFF, 0x00FFFF, 0xFFFFFF}},
        {"ColorStickyBorder", {0x506432, 0x404080, 0x404080, 0x808080}},
        {"ColorStickyText", {0x506432, 0x969696, 0x969696, 0x25F1FC}},
        {"ColorTargetSymbol", {0xF0F0F0, 0x00D200, 0xE10A0A, 0xAFE6AF}},
        {"ColorToolLines", {0xF0F0F0, 0x00FFFF, 0x00FFFF, 0xB4E6FF}},
        {"ColorTracked", {0xF0F0F0, 0x00A500, 0xFFFFFF, 0xAFE6AF}},
        {"ColorUntracked", {0xF0F0F0, 0x00A500, 0x00A500, 0xBC0000}},
        {"ColorVOR", {0xC8C3B4, 0x002E5B, 0x002E5B, 0x5B5B5B}},
        {"ColorVectorLine", {0xF0F0F0, 0x008000, 0x008000, 0xAFE6AF}},
    };
    std::vector<BuiltInColorProfile> profiles = {
        {"Park Air", {}}, {"STARS R13", {}}, {"STARS R14", {}}, {"TAAATS", {}}};
    for (const Row& row : rows)
        for (int p = 0; p < 4; ++p)
            if (row.colors[p] >= 0) profiles[p].colors.push_back({row.key, row.colors[p]});
    return profiles;
}

}  // namespace

const std::vector<CatalogueEntry>& FixedSettings() {
    static const std::vector<CatalogueEntry> settings = BuildFixedSettings();
    return settings;
}

const std::vector<CatalogueEntry>& PerDisplaySettings() {
    static const std::vector<CatalogueEntry> settings = BuildPerDisplaySettings();
    return settings;
}

std::string FormDisplayKey(std::string_view format, int display) {
    std::string key(format);
    size_t at = key.find("%d");
    if (at != std::string::npos) key.replace(at, 2, std::to_string(display));
    return key;
}

const std::vector<ColorEntry>& DefaultColors() {
    static const std::vector<ColorEntry> colors = BuildDefaultColors();
    return colors;
}

const std::vector<std::string>& RetiredKeys() {
    static const std::vector<std::string> keys = {
        "AutoAddStrips",    "ColorTracked",    "ColorUntracked",     "ColorLDB",
        "ColorFiltered",    "ColorHandoff",    "ColorConflict",      "ColorEmergency",
        "ColorCoasting",    "ColorRangeRings", "ColorRadioText",     "ColorVOR",
        "ColorNDB",         "ColorFix",        "ColorAirport",       "ColorHighAirway",
        "ColorLowAirway",   "ColorARTCCBound", "ColorLowBound",      "ColorHighBound",
        "ColorBackground",  "ColorRunway",     "ColorCenterlines",   "ColorSID",
        "ColorSTAR",        "ColorSelected",   "ColorPrimaryTarget", "ColorHistoryTrail",
        "ColorAnchorLines", "ColorToolLines",  "ColorStickyText",    "ColorStickyBorder",
        "AirspaceFloor",    "AirspaceCeiling", "ColorOceanicTracks", "HideFilteredTarget",
        "HideFilteredTag"};
    return keys;
}

const std::vector<BuiltInColorProfile>& BuiltInColorProfiles() {
    static const std::vector<BuiltInColorProfile> profiles = BuildBuiltInColorProfiles();
    return profiles;
}
