#include "platform/Clock.h"

#include <gtest/gtest.h>

TEST(SystemClock, SleepAdvancesTheMonotonicCounter) {
    SystemClock clock;
    auto before = clock.NowMs();
    clock.SleepMs(20);
    EXPECT_GE(clock.NowMs() - before, 20u);
}
