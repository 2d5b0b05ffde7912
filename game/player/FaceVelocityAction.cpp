#include "game/player/FaceVelocityAction.h"

#include "engine/core/MathFunctions.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <cmath>

LV_REFLECT_CLASS(Vandle::FaceVelocityAction);

namespace Vandle {

using namespace Ostrel;

namespace {
}

void FaceVelocityAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_movement.Bind(owner);
    m_transform.Bind(owner);
    m_listeners.Listen(*owner, "FinishedAttack", MakeDelegate(this, &FaceVelocityAction::OnUseCorrectRotation));
    m_listeners.Listen(*owner, "UseIncorrectRotation",
                       MakeDelegate(this, &FaceVelocityAction::OnUseIncorrectRotation));
}

void FaceVelocityAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int FaceVelocityAction::OnUpdate(f32) {
    MovementComponent* movement = m_movement.Get();
    TransformComponent* transform = m_transform.Get();
    if (!movement || !transform) return kActionRunning;
    const Vec3& velocity = movement->GetVelocity();
    if (!std::isfinite(velocity.x) || !std::isfinite(velocity.y) || !std::isfinite(velocity.z))
        return kActionRunning;
    if (!m_useCorrectRotation) {
        transform->SetRotation(velocity);
        return kActionRunning;
    }
    if (velocity.x == 0.0f && velocity.z == 0.0f) return kActionRunning;
    transform->Rotation().y = std::atan2(-velocity.x, -velocity.z) * kDegreesPerRadian;
    return kActionRunning;
}

}  // namespace Vandle
