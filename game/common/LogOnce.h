#pragma once
// Reporting a gap once instead of every frame: a missing clip, archetype or
// sibling component is usually met again and again by every object of a
// kind. A process-wide key ("who: what") says whether a line went out
// already; a member ReportOnce does the same for one object.

#include <string>

namespace Vandle {

// True the first time the key is seen (thread-safe), false after that.
bool FirstReport(const std::string& key);

// Forgets every key seen, so the next occurrence is reported again; for a
// fresh world in a test.
void ForgetReports();

// One object's "have I said this already" flag.
class ReportOnce {
public:
    // True on the first call only.
    bool First() {
        if (m_done) return false;
        m_done = true;
        return true;
    }

private:
    bool m_done = false;
};

}  // namespace Vandle
