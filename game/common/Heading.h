#pragma once
// The facing convention of the game's models: they face -Z at rotation 0 and
// the rotation about y ("RotY") is in degrees, so a direction d on the ground
// is faced by the heading degrees(atan2(-d.x, -d.z)), and a heading h points
// along (-sin h, 0, -cos h).

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"

namespace Vandle {

using Ostrel::f32;

// The heading (degrees) that faces the horizontal direction (dx, dz).
f32 HeadingTowards(f32 dx, f32 dz);
// The unit direction on the ground of a heading in degrees.
Ostrel::Vec3 HeadingDirection(f32 degrees);

}  // namespace Vandle
