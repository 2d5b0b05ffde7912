#pragma once
// The charging yak ('emyC'). It has no loop of its own: when its object
// starts it fills the brain with the charger brain ('brai'), a seek at
// "speed", the damage and knockback receivers ('dama', 'knoc'), a red flash
// ('flas'), an animation step that leaves the bind pose and a spawn block of
// "WaitTime" in lane 0. The brain runs the newest first, so the block holds
// the seek and the bind-pose step until it ends while the other lanes run
// from the first frame. The charge speed is "speed" x "ChargeSpeedModifier"
// as it stood then; the editor's "speed" changes only the seek, live.
//
// Touching the player pushes it along the yak's travel by 60 (not at rest)
// and sends "DamagePlayer"(5, 0.5) with "light-thud-sfx". Death plays
// "yak-death-sfx", leaves a "yak-fx-obj" at its position and destroys the
// yak. "FinishedSpawning" places "SpawnEffect" at the yak.

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

class EnemyComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("emyC");
    static constexpr f32 kKnockback = 60.0f;
    static constexpr f32 kContactDamage = 5.0f;
    static constexpr f32 kContactCoolDown = 0.5f;

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

    f32 GetSpeed() const { return m_speed; }
    // Stores the speed and hands it to the running seek.
    void SetSpeed(f32 speed);
    f32 GetWaitTime() const { return m_waitTime; }
    const std::string& GetSpawnEffect() const { return m_spawnEffect; }

private:
    std::string m_spawnEffect = "yak-fx-obj";
    f32 m_speed = 7.0f;
    f32 m_waitTime = 0.5f;
    f32 m_chargeWaitTime = 0.5f;
    f32 m_chargeChance = 0.3f;
    f32 m_chargeTime = 1.0f;
    f32 m_chargeSpeedModifier = 2.0f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::EnemyComponent);
