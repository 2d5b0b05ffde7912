#include "engine/components/CollisionComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/MeshLookup.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"
#include "engine/base/Log.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::CollisionComponent);

namespace Ostrel {

namespace {

const char* const kVolumeMethodNames[] = {"DEFAULT", "AVERAGE", "MINIMUM", "MAXIMUM"};

// Editor fields: "ShapeName" refits after a change, "Shape" does not.
void SetShapeName(const void* value, void* clientData) {
    auto* collider = static_cast<CollisionComponent*>(clientData);
    collider->SetShape(CollisionComponent::ShapeFromName(*static_cast<const std::string*>(value)));
    collider->FitVolume();
}

void GetShapeName(void* value, void* clientData) {
    *static_cast<std::string*>(value) =
        CollisionComponent::ShapeToName(static_cast<CollisionComponent*>(clientData)->GetShape());
}

void SetShapeField(const void* value, void* clientData) {
    static_cast<CollisionComponent*>(clientData)->SetShape(static_cast<u32>(*static_cast<const int*>(value)));
}

void GetShapeField(void* value, void* clientData) {
    *static_cast<int*>(value) = static_cast<int>(static_cast<CollisionComponent*>(clientData)->GetShape());
}

}  // namespace

u32 CollisionComponent::ShapeFromName(const std::string& name) {
    return name == "SPHERE" ? kShapeSphere : kShapeBox;
}

const char* CollisionComponent::ShapeToName(u32 shape) {
    return shape == kShapeSphere ? "SPHERE" : "BOX";
}

bool CollisionComponent::VolumeMethodFromName(const std::string& name, u16& method) {
    for (u16 i = 0; i < 4; ++i) {
        if (name == kVolumeMethodNames[i]) {
            method = i;
            return true;
        }
    }
    return false;
}

void CollisionComponent::Initialize() {
    FitVolume();
    if (!IsOwnerLive(*this)) return;
    Composition* owner = GetOwner();
    if (owner->GetMessageComponent()) {
        owner->Listen("TransformUpdated", MakeDelegate(this, &CollisionComponent::OnTransformUpdated));
    }
    m_transform = owner->GetTransform();
    if (!m_transform) {
        LogErrorf("CollisionComponent: object %u ('%s') has no TransformComponent; it takes no part in "
                  "collision\n",
                  owner->GetId(), owner->GetName().c_str());
    }
}

Component* CollisionComponent::Clone() const {
    auto* copy = NewComponentOf<CollisionComponent>();
    if (!copy) return nullptr;
    copy->m_volume = m_volume;
    copy->m_shape = m_shape;
    copy->m_pairs = m_pairs;
    copy->m_flags = m_flags;
    copy->m_volumeMethod = m_volumeMethod;
    copy->m_scale = m_scale;
    copy->m_offset = m_offset;
    return copy;
}

void CollisionComponent::Serialize(Serializer* s) {
    int shape = static_cast<int>(m_shape);
    if (s->SerializeInt("Shape", &shape)) m_shape = static_cast<u32>(shape);
    m_shapeNameText.clear();
    if (s->SerializeString("ShapeName", &m_shapeNameText) && !m_shapeNameText.empty()) {
        m_shape = ShapeFromName(m_shapeNameText);
    }
    s->SerializeBool("Static", &m_flags.isStatic);
    s->SerializeBool("CollideWithDynamics", &m_flags.collideWithDynamics);
    s->SerializeBool("CollideWithStatics", &m_flags.collideWithStatics);
    s->SerializeBool("ResolveWithDynamics", &m_flags.resolveWithDynamics);
    s->SerializeBool("ResolveWithStatics", &m_flags.resolveWithStatics);
    s->SerializeFloat("Scale", &m_scale);
    s->SerializeFloat("OffsetX", &m_offset.x);
    s->SerializeFloat("OffsetY", &m_offset.y);
    s->SerializeFloat("OffsetZ", &m_offset.z);
    m_volumeMethodText.clear();
    if (s->SerializeString("VolumeMethod", &m_volumeMethodText)) {
        VolumeMethodFromName(m_volumeMethodText, m_volumeMethod);
    }
    m_shapeNameText.clear();
    m_volumeMethodText.clear();
}

void CollisionComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddCallbackVar("ShapeName", kTweakString, &SetShapeName, &GetShapeName, this);
    panel->AddCallbackVar("Shape", kTweakInt, &SetShapeField, &GetShapeField, this);
    panel->AddBool("Static", &m_flags.isStatic, false);
    panel->AddBool("CollideWithDynamics", &m_flags.collideWithDynamics, false);
    panel->AddBool("CollideWithStatics", &m_flags.collideWithStatics, false);
    panel->AddBool("ResolveWithDynamics", &m_flags.resolveWithDynamics, false);
    panel->AddBool("ResolveWithStatics", &m_flags.resolveWithStatics, false);
    panel->AddFloat("Scale", &m_scale, false);
    panel->AddFloat("OffsetX", &m_offset.x, false);
    panel->AddFloat("OffsetY", &m_offset.y, false);
    panel->AddFloat("OffsetZ", &m_offset.z, false);
}

Variant CollisionComponent::ToVariant() { return Variant(this); }

void CollisionComponent::FitVolume() {
    Composition* owner = GetOwner();
    if (!owner) return;
    const TransformComponent* transform = owner->GetTransform();
    const Vec3 scale = transform ? transform->GetScale() : Vec3(1.0f, 1.0f, 1.0f);
    const auto* meshComponent = owner->GetComponentAs<MeshComponent>();
    MeshLookup* lookup = MeshLookup::Current();
    const Mesh* mesh = meshComponent && lookup ? lookup->FindMesh(meshComponent->GetMeshId()) : nullptr;
    if (!mesh) return;

    // Fitted into a copy so that a mesh without vertices leaves the volume
    // (and its kind) exactly as it was.
    BoundingVolume fitted = m_volume;
    fitted.kind = m_shape;
    if (BoundsOfPoints(fitted, lookup->GetVertexPositions(*mesh), scale, m_volumeMethod, m_scale, m_offset)) {
        m_volume = fitted;
    }
}

void CollisionComponent::OnTransformUpdated() { FitVolume(); }

Vec3 CollisionComponent::GetPosition() const {
    return m_transform ? m_transform->GetPosition() : Vec3(0.0f, 0.0f, 0.0f);
}

Vec3 CollisionComponent::GetMin() const {
    return GetPosition() + m_volume.centre - m_volume.size / 2.0f;
}

Vec3 CollisionComponent::GetMax() const {
    return GetPosition() + m_volume.centre + m_volume.size / 2.0f;
}

}  // namespace Ostrel
