// Tested through tests/app/program_test.cpp.
#include "app/command_bindings.h"

#include <cstdio>
#include <map>
#include <memory>

#include "app/comms_windows.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/radio_history.h"
#include "app/shell_state.h"
#include "foundation/geo_helpers.h"
#include "foundation/profile.h"
#include "platform/url_open.h"
#include "scope/display_scope.h"
#include "scope/sticky_builder.h"
#include "scope/target_manager.h"
#include "scope/target_state.h"

namespace {

TarqDisplayRadioHistory* MainRadioHistory() {
    auto* main =
        g_displayManager ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay()) : nullptr;
    return main ? main->GetRadioHistory() : nullptr;
}

class ShellCommandNetwork final : public CommandNetwork {
public:
    bool IsConnected() const override { return g_networkManager && g_networkManager->IsConnected(); }
    bool IsValidATC() const override { return g_networkManager && g_networkManager->IsValidATC(); }
    bool SendFrequencyText(const std::string& text) override {
        return g_networkManager->SendFrequencyText(text);
    }
    bool SendRadioMessage(const std::string& text) override {
        return g_networkManager->SendRadioMessage(text);
    }
    void SendPointOut(const std::string& to, const std::string& cs) override {
        g_networkManager->SendPointOut(to, cs);
    }
    void SendWhoHas(const std::string& cs) override { g_networkManager->SendWhoHas(cs); }
    void RequestFlightPlan(const std::string& cs) override { g_networkManager->RequestFlightPlan(cs); }
    void SendTextMessage(const std::string& to, const std::string& text) override {
        g_networkManager->SendTextMessage(to, text);
    }
    void SendWallop(const std::string& text) override { g_networkManager->SendWallop(text); }
    void SendBroadcast(const std::string& text) override { g_networkManager->SendBroadcast(text); }
    void RequestInfo(const std::string& cs) override { g_networkManager->RequestInfo(cs); }
    void RequestATIS(const std::string& cs) override { g_networkManager->RequestATIS(cs); }
    void RequestClientVersion(const std::string& cs) override { g_networkManager->RequestClientVersion(cs); }
    void SendPing(const std::string& to) override { g_networkManager->SendPing(to); }
    void RequestFrequency(const std::string& cs) override { g_networkManager->RequestFrequency(cs); }
    void SetPendingFindCallsign(const std::string& cs) override {
        g_networkManager->SetPendingFindCallsign(cs);
    }
    void SendKill(const std::string& cs, const std::string& reason) override {
        g_networkManager->SendKill(cs, reason);
    }
    void SetBreakRequest(bool on) override { g_networkManager->SetBreakRequest(on); }
    void SetRejectPrivate(bool on, const std::string& text) override {
        g_networkManager->SetRejectPrivate(on, text);
    }
    void SetRejectAllPrivate(const std::string& text) override {
        g_networkManager->SetRejectAllPrivate(text);
    }
    void SetHelpRequest(bool on, const std::string& text) override {
        g_networkManager->SetHelpRequest(on, text);
    }
    void SetLogoffTime(const std::string& text) override { g_networkManager->SetLogoffTime(text); }
};

class ShellCommandTraffic final : public CommandTraffic {
public:
    std::string GetCallsignForAircraftNumber(const std::string& word) const override {
        return g_aircraftDB->GetCallsignForAircraftNumber(word);
    }
    bool HasAircraft(const std::string& cs) const override { return g_aircraftDB->HasAircraft(cs); }
    void AcceptHandoff(const std::string& cs) override { g_aircraftDB->AcceptHandoff(cs); }
    void DropTrack(const std::string& cs, const std::string& by) override { g_aircraftDB->DropTrack(cs, by); }
    void InitiateHandoff(const std::string& cs, const std::string& id) override {
        g_aircraftDB->InitiateHandoff(cs, id);
    }
    void HandoffToPositionId(const std::string& id) override { g_aircraftDB->HandoffToPositionId(id); }
    bool CheckControl(const std::string& cs) override { return g_aircraftDB->CheckControl(cs); }
    void SetCruiseAltitude(const std::string& cs, int feet) override {
        g_aircraftDB->SetCruiseAltitude(cs, feet);
    }
    void SetTemporaryAltitude(const std::string& cs, const std::string& by, int feet) override {
        g_aircraftDB->SetTemporaryAltitude(cs, by, feet);
    }
    void SetAssignedSquawk(const std::string& cs, const std::string& by, int code) override {
        g_aircraftDB->SetAssignedSquawk(cs, by, static_cast<uint16_t>(code));
    }
    void SetVoiceType(const std::string& cs, const std::string& by, int type) override {
        g_aircraftDB->SetVoiceType(cs, by, type);
    }
    void SetScratchpad(const std::string& cs, const std::string& by, const std::string& text) override {
        g_aircraftDB->SetScratchpad(cs, by, text, true);
    }
    void ShowFullDataBlocksOf(const std::string& controller) override {
        for (const std::string& cs : g_aircraftDB->GetCallsigns()) {
            if (g_aircraftDB->GetTrackingController(cs) != controller) continue;
            g_displayManager->ForEachDisplay([&](TarqDisplay& display) {
                TarqDisplayScope* scope = display.GetScope();
                auto* targets = scope ? dynamic_cast<TarqTargetManager*>(scope->GetTargets()) : nullptr;
                if (targets && targets->GetState()) targets->GetState()->ForceFullDataBlock(cs);
            });
        }
    }
    void GetAirports(const std::string& cs, std::string& departure, std::string& destination) const override {
        const TarqFlightPlanRecord plan = g_aircraftDB->GetFlightPlan(cs);
        departure = plan.departure;
        destination = plan.destination;
    }
    std::string GetTrackingController(const std::string& cs) const override {
        return g_aircraftDB->GetTrackingController(cs);
    }
    std::string GetPilotRealName(const std::string& cs) const override {
        TarqAircraft* aircraft = g_aircraftDB->GetAircraft(cs);
        return aircraft ? aircraft->GetRealName() : std::string();
    }
    void AmendRoute(const std::string& cs, const std::string& route) override {
        g_aircraftDB->AmendFlightPlan(cs, route);
    }
    void ShowStatistics() override { g_aircraftDB->ShowStatistics(); }
    void ResetStatistics() override { g_aircraftDB->ResetStatistics(); }
    void RemoveAircraft(const std::string& cs, bool protect) override {
        g_aircraftDB->RemoveAircraft(cs, protect);
    }
    void ShowAircraftInfo(const std::string& text, bool byCallsign) override {
        g_aircraftDB->ShowAircraftInfo(text, byCallsign);
    }
    void ShowModelInfo(const std::string& cs) override { g_aircraftDB->ShowModelInfo(cs); }
    bool IsAlertSoundPlaying() const override { return g_aircraftDB->IsSoundPlaying(); }
    void StopAlertSound() override { g_aircraftDB->StopSound(); }
    std::string GetCallsignForPositionId(const std::string& id) const override {
        return g_controllerDB->GetCallsignForPositionId(id);
    }
    bool HasController(const std::string& cs) const override {
        return g_controllerDB->GetController(cs) != nullptr;
    }
    std::string GetControllerRealName(const std::string& cs) const override {
        TarqController* controller = g_controllerDB->GetController(cs);
        return controller ? controller->GetRealName() : std::string();
    }
    bool GetControllerLocation(const std::string& cs, ScopePoint& position, int& range) const override {
        TarqController* controller = g_controllerDB->GetController(cs);
        if (!controller) return false;
        position = controller->GetOffsetPosition(0, 0);
        range = controller->GetVisRange();
        return true;
    }
    bool ReloadPositionFile() override {
        if (!g_controllerDB->LoadPOFFile()) return false;
        g_controllerDB->RefreshPositionIds();
        for (const std::string& cs : g_controllerDB->GetControllerCallsigns(false))
            if (TarqController* controller = g_controllerDB->GetController(cs))
                g_controllerDB->AssignPofRecord(*controller);
        return true;
    }
};

// The controller database carries the calls to the voice engine.
class ShellCommandLandLines final : public CommandLandLines {
public:
    void OpenOverride(const std::string& cs) override { g_controllerDB->OpenOverride(cs); }
    void OpenIntercom(const std::string& cs) override { g_controllerDB->OpenIntercom(cs); }
    void StartMonitor(const std::string& cs) override { g_controllerDB->StartMonitor(cs); }
    void AcceptLandLine() override { g_controllerDB->AcceptLandLine(); }
    void ToggleLandLine() override { g_controllerDB->ToggleIntercomHold(); }
    void StopLandLine() override { g_controllerDB->StopLandLine(); }
};

// A display's scope; every call does nothing while the display has none.
class ScopeCommandDisplay final : public CommandDisplay {
public:
    explicit ScopeCommandDisplay(TarqDisplay& display) : m_display(&display) {}
    void Rebind(TarqDisplay& display) { m_display = &display; }

    void SetRingCenterToPoint(const std::string& name) override {
        if (auto* s = Scope()) s->SetRingCenterToPoint(name);
    }
    void ShowItems(const std::string& names, int kind, bool fromRoute) override {
        if (auto* s = Scope()) s->ShowItems(names, kind, fromRoute);
    }
    void ShowDiagrams(const std::string& names) override {
        if (auto* s = Scope()) s->ShowDiagrams(names);
    }
    void HideItems(int kind) override {
        if (auto* s = Scope()) s->HideItems(kind);
    }
    void ClearDiagrams() override {
        if (auto* s = Scope()) s->ClearDiagrams();
    }
    void CenterOnPoint(const std::string& name) override {
        if (auto* s = Scope()) s->CenterOnPoint(name);
    }
    void SetVisibilityCenterToPoint(int slot, const std::string& name) override {
        if (auto* s = Scope()) s->SetVisibilityCenterToPoint(slot, name);
    }
    void ClearVisibilityCenters(bool message) override {
        if (auto* s = Scope()) s->ClearVisibilityCenters(message);
    }
    void ShowVisibilityCenters() override {
        if (auto* s = Scope()) s->ShowVisibilityCenters();
    }
    void MarkPointout(const std::string& cs) override {
        if (auto* s = Scope()) s->MarkPointout(cs);
    }
    void ShowRoute(const std::string& cs, bool points) override {
        if (auto* s = Scope()) s->ShowRoute(cs, points);
    }
    void FindPoint(const std::string& name) override {
        if (auto* s = Scope()) s->FindPoint(name);
    }
    void Declutter() override {
        if (auto* s = Scope()) s->Declutter();
    }
    void ToggleSepRings() override {
        if (auto* s = Scope()) s->ToggleSepRings();
    }
    void ToggleFilters() override {
        if (auto* s = Scope()) s->ToggleFilters();
    }
    void ToggleQuicklook() override {
        if (auto* s = Scope()) s->ToggleQuicklook();
    }
    void ReloadSectorFile() override {
        if (auto* s = Scope()) s->ReloadSectorFile();
    }
    void ClearSeparationLinks() override {
        if (auto* s = Scope()) s->ClearSeparationLinks();
    }
    bool AddSeparationLink(const std::string& a, const std::string& b) override {
        if (!g_aircraftDB->HasAircraft(a) || !g_aircraftDB->HasAircraft(b)) return false;
        if (auto* s = Scope()) s->AddSeparationLink(a, b);
        return true;
    }
    void ClearNotes() override {
        if (auto* s = Scope(); s && s->GetStickyBuilder()) s->GetStickyBuilder()->ClearNotes();
    }
    void AddNoteAtCenter(const std::string& text) override {
        if (auto* s = Scope(); s && s->GetStickyBuilder())
            s->GetStickyBuilder()->AddNote(s->GetCenter(), text);
    }
    void SetCameraToPoint(const std::string& name) override {
        if (auto* s = Scope()) s->SetCameraToPoint(name);
    }
    void SetCameraAltitudeFeet(int feet) override {
        if (auto* s = Scope()) s->SetCameraAltitudeFeet(feet);
    }
    void SetMinCameraAltitude(int feet) override {
        if (auto* s = Scope()) s->SetMinCameraAltitude(feet);
    }
    void SetCameraToAircraft(const std::string& cs, bool spot) override {
        if (auto* s = Scope()) s->SetSpotView(cs, spot);
    }
    void ShowLocation(const std::string& label, ScopePoint p, int range) override {
        auto* s = Scope();
        if (!s) return;
        const ScopePoint offset = s->GetSectorOffset();
        s->ShowLocation(label, {p.x + offset.x, p.y + offset.y}, range);
    }
    bool FindNamedPoint(const std::string& name, ScopePoint& position) const override {
        auto* s = Scope();
        return s && s->FindNamedPoint(name, position);
    }
    void AddAnchor(const std::string& cs, const std::string& point, ScopePoint position) override {
        if (auto* s = Scope()) s->AddAnchor(cs, point, position);
    }
    void ShowRangeBearing(const std::string& first, const std::string& second) override {
        m_display->ShowRangeBearing(first, second);
    }

private:
    TarqDisplayScope* Scope() const { return m_display->GetScope(); }
    TarqDisplay* m_display;
};

std::map<TarqDisplay*, std::unique_ptr<ScopeCommandDisplay>>& CommandDisplays() {
    static std::map<TarqDisplay*, std::unique_ptr<ScopeCommandDisplay>> displays;
    return displays;
}

class ShellCommandShell final : public CommandShell {
public:
    void ShowError(const std::string& text) override { g_displayManager->ShowError(text); }
    void ShowInfo(const std::string& text) override { g_displayManager->ShowMessage(text); }
    void AddOwnMessage(const std::string& text, const std::string& recipient, int kind) override {
        if (TarqDisplayRadioHistory* history = MainRadioHistory())
            history->AddOwnMessage(text, recipient, static_cast<RadioMessageKind>(kind));
    }
    void CopyRadioHistory() override {
        if (TarqDisplayRadioHistory* history = MainRadioHistory()) history->CopyToClipboard();
    }
    void SaveRadioLog(const std::string& name) override {
        if (TarqDisplayRadioHistory* history = MainRadioHistory()) history->SaveLogNamed(name);
    }
    void ClearMessageWaiting() override {
        if (TarqDisplayRadioHistory* history = MainRadioHistory()) history->ClearMessageWaiting();
    }
    CommandDisplay* GetDisplayById(int number) override {
        TarqDisplay* display = g_displayManager->GetDisplayById(number);
        return display ? &CommandDisplayOf(*display) : nullptr;
    }
    CommandDisplay* GetMainDisplay() override {
        TarqDisplay* display = g_displayManager->GetMainDisplay();
        return display ? &CommandDisplayOf(*display) : nullptr;
    }
    std::string GetSelectedCallsign() const override { return g_displayManager->GetSelectedCallsign(); }
    void ToggleSeeAll() override { g_displayManager->ToggleSeeAll(); }
    void CascadeWindows() override {
        g_displayManager->CascadeDisplays();
        // Each tool window 50 pixels further down and right than the one
        // before, keeping its size and its place in the stack.
        g_commsPanel->Move(50, 50);
        g_flightPlanEditor->Move(100, 100);
        g_aircraftList->Move(150, 150);
        g_weatherPanel->Move(200, 200);
        g_controllerList->Move(250, 250);
        g_flightStripBay->Move(300, 300);
        g_selcalPanel->Move(350, 350);
    }
    void RemoveAnchorsAll(const std::string& cs) override {
        g_displayManager->ForEachDisplay([&](TarqDisplay& display) {
            if (TarqDisplayScope* scope = display.GetScope()) scope->RemoveAnchors(cs);
        });
    }
    void RebuildAllMenus() override { g_displayManager->RebuildAllMenus(); }
    void ActivateMainWindow() override {
        if (auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay())) main->Activate();
    }
    void HideFlightPlanEditor() override { g_flightPlanEditor->Hide(); }
    void ShowFlightPlanEditor(const std::string& cs) override {
        g_flightPlanEditor->ShowFlightPlan(cs);
        g_flightPlanEditor->Show();
        g_flightPlanEditor->Activate();
    }
    // A hidden editor may still hold a callsign, but no plan is selected.
    std::string GetEditorCallsign() const override {
        return g_flightPlanEditor->IsVisible() ? g_flightPlanEditor->GetCallsign() : std::string();
    }
    void ShowControllerInfo(const std::string& cs) override { g_controllerList->ShowControllerInfo(cs); }
    int GetPrimaryFrequency() const override { return g_commsPanel->GetPrimaryFrequency(); }
    bool OpenUrl(const std::string& url) override { return ::OpenUrl(url); }
    void SetAwaitedFlightPlan(const std::string& cs) override { g_networkManager->SetAwaitedFlightPlan(cs); }
    uint32_t GetDebugFlags() const override { return DebugFlags; }
    void SetDebugFlags(uint32_t flags) override { DebugFlags = flags; }
};

class ShellCommandWeather final : public CommandWeather {
public:
    void ToggleStation(const std::string& s) override { g_weatherPanel->Store().ToggleStation(s); }
    void RequestMetar(const std::string& s) override { g_weatherPanel->Store().RequestMetar(s); }
    void ShowPanel() override { g_weatherPanel->Show(); }
};

class ShellCommandStrips final : public CommandStrips {
public:
    void AddStripForAircraft(const std::string& cs) override { g_flightStripBay->AddStripForAircraft(cs); }
    void AddSeparator(const std::string& labels, int column) override {
        g_flightStripBay->AddSeparator(labels, column);
    }
    void ClearStrips() override { g_flightStripBay->ClearStrips(false); }
    bool RemoveStrip(const std::string& cs) override { return g_flightStripBay->RemoveStrip(cs); }
    void PushStrip(const std::string& cs, const std::string& to) override {
        g_flightStripBay->PushStrip(cs, to, nullptr);
    }
};

class ShellCommandChat final : public CommandChatWindows {
public:
    void OpenChatWindow(const std::string& name, const std::string& members, bool show) override {
        g_chatManager->OpenChatWindow(name, members, show);
    }
    void CascadeWindows() override { g_chatManager->CascadeWindows(); }
};

class ShellCommandText final : public CommandTextExpansion {
public:
    bool ExpandAliases(const std::string& in, std::string& out, const std::string& callsign) override {
        return ::ExpandAliases(in, out, callsign);
    }
    bool LoadAliases(const std::string& path) override { return ::LoadAliases(path); }
};

}  // namespace

CommandDisplay& CommandDisplayOf(TarqDisplay& display) {
    // Keyed by address: a wrapper left behind by a closed display is bound
    // afresh to whichever display now lives there.
    auto& slot = CommandDisplays()[&display];
    if (!slot) slot = std::make_unique<ScopeCommandDisplay>(display);
    slot->Rebind(display);
    return *slot;
}

TarqCommandProcessor& CommandProcessorOfShell() {
    // Made again for new global objects (a test run makes several sets).
    static std::unique_ptr<TarqCommandProcessor> processor;
    static TarqProfile* madeFor = nullptr;
    static ShellCommandNetwork network;
    static ShellCommandTraffic traffic;
    static ShellCommandLandLines landLines;
    static ShellCommandShell shell;
    static ShellCommandWeather weather;
    static ShellCommandStrips strips;
    static ShellCommandChat chat;
    static ShellCommandText text;
    if (processor && madeFor == g_profile) return *processor;
    madeFor = g_profile;
    processor = std::make_unique<TarqCommandProcessor>([] {
        CommandServices services;
        services.profile = g_profile;
        services.network = &network;
        services.traffic = &traffic;
        services.shell = &shell;
        services.weather = &weather;
        services.strips = &strips;
        services.chat = &chat;
        services.landLines = &landLines;
        services.text = &text;
        return services;
    }());
    return *processor;
}
