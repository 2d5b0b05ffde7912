// CollisionWorld: the pair test and the pushes that separate a pair.

#include "engine/components/CollisionComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"
#include "engine/physics/CollisionWorld.h"
#include "engine/physics/ShapeTests.h"

#include <algorithm>
#include <cmath>

namespace Ostrel {

namespace {

constexpr u32 kLevelGeometryTypeId = FourCC("lgeo");

// The filter shared by the collide and the resolve flags: a Static side
// needs the other to accept statics, a non-Static side needs it to accept
// dynamics.
bool FlagsAllow(const ColliderFlags& a, const ColliderFlags& b, bool ColliderFlags::*withStatics,
                bool ColliderFlags::*withDynamics) {
    if (a.isStatic && !(b.*withStatics)) return false;
    if (b.isStatic && !(a.*withStatics)) return false;
    if (!a.isStatic && !(b.*withDynamics)) return false;
    if (!b.isStatic && !(a.*withDynamics)) return false;
    return true;
}

// The volume as the overlap tests take it: shaped by the collider's Shape.
BoundingVolume ShapedVolume(const CollisionComponent& collider) {
    BoundingVolume volume = collider.GetVolume();
    volume.kind = collider.GetShape();
    return volume;
}

Vec3& PositionOf(CollisionComponent& collider) { return collider.GetCachedTransform()->Position(); }

bool IsStatic(const CollisionComponent& collider) { return collider.GetFlags().isStatic; }

bool IsLevelGeometry(const CollisionComponent& collider) {
    return IsStatic(collider) && collider.GetOwner() && collider.GetOwner()->GetComponent(kLevelGeometryTypeId);
}

// Landing on something: the falling speed is gone.
void VerticalPush(CollisionComponent& collider) {
    Composition* owner = collider.GetOwner();
    if (auto* movement = owner ? owner->GetComponentAs<MovementComponent>() : nullptr) {
        movement->Velocity().y = 0.0f;
    }
}

// Where B lies from A on the axis: the lower side code when B's position is
// the smaller.
s32 SideOnAxis(int axis, const Vec3& positionA, const Vec3& positionB) {
    return axis * 2 + (positionB[axis] < positionA[axis] ? 0 : 1);
}

// The axis of the largest absolute component (ties to the lower axis), or
// -1 for a zero vector.
int DominantAxis(const Vec3& v) {
    int best = -1;
    float largest = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(v[axis]) > largest) {
            largest = std::fabs(v[axis]);
            best = axis;
        }
    }
    return best;
}

s32 SideAlong(const Vec3& direction, CollisionComponent& a, CollisionComponent& b) {
    const int axis = DominantAxis(direction);
    return axis < 0 ? kNoSide : SideOnAxis(axis, PositionOf(a), PositionOf(b));
}

s32 PushBoxes(CollisionComponent& a, CollisionComponent& b) {
    const Vec3 minA = a.GetMin(), maxA = a.GetMax(), minB = b.GetMin(), maxB = b.GetMax();
    Vec3& positionA = PositionOf(a);
    Vec3& positionB = PositionOf(b);
    Vec3 overlap;
    for (int axis = 0; axis < 3; ++axis) {
        overlap[axis] = positionB[axis] < positionA[axis] ? maxB[axis] - minA[axis] : maxA[axis] - minB[axis];
    }
    const int axis = overlap.MinComponentIndex();
    const float sign = positionA[axis] > positionB[axis] ? 1.0f : -1.0f;
    const float depth = overlap[axis];
    if (IsStatic(a)) {
        positionB[axis] -= sign * depth;
        if (axis == 1) VerticalPush(b);
    } else if (IsStatic(b)) {
        positionA[axis] += sign * depth;
        if (axis == 1) VerticalPush(a);
    } else {
        positionA[axis] += sign * depth / 2.0f;
        positionB[axis] -= sign * depth / 2.0f;
    }
    return SideOnAxis(axis, positionA, positionB);
}

s32 PushSpheres(CollisionComponent& a, CollisionComponent& b) {
    Vec3& positionA = PositionOf(a);
    Vec3& positionB = PositionOf(b);
    const Vec3 d = (positionB + b.GetVolume().centre) - (positionA + a.GetVolume().centre);
    const float reach = a.GetVolume().size.x / 2.0f + b.GetVolume().size.x / 2.0f;
    Vec3 push(0.0f, 0.0f, 0.0f);
    if (d.LengthSquared() <= reach * reach) push = d.Normalized() * (reach - d.Length());
    const bool upward = push.MaxComponentIndex() == 1;
    if (IsStatic(a)) {
        positionB += push;
        if (upward) VerticalPush(b);
    } else if (IsStatic(b)) {
        positionA -= push;
        if (upward) VerticalPush(a);
    } else {
        positionA -= push / 2.0f;
        positionB += push / 2.0f;
    }
    return SideAlong(push.LengthSquared() > 0.0f ? push : d, a, b);
}

// Box X against sphere S, where (a, b) is the pair's own order, for the side.
s32 PushBoxAndSphere(CollisionComponent& box, CollisionComponent& sphere, CollisionComponent& a,
                     CollisionComponent& b) {
    Vec3& boxPosition = PositionOf(box);
    Vec3& spherePosition = PositionOf(sphere);
    const Vec3 centre = spherePosition + sphere.GetVolume().centre;
    const Vec3 min = box.GetMin(), max = box.GetMax();
    const Vec3 closest(std::clamp(centre.x, min.x, max.x), std::clamp(centre.y, min.y, max.y),
                       std::clamp(centre.z, min.z, max.z));
    const Vec3 diff = centre - closest;
    if (diff.LengthSquared() == 0.0f) return kNoSide;  // centre inside or on the box
    const Vec3 push = diff - diff.Normalized() * (sphere.GetVolume().size / 2.0f);
    if (IsStatic(sphere)) {
        boxPosition += push;
    } else if (!IsStatic(box)) {
        boxPosition += push / 2.0f;
        spherePosition -= push / 2.0f;
    } else {
        spherePosition -= push;
    }
    return SideAlong(push, a, b);
}

}  // namespace

bool CollisionWorld::PairTest(CollisionComponent& a, CollisionComponent& b) {
    const bool overlap = Meet(a, b, IsLevelGeometry(a), IsLevelGeometry(b));
    if (overlap) m_contacts.push_back({{b.GetOwnerId(), kNoSide}, {a.GetOwnerId(), kNoSide}});
    return overlap;
}

bool CollisionWorld::Meet(CollisionComponent& a, CollisionComponent& b, bool aIsWall, bool bIsWall) {
    if (!a.HasTransform() || !b.HasTransform()) return false;
    if (!FlagsAllow(a.GetFlags(), b.GetFlags(), &ColliderFlags::collideWithStatics,
                    &ColliderFlags::collideWithDynamics)) {
        return false;
    }
    bool overlap = VolumesOverlap(ShapedVolume(a), a.GetPosition(), ShapedVolume(b), b.GetPosition());
    // Whichever of the two is the wall: before the grid is ready pairs come
    // in list order, where the level's walls usually precede its movers.
    // (The collision world calls this only for a wall that touches the
    // mover's box, or, for a mover that needs sweeping, its swept box.)
    if (bIsWall) {
        overlap = SweptLevelGeometryTest(a, b, overlap);
    } else if (aIsWall) {
        overlap = SweptLevelGeometryTest(b, a, overlap);
    }
    return overlap;
}

s32 CollisionWorld::Resolve(CollisionComponent& a, CollisionComponent& b) {
    if (!FlagsAllow(a.GetFlags(), b.GetFlags(), &ColliderFlags::resolveWithStatics,
                    &ColliderFlags::resolveWithDynamics)) {
        return kNoSide;
    }
    if (!a.HasTransform() || !b.HasTransform()) return kNoSide;
    const u32 shapeA = a.GetShape();
    const u32 shapeB = b.GetShape();
    if (shapeA == kShapeBox && shapeB == kShapeBox) return PushBoxes(a, b);
    if (shapeA == kShapeSphere && shapeB == kShapeSphere) return PushSpheres(a, b);
    if (shapeA == kShapeBox && shapeB == kShapeSphere) return PushBoxAndSphere(a, b, a, b);
    if (shapeA == kShapeSphere && shapeB == kShapeBox) return PushBoxAndSphere(b, a, a, b);
    return kNoSide;
}

}  // namespace Ostrel
