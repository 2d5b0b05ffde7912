// The routines with which the frame draws one thing: a mesh object, the
// highlight edges of one, and the blended quads (transparent plane, aimer,
// drop shadow, billboard). Each sets the world matrix and the parameters of
// the program the frame bound and issues one draw; programs, targets, blend
// states and buffers are the frame's business.

#include "engine/graphics/Graphics.h"

#include "engine/components/AimerComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/components/StaticBillboardComponent.h"
#include "engine/components/TransparentPlaneComponent.h"
#include "engine/components/VisualLookup.h"
#include "engine/core/Matrix4.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/animation/AnimationController.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/animation/Skeleton.h"
#include "engine/graphics/device/Device.h"
#include "engine/graphics/textures/Texture.h"

#include <algorithm>

namespace Ostrel {

namespace {

enum Parameter {
    kWorldMat = 2,
    kDiffuseSampler = 3,
    kBoneMat = 4,
    kAdditiveColor = 5,
    kTexTiles = 6,
    kMappingSampler = 18,
    kTilePercentage = 19,
};

// Drop shadows lie flat at this height whatever the object's height.
constexpr float kShadowHeight = 2.05f;
// Quads are the unit plane in XY; this turn about x lays them in XZ.
constexpr float kFlatDegrees = 90.0f;

void DrawWhole(rd::Device& device, const Mesh& mesh) {
    device.DrawIndexed(rd::Prim(mesh.GetPrimitiveType()), mesh.GetVertexCount(), mesh.GetPrimitiveCount());
}

Matrix4 WorldOf(const TransformComponent& transform) {
    Matrix4 world;
    BuildTransformMatrix(world, transform.GetPosition(), transform.GetRotation(), transform.GetScale());
    return world;
}

}  // namespace

// Skinning matrix i = bone i's inverse bind matrix x the pose's model-space
// matrix of bone i, over the bones that both the skeleton and the pose list
// have (a skeleton replaced by a larger one reads no pose beyond the list).
void Graphics::SetSkinMatrices(const Mesh& mesh, const FidgetComponent* fidget, ShaderProgram& program) {
    if (!mesh.IsSkinned() || !fidget) return;
    const Skeleton* skeleton = fidget->GetSkeleton();
    if (!skeleton) return;
    const std::vector<PoseEntry>& poses = fidget->GetController().GetPoses();
    const std::size_t count = std::min(skeleton->bones.size(), poses.size());
    if (count == 0) return;
    m_skinMatrices.resize(count);
    for (std::size_t i = 0; i < count; ++i) m_skinMatrices[i] = skeleton->bones[i].inverseBindMatrix * poses[i].matrix;
    program.SetMatrixArray(m_parameters[kBoneMat], m_skinMatrices.data(), u32(count));
}

rd::Texture* Graphics::WhiteTexture(rd::Device& device) {
    if (!m_whiteTexture) {
        const u8 white[4] = {255, 255, 255, 255};
        m_whiteTexture = device.CreateTexture(1, 1, rd::Format::A8R8G8B8, white, false);
        if (m_whiteTexture) m_whiteTexture->SetName("untextured-white");
    }
    return m_whiteTexture;
}

void Graphics::ReleaseWhiteTexture() {
    if (rd::Device* device = LiveDevice(); device && m_whiteTexture) device->Release(m_whiteTexture);
    m_whiteTexture = nullptr;
}

void Graphics::DrawMeshObject(rd::Device& device, const MeshComponent& mesh, const TransformComponent& transform,
                              const FidgetComponent* fidget, ShaderProgram& program) {
    const Mesh* geometry = mesh.GetMesh();
    if (!geometry) return;
    device.SetRenderState(rd::RS::ZEnable, 1);
    SetSkinMatrices(*geometry, fidget, program);
    const Matrix4 world = WorldOf(transform);
    if (const TilePaletteRecord* palette = mesh.GetPalette()) {
        Texture* atlas = nullptr;
        Vec2 tile(1, 1);
        GetPaletteAtlas(*palette, &atlas, &tile.x, &tile.y);
        program.SetTexture(m_parameters[kDiffuseSampler], atlas);
        program.SetVec2(m_parameters[kTilePercentage], &tile);
        program.SetTexture(m_parameters[kMappingSampler], mesh.GetTileTexture());
    } else {
        const Vec2 whole(1, 1);
        Texture* texture = mesh.GetTexture();
        rd::Texture* diffuse = texture ? texture->GetDeviceTexture() : nullptr;
        program.SetRawTexture(m_parameters[kDiffuseSampler], diffuse ? diffuse : WhiteTexture(device));
        program.SetVec2(m_parameters[kTilePercentage], &whole);
        program.ClearTexture(m_parameters[kMappingSampler]);
    }
    program.SetVec2(m_parameters[kTexTiles], &mesh.GetTiles());
    program.SetVec4(m_parameters[kAdditiveColor], &mesh.GetTint());
    program.SetMatrix(m_parameters[kWorldMat], &world);
    DrawWhole(device, *geometry);
}

void Graphics::DrawMeshEdges(rd::Device& device, const MeshComponent& mesh, const TransformComponent& transform,
                             const FidgetComponent* fidget, ShaderProgram& program) {
    const Mesh* geometry = mesh.GetMesh();
    if (!geometry) return;
    SetSkinMatrices(*geometry, fidget, program);
    const Matrix4 world = WorldOf(transform);
    program.SetVec4(m_parameters[kAdditiveColor], &mesh.GetHighlightColor());
    program.SetMatrix(m_parameters[kWorldMat], &world);
    DrawWhole(device, *geometry);
}

void Graphics::DrawQuad(rd::Device& device) {
    if (const Mesh* plane = m_debugMeshes[kDebugPlane].get()) DrawWhole(device, *plane);
}

void Graphics::DrawTransparentPlane(rd::Device& device, const TransparentPlaneComponent& plane,
                                    const TransformComponent& transform) {
    Matrix4 world;
    BuildTransformMatrix(world, transform.GetPosition() + plane.GetAdjust(),
                         Vec3(kFlatDegrees, plane.GetRotationY(), 0.0f), plane.GetScale());
    ShaderProgram& program = *m_programs[kStaticVertProgram];
    program.SetMatrix(m_parameters[kWorldMat], &world);
    program.SetTexture(m_parameters[kDiffuseSampler], plane.GetTexture());
    DrawQuad(device);
}

void Graphics::DrawAimer(rd::Device& device, AimerComponent& aimer) {
    Matrix4 world;
    BuildTransformMatrix(world, aimer.GetAimPoint(), Vec3(kFlatDegrees, aimer.GetRotationY(), 0.0f), aimer.GetScale());
    m_programs[kStaticVertProgram]->SetMatrix(m_parameters[kWorldMat], &world);
    DrawQuad(device);
}

void Graphics::DrawShadow(rd::Device& device, const ShadowComponent& shadow, const TransformComponent& transform) {
    const Vec3& position = transform.GetPosition();
    Matrix4 world;
    BuildTransformMatrix(world, Vec3(position.x, kShadowHeight, position.z),
                         Vec3(kFlatDegrees, transform.GetRotation().y - 90.0f, 0.0f), shadow.GetScale());
    m_programs[kStaticVertProgram]->SetMatrix(m_parameters[kWorldMat], &world);
    DrawQuad(device);
}

// Faces the camera: the inverse view's rotation turns the quad toward the
// eye; its own angle (radians, plus the transform's z rotation taken as
// radians too) rolls it about the view axis.
void Graphics::DrawBillboard(rd::Device& device, const StaticBillboardComponent& billboard,
                             const TransformComponent& transform, const Matrix4& inverseView) {
    const Vec3 position = billboard.GetAdjust() + transform.GetPosition();
    const Vec3 scale = billboard.GetScale() * transform.GetScale();
    const float angle = billboard.GetRotation() + transform.GetRotation().z;
    Matrix4 world = ScalingMatrix(scale.x, scale.y, scale.z) * RotationZMatrix(angle) * inverseView;
    world.m[12] = position.x;
    world.m[13] = position.y;
    world.m[14] = position.z;
    ShaderProgram& program = *m_programs[kStaticVertProgram];
    program.SetMatrix(m_parameters[kWorldMat], &world);
    program.SetTexture(m_parameters[kDiffuseSampler], billboard.GetTexture());
    DrawQuad(device);
}

}  // namespace Ostrel
