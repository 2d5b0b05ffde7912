#include "engine/core/Timer.h"

namespace Ostrel {

Timer::Timer(const IClock& clock)
    : m_clock(&clock),
      m_frequency(clock.Frequency()),
      m_startTicks(clock.Now()),
      m_previousTicks(m_startTicks),
      m_currentTicks(m_startTicks) {}

void Timer::Tick() {
    m_previousTicks = m_currentTicks;
    m_currentTicks = m_clock->Now();
    m_ticksSincePrevious = m_currentTicks - m_previousTicks;
    m_ticksSinceStart = m_currentTicks - m_startTicks;
    m_previousSeconds = m_currentSeconds;
    m_currentSeconds = f32(double(m_ticksSinceStart) / double(m_frequency));
    m_delta = m_currentSeconds - m_previousSeconds;
}

}  // namespace Ostrel
