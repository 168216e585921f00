// Recording fakes of every interface the command processor reaches: each
// call becomes one "Name(arg,arg)" entry in `calls` (display calls prefixed
// with their display number), and each radio-history line one entry in
// `lines`: "error: text", "info: text", or "own <kind>: text" with the
// recipient in front of the text for a private message.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "comms/command_processor.h"
#include "comms/command_services.h"
#include "foundation/profile.h"

namespace fake_command {

inline std::string Args() { return {}; }
template <typename T>
std::string Arg(const T& value) {
    if constexpr (std::is_same_v<T, bool>)
        return value ? "true" : "false";
    else if constexpr (std::is_arithmetic_v<T>)
        return std::to_string(value);
    else
        return std::string(value);
}
template <typename T, typename... R>
std::string Args(const T& first, const R&... rest) {
    std::string text = Arg(first);
    ((text += "," + Arg(rest)), ...);
    return text;
}

struct Log {
    std::vector<std::string> calls;
    std::vector<std::string> lines;
    void Call(const std::string& name, const std::string& args) { calls.push_back(name + "(" + args + ")"); }
};

struct Aircraft {
    std::string number;  // three digits
    std::string departure;
    std::string destination;
    std::string owner;
    std::string realName;
};

struct Controller {
    std::string positionId;
    std::string realName;
    ScopePoint position;
    int range = 0;
};

class Network final : public CommandNetwork {
public:
    explicit Network(Log& log) : m_log(log) {}
    bool connected = true;
    bool validAtc = true;
    bool transmitting = true;                 // a transmit frequency is primed
    std::vector<std::string> callsignFields;  // every callsign put into a protocol field
    bool IsConnected() const override { return connected; }
    bool IsValidATC() const override { return validAtc; }
    bool SendFrequencyText(const std::string& text) override {
        if (text.empty()) return false;
        m_log.Call("SendFrequencyText", Args(text));
        return true;
    }
    bool SendRadioMessage(const std::string& text) override {
        if (text.empty() || !transmitting) return false;
        m_log.Call("SendRadioMessage", Args(text));
        return true;
    }
    void SendPointOut(const std::string& to, const std::string& cs) override {
        callsignFields.push_back(to);
        callsignFields.push_back(cs);
        m_log.Call("SendPointOut", Args(to, cs));
    }
    void SendWhoHas(const std::string& cs) override {
        callsignFields.push_back(cs);
        m_log.Call("SendWhoHas", Args(cs));
    }
    void RequestFlightPlan(const std::string& cs) override {
        callsignFields.push_back(cs);
        m_log.Call("RequestFlightPlan", Args(cs));
    }
    void SendTextMessage(const std::string& to, const std::string& text) override {
        callsignFields.push_back(to);
        m_log.Call("SendTextMessage", Args(to, text));
    }
    void SendWallop(const std::string& text) override { m_log.Call("SendWallop", Args(text)); }
    void SendBroadcast(const std::string& text) override { m_log.Call("SendBroadcast", Args(text)); }
    void RequestInfo(const std::string& cs) override {
        callsignFields.push_back(cs);
        m_log.Call("RequestInfo", Args(cs));
    }
    void RequestATIS(const std::string& cs) override {
        callsignFields.push_back(cs);
        m_log.Call("RequestATIS", Args(cs));
    }
    void RequestClientVersion(const std::string& cs) override {
        callsignFields.push_back(cs);
        m_log.Call("RequestClientVersion", Args(cs));
    }
    void SendPing(const std::string& to) override {
        callsignFields.push_back(to);
        m_log.Call("SendPing", Args(to));
    }
    void RequestFrequency(const std::string& cs) override {
        callsignFields.push_back(cs);
        m_log.Call("RequestFrequency", Args(cs));
    }
    void SetPendingFindCallsign(const std::string& cs) override {
        callsignFields.push_back(cs);
        m_log.Call("SetPendingFindCallsign", Args(cs));
    }
    void SendKill(const std::string& cs, const std::string& reason) override {
        callsignFields.push_back(cs);
        m_log.Call("SendKill", Args(cs, reason));
    }
    void SetBreakRequest(bool on) override { m_log.Call("SetBreakRequest", Args(on)); }
    void SetRejectPrivate(bool on, const std::string& text) override {
        m_log.Call("SetRejectPrivate", Args(on, text));
    }
    void SetRejectAllPrivate(const std::string& text) override {
        m_log.Call("SetRejectAllPrivate", Args(text));
    }
    void SetHelpRequest(bool on, const std::string& text) override {
        m_log.Call("SetHelpRequest", Args(on, text));
    }
    void SetLogoffTime(const std::string& text) override { m_log.Call("SetLogoffTime", Args(text)); }

private:
    Log& m_log;
};

class Traffic final : public CommandTraffic {
public:
    explicit Traffic(Log& log) : m_log(log) {}
    std::map<std::string, Aircraft> aircraft;
    std::map<std::string, Controller> controllers;  // by callsign
    std::string ownCallsign;                        // RemoveAircraft keeps its tracks
    bool control = true;
    bool soundPlaying = false;
    bool positionFileReads = true;

    std::string GetCallsignForAircraftNumber(const std::string& word) const override {
        if (word.size() == 3)
            for (const auto& [callsign, a] : aircraft)
                if (a.number == word) return callsign;
        return word;
    }
    bool HasAircraft(const std::string& cs) const override { return aircraft.count(cs) > 0; }
    void AcceptHandoff(const std::string& cs) override { m_log.Call("AcceptHandoff", Args(cs)); }
    void DropTrack(const std::string& cs, const std::string& by) override {
        m_log.Call("DropTrack", Args(cs, by));
    }
    void InitiateHandoff(const std::string& cs, const std::string& id) override {
        m_log.Call("InitiateHandoff", Args(cs, id));
    }
    void HandoffToPositionId(const std::string& id) override { m_log.Call("HandoffToPositionId", Args(id)); }
    bool CheckControl(const std::string& cs) override {
        m_log.Call("CheckControl", Args(cs));
        return control;
    }
    void SetCruiseAltitude(const std::string& cs, int feet) override {
        m_log.Call("SetCruiseAltitude", Args(cs, feet));
    }
    void SetTemporaryAltitude(const std::string& cs, const std::string& by, int feet) override {
        m_log.Call("SetTemporaryAltitude", Args(cs, by, feet));
    }
    void SetAssignedSquawk(const std::string& cs, const std::string& by, int code) override {
        m_log.Call("SetAssignedSquawk", Args(cs, by, code));
    }
    void SetVoiceType(const std::string& cs, const std::string& by, int type) override {
        m_log.Call("SetVoiceType", Args(cs, by, type));
    }
    void SetScratchpad(const std::string& cs, const std::string& by, const std::string& text) override {
        m_log.Call("SetScratchpad", Args(cs, by, text));
    }
    void ShowFullDataBlocksOf(const std::string& cs) override {
        m_log.Call("ShowFullDataBlocksOf", Args(cs));
    }
    void GetAirports(const std::string& cs, std::string& dep, std::string& dest) const override {
        auto it = aircraft.find(cs);
        if (it == aircraft.end()) return;
        dep = it->second.departure;
        dest = it->second.destination;
    }
    std::string GetTrackingController(const std::string& cs) const override {
        auto it = aircraft.find(cs);
        return it == aircraft.end() ? std::string() : it->second.owner;
    }
    std::string GetPilotRealName(const std::string& cs) const override {
        auto it = aircraft.find(cs);
        return it == aircraft.end() ? std::string() : it->second.realName;
    }
    void AmendRoute(const std::string& cs, const std::string& route) override {
        m_log.Call("AmendRoute", Args(cs, route));
    }
    void ShowStatistics() override { m_log.Call("ShowStatistics", Args()); }
    void ResetStatistics() override { m_log.Call("ResetStatistics", Args()); }
    void RemoveAircraft(const std::string& cs, bool protect) override {
        m_log.Call("RemoveAircraft", Args(cs, protect));
        auto it = aircraft.find(cs);
        if (it != aircraft.end() && !(protect && it->second.owner == ownCallsign)) aircraft.erase(it);
    }
    void ShowAircraftInfo(const std::string& text, bool byCallsign) override {
        m_log.Call("ShowAircraftInfo", Args(text, byCallsign));
    }
    void ShowModelInfo(const std::string& cs) override { m_log.Call("ShowModelInfo", Args(cs)); }
    bool IsAlertSoundPlaying() const override { return soundPlaying; }
    void StopAlertSound() override { m_log.Call("StopAlertSound", Args()); }
    std::string GetCallsignForPositionId(const std::string& id) const override {
        for (const auto& [callsign, c] : controllers)
            if (c.positionId == id) return callsign;
        return {};
    }
    bool HasController(const std::string& cs) const override { return controllers.count(cs) > 0; }
    std::string GetControllerRealName(const std::string& cs) const override {
        auto it = controllers.find(cs);
        return it == controllers.end() ? std::string() : it->second.realName;
    }
    bool GetControllerLocation(const std::string& cs, ScopePoint& position, int& range) const override {
        auto it = controllers.find(cs);
        if (it == controllers.end()) return false;
        position = it->second.position;
        range = it->second.range;
        return true;
    }
    bool ReloadPositionFile() override {
        m_log.Call("ReloadPositionFile", Args());
        return positionFileReads;
    }

private:
    Log& m_log;
};

class LandLines final : public CommandLandLines {
public:
    explicit LandLines(Log& log) : m_log(log) {}
    void OpenOverride(const std::string& cs) override { m_log.Call("OpenOverride", Args(cs)); }
    void OpenIntercom(const std::string& cs) override { m_log.Call("OpenIntercom", Args(cs)); }
    void StartMonitor(const std::string& cs) override { m_log.Call("StartMonitor", Args(cs)); }
    void AcceptLandLine() override { m_log.Call("AcceptLandLine", Args()); }
    void ToggleLandLine() override { m_log.Call("ToggleLandLine", Args()); }
    void StopLandLine() override { m_log.Call("StopLandLine", Args()); }

private:
    Log& m_log;
};

class Display final : public CommandDisplay {
public:
    Display(Log& log, int number) : m_log(log), m_prefix("d" + std::to_string(number) + ":") {}
    std::map<std::string, ScopePoint> points;  // what the scope knows
    const std::set<std::string>* aircraft = nullptr;

    void Call(const std::string& name, const std::string& args) { m_log.Call(m_prefix + name, args); }
    void SetRingCenterToPoint(const std::string& name) override { Call("SetRingCenterToPoint", Args(name)); }
    void ShowItems(const std::string& names, int kind, bool fromRoute) override {
        Call("ShowItems", Args(names, kind, fromRoute));
    }
    void ShowDiagrams(const std::string& names) override { Call("ShowDiagrams", Args(names)); }
    void HideItems(int kind) override { Call("HideItems", Args(kind)); }
    void ClearDiagrams() override { Call("ClearDiagrams", Args()); }
    void CenterOnPoint(const std::string& name) override { Call("CenterOnPoint", Args(name)); }
    void SetVisibilityCenterToPoint(int slot, const std::string& name) override {
        Call("SetVisibilityCenterToPoint", Args(slot, name));
    }
    void ClearVisibilityCenters(bool message) override { Call("ClearVisibilityCenters", Args(message)); }
    void ShowVisibilityCenters() override { Call("ShowVisibilityCenters", Args()); }
    void MarkPointout(const std::string& cs) override { Call("MarkPointout", Args(cs)); }
    void ShowRoute(const std::string& cs, bool points) override { Call("ShowRoute", Args(cs, points)); }
    void FindPoint(const std::string& name) override { Call("FindPoint", Args(name)); }
    void Declutter() override { Call("Declutter", Args()); }
    void ToggleSepRings() override { Call("ToggleSepRings", Args()); }
    void ToggleFilters() override { Call("ToggleFilters", Args()); }
    void ToggleQuicklook() override { Call("ToggleQuicklook", Args()); }
    void ReloadSectorFile() override { Call("ReloadSectorFile", Args()); }
    void ClearSeparationLinks() override { Call("ClearSeparationLinks", Args()); }
    bool AddSeparationLink(const std::string& a, const std::string& b) override {
        if (!aircraft || !aircraft->count(a) || !aircraft->count(b)) return false;
        Call("AddSeparationLink", Args(a, b));
        return true;
    }
    void ClearNotes() override { Call("ClearNotes", Args()); }
    void AddNoteAtCenter(const std::string& text) override { Call("AddNoteAtCenter", Args(text)); }
    void SetCameraToPoint(const std::string& name) override { Call("SetCameraToPoint", Args(name)); }
    void SetCameraAltitudeFeet(int feet) override { Call("SetCameraAltitudeFeet", Args(feet)); }
    void SetMinCameraAltitude(int feet) override { Call("SetMinCameraAltitude", Args(feet)); }
    void SetCameraToAircraft(const std::string& cs, bool spot) override {
        Call("SetCameraToAircraft", Args(cs, spot));
    }
    void ShowLocation(const std::string& label, ScopePoint p, int range) override {
        Call("ShowLocation", Args(label, p.x, p.y, range));
    }
    bool FindNamedPoint(const std::string& name, ScopePoint& position) const override {
        auto it = points.find(name);
        if (it == points.end()) return false;
        position = it->second;
        return true;
    }
    void AddAnchor(const std::string& cs, const std::string& point, ScopePoint) override {
        Call("AddAnchor", Args(cs, point));
    }
    void ShowRangeBearing(const std::string& a, const std::string& b) override {
        Call("ShowRangeBearing", Args(a, b));
    }

private:
    Log& m_log;
    std::string m_prefix;
};

class Shell final : public CommandShell {
public:
    explicit Shell(Log& log) : m_log(log) {}
    std::vector<std::unique_ptr<Display>> displays;
    std::string selected;
    std::string editorCallsign;
    int primaryFrequency = 0;
    uint32_t debugFlags = 0;

    void ShowError(const std::string& text) override { m_log.lines.push_back("error: " + text); }
    void ShowInfo(const std::string& text) override { m_log.lines.push_back("info: " + text); }
    void AddOwnMessage(const std::string& text, const std::string& recipient, int kind) override {
        m_log.lines.push_back("own " + std::to_string(kind) + ": " +
                              (recipient.empty() ? "" : recipient + " ") + text);
    }
    void CopyRadioHistory() override { m_log.Call("CopyRadioHistory", Args()); }
    void SaveRadioLog(const std::string& name) override { m_log.Call("SaveRadioLog", Args(name)); }
    void ClearMessageWaiting() override { m_log.Call("ClearMessageWaiting", Args()); }
    CommandDisplay* GetDisplayById(int number) override {
        return number >= 1 && number <= static_cast<int>(displays.size()) ? displays[number - 1].get()
                                                                          : nullptr;
    }
    CommandDisplay* GetMainDisplay() override { return GetDisplayById(1); }
    std::string GetSelectedCallsign() const override { return selected; }
    void ToggleSeeAll() override { m_log.Call("ToggleSeeAll", Args()); }
    void CascadeWindows() override { m_log.Call("CascadeWindows", Args()); }
    void RemoveAnchorsAll(const std::string& cs) override { m_log.Call("RemoveAnchorsAll", Args(cs)); }
    void RebuildAllMenus() override { m_log.Call("RebuildAllMenus", Args()); }
    void ActivateMainWindow() override { m_log.Call("ActivateMainWindow", Args()); }
    void HideFlightPlanEditor() override { m_log.Call("HideFlightPlanEditor", Args()); }
    void ShowFlightPlanEditor(const std::string& cs) override {
        m_log.Call("ShowFlightPlanEditor", Args(cs));
    }
    std::string GetEditorCallsign() const override { return editorCallsign; }
    void ShowControllerInfo(const std::string& cs) override { m_log.Call("ShowControllerInfo", Args(cs)); }
    int GetPrimaryFrequency() const override { return primaryFrequency; }
    bool OpenUrl(const std::string& url) override {
        m_log.Call("OpenUrl", Args(url));
        return true;
    }
    void SetAwaitedFlightPlan(const std::string& cs) override {
        m_log.Call("SetAwaitedFlightPlan", Args(cs));
    }
    uint32_t GetDebugFlags() const override { return debugFlags; }
    void SetDebugFlags(uint32_t flags) override { debugFlags = flags; }

private:
    Log& m_log;
};

class Weather final : public CommandWeather {
public:
    explicit Weather(Log& log) : m_log(log) {}
    void ToggleStation(const std::string& s) override { m_log.Call("ToggleStation", Args(s)); }
    void RequestMetar(const std::string& s) override { m_log.Call("RequestMetar", Args(s)); }
    void ShowPanel() override { m_log.Call("ShowWeatherPanel", Args()); }

private:
    Log& m_log;
};

class Strips final : public CommandStrips {
public:
    explicit Strips(Log& log) : m_log(log) {}
    std::set<std::string> strips;
    void AddStripForAircraft(const std::string& cs) override { m_log.Call("AddStripForAircraft", Args(cs)); }
    void AddSeparator(const std::string& labels, int column) override {
        m_log.Call("AddSeparator", Args(labels, column));
    }
    void ClearStrips() override { m_log.Call("ClearStrips", Args()); }
    bool RemoveStrip(const std::string& cs) override {
        m_log.Call("RemoveStrip", Args(cs));
        return strips.erase(cs) > 0;
    }
    void PushStrip(const std::string& cs, const std::string& to) override {
        m_log.Call("PushStrip", Args(cs, to));
    }

private:
    Log& m_log;
};

class Chat final : public CommandChatWindows {
public:
    explicit Chat(Log& log) : m_log(log) {}
    void OpenChatWindow(const std::string& name, const std::string& members, bool show) override {
        m_log.Call("OpenChatWindow", Args(name, members, show));
    }
    void CascadeWindows() override { m_log.Call("CascadeChatWindows", Args()); }

private:
    Log& m_log;
};

// Aliases by their first word; "$cs" becomes the context callsign. An alias
// named ".loop" fails as a loop does.
class Text final : public CommandTextExpansion {
public:
    explicit Text(Log& log) : m_log(log) {}
    std::map<std::string, std::string> aliases;
    bool aliasFileReads = true;
    bool ExpandAliases(const std::string& in, std::string& out, const std::string& callsign) override {
        m_log.Call("ExpandAliases", Args(in, callsign));
        const size_t blank = in.find(' ');
        const std::string word = in.substr(0, blank);
        if (word == ".loop") return false;
        auto it = aliases.find(word);
        out = it == aliases.end() ? in : it->second + (blank == std::string::npos ? "" : in.substr(blank));
        for (size_t at; (at = out.find("$cs")) != std::string::npos;) out.replace(at, 3, callsign);
        return true;
    }
    bool LoadAliases(const std::string& path) override {
        m_log.Call("LoadAliases", Args(path));
        return aliasFileReads;
    }

private:
    Log& m_log;
};

// Everything together: three displays, the profile of an active controller.
struct World {
    Log log;
    TarqProfile profile{"/nonexistent/Tarq.ini"};
    Network network{log};
    Traffic traffic{log};
    Shell shell{log};
    Weather weather{log};
    Strips strips{log};
    Chat chat{log};
    LandLines landLines{log};
    Text text{log};
    std::set<std::string> aircraftNames;
    TarqCommandProcessor processor{Services()};

    World() {
        for (int i = 1; i <= 3; ++i) {
            shell.displays.push_back(std::make_unique<Display>(log, i));
            shell.displays.back()->aircraft = &aircraftNames;
        }
        profile.SetString("Callsign", "BOS_APP");
        traffic.ownCallsign = "BOS_APP";
        profile.SetInt("Rating", 5);
    }
    CommandServices Services() {
        CommandServices s;
        s.profile = &profile;
        s.network = &network;
        s.traffic = &traffic;
        s.shell = &shell;
        s.weather = &weather;
        s.strips = &strips;
        s.chat = &chat;
        s.landLines = &landLines;
        s.text = &text;
        return s;
    }
    void AddAircraft(const std::string& callsign, Aircraft a) {
        traffic.aircraft[callsign] = a;
        aircraftNames.insert(callsign);
    }
    Display& display(int number) { return *shell.displays[number - 1]; }
    // Enter on the main display.
    void Type(const std::string& line) { processor.ProcessTypedLine(line); }
};

}  // namespace fake_command
