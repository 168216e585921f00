#include "foundation/random15.h"

#include <gtest/gtest.h>

TEST(Random15, FollowsTheClassicSequence) {
    // The first values of the classic generator seeded with 1.
    Random15 rng(1);
    EXPECT_EQ(rng.Next(), 41);
    EXPECT_EQ(rng.Next(), 18467);
    EXPECT_EQ(rng.Next(), 6334);
    rng.Seed(1);
    EXPECT_EQ(rng.Next(), 41);
}
