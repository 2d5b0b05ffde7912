// The archetype files: the loader of the "ARCHETYPE" resource kind and the
// reload of every archetype.

#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/Factory.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include <mutex>

namespace Ostrel {

void LoadArchetypeResource(const std::string& path) {
    // LoadObjects files every top-level element as an archetype and logs a
    // file it cannot read or parse.
    SerializerXML reader(true);
    reader.LoadObjects(path);
}

void CompositionFactory::ReloadArchetypes() {
    // Archetypes are destroyed without Uninitialize; objects already made
    // from them are independent copies and stay as they are.
    DestroyAllArchetypes();
    if (ResourceManager* resources = ResourceManager::Instance()) {
        resources->LoadAllOfKind(kKindArchetype);
    }
}

}  // namespace Ostrel
