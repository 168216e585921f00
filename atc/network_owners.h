// What the network's packets reach beyond the aircraft and controller
// databases: the display shell (radio history, titles, menus, the main
// scope), the communications panel, the chat windows, the weather panel, the
// strip bay, the controller list, the voice rooms and the ATIS maker. Each
// owner is one small interface whose default does nothing, so an owner not
// built yet, or left out by a test, stays quiet.
// Tested through tests/net/network_handlers_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class NetDisplay {
public:
    virtual ~NetDisplay() = default;
    virtual void AddRadioMessage(const std::string& /*sender*/, int /*frequencyKhz*/,
                                 const std::string& /*text*/) {}
    virtual void AddBroadcast(const std::string& /*sender*/, bool /*wallop*/, const std::string& /*text*/) {}
    // Titles of all displays and the main display's menus follow the connection.
    virtual void OnConnectionChanged() {}
    virtual void ApplyDisplaySettings() {}
    // Centres the main scope on an absolute position and redraws it.
    virtual void CentreMainScope(double /*latitude*/, double /*longitude*/) {}
    virtual std::string GetMainSectorFileName() const { return {}; }
    // The callsign the user is looking up quietly; its "no such callsign"
    // error is not shown. Empty when none.
    virtual std::string GetSuppressedLookup() const { return {}; }
};

class NetCommsPanel {
public:
    virtual ~NetCommsPanel() = default;
    // kHz of the entries whose RX box is checked.
    virtual std::vector<int32_t> GetRXFrequencies() const { return {}; }
    virtual void SyncVoiceCheckBoxes() {}
};

class NetChat {
public:
    virtual ~NetChat() = default;
    virtual void OnIncomingMessage(const std::string& /*sender*/, const std::string& /*text*/) {}
    virtual void RefreshChatTitle(const std::string& /*callsign*/) {}
};

class NetWeather {
public:
    virtual ~NetWeather() = default;
    virtual void OnMetar(const std::string& /*text*/) {}
    virtual void RequestMetarsAgain() {}
};

class NetStripBay {
public:
    virtual ~NetStripBay() = default;
    virtual void AddStrip(const std::string& /*callsign*/, int /*type*/,
                          const std::vector<std::string>& /*annotations*/) {}
};

class NetControllerList {
public:
    virtual ~NetControllerList() = default;
    virtual void ShowControllerInfo(const std::string& /*callsign*/) {}
};

class NetVoice {
public:
    virtual ~NetVoice() = default;
    virtual void EndAllLandLines() {}
    virtual void CloseAllVoiceRooms() {}
};

class NetATISMaker {
public:
    virtual ~NetATISMaker() = default;
    // A session was lost or failed: the voice ATIS goes off the air.
    virtual void RefreshVoiceATIS() {}
    // The voice-ATIS session changed: the maker's connect button follows it.
    virtual void UpdateConnectButton() {}
};

// A null member is served by the interface's quiet default.
struct NetworkOwners {
    NetDisplay* display = nullptr;
    NetCommsPanel* comms = nullptr;
    NetChat* chat = nullptr;
    NetWeather* weather = nullptr;
    NetStripBay* strips = nullptr;
    NetControllerList* controllerList = nullptr;
    NetVoice* voice = nullptr;
    NetATISMaker* atisMaker = nullptr;

    NetworkOwners Completed() const;
};
