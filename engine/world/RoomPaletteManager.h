#pragma once
// Placeholder until the levels and game flow subsystem is built: it holds no
// room palettes; the mains only construct and destroy it.

namespace Ostrel {

class RoomPaletteManager {
public:
    RoomPaletteManager() = default;
    RoomPaletteManager(const RoomPaletteManager&) = delete;
    RoomPaletteManager& operator=(const RoomPaletteManager&) = delete;
};

}  // namespace Ostrel
