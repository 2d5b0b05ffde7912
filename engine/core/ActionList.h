#pragma once
// The ordered list of running actions of one brain. The newest action runs
// first: an action added outside an update goes to the front of the list and
// starts at once; an action added during an update is queued and, after the
// pass, the queued actions go to the front in queue order (so the last one
// queued runs first), each started then. A timed sequence is therefore added
// last step first and runs in written order.
//
// During an update every change is queued: additions are applied first, then
// removals, so an action added in the same frame as another one finishes is
// started before the finished one is ended.
//
// The list owns its actions: removal ends (OnEnd) and deletes them, and so
// does destroying the list. Its owner holds it through a std::shared_ptr and
// lets go of it through Abandon: a list abandoned while it is updating (its
// object torn down by one of its own actions) stops the pass, ends every
// action, and is destroyed when the pass returns, because Update holds a
// reference to its own list for the length of the pass.

#include "engine/base/Types.h"
#include "engine/core/IAction.h"

#include <map>
#include <memory>
#include <vector>

namespace Ostrel {

class ActionList : public std::enable_shared_from_this<ActionList> {
public:
    ActionList() = default;
    ActionList(const ActionList&) = delete;
    ActionList& operator=(const ActionList&) = delete;
    // Ends and deletes every action in list order; queued additions that
    // never started are deleted without OnEnd. A list owned through a
    // std::shared_ptr is never destroyed during its own Update.
    ~ActionList();

    // Takes ownership. Outside an update: to the front, then OnStart. During
    // an update: queued until the end of the pass.
    void Add(std::unique_ptr<IAction> action);
    void Add(IAction* action) { Add(std::unique_ptr<IAction>(action)); }
    // False (and nothing done) when the action is not in the list, which
    // includes an action queued for addition in the running pass. Outside an
    // update: erased, OnEnd, deleted. During an update: queued for removal.
    bool Remove(IAction* action);
    // One pass over the actions; see the header comment for the order.
    void Update(f32 dt);

    // Lets go of the list: destroyed now when this was the last reference,
    // or, when called from inside its own Update, after that pass has ended
    // every action.
    static void Abandon(std::shared_ptr<ActionList> list);

    bool IsUpdating() const { return m_updating; }
    bool IsEmpty() const { return m_actions.empty() && m_pendingAdd.empty(); }
    // The actions in list order (front first), for inspection.
    std::vector<IAction*> Actions() const;

private:
    bool Contains(const IAction* action) const;
    void UpdateAction(IAction* action, f32 dt);
    void Start(std::unique_ptr<IAction> action);
    void ApplyPendingAdds();
    void ApplyPendingRemoves();
    void EndAndDeleteAll();

    std::vector<std::unique_ptr<IAction>> m_actions;
    std::vector<std::unique_ptr<IAction>> m_pendingAdd;
    // Not owned: actions of m_actions queued for removal during a pass.
    std::vector<IAction*> m_pendingRemove;
    bool m_updating = false;
    std::map<u32, int> m_laneStates;
    // Set for the whole of Update (also while queued changes are applied),
    // unlike m_updating, which only covers the pass over the actions.
    bool m_inUpdate = false;
    bool m_abandoned = false;
};

}  // namespace Ostrel
