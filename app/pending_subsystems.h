// Stand-ins for the global objects whose subsystems are not built yet: each
// has only what start-up, opening and closing a session and the frame tick
// call, and records those calls so the shell's tests can follow the steps.
// Each class goes when its subsystem brings the real one.
// Tested through tests/app/session_test.cpp and startup_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/session_services.h"
#include "foundation/tool_window_place.h"

// The calls the stand-ins received, as "Class::Operation" lines, while
// recording is on (tests only).
class PendingCallLog {
public:
    static void Record(const std::string& call);
    static void Start();
    static std::vector<std::string> Take();  // and stops recording
};

class TarqChatManager : public TarqChatLogState {
public:
    TarqChatManager();
    ~TarqChatManager() override;
    void OpenChatWindow(const std::string& name, bool show);
    void CloseAllWindows();
    bool IsIncomingChatLogOpen() const override { return m_chatLogOpen; }

private:
    bool m_chatLogOpen = false;
};

// Until voice exists the engine reports itself available with its devices
// ready, so a session can open.
class NoltVoiceEngine {
public:
    NoltVoiceEngine();
    virtual ~NoltVoiceEngine();
    bool IsAvailable() const { return true; }
    bool AreDevicesReady() const { return true; }
    void SetPushToTalk(bool down) { m_pushToTalk = down; }
    bool IsPushToTalk() const { return m_pushToTalk; }
    virtual void OnTimer() {}

    // The communications panel's calls, shaped as the engine's: no room
    // ever connects and no land line rings.
    uint32_t GetRoomStatus(int, const std::string&) { return 0; }
    int GetRoomOutput(int, const std::string&) { return 0; }
    void ToggleRoomConnection(int, const std::string&) {}
    void ToggleRoomTransmit(int, const std::string&) {}
    void ToggleRoomReceive(int, const std::string&) {}
    void ToggleRoomSpeaker(int, const std::string&) {}
    void CloseRoom(int) {}
    void CloseAllRooms() {}
    void EndAllLandLines() {}
    int GetLandLineState(int, const std::string&) const { return 1; }
    void SetMicMute(bool muted) { m_micMuted = muted; }
    bool GetAutoRoute() const { return m_autoRoute; }
    bool GetAirGroundToSpeaker() const { return m_airGroundToSpeaker; }
    bool GetGroundGroundToSpeaker() const { return m_groundGroundToSpeaker; }
    void SetAutoRoute(bool on) { m_autoRoute = on; }
    void SetAirGroundToSpeaker(bool on) { m_airGroundToSpeaker = on; }
    void SetGroundGroundToSpeaker(bool on) { m_groundGroundToSpeaker = on; }

private:
    bool m_pushToTalk = false;
    bool m_micMuted = false;
    bool m_autoRoute = false;
    bool m_airGroundToSpeaker = false;
    bool m_groundGroundToSpeaker = false;
};
