// The real program under X and the pictures it draws itself, read back from
// the X server: the cursor over the scope for each radar mode (XFixes), kept
// as PNG files in the build tree (looks_screenshots/).
#include <wx/wx.h>

#include <filesystem>
#include <string>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "app/scope_cursor.h"
#include "app/tarq_program.h"
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
    wxImage image(picture.width, picture.height);
    image.InitAlpha();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.At(x, y);
            image.SetRGB(x, y, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            image.SetAlpha(x, y, (p >> 24) & 0xFF);
        }
    }
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    const std::string file = std::string(TARQ_SCREENSHOT_DIR) + "/" + name + ".png";
    std::filesystem::create_directories(TARQ_SCREENSHOT_DIR);
    return image.SaveFile(file, wxBITMAP_TYPE_PNG);
}

// How far the shown cursor is from the program's picture of `cursor`: empty
// when they agree in size, hot spot and every pixel.
std::string CursorDifference(const XPicture& shown, int cursor) {
    const ScopeCursorImage own = DrawScopeCursor(cursor);
    if (shown.width != own.image.width || shown.height != own.image.height)
        return "size " + std::to_string(shown.width) + "x" + std::to_string(shown.height);
    if (shown.hotX != own.hotX || shown.hotY != own.hotY)
        return "hot spot " + std::to_string(shown.hotX) + "," + std::to_string(shown.hotY);
    int wrong = 0;
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) wrong += shown.At(x, y) != own.image.At(x, y);
    }
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

}  // namespace
