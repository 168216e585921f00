// Tested by tests/app/screen_saver_hold_test.cpp.
#include "app/screen_saver_hold.h"

#include <algorithm>

#include "platform/screen_saver.h"

namespace {

// Twice within the saver's timeout; the monitor's power-off, which has
// timeouts of its own, never waits less than a minute.
int ResetPeriodFor(int timeoutSeconds) {
    constexpr int kLongestMs = 30000, kShortestMs = 500;
    if (timeoutSeconds <= 0) return kLongestMs;
    return std::clamp(timeoutSeconds * 1000 / 2, kShortestMs, kLongestMs);
}

}  // namespace

void ScreenSaverHold::SetHeld(bool held) {
    if (held == m_held) return;
    m_held = held;
    if (!held) {
        m_control.Release();
        return;
    }
    m_control.Inhibit();
    OnResetPeriod();
}

void ScreenSaverHold::OnResetPeriod() {
    if (!m_held) return;
    m_control.ResetIdleTimer();
    // The user may change the timeout meanwhile.
    m_periodMs = ResetPeriodFor(m_control.IdleTimeoutSeconds());
}
