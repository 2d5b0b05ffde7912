#include "engine/actions/TimedLifeComponent.h"

#include "engine/actions/StartOnBrain.h"
#include "engine/actions/TimedLifeAction.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::TimedLifeComponent);

namespace Ostrel {

void TimedLifeComponent::Initialize() {
    if (GetHandle() == 0) return;
    StartOnBrain(*this, "TimedLifeComponent", new TimedLifeAction(m_lifeTime));
}

Component* TimedLifeComponent::Clone() const {
    auto* copy = NewComponentOf<TimedLifeComponent>();
    if (copy) copy->m_lifeTime = m_lifeTime;
    return copy;
}

void TimedLifeComponent::Serialize(Serializer* s) { s->SerializeFloat("LifeTime", &m_lifeTime); }

void TimedLifeComponent::ExposeProperties(TweakBarGroup* panel) { panel->AddFloat("LifeTime", &m_lifeTime, false); }

Variant TimedLifeComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
