// Tested through tests/app/session_test.cpp and startup_test.cpp.
#include "app/pending_subsystems.h"

#include <mutex>

namespace {

std::mutex g_logMutex;
bool g_recording = false;
std::vector<std::string> g_calls;

}  // namespace

void PendingCallLog::Record(const std::string& call) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (g_recording) g_calls.push_back(call);
}

void PendingCallLog::Start() {
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_calls.clear();
    g_recording = true;
}

std::vector<std::string> PendingCallLog::Take() {
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_recording = false;
    std::vector<std::string> calls;
    calls.swap(g_calls);
    return calls;
}
