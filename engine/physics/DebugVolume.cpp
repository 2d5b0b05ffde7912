#include "engine/physics/DebugVolume.h"

#include <algorithm>

namespace Ostrel {

namespace {

// Constant-initialised, so a drawer installed during static initialisation
// is never overwritten.
DebugVolumeDrawer s_drawer = nullptr;

u8 ToByte(float component) { return static_cast<u8>(std::clamp(component, 0.0f, 1.0f) * 255.0f); }

}  // namespace

DebugVolumeDrawer InstallDebugVolumeDrawer(DebugVolumeDrawer drawer) {
    DebugVolumeDrawer previous = s_drawer;
    s_drawer = drawer;
    return previous;
}

void DrawDebugVolume(const BoundingVolume& volume, u32 kind, const Vec3& position, const Vec3& colour) {
    if (!s_drawer) return;
    s_drawer(kind, position + volume.centre, volume.size, ToByte(colour.x), ToByte(colour.y), ToByte(colour.z),
             255);
}

}  // namespace Ostrel
