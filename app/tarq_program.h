// The program around the global objects: start-up after the toolkit is up,
// the session-profile dialog, the frame tick's work, raise requests and the
// external push-to-talk, and the orderly shut-down.
// Tested by tests/app/program_test.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/frame_tick.h"
#include "app/session.h"
#include "foundation/window_snap.h"

class CuePlayer;
class ExternalPttSocket;
class KeyState;
class ProfileDialog;
class SingleInstance;
class TarqUserRegistry;
class WxMessageBoxHandler;
class WxStripBayWindow;
class WxCommsWindows;
class WxChatWindows;
class WxToolWindows;

// The single-instance GUID, kept from the mutex name it replaces.
inline constexpr const char* kInstanceName = "{6676C40C-5B28-4ff5-BBE2-A2D0029D18FE}";

class TarqProgram final : public TarqSessionUi, public TarqTickWork {
public:
    // instance: the lock this process holds (raise requests arrive on it);
    // runtimeDir: where the external push-to-talk socket goes.
    TarqProgram(SingleInstance* instance, std::string runtimeDir);
    ~TarqProgram() override;

    // Start-up once wx runs: globals, INI file, the profile dialog. False
    // when the program ends at once (no voice engine, no dialog).
    bool Start();
    // Stops the ticks, closes every window and deletes the globals.
    void Shutdown();

    ProfileDialog* GetProfileDialog() const { return m_profileDialog; }
    int RaiseRequestsSeen() const { return m_raiseRequests; }
    WxCommsWindows& CommsWindows() const { return *m_commsWindows; }
    WxToolWindows& ToolWindows() const { return *m_toolWindows; }
    // The screen saver and the monitor's power-off are held off.
    bool HoldsScreenSaverOff() const;
    // Frame ticks run so far.
    long TickCount() const { return m_tickCount; }
    // 1 when start-up failed for want of the voice port, else 0.
    int ExitCode() const { return m_exitCode; }

    // TarqSessionUi
    void DestroyProfileDialog() override;
    bool ShowProfileDialog() override;
    void ActivateMainDisplay() override;
    void DisableSnapping() override { WindowSnapManager::DisableSnapping(); }
    void EnableSnapping() override { WindowSnapManager::EnableSnapping(); }
    void PostQuit() override;

    // TarqTickWork
    int PushToTalkKey() override;
    void SetPushToTalk(bool down) override;
    void VoicePeriodic() override;
    void NetworkTimer() override;
    void AircraftFrame() override;
    void LandLineRefresh() override;
    bool HasThreeDDisplay() override;
    void RedrawAll(bool onlyThreeD) override;
    void StripBayFrame() override;
    void CommsPanelFrame() override;
    void WeatherRefresh() override;
    void ControllerTimer() override;
    void AircraftTimer() override;
    void AircraftListTimer() override;

private:
    class Factory;
    class Accelerators;
    class ScreenSaver;
    void PollLocalSockets();
    void RaiseSharedWindow();

    SingleInstance* m_instance;
    std::string m_runtimeDir;
    std::unique_ptr<Factory> m_factory;
    std::unique_ptr<KeyState> m_keys;
    // The tick outlives the displays: a tick's full redraw may delete the
    // main display while the rest of that tick still runs.
    std::unique_ptr<TarqFrameTick> m_tick;
    std::unique_ptr<WxMessageBoxHandler> m_messageBoxes;
    std::unique_ptr<CuePlayer> m_cuePlayer;
    std::unique_ptr<TarqUserRegistry> m_registry;
    std::unique_ptr<ExternalPttSocket> m_ptt;
    std::vector<unsigned> m_socketWatches;
    std::unique_ptr<Accelerators> m_accelerators;
    std::unique_ptr<ScreenSaver> m_screenSaver;
    std::unique_ptr<WxStripBayWindow> m_stripBayWindow;
    std::unique_ptr<WxCommsWindows> m_commsWindows;
    std::unique_ptr<WxChatWindows> m_chatWindows;
    std::unique_ptr<WxToolWindows> m_toolWindows;
    ProfileDialog* m_profileDialog = nullptr;
    int m_raiseRequests = 0;
    long m_tickCount = 0;
    int m_exitCode = 0;
    bool m_started = false;
};

// Shows the crash questions for a report left by the crash handler; the
// re-run program's whole work.
int RunCrashReportDialogs(const std::string& reportPath);
