// The session's connection lifecycle against the local test server: polling
// limits, split lines, bursts, closes of every kind, disconnects, reconnects,
// and two clients talking through the server.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "server_fixture.h"

namespace {

class SessionTest : public ServerFixture {
protected:
    // Sends what the server has for the client and waits until the client's
    // end has all of it, without letting the client read it.
    void LetArrive() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        do server->Poll(1);
        while (!server->Delivered("ME_CTR") && std::chrono::steady_clock::now() < deadline);
        ASSERT_TRUE(server->Delivered("ME_CTR"));
    }

    static int Count(const TarqTestClient& client, const std::string& prefix) {
        int n = 0;
        for (const auto& e : client.Events()) n += e.rfind(prefix, 0) == 0;
        return n;
    }

    static std::string Lines(int count, const std::string& prefix) {
        std::string burst;
        for (int i = 0; i < count; ++i) burst += prefix + std::to_string(i) + "\r\n";
        return burst;
    }
};

}  // namespace

TEST_F(SessionTest, BurstIsParsedAHundredLinesPerPoll) {
    TarqTestClient& client = Login("ME_CTR");
    client.ClearEvents();
    server->Inject("ME_CTR", Lines(150, "#DPP"));
    LetArrive();
    client.Poll();
    EXPECT_EQ(Count(client, "DeletePilot"), 100);
    client.Poll();
    EXPECT_EQ(Count(client, "DeletePilot"), 150);
    EXPECT_EQ(client.Events().back(), "DeletePilot|P149");
}

TEST_F(SessionTest, LineSplitAcrossWritesIsParsedOnce) {
    struct Case {
        const char* name;
        size_t at;
    } cases[] = {{"inside the prefix", 2}, {"inside a field", 5}, {"between CR and LF", 8}};
    TarqTestClient& client = Login("ME_CTR");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        client.ClearEvents();
        ASSERT_TRUE(server->SendSplit("ME_CTR", "#DPABCD\r\n", c.at));
        // The first part only: the tail goes out on the server's next poll.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!server->Delivered("ME_CTR") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        client.Poll();
        EXPECT_TRUE(client.Events().empty());
        LetArrive();
        client.Poll();
        EXPECT_EQ(client.Events(), std::vector<std::string>{"DeletePilot|ABCD"});
    }
}

TEST_F(SessionTest, HalfCloseDeliversTheLinesThenCloses) {
    TarqTestClient& client = Login("ME_CTR");
    client.ClearEvents();
    server->Inject("ME_CTR", Lines(150, "#DPP") + "#DPunfinished");
    server->HalfClose("ME_CTR");
    LetArrive();
    client.Poll();
    EXPECT_EQ(client.State(), HalkSession::kConnected);  // 50 lines still wait
    client.Poll();
    // The last line lacks its terminator, but the server has said all it will.
    EXPECT_EQ(Count(client, "DeletePilot"), 151);
    EXPECT_EQ(client.State(), HalkSession::kClosed);
    ASSERT_GE(client.Events().size(), 2u);
    EXPECT_EQ(client.Events()[client.Events().size() - 2], "DeletePilot|unfinished");
    EXPECT_EQ(client.Events().back(), "State|3|4");
    client.Poll();  // the connection is gone; nothing changes
    EXPECT_EQ(client.State(), HalkSession::kClosed);
    EXPECT_EQ(Count(client, "State"), 1);
}

TEST_F(SessionTest, AbruptCloseEndsInClosed) {
    TarqTestClient& client = Login("ME_CTR");
    server->CloseAbruptly("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return client.State() != HalkSession::kConnected; }));
    EXPECT_EQ(client.State(), HalkSession::kClosed);
    EXPECT_EQ(client.Session().FailureReason(),
              "The connection to the server was lost: Connection reset by peer.");
}

// A server refusing a login often writes its reason and hangs up without
// ending the line.
TEST_F(SessionTest, ReasonOnAnUnterminatedLastLineReachesTheUser) {
    TarqTestClient& client = Login("ME_CTR");
    client.ClearEvents();
    server->Inject("ME_CTR", "$ERserver:ME_CTR:006:1000001:Invalid CID/password");
    server->HalfClose("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return client.State() == HalkSession::kClosed; }));
    EXPECT_EQ(client.Events(), (std::vector<std::string>{"Error|6|Invalid CID/password|1000001", "State|3|4"}));
    EXPECT_EQ(client.Session().FailureReason(), "") << "an orderly close";
}

TEST_F(SessionTest, ConnectThatIsNeverAnsweredGivesUpWithAReason) {
    UnansweredPort port;
    ASSERT_TRUE(port.Full()) << "the kernel answered every connection request";
    TarqTestClient client("ME_CTR", port.Port(), kKey, &clientClock);
    ASSERT_TRUE(client.Connect());
    client.Poll();
    EXPECT_EQ(client.State(), HalkSession::kConnecting);
    clientClock.Advance(HalkSession::kConnectTimeoutMs);
    client.Poll();
    EXPECT_EQ(client.State(), HalkSession::kConnecting) << "not a moment early";
    clientClock.Advance(1);
    client.Poll();
    EXPECT_EQ(client.State(), HalkSession::kError);
    EXPECT_EQ(client.Session().FailureReason(),
              "Could not reach 127.0.0.1:" + std::to_string(port.Port()) + ": no answer within 20 seconds.");
    EXPECT_EQ(client.Events(), (std::vector<std::string>{"State|1|2", "State|2|5"}));
}

TEST_F(SessionTest, DisconnectBeforeTheLoginClosesAtOnceWithoutSigningOff) {
    TestServerOptions silent;
    silent.identify = false;  // accepts, never asks us to identify ourselves
    StartServer(silent);
    UnansweredPort unanswered;
    ASSERT_TRUE(unanswered.Full()) << "the kernel answered every connection request";
    struct Case {
        const char* name;
        uint16_t port;
        bool tcpUp;  // the server accepted the connection
    } cases[] = {
        {"TCP connect pending", unanswered.Port(), false},
        {"waiting for the identification request", server->Port(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqTestClient client("ME_CTR", c.port, kKey, &clientClock);
        ASSERT_TRUE(client.Connect());
        if (c.tcpUp) {
            ASSERT_TRUE(PumpUntil([&] {
                client.Poll();
                return client.State() == HalkSession::kConnected && server->ConnectionCount() == 1;
            }));
        }
        client.Session().Disconnect(5);
        EXPECT_EQ(client.State(), HalkSession::kClosed);
        EXPECT_EQ(client.Events(), (std::vector<std::string>{"State|1|2", "State|2|4"}));
        if (c.tcpUp) {
            ASSERT_TRUE(PumpUntil([&] { return server->ConnectionCount() == 0; }));
            EXPECT_TRUE(server->Received("").empty()) << "nothing to sign off from";
        }
    }
}

TEST_F(SessionTest, AServerThatStopsReadingIsCutOffWithAReason) {
    TarqTestClient& client = Login("ME_CTR");
    server->SetStalled("ME_CTR", true);
    const std::string line = "#TMME_CTR:OTHER:" + std::string(1000, 'x') + "\r\n";
    // Far more than the kernel buffers on both sides and the queue hold.
    for (int i = 0; i < 60000 && client.State() == HalkSession::kConnected; ++i) {
        client.Session().Send(line);
        if (i % 64 == 0) client.Poll();
    }
    EXPECT_EQ(client.State(), HalkSession::kError);
    EXPECT_EQ(client.Session().FailureReason(),
              "The server stopped reading what this client sends: the connection was closed.");
    EXPECT_EQ(client.Session().Send(line), 0) << "nothing is queued once the connection is given up";
}

TEST_F(SessionTest, OverlongLineIsDroppedAndTheConnectionKept) {
    TarqTestClient& client = Login("ME_CTR");
    client.ClearEvents();
    server->Inject("ME_CTR", "#TMAAA:ME_CTR:" + std::string(50000, 'x') + "\r\n#DPX\r\n");
    Sync(client);
    EXPECT_EQ(client.Events(), std::vector<std::string>{"DeletePilot|X"});
    EXPECT_EQ(client.State(), HalkSession::kConnected);
}

TEST_F(SessionTest, DisconnectRightAwaySendsTheDeleteLineAndCloses) {
    TarqTestClient& client = Login("ME_CTR");
    client.Session().Disconnect(0);
    EXPECT_EQ(client.State(), HalkSession::kClosed);
    EXPECT_EQ(client.Events().back(), "State|3|4");
    ASSERT_TRUE(PumpUntil([&] { return server->ConnectionCount() == 0; }));
    EXPECT_EQ(server->Received("ME_CTR").back(), "#DAME_CTR:SERVER");
}

TEST_F(SessionTest, DisconnectWithTimeOutEndsWhenTheServerCloses) {
    TarqTestClient& client = Login("ME_CTR");
    client.Session().Disconnect(5);
    EXPECT_EQ(client.State(), HalkSession::kConnected);
    ASSERT_TRUE(PumpUntil([&] { return client.State() == HalkSession::kClosed; }));
    EXPECT_EQ(server->Received("ME_CTR").back(), "#DAME_CTR:SERVER");
}

TEST_F(SessionTest, ConnectIsRefusedWhileConnectedAndWorksAgainAfterAClose) {
    TarqTestClient& client = Login("ME_CTR");
    EXPECT_FALSE(client.Session().Connect());
    client.Session().Disconnect(0);
    ASSERT_TRUE(PumpUntil([&] { return server->ConnectionCount() == 0; }));
    client.ClearEvents();
    ASSERT_TRUE(client.Connect());
    ASSERT_TRUE(PumpUntil([&] { return !server->LoggedIn().empty(); }));
    EXPECT_EQ(client.Events(), (std::vector<std::string>{"State|4|2", "State|2|3"}));
    ASSERT_TRUE(server->Challenge("ME_CTR"));
    ASSERT_TRUE(PumpUntil([&] { return server->VerifiedAnswers("ME_CTR") == 1; }));
}

TEST_F(SessionTest, FailedConnectNeverReportsConnected) {
    uint16_t port = server->Port();
    server.reset();  // nobody listens there now
    TarqTestClient client("ME_CTR", port, kKey, &clientClock);
    ASSERT_TRUE(client.Connect());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (client.State() == HalkSession::kConnecting && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        client.Poll();
    }
    EXPECT_TRUE(client.State() == HalkSession::kClosed || client.State() == HalkSession::kError);
    for (const auto& e : client.Events()) EXPECT_EQ(e.find("|3"), std::string::npos) << e;
    EXPECT_EQ(client.Session().FailureReason(),
              "Could not reach 127.0.0.1:" + std::to_string(port) + ": Connection refused.");
}

TEST_F(SessionTest, UnresolvableServerLeavesTheStateAlone) {
    auto session = HalkSession::Create("Tarq 1.2.3", 1, 2, "", 100, 1, kKey, "", &clientClock);
    session->SetConnectInfo("no-such-host.invalid", 6809, "1", "p", HalkLoginInfo{"ME_CTR", "Me", 5});
    EXPECT_FALSE(session->Connect());
    EXPECT_EQ(session->GetState(), HalkSession::kIdle);
}

TEST_F(SessionTest, TwoClientsExchangeAPrivateMessageAndAStripAndLogOff) {
    TarqTestClient& a = Login("EDDF_APP");
    TarqTestClient& b = Login("EDDF_TWR");
    a.Session().SendTextMessage("EDDF_TWR", "DLH123 is yours: contact 118.5");
    const std::string strip[] = {"B738", "FL350", "EDDF"};
    a.Session().SendStripPush("EDDF_TWR", "DLH123", 3, strip);
    ASSERT_TRUE(PumpUntil([&] { return b.FindEvent("StripPush") >= 0; }));
    EXPECT_GE(b.FindEvent("PrivateMessage|EDDF_APP|EDDF_TWR|DLH123 is yours: contact 118.5"), 0);
    EXPECT_GE(b.FindEvent("StripPush|EDDF_APP|DLH123|3|B738,FL350,EDDF"), 0);
    EXPECT_EQ(a.FindEvent("PrivateMessage|EDDF_APP"), -1);  // not echoed to the sender

    a.Session().Disconnect(5);
    ASSERT_TRUE(
        PumpUntil([&] { return a.State() == HalkSession::kClosed && b.FindEvent("DeleteATC") >= 0; }));
    EXPECT_GE(b.FindEvent("DeleteATC|EDDF_APP"), 0);
    b.Session().Disconnect(5);
    ASSERT_TRUE(
        PumpUntil([&] { return b.State() == HalkSession::kClosed && server->ConnectionCount() == 0; }));
}

TEST_F(SessionTest, AbruptLeaveIsAnnouncedToTheOthers) {
    TarqTestClient& a = Login("EDDF_APP");
    TarqTestClient& b = Login("EDDF_TWR");
    server->CloseAbruptly("EDDF_APP");
    ASSERT_TRUE(PumpUntil([&] { return b.FindEvent("DeleteATC|EDDF_APP") >= 0; }));
    EXPECT_EQ(a.State(), HalkSession::kClosed);
}

TEST_F(SessionTest, AbruptCloseDropsAnUnfinishedLineAndTheConnection) {
    TarqTestClient& client = Login("ME_CTR");
    client.ClearEvents();
    server->Inject("ME_CTR", "#DPA\r\n#DPunfinished");
    LetArrive();
    server->CloseAbruptly("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return client.State() == HalkSession::kClosed; }));
    EXPECT_EQ(client.Events(), (std::vector<std::string>{"DeletePilot|A", "State|3|4"}));
    // The old connection is gone, so a new one can start at once.
    ASSERT_TRUE(client.Connect());
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("State|2|3") >= 0; }));
}

TEST_F(SessionTest, OlderRevisionSendsTheLoginAtOnceAndIgnoresIdentification) {
    auto session = HalkSession::Create("Tarq 1.2.3", 1, 2, "", 9, 1, kKey, "", &clientClock);
    std::vector<std::string> events;
    RecordAllCallbacks(*session, &events);
    session->SetConnectInfo("127.0.0.1", server->Port(), "1000001", "secret",
                            HalkLoginInfo{"OLD_CTR", "Old", 3});
    ASSERT_TRUE(session->Connect());
    ASSERT_TRUE(PumpUntil([&] {
        session->Poll();
        return server->Received("").size() >= 1 && session->GetState() != HalkSession::kConnected;
    }));
    // Connected was reported as soon as the socket was up, without "$DI".
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "State|1|2");
    EXPECT_EQ(events[1], "State|2|3");
    std::vector<std::string> lines = server->Received("");
    EXPECT_EQ(lines[0], "#AAOLD_CTR:SERVER:Old:1000001:secret:3:9");
    for (const auto& line : lines) EXPECT_NE(line.rfind("$ID", 0), 0u) << line;
}

TEST_F(SessionTest, ReconnectFromInsideTheStateCallback) {
    auto session =
        HalkSession::Create("Tarq 1.2.3", 1, 2, "", 100, TarqTestClient::kClientId, kKey, "", &clientClock);
    struct Context {
        std::vector<std::string> states;
        int reconnects = 0;
    } context;
    session->SetStateCallback(
        [](HalkSession* s, int oldState, int newState, void* user) {
            auto* c = static_cast<Context*>(user);
            c->states.push_back(std::to_string(oldState) + ">" + std::to_string(newState));
            if (newState == HalkSession::kClosed && c->reconnects++ == 0) {
                EXPECT_TRUE(s->Connect());
            }
        },
        &context);
    session->SetConnectInfo("127.0.0.1", server->Port(), "1000001", "secret",
                            HalkLoginInfo{"ME_CTR", "Me", 5});
    ASSERT_TRUE(session->Connect());
    auto identified = [&] { return std::count(context.states.begin(), context.states.end(), "2>3"); };
    ASSERT_TRUE(PumpUntil([&] {
        session->Poll();
        return identified() == 1 && !server->LoggedIn().empty();
    }));
    server->Inject("ME_CTR", "#DPA\r\n#DPB\r\n");
    server->CloseAbruptly("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] {
        session->Poll();
        return identified() == 2;
    }));
    EXPECT_EQ(context.states, (std::vector<std::string>{"1>2", "2>3", "3>4", "4>2", "2>3"}));
}
