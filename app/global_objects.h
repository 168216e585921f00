// The global objects: created at start-up in a fixed order, reached through
// these pointers, deleted in reverse order at shut-down with the settings
// store last. Tested by tests/app/startup_test.cpp.
#pragma once

#include <functional>
#include <string>

#include "app/comms_windows.h"
#include "app/display_manager.h"
#include "app/tool_windows.h"
#include "app/voice_engine_host.h"
#include "atc/aircraft_db.h"
#include "atc/controller_db.h"
#include "atc/oceanic_tracks.h"
#include "comms/chat_manager.h"
#include "net/network_manager.h"
#include "simbridge/fsmp_manager.h"
#include "tools/flight_strip_bay.h"

class TarqProfile;
class TarqUserRegistry;

extern TarqDisplayManager* g_displayManager;
extern TarqNetworkManager* g_networkManager;
extern TarqAircraftDB* g_aircraftDB;
extern TarqAircraftList* g_aircraftList;
extern TarqControllerDB* g_controllerDB;
extern TarqControllerList* g_controllerList;
extern TarqCommsPanel* g_commsPanel;
extern TarqFlightPlanEditor* g_flightPlanEditor;
extern TarqWeatherPanel* g_weatherPanel;
extern TarqFlightStripBay* g_flightStripBay;
extern TarqChatManager* g_chatManager;
extern TarqATISMaker* g_atisMaker;
extern NoltVoiceEngine* g_voiceEngine;  // the host's engine
extern TarqVoiceHost* g_voiceHost;
extern TarqSELCALPanel* g_selcalPanel;
extern TarqFSMPManager* g_fsmpManager;
extern TarqOceanicTracksDB* g_oceanicTracksDB;
// The per-user value store ("LastProfile"); not one of the seventeen. Set it
// before CreateGlobalObjects: the settings store records every save in it.
extern TarqUserRegistry* g_userRegistry;
// What the strip bay asks of the program; its window sets the text measure.
class ShellStripBayServices;
ShellStripBayServices& StripBayServicesOfShell();
// What the ATIS maker's voice side uses while the voice engine exists, else null.
VoiceAtisServices* VoiceAtisServicesOfShell();

// The callsign the program is looking up quietly: the server's "not found"
// error (code 8) naming it is not shown. Empty when none.
void SetSuppressedLookup(const std::string& callsign);
const std::string& SuppressedLookup();

// What the display manager needs from the program around it.
struct TarqDisplayEnvironment {
    TarqDisplayFactory* factory = nullptr;
    TarqFrameTimer::Post post;
    TarqFrameTimer::Schedule schedule;
    TarqDisplayManager::Hooks hooks;
};

// Told "new <class>" and "delete <class>" as the global objects come and go;
// none by default.
using GlobalObjectObserver = std::function<void(const std::string& event)>;
void SetGlobalObjectObserver(GlobalObjectObserver observer);

// Creates the seventeen objects in their order, the settings store (reading
// "Tarq.ini" in StartDirectory) first, and connects the services the settings
// store and the sound cues ask for.
void CreateGlobalObjects(const TarqDisplayEnvironment& environment);

// Opens and reads the INI file; on failure says "Could not read INI file!"
// and start-up goes on. Returns whether it was read.
bool ReadIniFile();

// Stops the frame timer (so nothing ticks), disconnects the services, then
// deletes the objects in reverse order of creation, the settings store last.
void DeleteGlobalObjects();
