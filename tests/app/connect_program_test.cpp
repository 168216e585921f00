// Starts the real program under X in a data directory seeded as run.sh seeds
// a new user's, with two in-process test servers: one that takes the
// connection but never asks the client to identify itself, one that logs it
// in. A pending attempt on the first is cancelled from File > Disconnect,
// and then by closing the session; on the second the first position report
// lies at the sample sector's centre.
#include <wx/wx.h>

#include <algorithm>
#include <filesystem>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "app/radio_history.h"
#include "foundation/profile.h"
#include "foundation/text_helpers.h"
#include "net/network_manager.h"
#include "platform/clock.h"
#include "program_driver.h"
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
TarqTestServer* g_silent = nullptr;
TarqTestServer* g_server = nullptr;

bool DisconnectEnabled(WxDisplayWindow& main) {
    wxMenuBar* bar = static_cast<wxFrame*>(main.GetWindow())->GetMenuBar();
    return bar && bar->IsEnabled(ToToolkitId(CommandId::Disconnect));
}

class DriverApp : public ProgramDriver {
public:
    DriverApp() : ProgramDriver(&g_results.failure, 90, &m_boxes) {
        PollEvery10Ms([] {
            g_silent->Poll(0);
            g_server->Poll(0);
        });
    }

private:
    void ConnectTo(const std::string& server) {
        SetSignOn(server);
        g_networkManager->Connect();
    }
    void Step() override {
        WxDisplayWindow* main = MainDisplay();
        switch (m_step) {
            case 0:
                if (OpenProfile("Default")) Next();
                return;
            case 1:
                if (!main || m_waited < 5 || !g_networkManager->IsServerListReady()) return;
                g_results.reportedCentre = main->GetScope()->GetVisibilityCenter(0);
                ConnectTo("SILENT");
                Next();
                return;
            case 2:
                // The server has taken the connection and says nothing.
                if (g_silent->ConnectionCount() != 1 || !g_networkManager->IsConnecting() || m_waited < 3)
                    return;
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
                if (g_displayManager->DisplayCount() != 0 || !OpenProfile("Default")) return;
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

    AnswerNo m_boxes;
};

bool HasLineEndingWith(const std::vector<std::string>& lines, const std::string& end) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.size() >= end.size() && l.compare(l.size() - end.size(), end.size(), end) == 0;
    });
}

TEST(ConnectProgram, APendingConnectionIsCancelledAndANewUserReportsTheSectorCentre) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    TestServerOptions silentOptions = LocalServerOptions();
    silentOptions.identify = false;
    TarqTestServer silent(std::move(silentOptions), SystemClock::Instance());
    TarqTestServer server(LocalServerOptions(), SystemClock::Instance());
    std::string error;
    ASSERT_TRUE(silent.Start(&error)) << error;
    ASSERT_TRUE(server.Start(&error)) << error;
    g_silent = &silent;
    g_server = &server;

    // A fresh data directory, seeded as run.sh seeds it.
    {
        ProgramDataDir dir("connect");
        for (const auto& entry : std::filesystem::directory_iterator(TARQ_RESOURCES_DIR "/seed"))
            std::filesystem::copy(entry.path(), dir.Path() / entry.path().filename());
        std::filesystem::copy_file(TARQ_RESOURCES_DIR "/sample.sct2", dir.Path() / "sample.sct2");
        dir.Write("myservers.txt",
                  ServerEntry("SILENT", silent.Port()) + ServerEntry("LOCAL-TEST", server.Port()));
        RunDriver(new DriverApp);
    }
    g_silent = nullptr;
    g_server = nullptr;

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
