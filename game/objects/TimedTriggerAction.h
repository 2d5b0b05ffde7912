#pragma once
// Fires its owner's local "TriggerFired" once per period. Time is counted
// while not paused; whenever the count is strictly more than the period, one
// period is taken off and "TriggerFired" sent, so a long step fires several
// times and the remainder carries over (one firing per period in the long
// run). Local messages: "PauseTimedTrigger", "ResumeTimedTrigger" (the count
// stays as it was), "ResetTimedTrigger" (count 0) and
// "UpdateTimedTriggerAction"(period: new period, count 0).
//
// A period of 0 or less (or not a number) fires nothing and is logged once,
// naming the object's archetype. At most kMaxFiringsPerUpdate firings are
// sent in one update; beyond that (a period far below the frame time) the
// count is cut to its remainder, so an update always ends. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "game/common/LogOnce.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class TimedTriggerAction final : public Ostrel::ActionBase {
public:
    static constexpr int kMaxFiringsPerUpdate = 1000;

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void SetPeriod(f32 seconds) { m_period = seconds; }
    f32 GetPeriod() const { return m_period; }
    f32 GetAccumulated() const { return m_accumulated; }
    bool IsPaused() const { return m_paused; }

    void OnPauseTimedTrigger() { m_paused = true; }
    void OnResumeTimedTrigger() { m_paused = false; }
    void OnResetTimedTrigger() { m_accumulated = 0.0f; }
    void OnUpdateTimedTriggerAction(f32 period);

private:
    bool CheckPeriod();

    f32 m_period = 1.0f;
    bool m_paused = false;
    f32 m_accumulated = 0.0f;
    ReportOnce m_reportedPeriod;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::TimedTriggerAction);
