#include "monitor/core/hold_count.h"
#include <gtest/gtest.h>

TEST(HoldCount, IsHeldUntilTheLastRelease)
{
    HoldCount count;
    count.Acquire();
    count.Acquire();
    EXPECT_TRUE(count.Release());
    EXPECT_TRUE(count.Held());
    EXPECT_TRUE(count.Release());
    EXPECT_FALSE(count.Held());
}

TEST(HoldCount, AReleaseWithoutAnAcquireNeverGoesBelowZero)
{
    HoldCount count;
    EXPECT_DEBUG_DEATH(count.Release(), "released more often than acquired");
#ifdef NDEBUG
    EXPECT_FALSE(count.Release());
#endif
    count.Acquire();
    EXPECT_TRUE(count.Held()) << "one acquire holds again after a stray release";
}
