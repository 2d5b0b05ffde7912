#include "game/objects/TimedTriggerAction.h"

#include "engine/base/Log.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <cmath>

LV_REFLECT_CLASS(Vandle::TimedTriggerAction);

namespace Vandle {

using namespace Ostrel;

void TimedTriggerAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_listeners.Listen(*owner, "PauseTimedTrigger", MakeDelegate(this, &TimedTriggerAction::OnPauseTimedTrigger));
    m_listeners.Listen(*owner, "ResumeTimedTrigger", MakeDelegate(this, &TimedTriggerAction::OnResumeTimedTrigger));
    m_listeners.Listen(*owner, "ResetTimedTrigger", MakeDelegate(this, &TimedTriggerAction::OnResetTimedTrigger));
    m_listeners.Listen(*owner, "UpdateTimedTriggerAction",
                       MakeDelegate(this, &TimedTriggerAction::OnUpdateTimedTriggerAction));
    ActionBase::OnStart();
    CheckPeriod();
}

void TimedTriggerAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

void TimedTriggerAction::OnUpdateTimedTriggerAction(f32 period) {
    m_period = period;
    m_accumulated = 0.0f;
    CheckPeriod();
}

bool TimedTriggerAction::CheckPeriod() {
    if (m_period > 0.0f) return true;
    if (m_reportedPeriod.First()) {
        const Composition* owner = FindActionObject(GetOwner());
        LogErrorf("TimedTriggerComponent: object %u ('%s'): RepeatTime %g is not above 0; it fires nothing\n",
                  GetOwner(), owner ? owner->GetName().c_str() : "", double(m_period));
    }
    return false;
}

int TimedTriggerAction::OnUpdate(f32 dt) {
    if (m_paused) return kActionRunning;
    m_accumulated += dt;
    if (!CheckPeriod()) return kActionRunning;
    int fired = 0;
    while (m_accumulated > m_period) {
        if (fired == kMaxFiringsPerUpdate) {
            m_accumulated = std::fmod(m_accumulated, m_period);
            break;
        }
        m_accumulated -= m_period;
        ++fired;
        // A receiver may destroy the object (deferred) or end this action;
        // the owner is looked up for every firing.
        if (Composition* owner = FindActionObject(GetOwner())) owner->Send("TriggerFired");
    }
    return kActionRunning;
}

}  // namespace Vandle
