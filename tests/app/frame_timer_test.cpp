#include "app/frame_timer.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <utility>

namespace {

// The main loop's timeouts, run one at a time by the test in the order armed.
class MainLoop {
public:
    TarqFrameTimer::Schedule Scheduler() {
        return [this](uint32_t delayMs, std::function<void()> job) { m_armed.emplace_back(delayMs, std::move(job)); };
    }
    // Runs the next timeout; false when none is armed.
    bool RunNext() {
        if (m_armed.empty()) return false;
        std::function<void()> job = std::move(m_armed.front().second);
        m_armed.pop_front();
        job();
        return true;
    }
    int Run(int count) {
        int ran = 0;
        while (ran < count && RunNext()) ++ran;
        return ran;
    }
    size_t Pending() const { return m_armed.size(); }
    uint32_t NextDelay() const { return m_armed.front().first; }

private:
    std::deque<std::pair<uint32_t, std::function<void()>>> m_armed;
};

TEST(FrameTimer, OneTickArmedAtATimeAtThePeriod) {
    MainLoop loop;
    TarqFrameTimer timer(loop.Scheduler());
    int ticks = 0;
    timer.Start(10, [&] { ++ticks; });
    EXPECT_TRUE(timer.IsRunning());
    ASSERT_EQ(loop.Pending(), 1u);
    EXPECT_EQ(loop.NextDelay(), 10u);
    EXPECT_EQ(loop.Run(5), 5);
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(loop.Pending(), 1u) << "each tick arms exactly the next";
    timer.Stop();
    EXPECT_FALSE(timer.IsRunning());
}

TEST(FrameTimer, SecondStartRetargetsTheRunningTicks) {
    MainLoop loop;
    TarqFrameTimer timer(loop.Scheduler());
    int first = 0, second = 0;
    timer.Start(10, [&] { ++first; });
    loop.Run(2);
    timer.Start(20, [&] { ++second; });
    EXPECT_EQ(loop.Pending(), 1u) << "no second run of ticks";
    loop.Run(3);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 3);
    EXPECT_EQ(loop.NextDelay(), 20u);
}

TEST(FrameTimer, NoTickRunsAfterStop) {
    struct Case {
        const char* name;
        bool stopInsideTick;
        bool destroy;
    };
    for (const Case& c : {Case{"stop with a tick armed", false, false}, Case{"stop inside a tick", true, false},
                          Case{"timer destroyed with a tick armed", false, true}}) {
        SCOPED_TRACE(c.name);
        MainLoop loop;
        auto timer = std::make_unique<TarqFrameTimer>(loop.Scheduler());
        int ticks = 0;
        timer->Start(10, [&] {
            ++ticks;
            if (c.stopInsideTick) timer->Stop();
        });
        if (c.stopInsideTick) {
            loop.RunNext();
            EXPECT_EQ(ticks, 1);
        } else if (c.destroy) {
            timer.reset();
        } else {
            timer->Stop();
        }
        int before = ticks;
        loop.Run(3);
        EXPECT_EQ(ticks, before);
        EXPECT_EQ(loop.Pending(), 0u) << "a stopped timer arms nothing";
    }
}

TEST(FrameTimer, TicksKeepArrivingInAModalLoopStartedByATick) {
    MainLoop loop;
    TarqFrameTimer timer(loop.Scheduler());
    int ticks = 0;
    int ticksDuringModal = -1;
    timer.Start(10, [&] {
        if (++ticks != 1) return;
        // The first tick's work opens a modal loop that runs 20 timeouts.
        int before = ticks;
        loop.Run(20);
        ticksDuringModal = ticks - before;
    });
    EXPECT_TRUE(loop.RunNext());
    EXPECT_EQ(ticksDuringModal, 20) << "the loop must not freeze";
    EXPECT_EQ(loop.Pending(), 1u);
}

TEST(FrameTimer, StartAfterStopStartsAgain) {
    MainLoop loop;
    TarqFrameTimer timer(loop.Scheduler());
    int first = 0, second = 0;
    timer.Start(10, [&] { ++first; });
    timer.Stop();
    EXPECT_FALSE(timer.IsRunning());
    timer.Start(10, [&] { ++second; });
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_EQ(loop.Run(4), 4);
    EXPECT_EQ(first, 0) << "the tick armed before Stop stays dead";
    EXPECT_EQ(second, 3);
    timer.Stop();
}

}  // namespace
