// Debug shapes and debug text: queued by any main-thread code during the
// frame, drawn by the frame over the scene, emptied after each presented
// frame.

#include "engine/graphics/Graphics.h"

#include "engine/core/Matrix4.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/text/DebugText.h"
#include "engine/graphics/text/DeviceTextRenderer.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/text/TextFont.h"
#include "engine/graphics/device/Device.h"

#include <cstring>

namespace Ostrel {

namespace {

enum Parameter { kWorldMat = 2, kDebugColor = 7 };

// Rewrites the line mesh's vertex buffer with vertex 0 at from and vertex 1
// at to. The whole buffer is written (a discarding lock leaves it undefined),
// every other field as the mesh builder made it.
void RewriteLine(const Mesh& line, const Vec3& from, const Vec3& to) {
    rd::Buffer* buffer = line.GetVertexBuffer();
    const std::vector<Vertex>& vertices = line.GetVertices();
    if (vertices.size() < 2 || buffer->Size() < vertices.size() * kStaticVertexStride) return;
    auto* bytes = static_cast<u8*>(buffer->Lock(true));
    if (!bytes) return;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        Vertex vertex = vertices[i];
        if (i == 0) vertex.position = from;
        if (i == 1) vertex.position = to;
        std::memcpy(bytes + i * kStaticVertexStride, &vertex, kStaticVertexStride);
    }
    buffer->Unlock();
}

}  // namespace

Graphics::DebugMeshIndex Graphics::DebugShapeMesh(int kind) {
    switch (kind) {
        case 0: return kDebugLine;
        case 1: return kDebugCircle;
        case 2: return kDebugSquare;
        case 3: return kDebugCube;
        default: return kDebugMeshCount;
    }
}

void Graphics::DrawDebugTexts() {
    rd::Device* device = LiveDevice();
    if (!device) return;
    if (!m_textRenderer || &m_textRenderer->GetDevice() != device) CreateDebugFont();
    if (!m_debugFont) return;
    for (const DebugTextCall& text : DebugDrawQueue::Instance().Texts()) DrawDebugTextEntry(*m_debugFont, text);
}

void Graphics::DrawDebugText(const char* text, float x, float y, u8 red, u8 green, u8 blue,
                             u8 alpha) {
    DebugDrawQueue::Instance().AddText({text ? text : "", x, y, red, green, blue, alpha});
}

void Graphics::DrawDebugShape(int kind, float x, float y, float z, float sizeX, float sizeY,
                              float sizeZ, u8 red, u8 green, u8 blue, u8 alpha) {
    // A negative size stands for sizeX (callers pass -1 for a uniform size);
    // 0 is a real, flat size.
    if (sizeY < 0.0f) sizeY = sizeX;
    if (sizeZ < 0.0f) sizeZ = sizeX;
    DebugDrawQueue::Instance().AddShape(
        {kind, x, y, z, sizeX, sizeY, sizeZ, red, green, blue, alpha});
}

void Graphics::DrawDebugShapes(rd::Device& device, const DebugShapeCall& shape, const Matrix4& inverseView) {
    const DebugMeshIndex meshIndex = DebugShapeMesh(shape.kind);
    if (meshIndex == kDebugMeshCount) return;  // not a shape kind: nothing to draw
    Mesh* mesh = m_debugMeshes[meshIndex].get();
    ShaderProgram* program = m_programs[kDebugProgram].get();
    if (!mesh || !mesh->HasBuffers() || !program) return;
    device.SetRenderState(rd::RS::ZEnable, 0);
    device.SetVertexLayout(m_staticLayout);
    program->Use(ShaderProgram::kUseVertex | ShaderProgram::kUsePixel);
    const Vec4 colour(shape.red / 255.0f, shape.green / 255.0f, shape.blue / 255.0f, shape.alpha / 255.0f);
    program->SetVec4(m_parameters[kDebugColor], &colour);
    const Vec3 position(shape.x, shape.y, shape.z);
    const Vec3 size(shape.sizeX, shape.sizeY, shape.sizeZ);
    Matrix4 world = Matrix4::Identity();
    if (meshIndex == kDebugCircle || meshIndex == kDebugSquare) {
        // The camera's own orientation turns the outline to face it.
        world = ScalingMatrix(size.x, size.y, size.z) * inverseView;
        world.m[12] = position.x;
        world.m[13] = position.y;
        world.m[14] = position.z;
    } else if (meshIndex == kDebugCube) {
        BuildTransformMatrix(world, position, Vec3(0, 0, 0), size);
    }
    program->SetMatrix(m_parameters[kWorldMat], &world);
    if (meshIndex == kDebugLine) RewriteLine(*mesh, position, size);
    device.SetStreamSource(mesh->GetVertexBuffer(), kStaticVertexStride);
    device.SetIndices(mesh->GetIndexBuffer());
    device.DrawIndexed(rd::Prim(mesh->GetPrimitiveType()), mesh->GetVertexCount(), mesh->GetPrimitiveCount());
    device.SetRenderState(rd::RS::ZEnable, 1);
}

}  // namespace Ostrel
