#pragma once
// Time sources behind small interfaces, so the frame timer, the profiler and
// the frame cap can be driven by exact, made-up times in tests. The engine
// reads ticks and a tick frequency (like a high-resolution performance
// counter) and asks a sleeper for whole milliseconds.

#include "engine/base/Types.h"

namespace Ostrel {

class IClock {
public:
    virtual ~IClock() = default;
    // Ticks per second; constant for the life of the clock.
    virtual i64 Frequency() const = 0;
    // Monotonic tick count.
    virtual i64 Now() const = 0;
};

class ISleeper {
public:
    virtual ~ISleeper() = default;
    virtual void SleepMs(u32 milliseconds) = 0;
};

// The monotonic system clock in nanoseconds.
class SteadyClock final : public IClock {
public:
    i64 Frequency() const override;
    i64 Now() const override;
};

// Sleeps on a wake-up descriptor with a timeout, so WakeSleepers (which a
// signal handler may call) ends any sleep at once instead of after it. Once
// woken, sleeps return immediately until ClearSleeperWake.
class ThreadSleeper final : public ISleeper {
public:
    void SleepMs(u32 milliseconds) override;
};

// Creates the wake-up descriptor; call before installing a signal handler
// that calls WakeSleepers (ThreadSleeper also creates it on first use).
void PrepareSleeperWake();
// Async-signal-safe: ends current and later sleeps of ThreadSleeper.
void WakeSleepers();
// Sleeps wait their full time again.
void ClearSleeperWake();

// A clock that reads a fixed step on every Now() (TAVRIN_FIXED_DT): each call
// advances by stepSeconds, so every frame sees the same delta. The step is
// kept within 0..kMaxStepSeconds and the reading stops at the largest tick
// count instead of wrapping.
class FixedStepClock final : public IClock {
public:
    static constexpr double kMaxStepSeconds = 1000.0;
    explicit FixedStepClock(double stepSeconds);
    i64 Frequency() const override { return kFrequency; }
    i64 Now() const override;

private:
    static constexpr i64 kFrequency = 1000000000;
    i64 m_step = 0;
    mutable i64 m_now = 0;
};

// A clock tests set by hand.
class ManualClock final : public IClock {
public:
    explicit ManualClock(i64 frequency = 1000000) : m_frequency(frequency) {}
    i64 Frequency() const override { return m_frequency; }
    i64 Now() const override { return m_now; }
    void Set(i64 ticks) { m_now = ticks; }
    void AdvanceSeconds(double seconds) { m_now += i64(seconds * double(m_frequency) + 0.5); }

private:
    i64 m_frequency;
    i64 m_now = 0;
};

// The process-wide clock and sleeper the engine uses unless a test injects
// its own. The start-up code replaces the clock with a FixedStepClock when
// TAVRIN_FIXED_DT is set.
IClock& DefaultClock();
void SetDefaultClock(IClock* clock);  // nullptr restores the steady clock
ISleeper& DefaultSleeper();

}  // namespace Ostrel
