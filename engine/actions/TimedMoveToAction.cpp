#include "engine/actions/TimedMoveToAction.h"

#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Ostrel::TimedMoveToAction);

namespace Ostrel {

void TimedMoveToAction::OnStart() {
    ActionBase::OnStart();
    Composition* owner = FindActionObject(GetOwner());
    TransformComponent* transform = owner ? owner->GetTransform() : nullptr;
    m_movement.Bind(owner);
    if (!transform) return;
    if (m_remaining > 0.0f) {
        m_stepVelocity = (m_target - transform->GetPosition()) / m_remaining;
    } else {
        // No time to travel: dividing by it would give an unbounded velocity.
        transform->SetPosition(m_target);
        m_stepVelocity = Vec3();
    }
}

void TimedMoveToAction::OnEnd() { ActionBase::OnEnd(); }

int TimedMoveToAction::OnUpdate(f32 dt) {
    m_remaining -= dt;
    if (m_remaining < 0.0f) return kActionFinished;
    if (MovementComponent* movement = m_movement.Get()) movement->SetVelocity(m_stepVelocity);
    return kActionRunning;
}

}  // namespace Ostrel
