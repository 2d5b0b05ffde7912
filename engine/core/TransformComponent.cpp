#include "engine/core/TransformComponent.h"

#include "engine/base/Serializer.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Ostrel::TransformComponent);

namespace Ostrel {

namespace {

// The editor's panel edits rotation and scale through callbacks so that every
// change is announced (position edits are plain and announce nothing).
// Indices 0..2 are the rotation axes, 3..5 the scale axes.
struct AxisField {
    const char* key;
    float Vec3::*axis;
};

const AxisField kCallbackFields[] = {
    {"RotX", &Vec3::x}, {"RotY", &Vec3::y}, {"RotZ", &Vec3::z},
    {"ScaX", &Vec3::x}, {"ScaY", &Vec3::y}, {"ScaZ", &Vec3::z},
};

template <int Index>
float& CallbackValue(TransformComponent* transform) {
    Vec3& v = Index < 3 ? transform->Rotation() : transform->Scale();
    return v.*(kCallbackFields[Index].axis);
}

template <int Index>
void SetCallbackValue(const void* value, void* clientData) {
    auto* transform = static_cast<TransformComponent*>(clientData);
    CallbackValue<Index>(transform) = *static_cast<const float*>(value);
    transform->NotifyUpdated();
}

template <int Index>
void GetCallbackValue(void* value, void* clientData) {
    *static_cast<float*>(value) = CallbackValue<Index>(static_cast<TransformComponent*>(clientData));
}

template <int Index>
void AddCallbackField(TweakBarGroup* panel, TransformComponent* transform) {
    panel->AddCallbackVar(kCallbackFields[Index].key, kTweakFloat, &SetCallbackValue<Index>,
                          &GetCallbackValue<Index>, transform);
}

}  // namespace

Component* TransformComponent::Clone() const {
    CompositionFactory* factory = CompositionFactory::Instance();
    auto* copy = factory ? static_cast<TransformComponent*>(factory->CreateComponent(kTypeId)) : nullptr;
    if (!copy) return nullptr;
    copy->m_position = m_position;
    copy->m_rotation = m_rotation;
    copy->m_scale = m_scale;
    return copy;
}

void TransformComponent::Serialize(Serializer* s) {
    s->SerializeFloat("PosX", &m_position.x);
    s->SerializeFloat("PosY", &m_position.y);
    s->SerializeFloat("PosZ", &m_position.z);
    s->SerializeFloat("RotX", &m_rotation.x);
    s->SerializeFloat("RotY", &m_rotation.y);
    s->SerializeFloat("RotZ", &m_rotation.z);
    s->SerializeFloat("ScaX", &m_scale.x);
    s->SerializeFloat("ScaY", &m_scale.y);
    s->SerializeFloat("ScaZ", &m_scale.z);
}

void TransformComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("PosX", &m_position.x, false);
    panel->AddFloat("PosY", &m_position.y, false);
    panel->AddFloat("PosZ", &m_position.z, false);
    AddCallbackField<0>(panel, this);
    AddCallbackField<1>(panel, this);
    AddCallbackField<2>(panel, this);
    AddCallbackField<3>(panel, this);
    AddCallbackField<4>(panel, this);
    AddCallbackField<5>(panel, this);
}

Variant TransformComponent::ToVariant() {
    return Variant(this);
}

void TransformComponent::NotifyUpdated() {
    Composition* owner = GetOwner();
    if (!owner) return;
    owner->Send("TransformUpdated");
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (!core) return;
    core->SendMessageUInt("TransformUpdated", owner->GetId());
}

}  // namespace Ostrel
