// Starts the real program under X, signs on to an in-process test server and
// types ".qt", ".qs", ".qz", ".qp" and ".qx" on a scripted pilot into the main
// display's command line, then an alias from the profile's alias file, then
// opens the flight plan with ".ss" and amends its route with ".am"; the
// server must receive the matching lines.
#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/timer.h>
#include <wx/wx.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "memory_voice.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/profile_dialog.h"
#include "app/tarq_program.h"
#include "atc/controller.h"
#include "foundation/profile.h"
#include "net/network_manager.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/single_instance.h"
#include "scope/display_scope.h"
#include "scope/sticky_builder.h"
#include "tools/testserver/scenario.h"
#include "tools/testserver/test_server.h"

namespace {

constexpr const char* kScenario =
    "CONTROLLER NY_CTR 125.325 6 600 5 40.90 -73.80\n"
    "PILOT UAL1627 6011 5000 250 LOOP\n"
    "NAME Ava Brooks\n"
    "PLAN I A321 460 KLGA FL270 KBOS KPVD GREKI J75 ELVAE\n"
    "WAYPOINT 40.7773 -73.8726 5000\n"
    "WAYPOINT 41.4803 -73.3142 5000\n";

// ".po" uses ".tell", whose text names a variable; CR LF as the file may be
// written elsewhere.
constexpr const char* kAliases =
    "; pointing out\r\n"
    ".tell .msg $1 $uc($2) is yours\r\n"
    ".po .tell NY_CTR $1\r\n";
constexpr const char* kAliasLine = "#TMNY_APP:NY_CTR:UAL1627 is yours";

struct Results {
    std::string failure;
    std::string pointoutTo;  // the position identifier typed
    std::vector<std::string> received;
    std::string commandLineAfter;
    std::vector<std::string> recalled;  // Up twice, then Down
    bool editorShownAfterHide = true;
    bool editorShownAfterSs = false;
    std::string editorCallsign;
    std::vector<std::string> stickyNotes;  // as the scope shows them
    std::string stickyRecalled;            // the Up key after placing the note
};

Results g_results;
SingleInstance* g_lock = nullptr;
TarqTestServer* g_server = nullptr;

struct AnswerNo : MessageBoxHandler {
    MessageBoxResult Show(const std::string&, const std::string&, MessageBoxStyle style,
                          WindowHandle) override {
        return style.buttons == MessageBoxButtons::Ok ? MessageBoxResult::Ok : MessageBoxResult::No;
    }
};

WxDisplayWindow* MainDisplay() {
    return g_displayManager ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay()) : nullptr;
}

// The line put into the command line and Enter pressed, as the user does.
void TypeLine(WxDisplayWindow& main, const std::string& line) {
    auto* commandLine =
        dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowById(1006, static_cast<wxWindow*>(main.GetWindow())));
    if (!commandLine) return;
    commandLine->ChangeValue(line);
    wxKeyEvent enter(wxEVT_KEY_DOWN);
    enter.m_keyCode = WXK_RETURN;
    enter.SetEventObject(commandLine);
    commandLine->GetEventHandler()->ProcessEvent(enter);
    g_results.commandLineAfter = commandLine->GetValue().ToStdString();
}

// An arrow key in the command line; what it then shows.
std::string PressArrow(WxDisplayWindow& main, int keyCode) {
    auto* commandLine =
        dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowById(1006, static_cast<wxWindow*>(main.GetWindow())));
    if (!commandLine) return "(no command line)";
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = keyCode;
    key.SetEventObject(commandLine);
    commandLine->GetEventHandler()->ProcessEvent(key);
    return commandLine->GetValue().ToStdString();
}

// The amended route closes the "$AM" line.
constexpr const char* kAmendedRoute = ":+GREKI J75 ELVAE";

bool EndsWith(const std::string& line, const std::string& end) {
    return line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0;
}

bool ServerHasEnding(const std::string& end) {
    auto lines = g_server->Received("NY_APP");
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return EndsWith(l, end); });
}

bool ServerHas(const std::string& line) {
    auto lines = g_server->Received("NY_APP");
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class DriverApp : public wxApp {
public:
    bool OnInit() override {
        UseMemoryVoice();
        m_program = std::make_unique<TarqProgram>(g_lock, std::getenv("XDG_RUNTIME_DIR"));
        m_program->Start();
        SetMessageBoxHandler(&m_boxes);
        m_serverTimer.Bind(wxEVT_TIMER, [](wxTimerEvent&) { g_server->Poll(0); });
        m_serverTimer.Start(10);
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
        m_timer.Start(100);
        m_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(45);
        return true;
    }
    int OnExit() override {
        m_timer.Stop();
        m_serverTimer.Stop();
        m_program.reset();
        return 0;
    }

private:
    void Fail(const std::string& why) {
        g_results.failure = why;
        ExitMainLoop();
    }
    void Next() {
        ++m_step;
        m_waited = 0;
    }
    void Step() {
        if (std::chrono::steady_clock::now() > m_deadline)
            return Fail("timed out at step " + std::to_string(m_step));
        ++m_waited;
        switch (m_step) {
            case 0: {
                ProfileDialog* dialog = m_program->GetProfileDialog();
                if (!dialog || !dialog->IsShownOnScreen()) return;
                if (!dialog->Select("Default")) return Fail("Default not listed");
                dialog->OpenSelected();
                Next();
                return;
            }
            case 1:
                if (!MainDisplay() || m_waited < 5 || !g_networkManager->IsServerListReady()) return;
                g_networkManager->Connect();
                Next();
                return;
            case 2: {
                // Signed on, confirmed as a controller, the pilot and the
                // controller seen.
                TarqController* controller = g_controllerDB->GetController("NY_CTR");
                if (!g_networkManager->IsConnected() || !g_networkManager->IsValidATC() || !controller ||
                    !g_aircraftDB->HasAircraft("UAL1627"))
                    return;
                g_results.pointoutTo = controller->GetPositionId();
                WxDisplayWindow* main = MainDisplay();
                TypeLine(*main, ".qt ual1627");
                TypeLine(*main, ".qs  RV90 UAL1627");
                TypeLine(*main, ".QZ 350 ual1627");
                TypeLine(*main, ".qp " + g_results.pointoutTo + " ual1627");
                TypeLine(*main, ".qx ual1627");
                TypeLine(*main, ".po ual1627");
                g_results.recalled.push_back(PressArrow(*main, WXK_UP));
                g_results.recalled.push_back(PressArrow(*main, WXK_UP));
                g_results.recalled.push_back(PressArrow(*main, WXK_DOWN));
                Next();
                return;
            }
            case 3:
                if (!(ServerHas("$CQNY_APP:@94835:DR:UAL1627") && ServerHas(kAliasLine)) && m_waited < 50)
                    return;
                // Tracked again: only the tracking controller may amend.
                TypeLine(*MainDisplay(), ".qt ual1627");
                Next();
                return;
            case 4: {
                if (g_aircraftDB->GetTrackingController("UAL1627") != "NY_APP") return;
                WxDisplayWindow* main = MainDisplay();
                TypeLine(*main, ".ss ual1627");
                TypeLine(*main, ".ss");
                g_results.editorShownAfterHide = g_flightPlanEditor->IsVisible();
                TypeLine(*main, ".am RTE KLGA KBOS");
                TypeLine(*main, ".ss ual1627");
                g_results.editorShownAfterSs = g_flightPlanEditor->IsVisible();
                g_results.editorCallsign = g_flightPlanEditor->GetCallsign();
                TypeLine(*main, ".am rte GREKI  J75 ELVAE");
                Next();
                return;
            }
            case 5: {
                if (!ServerHasEnding(kAmendedRoute) && m_waited < 50) return;
                g_results.received = g_server->Received("NY_APP");
                // A sticky note typed on the command line, placed by a click on the scope.
                WxDisplayWindow* main = MainDisplay();
                g_displayManager->SetSelectedCallsign("UAL1627");
                auto* commandLine = dynamic_cast<wxTextCtrl*>(
                    wxWindow::FindWindowById(1006, static_cast<wxWindow*>(main->GetWindow())));
                commandLine->ChangeValue(".sticky .tell ZZ $aircraft");
                auto* canvas = wxWindow::FindWindowById(1005, static_cast<wxWindow*>(main->GetWindow()));
                for (wxEventType type : {wxEVT_MOTION, wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
                    wxMouseEvent event(type);
                    // Between the button bar at the top and the radio history at the bottom.
                    event.m_x = 520;
                    event.m_y = 150;
                    event.m_leftDown = type == wxEVT_LEFT_DOWN;
                    event.SetEventObject(canvas);
                    canvas->GetEventHandler()->ProcessEvent(event);
                }
                for (const auto& [key, note] : main->GetScope()->GetStickyBuilder()->Notes())
                    g_results.stickyNotes.push_back(note.expandedText);
                g_results.stickyRecalled = PressArrow(*main, WXK_UP);
                ExitMainLoop();
                return;
            }
        }
    }

    std::unique_ptr<TarqProgram> m_program;
    AnswerNo m_boxes;
    wxTimer m_timer;
    wxTimer m_serverTimer;
    int m_step = 0;
    int m_waited = 0;
    std::chrono::steady_clock::time_point m_deadline;
};

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(CommandLineProgram, TrackCommandsAndAnAliasTypedOnALiveTargetReachTheServer) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    auto scenario = ParseScenario(kScenario);
    ASSERT_TRUE(scenario.Ok());
    TestServerOptions options;
    options.port = 0;
    options.key = TarqNetworkManager::LoginKey();
    options.positionIntervalMs = 1000;
    options.controllerIntervalMs = 1000;
    options.scenario = scenario.Value();
    TarqTestServer server(std::move(options), SystemClock::Instance());
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    g_server = &server;

    auto dir = std::filesystem::temp_directory_path() / ("tarq-command-line-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "run");
    WriteFileAtomically((dir / "myservers.txt").string(),
                        "LOCAL-TEST 127.0.0.1:" + std::to_string(server.Port()) + "\n");
    WriteFileAtomically((dir / "Tarq.ini").string(),
                        "[:META]\nVersion=4\n[Default]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\n"
                        "Callsign=NY_APP\nRealName=Demo Controller\nCID=1234567\nPassword=secret\nRating=5\n"
                        "Server=LOCAL-TEST\nAliasFile=aliases.txt\n");
    WriteFileAtomically((dir / "aliases.txt").string(), kAliases);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);

    SingleInstance lock(kInstanceName, (dir / "run").string());
    ASSERT_TRUE(lock.Acquire());
    g_lock = &lock;
    int argc = 1;
    char name[] = "tarq";
    char* argv[] = {name, nullptr};
    wxApp::SetInstance(new DriverApp);
    wxEntry(argc, argv);
    g_server = nullptr;

    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(g_results.failure, "");
    const auto& got = g_results.received;
    EXPECT_TRUE(Has(got, "$CQNY_APP:@94835:IT:UAL1627")) << ::testing::PrintToString(got);
    EXPECT_TRUE(Has(got, "$CQNY_APP:@94835:SC:UAL1627:RV90")) << ::testing::PrintToString(got);
    EXPECT_TRUE(Has(got, "$CQNY_APP:@94835:FA:UAL1627:35000")) << ::testing::PrintToString(got);
    EXPECT_TRUE(Has(got, "#PCNY_APP:NY_CTR:CCP:PT:UAL1627")) << ::testing::PrintToString(got);
    EXPECT_TRUE(Has(got, "$CQNY_APP:@94835:DR:UAL1627")) << ::testing::PrintToString(got);
    EXPECT_TRUE(Has(got, kAliasLine)) << ::testing::PrintToString(got);
    // ".ss" alone hides the editor; ".am" then finds no plan selected, though
    // the hidden editor still holds the callsign.
    EXPECT_FALSE(g_results.editorShownAfterHide);
    EXPECT_TRUE(std::none_of(got.begin(), got.end(), [](const std::string& l) {
        return EndsWith(l, "KLGA KBOS");
    })) << ::testing::PrintToString(got);
    // ".ss" on an aircraft shows it in the editor, and ".am" amends that plan.
    EXPECT_TRUE(g_results.editorShownAfterSs);
    EXPECT_EQ(g_results.editorCallsign, "UAL1627");
    EXPECT_TRUE(std::any_of(got.begin(), got.end(), [](const std::string& l) {
        return l.rfind("$AMNY_APP:SERVER:UAL1627:", 0) == 0 && EndsWith(l, kAmendedRoute);
    })) << ::testing::PrintToString(got);
    EXPECT_EQ(g_results.commandLineAfter, "") << "Enter empties the command line";
    // A sticky note shows its aliases and variables expanded; its line enters the history.
    EXPECT_EQ(g_results.stickyNotes, std::vector<std::string>{".msg ZZ UAL1627 is yours"});
    EXPECT_EQ(g_results.stickyRecalled, ".sticky .tell ZZ $aircraft");
    // The history keeps the line as typed, not its expansion.
    EXPECT_EQ(g_results.recalled, (std::vector<std::string>{".po ual1627", ".qx ual1627", ".po ual1627"}));
}

}  // namespace
