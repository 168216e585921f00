// Network owners that take every call and do nothing, for the tests and
// benchmarks that run a network manager for its sessions and databases and
// watch none of the windows. Tests of what reaches the windows use
// recording_owners.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "atc/network_owners.h"

class QuietOwners final : public NetDisplay,
                          public NetCommsPanel,
                          public NetChat,
                          public NetWeather,
                          public NetStripBay,
                          public NetControllerList,
                          public NetVoice,
                          public NetATISMaker {
public:
    void AddRadioMessage(const std::string&, int, const std::string&) override {}
    void AddBroadcast(const std::string&, bool, const std::string&) override {}
    void OnConnectionChanged() override {}
    void ApplyDisplaySettings() override {}
    void CentreMainScope(double, double) override {}
    std::string GetMainSectorFileName() const override { return {}; }
    std::string GetSuppressedLookup() const override { return {}; }
    std::vector<int32_t> GetRXFrequencies() const override { return {}; }
    void SyncVoiceCheckBoxes() override {}
    void OnIncomingMessage(const std::string&, const std::string&) override {}
    void RefreshChatTitle(const std::string&) override {}
    void OnMetar(const std::string&) override {}
    void RequestMetarsAgain() override {}
    void AddStrip(const std::string&, int, const std::vector<std::string>&) override {}
    void ShowControllerInfo(const std::string&) override {}
    void EndAllLandLines() override {}
    void CloseAllVoiceRooms() override {}
    void RefreshVoiceATIS() override {}
    void UpdateConnectButton() override {}

    NetworkOwners All() { return {this, this, this, this, this, this, this, this}; }
};
