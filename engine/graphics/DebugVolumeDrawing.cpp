// Hands the physics layer's collision-volume outlines to the frame's debug
// shapes. Installed during static initialisation, so every program (and every
// test binary that links graphics) draws them through Graphics.

#include "engine/graphics/Graphics.h"
#include "engine/physics/DebugVolume.h"

namespace {

// Debug-shape kinds of the outlines: a wire box of the three sizes, and a
// camera-facing circle whose radius is the first size.
constexpr int kBoxOutline = 3;
constexpr int kSphereOutline = 1;

void DrawVolumeAsDebugShape(Ostrel::u32 kind, const Ostrel::Vec3& centre, const Ostrel::Vec3& size,
                            Ostrel::u8 red, Ostrel::u8 green, Ostrel::u8 blue, Ostrel::u8 alpha) {
    // Volumes of any other kind (a collider that never overlaps) have no
    // outline: their sizes describe no shape the tests use.
    int shape = 0;
    if (kind == Ostrel::kShapeBox) {
        shape = kBoxOutline;
    } else if (kind == Ostrel::kShapeSphere) {
        shape = kSphereOutline;
    } else {
        return;
    }
    Ostrel::Graphics::DrawDebugShape(shape, centre.x, centre.y, centre.z, size.x, size.y, size.z, red, green, blue,
                                     alpha);
}

[[maybe_unused]] const Ostrel::DebugVolumeDrawer s_previous =
    Ostrel::InstallDebugVolumeDrawer(&DrawVolumeAsDebugShape);

}  // namespace
