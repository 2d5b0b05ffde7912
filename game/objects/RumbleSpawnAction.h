#pragma once
// Moves and scales its owner in a straight line from a start pose to an end
// pose over a duration while shaking it sideways at random: how heavy things
// (gates, the yak boss) come out of the ground and go back into it.
//
// Start places the start pose. Each update first checks the time left: at or
// below 0 it places the end pose and finishes, so a duration of 2 s at 0.5 s
// steps moves four times and places the end pose on the fifth step. A
// duration of 0 or less places the end pose at start and moves nothing.
//
// Shaking: every shake period (1 / frequency) a new sample is drawn, a signed
// length (the sum of three uniform numbers in [-1, 1], times the magnitude)
// and a direction; on the steps between draws x and z are put back at the
// start position plus the sample, fading in and out over the period. The
// velocity is added after that, so the creators move objects along y only.
//
// A rising action (the default) listens on its owner for the local
// "RemoveRSAUp" and sends "RemoveRSADown" when it starts; a sinking one the
// other way round. A starting rise so ends any sink running on the same
// object, and the other way round, at its next update, leaving the object
// where it is; two actions of one direction leave each other alone.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::Vec3;

class RumbleSpawnAction final : public Ostrel::ActionBase {
public:
    void SetStartPosition(Vec3 position) { m_startPosition = position; }
    void SetEndPosition(Vec3 position) { m_endPosition = position; }
    void SetStartScale(Vec3 scale) { m_startScale = scale; }
    void SetEndScale(Vec3 scale) { m_endScale = scale; }
    void SetRising(bool rising) { m_rising = rising; }
    // Seconds from the start pose to the end pose; takes effect at start.
    void SetDuration(f32 seconds) { m_timeLeft = seconds; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    // Handler of the opposite direction's removal message.
    void OnShouldRemove() { m_removeRequested = true; }

    bool IsRising() const { return m_rising; }
    f32 GetTimeLeft() const { return m_timeLeft; }
    const Vec3& GetVelocity() const { return m_velocity; }
    const Vec3& GetScaleVelocity() const { return m_scaleVelocity; }

private:
    void Shake(Ostrel::TransformComponent& transform, f32 dt);

    f32 m_shakeMagnitude = 0.5f;
    f32 m_timeLeft = 0.0f;
    f32 m_shakeFrequency = 1000.0f;
    f32 m_shakePeriod = 0.0f;
    f32 m_shakeTimer = 0.0f;
    f32 m_shakeAmount = 0.0f;
    f32 m_shakeAngle = 0.0f;
    Vec3 m_startPosition;
    Vec3 m_endPosition;
    Vec3 m_velocity;
    Vec3 m_startScale;
    Vec3 m_endScale{10.0f, 10.0f, 10.0f};
    Vec3 m_scaleVelocity;
    bool m_rising = true;
    bool m_removeRequested = false;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::RumbleSpawnAction);
