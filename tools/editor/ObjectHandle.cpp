#include "tools/editor/ObjectHandle.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/MeshLookup.h"
#include "engine/core/Composition.h"
#include "engine/core/Engine.h"
#include "engine/core/Matrix4.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/models/Mesh.h"

#include <algorithm>
#include <cfloat>
#include <span>

namespace Ostrel {

namespace {

Composition* FindObject(u32 id) {
    if (id == 0) return nullptr;
    Engine* engine = Engine::Instance();
    auto* objects = engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
    return objects ? objects->GetObject(id) : nullptr;
}

Matrix4 InverseWorld(const TransformComponent& transform) {
    Matrix4 inverse;
    BuildInverseTransformMatrix(inverse, transform.GetPosition(), transform.GetRotation(), transform.GetScale());
    return inverse;
}

u8 ColourByte(float channel) { return static_cast<u8>(static_cast<int>(channel * 255.0f) & 0xFF); }

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// Whether the ray may hit triangle (a, b, c): barycentric coordinates with a
// margin, and no answer for rays nearly along its plane, so it never turns
// away a triangle that RayHitsTriangle would take. Most triangles of a
// large mesh fail here, for a fraction of the exact test's cost.
bool MayHitTriangle(const Vec3& origin, const Vec3& direction, float directionLength2, const Vec3& a,
                    const Vec3& b, const Vec3& c) {
    constexpr float kMargin = 1e-3f;
    const Vec3 e1 = b - a;
    const Vec3 e2 = c - a;
    const Vec3 p = Cross(direction, e2);
    const float det = Dot(e1, p);  // -direction . normal
    const Vec3 normal = Cross(e1, e2);
    // The exact test refuses |cos| < 0.001; up to twice that it decides.
    if (det * det <= 4e-6f * directionLength2 * Dot(normal, normal)) return true;
    const float inverse = 1.0f / det;
    const Vec3 s = origin - a;
    const float u = Dot(s, p) * inverse;
    if (u < -kMargin || u > 1.0f + kMargin) return false;
    const float v = Dot(direction, Cross(s, e1)) * inverse;
    return v >= -kMargin && u + v <= 1.0f + kMargin;
}

}  // namespace

ObjectHandle::ObjectHandle(u32 id) : m_object(FindObject(id)) {}

bool RayHitsTrianglesScreened(const Ray& ray, const PointView& vertices, std::span<const u16> indices, u32 layout,
                              float& nearest) {
    nearest = FLT_MAX;
    if (layout != kTriangleList && layout != kTriangleStrip) return false;
    const Vec3 origin = ray.origin.XYZ();
    const Vec3 direction = ray.direction.XYZ();
    const float directionLength2 = Dot(direction, direction);
    const std::size_t step = layout == kTriangleList ? 3 : 1;
    bool hit = false;
    for (std::size_t i = 0; i + 2 < indices.size(); i += step) {
        const u16 first = indices[i], second = indices[i + 1], third = indices[i + 2];
        if (first >= vertices.count || second >= vertices.count || third >= vertices.count) continue;
        const Vec3 p0 = vertices[third], p1 = vertices[second], p2 = vertices[first];
        if (!MayHitTriangle(origin, direction, directionLength2, p0, p1, p2)) continue;
        float t = 0.0f;
        if (RayHitsTriangle(ray, p0, p1, p2, t)) {
            hit = true;
            nearest = std::min(nearest, t);
        }
    }
    return hit;
}


Vec4 ObjectHandle::GetPosition() const {
    TransformComponent* transform = m_object ? m_object->GetTransform() : nullptr;
    if (!transform) return Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    const Vec3& p = transform->GetPosition();
    return Vec4(p.x, p.y, p.z, 1.0f);
}

const BoundingVolume* ObjectHandle::GetCollisionVolume() const {
    auto* collider = m_object ? m_object->GetComponentAs<CollisionComponent>() : nullptr;
    return collider ? &collider->GetVolume() : nullptr;
}

MeshComponent* ObjectHandle::GetMeshComponent() const {
    return m_object ? m_object->GetComponentAs<MeshComponent>() : nullptr;
}

MeshComponent* ObjectHandle::GetMeshWithTransform() const {
    MeshComponent* mesh = GetMeshComponent();
    if (!mesh || !mesh->GetMesh() || !m_object->GetTransform()) return nullptr;
    return mesh;
}

FidgetComponent* ObjectHandle::GetFidget() const {
    // The slot may hold a stand-in that is not the graphics layer's player.
    return m_object ? dynamic_cast<FidgetComponent*>(m_object->GetComponent(FidgetComponent::kTypeId)) : nullptr;
}

bool ObjectHandle::IntersectRay(const Ray& ray, float& distance) const {
    MeshComponent* meshComponent = GetMeshWithTransform();
    MeshLookup* meshes = MeshLookup::Current();
    if (!meshComponent || !meshes) return false;
    const Mesh& mesh = *meshComponent->GetMesh();
    const u32 layout = GetTriangleLayout(mesh);
    if (layout > kTriangleStrip) return false;
    const Matrix4 inverse = InverseWorld(*m_object->GetTransform());
    const Ray local{ray.origin * inverse, ray.direction * inverse};
    const std::vector<u16>& indices = mesh.GetIndices();
    float nearest = 0.0f;
    if (!RayHitsTrianglesScreened(local, meshes->GetVertexPositions(mesh), std::span<const u16>(indices), layout, nearest)) {
        return false;
    }
    distance = nearest;
    return true;
}

Vec4 ObjectHandle::ToLocalSpace(const Vec4& point) const {
    if (!GetMeshWithTransform()) return Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    return point * InverseWorld(*m_object->GetTransform());
}

void ObjectHandle::PaintTiles(const Vec4& localPoint, s32 value, bool extend, bool wholeGrid) const {
    MeshComponent* mesh = GetMeshWithTransform();
    if (!mesh) return;
    TileBrushFlags flags;
    flags.rectangle = extend ? 1 : 0;
    flags.wholeGrid = wholeGrid ? 1 : 0;
    mesh->PaintTiles(localPoint, 0, value, &flags);
    mesh->RebuildTileTexture();
}

std::string ObjectHandle::GetTilePaletteName() const {
    MeshComponent* mesh = GetMeshComponent();
    return mesh ? mesh->GetTilePaletteName() : std::string();
}

void ObjectHandle::SetTilePalette(const std::string& name) const {
    if (MeshComponent* mesh = GetMeshComponent()) mesh->SetTilePalette(name);
}

void ObjectHandle::SetVisible(bool visible) const {
    if (MeshComponent* mesh = GetMeshComponent()) mesh->SetVisible(visible);
}

void ObjectHandle::RebuildTileTexture() const {
    if (MeshComponent* mesh = GetMeshWithTransform()) mesh->RebuildTileTexture();
}

void ObjectHandle::SetShowBindPose(bool show) const {
    if (FidgetComponent* fidget = GetFidget()) fidget->SetShowBindPose(show);
}

f32 ObjectHandle::GetAnimationTime() const {
    FidgetComponent* fidget = GetFidget();
    return fidget ? fidget->GetAnimationTime() : 0.0f;
}

void ObjectHandle::SetAnimationTime(f32 seconds) const {
    if (FidgetComponent* fidget = GetFidget()) fidget->SetAnimationTime(seconds);
}

void ObjectHandle::NextKey() const {
    if (FidgetComponent* fidget = GetFidget()) fidget->NextKey();
}

void ObjectHandle::PreviousKey() const {
    if (FidgetComponent* fidget = GetFidget()) fidget->PreviousKey();
}

u32 GetTriangleLayout(const Mesh& mesh) {
    switch (mesh.GetPrimitiveType()) {
        case kPrimitiveTriangleList: return kTriangleList;
        case kPrimitiveTriangleStrip: return kTriangleStrip;
        default: return 2;
    }
}

bool FitVolumeToMesh(u32 id, BoundingVolume& volume, const std::vector<u32>* points, u16 fitMode,
                     bool useRotation) {
    Composition* object = FindObject(id);
    if (!object) return false;
    Vec3 scale(1.0f, 1.0f, 1.0f);
    Vec3 rotation(0.0f, 0.0f, 0.0f);
    if (TransformComponent* transform = object->GetTransform()) {
        scale = transform->GetScale();
        rotation = transform->GetRotation();
    }
    auto* meshComponent = object->GetComponentAs<MeshComponent>();
    MeshLookup* meshes = MeshLookup::Current();
    if (!meshComponent || !meshes) return false;
    Mesh* mesh = meshes->FindMesh(meshComponent->GetMeshId());
    if (!mesh) return false;
    return BoundsOfPointsEx(volume, meshes->GetVertexPositions(*mesh), points, scale, rotation, fitMode,
                            useRotation, 1.0f, Vec3(0.0f, 0.0f, 0.0f));
}

void DrawDebugVolume(const BoundingVolume& volume, float x, float y, float z, float red, float green,
                     float blue) {
    const float cx = x + volume.centre.x;
    const float cy = y + volume.centre.y;
    const float cz = z + volume.centre.z;
    const u8 r = ColourByte(red), g = ColourByte(green), b = ColourByte(blue);
    if (volume.kind == kShapeBox) {
        Graphics::DrawDebugShape(3, cx, cy, cz, volume.size.x, volume.size.y, volume.size.z, r, g, b, 255);
    } else if (volume.kind == kShapeSphere) {
        Graphics::DrawDebugShape(1, cx, cy, cz, volume.size.x, volume.size.x, volume.size.x, r, g, b, 255);
    }
}

}  // namespace Ostrel
