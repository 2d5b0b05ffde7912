#pragma once
// Placeholder until the levels and game flow subsystem is built: it holds no
// room palettes; the mains only construct and destroy it. Like the real one,
// it records itself as the instance.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class RoomPaletteManager : public GenericManager<RoomPaletteManager> {};

}  // namespace Ostrel
