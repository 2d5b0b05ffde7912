#include "game/common/ObjectCreation.h"

#include "game/common/LogOnce.h"

#include "engine/actions/ActionSupport.h"
#include "engine/actions/TimedLifeAction.h"
#include "engine/base/Log.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"

#include <memory>

namespace Vandle {

using namespace Ostrel;

Composition* CreateGameObject(const std::string& archetype, TransformComponent* source, const char* requester) {
    ObjectManager* objects = ActionObjects();
    if (archetype.empty() || !objects) return nullptr;
    // Made by the game while it plays: never written into a saved room.
    Composition* made = objects->GetObject(objects->CreateRunTimeObject(archetype, source));
    if (!made && FirstReport(std::string(requester) + ": archetype '" + archetype + "' could not be created"))
        LogErrorf("%s: archetype '%s' could not be created; skipped\n", requester, archetype.c_str());
    return made;
}

void AddOwnedAction(BrainComponent& brain, u32 ownerId, ActionBase* action, u32 lane) {
    action->SetOwner(ownerId);
    action->SetLane(lane);
    brain.AddAction(action);
}

bool AddToBrain(u32 objectId, ActionBase* action) {
    std::unique_ptr<ActionBase> held(action);
    Composition* object = FindActionObject(objectId);
    BrainComponent* brain = GetBrainComponentOf(object);
    if (!brain || !brain->GetActionList()) return false;
    held->SetOwner(objectId);
    brain->AddAction(held.release());
    return true;
}

void GiveTimedLife(u32 objectId, f32 seconds, const char* requester) {
    if (AddToBrain(objectId, new TimedLifeAction(seconds))) return;
    Composition* object = FindActionObject(objectId);
    if (!object) return;
    LogErrorf("%s: object %u ('%s') has no BrainComponent to end its life; destroyed at once\n", requester,
              objectId, object->GetName().c_str());
    if (ObjectManager* objects = ActionObjects()) objects->DestroyObject(objectId);
}

void DestroyMadeObject(u32 objectId) {
    ObjectManager* objects = ActionObjects();
    if (objectId == 0 || !objects || !objects->GetObject(objectId) || objects->IsDestroyQueued(objectId)) return;
    objects->DestroyObject(objectId);
}

}  // namespace Vandle
