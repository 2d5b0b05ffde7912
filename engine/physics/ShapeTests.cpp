#include "engine/physics/ShapeTests.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

namespace Ostrel {

namespace {

constexpr float kParallelCosine = 0.001f;
constexpr float kPlaneBehindTolerance = 0.001f;
constexpr float kSlabParallel = 0.001f;

struct Corners {
    Vec3 min;
    Vec3 max;
};

Corners BoxCorners(const BoundingVolume& box, const Vec3& position) {
    const Vec3 centre = position + box.centre;
    const Vec3 half = box.size / 2.0f;
    return {centre - half, centre + half};
}

float Radius(const BoundingVolume& sphere) { return sphere.size.x / 2.0f; }

bool SlabTest(const Ray& ray, const BoundingVolume& box, const Vec3& position, float& t) {
    const Corners c = BoxCorners(box, position);
    const Vec3 origin = ray.origin.XYZ();
    const Vec3 direction = ray.direction.XYZ();
    float tmin = 0.0f;
    float tmax = FLT_MAX;
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(direction[axis]) < kSlabParallel) {
            if (origin[axis] < c.min[axis] || origin[axis] > c.max[axis]) return false;
            continue;
        }
        float t1 = (c.min[axis] - origin[axis]) / direction[axis];
        float t2 = (c.max[axis] - origin[axis]) / direction[axis];
        if (t1 > t2) std::swap(t1, t2);
        tmin = std::max(tmin, t1);
        tmax = std::min(tmax, t2);
        if (tmax < tmin) return false;
    }
    t = tmin;
    return true;
}

// t is the distance along a unit direction: it is deliberately not divided by
// direction . direction.
bool SphereTest(const Ray& ray, const BoundingVolume& sphere, const Vec3& position, float& t) {
    const Vec3 direction = ray.direction.XYZ();
    const Vec3 m = ray.origin.XYZ() - (position + sphere.centre);
    const float r = Radius(sphere);
    const float b = m.Dot(direction);
    const float c = m.Dot(m) - r * r;
    if (c >= 0.0f && b >= 0.0f) return false;  // outside and pointing away
    const float a = direction.Dot(direction);
    const float discriminant = b * b - a * c;
    if (!(discriminant > 0.0f)) return false;
    t = std::max(0.0f, -b - std::sqrt(discriminant));
    return true;
}

bool SameStrictSign(float a, float b, float c) {
    return (a < 0.0f && b < 0.0f && c < 0.0f) || (a > 0.0f && b > 0.0f && c > 0.0f);
}

}  // namespace

bool BoxOverlapsBox(const BoundingVolume& a, const Vec3& positionA, const BoundingVolume& b,
                    const Vec3& positionB) {
    const Corners ca = BoxCorners(a, positionA);
    const Corners cb = BoxCorners(b, positionB);
    for (int axis = 0; axis < 3; ++axis) {
        if (ca.min[axis] > cb.max[axis] || cb.min[axis] > ca.max[axis]) return false;
    }
    return true;
}

bool BoxOverlapsSphere(const BoundingVolume& box, const Vec3& boxPosition, const BoundingVolume& sphere,
                       const Vec3& spherePosition) {
    const Corners c = BoxCorners(box, boxPosition);
    const Vec3 centre = spherePosition + sphere.centre;
    const Vec3 closest(std::clamp(centre.x, c.min.x, c.max.x), std::clamp(centre.y, c.min.y, c.max.y),
                       std::clamp(centre.z, c.min.z, c.max.z));
    const float r = Radius(sphere);
    return (centre - closest).LengthSquared() < r * r;
}

bool SphereOverlapsSphere(const BoundingVolume& a, const Vec3& positionA, const BoundingVolume& b,
                          const Vec3& positionB) {
    const Vec3 between = (positionA + a.centre) - (positionB + b.centre);
    const float reach = Radius(a) + Radius(b);
    return between.LengthSquared() <= reach * reach;
}

bool VolumesOverlap(const BoundingVolume& a, const Vec3& positionA, const BoundingVolume& b,
                    const Vec3& positionB) {
    if (a.kind == kShapeBox && b.kind == kShapeBox) return BoxOverlapsBox(a, positionA, b, positionB);
    if (a.kind == kShapeBox && b.kind == kShapeSphere) return BoxOverlapsSphere(a, positionA, b, positionB);
    if (a.kind == kShapeSphere && b.kind == kShapeBox) return BoxOverlapsSphere(b, positionB, a, positionA);
    if (a.kind == kShapeSphere && b.kind == kShapeSphere) {
        return SphereOverlapsSphere(a, positionA, b, positionB);
    }
    return false;
}

bool RayHitsVolume(const Ray& ray, const BoundingVolume& volume, const Vec3& position, float& t) {
    if (volume.kind == kShapeBox) return SlabTest(ray, volume, position, t);
    if (volume.kind == kShapeSphere) return SphereTest(ray, volume, position, t);
    return false;
}

bool RayHitsVolumeFaces(const Ray& ray, const BoundingVolume& volume, const Vec3& position, float& t) {
    if (volume.kind != kShapeBox) return false;
    const Ray local{Vec4(ray.origin.XYZ() - (position + volume.centre), 1.0f), ray.direction};
    t = FLT_MAX;
    for (int axis = 0; axis < 3; ++axis) {
        for (float side : {1.0f, -1.0f}) {
            Vec3 normal;
            normal[axis] = 1.0f;
            // The plane normal[axis] = side * size[axis] / 2.
            const Vec4 plane(normal, -side * volume.size[axis] / 2.0f);
            float planeT = 0.0f;
            if (RayHitsPlane(local, plane, planeT) && planeT > 0.0f && planeT < t) t = planeT;
        }
    }
    return true;
}

bool RayHitsPlane(const Ray& ray, const Vec4& plane, float& t) {
    const Vec3 normal = plane.XYZ();
    const Vec3 direction = ray.direction.XYZ();
    const float cosine = direction.Normalized().Dot(normal.Normalized());
    if (cosine > -kParallelCosine && cosine < kParallelCosine) return false;
    t = -(normal.Dot(ray.origin.XYZ()) + plane.w) / normal.Dot(direction);
    return t >= -kPlaneBehindTolerance;
}

bool RayHitsTriangle(const Ray& ray, const Vec3& p0, const Vec3& p1, const Vec3& p2, float& t) {
    const Vec3 normal = (p1 - p0).Cross(p2 - p0).Normalized();
    float planeT = 0.0f;
    if (!RayHitsPlane(ray, Vec4(normal, -normal.Dot(p0)), planeT)) return false;
    const Vec3 p = (ray.origin + ray.direction * planeT).XYZ();
    const float e0 = normal.Dot((p1 - p0).Cross(p - p0));
    const float e1 = normal.Dot((p2 - p1).Cross(p - p1));
    const float e2 = normal.Dot((p0 - p2).Cross(p - p2));
    if (!SameStrictSign(e0, e1, e2)) return false;
    t = planeT;
    return true;
}

bool RayHitsTriangles(const Ray& ray, const PointView& vertices, std::span<const u16> indices, u32 layout,
                      float& nearest) {
    nearest = FLT_MAX;
    if (layout != kTriangleList && layout != kTriangleStrip) return false;
    const std::size_t step = layout == kTriangleList ? 3 : 1;
    bool hit = false;
    for (std::size_t i = 0; i + 2 < indices.size(); i += step) {
        const u16 first = indices[i], second = indices[i + 1], third = indices[i + 2];
        if (first >= vertices.count || second >= vertices.count || third >= vertices.count) continue;
        float t = 0.0f;
        if (RayHitsTriangle(ray, vertices[third], vertices[second], vertices[first], t)) {
            hit = true;
            nearest = std::min(nearest, t);
        }
    }
    return hit;
}

bool SweptLevelGeometryTest(CollisionComponent& a, const CollisionComponent& b, bool overlapResult) {
    if (!a.GetFlags().resolveWithStatics || !b.GetFlags().resolveWithDynamics) return overlapResult;
    TransformComponent* transform = a.GetCachedTransform();
    if (!transform || !b.HasTransform()) return overlapResult;

    const Vec3 previous = transform->GetPreviousPosition();
    const Vec3 motion = transform->GetPosition() - previous;
    const Vec3& thickness = b.GetVolume().size;
    const float r = thickness[thickness.MinComponentIndex()] / 2.0f;
    if (motion.LengthSquared() <= r * r) return overlapResult;
    if (a.GetVolume().kind != kShapeBox) return overlapResult;

    // The path of the box's centre, started where it leaves the mover's own
    // box. A box that stands on its origin (feet at the position) would
    // otherwise cast along the floor's surface and hit the floor.
    Ray ray{Vec4(previous + a.GetVolume().centre, 1.0f), Vec4(motion, 0.0f)};
    float exit = FLT_MAX;
    RayHitsVolumeFaces(ray, a.GetVolume(), previous, exit);
    if (exit == FLT_MAX || !std::isfinite(exit)) return overlapResult;  // no exit point: nothing to cast
    ray.origin = ray.origin + ray.direction * exit;

    // A path that does not cross b within this frame adds no contact, but it
    // takes none away either: a mover dashing or knocked along the floor it
    // stands on still overlaps that floor, and dropping the contact would let
    // it sink through the slab and out of the world.
    float t = 0.0f;
    if (!RayHitsVolume(ray, b.GetVolume(), b.GetPosition(), t) || t > 1.0f) return overlapResult;
    const Vec3 hitPoint = (ray.origin + ray.direction * t).XYZ();
    if (hitPoint != Vec3(0.0f, 0.0f, 0.0f)) {
        transform->SetPosition(previous);
        Composition* owner = a.GetOwner();
        if (auto* movement = owner ? owner->GetComponentAs<MovementComponent>() : nullptr) {
            movement->Velocity().NormalizeThis();
        }
    }
    return true;
}

}  // namespace Ostrel
