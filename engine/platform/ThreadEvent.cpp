#include "engine/platform/ThreadEvent.h"

namespace Ostrel {

void ThreadEvent::Set() {
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    if (m_manual) {
        m_changed.notify_all();
    } else {
        m_changed.notify_one();
    }
}

void ThreadEvent::Reset() {
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

void ThreadEvent::Wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_signalled; });
    if (!m_manual) m_signalled = false;
}

bool ThreadEvent::IsSet() const {
    std::lock_guard lock(m_mutex);
    return m_signalled;
}

}  // namespace Ostrel
