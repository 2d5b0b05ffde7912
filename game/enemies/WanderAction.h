#pragma once
// Roams its object through an axis-aligned box, one leg after another, each
// leg taking moveTime seconds. It moves nothing itself: each time it runs it
// draws a point of the box (x, then y, then z, with RandomFloat) and adds a
// TimedBlockAction of moveTime and then a TimedMoveToAction to the point,
// both in lane 0. The brain runs the newest first, so from the next frame the
// move runs before the block, and the block holds lane 0 (the wander and
// every older lane-0 action) until the leg is over; in the frame both end
// the wander draws the next leg. A min above max on an axis draws between
// the two all the same; a zero-size axis pins that coordinate. Lane 0;
// never finishes.

#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class WanderAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    int OnUpdate(f32 dt) override;

    void SetBounds(Ostrel::Vec3 min, Ostrel::Vec3 max) {
        m_boxMin = min;
        m_boxMax = max;
    }
    void SetMoveTime(f32 seconds) { m_moveTime = seconds; }
    const Ostrel::Vec3& GetBoxMin() const { return m_boxMin; }
    const Ostrel::Vec3& GetBoxMax() const { return m_boxMax; }
    // The point of the last leg drawn.
    const Ostrel::Vec3& GetTarget() const { return m_target; }

private:
    f32 m_moveTime = 1.0f;
    Ostrel::Vec3 m_boxMin{-1.0f, 0.0f, 0.0f};
    Ostrel::Vec3 m_boxMax{1.0f, 0.0f, 0.0f};
    Ostrel::Vec3 m_target;
    bool m_started = false;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::WanderAction);
