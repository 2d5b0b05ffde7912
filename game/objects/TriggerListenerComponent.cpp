#include "game/objects/TriggerListenerComponent.h"

#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "game/common/GameSupport.h"

LV_REFLECT_CLASS(Vandle::TriggerListenerComponent);

namespace Vandle {

using namespace Ostrel;

void TriggerListenerComponent::Initialize() {
    CoreSystem* core = GameCore();
    if (!m_globals.Empty() || !core || !IsOwnerLive(*this)) return;
    m_globals.Listen("TriggerActivated", MakeDelegate(this, &TriggerListenerComponent::OnTriggerActivated));
}

void TriggerListenerComponent::Uninitialize() {
    m_globals.Clear();
}

Component* TriggerListenerComponent::Clone() const {
    auto* copy = NewComponentOf<TriggerListenerComponent>();
    if (copy) copy->m_triggerId = m_triggerId;
    return copy;
}

void TriggerListenerComponent::Serialize(Serializer* s) { s->SerializeInt("TriggerId", &m_triggerId); }

void TriggerListenerComponent::ExposeProperties(TweakBarGroup* panel) {
    AddIntField<TriggerListenerComponent, &TriggerListenerComponent::GetTriggerId,
                &TriggerListenerComponent::SetTriggerId>(panel, "TriggerId", this);
}

Variant TriggerListenerComponent::ToVariant() { return Variant(this); }

void TriggerListenerComponent::OnTriggerActivated(int id) {
    if (id == m_triggerId && GetOwner()) GetOwner()->Send("TriggerFired");
}

}  // namespace Vandle
