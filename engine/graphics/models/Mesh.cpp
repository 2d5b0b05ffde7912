#include "engine/graphics/models/Mesh.h"

#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/device/Device.h"
#include "engine/base/Log.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <mutex>

namespace Ostrel {

Mesh::~Mesh() { ReleaseBuffers(); }

void Mesh::AddVertex(float x, float y, float z, float nx, float ny, float nz, float u, float v,
                     u8 alpha, u8 red, u8 green, u8 blue) {
    Vertex& vertex = m_vertices.emplace_back();
    vertex.position = Vec3(x, y, z);
    vertex.normal = Vec3(nx, ny, nz);
    vertex.u = u;
    vertex.v = v;
    vertex.color = PackColor(alpha, red, green, blue);
}

void Mesh::AddSkinnedVertex(float x, float y, float z, float nx, float ny, float nz, float u,
                            float v, u8 alpha, u8 red, u8 green, u8 blue, float w0, float w1,
                            float w2, float w3, u8 b0, u8 b1, u8 b2, u8 b3) {
    AddVertex(x, y, z, nx, ny, nz, u, v, alpha, red, green, blue);
    Vertex& vertex = m_vertices.back();
    const float weights[4] = {w0, w1, w2, w3};
    const u8 bones[4] = {b0, b1, b2, b3};
    std::copy(weights, weights + 4, vertex.weights);
    std::copy(bones, bones + 4, vertex.bones);
    m_skinned = true;
}

void Mesh::AddTriangle(u32 a, u32 b, u32 c) {
    AddIndex(a);
    AddIndex(b);
    AddIndex(c);
}

void Mesh::AddLine(u32 a, u32 b) {
    AddIndex(a);
    AddIndex(b);
}

void Mesh::AddIndex(u32 index) { m_indices.push_back(static_cast<u16>(index)); }

void Mesh::Build() {
    m_vertexCount = static_cast<u32>(m_vertices.size());
    m_indexCount = static_cast<u32>(m_indices.size());
    switch (m_primitiveType) {
        // Strips shorter than one primitive count zero, never a wrapped-around count.
        case kPrimitiveLineStrip: m_primitiveCount = m_indexCount >= 1 ? m_indexCount - 1 : 0; break;
        case kPrimitiveLineList: m_primitiveCount = m_indexCount / 2; break;
        case kPrimitiveTriangleList: m_primitiveCount = m_indexCount / 3; break;
        case kPrimitiveTriangleStrip: m_primitiveCount = m_indexCount >= 2 ? m_indexCount - 2 : 0; break;
        default: break;
    }
    FillBuffers();
    if (!m_boundsComputed) ComputeBounds();
}

void Mesh::FillBuffers() {
    ReleaseBuffers();
    RenderDevice* renderDevice = GetRenderDevice();
    if (!renderDevice) return;
    std::lock_guard<RenderDevice> lock(*renderDevice);
    rd::Device* device = renderDevice->GetDevice();
    if (!device) return;
    const u32 stride = GetStride();
    m_vertexBuffer = device->CreateVertexBuffer(std::size_t(m_vertexCount) * stride, true);
    if (!m_vertexBuffer) {
        LogMessagef("mesh of %u vertices: no vertex buffer, not drawn\n", m_vertexCount);
        return;
    }
    m_indexBuffer = device->CreateIndexBuffer16(std::size_t(m_indexCount) * 2, true);
    if (!m_indexBuffer) {
        LogMessagef("mesh of %u indices: no index buffer, not drawn\n", m_indexCount);
        return;
    }
    std::memcpy(m_indexBuffer->Lock(true), m_indices.data(), std::size_t(m_indexCount) * 2);
    m_indexBuffer->Unlock();
    u8* bytes = static_cast<u8*>(m_vertexBuffer->Lock(true));
    for (u32 i = 0; i < m_vertexCount; ++i) std::memcpy(bytes + std::size_t(i) * stride, &m_vertices[i], stride);
    m_vertexBuffer->Unlock();
}

// An empty mesh gets zero bounds and computes them again at its next build,
// instead of keeping the infinite extents of an empty min/max sweep.
void Mesh::ComputeBounds() {
    if (m_vertices.empty()) {
        m_centre = Vec3();
        m_halfExtents = Vec3();
        return;
    }
    Vec3 low(FLT_MAX, FLT_MAX, FLT_MAX);
    Vec3 high = -low;
    for (const Vertex& vertex : m_vertices) {
        low = Vec3(std::min(low.x, vertex.position.x), std::min(low.y, vertex.position.y),
                   std::min(low.z, vertex.position.z));
        high = Vec3(std::max(high.x, vertex.position.x), std::max(high.y, vertex.position.y),
                    std::max(high.z, vertex.position.z));
    }
    m_centre = (low + high) / 2.0f;
    m_halfExtents = high - m_centre;
    m_boundsComputed = true;
}

void Mesh::ReleaseBuffers() {
    if (!m_vertexBuffer && !m_indexBuffer) return;
    RenderDevice* renderDevice = GetRenderDevice();
    if (renderDevice) {
        std::lock_guard<RenderDevice> lock(*renderDevice);
        // A device released with the window took its buffers with it.
        if (rd::Device* device = renderDevice->GetDevice()) {
            device->Release(m_vertexBuffer);
            device->Release(m_indexBuffer);
        }
    }
    m_vertexBuffer = nullptr;
    m_indexBuffer = nullptr;
}

void Mesh::Clear() {
    ReleaseBuffers();
    m_vertices.clear();
    m_indices.clear();
    position = Vec3();
    rotation = Vec3();
    scale = Vec3(1.0f, 1.0f, 1.0f);
    m_skinned = false;
}

}  // namespace Ostrel
