// What the program's own global objects do with the seams between their
// parts: the settings store records the last profile, the "$" variables read
// the display manager and the communications panel, the strip bay opens the
// flight plan editor, a captured push-to-talk key takes push-to-talk back
// from the external message, and the reminder lights read the chat and the
// panel. Built on fake displays: no window is needed.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "app/button_kinds.h"
#include "app/command_bindings.h"
#include "app/comms_windows.h"
#include "app/display_button_bar.h"
#include "app/display_fonts.h"
#include "app/general_settings_form.h"
#include "app/program_buttons.h"
#include "comms/command_processor.h"
#include "net/halk_session.h"
#include "platform/clock.h"
#include "local_server.h"
#include "shell_fixture.h"
#include "tools/flight_strip_bay.h"
#include "tools/testserver/test_server.h"

namespace {

// A tool-window frame that is only a rectangle and a shown flag.
struct RecordingFrame : ToolWindowFrame {
    ScreenRect rect{100, 100, 300, 400};
    bool shown = false;
    int activations = 0;
    std::vector<std::string> places;
    ScreenRect GetWindowRect() const override { return rect; }
    int GetClientHeight() const override { return rect.bottom - rect.top; }
    bool IsShown() const override { return shown; }
    void ShowAndRaise() override { shown = true; }
    void HideWindow() override { shown = false; }
    void Activate() override { ++activations; }
    void Place(int x, int y, int w, int h, bool activate) override {
        if (w < 0) w = rect.right - rect.left;
        if (h < 0) h = rect.bottom - rect.top;
        rect = {x, y, x + w, y + h};
        places.push_back(std::to_string(x) + "," + std::to_string(y) + (activate ? " activated" : ""));
    }
    bool HasSizingFrame() const override { return false; }
    void SetSizingFrame(bool) override {}
    bool IsPointOnMonitor(int, int) const override { return true; }
    void ActivateMainDisplay() override {}
};


class ProgramWiring : public ShellFixture {
protected:
    void Open(const std::string& profile) {
        Start();
        ASSERT_TRUE(OpenSessionProfile(ListWith(profile), nullptr, ui));
    }
    std::string Expand(const std::string& text) {
        std::string out;
        EXPECT_TRUE(ExpandAliases(text, out));
        return out;
    }
    // A line as the main display's command line runs it.
    void Run(const std::string& line) {
        CommandProcessorOfShell().ProcessCommandLine(CommandDisplayOf(*g_displayManager->GetMainDisplay()),
                                                     line, true, true);
    }
    std::string LastProfile() const { return registry->GetString(kTarqRegistryKey, kLastProfileValue, "(none)"); }
};

TEST_F(ProgramWiring, SaveAndSaveAsRecordTheLastProfile) {
    Open("Charlie");
    registry->SetString(kTarqRegistryKey, kLastProfileValue, "Alpha");
    g_profile->Save();
    EXPECT_EQ(LastProfile(), "Charlie");
    ASSERT_TRUE(g_profile->SaveProfileAs("Echo"));
    EXPECT_EQ(LastProfile(), "Echo");
}

TEST_F(ProgramWiring, SelectedAircraftAndPrimaryVoiceRoomVariables) {
    Open("Charlie");
    EXPECT_EQ(Expand("$aircraft|$myrw|$mypvtrw"), "----||$ ");
    g_displayManager->SetSelectedCallsign("AAL12");
    EXPECT_EQ(Expand("$aircraft"), "AAL12");

    LocalServer server;
    server.SignOn("NY_CTR");
    g_commsPanel->OpenEditor(0);
    ASSERT_TRUE(g_commsPanel->SaveEditedEntry({"NY_CTR", "125.350", "127.0.0.1", "ny_ctr"}).saved);
    CommsEntries& entries = g_commsPanel->Entries();
    entries.OnPrimaryClicked(0, true);
    entries.OnHeadsetClicked(0, true);
    ASSERT_TRUE(entries.GetSelection(0).headset);
    EXPECT_EQ(Expand("$myrw / $mypvtrw"), "127.0.0.1/ny_ctr / $ 127.0.0.1/ny_ctr");
}

TEST_F(ProgramWiring, StripBayOpensTheFlightPlanEditorWithItsAircraft) {
    Open("Charlie");
    RecordingFrame editor;
    g_flightPlanEditor->AttachFrame(&editor);
    TarqFlightStripBay& bay = *g_flightStripBay;
    bay.SetViewSize(1102, 600);
    bay.AddStripForAircraft("AAL12");
    bay.AddStripForAircraft("UAL7");
    for (int i = 0; i < 20; ++i) bay.OnFrameTick();
    StripBayFrame frame;
    bay.BuildFrame(frame);
    auto keyOf = [&](const std::string& callsign) {
        for (const auto& [key, slot] : bay.Slots())
            if (slot.strip->GetCallsign() == callsign) return key;
        return 0;
    };

    // Ctrl+click fills the editor and leaves it where it is.
    const int row = bay.Slots().at(keyOf("UAL7")).position;
    bay.OnMouseMove(30, row * 64 + 30);
    bay.OnLButtonDown(30, row * 64 + 30, {.ctrl = true});
    EXPECT_EQ(g_flightPlanEditor->GetCallsign(), "UAL7");
    EXPECT_FALSE(editor.shown);

    // "Edit Flight Plan" fills it, shows and activates it.
    StripBayMenu menu;
    menu.title = "AAL12";
    bay.OnMenuCommand(keyOf("AAL12"), kStripMenuEditPlan, menu);
    EXPECT_EQ(g_flightPlanEditor->GetCallsign(), "AAL12");
    EXPECT_EQ(g_flightPlanEditor->GetShownFields().callsign, "AAL12");
    EXPECT_TRUE(editor.shown);
    EXPECT_GE(editor.activations, 1);
    g_flightPlanEditor->AttachFrame(nullptr);
}

TEST_F(ProgramWiring, CapturingThePushToTalkKeyHandsPushToTalkBackToTheKeyPoll) {
    int cleared = 0;
    TarqDisplayEnvironment environment;
    environment.factory = &factory;
    environment.post = queue.Poster();
    environment.schedule = queue.Scheduler();
    environment.hooks.clearPushToTalkByMessage = [&cleared] { ++cleared; };
    CreateGlobalObjects(environment);
    ReadIniFile();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));

    using namespace settings_pages;
    TarqGeneralSettingsForm form(*g_profile, ProgramSettingsEffects());
    SettingsPageValues& values = form.Show(kHotkeys);
    form.CaptureKey(kHotkeys, 1165, 0x12);  // the aircraft select key
    EXPECT_EQ(cleared, 0);
    form.CaptureKey(kHotkeys, 1167, 0x11);  // the push-to-talk key
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(values.ints[1165], 0x12);
    EXPECT_EQ(values.ints[1167], 0x11);
}

// No fonts: the reminder lights measure nothing.
struct NoFonts : TarqFontSource {
    const GlBitmapFont* GetFont(int) const override { return nullptr; }
};

TEST_F(ProgramWiring, ReminderLightsShowUnreadChatAndTheMuteToggle) {
    Open("Charlie");
    g_profile->SetBool("DispBtnReminders", true);
    NoFonts fonts;
    TarqProgramButtonKinds kinds(fonts);
    TarqDisplayButtonBar bar(nullptr, kinds, nullptr);
    std::unique_ptr<TarqDisplayButton> lights;
    for (auto& button : kinds.CreateFixedButtons(bar))
        if (dynamic_cast<TarqDisplayButtonReminderLights*>(button.get())) lights = std::move(button);
    ASSERT_NE(lights, nullptr);

    // The lights flash: the lit half of a second comes within a second.
    auto litColors = [&] {
        std::vector<ButtonColor> lit;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (lit.empty() && std::chrono::steady_clock::now() < deadline) {
            ButtonPicture picture;
            static_cast<TarqPictureButton&>(*lights).Compose(0, 0, picture);
            for (const ButtonShape& shape : picture.Shapes())
                if (shape.kind == ButtonShape::Kind::Fill) lit.push_back(shape.color);
            if (lit.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return lit;
    };
    const ButtonColor chatLight{90, 172, 255}, muteLight{0, 120, 0};
    EXPECT_TRUE(litColors().empty());

    g_chatManager->OnIncomingMessage("AAL12", "with you");
    EXPECT_EQ(litColors(), std::vector<ButtonColor>{chatLight});

    g_commsPanel->SetMuteChecked(true);
    EXPECT_EQ(litColors(), (std::vector<ButtonColor>{muteLight, chatLight}));
}

// ".cascade" moves every tool window's corner, each 50 pixels further than
// the one before, and leaves the stacking and the focus as they were.
TEST_F(ProgramWiring, CascadeMovesEveryToolWindowWithoutActivatingIt) {
    Open("Charlie");
    TarqToolWindow* windows[] = {g_commsPanel,     g_flightPlanEditor, g_aircraftList, g_weatherPanel,
                                 g_controllerList, g_flightStripBay,   g_selcalPanel};
    RecordingFrame frames[7];
    for (int i = 0; i < 7; ++i) windows[i]->AttachFrame(&frames[i]);
    Run(".cascade");
    for (int i = 0; i < 7; ++i) {
        const std::string corner = std::to_string(50 * (i + 1));
        EXPECT_EQ(frames[i].places, std::vector<std::string>{corner + "," + corner}) << "tool window " << i;
        EXPECT_EQ(frames[i].rect.right - frames[i].rect.left, 200) << "the size stays";
        windows[i]->AttachFrame(nullptr);
    }
}

// The voice engine's side of the voice ATIS, on the air or not.
struct OnAirVoiceServices : VoiceAtisServices {
    bool onAir = false;
    void StartAtisRecording(const std::string&) override {}
    void StopAtisRecording() override {}
    bool IsAtisRecording() const override { return false; }
    void StartAtisPreview() override {}
    void StopAtisPreview() override {}
    void StartAtisPlayback(const std::string&) override {}
    void StopAtisPlayback() override {}
    bool IsAtisPlaying() const override { return false; }
    void SetAtisMonitor(bool) override {}
    void StartAtisBroadcast(int, const std::string&, const std::string&, const std::string&) override {}
    void StopAtisBroadcast() override {}
    bool IsAtisBroadcastActive() const override { return onAir; }
    void CloseAtisListeners() override {}
    bool IsConnected() const override { return false; }
    bool IsVoiceAtisConnected() const override { return onAir; }
    void ConnectVoiceAtis() override {}
    void DisconnectVoiceAtis() override {}
    bool IsFrequencyAssigned(int) const override { return false; }
    bool IsVoiceChannelAssigned(const std::string&, const std::string&) const override { return false; }
};

// "(None)" cannot be chosen while the voice ATIS is on the air; the open
// dialog hears of every update, also the automatic one a new METAR runs.
TEST_F(ProgramWiring, AtisLetterAndDialogFollowTheVoiceAtisAndTheWeather) {
    Open("Charlie");
    OnAirVoiceServices voice;
    g_atisMaker->SetVoiceServices(&voice);
    g_profile->SetString("ATISMakerICAO", "KXYZ");
    g_weatherPanel->Store().SetATISStation("KXYZ");
    int refreshes = 0;
    TarqATISMaker::SetDialogRefresher([&refreshes] { ++refreshes; });
    EXPECT_EQ(g_atisMaker->SelectLetter(3), 3);
    voice.onAir = true;
    EXPECT_EQ(g_atisMaker->SelectLetter(0), 1) << "ALPHA instead of (None) on the air";
    voice.onAir = false;
    EXPECT_EQ(g_atisMaker->SelectLetter(0), 0);
    EXPECT_EQ(refreshes, 2) << "the updates after CHARLIE and ALPHA";
    ASSERT_FALSE(g_atisMaker->Maker().SetAutoUpdate(true));
    refreshes = 0;
    g_weatherPanel->Store().OnMetar("KXYZ 091853Z 27010KT 10SM CLR 12/08 A2992");
    EXPECT_EQ(g_atisMaker->GetCurrentLetter(), "ALPHA");
    EXPECT_EQ(refreshes, 1) << "the automatic update reaches the open dialog";
    TarqATISMaker::SetDialogRefresher(nullptr);
    g_atisMaker->SetVoiceServices(nullptr);
}

}  // namespace
