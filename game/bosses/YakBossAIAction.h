#pragma once
// The yak boss's attack loop, in lane 0 of the boss's brain.
//
// Waiting: every step sends the local "ResetDamageTimer" (hits with a
// cool-down cannot land) and makes the boss visible and solid; the wait
// timer runs down, the head shake starts as it passes the length of
// "yak-headshake-anim", and at 0 the boss charges along its facing: an
// EnemyChargeAction of 10 s at "ChargeSpeed", ended by id. The charge,
// blocking lane 0, holds the AI (and the boss's turning) while it runs.
//
// A charge meeting the player stops (no stun). Meeting level geometry
// ('lgeo') whose centre lies strictly below the boss's centre is floor: its
// id is remembered and skipped from then on. Any other level geometry is a
// wall: "CameraShake"(0.5, 100, 3), a rain of projectiles from the arena's
// top around the player, the charge stops, "yak-slam-sfx", and a stun of
// two blocks of "StunTime" in lane 0, which hold the AI for twice that time
// (no "ResetDamageTimer" then: the boss can be hurt). The first step after
// a charge ends hides the boss and glides it home in 1 s between two
// "yak-boss-fx", and the wait begins again.
//
// "PauseBossAI" puts the boss home and stops the loop (a charge under way is
// ended and its speed dropped); "ResumeBossAI" waits again from half the
// wait time. The player and the arena (the first RegionComponent object:
// position +/- half its scale) are looked up once, when the action starts:
// a boss must be made after both exist. Without a player, or without an
// arena, slams drop nothing (logged at start); a missing head-shake clip
// counts as length 0 (logged once), so no head shake plays.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

#include <string>
#include <utility>

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::s32;
using Ostrel::u32;

// Shows or hides the boss: its mesh and shadow "Visible" and its collider's
// "CollideWithDynamics"; missing components are skipped.
void SetBossPresence(Ostrel::Composition* boss, bool present);

class YakBossAIAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kChargeDuration = 10.0f;
    static constexpr f32 kGlideTime = 1.0f;
    static constexpr int kDropTries = 25;

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void SetWaitTime(f32 seconds) { m_waitTime = seconds; }
    void SetChargeSpeed(f32 speed) { m_chargeSpeed = speed; }
    void SetStunTime(f32 seconds) { m_stunTime = seconds; }
    void SetProjectileName(std::string name) { m_projectileName = std::move(name); }
    void SetProjectileNum(s32 count) { m_projectileCount = count; }

    void OnCollision(Ostrel::CollisionData* contact);
    void OnPauseBossAI();
    void OnResumeBossAI();

    bool IsCharging() const { return m_charging; }
    bool IsPaused() const { return m_paused; }
    bool IsRecovering() const { return m_recovering; }
    f32 GetWaitTimer() const { return m_waitTimer; }
    f32 GetHeadShakeLength() const { return m_headShakeLength; }
    u32 GetFloorId() const { return m_floorId; }
    const Ostrel::Vec3& GetHome() const { return m_home; }

private:
    void Wait(f32 dt);
    void Charge();
    void OnWallHit(u32 otherId);
    void DropProjectiles();
    Ostrel::Vec3 DropPoint(const Ostrel::Vec3& player) const;
    void StopCharge();
    void Stun();
    void EndStun();
    void AddToBrain(Ostrel::ActionBase* action);
    void ShowBindPose(bool show);
    void ReadHeadShakeLength();

    f32 m_waitTime = 5.0f;
    f32 m_chargeSpeed = 700.0f;
    f32 m_stunTime = 3.0f;
    std::string m_projectileName = "yak-boss-projectile-obj";
    bool m_paused = false;
    f32 m_waitTimer = 0.0f;
    s32 m_projectileCount = 15;
    Ostrel::Vec3 m_home;
    bool m_recovering = false;
    bool m_charging = false;
    bool m_started = false;
    bool m_hasRegion = false;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::ComponentRef<Ostrel::BrainComponent> m_brain;
    u32 m_playerId = 0;
    u32 m_floorId = 0;
    Ostrel::Vec3 m_regionMax;
    Ostrel::Vec3 m_regionMin;
    Ostrel::Vec3 m_regionSize;
    u32 m_chargeActionId = 0;
    f32 m_headShakeLength = 0.0f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::YakBossAIAction);
