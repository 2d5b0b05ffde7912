#pragma once
// Placeholder for the levels and game flow subsystem's RoomInstanceManager. As
// it stands, it holds no rooms; the mains only construct and destroy it. It
// records itself as the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class RoomInstanceManager : public GenericManager<RoomInstanceManager> {};

}  // namespace Ostrel
