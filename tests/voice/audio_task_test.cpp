// Tests of the audio task scheduler on a manual clock.
#include "voice/audio_task.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/clock.h"
#include "voice/audio_clock.h"

namespace {

class Task : public CAudioTask {
public:
    explicit Task(double first, double next = 1.0) : CAudioTask(first), m_next(next) {}
    double Run() override {
        ++runs;
        if (action) action();
        return m_next;
    }
    int runs = 0;
    std::function<void()> action;

private:
    double m_next;
};

class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override { SetAudioClock(&clock); }
    void TearDown() override { SetAudioClock(nullptr); }
    ManualClock clock{5000};
};

TEST_F(SchedulerTest, WaitWithoutTasksIsTenSeconds) { EXPECT_DOUBLE_EQ(CAudioTask::RunAll(), 10.0); }

TEST_F(SchedulerTest, WaitIsTheNearestDueTime) {
    Task far(20.0), near(0.5);
    EXPECT_NEAR(CAudioTask::RunAll(), 0.5, 1e-9);
    EXPECT_EQ(near.runs, 0);
    clock.Advance(600);
    Task overdue(0.0, -0.5);  // wants its next run before this one ended
    EXPECT_DOUBLE_EQ(CAudioTask::RunAll(), 0.0) << "a task already overdue gives no wait";
    EXPECT_EQ(near.runs, 1);
}

TEST_F(SchedulerTest, LateTaskRunsOnceAndCountsFromTheRunsEnd) {
    Task task(0.1, 0.2);
    clock.Advance(5000);
    CAudioTask::RunAll();
    EXPECT_EQ(task.runs, 1);
    CAudioTask::RunAll();
    EXPECT_EQ(task.runs, 1);
    clock.Advance(200);
    CAudioTask::RunAll();
    EXPECT_EQ(task.runs, 2);
}

TEST_F(SchedulerTest, NoRunUnschedulesUntilScheduledAgain) {
    Task task(0.0, CAudioTask::kNoRun);
    CAudioTask::RunAll();
    clock.Advance(20000);
    CAudioTask::RunAll();
    EXPECT_EQ(task.runs, 1);
    EXPECT_FALSE(task.IsScheduled());
    task.Schedule(0.0);
    CAudioTask::RunAll();
    EXPECT_EQ(task.runs, 2);
}

TEST_F(SchedulerTest, TasksDeletedOrCreatedDuringAWalk) {
    auto victim = std::make_unique<Task>(0.0);
    auto killer = std::make_unique<Task>(0.0);
    std::unique_ptr<Task> born;
    int bornRuns = 0;
    // Whichever of the two runs first, the victim must not run after it is gone.
    killer->action = [&] {
        victim.reset();
        born = std::make_unique<Task>(0.0);
        born->action = [&] { ++bornRuns; };
    };
    victim->action = [&] { killer.reset(); };
    CAudioTask::RunAll();
    EXPECT_EQ(bornRuns, 0) << "a task made during the walk waits for the next call";
    EXPECT_TRUE(!victim || !killer);
}

class SelfDeleting : public CAudioTask {
public:
    SelfDeleting() : CAudioTask(0.0) {}
    double Run() override {
        delete this;
        return 0.0;
    }
};

TEST_F(SchedulerTest, TaskMayDeleteItself) {
    new SelfDeleting();
    CAudioTask::RunAll();
    EXPECT_DOUBLE_EQ(CAudioTask::RunAll(), 10.0);
}

}  // namespace
