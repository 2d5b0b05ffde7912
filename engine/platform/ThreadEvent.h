#pragma once
// A signal that threads wait for, with the two reset behaviours the worker
// pools rely on:
//   auto-reset   - Set releases exactly one Wait (or the next one to come)
//                  and the event is unsignalled again;
//   manual-reset - Set leaves the event signalled, releasing every Wait,
//                  until Reset.
// Set and Wait go through one mutex, so everything a thread wrote before Set
// is visible to the thread whose Wait that Set released.

#include <condition_variable>
#include <mutex>

namespace Ostrel {

class ThreadEvent {
public:
    enum class ResetMode { Auto, Manual };

    explicit ThreadEvent(ResetMode mode) : m_manual(mode == ResetMode::Manual) {}
    ThreadEvent(const ThreadEvent&) = delete;
    ThreadEvent& operator=(const ThreadEvent&) = delete;

    void Set();
    void Reset();
    // Blocks until the event is signalled (no time-out); an auto-reset event
    // is unsignalled again when this returns.
    void Wait();
    // Answers whether the event is signalled without waiting or consuming it.
    bool IsSet() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_signalled = false;
    const bool m_manual;
};

}  // namespace Ostrel
