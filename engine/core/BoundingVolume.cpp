#include "engine/core/BoundingVolume.h"

#include "engine/core/Matrix4.h"

#include <algorithm>
#include <cfloat>
#include <cstring>

namespace Ostrel {

Vec3 PointView::operator[](std::size_t i) const {
    float xyz[3];
    std::memcpy(xyz, first + i * strideBytes, sizeof(xyz));
    return {xyz[0], xyz[1], xyz[2]};
}

namespace {

void ApplyFitMode(Vec3& size, u16 fitMode) {
    switch (fitMode) {
        case kVolumeAverage: size.x = size.z = (size.x + size.z) / 2.0f; break;
        case kVolumeMinimum: size.x = size.z = std::min(size.x, size.z); break;
        case kVolumeMaximum: size.x = size.z = std::max(size.x, size.z); break;
        default: break;
    }
}

void Include(Vec3& min, Vec3& max, const Vec3& p) {
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

}  // namespace

bool BoundsOfPointsEx(BoundingVolume& out, const PointView& points,
                      const std::vector<u32>* indices, const Vec3& scale, const Vec3& rotation,
                      u16 fitMode, bool useRotation, float factor, const Vec3& offset) {
    Matrix4 transform;
    BuildTransformMatrix(transform, Vec3(), useRotation ? rotation : Vec3(), scale * factor);
    Vec3 min(FLT_MAX, FLT_MAX, FLT_MAX);
    Vec3 max(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    std::size_t used = 0;
    auto take = [&](std::size_t i) {
        if (i >= points.count) return;
        Include(min, max, (Vec4(points[i], 1.0f) * transform).XYZ());
        ++used;
    };
    if (indices) {
        for (u32 i : *indices) take(i);
    } else {
        for (std::size_t i = 0; i < points.count; ++i) take(i);
    }
    if (used == 0) return false;

    out.centre = (min + max) / 2.0f + offset;
    if (out.kind == kShapeBox) {
        out.size = max - min;
        ApplyFitMode(out.size, fitMode);
    } else if (out.kind == kShapeSphere) {
        float r = ((max - min) / 2.0f).Length();
        out.size = Vec3(r, r, r);
    }
    return true;
}

bool BoundsOfPoints(BoundingVolume& out, const PointView& points, const Vec3& scale, u16 fitMode,
                    float factor, const Vec3& offset) {
    return BoundsOfPointsEx(out, points, nullptr, scale, Vec3(), fitMode, false, factor, offset);
}

}  // namespace Ostrel
