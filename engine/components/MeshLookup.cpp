#include "engine/components/MeshLookup.h"

#include <algorithm>

namespace Ostrel {

namespace {
MeshLookup* s_current = nullptr;
}  // namespace

void MeshLookup::GetBounds(const Mesh& mesh, Vec3* centre, Vec3* halfExtents) const {
    const PointView points = GetVertexPositions(mesh);
    Vec3 low, high;
    for (std::size_t i = 0; i < points.count; ++i) {
        const Vec3 p = points[i];
        low = i == 0 ? p : Vec3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = i == 0 ? p : Vec3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    *centre = (low + high) * 0.5f;
    *halfExtents = (high - low) * 0.5f;
}

MeshLookup* MeshLookup::Current() { return s_current; }

MeshLookup* MeshLookup::Install(MeshLookup* lookup) {
    MeshLookup* previous = s_current;
    s_current = lookup;
    return previous;
}

Mesh* FindMeshByName(const std::string& name) {
    MeshLookup* lookup = MeshLookup::Current();
    return lookup ? lookup->FindMesh(name) : nullptr;
}

}  // namespace Ostrel
