#pragma once
// Making the objects game code leaves behind (smoke, drops, spawns, rumbles,
// projectiles) and handing actions to an object's brain by id. Objects are
// always looked up by id, never kept by pointer, since creating an object may
// be what destroys or moves another.

#include "engine/base/Types.h"

#include <string>

namespace Ostrel {
class ActionBase;
class BrainComponent;
class Composition;
class TransformComponent;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

// Creates a live object of the archetype, placed from source (or at the
// archetype's own position without one), and answers it, or null. An empty
// name creates nothing; an archetype that cannot be made is logged once per
// requester and name, and the caller skips what it meant to do with it.
Ostrel::Composition* CreateGameObject(const std::string& archetype, Ostrel::TransformComponent* source,
                                      const char* requester);

// Adds the action to the brain in that lane as owned by the object of that id.
void AddOwnedAction(Ostrel::BrainComponent& brain, u32 ownerId, Ostrel::ActionBase* action, u32 lane = 0);

// Hands the action to the brain of the object of that id (the action's owner
// becomes that id) and answers true. Without such an object or brain the
// action is deleted and false answered; nothing is logged.
bool AddToBrain(u32 objectId, Ostrel::ActionBase* action);

// Gives the object a TimedLifeAction of that many seconds on its brain. An
// object without a brain could never be removed that way: it is logged and
// queued for destruction at once instead.
void GiveTimedLife(u32 objectId, f32 seconds, const char* requester);

// Queues the destruction of an object the caller made and keeps by id (an
// effect, a mound, a roaming nest) when it is live and not queued already.
// Makers end their helpers as they end themselves; when the whole level is
// being cleared both are queued already, and a second request would make
// the object manager destroy the helper twice.
void DestroyMadeObject(u32 objectId);

}  // namespace Vandle
