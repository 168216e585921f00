// The network manager's controller actions, asserted on the exact lines the
// real session writers queue, as the local test server receives them; and the
// aircraft database driving them end to end.
#include "net/network_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "../atc/atc_fakes.h"
#include "atc/aircraft_db.h"
#include "net/halk_session.h"
#include "net/network_records.h"
#include "recording_owners.h"
#include "server_fixture.h"

namespace {

class NetworkManagerTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        world.settings.strings["Callsign"] = "ME_CTR";
        AtcServices services = world.Services();
        auto session = HalkSession::Create("Tarq 1.2.3", 1, 2, "", 100, TarqTestClient::kClientId, kKey,
                                           "VERSION=1:SECPOS=1:ATCINFO=1:MODELDESC=1", &clientClock);
        auto voice = HalkSession::Create("Tarq 1.2.3", 1, 2, "", 100, TarqTestClient::kClientId, kKey, "",
                                         &clientClock);
        manager = std::make_unique<TarqNetworkManager>(services, owners.All(), std::move(session), std::move(voice));
        manager->SetAircraftDB(&world.aircraft);
        HalkLoginInfo info{"ME_CTR", "Me Controller", 5};
        manager->ControllerSession().SetConnectInfo("127.0.0.1", server->Port(), "1000001", "secret", info);
        ASSERT_TRUE(manager->ControllerSession().Connect());
        ASSERT_TRUE(PumpUntil([&] {
            manager->ControllerSession().Poll();
            auto names = server->LoggedIn();
            return std::find(names.begin(), names.end(), "ME_CTR") != names.end();
        }));
        // The connect's own lines (position report, queries) are out of the way.
        Flush(server->Received("ME_CTR").size());
        manager->SetValidATC(true);
    }

    // The real aircraft and controller databases, linked to each other and
    // sending through the manager.
    struct LinkedDatabases {
        LinkedDatabases(const AtcServices& services, TarqNetworkManager& manager)
            : aircraft(services), controllers(services) {
            aircraft.SetControllerDB(&controllers);
            controllers.SetAircraftDB(&aircraft);
            manager.SetAircraftDB(&aircraft);
        }
        TarqAircraftDB aircraft;
        TarqControllerDB controllers;
    };

    // The test world's services, with the manager as the network.
    AtcServices ManagerServices() {
        AtcServices services = world.Services();
        services.network = manager.get();
        return services;
    }

    // Everything the server received from the manager's session after mark.
    std::vector<std::string> Flush(size_t mark) {
        return Flush(manager->ControllerSession(), "ME_CTR", mark);
    }

    std::vector<std::string> Flush(HalkSession& session, const std::string& callsign, size_t mark) {
        const std::string back = "#TM" + callsign + ":SERVER:flush";
        session.Send(back + "\r\n");
        EXPECT_TRUE(PumpUntil([&] {
            session.Poll();
            auto lines = server->Received(callsign);
            return std::find(lines.begin() + static_cast<long>(mark), lines.end(), back) != lines.end();
        }));
        std::vector<std::string> lines = server->Received(callsign);
        std::vector<std::string> out;
        for (size_t i = mark; i < lines.size(); ++i) {
            if (lines[i] == back) break;
            out.push_back(lines[i]);
        }
        return out;
    }

    AtcWorld world;
    RecordingOwners owners{world.log};
    std::unique_ptr<TarqNetworkManager> manager;
};

TEST_F(NetworkManagerTest, ActionsQueueTheirLines) {
    struct Row {
        const char* name;
        std::function<void(TarqNetworkManager&)> act;
        std::vector<std::string> lines;
    };
    TarqFlightPlanRecord plan;
    plan.flightRules = 'I';
    plan.route = "DCT: X";
    plan.trueAirspeed = -5;
    const Row rows[] = {
        {"flight plan query", [](auto& m) { m.RequestFlightPlan("BAW1"); }, {"$CQME_CTR:SERVER:FP:BAW1"}},
        {"real name", [](auto& m) { m.RequestRealName("BAW1"); }, {"$CQME_CTR:BAW1:RN"}},
        {"valid controller", [](auto& m) { m.RequestIsValidATC("XY_APP"); }, {"$CQME_CTR:SERVER:ATC:XY_APP"}},
        {"plane info", [](auto& m) { m.RequestPlaneInfo("BAW1"); }, {"#SBME_CTR:BAW1:PIR"}},
        {"handoff offer, receiver first",
         [](auto& m) { m.SendHandoffOffer("XY_APP", "BAW1"); },
         {"$HOME_CTR:XY_APP:BAW1"}},
        {"handoff accept",
         [](auto& m) { m.SendHandoffAccept("XY_APP", "BAW1"); },
         {"$HAME_CTR:XY_APP:BAW1", "$CQME_CTR:@94835:HT:BAW1:XY_APP"}},
        {"handoff cancel",
         [](auto& m) { m.SendHandoffCancel("XY_APP", "BAW1"); },
         {"#PCME_CTR:XY_APP:CCP:HC:BAW1"}},
        {"pointout", [](auto& m) { m.SendPointOut("XY_APP", "BAW1"); }, {"#PCME_CTR:XY_APP:CCP:PT:BAW1"}},
        {"who has", [](auto& m) { m.SendWhoHas("BAW1"); }, {"$CQME_CTR:@94835:WH:BAW1"}},
        {"drop", [](auto& m) { m.DropTrack("BAW1"); }, {"$CQME_CTR:@94835:DR:BAW1"}},
        {"squawk",
         [](auto& m) { m.AssignSquawk("BAW1", 7); },
         {"$CQME_CTR:@94835:BC:BAW1:0007", "#TMME_CTR:FP:BAW1 SET 0007"}},
        {"squawk too big", [](auto& m) { m.AssignSquawk("BAW1", 10000); }, {}},
        {"voice type lower case",
         [](auto& m) { m.SendVoiceType("BAW1", "V"); },
         {"$CQME_CTR:@94835:VT:BAW1:v"}},
        {"temporary altitude",
         [](auto& m) { m.SendTemporaryAltitude("BAW1", 5000); },
         {"$CQME_CTR:@94835:TA:BAW1:5000"}},
        {"amended plan",
         [plan](auto& m) { m.SendAmendedFlightPlan("BAW1", plan); },
         {"$AMME_CTR:SERVER:BAW1:I:ZZZZ:0:NONE:0:0:0:NONE:0:0:0:0:NONE::DCT  X"}},
        {"client version, ordinary user", [](auto& m) { m.RequestClientVersion("XY_APP"); }, {}},
        {"frequency text", [](auto& m) { m.SendFrequencyText("hello"); }, {"#TMME_CTR:@49999:hello"}},
        {"radio text without TX frequencies", [](auto& m) { m.SendRadioMessage("hi"); }, {}},
        {"strip push",
         [](auto& m) {
             m.PushFlightStrip("XY_APP", "BAW1", 0, {"a:b", "c"});
         },
         {"#PCME_CTR:XY_APP:CCP:ST:BAW1:0:a b:c"}},
        {"break", [](auto& m) { m.SetBreakRequest(true); }, {"$CQME_CTR:@94835:BY"}},
        {"help without text",
         [](auto& m) { m.SetHelpRequest(true, ""); },
         {"$CQME_CTR:@94835:HLP:No message."}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const size_t mark = server->Received("ME_CTR").size();
        row.act(*manager);
        EXPECT_EQ(Flush(mark), row.lines);
    }
}

// The command line echoes a text only when it went out.
TEST_F(NetworkManagerTest, TextSendersSayWhetherALineWentOut) {
    EXPECT_TRUE(manager->SendFrequencyText("hello"));
    EXPECT_FALSE(manager->SendFrequencyText(""));
    EXPECT_FALSE(manager->SendRadioMessage("hi")) << "no transmit frequency";
    EXPECT_FALSE(manager->SendRadioMessage(""));
}

// A SELCAL goes out on every transmit frequency, and only says it went out
// when there was one.
TEST_F(NetworkManagerTest, SelcalNeedsATransmitFrequency) {
    size_t mark = server->Received("ME_CTR").size();
    EXPECT_FALSE(manager->SendSELCAL("ABCD"));
    EXPECT_EQ(Flush(mark), std::vector<std::string>{});
    world.tools.txFrequencies = {118300, 121500};
    mark = server->Received("ME_CTR").size();
    EXPECT_TRUE(manager->SendSELCAL("ABCD"));
    EXPECT_EQ(Flush(mark), std::vector<std::string>{"#TMME_CTR:@18300&@21500:SELCAL AB-CD"});
    manager->SetValidATC(false);
    mark = server->Received("ME_CTR").size();
    EXPECT_FALSE(manager->SendSELCAL("ABCD"));
    EXPECT_EQ(Flush(mark), std::vector<std::string>{});
}

TEST_F(NetworkManagerTest, AircraftDatabaseDrivesTheSession) {
    AtcServices services = ManagerServices();
    LinkedDatabases db(services, *manager);
    TarqAircraftDB& aircraft = db.aircraft;
    TarqControllerDB& controllers = db.controllers;
    ControllerReport report;
    report.frequency = 120500;
    size_t mark = server->Received("ME_CTR").size();
    controllers.UpdateFromPositionReport("XY_APP", report);
    aircraft.UpdatePilotPosition("BAW1", AtcWorld::Report(40, -74));
    aircraft.AcceptHandoff("BAW1");
    aircraft.SetAssignedSquawk("BAW1", "ME_CTR", TarqAircraftDB::kAutoSquawk);
    aircraft.SetScratchpad("BAW1", "ME_CTR", "RV", false);
    aircraft.InitiateHandoff("BAW1", "AA");
    aircraft.InitiateHandoff("BAW1", "QQ");
    aircraft.OnWhoHas("BAW1", "XY_APP");
    const std::vector<std::string> expected = {
        "$CQME_CTR:XY_APP:RN",
        "$CQME_CTR:SERVER:ATC:XY_APP",
        "#PCME_CTR:XY_APP:CCP:ID",
        "$CQME_CTR:SERVER:FP:BAW1",
        "$CQME_CTR:BAW1:RN",
        "$CQME_CTR:@94835:WH:BAW1",
        "#SBME_CTR:BAW1:PIR",
        "$CQME_CTR:@94835:IT:BAW1",
        "$CQME_CTR:@94835:BC:BAW1:1000",
        "#TMME_CTR:FP:BAW1 SET 1000",
        "$CQME_CTR:@94835:SC:BAW1:RV",
        "$HOME_CTR:XY_APP:BAW1",
        "#PCME_CTR:XY_APP:CCP:IH:BAW1",
        "$CQME_CTR:@94835:TA:BAW1:0",
        "$CQME_CTR:@94835:VT:BAW1:",
        "$CQME_CTR:@94835:BC:BAW1:1000",
        "$CQME_CTR:@94835:SC:BAW1:RV",
    };
    EXPECT_EQ(Flush(mark), expected);
    EXPECT_EQ(aircraft.GetTrackingController("BAW1"), "ME_CTR");
}

// The handoff and track rows of the state table, on the wire.
TEST_F(NetworkManagerTest, TrackingRowsOnTheWire) {
    using Step = std::function<void(TarqAircraftDB&)>;
    struct Row {
        const char* name;
        Step setup;
        Step event;
        std::vector<std::string> lines;
    };
    const Step tracked = [](TarqAircraftDB& db) { db.AcceptHandoff("N1"); };
    const Step offered = [](TarqAircraftDB& db) {
        db.SetTrackingController("N1", "XY_APP");
        db.OnHandoffRequest("N1", "XY_APP");
    };
    const Step myOffer = [](TarqAircraftDB& db) {
        db.AcceptHandoff("N1");
        db.InitiateHandoff("N1", "AA");
    };
    const Row rows[] = {
        {"track",
         [](TarqAircraftDB&) {},
         [](TarqAircraftDB& db) { db.AcceptHandoff("N1"); },
         {"$CQME_CTR:@94835:IT:N1"}},
        {"accept an offer",
         offered,
         [](TarqAircraftDB& db) { db.AcceptHandoff("N1"); },
         {"$HAME_CTR:XY_APP:N1", "$CQME_CTR:@94835:HT:N1:XY_APP"}},
        {"refuse an offer",
         offered,
         [](TarqAircraftDB& db) { db.DropTrack("N1", "ME_CTR"); },
         {"#PCME_CTR:XY_APP:CCP:HC:N1"}},
        {"hand off",
         tracked,
         [](TarqAircraftDB& db) { db.InitiateHandoff("N1", "AA"); },
         {"$HOME_CTR:XY_APP:N1"}},
        {"hand all off",
         tracked,
         [](TarqAircraftDB& db) { db.HandoffToPositionId("aa"); },
         {"$HOME_CTR:XY_APP:N1"}},
        {"take the offer back",
         myOffer,
         [](TarqAircraftDB& db) { db.AcceptHandoff("N1"); },
         {"#PCME_CTR:XY_APP:CCP:HC:N1"}},
        {"offer accepted", myOffer, [](TarqAircraftDB& db) { db.OnHandoffAccepted("N1", "XY_APP"); }, {}},
        {"drop",
         tracked,
         [](TarqAircraftDB& db) { db.DropTrack("N1", "ME_CTR"); },
         {"$CQME_CTR:@94835:DR:N1", "#TMME_CTR:FP:N1 release"}},
        {"hand off to nobody", tracked, [](TarqAircraftDB& db) { db.InitiateHandoff("N1", "QQ"); }, {}},
        {"who has, not mine", offered, [](TarqAircraftDB& db) { db.OnWhoHas("N1", "XY_APP"); }, {}},
        {"who has, mine",
         tracked,
         [](TarqAircraftDB& db) { db.OnWhoHas("N1", "XY_APP"); },
         {"#PCME_CTR:XY_APP:CCP:IH:N1", "$CQME_CTR:@94835:TA:N1:0",
          "$CQME_CTR:@94835:VT:N1:", "$CQME_CTR:@94835:SC:N1:"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcServices services = ManagerServices();
        LinkedDatabases db(services, *manager);
        TarqAircraftDB& aircraft = db.aircraft;
        TarqControllerDB& controllers = db.controllers;
        ControllerReport report;
        report.frequency = 120500;
        controllers.UpdateFromPositionReport("XY_APP", report);
        aircraft.UpdatePilotPosition("N1", AtcWorld::Report(40, -74));
        row.setup(aircraft);
        Flush(server->Received("ME_CTR").size());  // the setup's lines have all arrived
        const size_t mark = server->Received("ME_CTR").size();
        row.event(aircraft);
        EXPECT_EQ(Flush(mark), row.lines);
        manager->SetAircraftDB(nullptr);
    }
}

TEST_F(NetworkManagerTest, MessagesAndConnectedTime) {
    world.log.Clear();
    manager->SetRejectPrivate(true, "busy");
    manager->SetRejectAllPrivate("away");
    manager->SetRejectPrivate(false, "");
    manager->SetHelpRequest(false, "");
    manager->SetBreakRequest(false);
    const std::vector<std::string> expected = {
        "info: You are now rejecting private messages from pilots and out of range ATC.",
        "info: You are now rejecting all private messages.",
        "info: You are no longer rejecting private messages.", "info: You are no longer requesting help.",
        "info: You are no longer requesting a break."};
    EXPECT_EQ(world.log.lines, expected);
    EXPECT_FALSE(manager->IsRejectingAllPrivateMessages());

    manager->OnConnected();
    world.clock.SetWallSeconds(AtcWorld::kStart + 90);
    EXPECT_EQ(manager->GetConnectedTime(), 90);
    manager->OnDisconnected();
    world.clock.SetWallSeconds(AtcWorld::kStart + 500);
    EXPECT_EQ(manager->GetConnectedTime(), 90);
    manager->ResetConnectedTime();
    EXPECT_EQ(manager->GetConnectedTime(), 0);
}

TEST_F(NetworkManagerTest, PositionReport) {
    world.scope.centres[0] = {-74.5, 40.25};
    world.settings.ints["Facility"] = 5;
    world.settings.ints["VisRange"] = 150;
    const size_t mark = server->Received("ME_CTR").size();
    manager->SendATCPosition();
    world.tools.primaryFrequency = 120500;
    manager->SendATCPosition();
    const std::vector<std::string> expected = {"%ME_CTR:99998:5:150:5:40.250000:-74.500000:0",
                                               "%ME_CTR:20500:5:150:5:40.250000:-74.500000:0"};
    EXPECT_EQ(Flush(mark), expected);
}

TEST_F(NetworkManagerTest, TimerReportsThePositionEveryFifteenSeconds) {
    struct Row {
        const char* name;
        int advanceSeconds;
        int reports;
    };
    const Row rows[] = {
        {"the connect reported, so no tick at once", 0, 0}, {"a tick later nothing", 0, 0},
        {"15 s are not more than 15 s", 15, 0}, {"16 s are", 1, 1},
        {"the interval starts again", 15, 0},   {"a long pause reports once", 300, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        world.clock.Advance(static_cast<uint64_t>(row.advanceSeconds) * 1000);
        const size_t mark = server->Received("ME_CTR").size();
        manager->OnTimer();
        const std::vector<std::string> lines = Flush(mark);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l[0] == '%'; }),
                  row.reports);
    }
}

// The manager as the program builds it: its own sessions, identity and key.
class NetworkManagerIdentityTest : public ServerFixture {
protected:
    void SetUp() override {
        serverKey = TarqNetworkManager::LoginKey();
        ServerFixture::SetUp();
        AtcServices services = world.Services();
        manager = std::make_unique<TarqNetworkManager>(services, owners.All(), -123456789);
    }

    // Connects one of the manager's sessions and pumps until the server logged it in.
    void SignOn(HalkSession& session, const std::string& callsign) {
        session.SetConnectInfo("127.0.0.1", server->Port(), "1000001", "secret", {callsign, "Me", 5});
        ASSERT_TRUE(session.Connect());
        ASSERT_TRUE(PumpUntil([&] {
            manager->OnTimer();
            auto names = server->LoggedIn();
            return std::find(names.begin(), names.end(), callsign) != names.end();
        }));
    }

    bool Received(const std::string& callsign, const std::string& line) {
        auto lines = server->Received(callsign);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    AtcWorld world;
    RecordingOwners owners{world.log};
    std::unique_ptr<TarqNetworkManager> manager;
};

TEST_F(NetworkManagerIdentityTest, SessionsSignOnWithTheClientsIdentity) {
    EXPECT_EQ(TarqNetworkManager::ClientName(), "Tarq 1.2.3");
    SignOn(manager->ControllerSession(), "ME_CTR");
    SignOn(manager->VoiceAtisSession(), "EDDF_ATIS");
    for (const char* callsign : {"ME_CTR", "EDDF_ATIS"}) {
        SCOPED_TRACE(callsign);
        const std::string prefix =
            std::string("$ID") + callsign + ":SERVER:b7e5:Tarq 1.2.3:1:2:1000001:-123456789:";
        auto lines = server->Received(callsign);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.rfind(prefix, 0) == 0;
        })) << "identification line with the machine number";
        EXPECT_TRUE(Received(callsign, std::string("#AA") + callsign + ":SERVER:Me:1000001:secret:5:100"));
        // The server's challenge is answered with the built-in key.
        ASSERT_TRUE(server->Challenge(callsign));
        EXPECT_TRUE(PumpUntil([&] {
            manager->OnTimer();
            return server->VerifiedAnswers(callsign) == 1;
        }));
        EXPECT_EQ(server->WrongAnswers(callsign), 0);
    }
    // Each session tells its own capabilities.
    auto answerQueries = [](HalkSession*, const char*, int, const char*, void*) {};
    manager->ControllerSession().SetQueryCallback(answerQueries, nullptr);
    manager->VoiceAtisSession().SetQueryCallback(answerQueries, nullptr);
    server->Inject("ME_CTR", "$CQSERVER:ME_CTR:CAPS\r\n");
    server->Inject("EDDF_ATIS", "$CQSERVER:EDDF_ATIS:CAPS\r\n");
    EXPECT_TRUE(PumpUntil([&] {
        manager->OnTimer();
        return Received("ME_CTR", "$CRME_CTR:SERVER:CAPS:VERSION=1:SECPOS=1:ATCINFO=1:MODELDESC=1") &&
               Received("EDDF_ATIS", "$CREDDF_ATIS:SERVER:CAPS:VERSION=1:ATCINFO=1");
    }));
}

TEST_F(NetworkManagerIdentityTest, DisconnectSignsOffBothSessions) {
    manager->Disconnect();  // nothing to sign off yet
    EXPECT_EQ(manager->ControllerSession().GetState(), HalkSession::kIdle);

    SignOn(manager->ControllerSession(), "ME_CTR");
    SignOn(manager->VoiceAtisSession(), "EDDF_ATIS");
    manager->Disconnect();
    EXPECT_TRUE(PumpUntil([&] {
        manager->OnTimer();
        return !manager->IsConnected() && !manager->IsVoiceAtisConnected();
    }));
    EXPECT_TRUE(Received("ME_CTR", "#DAME_CTR:SERVER"));
    EXPECT_TRUE(Received("EDDF_ATIS", "#DAEDDF_ATIS:SERVER"));
}

// The manager signing on through Connect, as the connect dialog starts it,
// to the profile's "Server" from its server list.
class NetworkManagerConnectTest : public ServerFixture {
protected:
    void SetUp() override {
        serverKey = TarqNetworkManager::LoginKey();
        ServerFixture::SetUp();
        world.settings.strings["RealName"] = "Me";
        world.settings.strings["CID"] = "1000001";
        world.settings.strings["Password"] = "secret";
        world.settings.strings["Server"] = "LOCAL";
        manager = std::make_unique<TarqNetworkManager>(world.Services(), owners.All(), 0);
        UseAddress("127.0.0.1:" + std::to_string(server->Port()));
    }

    void UseAddress(const std::string& address) { manager->AddServer("LOCAL", address); }

    // The lines the user has been shown since the log was last cleared.
    std::vector<std::string> Shown() const {
        std::vector<std::string> shown;
        for (const std::string& line : world.log.lines)
            if (line.rfind("info: ", 0) == 0 || line.rfind("error: ", 0) == 0) shown.push_back(line);
        return shown;
    }

    bool Pump(const std::function<bool()>& done) {
        return PumpUntil([&] {
            manager->OnTimer();
            return done();
        });
    }

    bool ReceivedAny(const std::string& prefix) {
        for (const std::string& line : server->Received(""))
            if (line.rfind(prefix, 0) == 0) return true;
        return false;
    }

    AtcWorld world;
    RecordingOwners owners{world.log};
    std::unique_ptr<TarqNetworkManager> manager;
};

TEST_F(NetworkManagerConnectTest, AnAttemptWaitingForTheServerIsReplacedOrCancelledAtOnce) {
    TestServerOptions silent;
    silent.identify = false;  // takes the connection, never asks us to identify ourselves
    StartServer(silent);
    UseAddress("127.0.0.1:" + std::to_string(server->Port()));
    HalkSession& session = manager->ControllerSession();
    manager->Connect();
    ASSERT_TRUE(Pump([&] { return session.GetState() == HalkSession::kConnected && server->ConnectionCount() == 1; }));
    EXPECT_TRUE(manager->IsConnecting());
    EXPECT_FALSE(manager->IsConnected());

    world.log.Clear();
    manager->Connect();
    EXPECT_EQ(Shown(), (std::vector<std::string>{"info: Connection attempt cancelled.", "info: Connecting to network..."}));
    ASSERT_TRUE(Pump([&] { return session.GetState() == HalkSession::kConnected && server->ConnectionCount() == 1; }));
    EXPECT_TRUE(manager->IsConnecting());

    world.log.Clear();
    manager->Disconnect();
    EXPECT_FALSE(manager->IsConnecting());
    EXPECT_EQ(session.GetState(), HalkSession::kClosed);
    EXPECT_EQ(Shown(), std::vector<std::string>{"info: Connection attempt cancelled."});
    ASSERT_TRUE(Pump([&] { return server->ConnectionCount() == 0; }));
    EXPECT_FALSE(ReceivedAny("#DA")) << "nobody was signed on";
}

TEST_F(NetworkManagerConnectTest, DisconnectCancelsANameLookUp) {
    UseAddress("localhost:" + std::to_string(server->Port()));
    manager->Connect();
    EXPECT_TRUE(manager->IsConnecting());
    manager->Disconnect();
    EXPECT_FALSE(manager->IsConnecting());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"info: Looking up localhost...", "info: Connection attempt cancelled."}));
    // There is no event for an answer that is thrown away: watch a while.
    EXPECT_FALSE(PumpUntil([&] {
        manager->OnTimer();
        return server->ConnectionCount() > 0;
    }, 500));
    EXPECT_EQ(manager->ControllerSession().GetState(), HalkSession::kIdle);
}

TEST_F(NetworkManagerConnectTest, AConnectNeverAnsweredEndsWithItsReason) {
    UnansweredPort unanswered;
    ASSERT_TRUE(unanswered.Full()) << "the kernel answered every connection request";
    UseAddress("127.0.0.1:" + std::to_string(unanswered.Port()));
    manager->Connect();
    manager->OnTimer();
    EXPECT_TRUE(manager->IsConnecting());
    world.clock.Advance(HalkSession::kConnectTimeoutMs + 1);
    manager->OnTimer();
    EXPECT_FALSE(manager->IsConnecting());
    EXPECT_EQ(Shown(), (std::vector<std::string>{
                           "info: Connecting to network...",
                           "error: Could not reach 127.0.0.1:" + std::to_string(unanswered.Port()) +
                               ": no answer within 20 seconds.",
                           "error: Connection failed."}));
}

TEST_F(NetworkManagerConnectTest, AResetIsReportedAsALostConnection) {
    manager->Connect();
    ASSERT_TRUE(Pump([&] { return manager->IsConnected() && !server->LoggedIn().empty(); }));
    world.log.Clear();
    server->CloseAbruptly("ME_CTR");
    ASSERT_TRUE(Pump([&] { return !manager->IsConnected(); }));
    EXPECT_EQ(Shown(), std::vector<std::string>{
                           "error: The connection to the server was lost: Connection reset by peer."});
}

struct ATISRow {
    const char* name;
    const char* atis;
    bool atcInfo;
    const char* voiceChannel;
    const char* logoffTime;
    std::vector<std::string> lines;
    std::vector<std::string> messages;
};

TEST_F(NetworkManagerTest, ATISReply) {
    const std::string ten = "1|2|3|4|5|6|7|8|9|10";
    const std::string eleven = ten + "|11";
    world.text.aliases[".rwy"] = "RWY 27L";
    const ATISRow rows[] = {
        {"ten lines",
         ten.c_str(),
         true,
         "",
         "",
         {"$CRME_CTR:XY_APP:ATIS:T:1", "$CRME_CTR:XY_APP:ATIS:T:2", "$CRME_CTR:XY_APP:ATIS:T:3",
          "$CRME_CTR:XY_APP:ATIS:T:4", "$CRME_CTR:XY_APP:ATIS:T:5", "$CRME_CTR:XY_APP:ATIS:T:6",
          "$CRME_CTR:XY_APP:ATIS:T:7", "$CRME_CTR:XY_APP:ATIS:T:8", "$CRME_CTR:XY_APP:ATIS:T:9",
          "$CRME_CTR:XY_APP:ATIS:T:10", "$CRME_CTR:XY_APP:ATIS:E:10"},
         {}},
        {"eleven lines", eleven.c_str(), true, "", "", {}, {"error: ATIS contains too many lines!"}},
        {"eleven lines, no ATCINFO",
         eleven.c_str(),
         false,
         "",
         "",
         {},
         {"error: ATIS contains too many lines!"}},
        {"voice room, logoff time, aliases",
         "EGLL INFO A|.rwy IN USE",
         true,
         "voice.example.net/egll_app",
         "2200z",
         {"$CRME_CTR:XY_APP:ATIS:V:voice.example.net/egll_app", "$CRME_CTR:XY_APP:ATIS:T:EGLL INFO A",
          "$CRME_CTR:XY_APP:ATIS:T:RWY 27L IN USE", "$CRME_CTR:XY_APP:ATIS:Z:2200z",
          "$CRME_CTR:XY_APP:ATIS:E:4"},
         {}},
        {"voice-room variables removed, colons blanked",
         "VOICE $myrw ONLY|$mypvtrwQNH:1013|$my$myrwrw",
         true,
         "",
         "",
         {"$CRME_CTR:XY_APP:ATIS:T:VOICE  ONLY", "$CRME_CTR:XY_APP:ATIS:T:QNH 1013",
          "$CRME_CTR:XY_APP:ATIS:T:", "$CRME_CTR:XY_APP:ATIS:E:3"},
         {}},
        {"alias loop leaves the line out",
         "A|.loop|B",
         true,
         "",
         "",
         {"$CRME_CTR:XY_APP:ATIS:T:A", "$CRME_CTR:XY_APP:ATIS:T:B", "$CRME_CTR:XY_APP:ATIS:E:2"},
         {"error: Error parsing alias within ATIS. It may contain an alias loop."}},
        {"empty ATIS", "", true, "", "", {"$CRME_CTR:XY_APP:ATIS:E:0"}, {}},
        {"no ATCINFO: private messages, colons kept, no voice room or logoff",
         "EGLL INFO A|.rwy QNH: 1013|.loop",
         false,
         "voice.example.net/egll_app",
         "2200z",
         {"#TMME_CTR:XY_APP:EGLL INFO A", "#TMME_CTR:XY_APP:RWY 27L QNH: 1013"},
         {"error: Error parsing alias within ATIS. It may contain an alias loop."}},
    };
    for (const ATISRow& row : rows) {
        SCOPED_TRACE(row.name);
        world.settings.strings["ATIS"] = row.atis;
        manager->SetServerCapability("ATCINFO", row.atcInfo ? "1" : "0");
        world.tools.primaryVoiceChannel = row.voiceChannel;
        manager->SetLogoffTime(row.logoffTime);
        world.log.Clear();
        world.text.contexts.clear();
        const size_t mark = server->Received("ME_CTR").size();
        manager->SendATISReply("XY_APP");
        EXPECT_EQ(Flush(mark), row.lines);
        EXPECT_EQ(world.log.lines, row.messages);
        // Variables describe the station that asked.
        for (const std::string& context : world.text.contexts) EXPECT_EQ(context, "XY_APP");
    }
}

TEST_F(NetworkManagerTest, ATISReplyNeedsTheServersATCINFO) {
    world.settings.strings["ATIS"] = "EGLL INFO A";
    manager->OnConnected();  // as before the server's "CAPS" answer
    const size_t mark = server->Received("ME_CTR").size();
    manager->SendATISReply("XY_APP");  // capabilities not announced yet
    manager->SetServerCapability("ATCINFO", "1");
    manager->SendATISReply("XY_APP");
    manager->OnConnected();  // a new connection forgets them
    manager->SendATISReply("XY_APP");
    const std::vector<std::string> expected = {"#TMME_CTR:XY_APP:EGLL INFO A",
                                               "$CRME_CTR:XY_APP:ATIS:T:EGLL INFO A",
                                               "$CRME_CTR:XY_APP:ATIS:E:1", "#TMME_CTR:XY_APP:EGLL INFO A"};
    EXPECT_EQ(Flush(mark), expected);
}

TEST_F(NetworkManagerTest, VoiceATISReply) {
    HalkSession& voice = manager->VoiceAtisSession();
    HalkLoginInfo info{"EGLL_ATIS", "Me Controller", 5};
    voice.SetConnectInfo("127.0.0.1", server->Port(), "1000001", "secret", info);
    ASSERT_TRUE(voice.Connect());
    ASSERT_TRUE(PumpUntil([&] {
        voice.Poll();
        auto names = server->LoggedIn();
        return std::find(names.begin(), names.end(), "EGLL_ATIS") != names.end();
    }));
    world.settings.strings["VoxATISServer"] = "voice.example.net";
    world.settings.strings["ATISMakerICAO"] = "EGLL";
    world.settings.strings["ATIS"] = "TEXT ATIS";
    world.tools.primaryVoiceChannel = "voice.example.net/egll_app";
    world.text.aliases[".rwy"] = "RWY 27L";
    const std::string eleven = "1|2|3|4|5|6|7|8|9|10|11";
    const ATISRow rows[] = {
        {"recorded ATIS",
         "HEATHROW INFO B|.rwy:$myrw",
         true,
         "",
         "",
         {"$CREGLL_ATIS:BAW1:ATIS:V:voice.example.net/EGLL_ATIS", "$CREGLL_ATIS:BAW1:ATIS:T:HEATHROW INFO B",
          "$CREGLL_ATIS:BAW1:ATIS:T:RWY 27L ", "$CREGLL_ATIS:BAW1:ATIS:E:3"},
         {}},
        {"eleven lines", eleven.c_str(), true, "", "", {}, {"error: Voice ATIS contains too many lines!"}},
        {"no ATCINFO",
         "HEATHROW INFO B|.rwy",
         false,
         "",
         "",
         {"#TMEGLL_ATIS:BAW1:HEATHROW INFO B", "#TMEGLL_ATIS:BAW1:RWY 27L"},
         {}},
    };
    for (const ATISRow& row : rows) {
        SCOPED_TRACE(row.name);
        world.text.voiceATISText = row.atis;
        manager->SetServerCapability("ATCINFO", row.atcInfo ? "1" : "0");
        world.log.Clear();
        const size_t controllerMark = server->Received("ME_CTR").size();
        const size_t mark = server->Received("EGLL_ATIS").size();
        manager->SendVoiceATISReply("BAW1");
        EXPECT_EQ(Flush(voice, "EGLL_ATIS", mark), row.lines);
        EXPECT_EQ(world.log.lines, row.messages);
        EXPECT_TRUE(Flush(controllerMark).empty());  // nothing from the controller session
    }
}
}  // namespace

namespace {

TEST(NetworkRecords, ConvertToTheStateShapes) {
    PilotPositionRecord pilot;
    pilot.latitude = 51.5;
    pilot.longitude = -0.5;
    pilot.altitude = 18000;
    pilot.altitudeDifference = 250;
    pilot.squawk = 7700;
    pilot.transponderMode = 'N';
    const AircraftReport report = ToAircraftReport(pilot);
    EXPECT_EQ(report.altitudeDifference, 250);
    EXPECT_EQ(report.squawk, 7700);
    EXPECT_DOUBLE_EQ(report.longitude, -0.5);

    ATCPositionRecord atc{120500, 5, 150, 7, 40.5, -74.25, 0};
    const ControllerReport controller = ToControllerReport(atc);
    EXPECT_EQ(controller.visRange, 150);
    EXPECT_EQ(controller.rating, 7);

    FlightPlanPacket packet;
    packet.flightRules = 'V';
    packet.aircraftType = "H/B744/F";
    packet.route = "DCT";
    const TarqFlightPlanRecord plan = ToFlightPlanRecord(packet);
    EXPECT_EQ(plan.bareType, "B744");
    EXPECT_EQ(plan.aircraftType, "H/B744/F");
    EXPECT_TRUE(plan.departure.empty());
    EXPECT_FALSE(plan.placeholder);
}

}  // namespace
