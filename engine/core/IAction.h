#pragma once
// Actions: timed behaviour of one object, kept in the action list of its
// BrainComponent and stepped once per frame by the LogicSystem.
//
// An action reports a status from Update:
//   kActionRunning (0)   keep going
//   kActionFinished (1)  ended; the list ends and deletes it after this pass
//   kActionBlocking (2)  still running, and holds back every later action of
//                        its lane in the list for the rest of this pass
// Any other value counts as running.
//
// Lanes only group actions for blocking; lane 0 is the default, the game
// uses four-character codes ('brai', 'dama', 'knoc', 'flas', ...).

#include "engine/base/Types.h"

namespace Ostrel {

constexpr int kActionRunning = 0;
constexpr int kActionFinished = 1;
constexpr int kActionBlocking = 2;

class IAction {
public:
    virtual int Update(f32 dt) = 0;
    // Called when the action enters its list (at once, or after the pass
    // during which it was added).
    virtual void OnStart() = 0;
    // Called once when the list lets go of the action, right before deleting it.
    virtual void OnEnd() = 0;
    virtual void SetLane(u32 lane) = 0;
    virtual u32 GetLane() const = 0;
    virtual ~IAction() = default;
};

}  // namespace Ostrel
