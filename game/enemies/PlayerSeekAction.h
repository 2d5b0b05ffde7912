#pragma once
// Walks its object at the player: every update it turns the object towards
// the player (at most maxTurnRate degrees per second when that is above 0,
// the shorter way round) and adds speed x dt along its facing to the
// horizontal velocity. Within about 0.032 of the player nothing changes.
// The direction is normalised in three dimensions before its vertical part
// is dropped, so a player above or below gives a weaker push. The owner's
// local "UpdatePlayerSeekAction"(speed) changes the speed live. Never
// finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class PlayerSeekAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void SetSpeed(f32 speed) { m_speed = speed; }
    void SetMaxTurnRate(f32 degreesPerSecond) { m_maxTurnRate = degreesPerSecond; }
    f32 GetSpeed() const { return m_speed; }
    u32 GetTargetId() const { return m_targetId; }

    void OnUpdatePlayerSeekAction(f32 speed) { m_speed = speed; }

private:
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    u32 m_targetId = 0;
    f32 m_speed = 1.0f;
    f32 m_maxTurnRate = -1.0f;
    Ostrel::OwnerListeners m_listeners;
};

// Turns its object towards the player on the ground. Continuous (the
// default): keeps facing and never finishes; its creators end it with the
// local "TerminateAction"(id). One-shot: faces once and finishes on its
// first update, player or not.
class FacePlayerAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    int OnUpdate(f32 dt) override;

    void SetContinuous(bool continuous) { m_continuous = continuous; }

private:
    bool m_continuous = true;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    u32 m_targetId = 0;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::PlayerSeekAction);
LV_DECLARE_META_CLASS(Vandle::FacePlayerAction);
