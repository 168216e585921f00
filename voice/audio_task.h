// Periodic audio work without threads of its own: each task says after each
// run how long it wants to wait, and RunAll runs every task that is due.
// Main thread only. Tested by tests/voice/audio_task_test.cpp.
#pragma once

#include <cstdint>

class CAudioTask {
public:
    // As Schedule(firstDelay), then the task joins the process's registry.
    explicit CAudioTask(double firstDelay);
    virtual ~CAudioTask();
    CAudioTask(const CAudioTask&) = delete;
    CAudioTask& operator=(const CAudioTask&) = delete;

    // Seconds until the next run, or kNoRun for none until scheduled again.
    virtual double Run() = 0;

    static constexpr double kNoRun = -1.0;
    // kNoRun unschedules; any other delay is counted from now.
    void Schedule(double delay);
    bool IsScheduled() const { return m_scheduled; }

    // Runs every due task once (a late task is not run twice), then returns
    // the seconds until the next one is due: 0 to 10.
    static double RunAll();

private:
    double m_nextRun = 0;
    bool m_scheduled = false;
    uint64_t m_serial = 0;
};
