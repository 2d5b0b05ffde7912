#pragma once
// Placeholder until the graphics subsystem is built: it holds no animations;
// the mains only construct and destroy it. Like the real one, it records
// itself as the instance.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class AnimationManager : public GenericManager<AnimationManager> {};

}  // namespace Ostrel
