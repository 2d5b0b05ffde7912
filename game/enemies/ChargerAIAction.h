#pragma once
// The charging enemy's brain and its charge run.
//
// ChargerAIAction ticks every 0.5 s (a fixed step) in its own lane ('brai'),
// so it keeps running while a face action it made holds lane 0. Idle, each
// tick adds RandomFloat(0, dt) x 0.16 to an urge; once the urge reaches the
// charge chance it is reset and, when the player is in range, a wait
// begins: the object stops, a blocking, terminate-listening FacePlayerAction
// turns it to the player and "yak-headshake-anim" plays. When the wait runs
// out the face action is ended by id ("TerminateAction") and a charge run
// starts along the facing ("yak-mesh", the run, "yak-charge-anim"); when the
// player leaves the range during the wait the face action is ended and no
// charge follows. The range test compares the squared distance with
// 2 x chargeSpeed x chargeTime itself, not its square: the yaks' tuning
// (an effective reach of about 5.29) rests on it. Never finishes.
//
// EnemyChargeAction accelerates its object along a fixed direction by
// direction x speed x dt per update and holds its lane (status 2) while
// time remains; it plays "yak-charge-sfx" when it starts.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class ChargerAIAction final : public Ostrel::ActionBase {
public:
    static constexpr u32 kLane = Ostrel::FourCC("brai");
    static constexpr f32 kTick = 0.5f;
    static constexpr f32 kUrgeScale = 0.16f;

    void OnStart() override;
    int OnUpdate(f32 dt) override;

    void SetChargeChance(f32 chance) { m_chargeChance = chance; }
    void SetChargeWaitTime(f32 seconds) { m_chargeWaitTime = seconds; }
    void SetChargeSpeed(f32 speed) { m_chargeSpeed = speed; }
    void SetChargeTime(f32 seconds) { m_chargeTime = seconds; }

    // The urge to charge (the step accumulator is ActionBase's).
    f32 GetUrge() const { return m_accumulator; }
    f32 GetChargeRange() const { return m_chargeRange; }
    f32 GetChargeSpeed() const { return m_chargeSpeed; }
    bool IsWaiting() const { return m_waitTimer > 0.0f; }
    u32 GetFaceActionId() const { return m_faceActionId; }

private:
    void BeginWait(Ostrel::BrainComponent& brain);
    void LaunchCharge(Ostrel::BrainComponent& brain);
    void EndFace();

    f32 m_chargeChance = 5.0f;
    f32 m_chargeWaitTime = 0.5f;
    f32 m_chargeSpeed = 15.0f;
    f32 m_chargeTime = 2.0f;
    f32 m_chargeRange = 0.0f;
    f32 m_accumulator = 0.0f;
    f32 m_waitTimer = -1.0f;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    Ostrel::ComponentRef<Ostrel::BrainComponent> m_brain;
    u32 m_targetId = 0;
    u32 m_faceActionId = 0;
};

class EnemyChargeAction final : public Ostrel::ActionBase {
public:
    explicit EnemyChargeAction(Ostrel::Vec3 direction = Ostrel::Vec3()) : m_direction(direction) {}

    void OnStart() override;
    int OnUpdate(f32 dt) override;

    void SetDirection(Ostrel::Vec3 direction) { m_direction = direction; }
    void SetSpeed(f32 speed) { m_speed = speed; }
    void SetDuration(f32 seconds) { m_remaining = seconds; }
    const Ostrel::Vec3& GetDirection() const { return m_direction; }
    f32 GetSpeed() const { return m_speed; }

private:
    Ostrel::Vec3 m_direction;
    f32 m_speed = 10.0f;
    f32 m_remaining = 0.0f;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::ChargerAIAction);
LV_DECLARE_META_CLASS(Vandle::EnemyChargeAction);
