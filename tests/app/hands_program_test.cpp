// The real program under X driven by the keyboard and the mouse as a
// controller drives it (no window manager: keys go where the pointer is):
// Enter in the profile dialog while the open shows a message box; an
// accelerator pressed over a tool window and over a secondary display;
// typing over a secondary display and over the strip bay; hotkeys captured
// in the general settings; the aircraft-select key completing a command and
// Up recalling it; and an exit whose save fails, which keeps the program
// open. Each test runs the program in a child process of its own, since the
// toolkit starts once per process.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/notebook.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/wx.h>
#include <wx/xrc/xmlres.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "app/profile_dialog.h"
#include "app/tarq_program.h"
#include "app/tool_window_dialog.h"
#include "app/tool_windows_wx.h"
#include "app/wx_message_boxes.h"
#include "comms/command_processor.h"
#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "memory_voice.h"
#include "platform/atomic_file.h"
#include "platform/message_box.h"
#include "platform/single_instance.h"
#include "scope/display_scope.h"
#include "scope/sticky_builder.h"
#include "x_input.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kChildVariable = "TARQ_HANDS_CHILD";

// Runs this one test again in a child process; true in the child itself.
bool InChild(const std::string& test) {
    if (std::getenv(kChildVariable)) return true;
    std::string exe = fs::read_symlink("/proc/self/exe").string();
    std::string filter = "--gtest_filter=HandsProgram." + test;
    char* argv[] = {exe.data(), filter.data(), nullptr};
    setenv(kChildVariable, "1", 1);
    pid_t pid;
    const bool spawned = posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) == 0;
    unsetenv(kChildVariable);
    EXPECT_TRUE(spawned);
    if (!spawned) return false;
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFSIGNALED(status) ? "the program died of signal " + std::to_string(WTERMSIG(status))
                                : std::string("the child's failures are above"));
    return false;
}

// A data directory with the given Tarq.ini, the current directory while it lives.
struct DataDir {
    fs::path dir;
    fs::path previous = fs::current_path();
    explicit DataDir(const std::string& ini) {
        dir = fs::temp_directory_path() / ("tarq-hands-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "run");
        WriteFileAtomically((dir / "Tarq.ini").string(), ini);
        fs::current_path(dir);
        setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        setenv("GDK_BACKEND", "x11", 1);
    }
    ~DataDir() {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
};

// The program's own boxes, noting what each says and whether one is open.
struct RealBoxes : MessageBoxHandler {
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle owner) override {
        shown.push_back(caption + "|" + text);
        ++open;
        MessageBoxResult answer = real.Show(text, caption, style, owner);
        --open;
        return answer;
    }
    WxMessageBoxHandler real;
    std::vector<std::string> shown;
    int open = 0;
};

TarqProgram* g_program = nullptr;
std::string g_failure;
bool g_quitByProgram = false;
bool g_scriptQuit = false;

// A step of a script: called on every tick until it returns true. Steps
// never block: a modal dialog is opened after the step has returned.
using Step = std::function<bool(int waited)>;

class ScriptApp : public wxApp {
public:
    ScriptApp(SingleInstance* lock, std::vector<Step> steps, MessageBoxHandler* boxes)
        : m_lock(lock), m_steps(std::move(steps)), m_boxes(boxes) {}
    bool OnInit() override {
        UseMemoryVoice();
        m_program = std::make_unique<TarqProgram>(m_lock, std::getenv("XDG_RUNTIME_DIR"));
        g_program = m_program.get();
        m_program->Start();
        if (m_boxes) SetMessageBoxHandler(m_boxes);
        delete wxLog::SetActiveTarget(new wxLogStderr);
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
        m_timer.Start(100);
        m_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(150);
        return true;
    }
    int OnExit() override {
        m_timer.Stop();
        g_quitByProgram = !m_exitedByScript && !g_scriptQuit;
        g_program = nullptr;
        m_program.reset();
        return 0;
    }

private:
    void Tick() {
        if (m_busy) return;
        if (std::chrono::steady_clock::now() > m_deadline) {
            if (g_failure.empty()) g_failure = "timed out at step " + std::to_string(m_step);
            m_exitedByScript = true;
            ExitMainLoop();
            return;
        }
        if (m_step >= m_steps.size()) return;
        m_busy = true;
        const bool done = m_steps[m_step](++m_waited);
        m_busy = false;
        if (!done) return;
        ++m_step;
        m_waited = 0;
        if (!g_failure.empty()) {
            m_exitedByScript = true;
            ExitMainLoop();
        }
    }

    SingleInstance* m_lock;
    std::vector<Step> m_steps;
    MessageBoxHandler* m_boxes;
    std::unique_ptr<TarqProgram> m_program;
    wxTimer m_timer;
    size_t m_step = 0;
    int m_waited = 0;
    bool m_busy = false;
    bool m_exitedByScript = false;
    std::chrono::steady_clock::time_point m_deadline;
};

// Runs the program in the data directory with the script; the last step
// ends the loop itself (or leaves it to the program).
void RunProgram(std::vector<Step> steps, MessageBoxHandler* boxes = nullptr) {
    SingleInstance lock(kInstanceName, (fs::current_path() / "run").string());
    ASSERT_TRUE(lock.Acquire());
    int argc = 1;
    char name[] = "tarq";
    char* argv[] = {name, nullptr};
    wxApp::SetInstance(new ScriptApp(&lock, std::move(steps), boxes));
    wxEntry(argc, argv);
}

bool Fail(const std::string& why) {
    g_failure = why;
    return true;
}

void Pump(int milliseconds = 60) {
    for (int waited = 0; waited < milliseconds; waited += 10) {
        wxYield();
        wxMilliSleep(10);
    }
}

void MoveTo(wxWindow* w, int dx = -1, int dy = -1) {
    const wxSize size = w->GetSize();
    wxUIActionSimulator().MouseMove(w->GetScreenPosition() +
                                    wxPoint(dx < 0 ? size.x / 2 : dx, dy < 0 ? size.y / 2 : dy));
    Pump();
}

void Click(wxWindow* w, int dx = -1, int dy = -1) {
    MoveTo(w, dx, dy);
    wxUIActionSimulator().MouseClick();
    Pump(400);  // past the double-click time
}

WxDisplayWindow* Main() {
    return g_displayManager ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay()) : nullptr;
}

wxWindow* FrameOf(TarqDisplay* display) { return static_cast<wxWindow*>(display->GetWindow()); }
wxWindow* CanvasOf(TarqDisplay* display) { return wxWindow::FindWindowById(1005, FrameOf(display)); }

// Opens the session of the profile "Default" once the dialog is up.
Step OpenDefault() {
    return [](int waited) {
        ProfileDialog* dialog = g_program->GetProfileDialog();
        if (!dialog || !dialog->IsShownOnScreen() || waited < 3) return false;
        if (!dialog->Select("Default")) return Fail("Default not listed");
        dialog->OpenSelected();
        return true;
    };
}

// The session is up and drawn.
Step SessionUp() {
    return [](int waited) { return Main() && waited >= 10; };
}

Step Quit() {
    return [](int) {
        g_scriptQuit = true;
        wxTheApp->ExitMainLoop();
        return true;
    };
}

// The topmost modal dialog, or null.
wxDialog* TopModal() {
    wxDialog* found = nullptr;
    for (wxWindow* top : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(top);
        if (dialog && dialog->IsModal() && dialog->IsShown()) found = dialog;
    }
    return found;
}

// Presses Enter over the open box every few ticks until no box is open;
// true once at least that many boxes were shown and closed.
bool DismissBoxes(const RealBoxes& boxes, int waited, size_t atLeast) {
    if (boxes.open == 0) return boxes.shown.size() >= atLeast;
    int x = 0, y = 0;
    const std::string caption = boxes.shown.back().substr(0, boxes.shown.back().find('|'));
    if (waited % 5 == 0 && FindXWindow(caption, &x, &y)) {
        wxUIActionSimulator sim;
        sim.MouseMove(x, y);
        Pump();
        sim.Char(WXK_RETURN);
    }
    return false;
}

constexpr const char* kMeta = "[:META]\nVersion=4\n";

// Enter on the list opens the session; the open shows "Error loading POF
// file!" (the position file is missing), and dismissing that box must not
// take the program down: the dialog goes while the box's loop runs.
TEST(HandsProgram, EnterInTheProfileDialogWithABoxDuringTheOpen) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    if (!InChild("EnterInTheProfileDialogWithABoxDuringTheOpen")) return;
    DataDir data(std::string(kMeta) +
                 "[Default]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\nPOFFile=missing.pof\n");
    RealBoxes boxes;
    bool sessionOpened = false;
    RunProgram({[](int waited) {
                    ProfileDialog* dialog = g_program->GetProfileDialog();
                    if (!dialog || !dialog->IsShownOnScreen() || waited < 3) return false;
                    wxWindow* list = wxWindow::FindWindowById(1002, dialog);
                    if (!list) return Fail("no profile list");
                    Click(list, 40, 8);  // the one entry, "Default"
                    wxUIActionSimulator().Char(WXK_RETURN);
                    return true;
                },
                [&boxes](int waited) { return DismissBoxes(boxes, waited, 1); },
                [&sessionOpened](int waited) {
                    if (!Main() || waited < 10) return false;
                    sessionOpened = !g_program->GetProfileDialog();
                    return true;
                },
                Quit()},
               &boxes);
    EXPECT_EQ(g_failure, "");
    EXPECT_TRUE(sessionOpened);
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Error|Error loading POF file!"}));
}

// One session with two displays, the controller list and the strip bay:
// Ctrl+F over the controller list toggles the filters; Ctrl+G over the
// active secondary display opens that display's diagrams; letters typed
// over the secondary display and over the strip bay reach the main
// display's command line.
TEST(HandsProgram, KeysOverToolWindowsAndASecondaryDisplay) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    if (!InChild("KeysOverToolWindowsAndASecondaryDisplay")) return;
    DataDir data(std::string(kMeta) +
                 "[Default]\nDisplayCount=2\nDisplayLocX1=20\nDisplayLocY1=20\nDisplayWidth1=700\n"
                 "DisplayHeight1=500\nDisplayLocX2=20\nDisplayLocY2=600\nDisplayWidth2=600\n"
                 "DisplayHeight2=450\nControllerListLocX=800\nControllerListLocY=20\n"
                 "ControllerListHeight=300\nControllerListVisible=1\nStripBayLocX=800\nStripBayLocY=400\n"
                 "StripBayHeight=400\nStripBayVisible=1\n");
    bool filtersBefore = false, filtersAfter = false;
    std::string typed;
    int diagramsOwner = 0;
    TarqDisplay* second = nullptr;
    RunProgram({OpenDefault(), SessionUp(),
                [&](int) {
                    g_displayManager->ForEachDisplay([&](TarqDisplay& d) {
                        if (&d != Main()) second = &d;
                    });
                    if (!second) return Fail("no secondary display");
                    wxDialog* list = g_program->ToolWindows().GetControllerListDialog();
                    if (!list || !list->IsShown()) return Fail("the controller list is not shown");
                    TarqDisplayScope* scope = Main()->GetScope();
                    filtersBefore = scope->AreFiltersEnabled();
                    Click(list);
                    wxUIActionSimulator().Char('f', wxMOD_CONTROL);
                    Pump(200);
                    filtersAfter = scope->AreFiltersEnabled();
                    return true;
                },
                [&](int) {
                    Main()->SetCommandLine("");
                    Click(CanvasOf(second));
                    wxUIActionSimulator().Text("abc");
                    Pump(200);
                    wxWindow* bay = nullptr;
                    for (wxWindow* top : wxTopLevelWindows)
                        if (top->GetLabel() == "Flight Strip Bay" && top->IsShown()) bay = top;
                    if (!bay) return Fail("the strip bay is not shown");
                    wxWindow* surface = wxWindow::FindWindowById(1163, bay);
                    Click(surface ? surface : bay);
                    wxUIActionSimulator().Text("de");
                    Pump(200);
                    typed = Main()->GetCommandLine();
                    return true;
                },
                [&](int) {
                    // The window manager would make the clicked display the active one.
                    g_displayManager->SetActiveWindow(second->GetWindow());
                    MoveTo(CanvasOf(second));
                    wxUIActionSimulator().Char('g', wxMOD_CONTROL);
                    Pump(300);
                    for (wxWindow* top : wxTopLevelWindows) {
                        auto* dialog = dynamic_cast<wxDialog*>(top);
                        if (!dialog || dynamic_cast<TarqToolWindowDialog*>(dialog) || !dialog->IsShown())
                            continue;
                        if (dialog->GetParent() == FrameOf(second)) diagramsOwner = 2;
                        if (dialog->GetParent() == FrameOf(Main())) diagramsOwner = 1;
                    }
                    return true;
                },
                Quit()});
    EXPECT_EQ(g_failure, "");
    EXPECT_NE(filtersAfter, filtersBefore) << "Ctrl+F over the controller list";
    EXPECT_EQ(typed, "abcde");
    EXPECT_EQ(diagramsOwner, 2) << "Ctrl+G opens the active display's diagrams (0: none opened)";
}

// The hotkey fields of the general settings take keypad "+", "\" and Right
// Ctrl, and store the sided code of a modifier.
TEST(HandsProgram, HotkeysCapturedInTheGeneralSettings) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    if (!InChild("HotkeysCapturedInTheGeneralSettings")) return;
    DataDir data(std::string(kMeta) +
                 "[Default]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\n"
                 "ASELKey=112\nCSELKey=113\nPTTKey=114\n");
    std::vector<std::string> shown;
    std::vector<int> stored;
    RunProgram({OpenDefault(), SessionUp(),
                [](int) {
                    wxTheApp->CallAfter([] { Main()->OnMenuCommand(CommandId::GeneralSettings); });
                    return true;
                },
                [&](int) {
                    wxDialog* dialog = TopModal();
                    if (!dialog) return false;
                    auto* pages = dynamic_cast<wxNotebook*>(dialog->FindWindow(XRCID("pages")));
                    if (!pages) return Fail("no pages");
                    pages->SetSelection(1);
                    Pump(200);
                    const std::pair<const char*, std::function<void()>> keys[] = {
                        {"c1165", [] { wxUIActionSimulator().Char(WXK_NUMPAD_ADD); }},
                        {"c1166", [] { wxUIActionSimulator().Char('\\'); }},
                        {"c1167", [] { PressRightCtrl(); }},
                    };
                    for (const auto& [name, press] : keys) {
                        auto* field = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(XRCID(name)));
                        if (!field) return Fail(std::string("no field ") + name);
                        Click(field);
                        press();
                        Pump(200);
                        shown.push_back(field->GetValue().ToStdString());
                    }
                    Click(dialog->FindWindow(wxID_OK));
                    return true;
                },
                [&](int) {
                    if (TopModal()) return false;
                    for (const char* key : {"ASELKey", "CSELKey", "PTTKey"})
                        stored.push_back(g_profile->GetInt(key));
                    return true;
                },
                Quit()});
    EXPECT_EQ(g_failure, "");
    EXPECT_EQ(shown, (std::vector<std::string>{"Num +", "\\", "Right Ctrl"}));
    // VK_ADD, VK_OEM_5 and VK_RCONTROL: a transmitter keyed by Right Ctrl
    // stays off while the left one runs the accelerators.
    EXPECT_EQ(stored, (std::vector<int>{107, 220, 163}));
}

// A command typed without its aircraft and finished by the aircraft-select
// key (keypad "+") runs on the selected aircraft and enters the history;
// Enter stores the line as it ran, its blanks collapsed.
TEST(HandsProgram, TheAircraftSelectKeyCompletesACommandAndUpRecallsIt) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    if (!InChild("TheAircraftSelectKeyCompletesACommandAndUpRecallsIt")) return;
    DataDir data(std::string(kMeta) + "[Default]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\n");
    std::string afterSelectKey = "-";
    std::vector<std::string> recalled;
    std::vector<std::string> ran;
    RunProgram({OpenDefault(), SessionUp(),
                [&](int) {
                    WxDisplayWindow* main = Main();
                    g_displayManager->SetSelectedCallsign("DAL123");
                    main->SetCommandLine("");
                    MoveTo(CanvasOf(main), 30, 30);
                    wxUIActionSimulator sim;
                    sim.Text(".wallop");
                    sim.Char(WXK_NUMPAD_ADD);
                    Pump(300);
                    afterSelectKey = main->GetCommandLine();
                    sim.Text(".qt  ual1   ");
                    sim.Char(WXK_RETURN);
                    Pump(300);
                    for (int i = 0; i < 2; ++i) {
                        sim.Char(WXK_UP);
                        Pump(200);
                        recalled.push_back(main->GetCommandLine());
                    }
                    ran = main->GetCommandsRun();
                    return true;
                },
                Quit()});
    EXPECT_EQ(g_failure, "");
    EXPECT_EQ(afterSelectKey, "") << "the key ran the line";
    EXPECT_EQ(ran, (std::vector<std::string>{".wallop DAL123", ".qt  ual1   "}));
    EXPECT_EQ(recalled, (std::vector<std::string>{".qt ual1 ", ".wallop DAL123"}));
}

// Enter in the sticky note's editor starts a new line of the note: the
// toolkit gives "\n" where Windows gives "\r\n", and both become "|".
TEST(HandsProgram, EnterInAStickyNoteBreaksTheLine) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    if (!InChild("EnterInAStickyNoteBreaksTheLine")) return;
    DataDir data(std::string(kMeta) + "[Default]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\n");
    uint64_t key = 0;
    std::string note = "-";
    RunProgram({OpenDefault(), SessionUp(),
                [&](int) {
                    key = Main()->GetScope()->GetStickyBuilder()->AddNote({0, 0}, "");
                    wxTheApp->CallAfter([&key] {
                        TextEntryRequest request;
                        request.noteKey = key;
                        Main()->ShowTextEntryDialog(request);
                    });
                    return true;
                },
                [](int) {
                    wxDialog* dialog = TopModal();
                    if (!dialog) return false;
                    wxWindow* edit = dialog->FindWindow(1164);
                    if (!edit) return Fail("no note editor");
                    Click(edit);
                    wxUIActionSimulator sim;
                    sim.Text("RWY 27");
                    sim.Char(WXK_RETURN);
                    sim.Text("CLOSED");
                    Pump(200);
                    Click(dialog->FindWindow(wxID_OK));
                    return true;
                },
                [&](int) {
                    if (TopModal()) return false;
                    note = Main()->GetScope()->GetStickyBuilder()->GetNoteText(key);
                    return true;
                },
                Quit()});
    EXPECT_EQ(g_failure, "");
    EXPECT_EQ(note, "RWY 27|CLOSED");
}

// Exit answered "Yes, save" while Tarq.ini cannot be written: the error is
// shown and the program stays, changes and all; once the file can be
// written again, Exit saves them and the program ends.
TEST(HandsProgram, AnExitWhoseSaveFailsKeepsTheProgramOpen) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    if (!InChild("AnExitWhoseSaveFailsKeepsTheProgramOpen")) return;
    DataDir data(std::string(kMeta) +
                 "[Work]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\nPromptSaveProfile=1\n"
                 "RingSpacing=5\n");
    const fs::path away = data.dir.string() + "-away";
    RealBoxes boxes;
    bool stayed = false;
    RunProgram({[](int waited) {
                    ProfileDialog* dialog = g_program->GetProfileDialog();
                    if (!dialog || !dialog->IsShownOnScreen() || waited < 3) return false;
                    if (!dialog->Select("Work")) return Fail("Work not listed");
                    dialog->OpenSelected();
                    return true;
                },
                SessionUp(),
                [&](int) {
                    g_profile->SetInt("RingSpacing", 7);
                    g_profile->SetModified(true);
                    // The data directory gone from under the program: nothing can be written.
                    fs::rename(data.dir, away);
                    wxTheApp->CallAfter([] { Main()->OnMenuCommand(CommandId::Exit); });
                    return true;
                },
                [&boxes](int waited) { return DismissBoxes(boxes, waited, 2); },
                [&](int waited) {
                    if (waited < 10) return false;
                    WxDisplayWindow* main = Main();
                    stayed = main && !g_displayManager->IsClosePending(main->GetWindow()) &&
                             g_profile->IsModified();
                    fs::rename(away, data.dir);
                    wxTheApp->CallAfter([] { Main()->OnMenuCommand(CommandId::Exit); });
                    return true;
                },
                [&boxes](int waited) { return DismissBoxes(boxes, waited, 3); }},
               &boxes);
    if (fs::exists(away)) fs::rename(away, data.dir);
    EXPECT_EQ(g_failure, "");
    ASSERT_EQ(boxes.shown.size(), 3u) << ::testing::PrintToString(boxes.shown);
    EXPECT_EQ(boxes.shown[1].rfind("Error|The session profile could not be saved: ", 0), 0u)
        << boxes.shown[1];
    EXPECT_TRUE(stayed) << "the session, its display and its changes stay after the failed save";
    EXPECT_TRUE(g_quitByProgram) << "the second Exit saved and ended the program";
    CIniFile ini((data.dir / "Tarq.ini").string());
    ASSERT_TRUE(ini.Read());
    EXPECT_EQ(ini.GetText("Work", "RingSpacing", ""), "7");
}

}  // namespace
