#pragma once
// Placeholder until the levels and game flow subsystem is built: it holds no
// levels; the mains only construct and destroy it.

namespace Ostrel {

class LevelInstanceManager {
public:
    LevelInstanceManager() = default;
    LevelInstanceManager(const LevelInstanceManager&) = delete;
    LevelInstanceManager& operator=(const LevelInstanceManager&) = delete;
};

}  // namespace Ostrel
