// The program's simulator bridge (the global object, with its real DirectPlay
// transport) hosting on loopback: a simulator that joins under its pilot's
// name and sends text has it shown in the main display's radio history.
#include <gtest/gtest.h>

#include "net/halk_socket_udp.h"
#include "shell_fixture.h"
#include "simbridge/fs_messages.h"
#include "simbridge/fs_multiplayer.h"
#include "tools/simpeer/simulator_peer.h"

namespace {

using SimulatorBridgeTest = ShellFixture;

TEST_F(SimulatorBridgeTest, TextFromANamedSimulatorPlayerReachesTheRadioHistory) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    uint16_t port = 0;
    {
        HalkSocketUDP probe(0, dplay::kLoopback);
        port = probe.LocalPort();
    }
    g_fsmpManager->SetSessionPort(port);
    ASSERT_TRUE(g_fsmpManager->Connect());
    EXPECT_TRUE(g_fsmpManager->IsConnected());

    SimulatorPeer sim;
    ASSERT_TRUE(sim.Join({dplay::kLoopback, port}, FS9MPManager::kApplicationGuid, "Jane Pilot", 3000));
    ASSERT_TRUE(sim.SendToAll(BuildTextMessage("ready to copy")));
    FakeDisplay* main = factory.created.at(0);
    const std::string line = "7 Flight simulator: ready to copy";
    // The program's frame tick hands the session's events on.
    EXPECT_TRUE(sim.PumpUntil(
        [&] {
            g_fsmpManager->OnFrameTick();
            return std::find(main->lines.begin(), main->lines.end(), line) != main->lines.end();
        },
        5000))
        << ::testing::PrintToString(main->lines);
    sim.Leave(500);
    g_fsmpManager->Disconnect();
}

}  // namespace
