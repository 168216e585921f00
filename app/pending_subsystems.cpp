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

void PendingToolWindow::Create() { PendingCallLog::Record(m_name + "::Create"); }

void PendingToolWindow::SetPosition(int x, int y, int height) {
    PendingCallLog::Record(m_name + "::SetPosition " + std::to_string(x) + " " + std::to_string(y) + " " +
                           std::to_string(height));
    int h = height > 0 ? height : m_rect.bottom - m_rect.top;
    int w = m_rect.right - m_rect.left;
    m_rect = {x, y, x + w, y + h};
}

void PendingToolWindow::Show() {
    PendingCallLog::Record(m_name + "::Show");
    m_visible = true;
}

void PendingToolWindow::Hide() {
    PendingCallLog::Record(m_name + "::Hide");
    m_visible = false;
}

void PendingToolWindow::ToggleVisible() { m_visible ? Hide() : Show(); }

void PendingToolWindow::GetRect(ScreenRect* rect) const { *rect = m_rect; }

// The constructors and destructors record themselves, so the start-up test
// sees the order of creation and deletion.
#define TARQ_PENDING_LIFETIME(Class)                          \
    Class::Class() { PendingCallLog::Record("new " #Class); } \
    Class::~Class() { PendingCallLog::Record("delete " #Class); }

#define TARQ_PENDING_WINDOW_LIFETIME(Class)                                               \
    Class::Class() : PendingToolWindow(#Class) { PendingCallLog::Record("new " #Class); } \
    Class::~Class() { PendingCallLog::Record("delete " #Class); }

TARQ_PENDING_WINDOW_LIFETIME(TarqAircraftList)
TARQ_PENDING_WINDOW_LIFETIME(TarqControllerList)
TARQ_PENDING_WINDOW_LIFETIME(TarqCommsPanel)
TARQ_PENDING_WINDOW_LIFETIME(TarqFlightPlanEditor)

void TarqAircraftList::Rebuild() { PendingCallLog::Record("TarqAircraftList::Rebuild"); }
void TarqAircraftList::LoadFieldSettings() { PendingCallLog::Record("TarqAircraftList::LoadFieldSettings"); }
void TarqAircraftList::ShowFlightPlanDetails(const std::string& callsign) {
    PendingCallLog::Record("TarqAircraftList::ShowFlightPlanDetails " + callsign);
}

void TarqControllerList::Rebuild() { PendingCallLog::Record("TarqControllerList::Rebuild"); }

void TarqCommsPanel::Refresh() { PendingCallLog::Record("TarqCommsPanel::Refresh"); }
void TarqCommsPanel::ApplyAudioSettings() { PendingCallLog::Record("TarqCommsPanel::ApplyAudioSettings"); }
void TarqCommsPanel::ResetVoice() { PendingCallLog::Record("TarqCommsPanel::ResetVoice"); }
