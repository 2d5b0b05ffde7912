#include "engine/components/StaticBillboardComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/components/VisualLookup.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::StaticBillboardComponent);

namespace Ostrel {

void StaticBillboardComponent::Initialize() { m_texture = FindTextureByName(m_textureName); }

Component* StaticBillboardComponent::Clone() const {
    auto* copy = NewComponentOf<StaticBillboardComponent>();
    if (!copy) return nullptr;
    copy->m_textureName = m_textureName;
    copy->m_texture = m_texture;
    copy->m_scale = m_scale;
    copy->m_adjust = m_adjust;
    copy->m_rotation = m_rotation;
    return copy;
}

void StaticBillboardComponent::Serialize(Serializer* s) {
    s->SerializeString("TextureName", &m_textureName);
    s->SerializeFloat("ScaleX", &m_scale.x);
    s->SerializeFloat("ScaleY", &m_scale.y);
    s->SerializeFloat("AdjustX", &m_adjust.x);
    s->SerializeFloat("AdjustY", &m_adjust.y);
    s->SerializeFloat("AdjustZ", &m_adjust.z);
    s->SerializeFloat("Rotation", &m_rotation);
}

void StaticBillboardComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddString("TextureName", &m_textureName, false);
    panel->AddFloat("ScaleX", &m_scale.x, false);
    panel->AddFloat("ScaleY", &m_scale.y, false);
    panel->AddFloat("ScaleZ", &m_scale.z, false);
    panel->AddFloat("AdjustX", &m_adjust.x, false);
    panel->AddFloat("AdjustY", &m_adjust.y, false);
    panel->AddFloat("AdjustZ", &m_adjust.z, false);
    panel->AddFloat("Rotation", &m_rotation, false);
}

Variant StaticBillboardComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
