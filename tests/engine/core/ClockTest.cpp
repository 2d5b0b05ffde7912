#include "engine/core/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <thread>

using namespace Ostrel;

TEST(Clock, FixedStepClockAdvancesExactlyOneStepPerRead) {
    FixedStepClock clock(0.0625);
    i64 a = clock.Now();
    i64 b = clock.Now();
    EXPECT_EQ(b - a, clock.Frequency() / 16);
}

TEST(Clock, SteadyClockIsMonotonicAndDefaultCanBeReplaced) {
    SteadyClock steady;
    i64 a = steady.Now();
    EXPECT_GE(steady.Now(), a);

    ManualClock manual(1000);
    manual.AdvanceSeconds(0.25);
    SetDefaultClock(&manual);
    EXPECT_EQ(DefaultClock().Now(), 250);
    SetDefaultClock(nullptr);
    EXPECT_EQ(DefaultClock().Frequency(), 1000000000);
}

TEST(Clock, FixedStepClockNeitherOverflowsNorGoesBack) {
    // Steps beyond the range are cut to it and the reading stops at the top.
    FixedStepClock huge(1e300);
    i64 previous = huge.Now();
    for (int i = 0; i < 100; ++i) {
        const i64 now = huge.Now();
        EXPECT_GE(now, previous);
        previous = now;
    }
    FixedStepClock broken(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(broken.Now(), 0);
}

TEST(Clock, WakeSleepersEndsASleepAtOnceUntilCleared) {
    ThreadSleeper sleeper;
    ClearSleeperWake();
    using std::chrono::steady_clock;
    const auto start = steady_clock::now();
    std::thread waker([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        WakeSleepers();
    });
    sleeper.SleepMs(60000);  // a minute unless woken
    sleeper.SleepMs(60000);  // still woken: returns at once
    waker.join();
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(30));
    ClearSleeperWake();
    const auto again = steady_clock::now();
    sleeper.SleepMs(30);
    EXPECT_GE(steady_clock::now() - again, std::chrono::milliseconds(30)) << "a full sleep once cleared";
}
