// NoltVoiceEngine: the one object through which the client uses voice. It
// builds the audio graph once (a crosspoint mixer with eight buses, the
// headset and speaker codecs, the UDP audio port and three recorders), then
// keys the transmitter, routes receive audio, runs the voice rooms of the comms
// entries, the land lines, the voice ATIS and the microphone test. It holds
// only handles of the voice library. Main thread only.
// Tested by tests/voice/voice_engine_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "voice/voice_library.h"

class HostResolver;
class SoundDeviceProvider;

// What the engine needs of the rest of the client.
class VoiceEngineHost {
public:
    virtual ~VoiceEngineHost() = default;
    virtual std::string Callsign() const = 0;
    virtual std::string Cid() const = 0;
    // This client's public IPv4 text as the network server told it; empty until then.
    virtual std::string PublicIp() const = 0;
    // The voice ATIS's name (its session's callsign).
    virtual std::string AtisName() const = 0;
    // session: kControllerSession or kAtisSession. code: 0 call, 1 answer,
    // 2 busy, 3 end; kind: 0 intercom, 1 override, 2 monitor.
    virtual void SendLandLine(int session, const std::string& to, int code, int kind, const std::string& ip,
                              int port) = 0;
    virtual void PlayCue(const std::string& name) = 0;
    // The land-line states changed (the controller list shows them).
    virtual void LandLinesChanged() = 0;
};

struct VoiceEngineSetup {
    SoundDeviceProvider* devices = nullptr;
    VoiceEngineHost* host = nullptr;
    uint16_t udpPort = 3290;
    // Host-name look-up on a worker thread; the socket layer's by default.
    std::function<uint32_t(const std::string&)> lookup;
};

// RoomState
inline constexpr int kRoomIdle = 0;
inline constexpr int kRoomJoining = 1;
inline constexpr int kRoomLeaving = 2;
inline constexpr int kRoomConnected = 3;

class NoltVoiceEngine {
public:
    static constexpr int kControllerSession = 0;
    static constexpr int kAtisSession = 1;
    // Mixer buses.
    static constexpr int32_t kSpeakerBus = 1;
    static constexpr int32_t kAirGroundBus = 2;
    static constexpr int32_t kGroundGroundBus = 3;
    static constexpr int32_t kPushToTalkBus = 4;
    static constexpr int32_t kLandLineTransmitBus = 5;
    static constexpr int32_t kRadioTransmitBus = 6;
    static constexpr int32_t kHotMicBus = 7;
    static constexpr int32_t kMonitorBus = 8;

    explicit NoltVoiceEngine(const VoiceEngineSetup& setup);
    virtual ~NoltVoiceEngine();
    NoltVoiceEngine(const NoltVoiceEngine&) = delete;
    NoltVoiceEngine& operator=(const NoltVoiceEngine&) = delete;

    // Runs the due audio tasks and collects finished name look-ups.
    void Tick();
    virtual void OnTimer() { Tick(); }
    // False when the voice port could not be opened.
    bool IsAvailable() const;
    bool AreDevicesReady() const;
    uint16_t UdpPort() const;

    bool SetInputDevice(int index);
    bool SetHeadsetDevice(int index);
    bool SetSpeakerDevice(int index);
    void SetHeadsetVolume(uint32_t volume);
    void SetSpeakerVolume(uint32_t volume);
    uint32_t GetHeadsetVolume() const { return m_headsetVolume; }
    uint32_t GetSpeakerVolume() const { return m_speakerVolume; }
    void SetVhfSimulation(bool headset, bool speaker);
    void GetDeviceLists(std::vector<std::string>* inputs, std::vector<std::string>* outputs, int* input,
                        int* headset, int* speaker);

    void SetPushToTalk(bool down);
    bool IsPushToTalk() const { return m_pushToTalk; }
    void SetMicMute(bool muted);
    bool GetAutoRoute() const { return m_autoRoute; }
    bool GetAirGroundToSpeaker() const { return m_airGroundToSpeaker; }
    bool GetGroundGroundToSpeaker() const { return m_groundGroundToSpeaker; }
    void SetAutoRoute(bool on);
    void SetAirGroundToSpeaker(bool on);
    void SetGroundGroundToSpeaker(bool on);

    // Room status flags.
    static constexpr uint32_t kRoomReceiving = 1, kRoomTransmitting = 2, kRoomStateJoining = 4,
                              kRoomStateLeaving = 8, kRoomStateConnected = 16, kRoomHeard = 32,
                              kRoomSent = 64;
    uint32_t GetRoomStatus(int frequency, const std::string& address);
    int GetRoomOutput(int frequency, const std::string& address);
    void ToggleRoomConnection(int frequency, const std::string& address);
    void ToggleRoomTransmit(int frequency, const std::string& address);
    void ToggleRoomReceive(int frequency, const std::string& address);
    void ToggleRoomSpeaker(int frequency, const std::string& address);
    void CloseRoom(int frequency);
    void CloseAllRooms();
    // The state of a room, kRoomIdle when there is none.
    int GetRoomState(int frequency, const std::string& address) const;

    // LandLineState: 1 none, 2 ringing, 3 pending, 4 intercom active, 5 the
    // peer overrides or monitors us, 6 we override or monitor the peer, 7 held.
    int GetLandLineState(int kind, const std::string& callsign) const;
    bool PlaceLandLineCall(int kind, const std::string& callsign);
    bool AcceptLandLineCall(const std::string& callsign);
    bool HoldLandLine();
    bool ResumeLandLine(const std::string& callsign);
    bool HangUpLandLine();
    void EndLandLine(int kind, const std::string& callsign, bool sendEnd);
    void EndAllLandLines();
    void OnLandLineMessage(const std::string& callsign, int code, int kind, const std::string& ip, int port);
    void OnAtisLandLineMessage(const std::string& callsign, int code, int kind, const std::string& ip,
                               int port);

    void StartMicTestRecording(const std::string& path);
    void StopMicTestRecording();
    void StartMicTestPlayback();
    void StopMicTestPlayback();
    void StartNoiseMeasurement();
    void EndNoiseMeasurement();
    void StartLevelMeasurement();
    uint32_t EndLevelMeasurement();
    double GetInputSquelch() const;
    void SetInputSquelch(float level);

    void StartAtisRecording(const std::string& path);
    void StopAtisRecording();
    bool IsAtisRecording() const;
    void StartAtisPreview();
    void StopAtisPreview();
    void StartAtisPlayback(const std::string& path);
    void StopAtisPlayback();
    bool IsAtisPlaying() const;
    void SetAtisMonitor(bool on);
    void StartAtisBroadcast(const std::string& address, const std::string& atisName, const std::string& path);
    void StopAtisBroadcast();
    bool IsAtisBroadcastActive() const;
    int AtisChannelState() const { return m_atisState; }
    void CloseAtisListeners();

    // The mixer and codec handles, for tests that look at the links.
    OrlexHandle Mixer() const { return m_mixer; }
    OrlexHandle HeadsetCodec() const { return m_headset; }
    OrlexHandle SpeakerCodec() const { return m_speaker; }
    OrlexHandle RoomChannel(int frequency, const std::string& address) const;

private:
    using RoomKey = std::pair<int, std::string>;
    struct Room {
        OrlexHandle channel = 0;
        int state = kRoomIdle;
        std::string server;  // a name being looked up, empty once known
        bool connectWhenKnown = false;
    };
    struct Line {
        OrlexHandle link = 0;
        std::vector<std::pair<int32_t, int32_t>> routes;
    };
    struct Ringing {
        std::string ip;
        uint16_t port = 0;
    };

    static void OnRoomEvent(OrlexHandle channel, int event, void* user);
    static void OnAtisChannelEvent(OrlexHandle channel, int event, void* user);
    void Wire(OrlexHandle object);
    void Unwire(OrlexHandle object);
    void Link(int32_t from, int32_t to, bool on);
    bool Linked(int32_t from, int32_t to) const;
    void UpdateRouting();
    Room* OpenRoom(int frequency, const std::string& address);
    Room* FindRoom(int frequency, const std::string& address);
    const Room* FindRoom(int frequency, const std::string& address) const;
    Room* RoomOfChannel(OrlexHandle channel);
    void ConnectRoom(Room& room);
    void DisconnectRoom(Room& room);
    void CollectLookups();
    std::string DisplayName(const std::string& callsign) const;

    static std::string LineKey(int kind, const std::string& callsign);
    Line MakeLink(int kind, const std::string& callsign, const std::string& ip, int port,
                  const std::vector<std::pair<int32_t, int32_t>>& routes,
                  const std::string& outgoingName = "");
    void SwitchRoutes(const Line& line, bool on);
    void ReleaseLine(Line& line);
    void EndLine(std::map<std::string, Line>& table, const std::string& key);
    void StoreLine(std::map<std::string, Line>& table, const std::string& key, Line line);
    void SendLandLine(int session, const std::string& to, int code, int kind, bool withAddress);

    SoundDeviceProvider& m_devices;
    VoiceEngineHost& m_host;
    std::unique_ptr<HostResolver> m_resolver;
    int m_inputIndex = -1;
    int m_headsetIndex = -1;
    int m_speakerIndex = -1;
    uint32_t m_headsetVolume = 100;
    uint32_t m_speakerVolume = 100;
    bool m_pushToTalk = false;
    bool m_autoRoute = false;
    bool m_airGroundToSpeaker = false;
    bool m_groundGroundToSpeaker = false;

    OrlexHandle m_mixer = 0;
    OrlexHandle m_headset = 0;
    OrlexHandle m_speaker = 0;
    OrlexHandle m_port = 0;
    OrlexHandle m_micTest = 0;
    OrlexHandle m_atisPlayback = 0;
    OrlexHandle m_atisRecording = 0;
    OrlexHandle m_atisChannel = 0;
    OrlexHandle m_closedAtisChannel = 0;  // closed by its server, released after the tasks
    int m_atisState = kRoomIdle;
    std::string m_atisServer;  // being looked up for the broadcast

    std::map<RoomKey, Room> m_rooms;
    std::map<int, RoomKey> m_frequencies;

    std::map<std::string, Ringing> m_ringing;
    std::set<std::string> m_pending[3];
    std::map<std::string, Line> m_activeIntercoms;
    std::map<std::string, Line> m_heldIntercoms;
    std::map<std::string, Line> m_overridesOfUs;
    std::map<std::string, Line> m_ourOverrides;
    std::map<std::string, Line> m_monitorsOfUs;
    std::map<std::string, Line> m_ourMonitors;
    std::map<std::string, Line> m_atisListeners;
};
