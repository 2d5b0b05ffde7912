#pragma once
// Placeholder for the physics subsystem's HbvManager. As it stands, Initialize
// and Shutdown build and subscribe nothing.

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
