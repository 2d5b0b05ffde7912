#pragma once
// The small burrowing enemy ('foxC'). It holds the fox's tuning and, when
// its object starts, hands it to the actions that do the work: the fox's
// brain (FoxAIAction: tunnelling legs around the player and surfacing) and
// two rubble throwers (ThrowRubbleAction), then the damage receiver
// ('dama') and a red flash ('flas').
//
// "ProjectileInnerAngle" is read into both the inner and the outer angle (an
// archetype that gives it throws at exactly that tilt; without it the tilts
// lie between 0 and 75 degrees), and the panel labels the cooldown range
// "ProjectileCooldownRange_": stored files rely on both.
//
// Touching the player (only possible above ground: the AI turns the fox's
// collision with dynamic bodies off while it tunnels) pushes the player away
// by 50 (not when they stand on the same point) and sends "DamagePlayer"(1,
// 1) with "light-thud-sfx". Death destroys the fox with "fox-death-sfx" and
// its "DeathEffect"; "FinishedSpawning" places "SpawnEffect" with
// "fox-spawn-sfx".

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class FoxComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("foxC");
    static constexpr f32 kKnockback = 50.0f;
    static constexpr f32 kContactDamage = 1.0f;
    static constexpr f32 kContactCoolDown = 1.0f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollision(Ostrel::CollisionData* contact);
    void OnObjectDead();
    void OnFinishedSpawning();

    f32 GetProjectileInnerAngle() const { return m_projectileInnerAngle; }
    f32 GetProjectileOuterAngle() const { return m_projectileOuterAngle; }
    f32 GetProjectileCooldownRange() const { return m_projectileCooldownRange; }
    const std::string& GetSpawnEffect() const { return m_spawnEffect; }

private:
    void AddActions();
    void CreateEffect(const std::string& archetype);

    f32 m_tunnelingSpeed = 10.0f;
    f32 m_travelTime = 1.0f;
    f32 m_maxTurnAngle = 90.0f;
    f32 m_workTime = 10.0f;
    f32 m_breakLength = 2.0f;
    f32 m_circleWeight = 0.5f;
    f32 m_circleDistance = 20.0f;
    f32 m_projectileSpeed = 30.0f;
    f32 m_projectileSpeedRange = 5.0f;
    f32 m_projectileCooldown = 0.5f;
    f32 m_projectileCooldownRange = 0.3f;
    f32 m_projectileInnerAngle = 0.0f;
    f32 m_projectileOuterAngle = 75.0f;
    std::string m_projectileName = "fox-projectile-obj";
    std::string m_deathEffect = "yak-fx-obj";
    std::string m_spawnEffect = "yak-fx-obj";
    f32 m_digUpAnimLength = 1.0f;
    f32 m_lookAroundAnimLength = 5.625f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FoxComponent);
