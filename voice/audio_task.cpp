// Tested by tests/voice/audio_task_test.cpp.
#include "voice/audio_task.h"

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "voice/audio_clock.h"

namespace {

uint64_t g_nextSerial = 1;

std::set<CAudioTask*>& Registry() {
    static std::set<CAudioTask*> registry;
    return registry;
}

}  // namespace

CAudioTask::CAudioTask(double firstDelay) {
    Schedule(firstDelay);
    m_serial = g_nextSerial++;
    Registry().insert(this);
}

CAudioTask::~CAudioTask() { Registry().erase(this); }

void CAudioTask::Schedule(double delay) {
    if (delay == kNoRun) {
        m_scheduled = false;
        return;
    }
    m_scheduled = true;
    m_nextRun = AudioClockSeconds() + delay;
}

double CAudioTask::RunAll() {
    auto& registry = Registry();
    double now = AudioClockSeconds();
    // A run may create or delete tasks, itself included.
    // A task made during the walk may reuse a deleted one's address: the
    // serial tells them apart.
    std::vector<std::pair<CAudioTask*, uint64_t>> tasks;
    tasks.reserve(registry.size());
    for (CAudioTask* task : registry) tasks.emplace_back(task, task->m_serial);
    for (auto [task, serial] : tasks) {
        if (!registry.count(task) || task->m_serial != serial) continue;
        if (task->m_scheduled && now >= task->m_nextRun) {
            double delay = task->Run();
            if (registry.count(task) && task->m_serial == serial) task->Schedule(delay);
        }
    }
    double now2 = AudioClockSeconds();
    double wait = 10.0;
    for (CAudioTask* task : registry)
        if (task->m_scheduled && task->m_nextRun - now2 < wait) wait = task->m_nextRun - now2;
    return wait > 0 ? wait : 0.0;
}
