#pragma once
// The base of every concrete action. It supplies the bookkeeping every action
// shares and leaves the action's own step to OnUpdate:
//  - finished: set by Finish (or a matching "TerminateAction"); the next
//    Update reports finished without calling OnUpdate.
//  - fixed step: the accumulator collects dt and, when it holds strictly more
//    than the step, exactly one step is taken per Update (the rest carries
//    over to later frames, however much it is).
//  - blocking: a running result (0) is reported as blocking (2).
//  - listen-terminate: while started, the action listens on its owner object
//    for the local "TerminateAction" (u32 id) and finishes when the id is its own.
//
// Set owner, lane, id and flags before handing the action to a brain: it may
// start at once.

#include "engine/base/Types.h"
#include "engine/core/IAction.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/VariantFunction.h"

namespace Ostrel {

class ActionBase : public IAction {
public:
    ActionBase() = default;
    ActionBase(const ActionBase&) = delete;
    ActionBase& operator=(const ActionBase&) = delete;
    ~ActionBase() override;

    int Update(f32 dt) override;
    void OnStart() override;
    void OnEnd() override;
    void SetLane(u32 lane) override { m_lane = lane; }
    u32 GetLane() const override { return m_lane; }
    // The action's own step; returns a status (see IAction.h).
    virtual int OnUpdate(f32 dt) = 0;

    void Finish() { m_finished = 1; }
    bool IsFinished() const { return m_finished != 0; }
    // Finishes the action when id is its own; any other id is ignored.
    void OnTerminateAction(u32 id);

    void SetOwner(u32 ownerId) { m_owner = ownerId; }
    u32 GetOwner() const { return m_owner; }
    // Both clear the accumulator.
    void SetFixedStep(bool fixedStep);
    void SetStep(f32 seconds);
    f32 GetStep() const { return m_step; }
    f32 GetAccumulator() const { return m_accumulator; }
    void SetBlocking(bool blocking) { m_blocking = blocking ? 1 : 0; }
    bool IsBlocking() const { return m_blocking != 0; }
    // Callers take ids from Engine::NextUniqueId, so 0 means "no id".
    void SetId(u32 id) { m_id = id; }
    u32 GetId() const { return m_id; }
    void SetListenTerminate(bool listen) { m_listenTerminate = listen ? 1 : 0; }

private:
    void ListenForTerminate();
    void StopListeningForTerminate();

    u8 m_finished = 0;
    u32 m_owner = 0;
    u8 m_fixedStep = 0;
    f32 m_step = 0.0f;
    f32 m_accumulator = 0.0f;
    u32 m_lane = 0;
    u8 m_blocking = 0;
    u32 m_id = 0;
    u8 m_listenTerminate = 0;
    // The delegate subscribed on the owner while started (null otherwise),
    // so OnEnd and the destructor only unsubscribe what OnStart subscribed.
    FunctionRef m_terminateListener;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ActionBase);
