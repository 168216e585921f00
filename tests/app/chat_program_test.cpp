// Two real programs chat through the local test server: this test runs NY_APP
// and starts itself a second time as BOS_APP, each in a data directory of its
// own. NY_APP says hello in a private window; BOS_APP finds it in its
// incoming chat log, opens the private window (the queued message shows) and
// answers, then opens a group with NY_APP and writes to it; NY_APP sees both
// and replies to the group. Every line is typed into the windows' input boxes
// as keys, and each program checks its windows' text and keeps screenshots
// (chat_screenshots/ in the build tree).
#include <spawn.h>
#include <sys/wait.h>
#include <wx/timer.h>
#include <wx/weakref.h>
#include <wx/wx.h>

#include <string>
#include <vector>

#include "app/chat_windows_wx.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "comms/chat_window.h"
#include "foundation/profile.h"
#include "program_driver.h"

extern char** environ;

namespace {

constexpr const char* kPeerEnv = "TARQ_CHAT_PEER_PORT";

struct Role {
    std::string callsign;
    std::string peer;
    bool first = true;  // NY_APP speaks first
    int left = 40;      // where its windows go on the shared screen
};

struct Results {
    std::string failure;
    std::string privateLog;
    std::string groupLog;
    std::string incomingLog;
    std::string privateCaption;
    std::string groupCaption;
    std::vector<std::string> groupMembers;
    std::string inputAfterEnter = "?";
    int screenshots = 0;
    int peerExit = -1;
    // Closing by ".x" and by the close box: forgotten at once, deleted later.
    bool forgottenAtOnce = false;
    bool dialogsLiveThroughTheirEvents = false;
    bool dialogsGoneLater = false;
    bool logShownFromMenu = false;
};

Results g_results;
Role g_role;
pid_t g_peer = -1;

// The local test server as its own program, on a port of its own.
struct TestServer : ChildProgram {
    int port = 0;
    bool Start() {
        std::string line;
        if (!ChildProgram::Start({TARQ_TESTSERVER_EXE, "--port", "0", "--seconds", "120"}, &line))
            return false;
        const size_t colon = line.rfind(':');
        if (colon == std::string::npos) return false;
        port = std::atoi(line.c_str() + colon + 1);
        return port > 0;
    }
};

TarqChatWindow* Chat(const std::string& name) {
    return g_chatManager ? g_chatManager->FindWindow(name) : nullptr;
}

wxDialog* DialogOf(const std::string& name) {
    TarqChatWindow* window = Chat(name);
    return window ? static_cast<wxDialog*>(WxChatWindows::GetDialog(*window)) : nullptr;
}

std::string LogOf(const std::string& name) {
    wxDialog* dialog = DialogOf(name);
    auto* log = dialog ? dynamic_cast<wxTextCtrl*>(dialog->FindWindow(1094)) : nullptr;
    return log ? log->GetValue().ToStdString() : std::string();
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Types a line into a chat window's input box and presses Enter there.
bool Type(const std::string& name, const std::string& text) {
    wxDialog* dialog = DialogOf(name);
    auto* input = dialog ? dynamic_cast<wxTextCtrl*>(dialog->FindWindow(1108)) : nullptr;
    if (!input) return false;
    input->SetValue(text);
    wxKeyEvent enter(wxEVT_KEY_DOWN);
    enter.m_keyCode = WXK_RETURN;
    enter.SetEventObject(input);
    input->GetEventHandler()->ProcessEvent(enter);
    g_results.inputAfterEnter = input->GetValue().ToStdString();
    return true;
}

class DriverApp : public ProgramDriver {
public:
    DriverApp() : ProgramDriver(&g_results.failure, 60, &m_boxes) {
        m_failurePrefix = g_role.callsign + ": ";
    }

private:
    void Step() override {
        const std::string& peer = g_role.peer;
        switch (m_step) {
            case 0:
                if (OpenProfile("Default")) Next();
                return;
            case 1: {
                if (!g_displayManager || !g_displayManager->GetMainDisplay()) return;
                if (g_networkManager->GetServerAddress("LOCAL-TEST").empty()) return;
                g_profile->SetString("Callsign", g_role.callsign);
                g_profile->SetString("RealName", g_role.callsign + " Controller");
                g_profile->SetString("CID", "1234567");
                g_profile->SetString("Password", "secret");
                g_profile->SetString("Server", "LOCAL-TEST");
                g_networkManager->Connect();
                Next();
                return;
            }
            case 2:
                // Connected, and the peer's position has come by: it is on line.
                if (!g_networkManager->IsConnected() || !g_controllerDB->GetController(peer)) return;
                Next();
                return;
        }
        if (g_role.first)
            First(peer);
        else
            Second(peer);
    }

    void Place(const std::string& name, int top) {
        if (TarqChatWindow* window = Chat(name)) window->Move(g_role.left, top);
    }

    // NY_APP: a private hello and a group of its own with BOS_APP; the
    // answers land in both, and the reply goes to the group.
    void First(const std::string& peer) {
        switch (m_step) {
            case 3:
                g_chatManager->OpenChatWindow(":TEAM", peer, true);
                Place(":TEAM", 650);
                g_chatManager->OpenChatWindow(peer, "", true);
                Place(peer, 420);
                if (!Type(peer, "hello from ny")) return Fail("no private window");
                Next();
                return;
            case 4:
                if (!Contains(LogOf(":TEAM"), "team hello")) return;
                Next();
                return;
            case 5:
                if (!Type(":TEAM", "team reply")) return Fail("no group window");
                Next();
                return;
            case 6: {
                if (m_waited < 5) return;  // drawn
                Collect(peer);
                m_private = DialogOf(peer);
                m_group = DialogOf(":TEAM");
                Type(peer, ".x");
                wxCloseEvent close(wxEVT_CLOSE_WINDOW, m_group->GetId());
                close.SetEventObject(m_group);
                m_group->ProcessWindowEvent(close);
                g_results.forgottenAtOnce =
                    !g_chatManager->HasPrivateChatWindow(peer) && g_chatManager->GetGroupNames().empty();
                g_results.dialogsLiveThroughTheirEvents = m_private && m_group;
                Next();
                return;
            }
            case 7:
                if ((m_private || m_group) && m_waited < 20) return;
                g_results.dialogsGoneLater = !m_private && !m_group;
                Next();
                return;
            default: {
                // Stay on line until the peer has read the reply and gone.
                int status = 0;
                if (g_peer > 0 && waitpid(g_peer, &status, WNOHANG) == g_peer) {
                    g_results.peerExit = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
                    g_peer = -1;
                }
                if (g_peer > 0 && m_waited < 200) return;
                ExitMainLoop();
                return;
            }
        }
    }

    // BOS_APP: the hello waits in the incoming chat log and the queue; the
    // private window shows it; then a group with NY_APP.
    void Second(const std::string& peer) {
        switch (m_step) {
            case 3:
                if (!Contains(LogOf("Incoming Chat Log"), "hello from ny")) return;
                if (!g_chatManager->HasQueuedMessages(peer)) return Fail("the hello was not queued");
                g_chatManager->OpenChatWindow(peer, "", true);
                Place(peer, 420);
                if (!Type(peer, "hello from bos")) return Fail("no private window");
                g_chatManager->OpenChatWindow(":TEAM", peer, true);
                Place(":TEAM", 650);
                if (!Type(":TEAM", "team hello")) return Fail("no group window");
                Next();
                return;
            case 4: {
                if (!Contains(LogOf(":TEAM"), "team reply")) return;
                if (m_waited < 5) return;
                // Tools > Incoming Chat Log shows the hidden log.
                auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay());
                main->OnMenuCommand(CommandId::IncomingChatLog);
                g_results.logShownFromMenu = g_chatManager->IsIncomingChatLogOpen();
                Place("Incoming Chat Log", 880);
                Next();
                return;
            }
            case 5:
                if (m_waited < 5) return;
                Collect(peer);
                ExitMainLoop();
                return;
        }
    }

    void Collect(const std::string& peer) {
        g_results.privateLog = LogOf(peer);
        g_results.groupLog = LogOf(":TEAM");
        g_results.incomingLog = LogOf("Incoming Chat Log");
        g_results.privateCaption = DialogOf(peer)->GetTitle().ToStdString();
        g_results.groupCaption = DialogOf(":TEAM")->GetTitle().ToStdString();
        g_results.groupMembers = Chat(":TEAM")->GetMembers();
        const std::string who = g_role.first ? "ny" : "bos";
        for (const std::string& name : {peer, std::string(":TEAM"), std::string("Incoming Chat Log")}) {
            wxDialog* dialog = DialogOf(name);
            if (!dialog || !dialog->IsShown()) continue;
            const std::string file = "chat_" + who + "_" +
                                     (name[0] == ':' ? "group"
                                      : name == peer ? "private"
                                                     : "log");
            if (SaveScreenshot(GrabWindow(dialog), TARQ_SCREENSHOT_DIR "/" + file + ".png"))
                ++g_results.screenshots;
        }
    }

    wxWeakRef<wxDialog> m_private;
    wxWeakRef<wxDialog> m_group;
    AnswerNo m_boxes;
};

// Runs one program in a data directory of its own until its driver stops.
void RunProgram(int port, bool timestamps, bool chatLogVisible) {
    ProgramDataDir dir("chat-" + g_role.callsign);
    dir.Write("myservers.txt", ServerEntry("LOCAL-TEST", port));
    dir.Write("Tarq.ini",
              "[:META]\nVersion=4\n[Default]\nDisplayCount=1\nDisplayLocX1=" + std::to_string(g_role.left) +
                  "\nDisplayLocY1=40\nShowTimestamps=" + (timestamps ? "1" : "0") +
                  "\nChatLogVisible=" + (chatLogVisible ? "1" : "0") + "\n[:CP:Default]\n");
    RunDriver(new DriverApp);
}

TEST(ChatProgram, TwoProgramsExchangePrivateAndGroupMessages) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (const char* port = std::getenv(kPeerEnv)) {
        // The second program.
        g_role = {"BOS_APP", "NY_APP", false, 820};
        RunProgram(std::atoi(port), false, false);
        EXPECT_EQ(g_results.failure, "");
        EXPECT_EQ(g_results.privateCaption, "Private Chat: NY_APP (NY_APP Controller)");
        EXPECT_EQ(g_results.privateLog, "NY_APP: hello from ny\nBOS_APP: hello from bos\nNY_APP: team reply")
            << "the queued hello, the answer's echo, and the reply the peer sent its group";
        EXPECT_EQ(g_results.groupCaption, "Group Chat: TEAM");
        EXPECT_EQ(g_results.groupMembers, std::vector<std::string>{"NY_APP"});
        EXPECT_EQ(g_results.groupLog, "BOS_APP: team hello\nNY_APP: team reply");
        EXPECT_EQ(g_results.incomingLog, "NY_APP: hello from ny\nNY_APP: team reply")
            << "hidden, it still logs";
        EXPECT_EQ(g_results.inputAfterEnter, "") << "Enter empties the input box";
        EXPECT_TRUE(g_results.logShownFromMenu);
        EXPECT_EQ(g_results.screenshots, 3);
        return;
    }
    TestServer server;
    ASSERT_TRUE(server.Start());
    // The second program: this test once more, in its own process.
    std::string self = "/proc/self/exe";
    std::string filter = "--gtest_filter=ChatProgram.*";
    char* argv[] = {self.data(), filter.data(), nullptr};
    setenv(kPeerEnv, std::to_string(server.port).c_str(), 1);
    ASSERT_EQ(posix_spawn(&g_peer, self.c_str(), nullptr, nullptr, argv, environ), 0);
    unsetenv(kPeerEnv);
    g_role = {"NY_APP", "BOS_APP", true, 40};
    RunProgram(server.port, true, true);
    if (g_peer > 0) {
        int status = 0;
        kill(g_peer, SIGTERM);
        waitpid(g_peer, &status, 0);
    }
    EXPECT_EQ(g_results.failure, "");
    EXPECT_EQ(g_results.peerExit, 0) << "the second program's own checks";
    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            // Without the "[hh:mm:ss] " time stamp.
            std::string line = text.substr(start, end - start);
            out.push_back(line.size() > 11 && line[0] == '[' ? line.substr(11) : line);
            start = end + 1;
        }
        return out;
    };
    EXPECT_EQ(g_results.privateCaption, "Private Chat: BOS_APP (BOS_APP Controller)");
    EXPECT_EQ(lines(g_results.privateLog),
              (std::vector<std::string>{"NY_APP: hello from ny", "BOS_APP: hello from bos",
                                        "BOS_APP: team hello"}));
    EXPECT_EQ(g_results.privateLog.substr(0, 1), "[") << "time stamps are on here";
    EXPECT_EQ(
        lines(g_results.groupLog),
        (std::vector<std::string>{"BOS_APP: hello from bos", "BOS_APP: team hello", "NY_APP: team reply"}))
        << "a member's messages reach the group window too";
    EXPECT_EQ(g_results.groupMembers, std::vector<std::string>{"BOS_APP"});
    EXPECT_EQ(g_results.groupCaption, "Group Chat: TEAM");
    EXPECT_EQ(lines(g_results.incomingLog),
              (std::vector<std::string>{"BOS_APP: hello from bos", "BOS_APP: team hello"}));
    EXPECT_EQ(g_results.screenshots, 3);
    EXPECT_TRUE(g_results.forgottenAtOnce);
    EXPECT_TRUE(g_results.dialogsLiveThroughTheirEvents) << "never deleted inside their own events";
    EXPECT_TRUE(g_results.dialogsGoneLater);
}

}  // namespace
