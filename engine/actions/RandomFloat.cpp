#include "engine/actions/RandomFloat.h"

#include "engine/core/Random.h"

#include <algorithm>

namespace Ostrel {

float RandomFloat(float min, float max) {
    const float range = max - min;
    const float value = float(min + double(Rand()) * range / double(kRandMax));
    // Rounding to float could step a hair past an end.
    return std::clamp(value, std::min(min, max), std::max(min, max));
}

}  // namespace Ostrel
