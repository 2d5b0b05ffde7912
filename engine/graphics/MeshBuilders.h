#pragma once
// Placeholder for the graphics subsystem's MeshBuilders. As it stands, the
// builders of the primitive shapes leave the mesh empty. Missing: the builders
// that fill a unit cube (divisions per face), a sphere of radius 0.5 (stacks,
// slices), the unit quad in the XY plane (sprite) and the unit quad in the XZ
// plane (plane).

#include "engine/base/Types.h"

namespace Ostrel {

class Mesh;

inline void BuildCubeMesh(Mesh*, u32 /*divisionsX*/, u32 /*divisionsY*/) {}
inline void BuildSphereMesh(Mesh*, u32 /*stacks*/, u32 /*slices*/) {}
inline void BuildSpriteMesh(Mesh*) {}
inline void BuildPlaneMesh(Mesh*) {}

}  // namespace Ostrel
