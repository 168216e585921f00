// What every test of the real program under X shares: a data directory of
// its own, the local test server's options, a driver that starts the program
// and plays a script on a timer against a deadline, a child process for a
// test that needs a toolkit of its own, and the input, window and screenshot
// helpers the scripts use.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>
#include <wx/timer.h>
#include <wx/wx.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "screen_grab.h"

class MemorySoundDeviceProvider;
class SingleInstance;
class TarqDisplay;
class TarqProgram;
class WxDisplayWindow;
struct TestServerOptions;

// The first line of a program test: ctest reads this skip message as a skip.
#define TARQ_SKIP_WITHOUT_X_DISPLAY() \
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)"

// A fresh data directory, temp/tarq-<name>-<pid> with "run" in it, made the
// current directory, XDG_RUNTIME_DIR and XDG_CONFIG_HOME while it lives.
class ProgramDataDir {
public:
    explicit ProgramDataDir(const std::string& name);
    ~ProgramDataDir();
    ProgramDataDir(const ProgramDataDir&) = delete;
    ProgramDataDir& operator=(const ProgramDataDir&) = delete;

    const std::filesystem::path& Path() const { return m_dir; }
    // Writes a file into the directory.
    void Write(const std::string& file, const std::string& text) const;

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_previous;
};

// "NAME 127.0.0.1:port\n", a line of myservers.txt.
std::string ServerEntry(const std::string& name, int port);

// An in-process test server on a free port that takes the program's login;
// with the scenario in `scenario` (a broken one fails the test).
TestServerOptions LocalServerOptions();
TestServerOptions LocalServerOptions(const std::string& scenario);

// The sign-on of NY_APP (a controller, rating 5) to `server` of
// myservers.txt, put into the open session's profile.
void SetSignOn(const std::string& server);

// Whether the line is one of the lines.
bool HasLine(const std::vector<std::string>& lines, const std::string& line);

// Answers a box OK where that is its only button, otherwise No, and notes
// each as "caption|text".
struct AnswerNo : MessageBoxHandler {
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle) override;
    std::vector<std::string> shown;
};

// Runs the real program in the current data directory and calls Step() on
// every 100 ms tick until the script ends the main loop or the deadline
// passes. A step waits for an event by returning until it has come;
// `m_waited` counts the ticks of the current step.
class ProgramDriver : public wxApp {
public:
    // Fail() writes to `failure`; the script has `seconds` in all; null
    // `boxes`: the program's own message boxes.
    ProgramDriver(std::string* failure, int seconds, MessageBoxHandler* boxes);
    ~ProgramDriver() override;

    bool OnInit() override;
    int OnExit() override;

    void SetLock(SingleInstance* lock) { m_lock = lock; }

protected:
    virtual void Step() = 0;

    // Notes the failure and ends the main loop.
    virtual void Fail(const std::string& why);
    void Next();
    TarqProgram& Program() { return *m_program; }
    // Calls `poll` every 10 ms from OnInit on (servers and clients in this process).
    void PollEvery10Ms(std::function<void()> poll) { m_polls.push_back(std::move(poll)); }
    // Opens the profile once the profile dialog shows (and `ticks` ticks have
    // passed in this step); false until then, or when it is not listed (a failure).
    bool OpenProfile(const std::string& name, int ticks = 0);
    // The session closed and the profile dialog back.
    bool BackAtProfileDialog();

    int m_step = 0;
    int m_waited = 0;
    bool m_paused = false;       // set while a step runs a loop of its own: ticks pass it by
    bool m_logToStderr = false;  // toolkit errors to the output, never into a dialog of their own
    std::string m_failurePrefix;
    std::function<void(MemorySoundDeviceProvider*)> m_devices;  // hears of each device provider

private:
    void Tick();

    std::string* m_failure;
    int m_seconds;
    MessageBoxHandler* m_boxes;
    SingleInstance* m_lock = nullptr;
    std::unique_ptr<TarqProgram> m_program;
    std::vector<std::function<void()>> m_polls;
    wxTimer m_timer;
    wxTimer m_pollTimer;
    wxTimer m_watchdog;
    bool m_inStep = false;
    std::chrono::steady_clock::time_point m_deadline;
};

// Takes the single-instance lock of the current data directory and runs the
// driver's main loop to its end; the toolkit owns the driver.
void RunDriver(ProgramDriver* driver);

// A script of steps, for a test written as a list: each step is called on
// every tick until it returns true (`waited` counts its ticks). Steps never
// block: a modal dialog is opened after the step has returned (CallAfter).
using ScriptStep = std::function<bool(int waited)>;

struct ScriptRun {
    std::string failure;         // empty when the script ran to its end
    bool quitByProgram = false;  // the program ended the loop, not the script
};

// Runs the program in the current data directory with the script, its
// deadline `seconds`; null `boxes`: the program's own message boxes.
ScriptRun RunScript(std::vector<ScriptStep> steps, MessageBoxHandler* boxes = nullptr, int seconds = 150);
// Notes a failure, which ends the script after the step; true, so that a
// step can `return ScriptFail(...)`.
bool ScriptFail(const std::string& why);
// The program a script runs.
TarqProgram& ScriptProgram();
// Steps: opens the profile once the profile dialog shows; waits till the
// session's main display is up and drawn; ends the loop.
ScriptStep OpenProfileStep(const std::string& name);
ScriptStep SessionUp();
ScriptStep QuitStep();

// Runs the current test again in a child process (the toolkit starts once
// per process); true in the child, false in the parent once the child has
// ended, its failure noted.
bool InChild();
// True in such a child: for a test whose parent runs several children.
bool InChildProcess();

// A helper program started with `args`, ended with SIGTERM when this goes.
struct ChildProgram {
    pid_t pid = -1;
    // Starts it and reads the first line of its output; false when it could not start.
    bool Start(std::vector<std::string> args, std::string* firstLine);
    ~ChildProgram();
};

// Windows of the program.
WxDisplayWindow* MainDisplay();
wxWindow* FrameOf(TarqDisplay* display);
wxWindow* CanvasOf(TarqDisplay* display);
wxTextCtrl* CommandLineOf(TarqDisplay* display);
// The topmost modal dialog, or null.
wxDialog* TopModal();

// The line put into the command line and Enter pressed; what the command
// line shows afterwards.
std::string TypeLine(WxDisplayWindow& display, const std::string& line);
// A key pressed in the command line; what it shows afterwards.
std::string PressInCommandLine(WxDisplayWindow& display, int keyCode, bool ctrl = false);

// Real input through the X server (no window manager: keys go where the
// pointer is). Pump lets the toolkit handle what came for a while.
void Pump(int milliseconds = 60);
void MoveTo(wxWindow* w, int dx = -1, int dy = -1);
// wait false: returns at once, so a dialog the click opens runs with the ticks going.
void Click(wxWindow* w, int dx = -1, int dy = -1, bool wait = true);

// What the screen shows of a display's GL area, and of a window.
ScreenGrab GrabGlArea(const WxDisplayWindow& display);
ScreenGrab GrabWindow(wxWindow* window);
// Keeps the grab as a PNG file, its folder made; false when there is nothing to keep.
bool SaveScreenshot(const ScreenGrab& grab, const std::string& file);
