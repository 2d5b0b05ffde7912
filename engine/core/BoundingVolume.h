#pragma once
// The axis-aligned volume a collision component fits around its mesh, and the
// fitting itself (shared by the collision component and the level editor).
//
// For a box, size holds the full extents along x, y and z; for a sphere, one
// length r in all three (the collision tests use r / 2 as the radius). centre
// is relative to the object's position, in its unrotated axes.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"

#include <cstddef>
#include <span>
#include <vector>

namespace Ostrel {

enum ShapeKind : u32 { kShapeBox = 0, kShapeSphere = 1 };

// How the horizontal (x, z) extents of a fitted box are derived; y is never
// changed.
enum VolumeMethod : u16 {
    kVolumeDefault = 0,  // keep both
    kVolumeAverage = 1,  // both (x + z) / 2
    kVolumeMinimum = 2,  // both the smaller
    kVolumeMaximum = 3,  // both the larger
};

struct BoundingVolume {
    Vec3 size;
    Vec3 centre;
    u32 kind = kShapeBox;
};

// A read-only view of positions: count records of strideBytes each, whose
// first three floats are x, y, z (a Vec3 list, or mesh vertices).
struct PointView {
    const std::byte* first = nullptr;
    std::size_t count = 0;
    std::size_t strideBytes = sizeof(Vec3);

    PointView() = default;
    PointView(const void* firstRecord, std::size_t records, std::size_t stride)
        : first(static_cast<const std::byte*>(firstRecord)), count(records), strideBytes(stride) {}
    PointView(std::span<const Vec3> points) : PointView(points.data(), points.size(), sizeof(Vec3)) {}
    PointView(const std::vector<Vec3>& points) : PointView(std::span<const Vec3>(points)) {}

    Vec3 operator[](std::size_t i) const;
};

// Fits out around the points (or only those listed in indices, when given):
// each point is transformed by BuildTransformMatrix(0, rotation when
// useRotation else 0, scale * factor); centre = (min + max) / 2 + offset.
// out.kind selects the sizing: a box takes max - min and then fitMode on x/z;
// a sphere takes r = |max - min| / 2 on all axes; any other kind keeps size.
// With no points (or no valid index) out is left unchanged and false is
// returned: infinite extents would poison every collision test.
bool BoundsOfPointsEx(BoundingVolume& out, const PointView& points,
                      const std::vector<u32>* indices, const Vec3& scale, const Vec3& rotation,
                      u16 fitMode, bool useRotation, float factor, const Vec3& offset);
// The same without rotation.
bool BoundsOfPoints(BoundingVolume& out, const PointView& points, const Vec3& scale, u16 fitMode,
                    float factor, const Vec3& offset);

}  // namespace Ostrel
