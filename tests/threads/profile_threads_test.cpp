// The settings store as the download, server-list and simulator threads use
// it: getters, setters, colours and VFR codes from other threads while the
// main thread loads and saves profiles. Run under ThreadSanitizer by
// scripts/test.sh.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "../foundation/profile_fixture.h"

namespace {

class ProfileThreadsTest : public ProfileTest {};

TEST_F(ProfileThreadsTest, WorkersReadAndWriteWhileTheMainThreadLoadsAndSaves) {
    PutIni("[A]\nCallsign=A_TWR\nVFRCodes=1200-1277\n[B]\nCallsign=B_TWR\nVFRCodes=7000-7077\n");
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.Load("A"));
    std::atomic<bool> stop{false};
    std::atomic<int> badReads{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t) {
        workers.emplace_back([&, t] {
            const std::string own = "Worker" + std::to_string(t);
            for (int i = 0; !stop; ++i) {
                const std::string callsign = profile.GetString("Callsign");
                if (callsign != "A_TWR" && callsign != "B_TWR") ++badReads;
                profile.SetInt(own, i);
                profile.SetString(own + "Text", callsign);
                profile.IsVFRCode(1200);
                profile.GetColor("Default", "Background");
                std::vector<std::string> names;
                profile.GetColorProfileNames(names);
            }
        });
    }
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(profile.Load(i % 2 ? "A" : "B"));
        if (i % 5 == 0) {
            EXPECT_TRUE(profile.Save());
        }
        profile.LoadVFRCodes();
    }
    stop = true;
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(badReads, 0);
}

}  // namespace
