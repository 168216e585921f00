// Starts the real program under X in a temporary data directory and drives
// it: the profile dialog, a session's main display cleared to its background
// colour, a second start, and the way back to the dialog.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/timer.h>
#include <wx/wx.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_title.h"
#include "app/profile_dialog.h"
#include "app/tarq_program.h"
#include "foundation/profile.h"
#include "platform/atomic_file.h"
#include "platform/message_box.h"
#include "platform/single_instance.h"

extern char** environ;

namespace {

constexpr int kBackground = 0x123456;  // 0xBBGGRR: red 0x56, green 0x34, blue 0x12

struct AnswerNo : MessageBoxHandler {
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle) override {
        shown.push_back(caption + "|" + text);
        return style.buttons == MessageBoxButtons::Ok ? MessageBoxResult::Ok : MessageBoxResult::No;
    }
    std::vector<std::string> shown;
};

struct Results {
    std::vector<std::string> listed;
    bool mainDisplayOpened = false;
    unsigned long centrePixel = 0xFFFFFFFF;
    int secondExitCode = -1;
    int raiseRequests = 0;
    long ticksDuringModal = 0;
    unsigned fontBase2 = 0;
    unsigned fontBase9 = 1;
    int font2Width = 0;
    std::string prefilled;
    std::string secondTitle;
    std::string acceleratorPrefill;
    bool secondStayedUntilRedraw = false;
    bool secondGoneAfterRedraw = false;
    std::string savedAsName;
    bool savedAsSection = false;
    std::vector<std::string> titledMenu;
    bool backToDialog = false;
    size_t displaysAfterClose = 99;
    std::vector<std::string> messages;
    std::string failure;
};

Results g_results;
SingleInstance* g_lock = nullptr;

int RunSecondInstance() {
    std::string exe = TARQ_EXECUTABLE;
    char* argv[] = {exe.data(), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) != 0) return -2;
    for (int i = 0; i < 300; ++i) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -4;  // it kept running: it did not see the first instance
}

class DriverApp : public wxApp {
public:
    bool OnInit() override {
        m_program = std::make_unique<TarqProgram>(g_lock, std::getenv("XDG_RUNTIME_DIR"));
        m_program->Start();
        SetMessageBoxHandler(&m_boxes);
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
        m_timer.Start(100);
        m_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        return true;
    }
    int OnExit() override {
        m_timer.Stop();
        g_results.messages = m_boxes.shown;
        m_program.reset();
        return 0;
    }

private:
    void Fail(const std::string& why) {
        g_results.failure = why;
        ExitMainLoop();
    }
    void Step() {
        if (m_inModal) return;
        if (std::chrono::steady_clock::now() > m_deadline)
            return Fail("timed out at step " + std::to_string(m_step));
        ++m_waited;
        switch (m_step) {
            case 0: {
                ProfileDialog* dialog = m_program->GetProfileDialog();
                if (!dialog || !dialog->IsShownOnScreen()) return;
                g_results.listed = dialog->List().entries;
                if (!dialog->Select("Default")) return Fail("Default not listed");
                dialog->OpenSelected();
                Next();
                return;
            }
            case 1: {
                auto* main = g_displayManager
                                 ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay())
                                 : nullptr;
                if (!main || m_waited < 10) return;  // a second of ticks draws it
                g_results.mainDisplayOpened = true;
                g_results.fontBase2 = main->GetFontListBase(2);
                g_results.fontBase9 = main->GetFontListBase(9);
                g_results.font2Width = main->MeasureText(2, "ABC").width;
                main->OnMenuCommand(40008);  // F1
                g_results.prefilled = main->GetCommandLine();
                int x, y, w, h;
                main->GetGlAreaScreenRect(&x, &y, &w, &h);
                wxScreenDC screen;
                wxBitmap bitmap(w, h);
                wxMemoryDC memory(bitmap);
                memory.Blit(0, 0, w, h, &screen, x, y);
                memory.SelectObject(wxNullBitmap);
                wxImage image = bitmap.ConvertToImage();
                g_results.centrePixel = image.GetRed(w / 2, h / 2) | (image.GetGreen(w / 2, h / 2) << 8) |
                                        (image.GetBlue(w / 2, h / 2) << 16);
                Next();
                // Ticks go on while a modal dialog runs its own loop.
                wxDialog modal(nullptr, wxID_ANY, "modal");
                wxTimer closer;
                closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { modal.EndModal(wxID_OK); });
                closer.StartOnce(400);
                long before = m_program->TickCount();
                modal.ShowModal();
                g_results.ticksDuringModal = m_program->TickCount() - before;
                SaveProfileAs();
                wxMenu menu;
                menu.Append(1, "Track");
                InsertMenuTitle(&menu, "DLH&123");
                for (wxMenuItem* item : menu.GetMenuItems()) {
                    g_results.titledMenu.push_back(item->IsSeparator()
                                                       ? "-"
                                                       : std::string(item->IsEnabled() ? "" : "(disabled) ") +
                                                             item->GetItemLabelText().ToStdString());
                }
                return;
            }
            case 2: {
                // New Window, then Close Window on it: it stays until the
                // next full redraw takes it away.
                auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay());
                if (m_waited == 1) {
                    main->OnMenuCommand(121);
                    return;
                }
                if (g_displayManager->DisplayCount() != 2 || m_waited < 5) return;
                auto* second = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetDisplayById(2));
                if (!second) return Fail("New Window made no display 2");
                g_results.secondTitle = static_cast<wxWindow*>(second->GetWindow())->GetLabel().ToStdString();
                // Shift+F1 pressed over the secondary display acts on the main one.
                wxKeyEvent key(wxEVT_KEY_DOWN);
                key.m_keyCode = WXK_F1;
                key.SetShiftDown(true);
                key.SetEventObject(static_cast<wxWindow*>(second->GetWindow()));
                static_cast<wxWindow*>(second->GetWindow())->GetEventHandler()->ProcessEvent(key);
                g_results.acceleratorPrefill = main->GetCommandLine();
                second->OnMenuCommand(153);
                g_results.secondStayedUntilRedraw = g_displayManager->GetDisplayById(2) == second;
                g_displayManager->RedrawAll(false);
                g_results.secondGoneAfterRedraw = g_displayManager->GetDisplayById(2) == nullptr;
                Next();
                return;
            }
            case 3:
                g_results.secondExitCode = RunSecondInstance();
                Next();
                return;
            case 4: {
                if (m_program->RaiseRequestsSeen() == 0 && m_waited < 20) return;
                g_results.raiseRequests = m_program->RaiseRequestsSeen();
                auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay());
                if (!main) return Fail("the main display went away");
                main->OnMenuCommand(125);  // Open Session Profile...
                Next();
                return;
            }
            case 5:
                if (!m_program->GetProfileDialog() || g_displayManager->DisplayCount() != 0) return;
                g_results.backToDialog = true;
                g_results.displaysAfterClose = g_displayManager->DisplayCount();
                ExitMainLoop();
                return;
        }
    }
    // Drives the "Save Profile As" dialog from inside its modal loop: a name
    // the checks refuse, then a good one.
    void SaveProfileAs() {
        wxTimer typist;
        int attempt = 0;
        typist.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            auto* edit = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowById(1094));
            if (!edit) return;
            edit->SetValue(attempt++ == 0 ? "bad/name" : "Tower 2");
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            edit->GetParent()->GetEventHandler()->ProcessEvent(ok);
        });
        typist.Start(150);
        m_inModal = true;
        auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay());
        main->OnMenuCommand(124);  // Save Session Profile As...
        m_inModal = false;
        typist.Stop();
        g_results.savedAsName = g_profile->GetProfileName();
        std::string ini;
        ReadWholeFile("Tarq.ini", ini);
        g_results.savedAsSection = ini.find("[Tower 2]") != std::string::npos;
    }
    void Next() {
        ++m_step;
        m_waited = 0;
    }

    std::unique_ptr<TarqProgram> m_program;
    AnswerNo m_boxes;
    wxTimer m_timer;
    int m_step = 0;
    int m_waited = 0;
    bool m_inModal = false;
    std::chrono::steady_clock::time_point m_deadline;
};

TEST(Program, ProfileDialogSessionSecondStartAndBack) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    auto dir = std::filesystem::temp_directory_path() / ("tarq-program-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "run");
    WriteFileAtomically((dir / "Tarq.ini").string(),
                        "[:META]\nVersion=4\n[Default]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\n"
                        "[Tower]\nDisplayCount=1\n[:CP:Default]\nColorBackground=" +
                            std::to_string(kBackground) + "\n");
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);

    SingleInstance lock(kInstanceName, (dir / "run").string());
    ASSERT_TRUE(lock.Acquire());
    g_lock = &lock;
    int argc = 1;
    char name[] = "tarq";
    char* argv[] = {name, nullptr};
    wxApp::SetInstance(new DriverApp);
    wxEntry(argc, argv);

    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(g_results.failure, "");
    EXPECT_EQ(g_results.listed, (std::vector<std::string>{"Default", "Tower"}));
    EXPECT_TRUE(g_results.mainDisplayOpened);
    EXPECT_EQ(g_results.centrePixel, static_cast<unsigned long>(kBackground))
        << std::hex << g_results.centrePixel;
    EXPECT_GE(g_results.ticksDuringModal, 10) << "about 40 ticks in 400 ms";
    EXPECT_EQ(g_results.titledMenu, (std::vector<std::string>{"(disabled) DLH&123", "-", "Track"}));
    EXPECT_EQ(g_results.secondExitCode, 0);
    EXPECT_GE(g_results.raiseRequests, 1) << "the second start asked the first to come forward";
    EXPECT_TRUE(g_results.backToDialog);
    EXPECT_EQ(g_results.displaysAfterClose, 0u);
    EXPECT_NE(g_results.fontBase2, 0u) << "the display's fonts are made in its GL context";
    EXPECT_EQ(g_results.fontBase9, 0u);
    EXPECT_EQ(g_results.font2Width, 21);
    EXPECT_EQ(g_results.prefilled, ".QP ");
    EXPECT_EQ(g_results.secondTitle, "[2] Tarq 1.2.3 - \"Tower 2\" - Filters Disabled");
    EXPECT_EQ(g_results.acceleratorPrefill, ".AN ");
    EXPECT_TRUE(g_results.secondStayedUntilRedraw);
    EXPECT_TRUE(g_results.secondGoneAfterRedraw);
    EXPECT_EQ(g_results.savedAsName, "Tower 2");
    EXPECT_TRUE(g_results.savedAsSection);
    const std::vector<std::string> expectedMessages = {
        "Error|Invalid profile name. It must consist of only letters, numbers, underscores and spaces. "
        "Maximum "
        "length is 128 characters.",
        // New Window marked the profile modified; the test answers No.
        "Save Profile|The currently active session profile contains unsaved changes. Would you like to save "
        "the "
        "session profile now?"};
    EXPECT_EQ(g_results.messages, expectedMessages);
}

}  // namespace
