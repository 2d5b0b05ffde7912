#include "game/bosses/FoxTileComponent.h"

#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Vandle::FoxTileComponent);

namespace Vandle {

using namespace Ostrel;

Component* FoxTileComponent::Clone() const {
    auto* copy = NewComponentOf<FoxTileComponent>();
    if (!copy) return nullptr;
    copy->m_minAngle = m_minAngle;
    copy->m_maxAngle = m_maxAngle;
    return copy;
}

void FoxTileComponent::Serialize(Serializer* s) {
    s->SerializeFloat("MinAngle", &m_minAngle);
    s->SerializeFloat("MaxAngle", &m_maxAngle);
}

void FoxTileComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("MinAngle", &m_minAngle, false);
    panel->AddFloat("MaxAngle", &m_maxAngle, false);
}

Variant FoxTileComponent::ToVariant() { return Variant(this); }

}  // namespace Vandle
