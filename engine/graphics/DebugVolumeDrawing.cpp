// Hands the physics layer's collision-volume outlines to the frame's debug
// shapes. Installed during static initialisation, so every program (and every
// test binary that links graphics) draws them through Graphics.

#include "engine/graphics/Graphics.h"
#include "engine/physics/DebugVolume.h"

namespace {

void DrawVolumeAsDebugShape(Ostrel::u32 kind, const Ostrel::Vec3& centre, const Ostrel::Vec3& size,
                            Ostrel::u8 red, Ostrel::u8 green, Ostrel::u8 blue, Ostrel::u8 alpha) {
    Ostrel::Graphics::DrawDebugShape(static_cast<int>(kind), centre.x, centre.y, centre.z, size.x, size.y, size.z,
                                     red, green, blue, alpha);
}

[[maybe_unused]] const Ostrel::DebugVolumeDrawer s_previous =
    Ostrel::InstallDebugVolumeDrawer(&DrawVolumeAsDebugShape);

}  // namespace
