#include "game/objects/PlayerTriggerComponent.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"
#include "game/common/GameSupport.h"

LV_REFLECT_CLASS(Vandle::PlayerTriggerComponent);

namespace Vandle {

using namespace Ostrel;

void PlayerTriggerComponent::Initialize() {
    CoreSystem* core = GameCore();
    if (!m_listeners.IsEmpty() || !core || !IsOwnerLive(*this)) return;
    m_listeners.Listen(*GetOwner(), "CollisionData", MakeDelegate(this, &PlayerTriggerComponent::OnCollisionData));
    m_globals.Listen("DeactivateLeftOf", MakeDelegate(this, &PlayerTriggerComponent::OnDeactivateLeftOf));
}

void PlayerTriggerComponent::Uninitialize() {
    m_listeners.UnlistenAll();
    m_globals.Clear();
}

Component* PlayerTriggerComponent::Clone() const {
    auto* copy = NewComponentOf<PlayerTriggerComponent>();
    if (!copy) return nullptr;
    copy->m_triggerId = m_triggerId;
    copy->m_numUses = m_numUses;
    return copy;
}

void PlayerTriggerComponent::Serialize(Serializer* s) {
    s->SerializeInt("TriggerId", &m_triggerId);
    s->SerializeInt("NumUses", &m_numUses);
    if (s->IsReading() && m_numUses < 0) {
        LogErrorf("player trigger %d: NumUses %d is negative; taken as 0 (never fires)\n", m_triggerId, m_numUses);
        m_numUses = 0;
    }
}

void PlayerTriggerComponent::ExposeProperties(TweakBarGroup* panel) {
    AddIntField<PlayerTriggerComponent, &PlayerTriggerComponent::GetTriggerId,
                &PlayerTriggerComponent::SetTriggerId>(panel, "TriggerId", this);
    AddIntField<PlayerTriggerComponent, &PlayerTriggerComponent::GetNumUses, &PlayerTriggerComponent::SetNumUses>(
        panel, "NumUses", this);
}

Variant PlayerTriggerComponent::ToVariant() { return Variant(this); }

void PlayerTriggerComponent::OnCollisionData(CollisionData* contact) {
    ObjectManager* objects = CurrentObjectManager();
    const Composition* other = objects && contact ? objects->GetObject(contact->other) : nullptr;
    if (!other || !other->GetComponent(kPlayerTypeId)) return;
    if (m_numUses <= 0) return;
    // The use is spent before the send, so a listener that leads to another
    // contact report during the send cannot fire the same use twice.
    --m_numUses;
    const int id = m_triggerId;
    if (CoreSystem* core = GameCore()) core->SendMessageInt("TriggerActivated", id);
}

void PlayerTriggerComponent::OnDeactivateLeftOf(Vec3 point) {
    const TransformComponent* transform = GetTransform();
    if (transform && point.x + 0.001f > transform->GetPosition().x) m_numUses = 0;
}

}  // namespace Vandle
