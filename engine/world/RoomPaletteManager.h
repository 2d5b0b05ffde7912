#pragma once
// Placeholder for the levels and game flow subsystem's RoomPaletteManager. As
// it stands, it holds no room palettes; the mains only construct and destroy
// it. It records itself as the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class RoomPaletteManager : public GenericManager<RoomPaletteManager> {};

}  // namespace Ostrel
