#pragma once
// The companion's shield: while the attack key is held it circles the
// player fast and wide (an OrbitAction of radius 25 and speed 20) and bobs
// 3 above the player (a BobAction of amplitude 5.5 and frequency 4), both in
// the lane 'shld' under ids from Engine::NextUniqueId and listening for
// "TerminateAction", so the shield ends exactly those two while the
// companion's own bob and orbit (held back in lane 0 meanwhile) run on
// afterwards. Its collider is refitted at three times the companion's
// scale, it does not resolve against statics (it sweeps through walls) and a
// "shield-attack-fx" rides on it.
//
// Every 0.32 s it charges the player one more unit of energy: the global
// "LockTutorial"("use-shield"), then "FinishedAttack" and "StartedAttack" on
// the companion (the companion has the player check and spend its energy).
// The companion's attacking flag stays set during these charges, and the
// return action starts no return flight on a "FinishedAttack" while it is
// set, so the shield keeps running through them.
//
// The owner's "StopAttack" (the key was released) or any global
// "PlayerAttackChanged" (among others the energy running out) ends the
// shield at its next update: "TerminateAction" for its orbit and its bob,
// the attacking flag cleared, "FinishedAttack" (the companion flies back)
// and "TransformUpdated" (the collider shrinks back). The effect is
// destroyed and "ResolveWithStatics" turned back on when the action ends,
// however it ends.
//
// Every contact gets "DamageEnemy"(50, 0.2) and a horizontal push of 100
// away from the companion ("KnockbackEnemy"); one right at the companion's
// horizontal position is hurt but not pushed.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/platform/SubscriptionList.h"
#include "game/player/QilAttackSupport.h"

#include <string>

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

class ShieldAttackAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kChargeInterval = 0.32f;
    static constexpr f32 kBobAmplitude = 5.5f;
    static constexpr f32 kBobFrequency = 4.0f;
    static constexpr f32 kBobOffset = 3.0f;
    static constexpr f32 kOrbitRadius = 25.0f;
    static constexpr f32 kOrbitSpeed = 20.0f;
    static constexpr f32 kColliderScale = 3.0f;
    static constexpr f32 kDamage = 50.0f;
    static constexpr f32 kDamageCoolDown = 0.2f;
    static constexpr f32 kKnockback = 100.0f;

    explicit ShieldAttackAction(u32 playerId) : m_playerId(playerId) {}

    void SetAttackingFlag(const QilAttackFlag& flag) { m_attackingFlag = flag; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnCollision(Ostrel::CollisionData* contact);
    void OnStopAttack() { m_active = false; }
    void OnPlayerAttackChanged(std::string*) { m_active = false; }

    bool IsActive() const { return m_active; }
    u32 GetBobActionId() const { return m_bobActionId; }
    u32 GetOrbitActionId() const { return m_orbitActionId; }
    u32 GetEffectId() const { return m_effectId; }

private:
    void StartMotion(Ostrel::Composition& owner);
    void TerminateMotion(Ostrel::Composition& owner);

    bool m_active = true;
    u32 m_bobActionId = 0;
    u32 m_orbitActionId = 0;
    u32 m_playerId;
    u32 m_effectId = 0;
    QilAttackFlag m_attackingFlag;
    f32 m_timer = 0.0f;
    bool m_motionEnded = false;
    Ostrel::OwnerListeners m_listeners;
    Ostrel::SubscriptionList m_globals;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::ShieldAttackAction);
