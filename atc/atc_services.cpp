// Quiet defaults for the seams of atc_services.h.
// Tested through tests/atc/aircraft_db_test.cpp.
#include "atc/atc_services.h"

#include "atc/aircraft.h"
#include "atc/flight_plan_record.h"
#include "platform/clock.h"

std::unique_ptr<AircraftExtrapolator> AtcSimulatorBridge::CreateExtrapolator() { return nullptr; }

namespace {

class NullSettings final : public AtcSettings {
public:
    int GetInt(const std::string&) const override { return 0; }
    bool GetBool(const std::string&) const override { return false; }
    std::string GetString(const std::string&) const override { return {}; }
    std::vector<std::string> GetList(const std::string&) const override { return {}; }
    bool IsVFRCode(uint16_t) const override { return false; }
};

class NullMessages final : public AtcMessageSink {
public:
    void ShowError(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
};

class NullSounds final : public AtcSoundPlayer {
public:
    bool PlayConfiguredSound(const std::string&, bool) override { return false; }
    bool PlaySoundFile(const std::string&) override { return false; }
    bool StopSound() override { return true; }
};

class NullNetwork final : public AtcNetwork {
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

class NullScope final : public AtcScope {
public:
    ScopePoint GetVisibilityCenter(int) const override { return {}; }
    bool FindNamedPoint(const std::string&, ScopePoint&) const override { return false; }
    ScopePoint GetSectorOffset() const override { return {}; }
    void RefreshTargetAllDisplays(const std::string&) override {}
    void RemoveSeparationLinksAll(const std::string&) override {}
};

class NullTools final : public AtcToolWindows {
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

class NullSimulator final : public AtcSimulatorBridge {
public:
    bool IsConnected() const override { return false; }
    uint32_t AddAircraft(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return 0;
    }
    void RemoveAircraft(uint32_t) override {}
    void UpdateAircraftPosition(uint32_t, double, double, double, uint32_t, const std::array<double, 3>&,
                                double, int, int) override {}
};

class NullVoice final : public AtcVoice {
public:
    int GetLandLineState(LandLineKind, const std::string&) const override { return 1; }
    bool PlaceLandLineCall(LandLineKind, const std::string&) override { return false; }
    bool AcceptLandLineCall(const std::string&) override { return false; }
    void HoldLandLine() override {}
    bool ResumeLandLine(const std::string&) override { return false; }
    bool HangUpLandLine() override { return false; }
};

// No alias table: the text stays as it is.
class NullTextComms final : public AtcTextComms {
public:
    bool ExpandAliases(const std::string& text, std::string& out, const std::string&) override {
        out = text;
        return true;
    }
    std::string GetVoiceATISText() const override { return {}; }
};

}  // namespace

AtcServices AtcServices::Completed() const {
    static NullSettings nullSettings;
    static NullMessages nullMessages;
    static NullSounds nullSounds;
    static NullNetwork nullNetwork;
    static NullScope nullScope;
    static NullTools nullTools;
    static NullSimulator nullSimulator;
    static NullVoice nullVoice;
    static NullTextComms nullText;
    AtcServices done = *this;
    if (!done.settings) done.settings = &nullSettings;
    if (!done.messages) done.messages = &nullMessages;
    if (!done.sounds) done.sounds = &nullSounds;
    if (!done.network) done.network = &nullNetwork;
    if (!done.scope) done.scope = &nullScope;
    if (!done.tools) done.tools = &nullTools;
    if (!done.simulator) done.simulator = &nullSimulator;
    if (!done.voice) done.voice = &nullVoice;
    if (!done.text) done.text = &nullText;
    if (!done.clock) done.clock = &SystemClock::Instance();
    return done;
}
