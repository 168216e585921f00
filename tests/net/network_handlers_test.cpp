// The network manager against the local test server: the connect sequence
// and its failures, the timers on a fake clock, the valid-controller flag,
// every packet kind to its effect, the rejection matrix without busy-reply
// loops, malformed lines, the voice-ATIS session, and the record conversions.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "../atc/atc_fakes.h"
#include "atc/aircraft_db.h"
#include "atc/controller_db.h"
#include "net/halk_session.h"
#include "net/network_manager.h"
#include "net/network_records.h"
#include "recording_owners.h"
#include "server_fixture.h"

namespace {

// Members are public: the tables' check functions reach into the fixture.
class HandlersTest : public ServerFixture {
public:
    using ServerFixture::server;

    void SetUp() override {}

    // Server first, then a manager whose sessions and timers run on the world's clock.
    void Start(TestServerOptions options = {}) {
        StartServer(std::move(options));
        world.settings.strings["Callsign"] = "ME_CTR";
        world.settings.strings["RealName"] = "Me Controller";
        world.settings.strings["CID"] = "1000001";
        world.settings.strings["Password"] = "secret";
        world.settings.strings["Server"] = "LOCAL";
        world.settings.strings["SoundConnect"] = "connect.wav";
        world.settings.strings["SoundDisconnect"] = "disconnect.wav";
        world.settings.ints["Rating"] = 5;
        AtcServices services = world.Services();
        auto session = HalkSession::Create("Tarq 1.2.3", 1, 2, "", 100, TarqTestClient::kClientId, kKey,
                                           TarqNetworkManager::kControllerCapabilities, &world.clock);
        auto voice = HalkSession::Create("Tarq 1.2.3", 1, 2, "", 100, TarqTestClient::kClientId, kKey,
                                         TarqNetworkManager::kVoiceAtisCapabilities, &world.clock);
        manager = std::make_unique<TarqNetworkManager>(services, owners.All(), std::move(session), std::move(voice));
        manager->SetAircraftDB(&world.aircraft);
        manager->SetControllerDB(&world.controllers);
        manager->AddServer("LOCAL", "127.0.0.1:" + std::to_string(server->Port()));
    }

    bool Pump(const std::function<bool()>& done, int timeoutMs = 5000) {
        return PumpUntil(
            [&] {
                manager->OnTimer();
                return done();
            },
            timeoutMs);
    }

    void ConnectAndSettle() {
        manager->Connect();
        ASSERT_TRUE(Pump([&] { return manager->IsConnected() && manager->IsValidATC(); }));
        Flush();
        world.log.Clear();
    }

    // Lines the server got from the manager since mark; waits until all are in.
    std::vector<std::string> Flush(size_t mark = SIZE_MAX) {
        if (mark == SIZE_MAX) mark = server->Received("ME_CTR").size();
        const std::string back = "#TMME_CTR:SERVER:flush";
        manager->ControllerSession().Send(back + "\r\n");
        EXPECT_TRUE(Pump([&] {
            auto lines = server->Received("ME_CTR");
            return std::find(lines.begin() + static_cast<long>(std::min(mark, lines.size())), lines.end(), back) !=
                   lines.end();
        }));
        std::vector<std::string> out;
        auto lines = server->Received("ME_CTR");
        for (size_t i = mark; i < lines.size() && lines[i] != back; ++i) out.push_back(lines[i]);
        return out;
    }

    // Sends lines as the server and waits until the manager has handled them.
    void Deliver(const std::string& lines) {
        server->Inject("ME_CTR", lines + "#TMSERVER:ME_CTR:***delivered\r\n");
        ASSERT_TRUE(Pump([&] {
            return std::find(world.log.lines.begin(), world.log.lines.end(), "chat: SERVER ***delivered") !=
                   world.log.lines.end();
        }));
        world.log.lines.erase(std::find(world.log.lines.begin(), world.log.lines.end(), "chat: SERVER ***delivered"));
    }

    AtcWorld world;
    RecordingOwners owners{world.log};
    std::unique_ptr<TarqNetworkManager> manager;
};

TEST_F(HandlersTest, ConnectSequence) {
    Start();
    manager->Connect();
    EXPECT_FALSE(manager->IsConnected());
    ASSERT_TRUE(Pump([&] { return manager->IsConnected(); }));
    const std::vector<std::string> seen = world.log.lines;
    const std::vector<std::string> expected = {
        "end land lines", "close voice rooms", "info: Connecting to network...", "titles and menus",
        "sound: connect.wav", "info: Connected.", "metars again", "display settings", "titles and menus"};
    EXPECT_EQ(seen, expected);
    // Connected means the login went out after the server's request.
    std::vector<std::string> after = Flush(0);
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[0].rfind("$IDME_CTR:SERVER:", 0), 0u);
    EXPECT_EQ(after[1], "#AAME_CTR:SERVER:Me Controller:1000001:secret:5:100");
    after.erase(after.begin(), after.begin() + 2);
    const std::vector<std::string> connectLines = {"%ME_CTR:99998:0:0:5:0.000000:0.000000:0", "$CQME_CTR:SERVER:IP",
                                                   "$CQME_CTR:SERVER:CAPS", "$CQME_CTR:SERVER:ATC:ME_CTR"};
    EXPECT_EQ(after, connectLines);
    // The answers: public address, capabilities, the valid flag.
    ASSERT_TRUE(Pump([&] { return manager->IsValidATC(); }));
    EXPECT_EQ(manager->GetPublicIP(), "127.0.0.1");
    EXPECT_EQ(manager->GetServerCapability("SECPOS"), "1");
    EXPECT_EQ(manager->GetLastMainState(), HalkSession::kConnected);

    world.log.Clear();
    manager->Disconnect();
    ASSERT_TRUE(Pump([&] { return manager->GetLastMainState() == HalkSession::kClosed; }));
    EXPECT_FALSE(manager->IsValidATC());
    EXPECT_NE(std::find(world.log.lines.begin(), world.log.lines.end(), "info: Disconnected."), world.log.lines.end());
    EXPECT_NE(std::find(world.log.lines.begin(), world.log.lines.end(), "sound: disconnect.wav"),
              world.log.lines.end());
}

TEST_F(HandlersTest, ConnectFailures) {
    struct Row {
        const char* name;
        std::function<void(TestServerOptions&)> server;
        std::function<void(HandlersTest&)> setup;
        std::vector<std::string> errors;
        bool whileConnecting = false;  // the setup runs once the connect has begun
    };
    const Row rows[] = {
        {"unknown server name", [](TestServerOptions&) {},
         [](HandlersTest& t) { t.world.settings.strings["Server"] = "NOWHERE"; },
         {"error: Unknown server NOWHERE: it has no address."}},
        {"a name that resolves to nothing", [](TestServerOptions&) {},
         [](HandlersTest& t) { t.manager->AddServer("LOCAL", "no-such-host.invalid"); },
         {"error: Could not find the address of server LOCAL."}},
        {"refused login", [](TestServerOptions& o) { o.passwords["1000001"] = "other"; }, [](HandlersTest&) {},
         {"error: Invalid CID/password"}},
        {"server that never asks to identify", [](TestServerOptions& o) { o.identify = false; },
         [](HandlersTest& t) {
             // The socket connects, then the fake clock runs past the limit.
             ASSERT_TRUE(t.Pump([&] { return t.manager->ControllerSession().GetState() == HalkSession::kConnected; }));
             t.world.clock.Advance(HalkSession::kIdentifyTimeoutMs + 1);
         },
         {"error: The server did not ask for identification within 30 seconds.", "error: Connection failed."},
         true},
        {"an error line during the login, whatever its code",
         [](TestServerOptions& o) { o.identify = false; },
         [](HandlersTest& t) {
             ASSERT_TRUE(t.Pump(
                 [&] { return t.manager->ControllerSession().GetState() == HalkSession::kConnected; }));
             ASSERT_TRUE(t.Pump([&] { return t.server->ConnectionCount() == 1; }));
             ASSERT_TRUE(t.server->Inject("", "$ERserver:unknown:4::Callsign not allowed here\r\n"));
         },
         {"error: Callsign not allowed here"}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestServerOptions options;
        row.server(options);
        Start(options);
        if (!row.whileConnecting) row.setup(*this);
        manager->Connect();
        if (row.whileConnecting) row.setup(*this);
        auto errors = [&] {
            std::vector<std::string> e;
            for (const std::string& l : world.log.lines)
                if (l.rfind("error: ", 0) == 0) e.push_back(l);
            return e;
        };
        Pump(
            [&] {
                const int state = manager->ControllerSession().GetState();
                return errors().size() >= row.errors.size() && state != HalkSession::kConnecting &&
                       state != HalkSession::kConnected;
            },
            3000);
        EXPECT_EQ(errors(), row.errors);
        EXPECT_FALSE(manager->IsConnected());
        // Never left half-open.
        EXPECT_TRUE(PumpUntil([&] { return server->ConnectionCount() == 0; }));
        manager.reset();
        world.log.Clear();
    }
}

TEST_F(HandlersTest, TimersOnAFakeClock) {
    Start();
    ConnectAndSettle();
    world.scope.centres[1] = {-73.5, 40.5};
    world.scope.centres[3] = {-74.25, 41};
    struct Row {
        const char* name;
        int advanceSeconds;
        const char* secpos;
        std::vector<std::string> lines;
    };
    const std::string position = "%ME_CTR:99998:0:0:5:0.000000:0.000000:0";
    const std::vector<std::string> centres = {"'ME_CTR:0:40.500000:-73.500000", "'ME_CTR:2:41.000000:-74.250000"};
    const Row rows[] = {
        {"sent when the capabilities came; forced again, none at (0, 0)", 0, "1", centres},
        {"15 s: nothing", 15, "1", {}},
        {"16 s: the position", 1, "1", {position}},
        {"60 s after the centres: not yet", 44, "1", {position}},
        {"61 s: centres", 1, "1", centres},
        {"no SECPOS: no centres", 61, "0", {position}},
        {"SECPOS back, forced update", 0, "1", centres},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        manager->SetServerCapability("SECPOS", row.secpos);
        if (std::string(row.name).find("forced") != std::string::npos) manager->ForceVisibilityUpdate();
        world.clock.Advance(static_cast<uint64_t>(row.advanceSeconds) * 1000);
        const size_t mark = server->Received("ME_CTR").size();
        manager->OnTimer();
        EXPECT_EQ(Flush(mark), row.lines);
    }
}

TEST_F(HandlersTest, ValidControllerFlag) {
    Start();
    ConnectAndSettle();
    EXPECT_TRUE(manager->IsValidATC());
    struct Row {
        const char* line;
        bool valid;
    };
    const Row rows[] = {
        {"$CRSERVER:ME_CTR:ATC:N:OTHER_CTR\r\n", true},
        {"$CRSERVER:ME_CTR:ATC:N:ME_CTR\r\n", false},
        {"$CRSERVER:ME_CTR:ATC:Y:me_ctr\r\n", true},
        {"$CRSERVER:ME_CTR:ATC:Y\r\n", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        Deliver(row.line);
        EXPECT_EQ(manager->IsValidATC(), row.valid);
    }
    manager->Disconnect();
    ASSERT_TRUE(Pump([&] { return !manager->IsConnected(); }));
    EXPECT_FALSE(manager->IsValidATC());
}

// Each packet kind, as a server writes it, to its effect.
TEST_F(HandlersTest, EveryPacketKind) {
    Start();
    ConnectAndSettle();
    owners.rx = {118700, 121500};
    ControllerReport report;
    report.frequency = 120800;
    world.controllers.UpdateFromPositionReport("LGA_APP", report);
    world.aircraft.UpdatePilotPosition("DAL2", AtcWorld::Report(40.7, -73.9));
    world.aircraft.SetTrackingController("DAL2", "LGA_APP");
    world.log.Clear();

    using Check = std::function<void(HandlersTest&)>;
    struct Row {
        const char* name;
        std::string lines;
        std::vector<std::string> log;  // owner and message lines, in order (others ignored)
        Check check;                   // runs before the log is compared, so it may wait
        Check before = nullptr;
    };
    auto logged = [](const std::vector<std::string>& all) {
        std::vector<std::string> kept;
        for (const std::string& l : all) {
            if (l.rfind("RefreshTarget", 0) == 0 || l.rfind("sound:", 0) == 0 || l.rfind("SendWhoHas", 0) == 0 ||
                l.rfind("RebuildChatGroups", 0) == 0 || l.rfind("RemoveSeparationLinks", 0) == 0 ||
                l.rfind("RebuildAircraftList", 0) == 0 || l.rfind("Request", 0) == 0 || l.rfind("SendCCPID", 0) == 0 ||
                l.rfind("ShowFlightPlan", 0) == 0 || l.rfind("AddSelcal", 0) == 0 || l.rfind("RemoveSelcal", 0) == 0 ||
                l.rfind("RemoveStrip", 0) == 0)
                continue;
            kept.push_back(l);
        }
        return kept;
    };
    const Row rows[] = {
        {"pilot position", "@N:AAL10:2345:1:40.61:-73.7:3000:180:0:0\r\n", {},
         [](HandlersTest& t) { EXPECT_TRUE(t.world.aircraft.HasAircraft("AAL10")); }},
        {"controller position", "%JFK_TWR:19100:4:30:3:40.64:-73.78:0\r\n", {"RebuildControllerList"},
         [](HandlersTest& t) { EXPECT_NE(t.world.controllers.GetController("JFK_TWR"), nullptr); }},
        {"radio message on a frequency listened to", "#TMDAL2:@18700&@35000:ready for departure\r\n",
         {"radio: DAL2 118700 ready for departure"}, nullptr},
        {"radio message on a frequency nobody listens to", "#TMDAL2:@22800:on the wrong frequency\r\n", {},
         nullptr},
        {"broadcast", "#TMSUP1:*:network down soon\r\n", {"broadcast: SUP1 network down soon"}, nullptr},
        {"wallop", "#TMpilot9:*S:help\r\n", {"wallop: PILOT9 help"}, nullptr},
        {"private message", "#TMLGA_APP:ME_CTR:hello\r\n", {"chat: LGA_APP hello"}, nullptr},
        {"ping reply", "$POLGA_APP:ME_CTR:" + std::to_string(AtcWorld::kStart - 3) + "\r\n",
         {"info: Ping reply from LGA_APP: 3 seconds."}, nullptr},
        {"flight plan, cruise altitude normalised",
         "$FPDAL2:*A:I:B738:450:KLGA:1200:1200:F310:KATL:2:10:3:0:KCLT::DCT\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetFlightPlan("DAL2").cruiseAltitude, "31000"); }},
        {"handoff offer", "$HOLGA_APP:ME_CTR:DAL2\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetIncomingHandoff("DAL2"), "LGA_APP"); }},
        {"handoff refused", "#PCLGA_APP:ME_CTR:CCP:HC:DAL2\r\n", {},
         [](HandlersTest& t) { EXPECT_FALSE(t.world.aircraft.HasIncomingHandoff("DAL2")); }},
        {"handoff accepted", "$HAJFK_TWR:ME_CTR:DAL2\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetTrackingController("DAL2"), "JFK_TWR"); }},
        {"handoff accepted, told to all controllers", "$CQLGA_APP:@94835:HT:DAL2:JFK_TWR\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetTrackingController("DAL2"), "LGA_APP"); }},
        {"METAR", "$ARSERVER:ME_CTR:METAR:KJFK 101251Z 31012KT\r\n", {"metar: KJFK 101251Z 31012KT"}, nullptr},
        {"scratchpad", "$CQLGA_APP:@94835:SC:DAL2:RV\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetScratchpad("DAL2"), "RV"); }},
        {"voice type", "$CQLGA_APP:@94835:VT:DAL2:r\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetVoiceType("DAL2"), 2); }},
        {"beacon code", "$CQLGA_APP:@94835:BC:DAL2:4321\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetAssignedSquawk("DAL2"), 4321); }},
        {"temporary altitude", "$CQLGA_APP:@94835:TA:DAL2:7000\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetTemporaryAltitude("DAL2"), 7000); }},
        {"final altitude changes nothing", "$CQLGA_APP:@94835:FA:DAL2:9000\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetFlightPlan("DAL2").cruiseAltitude, "31000"); }},
        {"track taken", "$CQJFK_TWR:@94835:IT:DAL2\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetTrackingController("DAL2"), "JFK_TWR"); }},
        {"track dropped", "$CQJFK_TWR:@94835:DR:DAL2\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetTrackingController("DAL2"), ""); }},
        {"track held, told directly", "#PCLGA_APP:ME_CTR:CCP:IH:DAL2\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetTrackingController("DAL2"), "LGA_APP"); }},
        {"who has my track: its data goes back", "$CQLGA_APP:@94835:WH:DAL2\r\n",
         {"SendTrackData LGA_APP DAL2"}, nullptr,
         [](HandlersTest& t) { t.world.aircraft.SetTrackingController("DAL2", "ME_CTR"); }},
        {"DP notice changes nothing", "#PCJFK_TWR:ME_CTR:CCP:DP:DAL2\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.world.aircraft.GetTrackingController("DAL2"), "ME_CTR"); }},
        {"pointout", "#PCJFK_TWR:ME_CTR:CCP:PT:DAL2\r\n", {"info: Pointout from JFK_TWR for DAL2."},
         [](HandlersTest& t) { EXPECT_TRUE(t.world.aircraft.IsPointedOut("DAL2")); }},
        {"break", "$CQLGA_APP:@94835:BY\r\n", {"RebuildControllerList"},
         [](HandlersTest& t) { EXPECT_TRUE(t.world.controllers.GetController("LGA_APP")->IsRequestingBreak()); }},
        {"help", "$CQLGA_APP:@94835:HLP:need a hand\r\n", {"RebuildControllerList", "controller info LGA_APP"},
         [](HandlersTest& t) { EXPECT_EQ(t.world.controllers.GetHelpMessage("LGA_APP"), "need a hand"); }},
        {"no more help", "$CQLGA_APP:@94835:NOHLP\r\n", {"RebuildControllerList", "controller info LGA_APP"},
         [](HandlersTest& t) { EXPECT_FALSE(t.world.controllers.GetHelpFlag("LGA_APP")); }},
        {"pushed strip", "#PCLGA_APP:ME_CTR:CCP:ST:DAL2:1:B738:FL310\r\n",
         {"info: Received flight strip for DAL2 from LGA_APP.", "strip: DAL2 1 B738 FL310"}, nullptr},
        {"pushed strip while ignoring them", "#PCLGA_APP:ME_CTR:CCP:ST:DAL2:1:B738\r\n",
         {"info: Ignored flight strip for DAL2 pushed from LGA_APP."}, nullptr,
         [](HandlersTest& t) { t.world.settings.bools["IgnorePushedStrips"] = true; }},
        {"real name of a controller", "$CRLGA_APP:ME_CTR:RN:Lee Ga:lga.sct2:4\r\n",
         {"chat title LGA_APP", "RebuildControllerList"},
         [](HandlersTest& t) { EXPECT_EQ(t.world.controllers.GetController("LGA_APP")->GetRealName(), "Lee Ga"); }},
        {"real name of a pilot", "$CRDAL2:ME_CTR:RN:Pat Smith::1\r\n", {},
         [](HandlersTest& t) {
             ASSERT_NE(t.world.aircraft.GetAircraft("DAL2"), nullptr);
             EXPECT_EQ(t.world.aircraft.GetAircraft("DAL2")->GetRealName(), "Pat Smith");
         }},
        {"frequency reply", "$CRLGA_APP:ME_CTR:C?:120.800\r\n", {"info: Frequency for LGA_APP is 120.800"}, nullptr},
        {"server version reply says nothing", "$CRDAL2:ME_CTR:SV:Some server 2.1\r\n", {}, nullptr},
        {"ATIS lines", "$CRLGA_APP:ME_CTR:ATIS:V:voice/lga\r\n$CRLGA_APP:ME_CTR:ATIS:T:INFO A 12:00\r\n"
                       "$CRLGA_APP:ME_CTR:ATIS:Z:2200z\r\n$CRLGA_APP:ME_CTR:ATIS:E:3\r\n",
         {"chat: LGA_APP Voice URL: voice/lga", "chat: LGA_APP INFO A 12:00",
          "chat: LGA_APP Estimated Logoff Time: 2200z"}, nullptr},
        {"capabilities from another sender change nothing", "$CRLGA_APP:ME_CTR:CAPS:SECPOS=0\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.manager->GetServerCapability("SECPOS"), "1"); }},
        {"capabilities from the server, in any case", "$CRserver:ME_CTR:CAPS:SECPOS=0:NEWKEY=7\r\n", {},
         [](HandlersTest& t) { EXPECT_EQ(t.manager->GetServerCapability("NEWKEY"), "7"); }},
        {"plane information", "#SBDAL2:ME_CTR:PI:GEN:EQUIPMENT=B738:AIRLINE=DAL\r\n", {},
         [](HandlersTest& t) {
             ModelInfoRecord info;
             ASSERT_TRUE(t.world.aircraft.GetModelInfo("DAL2", info));
             EXPECT_EQ(info.airline, "DAL");
         }},
        {"other #SB kinds are ignored", "#SBDAL2:ME_CTR:PIR\r\n#SBDAL2:ME_CTR:FSIPI:0:1:B738\r\n", {},
         [](HandlersTest& t) {
             ModelInfoRecord info;
             ASSERT_TRUE(t.world.aircraft.GetModelInfo("DAL2", info));
             EXPECT_EQ(info.airline, "DAL");
         }},
        {"#PC lines that are not client-to-client are ignored", "#PCLGA_APP:ME_CTR:XYZ:1:2\r\n", {}, nullptr},
        {"no such callsign, looked up quietly", "$ERserver:ME_CTR:8:XYZ1:No such callsign\r\n", {}, nullptr},
        {"error 7 names its parameter", "$ERSERVER:ME_CTR:007:KZZZ:No weather profile\r\n",
         {"error: No weather profile: KZZZ"}, nullptr},
        {"error 9 says nothing", "$ERSERVER:ME_CTR:9::No flight plan\r\n", {}, nullptr},
        {"pilot left", "#DPAAL10:1000001\r\n", {},
         [](HandlersTest& t) { EXPECT_FALSE(t.world.aircraft.HasAircraft("AAL10")); }},
        {"controller left", "#DAJFK_TWR:SERVER\r\n", {"RebuildControllerList"},
         [](HandlersTest& t) { EXPECT_EQ(t.world.controllers.GetController("JFK_TWR"), nullptr); }},
        {"line ending in LF alone", "#TMLGA_APP:ME_CTR:just LF\n", {"chat: LGA_APP just LF"}, nullptr},
        {"killed", "$!!SERVER:ME_CTR:behave\r\n",
         {"error: You were forcibly disconnected from the network. Reason: behave", "RebuildControllerList",
          "voice check boxes"},
         [](HandlersTest& t) { EXPECT_FALSE(t.world.aircraft.HasAircraft("DAL2")); }},
        // Last: the sign-off goes out at once and the server then closes.
        {"an error that ends the connection", "$ERserver:ME_CTR:13::Certificate suspended\r\n",
         {"error: Certificate suspended", "RebuildControllerList", "voice ATIS off the air",
          "ATIS connect button", "voice check boxes", "info: Disconnected.", "titles and menus"},
         [](HandlersTest& t) {
             ASSERT_TRUE(t.Pump([&] { return t.manager->GetLastMainState() == HalkSession::kClosed; }));
             auto sent = t.server->Received("ME_CTR");
             EXPECT_NE(std::find(sent.begin(), sent.end(), "#DAME_CTR:SERVER"), sent.end());
         }},
    };
    owners.quietLookup = "XYZ1";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.before) row.before(*this);
        world.log.Clear();
        Deliver(row.lines);
        if (row.check) row.check(*this);
        EXPECT_EQ(logged(world.log.lines), row.log);
    }
}

TEST_F(HandlersTest, PendingFindCentresTheScope) {
    Start();
    ConnectAndSettle();
    manager->SetPendingFindCallsign("dal2");
    Deliver("#TMDAL2:ME_CTR:CID=1 Tarq IP=1.2.3.4 SYS_UID=0 FSVER= LT=40.500000 LO=-73.250000 AL=3000 Pat\r\n");
    const std::vector<std::string> expected = {
        "centre 40.500000 -73.250000", "chat: DAL2 CID=1 Tarq IP=1.2.3.4 SYS_UID=0 FSVER= LT=40.500000 LO=-73.250000 AL=3000 Pat"};
    EXPECT_EQ(world.log.lines, expected);
    EXPECT_EQ(manager->GetPendingFindCallsign(), "");
}

// ".ss" waits for a plan: its arrival brings the editor back to it once,
// even when the editor has moved on; other plans leave the editor alone.
TEST_F(HandlersTest, TheAwaitedFlightPlanIsShownOnceWhenItArrives) {
    Start();
    ConnectAndSettle();
    const std::string plan = ":*A:I:B738:450:KLGA:1200:1200:F310:KATL:2:10:3:0:KCLT::DCT\r\n";
    auto shown = [&] {
        std::vector<std::string> lines;
        for (const std::string& l : world.log.lines)
            if (l.rfind("ShowFlightPlan ", 0) == 0) lines.push_back(l);
        world.log.Clear();
        return lines;
    };
    manager->SetAwaitedFlightPlan("DAL2");
    world.tools.editorCallsign = "AAL10";
    Deliver("$FPAAL10" + plan);
    EXPECT_EQ(shown(), std::vector<std::string>{"ShowFlightPlan AAL10"}) << "the database's own refresh only";
    EXPECT_EQ(manager->GetAwaitedFlightPlan(), "DAL2");

    Deliver("$FPdal2" + plan);
    EXPECT_EQ(shown(), std::vector<std::string>{"ShowFlightPlan dal2"});
    EXPECT_EQ(manager->GetAwaitedFlightPlan(), "");

    world.tools.editorCallsign = "AAL10";
    Deliver("$FPDAL2" + plan);
    EXPECT_EQ(shown(), std::vector<std::string>{}) << "a later plan of the same aircraft is not awaited";

    manager->SetAwaitedFlightPlan("DAL2");
    world.tools.editorCallsign = "DAL2";
    Deliver("$FPDAL2" + plan);
    EXPECT_EQ(shown(), std::vector<std::string>{"ShowFlightPlan DAL2"}) << "shown once, not twice";
}

TEST_F(HandlersTest, AReplyThatStallsTheFindSearchIsNoFind) {
    Start();
    ConnectAndSettle();
    manager->SetPendingFindCallsign("dal2");
    std::string stall;
    while (stall.size() < 15000) stall += "LT=";
    Deliver("#TMDAL2:ME_CTR:" + stall + "\r\n");
    ASSERT_EQ(world.log.lines.size(), 1u);
    EXPECT_EQ(world.log.lines[0], "chat: DAL2 " + stall);
    EXPECT_EQ(manager->GetPendingFindCallsign(), "dal2") << "the next reply may still find it";
}

TEST_F(HandlersTest, QueriesAndIdentificationAreAnswered) {
    Start();
    ConnectAndSettle();
    world.settings.strings["ATIS"] = "LGA INFO A";
    manager->SetBreakRequest(true);
    manager->SetHelpRequest(true, "traffic");
    Flush();
    const size_t mark = server->Received("ME_CTR").size();
    Deliver("$CQLGA_APP:ME_CTR:RN\r\n$CQLGA_APP:ME_CTR:ATIS\r\n$CQLGA_APP:ME_CTR:C?\r\n#PCLGA_APP:ME_CTR:CCP:ID\r\n");
    const std::vector<std::string> expected = {"$CRME_CTR:LGA_APP:RN:Me Controller:ny.sct2:5",
                                               "$CRME_CTR:LGA_APP:ATIS:T:LGA INFO A",
                                               "$CRME_CTR:LGA_APP:ATIS:E:1",
                                               "#PCME_CTR:LGA_APP:CCP:DI",
                                               "$CQME_CTR:@94835:BY",
                                               "$CQME_CTR:@94835:HLP:traffic"};
    EXPECT_EQ(Flush(mark), expected);
}

TEST_F(HandlersTest, RejectionMatrix) {
    Start();
    ConnectAndSettle();
    ControllerReport report;
    report.frequency = 120800;
    world.controllers.UpdateFromPositionReport("LGA_APP", report);
    struct Row {
        const char* name;
        int mode;  // 0 none, 1 private, 2 all
        const char* line;
        bool delivered;
    };
    const Row rows[] = {
        {"nothing rejected", 0, "#TMDAL2:ME_CTR:hi\r\n", true},
        {"pilot, rejecting private", 1, "#TMDAL2:ME_CTR:hi\r\n", false},
        {"known controller, rejecting private", 1, "#TMLGA_APP:ME_CTR:hi\r\n", true},
        {"known controller, rejecting all", 2, "#TMLGA_APP:ME_CTR:hi\r\n", false},
        {"'***' always arrives", 2, "#TMDAL3:ME_CTR:***urgent\r\n", true},
        {"the server always arrives", 2, "#TMserver:ME_CTR:notice\r\n", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.mode == 0) manager->SetRejectPrivate(false, "");
        if (row.mode == 1) manager->SetRejectPrivate(true, "busy now");
        if (row.mode == 2) manager->SetRejectAllPrivate("busy now");
        world.log.Clear();
        world.clock.Advance(120000);  // no receiver was written to recently
        const size_t mark = server->Received("ME_CTR").size();
        Deliver(row.line);
        const bool chat = std::any_of(world.log.lines.begin(), world.log.lines.end(),
                                      [](const std::string& l) { return l.rfind("chat: ", 0) == 0; });
        EXPECT_EQ(chat, row.delivered);
        const std::vector<std::string> sent = Flush(mark);
        const bool busy = std::any_of(sent.begin(), sent.end(),
                                      [](const std::string& l) { return l.find(":busy now") != std::string::npos; });
        EXPECT_EQ(busy, !row.delivered);
    }
}

// Two clients that both reject private messages: one message, one busy
// reply, and no answer to the answer.
TEST_F(HandlersTest, BusyRepliesAreNotAnswered) {
    Start();
    ConnectAndSettle();
    manager->SetRejectAllPrivate("I am busy");
    TarqTestClient& other = Login("LGA_APP");
    // The other client answers every private message with its own busy reply.
    other.Session().SetPrivateMessageCallback(
        [](HalkSession* session, const char* from, const char*, const char*, void*) {
            session->SendTextMessage(from, "LGA is busy");
        },
        nullptr);
    const size_t mark = server->Received("ME_CTR").size();
    manager->SendTextMessage("LGA_APP", "hello");
    for (int i = 0; i < 20; ++i) Flush();
    std::vector<std::string> lines = ReceivedSince("ME_CTR", mark);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "#TMME_CTR:LGA_APP:hello"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "#TMME_CTR:LGA_APP:I am busy"), 0);
    EXPECT_EQ(manager->GetSuppressedBusyReplies(), 1);
    // A stranger who writes first does get the busy reply, once a minute at most.
    world.clock.Advance(61000);
    const size_t again = server->Received("ME_CTR").size();
    other.Session().SendTextMessage("ME_CTR", "are you there?");
    for (int i = 0; i < 20; ++i) Flush();
    lines = ReceivedSince("ME_CTR", again);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "#TMME_CTR:LGA_APP:I am busy"), 1);
}

TEST_F(HandlersTest, MalformedPositionLinesAreDroppedAndCounted) {
    Start();
    ConnectAndSettle();
    const int before = manager->GetMalformedLineCount();
    Deliver("@N:BAD1:1200:1:95:-73:3000:180:0:0\r\n"
            "@N:BAD2:1200:1:40:-73:lots:180:0:0\r\n"
            "@N:BAD3:1200\r\n"
            "%BAD_CTR:19100:9:30:3:40.64:-73.78:0\r\n"
            "@N:GOOD1:1200:1:40.123456789:-73.5:3000:180:0:0:extra:fields\r\n");
    EXPECT_EQ(manager->GetMalformedLineCount() - before, 3);  // the short line is refused by its field count
    EXPECT_FALSE(world.aircraft.HasAircraft("BAD1"));
    EXPECT_FALSE(world.aircraft.HasAircraft("BAD2"));
    EXPECT_EQ(world.controllers.GetController("BAD_CTR"), nullptr);
    EXPECT_TRUE(world.aircraft.HasAircraft("GOOD1"));
}

TEST_F(HandlersTest, PilotPositionsWaitForTheLogin) {
    TestServerOptions options;
    Result<Scenario> s = ParseScenario("PILOT DAL9 1200 3000 0 LOOP\nWAYPOINT 40.6 -73.8\n");
    ASSERT_TRUE(s);
    options.scenario = s.Value();
    Start(options);
    EXPECT_FALSE(manager->IsConnected());
    ConnectAndSettle();
    // The server sends its pilots as the login is accepted.
    EXPECT_TRUE(Pump([&] { return world.aircraft.HasAircraft("DAL9"); }));
}

TEST_F(HandlersTest, VoiceAtisSession) {
    Start();
    manager->ConnectVoiceAtis();  // not connected yet: nothing
    EXPECT_EQ(manager->VoiceAtisSession().GetState(), HalkSession::kIdle);
    ConnectAndSettle();
    manager->ConnectVoiceAtis();  // no "ATISMakerICAO": nothing
    EXPECT_EQ(manager->VoiceAtisSession().GetState(), HalkSession::kIdle);
    world.settings.strings["ATISMakerICAO"] = "KLGA";
    world.scope.namedPoints["KLGA"] = {-73.87, 40.78};
    world.settings.ints["VoxATISFreq"] = 127050;
    manager->ConnectVoiceAtis();
    ASSERT_TRUE(Pump([&] { return manager->IsVoiceAtisConnected(); }));
    EXPECT_NE(std::find(world.log.lines.begin(), world.log.lines.end(), "info: Voice ATIS connected."),
              world.log.lines.end());
    EXPECT_NE(std::find(world.log.lines.begin(), world.log.lines.end(), "ATIS connect button"),
              world.log.lines.end());
    TarqTestClient& pilot = Login("DAL2");
    pilot.Session().SendTextMessage("KLGA_ATIS", "hello?");
    pilot.Session().SendTextMessage("*", "all stations");
    pilot.Session().SendQuery(5, "KLGA_ATIS");
    ASSERT_TRUE(PumpUntil([&] {
        manager->OnTimer();
        return pilot.FindEvent("Reply|KLGA_ATIS|5|Me Controller|Vox ATIS for ME_CTR") >= 0;
    }));
    EXPECT_GE(pilot.FindEvent("PrivateMessage|KLGA_ATIS|DAL2|This is an ATIS-only connection provided by ME_CTR. "
                              "Your message will not be received."),
              0);
    auto atisLines = server->Received("KLGA_ATIS");
    EXPECT_EQ(std::count_if(atisLines.begin(), atisLines.end(),
                            [](const std::string& l) { return l.rfind("#TMKLGA_ATIS:DAL2:", 0) == 0; }),
              1);
    EXPECT_TRUE(std::any_of(atisLines.begin(), atisLines.end(),
                            [](const std::string& l) { return l == "%KLGA_ATIS:27050:4:0:5:40.780000:-73.870000:0"; }));

    // The server's kill and errors on the voice-ATIS session. Only the
    // disconnecting codes sign it off; a kill is the server's to end.
    struct Row {
        const char* name;
        const char* line;
        const char* error;
        bool signsOff;
    };
    const Row rows[] = {
        {"an error that keeps the connection", "$ERserver:KLGA_ATIS:4::Syntax error\r\n",
         "error: Voice ATIS connection error: Syntax error", false},
        {"killed", "$!!SERVER:KLGA_ATIS:duplicate\r\n",
         "error: The voice ATIS connection was forcibly disconnected from the network. Reason: duplicate",
         false},
        {"an error that ends the connection", "$ERSERVER:KLGA_ATIS:012::Too many clients\r\n",
         "error: Voice ATIS connection error: Too many clients", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        world.log.Clear();
        pilot.ClearEvents();
        ASSERT_TRUE(server->Inject("KLGA_ATIS", row.line));
        ASSERT_TRUE(Pump([&] {
            const auto& log = world.log.lines;
            return std::find(log.begin(), log.end(), row.error) != log.end() &&
                   (!row.signsOff || !manager->IsVoiceAtisConnected());
        }));
        if (!row.signsOff) {
            // Still there and answering.
            pilot.Session().SendQuery(5, "KLGA_ATIS");
            ASSERT_TRUE(PumpUntil([&] {
                manager->OnTimer();
                return pilot.FindEvent("Reply|KLGA_ATIS|5|") >= 0;
            }));
        }
        auto sent = server->Received("KLGA_ATIS");
        EXPECT_EQ(std::find(sent.begin(), sent.end(), "#DAKLGA_ATIS:SERVER") != sent.end(), row.signsOff);
        EXPECT_EQ(manager->IsVoiceAtisConnected(), !row.signsOff);
        if (row.signsOff) {
            // Off the air, and the maker's button says so.
            const auto& log = world.log.lines;
            const auto off = std::find(log.begin(), log.end(), "voice ATIS off the air");
            ASSERT_NE(off, log.end());
            EXPECT_NE(std::find(off, log.end(), "ATIS connect button"), log.end());
        }
    }

    // The controller session's end takes the voice ATIS with it.
    manager->ConnectVoiceAtis();
    ASSERT_TRUE(Pump([&] { return manager->IsVoiceAtisConnected(); }));
    manager->Disconnect();
    ASSERT_TRUE(Pump([&] { return !manager->IsConnected() && !manager->IsVoiceAtisConnected(); }));
}

TEST(NetworkRecords, CruiseAltitudes) {
    struct Row {
        const char* filed;
        const char* normalised;
    };
    const Row rows[] = {{"FL350", "35000"}, {"F310", "31000"}, {"A045", "04500"}, {"35000", "35000"},
                        {"VFR", "VR"},      {"fl240", "24000"}, {"350", "35000"},   {"", ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.filed);
        EXPECT_EQ(NormalizeCruiseAltitude(row.filed), row.normalised);
    }
}

}  // namespace
