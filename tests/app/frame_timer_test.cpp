#include "app/frame_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>

namespace {

// The main thread's queue: the timer posts, the test thread runs.
class MainQueue {
public:
    TarqFrameTimer::Post Poster() {
        return [this](std::function<void()> job) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back(std::move(job));
            m_wake.notify_all();
        };
    }
    // Runs posted jobs until `count` have run or a second has passed.
    int RunJobs(int count) {
        int ran = 0;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ran < count) {
            std::function<void()> job;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                if (!m_wake.wait_until(lock, deadline, [&] { return !m_jobs.empty(); })) break;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
            ++ran;
        }
        return ran;
    }
    // Runs posted jobs for a while, as a modal loop does; returns how many ran.
    int RunFor(std::chrono::milliseconds duration) {
        int ran = 0;
        auto until = std::chrono::steady_clock::now() + duration;
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                if (!m_wake.wait_until(lock, until, [&] { return !m_jobs.empty(); })) return ran;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
            ++ran;
        }
    }
    size_t Pending() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_jobs.size();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
};

TEST(FrameTimer, OneTickAtATimeOnTheMainThread) {
    MainQueue queue;
    TarqFrameTimer timer(queue.Poster());
    int ticks = 0;
    timer.Start(1, [&] { ++ticks; });
    EXPECT_TRUE(timer.IsRunning());
    // Without the main thread running its queue, the timer waits: at most one
    // tick is ever pending.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_LE(queue.Pending(), 1u);
    EXPECT_EQ(queue.RunJobs(5), 5);
    EXPECT_EQ(ticks, 5);
    timer.Stop();
    EXPECT_FALSE(timer.IsRunning());
}

TEST(FrameTimer, SecondStartRetargetsWithoutASecondThread) {
    MainQueue queue;
    TarqFrameTimer timer(queue.Poster());
    int first = 0, second = 0;
    timer.Start(1, [&] { ++first; });
    queue.RunJobs(2);
    timer.Start(1, [&] { ++second; });
    queue.RunJobs(3);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_LE(queue.Pending(), 1u) << "one thread only";
}

TEST(FrameTimer, StopWhileATickIsPendingRunsNoMoreTicks) {
    MainQueue queue;
    std::atomic<int> ticks{0};
    {
        TarqFrameTimer timer(queue.Poster());
        timer.Start(1, [&] { ++ticks; });
        while (queue.Pending() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        timer.Stop();  // must not wait for the pending tick
    }
    // The job still in the queue finds the timer stopped.
    queue.RunJobs(1);
    EXPECT_EQ(ticks.load(), 0);
}

TEST(FrameTimer, TicksKeepArrivingInAModalLoopStartedByATick) {
    MainQueue queue;
    TarqFrameTimer timer(queue.Poster());
    int ticks = 0;
    int ticksDuringModal = -1;
    timer.Start(1, [&] {
        if (++ticks != 1) return;
        // The first tick's work opens a modal loop for 200 ms.
        ticksDuringModal = 0;
        int before = ticks;
        queue.RunFor(std::chrono::milliseconds(200));
        ticksDuringModal = ticks - before;
    });
    EXPECT_EQ(queue.RunJobs(1), 1);
    timer.Stop();
    EXPECT_GE(ticksDuringModal, 20) << "about 200 ticks of 1 ms; the loop must not freeze";
}

TEST(FrameTimer, StartAfterStopStartsAgain) {
    MainQueue queue;
    TarqFrameTimer timer(queue.Poster());
    int first = 0, second = 0;
    timer.Start(1, [&] { ++first; });
    while (queue.Pending() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    timer.Stop();
    EXPECT_FALSE(timer.IsRunning());
    timer.Start(1, [&] { ++second; });
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_EQ(queue.RunJobs(4), 4);
    EXPECT_EQ(first, 0) << "the tick posted before Stop stays dead";
    EXPECT_EQ(second, 3);
    timer.Stop();
}

}  // namespace
