#include "game/common/Heading.h"
#include "game/common/PlayerLookup.h"
#include "game/enemies/PlayerSeekAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_CLASS(Vandle::PlayerSeekAction);
LV_REFLECT_CLASS(Vandle::FacePlayerAction);

namespace Vandle {

using namespace Ostrel;

namespace {
constexpr f32 kNearSq = 0.001f;
}

void PlayerSeekAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_transform.Bind(owner);
    m_movement.Bind(owner);
    m_listeners.Listen(*owner, "UpdatePlayerSeekAction",
                       MakeDelegate(this, &PlayerSeekAction::OnUpdatePlayerSeekAction));
}

void PlayerSeekAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int PlayerSeekAction::OnUpdate(f32 dt) {
    TransformComponent* player = FindPlayerTransform(m_targetId);
    TransformComponent* transform = m_transform.Get();
    if (!player || !transform) return kActionRunning;
    Vec3 d = player->GetPosition() - transform->GetPosition();
    if (d.LengthSquared() < kNearSq) return kActionRunning;
    d.NormalizeThis();
    f32 heading = HeadingTowards(d.x, d.z);
    if (m_maxTurnRate > 0.0f) {
        const f32 maxStep = m_maxTurnRate * dt;
        f32 current = transform->GetRotationY();
        if (current > 360.0f) current -= 360.0f;
        if (current < 0.0f) current += 360.0f;
        f32 delta = heading - current;
        if (delta > 180.0f)
            delta -= 360.0f;
        else if (delta < -180.0f)
            delta += 360.0f;
        if (delta > maxStep || delta < -maxStep) {
            heading = delta > maxStep ? current + maxStep : current - maxStep;
            const Vec3 facing = HeadingDirection(heading);
            d.x = facing.x;
            d.z = facing.z;
        }
    }
    Vec3 rotation = transform->GetRotation();
    rotation.y = heading;
    transform->SetRotation(rotation);
    if (MovementComponent* movement = m_movement.Get()) {
        Vec3 velocity = movement->GetVelocity();
        velocity.x += d.x * m_speed * dt;
        velocity.z += d.z * m_speed * dt;
        movement->SetVelocity(velocity);
    }
    return kActionRunning;
}

void FacePlayerAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_transform.Bind(owner);
}

int FacePlayerAction::OnUpdate(f32) {
    const int result = m_continuous ? kActionRunning : kActionFinished;
    TransformComponent* player = FindPlayerTransform(m_targetId);
    TransformComponent* transform = m_transform.Get();
    if (!player || !transform) return result;
    Vec3 d = player->GetPosition() - transform->GetPosition();
    d.y = 0.0f;
    if (d.LengthSquared() < kNearSq) return result;
    Vec3 rotation = transform->GetRotation();
    rotation.y = HeadingTowards(d.x, d.z);
    transform->SetRotation(rotation);
    return result;
}

}  // namespace Vandle
