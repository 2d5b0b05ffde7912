#pragma once
// The frame timer. Each Tick reads the clock; the delta is the difference of
// two single-precision "seconds since the timer was created", not a
// conversion of the ticks between the readings. Its resolution therefore
// coarsens as a run gets long (about 1 ms after 4.5 hours); frame logic was
// tuned with exactly this behaviour, so it is kept.

#include "engine/base/Types.h"
#include "engine/core/Clock.h"

namespace Ostrel {

class Timer {
public:
    // Reads the clock once: the start of the timer. The clock must outlive
    // the timer.
    explicit Timer(const IClock& clock = DefaultClock());

    void Tick();
    f32 GetDelta() const { return m_delta; }
    f32 GetSeconds() const { return m_currentSeconds; }

private:
    const IClock* m_clock;
    i64 m_frequency;
    i64 m_startTicks;
    i64 m_previousTicks;
    i64 m_currentTicks;
    i64 m_ticksSincePrevious = 0;
    i64 m_ticksSinceStart = 0;
    f32 m_previousSeconds = 0.0f;
    f32 m_currentSeconds = 0.0f;
    f32 m_delta = 0.0f;
};

}  // namespace Ostrel
