#pragma once
// Placeholder until the levels and game flow subsystem is built: it holds no
// rooms; the mains only construct and destroy it.

namespace Ostrel {

class RoomInstanceManager {
public:
    RoomInstanceManager() = default;
    RoomInstanceManager(const RoomInstanceManager&) = delete;
    RoomInstanceManager& operator=(const RoomInstanceManager&) = delete;
};

}  // namespace Ostrel
