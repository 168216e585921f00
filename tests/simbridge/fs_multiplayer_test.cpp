// Tests of the simulator multiplayer host over the in-memory session: hosting,
// joining aircraft, deferred removal, model information and its re-sending,
// the choice of position message, and text.
#include "simbridge/fs_multiplayer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "simbridge/fs_messages.h"
#include "simbridge/memory_session_transport.h"

namespace {

struct RecordingCallback : FSMultiplayerCallback {
    FSMultiplayerManager* manager = nullptr;
    std::vector<std::string> log;
    void StatusChanged() override { log.push_back("status " + manager->GetStatusText()); }
    void Error() override { log.push_back("error " + manager->GetLastErrorText()); }
    void TextReceived(const std::string& text) override { log.push_back("text " + text); }
};

uint32_t TypeOf(const std::vector<uint8_t>& data) {
    return data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
}

uint32_t U32At(const std::vector<uint8_t>& data, size_t at) {
    return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

class Host : public ::testing::Test {
protected:
    void SetUp() override {
        auto owned = std::make_unique<MemorySessionTransport>();
        transport = owned.get();
        host = std::make_unique<FS9MPManager>(&callback, std::move(owned));
        callback.manager = host.get();
    }

    // Initialised with one aircraft joined; returns its id.
    uint32_t HostWithAircraft(const std::string& callsign = "BAW1", const std::string& model = "XYZ_A1",
                              int32_t modelClass = 0) {
        EXPECT_TRUE(host->Initialize(0));
        uint32_t id = 0;
        EXPECT_TRUE(host->AddAircraft(callsign, model, modelClass, id));
        host->WaitForConnects();
        host->ProcessEvents();
        return id;
    }

    // "type to" of each message sent since the last call.
    std::vector<std::string> Sent() {
        std::vector<std::string> out;
        for (const auto& m : transport->TakeSent()) {
            char line[64];
            snprintf(line, sizeof line, "%x %u%s", TypeOf(m.data), m.to,
                     m.options.delivery == SimDelivery::Reliable ? " reliable" : "");
            out.push_back(line);
        }
        return out;
    }

    bool Position(uint32_t id, double speed = 0, bool useFull = true, double vertical = 0) {
        return host->SendPosition(id, 51, 0, 1000, 0, 0, 0, vertical, speed, useFull, 5000);
    }

    RecordingCallback callback;
    MemorySessionTransport* transport = nullptr;
    std::unique_ptr<FS9MPManager> host;
};

TEST_F(Host, HostsTheSimulatorsSession) {
    ASSERT_TRUE(host->Initialize(0));
    const SimHostDescription d = transport->GetHostDescription();
    EXPECT_EQ(d.port, 23457);
    EXPECT_EQ(d.application.data1, 0x0808caa5u);
    EXPECT_EQ(d.application.data4[7], 0xda);
    EXPECT_EQ(d.sessionName.rfind("Wrenlow (", 0), 0u);
    EXPECT_EQ(d.sessionName.back(), ')');
    EXPECT_EQ(d.playerName, "Wrenlow");
    EXPECT_EQ(d.playerData, std::vector<uint8_t>(8, 0));
    EXPECT_EQ(d.applicationReserved.size(), 16u);
    host->ProcessEvents();
    EXPECT_FALSE(host->IsSimConnected()) << "the host's own player is no simulator";
}

TEST_F(Host, AFailedHostIsReported) {
    transport->FailHost("Host failed 0x80158410");
    EXPECT_FALSE(host->Initialize(4000));
    ASSERT_FALSE(callback.log.empty());
    EXPECT_EQ(callback.log.back(), "error Host failed 0x80158410");
}

TEST_F(Host, AircraftJoinWithTheirCallsignAndModel) {
    const std::string callsign(31, 'C');
    HostWithAircraft(callsign, "XYZ_A1");
    const auto peers = transport->GetLocalPeers();
    ASSERT_EQ(peers.size(), 1u);
    const SimLocalPeerDescription& peer = peers.begin()->second;
    EXPECT_EQ(peer.playerName, std::string(30, 'C')) << "cut to 30 characters";
    const std::vector<uint8_t> playerData = {4, 0, 0, 0, 'X', 'Y', 'Z', '_', 'A', '1', 0, 0, 0, 0};
    EXPECT_EQ(peer.playerData, playerData);
    ASSERT_EQ(peer.connectData.size(), 28u + 62u);
    EXPECT_EQ(peer.connectData[1], 1);
    EXPECT_EQ(U32At(peer.connectData, 4), 24u);
    EXPECT_EQ(U32At(peer.connectData, 8), 62u);
    EXPECT_EQ(peer.connectData[24], 'C');
    EXPECT_EQ(peer.connectData[25], 0);
    EXPECT_EQ(peer.connectData[24 + 58], 'C');
    EXPECT_EQ(peer.connectData[24 + 60], 0) << "NUL-terminated";
    EXPECT_FALSE(host->IsSimConnected()) << "an aircraft of ours is no simulator";
}

TEST_F(Host, ARemovalBeforeTheJoinRemovesTheAircraftOnceJoined) {
    ASSERT_TRUE(host->Initialize(0));
    transport->HoldJoins();
    uint32_t id = 0;
    ASSERT_TRUE(host->AddAircraft("BAW1", "XYZ_A1", 0, id));
    while (transport->WaitingJoins() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(host->RemoveAircraft(id));
    transport->ReleaseJoins();
    host->WaitForConnects();
    EXPECT_TRUE(transport->GetLocalPeers().empty());
    EXPECT_EQ(host->GetJoinedCount(), 0u);
    EXPECT_FALSE(Position(id));
    EXPECT_TRUE(host->RemoveAircraft(id)) << "a second removal is harmless";
}

TEST_F(Host, AFailedJoinLeavesNoTrace) {
    ASSERT_TRUE(host->Initialize(0));
    transport->FailJoins(true);
    uint32_t first = 0, second = 0;
    ASSERT_TRUE(host->AddAircraft("BAW1", "XYZ_A1", 0, first));
    ASSERT_TRUE(host->AddAircraft("BAW2", "XYZ_A1", 0, second));
    EXPECT_EQ(second, first + 1);
    host->WaitForConnects();
    EXPECT_EQ(host->GetJoinedCount(), 0u);
    EXPECT_TRUE(host->RemoveAircraft(first));
}

TEST_F(Host, NothingIsSentWithoutASimulatorPlayer) {
    const uint32_t id = HostWithAircraft();
    EXPECT_TRUE(Position(id, 130));
    EXPECT_TRUE(Sent().empty());
    EXPECT_FALSE(Position(id + 1000)) << "unknown aircraft";
}

TEST_F(Host, ModelInformationGoesBeforeThePositionAndAgainWhenPlayersChange) {
    const uint32_t id = HostWithAircraft("BAW1", "XYZ_A1", 2);
    const SimPlayerId sim = transport->AddRemotePlayer("FS");
    host->ProcessEvents();
    ASSERT_TRUE(host->IsSimConnected());
    const std::string to = std::to_string(sim);
    ASSERT_TRUE(Position(id));
    auto messages = transport->TakeSent();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].data, BuildModelInfoMessage("XYZ_A1", 2));
    EXPECT_EQ(messages[0].to, sim);
    EXPECT_EQ(TypeOf(messages[1].data), kMessageShortPosition);
    EXPECT_EQ(messages[1].options.timeoutMs, 5000u);
    ASSERT_TRUE(Position(id));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"100c " + to}));

    const SimPlayerId second = transport->AddRemotePlayer("FS2");
    host->ProcessEvents();
    const std::string to2 = std::to_string(second);
    ASSERT_TRUE(Position(id));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"1003 " + to + " reliable", "1003 " + to2 + " reliable",
                                                "100c " + to, "100c " + to2}));
    transport->RemoveRemotePlayer(second);
    host->ProcessEvents();
    ASSERT_TRUE(Position(id));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"1003 " + to + " reliable", "100c " + to}));
    transport->RemoveRemotePlayer(sim);
    host->ProcessEvents();
    EXPECT_FALSE(host->IsSimConnected());
}

TEST_F(Host, ShortOrFullPosition) {
    const uint32_t id = HostWithAircraft();
    transport->AddRemotePlayer("FS");
    host->ProcessEvents();
    Position(id);
    transport->TakeSent();
    struct Row {
        const char* name;
        double speed;
        double vertical;
        bool useFull;
        uint32_t type;
    };
    const Row rows[] = {
        {"all zero asks full, gets short", 0, 0, true, kMessageShortPosition},
        {"speed", 130, 0, true, kMessageFullPosition},
        {"a rate", 0, -0.5, true, kMessageFullPosition},
        {"full not asked", 130, 1, false, kMessageShortPosition},
    };
    uint32_t lastSequence = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(Position(id, row.speed, row.useFull, row.vertical));
        auto messages = transport->TakeSent();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(TypeOf(messages[0].data), row.type);
        EXPECT_EQ(messages[0].options.delivery, SimDelivery::Unreliable);
        const uint32_t sequence = U32At(messages[0].data, row.type == kMessageFullPosition ? 8 : 12);
        if (&row != rows) {
            EXPECT_EQ(sequence, lastSequence + 1);
        }
        lastSequence = sequence;
    }
}

TEST_F(Host, FailedSendsAreRetried) {
    const uint32_t id = HostWithAircraft();
    transport->AddRemotePlayer("FS");
    host->ProcessEvents();
    transport->FailSends(true);
    EXPECT_FALSE(Position(id));
    transport->FailSends(false);
    ASSERT_TRUE(Position(id));
    const std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].substr(0, 4), "1003") << "model information not sent before is sent now";
}

TEST_F(Host, TextFromTheNamedPlayerOnly) {
    ASSERT_TRUE(host->Initialize(0));
    const SimPlayerId sim = transport->AddRemotePlayer("Pilot");
    host->SetName("Pilot");
    transport->ReceiveFrom(sim, BuildTextMessage("hello tower"));
    const SimPlayerId other = transport->AddRemotePlayer("Other");
    transport->ReceiveFrom(other, BuildTextMessage("not for us"));
    transport->ReceiveFrom(sim, BuildModelInfoMessage("X", 0));
    callback.log.clear();
    host->ProcessEvents();
    EXPECT_EQ(callback.log, (std::vector<std::string>{"text hello tower"}));
    ASSERT_TRUE(host->SendText("hi"));
    auto messages = transport->TakeSent();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].from, kSimHostPeer);
    EXPECT_EQ(messages[0].to, kSimAllPlayers);
    EXPECT_EQ(messages[0].data, BuildTextMessage("hi"));
}

TEST_F(Host, AnEndedSessionIsReportedAndForgetsItsAircraft) {
    const uint32_t id = HostWithAircraft();
    transport->AddRemotePlayer("FS");
    transport->Terminate("host migrated");
    host->ProcessEvents();
    EXPECT_FALSE(host->IsSimConnected());
    EXPECT_EQ(callback.log.back(), "error The multiplayer session ended: host migrated");
    EXPECT_FALSE(Position(id));
    EXPECT_TRUE(host->Shutdown());
}

TEST(FSMultiplayerManager, CreateKnowsOnlyVersion9) {
    EXPECT_EQ(FSMultiplayerManager::Create(8, nullptr, std::make_unique<MemorySessionTransport>()), nullptr);
    EXPECT_EQ(FSMultiplayerManager::Create(9, nullptr, nullptr), nullptr);
    EXPECT_NE(FSMultiplayerManager::Create(9, nullptr, std::make_unique<MemorySessionTransport>()), nullptr);
}

}  // namespace
