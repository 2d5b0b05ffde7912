#include "engine/components/ShadowComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::ShadowComponent);

namespace Ostrel {

Component* ShadowComponent::Clone() const {
    auto* copy = NewComponentOf<ShadowComponent>();
    if (!copy) return nullptr;
    copy->m_scale = m_scale;
    copy->m_visible = m_visible;
    return copy;
}

void ShadowComponent::Serialize(Serializer* s) {
    s->SerializeFloat("ScaleX", &m_scale.x);
    s->SerializeFloat("ScaleZ", &m_scale.y);
    s->SerializeBool("Visible", &m_visible);
}

void ShadowComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("ScaleX", &m_scale.x, false);
    panel->AddFloat("ScaleZ", &m_scale.y, false);
    panel->AddBool("Visible", &m_visible, false);
}

Variant ShadowComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
