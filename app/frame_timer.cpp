// Tested by tests/app/frame_timer_test.cpp.
#include "app/frame_timer.h"

#include <chrono>

// Shared with the posted jobs, which may outlive the timer in the main
// thread's queue: they find `stopped` set and do nothing. A restart after
// Stop gets a fresh one, so such a job never runs the new tick.
struct TarqFrameTimer::Shared {
    std::mutex mutex;
    // Two conditions, so that an idle tick wakes this thread once: `stop`
    // ends the sleep, `started` the wait for a tick the main thread is late with.
    std::condition_variable stop;
    std::condition_variable started;
    bool running = false;
    bool stopped = false;
    bool posted = false;  // a tick waits in the main thread's queue
    uint32_t periodMs = 10;
    std::function<void()> tick;
};

TarqFrameTimer::TarqFrameTimer(Post post) : m_post(std::move(post)), m_shared(std::make_shared<Shared>()) {}

TarqFrameTimer::~TarqFrameTimer() { Stop(); }

void TarqFrameTimer::Start(uint32_t periodMs, std::function<void()> tick) {
    std::shared_ptr<Shared> shared = m_shared;  // the lock below must outlive a swap
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->periodMs = periodMs;
    shared->tick = std::move(tick);
    if (shared->running) return;
    if (shared->stopped) {
        m_shared = std::make_shared<Shared>();
        m_shared->periodMs = periodMs;
        m_shared->tick = std::move(shared->tick);
    }
    // Set before the thread exists, so it never reads the old value.
    m_shared->running = true;
    m_thread = std::thread(&TarqFrameTimer::Run, this, m_shared);
}

void TarqFrameTimer::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->stopped = true;
        m_shared->running = false;
        m_shared->tick = nullptr;
    }
    m_shared->stop.notify_all();
    m_shared->started.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

bool TarqFrameTimer::IsRunning() const {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->running;
}

void TarqFrameTimer::Run(std::shared_ptr<Shared> shared) {
    std::unique_lock<std::mutex> lock(shared->mutex);
    while (!shared->stopped) {
        // Sleeping on the condition lets Stop end the wait at once.
        shared->stop.wait_for(lock, std::chrono::milliseconds(shared->periodMs),
                              [&] { return shared->stopped; });
        if (shared->stopped) break;
        if (shared->posted) {
            // The main thread is busy: a full period once the last tick has started.
            shared->started.wait(lock, [&] { return !shared->posted || shared->stopped; });
            continue;
        }
        shared->posted = true;
        lock.unlock();
        m_post([shared] {
            std::function<void()> tick;
            {
                std::lock_guard<std::mutex> guard(shared->mutex);
                shared->posted = false;
                if (!shared->stopped) tick = shared->tick;
            }
            shared->started.notify_all();
            // The timer goes on once the tick has started: a modal loop
            // opened by this tick runs the next ones.
            if (tick) tick();
        });
        lock.lock();
    }
}
