#pragma once
// Sets an object on fire: a "burn-fx" object follows it (an AttachAction on
// the effect's brain) while the action sends its owner the local
// "DamageEnemy"(damage, 0.0) every tick interval. A duration of exactly 0
// when it starts means endless. An object burns with one action only, the
// newest: at start each burn sends the local "NewBurn", which ends every
// older burn on the object at its next update (its own send is ignored).
//
// The end is tested before the tick, so the step that ends a burn deals no
// damage, and a duration below the tick interval deals none at all (times
// within kTimeTolerance of a limit count as reaching it). Ending
// destroys the flames. Without a "burn-fx" archetype the burn still deals
// its damage. The creator sets damage, tick interval and duration, the
// owner, and adds it to the burning object's brain.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class BurnAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void SetDamage(f32 damage) { m_damage = damage; }
    void SetTickInterval(f32 seconds) { m_tickInterval = seconds; }
    void SetDuration(f32 seconds) { m_remaining = seconds; }

    void OnNewBurn();

    // The flames' object id, 0 when there are none.
    u32 GetEffectId() const { return m_effectId; }
    bool IsEndless() const { return m_endless; }

private:
    void CreateFlames(Ostrel::Composition& owner);

    f32 m_damage = 5.0f;
    f32 m_tickInterval = 0.1f;
    f32 m_sinceTick = 0.0f;
    f32 m_remaining = 0.0f;
    bool m_endless = false;
    bool m_sendingNewBurn = false;
    u32 m_effectId = 0;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::BurnAction);
