#include "game/objects/HealthComponent.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Vandle::HealthComponent);

namespace Vandle {

using namespace Ostrel;

void HealthComponent::Initialize() {
    if (!IsOwnerLive(*this)) return;
    m_previousHealth = m_health;
    if (!(m_totalHealth > 0.0f)) {
        LogErrorf("HealthComponent: object %u ('%s'): TotalHealth %g is not above 0; health changes report "
                  "a fraction of 0 or 1\n",
                  GetOwnerId(), GetOwner()->GetName().c_str(), double(m_totalHealth));
    }
    if (!m_listeners.IsEmpty()) return;
    m_listeners.Listen(*GetOwner(), "TakeDamage", MakeDelegate(this, &HealthComponent::OnTakeDamage));
    m_listeners.Listen(*GetOwner(), "Heal", MakeDelegate(this, &HealthComponent::OnHeal));
}

void HealthComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* HealthComponent::Clone() const {
    auto* copy = NewComponentOf<HealthComponent>();
    if (!copy) return nullptr;
    copy->m_health = m_health;
    copy->m_totalHealth = m_totalHealth;
    return copy;
}

void HealthComponent::Serialize(Serializer* s) {
    const bool healthRead = s->SerializeFloat("Health", &m_health);
    const bool totalRead = s->SerializeFloat("TotalHealth", &m_totalHealth);
    // Every read, the archetype's and a room's over its copy alike: a
    // "Health" without "TotalHealth" gives a full bar of that size.
    if (s->IsReading() && healthRead && !totalRead) m_totalHealth = m_health;
}

void HealthComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("Health", &m_health, false);
    panel->AddFloat("TotalHealth", &m_totalHealth, false);
}

Variant HealthComponent::ToVariant() { return Variant(this); }

f32 HealthComponent::GetFraction() const {
    if (m_totalHealth > 0.0f) return m_health / m_totalHealth;
    return m_health > 0.0f ? 1.0f : 0.0f;
}

void HealthComponent::OnTakeDamage(f32 damage) {
    m_previousHealth = m_health;
    m_health -= damage;
    if (m_health > m_totalHealth) m_health = m_totalHealth;
    if (m_health <= 0.0f && m_previousHealth > 0.0f) {
        if (Composition* owner = GetOwner()) owner->Send("ObjectDead");
        return;
    }
    SendHealthChanged();
}

void HealthComponent::OnHeal(f32 amount, bool isPercent) {
    m_previousHealth = m_health;
    if (isPercent) amount *= m_totalHealth;
    m_health += amount;
    if (m_health > m_totalHealth) m_health = m_totalHealth;
    SendHealthChanged();
}

void HealthComponent::SendHealthChanged() {
    const f32 fraction = GetFraction();
    SendObjectMessageFloat(GetOwner(), "HealthChanged", fraction);
}

}  // namespace Vandle
