// Race test of the DirectPlay session transport: local peers join from
// several threads at once, and leave again, while the bridge's thread sends
// to every player and takes the session's events, and the socket thread
// serves them all; the session then closes with joins still on the way.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "simbridge/dplay_session_transport.h"
#include "simbridge/fs_multiplayer.h"

namespace {

struct CountingEvents : SimSessionEvents {
    int created = 0, destroyed = 0;
    void OnPlayerCreated(SimPlayerId, const SimPlayerInfo&) override { ++created; }
    void OnPlayerDestroyed(SimPlayerId) override { ++destroyed; }
    void OnReceive(SimPlayerId, const std::string&, const std::vector<uint8_t>&) override {}
    void OnSessionTerminated(const std::string&) override {}
};

TEST(DplayTransportThreads, PeersJoinAndLeaveWhileTheBridgeSends) {
    DplaySessionTransport transport({dplay::kLoopback, 5000});
    SimHostDescription host;
    host.application = FS9MPManager::kApplicationGuid;
    host.sessionName = "race";
    host.playerName = "Wrenlow";
    std::string error;
    ASSERT_TRUE(transport.Host(host, error)) << error;

    std::atomic<int> joined{0};
    std::atomic<bool> done{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 3; ++i) {
                SimPeerHandle handle = 0;
                std::string joinError;
                const std::string name = "P" + std::to_string(t) + std::to_string(i);
                if (!transport.AddLocalPeer({name, {1}, {0, 1}}, handle, joinError)) continue;
                ++joined;
                transport.Send(handle, kSimAllPlayers, {1, 2, 3}, {SimDelivery::Reliable, true, 0});
                if (i % 2 == 0) transport.RemoveLocalPeer(handle);
            }
        });
    }
    CountingEvents events;
    std::thread bridge([&] {
        while (!done) {
            transport.Send(kSimHostPeer, kSimAllPlayers, {9}, {SimDelivery::Unreliable, false, 100});
            transport.DispatchEvents(events);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(joined, 12);
    // A last round of joins that the close cuts short.
    std::vector<std::thread> late;
    for (int t = 0; t < 3; ++t) {
        late.emplace_back([&, t] {
            SimPeerHandle handle = 0;
            std::string joinError;
            transport.AddLocalPeer({"L" + std::to_string(t), {}, {}}, handle, joinError);
        });
    }
    transport.Close();
    for (std::thread& thread : late) thread.join();
    done = true;
    bridge.join();
    transport.DispatchEvents(events);
    EXPECT_GE(events.created, 13);  // the host and every peer that joined
}

}  // namespace
