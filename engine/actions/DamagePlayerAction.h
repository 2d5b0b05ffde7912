#pragma once
// The player's damage gate (0.5 s at first). The local "DamagePlayer"(damage,
// cool-down) counts only once the cool-down has passed since the last
// accepted hit; an accepted hit takes its second argument as the cool-down
// before the next, and is passed on as the local "TakeDamage"(damage) and
// "StartColorFlash", the global "PlaySound"("light-thud-sfx") and
// "AddVibrate"(0.5, 12000, 12000), and the hurt clip "brisa-ouch-anim" at
// rate 1.5 on the player's fidget. A fixed 0.5 s after the hit the local
// "UpdatePlayerAnimation" lets the player's logic pick its clip again.
// "ResetDamageTimer" restarts the wait, "BypassDamageTimer" ends it. Never
// finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class DamagePlayerAction final : public ActionBase {
public:
    static constexpr f32 kHurtPoseSeconds = 0.5f;

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnDamagePlayer(f32 damage, f32 coolDown);
    void OnResetTimer() { m_gate.Reset(); }
    void OnBypassTimer() { m_gate.Bypass(); }

    const CoolDownGate& GetGate() const { return m_gate; }

private:
    CoolDownGate m_gate{0.5f};
    bool m_hurtPosePending = false;
    OwnerListeners m_listeners;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::DamagePlayerAction);
