#include "engine/components/TransparentPlaneComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/components/VisualLookup.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::TransparentPlaneComponent);

namespace Ostrel {

void TransparentPlaneComponent::Initialize() {
    if (!m_texture) m_texture = FindTextureByName(m_textureId);
}

Component* TransparentPlaneComponent::Clone() const {
    auto* copy = NewComponentOf<TransparentPlaneComponent>();
    if (!copy) return nullptr;
    copy->m_textureId = m_textureId;
    copy->m_texture = m_texture;
    copy->m_adjust = m_adjust;
    copy->m_scale = m_scale;
    copy->m_rotationY = m_rotationY;
    return copy;
}

void TransparentPlaneComponent::Serialize(Serializer* s) {
    s->SerializeString("TextureID", &m_textureId);
    s->SerializeFloat("AdjustX", &m_adjust.x);
    s->SerializeFloat("AdjustY", &m_adjust.y);
    s->SerializeFloat("AdjustZ", &m_adjust.z);
    s->SerializeFloat("ScaleX", &m_scale.x);
    s->SerializeFloat("ScaleZ", &m_scale.y);
    s->SerializeFloat("RotationY", &m_rotationY);
    s->SerializeBool("IsImportant", &m_important);
}

void TransparentPlaneComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddString("TextureID", &m_textureId, false);
    panel->AddFloat("AdjustX", &m_adjust.x, false);
    panel->AddFloat("AdjustY", &m_adjust.y, false);
    panel->AddFloat("AdjustZ", &m_adjust.z, false);
    panel->AddFloat("ScaleX", &m_scale.x, false);
    panel->AddFloat("ScaleZ", &m_scale.y, false);
    panel->AddFloat("RotationY", &m_rotationY, false);
}

Variant TransparentPlaneComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
