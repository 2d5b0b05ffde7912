#pragma once
// Placeholder until the graphics subsystem is built: it holds no animations;
// the mains only construct and destroy it.

namespace Ostrel {

class AnimationManager {
public:
    AnimationManager() = default;
    AnimationManager(const AnimationManager&) = delete;
    AnimationManager& operator=(const AnimationManager&) = delete;
};

}  // namespace Ostrel
