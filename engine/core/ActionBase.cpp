#include "engine/core/ActionBase.h"

namespace Ostrel {

ActionBase::~ActionBase() { StopListeningForTerminate(); }

int ActionBase::Update(f32 dt) {
    if (m_finished) return kActionFinished;
    int result = kActionRunning;
    if (m_fixedStep) {
        m_accumulator += dt;
        if (m_accumulator > m_step) {
            m_accumulator -= m_step;
            result = OnUpdate(m_step);
        }
    } else {
        result = OnUpdate(dt);
    }
    if (m_blocking && result == kActionRunning) result = kActionBlocking;
    return result;
}

void ActionBase::OnStart() {
    m_finished = 0;
    if (m_listenTerminate) ListenForTerminate();
}

void ActionBase::OnEnd() { StopListeningForTerminate(); }

void ActionBase::OnTerminateAction(u32 id) {
    if (id == m_id) Finish();
}

void ActionBase::SetFixedStep(bool fixedStep) {
    m_fixedStep = fixedStep ? 1 : 0;
    m_accumulator = 0.0f;
}

void ActionBase::SetStep(f32 seconds) {
    m_step = seconds;
    m_accumulator = 0.0f;
}

void ActionBase::ListenForTerminate() {}
void ActionBase::StopListeningForTerminate() {}

}  // namespace Ostrel
