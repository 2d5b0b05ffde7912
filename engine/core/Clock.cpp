#include "engine/core/Clock.h"

#include <chrono>
#include <thread>

namespace Ostrel {

i64 SteadyClock::Frequency() const { return 1000000000; }

i64 SteadyClock::Now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void ThreadSleeper::SleepMs(u32 milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

FixedStepClock::FixedStepClock(double stepSeconds)
    : m_step(i64(stepSeconds * double(kFrequency) + 0.5)) {}

i64 FixedStepClock::Now() const {
    m_now += m_step;
    return m_now;
}

namespace {
IClock* s_clock = nullptr;
}

IClock& DefaultClock() {
    static SteadyClock steady;
    return s_clock ? *s_clock : steady;
}

void SetDefaultClock(IClock* clock) { s_clock = clock; }

ISleeper& DefaultSleeper() {
    static ThreadSleeper sleeper;
    return sleeper;
}

}  // namespace Ostrel
