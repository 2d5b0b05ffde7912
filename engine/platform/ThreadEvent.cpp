#include "engine/platform/ThreadEvent.h"

#include <chrono>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace Ostrel {

namespace {

void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

}  // namespace

// The flag is stored before the sleeper count is read and a sleeper counts
// itself before it reads the flag (both sequentially consistent), so either
// Set sees the sleeper and notifies it, or the sleeper sees the flag. The
// notification happens under the mutex, which the sleeper holds from its
// last look at the flag until it is inside wait: it cannot be missed.
void ThreadEvent::Set() {
    m_signalled.store(true, std::memory_order_seq_cst);
    if (m_sleepers.load(std::memory_order_seq_cst) == 0) return;
    std::lock_guard lock(m_mutex);
    if (m_manual) {
        m_changed.notify_all();
    } else {
        m_changed.notify_one();
    }
}

void ThreadEvent::Reset() { m_signalled.store(false, std::memory_order_relaxed); }

// Sequentially consistent like the sleeper count, so that a waiter's look
// after counting itself cannot be ordered before its count.
bool ThreadEvent::TryTake() {
    if (m_manual) return m_signalled.load(std::memory_order_seq_cst);
    bool signalled = m_signalled.load(std::memory_order_seq_cst);
    return signalled && m_signalled.compare_exchange_strong(signalled, false, std::memory_order_seq_cst);
}

void ThreadEvent::Wait() {
    // The clock is read every 64 looks, a few microseconds apart at most.
    const auto until = std::chrono::steady_clock::now() + std::chrono::nanoseconds(kSpinNanoseconds);
    for (unsigned look = 1;; ++look) {
        if (TryTake()) return;
        CpuRelax();
        if (look % 64 == 0 && std::chrono::steady_clock::now() >= until) break;
    }
    m_sleepers.fetch_add(1, std::memory_order_seq_cst);
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return TryTake(); });
    }
    m_sleepers.fetch_sub(1, std::memory_order_relaxed);
}

bool ThreadEvent::IsSet() const { return m_signalled.load(std::memory_order_acquire); }

}  // namespace Ostrel
