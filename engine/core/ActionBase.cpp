#include "engine/core/ActionBase.h"

#include "engine/base/Log.h"
#include "engine/core/Composition.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

LV_REFLECT_ABSTRACT(Ostrel::ActionBase);

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

namespace {

// The owner object, or null when it is gone (or there is no engine).
Composition* FindOwner(u32 owner) {
    Engine* engine = Engine::Instance();
    auto* objects = engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
    return objects ? objects->GetObject(owner) : nullptr;
}

}  // namespace

void ActionBase::ListenForTerminate() {
    if (m_terminateListener) return;
    Composition* owner = FindOwner(m_owner);
    if (!owner) {
        LogErrorf("Action %u started for object %u, which does not exist: it cannot be terminated by message\n",
                  m_id, m_owner);
        return;
    }
    m_terminateListener = MakeDelegate(this, &ActionBase::OnTerminateAction);
    owner->Listen("TerminateAction", m_terminateListener);
}

void ActionBase::StopListeningForTerminate() {
    if (!m_terminateListener) return;
    // An owner already gone took its message table with it.
    if (Composition* owner = FindOwner(m_owner)) owner->Unlisten("TerminateAction", m_terminateListener);
    m_terminateListener = FunctionRef();
}

}  // namespace Ostrel
