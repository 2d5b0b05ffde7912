#include "engine/core/Clock.h"

#include <gtest/gtest.h>

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
