#include "engine/core/Clock.h"

#include <sys/eventfd.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>

namespace Ostrel {

i64 SteadyClock::Frequency() const { return 1000000000; }

i64 SteadyClock::Now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

std::atomic<int> s_wakeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

void PrepareSleeperWake() {
    if (s_wakeFd.load() >= 0) return;
    const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    int expected = -1;
    if (fd >= 0 && !s_wakeFd.compare_exchange_strong(expected, fd)) close(fd);
}

void WakeSleepers() {
    const int fd = s_wakeFd.load();
    if (fd < 0) return;
    const int savedErrno = errno;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
    errno = savedErrno;
}

void ClearSleeperWake() {
    const int fd = s_wakeFd.load();
    if (fd < 0) return;
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t drained = read(fd, &count, sizeof count);
}

void ThreadSleeper::SleepMs(u32 milliseconds) {
    PrepareSleeperWake();
    const int fd = s_wakeFd.load();
    if (fd < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + std::chrono::milliseconds(milliseconds);
    pollfd wake{fd, POLLIN, 0};
    for (;;) {
        const auto now = steady_clock::now();
        if (now >= deadline) return;
        // Rounded up, so the sleep never ends early.
        const auto left = duration_cast<std::chrono::milliseconds>(deadline - now).count() + 1;
        const int timeout = int(std::min<long long>(left, std::numeric_limits<int>::max()));
        const int ready = poll(&wake, 1, timeout);
        if (ready > 0) return;  // woken
        if (ready < 0 && errno != EINTR) return;
    }
}

FixedStepClock::FixedStepClock(double stepSeconds) {
    const double seconds = std::isfinite(stepSeconds) ? std::clamp(stepSeconds, 0.0, kMaxStepSeconds) : 0.0;
    m_step = i64(seconds * double(kFrequency) + 0.5);
}

i64 FixedStepClock::Now() const {
    m_now = m_now > std::numeric_limits<i64>::max() - m_step ? std::numeric_limits<i64>::max() : m_now + m_step;
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
