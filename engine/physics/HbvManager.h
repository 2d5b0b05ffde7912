#pragma once
// Placeholder until the physics subsystem is built: Initialize and Shutdown
// build and subscribe nothing.

namespace Ostrel {

class HbvManager {
public:
    HbvManager() = default;
    HbvManager(const HbvManager&) = delete;
    HbvManager& operator=(const HbvManager&) = delete;
    void Initialize() {}
    void Shutdown() {}
};

}  // namespace Ostrel
