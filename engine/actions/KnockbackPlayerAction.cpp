#include "engine/actions/KnockbackPlayerAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_CLASS(Ostrel::KnockbackPlayerAction);

namespace Ostrel {

void KnockbackPlayerAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_movement.Bind(owner);
    ActionBase::OnStart();
    m_listeners.Listen(*owner, "KnockbackPlayer", MakeDelegate(this, &KnockbackPlayerAction::OnKnockbackPlayer));
    m_listeners.Listen(*owner, "ResetKnockbackTimer", MakeDelegate(this, &KnockbackPlayerAction::OnResetTimer));
    m_listeners.Listen(*owner, "BypassKnockbackTimer",
                       MakeDelegate(this, &KnockbackPlayerAction::OnBypassTimer));
}

void KnockbackPlayerAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int KnockbackPlayerAction::OnUpdate(f32 dt) {
    m_gate.timer += dt;
    return kActionRunning;
}

void KnockbackPlayerAction::OnKnockbackPlayer(Vec3 knockback) {
    if (!m_gate.Accept()) return;
    if (!IsFiniteKnockback(knockback, "KnockbackPlayer", GetOwner())) return;
    if (!FindActionObject(GetOwner())) return;
    if (MovementComponent* movement = m_movement.Get()) {
        movement->SetVelocity(movement->GetVelocity() + knockback);
    }
}

}  // namespace Ostrel
