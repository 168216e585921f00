// The heartbeat: a tick on the main thread every period, from a one-shot
// timer on the main loop. The next tick is armed as each tick starts, so a
// tick whose work sits in a modal loop (a message box, a menu) does not stop
// the ticks that loop has to run, and there is never more than one tick
// pending, so a busy main thread is not flooded: a slow tick delays the next.
// Tested by tests/app/frame_timer_test.cpp and tests/app/modal_tick_wx_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class TarqFrameTimer {
public:
    // Runs a job on the main thread soon. Any thread.
    using Post = std::function<void(std::function<void()> job)>;
    // Runs a job on the main thread once, `delayMs` from now (a timeout on the
    // main loop in the program, a timed queue in tests). Main thread.
    using Schedule = std::function<void(uint32_t delayMs, std::function<void()> job)>;

    explicit TarqFrameTimer(Schedule schedule);
    ~TarqFrameTimer();
    TarqFrameTimer(const TarqFrameTimer&) = delete;
    TarqFrameTimer& operator=(const TarqFrameTimer&) = delete;

    // Stores the period and the tick (a second call while running retargets
    // the running timer from its next tick on), and starts the ticks when
    // they are not running, also after Stop. Main thread.
    void Start(uint32_t periodMs, std::function<void()> tick);
    // No tick starts after Stop returns, not even one already armed. Main
    // thread; safe from inside a tick.
    void Stop();
    bool IsRunning() const;

private:
    struct Run;
    void Arm(const std::shared_ptr<Run>& run);

    Schedule m_schedule;
    std::shared_ptr<Run> m_run;  // the current run of ticks, null before the first Start
};
