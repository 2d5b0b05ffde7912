// The frame: a fixed sequence of passes drawn under the render device's lock
// and presented.

#include "engine/graphics/Graphics.h"

#include "engine/core/Matrix4.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/Mesh.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/device/Device.h"

namespace Ostrel {

namespace {
enum Parameter { kProjMat, kCamMat, kWorldMat, kDiffuseSampler };
}  // namespace

void Graphics::RenderFrame(rd::Device& device) {
    RenderDevice* renderDevice = GetRenderDevice();
    if (!renderDevice->CanDrawFrame() || !m_deviceObjectsOk) return;
    switch (device.TestCooperativeLevel()) {
        case rd::CoopLevel::Ok:
            break;
        case rd::CoopLevel::DeviceNotReset:
            DeviceLost();
            DeviceReset();
            return;
        default:
            return;
    }
    device.Clear(rd::kClearTarget | rd::kClearZBuffer, 0x00000000, 1.0f);
    device.BeginScene();
    DrawDebugTexts();
    device.EndScene();
    device.Present();
    DebugDrawQueue::Instance().Clear();
}

void Graphics::DrawSkybox(rd::Device& device, const Vec3& cameraDirection, const Vec3& cameraUp) {
    Mesh* top = m_skybox.GetPlane(Skybox::kTop);
    ShaderProgram* program = m_programs[kSkyboxProgram].get();
    if (!m_skybox.IsLoaded() || !top || !top->HasBuffers() || !program) {
        device.SetRenderState(rd::RS::ZEnable, 1);
        return;
    }
    device.SetStreamSource(top->GetVertexBuffer(), kStaticVertexStride);
    device.SetIndices(top->GetIndexBuffer());
    device.SetVertexLayout(m_staticLayout);
    program->Use(ShaderProgram::kUseVertex | ShaderProgram::kUsePixel);
    device.SetRenderState(rd::RS::ZEnable, 0);
    bool first = true;
    for (Skybox::Face face : {Skybox::kFront, Skybox::kBack, Skybox::kLeft, Skybox::kRight, Skybox::kTop,
                              Skybox::kBottom}) {
        const Mesh* plane = m_skybox.GetPlane(face);
        Matrix4 world;
        BuildTransformMatrix(world, plane->position, plane->rotation, plane->scale);
        program->SetMatrix(m_parameters[kWorldMat], &world);
        program->SetTexture(m_parameters[kDiffuseSampler], m_skybox.GetTexture(face));
        if (first) {
            const Matrix4 view = Skybox::SkyView(cameraDirection, cameraUp);
            program->SetMatrix(m_parameters[kCamMat], &view);
            first = false;
        }
        device.DrawIndexed(rd::Prim(plane->GetPrimitiveType()), plane->GetVertexCount(), plane->GetPrimitiveCount());
    }
    device.SetRenderState(rd::RS::ZEnable, 1);
}

}  // namespace Ostrel
