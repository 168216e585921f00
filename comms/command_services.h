// What the command processor reaches outside itself, each neighbour behind
// a narrow interface so that tests drive the processor with fakes and the
// program binds the real objects (app/command_bindings.cpp).
// Tested through tests/comms/command_processor_test.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "atc/scope_point.h"

class TarqProfile;

// The network manager's operations; argument orders are the manager's.
class CommandNetwork {
public:
    virtual ~CommandNetwork() = default;
    virtual bool IsConnected() const = 0;
    virtual bool IsValidATC() const = 0;
    // Both false when nothing went out (an empty text, no transmit frequency).
    virtual bool SendFrequencyText(const std::string& text) = 0;
    virtual bool SendRadioMessage(const std::string& text) = 0;
    virtual void SendPointOut(const std::string& to, const std::string& callsign) = 0;
    virtual void SendWhoHas(const std::string& callsign) = 0;
    virtual void RequestFlightPlan(const std::string& callsign) = 0;
    virtual void SendTextMessage(const std::string& to, const std::string& text) = 0;
    virtual void SendWallop(const std::string& text) = 0;
    virtual void SendBroadcast(const std::string& text) = 0;
    virtual void RequestInfo(const std::string& callsign) = 0;
    virtual void RequestATIS(const std::string& callsign) = 0;
    virtual void RequestClientVersion(const std::string& callsign) = 0;
    virtual void SendPing(const std::string& to) = 0;
    virtual void RequestFrequency(const std::string& callsign) = 0;
    virtual void SetPendingFindCallsign(const std::string& callsign) = 0;
    virtual void SendKill(const std::string& callsign, const std::string& reason) = 0;
    virtual void SetBreakRequest(bool on) = 0;
    virtual void SetRejectPrivate(bool on, const std::string& replyText) = 0;
    virtual void SetRejectAllPrivate(const std::string& replyText) = 0;
    virtual void SetHelpRequest(bool on, const std::string& message) = 0;
    virtual void SetLogoffTime(const std::string& text) = 0;
};

// The aircraft and controller databases.
class CommandTraffic {
public:
    virtual ~CommandTraffic() = default;
    // --- aircraft
    virtual std::string GetCallsignForAircraftNumber(const std::string& word) const = 0;
    virtual bool HasAircraft(const std::string& callsign) const = 0;
    virtual void AcceptHandoff(const std::string& callsign) = 0;
    virtual void DropTrack(const std::string& callsign, const std::string& byController) = 0;
    virtual void InitiateHandoff(const std::string& callsign, const std::string& positionId) = 0;
    virtual void HandoffToPositionId(const std::string& positionId) = 0;
    virtual bool CheckControl(const std::string& callsign) = 0;
    virtual void SetCruiseAltitude(const std::string& callsign, int feet) = 0;
    virtual void SetTemporaryAltitude(const std::string& callsign, const std::string& byController,
                                      int feet) = 0;
    virtual void SetAssignedSquawk(const std::string& callsign, const std::string& byController,
                                   int code) = 0;
    virtual void SetVoiceType(const std::string& callsign, const std::string& byController,
                              int voiceType) = 0;
    virtual void SetScratchpad(const std::string& callsign, const std::string& byController,
                               const std::string& text) = 0;
    // Every display forces the full data blocks of that controller's tracks.
    virtual void ShowFullDataBlocksOf(const std::string& controllerCallsign) = 0;
    // Empty texts when the aircraft has filed no plan.
    virtual void GetAirports(const std::string& callsign, std::string& departure,
                             std::string& destination) const = 0;
    virtual std::string GetTrackingController(const std::string& callsign) const = 0;
    virtual std::string GetPilotRealName(const std::string& callsign) const = 0;
    virtual void AmendRoute(const std::string& callsign, const std::string& route) = 0;
    virtual void ShowStatistics() = 0;
    virtual void ResetStatistics() = 0;
    virtual void RemoveAircraft(const std::string& callsign, bool protectOwnTrack) = 0;
    virtual void ShowAircraftInfo(const std::string& callsignOrType, bool byCallsign) = 0;
    virtual void ShowModelInfo(const std::string& callsign) = 0;
    virtual bool IsAlertSoundPlaying() const = 0;
    virtual void StopAlertSound() = 0;
    // --- controllers
    virtual std::string GetCallsignForPositionId(const std::string& positionId) const = 0;
    virtual bool HasController(const std::string& callsign) const = 0;
    virtual std::string GetControllerRealName(const std::string& callsign) const = 0;
    // Its position (absolute degrees) and visibility range; false when unknown.
    virtual bool GetControllerLocation(const std::string& callsign, ScopePoint& position,
                                       int& rangeNm) const = 0;
    // The position file named by the profile, then the identifiers and records
    // of every controller; false when the file could not be read.
    virtual bool ReloadPositionFile() = 0;
};

// Land lines, as the controller database carries them to the voice engine.
class CommandLandLines {
public:
    virtual ~CommandLandLines() = default;
    virtual void OpenOverride(const std::string& callsign) = 0;
    virtual void OpenIntercom(const std::string& callsign) = 0;
    virtual void StartMonitor(const std::string& callsign) = 0;
    virtual void AcceptLandLine() = 0;
    virtual void ToggleLandLine() = 0;
    virtual void StopLandLine() = 0;
};

// One display window as the commands see it: its scope and its own lines.
class CommandDisplay {
public:
    virtual ~CommandDisplay() = default;
    virtual void SetRingCenterToPoint(const std::string& name) = 0;
    virtual void ShowItems(const std::string& names, int kind, bool fromRoute) = 0;
    virtual void ShowDiagrams(const std::string& names) = 0;
    virtual void HideItems(int kind) = 0;
    virtual void ClearDiagrams() = 0;
    virtual void CenterOnPoint(const std::string& name) = 0;
    virtual void SetVisibilityCenterToPoint(int slot, const std::string& name) = 0;
    virtual void ClearVisibilityCenters(bool withMessage) = 0;
    virtual void ShowVisibilityCenters() = 0;
    virtual void MarkPointout(const std::string& callsign) = 0;
    virtual void ShowRoute(const std::string& callsign, bool showPoints) = 0;
    virtual void FindPoint(const std::string& name) = 0;
    virtual void Declutter() = 0;
    virtual void ToggleSepRings() = 0;
    virtual void ToggleFilters() = 0;
    virtual void ToggleQuicklook() = 0;
    virtual void ReloadSectorFile() = 0;
    virtual void ClearSeparationLinks() = 0;
    // False when either aircraft is not known.
    virtual bool AddSeparationLink(const std::string& first, const std::string& second) = 0;
    virtual void ClearNotes() = 0;
    // A sticky note at the view centre.
    virtual void AddNoteAtCenter(const std::string& text) = 0;
    virtual void SetCameraToPoint(const std::string& name) = 0;
    virtual void SetCameraAltitudeFeet(int feet) = 0;
    virtual void SetMinCameraAltitude(int feet) = 0;
    // An empty callsign ends following.
    virtual void SetCameraToAircraft(const std::string& callsign, bool spot) = 0;
    // Absolute degrees; the display applies its sector offset.
    virtual void ShowLocation(const std::string& label, ScopePoint position, int rangeNm) = 0;
    virtual bool FindNamedPoint(const std::string& name, ScopePoint& position) const = 0;
    virtual void AddAnchor(const std::string& callsign, const std::string& pointName,
                           ScopePoint position) = 0;
    virtual void ShowRangeBearing(const std::string& first, const std::string& second) = 0;
};

// The display manager, the main display's radio history and the tool windows.
class CommandShell {
public:
    virtual ~CommandShell() = default;
    virtual void ShowError(const std::string& text) = 0;  // with the error sound
    virtual void ShowInfo(const std::string& text) = 0;
    // Kinds as the radio history numbers them (2 own radio, 3 ATC channel,
    // 4 broadcast, 5 wallop, 9 private).
    virtual void AddOwnMessage(const std::string& text, const std::string& recipient, int kind) = 0;
    virtual void CopyRadioHistory() = 0;
    // A bare file name in the start directory; the history reports the outcome.
    virtual void SaveRadioLog(const std::string& fileName) = 0;
    virtual void ClearMessageWaiting() = 0;
    // Displays are numbered from 1; null when there is none of that number.
    virtual CommandDisplay* GetDisplayById(int number) = 0;
    virtual CommandDisplay* GetMainDisplay() = 0;
    virtual std::string GetSelectedCallsign() const = 0;
    virtual void ToggleSeeAll() = 0;
    virtual void CascadeWindows() = 0;  // displays, then tool windows
    virtual void RemoveAnchorsAll(const std::string& callsign) = 0;
    virtual void RebuildAllMenus() = 0;
    virtual void ActivateMainWindow() = 0;
    virtual void HideFlightPlanEditor() = 0;
    virtual void ShowFlightPlanEditor(const std::string& callsign) = 0;
    // Empty when the editor is hidden or holds no plan.
    virtual std::string GetEditorCallsign() const = 0;
    virtual void ShowControllerInfo(const std::string& callsign) = 0;
    virtual int GetPrimaryFrequency() const = 0;  // kHz, 0 when none
    virtual bool OpenUrl(const std::string& url) = 0;
    virtual void SetAwaitedFlightPlan(const std::string& callsign) = 0;
    // The diagnostic bits the scope and the lists read.
    virtual uint32_t GetDebugFlags() const = 0;
    virtual void SetDebugFlags(uint32_t flags) = 0;
};

// The weather panel.
class CommandWeather {
public:
    virtual ~CommandWeather() = default;
    virtual void ToggleStation(const std::string& station) = 0;
    virtual void RequestMetar(const std::string& station) = 0;
    virtual void ShowPanel() = 0;
};

// The flight strip bay.
class CommandStrips {
public:
    virtual ~CommandStrips() = default;
    virtual void AddStripForAircraft(const std::string& callsign) = 0;
    virtual void AddSeparator(const std::string& labels, int column) = 0;
    // Every aircraft strip; the separators stay.
    virtual void ClearStrips() = 0;
    virtual bool RemoveStrip(const std::string& callsign) = 0;
    virtual void PushStrip(const std::string& callsign, const std::string& toCallsign) = 0;
};

// The chat manager's windows.
class CommandChatWindows {
public:
    virtual ~CommandChatWindows() = default;
    // Finds or makes the window ("CALLSIGN" or ":GROUP") and shows it; a
    // non-empty member list becomes a group's members.
    virtual void OpenChatWindow(const std::string& name, const std::string& members, bool show) = 0;
    virtual void CascadeWindows() = 0;
};

// Aliases and "$" variables.
class CommandTextExpansion {
public:
    virtual ~CommandTextExpansion() = default;
    // False (out untouched) on an alias loop; `callsign` is the aircraft the
    // variables describe for this one expansion.
    virtual bool ExpandAliases(const std::string& in, std::string& out, const std::string& callsign) = 0;
    virtual bool LoadAliases(const std::string& path) = 0;
};

struct CommandServices {
    TarqProfile* profile = nullptr;
    CommandNetwork* network = nullptr;
    CommandTraffic* traffic = nullptr;
    CommandShell* shell = nullptr;
    CommandWeather* weather = nullptr;
    CommandStrips* strips = nullptr;
    CommandChatWindows* chat = nullptr;
    CommandLandLines* landLines = nullptr;
    CommandTextExpansion* text = nullptr;
};
