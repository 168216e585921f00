// What the network's packets reach beyond the aircraft and controller
// databases: the display shell (radio history, titles, menus, the main
// scope), the communications panel, the chat windows, the weather panel, the
// strip bay, the controller list, the voice rooms and the ATIS maker. The
// program binds every owner (app/global_objects.cpp); the tests' recording
// owners live in tests/net/recording_owners.h.
// Tested through tests/net/network_handlers_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class NetDisplay {
public:
    virtual ~NetDisplay() = default;
    // Radio text heard on one of the user's frequencies, on guard or on the
    // controllers' channel, as the radio history words and sounds it.
    virtual void AddRadioMessage(const std::string& sender, int frequencyKhz, const std::string& text) = 0;
    virtual void AddBroadcast(const std::string& sender, bool wallop, const std::string& text) = 0;
    // Titles of all displays and the main display's menus follow the connection.
    virtual void OnConnectionChanged() = 0;
    virtual void ApplyDisplaySettings() = 0;
    // Centres the main scope on an absolute position and redraws it.
    virtual void CentreMainScope(double latitude, double longitude) = 0;
    virtual std::string GetMainSectorFileName() const = 0;
    // The callsign the user is looking up quietly; its "no such callsign"
    // error is not shown. Empty when none.
    virtual std::string GetSuppressedLookup() const = 0;
};

class NetCommsPanel {
public:
    virtual ~NetCommsPanel() = default;
    // kHz of the entries whose RX box is checked.
    virtual std::vector<int32_t> GetRXFrequencies() const = 0;
    // The network is gone: push-to-talk, rooms and land lines end and the
    // voice boxes follow.
    virtual void SyncVoiceCheckBoxes() = 0;
};

class NetChat {
public:
    virtual ~NetChat() = default;
    virtual void OnIncomingMessage(const std::string& sender, const std::string& text) = 0;
    virtual void RefreshChatTitle(const std::string& callsign) = 0;
};

class NetWeather {
public:
    virtual ~NetWeather() = default;
    virtual void OnMetar(const std::string& text) = 0;
    virtual void RequestMetarsAgain() = 0;
};

class NetStripBay {
public:
    virtual ~NetStripBay() = default;
    virtual void AddStrip(const std::string& callsign, int type, const std::vector<std::string>& annotations) = 0;
};

class NetControllerList {
public:
    virtual ~NetControllerList() = default;
    virtual void ShowControllerInfo(const std::string& callsign) = 0;
};

class NetVoice {
public:
    virtual ~NetVoice() = default;
    virtual void EndAllLandLines() = 0;
    virtual void CloseAllVoiceRooms() = 0;
};

class NetATISMaker {
public:
    virtual ~NetATISMaker() = default;
    // A session was lost or failed: the voice ATIS goes off the air.
    virtual void RefreshVoiceATIS() = 0;
    // The voice-ATIS session changed: the maker's connect button follows it.
    virtual void UpdateConnectButton() = 0;
};

// Every member must be set: the network manager refuses a set with a gap.
struct NetworkOwners {
    NetDisplay* display = nullptr;
    NetCommsPanel* comms = nullptr;
    NetChat* chat = nullptr;
    NetWeather* weather = nullptr;
    NetStripBay* strips = nullptr;
    NetControllerList* controllerList = nullptr;
    NetVoice* voice = nullptr;
    NetATISMaker* atisMaker = nullptr;

    // The first member left null, or null when the set is whole.
    const char* Missing() const;
};
