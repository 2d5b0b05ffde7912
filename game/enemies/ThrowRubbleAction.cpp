#include "game/common/ObjectCreation.h"
#include "game/enemies/ThrowRubbleAction.h"

#include "engine/actions/RandomFloat.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"

#include <cmath>

LV_REFLECT_CLASS(Vandle::ThrowRubbleAction);

namespace Vandle {

using namespace Ostrel;

namespace {
constexpr f32 kSpinRate = 1000.0f;
}  // namespace

void ThrowRubbleAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    SetFixedStep(true);
    SetStep(DrawInterval());
    m_transform.Bind(owner);
    ActionBase::OnStart();
}

f32 ThrowRubbleAction::DrawInterval() const { return RandomFloat(m_cooldown, m_cooldown + m_cooldownRange); }

Vec3 ThrowRubbleAction::DrawVelocity(f32 ownerYawDegrees) const {
    f32 tilt = RandomFloat(m_innerAngle, m_outerAngle);
    if (Rand() % 2 == 0) tilt = -tilt;
    const f32 t = tilt * kRadiansPerDegree;
    const f32 y = ownerYawDegrees * kRadiansPerDegree;
    // Up, turned by the tilt about z, then about the vertical by the heading.
    const Vec3 direction(-std::sin(t) * std::cos(y), std::cos(t), std::sin(t) * std::sin(y));
    return direction * RandomFloat(m_speed, m_speed + m_speedRange);
}

int ThrowRubbleAction::OnUpdate(f32) {
    SetStep(DrawInterval());
    TransformComponent* transform = m_transform.Get();
    if (!transform) return kActionRunning;
    const Vec3 from = transform->GetPosition();
    const Vec3 velocity = DrawVelocity(transform->GetRotationY());
    Composition* rock = CreateGameObject(m_projectileName, nullptr, "ThrowRubbleAction");
    if (!rock) return kActionRunning;
    if (TransformComponent* rockTransform = rock->GetTransform()) rockTransform->Position() += from;
    const f32 a = RandomFloat(0.0f, 360.0f) * kRadiansPerDegree;
    const Vec3 spin = Vec3(-std::sin(a), std::sin(a), -std::cos(a)) * kSpinRate;
    SendObjectMessageVec3(rock, "UpdateRotationalVelocity", spin);
    if (auto* movement = rock->GetComponentAs<MovementComponent>()) movement->SetVelocity(velocity);
    return kActionRunning;
}

}  // namespace Vandle
