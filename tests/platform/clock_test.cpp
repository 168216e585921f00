#include "platform/clock.h"

#include <gtest/gtest.h>

TEST(ManualClock, AdvancesMonotonicAndWallTimeTogether) {
    ManualClock clock(100, 1000);
    clock.Advance(600);
    EXPECT_EQ(clock.NowMs(), 700u);
    EXPECT_EQ(clock.WallSeconds(), 1000);
    clock.Advance(400);  // the carried milliseconds complete a second
    EXPECT_EQ(clock.WallSeconds(), 1001);
    clock.Advance(2500);
    EXPECT_EQ(clock.WallSeconds(), 1003);
    EXPECT_EQ(clock.NowMs(), 3600u);
}

TEST(SystemClock, NeverGoesBack) {
    auto& clock = SystemClock::Instance();
    uint64_t a = clock.NowMs();
    uint64_t b = clock.NowMs();
    EXPECT_LE(a, b);
    EXPECT_GT(clock.WallSeconds(), 1600000000);
}
