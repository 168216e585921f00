// The heartbeat: a thread that sleeps one period and hands a tick to the main
// thread. It waits until the tick has started, not until it has finished, so
// a tick whose work sits in a modal loop (a message box, a menu) does not stop
// the ticks that loop has to run; and it never posts a tick while the last one
// is still waiting in the queue, so a busy main thread is not flooded.
// Tested by tests/app/frame_timer_test.cpp.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class TarqFrameTimer {
public:
    // Runs a job on the main thread later (wx CallAfter in the program, a
    // queue in tests). May be called from the timer thread.
    using Post = std::function<void(std::function<void()> job)>;

    explicit TarqFrameTimer(Post post);
    // Stops and joins the thread.
    ~TarqFrameTimer();
    TarqFrameTimer(const TarqFrameTimer&) = delete;
    TarqFrameTimer& operator=(const TarqFrameTimer&) = delete;

    // Stores the period and the tick (also when running, so a second call
    // retargets the running thread), then starts the thread when it is not
    // running, also after Stop. Main thread.
    void Start(uint32_t periodMs, std::function<void()> tick);
    // Ends the thread and waits for it; no tick starts after Stop returns, not
    // even one already posted. Main thread; safe while a tick is pending and
    // from inside a tick.
    void Stop();
    bool IsRunning() const;

private:
    struct Shared;
    void Run(std::shared_ptr<Shared> shared);

    Post m_post;
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};
