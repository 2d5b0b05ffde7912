#pragma once
// The player's knockback gate (0.5 s). The local "KnockbackPlayer"(Vec3)
// counts only once the cool-down has passed since the last accepted push; an
// accepted push restarts the wait and is added to the player's velocity.
// "ResetKnockbackTimer" restarts the wait, "BypassKnockbackTimer" ends it.
// A vector with a non-finite component is logged and not applied (the wait
// has restarted all the same). Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class KnockbackPlayerAction final : public ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnKnockbackPlayer(Vec3 knockback);
    void OnResetTimer() { m_gate.Reset(); }
    void OnBypassTimer() { m_gate.Bypass(); }

    const CoolDownGate& GetGate() const { return m_gate; }

private:
    CoolDownGate m_gate{0.5f};
    ComponentRef<MovementComponent> m_movement;
    OwnerListeners m_listeners;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::KnockbackPlayerAction);
