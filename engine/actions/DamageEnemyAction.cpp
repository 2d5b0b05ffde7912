#include "engine/actions/DamageEnemyAction.h"

#include "engine/components/ObjectMessages.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_CLASS(Ostrel::DamageEnemyAction);

namespace Ostrel {

void DamageEnemyAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_listeners.Listen(*owner, "DamageEnemy", MakeDelegate(this, &DamageEnemyAction::OnDamageEnemy));
    m_listeners.Listen(*owner, "ResetDamageTimer", MakeDelegate(this, &DamageEnemyAction::OnResetTimer));
    m_listeners.Listen(*owner, "BypassDamageTimer", MakeDelegate(this, &DamageEnemyAction::OnBypassTimer));
}

void DamageEnemyAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int DamageEnemyAction::OnUpdate(f32 dt) {
    m_gate.timer += dt;
    return kActionRunning;
}

void DamageEnemyAction::OnDamageEnemy(f32 damage, f32 coolDown) {
    if (!m_gate.Accept()) return;
    m_gate.coolDown = coolDown;
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    if (ObjectManager* objects = ActionObjects())
        objects->CreateRunTimeObject("damage-enemy-fx", owner->GetTransform());
    // Creating the effect can grow the object tables: look the owner up again.
    SendObjectMessageFloat(FindActionObject(GetOwner()), "TakeDamage", damage);
    if (Composition* again = FindActionObject(GetOwner())) again->Send("StartColorFlash");
}

}  // namespace Ostrel
