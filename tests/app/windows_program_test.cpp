// The real program's tool and chat windows under X: every one opens wholly
// on the screen and clear of the main display's menu bar and command line;
// Ctrl+U and the window's menu roll a tool window and a chat window up to the
// caption and back, and a save meanwhile keeps the full height; saves and
// restarts keep every window's place and size, with no window manager and
// with one that frames windows with a title bar; the screen saver is held off
// while a display window is active.
#include <wx/display.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/comms_windows.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "app/tarq_program.h"
#include "app/tool_window_dialog.h"
#include "app/tool_windows.h"
#include "app/tool_windows_wx.h"
#include "comms/chat_manager.h"
#include "foundation/ini_file.h"
#include "program_driver.h"
#include "screen_grab.h"
#include "tools/flight_strip_bay.h"
#include "x_input.h"

namespace {

constexpr const char* kMeta = "[:META]\nVersion=4\n";

// Every tool window shown, all asked for at the screen's corner, under the
// main display's menu bar.
const std::string kCornerProfile =
    std::string(kMeta) +
    "[Default]\nDisplayCount=1\nDisplayLocX1=0\nDisplayLocY1=0\nDisplayWidth1=1000\n"
    "DisplayHeight1=800\nPromptSaveProfile=0\n"
    "ControllerListLocX=0\nControllerListLocY=0\nControllerListVisible=1\n"
    "AircraftListLocX=1\nAircraftListLocY=0\nAircraftListVisible=1\n"
    "CommsPanelLocX=0\nCommsPanelLocY=5\nCommsPanelVisible=1\n"
    "WeatherPanelLocX=1500\nWeatherPanelLocY=-40\nWeatherPanelVisible=1\n"
    "SELCALPanelLocX=300\nSELCALPanelLocY=0\nSELCALPanelVisible=1\n"
    "StripBayLocX=600\nStripBayLocY=1100\nStripBayVisible=1\n"
    "FlightStripLocX=0\nFlightStripLocY=0\nFlightStripVisible=1\n";

std::vector<TarqToolWindowDialog*> ShownToolDialogs() {
    std::vector<TarqToolWindowDialog*> shown;
    for (wxWindow* top : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<TarqToolWindowDialog*>(top);
        if (dialog && dialog->IsShown()) shown.push_back(dialog);
    }
    return shown;
}

bool Overlap(const wxRect& a, const wxRect& b) {
    return a.x < b.GetRight() + 1 && b.x < a.GetRight() + 1 && a.y < b.GetBottom() + 1 &&
           b.y < a.GetBottom() + 1;
}

TEST(WindowsProgram, NewWindowsOpenOnScreenClearOfTheMenuBarAndCommandLine) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    ProgramDataDir data("windows");
    data.Write("Tarq.ini", kCornerProfile);
    std::vector<std::string> misplaced;
    int checked = 0;
    const ScriptRun run = RunScript(
        {OpenProfileStep("Default"), SessionUp(),
         [&](int waited) {
             // A chat window opened as the controller list opens one.
             if (waited == 1) g_chatManager->OpenChatWindow("EGLL_TWR", "", true);
             if (waited < 5) return false;
             auto* frame = dynamic_cast<wxFrame*>(FrameOf(MainDisplay()));
             const wxRect screen = wxDisplay(0u).GetClientArea();
             const wxRect menus = frame->GetMenuBar()->GetScreenRect();
             const wxRect line = CommandLineOf(MainDisplay())->GetScreenRect();
             for (TarqToolWindowDialog* dialog : ShownToolDialogs()) {
                 ++checked;
                 const wxRect r = dialog->GetRect();
                 const bool onScreen = screen.Contains(r);
                 const bool clear =
                     r.y > menus.GetBottom() &&
                     !Overlap(r, wxRect(frame->GetRect().x, line.y, frame->GetRect().width, line.height));
                 if (!onScreen || !clear)
                     misplaced.push_back(dialog->GetTitle().ToStdString() + " at " + std::to_string(r.x) +
                                         "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
                                         std::to_string(r.height));
             }
             SaveScreenshot(GrabScreen(screen.x, screen.y, screen.width, screen.height),
                            std::string(TARQ_SCREENSHOT_DIR) + "/windows_new_windows.png");
             return true;
         },
         QuitStep()});
    EXPECT_EQ(run.failure, "");
    EXPECT_GE(checked, 8) << "seven tool windows and the chat window";
    EXPECT_TRUE(misplaced.empty()) << ::testing::PrintToString(misplaced);
}

// A window rolled up and down again, as X sizes it.
struct RollUp {
    std::string title;
    int outer = 0;    // the toolkit's outer height before
    int caption = 0;  // of which frame and caption
    int x = 0;        // X's height before, rolled up, rolled down
    int xUp = 0;
    int xDown = 0;
    int saved = -1;  // the profile's height saved while rolled up
};

using FocusedChild = std::function<wxWindow*()>;

// Ctrl+U with the pointer over the child that has the focus. A window
// manager makes the window active on a click; here the program does.
void PressRollUpKey(wxWindow* child) {
    wxGetTopLevelParent(child)->Raise();
    MoveTo(child);
    child->SetFocus();
    Pump();
    wxUIActionSimulator().Char('u', wxMOD_CONTROL);
}

std::vector<ScriptStep> ByKey(FocusedChild focus) {
    return {[focus](int) {
        PressRollUpKey(focus());
        return true;
    }};
}

// A right-click on the child, then Down and Enter inside the menu's own loop.
std::vector<ScriptStep> ByMenu(FocusedChild focus) {
    return {[focus](int) {
                MoveTo(focus(), 20, 20);
                wxTheApp->CallAfter([] { wxUIActionSimulator().MouseClick(wxMOUSE_BTN_RIGHT); });
                return true;
            },
            [](int waited) {
                if (waited < 5) return false;
                wxUIActionSimulator().Char(WXK_DOWN);
                return true;
            },
            [](int waited) {
                if (waited < 3) return false;
                wxUIActionSimulator().Char(WXK_RETURN);
                return true;
            }};
}

// The steps that roll the window up, let `whileUp` act, and roll it down by
// the key; `focus` gives the child that has the focus.
void AddRollUpSteps(
    std::vector<ScriptStep>& steps, RollUp& r, FocusedChild focus, std::vector<ScriptStep> rollUp,
    std::function<void()> whileUp = [] {}) {
    steps.push_back([&r, focus](int) {
        wxWindow* child = focus();
        if (!child) return ScriptFail("no window for " + r.title);
        wxWindow* dialog = wxGetTopLevelParent(child);
        r.title = dialog->GetLabel().ToStdString();
        r.outer = dialog->GetSize().y;
        r.caption = r.outer - dialog->GetClientSize().y;
        int width = 0;
        if (!XWindowSize(r.title, &width, &r.x)) return ScriptFail(r.title + " is not on the X screen");
        return true;
    });
    steps.insert(steps.end(), rollUp.begin(), rollUp.end());
    steps.push_back([&r](int waited) {
        int width = 0;
        XWindowSize(r.title, &width, &r.xUp);
        if (r.xUp < r.x / 2) return true;
        return waited > 100 && ScriptFail(r.title + " did not roll up");
    });
    steps.push_back([whileUp](int) {
        whileUp();
        return true;
    });
    // Rolling up gave the focus to the main display; a click on the
    // caption would bring it back.
    steps.push_back([focus](int) {
        PressRollUpKey(focus());
        return true;
    });
    steps.push_back([&r](int waited) {
        int width = 0;
        XWindowSize(r.title, &width, &r.xDown);
        if (r.xDown == r.x) return true;
        return waited > 100 && ScriptFail(r.title + " did not roll down");
    });
}

wxTextCtrl* ChatInput() {
    for (TarqToolWindowDialog* dialog : ShownToolDialogs()) {
        if (dialog->GetTitle().Find("EGLL_TWR") == wxNOT_FOUND) continue;
        for (wxWindow* child : dialog->GetChildren())
            if (auto* edit = dynamic_cast<wxTextCtrl*>(child); edit && edit->IsEditable()) return edit;
    }
    return nullptr;
}

TEST(WindowsProgram, CtrlUAndTheMenuRollAToolWindowAndAChatWindowUpAndDown) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    ProgramDataDir data("windows");
    data.Write("Tarq.ini", std::string(kMeta) +
                               "[Work]\nDisplayCount=1\nDisplayLocX1=0\nDisplayLocY1=0\nDisplayWidth1=1000\n"
                               "DisplayHeight1=800\nPromptSaveProfile=0\nControllerListLocX=1100\n"
                               "ControllerListLocY=100\nControllerListHeight=400\nControllerListVisible=1\n");
    RollUp listByKey, listByMenu, chat;
    std::vector<ScriptStep> steps = {OpenProfileStep("Work"), SessionUp(), [](int waited) {
                                         if (waited == 1) g_chatManager->OpenChatWindow("EGLL_TWR", "", true);
                                         return ChatInput() != nullptr;
                                     }};
    // Signed off, the list has no rows and so no menu of its own.
    const FocusedChild listRows = [] {
        wxDialog* dialog = ScriptProgram().ToolWindows().GetControllerListDialog();
        return dialog ? dialog->FindWindow(tool_window_ids::kControllerRows) : nullptr;
    };
    const FocusedChild chatInput = [] { return static_cast<wxWindow*>(ChatInput()); };
    AddRollUpSteps(steps, listByKey, listRows, ByKey(listRows), [&listByKey] {
        MainDisplay()->OnMenuCommand(CommandId::SaveSessionProfile);
        CIniFile ini("Tarq.ini");
        ini.Read();
        listByKey.saved = ini.GetInt("Work", "ControllerListHeight", -1);
    });
    AddRollUpSteps(steps, listByMenu, listRows, ByMenu(listRows));
    AddRollUpSteps(steps, chat, chatInput, ByKey(chatInput));
    steps.push_back(QuitStep());
    const ScriptRun run = RunScript(steps);
    EXPECT_EQ(run.failure, "");
    for (const RollUp* r : {&listByKey, &listByMenu, &chat}) {
        SCOPED_TRACE(r->title);
        EXPECT_GT(r->x, 100);
        // X sizes the client area; what is left of it rolled up is at most a pixel.
        EXPECT_LE(r->xUp, std::max(r->caption, 1));
        EXPECT_EQ(r->xDown, r->x);
    }
    EXPECT_EQ(listByKey.saved, listByKey.outer) << "a rolled-up window saves its full height";
}

// Two displays and every tool window at a known place, clear of the main
// display's menu bar and command line, the sizable ones at known heights.
const std::string kWorkProfile =
    std::string(kMeta) +
    "[Work]\nDisplayCount=2\nPromptSaveProfile=0\n"
    "DisplayLocX1=0\nDisplayLocY1=0\nDisplayWidth1=800\nDisplayHeight1=600\n"
    "DisplayLocX2=0\nDisplayLocY2=660\nDisplayWidth2=700\nDisplayHeight2=500\n"
    "ControllerListLocX=820\nControllerListLocY=40\nControllerListHeight=300\nControllerListVisible=1\n"
    "AircraftListLocX=1050\nAircraftListLocY=40\nAircraftListHeight=320\nAircraftListVisible=1\n"
    "WeatherPanelLocX=1280\nWeatherPanelLocY=40\nWeatherPanelHeight=180\nWeatherPanelVisible=1\n"
    "SELCALPanelLocX=1280\nSELCALPanelLocY=260\nSELCALPanelVisible=1\n"
    "StripBayLocX=820\nStripBayLocY=400\nStripBayHeight=400\nStripBayVisible=1\n"
    "CommsPanelLocX=1100\nCommsPanelLocY=420\nCommsPanelVisible=1\n"
    "FlightStripLocX=720\nFlightStripLocY=660\nFlightStripVisible=1\n";

struct SavedWindow {
    const char* stem;
    bool withHeight;
    TarqToolWindow* (*tool)();
};
const SavedWindow kSavedWindows[] = {
    {"CommsPanel", false, [] { return static_cast<TarqToolWindow*>(g_commsPanel); }},
    {"WeatherPanel", true, [] { return static_cast<TarqToolWindow*>(g_weatherPanel); }},
    {"ControllerList", true, [] { return static_cast<TarqToolWindow*>(g_controllerList); }},
    {"AircraftList", true, [] { return static_cast<TarqToolWindow*>(g_aircraftList); }},
    {"FlightStrip", false, [] { return static_cast<TarqToolWindow*>(g_flightPlanEditor); }},
    {"StripBay", true, [] { return static_cast<TarqToolWindow*>(g_flightStripBay); }},
    {"SELCALPanel", true, [] { return static_cast<TarqToolWindow*>(g_selcalPanel); }},
};

std::vector<std::string> SavedKeys() {
    std::vector<std::string> keys;
    for (const SavedWindow& w : kSavedWindows) {
        for (const char* field : {"Visible", "LocX", "LocY", "Height"})
            if (w.withHeight || std::string(field) != "Height") keys.push_back(w.stem + std::string(field));
    }
    for (int n : {1, 2}) {
        for (const char* field : {"DisplayLocX", "DisplayLocY", "DisplayWidth", "DisplayHeight", "DisplayMaximized"})
            keys.push_back(field + std::to_string(n));
    }
    return keys;
}

std::map<std::string, std::string> ReadSavedKeys() {
    CIniFile ini("Tarq.ini");
    std::map<std::string, std::string> values;
    if (!ini.Read()) return values;
    for (const std::string& key : SavedKeys()) values[key] = ini.GetText("Work", key, "");
    return values;
}

std::string Describe(const XFrame& f) {
    return std::to_string(f.x) + "," + std::to_string(f.y) + " " + std::to_string(f.width) + "x" +
           std::to_string(f.height);
}

// Where the X server shows each window against what Tarq.ini says; empty
// when they agree. Widths of tool windows are not saved, so not compared.
std::vector<std::string> WindowsAgainstProfile(const std::map<std::string, std::string>& saved) {
    std::vector<std::string> wrong;
    auto value = [&saved](const std::string& key) { return std::atoi(saved.at(key).c_str()); };
    for (const SavedWindow& w : kSavedWindows) {
        auto* dialog = w.tool() ? dynamic_cast<wxDialog*>(w.tool()->GetFrame()) : nullptr;
        XFrame f;
        if (!dialog || !FindXFrame(dialog->GetTitle().ToStdString(), &f)) {
            wrong.push_back(std::string(w.stem) + " not shown");
            continue;
        }
        const std::string stem = w.stem;
        // A height the profile has not stored yet is the window's own.
        const bool heightStored = w.withHeight && !saved.at(stem + "Height").empty();
        if (f.x != value(stem + "LocX") || f.y != value(stem + "LocY") ||
            (heightStored && f.height != value(stem + "Height")))
            wrong.push_back(stem + " at " + Describe(f));
    }
    int n = 0;
    g_displayManager->ForEachDisplay([&](TarqDisplay& display) {
        // The displays in the order the profile numbers them: the main display first.
        const int number = &display == g_displayManager->GetMainDisplay() ? 1 : 2;
        ++n;
        XFrame f;
        const std::string k = std::to_string(number);
        if (!FindXFrame(static_cast<wxFrame*>(FrameOf(&display))->GetTitle().ToStdString(), &f))
            wrong.push_back("display " + k + " not shown");
        else if (f.x != value("DisplayLocX" + k) || f.y != value("DisplayLocY" + k) ||
                 f.width != value("DisplayWidth" + k) || f.height != value("DisplayHeight" + k))
            wrong.push_back("display " + k + " at " + Describe(f));
    });
    if (n != 2) wrong.push_back(std::to_string(n) + " displays");
    return wrong;
}

// One run of the program: opens the profile, waits till every window is
// where Tarq.ini says (a window manager's frame comes after mapping), saves
// and ends.
void OneSessionSavedAndEnded(const std::string& screenshot) {
    const std::map<std::string, std::string> saved = ReadSavedKeys();
    ASSERT_FALSE(saved.empty());
    std::vector<std::string> wrong;
    const ScriptRun run = RunScript(
        {OpenProfileStep("Work"), SessionUp(),
         [&](int waited) {
             wrong = WindowsAgainstProfile(saved);
             if (!wrong.empty() && waited < 100) return false;
             const wxRect screen = wxDisplay(0u).GetGeometry();
             SaveScreenshot(GrabScreen(screen.x, screen.y, screen.width, screen.height), screenshot);
             return true;
         },
         [](int) {
             MainDisplay()->OnMenuCommand(CommandId::SaveSessionProfile);
             return true;
         },
         QuitStep()},
        nullptr, 60);
    EXPECT_EQ(run.failure, "");
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
}

// Save and restart three times: every saved place and size stays as it was
// and the windows show it, without a window manager and with one whose title
// bars are 25 pixels high (their frames known only after mapping).
TEST(WindowsProgram, SavesAndRestartsKeepEveryWindowsPlaceAndSize) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (InChildProcess()) {
        OneSessionSavedAndEnded(std::getenv("TARQ_TEST_SCREENSHOT"));
        return;
    }
    for (const int titleBar : {0, 25}) {
        SCOPED_TRACE("title bar " + std::to_string(titleBar));
        ChildProgram manager;
        if (titleBar > 0) {
            std::string line;
            ASSERT_TRUE(manager.Start({TARQ_FAKE_WINDOW_MANAGER, std::to_string(titleBar)}, &line));
            ASSERT_EQ(line, "ready") << "another window manager runs";
        }
        ProgramDataDir data("saves");
        data.Write("Tarq.ini", kWorkProfile);
        std::map<std::string, std::string> first = ReadSavedKeys();
        for (int cycle = 1; cycle <= 3; ++cycle) {
            const std::string screenshot = std::string(TARQ_SCREENSHOT_DIR) + "/saves_" +
                                           std::to_string(titleBar) + "_" + std::to_string(cycle) + ".png";
            setenv("TARQ_TEST_SCREENSHOT", screenshot.c_str(), 1);
            InChild();
            // Keys the first profile left out are what the first save wrote.
            const std::map<std::string, std::string> now = ReadSavedKeys();
            for (const std::string& key : SavedKeys()) {
                if (first[key].empty()) first[key] = now.at(key);
                EXPECT_EQ(now.at(key), first[key]) << key << " after save " << cycle;
            }
        }
    }
}

TEST(WindowsProgram, TheScreenSaverIsHeldOffWhileADisplayIsActive) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    ProgramDataDir data("screen-saver");
    data.Write("Tarq.ini", std::string(kMeta) +
                               "[Default]\nDisplayCount=1\nDisplayLocX1=0\nDisplayLocY1=0\nDisplayWidth1=800\n"
                               "DisplayHeight1=600\nPromptSaveProfile=0\n");
    AnswerNo boxes;
    const ScriptRun run = RunScript(
        {[](int) {
             if (ScriptProgram().HoldsScreenSaverOff()) return ScriptFail("held off at the profile dialog");
             return true;
         },
         OpenProfileStep("Default"), SessionUp(),
         [](int waited) {
             // No window manager: the window under the pointer is the active one.
             if (waited == 1) MoveTo(CanvasOf(MainDisplay()));
             if (waited > 100) return ScriptFail("an active display did not hold the saver off");
             return dynamic_cast<wxTopLevelWindow*>(FrameOf(MainDisplay()))->IsActive() && ScriptProgram().HoldsScreenSaverOff();
         },
         [](int waited) {
             // Back to the profile dialog: no session, nothing holds the saver off.
             if (waited == 1)
                 dynamic_cast<wxFrame*>(FrameOf(MainDisplay()))
                     ->ProcessCommand(ToToolkitId(CommandId::OpenSessionProfile));
             if (waited > 100) return ScriptFail("the saver stayed held off after the session closed");
             return ScriptProgram().GetProfileDialog() && !ScriptProgram().HoldsScreenSaverOff();
         },
         QuitStep()},
        &boxes);
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(boxes.shown, std::vector<std::string>{});
}

}  // namespace
