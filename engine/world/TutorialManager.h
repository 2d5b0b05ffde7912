#pragma once
// Placeholder until the levels and game flow subsystem is built: Connect
// subscribes nothing and no tutorial is kept.

namespace Ostrel {

class TutorialManager {
public:
    TutorialManager() = default;
    TutorialManager(const TutorialManager&) = delete;
    TutorialManager& operator=(const TutorialManager&) = delete;
    void Connect() {}
};

}  // namespace Ostrel
