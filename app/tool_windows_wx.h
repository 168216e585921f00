// The windows of the communications panel, the aircraft list, the
// controller list and the flight plan editor: controls bound to the plain
// classes of app/tool_windows.h, which decide everything.
// Tested by tests/app/program_test.cpp.
#pragma once

#include <memory>

class wxDialog;

class WxToolWindows {
public:
    WxToolWindows();
    ~WxToolWindows();
    WxToolWindows(const WxToolWindows&) = delete;
    WxToolWindows& operator=(const WxToolWindows&) = delete;

    // The windows while they exist (tests).
    wxDialog* GetCommsDialog() const;
    wxDialog* GetAircraftListDialog() const;
    wxDialog* GetControllerListDialog() const;
    wxDialog* GetFlightPlanDialog() const;

    class Window;

private:
    std::unique_ptr<Window> m_comms;
    std::unique_ptr<Window> m_aircraft;
    std::unique_ptr<Window> m_controllers;
    std::unique_ptr<Window> m_editor;
};

// Control ids the tests reach.
namespace tool_window_ids {
inline constexpr int kAircraftRows = 1109;
inline constexpr int kAircraftDetails = 1094;
inline constexpr int kControllerRows = 1022;
inline constexpr int kControllerInfo = 1094;
inline constexpr int kAlphaSort = 1115;
inline constexpr int kPositionFileOnly = 1116;
inline constexpr int kPlanCallsign = 1101;
inline constexpr int kPlanType = 1102;
inline constexpr int kPlanRules = 1020;
inline constexpr int kPlanAmend = 1106;
inline constexpr int kPlanDepart = 1096;
inline constexpr int kPlanArrive = 1098;
inline constexpr int kPlanAlternate = 1099;
inline constexpr int kPlanRefresh = 1107;
inline constexpr int kPlanCruise = 1100;
inline constexpr int kPlanScratchpad = 1103;
inline constexpr int kPlanSquawk = 1094;
inline constexpr int kPlanAssignSquawk = 1105;
inline constexpr int kPlanRoute = 1097;
inline constexpr int kPlanPlot = 1108;
inline constexpr int kPlanRemarks = 1104;
inline constexpr int kCommsName = 1084;
inline constexpr int kCommsFrequency = 1085;
inline constexpr int kCommsServer = 1086;
inline constexpr int kCommsChannel = 1087;
inline constexpr int kCommsSave = 1088;
inline constexpr int kCommsClear = 1089;
inline constexpr int kCommsCancel = 1102;
inline constexpr int kAutoRoute = 1115;
inline constexpr int kAirGroundToSpeaker = 1116;
inline constexpr int kGroundGroundToSpeaker = 1117;
inline constexpr int kMicMute = 1118;
}  // namespace tool_window_ids
