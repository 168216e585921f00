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

TEST_F(StartupTest, UnreadableIniSaysSoOnceAndStartUpGoesOn) {
    std::filesystem::remove(m_dir / "Tarq.ini");
    CreateObjects();
    EXPECT_FALSE(ReadIniFile());
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Error|Could not read INI file!"}));
    EXPECT_TRUE(g_voiceEngine->IsAvailable()) << "so the profile dialog is shown next";
}

TEST_F(StartupTest, ReadableIniShowsNothing) {
    CreateObjects();
    EXPECT_TRUE(ReadIniFile());
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
