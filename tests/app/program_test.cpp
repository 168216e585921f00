// Starts the real program under X in a temporary data directory and drives
// it: the profile dialog, a session's main display cleared to its background
// colour with the sinks' lines in its radio history, the history's clicks and
// keys, connecting to the local test server through the connect dialog, a
// secondary display without history, a second start, and the way back to the
// dialog. While connected it monitors a station in the weather panel and
// builds an ATIS from it in the ATIS maker, answers another controller's
// ATIS query, and shows the strips that controller pushes in a two-column
// strip bay. On the live traffic it presses accelerators and the
// aircraft-select key on the keyboard and chooses from a target's aircraft
// menu by keys. It joins a voice room on the local voice server and talks
// there with push-to-talk. The local test server runs in a thread of the
// test, so what it received is asserted. The connected display, the weather
// panel, the ATIS maker, the strip bay and the open aircraft menu are kept as
// program_test_*.png in the build directory. Further runs show the tool
// windows with the traffic and amend a flight plan in the editor, and drive
// the button bar's timer and the bookmarks.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/tglbtn.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/vlbox.h>
#include <wx/wx.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "app/comms_windows.h"
#include "app/comms_windows_wx.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_title.h"
#include "app/profile_dialog.h"
#include "app/radio_history.h"
#include "app/tarq_program.h"
#include "app/tool_windows.h"
#include "app/tool_windows_wx.h"
#include "foundation/profile.h"
#include "foundation/result.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/memory_sound_devices.h"
#include "platform/message_box.h"
#include "platform/single_instance.h"
#include "program_driver.h"
#include "resources/comms_dialog_layouts.h"
#include "scope/display_scope.h"
#include "scope/target_manager.h"
#include "tools/flight_strip_bay.h"
#include "tools/testserver/test_client.h"
#include "tools/testserver/test_server.h"

extern char** environ;

namespace {

constexpr int kBackground = 0x123456;  // 0xBBGGRR: red 0x56, green 0x34, blue 0x12
// The radar modes' pictures: the targets' symbols and their data blocks.
constexpr unsigned long kTargetColor = 0xFFFF00;  // cyan
constexpr unsigned long kBlockColor = 0xFF00FF;   // magenta

// What a radar mode draws the watched target in (untracked, not selected):
// the profile's colours set above, except where a mode keeps a palette of
// its own. Pixels are 0xBBGGRR.
struct ModeLook {
    bool (*symbol)(unsigned long pixel);
    bool block;
    unsigned long blockColor;
};
ModeLook LookOfMode(int mode) {
    switch (mode) {
        case 8:  // primary radar: fading returns in the primary target colour, no data
            return {[](unsigned long c) {
                        return (c & 0xFF) < 0x60 && (c >> 8 & 0xFF) > 0x60 && (c >> 16 & 0xFF) > 0x60;
                    },
                    false, 0};
        case 9:  // yellow plots, the symbol, leader and block in white
            return {[](unsigned long c) { return c == 0x00FFFF || c == 0xFFFFFF; }, true, 0xFFFFFF};
        case 10:  // an untracked target in black
            return {[](unsigned long c) { return c == 0x000000; }, true, 0x000000};
        default:
            return {[](unsigned long c) { return c == kTargetColor || c == kBlockColor; }, true, kBlockColor};
    }
}

struct Results {
    std::vector<std::string> listed;
    bool mainDisplayOpened = false;
    unsigned long centrePixel = 0xFFFFFFFF;
    int secondExitCode = -1;
    int raiseRequests = 0;
    long ticksDuringModal = 0;
    unsigned fontTexture2 = 0;
    unsigned fontTexture9 = 1;
    int font2Width = 0;
    std::string prefilled;
    std::string secondTitle;
    std::string acceleratorPrefill;
    bool secondStayedUntilRedraw = false;
    bool secondGoneAfterRedraw = false;
    std::string savedAsName;
    bool savedAsSection = false;
    std::vector<std::string> titledMenu;
    bool backToDialog = false;
    size_t displaysAfterClose = 99;
    std::vector<std::string> messages;
    // The main display's radio history on the screen.
    bool infoLineYellow = false;
    bool overrideLineRed = false;
    unsigned long insideBox = 0;
    unsigned long aboveBox = 0;
    bool borderWhiteSeen = false;
    bool borderGreySeen = false;
    bool clickCleared = false;
    int pageUpOffset = -1;
    int pageUpExpected = -2;  // one page back, at most to the oldest message
    int ctrlEndOffset = -1;
    bool ctrlSpaceCleared = false;
    bool secondHasNoHistory = false;
    bool historyTextBeforeClose = false;
    bool historyTextAfterClose = false;
    std::string typedOverScope;
    unsigned long secondBottomLeft = 0;
    // Connecting to the local test server.
    std::string typedCallsign;
    std::string storedCid;
    std::string storedServer;
    bool connected = false;
    bool connectedLine = false;
    std::vector<std::string> historyWhenConnected;
    size_t aircraftSeen = 0;
    bool screenshotSaved = false;
    // A voice room on the local voice server.
    int voiceRoomState = -1;
    bool commsRoomShot = false;
    bool panelHeadsetChecked = false;
    int panelPrimaryFrequency = 0;
    bool voicePortOpen = false;
    bool voiceSent = false;
    bool pushToTalkSeen = false;
    // The traffic on the sample sector, clicked and dragged.
    std::string watched;
    bool targetMoved = false;
    int targetPixels = 0;
    std::string selectedByClick;
    std::string editorByCtrlClick;  // the flight plan editor's aircraft after a Ctrl+click on a target
    bool dragStarted = false;
    bool blockMoved = false;
    // Accelerators pressed on the keyboard, and the aircraft menu of a live
    // target opened by a right click and chosen from by keys.
    double zoomBefore = 0;
    double zoomAfterF11 = 0;
    bool filtersBefore = false;
    bool filtersByKey = false;
    bool filtersChecked = false;
    bool weatherBefore = false;
    bool weatherAfterAlt5 = false;
    bool weatherChecked = true;
    std::string selectedByKey;
    std::string lineAfterSelect = "-";
    std::string menuTitle;
    bool menuShotSaved = false;
    std::vector<std::string> commandsRun;
    // Per radar mode: pixels of the target colours around the watched
    // target's projected pixel, and of the data block colour in its block.
    struct ModeShot {
        int symbolPixels = 0;
        bool block = false;
        int blockPixels = 0;
    };
    std::map<int, ModeShot> modes;
    // The weather panel and the ATIS maker while connected.
    std::vector<std::string> weatherLines;
    std::string weatherReport;
    bool weatherShotSaved = false;
    size_t weatherColours = 0;
    std::string atisStatus;
    std::string publishedAtis;
    std::string atisDialogInfo;
    std::string atisDialogMetar;
    bool atisShotSaved = false;
    size_t atisColours = 0;
    // Another controller's ATIS query and strip pushes.
    std::vector<std::string> atisAnswer;
    size_t stripsReceived = 0;
    std::vector<std::string> receivedLines;
    int stripsPerColumn[2] = {0, 0};
    int surfaceWidth = 0;
    double stripInk[2] = {0, 0};  // share of lit pixels on each column's bottom strip
    bool stripShotSaved = false;
    // SELCAL from a filed plan's remarks, called from the panel.
    std::string selcalCode;
    std::vector<std::string> selcalRows;
    std::vector<std::string> selcalLines;
    // What the server received from the program.
    std::vector<std::string> serverSaw;
    // The voice ATIS through the ATIS maker's buttons.
    std::vector<std::string> voiceCalls;
    std::string recordText;
    std::string connectLabel;
    bool connectWaits = false;
    std::string failure;
};

// The voice engine, network and panel as the voice ATIS sees them, noting
// each call; everything is connected and nothing assigned.
struct NotingVoiceAtisServices : VoiceAtisServices {
    void Note(std::string call) const { calls->push_back(std::move(call)); }
    void StartAtisRecording(const std::string& path) override {
        recording = true;
        Note("record " + std::filesystem::path(path).filename().string());
    }
    void StopAtisRecording() override {
        recording = false;
        Note("stop recording");
    }
    bool IsAtisRecording() const override { return recording; }
    void StartAtisPreview() override {}
    void StopAtisPreview() override {}
    void StartAtisPlayback(const std::string&) override {}
    void StopAtisPlayback() override {}
    bool IsAtisPlaying() const override { return false; }
    void SetAtisMonitor(bool) override {}
    void StartAtisBroadcast(int frequencyKhz, const std::string& roomAddress, const std::string& channel,
                            const std::string& path) override {
        Note("broadcast " + std::to_string(frequencyKhz) + " " + roomAddress + " " + channel + " " +
             std::filesystem::path(path).filename().string());
    }
    void StopAtisBroadcast() override {}
    bool IsAtisBroadcastActive() const override { return false; }
    void CloseAtisListeners() override {}
    bool IsConnected() const override { return true; }
    bool IsVoiceAtisConnected() const override { return false; }
    void ConnectVoiceAtis() override { Note("connect session"); }
    void DisconnectVoiceAtis() override {}
    bool IsFrequencyAssigned(int) const override { return false; }
    bool IsVoiceChannelAssigned(const std::string&, const std::string&) const override { return false; }

    std::vector<std::string>* calls = nullptr;
    bool recording = false;
};

// The second controller's strip pushes: callsign and annotations.
const std::pair<const char*, std::vector<std::string>> kPushedStrips[] = {
    {"UAL1627", {"A", "270", "", "CLR"}},
    {"AFR1722", {"", "090", "", "", "", "", "31L"}},
    {"ACA263", {"B"}},
    {"DAL2321", {}},
};

// The demo scenario flies this many pilots.
constexpr size_t kDemoPilots = 36;
constexpr int kVoiceFrequency = 118700;  // the first communications entry, on the local voice server
constexpr const char* kRadioText = "radar contact";

Results g_results;
int g_serverPort = 0;

// A pixel of the grab at GL coordinates (y upward).
unsigned long GlPixel(const ScreenGrab& grab, int x, int y) { return grab.At(x, grab.height - 1 - y); }

// Whether a pixel of the rectangle (GL coordinates, inclusive) has the colour.
bool AnyPixel(const ScreenGrab& grab, int x0, int y0, int x1, int y1, unsigned long color) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (GlPixel(grab, x, y) == color) return true;
        }
    }
    return false;
}

// Whether the main display's radio history shows lit text pixels (the
// background and the box's shade are dark).
bool HistoryTextShows(WxDisplayWindow& main) {
    ScreenGrab grab = GrabGlArea(main);
    RadioHistoryFrame box = main.GetRadioHistory()->Layout(0, 0, grab.width, grab.height, false);
    for (const RadioHistoryFrame::Line& line : box.lines) {
        int right = line.x + 7 * static_cast<int>(line.text.size());
        for (int y = line.y - 3; y <= line.y + 11; ++y) {
            for (int x = line.x; x <= right; ++x) {
                unsigned long p = GlPixel(grab, x, y);
                if ((p & 0x80) || (p & 0x8000) || (p & 0x800000)) return true;
            }
        }
    }
    return false;
}

// Keeps the grab in the build directory.
bool Keep(const ScreenGrab& grab, const std::string& name) {
    return SaveScreenshot(grab, std::string(TARQ_SCREENSHOT_DIR "/") + name);
}

// The local test server as run.sh starts it, with the demo scenario, on a
// port of its own, polled in a thread until the test stops it; what it
// received is read after that.
struct DemoServer {
    std::unique_ptr<TarqTestServer> server;
    std::thread thread;
    std::atomic<bool> stop{false};
    int port = 0;
    bool Start() {
        Result<Scenario> scenario = LoadScenario(TARQ_RESOURCES_DIR "/demo_scenario.txt");
        if (!scenario) return false;
        TestServerOptions options;
        options.port = 0;
        options.key = TarqNetworkManager::LoginKey();
        options.scenario = std::move(scenario).Value();
        server = std::make_unique<TarqTestServer>(std::move(options), SystemClock::Instance());
        if (!server->Start()) return false;
        port = server->Port();
        thread = std::thread([this] {
            while (!stop) server->Poll(20);
        });
        return true;
    }
    void Stop() {
        stop = true;
        if (thread.joinable()) thread.join();
    }
    ~DemoServer() { Stop(); }
};

// The local voice server as run.sh starts it, on a port of its own.
struct VoiceServer : ChildProgram {
    int port = 0;
    bool Start() {
        std::string line;
        if (!ChildProgram::Start({TARQ_VOICESERVER_EXE, "0"}, &line)) return false;
        const size_t space = line.rfind(' ');
        if (line.rfind("voice server on port", 0) != 0 || space == std::string::npos) return false;
        port = std::atoi(line.c_str() + space + 1);
        return port > 0;
    }
};
VoiceServer* g_voiceServer = nullptr;
MemorySoundDeviceProvider* g_soundDevices = nullptr;  // the program's

int RunSecondInstance() {
    std::string exe = TARQ_EXECUTABLE;
    char* argv[] = {exe.data(), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) != 0) return -2;
    for (int i = 0; i < 300; ++i) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -4;  // it kept running: it did not see the first instance
}

class DriverApp : public ProgramDriver {
public:
    DriverApp() : ProgramDriver(&g_results.failure, 180, &m_boxes) {
        m_devices = [](MemorySoundDeviceProvider* devices) { g_soundDevices = devices; };
    }
    int OnExit() override {
        g_results.messages = m_boxes.shown;
        return ProgramDriver::OnExit();
    }

private:
    void Step() override {
        switch (m_step) {
            case 0: {
                ProfileDialog* dialog = Program().GetProfileDialog();
                if (!dialog || !dialog->IsShownOnScreen()) return;
                g_results.listed = dialog->List().entries;
                if (!dialog->Select("Default")) return Fail("Default not listed");
                dialog->OpenSelected();
                Next();
                return;
            }
            case 1: {
                auto* main = g_displayManager
                                 ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay())
                                 : nullptr;
                if (!main || m_waited < 10) return;  // a second of ticks draws it
                g_results.mainDisplayOpened = true;
                g_results.fontTexture2 = main->GetFontTexture(2);
                g_results.fontTexture9 = main->GetFontTexture(9);
                g_results.font2Width = main->MeasureText(2, "ABC").width;
                main->OnMenuCommand(CommandId::PrefillQp);  // F1
                g_results.prefilled = main->GetCommandLine();
                ScreenGrab grab = GrabGlArea(*main);
                g_results.centrePixel = grab.At(grab.width / 2, grab.height / 2);
                Next();
                // Ticks go on while a modal dialog runs its own loop.
                wxDialog modal(nullptr, wxID_ANY, "modal");
                wxTimer closer;
                closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { modal.EndModal(wxID_OK); });
                closer.StartOnce(400);
                long before = Program().TickCount();
                modal.ShowModal();
                g_results.ticksDuringModal = Program().TickCount() - before;
                SaveProfileAs();
                wxMenu menu;
                menu.Append(1, "Track");
                InsertMenuTitle(&menu, "DLH&123");
                for (wxMenuItem* item : menu.GetMenuItems()) {
                    g_results.titledMenu.push_back(item->IsSeparator()
                                                       ? "-"
                                                       : std::string(item->IsEnabled() ? "" : "(disabled) ") +
                                                             item->GetItemLabelText().ToStdString());
                }
                return;
            }
            case 2: {
                // Lines from the sinks show in the history box at the bottom.
                WxDisplayWindow* main = MainDisplay();
                if (!main || !main->GetRadioHistory()) return Fail("the main display has no radio history");
                if (m_waited == 1) {
                    g_displayManager->ShowOverrideMessage("EDDF_TWR", "hello");
                    g_displayManager->ShowMessage("RADIO CHECK ONE TWO");
                    return;
                }
                if (m_waited < 4) return;  // a few tick redraws
                ScreenGrab grab = GrabGlArea(*main);
                m_box = main->GetRadioHistory()->Layout(0, 0, grab.width, grab.height, false);
                if (m_box.lines.size() < 2) return Fail("the history shows fewer than two lines");
                auto lineHas = [&](const RadioHistoryFrame::Line& line, unsigned long color) {
                    int right = line.x + 7 * static_cast<int>(line.text.size());
                    return AnyPixel(grab, line.x, line.y - 3, right, line.y + 11, color);
                };
                g_results.infoLineYellow = lineHas(m_box.lines[0], 0x00FFFF);
                g_results.overrideLineRed = lineHas(m_box.lines[1], 0x0000D2);
                g_results.insideBox = GlPixel(grab, m_box.right - 3, m_box.top - 3);
                g_results.aboveBox = GlPixel(grab, m_box.right - 3, m_box.top + 5);
                Next();
                return;
            }
            case 3: {
                // The override call waits: the border blinks white on the
                // ticks' redraws until the box is clicked.
                WxDisplayWindow* main = MainDisplay();
                ScreenGrab grab = GrabGlArea(*main);
                int middle = (m_box.top + m_box.bottom) / 2;
                g_results.borderWhiteSeen |=
                    AnyPixel(grab, m_box.left - 1, middle, m_box.left + 1, middle, 0xFFFFFF);
                g_results.borderGreySeen |=
                    AnyPixel(grab, m_box.left - 1, middle, m_box.left + 1, middle, 0x3C3C3C);
                // Grabs on a busy machine come seconds apart and can keep meeting
                // one half of the blink: look for a long while.
                if (!(g_results.borderWhiteSeen && g_results.borderGreySeen) && m_waited < 300) return;
                auto* frame = static_cast<wxWindow*>(main->GetWindow());
                wxWindow* canvas = wxWindow::FindWindowById(1005, frame);
                if (!canvas) return Fail("no GL area");
                wxMouseEvent click(wxEVT_LEFT_DOWN);
                click.m_x = (m_box.left + m_box.right) / 2;
                click.m_y = grab.height - 1 - middle;
                click.SetEventObject(canvas);
                canvas->GetEventHandler()->ProcessEvent(click);
                g_results.clickCleared = !main->GetRadioHistory()->IsMessageWaiting();
                Next();
                return;
            }
            case 4: {
                // The history's keys in the command line, and Ctrl+Space.
                WxDisplayWindow* main = MainDisplay();
                TarqDisplayRadioHistory* history = main->GetRadioHistory();
                g_results.pageUpExpected =
                    std::min(history->GetPage(), static_cast<int>(history->GetMessages().size()) - 1);
                PressInCommandLine(*main, WXK_PAGEUP, false);
                g_results.pageUpOffset = history->GetScrollOffset();
                PressInCommandLine(*main, WXK_END, true);
                g_results.ctrlEndOffset = history->GetScrollOffset();
                g_displayManager->ShowOverrideMessage("EDDF_TWR", "again");
                PressInCommandLine(*main, WXK_SPACE, true);
                g_results.ctrlSpaceCleared = !history->IsMessageWaiting();
                // Typing over the scope: every key reaches the command line,
                // the first (which moves the focus there) too.
                main->PrefillCommandLine("");
                auto* canvas = wxWindow::FindWindowById(1005, static_cast<wxWindow*>(main->GetWindow()));
                for (char c : std::string(".find KJFK")) {
                    wxKeyEvent down(wxEVT_KEY_DOWN);
                    down.m_keyCode = std::toupper(static_cast<unsigned char>(c));
                    down.SetEventObject(canvas);
                    canvas->GetEventHandler()->ProcessEvent(down);
                    wxKeyEvent typed(wxEVT_CHAR);
                    typed.m_keyCode = c;
                    typed.m_uniChar = c;
                    typed.SetEventObject(canvas);
                    canvas->GetEventHandler()->ProcessEvent(typed);
                }
                g_results.typedOverScope = main->GetCommandLine();
                Next();
                return;
            }
            case 5:
                // File > Connect...: the dialog is driven by keys and mouse
                // from inside its modal loop.
                Connect();
                Next();
                return;
            case 6: {
                // Connected: the scenario's pilots fill the aircraft database.
                WxDisplayWindow* main = MainDisplay();
                if (!main || !main->GetRadioHistory()) return Fail("the main display went away");
                g_results.connected = g_networkManager->IsConnected();
                const auto& messages = main->GetRadioHistory()->GetMessages();
                // Lines may carry a time stamp in front.
                g_results.connectedLine =
                    std::any_of(messages.begin(), messages.end(), [](const std::string& m) {
                        return m == "Connected." ||
                               (m.size() > 11 && m.compare(m.size() - 12, 12, "] Connected.") == 0);
                    });
                g_results.historyWhenConnected = messages;
                g_results.aircraftSeen = g_aircraftDB ? g_aircraftDB->GetCallsigns().size() : 0;
                if (!(g_results.connected && g_results.connectedLine &&
                      g_results.aircraftSeen >= kDemoPilots) &&
                    m_waited < 100)
                    return;
                if (m_waited < 15) return;  // a second and a half of frames draws the history
                if (!g_results.screenshotSaved)
                    g_results.screenshotSaved = Keep(GrabGlArea(*main), "program_test_connected.png");
                if (!WeatherAndAtisDone()) return;
                if (!VoiceRoomJoined()) return;
                Next();
                return;
            }
            case 7:
                if (!m_targetsDone) {
                    m_targetsDone = Targets();
                    return;
                }
                if (!StripsDone()) return;
                g_networkManager->Disconnect();
                Next();
                return;
            case 8: {
                // New Window, then Close Window on it: it stays until the
                // next full redraw takes it away.
                auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay());
                if (m_waited == 1) {
                    main->OnMenuCommand(CommandId::NewWindow);
                    return;
                }
                if (g_displayManager->DisplayCount() != 2 || m_waited < 5) return;
                auto* second = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetDisplayById(2));
                if (!second) return Fail("New Window made no display 2");
                g_results.secondTitle = static_cast<wxWindow*>(second->GetWindow())->GetLabel().ToStdString();
                // The number comes with the next full redraw of all displays,
                // which a loaded machine may bring late.
                if (g_results.secondTitle.rfind("[2]", 0) != 0 && m_waited < 40) return;
                // A secondary display shows neither the history nor the bar.
                g_results.secondHasNoHistory = !second->GetRadioHistory() && !second->GetButtonBar();
                g_results.secondBottomLeft = GlPixel(GrabGlArea(*second), 20, 20);
                // Shift+F1 pressed over the secondary display acts on the main one.
                wxKeyEvent key(wxEVT_KEY_DOWN);
                key.m_keyCode = WXK_F1;
                key.SetShiftDown(true);
                key.SetEventObject(static_cast<wxWindow*>(second->GetWindow()));
                static_cast<wxWindow*>(second->GetWindow())->GetEventHandler()->ProcessEvent(key);
                g_results.acceleratorPrefill = main->GetCommandLine();
                // Off the main display, whose pixels the next step reads.
                second->SetPosition(1000, 700);
                Next();
                return;
            }
            case 9: {
                if (m_waited < 3) return;
                auto* main = MainDisplay();
                auto* second = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetDisplayById(2));
                if (!main || !second) return Fail("a display went away");
                second->OnMenuCommand(CommandId::CloseWindow);
                g_results.secondStayedUntilRedraw = g_displayManager->GetDisplayById(2) == second;
                // The main display draws last, so its context is current
                // when the next full redraw frees the closed one's fonts.
                main->Redraw(false, 0);
                g_results.historyTextBeforeClose = HistoryTextShows(*main);
                g_displayManager->RedrawAll(false);
                g_results.secondGoneAfterRedraw = g_displayManager->GetDisplayById(2) == nullptr;
                g_results.historyTextAfterClose = HistoryTextShows(*main);
                Next();
                return;
            }
            case 10:
                g_results.secondExitCode = RunSecondInstance();
                Next();
                return;
            case 11: {
                if (Program().RaiseRequestsSeen() == 0 && m_waited < 20) return;
                g_results.raiseRequests = Program().RaiseRequestsSeen();
                auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay());
                if (!main) return Fail("the main display went away");
                main->OnMenuCommand(CommandId::OpenSessionProfile);
                Next();
                return;
            }
            case 12:
                if (!Program().GetProfileDialog() || g_displayManager->DisplayCount() != 0) return;
                g_results.backToDialog = true;
                g_results.displaysAfterClose = g_displayManager->DisplayCount();
                ExitMainLoop();
                return;
        }
    }
    // The traffic on the sample sector: it moves, a click on a target selects
    // it, a drag moves its data block, and every radar mode draws it. True
    // when done.
    bool Targets() {
        WxDisplayWindow* main = MainDisplay();
        TarqDisplayScope* scope = main ? main->GetScope() : nullptr;
        auto* targets = scope ? dynamic_cast<TarqTargetManager*>(scope->GetTargets()) : nullptr;
        if (!targets || !targets->GetState()) {
            Fail("the main scope has no target manager");
            return true;
        }
        auto* canvas = wxWindow::FindWindowById(1005, static_cast<wxWindow*>(main->GetWindow()));
        auto windowPoint = [&] {
            const TarqAircraft* a = g_aircraftDB->GetAircraft(g_results.watched);
            ScopePoint p = a ? a->GetPosition(0, 0) : ScopePoint{};
            scope->AddOffset(p);
            return scope->ProjectToWindow(p);
        };
        auto mouse = [&](wxEventType type, int x, int y, bool left) {
            wxMouseEvent event(type);
            event.m_x = x;
            event.m_y = y;
            event.m_leftDown = left;
            event.SetEventObject(canvas);
            canvas->GetEventHandler()->ProcessEvent(event);
        };
        switch (m_targetStep) {
            case 0: {
                if (!scope->LoadSectorFile(TARQ_SAMPLE_SECTOR, false)) {
                    Fail("the sample sector did not load");
                    return true;
                }
                // The fastest aircraft is the one to watch.
                int fastest = -1;
                for (const std::string& c : g_aircraftDB->GetCallsigns()) {
                    const TarqAircraft* a = g_aircraftDB->GetAircraft(c);
                    if (a->GetGroundSpeed() > fastest) {
                        fastest = a->GetGroundSpeed();
                        g_results.watched = c;
                    }
                }
                ScopePoint at = g_aircraftDB->GetAircraft(g_results.watched)->GetPosition(0, 0);
                m_firstPosition = at;
                scope->AddOffset(at);
                scope->SetZoom(0.3);
                scope->SetCenterAndRedraw(at);
                m_step0 = m_waited;
                ++m_targetStep;
                return false;
            }
            case 1: {
                // Pilots report every five seconds: wait for the next report, at most seven seconds.
                if (m_waited < m_step0 + 10) return false;
                ScopePoint now = g_aircraftDB->GetAircraft(g_results.watched)->GetPosition(0, 0);
                g_results.targetMoved = now.x != m_firstPosition.x || now.y != m_firstPosition.y;
                if (!g_results.targetMoved && m_waited < m_step0 + 70) return false;
                main->Redraw(false, 0);
                ScreenGrab grab = GrabGlArea(*main);
                PixelPoint p = windowPoint();
                const unsigned long background = GlPixel(grab, 1, 1);
                for (int y = p.y - 8; y <= p.y + 8; ++y)
                    for (int x = p.x - 8; x <= p.x + 8; ++x)
                        if (x >= 0 && y >= 0 && x < grab.width && y < grab.height &&
                            grab.At(x, y) != background)
                            ++g_results.targetPixels;
                Keep(grab, "program_test_traffic.png");
                // Click on the target.
                g_displayManager->SetSelectedCallsign("");
                mouse(wxEVT_MOTION, p.x + 2, p.y, false);
                mouse(wxEVT_LEFT_DOWN, p.x + 2, p.y, true);
                mouse(wxEVT_LEFT_UP, p.x + 2, p.y, false);
                g_results.selectedByClick = g_displayManager->GetSelectedCallsign();
                // Ctrl held through the X server for the next click.
                wxUIActionSimulator().KeyDown(WXK_CONTROL);
                ++m_targetStep;
                return false;
            }
            case 2: {
                if (!m_ctrlClicked) {
                    // The modifier keys are read from the X server, as the user's are.
                    PixelPoint p = windowPoint();
                    mouse(wxEVT_MOTION, p.x + 2, p.y, false);
                    mouse(wxEVT_LEFT_DOWN, p.x + 2, p.y, true);
                    mouse(wxEVT_LEFT_UP, p.x + 2, p.y, false);
                    wxUIActionSimulator().KeyUp(WXK_CONTROL);
                    g_results.editorByCtrlClick = g_flightPlanEditor->GetCallsign();
                    g_flightPlanEditor->Hide();  // it opened over the scope
                    m_ctrlClicked = true;
                    return false;
                }
                // Grab the data block and pull it 100 pixels to the left, in
                // the Simple mode, whose every target has a full block.
                scope->SetRadarMode(1);
                main->Redraw(false, 0);
                TagRect rect = targets->GetState()->GetTagRect(g_results.watched);
                if (rect.IsEmpty()) {
                    Fail("the watched aircraft drew no data block");
                    return true;
                }
                const int height = scope->GetViewportSize().y;
                int x = (rect.left + rect.right) / 2;
                int y = height - (rect.top + rect.bottom) / 2;
                mouse(wxEVT_MOTION, x, y, false);
                mouse(wxEVT_LEFT_DOWN, x, y, true);
                g_results.dragStarted = targets->GetState()->GetDraggedCallsign() == g_results.watched;
                PixelPoint p = windowPoint();
                mouse(wxEVT_MOTION, p.x - 100, p.y, true);
                main->Redraw(false, 0);
                mouse(wxEVT_LEFT_UP, p.x - 100, p.y, false);
                main->Redraw(false, 0);
                TagRect moved = targets->GetState()->GetTagRect(g_results.watched);
                g_results.blockMoved = !moved.IsEmpty() && moved.right < p.x;
                Keep(GrabGlArea(*main), "program_test_dragged.png");
                ++m_targetStep;
                m_mode = 1;
                return false;
            }
            case 3:
                Accelerators(*main, *scope);
                ++m_targetStep;
                return false;
            case 4:
                AircraftMenu(*main, windowPoint(), mouse);
                ++m_targetStep;
                return false;
            case 5:
                if (m_paused) return false;  // the menu is still open
                g_results.commandsRun = main->GetCommandsRun();
                ++m_targetStep;
                return false;
            default: {
                // Every radar mode: the watched target where it projects, its
                // data block in the block colour. Targets and blocks get
                // colours nothing else on the scope has.
                if (m_mode > 11) {
                    scope->SetRadarMode(5);
                    return true;
                }
                if (m_mode == 1) {
                    const std::string profile = main->GetColorProfileName();
                    for (const char* key : {"ColorPositionSymbol", "ColorTargetSymbol", "ColorPrimaryTarget",
                                            "ColorHistoryTrail", "ColorVectorLine"})
                        g_profile->SetColor(profile, key, kTargetColor);
                    for (const char* key :
                         {"ColorUntracked", "ColorTracked", "ColorLDB", "ColorSelected", "ColorFiltered",
                          "ColorCoasting", "ColorConflict", "ColorEmergency", "ColorHandoff"})
                        g_profile->SetColor(profile, key, kBlockColor);
                    g_displayManager->SetSelectedCallsign("");
                }
                scope->SetRadarMode(m_mode);
                main->Redraw(false, 0);
                ScreenGrab grab = GrabGlArea(*main);
                Results::ModeShot& shot = g_results.modes[m_mode];
                const PixelPoint p = windowPoint();
                for (int y = p.y - 8; y <= p.y + 8; ++y)
                    for (int x = p.x - 8; x <= p.x + 8; ++x)
                        shot.symbolPixels += LookOfMode(m_mode).symbol(grab.At(x, y));
                const TagRect rect = targets->GetState()->GetTagRect(g_results.watched);
                shot.block = !rect.IsEmpty();
                const int height = scope->GetViewportSize().y;
                for (int y = rect.bottom; shot.block && y <= rect.top; ++y)
                    for (int x = rect.left; x <= rect.right; ++x)
                        shot.blockPixels += grab.At(x, height - 1 - y) == LookOfMode(m_mode).blockColor;
                char name[64];
                std::snprintf(name, sizeof name, "program_test_mode_%d.png", m_mode);
                Keep(grab, name);
                ++m_mode;
                return false;
            }
        }
    }
    // Keys as the keyboard sends them, with the pointer over the scope (no
    // window manager: the keys go where the pointer is).
    void Accelerators(WxDisplayWindow& main, TarqDisplayScope& scope) {
        auto* canvas = wxWindow::FindWindowById(1005, static_cast<wxWindow*>(main.GetWindow()));
        g_displayManager->SetActiveWindow(main.GetWindow());
        wxUIActionSimulator sim;
        // Nothing may lie over the scope where the keys go.
        g_weatherPanel->Hide();
        const wxPoint pointer = canvas->GetScreenPosition() + wxPoint(20, canvas->GetSize().y / 2);
        sim.MouseMove(pointer);
        // Each key's effect is awaited, however busy the machine; a key that
        // does nothing leaves the checks below to fail after the deadline.
        auto settleUntil = [](const auto& done) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!done() && std::chrono::steady_clock::now() < deadline) {
                wxYield();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            wxYield();
        };
        settleUntil([&] { return wxGetMousePosition() == pointer; });
        g_results.zoomBefore = scope.GetZoom();
        sim.Char(WXK_F11);
        settleUntil([&] { return scope.GetZoom() != g_results.zoomBefore; });
        g_results.zoomAfterF11 = scope.GetZoom();
        g_results.filtersBefore = scope.AreFiltersEnabled();
        sim.Char('f', wxMOD_CONTROL);
        settleUntil([&] { return scope.AreFiltersEnabled() != g_results.filtersBefore; });
        g_results.filtersByKey = scope.AreFiltersEnabled();
        wxMenuBar* bar = static_cast<wxFrame*>(main.GetWindow())->GetMenuBar();
        wxMenuItem* filters = bar->FindItem(ToToolkitId(CommandId::FiltersActive));
        g_results.filtersChecked = filters && filters->IsChecked();
        sim.Char('f', wxMOD_CONTROL);  // and back
        settleUntil([&] { return scope.AreFiltersEnabled() == g_results.filtersBefore; });
        g_results.weatherBefore = g_weatherPanel->IsVisible();
        sim.Char('5', wxMOD_ALT);
        settleUntil([&] { return g_weatherPanel->IsVisible() != g_results.weatherBefore; });
        g_results.weatherAfterAlt5 = g_weatherPanel->IsVisible();
        wxMenuItem* weather = bar->FindItem(ToToolkitId(CommandId::WeatherPanel));
        g_results.weatherChecked = weather && weather->IsChecked();
        g_weatherPanel->Hide();
        settleUntil([&] { return !g_weatherPanel->IsVisible(); });
        // The aircraft-select key (keypad plus by default) with the callsign
        // typed in lower case.
        g_displayManager->SetSelectedCallsign("");
        std::string typed = g_results.watched;
        for (char& c : typed) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        main.SetCommandLine(typed);
        sim.Char(WXK_NUMPAD_ADD);
        settleUntil([&] { return !g_displayManager->GetSelectedCallsign().empty(); });
        g_results.selectedByKey = g_displayManager->GetSelectedCallsign();
        g_results.lineAfterSelect = main.GetCommandLine();
    }
    // A right press and release on the target; the menu opens a quarter of
    // a second later and is driven from inside its own loop: Down to its
    // first item, a screenshot, Enter.
    template <typename Mouse>
    void AircraftMenu(WxDisplayWindow& main, PixelPoint target, Mouse& mouse) {
        main.Redraw(false, 0);
        m_paused = true;
        mouse(wxEVT_MOTION, target.x + 2, target.y, false);
        mouse(wxEVT_RIGHT_DOWN, target.x + 2, target.y, false);
        mouse(wxEVT_RIGHT_UP, target.x + 2, target.y, false);
        m_menuDriver.Bind(wxEVT_TIMER, [this, &main](wxTimerEvent&) {
            wxUIActionSimulator sim;
            ++m_menuTicks;
            if (main.GetLastMenuTitle().empty()) {
                if (m_menuTicks > 30) {
                    g_results.failure = "the aircraft menu did not open";
                    m_menuDriver.Stop();
                    m_paused = false;
                }
                return;
            }
            switch (m_menuStage++) {
                case 0:
                    return;  // drawn
                case 1:
                    sim.Char(WXK_DOWN);
                    return;
                case 2: {
                    g_results.menuTitle = main.GetLastMenuTitle();
                    int x, y, width, height;
                    main.GetGlAreaScreenRect(&x, &y, &width, &height);
                    g_results.menuShotSaved =
                        Keep(GrabScreen(x, y, width, height), "program_test_aircraft_menu.png");
                    sim.Char(WXK_RETURN);
                    return;
                }
                default:
                    if (!main.GetCommandsRun().empty() || m_menuStage > 20) {
                        m_menuDriver.Stop();
                        m_paused = false;
                    }
                    return;
            }
        });
        m_menuDriver.Start(150);
    }
    wxTimer m_menuDriver;
    int m_menuTicks = 0;
    int m_menuStage = 0;
    int m_targetStep = 0;
    bool m_ctrlClicked = false;
    int m_step0 = 0;
    int m_mode = 1;
    ScopePoint m_firstPosition;

    // Drives the "Save Profile As" dialog from inside its modal loop: a name
    // the checks refuse, then a good one.
    void SaveProfileAs() {
        wxTimer typist;
        int attempt = 0;
        typist.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            // Other windows (the weather panel) use the id too: the edit of the modal dialog.
            wxTextCtrl* edit = nullptr;
            for (wxWindow* top : wxTopLevelWindows) {
                auto* dialog = dynamic_cast<wxDialog*>(top);
                if (dialog && dialog->IsModal()) edit = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(1094));
            }
            if (!edit) return;
            edit->SetValue(attempt++ == 0 ? "bad/name" : "Tower 2");
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            edit->GetParent()->GetEventHandler()->ProcessEvent(ok);
        });
        typist.Start(150);
        m_paused = true;
        auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay());
        main->OnMenuCommand(CommandId::SaveSessionProfileAs);
        m_paused = false;
        typist.Stop();
        g_results.savedAsName = g_profile->GetProfileName();
        std::string ini;
        ReadWholeFile("Tarq.ini", ini);
        g_results.savedAsSection = ini.find("[Tower 2]") != std::string::npos;
    }
    // Types into the connect dialog and clicks its buttons as a user would:
    // the callsign (upper-cased as typed), a click into each further field,
    // Connect once before the password (refused), then the password and
    // Connect again.
    void Connect() {
        wxTimer typist;
        int stage = 0;
        typist.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            wxUIActionSimulator sim;
            auto field = [](int id) { return wxWindow::FindWindowById(id); };
            auto click = [&](int id) {
                wxWindow* w = field(id);
                sim.MouseMove(w->GetScreenPosition() + wxPoint(w->GetSize().x / 2, w->GetSize().y / 2));
                wxYield();
                sim.MouseClick();
                wxYield();
            };
            if (!field(1011)) return;
            switch (stage++) {
                case 0:
                    // Without a window manager the keys go where the pointer is.
                    click(1011);
                    sim.Text("ny_app");
                    return;
                case 1:
                    g_results.typedCallsign = static_cast<wxTextCtrl*>(field(1011))->GetValue().ToStdString();
                    click(1012);
                    sim.Text("Demo Controller");
                    return;
                case 2:
                    click(1015);
                    sim.Text("12x34567");  // the letter is refused by the field
                    return;
                case 3:
                    click(1018);  // no password yet
                    return;
                case 4:
                    click(1016);
                    sim.Text("secret");
                    return;
                case 5:
                    click(1018);
                    return;
                default:
                    // Never stuck in the dialog: the test's own deadline does not run here.
                    if (stage > 30) {
                        g_results.failure = "the connect dialog did not close";
                        static_cast<wxDialog*>(field(1011)->GetParent())->EndModal(wxID_CANCEL);
                    }
                    return;
            }
        });
        typist.Start(200);
        m_paused = true;
        MainDisplay()->OnMenuCommand(CommandId::Connect);
        m_paused = false;
        typist.Stop();
        g_results.storedCid = g_profile->GetString("CID");
        g_results.storedServer = g_profile->GetString("Server");
    }
    // ".QD EGLL": the station is listed and its METAR requested from the
    // server; its reply fills the panel. Then the ATIS maker publishes the
    // default template for it, and its dialog shows the result.
    // Joins the first entry's room on the local voice server through the
    // communications panel, clicked as the mouse would: its primary box, then
    // its headset box. The frame tick runs the engine, which connects when
    // the server first relays a datagram. Then the push-to-talk key sends
    // what the microphone hears to the room.
    bool VoiceRoomJoined() {
        const int frequency = kVoiceFrequency;
        const std::string room = "127.0.0.1:" + std::to_string(g_voiceServer->port) + "/KJFK_TWR";
        wxDialog* panel = Program().ToolWindows().GetCommsDialog();
        ++m_voiceWaits;
        if (m_voiceWaits == 1) {
            g_results.voicePortOpen = g_voiceEngine->IsAvailable();
            g_commsPanel->SetPosition(20, 420, 0);
            g_commsPanel->Show();
            return false;
        }
        if (m_voiceWaits < 5) return false;  // mapped and drawn before the pointer comes
        if (m_voiceWaits == 5) {
            wxWindow* primary = panel ? panel->FindWindow(CommsControlId(CommsRowKind::Primary, 0)) : nullptr;
            wxWindow* headset = panel ? panel->FindWindow(CommsControlId(CommsRowKind::Headset, 0)) : nullptr;
            if (!primary || !headset) {
                Fail("no communications panel window");
                return false;
            }
            ClickMiddle(primary);
            ClickMiddle(headset);
            return false;
        }
        if (m_voiceWaits > 150) return true;
        if (g_results.voiceRoomState != kRoomConnected) {
            g_results.voiceRoomState = g_voiceEngine->GetRoomState(frequency, room);
            if (g_results.voiceRoomState != kRoomConnected) return false;
            // A second of a buzz with a 125 Hz pitch, at the card's rate.
            std::vector<int16_t> buzz(8000);
            for (size_t i = 0; i < buzz.size(); ++i) buzz[i] = static_cast<int16_t>((i % 64) * 250 - 8000);
            std::shared_ptr<MemorySoundCard> microphone =
                g_soundDevices ? g_soundDevices->InputCard(0) : nullptr;
            if (!microphone) return true;
            microphone->Feed(buzz.data(), buzz.size());
            Program().SetPushToTalk(true);
            m_voiceConnectedAt = m_voiceWaits;
        }
        if (m_voiceSentAt == 0) {
            g_results.voiceSent =
                (g_voiceEngine->GetRoomStatus(frequency, room) & NoltVoiceEngine::kRoomSent) != 0;
            // Five seconds at most, so the steps after this one still run.
            if (!g_results.voiceSent && m_voiceWaits < m_voiceConnectedAt + 50) return false;
            g_results.pushToTalkSeen = g_voiceEngine->IsPushToTalk();
            Program().SetPushToTalk(false);
            m_voiceSentAt = m_voiceWaits;
        }
        if (m_voiceWaits < m_voiceSentAt + 3) return false;  // the tick's boxes drawn
        auto* headset =
            dynamic_cast<wxCheckBox*>(panel->FindWindow(CommsControlId(CommsRowKind::Headset, 0)));
        g_results.panelHeadsetChecked = headset && headset->GetValue();
        g_results.panelPrimaryFrequency = g_commsPanel->GetPrimaryFrequency();
        g_results.commsRoomShot = Keep(GrabWindow(panel), "program_test_comms_room.png");
        // Off the display whose pixels later steps read; the room stays.
        g_commsPanel->Hide();
        return true;
    }
    // Without a window manager the pointer's place decides where a click goes.
    static void ClickMiddle(wxWindow* w) {
        wxUIActionSimulator sim;
        sim.MouseMove(w->ClientToScreen(wxPoint(w->GetSize().x / 2, w->GetSize().y / 2)));
        wxYield();
        sim.MouseClick();
        wxYield();
    }
    int m_voiceConnectedAt = 0;
    int m_voiceSentAt = 0;
    int m_voiceWaits = 0;

    bool WeatherAndAtisDone() {
        using namespace comms_layouts;
        if (m_weatherPhase == 3) return true;  // once: the voice room's wait calls again
        ++m_weatherWaited;
        if (m_weatherPhase == 0) {
            g_weatherPanel->SetPosition(600, 100, 260);
            g_weatherPanel->Show();
            g_weatherPanel->Store().ToggleStation("EGLL");
            m_weatherPhase = 1;
            return false;
        }
        if (m_weatherPhase == 1) {
            if (!g_weatherPanel->Store().HasReport("EGLL") && m_weatherWaited < 50) return false;
            if (m_weatherWaited < 10) return false;  // drawn
            auto* dialog = static_cast<wxDialog*>(Program().CommsWindows().GetWeatherDialog());
            if (!dialog) {
                Fail("no weather panel window");
                return false;
            }
            auto* list = static_cast<wxListBox*>(dialog->FindWindow(kWeatherList));
            for (unsigned i = 0; i < list->GetCount(); ++i)
                g_results.weatherLines.push_back(list->GetString(i).ToStdString());
            list->SetSelection(0);
            wxCommandEvent select(wxEVT_LISTBOX, kWeatherList);
            select.SetEventObject(list);
            list->GetEventHandler()->ProcessEvent(select);
            g_results.weatherReport =
                static_cast<wxTextCtrl*>(dialog->FindWindow(kWeatherReport))->GetValue().ToStdString();
            dialog->Update();
            const wxRect r = dialog->GetScreenRect();
            ScreenGrab grab = GrabScreen(r.x, r.y, r.width, r.height);
            g_results.weatherColours = Colours(grab);
            g_results.weatherShotSaved = Keep(grab, "program_test_weather.png");
            m_weatherPhase = 2;
            return false;
        }
        // The ATIS maker: station and default template through its dialog's values.
        AtisMaker& maker = g_atisMaker->Maker();
        AtisDialogValues values = maker.InitialValues();
        values.station = "EGLL";
        values.textTemplate = AtisMaker::kDefaultTextTemplate;
        if (maker.SaveDialogSettings(values)) {
            Fail("the ATIS maker refused its values");
            return false;
        }
        if (!maker.UpdateATIS(false)) {
            Fail("the ATIS update failed");
            return false;
        }
        g_results.atisStatus = maker.GetStatusLine();
        g_results.publishedAtis = g_profile->GetString("ATIS");
        // Settings > ATISMaker... opens the modal dialog; it is read and
        // closed from inside its loop.
        NotingVoiceAtisServices voiceServices;
        voiceServices.calls = &g_results.voiceCalls;
        g_atisMaker->SetVoiceServices(&voiceServices);
        wxTimer inside;
        int polls = 0;
        inside.Bind(wxEVT_TIMER, [&polls, &inside](wxTimerEvent&) {
            auto* dialog = static_cast<wxDialog*>(WxCommsWindows::GetOpenAtisDialog());
            if (!dialog || !dialog->IsModal()) {
                if (++polls > 50) inside.Stop();
                return;
            }
            inside.Stop();
            wxCommandEvent refresh(wxEVT_BUTTON, kAtisRefresh);
            refresh.SetEventObject(dialog->FindWindow(kAtisRefresh));
            dialog->GetEventHandler()->ProcessEvent(refresh);
            g_results.atisDialogInfo =
                static_cast<wxTextCtrl*>(dialog->FindWindow(kAtisCurrentInfo))->GetValue().ToStdString();
            g_results.atisDialogMetar =
                static_cast<wxTextCtrl*>(dialog->FindWindow(kAtisLastMetar))->GetValue().ToStdString();
            dialog->Update();
            const wxRect r = dialog->GetScreenRect();
            ScreenGrab grab = GrabScreen(r.x, r.y, r.width, r.height);
            g_results.atisColours = Colours(grab);
            g_results.atisShotSaved = Keep(grab, "program_test_atis.png");
            VoiceAtisThroughTheDialog(dialog);
            dialog->EndModal(wxID_OK);
        });
        inside.Start(300);
        m_paused = true;
        MainDisplay()->OnMenuCommand(CommandId::AtisMaker);
        m_paused = false;
        inside.Stop();
        g_atisMaker->SetVoiceServices(VoiceAtisServicesOfShell());
        m_weatherPhase = 3;
        return true;
    }

    // "Record ATIS" opens the record dialog, whose Record is pressed and
    // released and the recording saved; then "Connect ATIS" goes on the air
    // with the server and frequency typed into the ATIS maker.
    static void VoiceAtisThroughTheDialog(wxDialog* atis) {
        using namespace comms_layouts;
        auto press = [](wxWindow* dialog, int id) {
            wxCommandEvent click(wxEVT_BUTTON, id);
            click.SetEventObject(dialog->FindWindow(id));
            dialog->GetEventHandler()->ProcessEvent(click);
        };
        wxTimer recorder;
        recorder.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            wxDialog* record = nullptr;
            for (wxWindow* top : wxTopLevelWindows)
                if (top->GetLabel() == "Record Voice ATIS") record = dynamic_cast<wxDialog*>(top);
            if (!record || !record->IsModal()) return;
            recorder.Stop();
            g_results.recordText =
                static_cast<wxTextCtrl*>(record->FindWindow(1214))->GetValue().ToStdString();
            for (bool down : {true, false}) {
                wxCommandEvent toggle(wxEVT_TOGGLEBUTTON, 1216);
                toggle.SetInt(down ? 1 : 0);
                toggle.SetEventObject(record->FindWindow(1216));
                record->GetEventHandler()->ProcessEvent(toggle);
            }
            press(record, 1212);
        });
        recorder.Start(200);
        press(atis, kAtisRecord);  // returns when the record dialog closes
        recorder.Stop();
        static_cast<wxTextCtrl*>(atis->FindWindow(kAtisVoiceServer))->SetValue("voice.local");
        static_cast<wxTextCtrl*>(atis->FindWindow(kAtisVoiceFrequency))->SetValue("118.250");
        press(atis, kAtisConnect);
        g_results.connectLabel = atis->FindWindow(kAtisConnect)->GetLabel().ToStdString();
        g_results.connectWaits = !atis->FindWindow(kAtisConnect)->IsEnabled();
    }

    // Another controller on the server asks for the ATIS and pushes strips;
    // they arrive in the bay, two are dragged to its second column, and the
    // bay is kept as a screenshot. True when done.
    bool StripsDone() {
        ++m_stripWaited;
        if (m_tower) m_tower->Poll();
        auto next = [this] {
            ++m_stripPhase;
            m_stripWaited = 0;
            return false;
        };
        switch (m_stripPhase) {
            case 0:
                m_tower = std::make_unique<TarqTestClient>("EGLL_TWR", static_cast<uint16_t>(g_serverPort),
                                                           TestServerOptions().key);
                if (!m_tower->Connect()) {
                    Fail("the second controller did not connect");
                    return false;
                }
                g_flightStripBay->SetPosition(20, 300, 420);
                g_flightStripBay->Show();
                return next();
            case 1:
                if (m_tower->State() != HalkSession::kConnected) {
                    if (m_stripWaited > 50) Fail("the second controller did not log in");
                    return false;
                }
                for (const auto& [callsign, annotations] : kPushedStrips)
                    m_tower->Session().SendStripPush("NY_APP", callsign, 1, annotations);
                m_tower->Session().SendQuery(3, "NY_APP");
                m_tower->Poll();
                return next();
            case 2: {
                g_results.stripsReceived = 0;
                for (const auto& [key, slot] : g_flightStripBay->Slots())
                    g_results.stripsReceived += slot.isSeparator ? 0 : 1;
                const bool answered = m_tower->FindEvent("ATISLine|NY_APP|") >= 0;
                if ((g_results.stripsReceived < std::size(kPushedStrips) || !answered) && m_stripWaited < 50)
                    return false;
                if (m_stripWaited < 5) return false;  // the whole ATIS is in
                for (const std::string& e : m_tower->Events())
                    if (e.rfind("ATISLine|", 0) == 0) g_results.atisAnswer.push_back(e);
                for (const std::string& m : MainDisplay()->GetRadioHistory()->GetMessages())
                    if (m.find("Received flight strip") != std::string::npos)
                        g_results.receivedLines.push_back(m);
                if (!DragLowestStripRight()) return false;
                return next();
            }
            case 3:
                if (g_flightStripBay->IsBusy() || m_stripWaited < 3) return false;
                if (!DragLowestStripRight()) return false;
                return next();
            default: {
                if (g_flightStripBay->IsBusy() || m_stripWaited < 5) return false;
                for (const auto& [key, slot] : g_flightStripBay->Slots())
                    if (!slot.isSeparator) ++g_results.stripsPerColumn[slot.column & 1];
                wxWindow* surface = BaySurface();
                if (!surface) return true;
                g_flightStripBay->Paint();
                surface->Update();
                const wxPoint at = surface->GetScreenPosition();
                const wxSize size = surface->GetClientSize();
                g_results.surfaceWidth = size.x;
                ScreenGrab grab = GrabScreen(at.x, at.y, size.x, size.y);
                g_results.stripShotSaved = Keep(grab, "program_test_strips.png");
                // The lowest strip of each column fills the bottom 64 rows.
                for (int column = 0; column < 2; ++column) {
                    int lit = 0, all = 0;
                    for (int y = grab.height - 60; y < grab.height - 4; ++y)
                        for (int x = column * kStripWidth + 5; x < (column + 1) * kStripWidth - 5; ++x, ++all)
                            lit += grab.At(x, y) != 0;
                    g_results.stripInk[column] = all ? static_cast<double>(lit) / all : 0;
                }
                m_tower.reset();
                g_flightStripBay->Hide();  // off the displays whose pixels later steps read
                CallSelcal();
                return true;
            }
        }
    }
    // The SELCAL panel lists the code of a plan's remarks; a double click on
    // its row calls the aircraft, which goes out only on a transmit frequency.
    void CallSelcal() {
        g_results.selcalCode = g_selcalPanel->Codes().GetCode("AFR1722");
        g_selcalPanel->Show();
        auto* dialog = static_cast<wxDialog*>(Program().CommsWindows().GetSelcalDialog());
        auto* list =
            dialog ? static_cast<wxListBox*>(dialog->FindWindow(comms_layouts::kSelcalList)) : nullptr;
        if (!list) return Fail("no SELCAL panel list");
        for (unsigned i = 0; i < list->GetCount(); ++i) {
            g_results.selcalRows.push_back(list->GetString(i).ToStdString());
            if (g_results.selcalRows.back().rfind("AFR1722", 0) == 0) list->SetSelection(static_cast<int>(i));
        }
        wxCommandEvent click(wxEVT_LISTBOX_DCLICK, comms_layouts::kSelcalList);
        click.SetEventObject(list);
        list->GetEventHandler()->ProcessEvent(click);
        for (const std::string& m : MainDisplay()->GetRadioHistory()->GetMessages())
            if (m.find("SELCAL") != std::string::npos) g_results.selcalLines.push_back(m);
        g_selcalPanel->Hide();
        // Text typed into the command line goes out on the transmit frequency.
        MainDisplay()->SetCommandLine(kRadioText);
        PressInCommandLine(*MainDisplay(), WXK_RETURN, false);
    }
    static wxWindow* BaySurface() {
        for (wxWindow* top : wxTopLevelWindows) {
            if (top->GetLabel() == "Flight Strip Bay") return top->FindWindow(1163);
        }
        return nullptr;
    }
    // Presses on the first column's bottom strip, pulls it across and lets
    // go over the bottom of the second column, as the mouse would.
    bool DragLowestStripRight() {
        wxWindow* surface = BaySurface();
        if (!surface) {
            Fail("no strip bay surface");
            return false;
        }
        const int y = surface->GetClientSize().y - 30;
        auto mouse = [&](wxEventType type, int x, bool left) {
            wxMouseEvent event(type);
            event.m_x = x;
            event.m_y = y;
            event.m_leftDown = left;
            event.SetEventObject(surface);
            surface->GetEventHandler()->ProcessEvent(event);
        };
        mouse(wxEVT_MOTION, 200, false);
        mouse(wxEVT_LEFT_DOWN, 200, true);
        mouse(wxEVT_MOTION, 400, true);
        mouse(wxEVT_MOTION, 200 + kStripWidth, true);
        mouse(wxEVT_LEFT_UP, 200 + kStripWidth, false);
        return true;
    }

    static size_t Colours(const ScreenGrab& grab) {
        std::vector<unsigned long> seen;
        for (int y = 0; y < grab.height; y += 2) {
            for (int x = 0; x < grab.width; x += 2) {
                const unsigned long c = grab.At(x, y);
                if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
                if (seen.size() > 50) return seen.size();
            }
        }
        return seen.size();
    }

    AnswerNo m_boxes;
    int m_weatherPhase = 0;
    int m_weatherWaited = 0;
    bool m_targetsDone = false;
    int m_stripPhase = 0;
    int m_stripWaited = 0;
    std::unique_ptr<TarqTestClient> m_tower;
    RadioHistoryFrame m_box;
};

TEST(Program, ProfileDialogSessionSecondStartAndBack) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    DemoServer demo;
    ASSERT_TRUE(demo.Start());
    g_serverPort = demo.port;
    VoiceServer voiceServer;
    ASSERT_TRUE(voiceServer.Start());
    g_voiceServer = &voiceServer;
    {
        ProgramDataDir dir("program");
        dir.Write("myservers.txt", "# the local test server\n" + ServerEntry("LOCAL-TEST", demo.port));
        dir.Write("Tarq.ini",
                  "[:META]\nVersion=4\n[Default]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\n"
                  "StripBayTwoCols=1\nRating=5\nCommsEntryName0=JFK TWR\nCommsEntryFreq0=" +
                      std::to_string(kVoiceFrequency) +
                      "\nCommsEntryVoxServer0=127.0.0.1:" + std::to_string(voiceServer.port) +
                      "\nCommsEntryVoxChan0=KJFK_TWR\n"
                      "[Tower]\nDisplayCount=1\n[:CP:Default]\nColorBackground=" +
                      std::to_string(kBackground) + "\n");
        RunDriver(new DriverApp);
    }

    demo.Stop();
    g_results.serverSaw = demo.server->Received("NY_APP");
    EXPECT_EQ(g_results.failure, "");
    EXPECT_EQ(g_results.listed, (std::vector<std::string>{"Default", "Tower"}));
    EXPECT_TRUE(g_results.mainDisplayOpened);
    EXPECT_EQ(g_results.centrePixel, static_cast<unsigned long>(kBackground))
        << std::hex << g_results.centrePixel;
    EXPECT_GE(g_results.ticksDuringModal, 10) << "about 40 ticks in 400 ms";
    EXPECT_EQ(g_results.titledMenu, (std::vector<std::string>{"(disabled) DLH&123", "-", "Track"}));
    EXPECT_EQ(g_results.secondExitCode, 0);
    EXPECT_GE(g_results.raiseRequests, 1) << "the second start asked the first to come forward";
    EXPECT_TRUE(g_results.backToDialog);
    EXPECT_EQ(g_results.displaysAfterClose, 0u);
    EXPECT_NE(g_results.fontTexture2, 0u) << "the display's fonts are made in its GL context";
    EXPECT_EQ(g_results.fontTexture9, 0u);
    EXPECT_EQ(g_results.font2Width, 21);
    EXPECT_EQ(g_results.prefilled, ".QP ");
    // The title reads the scope, whose altitude filters start on.
    EXPECT_EQ(g_results.secondTitle, "[2] Tarq 1.2.3 - \"Tower 2\" - Filters Enabled");
    EXPECT_EQ(g_results.acceleratorPrefill, ".AN ");
    EXPECT_TRUE(g_results.secondStayedUntilRedraw);
    EXPECT_TRUE(g_results.secondGoneAfterRedraw);
    EXPECT_EQ(g_results.savedAsName, "Tower 2");
    EXPECT_TRUE(g_results.savedAsSection);
    const std::vector<std::string> expectedMessages = {
        "Error|Invalid profile name. It must consist of only letters, numbers, underscores and spaces. "
        "Maximum "
        "length is 128 characters.",
        "Error|Invalid password. It is either empty or too long. This field is required.",
        // New Window marked the profile modified; the test answers No.
        "Save Profile|The currently active session profile contains unsaved changes. Would you like to save "
        "the "
        "session profile now?"};
    EXPECT_EQ(g_results.messages, expectedMessages);

    EXPECT_TRUE(g_results.infoLineYellow) << "the information line, yellow, on the bottom line";
    EXPECT_TRUE(g_results.overrideLineRed) << "the override call, red, above it";
    // The box is black at 170/255 over the background colour.
    const int shaded[] = {0x56 * 85 / 255, 0x34 * 85 / 255, 0x12 * 85 / 255};
    for (int i = 0; i < 3; ++i) {
        int channel = static_cast<int>((g_results.insideBox >> (8 * i)) & 0xFF);
        EXPECT_NEAR(channel, shaded[i], 2) << "channel " << i << " of " << std::hex << g_results.insideBox;
    }
    EXPECT_EQ(g_results.aboveBox, static_cast<unsigned long>(kBackground)) << std::hex << g_results.aboveBox;
    EXPECT_TRUE(g_results.borderWhiteSeen) << "a waiting call blinks the border white";
    EXPECT_TRUE(g_results.borderGreySeen) << "and dark grey in the other half second";
    EXPECT_TRUE(g_results.clickCleared);
    EXPECT_GT(g_results.pageUpOffset, 0);
    EXPECT_EQ(g_results.pageUpOffset, g_results.pageUpExpected);
    EXPECT_EQ(g_results.ctrlEndOffset, 0);
    EXPECT_TRUE(g_results.ctrlSpaceCleared);
    EXPECT_TRUE(g_results.secondHasNoHistory);
    EXPECT_EQ(g_results.typedOverScope, ".find KJFK");
    EXPECT_TRUE(g_results.historyTextBeforeClose);
    EXPECT_TRUE(g_results.historyTextAfterClose) << "closing a display left the main display's fonts alone";
    EXPECT_EQ(g_results.typedCallsign, "NY_APP");
    EXPECT_EQ(g_results.storedCid, "1234567");
    EXPECT_EQ(g_results.storedServer, "LOCAL-TEST");
    EXPECT_TRUE(g_results.connected);
    EXPECT_TRUE(g_results.voicePortOpen);
    EXPECT_EQ(g_results.voiceRoomState, kRoomConnected) << "the panel joined the voice room";
    EXPECT_TRUE(g_results.panelHeadsetChecked);
    EXPECT_EQ(g_results.panelPrimaryFrequency, kVoiceFrequency);
    EXPECT_TRUE(g_results.commsRoomShot);
    EXPECT_TRUE(g_results.pushToTalkSeen);
    EXPECT_TRUE(g_results.voiceSent) << "push-to-talk sent the microphone to the room";
    EXPECT_TRUE(g_results.targetMoved) << g_results.watched;
    EXPECT_GT(g_results.targetPixels, 0);
    EXPECT_EQ(g_results.selectedByClick, g_results.watched);
    EXPECT_EQ(g_results.editorByCtrlClick, g_results.watched)
        << "Ctrl+click loads the aircraft into the editor";
    EXPECT_TRUE(g_results.dragStarted);
    EXPECT_TRUE(g_results.blockMoved);
    for (int mode = 1; mode <= 11; ++mode) {
        SCOPED_TRACE("radar mode " + std::to_string(mode));
        const Results::ModeShot& shot = g_results.modes[mode];
        // The 3-D view places its models in perspective: the target manager
        // and the 3-D builder are checked together offscreen.
        if (mode == kRadarMode3D) continue;
        const ModeLook look = LookOfMode(mode);
        EXPECT_GT(shot.symbolPixels, 0) << "the target at its projected pixel";
        EXPECT_EQ(shot.block, look.block) << "a data block";
        if (look.block) {
            EXPECT_GT(shot.blockPixels, 0) << "the data block in its colour";
        }
    }
    EXPECT_LT(g_results.zoomAfterF11, g_results.zoomBefore) << "F11 zooms in";
    EXPECT_NE(g_results.filtersByKey, g_results.filtersBefore) << "Ctrl+F";
    EXPECT_EQ(g_results.filtersChecked, g_results.filtersByKey) << "the Filters > Active check follows";
    EXPECT_NE(g_results.weatherAfterAlt5, g_results.weatherBefore) << "Alt+5";
    EXPECT_EQ(g_results.weatherChecked, g_results.weatherAfterAlt5);
    EXPECT_EQ(g_results.selectedByKey, g_results.watched);
    EXPECT_EQ(g_results.lineAfterSelect, "");
    EXPECT_EQ(g_results.menuTitle, g_results.watched);
    EXPECT_TRUE(g_results.menuShotSaved);
    // The click that selected the target completed the dot-command typed
    // over the scope; then the menu's first item, Toggle FDB.
    EXPECT_EQ(g_results.commandsRun,
              (std::vector<std::string>{".find KJFK " + g_results.watched, ".QP " + g_results.watched}));
    EXPECT_TRUE(g_results.connectedLine) << "\"Connected.\" in the radio history: "
                                         << ::testing::PrintToString(g_results.historyWhenConnected);
    EXPECT_GE(g_results.aircraftSeen, kDemoPilots);
    EXPECT_TRUE(g_results.screenshotSaved);
    // The server's default report for EGLL, asked for when it was listed.
    const std::string metar = "EGLL 101250Z 27010KT 9999 FEW030 15/10 Q1013 NOSIG";
    ASSERT_EQ(g_results.weatherLines.size(), 1u);
    EXPECT_EQ(g_results.weatherLines[0].substr(0, 4), "EGLL");
    EXPECT_NE(g_results.weatherLines[0].find("1250Z"), std::string::npos) << g_results.weatherLines[0];
    EXPECT_NE(g_results.weatherLines[0].find("27010"), std::string::npos) << g_results.weatherLines[0];
    EXPECT_EQ(g_results.weatherReport, metar);
    EXPECT_TRUE(g_results.weatherShotSaved);
    EXPECT_GT(g_results.weatherColours, 3u) << "the weather panel drew its controls";
    EXPECT_NE(g_results.publishedAtis.find("Information"), std::string::npos) << g_results.publishedAtis;
    EXPECT_NE(g_results.publishedAtis.find("Winds"), std::string::npos) << g_results.publishedAtis;
    EXPECT_FALSE(g_results.atisStatus.empty());
    EXPECT_EQ(g_results.atisDialogMetar, metar);
    EXPECT_NE(g_results.atisDialogInfo.find("Information"), std::string::npos) << g_results.atisDialogInfo;
    EXPECT_TRUE(g_results.atisShotSaved);
    EXPECT_GT(g_results.atisColours, 3u) << "the ATIS maker drew its controls";
    // The server saw the METAR request and the ATIS sent to the other controller.
    auto saw = [](const std::string& prefix) {
        return std::any_of(g_results.serverSaw.begin(), g_results.serverSaw.end(),
                           [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    };
    EXPECT_TRUE(saw("$AXNY_APP:SERVER:METAR:EGLL")) << ::testing::PrintToString(g_results.serverSaw);
    EXPECT_TRUE(saw("$CRNY_APP:EGLL_TWR:ATIS:T:")) << ::testing::PrintToString(g_results.serverSaw);
    // The SELCAL of AFR1722's remarks is listed and called on the panel's
    // transmit frequency; the server gets it as radio text, and so the line
    // typed into the command line.
    EXPECT_EQ(g_results.selcalCode, "DJKL");
    EXPECT_TRUE(std::any_of(g_results.selcalRows.begin(), g_results.selcalRows.end(),
                            [](const std::string& row) { return row.rfind("AFR1722", 0) == 0; }))
        << ::testing::PrintToString(g_results.selcalRows);
    ASSERT_EQ(g_results.selcalLines.size(), 1u) << ::testing::PrintToString(g_results.selcalLines);
    EXPECT_NE(g_results.selcalLines[0].find("SELCAL sent: DJKL"), std::string::npos)
        << g_results.selcalLines[0];
    const std::string onFrequency = "#TMNY_APP:@" + std::to_string(kVoiceFrequency - 100000) + ":";
    EXPECT_EQ(
        std::count(g_results.serverSaw.begin(), g_results.serverSaw.end(), onFrequency + "SELCAL DJ-KL"), 1)
        << ::testing::PrintToString(g_results.serverSaw);
    const std::string radioSuffix = std::string(kRadioText);
    EXPECT_EQ(std::count_if(g_results.serverSaw.begin(), g_results.serverSaw.end(),
                            [&](const std::string& line) {
                                return line.rfind(onFrequency, 0) == 0 && line.size() >= radioSuffix.size() &&
                                       line.compare(line.size() - radioSuffix.size(), radioSuffix.size(),
                                                    radioSuffix) == 0;
                            }),
              1)
        << ::testing::PrintToString(g_results.serverSaw);
    const bool informationSent =
        std::any_of(g_results.atisAnswer.begin(), g_results.atisAnswer.end(),
                    [](const std::string& e) { return e.find("Information") != std::string::npos; });
    EXPECT_TRUE(informationSent) << ::testing::PrintToString(g_results.atisAnswer);
    // The voice ATIS made and put on the air through the ATIS maker's buttons.
    const std::vector<std::string> voiceCalls = {
        "record voxatis_a.dat", "stop recording",
        "broadcast 118250 voice.local/EGLL_ATIS EGLL_ATIS voxatis_a.dat", "connect session"};
    EXPECT_EQ(g_results.voiceCalls, voiceCalls);
    EXPECT_NE(g_results.recordText.find("EGLL info"), std::string::npos) << g_results.recordText;
    EXPECT_EQ(g_results.connectLabel, "Connect");
    EXPECT_TRUE(g_results.connectWaits) << "until the session reports";
    // The pushed strips, announced and shown in two columns.
    EXPECT_EQ(g_results.stripsReceived, std::size(kPushedStrips));
    EXPECT_EQ(g_results.receivedLines.size(), std::size(kPushedStrips))
        << ::testing::PrintToString(g_results.receivedLines);
    EXPECT_EQ(g_results.stripsPerColumn[0], 2);
    EXPECT_EQ(g_results.stripsPerColumn[1], 2);
    EXPECT_GE(g_results.surfaceWidth, 2 * kStripWidth);
    EXPECT_GT(g_results.stripInk[0], 0.5) << "a strip at the bottom of the first column";
    EXPECT_GT(g_results.stripInk[1], 0.5) << "and of the second";
    EXPECT_TRUE(g_results.stripShotSaved);
    EXPECT_EQ(g_results.secondBottomLeft, static_cast<unsigned long>(kBackground))
        << std::hex << g_results.secondBottomLeft;
}

// --- the tool windows against a local test server run inside the test ------------------

struct ToolWindowResults {
    std::vector<std::string> aircraftRows;
    std::vector<std::string> controllerRows;
    std::string detailText;
    std::string controllerInfo;
    std::string editorCallsign;
    std::string editorTitle;
    std::string editorRoute;
    std::string typedRemarks;
    std::string typedSquawk;
    std::vector<std::string> amendments;
    int squawkLines = 0;
    std::string storedRemarks;
    int primaryFrequency = 0;
    int primaryPositions = 0;
    bool primaryTransmitLocked = false;
    int shots = 0;
    std::string failure;
};

ToolWindowResults g_tools;
TarqTestServer* g_server = nullptr;

// Opens a session, connects to the server, shows the four windows with the
// traffic in them and amends a flight plan in the editor with the mouse and
// the keyboard.
class ToolWindowsApp : public ProgramDriver {
public:
    static constexpr const char* kCallsign = "UAL1627";

    ToolWindowsApp() : ProgramDriver(&g_tools.failure, 60, &m_boxes) {
        PollEvery10Ms([] { g_server->Poll(0); });
    }

private:
    static wxWindow* Control(wxDialog* dialog, int id) { return dialog ? dialog->FindWindow(id) : nullptr; }
    // Without a window manager the keys go where the pointer is.
    void ClickOn(wxWindow* w) { ClickOn(w, wxPoint(w->GetSize().x / 2, w->GetSize().y / 2)); }
    void ClickOn(wxWindow* w, wxPoint inside) {
        m_sim.MouseMove(w->ClientToScreen(inside));
        wxYield();
        m_sim.MouseClick();
        wxYield();
    }
    void Shoot(wxDialog* dialog, const char* name) {
        if (Keep(GrabWindow(dialog), name)) ++g_tools.shots;
    }

    void Step() override {
        using namespace tool_window_ids;
        WxToolWindows& windows = Program().ToolWindows();
        wxDialog* editor = windows.GetFlightPlanDialog();
        switch (m_step) {
            case 0:
                if (OpenProfile("Default")) Next();
                return;
            case 1:
                if (!MainDisplay() || m_waited < 5 || !g_networkManager->IsServerListReady()) return;
                SetSignOn("LOCAL-TEST");
                g_networkManager->Connect();
                Next();
                return;
            case 2: {
                const bool ready = g_networkManager->IsConnected() && g_networkManager->IsValidATC() &&
                                   g_aircraftDB->GetCallsigns().size() >= kDemoPilots &&
                                   g_controllerDB->GetControllerCount() >= 2 &&
                                   g_aircraftDB->HasFlightPlan(kCallsign);
                if (!ready) {
                    if (m_waited == 50) g_networkManager->RequestIsValidATC("NY_APP");
                    if (m_waited > 150)
                        Fail("no traffic from the test server: connected " +
                             std::to_string(g_networkManager->IsConnected()) + ", valid " +
                             std::to_string(g_networkManager->IsValidATC()) + ", pilots " +
                             std::to_string(g_aircraftDB->GetCallsigns().size()) + ", controllers " +
                             std::to_string(g_controllerDB->GetControllerCount()) + ", plan " +
                             std::to_string(g_aircraftDB->HasFlightPlan(kCallsign)));
                    return;
                }
                // Three pilots call; the list shows them on its next timer tick.
                for (const char* c : {kCallsign, "AFR1722", "ACA263"}) g_aircraftDB->ToggleRequestList(c);
                g_commsPanel->SetPosition(20, 420, 0);
                g_commsPanel->Show();
                g_aircraftList->SetPosition(460, 420, 320);
                g_aircraftList->Show();
                g_controllerList->SetPosition(700, 420, 320);
                g_controllerList->Show();
                g_networkManager->InitiateTrack(kCallsign);
                g_flightPlanEditor->SetPosition(460, 780, 0);
                Next();
                return;
            }
            case 3: {
                if (m_waited < 15) return;  // a timer tick rebuilds the lists, then they are drawn
                for (const AircraftListEntry& row : g_aircraftList->Model().GetRows())
                    g_tools.aircraftRows.push_back(row.label + " " + row.callsign);
                for (const ControllerListEntry& row : g_controllerList->Model().GetRows())
                    g_tools.controllerRows.push_back(row.name);
                // The first entry's primary box: the panel works that frequency.
                wxWindow* primary =
                    Control(windows.GetCommsDialog(), CommsControlId(CommsRowKind::Primary, 0));
                if (!primary) return Fail("no communications panel window");
                ClickOn(primary);
                // A click on a controller's row shows who it is below the list.
                const auto& people = g_controllerList->Model().GetRows();
                auto* controllers =
                    dynamic_cast<wxVListBox*>(Control(windows.GetControllerListDialog(), kControllerRows));
                for (size_t i = 0; controllers && i < people.size(); ++i) {
                    if (people[i].name != "NY_CTR") continue;
                    const wxRect at = controllers->GetItemRect(i);
                    ClickOn(controllers, at.GetPosition() + wxPoint(60, at.height / 2));
                }
                // A click on the aircraft's row shows its plan below the list;
                // a double click opens it in the editor.
                const auto& rows = g_aircraftList->Model().GetRows();
                size_t row = 0;
                while (row < rows.size() && rows[row].callsign != kCallsign) ++row;
                auto* list =
                    dynamic_cast<wxVListBox*>(Control(windows.GetAircraftListDialog(), kAircraftRows));
                if (!list || row == rows.size())
                    return Fail("no aircraft list row for " + std::string(kCallsign));
                const wxRect item = list->GetItemRect(row);
                m_sim.MouseMove(list->ClientToScreen(item.GetPosition() + wxPoint(40, item.height / 2)));
                wxYield();
                m_sim.MouseClick();
                wxYield();
                m_sim.MouseDblClick();
                wxYield();
                Next();
                return;
            }
            case 4: {
                if (m_waited < 5) return;
                if (!Control(editor, kPlanRemarks) || !g_flightPlanEditor->IsVisible())
                    return Fail("the double click opened no flight plan editor");
                g_tools.detailText = FromWxText(Control(windows.GetAircraftListDialog(), kAircraftDetails));
                g_tools.controllerInfo =
                    FromWxText(Control(windows.GetControllerListDialog(), kControllerInfo));
                g_tools.editorCallsign = FromWxText(Control(editor, kPlanCallsign));
                g_tools.editorTitle = editor->GetTitle().ToStdString();
                g_tools.editorRoute = FromWxText(Control(editor, kPlanRoute));
                if (wxWindow* tx =
                        Control(windows.GetCommsDialog(), CommsControlId(CommsRowKind::Transmit, 0)))
                    g_tools.primaryTransmitLocked =
                        !tx->IsEnabled() && static_cast<wxCheckBox*>(tx)->GetValue();
                Shoot(windows.GetCommsDialog(), "program_test_comms.png");
                Shoot(windows.GetAircraftListDialog(), "program_test_aircraft_list.png");
                Shoot(windows.GetControllerListDialog(), "program_test_controller_list.png");
                // Remarks: to the end of the text, then typed.
                ClickOn(Control(editor, kPlanRemarks));
                m_sim.Char(WXK_END, wxMOD_CONTROL);
                m_sim.Text(" tarq test");
                Next();
                return;
            }
            case 5:
                if (m_waited < 3) return;
                // Squawk: the field's four digits replaced by typing.
                ClickOn(Control(editor, kPlanSquawk));
                m_sim.Char(WXK_END);
                for (int i = 0; i < 4; ++i) m_sim.Char(WXK_BACK);
                m_sim.Text("2345");
                Next();
                return;
            case 6:
                if (m_waited < 3) return;
                g_tools.typedRemarks = FromWxText(Control(editor, kPlanRemarks));
                g_tools.typedSquawk = FromWxText(Control(editor, kPlanSquawk));
                Shoot(editor, "program_test_flight_plan.png");
                ClickOn(Control(editor, kPlanAmend));
                Next();
                return;
            case 7: {
                // The client sends on its next poll, the server reads on its next.
                if (m_waited < 10) return;
                for (const std::string& line : g_server->Received("NY_APP")) {
                    if (line.rfind("$AM", 0) == 0) g_tools.amendments.push_back(line);
                    if (line.find(":BC:" + std::string(kCallsign) + ":2345") != std::string::npos)
                        ++g_tools.squawkLines;
                }
                g_tools.storedRemarks = g_aircraftDB->GetFlightPlan(kCallsign).remarks;
                g_tools.primaryFrequency = g_commsPanel->GetPrimaryFrequency();
                for (const std::string& line : g_server->Received("NY_APP"))
                    if (line.rfind("%NY_APP:20800:", 0) == 0) ++g_tools.primaryPositions;
                ExitMainLoop();
                return;
            }
        }
    }
    static std::string FromWxText(wxWindow* w) {
        auto* text = dynamic_cast<wxTextCtrl*>(w);
        return text ? text->GetValue().ToStdString() : std::string("(none)");
    }

    AnswerNo m_boxes;
    wxUIActionSimulator m_sim;
};

TEST(Program, ToolWindowsShowTheTrafficAndTheEditorAmendsAPlan) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    TestServerOptions options = LocalServerOptions();
    Result<Scenario> scenario = LoadScenario(TARQ_RESOURCES_DIR "/demo_scenario.txt");
    ASSERT_TRUE(scenario);
    options.scenario = std::move(scenario).Value();
    options.positionIntervalMs = 1000;
    options.controllerIntervalMs = 1000;
    TarqTestServer server(std::move(options), SystemClock::Instance());
    ASSERT_TRUE(server.Start());
    g_server = &server;
    {
        ProgramDataDir dir("tools");
        dir.Write("myservers.txt", ServerEntry("LOCAL-TEST", server.Port()));
        dir.Write("Tarq.ini",
                  "[:META]\nVersion=4\n[Default]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\n"
                  "DisplayWidth1=500\nDisplayHeight1=340\nCommsEntryName0=NY APP\nCommsEntryFreq0=120800\n");
        RunDriver(new ToolWindowsApp);
    }
    g_server = nullptr;

    const ToolWindowResults& r = g_tools;
    EXPECT_EQ(r.failure, "");
    // The request list, oldest first, labelled from A.
    ASSERT_GE(r.aircraftRows.size(), 4u) << ::testing::PrintToString(r.aircraftRows);
    EXPECT_EQ(r.aircraftRows[0], " Request List");
    // Called in the same second: their order is open, their labels are not.
    std::vector<std::string> labels;
    for (size_t i = 1; i < 4; ++i) labels.push_back(r.aircraftRows[i].substr(0, 2));
    EXPECT_EQ(labels, (std::vector<std::string>{"A ", "B ", "C "}));
    for (const char* c : {"NY_CTR", "JFK_TWR"}) {
        EXPECT_NE(std::find(r.controllerRows.begin(), r.controllerRows.end(), c), r.controllerRows.end())
            << c << " in " << ::testing::PrintToString(r.controllerRows);
    }
    EXPECT_EQ(r.controllerInfo.substr(0, 22), "NY_CTR (CTR) 125.325\r\n") << r.controllerInfo;
    EXPECT_EQ(r.detailText.substr(0, 13), "UAL1627  A321") << r.detailText;
    EXPECT_NE(r.detailText.find("KLGA - KBOS  270"), std::string::npos) << r.detailText;
    EXPECT_EQ(r.editorCallsign, "UAL1627");
    EXPECT_EQ(r.editorTitle.substr(0, 23), "Flight Plan - UAL1627 (") << r.editorTitle;
    EXPECT_EQ(r.editorRoute, "GREKI J75 ELVAE");
    EXPECT_EQ(r.typedSquawk, "2345");
    EXPECT_NE(r.typedRemarks.find(" tarq test"), std::string::npos) << r.typedRemarks;
    ASSERT_EQ(r.amendments.size(), 1u) << ::testing::PrintToString(r.amendments);
    EXPECT_NE(r.amendments[0].find(":+GREKI J75 ELVAE"), std::string::npos) << r.amendments[0];
    EXPECT_NE(r.amendments[0].find(" tarq test"), std::string::npos) << r.amendments[0];
    EXPECT_EQ(r.squawkLines, 1) << "the assignment goes out once";
    EXPECT_EQ(r.storedRemarks, r.typedRemarks);
    EXPECT_EQ(r.primaryFrequency, 120800);
    EXPECT_TRUE(r.primaryTransmitLocked) << "the primary entry transmits and receives";
    EXPECT_GE(r.primaryPositions, 1) << "the position report names the primary frequency";
    EXPECT_EQ(r.shots, 4);
}

}  // namespace

namespace {

// The button bar and the bookmarks of the real program, driven by mouse and
// keys: a click on the countdown timer's 2-minute choice starts it (its
// yellow count replaces the green choices), Ctrl+Alt+1 saves the view,
// the wheel zooms away, Ctrl+1 brings the view back and Ctrl+0 returns to
// the zoomed one. Keeps program_test_timer_*.png and program_test_bookmark_*.png.
struct ButtonResults {
    int choicePixelsBefore = 0;
    int countPixelsBefore = -1;
    int choicePixelsAfter = -1;
    int countPixelsAfter = 0;
    bool timerShots = false;
    double savedZoom = 0.0;
    ScopePoint savedCenter;
    double zoomedZoom = 0.0;
    double recalledZoom = 0.0;
    ScopePoint recalledCenter;
    double backZoom = 0.0;
    float storedZoom = 0.0f;
    bool bookmarkShots = false;
    std::vector<int> frequencyWidths;
    int frequencyPixelsBefore = -1;
    int frequencyPixelsAfter = 0;
    bool frequencyShot = false;
    std::string failure;
};
ButtonResults g_buttons;

// Pixels of a colour (0xBBGGRR) in a GL-coordinate rectangle, inclusive.
int CountPixels(const ScreenGrab& grab, int x0, int y0, int x1, int y1, unsigned long color) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) n += GlPixel(grab, x, y) == color;
    return n;
}

class ButtonsApp : public ProgramDriver {
public:
    ButtonsApp() : ProgramDriver(&g_buttons.failure, 40, &m_boxes) {}

private:
    void Key(WxDisplayWindow& main, int code, bool ctrl, bool alt) {
        wxWindow* canvas = CanvasOf(&main);
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = code;
        key.SetControlDown(ctrl);
        key.SetAltDown(alt);
        key.SetEventObject(canvas);
        canvas->GetEventHandler()->ProcessEvent(key);
    }
    void Step() override {
        WxDisplayWindow* main = MainDisplay();
        switch (m_step) {
            case 0:
                if (OpenProfile("Default")) Next();
                return;
            case 1:
                if (!main || m_waited < 10) return;
                if (!main->GetButtonBar()) return Fail("the main display has no button bar");
                g_profile->SetBool("DispBtnClock", true);
                g_profile->SetBool("DispBtnTimer", true);
                Next();
                return;
            case 2: {
                if (m_waited < 5) return;  // the ticks' redraws lay the bar out
                TarqDisplayButtonBar* bar = main->GetButtonBar();
                const std::vector<int>& widths = bar->GetFixedWidths();
                if (widths.size() != 9 || widths[6] != 87) return Fail("the timer button is not drawn");
                m_timerX = bar->GetLeft();
                for (int i = 0; i < 6; ++i)
                    if (widths[i] != 0) m_timerX += widths[i] + TarqDisplayButtonBar::kGap;
                m_timerY = bar->GetBottom();
                ScreenGrab grab = GrabGlArea(*main);
                g_buttons.choicePixelsBefore =
                    CountPixels(grab, m_timerX, m_timerY, m_timerX + 86, m_timerY + 43, 0x00B400);
                g_buttons.countPixelsBefore =
                    CountPixels(grab, m_timerX, m_timerY, m_timerX + 86, m_timerY + 43, 0x00FFFF);
                bool idleShot = Keep(grab, "program_test_timer_idle.png");
                // A left click in the middle of the 2-minute choice.
                wxWindow* canvas = CanvasOf(main);
                wxMouseEvent click(wxEVT_LEFT_DOWN);
                click.m_x = m_timerX + 6 + 17;
                click.m_y = grab.height - 1 - (m_timerY + 6 + 15);
                click.SetEventObject(canvas);
                canvas->GetEventHandler()->ProcessEvent(click);
                wxMouseEvent release(wxEVT_LEFT_UP);
                release.m_x = click.m_x;
                release.m_y = click.m_y;
                release.SetEventObject(canvas);
                canvas->GetEventHandler()->ProcessEvent(release);
                g_buttons.timerShots = idleShot;
                Next();
                return;
            }
            case 3: {
                if (m_waited < 3) return;
                ScreenGrab grab = GrabGlArea(*main);
                g_buttons.choicePixelsAfter =
                    CountPixels(grab, m_timerX, m_timerY, m_timerX + 86, m_timerY + 43, 0x00B400);
                g_buttons.countPixelsAfter =
                    CountPixels(grab, m_timerX, m_timerY, m_timerX + 86, m_timerY + 43, 0x00FFFF);
                g_buttons.timerShots &= Keep(grab, "program_test_timer_running.png");
                Next();
                return;
            }
            case 4: {
                // Ctrl+Alt+1 saves bookmark 1; three wheel notches zoom out.
                TarqDisplayScope* scope = main->GetScope();
                g_buttons.savedZoom = scope->GetZoom();
                g_buttons.savedCenter = scope->GetCenter();
                Key(*main, '1', true, true);
                g_buttons.storedZoom = g_profile->GetFloat("BookmarkZoom1");
                bool shot = Keep(GrabGlArea(*main), "program_test_bookmark_saved.png");
                wxWindow* canvas = CanvasOf(main);
                wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
                wheel.m_x = 200;
                wheel.m_y = 200;
                wheel.m_wheelRotation = -360;
                wheel.m_wheelDelta = 120;
                wheel.SetEventObject(canvas);
                canvas->GetEventHandler()->ProcessEvent(wheel);
                g_buttons.zoomedZoom = scope->GetZoom();
                main->Redraw(false, 0);
                shot &= Keep(GrabGlArea(*main), "program_test_bookmark_zoomed.png");
                // Ctrl+1 recalls it.
                Key(*main, '1', true, false);
                g_buttons.recalledZoom = scope->GetZoom();
                g_buttons.recalledCenter = scope->GetCenter();
                shot &= Keep(GrabGlArea(*main), "program_test_bookmark_recalled.png");
                // Ctrl+0: the view before the recall.
                Key(*main, '0', true, false);
                g_buttons.backZoom = scope->GetZoom();
                g_buttons.bookmarkShots = shot;
                g_buttons.frequencyPixelsBefore = BarPixels(*main, kFrequencyYellow);
                // The first entry made primary: it is received, so the bar gets its button.
                g_commsPanel->Entries().OnPrimaryClicked(0, true);
                Next();
                return;
            }
            case 5: {
                if (m_waited < 5) return;
                g_buttons.frequencyWidths = main->GetButtonBar()->GetDynamicWidths();
                g_buttons.frequencyPixelsAfter = BarPixels(*main, kFrequencyYellow);
                g_buttons.frequencyShot = Keep(GrabGlArea(*main), "program_test_frequency_button.png");
                main->OnMenuCommand(CommandId::OpenSessionProfile);
                Next();
                return;
            }
            case 6:
                if (!BackAtProfileDialog()) return;
                ExitMainLoop();
                return;
        }
    }

    static constexpr unsigned long kFrequencyYellow = 0x00EBEB;
    static int BarPixels(WxDisplayWindow& main, unsigned long color) {
        const TarqDisplayButtonBar* bar = main.GetButtonBar();
        return CountPixels(GrabGlArea(main), bar->GetLeft(), std::min(bar->GetTop(), bar->GetBottom()),
                           bar->GetRight(), std::max(bar->GetTop(), bar->GetBottom()), color);
    }

    AnswerNo m_boxes;
    int m_timerX = 0;
    int m_timerY = 0;
};

TEST(Program, ButtonBarTimerAndBookmarks) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    // The toolkit starts once per process: this test runs in one of its own.
    if (!InChild()) return;
    {
        ProgramDataDir dir("buttons");
        std::filesystem::copy_file(TARQ_SAMPLE_SECTOR, dir.Path() / "sample.sct2");
        dir.Write("Tarq.ini",
                  "[:META]\nVersion=4\n[Default]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\n"
                  "DisplayWidth1=900\nDisplayHeight1=700\nDisplaySectorFile1=sample.sct2\n"
                  "DispBtnFreqs=1\nCommsEntryName0=JFK TWR\nCommsEntryFreq0=118700\n"
                  "[:CP:Default]\nColorBackground=" +
                      std::to_string(kBackground) + "\n");
        RunDriver(new ButtonsApp);
    }

    EXPECT_EQ(g_buttons.failure, "");
    EXPECT_GT(g_buttons.choicePixelsBefore, 0) << "the idle timer shows its green choices";
    EXPECT_EQ(g_buttons.countPixelsBefore, 0);
    EXPECT_EQ(g_buttons.choicePixelsAfter, 0) << "the click started the count";
    EXPECT_GT(g_buttons.countPixelsAfter, 0) << "the yellow count shows";
    EXPECT_TRUE(g_buttons.timerShots);

    EXPECT_NE(g_buttons.savedZoom, 0.0);
    EXPECT_FLOAT_EQ(g_buttons.storedZoom, static_cast<float>(g_buttons.savedZoom));
    EXPECT_GT(g_buttons.zoomedZoom, g_buttons.savedZoom) << "the wheel zoomed out";
    EXPECT_NEAR(g_buttons.recalledZoom, g_buttons.savedZoom, 1e-6);
    EXPECT_NEAR(g_buttons.recalledCenter.x, g_buttons.savedCenter.x, 1e-4);
    EXPECT_NEAR(g_buttons.recalledCenter.y, g_buttons.savedCenter.y, 1e-4);
    EXPECT_DOUBLE_EQ(g_buttons.backZoom, g_buttons.zoomedZoom) << "Ctrl+0 goes back to the view before";
    EXPECT_TRUE(g_buttons.bookmarkShots);

    EXPECT_EQ(g_buttons.frequencyWidths.size(), 1u) << "one button for the received entry";
    EXPECT_EQ(g_buttons.frequencyPixelsBefore, 0);
    EXPECT_GT(g_buttons.frequencyPixelsAfter, 0) << "its frequency in yellow";
    EXPECT_TRUE(g_buttons.frequencyShot);
}

}  // namespace
