#pragma once
// A thrown missile that hurts the player ('proC'). Whoever throws it makes
// the object and gives it a velocity; the projectile only answers contacts.
//
// A contact counts when the other object is the player, or carries a
// collider that resolves against dynamic objects ("ResolveWithDynamics"). The
// first counted contact with anything but another projectile or the fox boss
// ('fboC') spends the projectile: it sends the local "ObjectDead" on its own
// object, stops (unless "Rolling") and is removed, at once or after
// "LifeTimeAfterCollision" seconds. A contact with the player, spent or not,
// sends the player "DamagePlayer"("Damage", "Cooldown") and then
// "KnockbackPlayer": the horizontal way from the projectile to the player,
// normalised, with y 0.4, times "Knockback". A spent projectile that does not
// roll ignores every later contact; a rolling one keeps hurting the player
// (the player's damage cool-down spaces the hits).

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class ProjectileComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("proC");
    static constexpr f32 kKnockbackLift = 0.4f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollisionData(Ostrel::CollisionData* contact);

    bool HasCollided() const { return m_hasCollided; }
    f32 GetDamage() const { return m_damage; }
    f32 GetCooldown() const { return m_cooldown; }
    f32 GetLifeTimeAfterCollision() const { return m_lifeTimeAfterCollision; }
    bool IsRolling() const { return m_rolling; }
    f32 GetKnockback() const { return m_knockback; }

private:
    void Spend();
    void HurtPlayer(Ostrel::Composition& player);

    f32 m_damage = 10.0f;
    f32 m_cooldown = 0.5f;
    f32 m_lifeTimeAfterCollision = 0.0f;
    bool m_hasCollided = false;
    bool m_rolling = false;
    f32 m_knockback = 0.0f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::ProjectileComponent);
