#pragma once
// A tiny lock for very short critical sections that are almost never
// contended: the small-object allocator's bookkeeping. In the usual
// single-threaded case a lock/unlock pair is one atomic exchange and one plain
// store, far cheaper than a mutex; when a loading thread does contend, the
// waiter yields instead of burning its time slice.

#include <atomic>
#include <thread>

namespace Ostrel {

class SpinLock {
public:
    void lock() noexcept {
        while (m_locked.exchange(true, std::memory_order_acquire)) {
            WaitUntilFree();
        }
    }

    void unlock() noexcept { m_locked.store(false, std::memory_order_release); }

private:
    void WaitUntilFree() noexcept {
        for (int spins = 0; m_locked.load(std::memory_order_relaxed); ++spins) {
            if (spins >= kSpinsBeforeYield) {
                std::this_thread::yield();
            }
        }
    }

    static constexpr int kSpinsBeforeYield = 64;
    std::atomic<bool> m_locked{false};
};

}  // namespace Ostrel
