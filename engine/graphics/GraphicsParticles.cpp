// The particle pass of the frame: every running emitter's live particles,
// drawn as camera-facing sprites with the emitter's blend mode.

#include "engine/graphics/Graphics.h"

#include "engine/core/Composition.h"
#include "engine/core/Matrix4.h"
#include "engine/core/ObjectManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/particles/ParticleEmitterComponent.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/device/Device.h"

namespace Ostrel {

namespace {
// Indices into Graphics::kParameterNames.
enum ParticleParameter { kProjMat = 0, kWorldMat = 2, kDiffuseSampler = 3, kTexNum = 8, kTexWidthPer = 9,
                         kTexHeightPer = 10, kOpaqueness = 11 };
}  // namespace

void Graphics::DrawEmitters(rd::Device& device, const Matrix4& inverseView) {
    if (m_emitterList.empty()) return;
    m_frameEmitters.clear();
    for (u32 id : m_emitterList) {
        Composition* object = m_objectManager ? m_objectManager->GetObject(id) : nullptr;
        auto* emitter = object ? object->GetComponentAs<ParticleEmitterComponent>() : nullptr;
        if (emitter) m_frameEmitters.push_back(emitter);
    }
    DrawParticlePass(device, inverseView, m_frameEmitters);
}

void Graphics::DrawParticlePass(rd::Device& device, const Matrix4& inverseView,
                                const std::vector<ParticleEmitterComponent*>& emitters) {
    if (ShaderProgram* program = m_programs[kParticleProgram].get()) {
        if (m_projectionMatrix) program->SetMatrix(m_parameters[kProjMat], m_projectionMatrix);
        program->Use(ShaderProgram::kUseVertex | ShaderProgram::kUsePixel);
    }
    for (const ParticleEmitterComponent* emitter : emitters) {
        if (!emitter->IsRunning()) continue;
        device.SetRenderState(rd::RS::DestBlend, emitter->GetBlendCode());
        DrawParticles(device, *emitter, inverseView);
    }
    device.SetRenderState(rd::RS::DestBlend, rd::Blend::InvSrcAlpha);
}

void Graphics::DrawParticles(rd::Device& device, const ParticleEmitterComponent& emitter, Matrix4 inverseView) {
    const Mesh* sprite = emitter.GetMesh();
    ShaderProgram* program = m_programs[kParticleProgram].get();
    if (!sprite || !sprite->HasBuffers() || !program) return;
    device.SetVertexLayout(m_staticLayout);
    device.SetStreamSource(sprite->GetVertexBuffer(), kStaticVertexStride);
    device.SetIndices(sprite->GetIndexBuffer());
    program->SetTexture(m_parameters[kDiffuseSampler], emitter.GetTexture());
    program->SetFloat(m_parameters[kTexWidthPer], emitter.GetCellWidthFraction());
    program->SetFloat(m_parameters[kTexHeightPer], emitter.GetCellHeightFraction());
    const std::vector<Particle>& particles = emitter.GetParticles();
    const std::size_t bound = emitter.GetSlotBound();
    for (std::size_t i = 0; i < bound; ++i) {
        const Particle& p = particles[i];
        if (p.alive == 0) continue;
        Matrix4 world = ScalingMatrix(p.scale.x, p.scale.y, 1.0f) * RotationZMatrix(p.rotation) * inverseView;
        world(3, 0) = p.position.x;
        world(3, 1) = p.position.y;
        world(3, 2) = p.position.z;
        program->SetMatrix(m_parameters[kWorldMat], &world);
        program->SetInt(m_parameters[kTexNum], p.textureIndex);
        program->SetFloat(m_parameters[kOpaqueness], p.opacity);
        device.DrawIndexed(rd::Prim(sprite->GetPrimitiveType()), sprite->GetVertexCount(),
                           sprite->GetPrimitiveCount());
    }
}

}  // namespace Ostrel
