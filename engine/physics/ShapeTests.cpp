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

// How near a mover must be to a face to count as touching it: a mover
// stopped at a face lands there only up to rounding.
constexpr float kTouchTolerance = 1e-3f;

bool CornersWithin(const Vec3& minA, const Vec3& maxA, const Vec3& minB, const Vec3& maxB, float tolerance) {
    for (int axis = 0; axis < 3; ++axis) {
        if (minA[axis] > maxB[axis] + tolerance || minB[axis] > maxA[axis] + tolerance) return false;
    }
    return true;
}

// Where a sweep meets a box: the axis of the face, and whether the mover
// runs into that face from apart (a hit) or is only held on a face plane it
// already touches.
struct Contact {
    int axis = 0;
    bool hit = false;
    float t = 0.0f;  // of a hit: where along the motion
};

// Per axis, how deep a point lies inside a box from the box's nearer face
// (negative outside), and which way goes inward across that face.
struct Depths {
    Vec3 depth;
    Vec3 inward;
};

Depths DepthsOf(const Vec3& point, const Vec3& low, const Vec3& high) {
    Depths d;
    for (int i = 0; i < 3; ++i) {
        const float fromLow = point[i] - low[i];
        const float fromHigh = high[i] - point[i];
        d.depth[i] = std::min(fromLow, fromHigh);
        d.inward[i] = fromLow <= fromHigh ? 1.0f : -1.0f;
    }
    return d;
}

bool GoesIn(const Depths& d, const Vec3& motion, int axis) { return motion[axis] * d.inward[axis] > 0.0f; }

// A point touching or inside the box: it is held on the face it is nearest
// to (on an edge, the face it moves across the least, so it slides on) when
// it goes deeper across every face it is that near to. Moving along or out
// of one of them, it cannot go in, and what already overlaps is left to the
// push.
bool TouchingContact(const Depths& d, const Vec3& motion, Contact& contact) {
    const float nearest = std::min({d.depth.x, d.depth.y, d.depth.z});
    int held = -1;
    for (int i = 0; i < 3; ++i) {
        if (d.depth[i] > nearest + kTouchTolerance) continue;
        if (!GoesIn(d, motion, i)) return false;
        if (held < 0 || std::fabs(motion[i]) < std::fabs(motion[held])) held = i;
    }
    contact = {held, false, 0.0f};
    return true;
}

// A point apart from the box: the slab sweep; it hits the first face it
// crosses within the motion. When it also started on the plane of another
// face and goes in across that one (an edge: a body walking off one floor
// onto the next dips into the second by a frame's fall), it is only held on
// that face's plane and slides on over the box.
bool SweptContact(const Vec3& start, const Vec3& motion, const Vec3& low, const Vec3& high, const Depths& d,
                  Contact& contact) {
    float entry = -FLT_MAX;
    float exit = FLT_MAX;
    int entryAxis = -1;
    for (int i = 0; i < 3; ++i) {
        if (motion[i] == 0.0f) {
            if (d.depth[i] <= kTouchTolerance) return false;  // beside the box, or along a face it touches
            continue;
        }
        float t1 = (low[i] - start[i]) / motion[i];
        float t2 = (high[i] - start[i]) / motion[i];
        if (t1 > t2) std::swap(t1, t2);
        if (t1 > entry) {
            entry = t1;
            entryAxis = i;
        }
        exit = std::min(exit, t2);
    }
    if (entryAxis < 0 || entry > exit || entry < 0.0f || entry > 1.0f) return false;
    int edge = -1;
    for (int j = 0; j < 3; ++j) {
        if (j == entryAxis || std::fabs(d.depth[j]) > kTouchTolerance || !GoesIn(d, motion, j)) continue;
        if (edge < 0 || std::fabs(motion[j]) < std::fabs(motion[edge])) edge = j;
    }
    contact = edge < 0 ? Contact{entryAxis, true, entry} : Contact{edge, false, 0.0f};
    return true;
}

// Whether a point moving from start by motion (over t from 0 to 1) meets
// the box [low, high], and how.
bool FirstContact(const Vec3& start, const Vec3& motion, const Vec3& low, const Vec3& high, Contact& contact) {
    const Depths d = DepthsOf(start, low, high);
    const bool touching = d.depth.x >= -kTouchTolerance && d.depth.y >= -kTouchTolerance &&
                          d.depth.z >= -kTouchTolerance;
    return touching ? TouchingContact(d, motion, contact) : SweptContact(start, motion, low, high, d, contact);
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

bool NeedsSweep(const CollisionComponent& a) {
    const Composition* owner = a.GetOwner();
    return owner && owner->GetComponentAs<MovementComponent>() && MotionNeedsSweep(a);
}

bool MotionNeedsSweep(const CollisionComponent& a) {
    const TransformComponent* transform = a.GetCachedTransform();
    if (!transform) return false;
    const Vec3 motion = transform->GetPosition() - transform->GetPreviousPosition();
    const Vec3& size = a.GetVolume().size;
    const float allowed = kSweepFraction * std::fabs(size[size.MinComponentIndex()]);
    return motion.LengthSquared() > allowed * allowed;
}

bool SweptLevelGeometryTest(CollisionComponent& a, const CollisionComponent& b, bool overlapResult) {
    if (!a.GetFlags().resolveWithStatics || !b.GetFlags().resolveWithDynamics) return overlapResult;
    TransformComponent* transform = a.GetCachedTransform();
    Composition* owner = a.GetOwner();
    auto* movement = owner ? owner->GetComponentAs<MovementComponent>() : nullptr;
    // Only a body the integrator moves has a previous position of this frame.
    if (!transform || !movement || !b.HasTransform()) return overlapResult;
    if (a.GetShape() == kShapeNoOverlap || b.GetShape() == kShapeNoOverlap) return overlapResult;

    const Vec3 previous = transform->GetPreviousPosition();
    const Vec3 motion = transform->GetPosition() - previous;
    if (motion.LengthSquared() == 0.0f || !std::isfinite(motion.LengthSquared())) return overlapResult;

    // a's box meets b exactly when the box's centre lies in b grown by a's
    // half size, so the box's sweep is the sweep of that one point.
    const Vec3 half = a.GetVolume().size / 2.0f;
    const Vec3 start = previous + a.GetVolume().centre;
    Contact contact;
    if (!FirstContact(start, motion, b.GetMin() - half, b.GetMax() + half, contact)) return overlapResult;

    Vec3& position = transform->Position();
    Vec3& velocity = movement->Velocity();
    const Vec3& extent = b.GetVolume().size;
    const float r = extent[extent.MinComponentIndex()] / 2.0f;
    if (contact.hit && motion.LengthSquared() > r * r) {
        // Run into b from apart, further than half b's thinnest extent: back
        // where the frame began, at a speed of 1 along its way; the push then
        // closes the gap.
        position = previous;
        velocity.NormalizeThis();
        return true;
    }
    // Stopped at the face it runs into, or held on the face plane it
    // touches, sliding on along the other axes. A box stopped on a top (or
    // an underside) loses its vertical speed into it, as the box-box push
    // does (the box-sphere push leaves a sphere's speed alone).
    position[contact.axis] = previous[contact.axis] + (contact.hit ? motion[contact.axis] * contact.t : 0.0f);
    if (contact.axis == 1 && a.GetShape() == kShapeBox && velocity.y * motion.y > 0.0f) velocity.y = 0.0f;
    return CornersWithin(a.GetMin(), a.GetMax(), b.GetMin(), b.GetMax(), kTouchTolerance);
}

}  // namespace Ostrel
