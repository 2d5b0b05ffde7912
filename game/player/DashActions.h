#pragma once
// The player's dash and jump, both living as long as the player's brain.
//
// DodgeRollAction: on the owner's "DodgeRoll", at most once a second (a
// request 1.0 s or more after the last dash goes through; an earlier one is
// dropped and does not reset the timer), it locks the "use-dash" tutorial
// (first dash only), plays "brisa-dodge-anim" on the fidget and "dash-sfx",
// and hands the owner's ImpulseAction (-sin r, 0, -cos r) x 100, r being
// the transform's heading, i.e. along the direction the player faces. In the
// first update after 0.5 s it sends the owner's "UpdatePlayerAnimation" so
// the player returns to its idle or walk loop.
//
// JumpAction: on the owner's "Jump", at most every 0.5 s, an impulse of
// (0, 100, 0).

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"

namespace Vandle {

using Ostrel::f32;

class DodgeRollAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kCooldown = 1.0f;
    static constexpr f32 kRollTime = 0.5f;

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnDodgeRoll();
    bool IsRolling() const { return m_rolling; }

private:
    bool m_rolling = false;
    f32 m_impulseStrength = 100.0f;
    f32 m_timeSinceDash = kCooldown;
    bool m_dashTutorialLocked = false;
    Ostrel::OwnerListeners m_listeners;
};

class JumpAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kCooldown = 0.5f;

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnJump();

private:
    f32 m_jumpStrength = 100.0f;
    f32 m_timeSinceJump = 1.0f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::DodgeRollAction);
LV_DECLARE_META_CLASS(Vandle::JumpAction);
