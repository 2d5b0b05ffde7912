// The frame: a fixed sequence of passes drawn under the render device's lock
// and presented.
//
// Targets: with "DoPostProcess" the scene is drawn into the screen target
// (0) with a depth target at 1 and the aux target at 2, highlight edges and
// debug shapes into the edge target, and the composite reads all four into
// the back buffer. Without it target 0 stays the back buffer and only the
// depth target at 1 changes. The depth target at 1 is the important one for
// the skybox and for important meshes, the unimportant one for everything
// else; programs that declare no second output (sky, blended quads,
// particles, edges) leave it untouched.

#include "engine/graphics/Graphics.h"

#include "engine/components/CameraComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/components/StaticBillboardComponent.h"
#include "engine/components/TransparentPlaneComponent.h"
#include "engine/components/AimerComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Matrix4.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/graphics/device/Device.h"
#include "engine/physics/HbvManager.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace Ostrel {

namespace {

enum Parameter {
    kProjMat = 0,
    kCamMat = 1,
    kWorldMat = 2,
    kDiffuseSampler = 3,
    kAdditiveColor = 5,
    kTexTiles = 6,
    kUnimpDepthSampler = 12,
    kImpDepthSampler = 13,
    kScreenSampler = 14,
    kDebugSampler = 15,
    kMappingSampler = 18,
    kTilePercentage = 19,
};

constexpr u32 kBothShaders = ShaderProgram::kUseVertex | ShaderProgram::kUsePixel;
constexpr const char* kDropShadowTexture = "DropShadow";

ObjectManager* EngineObjectManager(ObjectManager* kept) {
    if (kept) return kept;
    Engine* engine = Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

const Matrix4& OrIdentity(const Matrix4* matrix) {
    static const Matrix4 kIdentity = Matrix4::Identity();
    return matrix ? *matrix : kIdentity;
}

void BindMesh(rd::Device& device, const Mesh& mesh) {
    device.SetStreamSource(mesh.GetVertexBuffer(), mesh.GetStride());
    device.SetIndices(mesh.GetIndexBuffer());
}

// A sphere around a mesh as its transform places it, for choosing the
// lights that reach it: the scaled bounds' centre and half diagonal (the
// rotation is left out, so the sphere is widened by the centre's offset). A
// skinned mesh's pose may reach past its bind-pose bounds: half of its size
// again is allowed for that.
struct Bounds {
    Vec3 centre;
    float radius = 0.0f;
};

Bounds PlacedBounds(const Mesh& mesh, const TransformComponent& transform, bool skinned) {
    const Vec3& s = transform.GetScale();
    const Vec3& c = mesh.GetCentre();
    const Vec3& h = mesh.GetHalfExtents();
    const Vec3 offset(c.x * s.x, c.y * s.y, c.z * s.z);
    const Vec3 half(h.x * s.x, h.y * s.y, h.z * s.z);
    const float halfDiagonal = std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z);
    const float shift = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
    return {transform.GetPosition(), (shift + halfDiagonal) * (skinned ? 1.5f : 1.0f)};
}

bool Drawable(const MeshComponent& mesh, bool showScaffolding) {
    return mesh.IsScaffolding() ? showScaffolding : mesh.IsVisible();
}

// An object of a render list with the components a pass reads.
template <class T>
struct Listed {
    Composition* object = nullptr;
    T* component = nullptr;
    TransformComponent* transform = nullptr;
};

template <class T>
Listed<T> LookUpListed(ObjectManager* objects, u32 id) {
    Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (!object) return {};
    return {object, object->GetComponentAs<T>(), object->GetComponentAs<TransformComponent>()};
}

}  // namespace

std::vector<u32>& Graphics::RenderListForTests(RenderList list) {
    switch (list) {
        case RenderList::Shadow: return m_shadowList;
        case RenderList::TransparentPlane: return m_transparentPlaneList;
        case RenderList::Emitter: return m_emitterList;
        case RenderList::Billboard: return m_billboardList;
        case RenderList::Aimer: return m_aimerList;
        case RenderList::Draw: break;
    }
    return m_drawList;
}

rd::CoopLevel Graphics::CheckDevice(rd::Device& device) {
    const rd::CoopLevel level = device.TestCooperativeLevel();
    if (level == rd::CoopLevel::Ok) return level;
    if (level == rd::CoopLevel::DeviceLost) {
        std::this_thread::sleep_for(m_lostDeviceWait);
    } else if (level == rd::CoopLevel::DeviceNotReset) {
        DeviceLost();
        DeviceReset();
    }
    return device.TestCooperativeLevel();
}

CameraComponent* Graphics::FrameCamera() const {
    if (m_cameraId == 0) return nullptr;
    ObjectManager* objects = EngineObjectManager(m_objectManager);
    Composition* object = objects ? objects->GetObject(m_cameraId) : nullptr;
    return object ? object->GetComponentAs<CameraComponent>() : nullptr;
}

void Graphics::RenderFrame(rd::Device& device) {
    RenderDevice* renderDevice = GetRenderDevice();
    device.SetRenderState(rd::RS::CullMode, rd::Cull::CounterClockwise);
    if (CheckDevice(device) != rd::CoopLevel::Ok) return;
    // A target or layout that a reset could not make: nothing is drawn until
    // a later reset succeeds.
    if (!renderDevice || !renderDevice->CanDrawFrame() || !m_deviceObjectsOk) return;
    rd::Device* live = renderDevice->GetDevice();
    if (!live) return;
    rd::Device& d = *live;  // a reset may have replaced the device

    d.Clear(rd::kClearTarget | rd::kClearZBuffer, 0x00000000, 1.0f);
    d.BeginScene();
    // Before Initialize there are no programs: only the clear, the user
    // interface and the text.
    if (CameraComponent* camera = m_initialized ? FrameCamera() : nullptr) {
        const Matrix4& projection = OrIdentity(m_projectionMatrix);
        const Matrix4& view = OrIdentity(m_viewMatrix);
        const Matrix4& inverseView = OrIdentity(m_inverseViewMatrix);
        d.SetRenderState(rd::RS::AlphaBlendEnable, 0);
        for (ProgramIndex i : {kSkinnedLitProgram, kSkyboxProgram, kDebugProgram, kParticleProgram, kStaticLitProgram}) {
            m_programs[i]->SetMatrix(m_parameters[kProjMat], &projection);
        }
        if (m_doPostProcess) {
            d.SetRenderTarget(0, m_targets[kEdgeTarget]);
            d.Clear(rd::kClearTarget, 0x00000000, 0.0f);
            d.SetRenderTarget(0, m_targets[kUnimpDepthTarget]);
            d.SetRenderTarget(1, m_targets[kImpDepthTarget]);
            d.Clear(rd::kClearTarget | rd::kClearZBuffer, 0x00000000, 1.0f);
            d.SetRenderTarget(0, m_targets[kScreenTarget]);
            d.SetRenderTarget(2, m_targets[kAuxTarget]);
            d.Clear(rd::kClearTarget, 0x00000000, 1.0f);
        }
        for (ProgramIndex i : {kParticleProgram, kStaticLitProgram, kSkinnedLitProgram, kDebugProgram}) {
            m_programs[i]->SetMatrix(m_parameters[kCamMat], &view);
        }
        d.SetSamplerState(0, rd::SamplerState::AddressU, rd::TextureAddress::Wrap);
        d.SetSamplerState(0, rd::SamplerState::AddressV, rd::TextureAddress::Wrap);
        DrawOpaquePass(d);
        DrawHierarchyPass(d);
        // The sky lies at the far plane behind every opaque surface: drawn
        // after them with the depth test, it shades only the pixels they
        // left empty instead of the whole screen.
        if (m_drawSkybox) {
            DrawSkybox(d, camera->GetDirection(), camera->GetUp());
            d.SetSamplerState(0, rd::SamplerState::AddressU, rd::TextureAddress::Wrap);
            d.SetSamplerState(0, rd::SamplerState::AddressV, rd::TextureAddress::Wrap);
        }
        DrawBlendedPass(d, inverseView);
        DrawEmitters(d, inverseView);
        d.SetRenderState(rd::RS::ZWriteEnable, 1);
        d.SetRenderState(rd::RS::AlphaBlendEnable, 0);
        d.SetRenderState(rd::RS::DestBlend, rd::Blend::Zero);
        d.SetRenderState(rd::RS::SrcBlend, rd::Blend::One);
        if (m_drawDebugShapes) {
            if (m_doPostProcess) {
                d.SetRenderTarget(0, m_targets[kEdgeTarget]);
                d.SetRenderTarget(1, nullptr);
                d.SetRenderTarget(2, nullptr);
            }
            for (const DebugShapeCall& shape : DebugDrawQueue::Instance().Shapes()) DrawDebugShapes(d, shape, inverseView);
        }
        if (m_doPostProcess) {
            d.EndScene();
            d.SetRenderTarget(0, m_backBuffer);
            d.SetRenderTarget(1, nullptr);
            d.SetRenderTarget(2, nullptr);
            d.Clear(rd::kClearTarget, 0x00000000, 0.0f);
            d.BeginScene();
            DrawPostProcess(d);
        }
    }
    Send("SceneDrawing");
    if (m_overlayHook) m_overlayHook(d);
    DrawDebugTexts();
    d.EndScene();
    d.Present();
    DebugDrawQueue::Instance().Clear();
}

// Opaque meshes in draw-list order. The list is sorted so that important
// objects come first, animated before static, and objects sharing a mesh
// are adjacent: the stream is bound once per run of one mesh, and the
// program changes only where animated and static objects meet (the vertex
// shader alone: both lit programs share their pixel shader).
void Graphics::DrawOpaquePass(rd::Device& device) {
    ObjectManager* objects = EngineObjectManager(m_objectManager);
    if (m_drawList.empty() || !objects) return;
    const Matrix4& projection = OrIdentity(m_projectionMatrix);
    const Matrix4& view = OrIdentity(m_viewMatrix);
    ShaderProgram* staticLit = m_programs[kStaticLitProgram].get();
    ShaderProgram* skinnedLit = m_programs[kSkinnedLitProgram].get();

    // The first object that still has its mesh component sets the pass up.
    std::size_t first = 0;
    Listed<MeshComponent> head;
    for (; first < m_drawList.size(); ++first) {
        head = LookUpListed<MeshComponent>(objects, m_drawList[first]);
        if (head.component) break;
    }
    if (!head.component) return;
    bool animated = head.object->GetComponentAs<FidgetComponent>() != nullptr;
    if (m_lightManager) {
        m_lightManager->UploadLights(staticLit);
        m_lightManager->UploadLights(skinnedLit);
    }
    if (m_doPostProcess) {
        device.SetRenderTarget(1, m_targets[head.component->IsImportant() ? kImpDepthTarget : kUnimpDepthTarget]);
    }
    ShaderProgram* current = nullptr;
    if (animated) {
        skinnedLit->Use(kBothShaders);
        if (m_lightManager) m_lightManager->UploadLights(skinnedLit);
        device.SetVertexLayout(m_skinnedLayout);
        current = skinnedLit;
    } else {
        staticLit->SetMatrix(m_parameters[kProjMat], &projection);
        staticLit->SetMatrix(m_parameters[kCamMat], &view);
        staticLit->Use(kBothShaders);
        if (m_lightManager) m_lightManager->UploadLights(staticLit);
        device.SetVertexLayout(m_staticLayout);
        current = staticLit;
    }

    const Mesh* boundMesh = nullptr;
    for (std::size_t i = first; i < m_drawList.size(); ++i) {
        const Listed<MeshComponent> item = LookUpListed<MeshComponent>(objects, m_drawList[i]);
        // A component naming no mesh, or a mesh without buffers, stays
        // filed but is not drawn; so is an object without a transform.
        if (!item.component || !item.transform) continue;
        const Mesh* mesh = item.component->GetMesh();
        if (!mesh || !mesh->HasBuffers()) continue;
        if (mesh != boundMesh) {
            BindMesh(device, *mesh);
            boundMesh = mesh;
        }
        const FidgetComponent* fidget = item.object->GetComponentAs<FidgetComponent>();
        if (animated != (fidget != nullptr)) {
            animated = fidget != nullptr;
            current = animated ? skinnedLit : staticLit;
            current->SetMatrix(m_parameters[kProjMat], &projection);
            current->SetMatrix(m_parameters[kCamMat], &view);
            current->Use(ShaderProgram::kUseVertex);
            device.SetVertexLayout(animated ? m_skinnedLayout : m_staticLayout);
            if (animated && m_lightManager) m_lightManager->UploadLights(skinnedLit);
        }
        const MeshComponent& meshComponent = *item.component;
        device.SetRenderTarget(1, m_targets[meshComponent.IsImportant() ? kImpDepthTarget : kUnimpDepthTarget]);
        if (Drawable(meshComponent, m_showScaffolding)) {
            if (m_lightManager) {
                const Bounds bounds = PlacedBounds(*mesh, *item.transform, fidget != nullptr);
                m_lightManager->UploadLightsFor(current, bounds.centre, bounds.radius);
            }
            DrawMeshObject(device, meshComponent, *item.transform, fidget, *current);
        }
        if (meshComponent.IsHighlighted()) {
            device.SetRenderState(rd::RS::FillMode, rd::FillMode::Wireframe);
            if (m_doPostProcess) device.SetRenderTarget(0, m_targets[kEdgeTarget]);
            ShaderProgram& edge = *m_programs[fidget ? kSkinnedEdgeProgram : kStaticEdgeProgram];
            edge.SetMatrix(m_parameters[kProjMat], &projection);
            edge.SetMatrix(m_parameters[kCamMat], &view);
            edge.Use(kBothShaders);
            DrawMeshEdges(device, meshComponent, *item.transform, fidget, edge);
            device.SetRenderState(rd::RS::FillMode, rd::FillMode::Solid);
            current->SetMatrix(m_parameters[kProjMat], &projection);
            current->SetMatrix(m_parameters[kCamMat], &view);
            current->Use(kBothShaders);
            if (m_doPostProcess) device.SetRenderTarget(0, m_targets[kScreenTarget]);
        }
    }
}

// The static meshes the volume hierarchy finds in view, all with the static
// lit program, each with the lights that reach it. Handles of components
// destroyed since the tree was built find nothing and are skipped.
//
// They are drawn nearest first (by the distance of their mesh centres from
// the eye): the opaque surfaces in front fill the depth buffer early, so the
// rasteriser rejects the hidden pixels of the ones behind before shading
// them. The lit pixel shader is the frame's largest cost on a software
// rasteriser, and the level's floors and walls overlap on screen.
void Graphics::DrawHierarchyPass(rd::Device& device) {
    const Matrix4& projection = OrIdentity(m_projectionMatrix);
    const Matrix4& view = OrIdentity(m_viewMatrix);
    ShaderProgram* staticLit = m_programs[kStaticLitProgram].get();
    staticLit->Use(kBothShaders);
    if (m_lightManager) {
        m_lightManager->UploadLights(staticLit);
        m_lightManager->UploadLights(m_programs[kSkinnedLitProgram].get());
    }
    device.SetVertexLayout(m_staticLayout);
    staticLit->SetMatrix(m_parameters[kProjMat], &projection);
    staticLit->SetMatrix(m_parameters[kCamMat], &view);

    HbvManager* hbv = HbvManager::GetInstance();
    ObjectManager* objects = EngineObjectManager(m_objectManager);
    if (!m_useHbv || !hbv || !objects) return;
    device.SetRenderTarget(1, m_targets[kUnimpDepthTarget]);
    hbv->Query(m_hierarchyHandles, view, projection);
    const Matrix4& inverseView = OrIdentity(m_inverseViewMatrix);
    const Vec3 eye(inverseView.m[12], inverseView.m[13], inverseView.m[14]);
    m_hierarchyItems.clear();
    for (u32 handle : m_hierarchyHandles) {
        Component* component = objects->GetComponentByHandle(handle);
        if (!component || component->GetTypeId() != MeshComponent::kTypeId) continue;
        const auto& meshComponent = static_cast<const MeshComponent&>(*component);
        Composition* owner = component->GetOwner();
        const TransformComponent* transform = owner ? owner->GetComponentAs<TransformComponent>() : nullptr;
        const Mesh* mesh = meshComponent.GetMesh();
        if (!transform || !mesh || !mesh->HasBuffers() || !Drawable(meshComponent, m_showScaffolding)) continue;
        const Vec3& scale = transform->GetScale();
        const Vec3& centre = mesh->GetCentre();
        const Vec3 offset = transform->GetPosition() + Vec3(centre.x * scale.x, centre.y * scale.y, centre.z * scale.z) - eye;
        m_hierarchyItems.push_back({offset.x * offset.x + offset.y * offset.y + offset.z * offset.z, &meshComponent, transform});
    }
    std::stable_sort(m_hierarchyItems.begin(), m_hierarchyItems.end(),
                     [](const HierarchyItem& a, const HierarchyItem& b) { return a.distance < b.distance; });
    for (const HierarchyItem& item : m_hierarchyItems) {
        const Mesh& mesh = *item.mesh->GetMesh();
        BindMesh(device, mesh);
        if (m_lightManager) {
            const Bounds bounds = PlacedBounds(mesh, *item.transform, false);
            m_lightManager->UploadLightsFor(staticLit, bounds.centre, bounds.radius);
        }
        DrawMeshObject(device, *item.mesh, *item.transform, nullptr, *staticLit);
    }
}

// Transparent planes, aimers, drop shadows and billboards: alpha-blended
// quads on the one bound plane mesh, depth tested but not written.
void Graphics::DrawBlendedPass(rd::Device& device, const Matrix4& inverseView) {
    device.SetRenderState(rd::RS::AlphaBlendEnable, 1);
    device.SetRenderState(rd::RS::DestBlend, rd::Blend::InvSrcAlpha);
    device.SetRenderState(rd::RS::SrcBlend, rd::Blend::SrcAlpha);
    device.SetRenderState(rd::RS::ZWriteEnable, 0);
    if (m_doPostProcess) device.SetRenderTarget(1, m_targets[kUnimpDepthTarget]);
    const Mesh* plane = m_debugMeshes[kDebugPlane].get();
    if (!plane || !plane->HasBuffers()) return;
    device.SetStreamSource(plane->GetVertexBuffer(), kStaticVertexStride);
    device.SetIndices(plane->GetIndexBuffer());
    ShaderProgram& program = *m_programs[kStaticVertProgram];
    program.Use(kBothShaders);
    const Vec4 white(1, 1, 1, 1);
    const Vec2 one(1, 1);
    program.SetVec4(m_parameters[kAdditiveColor], &white);
    program.SetVec2(m_parameters[kTexTiles], &one);
    program.SetVec2(m_parameters[kTilePercentage], &one);
    program.ClearTexture(m_parameters[kMappingSampler]);
    device.SetVertexLayout(m_staticLayout);
    program.SetMatrix(m_parameters[kProjMat], &OrIdentity(m_projectionMatrix));
    program.SetMatrix(m_parameters[kCamMat], &OrIdentity(m_viewMatrix));

    ObjectManager* objects = EngineObjectManager(m_objectManager);
    for (u32 id : m_transparentPlaneList) {
        const auto item = LookUpListed<TransparentPlaneComponent>(objects, id);
        if (!item.component || !item.transform) continue;
        program.SetTexture(m_parameters[kDiffuseSampler], item.component->GetTexture());
        DrawTransparentPlane(device, *item.component, *item.transform);
    }
    for (u32 id : m_aimerList) {
        const auto item = LookUpListed<AimerComponent>(objects, id);
        if (!item.component) continue;
        program.SetTexture(m_parameters[kDiffuseSampler], item.component->GetTexture());
        DrawAimer(device, *item.component);
    }
    if (!m_shadowList.empty()) {
        TextureManager* textures = m_textureManager ? m_textureManager : TextureManager::Instance();
        program.SetTexture(m_parameters[kDiffuseSampler], textures ? textures->Find(kDropShadowTexture) : nullptr);
        for (u32 id : m_shadowList) {
            const auto item = LookUpListed<ShadowComponent>(objects, id);
            if (!item.component || !item.transform || !item.component->IsVisible()) continue;
            DrawShadow(device, *item.component, *item.transform);
        }
    }
    for (u32 id : m_billboardList) {
        const auto item = LookUpListed<StaticBillboardComponent>(objects, id);
        if (!item.component || !item.transform) continue;
        DrawBillboard(device, *item.component, *item.transform, inverseView);
    }
}

// The composite quad: the unit plane stretched over the back buffer with
// the orthographic projection, reading the four off-screen targets and
// applying the fade colour.
void Graphics::DrawPostProcess(rd::Device& device) {
    const Mesh* plane = m_debugMeshes[kDebugPlane].get();
    RenderDevice* renderDevice = GetRenderDevice();
    if (!plane || !plane->HasBuffers() || !renderDevice) return;
    device.SetStreamSource(plane->GetVertexBuffer(), kStaticVertexStride);
    device.SetIndices(plane->GetIndexBuffer());
    ShaderProgram& program = *m_programs[kPostProcessProgram];
    program.Use(kBothShaders);
    Matrix4 world;
    BuildTransformMatrix(world, Vec3(-0.5f, 0.5f, 0.0f), Vec3(0, 0, 0),
                         Vec3(float(renderDevice->GetWidth()), float(renderDevice->GetHeight()), 1.0f));
    Matrix4 view;
    LookAtMatrix(view, Vec3(0, 0, 0), Vec3(0, 0, 1), Vec3(0, 1, 0));
    program.SetMatrix(m_parameters[kCamMat], &view);
    program.SetMatrix(m_parameters[kProjMat], &OrIdentity(m_orthoMatrix));
    program.SetMatrix(m_parameters[kWorldMat], &world);
    program.SetRawTexture(m_parameters[kUnimpDepthSampler], m_targets[kUnimpDepthTarget]);
    program.SetRawTexture(m_parameters[kImpDepthSampler], m_targets[kImpDepthTarget]);
    program.SetRawTexture(m_parameters[kScreenSampler], m_targets[kScreenTarget]);
    program.SetRawTexture(m_parameters[kDebugSampler], m_targets[kEdgeTarget]);
    program.SetVec4(m_parameters[kAdditiveColor], &m_fadeColor);
    device.SetVertexLayout(m_staticLayout);
    device.DrawIndexed(rd::Prim(plane->GetPrimitiveType()), plane->GetVertexCount(), plane->GetPrimitiveCount());
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
    // The sky's vertex shader puts every point at the far plane; depth
    // tested against what the opaque passes wrote, not written itself.
    device.SetRenderState(rd::RS::ZEnable, 1);
    device.SetRenderState(rd::RS::ZWriteEnable, 0);
    // Clamped, so a face's edge texels are not blended with its opposite
    // edge: that blend draws a line where two faces meet. Wrapping is set
    // again for the blended meshes after the sky.
    device.SetSamplerState(0, rd::SamplerState::AddressU, rd::TextureAddress::Clamp);
    device.SetSamplerState(0, rd::SamplerState::AddressV, rd::TextureAddress::Clamp);
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
    device.SetRenderState(rd::RS::ZWriteEnable, 1);
}

}  // namespace Ostrel
