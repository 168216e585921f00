// Tested by tests/platform/crash_report_test.cpp.
#include "platform/crash_report.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/runtime_dir.h"

namespace {

constexpr const char* kMapMarker = "--- memory map ---\n";

// Everything the handler needs is prepared at install time: it may not
// allocate or format with the C library.
char g_appName[64];
char g_program[PATH_MAX];
char g_reportPath[PATH_MAX];
const char* g_argument = kCrashReportArgument;
volatile sig_atomic_t g_inHandler = 0;
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void WriteText(int fd, const char* text) {
    size_t length = std::strlen(text);
    while (length > 0) {
        ssize_t n = write(fd, text, length);
        if (n <= 0) return;
        text += n;
        length -= static_cast<size_t>(n);
    }
}

void WriteNumber(int fd, long value) {
    char digits[24];
    int i = sizeof digits - 1;
    digits[i] = '\0';
    bool negative = value < 0;
    unsigned long v = negative ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        digits[--i] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && i > 1);
    if (negative) digits[--i] = '-';
    WriteText(fd, digits + i);
}

void CopyFile(const char* from, int toFd) {
    int fd = open(from, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) {
        if (write(toFd, buffer, static_cast<size_t>(n)) != n) break;
    }
    close(fd);
}

void CrashHandler(int signal, siginfo_t* info, void*) {
    if (g_inHandler) {
        ::signal(signal, SIG_DFL);
        raise(signal);
        return;
    }
    g_inHandler = 1;
    // A fresh file: never one that a link put in our way.
    unlink(g_reportPath);
    int fd = open(g_reportPath, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        WriteText(fd, g_appName);
        WriteText(fd, " crashed: signal ");
        WriteNumber(fd, signal);
        WriteText(fd, ", address 0x");
        char hex[2 + sizeof(void*) * 2 + 1];
        uintptr_t address = info ? reinterpret_cast<uintptr_t>(info->si_addr) : 0;
        int i = sizeof hex - 1;
        hex[i] = '\0';
        do {
            hex[--i] = "0123456789abcdef"[address & 15];
            address >>= 4;
        } while (address != 0 && i > 0);
        WriteText(fd, hex + i);
        WriteText(fd, "\n--- backtrace ---\n");
        void* frames[64];
        int count = backtrace(frames, 64);
        backtrace_symbols_fd(frames, count, fd);
        WriteText(fd, kMapMarker);
        CopyFile("/proc/self/maps", fd);
        close(fd);
        pid_t child = fork();
        if (child == 0) {
            char* argv[] = {g_appName, const_cast<char*>(g_argument), g_reportPath, nullptr};
            execv(g_program, argv);
            _exit(127);
        }
        if (child > 0) {
            int status;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }
    ::signal(signal, SIG_DFL);
    raise(signal);
}

bool CopyName(char* to, size_t size, const std::string& from) {
    if (from.size() >= size) return false;
    std::memcpy(to, from.c_str(), from.size() + 1);
    return true;
}

}  // namespace

bool InstallCrashHandler(const std::string& appName, const std::string& reRunProgram) {
    std::string report =
        UserRuntimeDirectory() + "/" + appName + "-crash-" + std::to_string(getpid()) + ".txt";
    if (!CopyName(g_appName, sizeof g_appName, appName) ||
        !CopyName(g_program, sizeof g_program, reRunProgram) ||
        !CopyName(g_reportPath, sizeof g_reportPath, report)) {
        return false;
    }
    // The first backtrace() loads the unwinder, which allocates: do it now.
    void* warmUp[4];
    backtrace(warmUp, 4);
    // A stack overflow leaves no stack for the handler; give it its own.
    static char alternateStack[64 * 1024];
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_sigaction = CrashHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    bool ok = true;
    for (int signal : kSignals) ok = sigaction(signal, &action, nullptr) == 0 && ok;
    return ok;
}

std::string CrashDumpDirectory() {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr) return "/tmp";
    return buffer;
}

bool RunCrashReport(const std::string& reportPath, const std::string& appName, const std::string& dumpDir,
                    const CrashPrompts& prompts) {
    std::string report;
    bool haveReport = ReadWholeFile(reportPath, report);
    int readError = errno;
    std::string dumpPath = dumpDir + "/" + appName + ".dmp";
    bool saved = false;
    if (prompts.askYesNo("Unhandled exception detected. Would you like to save a diagnostic file?", "Error!",
                         false)) {
        bool full = prompts.askYesNo(
            "Include full memory dump? (Say no unless instructed otherwise by a developer.)", "Error!", true);
        std::string text;
        if (!haveReport) {
            text = "Failed to save dump file to '" + dumpPath + "' (error " + std::to_string(readError) + ")";
        } else {
            if (!full) {
                size_t mapAt = report.find(kMapMarker);
                if (mapAt != std::string::npos) report.resize(mapAt);
            }
            std::string error;
            if (WriteFileAtomically(dumpPath, report, &error)) {
                saved = true;
                text = "Saved dump file to '" + dumpPath + "'. Please attach this file to your bug report.";
            } else {
                text = "Failed to create dump file '" + dumpPath + "' (error " + std::to_string(errno) + ")";
            }
        }
        prompts.tell(text, appName);
    }
    if (haveReport) unlink(reportPath.c_str());
    return saved;
}
