#include "game/objects/RumbleSpawnAction.h"

#include "engine/actions/RandomFloat.h"
#include "engine/core/Composition.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <cmath>
#include <numbers>

LV_REFLECT_CLASS(Vandle::RumbleSpawnAction);

namespace Vandle {

using namespace Ostrel;

void RumbleSpawnAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_shakePeriod = 1.0f / m_shakeFrequency;
    m_transform.Bind(owner);
    TransformComponent* transform = m_transform.Get();
    if (m_timeLeft > 0.0f) {
        m_velocity = (m_endPosition - m_startPosition) / m_timeLeft;
        m_scaleVelocity = (m_endScale - m_startScale) / m_timeLeft;
        if (transform) {
            transform->SetPosition(m_startPosition);
            transform->SetScale(m_startScale);
        }
    } else {
        // No time to move in (or a duration that is not a number): the end
        // pose at once, and nothing divided by the duration.
        m_timeLeft = 0.0f;
        m_velocity = Vec3();
        m_scaleVelocity = Vec3();
        if (transform) {
            transform->SetPosition(m_endPosition);
            transform->SetScale(m_endScale);
        }
    }
    const char* answered = m_rising ? "RemoveRSAUp" : "RemoveRSADown";
    m_listeners.Listen(*owner, answered, MakeDelegate(this, &RumbleSpawnAction::OnShouldRemove));
    owner->Send(m_rising ? "RemoveRSADown" : "RemoveRSAUp");
    ActionBase::OnStart();
}

void RumbleSpawnAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int RumbleSpawnAction::OnUpdate(f32 dt) {
    if (m_removeRequested) return kActionFinished;
    TransformComponent* transform = m_transform.Get();
    if (!transform) return kActionFinished;  // the owner (or its transform) is gone
    if (m_timeLeft <= 0.0f) {
        transform->SetPosition(m_endPosition);
        transform->SetScale(m_endScale);
        return kActionFinished;
    }
    m_timeLeft -= dt;
    Shake(*transform, dt);
    transform->SetPosition(transform->GetPosition() + m_velocity * dt);
    transform->SetScale(transform->GetScale() + m_scaleVelocity * dt);
    return kActionRunning;
}

void RumbleSpawnAction::Shake(TransformComponent& transform, f32 dt) {
    if (m_shakeTimer <= 0.0f) {
        const f32 sum = RandomFloat(-1.0f, 1.0f) + RandomFloat(-1.0f, 1.0f) + RandomFloat(-1.0f, 1.0f);
        m_shakeAmount = sum * m_shakeMagnitude;
        m_shakeTimer = m_shakePeriod;
        m_shakeAngle = f32(Rand() % 360) * std::numbers::pi_v<f32> / 180.0f;
        return;
    }
    const f32 s = (m_shakeTimer - m_shakePeriod / 2.0f) / m_shakePeriod;
    const f32 k = (1.0f - std::fabs(s)) * m_shakeAmount;
    Vec3 position = transform.GetPosition();
    position.x = m_startPosition.x + std::cos(m_shakeAngle) * k;
    position.z = m_startPosition.z + std::sin(m_shakeAngle) * k;
    transform.SetPosition(position);
    m_shakeTimer -= dt;
}

}  // namespace Vandle
