#pragma once
// What the editor and the viewer ask of an object by id: its position, its
// collision volume, a ray test against its mesh, local coordinates, tile
// painting, palette and visibility, and its animation player. A handle looks
// the object up once, through the running engine's ObjectManager, and owns
// nothing; make one on the stack for one call or one frame. A stale id, id 0
// or a missing component gives the neutral answer (stated per operation)
// and changes nothing.
//
// Beside it: the triangle layout of a mesh, the fitting of a volume to an
// object's mesh (for objects without a collider) and the drawing of a volume
// as a debug shape.
//
// Main thread only.

#include "engine/base/Types.h"
#include "engine/core/BoundingVolume.h"
#include "engine/core/Vec4.h"
#include "engine/physics/ShapeTests.h"

#include <span>
#include <string>
#include <vector>

namespace Ostrel {

class Composition;
class FidgetComponent;
class Mesh;
class MeshComponent;

class ObjectHandle {
public:
    explicit ObjectHandle(u32 id);

    // The object, or null.
    Composition* GetObject() const { return m_object; }

    // (x, y, z, 1) of the position; (0, 0, 0, 1) without the object.
    Vec4 GetPosition() const;
    // The collider's volume, or null without a collider.
    const BoundingVolume* GetCollisionVolume() const;
    // The ray (origin w = 1, direction w = 0) taken into the object's local
    // space and tested against its mesh's triangles; distance becomes the
    // nearest hit's parameter along the local direction. False without a
    // transform, mesh component or mesh, and for meshes that are not
    // triangle lists or strips.
    bool IntersectRay(const Ray& ray, float& distance) const;
    // point times the inverse of the object's transform; (0, 0, 0, 1)
    // without a transform, mesh component or mesh.
    Vec4 ToLocalSpace(const Vec4& point) const;
    // The mesh component's brush at a local-space point (flags: extend from
    // the last painted cell, whole grid), then the tile texture rebuilt.
    void PaintTiles(const Vec4& localPoint, s32 value, bool extend, bool wholeGrid) const;
    // The mesh component's tile palette name; empty without one.
    std::string GetTilePaletteName() const;
    void SetTilePalette(const std::string& name) const;
    void SetVisible(bool visible) const;
    void RebuildTileTexture() const;

    // The animation player (the object's fidget).
    void SetShowBindPose(bool show) const;
    // 0.0 without an animation player.
    f32 GetAnimationTime() const;
    void SetAnimationTime(f32 seconds) const;
    void NextKey() const;
    void PreviousKey() const;

private:
    MeshComponent* GetMeshComponent() const;
    // The mesh component, when the object also has a transform and the
    // component a mesh; else null.
    MeshComponent* GetMeshWithTransform() const;
    FidgetComponent* GetFidget() const;

    Composition* m_object = nullptr;
};

// RayHitsTriangles (same triangles, order and answer), with each triangle
// first screened by a cheap barycentric test that never turns away one the
// exact test takes: picking in large meshes costs a fraction.
bool RayHitsTrianglesScreened(const Ray& ray, const PointView& vertices, std::span<const u16> indices, u32 layout,
                              float& nearest);

// 0 for a triangle list, 1 for a triangle strip, 2 for any other primitive.
u32 GetTriangleLayout(const Mesh& mesh);

// Fits volume (its kind chooses box or sphere) over the vertices of the
// object's mesh under the object's scale and rotation (none without a
// transform), with factor 1 and no offset; points, fitMode and useRotation
// go to the fit. False, volume unchanged, without a mesh component, when its
// mesh name names no mesh, or when the mesh has no vertices.
bool FitVolumeToMesh(u32 id, BoundingVolume& volume, const std::vector<u32>* points = nullptr, u16 fitMode = 0,
                     bool useRotation = true);

// Queues the volume as a debug shape at position + its centre offset: a box
// (shape kind 3) of its size, or a sphere (kind 1) of its first size value;
// other kinds draw nothing. Colour channels are 0..1, alpha is opaque.
void DrawDebugVolume(const BoundingVolume& volume, float x, float y, float z, float red, float green,
                     float blue);

}  // namespace Ostrel
