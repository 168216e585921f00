#include "program_driver.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/image.h>
#include <wx/uiaction.h>

#include <algorithm>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/profile_dialog.h"
#include "app/tarq_program.h"
#include "foundation/profile.h"
#include "memory_voice.h"
#include "net/network_manager.h"
#include "platform/atomic_file.h"
#include "platform/single_instance.h"
#include "tools/testserver/scenario.h"
#include "tools/testserver/test_server.h"

extern char** environ;

namespace fs = std::filesystem;

ProgramDataDir::ProgramDataDir(const std::string& name) : m_previous(fs::current_path()) {
    m_dir = fs::temp_directory_path() / ("tarq-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir / "run");
    fs::current_path(m_dir);
    setenv("XDG_RUNTIME_DIR", (m_dir / "run").c_str(), 1);
    setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
}

ProgramDataDir::~ProgramDataDir() {
    std::error_code ignored;
    fs::current_path(m_previous, ignored);
    fs::remove_all(m_dir, ignored);
}

void ProgramDataDir::Write(const std::string& file, const std::string& text) const {
    WriteFileAtomically((m_dir / file).string(), text);
}

std::string ServerEntry(const std::string& name, int port) {
    return name + " 127.0.0.1:" + std::to_string(port) + "\n";
}

TestServerOptions LocalServerOptions() {
    TestServerOptions options;
    options.port = 0;
    options.key = TarqNetworkManager::LoginKey();
    return options;
}

void SetSignOn(const std::string& server) {
    g_profile->SetString("Callsign", "NY_APP");
    g_profile->SetString("RealName", "Demo Controller");
    g_profile->SetString("CID", "1234567");
    g_profile->SetString("Password", "secret");
    g_profile->SetInt("Rating", 5);
    g_profile->SetString("Server", server);
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TestServerOptions LocalServerOptions(const std::string& scenario) {
    TestServerOptions options = LocalServerOptions();
    Result<Scenario> parsed = ParseScenario(scenario);
    EXPECT_TRUE(parsed.Ok()) << "the scenario does not parse";
    if (parsed.Ok()) options.scenario = parsed.Value();
    return options;
}

MessageBoxResult AnswerNo::Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                                WindowHandle) {
    shown.push_back(caption + "|" + text);
    return style.buttons == MessageBoxButtons::Ok ? MessageBoxResult::Ok : MessageBoxResult::No;
}

ProgramDriver::ProgramDriver(std::string* failure, int seconds, MessageBoxHandler* boxes)
    : m_failure(failure), m_seconds(seconds), m_boxes(boxes) {}

ProgramDriver::~ProgramDriver() = default;

bool ProgramDriver::OnInit() {
    UseMemoryVoice(m_devices);
    m_program = std::make_unique<TarqProgram>(m_lock, std::getenv("XDG_RUNTIME_DIR"));
    m_program->Start();
    if (m_boxes) SetMessageBoxHandler(m_boxes);
    if (m_logToStderr) delete wxLog::SetActiveTarget(new wxLogStderr);
    if (!m_polls.empty()) {
        m_pollTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            for (const auto& poll : m_polls) poll();
        });
        m_pollTimer.Start(10);
    }
    m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    m_timer.Start(100);
    m_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(m_seconds);
    // A step that opened a modal dialog itself (a save of "Default" asks for
    // a name) blocks its tick, and the timer never fires inside its own
    // handler: only another timer can end the dialog and the program.
    m_watchdog.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (!m_inStep) return;  // the tick notes the deadline
        if (wxDialog* modal = TopModal()) modal->EndModal(wxID_CANCEL);
        Fail("timed out inside step " + std::to_string(m_step));
    });
    m_watchdog.StartOnce(m_seconds * 1000 + 500);
    return true;
}

int ProgramDriver::OnExit() {
    m_timer.Stop();
    m_pollTimer.Stop();
    m_watchdog.Stop();
    m_program.reset();
    return 0;
}

void ProgramDriver::Tick() {
    if (m_paused) return;
    if (std::chrono::steady_clock::now() > m_deadline)
        return Fail("timed out at step " + std::to_string(m_step));
    ++m_waited;
    m_inStep = true;
    Step();
    m_inStep = false;
}

void ProgramDriver::Fail(const std::string& why) {
    *m_failure = m_failurePrefix + why;
    ExitMainLoop();
}

void ProgramDriver::Next() {
    ++m_step;
    m_waited = 0;
}

bool ProgramDriver::OpenProfile(const std::string& name, int ticks) {
    ProfileDialog* dialog = m_program->GetProfileDialog();
    if (!dialog || !dialog->IsShownOnScreen() || m_waited < ticks) return false;
    if (!dialog->Select(name)) {
        Fail(name + " not listed");
        return false;
    }
    dialog->OpenSelected();
    return true;
}

bool ProgramDriver::BackAtProfileDialog() {
    return m_program->GetProfileDialog() && g_displayManager && g_displayManager->DisplayCount() == 0;
}

void RunDriver(ProgramDriver* driver) {
    SingleInstance lock(kInstanceName, std::getenv("XDG_RUNTIME_DIR"));
    if (!lock.Acquire()) {
        delete driver;
        FAIL() << "the single-instance lock is taken";
    }
    driver->SetLock(&lock);
    int argc = 1;
    char name[] = "tarq";
    char* argv[] = {name, nullptr};
    wxApp::SetInstance(driver);
    wxEntry(argc, argv);
}

namespace {

struct Script {
    TarqProgram* program = nullptr;
    std::string failure;
    bool quit = false;  // a step ended the loop
};
Script g_script;

class ScriptDriver : public ProgramDriver {
public:
    ScriptDriver(std::vector<ScriptStep> steps, MessageBoxHandler* boxes, int seconds)
        : ProgramDriver(&g_script.failure, seconds, boxes), m_steps(std::move(steps)) {
        m_logToStderr = true;
    }
    bool OnInit() override {
        const bool started = ProgramDriver::OnInit();
        g_script.program = &Program();
        return started;
    }
    int OnExit() override {
        g_script.program = nullptr;
        return ProgramDriver::OnExit();
    }

private:
    void Step() override {
        if (static_cast<size_t>(m_step) >= m_steps.size()) return;
        m_paused = true;
        const bool done = m_steps[m_step](m_waited);
        m_paused = false;
        if (!done) return;
        Next();
        if (!g_script.failure.empty()) ExitMainLoop();
    }

    std::vector<ScriptStep> m_steps;
};

}  // namespace

ScriptRun RunScript(std::vector<ScriptStep> steps, MessageBoxHandler* boxes, int seconds) {
    g_script = Script{};
    RunDriver(new ScriptDriver(std::move(steps), boxes, seconds));
    ScriptRun run;
    run.failure = g_script.failure;
    // A failure or the deadline ends the loop from the script too.
    run.quitByProgram = g_script.failure.empty() && !g_script.quit;
    return run;
}

bool ScriptFail(const std::string& why) {
    g_script.failure = why;
    return true;
}

TarqProgram& ScriptProgram() { return *g_script.program; }

ScriptStep OpenProfileStep(const std::string& name) {
    return [name](int waited) {
        ProfileDialog* dialog = ScriptProgram().GetProfileDialog();
        if (!dialog || !dialog->IsShownOnScreen() || waited < 3) return false;
        if (!dialog->Select(name)) return ScriptFail(name + " not listed");
        dialog->OpenSelected();
        return true;
    };
}

ScriptStep SessionUp() {
    return [](int waited) { return MainDisplay() && waited >= 10; };
}

ScriptStep QuitStep() {
    return [](int) {
        g_script.quit = true;
        wxTheApp->ExitMainLoop();
        return true;
    };
}

namespace {
constexpr const char* kChild = "TARQ_PROGRAM_TEST_CHILD";
}  // namespace

bool InChildProcess() { return std::getenv(kChild) != nullptr; }

bool InChild() {
    if (InChildProcess()) return true;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string exe = fs::read_symlink("/proc/self/exe").string();
    std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    char* argv[] = {exe.data(), filter.data(), nullptr};
    setenv(kChild, "1", 1);
    pid_t pid;
    const bool spawned = posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) == 0;
    unsetenv(kChild);
    EXPECT_TRUE(spawned);
    if (!spawned) return false;
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFSIGNALED(status) ? "the program died of signal " + std::to_string(WTERMSIG(status))
                                : std::string("the child's failures are above"));
    return false;
}

bool ChildProgram::Start(std::vector<std::string> args, std::string* firstLine) {
    int out[2];
    if (pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const bool spawned = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (!spawned) pid = -1;
    firstLine->clear();
    char c;
    while (spawned && read(out[0], &c, 1) == 1 && c != '\n') firstLine->push_back(c);
    close(out[0]);
    return spawned;
}

ChildProgram::~ChildProgram() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

WxDisplayWindow* MainDisplay() {
    return g_displayManager ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay()) : nullptr;
}

wxWindow* FrameOf(TarqDisplay* display) { return static_cast<wxWindow*>(display->GetWindow()); }

wxWindow* CanvasOf(TarqDisplay* display) { return wxWindow::FindWindowById(1005, FrameOf(display)); }

wxTextCtrl* CommandLineOf(TarqDisplay* display) {
    return dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowById(1006, FrameOf(display)));
}

wxDialog* TopModal() {
    wxDialog* found = nullptr;
    for (wxWindow* top : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(top);
        if (dialog && dialog->IsModal() && dialog->IsShown()) found = dialog;
    }
    return found;
}

std::string TypeLine(WxDisplayWindow& display, const std::string& line) {
    wxTextCtrl* commandLine = CommandLineOf(&display);
    if (!commandLine) return "(no command line)";
    commandLine->ChangeValue(line);
    return PressInCommandLine(display, WXK_RETURN);
}

std::string PressInCommandLine(WxDisplayWindow& display, int keyCode, bool ctrl) {
    wxTextCtrl* commandLine = CommandLineOf(&display);
    if (!commandLine) return "(no command line)";
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = keyCode;
    key.SetControlDown(ctrl);
    key.SetEventObject(commandLine);
    commandLine->GetEventHandler()->ProcessEvent(key);
    return commandLine->GetValue().ToStdString();
}

void Pump(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 10) {
        wxYield();
        wxMilliSleep(10);
    }
}

void MoveTo(wxWindow* w, int dx, int dy) {
    const wxSize size = w->GetSize();
    wxUIActionSimulator().MouseMove(w->GetScreenPosition() +
                                    wxPoint(dx < 0 ? size.x / 2 : dx, dy < 0 ? size.y / 2 : dy));
    Pump();
}

void Click(wxWindow* w, int dx, int dy, bool wait) {
    if (!w) return;
    MoveTo(w, dx, dy);
    wxUIActionSimulator().MouseClick();
    // Past the double-click time, so the next click is a click of its own.
    if (wait) Pump(500);
}

ScreenGrab GrabGlArea(const WxDisplayWindow& display) {
    int x, y, width, height;
    display.GetGlAreaScreenRect(&x, &y, &width, &height);
    return GrabScreen(x, y, width, height);
}

ScreenGrab GrabWindow(wxWindow* window) {
    window->Update();
    const wxRect r = window->GetScreenRect();
    return GrabScreen(r.x, r.y, r.width, r.height);
}

bool SaveScreenshot(const ScreenGrab& grab, const std::string& file) {
    if (grab.width <= 0) return false;
    wxImage image(grab.width, grab.height);
    for (int y = 0; y < grab.height; ++y) {
        for (int x = 0; x < grab.width; ++x) {
            unsigned long p = grab.At(x, y);
            image.SetRGB(x, y, p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF);
        }
    }
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    fs::create_directories(fs::path(file).parent_path());
    return image.SaveFile(file, wxBITMAP_TYPE_PNG);
}
