// The real program under X and the pictures it draws itself, read back from
// the X server: the cursor over the scope for each radar mode (XFixes) and
// the icon of each kind of top-level window (_NET_WM_ICON), kept as PNG
// files in the build tree (looks_screenshots/).
#include <wx/wx.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "app/profile_dialog.h"
#include "app/program_icon.h"
#include "app/scope_cursor.h"
#include "app/tarq_program.h"
#include "app/tool_window_dialog.h"
#include "app/wx_image.h"
#include "comms/chat_manager.h"
#include "foundation/profile.h"
#include "program_driver.h"
#include "x_looks.h"

namespace {

constexpr const char* kMeta = "[:META]\nVersion=4\n";

struct DataDir : ProgramDataDir {
    explicit DataDir(const std::string& ini) : ProgramDataDir("looks") { Write("Tarq.ini", ini); }
};

bool SavePicture(const XPicture& picture, const std::string& name) {
    if (picture.width <= 0) return false;
    RgbaImage copy(picture.width, picture.height);
    copy.pixels = picture.argb;
    const wxImage image = ToWxImage(copy);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    const std::string file = std::string(TARQ_SCREENSHOT_DIR) + "/" + name + ".png";
    std::filesystem::create_directories(TARQ_SCREENSHOT_DIR);
    return image.SaveFile(file, wxBITMAP_TYPE_PNG);
}

// How many pixels of what the X server holds differ from the program's picture.
int DifferingPixels(const XPicture& shown, const RgbaImage& own) {
    int wrong = 0;
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) wrong += shown.At(x, y) != own.At(x, y);
    }
    return wrong;
}

// How far the shown cursor is from the program's picture of `cursor`: empty
// when they agree in size, hot spot and every pixel.
std::string CursorDifference(const XPicture& shown, int cursor) {
    const ScopeCursorImage own = DrawScopeCursor(cursor);
    if (shown.width != own.image.width || shown.height != own.image.height)
        return "size " + std::to_string(shown.width) + "x" + std::to_string(shown.height);
    if (shown.hotX != own.hotX || shown.hotY != own.hotY)
        return "hot spot " + std::to_string(shown.hotX) + "," + std::to_string(shown.hotY);
    const int wrong = DifferingPixels(shown, own.image);
    return wrong == 0 ? "" : std::to_string(wrong) + " pixels differ";
}

// With the pointer over the main display's scope, a radar mode chosen from
// the menu shows its cursor: the program's cross-hair in DSR, its diagonal
// cross in TAAATS, the square of a position without a primary frequency in
// ARTS, and the system's cross-hair in DSR once "UseSystemCursor" is on.
TEST(LooksProgram, TheScopeCursorFollowsTheRadarMode) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    DataDir data(std::string(kMeta) +
                 "[Default]\nDisplayCount=1\nDisplayLocX1=30\nDisplayLocY1=30\nDisplayWidth1=640\n"
                 "DisplayHeight1=480\nDisplayMode1=4\n");
    struct Stage {
        const char* name;
        CommandId mode;
        bool systemCursor;
        int expected;  // a ChooseScopeCursor number
    };
    const Stage stages[] = {
        {"dsr", CommandId::ModeDsr, false, 167},
        {"taaats", CommandId::ModeTaaats, false, 376},
        {"arts", CommandId::ModeArts, false, 240},
        {"dsr_system", CommandId::ModeDsr, true, kSystemCrossCursor},
    };
    std::vector<std::string> differences;
    XPicture systemCross, ownCross;
    std::vector<ScriptStep> steps = {OpenProfileStep("Default"), SessionUp(), [](int) {
                                         MoveTo(CanvasOf(MainDisplay()));
                                         return true;
                                     }};
    for (const Stage& stage : stages) {
        steps.push_back([&stage](int) {
            g_profile->SetBool("UseSystemCursor", stage.systemCursor);
            MainDisplay()->OnMenuCommand(stage.mode);
            return true;
        });
        steps.push_back([&, stage](int waited) {
            if (waited < 3) return false;
            const XPicture shown = ShownCursor();
            if (shown.width == 0) return ScriptFail("the X server shows no cursor image");
            SavePicture(shown, std::string("cursor_") + stage.name);
            if (stage.expected == kSystemCrossCursor) {
                systemCross = shown;
                return true;
            }
            if (stage.expected == 167) ownCross = shown;
            const std::string difference = CursorDifference(shown, stage.expected);
            // The toolkit may take a moment to set a new cursor.
            if (!difference.empty() && waited < 30) return false;
            differences.push_back(std::string(stage.name) + ": " +
                                  (difference.empty() ? "same" : difference));
            return true;
        });
    }
    steps.push_back(QuitStep());
    const ScriptRun run = RunScript(steps);
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(differences, (std::vector<std::string>{"dsr: same", "taaats: same", "arts: same"}));
    // The system's cross-hair is the toolkit's, not the program's picture.
    EXPECT_GT(systemCross.width, 0);
    EXPECT_NE(systemCross.argb, ownCross.argb);
}

// The sizes of a window's icons and how each differs from the program's
// picture of that size, e.g. "16 same, 32 same".
std::string IconSummary(const std::vector<XPicture>& icons) {
    std::string summary;
    for (const XPicture& icon : icons) {
        if (!summary.empty()) summary += ", ";
        summary += std::to_string(icon.width) + "x" + std::to_string(icon.height);
        const int wrong = DifferingPixels(icon, DrawProgramIcon(icon.width));
        summary += wrong == 0 ? " same" : " " + std::to_string(wrong) + " pixels differ";
    }
    return summary;
}

std::string TitleOf(wxWindow* window) {
    auto* top = dynamic_cast<wxTopLevelWindow*>(window);
    return top ? top->GetTitle().ToStdString() : std::string();
}

// The tool and chat windows shown.
std::vector<wxWindow*> ShownToolWindows() {
    std::vector<wxWindow*> shown;
    for (wxWindow* top : wxTopLevelWindows)
        if (dynamic_cast<TarqToolWindowDialog*>(top) && top->IsShown()) shown.push_back(top);
    return shown;
}

// The profile dialog, the main display, a tool window and a chat window
// each carry the program's scope in both sizes; the ring on the centre row
// of the larger one shows its green on the dark scope.
TEST(LooksProgram, EveryKindOfWindowCarriesTheProgramIcon) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    DataDir data(std::string(kMeta) +
                 "[Default]\nDisplayCount=1\nDisplayLocX1=30\nDisplayLocY1=30\nDisplayWidth1=640\n"
                 "DisplayHeight1=480\nPromptSaveProfile=0\n"
                 "ControllerListLocX=700\nControllerListLocY=40\nControllerListVisible=1\n");
    std::vector<std::string> summaries;
    std::vector<wxWindow*> tools;
    uint32_t ringPixel = 0, scopePixel = 0;
    // Reads the icons of the window titled so; waits while it has none yet.
    auto read = [&](const std::string& kind, const std::string& title, int waited) {
        const std::vector<XPicture> icons = WindowIcons(title);
        if (icons.empty() && waited < 30) return false;
        summaries.push_back(kind + ": " + IconSummary(icons));
        for (const XPicture& icon : icons) {
            SavePicture(icon, "icon_" + kind + "_" + std::to_string(icon.width));
            if (kind == "display" && icon.width == 32) {
                ringPixel = icon.At(6, 16);
                scopePixel = icon.At(3, 16);
            }
        }
        return true;
    };
    const ScriptRun run = RunScript(
        {[&](int waited) {
             ProfileDialog* dialog = ScriptProgram().GetProfileDialog();
             if (!dialog || !dialog->IsShownOnScreen()) return false;
             return read("profile", TitleOf(dialog), waited);
         },
         OpenProfileStep("Default"), SessionUp(),
         [&](int waited) { return read("display", TitleOf(FrameOf(MainDisplay())), waited); },
         [&](int waited) {
             tools = ShownToolWindows();
             if (tools.empty()) return waited < 30 ? false : ScriptFail("no tool window shown");
             return read("tool", TitleOf(tools[0]), waited);
         },
         [&](int waited) {
             if (waited == 1) g_chatManager->OpenChatWindow("EGLL_TWR", "", true);
             wxWindow* chat = nullptr;
             for (wxWindow* shown : ShownToolWindows())
                 if (std::find(tools.begin(), tools.end(), shown) == tools.end()) chat = shown;
             if (!chat) return waited < 30 ? false : ScriptFail("no chat window shown");
             return read("chat", TitleOf(chat), waited);
         },
         QuitStep()});
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(summaries, (std::vector<std::string>{"profile: 16x16 same, 32x32 same",
                                                   "display: 16x16 same, 32x32 same",
                                                   "tool: 16x16 same, 32x32 same",
                                                   "chat: 16x16 same, 32x32 same"}));
    EXPECT_EQ(ringPixel, 0xFF1EB43Cu);
    EXPECT_EQ(scopePixel, 0xFF0A1E12u);
}

}  // namespace
