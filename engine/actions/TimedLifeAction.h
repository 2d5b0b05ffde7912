#pragma once
// Destroys its owner once more than its life time has gone by (exactly the
// life time is not enough): it runs in one fixed step of the life time, asks
// the object manager to destroy the owner (carried out at the manager's next
// update) and finishes. A life time of 0 ends the owner on the first frame
// with a positive time.

#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class TimedLifeAction final : public ActionBase {
public:
    explicit TimedLifeAction(f32 seconds = 0.0f) : m_lifeTime(seconds) {}

    // Takes effect when the action starts.
    void SetLifeTime(f32 seconds) { m_lifeTime = seconds; }
    f32 GetLifeTime() const { return m_lifeTime; }

    void OnStart() override;
    int OnUpdate(f32 dt) override;

private:
    f32 m_lifeTime;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TimedLifeAction);
