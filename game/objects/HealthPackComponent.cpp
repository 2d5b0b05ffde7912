#include "game/objects/HealthPackComponent.h"

#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"
#include "game/common/PlayerLookup.h"

LV_REFLECT_CLASS(Vandle::HealthPackComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

const char kEffectArchetype[] = "healthpack-fx";

}  // namespace

void HealthPackComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    m_listeners.Listen(*GetOwner(), "CollisionData", MakeDelegate(this, &HealthPackComponent::OnCollisionData));
    if (m_dieOnUse) return;
    const TransformComponent* own = GetTransform();
    Composition* effect = CreateGameObject(kEffectArchetype, nullptr, "HealthPackComponent");
    if (!effect) return;
    effect->SetSaveFlag(false);
    if (TransformComponent* at = effect->GetTransform(); at && own) at->SetPosition(own->GetPosition());
    m_effectId = effect->GetId();
}

void HealthPackComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* HealthPackComponent::Clone() const {
    auto* copy = NewComponentOf<HealthPackComponent>();
    if (!copy) return nullptr;
    copy->m_healAmount = m_healAmount;
    copy->m_healIsPercent = m_healIsPercent;
    copy->m_dieOnUse = m_dieOnUse;
    copy->m_percentSettled = m_percentSettled;
    return copy;
}

void HealthPackComponent::Serialize(Serializer* s) {
    s->SerializeBool("DieOnUse", &m_dieOnUse);
    s->SerializeFloat("HealAmount", &m_healAmount);
    const bool percentRead = s->SerializeBool("HealIsPercent", &m_healIsPercent);
    if (!s->IsReading()) return;
    if (!percentRead && !m_percentSettled) m_healIsPercent = m_healAmount <= 1.0f;
    m_percentSettled = true;
}

void HealthPackComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("HealAmount", &m_healAmount, false);
    panel->AddBool("HealIsPercent", &m_healIsPercent, false);
    panel->AddBool("DieOnUse", &m_dieOnUse, false);
}

Variant HealthPackComponent::ToVariant() { return Variant(this); }

void HealthPackComponent::OnCollisionData(CollisionData* contact) {
    if (!m_available || !contact || !FindLivePlayer(contact->other)) return;
    // Spent before anything is sent, so a contact reported meanwhile cannot
    // heal twice.
    m_available = false;
    const u32 playerId = contact->other;
    const u32 self = GetOwnerId();
    GetOwner()->Send("TriggerFired");
    PlayGameSound("powerup-health-sfx");
    SendObjectMessageFloatBool(FindLivePlayer(playerId), "Heal", m_healAmount, m_healIsPercent);
    if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(m_dieOnUse ? self : m_effectId);
}

}  // namespace Vandle
