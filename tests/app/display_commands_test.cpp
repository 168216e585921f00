#include "app/display_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "shell_fixture.h"

namespace {

struct RecordingHost : TarqDisplayCommandHost {
    WindowHandle GetWindow() const override { return window; }
    void RebuildMenus() override { calls += "menus "; }
    void UpdateTitle() override { calls += "title "; }
    void Redraw() override { calls += "redraw "; }
    void PrefillCommandLine(const std::string& text) override { calls += "prefill " + text; }
    void ClearMessageWaiting() override { calls += "clear "; }
    bool OpenUrl(const std::string& url) override {
        calls += "url " + url + " ";
        return browser;
    }
    void ShowConnectDialog() override { calls += "connect "; }
    void SetBackgroundColor(const std::string& profile, int rgb) override {
        calls += "background " + profile + " " + std::to_string(rgb) + " ";
    }
    void ZoomIn(bool fast) override { calls += fast ? "zoom in fast " : "zoom in "; }
    void ZoomOut(bool fast) override { calls += fast ? "zoom out fast " : "zoom out "; }
    WindowHandle window = nullptr;
    bool browser = true;
    std::string calls;
};

// A session of three displays (the main one and two secondaries) on fake
// windows, and the commands of one of them.
class DisplayCommandsTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        Start();
        ASSERT_TRUE(OpenSessionProfile(ListWith("Alpha"), nullptr, ui));
        ASSERT_EQ(g_displayManager->DisplayCount(), 3u);
        m_main = static_cast<FakeDisplay*>(g_displayManager->GetMainDisplay());
        m_second = static_cast<FakeDisplay*>(g_displayManager->GetDisplayById(2));
        g_profile->SetModified(false);
        boxes.shown.clear();
    }
    std::unique_ptr<TarqDisplayCommands> CommandsOf(FakeDisplay* display) {
        m_host.window = display->GetWindow();
        TarqDisplaySettings settings = NamedSettings("Default", 3);
        settings.Toggles = 0x8000;
        return std::make_unique<TarqDisplayCommands>(settings, display->isMain, *display, m_host, ui);
    }

    FakeDisplay* m_main = nullptr;
    FakeDisplay* m_second = nullptr;
    RecordingHost m_host;
};

TEST_F(DisplayCommandsTest, WhatEachCommandDoes) {
    struct Case {
        const char* name;
        bool onMain;
        int id;
        bool handled;
        // The display's mode, show mask and colour profile, whether the
        // profile was marked modified, and what the window was asked.
        std::string after;
    };
    auto id = [](CommandId c) { return static_cast<int>(c); };
    const std::string help = "https://www.fenwray.example/Tarq/";
    const Case cases[] = {
        {"radar mode", true, id(CommandId::ModeTower), true, "2 8000 Default modified | menus"},
        {"3-D mode on a secondary", false, id(CommandId::Mode3D), true, "6 8000 Default modified | menus"},
        {"a show-mask item", false, id(CommandId::Airports), true, "3 8001 Default modified | menus"},
        {"the radio history is no setting", true, id(CommandId::RadioHistory), true, "3 0 Default | menus"},
        {"filters", true, id(CommandId::FiltersActive), true, "3 8000 Default | title menus"},
        {"quicklook", false, id(CommandId::Quicklook), true, "3 8000 Default | title menus"},
        {"Ctrl+Space", true, id(CommandId::ClearMessageWaiting), true, "3 8000 Default | clear"},
        {"a help page", true, id(CommandId::CommandReference), true,
         "3 8000 Default | url " + help + "docs/command_reference.shtml"},
        {"the home page", true, id(CommandId::WebSite), true, "3 8000 Default | url " + help},
        {"first colour profile", true, kFirstColorProfileId, true,
         "3 8000 Night modified | background Night 0 menus redraw"},
        {"a colour item past the profiles", true, kFirstColorProfileId + 5, true, "3 8000 Default |"},
        {"connect", true, id(CommandId::Connect), true, "3 8000 Default | connect"},
        {"start MP session", true, id(CommandId::StartMpSession), true, "3 8000 Default | redraw menus"},
        {"F11", true, id(CommandId::ZoomIn), true, "3 8000 Default | zoom in"},
        {"Ctrl+F11 on a secondary", false, id(CommandId::ZoomInFast), true, "3 8000 Default | zoom in fast"},
        {"F12", true, id(CommandId::ZoomOut), true, "3 8000 Default | zoom out"},
        {"Ctrl+F12", true, id(CommandId::ZoomOutFast), true, "3 8000 Default | zoom out fast"},
        {"a settings dialog not written yet", true, id(CommandId::FiltersConfigure), true,
         "3 8000 Default |"},
        {"filters by key, no active display", true, id(CommandId::ToggleAltitudeFilters), true,
         "3 8000 Default | title menus"},
        {"declutter without an active display", true, id(CommandId::Declutter), true, "3 8000 Default |"},
        {"a bookmark key goes to the main display's bookmarks", true, id(CommandId::SaveBookmark1), true,
         "3 8000 Default |"},
        {"an unknown id", true, 99999, false, "3 8000 Default |"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_profile->SetModified(false);
        m_host.calls.clear();
        auto commands = CommandsOf(c.onMain ? m_main : m_second);
        EXPECT_EQ(commands->OnMenuCommand(c.id), c.handled);
        const TarqDisplaySettings& s = commands->Settings();
        std::ostringstream after;
        after << s.Mode << " " << std::hex << s.Toggles << " " << s.ColorProfile
              << (g_profile->IsModified() ? " modified" : "") << " | " << m_host.calls;
        std::string text = after.str();
        while (!text.empty() && text.back() == ' ') text.pop_back();
        EXPECT_EQ(text, c.after);
    }
}

TEST_F(DisplayCommandsTest, AHelpPageWithoutABrowserSaysSo) {
    m_host.browser = false;
    m_main->lines.clear();
    auto commands = CommandsOf(m_second);
    for (CommandId id : {CommandId::CommandReference, CommandId::QuickStartGuide}) {
        SCOPED_TRACE(static_cast<int>(id));
        m_main->lines.clear();
        EXPECT_TRUE(commands->OnMenuCommand(id));
        ASSERT_EQ(m_main->lines.size(), 1u);
        EXPECT_EQ(m_main->lines[0], "6 Could not open " + HelpPageUrl(id) + " in a web browser.");
    }
}

TEST_F(DisplayCommandsTest, PrefillsGoToTheMainDisplayFromAnyDisplay) {
    auto commands = CommandsOf(m_second);
    EXPECT_TRUE(commands->OnMenuCommand(CommandId::PrefillAn));
    EXPECT_EQ(m_main->commandLine, ".AN ");
    EXPECT_EQ(m_second->commandLine, "");
}

// A tool window's native window reduced to whether it is shown.
class ShownFrame : public ToolWindowFrame {
public:
    ScreenRect GetWindowRect() const override { return {10, 10, 200, 300}; }
    int GetClientHeight() const override { return 270; }
    bool IsShown() const override { return shown; }
    void ShowAndRaise() override { shown = true; }
    void HideWindow() override { shown = false; }
    void Activate() override {}
    void Place(int, int, int, int, bool) override {}
    bool HasSizingFrame() const override { return false; }
    void SetSizingFrame(bool) override {}
    bool IsPointOnMonitor(int, int) const override { return true; }
    void ActivateMainDisplay() override {}
    bool shown = false;
};

TEST_F(DisplayCommandsTest, ToolWindowsToggleAndEveryDisplayRebuildsItsMenus) {
    auto commands = CommandsOf(m_main);
    ShownFrame frame;
    g_commsPanel->AttachFrame(&frame);
    bool wasVisible = g_commsPanel->IsVisible();
    int menus = m_second->menus;
    EXPECT_TRUE(commands->OnMenuCommand(CommandId::CommsPanel));
    EXPECT_NE(g_commsPanel->IsVisible(), wasVisible);
    EXPECT_EQ(m_second->menus, menus + 1);
    for (const MenuItemState& state : commands->MenuStates()) {
        if (state.id == CommandId::CommsPanel) {
            EXPECT_EQ(state.checked, !wasVisible);
        }
    }
    g_commsPanel->AttachFrame(nullptr);
}

TEST_F(DisplayCommandsTest, NewWindowAndCloseWindow) {
    auto main = CommandsOf(m_main);
    EXPECT_TRUE(main->OnMenuCommand(CommandId::NewWindow));
    EXPECT_EQ(g_displayManager->DisplayCount(), 4u);
    EXPECT_TRUE(g_profile->IsModified());
    g_profile->SetModified(false);
    ReturnToProfileDialog = true;
    auto second = CommandsOf(m_second);
    EXPECT_TRUE(second->OnMenuCommand(CommandId::CloseWindow));
    EXPECT_TRUE(g_profile->IsModified());
    EXPECT_FALSE(ReturnToProfileDialog);
    EXPECT_EQ(g_displayManager->DisplayCount(), 4u) << "it goes at the next full redraw";
    g_displayManager->RedrawAll(false);
    EXPECT_EQ(g_displayManager->DisplayCount(), 3u);
}

TEST_F(DisplayCommandsTest, AboutBox) {
    auto commands = CommandsOf(m_main);
    EXPECT_TRUE(commands->OnMenuCommand(CommandId::About));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].substr(0, boxes.shown[0].find('|')), "About Tarq");
    EXPECT_NE(boxes.shown[0].find("Version: 1.2.3"), std::string::npos);
}

TEST_F(DisplayCommandsTest, MenuStatesFollowTheStateAndThePlace) {
    auto main = CommandsOf(m_main);
    auto second = CommandsOf(m_second);
    main->OnMenuCommand(CommandId::ModeTarq);
    main->OnMenuCommand(CommandId::FiltersActive);
    auto find = [](const std::vector<MenuItemState>& states, CommandId id) -> const MenuItemState* {
        for (const MenuItemState& s : states) {
            if (s.id == id) return &s;
        }
        return nullptr;
    };
    std::vector<MenuItemState> states = main->MenuStates();
    ASSERT_NE(find(states, CommandId::ModeTarq), nullptr);
    EXPECT_TRUE(find(states, CommandId::ModeTarq)->checked);
    EXPECT_FALSE(find(states, CommandId::ModeArts)->checked);
    EXPECT_TRUE(find(states, CommandId::FiltersActive)->checked);
    EXPECT_TRUE(find(states, CommandId::RadioHistory)->checked);
    EXPECT_FALSE(find(states, CommandId::Airports)->checked);
    EXPECT_TRUE(find(states, CommandId::Connect)->enabled) << "not connected";
    EXPECT_FALSE(find(states, CommandId::Disconnect)->enabled);
    EXPECT_TRUE(find(states, CommandId::StartMpSession)->enabled) << "no session running";
    std::vector<MenuItemState> secondary = second->MenuStates();
    EXPECT_EQ(find(secondary, CommandId::CommsPanel), nullptr) << "no Tools menu on a secondary display";
    EXPECT_EQ(find(secondary, CommandId::Connect), nullptr);
    EXPECT_EQ(find(secondary, CommandId::StartMpSession), nullptr);
    EXPECT_FALSE(find(secondary, CommandId::FiltersActive)->checked) << "each display has its own";
    EXPECT_EQ(main->ColorProfileNames(), (std::vector<std::string>{"Night"}));
}

TEST_F(DisplayCommandsTest, CheckConnectedSaysSoWhenNot) {
    m_main->lines.clear();
    EXPECT_FALSE(TarqDisplayCommands::CheckConnected());
    EXPECT_EQ(m_main->lines, std::vector<std::string>{"6 Not connected."});
}

TEST_F(DisplayCommandsTest, StartMpSessionShowsItsFirstLineBeforeConnecting) {
    auto commands = CommandsOf(m_main);
    m_main->lines.clear();
    EXPECT_TRUE(commands->OnMenuCommand(CommandId::StartMpSession));
    // The session is hosted; a display without a scope asks for no visibility centre.
    EXPECT_EQ(m_main->lines,
              (std::vector<std::string>{"7 Starting multiplayer session. This will take a few moments...",
                                        "7 Success."}));
    EXPECT_EQ(m_host.calls.substr(0, 7), "redraw ") << "drawn before the wait";
}

TEST_F(DisplayCommandsTest, ColourProfileSubmenuIsSortedAndItemsPastThirtyStillChoose) {
    // Forty profiles named out of order: "CP39" down to "CP00", with "Night".
    for (int i = 39; i >= 0; --i) {
        char name[16];  // room for any int, which GCC at -O1 cannot rule out
        std::snprintf(name, sizeof name, "CP%02d", i);
        g_profile->SetColor(name, "ColorBackground", i);
    }
    auto commands = CommandsOf(m_main);
    std::vector<std::string> names = commands->ColorProfileNames();
    ASSERT_EQ(names.size(), 41u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names[0], "CP00");
    EXPECT_EQ(names[40], "Night");
    // The 36th item, well past the classic thirty.
    EXPECT_TRUE(commands->OnMenuCommand(kFirstColorProfileId + 35));
    EXPECT_EQ(commands->Settings().ColorProfile, "CP35");
    EXPECT_TRUE(g_profile->IsModified());
    EXPECT_NE(m_host.calls.find("background CP35 35"), std::string::npos) << m_host.calls;
}

}  // namespace
