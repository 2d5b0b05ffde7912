#include "game/objects/GoalComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"
#include "game/common/GameSupport.h"
#include "game/common/PlayerLookup.h"

LV_REFLECT_CLASS(Vandle::GoalComponent);

namespace Vandle {

using namespace Ostrel;

void GoalComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !GetOwner() || GetOwnerId() == 0) return;
    m_listeners.Listen(*GetOwner(), "CollisionData", MakeDelegate(this, &GoalComponent::OnCollisionData));
}

void GoalComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* GoalComponent::Clone() const { return NewComponentOf<GoalComponent>(); }

Variant GoalComponent::ToVariant() { return Variant(this); }

void GoalComponent::OnCollisionData(CollisionData* contact) {
    if (!contact || m_reached || !FindLivePlayer(contact->other)) return;
    m_reached = true;
    if (CoreSystem* core = GameCore()) core->Send("GoalReached");
}

}  // namespace Vandle
