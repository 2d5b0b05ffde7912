#pragma once
// The geometric tests of collision and picking: overlaps of placed volumes,
// rays against volumes, planes and triangles, and the swept test that keeps
// fast movers from passing through thin level geometry.
//
// A volume is placed at a position: a box spans position + centre -/+ size / 2
// on each axis (rotation plays no part); a sphere is centred on position +
// centre with radius size.x / 2. A ray is an origin (w = 1) and a direction
// (w = 0) of any length; its points are origin + t * direction. A plane is
// (normal, d): q lies on it when normal . q + d = 0.
//
// Every test but SweptLevelGeometryTest leaves its inputs unchanged.

#include "engine/core/BoundingVolume.h"
#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/core/Vec4.h"

#include <span>

namespace Ostrel {

class CollisionComponent;

struct Ray {
    Vec4 origin;     // w = 1
    Vec4 direction;  // w = 0
};

// Triangle layouts of RayHitsTriangles.
enum TriangleLayout : u32 { kTriangleList = 0, kTriangleStrip = 1 };

// Touching faces count as overlapping.
bool BoxOverlapsBox(const BoundingVolume& a, const Vec3& positionA, const BoundingVolume& b,
                    const Vec3& positionB);
// The sphere's centre clamped to the box; strictly closer than the radius.
bool BoxOverlapsSphere(const BoundingVolume& box, const Vec3& boxPosition, const BoundingVolume& sphere,
                       const Vec3& spherePosition);
// Touching spheres overlap.
bool SphereOverlapsSphere(const BoundingVolume& a, const Vec3& positionA, const BoundingVolume& b,
                          const Vec3& positionB);
// By the volumes' kinds (either order for box and sphere); any pair with a
// kind other than box or sphere never overlaps.
bool VolumesOverlap(const BoundingVolume& a, const Vec3& positionA, const BoundingVolume& b,
                    const Vec3& positionB);

// By the volume's kind: the slab test for a box, the sphere test for a
// sphere, false for any other kind. On a hit t is the entry parameter (0 when
// the origin is inside).
bool RayHitsVolume(const Ray& ray, const BoundingVolume& volume, const Vec3& position, float& t);
// Boxes only (false for other kinds): t = the smallest parameter > 0 at which
// the ray meets one of the six face planes, taken as infinite planes, or
// FLT_MAX when none lies ahead. Answers true for every box.
bool RayHitsVolumeFaces(const Ray& ray, const BoundingVolume& volume, const Vec3& position, float& t);
// Misses a ray running parallel to the plane (|cos| < 0.001) and a plane
// more than 0.001 behind the origin.
bool RayHitsPlane(const Ray& ray, const Vec4& plane, float& t);
// A hit on the triangle's plane strictly inside the triangle: a point on an
// edge misses, and so does a degenerate triangle.
bool RayHitsTriangle(const Ray& ray, const Vec3& p0, const Vec3& p1, const Vec3& p2, float& t);
// Every triangle of the index list (list: indices i, i+1, i+2 for i = 0, 3,
// 6...; strip: i = 0, 1, 2...), each tested with its points in the order
// i+2, i+1, i. nearest becomes the smallest hit parameter (FLT_MAX when none).
// An incomplete last triangle, fewer than 3 indices and triangles with an
// index past the vertex list are skipped; an unknown layout hits nothing.
bool RayHitsTriangles(const Ray& ray, const PointView& vertices, std::span<const u16> indices, u32 layout,
                      float& nearest);

// Keeps a mover (a) from passing into static level geometry (b), whatever
// its speed and the frame's length. Needs both flags (a resolves with
// statics, b with dynamics), both transforms, a MovementComponent on a (the
// integrator keeps its previous position: where it stood when this frame's
// physics began) and motion since then; otherwise it returns overlapResult.
// a's box (its corners, also for a sphere) is swept along that motion
// against b's box:
// - running into a face of b from apart further than half b's thinnest
//   extent, a is put back at its previous position with its velocity scaled
//   to length 1, and the result is true (the push then closes the gap);
// - running into it from apart by less, a is stopped at the face;
// - touching or overlapping b at the start and going deeper across the face
//   it is nearest to, a keeps its previous place on that face's axis. On an
//   edge whose other face plane it already touches and goes in across (a
//   body stepping from one floor onto the next, dipped by a frame's fall),
//   it is held on that plane instead and slides over the seam.
// Stopped or held, a slides on along the other axes; a box stopped on a top
// or an underside loses its vertical speed into it (as with the box push),
// and the result is whether a touches b where it stands (within 0.001). A
// path that never meets b keeps overlapResult.
bool SweptLevelGeometryTest(CollisionComponent& a, const CollisionComponent& b, bool overlapResult);

// The share of a mover's smallest extent it may move in a frame and still be
// tested by plain overlap: a box that moves at most half its thinnest size
// cannot pass a wall without ending inside it, nor end with its centre past
// the wall's, so the push still sends it back the way it came.
constexpr float kSweepFraction = 0.5f;
// Whether the collider of a moving body went further than kSweepFraction of
// its smallest extent since this frame's physics began (a body without a
// MovementComponent or a transform never does; one with a zero-size box
// does at any motion). Only such a body is swept against level geometry.
bool NeedsSweep(const CollisionComponent& a);
// The same for a collider known to belong to a moving body.
bool MotionNeedsSweep(const CollisionComponent& a);

}  // namespace Ostrel
