// Tests of the bridge manager with the real aircraft database over the
// in-memory session: the 15 NM circle, model choice and its fallback, the
// frame feed, restarting the session, and what the user is told.
#include "simbridge/fsmp_manager.h"

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "simbridge/fs_messages.h"
#include "simbridge/memory_session_transport.h"
#include "tests/atc/atc_fakes.h"
#include "tests/atc/quiet_services.h"

namespace {

const std::string kFolder = TARQ_TEST_DATA_DIR "/model_data";

class RecordingBoxes : public MessageBoxHandler {
public:
    RecordingBoxes() { m_previous = SetMessageBoxHandler(this); }
    ~RecordingBoxes() override { SetMessageBoxHandler(m_previous); }
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle) override {
        shown.push_back(caption + ": " + text);
        return DefaultMessageBoxResult(style);
    }
    std::vector<std::string> shown;

private:
    MessageBoxHandler* m_previous;
};

std::string ModelOf(const SimLocalPeerDescription& peer) {
    return std::string(reinterpret_cast<const char*>(peer.playerData.data()) + 4);
}

uint32_t TypeOf(const std::vector<uint8_t>& data) {
    return data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
}

class Bridge : public ::testing::Test {
protected:
    Bridge() : bridge(kFolder, Services(), [this] { return MakeTransport(); }), db(Services()) {
        settings.lists["ModelSetOrder"] = {"Qmv", "VIP"};
        scope.centres[0] = {0.5, 0};  // longitude, latitude
    }

    // The bridge and the database reach settings, lines, the scope and the
    // bridge itself; nothing is sent or drawn.
    AtcServices Services() {
        AtcServices s = quiet.Services();
        s.settings = &settings;
        s.messages = &messages;
        s.scope = &scope;
        s.simulator = &bridge;
        s.clock = &clock;
        return s;
    }

    std::unique_ptr<SimSessionTransport> MakeTransport() {
        auto made = std::make_unique<MemorySessionTransport>();
        if (!hostError.empty()) made->FailHost(hostError);
        transport = made.get();
        ++transportsMade;
        return made;
    }

    FS9MPManager& Session() { return *static_cast<FS9MPManager*>(bridge.GetSession()); }

    // Lets the connect threads finish and the session's events arrive.
    void Settle() {
        Session().WaitForConnects();
        bridge.OnFrameTick();
    }

    // Callsign to model of the aircraft in the session.
    std::map<std::string, std::string> InSession() {
        std::map<std::string, std::string> out;
        for (const auto& [handle, peer] : transport->GetLocalPeers()) out[peer.playerName] = ModelOf(peer);
        return out;
    }

    // A report nm nautical miles north of the visibility centre.
    void Report(const std::string& callsign, double nm, int speed = 250) {
        db.UpdatePilotPosition(callsign, AtcWorld::Report(nm / 60, 0.5, 10000, speed));
    }

    CallLog log;
    ManualClock clock{0, AtcWorld::kStart};
    QuietAtcServices quiet;
    FakeSettings settings;
    RecordingMessages messages{log};
    FakeScope scope{log};
    RecordingBoxes boxes;
    std::string hostError;
    MemorySessionTransport* transport = nullptr;
    int transportsMade = 0;
    TarqFSMPManager bridge;
    TarqAircraftDB db;
};

TEST_F(Bridge, AircraftEnterAndLeaveTheCircle) {
    ASSERT_TRUE(bridge.Connect());
    Report("IN", 15.9);
    Report("OUT", 16.0);
    Settle();
    EXPECT_EQ(InSession(), (std::map<std::string, std::string>{{"IN", "Qmv_QMark"}}))
        << "no model information yet: no model";
    EXPECT_NE(db.GetSimulatorId("IN"), 0u);
    EXPECT_EQ(db.GetSimulatorId("OUT"), 0u);

    Report("OUT", 15.0);
    Report("IN", 16.5);
    Settle();
    EXPECT_EQ(InSession(), (std::map<std::string, std::string>{{"OUT", "Qmv_QMark"}}));
    EXPECT_EQ(db.GetSimulatorId("IN"), 0u);
}

TEST_F(Bridge, ModelInformationChoosesTheModelAgain) {
    ASSERT_TRUE(bridge.Connect());
    Report("BAW1", 5);
    Settle();
    db.SetModelInfo("BAW1", {{"EQUIPMENT", "XA2"}, {"AIRLINE", "XAL"}});
    Settle();
    EXPECT_EQ(InSession(), (std::map<std::string, std::string>{{"BAW1", "QRS_A2_XAL"}}))
        << "second.sms loaded despite its bad line";
    db.SetModelInfo("BAW1", {{"EQUIPMENT", "XNONE"}});
    Settle();
    EXPECT_EQ(InSession(), (std::map<std::string, std::string>{{"BAW1", "Qmv_QMark"}}));
    db.SetModelInfo("BAW1", {{"EQUIPMENT", "XH5"}, {"AIRLINE", ""}});
    Settle();
    EXPECT_EQ(InSession(), (std::map<std::string, std::string>{{"BAW1", "XYZ_H5"}}));
}

TEST_F(Bridge, LoadErrorsAreShownOncePerLoader) {
    ASSERT_TRUE(bridge.Connect());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].rfind("MP Aircraft DB Read Error: ", 0), 0u);
    EXPECT_NE(boxes.shown[0].find("Equipment.TXT: line 10"), std::string::npos);
    EXPECT_NE(boxes.shown[0].find("liveries.txt: line 6"), std::string::npos);
    EXPECT_EQ(boxes.shown[1].rfind("MP Model Set Read Error: ", 0), 0u);
    EXPECT_NE(boxes.shown[1].find("second.sms (Second collection): line 6"), std::string::npos);
    ASSERT_TRUE(bridge.Connect());
    EXPECT_EQ(boxes.shown.size(), 2u) << "the model data is read once";
}

TEST_F(Bridge, ARemovalBeforeTheJoin) {
    ASSERT_TRUE(bridge.Connect());
    transport->HoldJoins();
    Report("BAW1", 5);
    Report("BAW1", 20);
    transport->ReleaseJoins();
    Settle();
    EXPECT_TRUE(InSession().empty());
}

TEST_F(Bridge, TheFrameFeedReachesTheSimulator) {
    ASSERT_TRUE(bridge.Connect());
    Report("MOVING", 5);
    Report("STILL", 6, 0);
    Settle();
    db.OnFrameTick();
    EXPECT_TRUE(transport->TakeSent().empty()) << "no simulator player";

    transport->AddRemotePlayer("FS");
    bridge.OnFrameTick();
    db.OnFrameTick();
    std::map<std::string, std::vector<uint32_t>> byPeer;
    std::map<SimPeerHandle, std::string> names;
    for (const auto& [handle, peer] : transport->GetLocalPeers()) names[handle] = peer.playerName;
    for (const auto& m : transport->TakeSent()) byPeer[names[m.from]].push_back(TypeOf(m.data));
    EXPECT_EQ(byPeer["MOVING"], (std::vector<uint32_t>{kMessageModelInfo, kMessageFullPosition}));
    EXPECT_EQ(byPeer["STILL"], (std::vector<uint32_t>{kMessageModelInfo, kMessageShortPosition}))
        << "no speed and no rates: the short message";

    db.OnFrameTick();
    EXPECT_EQ(transport->TakeSent().size(), 2u) << "positions only";
    const SimPlayerId second = transport->AddRemotePlayer("FS2");
    bridge.OnFrameTick();
    db.OnFrameTick();
    EXPECT_EQ(transport->TakeSent().size(), 8u) << "model information again to both players, then positions";
    transport->RemoveRemotePlayer(second);
    bridge.OnFrameTick();
    db.OnFrameTick();
    EXPECT_EQ(transport->TakeSent().size(), 4u) << "model information again when a player leaves";
}

TEST_F(Bridge, ARestartedSessionShowsTheAircraftAgain) {
    ASSERT_TRUE(bridge.Connect());
    Report("BAW1", 5);
    db.SetModelInfo("BAW1", {{"EQUIPMENT", "XA2"}, {"AIRLINE", "XAL"}});
    Report("BAW2", 7);
    transport->AddRemotePlayer("FS");
    Settle();
    db.OnFrameTick();
    EXPECT_EQ(transport->TakeSent().size(), 4u);
    const uint32_t kept = db.GetSimulatorId("BAW1");
    ASSERT_TRUE(bridge.Connect());
    // A new session: one more transport made, hosting, and without the
    // simulator player of the old one, so nothing is sent until one joins.
    EXPECT_EQ(transportsMade, 2);
    EXPECT_TRUE(transport->IsHosting());
    Settle();
    EXPECT_EQ(InSession(),
              (std::map<std::string, std::string>{{"BAW1", "QRS_A2_XAL"}, {"BAW2", "Qmv_QMark"}}));
    EXPECT_EQ(db.GetSimulatorId("BAW1"), kept) << "the database's ids stay valid";
    db.OnFrameTick();
    EXPECT_TRUE(transport->TakeSent().empty()) << "no simulator player in the new session";

    transport->AddRemotePlayer("FS");
    bridge.OnFrameTick();
    db.OnFrameTick();
    EXPECT_EQ(transport->TakeSent().size(), 4u);
    Report("BAW1", 30);
    EXPECT_EQ(InSession(), (std::map<std::string, std::string>{{"BAW2", "Qmv_QMark"}}));
}

TEST_F(Bridge, MenuCommandSaysHowTheStartWent) {
    bridge.StartFromMenu();
    EXPECT_TRUE(bridge.IsConnected());
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "info: Starting multiplayer session. This will take a few moments...",
                             "info: Success."}));
    log.Clear();
    boxes.shown.clear();
    hostError = "Host failed 0x80158410";
    bridge.StartFromMenu();
    EXPECT_FALSE(bridge.IsConnected());
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Error: Host failed 0x80158410"}));
    EXPECT_EQ(log.lines.back(), "error: Error starting multiplayer session.");
    EXPECT_EQ(bridge.GetLastErrorText(), "Host failed 0x80158410");
    hostError.clear();
    EXPECT_TRUE(bridge.Connect()) << "the next start replaces the failed session";
}

// The session's events come from its own thread; they are shown only from
// the frame tick, on the main thread.
TEST_F(Bridge, TextFromTheSimulatorBecomesAnInformationLine) {
    ASSERT_TRUE(bridge.Connect());
    log.Clear();
    // A simulator joins under its pilot's name, which nothing here sets.
    const SimPlayerId sim = transport->AddRemotePlayer("J. Pilot");
    transport->ReceiveFrom(sim, BuildTextMessage("request taxi"));
    EXPECT_TRUE(log.lines.empty());
    bridge.OnFrameTick();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"info: Flight simulator: request taxi"}));
}

TEST_F(Bridge, ANameSetOnTheSessionNarrowsWhoIsHeard) {
    ASSERT_TRUE(bridge.Connect());
    log.Clear();
    bridge.GetSession()->SetName("Tower Cab");
    const SimPlayerId other = transport->AddRemotePlayer("J. Pilot");
    const SimPlayerId named = transport->AddRemotePlayer("Tower Cab");
    transport->ReceiveFrom(other, BuildTextMessage("not heard"));
    transport->ReceiveFrom(named, BuildTextMessage("heard"));
    bridge.OnFrameTick();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"info: Flight simulator: heard"}));
}

TEST_F(Bridge, AnEndedSessionIsAnErrorBoxAtTheFrameTick) {
    ASSERT_TRUE(bridge.Connect());
    transport->AddRemotePlayer("FS");
    bridge.OnFrameTick();
    boxes.shown.clear();
    transport->Terminate("host migrated");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(bridge.IsConnected());
    bridge.OnFrameTick();
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Error: The multiplayer session ended: host migrated"}));
    // "Start MP Session" asks this: the ended session can be started anew,
    // and the aircraft join the new one.
    EXPECT_FALSE(bridge.IsConnected());
    ASSERT_TRUE(bridge.Connect());
    Report("DAL2", 5);
    Settle();
    EXPECT_TRUE(bridge.IsConnected());
    EXPECT_EQ(InSession(), (std::map<std::string, std::string>{{"DAL2", "Qmv_QMark"}}));
}

TEST(BridgeWithoutData, NoFolderNoTransport) {
    RecordingBoxes boxes;
    CallLog log;
    FakeSettings settings;
    RecordingMessages messages{log};
    QuietAtcServices quiet;
    AtcServices services = quiet.Services();
    services.settings = &settings;
    services.messages = &messages;
    TarqFSMPManager noWire("/nonexistent/ModelData", services, nullptr);
    EXPECT_FALSE(noWire.Connect());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].rfind("Error: ", 0), 0u);

    TarqFSMPManager noData("/nonexistent/ModelData", services,
                           [] { return std::make_unique<MemorySessionTransport>(); });
    ASSERT_TRUE(noData.Connect()) << "the session starts without model data";
    uint32_t id = 0;
    EXPECT_TRUE(noData.AddAircraft("BAW1", "B744", "BAW", "", id));
    EXPECT_EQ(noData.ChooseModel("B744", "BAW", ""), "Qmv_QMark");
    EXPECT_NE(noData.GetSessionId(id), 0u);
}

}  // namespace
