#include "engine/components/AimerComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/TransformComponent.h"
#include "engine/components/VisualLookup.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

#include <cmath>

LV_REFLECT_CLASS(Ostrel::AimerComponent);

namespace Ostrel {

void AimerComponent::Initialize() {
    if (!m_texture) m_texture = FindTextureByName(m_textureId);
}

void AimerComponent::SetLook(const std::string& textureId, f32 scaleX, f32 scaleZ, f32 adjustRadius) {
    m_textureId = textureId;
    m_texture = FindTextureByName(m_textureId);
    m_scale = Vec3(scaleX, scaleZ, 1.0f);
    m_adjustRadius = adjustRadius;
}

Component* AimerComponent::Clone() const {
    auto* copy = NewComponentOf<AimerComponent>();
    if (!copy) return nullptr;
    copy->m_scale = m_scale;
    copy->m_textureId = m_textureId;
    copy->m_texture = m_texture;
    copy->m_adjustRadius = m_adjustRadius;
    copy->m_rotationY = m_rotationY;
    copy->m_direction = m_direction;
    return copy;
}

void AimerComponent::Serialize(Serializer* s) {
    s->SerializeString("TextureID", &m_textureId);
    s->SerializeFloat("AdjustRadius", &m_adjustRadius);
    s->SerializeFloat("ScaleX", &m_scale.x);
    s->SerializeFloat("ScaleZ", &m_scale.y);
    s->SerializeFloat("RotationY", &m_rotationY);
    s->SerializeFloat("DirectionX", &m_direction.x);
    s->SerializeFloat("DirectionY", &m_direction.y);
    s->SerializeFloat("DirectionZ", &m_direction.z);
}

void AimerComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddString("TextureID", &m_textureId, false);
    panel->AddFloat("AdjustRadius", &m_adjustRadius, false);
    panel->AddFloat("ScaleX", &m_scale.x, false);
    panel->AddFloat("ScaleZ", &m_scale.y, false);
}

Variant AimerComponent::ToVariant() { return Variant(this); }

Vec3 AimerComponent::GetAimPoint() {
    const Vec3& d = m_direction;
    const float squared = d.x * d.x + d.y * d.y + d.z * d.z;
    if (squared != 0.0f && squared != 1.0f) m_direction = m_direction * (1.0f / std::sqrt(squared));
    const TransformComponent* transform = GetOwner() ? GetTransform() : nullptr;
    const Vec3 origin = transform ? transform->GetPosition() : Vec3();
    return origin + m_direction * m_adjustRadius + Vec3(0.0f, kHeight, 0.0f);
}

}  // namespace Ostrel
