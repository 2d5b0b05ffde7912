#include "engine/actions/VelocityMovementAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_CLASS(Ostrel::VelocityMovementAction);

namespace Ostrel {

void VelocityMovementAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_movement.Bind(owner);
    m_listeners.Listen(*owner, "UpdateVelocityMoveAction",
                       MakeDelegate(this, &VelocityMovementAction::OnUpdateVelocityMoveAction));
}

void VelocityMovementAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int VelocityMovementAction::OnUpdate(f32 dt) {
    if (MovementComponent* movement = m_movement.Get()) {
        movement->SetVelocity(movement->GetVelocity() + m_velocity * dt);
    }
    return kActionRunning;
}

void VelocityMovementAction::OnUpdateVelocityMoveAction(Vec3* velocity) {
    if (velocity) m_velocity = *velocity;
}

}  // namespace Ostrel
