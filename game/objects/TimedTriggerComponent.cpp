#include "game/objects/TimedTriggerComponent.h"

#include "engine/actions/StartOnBrain.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "game/objects/TimedTriggerAction.h"

LV_REFLECT_CLASS(Vandle::TimedTriggerComponent);

namespace Vandle {

using namespace Ostrel;

void TimedTriggerComponent::Initialize() {
    if (!IsOwnerLive(*this)) return;
    auto* action = new TimedTriggerAction;
    action->SetPeriod(m_repeatTime);
    StartOnBrain(*this, "TimedTriggerComponent", action);
}

Component* TimedTriggerComponent::Clone() const {
    auto* copy = NewComponentOf<TimedTriggerComponent>();
    if (copy) copy->m_repeatTime = m_repeatTime;
    return copy;
}

void TimedTriggerComponent::Serialize(Serializer* s) { s->SerializeFloat("RepeatTime", &m_repeatTime); }

void TimedTriggerComponent::ExposeProperties(TweakBarGroup* panel) {
    TweakBarSetter setter = [](const void* value, void* client) {
        static_cast<TimedTriggerComponent*>(client)->SetRepeatTime(*static_cast<const f32*>(value));
    };
    TweakBarGetter getter = [](void* value, void* client) {
        *static_cast<f32*>(value) = static_cast<const TimedTriggerComponent*>(client)->GetRepeatTime();
    };
    panel->AddCallbackVar("RepeatTime", kTweakFloat, setter, getter, this);
}

Variant TimedTriggerComponent::ToVariant() { return Variant(this); }

void TimedTriggerComponent::SetRepeatTime(f32 seconds) {
    m_repeatTime = seconds;
    const f32 period = m_repeatTime;
    if (GetOwner()) SendObjectMessageFloat(GetOwner(), "UpdateTimedTriggerAction", period);
}

}  // namespace Vandle
