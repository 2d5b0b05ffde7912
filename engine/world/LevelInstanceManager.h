#pragma once
// Placeholder for the levels and game flow subsystem's LevelInstanceManager.
// As it stands, it holds no levels; the mains only construct and destroy it.
// It records itself as the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class LevelInstanceManager : public GenericManager<LevelInstanceManager> {};

}  // namespace Ostrel
