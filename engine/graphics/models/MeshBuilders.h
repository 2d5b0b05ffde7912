#pragma once
// Builders of the engine's primitive shapes. Each sets the primitive type,
// fills the mesh through its Add operations and ends with Build. Unless said
// otherwise vertices are coloured (alpha 255, red 255, green 0, blue 50).
//
// The mains build "Cube" (1, 1), "Sphere" (15, 15), "Sprite" and "Plane" at
// start-up; the graphics system builds the debug shapes and the skybox its
// planes. Counts below 1 (2 points for the circle) are raised to that minimum.

#include "engine/base/Types.h"

namespace Ostrel {

class Mesh;

// Sphere of radius 0.5, poles on the y axis (ring 0 at y = -0.5); triangle list.
void BuildSphereMesh(Mesh* mesh, u32 stacks, u32 slices);
// Unit cube centred on the origin, each face a grid of divisions; triangle list.
void BuildCubeMesh(Mesh* mesh, u32 divisionsX, u32 divisionsY);
// Unit grid in the XY plane facing -z, rows from the top; triangle list.
void BuildGridPlaneMesh(Mesh* mesh, u32 divisionsX, u32 divisionsY);
// Unit quad in the XY plane, white, v growing downwards; triangle strip.
void BuildSpriteMesh(Mesh* mesh);
// Unit quad in the XZ plane facing +y, white; triangle strip.
void BuildPlaneMesh(Mesh* mesh);
// Circle of radius 0.5 in the XY plane; the last point repeats the first; line strip.
void BuildCircleMesh(Mesh* mesh, u32 points);
// Line from (0,0,0) to (1,1,0) in segments; line strip.
void BuildDiagonalLineMesh(Mesh* mesh, u32 segments);
// Unit square outline in the XY plane; line strip.
void BuildSquareMesh(Mesh* mesh);
// Unit cube's twelve edges; line list.
void BuildWireCubeMesh(Mesh* mesh);

}  // namespace Ostrel
