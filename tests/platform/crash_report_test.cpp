#include "platform/crash_report.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "platform/atomic_file.h"

namespace {

struct Crash {
    int signal = 0;
    std::string dump;
    std::string log;
    bool dumpExists = false;
};

// Crashes a child process in a fresh directory with the helper as the re-run
// program, answering its questions with `answers`.
Crash CrashChild(const std::string& answers, const std::string& name) {
    auto dir =
        std::filesystem::temp_directory_path() / ("tarq-crash-" + name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(3);
        setenv("TARQ_CRASH_ANSWERS", answers.c_str(), 1);
        InstallCrashHandler("Tarq", CRASH_HELPER);
        std::raise(SIGSEGV);
        _exit(4);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Crash crash;
    if (WIFSIGNALED(status)) crash.signal = WTERMSIG(status);
    crash.dumpExists = ReadWholeFile((dir / "Tarq.dmp").string(), crash.dump);
    ReadWholeFile((dir / "crash_dialog.log").string(), crash.log);
    std::filesystem::remove_all(dir);
    return crash;
}

TEST(CrashReport, YesKeepsTheBacktraceAsTarqDmpInTheCurrentDirectory) {
    Crash crash = CrashChild("yes,no", "yes");
    EXPECT_EQ(crash.signal, SIGSEGV);  // the child still dies of its signal
    ASSERT_TRUE(crash.dumpExists);
    EXPECT_NE(crash.dump.find("Tarq crashed: signal 11"), std::string::npos);
    EXPECT_NE(crash.dump.find("--- backtrace ---"), std::string::npos);
    EXPECT_EQ(crash.dump.find("--- memory map ---"), std::string::npos);  // not a full dump
    EXPECT_NE(crash.log.find(
                  "ask|Error!|Unhandled exception detected. Would you like to save a diagnostic file?|yes"),
              std::string::npos);
    EXPECT_NE(crash.log.find("ask|Error!|Include full memory dump? (Say no unless instructed otherwise by a "
                             "developer.)|no"),
              std::string::npos);
    EXPECT_NE(crash.log.find("tell|Tarq|Saved dump file to '"), std::string::npos);
    EXPECT_NE(crash.log.find("Tarq.dmp'. Please attach this file to your bug report."), std::string::npos);
}

TEST(CrashReport, FullDumpAddsTheMemoryMap) {
    Crash crash = CrashChild("yes,yes", "full");
    ASSERT_TRUE(crash.dumpExists);
    EXPECT_NE(crash.dump.find("--- memory map ---"), std::string::npos);
}

TEST(CrashReport, DecliningWritesNothingAndSaysNothingMore) {
    Crash crash = CrashChild("no", "no");
    EXPECT_EQ(crash.signal, SIGSEGV);
    EXPECT_FALSE(crash.dumpExists);
    EXPECT_EQ(crash.log.find("tell|"), std::string::npos);
    EXPECT_EQ(crash.log.find("Include full memory dump"), std::string::npos);
}

TEST(CrashReport, UnwritableDirectorySaysSo) {
    std::string report = (std::filesystem::temp_directory_path() / "tarq-crash-report.txt").string();
    WriteFileAtomically(report, "Tarq crashed\n");
    std::string told;
    CrashPrompts prompts;
    prompts.askYesNo = [](const std::string&, const std::string&, bool) { return true; };
    prompts.tell = [&](const std::string& text, const std::string&) { told = text; };
    EXPECT_FALSE(RunCrashReport(report, "Tarq", "/nonexistent/dir", prompts));
    EXPECT_EQ(told.rfind("Failed to create dump file '/nonexistent/dir/Tarq.dmp' (error ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(report));
}

}  // namespace
