#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "app/voice_atis_services.h"
#include "app/voice_engine_host.h"
#include "net/halk_session.h"
#include "net/halk_socket_udp.h"
#include "net/network_manager.h"
#include "shell_fixture.h"
#include "tools/voiceserver/voice_test_server.h"

namespace {

using VoiceHostTest = ShellFixture;

void Receive(HalkSession& session, const std::string& line) { session.ParseLine(line.c_str(), line.size()); }

TEST_F(VoiceHostTest, TheEngineOwnsAPortAndTheHostsSoundCards) {
    Start();
    ASSERT_NE(g_voiceEngine, nullptr);
    ASSERT_NE(soundDevices, nullptr);
    EXPECT_TRUE(VoicePortReady(g_voiceEngine));
    EXPECT_NE(g_voiceEngine->UdpPort(), 0);
    EXPECT_TRUE(g_voiceEngine->AreDevicesReady());
    std::vector<std::string> inputs, outputs;
    g_voiceEngine->GetDeviceLists(&inputs, &outputs, nullptr, nullptr, nullptr);
    EXPECT_EQ(inputs, inputNames);
    EXPECT_EQ(outputs, outputNames);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(VoiceHostTest, ATakenVoicePortSaysSo) {
    HalkSocketUDP taken(0);
    ASSERT_TRUE(taken.IsOpen());
    TarqVoiceOptions options;
    options.devices = [] {
        return std::make_unique<MemorySoundDeviceProvider>(std::vector<std::string>{"Mic"},
                                                           std::vector<std::string>{"Out"});
    };
    options.udpPort = taken.LocalPort();
    SetTarqVoiceOptions(options);
    Start();
    EXPECT_FALSE(g_voiceEngine->IsAvailable());
    EXPECT_FALSE(VoicePortReady(g_voiceEngine));
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{std::string("Error|") + kUdpPortErrorText}));
}

TEST_F(VoiceHostTest, SessionWithoutAMicrophoneSaysTheEngineCannotStart) {
    inputNames.clear();
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Error|Could not initialize voice engine!"}));
}

TEST_F(VoiceHostTest, LandLineMessagesOfTheSessionsReachTheEngine) {
    Start();
    HalkSession& session = g_networkManager->ControllerSession();
    g_controllerList->Model().OnFrameTick();
    Receive(session, "#PCNY_CTR:JFK_TWR:CCP:IC:10.0.0.2:3290");
    EXPECT_EQ(g_voiceEngine->GetLandLineState(0, "NY_CTR"), 2) << "ringing";
    EXPECT_TRUE(g_controllerList->Model().IsRebuildPending()) << "the controller list shows the call";
    g_controllerList->Model().OnFrameTick();
    Receive(session, "#PCNY_CTR:JFK_TWR:CCP:EC");
    EXPECT_EQ(g_voiceEngine->GetLandLineState(0, "NY_CTR"), 1);
    EXPECT_TRUE(g_controllerList->Model().IsRebuildPending()) << "and its end";

    // The voice-ATIS session's messages go to the ATIS side, which takes no
    // intercom calls.
    Receive(g_networkManager->VoiceAtisSession(), "#PCLGA_APP:JFK_ATIS:CCP:IC:10.0.0.3:3290");
    EXPECT_EQ(g_voiceEngine->GetLandLineState(0, "LGA_APP"), 1);
}

TEST_F(VoiceHostTest, PushToTalkSendsTheMicrophoneToAJoinedRoom) {
    VoiceTestServer server;
    ASSERT_TRUE(server.Start(0, true));
    Start();
    const std::string room = "127.0.0.1:" + std::to_string(server.Port()) + "/KJFK_TWR";
    g_voiceEngine->ToggleRoomReceive(118700, room);
    g_voiceEngine->ToggleRoomTransmit(118700, room);
    g_voiceEngine->ToggleRoomConnection(118700, room);
    auto until = [&](const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            server.Poll();
            g_voiceEngine->OnTimer();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > deadline) return false;
            usleep(1000);
        }
    };
    ASSERT_TRUE(until([&] { return g_voiceEngine->GetRoomState(118700, room) == kRoomConnected; }));
    std::vector<int16_t> buzz(8000);
    for (size_t i = 0; i < buzz.size(); ++i) buzz[i] = static_cast<int16_t>((i % 64) * 250 - 8000);
    soundDevices->InputCard(0)->Feed(buzz.data(), buzz.size());
    g_voiceEngine->SetPushToTalk(true);
    EXPECT_TRUE(until(
        [&] { return (g_voiceEngine->GetRoomStatus(118700, room) & NoltVoiceEngine::kRoomSent) != 0; }));
}

TEST_F(VoiceHostTest, TheVoiceAtisGoesOnTheAirThroughTheEngineAndOffWhenASessionIsLost) {
    VoiceTestServer server;
    ASSERT_TRUE(server.Start(0, true));
    Start();
    ASSERT_NE(g_atisMaker->Voice(), nullptr) << "the maker has its voice side once the engine exists";
    int buttonUpdates = 0;
    TarqATISMaker::SetConnectButtonUpdater([&] { ++buttonUpdates; });
    g_profile->SetString("VoxATISServer", "127.0.0.1:" + std::to_string(server.Port()));
    g_profile->SetString("ATISMakerICAO", "KLGA");
    g_profile->SetInt("VoxATISFreq", 127050);
    auto until = [&](const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            server.Poll();
            g_voiceEngine->OnTimer();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > deadline) return false;
            usleep(1000);
        }
    };

    // Not signed on, so only the room is joined: under the channel's name.
    ASSERT_TRUE(g_atisMaker->Voice()->ToggleVoiceATIS());
    EXPECT_TRUE(g_voiceEngine->IsAtisBroadcastActive());
    EXPECT_TRUE(until([&] { return server.ReachableMembers("KLGA_ATIS") == 1; }));

    g_networkManager->OnVoiceAtisState(HalkSession::kError);
    EXPECT_FALSE(g_voiceEngine->IsAtisBroadcastActive());
    EXPECT_EQ(buttonUpdates, 1);
    EXPECT_TRUE(until([&] { return server.ReachableMembers("KLGA_ATIS") == 0; }));

    // The controller's own session takes it off the air as well.
    ASSERT_TRUE(g_atisMaker->Voice()->ToggleVoiceATIS());
    EXPECT_TRUE(g_voiceEngine->IsAtisBroadcastActive());
    g_networkManager->OnConnectionState(HalkSession::kClosed);
    EXPECT_FALSE(g_voiceEngine->IsAtisBroadcastActive());
    EXPECT_EQ(buttonUpdates, 2);
    TarqATISMaker::SetConnectButtonUpdater(nullptr);
}

TEST_F(VoiceHostTest, TheVoiceAtisAsksThePanelWhatItsEntriesUse) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    g_commsPanel->OpenEditor(2);
    ASSERT_TRUE(
        g_commsPanel->SaveEditedEntry({"LGA ATIS", "127.050", "voice.example.net", "KLGA_ATIS"}).saved);
    TarqVoiceAtisServices services(*g_voiceEngine, *g_networkManager, g_commsPanel->Entries());
    EXPECT_TRUE(services.IsFrequencyAssigned(127050));
    EXPECT_FALSE(services.IsFrequencyAssigned(127055));
    EXPECT_TRUE(services.IsVoiceChannelAssigned("VOICE.example.net", "klga_atis"));
    EXPECT_FALSE(services.IsVoiceChannelAssigned("voice.example.net", "KJFK_ATIS"));
}

}  // namespace
