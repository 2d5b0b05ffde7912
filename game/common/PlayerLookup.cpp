#include "game/common/PlayerLookup.h"

#include "engine/actions/ActionSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"

#include <vector>

namespace Vandle {

using namespace Ostrel;

TransformComponent* FindPlayerTransform(u32& targetId) {
    Composition* player = FindActionObject(targetId);
    if (!player) {
        ObjectManager* objects = ActionObjects();
        std::vector<u32> ids;
        if (!objects || !objects->FindPlayerObjects(ids)) return nullptr;
        targetId = ids.front();
        player = objects->GetObject(targetId);
        if (!player) return nullptr;
    }
    TransformComponent* transform = player->GetTransform();
    if (!transform) targetId = 0;
    return transform;
}

Composition* FindLivePlayer(u32 id) {
    Composition* object = FindActionObject(id);
    return object && object->GetComponent(kPlayerTypeId) ? object : nullptr;
}

}  // namespace Vandle
