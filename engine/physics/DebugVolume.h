#pragma once
// Debug outlines of collision volumes. The debug-shape queue belongs to the
// graphics layer, which sits above physics, so physics draws through a
// drawer that the graphics layer installs (and tests replace). With none
// installed, drawing does nothing.
//
// Main thread only.

#include "engine/core/BoundingVolume.h"
#include "engine/base/Types.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

// One outline of a volume of the given kind (kShapeBox: a box of the three
// sizes; kShapeSphere: a sphere whose diameter is the first size; any other
// kind: nothing), centred at centre, in 0..255 colour components.
using DebugVolumeDrawer = void (*)(u32 kind, const Vec3& centre, const Vec3& size, u8 red, u8 green, u8 blue,
                                   u8 alpha);

// Installs drawer (null uninstalls) and returns the one it replaces.
DebugVolumeDrawer InstallDebugVolumeDrawer(DebugVolumeDrawer drawer);

// Draws the volume's outline of the given kind at position + the volume's
// centre; colour components are 0..1 and become 0..255, alpha 255.
void DrawDebugVolume(const BoundingVolume& volume, u32 kind, const Vec3& position, const Vec3& colour);

}  // namespace Ostrel
