#pragma once
// A trap that hurts the player on every contact ('datC'): it sends the
// player "DamagePlayer"("Damage", "Cooldown"), whose damage action decides
// whether the hit lands, then "KnockbackPlayer" pushing the player 25 units
// away from the trap along the dominant horizontal axis (z on a tie; a
// player right above the trap's centre is not pushed). Other objects are
// ignored. No actions and no state of its own.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class DamageTrapComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("datC");
    static constexpr f32 kPush = 25.0f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollisionData(Ostrel::CollisionData* contact);

    f32 GetDamage() const { return m_damage; }
    f32 GetCooldown() const { return m_cooldown; }

private:
    f32 m_damage = 10.0f;
    f32 m_cooldown = 0.5f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::DamageTrapComponent);
