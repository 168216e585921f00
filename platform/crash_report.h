// Crash report: a signal handler writes a backtrace and the memory map with
// async-signal-safe calls, then re-runs the program to ask the user whether to
// keep the report as "<app>.dmp" in the current directory.
// Tested by tests/platform/crash_report_test.cpp.
#pragma once

#include <functional>
#include <string>

// The argument that tells a re-run program to show the crash questions:
// <program> --crash-report <report file>.
inline constexpr const char* kCrashReportArgument = "--crash-report";

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT.
// reRunProgram is executed with (appName, kCrashReportArgument, report path)
// after the report is written; "/proc/self/exe" re-runs this program. The
// crashed process waits for it, then dies of its signal as it would have.
bool InstallCrashHandler(const std::string& appName, const std::string& reRunProgram = "/proc/self/exe");

// The questions of the re-run, answered by message boxes in the program and
// by a script in tests.
struct CrashPrompts {
    // Yes/No question; defaultNo makes No the default button. True for Yes.
    std::function<bool(const std::string& text, const std::string& caption, bool defaultNo)> askYesNo;
    // OK-only message.
    std::function<void(const std::string& text, const std::string& caption)> tell;
};

// Asks the two questions, copies the report (the whole report with the memory
// map for a full dump, the backtrace alone otherwise) to <dumpDir>/<appName>.dmp
// and tells the outcome. Declining writes nothing and says nothing more.
// The raw report is removed in every case. True when the dump was written.
bool RunCrashReport(const std::string& reportPath, const std::string& appName, const std::string& dumpDir,
                    const CrashPrompts& prompts);

// The current directory, or "/tmp" when it cannot be read.
std::string CrashDumpDirectory();
