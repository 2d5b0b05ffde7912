#pragma once
// How an object takes part in collision ('coll'): a volume fitted around its
// mesh, the shape of that volume and the collider flags the collision world
// reads.
//
// Fitting (FitVolume) transforms the vertices of the mesh named by the
// sibling MeshComponent by the transform's scale times Scale (rotation is
// ignored) and takes their bounds: the centre is the middle of the bounds
// plus Offset; a box takes the extents, then adjusts x and z by the
// VolumeMethod; a sphere takes half the diagonal. Without a mesh, or with a
// mesh that has no vertices, the volume keeps what it had. The volume is
// fitted by Initialize, by the local "TransformUpdated" (live objects with a
// MessageComponent only) and by the editor's "ShapeName" field; Serialize
// never refits.
//
// Data keys, in order: "Shape" (0 box, 1 sphere, 2 never overlaps),
// "ShapeName" (read only: "SPHERE" gives 1, any other non-empty text 0; it is
// read after "Shape" and wins), "Static" (default true),
// "CollideWithDynamics", "CollideWithStatics", "ResolveWithDynamics",
// "ResolveWithStatics", "Scale" (default 1), "OffsetX", "OffsetY", "OffsetZ",
// "VolumeMethod" (read only: exactly "DEFAULT", "AVERAGE", "MINIMUM" or
// "MAXIMUM"; any other text keeps the method).
//
// A live collider caches its object's transform at Initialize. One without a
// transform has no place in the world: HasTransform() is false, it is logged
// once, and the collision code leaves it out.

#include "engine/core/BoundingVolume.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

#include <string>
#include <vector>

namespace Ostrel {

class TransformComponent;

// The third shape: it never overlaps anything.
constexpr u32 kShapeNoOverlap = 2;

struct ColliderFlags {
    bool isStatic = true;
    bool collideWithDynamics = false;
    bool collideWithStatics = false;
    bool resolveWithDynamics = false;
    bool resolveWithStatics = false;
};

class CollisionComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("coll");

    // Fits the volume; on a live object also listens for the local
    // "TransformUpdated" (when it has a MessageComponent) and caches the
    // transform.
    void Initialize() override;
    // Copies every field but the cached transform, which the clone caches
    // for itself when it is initialised as a live object.
    Component* Clone() const override;
    // Nothing: the listener goes with the object's message table.
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    void FitVolume();
    // Handler of the local "TransformUpdated": refits.
    void OnTransformUpdated();

    // World corners: position + centre -/+ size / 2, the position taken from
    // the cached transform ((0, 0, 0) without one).
    Vec3 GetMin() const;
    Vec3 GetMax() const;
    Vec3 GetPosition() const;
    bool HasTransform() const { return m_transform != nullptr; }
    TransformComponent* GetCachedTransform() const { return m_transform; }

    const BoundingVolume& GetVolume() const { return m_volume; }
    BoundingVolume& Volume() { return m_volume; }
    u32 GetShape() const { return m_shape; }
    void SetShape(u32 shape) { m_shape = shape; }
    const ColliderFlags& GetFlags() const { return m_flags; }
    ColliderFlags& Flags() { return m_flags; }
    u16 GetVolumeMethod() const { return m_volumeMethod; }
    void SetVolumeMethod(u16 method) { m_volumeMethod = method; }
    float GetScale() const { return m_scale; }
    void SetScale(float scale) { m_scale = scale; }
    const Vec3& GetOffset() const { return m_offset; }
    void SetOffset(const Vec3& offset) { m_offset = offset; }
    // Ids already paired with this collider in the current detection pass.
    std::vector<u32>& PairList() { return m_pairs; }

    // The text forms: "SPHERE" is 1, any other text 0; the method names map
    // to their values, and any other text answers false.
    static u32 ShapeFromName(const std::string& name);
    static const char* ShapeToName(u32 shape);
    static bool VolumeMethodFromName(const std::string& name, u16& method);

private:
    BoundingVolume m_volume;
    u32 m_shape = kShapeBox;
    std::vector<u32> m_pairs;
    ColliderFlags m_flags;
    u16 m_volumeMethod = kVolumeDefault;
    float m_scale = 1.0f;
    Vec3 m_offset{0.0f, 0.0f, 0.0f};
    TransformComponent* m_transform = nullptr;
    // What the serializer reads "ShapeName" and "VolumeMethod" into. Members,
    // not locals, so a serializer that keeps the address it was given never
    // holds a dangling one; always empty when writing, so neither is written.
    std::string m_shapeNameText;
    std::string m_volumeMethodText;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::CollisionComponent);
