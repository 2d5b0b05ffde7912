#pragma once
// A named piece of geometry: vertices and 16-bit indices kept in system memory,
// plus the device buffers built from them. The lists stay after building so
// every buffer can be released when the device is lost and built again after
// the reset; collision fitting and editor picking read them too.
//
// Fill a mesh with AddVertex/AddTriangle/... (a builder or a model loader),
// then call Build. The lists are not guarded: one thread fills a mesh before
// anything draws it.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"

#include <vector>

namespace Ostrel {

namespace rd {
class Buffer;
}

// Primitive kinds, numbered as the device layer numbers them.
enum MeshPrimitiveType : u32 {
    kPrimitiveLineList = 2,
    kPrimitiveLineStrip = 3,
    kPrimitiveTriangleList = 4,
    kPrimitiveTriangleStrip = 5,
};

// One vertex record, 56 bytes. A static mesh's vertex buffer holds the first
// 36 bytes of each record (position, normal, uv, colour); a skinned mesh's
// holds all of it.
struct Vertex {
    Vec3 position;
    Vec3 normal;
    float u = 0.0f;
    float v = 0.0f;
    u32 color = 0;  // (alpha << 24) | (red << 16) | (green << 8) | blue
    float weights[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    u8 bones[4] = {0, 0, 0, 0};
};
static_assert(sizeof(Vertex) == 56, "the vertex layouts read 56-byte records");

constexpr u32 kStaticVertexStride = 36;
constexpr u32 kSkinnedVertexStride = 56;

constexpr u32 PackColor(u8 alpha, u8 red, u8 green, u8 blue) {
    return (u32(alpha) << 24) | (u32(red) << 16) | (u32(green) << 8) | u32(blue);
}

class Mesh {
public:
    Mesh() = default;
    virtual ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Appends a static vertex (zero weights and bones).
    void AddVertex(float x, float y, float z, float nx, float ny, float nz, float u, float v,
                   u8 alpha, u8 red, u8 green, u8 blue);
    // Appends a full record and marks the mesh skinned.
    void AddSkinnedVertex(float x, float y, float z, float nx, float ny, float nz, float u, float v,
                          u8 alpha, u8 red, u8 green, u8 blue, float w0, float w1, float w2,
                          float w3, u8 b0, u8 b1, u8 b2, u8 b3);
    // Indices are truncated to 16 bits: one mesh addresses at most 65,536 vertices.
    void AddTriangle(u32 a, u32 b, u32 c);
    void AddLine(u32 a, u32 b);
    void AddIndex(u32 index);

    void SetPrimitiveType(u32 type) { m_primitiveType = type; }
    u32 GetPrimitiveType() const { return m_primitiveType; }

    // Sets the counts from the lists, makes the device buffers (dynamic
    // vertex and 16-bit index buffers, under the render device's lock) and
    // fills them from the lists, and on the first build only sets the bounds.
    // Without a device, or when a buffer cannot be made, the mesh is left
    // without that buffer (logged) and draws skip it; the lock is released on
    // every path. Buffers from an earlier build are given back first.
    void Build();
    // Releases the vertex buffer, then the index buffer (device lost); the
    // lists stay.
    void ReleaseBuffers();
    // Releases the buffers, empties both lists and resets the placement and
    // the skinned flag. The bounds of the first build are kept.
    void Clear();

    const std::vector<Vertex>& GetVertices() const { return m_vertices; }
    const std::vector<u16>& GetIndices() const { return m_indices; }
    u32 GetVertexCount() const { return m_vertexCount; }
    u32 GetIndexCount() const { return m_indexCount; }
    u32 GetPrimitiveCount() const { return m_primitiveCount; }
    bool IsSkinned() const { return m_skinned; }
    bool BoundsComputed() const { return m_boundsComputed; }
    const Vec3& GetCentre() const { return m_centre; }
    const Vec3& GetHalfExtents() const { return m_halfExtents; }
    rd::Buffer* GetVertexBuffer() const { return m_vertexBuffer; }
    rd::Buffer* GetIndexBuffer() const { return m_indexBuffer; }
    // Bytes per vertex in the vertex buffer: 56 skinned, 36 static.
    u32 GetStride() const { return m_skinned ? kSkinnedVertexStride : kStaticVertexStride; }
    // True when both buffers exist (the mesh can be drawn).
    bool HasBuffers() const { return m_vertexBuffer && m_indexBuffer; }

    // The mesh's own placement (the skybox sets it for its planes); angles in degrees.
    Vec3 position;
    Vec3 rotation;
    Vec3 scale{1.0f, 1.0f, 1.0f};

private:
    void ComputeBounds();
    void FillBuffers();

    Vec3 m_centre;
    Vec3 m_halfExtents{1.0f, 1.0f, 1.0f};
    std::vector<Vertex> m_vertices;
    std::vector<u16> m_indices;
    u32 m_primitiveType = kPrimitiveTriangleList;
    u32 m_vertexCount = 0;
    u32 m_indexCount = 0;
    u32 m_primitiveCount = 0;
    bool m_skinned = false;
    bool m_boundsComputed = false;
    rd::Buffer* m_vertexBuffer = nullptr;
    rd::Buffer* m_indexBuffer = nullptr;
};

}  // namespace Ostrel
