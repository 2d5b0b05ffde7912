#pragma once
// The "wait" step of a sequence: it holds its lane (status 2, so the actions
// after it in that lane are not run) until more than its time has gone by,
// then finishes. With steps of 0.25 s a 0.5 s block holds twice (a remaining
// time of exactly 0 still holds) and finishes on the third step.

#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class TimedBlockAction final : public ActionBase {
public:
    explicit TimedBlockAction(f32 seconds = 0.0f) : m_remaining(seconds) {}

    void SetTime(f32 seconds) { m_remaining = seconds; }
    f32 GetRemaining() const { return m_remaining; }
    int OnUpdate(f32 dt) override;

private:
    f32 m_remaining;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TimedBlockAction);
