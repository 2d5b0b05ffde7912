#pragma once
// Hit points of anything that can be hurt and can die ('helC'): the player,
// enemies, bosses, destructible things. It is the one place where damage and
// healing are applied, and it decides nothing about death itself: the local
// "TakeDamage"(damage) and "Heal"(amount, isPercent) become the local
// "HealthChanged"(fraction of the total) or, on the one blow that takes
// health from above 0 to 0 or less, "ObjectDead" alone. The object's other
// components react to those two.
//
// Health is clamped to the total from above only; it may fall below 0 and
// stays there until healed. Keys "Health" and "TotalHealth"; an archetype
// that gives only "Health" gets a full bar of that size.
//
// A total of 0 or less (bad data) never reaches listeners as a non-finite
// fraction: the fraction is then 0 while health is 0 or less and 1 above,
// and the object logs the bad total once when it starts.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class HealthComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("helC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnTakeDamage(f32 damage);
    void OnHeal(f32 amount, bool isPercent);

    f32 GetHealth() const { return m_health; }
    // Sets the health without any message (a boss cutting a blow at a
    // threshold); the next blow is measured from it.
    void SetHealth(f32 health) { m_health = health; }
    f32 GetPreviousHealth() const { return m_previousHealth; }
    f32 GetTotalHealth() const { return m_totalHealth; }
    // health / total, or 0 / 1 when the total is not above 0.
    f32 GetFraction() const;

private:
    void SendHealthChanged();

    f32 m_health = 100.0f;
    f32 m_previousHealth = 100.0f;
    f32 m_totalHealth = 100.0f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::HealthComponent);
