// Recording stand-ins for the seams of atc/atc_services.h, and a small world
// (fake clock, controller and aircraft databases wired together) for the ATC
// state tests. Every outside call lands in one ordered log.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "atc/aircraft_db.h"
#include "atc/atc_services.h"
#include "atc/controller_db.h"
#include "atc/flight_plan_record.h"
#include "platform/clock.h"
#include "tests/temp_dir.h"

struct CallLog {
    std::vector<std::string> lines;
    void Add(std::string line) { lines.push_back(std::move(line)); }
    void Clear() { lines.clear(); }
};

class FakeSettings final : public AtcSettings {
public:
    std::map<std::string, int> ints;
    std::map<std::string, bool> bools;
    std::map<std::string, std::string> strings;
    std::map<std::string, std::vector<std::string>> lists;
    std::set<uint16_t> vfrCodes;

    int GetInt(const std::string& key) const override {
        auto it = ints.find(key);
        return it == ints.end() ? 0 : it->second;
    }
    bool GetBool(const std::string& key) const override {
        auto it = bools.find(key);
        return it != bools.end() && it->second;
    }
    std::string GetString(const std::string& key) const override {
        auto it = strings.find(key);
        return it == strings.end() ? std::string() : it->second;
    }
    std::vector<std::string> GetList(const std::string& key) const override {
        auto it = lists.find(key);
        return it == lists.end() ? std::vector<std::string>() : it->second;
    }
    bool IsVFRCode(uint16_t code) const override { return vfrCodes.count(code) != 0; }
};

class RecordingMessages final : public AtcMessageSink {
public:
    explicit RecordingMessages(CallLog& log) : m_log(log) {}
    void ShowError(const std::string& text) override { m_log.Add("error: " + text); }
    void ShowMessage(const std::string& text) override { m_log.Add("info: " + text); }

private:
    CallLog& m_log;
};

class RecordingSounds final : public AtcSoundPlayer {
public:
    explicit RecordingSounds(CallLog& log) : m_log(log) {}
    bool PlayConfiguredSound(const std::string& file, bool interrupt) override {
        m_log.Add("sound: " + file + (interrupt ? " interrupt" : ""));
        return true;
    }
    bool PlaySoundFile(const std::string& file) override {
        m_log.Add("loop: " + file);
        return true;
    }
    bool StopSound() override {
        m_log.Add("stop sound");
        return true;
    }

private:
    CallLog& m_log;
};

class FakeNetwork final : public AtcNetwork {
public:
    FakeNetwork(CallLog& log, const AtcSettings& settings) : m_log(log), m_settings(settings) {}
    bool validAtc = true;
    int connectedTime = 0;
    std::time_t connectTime = 0;
    TarqAircraftDB* aircraftDB = nullptr;  // InitiateTrack records the own callsign there
    std::vector<TarqFlightPlanRecord> amendedPlans;

    bool IsValidATC() const override { return validAtc; }
    void RequestFlightPlan(const std::string& c) override { m_log.Add("RequestFlightPlan " + c); }
    void RequestRealName(const std::string& c) override { m_log.Add("RequestRealName " + c); }
    void RequestPlaneInfo(const std::string& c) override { m_log.Add("RequestPlaneInfo " + c); }
    void RequestIsValidATC(const std::string& c) override { m_log.Add("RequestIsValidATC " + c); }
    void SendCCPID(const std::string& to) override { m_log.Add("SendCCPID " + to); }
    void SendWhoHas(const std::string& c) override { m_log.Add("SendWhoHas " + c); }
    void InitiateTrack(const std::string& c) override {
        m_log.Add("InitiateTrack " + c);
        if (aircraftDB) aircraftDB->SetTrackingController(c, m_settings.GetString("Callsign"));
    }
    void DropTrack(const std::string& c) override { m_log.Add("DropTrack " + c); }
    void SendHandoffOffer(const std::string& to, const std::string& c) override {
        m_log.Add("SendHandoffOffer " + to + " " + c);
    }
    void SendHandoffAccept(const std::string& to, const std::string& c) override {
        m_log.Add("SendHandoffAccept " + to + " " + c);
    }
    void SendHandoffCancel(const std::string& to, const std::string& c) override {
        m_log.Add("SendHandoffCancel " + to + " " + c);
    }
    void SendPointOut(const std::string& to, const std::string& c) override {
        m_log.Add("SendPointOut " + to + " " + c);
    }
    void SendTrackData(const std::string& to, const std::string& c) override {
        m_log.Add("SendTrackData " + to + " " + c);
    }
    void SendTextMessage(const std::string& to, const std::string& text) override {
        m_log.Add("SendTextMessage " + to + " " + text);
    }
    void AssignSquawk(const std::string& c, int code) override {
        m_log.Add("AssignSquawk " + c + " " + std::to_string(code));
    }
    void SendScratchpad(const std::string& c, const std::string& text) override {
        m_log.Add("SendScratchpad " + c + " " + text);
    }
    void SendTemporaryAltitude(const std::string& c, int feet) override {
        m_log.Add("SendTemporaryAltitude " + c + " " + std::to_string(feet));
    }
    void SendFinalAltitude(const std::string& c, int feet) override {
        m_log.Add("SendFinalAltitude " + c + " " + std::to_string(feet));
    }
    void SendVoiceType(const std::string& c, const std::string& letter) override {
        m_log.Add("SendVoiceType " + c + " " + letter);
    }
    void SendAmendedFlightPlan(const std::string& c, const TarqFlightPlanRecord& plan) override {
        m_log.Add("SendAmendedFlightPlan " + c + " route=" + plan.route + " remarks=" + plan.remarks +
                  " alt=" + plan.cruiseAltitude);
        amendedPlans.push_back(plan);
    }
    int GetConnectedTime() const override { return connectedTime; }
    void ResetConnectedTime() override { connectedTime = 0; }
    std::time_t GetConnectTime() const override { return connectTime; }

private:
    CallLog& m_log;
    const AtcSettings& m_settings;
};

class FakeScope final : public AtcScope {
public:
    explicit FakeScope(CallLog& log) : m_log(log) {}
    ScopePoint centres[4];
    std::map<std::string, ScopePoint> namedPoints;  // relative to the sector offset
    ScopePoint offset;

    ScopePoint GetVisibilityCenter(int index) const override { return centres[index]; }
    bool FindNamedPoint(const std::string& name, ScopePoint& point) const override {
        auto it = namedPoints.find(name);
        if (it == namedPoints.end()) return false;
        point = it->second;
        return true;
    }
    ScopePoint GetSectorOffset() const override { return offset; }
    void RefreshTargetAllDisplays(const std::string& c) override { m_log.Add("RefreshTarget " + c); }
    void RemoveSeparationLinksAll(const std::string& c) override { m_log.Add("RemoveSeparationLinks " + c); }

private:
    CallLog& m_log;
};

class FakeTools final : public AtcToolWindows {
public:
    explicit FakeTools(CallLog& log) : m_log(log) {}
    std::set<std::string> strips;
    std::string editorCallsign;
    int primaryFrequency = 0;
    std::vector<int32_t> txFrequencies;
    std::string primaryVoiceChannel;

    bool HasStrip(const std::string& c) const override { return strips.count(c) != 0; }
    void AddStripForAircraft(const std::string& c) override {
        strips.insert(c);
        m_log.Add("AddStrip " + c);
    }
    void PushStrip(const std::string& c, const std::string& to, int flag) override {
        m_log.Add("PushStrip " + c + " " + to + " " + std::to_string(flag));
    }
    void RemoveStrip(const std::string& c) override {
        strips.erase(c);
        m_log.Add("RemoveStrip " + c);
    }
    void RebuildAircraftList() override { m_log.Add("RebuildAircraftList"); }
    void ShowFlightPlanDetails(const std::string& c) override { m_log.Add("ShowFlightPlanDetails " + c); }
    std::string GetEditorCallsign() const override { return editorCallsign; }
    void ShowFlightPlan(const std::string& c) override { m_log.Add("ShowFlightPlan " + c); }
    void SetSquawkField(int code) override { m_log.Add("SetSquawkField " + std::to_string(code)); }
    void AddSelcalAircraft(const std::string& c, const std::string& remarks) override {
        m_log.Add("AddSelcal " + c + " " + remarks);
    }
    void RemoveSelcalCallsign(const std::string& c) override { m_log.Add("RemoveSelcal " + c); }
    int GetPrimaryFrequency() const override { return primaryFrequency; }
    std::vector<int32_t> GetTXFrequencies() const override { return txFrequencies; }
    std::string GetPrimaryVoiceChannel() const override { return primaryVoiceChannel; }
    void RebuildControllerList() override { m_log.Add("RebuildControllerList"); }
    void RebuildChatGroups() override { m_log.Add("RebuildChatGroups"); }

private:
    CallLog& m_log;
};

class FakeSimulator final : public AtcSimulatorBridge {
public:
    explicit FakeSimulator(CallLog& log) : m_log(log) {}
    bool connected = false;
    uint32_t nextId = 1;
    int updates = 0;

    bool IsConnected() const override { return connected; }
    uint32_t AddAircraft(const std::string& c, const std::string& equipment, const std::string& airline,
                         const std::string& livery) override {
        m_log.Add("SimAdd " + c + " " + equipment + "/" + airline + "/" + livery + " -> " +
                  std::to_string(nextId));
        return nextId++;
    }
    void RemoveAircraft(uint32_t id) override { m_log.Add("SimRemove " + std::to_string(id)); }
    void UpdateAircraftPosition(uint32_t id, double, double, double, uint32_t, const std::array<double, 3>&,
                                double, int c1, int c2) override {
        ++updates;
        m_log.Add("SimUpdate " + std::to_string(id) + " " + std::to_string(c1) + " " + std::to_string(c2));
    }
    // The aircraft hold their last report: the tests place them exactly.
    std::unique_ptr<AircraftExtrapolator> CreateExtrapolator() override { return nullptr; }

private:
    CallLog& m_log;
};

class FakeVoice final : public AtcVoice {
public:
    explicit FakeVoice(CallLog& log) : m_log(log) {}
    bool placeOk = true;
    bool acceptOk = true;
    int intercomState = 1;

    int GetLandLineState(LandLineKind, const std::string&) const override { return intercomState; }
    bool PlaceLandLineCall(LandLineKind kind, const std::string& c) override {
        m_log.Add("PlaceCall " + std::to_string(static_cast<int>(kind)) + " " + c);
        return placeOk;
    }
    bool AcceptLandLineCall(const std::string& c) override {
        m_log.Add("AcceptCall " + c);
        return acceptOk;
    }
    void HoldLandLine() override { m_log.Add("Hold"); }
    bool ResumeLandLine(const std::string& c) override {
        m_log.Add("Resume " + c);
        return true;
    }
    bool HangUpLandLine() override {
        m_log.Add("HangUp");
        return true;
    }

private:
    CallLog& m_log;
};

// Alias expansion by a fixed word table; a text holding ".loop" fails as an
// alias loop does. Each expansion's context callsign is kept in order.
class FakeTextComms final : public AtcTextComms {
public:
    std::map<std::string, std::string> aliases;
    std::string voiceATISText;
    std::vector<std::string> contexts;

    bool ExpandAliases(const std::string& text, std::string& out, const std::string& context) override {
        contexts.push_back(context);
        if (text.find(".loop") != std::string::npos) return false;
        std::string expanded = text;
        for (const auto& [word, value] : aliases) {
            for (size_t at = expanded.find(word); at != std::string::npos;
                 at = expanded.find(word, at + value.size()))
                expanded.replace(at, word.size(), value);
        }
        out = expanded;
        return true;
    }
    std::string GetVoiceATISText() const override { return voiceATISText; }
};

// Own callsign "ME_CTR"; clock at a fixed wall time.
struct AtcWorld {
    static constexpr std::time_t kStart = 1700000000;

    CallLog log;
    ManualClock clock{0, kStart};
    FakeSettings settings;
    RecordingMessages messages{log};
    RecordingSounds sounds{log};
    FakeNetwork network{log, settings};
    FakeScope scope{log};
    FakeTools tools{log};
    FakeSimulator simulator{log};
    FakeVoice voice{log};
    FakeTextComms text;
    TarqControllerDB controllers{Services()};
    TarqAircraftDB aircraft{Services()};

    AtcWorld() {
        settings.strings["Callsign"] = "ME_CTR";
        network.aircraftDB = &aircraft;
        aircraft.SetControllerDB(&controllers);
        controllers.SetAircraftDB(&aircraft);
        log.Clear();
    }

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
        s.clock = &clock;
        return s;
    }

    // A report at (lat, lon) with the given altitude and ground speed, heading north, mode C.
    static AircraftReport Report(double lat, double lon, int altitude = 10000, int speed = 250,
                                 uint16_t squawk = 1200) {
        AircraftReport r;
        r.latitude = lat;
        r.longitude = lon;
        r.altitude = altitude;
        r.groundSpeed = speed;
        r.heading = 360;
        r.squawk = squawk;
        r.transponderMode = 'N';
        return r;
    }

    // Puts a controller on the network with a given frequency (kHz).
    void AddController(const std::string& callsign, int frequency = 120000, int facility = 5) {
        ControllerReport r;
        r.frequency = frequency;
        r.facility = facility;
        controllers.UpdateFromPositionReport(callsign, r);
    }

    void See(const std::string& callsign, double lat = 40, double lon = -74, int altitude = 10000,
             int speed = 250) {
        aircraft.UpdatePilotPosition(callsign, Report(lat, lon, altitude, speed));
    }
};
