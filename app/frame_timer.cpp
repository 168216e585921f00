// Tested by tests/app/frame_timer_test.cpp.
#include "app/frame_timer.h"

// Shared with the armed job, which may outlive the timer on the main loop: it
// finds `stopped` set and does nothing. A restart after Stop gets a fresh
// one, so such a job never runs the new tick.
struct TarqFrameTimer::Run {
    bool stopped = false;
    uint32_t periodMs = 10;
    std::function<void()> tick;
};

TarqFrameTimer::TarqFrameTimer(Schedule schedule) : m_schedule(std::move(schedule)) {}

TarqFrameTimer::~TarqFrameTimer() { Stop(); }

void TarqFrameTimer::Start(uint32_t periodMs, std::function<void()> tick) {
    bool starting = !IsRunning();
    if (starting) m_run = std::make_shared<Run>();
    m_run->periodMs = periodMs;
    m_run->tick = std::move(tick);
    if (starting) Arm(m_run);
}

void TarqFrameTimer::Stop() {
    if (!m_run) return;
    m_run->stopped = true;
    m_run->tick = nullptr;
}

bool TarqFrameTimer::IsRunning() const { return m_run && !m_run->stopped; }

void TarqFrameTimer::Arm(const std::shared_ptr<Run>& run) {
    m_schedule(run->periodMs, [this, run] {
        if (run->stopped) return;
        // Armed before the work, so a modal loop this tick opens runs the next.
        Arm(run);
        std::function<void()> tick = run->tick;  // the tick may retarget the timer
        tick();
    });
}
