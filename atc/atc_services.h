// The narrow seams through which the ATC state reaches the rest of the
// program: settings, message lines, sound cues, the network manager's
// actions, the main scope, the tool windows, the simulator bridge and the
// voice engine's land lines. The program binds every seam
// (app/global_objects.cpp); tests pass the recording fakes of
// tests/atc/atc_fakes.h.
// Tested through tests/atc/aircraft_db_test.cpp and controller_db_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "atc/scope_point.h"

class Clock;
class AircraftExtrapolator;
struct TarqFlightPlanRecord;

// Settings read by key at each use (the profile object).
class AtcSettings {
public:
    virtual ~AtcSettings() = default;
    virtual int GetInt(const std::string& key) const = 0;
    virtual bool GetBool(const std::string& key) const = 0;
    virtual std::string GetString(const std::string& key) const = 0;
    // List settings ("ArrivalFields", "DepartureFields").
    virtual std::vector<std::string> GetList(const std::string& key) const = 0;
    virtual bool IsVFRCode(uint16_t code) const = 0;
};

// The display manager's radio-history sinks; ShowError also plays the error cue.
// The aircraft type download calls them from its worker thread, so an
// implementation must be safe to call from any thread (post to the main one).
class AtcMessageSink {
public:
    virtual ~AtcMessageSink() = default;
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
};

// Sound cues by file name (the caller reads the file name from its settings key).
class AtcSoundPlayer {
public:
    virtual ~AtcSoundPlayer() = default;
    virtual bool PlayConfiguredSound(const std::string& file, bool interrupt) = 0;
    virtual bool PlaySoundFile(const std::string& file) = 0;  // loops until stopped
    virtual bool StopSound() = 0;
};

// The network manager's controller actions. Argument order: receiver first,
// then the aircraft callsign.
class AtcNetwork {
public:
    virtual ~AtcNetwork() = default;
    virtual bool IsValidATC() const = 0;
    virtual void RequestFlightPlan(const std::string& callsign) = 0;
    virtual void RequestRealName(const std::string& callsign) = 0;
    virtual void RequestPlaneInfo(const std::string& callsign) = 0;
    virtual void RequestIsValidATC(const std::string& callsign) = 0;
    virtual void SendCCPID(const std::string& to) = 0;
    virtual void SendWhoHas(const std::string& callsign) = 0;
    // Sends the "IT" item and records the own callsign as tracking controller.
    virtual void InitiateTrack(const std::string& callsign) = 0;
    virtual void DropTrack(const std::string& callsign) = 0;
    virtual void SendHandoffOffer(const std::string& to, const std::string& callsign) = 0;
    virtual void SendHandoffAccept(const std::string& to, const std::string& callsign) = 0;
    virtual void SendHandoffCancel(const std::string& to, const std::string& callsign) = 0;
    virtual void SendPointOut(const std::string& to, const std::string& callsign) = 0;
    virtual void SendTrackData(const std::string& to, const std::string& callsign) = 0;
    virtual void SendTextMessage(const std::string& to, const std::string& text) = 0;
    virtual void AssignSquawk(const std::string& callsign, int code) = 0;
    virtual void SendScratchpad(const std::string& callsign, const std::string& text) = 0;
    virtual void SendTemporaryAltitude(const std::string& callsign, int feet) = 0;
    virtual void SendFinalAltitude(const std::string& callsign, int feet) = 0;
    virtual void SendVoiceType(const std::string& callsign, const std::string& letter) = 0;
    virtual void SendAmendedFlightPlan(const std::string& callsign, const TarqFlightPlanRecord& plan) = 0;
    // Seconds connected (stored total plus the running connection).
    virtual int GetConnectedTime() const = 0;
    virtual void ResetConnectedTime() = 0;
    // Wall-clock seconds when the current connection was made.
    virtual std::time_t GetConnectTime() const = 0;
};

// The main display's scope and the display manager's per-target calls.
class AtcScope {
public:
    virtual ~AtcScope() = default;
    // Visibility centre 0 to 3 in absolute degrees; (0, 0) when not set.
    virtual ScopePoint GetVisibilityCenter(int index) const = 0;
    // A named point relative to the sector offset.
    virtual bool FindNamedPoint(const std::string& name, ScopePoint& point) const = 0;
    virtual ScopePoint GetSectorOffset() const = 0;
    virtual void RefreshTargetAllDisplays(const std::string& callsign) = 0;
    virtual void RemoveSeparationLinksAll(const std::string& callsign) = 0;
};

// The tool windows the state refreshes: strip bay, aircraft list, flight
// plan editor, SELCAL panel, communications panel, controller list, chat.
class AtcToolWindows {
public:
    virtual ~AtcToolWindows() = default;
    virtual bool HasStrip(const std::string& callsign) const = 0;
    virtual void AddStripForAircraft(const std::string& callsign) = 0;
    virtual void PushStrip(const std::string& callsign, const std::string& toController, int flag) = 0;
    virtual void RemoveStrip(const std::string& callsign) = 0;
    virtual void RebuildAircraftList() = 0;
    virtual void ShowFlightPlanDetails(const std::string& callsign) = 0;
    // The callsign whose plan the flight plan editor shows; empty when none.
    virtual std::string GetEditorCallsign() const = 0;
    virtual void ShowFlightPlan(const std::string& callsign) = 0;
    virtual void SetSquawkField(int code) = 0;
    virtual void AddSelcalAircraft(const std::string& callsign, const std::string& remarks) = 0;
    virtual void RemoveSelcalCallsign(const std::string& callsign) = 0;
    // kHz; 0 when the panel has no primary frequency.
    virtual int GetPrimaryFrequency() const = 0;
    // kHz of the entries whose TX box is checked.
    virtual std::vector<int32_t> GetTXFrequencies() const = 0;
    // The primary entry's voice server and channel joined by "/"; empty when none.
    virtual std::string GetPrimaryVoiceChannel() const = 0;
    virtual void RebuildControllerList() = 0;
    virtual void RebuildChatGroups() = 0;
};

// Text communication: alias expansion and the ATIS maker.
class AtcTextComms {
public:
    virtual ~AtcTextComms() = default;
    // Expands user aliases, then the "$" variables, with the alias context
    // callsign set to contextCallsign for this one expansion and restored
    // afterwards. False when the alias budget ran out (an alias loop); out is
    // then left as it was.
    virtual bool ExpandAliases(const std::string& text, std::string& out,
                               const std::string& contextCallsign) = 0;
    // The voice ATIS text as the ATIS maker last composed it, lines separated by "|".
    virtual std::string GetVoiceATISText() const = 0;
};

// The flight simulator bridge (multiplayer manager).
class AtcSimulatorBridge {
public:
    virtual ~AtcSimulatorBridge() = default;
    virtual bool IsConnected() const = 0;
    virtual uint32_t AddAircraft(const std::string& callsign, const std::string& equipment,
                                 const std::string& airline, const std::string& livery) = 0;
    virtual void RemoveAircraft(uint32_t id) = 0;
    virtual void UpdateAircraftPosition(uint32_t id, double latitude, double longitude, double altitude,
                                        uint32_t attitude, const std::array<double, 3>& rates, double speed,
                                        int constant1, int constant2) = 0;
    // The position filter each new aircraft gets; null while no bridge can
    // make one, and the aircraft then holds its last report.
    virtual std::unique_ptr<AircraftExtrapolator> CreateExtrapolator() = 0;
};

// Land-line kinds and states of the voice engine.
enum class LandLineKind { Intercom = 0, Override = 1, Monitor = 2 };

class AtcVoice {
public:
    virtual ~AtcVoice() = default;
    // 1 none, 2 ringing, 3 pending, 4 active, 5 overridden, 6 overriding/monitoring, 7 held.
    virtual int GetLandLineState(LandLineKind kind, const std::string& callsign) const = 0;
    virtual bool PlaceLandLineCall(LandLineKind kind, const std::string& callsign) = 0;
    virtual bool AcceptLandLineCall(const std::string& callsign) = 0;
    virtual void HoldLandLine() = 0;
    virtual bool ResumeLandLine(const std::string& callsign) = 0;
    virtual bool HangUpLandLine() = 0;
};

// What the databases use. Every member must be set: the users take the set
// through Checked, which stops the program naming the gap.
struct AtcServices {
    AtcSettings* settings = nullptr;
    AtcMessageSink* messages = nullptr;
    AtcSoundPlayer* sounds = nullptr;
    AtcNetwork* network = nullptr;
    AtcScope* scope = nullptr;
    AtcToolWindows* tools = nullptr;
    AtcSimulatorBridge* simulator = nullptr;
    AtcVoice* voice = nullptr;
    AtcTextComms* text = nullptr;
    const Clock* clock = nullptr;

    // This set when it is whole; otherwise writes which member of user's
    // services is missing and aborts: a binding the program forgot.
    const AtcServices& Checked(const char* user) const;
};
