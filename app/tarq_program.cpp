// Tested by tests/app/program_test.cpp.
#include "app/tarq_program.h"

#include <wx/display.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
#include <wx/wx.h>

#include <algorithm>
#include <clocale>
#include <vector>

#include "app/chat_windows_wx.h"
#include "app/comms_windows_wx.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/main_loop.h"
#include "app/menu_table.h"
#include "app/profile_dialog.h"
#include "app/save_profile_as_dialog.h"
#include "app/screen_saver_hold.h"
#include "app/shell_state.h"
#include "app/strip_bay_services.h"
#include "app/strip_bay_window.h"
#include "app/tool_window_dialog.h"
#include "app/tool_windows_wx.h"
#include "app/wx_message_boxes.h"
#include "app/wx_text.h"
#include "foundation/profile.h"
#include "foundation/sound_cues.h"
#include "foundation/start_directory.h"
#include "foundation/user_registry.h"
#include "platform/clock.h"
#include "platform/crash_report.h"
#include "platform/cue_player.h"
#include "platform/external_ptt.h"
#include "platform/key_state.h"
#include "platform/screen_saver.h"
#include "platform/single_instance.h"

class TarqProgram::Factory final : public TarqDisplayFactory {
public:
    explicit Factory(TarqProgram& program) : m_program(program) {}
    std::unique_ptr<TarqDisplay> CreateDisplay(const TarqDisplaySettings& settings, bool isMain) override {
        return std::make_unique<WxDisplayWindow>(settings, isMain, m_program);
    }

private:
    TarqProgram& m_program;
};

// The accelerator table acts on the main display whichever window of the
// program has the focus (a display, a tool window, a chat window), as long as
// a main display exists; inside any other dialog the keys are the dialog's own.
class TarqProgram::Accelerators final : public wxEventFilter {
public:
    Accelerators() { wxEvtHandler::AddFilter(this); }
    ~Accelerators() override { wxEvtHandler::RemoveFilter(this); }

    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() != wxEVT_KEY_DOWN || !g_displayManager) return Event_Skip;
        auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay());
        auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
        wxWindow* top = window ? wxGetTopLevelParent(window) : nullptr;
        if (!main || !top || (dynamic_cast<wxDialog*>(top) && !dynamic_cast<TarqToolWindowDialog*>(top)))
            return Event_Skip;
        auto& key = static_cast<wxKeyEvent&>(event);
        CommandId id = FindAccelerator(key);
        if (id == CommandId::None) return Event_Skip;
        main->OnMenuCommand(id);
        return Event_Processed;
    }

private:
    static CommandId FindAccelerator(const wxKeyEvent& key) {
        int vk = VirtualKeyOfEvent(key);
        if (vk == 0) return CommandId::None;
        int modifiers = (key.AltDown() ? kAccelAlt : 0) | (key.RawControlDown() ? kAccelCtrl : 0) |
                        (key.ShiftDown() ? kAccelShift : 0);
        return ::FindAccelerator(modifiers, vk);
    }
};

// The screen saver and the monitor's power-off stay away while a window of
// the session is active. The profile dialog, the toolkit's message boxes and
// file choosers do not hold them off.
class TarqProgram::ScreenSaver final : public wxEventFilter {
public:
    explicit ScreenSaver(const TarqProgram& program)
        : m_program(program), m_control(CreateDesktopScreenSaverControl()), m_hold(*m_control) {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTimer(); });
        m_timer.Start(kCheckMs);
        wxEvtHandler::AddFilter(this);
    }
    ~ScreenSaver() override {
        wxEvtHandler::RemoveFilter(this);
        *m_alive = false;
    }

    bool IsHeld() const { return m_hold.IsHeld(); }

    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() == wxEVT_ACTIVATE && !m_updatePending) {
            m_updatePending = true;
            // Once the window losing the activation and the one gaining it have both had theirs.
            wxTheApp->CallAfter([this, alive = m_alive] {
                if (!*alive) return;
                m_updatePending = false;
                Update();
            });
        }
        return Event_Skip;
    }

private:
    // A session also ends, and its windows go, without a window's activation changing.
    static constexpr int kCheckMs = 1000;

    void Update() {
        bool held = false;
        // The profile dialog shows only while no session is open.
        if (!m_program.GetProfileDialog() && g_displayManager && g_displayManager->DisplayCount() > 0) {
            for (wxWindow* window : wxTopLevelWindows) {
                auto* top = dynamic_cast<wxTopLevelWindow*>(window);
                held = held || (top && top->IsActive());
            }
        }
        const bool was = m_hold.IsHeld();
        m_hold.SetHeld(held);
        if (held && !was) m_sinceReset = 0;
    }
    void OnTimer() {
        Update();
        const int period = m_hold.ResetPeriodMs();
        if (period > 0 && (m_sinceReset += m_timer.GetInterval()) >= period) {
            m_hold.OnResetPeriod();
            m_sinceReset = 0;
        }
        const int interval = m_hold.IsHeld() ? std::min(kCheckMs, m_hold.ResetPeriodMs()) : kCheckMs;
        if (interval != m_timer.GetInterval()) m_timer.Start(interval);
    }

    const TarqProgram& m_program;
    std::unique_ptr<ScreenSaverControl> m_control;
    ScreenSaverHold m_hold;
    wxTimer m_timer;
    int m_sinceReset = 0;  // ms
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    bool m_updatePending = false;
};

TarqProgram::TarqProgram(SingleInstance* instance, std::string runtimeDir)
    : m_instance(instance), m_runtimeDir(std::move(runtimeDir)) {}

TarqProgram::~TarqProgram() { Shutdown(); }

namespace {

// The main display's caption and menu bar, and its command line, each across
// the window's width: a new tool or chat window must not hide them.
std::vector<ScreenRect> MainDisplayKeepClearAreas() {
    std::vector<ScreenRect> areas;
    auto* main =
        g_displayManager ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay()) : nullptr;
    auto* frame = main ? dynamic_cast<wxFrame*>(static_cast<wxWindow*>(main->GetWindow())) : nullptr;
    if (!frame || !frame->IsShown() || frame->IsIconized()) return areas;
    const wxRect outer = frame->GetRect();
    const wxMenuBar* menus = frame->GetMenuBar();
    const int barBottom = menus && menus->IsShown() ? menus->GetScreenRect().GetBottom() + 1
                                                    : frame->ClientToScreen(wxPoint(0, 0)).y;
    areas.push_back({outer.x, outer.y, outer.GetRight() + 1, std::max(barBottom, outer.y)});
    if (wxWindow* line = main->GetCommandLineWindow(); line && line->IsShown()) {
        const wxRect r = line->GetScreenRect();
        areas.push_back({outer.x, r.y, outer.GetRight() + 1, r.GetBottom() + 1});
    }
    return areas;
}

}  // namespace

bool TarqProgram::Start() {
    // GTK may have set the locale from the environment; numbers in files and
    // on the wire are never formatted by it.
    std::setlocale(LC_NUMERIC, "C");
    wxTheApp->SetExitOnFrameDelete(false);
    // No window of ours handles idle events: when something wakes wx's idle
    // processing, they are not sent through every control.
    wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
    m_started = true;
    StartTime = SystemClock::Instance().NowMs();
    RecordStartDirectory();
    ReturnToProfileDialog = false;
    DebugFlags = 0;

    m_messageBoxes = std::make_unique<WxMessageBoxHandler>();
    SetMessageBoxHandler(m_messageBoxes.get());
    TarqProfile::SetProfileDialogRunner(&RunSaveProfileAsDialog);
    m_cuePlayer = std::make_unique<CuePlayer>(CreatePortAudioCueOutput());
    g_cuePlayer = m_cuePlayer.get();
    m_registry = std::make_unique<TarqUserRegistry>(TarqUserRegistry::DefaultPath());
    g_userRegistry = m_registry.get();
    m_keys = CreateX11KeyPoll();
    m_tick = std::make_unique<TarqFrameTick>(*this, *m_keys);
    m_factory = std::make_unique<Factory>(*this);

    TarqDisplayEnvironment environment;
    environment.factory = m_factory.get();
    environment.post = PostToMainLoop;
    environment.schedule = ScheduleOnMainLoop;
    environment.hooks.isOnMonitor = [](int x, int y) {
        return wxDisplay::GetFromPoint(wxPoint(x, y)) != wxNOT_FOUND;
    };
    environment.hooks.playErrorSound = [] {
        if (g_profile) PlayConfiguredSound(g_profile->GetString("SoundError"), false);
    };
    environment.hooks.setSharedMainWindow = [](WindowHandle window) { SharedMainWindow = window; };
    environment.hooks.frameTick = [this] {
        ++m_tickCount;
        m_tick->OnFrameTick();
    };
    environment.hooks.showFlightPlanDetails = [](const std::string& callsign) {
        if (g_aircraftList) g_aircraftList->ShowFlightPlanDetails(callsign);
    };
    environment.hooks.repaintStrips = [] {
        if (g_flightStripBay) g_flightStripBay->Paint();
    };
    environment.hooks.clearPushToTalkByMessage = [this] { m_tick->ClearPushToTalkByMessage(); };
    CreateGlobalObjects(environment);
    m_stripBayWindow = std::make_unique<WxStripBayWindow>(*g_flightStripBay, StripBayServicesOfShell());
    m_commsWindows = std::make_unique<WxCommsWindows>(*g_weatherPanel, *g_selcalPanel);
    m_chatWindows = std::make_unique<WxChatWindows>();
    m_toolWindows = std::make_unique<WxToolWindows>();
    StripBayServicesOfShell().activateMainDisplay = [this] { ActivateMainDisplay(); };
    TarqToolWindowDialog::SetKeepClearAreas(MainDisplayKeepClearAreas);
    ReadIniFile();

    m_ptt = std::make_unique<ExternalPttSocket>(m_runtimeDir);
    m_ptt->Open();
    // Raise requests and push-to-talk datagrams wake the loop when they come.
    for (int fd : {m_instance ? m_instance->RaiseFd() : -1, m_ptt->Fd()}) {
        if (fd < 0) continue;
        m_socketWatches.push_back(WatchForInput(fd, [this] { PollLocalSockets(); }));
    }
    m_accelerators = std::make_unique<Accelerators>();
    m_screenSaver = std::make_unique<ScreenSaver>(*this);

    if (!VoicePortReady(g_voiceEngine)) {
        m_exitCode = 1;
        PostQuit();
        return false;
    }
    return ShowProfileDialog();
}

void TarqProgram::Shutdown() {
    if (!m_started) return;
    m_started = false;
    for (unsigned watch : m_socketWatches) RemoveWatch(watch);
    m_socketWatches.clear();
    m_accelerators.reset();
    m_screenSaver.reset();
    if (g_displayManager) {
        g_displayManager->StopFrameTimer();
        g_displayManager->CloseAll();
        g_displayManager->RedrawAll(false);
    }
    if (m_profileDialog) DestroyProfileDialog();
    TarqToolWindowDialog::SetKeepClearAreas(nullptr);
    m_stripBayWindow.reset();
    m_toolWindows.reset();
    m_commsWindows.reset();
    // The chat windows left go with their manager, while the toolkit still runs.
    if (g_chatManager) g_chatManager->CloseAllWindows();
    m_chatWindows.reset();
    DeleteGlobalObjects();
    g_cuePlayer = nullptr;
    g_userRegistry = nullptr;
    SetMessageBoxHandler(nullptr);
    TarqProfile::SetProfileDialogRunner(nullptr);
}

bool TarqProgram::ShowProfileDialog() {
    if (m_profileDialog) return true;
    m_profileDialog = new ProfileDialog(*this);
    SharedMainWindow = static_cast<wxWindow*>(m_profileDialog);
    m_profileDialog->Show();
    m_profileDialog->Raise();
    ReturnToProfileDialog = false;
    return true;
}

void TarqProgram::DestroyProfileDialog() {
    if (!m_profileDialog) return;
    if (SharedMainWindow == static_cast<wxWindow*>(m_profileDialog)) SharedMainWindow = nullptr;
    m_profileDialog->Destroy();
    m_profileDialog = nullptr;
}

void TarqProgram::ActivateMainDisplay() {
    if (!g_displayManager) return;
    if (auto* window = static_cast<wxWindow*>(g_displayManager->GetMainWindow())) {
        window->Raise();
        window->SetFocus();
    }
}

void TarqProgram::PostQuit() {
    wxTheApp->CallAfter([] { wxTheApp->ExitMainLoop(); });
}

void TarqProgram::PollLocalSockets() {
    int raise = m_instance ? m_instance->TakeRaiseRequests() : 0;
    if (raise > 0) {
        m_raiseRequests += raise;
        RaiseSharedWindow();
    }
    if (m_ptt && g_displayManager) {
        for (bool keyed : m_ptt->TakeEvents()) {
            if (g_displayManager->GetMainDisplay()) m_tick->SetPushToTalkByMessage(keyed);
        }
    }
}

void TarqProgram::RaiseSharedWindow() {
    auto* window = static_cast<wxWindow*>(SharedMainWindow);
    // The window may have gone with the session that showed it.
    bool alive = false;
    for (wxWindow* topLevel : wxTopLevelWindows) alive = alive || topLevel == window;
    if (!window || !alive || window->IsBeingDeleted()) return;
    if (auto* frame = dynamic_cast<wxTopLevelWindow*>(window); frame && frame->IsIconized())
        frame->Iconize(false);
    window->Raise();
}

bool TarqProgram::HoldsScreenSaverOff() const { return m_screenSaver && m_screenSaver->IsHeld(); }

int TarqProgram::PushToTalkKey() { return g_profile ? g_profile->GetInt("PTTKey") : 0; }
void TarqProgram::SetPushToTalk(bool down) {
    if (g_voiceEngine) g_voiceEngine->SetPushToTalk(down);
}
void TarqProgram::VoicePeriodic() {
    if (g_voiceEngine) g_voiceEngine->OnTimer();
}
void TarqProgram::NetworkTimer() {
    if (g_networkManager) g_networkManager->OnTimer();
}
void TarqProgram::AircraftFrame() {
    // The session's events first, so that a simulator that just joined gets the models.
    if (g_fsmpManager) g_fsmpManager->OnFrameTick();
    if (g_aircraftDB) g_aircraftDB->OnFrameTick();
}
bool TarqProgram::HasThreeDDisplay() { return g_displayManager && g_displayManager->HasThreeDDisplay(); }
void TarqProgram::RedrawAll(bool onlyThreeD) {
    if (g_displayManager) g_displayManager->RedrawChanged(onlyThreeD);
}
void TarqProgram::StripBayFrame() {
    if (g_flightStripBay) g_flightStripBay->OnFrameTick();
}
void TarqProgram::CommsPanelFrame() {
    if (g_commsPanel) g_commsPanel->OnFrameTick();
    // Events only mark the controller list; it is rebuilt here, once a tick.
    if (g_controllerList) g_controllerList->OnFrameTick();
}
void TarqProgram::WeatherRefresh() {
    if (g_weatherPanel) g_weatherPanel->RefreshMetars(false);
}
void TarqProgram::LandLineRefresh() { ProgramLandLines().Refresh(); }
void TarqProgram::ControllerTimer() {
    if (g_controllerDB) g_controllerDB->OnTimer();
}
void TarqProgram::AircraftTimer() {
    if (g_aircraftDB) g_aircraftDB->OnTimer();
}
void TarqProgram::AircraftListTimer() {
    if (g_aircraftList) g_aircraftList->OnTimer();
}

int RunCrashReportDialogs(const std::string& reportPath) {
    CrashPrompts prompts;
    prompts.askYesNo = [](const std::string& text, const std::string& caption, bool defaultNo) {
        wxMessageDialog dialog(nullptr, ToWx(text), ToWx(caption),
                               wxYES_NO | wxICON_ERROR | (defaultNo ? wxNO_DEFAULT : 0));
        return dialog.ShowModal() == wxID_YES;
    };
    prompts.tell = [](const std::string& text, const std::string& caption) {
        wxMessageDialog dialog(nullptr, ToWx(text), ToWx(caption), wxOK);
        dialog.ShowModal();
    };
    RunCrashReport(reportPath, "Tarq", CrashDumpDirectory(), prompts);
    return 0;
}
