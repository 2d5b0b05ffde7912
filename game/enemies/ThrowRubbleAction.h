#pragma once
// Throws projectiles up out of the ground around its owner (the burrowing
// fox) at random intervals. Each interval is drawn from [cooldown, cooldown
// + cooldown range] and measured by the action's fixed step, starting again
// at every throw. A throw tilts straight up by an angle drawn from [inner,
// outer] degrees, mirrored on every other draw, turned to the owner's
// heading, at a speed drawn from [speed, speed + speed range]. The rock is
// made from the projectile archetype with no source, then moved by the
// owner's position (the archetype's own position is an offset from the fox),
// spun by "UpdateRotationalVelocity" and given its velocity. A rock that
// cannot be made is logged once and the throw skipped.
//
// It sits in the fox's lane 0 behind the fox's AI, so a surfacing sequence
// in front of it holds it too. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

#include <string>

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class ThrowRubbleAction final : public Ostrel::ActionBase {
public:
    void SetAngles(f32 innerDegrees, f32 outerDegrees) {
        m_innerAngle = innerDegrees;
        m_outerAngle = outerDegrees;
    }
    void SetCooldown(f32 seconds, f32 range) {
        m_cooldown = seconds;
        m_cooldownRange = range;
    }
    void SetSpeed(f32 speed, f32 range) {
        m_speed = speed;
        m_speedRange = range;
    }
    void SetProjectileName(const std::string& name) { m_projectileName = name; }

    void OnStart() override;
    int OnUpdate(f32 dt) override;

    f32 GetInnerAngle() const { return m_innerAngle; }
    f32 GetOuterAngle() const { return m_outerAngle; }
    const std::string& GetProjectileName() const { return m_projectileName; }

private:
    f32 DrawInterval() const;
    Ostrel::Vec3 DrawVelocity(f32 ownerYawDegrees) const;

    std::string m_projectileName = "fox-projectile-obj";
    f32 m_speed = 20.0f;
    f32 m_speedRange = 0.0f;
    f32 m_outerAngle = 60.0f;
    f32 m_innerAngle = 10.0f;
    f32 m_cooldown = 1.0f;
    f32 m_cooldownRange = 0.0f;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::ThrowRubbleAction);
