#pragma once
// Moves its owner to a point in a given time by setting its velocity: the
// start computes the one velocity that covers the distance in the duration,
// each step sets it, and the first step that leaves the remaining time below
// 0 finishes the action without touching the velocity (the body keeps its
// last velocity; its creator stops it if it must stop). Physics does the
// moving. A duration of 0 or less puts the object on the target at start,
// with no velocity, and finishes on the first step that takes time.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class TimedMoveToAction final : public ActionBase {
public:
    // Seconds; the default (0) serves creation through the meta class.
    explicit TimedMoveToAction(f32 duration = 0.0f) : m_remaining(duration) {}

    // Both before the action starts.
    void SetTarget(const Vec3& target) { m_target = target; }
    void SetDuration(f32 seconds) { m_remaining = seconds; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    const Vec3& GetStepVelocity() const { return m_stepVelocity; }
    f32 GetRemaining() const { return m_remaining; }

private:
    Vec3 m_stepVelocity;
    Vec3 m_target;
    f32 m_remaining;
    ComponentRef<MovementComponent> m_movement;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TimedMoveToAction);
