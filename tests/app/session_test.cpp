#include <chrono>
#include <functional>

#include "net/halk_session.h"
#include "platform/clock.h"
#include "local_server.h"
#include "shell_fixture.h"
#include "tests/temp_dir.h"
#include "tools/testserver/test_client.h"
#include "tools/testserver/test_server.h"

namespace {

TEST(ProfileList, SortedAndSelectedByLastProfile) {
    const std::vector<std::string> names = {"Default", "bravo", "Alpha", "Charlie"};
    struct Case {
        const char* name;
        bool includeDefault;
        std::optional<std::string> last;
        std::vector<std::string> entries;
        int selected;
    };
    const Case cases[] = {
        {"last profile selected", true, "Charlie", {"Alpha", "bravo", "Charlie", "Default"}, 2},
        {"no last profile selects the first",
         true,
         std::nullopt,
         {"Alpha", "bravo", "Charlie", "Default"},
         0},
        // The last profile is kept per user, outside the data directory.
        {"last profile not in this file: the first",
         true,
         "Zulu",
         {"Alpha", "bravo", "Charlie", "Default"},
         0},
        {"exact match only", true, "BRAVO", {"Alpha", "bravo", "Charlie", "Default"}, 0},
        {"without Default", false, "Default", {"Alpha", "bravo", "Charlie"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileList list = FillProfileList(names, c.includeDefault, c.last);
        EXPECT_EQ(list.entries, c.entries);
        EXPECT_EQ(list.selected, c.selected);
    }
    EXPECT_EQ(FillProfileList({}, true, std::nullopt).selected, -1);
    EXPECT_EQ(FillProfileList({}, true, "Zulu").selected, -1);
}

// A profile that stores no view centre leaves it to the display's sector; rings
// without a stored centre follow the view.
TEST(ReadDisplaySettings, AMissingCentreIsLeftToTheSector) {
    TempDir dir;
    dir.Write("Tarq.ini",
              "[:META]\nVersion=4\n"
              "[Stored]\nDisplayCenterLon1=-73.5\nDisplayCenterLat1=40.5\nDisplayRingLon1=-73\nDisplayRingLat1=41\n"
              "[Bare]\nDisplayCount=1\n"
              "[HalfCentre]\nDisplayCenterLon1=-73.5\n"
              "[CentreOnly]\nDisplayCenterLon1=-73.5\nDisplayCenterLat1=40.5\n");
    struct Case {
        const char* profile;
        bool centreUnset;
        double ringLon;
        double ringLat;
    } cases[] = {
        {"Stored", false, -73.0, 41.0},
        {"Bare", true, 0.0, 0.0},
        {"HalfCentre", true, 0.0, 0.0},
        {"CentreOnly", false, 0.0, 0.0},
    };
    TarqProfile profile(dir.File("Tarq.ini"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile);
        ASSERT_TRUE(profile.Load(c.profile));
        const TarqDisplaySettings s = ReadDisplaySettings(profile, 1);
        EXPECT_EQ(s.CenterUnset, c.centreUnset);
        EXPECT_DOUBLE_EQ(s.RingLon, c.ringLon);
        EXPECT_DOUBLE_EQ(s.RingLat, c.ringLat);
    }
}

using SessionTest = ShellFixture;

TEST_F(SessionTest, ListReadsTheStoreAndLastProfile) {
    Start();
    EXPECT_EQ(FillProfileList(true, true).SelectedName(), "Alpha");
    registry->SetString(kTarqRegistryKey, kLastProfileValue, "Charlie");
    EXPECT_EQ(FillProfileList(true, true).SelectedName(), "Charlie");
}

TEST_F(SessionTest, DeleteRefusalsAndConfirmation) {
    Start();
    struct Case {
        const char* name;
        ProfileList list;
        std::vector<MessageBoxResult> answers;
        std::vector<std::string> shown;
        bool deleted;
    };
    const std::string confirm =
        "Confirm Delete|Are you sure you want to delete the selected session profile? This action cannot be "
        "undone.";
    const Case cases[] = {
        {"last entry, even Default",
         {{"Default"}, 0},
         {},
         {"Error|You cannot delete the last session profile!"},
         false},
        {"nothing selected is silent", {{"Alpha", "Default"}, -1}, {}, {}, false},
        {"Default",
         {{"Alpha", "Default"}, 1},
         {},
         {"Error|The default session profile cannot be deleted."},
         false},
        {"No keeps it", {{"Alpha", "Default"}, 0}, {MessageBoxResult::No}, {confirm}, false},
        {"Yes deletes", {{"Alpha", "Default"}, 0}, {MessageBoxResult::Yes}, {confirm}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        boxes.answers = c.answers;
        ProfileList list = c.list;
        EXPECT_EQ(DeleteSelectedProfile(list, nullptr), c.deleted);
        EXPECT_EQ(boxes.shown, c.shown);
        EXPECT_EQ(g_profile->ProfileExists("Alpha"), !c.deleted);
    }
    // The list was refilled from the file, which no longer holds the profile.
    std::vector<std::string> names;
    g_profile->GetProfileNames(names);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Alpha"), 0);
}

TEST_F(SessionTest, OkWithNothingSelectedLoadsNothing) {
    Start();
    ProfileList list = FillProfileList(true, true);
    list.selected = -1;
    EXPECT_FALSE(OpenSessionProfile(list, nullptr, ui));
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(g_displayManager->DisplayCount(), 0u);
}

TEST_F(SessionTest, ProfileThatFailsToLoadKeepsTheDialog) {
    Start();
    ProfileList list{{"Gone"}, 0};
    EXPECT_FALSE(OpenSessionProfile(list, nullptr, ui));
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Error|Specified profile not found in INI file!"}));
    EXPECT_TRUE(ui.calls.empty()) << "the dialog stays";
}

TEST_F(SessionTest, OpeningASessionRunsItsStepsInOrder) {
    Start();
    WriteFileAtomically((m_dir / "aliases.txt").string(), ".hi hello $1\n");
    CallLog::Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Alpha"), nullptr, ui));
    std::vector<std::string> steps = CallLog::Take();
    const std::vector<std::string> expected = {
        "ui DisableSnapping",
        "ui DestroyProfileDialog",
        "ui ActivateMainDisplay",
        "ui EnableSnapping",
    };
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(g_flightStripBay->GetSeparatorLabels(0), (std::vector<std::string>{"ARR", "DEP"}));
    std::string expanded;
    ASSERT_TRUE(ExpandAliases(".HI world", expanded));
    EXPECT_EQ(expanded, "hello world") << "the profile's alias file is read";
    EXPECT_EQ(g_weatherPanel->Store().GetStationList(), (std::vector<std::string>{"EGLL", "KABC"}));
    EXPECT_EQ(g_weatherPanel->GetWidth(), TarqWeatherPanel::kWidth);
    EXPECT_TRUE(g_chatManager->HasPrivateChatWindow("Incoming Chat Log"));
    EXPECT_FALSE(g_chatManager->IsIncomingChatLogOpen()) << "\"ChatLogVisible\" is off";
    ASSERT_EQ(factory.created.size(), 3u);
    EXPECT_TRUE(factory.created[0]->isMain);
    EXPECT_EQ(factory.created[1]->settings.ColorProfile, "Night");
    EXPECT_EQ(factory.created[0]->settings.Width, 640) << "defaults for missing keys";
    EXPECT_EQ(factory.created[0]->lines, (std::vector<std::string>{"7 Performing version check...",
                                                                   "7 Loading network information..."}));
    EXPECT_EQ(factory.created[0]->buttonBars, 1);
    EXPECT_FALSE(g_profile->IsModified());
    EXPECT_EQ(registry->GetString(kTarqRegistryKey, kLastProfileValue, ""), "Alpha");
    EXPECT_TRUE(boxes.shown.empty());
}

// The saved devices are found by name (the headset on the second output
// here), and the squelch and volumes go with them to the engine.
TEST_F(SessionTest, OpeningASessionHandsTheSavedAudioSettingsToTheVoiceEngine) {
    WriteFileAtomically((m_dir / "Tarq.ini").string(),
                        "[:META]\nVersion=4\n[Audio]\nDisplayCount=1\nAudioInputDevice=Microphone\n"
                        "AudioOutputHeadsetDevice=Speaker\nAudioOutputSpeakerDevice=Headset\n"
                        "InputSquelch=0.25\nOutputVolumeHDST=4000\nOutputVolumeSPKR=1234\n"
                        "VHFSimHeadset=1\nVHFSimSpeakers=0\n");
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Audio"), nullptr, ui));
    int input = -1, headset = -1, speaker = -1;
    g_voiceEngine->GetDeviceLists(nullptr, nullptr, &input, &headset, &speaker);
    EXPECT_EQ(input, 0);
    EXPECT_EQ(headset, 1);
    EXPECT_EQ(speaker, 0);
    EXPECT_NEAR(g_voiceEngine->GetInputSquelch(), 0.25, 1e-6);
    EXPECT_EQ(g_voiceEngine->GetHeadsetVolume(), 4000u);
    EXPECT_EQ(g_voiceEngine->GetSpeakerVolume(), 1234u);
    EXPECT_TRUE(g_voiceEngine->AreDevicesReady());
}

TEST_F(SessionTest, DisplayCountBelowOneOpensOneDisplay) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("bravo"), nullptr, ui));
    EXPECT_EQ(factory.created.size(), 1u);
    EXPECT_NE(g_displayManager->GetMainDisplay(), nullptr);
}

TEST_F(SessionTest, MissingAliasFileSaysSoAndTheSessionOpens) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Alpha"), nullptr, ui));
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Error|Error loading alias file!"}));
}

TEST_F(SessionTest, MissingPositionFileSaysSoOnlyWhenOneIsNamed) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Delta"), nullptr, ui));
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Error|Error loading POF file!"}));
}

TEST_F(SessionTest, SessionsAskForNetworkInformationUntilTheListIsReady) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    EXPECT_EQ(factory.created.back()->lines, (std::vector<std::string>{"7 Performing version check...",
                                                                       "7 Loading network information..."}));
    ReturnToProfileDialog = true;
    ASSERT_TRUE(CloseSession(g_displayManager->GetMainWindow(), false, ui));
    g_displayManager->RedrawAll(false);
    // Without a status address the cached and the user's servers are the list at once.
    ASSERT_TRUE(g_networkManager->IsServerListReady());
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    EXPECT_EQ(factory.created.back()->lines, std::vector<std::string>{});
}


// Another controller asks the voice-ATIS station for its ATIS: the answer
// carries the text the ATIS maker composed for the voice ATIS.
TEST_F(SessionTest, VoiceAtisAnswersCarryTheMakersText) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    LocalServer server;
    g_profile->SetString("ATISMakerICAO", "EGLL");
    g_profile->SetString("VoxATISTemplate", "Heathrow voice information");
    ASSERT_TRUE(g_atisMaker->Maker().UpdateATIS(false));
    g_profile->SetString("Callsign", "LON_CTR");
    g_profile->SetString("CID", "1000001");
    g_profile->SetString("Password", "secret");
    g_profile->SetString("Server", "LOCAL");
    g_networkManager->AddServer("LOCAL", "127.0.0.1:" + std::to_string(server.Port()));
    g_networkManager->Connect();
    ASSERT_TRUE(server.PumpUntil([] { return g_networkManager->IsConnected(); }));
    g_networkManager->ConnectVoiceAtis();
    ASSERT_TRUE(server.PumpUntil([] { return g_networkManager->IsVoiceAtisConnected(); }));

    TarqTestClient peer("BOS_CTR", server.Port(), TarqNetworkManager::LoginKey());
    ASSERT_TRUE(peer.Connect());
    ASSERT_TRUE(server.PumpUntil([&] {
        peer.Poll();
        return peer.State() == HalkSession::kConnected;
    }));
    peer.Session().SendQuery(3, "EGLL_ATIS");  // ATIS
    auto answered = [&] {
        for (const std::string& e : peer.Events()) {
            if (e.find("Heathrow voice information") != std::string::npos) return true;
        }
        return false;
    };
    EXPECT_TRUE(server.PumpUntil([&] {
        peer.Poll();
        return answered();
    })) << ::testing::PrintToString(peer.Events());
}

TEST_F(SessionTest, ClosePromptCombinations) {
    struct Case {
        const char* name;
        const char* profile;
        bool connected;
        bool modified;
        std::vector<MessageBoxResult> answers;
        bool closed;
        int prompts;
        bool saved;
        bool disconnected;
    };
    const Case cases[] = {
        {"unmodified closes silently", "Alpha", false, false, {}, true, 0, false, false},
        {"modified, Yes saves", "Alpha", false, true, {MessageBoxResult::Yes}, true, 1, true, false},
        {"modified, No loses the changes",
         "Alpha",
         false,
         true,
         {MessageBoxResult::No},
         true,
         1,
         false,
         false},
        {"modified, Cancel keeps the session",
         "Alpha",
         false,
         true,
         {MessageBoxResult::Cancel},
         false,
         1,
         false,
         false},
        {"PromptSaveProfile off never asks", "Charlie", false, true, {}, true, 0, false, false},
        {"connected, Cancel keeps the session",
         "bravo",
         true,
         false,
         {MessageBoxResult::Cancel},
         false,
         1,
         false,
         false},
        {"connected, OK disconnects", "bravo", true, false, {MessageBoxResult::Ok}, true, 1, false, true},
        {"connected and modified, OK then Cancel",
         "bravo",
         true,
         true,
         {MessageBoxResult::Ok, MessageBoxResult::Cancel},
         false,
         2,
         false,
         false},
    };
    Start();
    LocalServer network;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(OpenSessionProfile(ListWith(c.profile), nullptr, ui));
        const std::string callsign = network.SetConnected(c.connected);
        g_profile->SetModified(c.modified);
        boxes.shown.clear();
        boxes.answers = c.answers;
        auto writtenBefore = std::filesystem::last_write_time(m_dir / "Tarq.ini");
        std::string before;
        ReadWholeFile((m_dir / "Tarq.ini").string(), before);
        CallLog::Start();
        EXPECT_EQ(CloseSession(g_displayManager->GetMainWindow(), false, ui), c.closed);
        std::vector<std::string> calls = CallLog::Take();
        EXPECT_EQ(static_cast<int>(boxes.shown.size()), c.prompts);
        std::string after;
        ReadWholeFile((m_dir / "Tarq.ini").string(), after);
        EXPECT_EQ(after != before || std::filesystem::last_write_time(m_dir / "Tarq.ini") != writtenBefore,
                  c.saved);
        if (c.connected) {
            EXPECT_EQ(network.SignOffs(callsign, c.disconnected), c.disconnected ? 1 : 0);
        }
        EXPECT_EQ(g_displayManager->IsClosePending(g_displayManager->GetMainWindow()), c.closed);
        if (!c.closed) {
            EXPECT_TRUE(calls.empty()) << "a cancelled prompt changes nothing";
            g_networkManager->Disconnect();
            network.SetConnected(false);
            g_profile->SetModified(false);
            ASSERT_TRUE(CloseSession(g_displayManager->GetMainWindow(), false, ui));
        }
        g_displayManager->RedrawAll(false);
        EXPECT_EQ(g_displayManager->DisplayCount(), 0u);
    }
}

// Answering Yes to the save prompt at exit and then not saving (the write
// failed, or the "Save Profile As" that "Default" opens was cancelled) keeps
// the session open with its changes.
TEST_F(SessionTest, AnExitWhoseSaveDidNotHappenKeepsTheSession) {
    struct Case {
        const char* name;
        const char* profile;
        bool unwritable;
        int prompts;  // the save prompt, and the failed write's box
    };
    const Case cases[] = {
        {"Tarq.ini cannot be written", "bravo", true, 2},
        {"Save As on Default cancelled", "Default", false, 1},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(OpenSessionProfile(ListWith(c.profile), nullptr, ui));
        ASSERT_TRUE(g_profile->GetBool("PromptSaveProfile"));
        g_profile->SetModified(true);
        if (c.unwritable) {
            std::filesystem::rename(m_dir / "Tarq.ini", m_dir / "Tarq.ini.kept");
            std::filesystem::create_directory(m_dir / "Tarq.ini");  // the rename over it fails
        }
        boxes.shown.clear();
        boxes.answers = {MessageBoxResult::Yes};
        ui.calls.clear();
        EXPECT_FALSE(CloseSession(g_displayManager->GetMainWindow(), true, ui));
        EXPECT_EQ(static_cast<int>(boxes.shown.size()), c.prompts) << ::testing::PrintToString(boxes.shown);
        EXPECT_TRUE(ui.calls.empty()) << "no quit: " << ::testing::PrintToString(ui.calls);
        EXPECT_FALSE(g_displayManager->IsClosePending(g_displayManager->GetMainWindow()));
        EXPECT_TRUE(g_profile->IsModified()) << "the changes are still there to save";
        if (c.unwritable) {
            std::filesystem::remove(m_dir / "Tarq.ini");
            std::filesystem::rename(m_dir / "Tarq.ini.kept", m_dir / "Tarq.ini");
        }
        g_profile->SetModified(false);
        ASSERT_TRUE(CloseSession(g_displayManager->GetMainWindow(), false, ui));
        g_displayManager->RedrawAll(false);
    }
}

TEST_F(SessionTest, CloseReturnsToTheDialogOrEndsTheProgram) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    ReturnToProfileDialog = true;
    ui.calls.clear();
    ASSERT_TRUE(CloseSession(g_displayManager->GetMainWindow(), false, ui));
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"ShowProfileDialog"}));
    EXPECT_FALSE(ReturnToProfileDialog);
    g_displayManager->RedrawAll(false);

    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    ui.calls.clear();
    g_flightStripBay->AddStripForAircraft("N1");
    CallLog::Start();
    ASSERT_TRUE(CloseSession(g_displayManager->GetMainWindow(), true, ui));
    std::vector<std::string> calls = CallLog::Take();
    EXPECT_TRUE(g_flightStripBay->Slots().empty());
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"PostQuit"}));
    // Clearing a database marks its list for the next tick's rebuild.
    EXPECT_TRUE(g_controllerList->Model().IsRebuildPending());
    EXPECT_TRUE(g_aircraftList->Model().IsRebuildPending());
    const std::vector<std::string> emptying = {"ui PostQuit"};
    EXPECT_EQ(calls, emptying);
    EXPECT_FALSE(g_chatManager->HasPrivateChatWindow("Incoming Chat Log")) << "the chat windows are closed";
}

}  // namespace
