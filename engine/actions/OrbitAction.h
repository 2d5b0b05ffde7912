#pragma once
// Steers its owner around a target object on a circle in the x-z plane: each
// step the angle advances by dt (wrapping at 2 pi before it is multiplied by
// the speed), the point on the circle leads a moving target by a quarter of
// its velocity, and the owner's x/z velocity is set to four times the way to
// that point (steered, not placed). The owner also takes the target's y
// rotation. While the target does not exist every step sends the local
// "LostOrbitTarget" instead, until "NewOrbitTarget"(u32) names another.
// "UpdateOrbitAction"(radius, speed) replaces both. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

namespace Ostrel {

class OrbitAction final : public ActionBase {
public:
    static constexpr f32 kSteeringGain = 4.0f;

    void SetRadius(f32 radius) { m_radius = radius; }
    void SetSpeed(f32 speed) { m_speed = speed; }
    void SetTarget(u32 objectId) { m_target = objectId; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnUpdateOrbitAction(f32 radius, f32 speed);
    void OnNewOrbitTarget(u32 objectId) { m_target = objectId; }

    f32 GetRadius() const { return m_radius; }
    f32 GetSpeed() const { return m_speed; }
    u32 GetTarget() const { return m_target; }

private:
    f32 m_angle = 0.0f;
    f32 m_radius = 1.0f;
    f32 m_speed = 1.0f;
    ComponentRef<TransformComponent> m_transform;
    ComponentRef<MovementComponent> m_movement;
    u32 m_target = 0;
    OwnerListeners m_listeners;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::OrbitAction);
