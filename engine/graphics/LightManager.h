#pragma once
// Placeholder for the graphics subsystem's LightManager. As it stands,
// Initialize and Shutdown subscribe nothing and no light is kept.

namespace Ostrel {

class LightManager {
public:
    LightManager() = default;
    LightManager(const LightManager&) = delete;
    LightManager& operator=(const LightManager&) = delete;
    void Initialize() {}
    void Shutdown() {}
};

}  // namespace Ostrel
