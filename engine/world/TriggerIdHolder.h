#pragma once
// What the level builder needs of a trigger component: its 32-bit trigger id
// (a signed "TriggerId", as the files store it),
// read and replaced. The game's PlayerTriggerComponent ('pctC') and
// TriggerListenerComponent ('tliC') derive from Component and from this
// interface; the builder finds them by type id and reaches the id through a
// cross-cast, so the world layer never names the game's classes.
//
// A component under one of those ids that does not implement the interface
// keeps its id (the builder logs it once per level).

#include "engine/base/Types.h"

namespace Ostrel {

class TriggerIdHolder {
public:
    virtual s32 GetTriggerId() const = 0;
    virtual void SetTriggerId(s32 id) = 0;

protected:
    ~TriggerIdHolder() = default;
};

inline constexpr u32 kPlayerTriggerTypeId = FourCC("pctC");
inline constexpr u32 kTriggerListenerTypeId = FourCC("tliC");

}  // namespace Ostrel
