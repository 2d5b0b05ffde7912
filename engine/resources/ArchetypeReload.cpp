// CompositionFactory::ReloadArchetypes walks the resource files, so it is
// built with the resource manager; its callers sit at or above this layer.

#include "engine/core/CompositionFactory.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

namespace Ostrel {

void CompositionFactory::ReloadArchetypes() {
    // Archetypes are destroyed without Uninitialize; objects already made
    // from them are independent copies and stay as they are.
    DestroyAllArchetypes();
    if (ResourceManager* resources = ResourceManager::Instance()) {
        resources->LoadAllOfKind(kKindArchetype);
    }
}

}  // namespace Ostrel
