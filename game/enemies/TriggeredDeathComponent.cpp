#include "game/enemies/TriggeredDeathComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/MetaClass.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Vandle::TriggeredDeathComponent);

namespace Vandle {

using namespace Ostrel;

void TriggeredDeathComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !GetOwner() || GetOwnerId() == 0) return;
    m_listeners.Listen(*GetOwner(), "TriggerFired", MakeDelegate(this, &TriggeredDeathComponent::OnTriggerFired));
}

void TriggeredDeathComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* TriggeredDeathComponent::Clone() const {
    return static_cast<TriggeredDeathComponent*>(MetaClassOf<TriggeredDeathComponent>()->New());
}

Variant TriggeredDeathComponent::ToVariant() { return Variant(this); }

void TriggeredDeathComponent::OnTriggerFired() {
    if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(GetOwnerId());
}

}  // namespace Vandle
