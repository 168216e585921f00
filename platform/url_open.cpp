// Tested by tests/platform/url_open_test.cpp.
#include "platform/url_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// Reaps the browser launcher so it does not linger as a zombie. xdg-open
// returns quickly because it hands the page to the browser; a thread of its
// own waits for each one, so two quick calls leave nothing behind.
void ReapLater(pid_t pid) {
    std::thread([pid] {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace

bool IsOpenableUrl(const std::string& url) {
    size_t hostStart;
    if (StartsWithNoCase(url, "http://")) {
        hostStart = 7;
    } else if (StartsWithNoCase(url, "https://")) {
        hostStart = 8;
    } else {
        return false;
    }
    if (url.size() <= hostStart || url[hostStart] == '/') return false;
    for (unsigned char c : url) {
        if (c <= 0x20 || c == 0x7F || c >= 0x80) return false;
    }
    return true;
}

bool OpenUrl(const std::string& url) {
    if (!IsOpenableUrl(url)) return false;
    std::string program = "xdg-open";
    std::string argument = url;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
    ReapLater(pid);
    return true;
}
