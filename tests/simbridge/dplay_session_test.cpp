// Tests of the DirectPlay session on loopback UDP: a host and two local peers
// of the transport and a stand-in simulator form one session (enumeration,
// the connect handshake, the connections between the peers), exchange
// messages reliably in order and unreliably, and one peer leaves; the
// simulator multiplayer host runs over it and the simulator sees each
// aircraft's model and positions; malformed datagrams are dropped and counted.
#include <gtest/gtest.h>

#include <future>

#include "net/halk_socket_udp.h"
#include "simbridge/dplay_session_transport.h"
#include "simbridge/fs_messages.h"
#include "simbridge/fs_multiplayer.h"
#include "tools/simpeer/simulator_peer.h"

using dplay::Address;
using dplay::Bytes;
using dplay::kLoopback;

namespace {

const SimGuid kApplication = FS9MPManager::kApplicationGuid;

struct EventLog : SimSessionEvents {
    std::map<SimPlayerId, SimPlayerInfo> players;
    std::vector<SimPlayerId> destroyed;
    std::vector<std::pair<std::string, Bytes>> received;
    void OnPlayerCreated(SimPlayerId player, const SimPlayerInfo& info) override { players[player] = info; }
    void OnPlayerDestroyed(SimPlayerId player) override {
        players.erase(player);
        destroyed.push_back(player);
    }
    void OnReceive(SimPlayerId, const std::string& name, const std::vector<uint8_t>& data) override {
        received.emplace_back(name, data);
    }
    void OnSessionTerminated(const std::string&) override {}
};

SimHostDescription Description() {
    SimHostDescription host;
    host.application = kApplication;
    host.sessionName = "Wrenlow (test)";
    host.playerName = "Wrenlow";
    host.playerData.assign(8, 0);
    host.applicationReserved.assign(16, 0);
    return host;
}

DplaySessionTransport::Options Loopback() { return {kLoopback, 5000}; }

// Joins a local peer on another thread while the simulator answers the
// connection the host tells it to make.
bool AddPeer(DplaySessionTransport& transport, SimulatorPeer& sim, const std::string& name,
             SimPeerHandle& handle) {
    auto join = std::async(std::launch::async, [&] {
        std::string error;
        return transport.AddLocalPeer({name, {4, 0, 0, 0}, FS9MPManager::AircraftConnectData(name)}, handle,
                                      error);
    });
    sim.PumpUntil([&] { return join.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 6000);
    return join.get();
}

TEST(DplaySession, HostTwoPeersAndSimulatorOnLoopback) {
    DplaySessionTransport transport(Loopback());
    std::string error;
    ASSERT_TRUE(transport.Host(Description(), error)) << error;
    const Address host{kLoopback, transport.GetPort()};

    SimulatorPeer sim;
    dplay::EnumResponse session;
    ASSERT_TRUE(sim.Enumerate(host, kApplication, session, 2000));
    EXPECT_EQ(dplay::Narrow(session.sessionName), "Wrenlow (test)");
    EXPECT_EQ(session.currentPlayers, 1u);
    ASSERT_TRUE(sim.Join(host, kApplication, "Simulator", 3000)) << sim.GetJoinError();

    SimPeerHandle first = 0, second = 0;
    ASSERT_TRUE(AddPeer(transport, sim, "DLH1", first));
    ASSERT_TRUE(AddPeer(transport, sim, "BAW2", second));
    ASSERT_TRUE(sim.PumpUntil([&] { return sim.players.count(first) && sim.players.count(second); }, 2000));
    EXPECT_EQ(sim.players[first], "DLH1");
    EXPECT_EQ(sim.players.size(), 4u);  // host, simulator, two peers

    EventLog events;
    transport.DispatchEvents(events);
    ASSERT_EQ(events.players.size(), 4u);
    EXPECT_EQ(std::count_if(events.players.begin(), events.players.end(),
                            [](const auto& p) { return p.second.isHost; }),
              1);
    EXPECT_EQ(events.players[first].connectData, FS9MPManager::AircraftConnectData("DLH1"));
    EXPECT_FALSE(events.players[first].isLocal);
    EXPECT_TRUE(events.players[sim.GetPlayerId()].connectData.empty());

    // Reliable messages from a peer arrive at the simulator in order, from that peer.
    std::vector<Bytes> sent;
    for (int i = 0; i < 30; ++i) {
        sent.push_back(Bytes(20 + i * 60, static_cast<uint8_t>(i)));
        ASSERT_TRUE(
            transport.Send(first, sim.GetPlayerId(), sent.back(), {SimDelivery::Reliable, i % 5 == 0, 0}));
    }
    ASSERT_TRUE(transport.Send(second, kSimAllPlayers, Bytes{9, 9}, {SimDelivery::Unreliable, false, 1000}));
    ASSERT_TRUE(sim.PumpUntil([&] { return sim.received.size() >= 31; }, 3000));
    std::vector<Bytes> fromFirst;
    for (const auto& r : sim.received) {
        if (r.from == first) fromFirst.push_back(r.data);
        if (r.from == second) {
            EXPECT_EQ(r.data, (Bytes{9, 9}));
        }
    }
    EXPECT_EQ(fromFirst, sent);

    // Text from the simulator reaches the host with its sender's name.
    // (The host had the unreliable message to all players too, from BAW2.)
    ASSERT_TRUE(sim.SendToAll(BuildTextMessage("hello")));
    for (int i = 0; i < 200 && events.received.size() < 2; ++i) {
        sim.Pump(10);
        transport.DispatchEvents(events);
    }
    ASSERT_EQ(events.received.size(), 2u);
    EXPECT_EQ(events.received[0], std::make_pair(std::string("BAW2"), Bytes{9, 9}));
    EXPECT_EQ(events.received[1], std::make_pair(std::string("Simulator"), BuildTextMessage("hello")));

    // Nothing so far was out of place. (Once connections close, a last
    // acknowledgement may reach an endpoint that has already let go.)
    EXPECT_EQ(sim.GetDroppedCount(), 0u);
    EXPECT_EQ(transport.GetDroppedCount(), 0u);

    // A peer leaves: the simulator and the host see it go; the other stays.
    transport.RemoveLocalPeer(second);
    EXPECT_FALSE(transport.Send(second, sim.GetPlayerId(), Bytes{1}, {}));
    ASSERT_TRUE(sim.PumpUntil([&] { return !sim.players.count(second); }, 3000));
    for (int i = 0; i < 100 && !events.destroyed.size(); ++i) {
        sim.Pump(10);
        transport.DispatchEvents(events);
    }
    EXPECT_EQ(events.destroyed, std::vector<SimPlayerId>{second});
    EXPECT_TRUE(transport.Send(first, sim.GetPlayerId(), Bytes{7}, {SimDelivery::Reliable, true, 0}));
    ASSERT_TRUE(sim.PumpUntil([&] { return sim.received.back().data == Bytes{7}; }, 2000));

    // The simulator leaves, then the host ends the session.
    sim.Leave(2000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (events.players.count(sim.GetPlayerId()) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        transport.DispatchEvents(events);
    }
    EXPECT_FALSE(events.players.count(sim.GetPlayerId()));
    transport.Close();
}

TEST(DplaySession, HostEndingTheSessionEndsItForThePlayers) {
    DplaySessionTransport transport(Loopback());
    std::string error;
    ASSERT_TRUE(transport.Host(Description(), error));
    SimulatorPeer sim;
    ASSERT_TRUE(sim.Join({kLoopback, transport.GetPort()}, kApplication, "Simulator", 3000));
    auto close = std::async(std::launch::async, [&] { transport.Close(); });
    EXPECT_TRUE(sim.PumpUntil([&] { return !sim.terminated.empty(); }, 3000));
    close.get();
    SimPeerHandle handle = 0;
    EXPECT_FALSE(transport.AddLocalPeer({"X", {}, {}}, handle, error));
}

TEST(DplaySession, WrongApplicationIsRefused) {
    DplaySessionTransport transport(Loopback());
    std::string error;
    ASSERT_TRUE(transport.Host(Description(), error));
    SimGuid other = kApplication;
    other.data1 ^= 1;
    SimulatorPeer sim;
    dplay::EnumResponse session;
    EXPECT_FALSE(sim.Enumerate({kLoopback, transport.GetPort()}, other, session, 300));
    EXPECT_FALSE(sim.Join({kLoopback, transport.GetPort()}, other, "Simulator", 2000));
    EXPECT_NE(sim.GetJoinError().find("0x80158300"), std::string::npos) << sim.GetJoinError();
}

TEST(DplaySession, MalformedDatagramsAreDroppedAndCounted) {
    DplaySessionTransport transport(Loopback());
    std::string error;
    ASSERT_TRUE(transport.Host(Description(), error));
    HalkSocketUDP stranger(0, kLoopback);
    const std::vector<Bytes> junk = {
        {},                                                            // empty
        {0x00, 0x02},                                                  // a query cut short
        {0x3F, 0x02, 0x00, 0x00, 0xC6, 0xAE, 0xC9, 0x79},              // data from an unknown address
        {0x80, 0x06, 0x01, 0x00, 0x03, 0x06, 0x00, 0x00},              // a short command
        {0x88, 0x01, 0, 0, 0x06, 0, 0x02, 0, 1, 2, 3, 4, 0, 0, 0, 0},  // a connect of another major version
        Bytes(1500, 0xFF)};
    for (const Bytes& d : junk)
        stranger.SendTo(reinterpret_cast<const char*>(d.data()), d.size(), kLoopback, transport.GetPort());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (transport.GetDroppedCount() < junk.size() - 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // The empty datagram may not arrive as one; the others are each counted.
    EXPECT_GE(transport.GetDroppedCount(), junk.size() - 1);
    SimulatorPeer sim;
    EXPECT_TRUE(sim.Join({kLoopback, transport.GetPort()}, kApplication, "Simulator", 3000));
}

TEST(DplaySession, SimulatorSeesTheModelAndPositionsOfInjectedAircraft) {
    // A free port: the manager takes the port it is given.
    uint16_t port = 0;
    {
        HalkSocketUDP probe(0, kLoopback);
        port = probe.LocalPort();
    }
    FS9MPManager manager(nullptr, std::make_unique<DplaySessionTransport>(Loopback()));
    ASSERT_TRUE(manager.Initialize(port));
    SimulatorPeer sim;
    ASSERT_TRUE(sim.Join({kLoopback, port}, kApplication, "Simulator", 3000));
    uint32_t id = 0;
    ASSERT_TRUE(manager.AddAircraft("SAS901", "Boeing 737-800", 0, id));
    bool model = false, position = false;
    SimPlayerId aircraft = 0;
    for (int i = 0; i < 300 && !(model && position); ++i) {
        sim.Pump(10);
        manager.ProcessEvents();
        manager.SendPosition(id, 55.6, 12.6, 3000, 0, 10, 10, 0, 250, true, 2000);
        for (const auto& r : sim.received) {
            const uint32_t type = r.data.size() >= 4 ? r.data[0] | r.data[1] << 8 : 0;
            if (type == kMessageModelInfo) {
                model = true;
                aircraft = r.from;
                EXPECT_EQ(r.data, BuildModelInfoMessage("Boeing 737-800", 0));
            }
            if (type == kMessageFullPosition && model) position = r.from == aircraft;
        }
    }
    EXPECT_TRUE(manager.IsSimConnected());
    EXPECT_TRUE(model);
    EXPECT_TRUE(position);
    EXPECT_EQ(sim.players[aircraft], "SAS901");
    manager.RemoveAircraft(id);
    EXPECT_TRUE(sim.PumpUntil([&] { return !sim.players.count(aircraft); }, 3000));
    manager.Shutdown();
}

}  // namespace
