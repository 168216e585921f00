// Built with ThreadSanitizer: the frame ticks on the main thread's queue and
// the message sinks that worker threads call, run together.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/display_manager.h"
#include "tests/app/fake_display.h"

namespace {

TEST(FrameTimerRace, TicksWorkerLinesAndStopRunTogether) {
    FakeDisplayFactory factory;
    JobQueue queue;
    std::atomic<int> ticks{0};
    TarqDisplayManager::Hooks hooks;
    hooks.frameTick = [&] { ++ticks; };
    auto manager = std::make_unique<TarqDisplayManager>(factory, queue.Poster(), queue.Scheduler(), hooks);
    TarqDisplaySettings settings;
    auto* main = static_cast<FakeDisplay*>(manager->CreateDisplay(settings));
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) manager->ShowMessage("line " + std::to_string(i));
        done = true;
    });
    while (!done || ticks < 20) {
        queue.RunAll();
        std::this_thread::yield();
    }
    worker.join();
    manager->StopFrameTimer();
    queue.RunAll();
    EXPECT_EQ(main->lines.size(), 200u);
    int stopped = ticks;
    queue.RunAll();
    EXPECT_EQ(ticks, stopped);
    manager.reset();
}

}  // namespace
