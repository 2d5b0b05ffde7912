#include "game/common/Heading.h"

#include <cmath>
#include <numbers>

namespace Vandle {

using Ostrel::Vec3;

f32 HeadingTowards(f32 dx, f32 dz) {
    return f32(std::atan2(-double(dx), -double(dz)) * 180.0 / std::numbers::pi);
}

Vec3 HeadingDirection(f32 degrees) {
    const double radians = double(degrees) * std::numbers::pi / 180.0;
    return Vec3(f32(-std::sin(radians)), 0.0f, f32(-std::cos(radians)));
}

}  // namespace Vandle
