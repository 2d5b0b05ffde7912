#include "engine/actions/EngineAccess.h"

#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"

namespace Ostrel {

ObjectManager* CurrentObjects() {
    Engine* engine = Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

CoreSystem* CurrentCoreSystem() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

Composition* FindLiveObject(u32 id) {
    ObjectManager* objects = CurrentObjects();
    return objects ? objects->GetObject(id) : nullptr;
}

}  // namespace Ostrel
