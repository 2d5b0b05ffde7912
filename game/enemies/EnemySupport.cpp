#include "game/enemies/EnemySupport.h"

#include "engine/actions/RandomFloat.h"
#include "engine/core/MathFunctions.h"

#include <cmath>

namespace Vandle {

using namespace Ostrel;

Vec3 CirclingHeading(Vec3 heading, const Vec3& position, const Vec3* player, f32 maxTurnDegrees,
                     f32 circleDistance, bool ccw, f32 circleWeight) {
    heading.y = 0.0f;
    const f32 a = RandomFloat(-maxTurnDegrees, maxTurnDegrees) * kRadiansPerDegree;
    const Vec3 h = heading;
    heading.x = std::cos(a) * h.x + std::sin(a) * h.z;
    heading.z = -std::sin(a) * h.x + std::cos(a) * h.z;
    if (!player) return heading;
    Vec3 n = position - *player;
    n.y = 0.0f;
    n.NormalizeThis();
    const Vec3 tangent = ccw ? Vec3(-n.z, 0.0f, n.x) : Vec3(n.z, 0.0f, -n.x);
    Vec3 d = *player + n * circleDistance + tangent - position;
    d.y = 0.0f;
    d.NormalizeThis();
    heading = heading * (1.0f - circleWeight) + d * circleWeight;
    heading.NormalizeThis();
    return heading;
}

}  // namespace Vandle
