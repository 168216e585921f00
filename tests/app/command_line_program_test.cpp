// Starts the real program under X, signs on to an in-process test server and
// types ".qt", ".qs", ".qz", ".qp" and ".qx" on a scripted pilot into the main
// display's command line, then an alias from the profile's alias file, then
// opens the flight plan with ".ss" and amends its route with ".am"; the
// server must receive the matching lines.
#include <wx/wx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "atc/controller.h"
#include "net/network_manager.h"
#include "platform/clock.h"
#include "program_driver.h"
#include "scope/display_scope.h"
#include "scope/sticky_builder.h"
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
TarqTestServer* g_server = nullptr;

// The line put into the command line and Enter pressed, as the user does.
void Type(WxDisplayWindow& main, const std::string& line) {
    g_results.commandLineAfter = TypeLine(main, line);
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

class DriverApp : public ProgramDriver {
public:
    DriverApp() : ProgramDriver(&g_results.failure, 45, &m_boxes) {
        PollEvery10Ms([] { g_server->Poll(0); });
    }

private:
    void Step() override {
        switch (m_step) {
            case 0:
                if (OpenProfile("Default")) Next();
                return;
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
                Type(*main, ".qt ual1627");
                Type(*main, ".qs  RV90 UAL1627");
                Type(*main, ".QZ 350 ual1627");
                Type(*main, ".qp " + g_results.pointoutTo + " ual1627");
                Type(*main, ".qx ual1627");
                Type(*main, ".po ual1627");
                g_results.recalled.push_back(PressInCommandLine(*main, WXK_UP));
                g_results.recalled.push_back(PressInCommandLine(*main, WXK_UP));
                g_results.recalled.push_back(PressInCommandLine(*main, WXK_DOWN));
                Next();
                return;
            }
            case 3:
                if (!(ServerHas("$CQNY_APP:@94835:DR:UAL1627") && ServerHas(kAliasLine)) && m_waited < 50)
                    return;
                // Tracked again: only the tracking controller may amend.
                Type(*MainDisplay(), ".qt ual1627");
                Next();
                return;
            case 4: {
                if (g_aircraftDB->GetTrackingController("UAL1627") != "NY_APP") return;
                WxDisplayWindow* main = MainDisplay();
                Type(*main, ".ss ual1627");
                Type(*main, ".ss");
                g_results.editorShownAfterHide = g_flightPlanEditor->IsVisible();
                Type(*main, ".am RTE KLGA KBOS");
                Type(*main, ".ss ual1627");
                g_results.editorShownAfterSs = g_flightPlanEditor->IsVisible();
                g_results.editorCallsign = g_flightPlanEditor->GetCallsign();
                Type(*main, ".am rte GREKI  J75 ELVAE");
                Next();
                return;
            }
            case 5: {
                if (!ServerHasEnding(kAmendedRoute) && m_waited < 50) return;
                g_results.received = g_server->Received("NY_APP");
                // A sticky note typed on the command line, placed by a click on the scope.
                WxDisplayWindow* main = MainDisplay();
                g_displayManager->SetSelectedCallsign("UAL1627");
                CommandLineOf(main)->ChangeValue(".sticky .tell ZZ $aircraft");
                wxWindow* canvas = CanvasOf(main);
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
                g_results.stickyRecalled = PressInCommandLine(*main, WXK_UP);
                ExitMainLoop();
                return;
            }
        }
    }

    AnswerNo m_boxes;
};

TEST(CommandLineProgram, TrackCommandsAndAnAliasTypedOnALiveTargetReachTheServer) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    TestServerOptions options = LocalServerOptions(kScenario);
    options.positionIntervalMs = 1000;
    options.controllerIntervalMs = 1000;
    TarqTestServer server(std::move(options), SystemClock::Instance());
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    g_server = &server;

    {
        ProgramDataDir dir("command-line");
        dir.Write("myservers.txt", ServerEntry("LOCAL-TEST", server.Port()));
        dir.Write("Tarq.ini",
                  "[:META]\nVersion=4\n[Default]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\n"
                  "Callsign=NY_APP\nRealName=Demo Controller\nCID=1234567\nPassword=secret\nRating=5\n"
                  "Server=LOCAL-TEST\nAliasFile=aliases.txt\n");
        dir.Write("aliases.txt", kAliases);
        RunDriver(new DriverApp);
    }
    g_server = nullptr;
    ASSERT_EQ(g_results.failure, "");
    const auto& got = g_results.received;
    EXPECT_TRUE(HasLine(got, "$CQNY_APP:@94835:IT:UAL1627")) << ::testing::PrintToString(got);
    EXPECT_TRUE(HasLine(got, "$CQNY_APP:@94835:SC:UAL1627:RV90")) << ::testing::PrintToString(got);
    EXPECT_TRUE(HasLine(got, "$CQNY_APP:@94835:FA:UAL1627:35000")) << ::testing::PrintToString(got);
    EXPECT_TRUE(HasLine(got, "#PCNY_APP:NY_CTR:CCP:PT:UAL1627")) << ::testing::PrintToString(got);
    EXPECT_TRUE(HasLine(got, "$CQNY_APP:@94835:DR:UAL1627")) << ::testing::PrintToString(got);
    EXPECT_TRUE(HasLine(got, kAliasLine)) << ::testing::PrintToString(got);
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
