// What the local test server does on its own: scripted pilots, server queries,
// relaying, refusing a second login of one callsign, its bounded lifetime, and
// the programs tarq_testserver and tarq_testclient as separate processes.
#include "tools/testserver/test_server.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/net/server_fixture.h"

extern char** environ;

namespace {

Scenario TwoPilots() {
    Result<Scenario> s = ParseScenario(
        "METAR EDDF EDDF 101250Z 25008KT CAVOK Q1017\n"
        "PILOT DLH1 2101 5000 360 LOOP\n"
        "NAME Anna Berg\n"
        "PLAN I A320 430 EDDF FL240 EDDM EDDN SULUS1S SULUS\n"
        "WAYPOINT 50 8\n"
        "WAYPOINT 51 8\n"
        "PILOT SHORT1 7000 1000 3600\n"
        "WAYPOINT 50 9\n"
        "WAYPOINT 50.01 9\n");
    EXPECT_TRUE(s);
    return s.Value();
}

class TestServerTest : public ServerFixture {
protected:
    void SetUp() override {
        TestServerOptions options;
        options.scenario = TwoPilots();
        StartServer(options);
    }
};

}  // namespace

TEST_F(TestServerTest, PilotsReportEveryFiveSecondsAlongTheirRoutes) {
    TarqTestClient& client = Login("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("PilotPosition|SHORT1") >= 0; }));
    EXPECT_GE(client.FindEvent("PilotPosition|DLH1|50|8|5000|0|360|0|0|0|2101|78|1"), 0);
    client.ClearEvents();
    serverClock.Advance(4999);
    Sync(client);
    EXPECT_EQ(client.FindEvent("PilotPosition"), -1);
    serverClock.Advance(1);
    // 360 kt for 5 s is half a mile north: 0.5 / 60 degree.
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("PilotPosition|DLH1") >= 0; }));
    EXPECT_GE(client.FindEvent("PilotPosition|DLH1|50.00833|8|5000|0|360|0|0|0|2101|78|1"), 0);
    // The short route ends within those 5 s: that pilot leaves.
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("DeletePilot|SHORT1") >= 0; }));
}

// A route that climbs, cruises, descends and lands; a controller that comes
// and goes and names its voice room; a server that never asks the client to identify itself.
class TestServerScriptTest : public ServerFixture {
protected:
    void SetUp() override {}
    void Start(const char* text, TestServerOptions options = {}) {
        Result<Scenario> s = ParseScenario(text);
        ASSERT_TRUE(s) << s.Error().message;
        options.scenario = s.Value();
        StartServer(options);
    }
};

TEST_F(TestServerScriptTest, PilotsClimbAndDescendAlongTheirRoutes) {
    // 3600 kt: one degree of latitude a minute.
    Start("PILOT UP1 2000 0 3600\n"
          "WAYPOINT 50 8 0\n"
          "WAYPOINT 51 8 10000\n"
          "WAYPOINT 52 8 10000\n"
          "WAYPOINT 53 8 0\n");
    struct Row {
        const char* name;
        uint64_t advanceMs;
        const char* event;
    };
    const Row rows[] = {
        {"on the runway", 0, "PilotPosition|UP1|50|8|0|"},
        {"half-way up the climb", 30000, "PilotPosition|UP1|50.5|8|5000|"},
        {"cruising", 60000, "PilotPosition|UP1|51.5|8|10000|"},
        {"half-way down", 60000, "PilotPosition|UP1|52.5|8|5000|"},
    };
    TarqTestClient& client = Login("ME_CTR");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        serverClock.Advance(row.advanceMs);
        ASSERT_TRUE(PumpUntil([&] { return client.FindEvent(row.event) >= 0; }));
        client.ClearEvents();
    }
    serverClock.Advance(30000);  // landed at the end of a route without LOOP
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("DeletePilot|UP1") >= 0; }));
}

TEST_F(TestServerScriptTest, ControllersComeAndGo) {
    Start("CONTROLLER JFK_TWR 119.1 4 30 3 40.64 -73.78\n"
          "CONTROLLER LGA_APP 120.8 5 150 4 40.78 -73.87 60 120\n");
    TarqTestClient& client = Login("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("ATCPosition|JFK_TWR|119100|4|30|3|40.64|-73.78") >= 0; }));
    EXPECT_EQ(client.FindEvent("ATCPosition|LGA_APP"), -1);
    serverClock.Advance(60000);
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("ATCPosition|LGA_APP|120800|5|150|4") >= 0; }));
    // The server vouches for its scripted controllers.
    client.Session().SendQuery(6, "LGA_APP");
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("Reply|SERVER|6|Y|LGA_APP") >= 0; }));
    serverClock.Advance(60000);
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("DeleteATC|LGA_APP") >= 0; }));
}

TEST_F(TestServerScriptTest, ControllersAtisNamesTheirVoiceRoom) {
    TestServerOptions options;
    options.voiceServer = "127.0.0.1:3782";
    Start("CONTROLLER JFK_TWR 119.1 4 30 3 40.64 -73.78\n", options);
    TarqTestClient& client = Login("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("ATCPosition|JFK_TWR") >= 0; }));
    client.Session().SendQuery(3, "JFK_TWR");
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("ATISLine|JFK_TWR|E|2") >= 0; }));
    EXPECT_GE(client.FindEvent("ATISLine|JFK_TWR|V|127.0.0.1:3782/JFK_TWR"), 0);
    EXPECT_GE(client.FindEvent("ATISLine|JFK_TWR|T|JFK_TWR demo position"), 0);
}

TEST_F(TestServerScriptTest, ScenarioErrors) {
    struct Row {
        const char* name;
        const char* text;
        const char* message;
    };
    const Row rows[] = {
        {"controller without position", "CONTROLLER A_TWR 118.1 4 30 3 40", "CONTROLLER needs callsign, frequency, "
                                                                              "facility, visibility, rating, latitude "
                                                                              "and longitude"},
        {"controller frequency off the band", "CONTROLLER A_TWR 99.1 4 30 3 40 -73", "CONTROLLER value out of range"},
        {"controller leaves before it comes", "CONTROLLER A_TWR 118.1 4 30 3 40 -73 60 30",
         "CONTROLLER value out of range"},
        {"waypoint altitude not a number", "PILOT A 1200 0 0\nWAYPOINT 1 1 high", "bad waypoint altitude"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Result<Scenario> result = ParseScenario(row.text);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.Error().message, row.message);
    }
}

TEST_F(TestServerTest, AnswersTheServerQueries) {
    struct Case {
        const char* name;
        std::function<void(HalkSession&)> ask;
        const char* event;
    } cases[] = {
        {"flight plan", [](HalkSession& s) { s.SendQuery(0, "DLH1"); },
         "FlightPlan|DLH1|73|A320|430|EDDF|1200|1200|FL240|EDDM|1|30|3|0|EDDN|/v/|SULUS1S SULUS"},
        {"no flight plan", [](HalkSession& s) { s.SendQuery(0, "SHORT1"); }, "Error|8|No flightplan|SHORT1"},
        {"metar of the scenario", [](HalkSession& s) { s.RequestMETAR("EDDF"); },
         "METAR|EDDF 101250Z 25008KT CAVOK Q1017"},
        {"metar made up", [](HalkSession& s) { s.RequestMETAR("LOWW"); },
         "METAR|LOWW 101250Z 27010KT 9999 FEW030 15/10 Q1013 NOSIG"},
        {"IP", [](HalkSession& s) { s.SendQuery(8, ""); }, "Reply|SERVER|8|127.0.0.1|(null)"},
        {"capabilities", [](HalkSession& s) { s.SendQuery(7, "SERVER"); },
         "Capabilities|SERVER|ATCINFO,1,SECPOS,1"},
        {"ATC check of myself", [](HalkSession& s) { s.SendQuery(6, ""); }, "Reply|SERVER|6|Y|ME_CTR"},
        {"ATC check of a stranger", [](HalkSession& s) { s.SendQuery(6, "XX_CTR"); },
         "Reply|SERVER|6|N|XX_CTR"},
        {"pilot's real name", [](HalkSession& s) { s.SendQuery(5, "DLH1"); }, "Reply|DLH1|5|Anna Berg|"},
        {"ping", [](HalkSession& s) { s.SendPing("SERVER"); }, "Pong|SERVER|0"},
    };
    TarqTestClient& client = Login("ME_CTR");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        client.ClearEvents();
        c.ask(client.Session());
        ASSERT_TRUE(PumpUntil([&] { return client.FindEvent(c.event) >= 0; }))
            << testing::PrintToString(client.Events());
    }
}

TEST_F(TestServerTest, RelaysBetweenControllers) {
    TarqTestClient& a = Login("EDDF_APP");
    TarqTestClient& b = Login("EDDF_TWR");
    const int32_t frequency[] = {118500};
    a.Session().SendRadioMessage(frequency, "all stations");
    a.Session().SendATCPosition(ATCPositionRecord{119700, 5, 100, 5, 50, 8.5, 0});
    a.Session().SendHandoffOffer("EDDF_TWR", "DLH1");
    a.Session().SendATCData("", 0, "DLH1", "ILS25R");
    ASSERT_TRUE(PumpUntil([&] { return b.FindEvent("ATCData") >= 0; }));
    EXPECT_GE(b.FindEvent("RadioMessage|EDDF_APP|1|118500|all stations"), 0);
    EXPECT_GE(b.FindEvent("ATCPosition|EDDF_APP|119700|5|100|5|50|8.5|0"), 0);
    EXPECT_GE(b.FindEvent("HandoffOffer|EDDF_APP|DLH1"), 0);
    EXPECT_GE(b.FindEvent("ATCData|EDDF_APP|DLH1|0|ILS25R"), 0);
    b.Session().SendHandoffAccept("EDDF_APP", "DLH1");
    ASSERT_TRUE(PumpUntil([&] { return a.FindEvent("HandoffAccept|EDDF_APP|EDDF_TWR|DLH1") >= 0; }));
}

TEST_F(TestServerTest, SecondLoginOfACallsignIsRefused) {
    Login("ME_CTR");
    TarqTestClient& twin = AddClient("ME_CTR");
    ASSERT_TRUE(twin.Connect());
    ASSERT_TRUE(PumpUntil([&] { return twin.State() == HalkSession::kClosed; }));
    EXPECT_GE(twin.FindEvent("Error|1|Callsign in use|ME_CTR"), 0);
    EXPECT_EQ(server->LoggedIn(), std::vector<std::string>{"ME_CTR"});
}

TEST_F(TestServerTest, ChallengesOnItsOwnAtTheInterval) {
    // The fixture turns the interval off; a server of its own keeps it.
    TestServerOptions options;
    options.port = 0;
    options.key = kKey;
    options.challengeIntervalMs = 60000;
    server = std::make_unique<TarqTestServer>(options, serverClock);
    ASSERT_TRUE(server->Start());
    Login("ME_CTR");
    serverClock.Advance(60000);
    ASSERT_TRUE(PumpUntil([&] { return server->VerifiedAnswers("ME_CTR") == 1; }));
    serverClock.Advance(60000);
    ASSERT_TRUE(PumpUntil([&] { return server->VerifiedAnswers("ME_CTR") == 2; }));
}

TEST_F(TestServerTest, ExpiresAfterItsLifetime) {
    TestServerOptions options;
    options.lifetimeMs = 10000;
    options.port = 0;
    TarqTestServer local(std::move(options), serverClock);
    ASSERT_TRUE(local.Start());
    EXPECT_FALSE(local.Expired());
    serverClock.Advance(10000);
    EXPECT_TRUE(local.Expired());
}

namespace {

// A child process whose standard output we read; killed if still running at the end.
class Child {
public:
    explicit Child(std::vector<std::string> args) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        m_out = out[0];
    }
    ~Child() {
        if (m_pid > 0 && !m_done) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) close(m_out);
    }
    // One line of output, waiting at most timeoutMs.
    std::string ReadLine(int timeoutMs) {
        std::string line;
        char c;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{m_out, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            if (read(m_out, &c, 1) != 1 || c == '\n') break;
            line.push_back(c);
        }
        return line;
    }
    // Exit code, or -1 when it did not end in time.
    int Wait(int timeoutMs) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_done = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }
    bool Started() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    bool m_done = false;
};

}  // namespace

TEST(TestServerProgram, TwoTestClientsExchangeAMessageAndAStripAndLogOff) {
    Child server({TARQ_TESTSERVER_EXE, "--port", "0", "--seconds", "60", "--scenario",
                  TARQ_RESOURCES_DIR "/demo_scenario.txt"});
    ASSERT_TRUE(server.Started());
    std::string banner = server.ReadLine(5000);
    ASSERT_EQ(banner.rfind("listening on 127.0.0.1:", 0), 0u) << banner;
    std::string port = banner.substr(banner.find(':') + 1);
    Child a({TARQ_TESTCLIENT_EXE, "--port", port, "--callsign", "EDDF_APP", "--peer", "EDDF_TWR", "--seconds",
             "20"});
    Child b({TARQ_TESTCLIENT_EXE, "--port", port, "--callsign", "EDDF_TWR", "--peer", "EDDF_APP", "--seconds",
             "20"});
    EXPECT_EQ(a.Wait(30000), 0);
    EXPECT_EQ(b.Wait(30000), 0);
}

TEST(TestServerProgram, StopsByItself) {
    Child server({TARQ_TESTSERVER_EXE, "--port", "0", "--seconds", "1"});
    ASSERT_TRUE(server.Started());
    EXPECT_EQ(server.ReadLine(5000).rfind("listening on", 0), 0u);
    EXPECT_EQ(server.Wait(10000), 0);
}

TEST(TestServerProgram, RefusesABrokenScenario) {
    Child server({TARQ_TESTSERVER_EXE, "--port", "0", "--scenario", "/no/such/file"});
    ASSERT_TRUE(server.Started());
    EXPECT_EQ(server.Wait(10000), 1);
}
