#include "engine/core/ActionList.h"

#include <algorithm>

namespace Ostrel {

ActionList::~ActionList() { EndAndDeleteAll(); }

void ActionList::EndAndDeleteAll() {
    std::vector<IAction*> actions;
    actions.swap(m_actions);
    for (IAction* action : actions) {
        action->OnEnd();
        delete action;
    }
    std::vector<IAction*> neverStarted;
    neverStarted.swap(m_pendingAdd);
    for (IAction* action : neverStarted) delete action;
    m_pendingRemove.clear();
}

bool ActionList::Contains(const IAction* action) const {
    return std::find(m_actions.begin(), m_actions.end(), action) != m_actions.end();
}

void ActionList::Add(IAction* action) {
    if (!action) return;
    if (m_updating) {
        m_pendingAdd.push_back(action);
        return;
    }
    m_actions.insert(m_actions.begin(), action);
    action->OnStart();
}

bool ActionList::Remove(IAction* action) {
    if (!action || !Contains(action)) return false;
    if (m_updating) {
        m_pendingRemove.push_back(action);
        return true;
    }
    m_actions.erase(std::remove(m_actions.begin(), m_actions.end(), action), m_actions.end());
    action->OnEnd();
    delete action;
    return true;
}

void ActionList::Update(f32 dt) {
    if (m_inUpdate) return;  // an action stepping its own list again: ignored
    m_inUpdate = true;
    m_laneStates.clear();
    m_updating = true;
    // Nothing is inserted into or erased from m_actions while m_updating is
    // set, so indices stay valid; the length is re-read anyway.
    for (size_t i = 0; i < m_actions.size() && !m_abandoned; ++i) UpdateAction(m_actions[i], dt);
    m_updating = false;
    if (!m_abandoned) {
        ApplyPendingAdds();
        ApplyPendingRemoves();
    }
    m_inUpdate = false;
    if (m_abandoned) {
        EndAndDeleteAll();
        delete this;
    }
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
    std::vector<IAction*> adds;
    adds.swap(m_pendingAdd);
    for (IAction* action : adds) Add(action);
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

void ActionList::Abandon(ActionList* list) {
    if (!list) return;
    if (list->m_inUpdate) {
        list->m_abandoned = true;
        return;
    }
    delete list;
}

}  // namespace Ostrel
