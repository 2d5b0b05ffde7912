#include "engine/components/ComponentSupport.h"

#include "engine/core/Component.h"
#include "engine/core/Composition.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"

namespace Ostrel {

ObjectManager* CurrentObjectManager() {
    Engine* engine = Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

bool IsOwnerLive(const Component& component) {
    const Composition* owner = component.GetOwner();
    ObjectManager* objects = CurrentObjectManager();
    return owner && objects && objects->IsValid(owner->GetId());
}

}  // namespace Ostrel
