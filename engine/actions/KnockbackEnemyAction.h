#pragma once
// An enemy's knockback gate (0.25 s). The local "KnockbackEnemy"(Vec3)
// counts only once the cool-down has passed since the last accepted push; an
// accepted push restarts the wait and, unless it is zero, is added to the
// enemy's velocity times the knockback factor (1). "ResetKnockbackTimer" and
// "BypassKnockbackTimer" as for the player; a non-finite vector is logged
// and not applied. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class KnockbackEnemyAction final : public ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnKnockbackEnemy(Vec3 knockback);
    void OnResetTimer() { m_gate.Reset(); }
    void OnBypassTimer() { m_gate.Bypass(); }

    const CoolDownGate& GetGate() const { return m_gate; }

private:
    CoolDownGate m_gate{0.25f};
    f32 m_factor = 1.0f;
    ComponentRef<MovementComponent> m_movement;
    OwnerListeners m_listeners;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::KnockbackEnemyAction);
