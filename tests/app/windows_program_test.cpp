// The real program's tool and chat windows under X (no window manager):
// every one opens wholly on the screen and clear of the main display's menu
// bar and command line; Ctrl+U and the window's menu roll a tool window and
// a chat window up to the caption and back, and a save meanwhile keeps the
// full height.
#include <wx/display.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "app/tarq_program.h"
#include "app/tool_window_dialog.h"
#include "app/tool_windows_wx.h"
#include "comms/chat_manager.h"
#include "foundation/ini_file.h"
#include "program_driver.h"
#include "screen_grab.h"
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

}  // namespace
