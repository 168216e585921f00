// Starts the real program under X in a data directory seeded as run.sh seeds
// a new user's, with two in-process test servers: one that takes the
// connection but never asks the client to identify itself, one that logs it
// in. A pending attempt on the first is cancelled from File > Disconnect,
// and then by closing the session; on the second the first position report
// lies at the sample sector's centre.
#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/timer.h>
#include <wx/wx.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "memory_voice.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "app/profile_dialog.h"
#include "app/radio_history.h"
#include "app/tarq_program.h"
#include "foundation/profile.h"
#include "foundation/text_helpers.h"
#include "net/network_manager.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/single_instance.h"
#include "scope/display_scope.h"
#include "tools/testserver/test_server.h"

namespace {

struct Results {
    std::string failure;
    ScopePoint reportedCentre;  // the main scope's primary visibility centre, absolute
    bool disconnectEnabledWhileConnecting = false;
    bool connectingAfterDisconnect = true;
    bool disconnectEnabledAfterwards = true;
    std::vector<std::string> history;  // the main display's lines after the cancel
    std::vector<std::string> silentReceived;
    bool closedWithTheSession = false;
    std::string position;  // the first "%" line the logging-in server received
};

Results g_results;
SingleInstance* g_lock = nullptr;
TarqTestServer* g_silent = nullptr;
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

bool DisconnectEnabled(WxDisplayWindow& main) {
    wxMenuBar* bar = static_cast<wxFrame*>(main.GetWindow())->GetMenuBar();
    return bar && bar->IsEnabled(ToToolkitId(CommandId::Disconnect));
}

class DriverApp : public wxApp {
public:
    bool OnInit() override {
        UseMemoryVoice();
        m_program = std::make_unique<TarqProgram>(g_lock, std::getenv("XDG_RUNTIME_DIR"));
        m_program->Start();
        SetMessageBoxHandler(&m_boxes);
        m_serverTimer.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
            g_silent->Poll(0);
            g_server->Poll(0);
        });
        m_serverTimer.Start(10);
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
        m_timer.Start(100);
        m_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
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
    bool OpenDefault() {
        ProfileDialog* dialog = m_program->GetProfileDialog();
        if (!dialog || !dialog->IsShownOnScreen()) return false;
        if (!dialog->Select("Default")) {
            Fail("Default not listed");
            return false;
        }
        dialog->OpenSelected();
        return true;
    }
    void ConnectTo(const std::string& server) {
        g_profile->SetString("Callsign", "NY_APP");
        g_profile->SetString("RealName", "Demo Controller");
        g_profile->SetString("CID", "1234567");
        g_profile->SetString("Password", "secret");
        g_profile->SetInt("Rating", 5);
        g_profile->SetString("Server", server);
        g_networkManager->Connect();
    }
    void Step() {
        if (std::chrono::steady_clock::now() > m_deadline)
            return Fail("timed out at step " + std::to_string(m_step));
        ++m_waited;
        WxDisplayWindow* main = MainDisplay();
        switch (m_step) {
            case 0:
                if (OpenDefault()) Next();
                return;
            case 1:
                if (!main || m_waited < 5 || !g_networkManager->IsServerListReady()) return;
                g_results.reportedCentre = main->GetScope()->GetVisibilityCenter(0);
                ConnectTo("SILENT");
                Next();
                return;
            case 2:
                // The server has taken the connection and says nothing.
                if (g_silent->ConnectionCount() != 1 || !g_networkManager->IsConnecting() || m_waited < 3) return;
                g_results.disconnectEnabledWhileConnecting = DisconnectEnabled(*main);
                main->OnMenuCommand(CommandId::Disconnect);
                g_results.connectingAfterDisconnect = g_networkManager->IsConnecting();
                Next();
                return;
            case 3:
                if (g_silent->ConnectionCount() != 0 || m_waited < 3) return;
                g_results.disconnectEnabledAfterwards = DisconnectEnabled(*main);
                g_results.history = main->GetRadioHistory()->GetMessages();
                g_results.silentReceived = g_silent->Received("");
                ConnectTo("SILENT");
                Next();
                return;
            case 4:
                if (g_silent->ConnectionCount() != 1 || !g_networkManager->IsConnecting()) return;
                main->OnMenuCommand(CommandId::OpenSessionProfile);
                Next();
                return;
            case 5:
                // Well before the server's silence would end the attempt by itself.
                if (m_waited > 150) {
                    Next();
                    return;
                }
                if (g_silent->ConnectionCount() != 0 || g_networkManager->IsConnecting()) return;
                g_results.closedWithTheSession = true;
                Next();
                return;
            case 6:
                if (g_displayManager->DisplayCount() != 0 || !OpenDefault()) return;
                Next();
                return;
            case 7:
                if (!main || m_waited < 5) return;
                ConnectTo("LOCAL-TEST");
                Next();
                return;
            case 8: {
                if (!g_networkManager->IsConnected()) return;
                const std::vector<std::string> lines = g_server->Received("NY_APP");
                auto report = std::find_if(lines.begin(), lines.end(),
                                           [](const std::string& l) { return l.rfind("%NY_APP:", 0) == 0; });
                if (report == lines.end()) return;
                g_results.position = *report;
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

bool HasLineEndingWith(const std::vector<std::string>& lines, const std::string& end) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.size() >= end.size() && l.compare(l.size() - end.size(), end.size(), end) == 0;
    });
}

TEST(ConnectProgram, APendingConnectionIsCancelledAndANewUserReportsTheSectorCentre) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    TestServerOptions silentOptions;
    silentOptions.port = 0;
    silentOptions.key = TarqNetworkManager::LoginKey();
    silentOptions.identify = false;
    TarqTestServer silent(std::move(silentOptions), SystemClock::Instance());
    TestServerOptions options;
    options.port = 0;
    options.key = TarqNetworkManager::LoginKey();
    TarqTestServer server(std::move(options), SystemClock::Instance());
    std::string error;
    ASSERT_TRUE(silent.Start(&error)) << error;
    ASSERT_TRUE(server.Start(&error)) << error;
    g_silent = &silent;
    g_server = &server;

    // A fresh data directory, seeded as run.sh seeds it.
    auto dir = std::filesystem::temp_directory_path() / ("tarq-connect-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "run");
    for (const auto& entry : std::filesystem::directory_iterator(TARQ_RESOURCES_DIR "/seed"))
        std::filesystem::copy(entry.path(), dir / entry.path().filename());
    std::filesystem::copy_file(TARQ_RESOURCES_DIR "/sample.sct2", dir / "sample.sct2");
    WriteFileAtomically((dir / "myservers.txt").string(),
                        "SILENT 127.0.0.1:" + std::to_string(silent.Port()) + "\nLOCAL-TEST 127.0.0.1:" +
                            std::to_string(server.Port()) + "\n");
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
    g_silent = nullptr;
    g_server = nullptr;
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);

    ASSERT_EQ(g_results.failure, "");
    // The sample sector's centre, N040.38.23 W073.46.44.
    EXPECT_NEAR(g_results.reportedCentre.y, 40.639722, 1e-4);
    EXPECT_NEAR(g_results.reportedCentre.x, -73.778889, 1e-4);

    EXPECT_TRUE(g_results.disconnectEnabledWhileConnecting) << "File > Disconnect while connecting";
    EXPECT_FALSE(g_results.connectingAfterDisconnect) << "cancelled at once";
    EXPECT_FALSE(g_results.disconnectEnabledAfterwards);
    EXPECT_TRUE(HasLineEndingWith(g_results.history, "Connection attempt cancelled."))
        << ::testing::PrintToString(g_results.history);
    EXPECT_FALSE(HasLineEndingWith(g_results.history, "Disconnected."));
    EXPECT_TRUE(std::none_of(g_results.silentReceived.begin(), g_results.silentReceived.end(),
                             [](const std::string& l) { return l.rfind("#DA", 0) == 0; }))
        << "nobody was signed on, so nobody is signed off";
    EXPECT_TRUE(g_results.closedWithTheSession) << "closing the session cancels the attempt";

    // "%NY_APP:frequency:facility:range:rating:latitude:longitude:altitude"
    std::vector<std::string> fields = SplitFields(g_results.position, ':');
    ASSERT_GE(fields.size(), 7u) << g_results.position;
    EXPECT_NEAR(std::stod(fields[5]), 40.639722, 1e-3) << g_results.position;
    EXPECT_NEAR(std::stod(fields[6]), -73.778889, 1e-3) << g_results.position;
}

}  // namespace
