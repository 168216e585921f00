// The real program's tool and chat windows under X (no window manager):
// every one opens wholly on the screen and clear of the main display's menu
// bar and command line.
#include <wx/display.h>
#include <wx/wx.h>

#include <string>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/tool_window_dialog.h"
#include "comms/chat_manager.h"
#include "program_driver.h"
#include "screen_grab.h"

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

}  // namespace
