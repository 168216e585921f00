// Tested by tests/app/startup_test.cpp.
#include "app/global_objects.h"

#include "app/shell_state.h"
#include "foundation/display_services.h"
#include "foundation/profile.h"
#include "foundation/session_services.h"
#include "foundation/tool_window_place.h"
#include "platform/message_box.h"

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
TarqSELCALPanel* g_selcalPanel = nullptr;
TarqFSMPManager* g_fsmpManager = nullptr;
TarqOceanicTracksDB* g_oceanicTracksDB = nullptr;
TarqUserRegistry* g_userRegistry = nullptr;

namespace {

template <typename T>
void DeleteGlobal(T*& object) {
    T* doomed = object;
    object = nullptr;  // nothing reaches it while it goes
    delete doomed;
}

}  // namespace

void CreateGlobalObjects(const TarqDisplayEnvironment& environment) {
    g_profile = new TarqProfile();
    g_displayManager = new TarqDisplayManager(*environment.factory, environment.post, environment.hooks);
    g_networkManager = new TarqNetworkManager();
    g_aircraftDB = new TarqAircraftDB();
    g_aircraftList = new TarqAircraftList();
    g_controllerDB = new TarqControllerDB();
    g_controllerList = new TarqControllerList();
    g_commsPanel = new TarqCommsPanel();
    g_flightPlanEditor = new TarqFlightPlanEditor();
    g_weatherPanel = new TarqWeatherPanel();
    g_flightStripBay = new TarqFlightStripBay();
    g_chatManager = new TarqChatManager();
    g_atisMaker = new TarqATISMaker();
    g_voiceEngine = new NoltVoiceEngine();
    g_selcalPanel = new TarqSELCALPanel();
    g_fsmpManager = new TarqFSMPManager();
    g_oceanicTracksDB = new TarqOceanicTracksDB();

    g_displayServices = g_displayManager;
    g_alarmSound = g_aircraftDB;
    g_chatLogState = g_chatManager;
    g_stripSeparators = g_flightStripBay;
    g_sessionToolWindows = {g_commsPanel,       g_weatherPanel,   g_controllerList, g_aircraftList,
                            g_flightPlanEditor, g_flightStripBay, g_selcalPanel};
}

bool ReadIniFile() {
    if (!g_profile) return false;
    if (g_profile->OpenIniFile()) return true;
    ShowMessageBox("Could not read INI file!", "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0});
    return false;
}

void DeleteGlobalObjects() {
    if (g_displayManager) g_displayManager->StopFrameTimer();
    g_displayServices = nullptr;
    g_alarmSound = nullptr;
    g_chatLogState = nullptr;
    g_stripSeparators = nullptr;
    g_sessionToolWindows = {};
    DeleteGlobal(g_oceanicTracksDB);
    DeleteGlobal(g_fsmpManager);
    DeleteGlobal(g_selcalPanel);
    DeleteGlobal(g_voiceEngine);
    DeleteGlobal(g_atisMaker);
    DeleteGlobal(g_chatManager);
    DeleteGlobal(g_flightStripBay);
    DeleteGlobal(g_weatherPanel);
    DeleteGlobal(g_flightPlanEditor);
    DeleteGlobal(g_commsPanel);
    DeleteGlobal(g_controllerList);
    DeleteGlobal(g_controllerDB);
    DeleteGlobal(g_aircraftList);
    DeleteGlobal(g_aircraftDB);
    DeleteGlobal(g_networkManager);
    DeleteGlobal(g_displayManager);
    DeleteGlobal(g_profile);
}
