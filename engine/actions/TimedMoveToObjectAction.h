#pragma once
// Steers its owner toward another object (plus an offset) in x and z within
// a given time, holding its lane (status 2) while it moves, so the later
// actions of the lane wait. It sends the local "ReachedTarget" once, when it
// arrives or when the time runs out, and finishes.
//
// The step velocity is recomputed only when the target point moved (by more
// than 0.001 on an axis): the distance divided by the remaining time. Within
// 1.0 of the point the owner is put on it. The owner's vertical velocity is
// left to gravity. A target that vanishes leaves the last velocity in place
// until the time runs out. A step that leaves no time at all while the
// target is still away puts the owner on the target point instead of
// dividing by zero.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class TimedMoveToObjectAction final : public ActionBase {
public:
    explicit TimedMoveToObjectAction(f32 duration = 0.0f) : m_remaining(duration) {}

    // Follows the object's TransformComponent; an object that does not exist
    // or has no transform leaves the target unchanged.
    void SetTarget(u32 objectId);
    void SetOffset(const Vec3& offset) { m_offset = offset; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    const Vec3& GetStepVelocity() const { return m_stepVelocity; }

private:
    void SendReachedTarget() const;

    Vec3 m_stepVelocity;
    Vec3 m_targetPoint;
    Vec3 m_offset;
    f32 m_remaining;
    ComponentRef<MovementComponent> m_movement;
    ComponentRef<TransformComponent> m_transform;
    ComponentRef<TransformComponent> m_target;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TimedMoveToObjectAction);
