// Services that answer without doing anything, for the tests and benchmarks
// that exercise one part of a class and need only a few of its seams: each
// user sets the members it watches and leaves the rest quiet. Tests that
// follow what the ATC state asks of the program use atc_fakes.h instead.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "atc/aircraft.h"
#include "atc/atc_services.h"
#include "atc/flight_plan_record.h"
#include "platform/clock.h"


class QuietSettings final : public AtcSettings {
public:
    int GetInt(const std::string&) const override { return 0; }
    bool GetBool(const std::string&) const override { return false; }
    std::string GetString(const std::string&) const override { return {}; }
    std::vector<std::string> GetList(const std::string&) const override { return {}; }
    bool IsVFRCode(uint16_t) const override { return false; }
};

class QuietMessages final : public AtcMessageSink {
public:
    void ShowError(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
};

class QuietSounds final : public AtcSoundPlayer {
public:
    bool PlayConfiguredSound(const std::string&, bool) override { return false; }
    bool PlaySoundFile(const std::string&) override { return false; }
    bool StopSound() override { return true; }
};

class QuietNetwork final : public AtcNetwork {
public:
    bool IsValidATC() const override { return false; }
    void RequestFlightPlan(const std::string&) override {}
    void RequestRealName(const std::string&) override {}
    void RequestPlaneInfo(const std::string&) override {}
    void RequestIsValidATC(const std::string&) override {}
    void SendCCPID(const std::string&) override {}
    void SendWhoHas(const std::string&) override {}
    void InitiateTrack(const std::string&) override {}
    void DropTrack(const std::string&) override {}
    void SendHandoffOffer(const std::string&, const std::string&) override {}
    void SendHandoffAccept(const std::string&, const std::string&) override {}
    void SendHandoffCancel(const std::string&, const std::string&) override {}
    void SendPointOut(const std::string&, const std::string&) override {}
    void SendTrackData(const std::string&, const std::string&) override {}
    void SendTextMessage(const std::string&, const std::string&) override {}
    void AssignSquawk(const std::string&, int) override {}
    void SendScratchpad(const std::string&, const std::string&) override {}
    void SendTemporaryAltitude(const std::string&, int) override {}
    void SendFinalAltitude(const std::string&, int) override {}
    void SendVoiceType(const std::string&, const std::string&) override {}
    void SendAmendedFlightPlan(const std::string&, const TarqFlightPlanRecord&) override {}
    int GetConnectedTime() const override { return 0; }
    void ResetConnectedTime() override {}
    std::time_t GetConnectTime() const override { return 0; }
};

class QuietScope final : public AtcScope {
public:
    ScopePoint GetVisibilityCenter(int) const override { return {}; }
    bool FindNamedPoint(const std::string&, ScopePoint&) const override { return false; }
    ScopePoint GetSectorOffset() const override { return {}; }
    void RefreshTargetAllDisplays(const std::string&) override {}
    void RemoveSeparationLinksAll(const std::string&) override {}
};

class QuietTools final : public AtcToolWindows {
public:
    bool HasStrip(const std::string&) const override { return false; }
    void AddStripForAircraft(const std::string&) override {}
    void PushStrip(const std::string&, const std::string&, int) override {}
    void RemoveStrip(const std::string&) override {}
    void RebuildAircraftList() override {}
    void ShowFlightPlanDetails(const std::string&) override {}
    std::string GetEditorCallsign() const override { return {}; }
    void ShowFlightPlan(const std::string&) override {}
    void SetSquawkField(int) override {}
    void AddSelcalAircraft(const std::string&, const std::string&) override {}
    void RemoveSelcalCallsign(const std::string&) override {}
    int GetPrimaryFrequency() const override { return 0; }
    std::vector<int32_t> GetTXFrequencies() const override { return {}; }
    std::string GetPrimaryVoiceChannel() const override { return {}; }
    void RebuildControllerList() override {}
    void RebuildChatGroups() override {}
};

class QuietSimulator final : public AtcSimulatorBridge {
public:
    bool IsConnected() const override { return false; }
    uint32_t AddAircraft(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return 0;
    }
    void RemoveAircraft(uint32_t) override {}
    void UpdateAircraftPosition(uint32_t, double, double, double, uint32_t, const std::array<double, 3>&,
                                double, int, int) override {}
    std::unique_ptr<AircraftExtrapolator> CreateExtrapolator() override { return nullptr; }
};

class QuietVoice final : public AtcVoice {
public:
    int GetLandLineState(LandLineKind, const std::string&) const override { return 1; }
    bool PlaceLandLineCall(LandLineKind, const std::string&) override { return false; }
    bool AcceptLandLineCall(const std::string&) override { return false; }
    void HoldLandLine() override {}
    bool ResumeLandLine(const std::string&) override { return false; }
    bool HangUpLandLine() override { return false; }
};

class QuietTextComms final : public AtcTextComms {
public:
    bool ExpandAliases(const std::string& text, std::string& out, const std::string&) override {
        out = text;
        return true;
    }
    std::string GetVoiceATISText() const override { return {}; }
};


// No settings, no messages, no network, no scope: the system clock.
struct QuietAtcServices {
    QuietSettings settings;
    QuietMessages messages;
    QuietSounds sounds;
    QuietNetwork network;
    QuietScope scope;
    QuietTools tools;
    QuietSimulator simulator;
    QuietVoice voice;
    QuietTextComms text;

    AtcServices Services() {
        AtcServices s;
        s.settings = &settings;
        s.messages = &messages;
        s.sounds = &sounds;
        s.network = &network;
        s.scope = &scope;
        s.tools = &tools;
        s.simulator = &simulator;
        s.voice = &voice;
        s.text = &text;
        s.clock = &SystemClock::Instance();
        return s;
    }
};
