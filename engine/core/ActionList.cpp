#include "engine/core/ActionList.h"

#include <algorithm>

namespace Ostrel {

ActionList::~ActionList() { EndAndDeleteAll(); }

void ActionList::EndAndDeleteAll() {
    std::vector<std::unique_ptr<IAction>> actions;
    actions.swap(m_actions);
    for (std::unique_ptr<IAction>& action : actions) {
        action->OnEnd();
        action.reset();
    }
    std::vector<std::unique_ptr<IAction>> neverStarted;
    neverStarted.swap(m_pendingAdd);
    neverStarted.clear();
    m_pendingRemove.clear();
}

std::vector<IAction*> ActionList::Actions() const {
    std::vector<IAction*> actions;
    actions.reserve(m_actions.size());
    for (const std::unique_ptr<IAction>& action : m_actions) actions.push_back(action.get());
    return actions;
}

bool ActionList::Contains(const IAction* action) const {
    return std::any_of(m_actions.begin(), m_actions.end(),
                       [action](const std::unique_ptr<IAction>& held) { return held.get() == action; });
}

void ActionList::Add(std::unique_ptr<IAction> action) {
    if (!action) return;
    if (m_updating) {
        m_pendingAdd.push_back(std::move(action));
        return;
    }
    Start(std::move(action));
}

void ActionList::Start(std::unique_ptr<IAction> action) {
    IAction* started = action.get();
    m_actions.insert(m_actions.begin(), std::move(action));
    started->OnStart();
}

bool ActionList::Remove(IAction* action) {
    if (!action || !Contains(action)) return false;
    if (m_updating) {
        m_pendingRemove.push_back(action);
        return true;
    }
    auto it = std::find_if(m_actions.begin(), m_actions.end(),
                           [action](const std::unique_ptr<IAction>& held) { return held.get() == action; });
    std::unique_ptr<IAction> removed = std::move(*it);
    m_actions.erase(it);
    removed->OnEnd();
    return true;
}

void ActionList::Update(f32 dt) {
    if (m_inUpdate) return;  // an action stepping its own list again: ignored
    // An action may make the owner let go of this list (Abandon); the pass
    // keeps it alive until it has cleaned up.
    const std::shared_ptr<ActionList> keepAlive = weak_from_this().lock();
    m_inUpdate = true;
    m_laneStates.clear();
    m_updating = true;
    // Nothing is inserted into or erased from m_actions while m_updating is
    // set, so indices stay valid; the length is re-read anyway.
    for (size_t i = 0; i < m_actions.size() && !m_abandoned; ++i) UpdateAction(m_actions[i].get(), dt);
    m_updating = false;
    if (!m_abandoned) {
        ApplyPendingAdds();
        ApplyPendingRemoves();
    }
    m_inUpdate = false;
    if (m_abandoned) EndAndDeleteAll();
}

void ActionList::UpdateAction(IAction* action, f32 dt) {
    int& laneState = m_laneStates.try_emplace(action->GetLane(), 0).first->second;
    if (laneState == kActionBlocking) return;
    int result = action->Update(dt);
    if (result == kActionFinished) {
        Remove(action);
    } else if (result == kActionBlocking) {
        laneState = kActionBlocking;  // map references stay valid
    }
}

void ActionList::ApplyPendingAdds() {
    std::vector<std::unique_ptr<IAction>> adds;
    adds.swap(m_pendingAdd);
    for (std::unique_ptr<IAction>& action : adds) Add(std::move(action));
}

void ActionList::ApplyPendingRemoves() {
    std::vector<IAction*> queued;
    queued.swap(m_pendingRemove);
    // An action queued twice (it finished and another party removed it) is
    // ended and deleted once. Duplicates are dropped before any deletion, so
    // a stale pointer is never compared with an action allocated meanwhile.
    std::vector<IAction*> removes;
    for (IAction* action : queued)
        if (std::find(removes.begin(), removes.end(), action) == removes.end()) removes.push_back(action);
    for (IAction* action : removes) Remove(action);
}

void ActionList::Abandon(std::shared_ptr<ActionList> list) {
    if (list && list->m_inUpdate) list->m_abandoned = true;
}

}  // namespace Ostrel
