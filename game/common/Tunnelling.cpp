#include "game/common/Tunnelling.h"

#include "engine/actions/ActionSupport.h"
#include "engine/actions/RandomFloat.h"
#include "engine/components/CollisionComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/TransformComponent.h"
#include "engine/physics/CollisionData.h"

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

bool IsTunnelWall(const TransformComponent& self, const CollisionData& contact) {
    constexpr u32 kDamageTrapTypeId = FourCC("datC");
    Composition* other = FindActionObject(contact.other);
    const auto* obstacle = other ? other->GetComponentAs<CollisionComponent>() : nullptr;
    if (!obstacle || !obstacle->GetFlags().isStatic || !obstacle->GetFlags().resolveWithDynamics) return false;
    if (other->GetComponent(kDamageTrapTypeId)) return false;
    const TransformComponent* wall = other->GetTransform();
    return wall && wall->GetPosition().y >= self.GetPosition().y;
}

Vec3 BounceHeading(const Vec3& position, const Vec3& legEnd, const Vec3& heading) {
    const Vec3 back = position - legEnd;
    return back.LengthSquared() > 0.0f ? back.Normalized() : heading * -1.0f;
}

void SetDynamicCollision(CollisionComponent* collision, bool on) {
    if (!collision) return;
    collision->Flags().collideWithDynamics = on;
    collision->Flags().resolveWithDynamics = on;
}

}  // namespace Vandle
