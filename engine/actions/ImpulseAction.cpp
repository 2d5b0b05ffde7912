#include "engine/actions/ImpulseAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_CLASS(Ostrel::ImpulseAction);

namespace Ostrel {

void ImpulseAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_movement.Bind(owner);
    m_listeners.Listen(*owner, "AddImpulseAction", MakeDelegate(this, &ImpulseAction::OnAddImpulseAction));
}

void ImpulseAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int ImpulseAction::OnUpdate(f32) {
    if (!m_pending) return kActionRunning;
    // Without a movement component the impulse is dropped all the same:
    // it belongs to this step.
    if (MovementComponent* movement = m_movement.Get()) {
        movement->SetVelocity(movement->GetVelocity() + m_impulse);
    }
    m_pending = false;
    m_impulse = Vec3();
    return kActionRunning;
}

void ImpulseAction::OnAddImpulseAction(Vec3* impulse) {
    if (!impulse) return;
    m_impulse = *impulse;
    m_pending = true;
}

}  // namespace Ostrel
