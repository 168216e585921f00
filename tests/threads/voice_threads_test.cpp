// ThreadSanitizer test: host-name look-ups on worker threads while the main
// thread asks for more and collects the finished ones.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <string>

#include "voice/host_resolver.h"

TEST(HostResolverThreads, LookupsFinishBesideTheMainThreadsPolls) {
    std::atomic<int> calls{0};
    HostResolver resolver([&](const std::string& host) -> uint32_t {
        ++calls;
        usleep(1000);
        return host == "bad.invalid" ? 0u : static_cast<uint32_t>(0x0A000000u + host.size());
    });
    std::map<std::string, uint32_t> results;
    const char* names[] = {"a.example",    "bb.example",    "ccc.example",
                           "dddd.example", "eeeee.example", "bad.invalid"};
    uint32_t address = 0;
    for (const char* name : names) EXPECT_FALSE(resolver.Resolve(name, address));
    EXPECT_TRUE(resolver.Resolve("10.0.0.7", address));
    EXPECT_EQ(address, 0x0A000007u);
    for (int i = 0; i < 2000 && results.size() < 6; ++i) {
        for (const auto& [host, found] : resolver.TakeFinished()) results[host] = found;
        resolver.Resolve("a.example", address);  // asked again while it runs: one look-up only
        usleep(500);
    }
    ASSERT_EQ(results.size(), 6u);
    EXPECT_EQ(results["bad.invalid"], 0u);
    EXPECT_TRUE(resolver.Resolve("bb.example", address));
    EXPECT_EQ(address, 0x0A000000u + 10);
    EXPECT_LE(calls.load(), 7) << "a name already being looked up is not looked up twice";
}
