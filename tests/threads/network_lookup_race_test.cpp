// The network manager's worker threads: the name look-up of a connect runs
// beside the main thread's polls, and the server map is filled from another
// thread while the main thread reads it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/network_manager.h"
#include "platform/clock.h"
#include "tests/atc/quiet_services.h"
#include "tests/net/quiet_owners.h"
#include "tools/testserver/test_server.h"

namespace {

class Settings final : public AtcSettings {
public:
    int GetInt(const std::string& key) const override { return key == "Rating" ? 5 : 0; }
    bool GetBool(const std::string&) const override { return false; }
    std::string GetString(const std::string& key) const override {
        if (key == "Callsign") return "ME_CTR";
        if (key == "Server") return "HOST";
        if (key == "CID" || key == "Password" || key == "RealName") return "x";
        return "";
    }
    std::vector<std::string> GetList(const std::string&) const override { return {}; }
    bool IsVFRCode(uint16_t) const override { return false; }
};

TEST(NetworkThreads, LookUpAndServerListBesideTheMainThread) {
    TestServerOptions options;
    options.port = 0;
    options.key = TarqNetworkManager::LoginKey();
    options.challengeIntervalMs = 0;
    TarqTestServer server(options, SystemClock::Instance());
    ASSERT_TRUE(server.Start());
    Settings settings;
    // Only the settings matter here: the race is between the look-up and the list.
    QuietAtcServices quiet;
    AtcServices services = quiet.Services();
    services.settings = &settings;
    QuietOwners owners;
    TarqNetworkManager manager(services, owners.All(), 0);
    manager.AddServer("HOST", "localhost:" + std::to_string(server.Port()));

    std::thread filler([&] {
        for (int i = 0; i < 200; ++i) manager.AddServer("S" + std::to_string(i), "10.0.0.1");
    });
    manager.Connect();  // a host name: looked up on a worker thread
    std::vector<std::string> names;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!manager.IsConnected() && std::chrono::steady_clock::now() < deadline) {
        manager.FillServerList(names);
        manager.OnTimer();
        server.Poll(1);
    }
    filler.join();
    EXPECT_TRUE(manager.IsConnected());
    manager.FillServerList(names);
    EXPECT_EQ(names.size(), 201u);
}

}  // namespace
