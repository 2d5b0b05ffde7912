#include "engine/actions/MoveForwardAction.h"

#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Ostrel::MoveForwardAction);

namespace Ostrel {

void MoveForwardAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_movement.Bind(owner);
}

int MoveForwardAction::OnUpdate(f32 dt) {
    if (MovementComponent* movement = m_movement.Get()) {
        const Vec3 velocity = movement->GetVelocity();
        movement->SetVelocity(velocity + velocity.Normalized() * (m_speed * dt));
    }
    return kActionRunning;
}

}  // namespace Ostrel
