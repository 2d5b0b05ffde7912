#include "engine/actions/TimedMoveToObjectAction.h"

#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Ostrel::TimedMoveToObjectAction);

namespace Ostrel {

void TimedMoveToObjectAction::SetTarget(u32 objectId) {
    Composition* object = FindActionObject(objectId);
    if (object && object->GetTransform()) m_target.Bind(object);
}

void TimedMoveToObjectAction::OnStart() {
    ActionBase::OnStart();
    Composition* owner = FindActionObject(GetOwner());
    m_transform.Bind(owner);
    m_movement.Bind(owner);
}

void TimedMoveToObjectAction::OnEnd() { ActionBase::OnEnd(); }

void TimedMoveToObjectAction::SendReachedTarget() const {
    if (Composition* owner = FindActionObject(GetOwner())) owner->Send("ReachedTarget");
}

int TimedMoveToObjectAction::OnUpdate(f32 dt) {
    m_remaining -= dt;
    TransformComponent* target = m_target.Get();
    TransformComponent* transform = m_transform.Get();
    if (m_remaining < 0.0f) {
        SendReachedTarget();
        if (target && transform) transform->SetPosition(target->GetPosition() + m_offset);
        return kActionFinished;
    }
    if (target && transform) {
        const Vec3 point = target->GetPosition() + m_offset;
        if (point != m_targetPoint) {
            m_targetPoint = point;
            m_stepVelocity = m_targetPoint - transform->GetPosition();
            // Close enough, or no time left to divide by: arrive now.
            if (m_stepVelocity.LengthSquared() < 1.0f || m_remaining <= 0.0f) {
                transform->SetPosition(m_targetPoint);
                SendReachedTarget();
                return kActionFinished;
            }
            m_stepVelocity /= m_remaining;
        }
    }
    if (MovementComponent* movement = m_movement.Get()) {
        Vec3 velocity = movement->GetVelocity();
        velocity.x = m_stepVelocity.x;
        velocity.z = m_stepVelocity.z;
        movement->SetVelocity(velocity);
    }
    return kActionBlocking;
}

}  // namespace Ostrel
