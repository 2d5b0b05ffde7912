#include "engine/actions/OrbitAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <cmath>

LV_REFLECT_CLASS(Ostrel::OrbitAction);

namespace Ostrel {

namespace {

constexpr f32 kTwoPi = 6.2831855f;

}  // namespace

void OrbitAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_transform.Bind(owner);
    m_movement.Bind(owner);
    m_listeners.Listen(*owner, "UpdateOrbitAction", MakeDelegate(this, &OrbitAction::OnUpdateOrbitAction));
    m_listeners.Listen(*owner, "NewOrbitTarget", MakeDelegate(this, &OrbitAction::OnNewOrbitTarget));
}

void OrbitAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

void OrbitAction::OnUpdateOrbitAction(f32 radius, f32 speed) {
    m_radius = radius;
    m_speed = speed;
}

int OrbitAction::OnUpdate(f32 dt) {
    Composition* target = FindActionObject(m_target);
    if (!target) {
        if (Composition* owner = FindActionObject(GetOwner())) owner->Send("LostOrbitTarget");
        return kActionRunning;
    }
    m_angle = std::fmod(m_angle + dt, kTwoPi);
    TransformComponent* targetTransform = target->GetTransform();
    TransformComponent* transform = m_transform.Get();
    MovementComponent* movement = m_movement.Get();
    if (!targetTransform || !transform || !movement) return kActionRunning;

    const Vec3& centre = targetTransform->GetPosition();
    f32 x = std::sin(m_angle * m_speed) * m_radius + centre.x;
    f32 z = std::cos(m_angle * m_speed) * m_radius + centre.z;
    if (const auto* targetMovement = target->GetComponentAs<MovementComponent>()) {
        x += targetMovement->GetVelocity().x / kSteeringGain;
        z += targetMovement->GetVelocity().z / kSteeringGain;
    }
    Vec3 velocity = movement->GetVelocity();
    velocity.x = (x - transform->GetPosition().x) * kSteeringGain;
    velocity.z = (z - transform->GetPosition().z) * kSteeringGain;
    movement->SetVelocity(velocity);
    Vec3 rotation = transform->GetRotation();
    rotation.y = targetTransform->GetRotation().y;
    transform->SetRotation(rotation);
    return kActionRunning;
}

}  // namespace Ostrel
