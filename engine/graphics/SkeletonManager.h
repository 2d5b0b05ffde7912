#pragma once
// Placeholder for the graphics subsystem's SkeletonManager. As it stands, it
// holds no skeletons; the mains only construct and destroy it. It records
// itself as the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class SkeletonManager : public GenericManager<SkeletonManager> {};

}  // namespace Ostrel
