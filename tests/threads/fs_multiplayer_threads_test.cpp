// Built with ThreadSanitizer: the bridge's connect threads, the session's
// own thread (played by a test thread) and the main thread adding, removing
// and feeding aircraft, all at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "simbridge/fs_messages.h"
#include "simbridge/fsmp_manager.h"
#include "simbridge/memory_session_transport.h"
#include "tests/atc/quiet_services.h"

namespace {

TEST(FSMultiplayerThreads, ConnectThreadsSessionEventsAndTheFeedRunTogether) {
    MemorySessionTransport* transport = nullptr;
    // The race is in the session; the bridge's seams stay quiet.
    QuietAtcServices quiet;
    TarqFSMPManager bridge("/nonexistent/ModelData", quiet.Services(), [&transport] {
        auto made = std::make_unique<MemorySessionTransport>();
        transport = made.get();
        return made;
    });
    ASSERT_TRUE(bridge.Connect());

    std::atomic<bool> stop{false};
    std::thread simulator([&] {
        // Players come and go and talk while the main thread works.
        while (!stop) {
            const SimPlayerId player = transport->AddRemotePlayer("FS");
            transport->ReceiveFrom(player, BuildTextMessage("hello"));
            std::this_thread::yield();
            transport->RemoveRemotePlayer(player);
            // Paced: unpaced, this thread floods the event queue faster than a
            // slow (sanitized) main thread drains it.
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    transport->AddRemotePlayer("FS");

    std::vector<uint32_t> kept;
    std::set<std::string> keptCallsigns;
    auto add = [&](int n) {
        uint32_t id = 0;
        const std::string callsign = "AC" + std::to_string(n);
        bridge.AddAircraft(callsign, "B744", "", "", id);
        if (n % 3 == 0) {
            bridge.RemoveAircraft(id);  // often before its connect thread has joined
        } else {
            kept.push_back(id);
            keptCallsigns.insert(callsign);
        }
    };
    auto feed = [&] {
        for (uint32_t k : kept) bridge.UpdateAircraftPosition(k, 51, 0, 1000, 0, {1, 2, 3}, 140, 1, 5000);
    };
    // A batch joins all at once, released by another thread while this one
    // feeds positions; then aircraft come one by one.
    transport->HoldJoins();
    for (int n = 0; n < 30; ++n) add(n);
    std::thread releaser([&] { transport->ReleaseJoins(); });
    for (int i = 0; i < 300; ++i) {
        feed();
        if (i % 20 == 0) bridge.OnFrameTick();
    }
    releaser.join();
    for (int n = 30; n < 60; ++n) {
        add(n);
        feed();
        bridge.OnFrameTick();
    }
    stop = true;
    simulator.join();
    static_cast<FS9MPManager*>(bridge.GetSession())->WaitForConnects();
    bridge.OnFrameTick();

    std::set<std::string> inSession;
    for (const auto& [handle, peer] : transport->GetLocalPeers()) inSession.insert(peer.playerName);
    EXPECT_EQ(inSession, keptCallsigns);
    bridge.Disconnect();
}

}  // namespace
