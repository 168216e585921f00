// The voice ATIS's services in the program: recording, playback and the ATIS
// room from the voice engine, the second session from the network manager, and
// what the communications panel already uses. Main thread only.
// Tested by tests/app/voice_host_test.cpp.
#pragma once

#include <string>

#include "comms/voice_atis.h"

class CommsEntries;
class NoltVoiceEngine;
class TarqNetworkManager;

class TarqVoiceAtisServices final : public VoiceAtisServices {
public:
    TarqVoiceAtisServices(NoltVoiceEngine& engine, TarqNetworkManager& network, const CommsEntries& entries);

    void StartAtisRecording(const std::string& path) override;
    void StopAtisRecording() override;
    bool IsAtisRecording() const override;
    void StartAtisPreview() override;
    void StopAtisPreview() override;
    void StartAtisPlayback(const std::string& path) override;
    void StopAtisPlayback() override;
    bool IsAtisPlaying() const override;
    void SetAtisMonitor(bool on) override;
    // The room has no frequency of its own; members see the channel name.
    void StartAtisBroadcast(int frequencyKhz, const std::string& roomAddress, const std::string& channel,
                            const std::string& path) override;
    void StopAtisBroadcast() override;
    bool IsAtisBroadcastActive() const override;
    void CloseAtisListeners() override;

    bool IsConnected() const override;
    bool IsVoiceAtisConnected() const override;
    void ConnectVoiceAtis() override;
    void DisconnectVoiceAtis() override;

    bool IsFrequencyAssigned(int frequencyKhz) const override;
    bool IsVoiceChannelAssigned(const std::string& server, const std::string& channel) const override;

private:
    NoltVoiceEngine& m_engine;
    TarqNetworkManager& m_network;
    const CommsEntries& m_entries;
};
