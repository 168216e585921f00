// The program's voice: TarqVoiceHost owns the sound devices and the voice
// engine (g_voiceEngine), answers the engine's questions from the profile and
// the network manager, carries land-line messages between the two network
// sessions and the engine, and is the voice the databases and the network
// manager call. Main thread only. Tested by tests/app/startup_test.cpp and
// session_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "atc/atc_services.h"
#include "atc/network_owners.h"
#include "voice/voice_engine.h"

class HalkSession;
class SoundDeviceProvider;
class TarqNetworkManager;
class TarqProfile;

struct TarqVoiceOptions {
    // Makes the sound devices; the machine's PortAudio devices when empty.
    std::function<std::unique_ptr<SoundDeviceProvider>()> devices;
    uint16_t udpPort = 3290;
};

// What the hosts made from now on use; tests give memory devices and port 0
// (the system picks a free one).
void SetTarqVoiceOptions(TarqVoiceOptions options);

class TarqVoiceHost final : public VoiceEngineHost, public AtcVoice, public NetVoice {
public:
    // landLinesChanged: the controller list shows the new states.
    TarqVoiceHost(TarqProfile& profile, TarqNetworkManager& network, std::function<void()> landLinesChanged);
    ~TarqVoiceHost() override;
    TarqVoiceHost(const TarqVoiceHost&) = delete;
    TarqVoiceHost& operator=(const TarqVoiceHost&) = delete;

    NoltVoiceEngine& Engine() { return *m_engine; }
    SoundDeviceProvider& Devices() { return *m_devices; }

    // VoiceEngineHost
    std::string Callsign() const override;
    std::string Cid() const override;
    std::string PublicIp() const override;
    std::string AtisName() const override;
    void SendLandLine(int session, const std::string& to, int code, int kind, const std::string& ip,
                      int port) override;
    void PlayCue(const std::string& name) override;
    void LandLinesChanged() override;

    // AtcVoice
    int GetLandLineState(LandLineKind kind, const std::string& callsign) const override;
    bool PlaceLandLineCall(LandLineKind kind, const std::string& callsign) override;
    bool AcceptLandLineCall(const std::string& callsign) override;
    void HoldLandLine() override;
    bool ResumeLandLine(const std::string& callsign) override;
    bool HangUpLandLine() override;

    // NetVoice
    void EndAllLandLines() override;
    void CloseAllVoiceRooms() override;

private:
    static void OnLandLine(HalkSession* session, const char* from, int code, int kind, const char* address,
                           int port, void* user);

    TarqProfile& m_profile;
    TarqNetworkManager& m_network;
    std::function<void()> m_landLinesChanged;
    std::unique_ptr<SoundDeviceProvider> m_devices;
    std::unique_ptr<NoltVoiceEngine> m_engine;
};

// True when the engine has its voice port; otherwise says so in an error box
// (the program then ends).
bool VoicePortReady(const NoltVoiceEngine* engine);
