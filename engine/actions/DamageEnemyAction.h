#pragma once
// An enemy's damage gate (0.1 s at first). The local "DamageEnemy"(damage,
// cool-down) counts only once the cool-down has passed since the last
// accepted hit; an accepted hit takes its second argument as the next
// cool-down, spawns the effect "damage-enemy-fx" at the enemy (its position
// plus the effect archetype's, with the enemy's rotation) and is passed on as
// the local "TakeDamage"(damage) and "StartColorFlash". "ResetDamageTimer"
// and "BypassDamageTimer" as for the player. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class DamageEnemyAction final : public ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnDamageEnemy(f32 damage, f32 coolDown);
    void OnResetTimer() { m_gate.Reset(); }
    void OnBypassTimer() { m_gate.Bypass(); }

    const CoolDownGate& GetGate() const { return m_gate; }

private:
    CoolDownGate m_gate{0.1f};
    OwnerListeners m_listeners;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::DamageEnemyAction);
