#pragma once
// Placeholder for the graphics subsystem's AnimationManager. As it stands, it
// holds no animations; the mains only construct and destroy it. It records
// itself as the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class AnimationManager : public GenericManager<AnimationManager> {};

}  // namespace Ostrel
