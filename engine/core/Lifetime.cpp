#include "engine/core/Lifetime.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace Ostrel {

namespace {

using TrackerList = std::vector<Private::LifetimeTracker*>;

// Trivially destructible, so they stay usable while the exit list runs.
constinit std::mutex s_trackerMutex;
constinit std::mutex s_creationMutex;
TrackerList* s_trackers = nullptr;

}  // namespace

namespace Private {

void AddLifetimeTracker(LifetimeTracker* tracker) {
    {
        std::lock_guard<std::mutex> lock(s_trackerMutex);
        if (s_trackers == nullptr) {
            s_trackers = new TrackerList();
        }
        // Before the first tracker with a smaller longevity: equal ones keep
        // registration order, so the newest of them is destroyed first.
        auto position = std::upper_bound(
            s_trackers->begin(), s_trackers->end(), tracker,
            [](const LifetimeTracker* a, const LifetimeTracker* b) {
                return a->GetLongevity() > b->GetLongevity();
            });
        s_trackers->insert(position, tracker);
    }
    std::atexit(&LifetimeAtExit);
}

std::mutex& SingletonCreationMutex() {
    return s_creationMutex;
}

}  // namespace Private

void LifetimeAtExit() {
    Private::LifetimeTracker* tracker = nullptr;
    {
        std::lock_guard<std::mutex> lock(s_trackerMutex);
        if (s_trackers == nullptr || s_trackers->empty()) {
            return;
        }
        tracker = s_trackers->back();
        s_trackers->pop_back();
        if (s_trackers->empty()) {
            delete s_trackers;
            s_trackers = nullptr;
        }
    }
    // Outside the lock: a destructor may use (and so re-create) another
    // singleton.
    delete tracker;
}

}  // namespace Ostrel
