#pragma once
// The motion components (wave, orbit, rotational velocity, timed life) hold
// data only: when their object is initialised they hand one action to the
// object's BrainComponent, which does the work from then on.

namespace Ostrel {

class ActionBase;
class Component;

// Sets the action's owner to the component's object and adds it to that
// object's brain, which owns it from then on. Without a brain the action is
// deleted and the gap is logged with the component's class name.
void StartOnBrain(const Component& component, const char* className, ActionBase* action);

}  // namespace Ostrel
