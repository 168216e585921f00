// Tested by tests/app/startup_test.cpp.
#include "app/global_objects.h"

#include <memory>

#include "app/chat_windows.h"
#include "app/radio_history.h"
#include "app/session.h"
#include "app/shell_state.h"
#include "app/strip_bay_services.h"
#include "app/voice_atis_services.h"
#include "atc/atc_services.h"
#include "atc/profile_settings.h"
#include "foundation/display_services.h"
#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "foundation/session_services.h"
#include "foundation/sound_cues.h"
#include "foundation/start_directory.h"
#include "foundation/tool_window_place.h"
#include "net/web_services.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/machine_number.h"
#include "platform/message_box.h"
#include "scope/display_scope.h"
#include "scope/scope_targets.h"
#include "simbridge/dplay_session_transport.h"

uint64_t StartTime = 0;
bool ReturnToProfileDialog = false;
uint32_t DebugFlags = 0;
WindowHandle SharedMainWindow = nullptr;

TarqDisplayManager* g_displayManager = nullptr;
TarqNetworkManager* g_networkManager = nullptr;
TarqAircraftDB* g_aircraftDB = nullptr;
TarqAircraftList* g_aircraftList = nullptr;
TarqControllerDB* g_controllerDB = nullptr;
TarqControllerList* g_controllerList = nullptr;
TarqCommsPanel* g_commsPanel = nullptr;
TarqFlightPlanEditor* g_flightPlanEditor = nullptr;
TarqWeatherPanel* g_weatherPanel = nullptr;
TarqFlightStripBay* g_flightStripBay = nullptr;
TarqChatManager* g_chatManager = nullptr;
TarqATISMaker* g_atisMaker = nullptr;
NoltVoiceEngine* g_voiceEngine = nullptr;
TarqVoiceHost* g_voiceHost = nullptr;
TarqSELCALPanel* g_selcalPanel = nullptr;
TarqFSMPManager* g_fsmpManager = nullptr;
TarqOceanicTracksDB* g_oceanicTracksDB = nullptr;
TarqUserRegistry* g_userRegistry = nullptr;

namespace {

std::string g_suppressedLookup;

// What the ATC state and the network ask of the rest of the program, served
// by the global objects. The objects come and go around these bindings (which
// live from the first object to the last), so each call asks whether its
// object is there.
class ShellMessages final : public AtcMessageSink {
public:
    void ShowError(const std::string& text) override {
        if (g_displayManager) g_displayManager->ShowError(text);
    }
    void ShowMessage(const std::string& text) override {
        if (g_displayManager) g_displayManager->ShowMessage(text);
    }
};

class ShellSounds final : public AtcSoundPlayer {
public:
    bool PlayConfiguredSound(const std::string& file, bool interrupt) override {
        return ::PlayConfiguredSound(file, interrupt);
    }
    bool PlaySoundFile(const std::string& file) override { return ::PlaySoundFile(file); }
    bool StopSound() override { return ::StopSound(); }
};

class ShellToolWindows final : public AtcToolWindows {
public:
    bool HasStrip(const std::string& callsign) const override {
        return g_flightStripBay && g_flightStripBay->HasStrip(callsign);
    }
    void AddStripForAircraft(const std::string& callsign) override {
        if (g_flightStripBay) g_flightStripBay->AddStripForAircraft(callsign);
    }
    void PushStrip(const std::string& callsign, const std::string& toController, int) override {
        if (g_flightStripBay) g_flightStripBay->PushStrip(callsign, toController, nullptr);
    }
    void RemoveStrip(const std::string& callsign) override {
        if (g_flightStripBay) g_flightStripBay->RemoveStrip(callsign);
    }
    void RebuildAircraftList() override {
        if (g_aircraftList) g_aircraftList->Rebuild();
    }
    void ShowFlightPlanDetails(const std::string& callsign) override {
        if (g_aircraftList) g_aircraftList->ShowFlightPlanDetails(callsign);
    }
    std::string GetEditorCallsign() const override {
        return g_flightPlanEditor ? g_flightPlanEditor->GetCallsign() : std::string();
    }
    void ShowFlightPlan(const std::string& callsign) override {
        if (g_flightPlanEditor) g_flightPlanEditor->ShowFlightPlan(callsign);
    }
    void SetSquawkField(int code) override {
        if (g_flightPlanEditor) g_flightPlanEditor->SetSquawkField(code);
    }
    void AddSelcalAircraft(const std::string& callsign, const std::string& remarks) override {
        if (g_selcalPanel) g_selcalPanel->Codes().AddAircraft(callsign, remarks);
    }
    void RemoveSelcalCallsign(const std::string& callsign) override {
        if (g_selcalPanel) g_selcalPanel->Codes().RemoveCallsign(callsign);
    }
    int GetPrimaryFrequency() const override {
        return g_commsPanel ? g_commsPanel->GetPrimaryFrequency() : 0;
    }
    std::vector<int32_t> GetTXFrequencies() const override {
        return g_commsPanel ? g_commsPanel->Entries().GetTXFrequencies() : std::vector<int32_t>{};
    }
    std::string GetPrimaryVoiceChannel() const override {
        return g_commsPanel ? g_commsPanel->Entries().GetPrimaryVoiceChannel() : std::string();
    }
    void RebuildControllerList() override {
        if (g_controllerList) g_controllerList->Rebuild();
    }
    void RebuildChatGroups() override {
        if (g_chatManager) g_chatManager->RefreshGroupMemberLists();
    }
};

// What the network's packets reach in the shell: the main display's radio
// history and scope, its titles and menus, and the display settings.
class ShellNetworkDisplay final : public NetDisplay {
public:
    void AddRadioMessage(const std::string& sender, int frequencyKhz, const std::string& text) override {
        if (TarqDisplayRadioHistory* history = MainHistory()) history->AddRadioMessage(sender, frequencyKhz, text);
    }
    void AddBroadcast(const std::string& sender, bool wallop, const std::string& text) override {
        if (TarqDisplayRadioHistory* history = MainHistory()) history->AddBroadcast(sender, wallop, text);
    }
    void OnConnectionChanged() override {
        if (!g_displayManager) return;
        g_displayManager->UpdateAllTitles();
        g_displayManager->RebuildAllMenus();
    }
    void ApplyDisplaySettings() override { ::ApplyDisplaySettings(); }
    void CentreMainScope(double latitude, double longitude) override {
        TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr;
        TarqDisplayScope* scope = main ? main->GetScope() : nullptr;
        if (!scope) return;
        ScopePoint at{longitude, latitude};
        scope->AddOffset(at);
        scope->SetCenterAndRedraw(at);
    }
    std::string GetMainSectorFileName() const override {
        return g_displayManager ? g_displayManager->GetMainSectorFileName() : std::string();
    }
    std::string GetSuppressedLookup() const override { return SuppressedLookup(); }

private:
    static TarqDisplayRadioHistory* MainHistory() {
        TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr;
        return main ? main->GetRadioHistory() : nullptr;
    }
};

class ShellNetworkComms final : public NetCommsPanel {
public:
    std::vector<int32_t> GetRXFrequencies() const override {
        return g_commsPanel ? g_commsPanel->Entries().GetRXFrequencies() : std::vector<int32_t>{};
    }
    void SyncVoiceCheckBoxes() override {
        if (g_commsPanel) g_commsPanel->SyncVoiceCheckboxes();
    }
};

class ShellNetworkWeather final : public NetWeather {
public:
    void OnMetar(const std::string& text) override {
        if (g_weatherPanel) g_weatherPanel->Store().OnMetar(text);
    }
    void RequestMetarsAgain() override {
        if (g_weatherPanel) g_weatherPanel->Store().RequestMetarsAgain();
    }
};

class ShellNetworkStrips final : public NetStripBay {
public:
    void AddStrip(const std::string& callsign, int type, const std::vector<std::string>& annotations) override {
        if (g_flightStripBay) g_flightStripBay->AddStrip(callsign, type, annotations);
    }
};

class ShellNetworkControllerList final : public NetControllerList {
public:
    void ShowControllerInfo(const std::string& callsign) override {
        if (g_controllerList) g_controllerList->ShowControllerInfo(callsign);
    }
};

class ShellNetworkVoice final : public NetVoice {
public:
    void EndAllLandLines() override {
        if (g_voiceHost) g_voiceHost->EndAllLandLines();
    }
    void CloseAllVoiceRooms() override {
        if (g_voiceHost) g_voiceHost->CloseAllVoiceRooms();
    }
};

class ShellNetworkATISMaker final : public NetATISMaker {
public:
    void RefreshVoiceATIS() override {
        if (g_atisMaker) g_atisMaker->RefreshVoiceATIS();
    }
    void UpdateConnectButton() override {
        if (g_atisMaker) g_atisMaker->UpdateConnectButton();
    }
};

// Aliases and "$" variables as the command line expands them; the voice
// ATIS as the ATIS maker last composed it.
class ShellTextComms final : public AtcTextComms {
public:
    bool ExpandAliases(const std::string& text, std::string& out, const std::string& contextCallsign) override {
        return ::ExpandAliases(text, out, contextCallsign);
    }
    std::string GetVoiceATISText() const override {
        return g_atisMaker ? g_atisMaker->Maker().GetVoiceATISText() : std::string();
    }
};

// The main display's scope as the ATC state and the network manager see it:
// visibility centres, named points and the sector offset; the calls on every
// target reach all displays.
class ShellScope final : public AtcScope {
public:
    ScopePoint GetVisibilityCenter(int index) const override {
        const TarqDisplayScope* scope = MainScope();
        return scope ? scope->GetVisibilityCenter(index) : ScopePoint{};
    }
    bool FindNamedPoint(const std::string& name, ScopePoint& point) const override {
        const TarqDisplayScope* scope = MainScope();
        return scope && scope->FindNamedPoint(name, point);
    }
    ScopePoint GetSectorOffset() const override {
        const TarqDisplayScope* scope = MainScope();
        return scope ? scope->GetSectorOffset() : ScopePoint{};
    }
    void RefreshTargetAllDisplays(const std::string& callsign) override {
        ForEachScope([&](TarqDisplayScope& scope) {
            if (ScopeTargets* targets = scope.GetTargets()) targets->RefreshAnchor(callsign);
        });
    }
    void RemoveSeparationLinksAll(const std::string& callsign) override {
        ForEachScope([&](TarqDisplayScope& scope) { scope.RemoveSeparationLinks(callsign); });
    }

private:
    static const TarqDisplayScope* MainScope() {
        TarqDisplay* main = g_displayManager ? g_displayManager->GetMainDisplay() : nullptr;
        return main ? main->GetScope() : nullptr;
    }
    template <typename F>
    static void ForEachScope(F&& f) {
        if (!g_displayManager) return;
        g_displayManager->ForEachDisplay([&](TarqDisplay& display) {
            if (TarqDisplayScope* scope = display.GetScope()) f(*scope);
        });
    }
};

// The conflict alarm of the aircraft database, as the sound cues ask for it.
class AircraftAlarm final : public TarqAlarmSound {
public:
    bool IsSoundPlaying() const override { return g_aircraftDB && g_aircraftDB->IsSoundPlaying(); }
    bool StopSound() override { return g_aircraftDB ? g_aircraftDB->StopSound() : ::StopSound(); }
};

// The aircraft database is made before the simulator bridge and reaches it through this.
class ShellSimulator final : public AtcSimulatorBridge {
public:
    bool IsConnected() const override { return g_fsmpManager && g_fsmpManager->IsConnected(); }
    uint32_t AddAircraft(const std::string& callsign, const std::string& equipment,
                         const std::string& airline, const std::string& livery) override {
        return g_fsmpManager ? g_fsmpManager->AddAircraft(callsign, equipment, airline, livery) : 0;
    }
    void RemoveAircraft(uint32_t id) override {
        if (g_fsmpManager) g_fsmpManager->RemoveAircraft(id);
    }
    void UpdateAircraftPosition(uint32_t id, double latitude, double longitude, double altitude,
                                uint32_t attitude, const std::array<double, 3>& rates, double speed,
                                int useFull, int timeout) override {
        if (g_fsmpManager)
            g_fsmpManager->UpdateAircraftPosition(id, latitude, longitude, altitude, attitude, rates, speed,
                                                  useFull, timeout);
    }
    std::unique_ptr<AircraftExtrapolator> CreateExtrapolator() override {
        return g_fsmpManager ? g_fsmpManager->CreateExtrapolator() : nullptr;
    }
};

// Land lines through the voice host once it exists.
class ShellVoice final : public AtcVoice {
public:
    int GetLandLineState(LandLineKind kind, const std::string& callsign) const override {
        return g_voiceHost ? g_voiceHost->GetLandLineState(kind, callsign) : 1;
    }
    bool PlaceLandLineCall(LandLineKind kind, const std::string& callsign) override {
        return g_voiceHost && g_voiceHost->PlaceLandLineCall(kind, callsign);
    }
    bool AcceptLandLineCall(const std::string& callsign) override {
        return g_voiceHost && g_voiceHost->AcceptLandLineCall(callsign);
    }
    void HoldLandLine() override {
        if (g_voiceHost) g_voiceHost->HoldLandLine();
    }
    bool ResumeLandLine(const std::string& callsign) override {
        return g_voiceHost && g_voiceHost->ResumeLandLine(callsign);
    }
    bool HangUpLandLine() override { return g_voiceHost && g_voiceHost->HangUpLandLine(); }
};

struct ShellServices {
    explicit ShellServices(TarqProfile& profile) : settings(profile) {}
    TarqProfileSettings settings;
    ShellMessages messages;
    ShellSounds sounds;
    ShellToolWindows tools;
    ShellNetworkDisplay networkDisplay;
    ShellScope scope;
    AircraftAlarm alarm;
    ShellSimulator simulator;
    ShellVoice voice;
    ShellTextComms text;
    ShellStripBayServices strips;
    ShellNetworkComms networkComms;
    ShellNetworkWeather networkWeather;
    ShellNetworkStrips networkStrips;
    ShellNetworkControllerList networkControllerList;
    ShellNetworkVoice networkVoice;
    ShellNetworkATISMaker networkAtisMaker;
    // Null until the network manager exists; the manager names itself.
    AtcNetwork* network = nullptr;

    NetworkOwners Owners() {
        NetworkOwners owners;
        owners.display = &networkDisplay;
        owners.comms = &networkComms;
        owners.chat = &NetChatOfShell();
        owners.weather = &networkWeather;
        owners.strips = &networkStrips;
        owners.controllerList = &networkControllerList;
        owners.voice = &networkVoice;
        owners.atisMaker = &networkAtisMaker;
        return owners;
    }

    AtcServices Atc() {
        AtcServices services;
        services.settings = &settings;
        services.messages = &messages;
        services.sounds = &sounds;
        services.tools = &tools;
        services.scope = &scope;
        services.network = network;
        services.simulator = &simulator;
        services.voice = &voice;
        services.text = &text;
        services.clock = &SystemClock::Instance();
        return services;
    }
};

std::unique_ptr<ShellServices> g_services;
std::unique_ptr<TarqVoiceAtisServices> g_voiceAtisServices;

template <typename T>
void DeleteGlobal(T*& object) {
    T* doomed = object;
    object = nullptr;  // nothing reaches it while it goes
    delete doomed;
}

GlobalObjectObserver g_observer;

// The objects tell the observer as they come and go, so their order can be
// followed.
template <typename T>
T* Created(T* object, const char* name) {
    if (g_observer) g_observer(std::string("new ") + name);
    return object;
}

template <typename T>
void DeleteGlobal(T*& object, const char* name) {
    if (!object) return;
    DeleteGlobal(object);
    if (g_observer) g_observer(std::string("delete ") + name);
}

}  // namespace

void SetSuppressedLookup(const std::string& callsign) { g_suppressedLookup = callsign; }

const std::string& SuppressedLookup() { return g_suppressedLookup; }

ShellStripBayServices& StripBayServicesOfShell() { return g_services->strips; }

VoiceAtisServices* VoiceAtisServicesOfShell() { return g_voiceAtisServices.get(); }

void SetGlobalObjectObserver(GlobalObjectObserver observer) { g_observer = std::move(observer); }

void CreateGlobalObjects(const TarqDisplayEnvironment& environment) {
    g_profile = Created(new TarqProfile(), "TarqProfile");
    // Every save records "LastProfile" in the per-user store.
    g_profile->SetUserRegistry(g_userRegistry);
    g_services = std::make_unique<ShellServices>(*g_profile);
    g_displayManager =
        Created(new TarqDisplayManager(*environment.factory, environment.post, environment.schedule,
                                       environment.hooks),
                "TarqDisplayManager");
    g_networkManager =
        Created(new TarqNetworkManager(g_services->Atc(), g_services->Owners(),
                                       static_cast<int32_t>(MachineNumber())),
                "TarqNetworkManager");
    // The databases send through the manager from here on.
    g_services->network = g_networkManager;
    g_aircraftDB = Created(new TarqAircraftDB(g_services->Atc()), "TarqAircraftDB");
    g_aircraftDB->SetStartDirectory(StartDirectory);
    g_networkManager->SetAircraftDB(g_aircraftDB);
    g_aircraftList = Created(new TarqAircraftList(*g_aircraftDB), "TarqAircraftList");
    g_controllerDB = Created(new TarqControllerDB(g_services->Atc()), "TarqControllerDB");
    g_aircraftDB->SetControllerDB(g_controllerDB);
    g_controllerDB->SetAircraftDB(g_aircraftDB);
    g_networkManager->SetControllerDB(g_controllerDB);
    g_controllerList = Created(new TarqControllerList(), "TarqControllerList");
    g_commsPanel = Created(new TarqCommsPanel(), "TarqCommsPanel");
    g_flightPlanEditor = Created(new TarqFlightPlanEditor(), "TarqFlightPlanEditor");
    g_weatherPanel = Created(new TarqWeatherPanel(*g_profile), "TarqWeatherPanel");
    g_flightStripBay = Created(new TarqFlightStripBay(g_services->strips), "TarqFlightStripBay");
    g_chatManager = Created(new TarqChatManager(ChatHostOfShell(), ChatForwarderOfShell(), g_userRegistry,
                                                SystemClock::Instance()),
                            "TarqChatManager");
    g_atisMaker = Created(new TarqATISMaker(*g_profile, g_weatherPanel->Store()), "TarqATISMaker");
    g_voiceHost = Created(new TarqVoiceHost(*g_profile, *g_networkManager,
                                            [] {
                                                if (g_controllerList) g_controllerList->Rebuild();
                                            }),
                          "NoltVoiceEngine");
    g_voiceEngine = &g_voiceHost->Engine();
    g_voiceAtisServices =
        std::make_unique<TarqVoiceAtisServices>(*g_voiceEngine, *g_networkManager, g_commsPanel->Entries());
    g_atisMaker->SetVoiceServices(g_voiceAtisServices.get());
    g_selcalPanel = Created(new TarqSELCALPanel(), "TarqSELCALPanel");
    g_fsmpManager =
        Created(new TarqFSMPManager(PathInDirectory(StartDirectory, "ModelData"), g_services->Atc(),
                                    [] { return std::make_unique<DplaySessionTransport>(); }),
                "TarqFSMPManager");
    g_oceanicTracksDB =
        Created(new TarqOceanicTracksDB(g_services->Atc(), OceanicTracksDownloader(StartDirectory)),
                "TarqOceanicTracksDB");
    g_oceanicTracksDB->SetDownloadEndedCallback([] {
        if (g_displayManager) g_displayManager->RefreshAllDisplays();
    });

    g_displayServices = g_displayManager;
    g_alarmSound = &g_services->alarm;
    g_chatLogState = g_chatManager;
    g_stripSeparators = g_flightStripBay;
    g_sessionToolWindows = {g_commsPanel,       g_weatherPanel,   g_controllerList, g_aircraftList,
                            g_flightPlanEditor, g_flightStripBay, g_selcalPanel};
}

bool ReadIniFile() {
    if (!g_profile) return false;
    // Saves killed before their rename left their temporaries beside the file.
    RemoveStaleTemporaries(g_profile->GetIniFile().GetPath());
    if (g_profile->OpenIniFile()) return true;
    // The reader names the line and the character that stopped it.
    const std::string reason = g_profile->GetIniFile().GetLastError();
    ShowMessageBox(reason.empty() ? "Could not read INI file!" : "Could not read INI file!\r\n\r\n" + reason,
                   "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0});
    return false;
}

void DeleteGlobalObjects() {
    if (g_displayManager) g_displayManager->StopFrameTimer();
    g_displayServices = nullptr;
    g_alarmSound = nullptr;
    g_chatLogState = nullptr;
    g_stripSeparators = nullptr;
    g_sessionToolWindows = {};
    DeleteGlobal(g_oceanicTracksDB, "TarqOceanicTracksDB");
    DeleteGlobal(g_fsmpManager, "TarqFSMPManager");
    DeleteGlobal(g_selcalPanel, "TarqSELCALPanel");
    if (g_atisMaker) g_atisMaker->SetVoiceServices(nullptr);
    g_voiceAtisServices.reset();
    g_voiceEngine = nullptr;
    DeleteGlobal(g_voiceHost, "NoltVoiceEngine");
    DeleteGlobal(g_atisMaker, "TarqATISMaker");
    DeleteGlobal(g_chatManager, "TarqChatManager");
    DeleteGlobal(g_flightStripBay, "TarqFlightStripBay");
    DeleteGlobal(g_weatherPanel, "TarqWeatherPanel");
    DeleteGlobal(g_flightPlanEditor, "TarqFlightPlanEditor");
    DeleteGlobal(g_commsPanel, "TarqCommsPanel");
    DeleteGlobal(g_controllerList, "TarqControllerList");
    DeleteGlobal(g_controllerDB, "TarqControllerDB");
    DeleteGlobal(g_aircraftList, "TarqAircraftList");
    if (g_networkManager) {
        g_networkManager->SetAircraftDB(nullptr);
        g_networkManager->SetControllerDB(nullptr);
    }
    DeleteGlobal(g_aircraftDB, "TarqAircraftDB");
    DeleteGlobal(g_networkManager, "TarqNetworkManager");
    DeleteGlobal(g_displayManager, "TarqDisplayManager");
    g_services.reset();
    DeleteGlobal(g_profile, "TarqProfile");
}
