#include <cstring>

#include "shell_fixture.h"

namespace {

using StartupTest = ShellFixture;

TEST_F(StartupTest, ObjectsAreCreatedInOrderAndDeletedInReverseWithTheStoreLast) {
    CallLog::Start();
    CreateObjects();
    std::vector<std::string> created = CallLog::Take();
    const std::vector<std::string> order = {
        "TarqProfile",          "TarqDisplayManager", "TarqNetworkManager", "TarqAircraftDB",
        "TarqAircraftList",     "TarqControllerDB",   "TarqControllerList", "TarqCommsPanel",
        "TarqFlightPlanEditor", "TarqWeatherPanel",   "TarqFlightStripBay", "TarqChatManager",
        "TarqATISMaker",        "NoltVoiceEngine",    "TarqSELCALPanel",    "TarqFSMPManager",
        "TarqOceanicTracksDB"};
    std::vector<std::string> expectedNew;
    for (const std::string& name : order) expectedNew.push_back("new " + name);
    EXPECT_EQ(created, expectedNew);

    // A session's displays are open, so the frame timer runs.
    ReadIniFile();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    EXPECT_TRUE(g_displayManager->FrameTimer().IsRunning());

    CallLog::Start();
    DeleteGlobalObjects();
    std::vector<std::string> deleted = CallLog::Take();
    std::vector<std::string> expectedDelete;
    for (auto it = order.rbegin(); it != order.rend(); ++it) expectedDelete.push_back("delete " + *it);
    EXPECT_EQ(deleted, expectedDelete);
    EXPECT_EQ(g_profile, nullptr);
    EXPECT_EQ(g_displayManager, nullptr);
    int ran = ticks;
    queue.RunAll();
    EXPECT_EQ(ticks, ran) << "ticks still queued do nothing now";
}

TEST_F(StartupTest, UnreadableIniSaysSoOnceWithTheReasonAndStartUpGoesOn) {
    struct Case {
        const char* name;
        const char* contents;  // null: no file
        const char* reason;    // the end of the box's text
    };
    const Case cases[] = {
        {"missing", nullptr, "Tarq.ini: no such file"},
        {"a tab starts line 3", "[Default]\r\nA=1\r\n\tB=2\r\n",
         "Tarq.ini, line 3: the line begins with character code 9 (not printable ASCII, such as a tab or a "
         "byte-order mark); reading stopped there"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_dir / "Tarq.ini");
        if (c.contents) {
            ASSERT_TRUE(WriteFileAtomically((m_dir / "Tarq.ini").string(), c.contents));
        }
        boxes.shown.clear();
        CreateObjects();
        EXPECT_FALSE(ReadIniFile());
        ASSERT_EQ(boxes.shown.size(), 1u);
        const std::string& box = boxes.shown[0];
        EXPECT_EQ(box.rfind("Error|Could not read INI file!\r\n\r\n", 0), 0u) << box;
        EXPECT_TRUE(box.size() > std::strlen(c.reason) &&
                    box.compare(box.size() - std::strlen(c.reason), std::string::npos, c.reason) == 0)
            << box;
        EXPECT_TRUE(g_voiceEngine->IsAvailable()) << "so the profile dialog is shown next";
        DeleteGlobalObjects();
    }
}

TEST_F(StartupTest, ReadableIniShowsNothing) {
    CreateObjects();
    EXPECT_TRUE(ReadIniFile());
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
