#pragma once
// Placeholder until the graphics subsystem is built: it holds no skeletons;
// the mains only construct and destroy it.

namespace Ostrel {

class SkeletonManager {
public:
    SkeletonManager() = default;
    SkeletonManager(const SkeletonManager&) = delete;
    SkeletonManager& operator=(const SkeletonManager&) = delete;
};

}  // namespace Ostrel
