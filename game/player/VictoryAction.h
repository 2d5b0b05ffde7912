#pragma once
// The companion's victory flight, the end of the game. It circles the
// player widely (an OrbitAction of radius 50 and speed 20 in the lane
// 'viob', ended by id through "TerminateAction") while rising ever faster
// (an upward acceleration of 10, set every update), holds the lane 'shld'
// for 5 s (a TimedBlockAction), hides the companion's shadow and stops it
// resolving against statics, and carries a "victory-fx" and a
// "fireworks-fx" that circles the companion (radius 60, speed 20). The
// companion is held in lane 0 meanwhile: the flight blocks there.
//
// After its time (2 s by default; the companion gives 6) it ends the orbit,
// destroys both effects and sends the global "GameComplete". An action torn
// down before its time (the companion destroyed, the level unloaded)
// removes the effects but completes nothing.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "game/common/LogOnce.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class VictoryAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kShieldBlockTime = 5.0f;
    static constexpr f32 kRise = 10.0f;
    static constexpr f32 kFireworksRadius = 60.0f;
    static constexpr f32 kFireworksSpeed = 20.0f;

    explicit VictoryAction(u32 playerId = 0) : m_playerId(playerId) {}

    void SetDuration(f32 seconds) { m_remaining = seconds; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    u32 GetOrbitActionId() const { return m_orbitActionId; }
    u32 GetVictoryEffectId() const { return m_victoryEffectId; }
    u32 GetFireworksId() const { return m_fireworksId; }
    f32 GetRemaining() const { return m_remaining; }

private:
    void StartOrbitAndBlock(Ostrel::Composition& owner);
    void CreateFireworks(Ostrel::Composition& owner);

    f32 m_orbitRadius = 50.0f;
    f32 m_orbitSpeed = 20.0f;
    u32 m_orbitActionId = 0;
    u32 m_playerId;
    u32 m_victoryEffectId = 0;
    u32 m_fireworksId = 0;
    f32 m_remaining = 2.0f;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    bool m_timeUp = false;
    ReportOnce m_reportedMovement;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::VictoryAction);
