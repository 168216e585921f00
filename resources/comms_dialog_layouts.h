// Layouts of the weather panel (resource 163), the SELCAL panel (244) and the
// ATIS maker (ATISMaker): controls in dialog units, which the windows in
// app/comms_windows_wx.cpp turn into controls.
#pragma once

#include <cstddef>
#include <iterator>

enum class CommsControlKind {
    Label,
    ListBox,       // sorted, single selection
    MultiListBox,  // multiple selection, in given order
    ReportBox,     // multi-line, read-only
    ReadOnlyEdit,
    Edit,
    UpperCaseEdit,
    MultiEdit,  // multi-line, accepts Enter
    DropList,
    CheckBox,
    ToggleButton,  // a check box with a push-button look
    Button,
};

struct CommsControl {
    int id;  // 0: a label nobody addresses
    CommsControlKind kind;
    const char* text;
    int x;
    int y;
    int width;
    int height;
};

struct CommsLayout {
    const char* caption;
    int width;
    int height;
    const CommsControl* controls;
    size_t controlCount;
};

namespace comms_layouts {

using K = CommsControlKind;

inline constexpr int kWeatherList = 1106;
inline constexpr int kWeatherReport = 1094;
inline constexpr CommsControl kWeatherControls[] = {
    {kWeatherList, K::ListBox, "", 2, 3, 136, 59},
    {kWeatherReport, K::ReportBox, "", 2, 63, 136, 51},
};
inline constexpr CommsLayout kWeatherPanel = {"Weather Panel", 140, 108, kWeatherControls,
                                              std::size(kWeatherControls)};

inline constexpr int kSelcalList = 1123;
inline constexpr CommsControl kSelcalControls[] = {
    {kSelcalList, K::ListBox, "", 1, 2, 89, 146},
};
inline constexpr CommsLayout kSelcalPanel = {"SELCAL Panel", 94, 151, kSelcalControls,
                                             std::size(kSelcalControls)};

inline constexpr int kAtisLetter = 1020;
inline constexpr int kAtisAutoUpdate = 1137;
inline constexpr int kAtisRefresh = 4;
inline constexpr int kAtisHelp = 1113;
inline constexpr int kAtisCurrentInfo = 1128;
inline constexpr int kAtisLastMetar = 1117;
inline constexpr int kAtisLanding = 1123;
inline constexpr int kAtisDeparting = 1124;
inline constexpr int kAtisAddRunway = 1114;
inline constexpr int kAtisDeleteRunway = 1115;
inline constexpr int kAtisVisual = 1135;
inline constexpr int kAtisLahsos = 1136;
inline constexpr int kAtisVoiceServer = 1096;
inline constexpr int kAtisVoiceFrequency = 1097;
inline constexpr int kAtisRecord = 5;
inline constexpr int kAtisMonitor = 1138;
inline constexpr int kAtisConnect = 6;
inline constexpr int kAtisClose = 1159;
// The station, template, voice template and runway edits keep the ids the
// ATIS maker names in its failures.
inline constexpr CommsControl kAtisControls[] = {
    {0, K::Label, "Airport ICAO Code:", 7, 7, 70, 8},
    {1094, K::UpperCaseEdit, "", 7, 17, 50, 12},
    {0, K::Label, "ATIS Code:", 67, 7, 60, 8},
    {kAtisLetter, K::DropList, "", 67, 17, 70, 100},
    {kAtisAutoUpdate, K::ToggleButton, "Auto-Update", 147, 16, 60, 14},
    {kAtisRefresh, K::Button, "Refresh", 212, 16, 50, 14},
    {kAtisHelp, K::Button, "Help", 267, 16, 50, 14},
    {0, K::Label, "Controller Info Template:", 7, 35, 190, 8},
    {1127, K::MultiEdit, "", 7, 45, 190, 60},
    {0, K::Label, "Current Controller Info:", 205, 35, 190, 8},
    {kAtisCurrentInfo, K::ReportBox, "", 205, 45, 190, 60},
    {0, K::Label, "Last METAR:", 7, 110, 100, 8},
    {kAtisLastMetar, K::ReadOnlyEdit, "", 7, 120, 388, 12},
    {0, K::Label, "Landing:", 7, 137, 60, 8},
    {kAtisLanding, K::MultiListBox, "", 7, 147, 60, 50},
    {kAtisAddRunway, K::Button, "Add Rwy ->", 72, 147, 50, 14},
    {1095, K::UpperCaseEdit, "", 72, 165, 50, 12},
    {kAtisDeleteRunway, K::Button, "<- Del Rwy", 72, 181, 50, 14},
    {0, K::Label, "Departing:", 127, 137, 60, 8},
    {kAtisDeparting, K::MultiListBox, "", 127, 147, 60, 50},
    {kAtisVisual, K::CheckBox, "Visual approaches in use", 7, 202, 120, 10},
    {kAtisLahsos, K::CheckBox, "LAHSOs in effect", 7, 214, 120, 10},
    {0, K::Label, "Voice ATIS Template:", 205, 137, 190, 8},
    {1129, K::MultiEdit, "", 205, 147, 190, 50},
    {0, K::Label, "Voice ATIS Server:", 205, 202, 90, 8},
    {kAtisVoiceServer, K::Edit, "", 205, 212, 90, 12},
    {0, K::Label, "Voice ATIS Frequency:", 300, 202, 90, 8},
    {kAtisVoiceFrequency, K::Edit, "", 300, 212, 50, 12},
    {kAtisRecord, K::Button, "Record ATIS", 7, 236, 60, 14},
    {kAtisMonitor, K::ToggleButton, "Monitor ATIS", 72, 236, 60, 14},
    {kAtisConnect, K::Button, "Connect ATIS", 137, 236, 60, 14},
    {kAtisClose, K::Button, "Close Window", 335, 236, 60, 14},
};
inline constexpr CommsLayout kAtisMaker = {"ATISMaker", 402, 257, kAtisControls, std::size(kAtisControls)};

}  // namespace comms_layouts
