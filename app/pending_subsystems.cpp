// Tested through tests/app/session_test.cpp and startup_test.cpp.
#include "app/pending_subsystems.h"

#include <mutex>

#include "platform/atomic_file.h"

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

// The constructors and destructors record themselves, so the start-up test
// sees the order of creation and deletion.
#define TARQ_PENDING_LIFETIME(Class)                          \
    Class::Class() { PendingCallLog::Record("new " #Class); } \
    Class::~Class() { PendingCallLog::Record("delete " #Class); }

TARQ_PENDING_LIFETIME(TarqChatManager)
TARQ_PENDING_LIFETIME(NoltVoiceEngine)

void TarqChatManager::OpenChatWindow(const std::string& name, bool show) {
    PendingCallLog::Record("TarqChatManager::OpenChatWindow " + name + (show ? " shown" : " hidden"));
    m_chatLogOpen = show;
}
void TarqChatManager::CloseAllWindows() {
    PendingCallLog::Record("TarqChatManager::CloseAllWindows");
    m_chatLogOpen = false;
}
