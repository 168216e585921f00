// The network's owners as one recording object: every call a line of the
// test world's log, the answers set by the test. Shared by the network tests
// and the benchmarks that run a manager.
#pragma once

#include <string>
#include <vector>

#include "atc/network_owners.h"
#include "../atc/atc_fakes.h"

// Every owner call as one line of the world's log.
class RecordingOwners final : public NetDisplay,
                              public NetCommsPanel,
                              public NetChat,
                              public NetWeather,
                              public NetStripBay,
                              public NetControllerList,
                              public NetVoice,
                              public NetATISMaker {
public:
    explicit RecordingOwners(CallLog& log) : m_log(log) {}
    std::vector<int32_t> rx;
    std::string sectorFile = "ny.sct2";
    std::string quietLookup;

    void AddRadioMessage(const std::string& sender, int frequency, const std::string& text) override {
        m_log.Add("radio: " + sender + " " + std::to_string(frequency) + " " + text);
    }
    void AddBroadcast(const std::string& sender, bool wallop, const std::string& text) override {
        m_log.Add(std::string(wallop ? "wallop: " : "broadcast: ") + sender + " " + text);
    }
    void OnConnectionChanged() override { m_log.Add("titles and menus"); }
    void ApplyDisplaySettings() override { m_log.Add("display settings"); }
    void CentreMainScope(double latitude, double longitude) override {
        m_log.Add("centre " + std::to_string(latitude) + " " + std::to_string(longitude));
    }
    std::string GetMainSectorFileName() const override { return sectorFile; }
    std::string GetSuppressedLookup() const override { return quietLookup; }
    std::vector<int32_t> GetRXFrequencies() const override { return rx; }
    void SyncVoiceCheckBoxes() override { m_log.Add("voice check boxes"); }
    void OnIncomingMessage(const std::string& sender, const std::string& text) override {
        m_log.Add("chat: " + sender + " " + text);
    }
    void RefreshChatTitle(const std::string& callsign) override { m_log.Add("chat title " + callsign); }
    void OnMetar(const std::string& text) override { m_log.Add("metar: " + text); }
    void RequestMetarsAgain() override { m_log.Add("metars again"); }
    void AddStrip(const std::string& callsign, int type, const std::vector<std::string>& annotations) override {
        std::string line = "strip: " + callsign + " " + std::to_string(type);
        for (const std::string& a : annotations) line += " " + a;
        m_log.Add(line);
    }
    void ShowControllerInfo(const std::string& callsign) override { m_log.Add("controller info " + callsign); }
    void EndAllLandLines() override { m_log.Add("end land lines"); }
    void CloseAllVoiceRooms() override { m_log.Add("close voice rooms"); }
    void RefreshVoiceATIS() override { m_log.Add("voice ATIS off the air"); }
    void UpdateConnectButton() override { m_log.Add("ATIS connect button"); }

    NetworkOwners All() {
        return {this, this, this, this, this, this, this, this};
    }

private:
    CallLog& m_log;
};

