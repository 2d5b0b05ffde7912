#pragma once
// One ring of rocks thrown by the emerged fox boss. When it starts it
// shakes the camera ("CameraShake"(0.5, 75, 2.5)); on its first update it
// throws the ring and finishes. The ring lands at "radius" from the boss:
// the farther, the more rocks, from min rocks at the min radius to max
// rocks at the max radius (truncated toward 0 in between). The rocks are
// spread evenly over the arc from the min angle (inclusive) to the max
// angle (exclusive), each facing its yaw and flying outwards at
// radius / flight time (its vertical speed is its archetype's), so all
// come down at the same distance. A radius outside the limits throws
// nothing; with equal limits only a radius equal to them throws (max
// rocks).
//
// Each rock is made from the projectile archetype at the boss's transform;
// a rock that cannot be made, or has no movement, is skipped.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

#include <string>

namespace Vandle {

using Ostrel::f32;
using Ostrel::s32;

class FoxBossRockShowerAction final : public Ostrel::ActionBase {
public:
    void SetProjectileName(const std::string& name) { m_projectileName = name; }
    void SetRadiusLimits(f32 minRadius, f32 maxRadius) {
        m_minRadius = minRadius;
        m_maxRadius = maxRadius;
    }
    void SetRocks(s32 minRocks, s32 maxRocks) {
        m_minRocks = minRocks;
        m_maxRocks = maxRocks;
    }
    void SetAngles(f32 minAngle, f32 maxAngle) {
        m_minAngle = minAngle;
        m_maxAngle = maxAngle;
    }
    void SetRadius(f32 radius) { m_radius = radius; }
    f32 GetRadius() const { return m_radius; }

    // The number of rocks in a ring of this radius (0 outside the limits).
    s32 RockCount() const;

    void OnStart() override;
    void OnEnd() override { ActionBase::OnEnd(); }
    int OnUpdate(f32 dt) override;

private:
    std::string m_projectileName = "fox-boss-projectile-obj";
    f32 m_minRadius = 5.0f;
    f32 m_maxRadius = 100.0f;
    s32 m_minRocks = 5;
    s32 m_maxRocks = 20;
    f32 m_minAngle = -90.0f;
    f32 m_maxAngle = 90.0f;
    f32 m_flightTime = 1.0f;
    f32 m_radius = 0.0f;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FoxBossRockShowerAction);
