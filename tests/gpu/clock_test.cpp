#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(SystemClock, SleepAdvancesTheMonotonicCounter) {
    SystemClock clock;
    auto before = clock.NowMs();
    clock.SleepMs(20);
    EXPECT_GE(clock.NowMs() - before, 20u);
}

TEST(SystemClock, PauseWorkRunsInTheSettingThreadsPausesWhichKeepTheirLength) {
    SystemClock clock;
    int runs = 0;
    SystemClock::SetPauseWork([&] {
        ++runs;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    });
    const uint64_t before = clock.NowMs();
    const uint64_t slept = SystemClock::TotalSleptMs();
    clock.SleepMs(60);
    EXPECT_EQ(runs, 1);
    EXPECT_GE(clock.NowMs() - before, 60u);
    EXPECT_LT(clock.NowMs() - before, 95u) << "the work's time is part of the pause, not added to it";
    EXPECT_EQ(SystemClock::TotalSleptMs() - slept, 60u);

    std::thread other([&] { clock.SleepMs(1); });
    other.join();
    EXPECT_EQ(runs, 1) << "another thread's pause runs none of it";

    SystemClock::SetPauseWork(nullptr);
    clock.SleepMs(1);
    EXPECT_EQ(runs, 1);
}

TEST(SystemClock, APauseJobRunsOnceInTheSettingThreadsNextPauseOrGoesToWhoeverTakesItFirst) {
    SystemClock clock;
    int runs = 0;
    SystemClock::SetPauseJob([&] { ++runs; });
    std::thread other([&] {
        clock.SleepMs(1);
        EXPECT_EQ(SystemClock::TakePauseJob(), nullptr) << "not another thread's";
    });
    other.join();
    EXPECT_EQ(runs, 0);
    clock.SleepMs(1);
    EXPECT_EQ(runs, 1);
    clock.SleepMs(1);
    EXPECT_EQ(runs, 1) << "once";
    EXPECT_EQ(SystemClock::TakePauseJob(), nullptr) << "nothing left once it ran";

    SystemClock::SetPauseJob([&] { runs += 10; });
    std::function<void()> taken = SystemClock::TakePauseJob();
    ASSERT_NE(taken, nullptr);
    clock.SleepMs(1);
    EXPECT_EQ(runs, 1) << "a job taken back is no pause's";
    taken();
    EXPECT_EQ(runs, 11);
}
