#include "engine/actions/KnockbackEnemyAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_CLASS(Ostrel::KnockbackEnemyAction);

namespace Ostrel {

void KnockbackEnemyAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_movement.Bind(owner);
    ActionBase::OnStart();
    m_listeners.Listen(*owner, "KnockbackEnemy", MakeDelegate(this, &KnockbackEnemyAction::OnKnockbackEnemy));
    m_listeners.Listen(*owner, "ResetKnockbackTimer", MakeDelegate(this, &KnockbackEnemyAction::OnResetTimer));
    m_listeners.Listen(*owner, "BypassKnockbackTimer", MakeDelegate(this, &KnockbackEnemyAction::OnBypassTimer));
}

void KnockbackEnemyAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int KnockbackEnemyAction::OnUpdate(f32 dt) {
    m_gate.timer += dt;
    return kActionRunning;
}

void KnockbackEnemyAction::OnKnockbackEnemy(Vec3 knockback) {
    if (!m_gate.Accept()) return;
    if (!IsFiniteKnockback(knockback, "KnockbackEnemy", GetOwner())) return;
    if (!FindActionObject(GetOwner()) || knockback.LengthSquared() == 0.0f) return;
    if (MovementComponent* movement = m_movement.Get()) {
        movement->SetVelocity(movement->GetVelocity() + knockback * m_factor);
    }
}

}  // namespace Ostrel
