#pragma once
// The interface of one component factory (see ComponentFactory). The
// CompositionFactory owns one per registered component class.

#include "engine/base/Types.h"

#include <mutex>

namespace Ostrel {

class Component;

class Factory {
public:
    virtual ~Factory() = default;
    // A new, default-constructed component of the factory's class.
    virtual Component* Create() = 0;
    // Deletes the component when this factory made it; otherwise prints
    // "We passed an improper pointer to factory with type <id>" and leaves it.
    virtual void Destroy(Component* component) = 0;
};

// One lock for the factory tables and every component factory's list:
// archetypes are loaded on the background-load thread while the main thread
// makes and destroys objects. Recursive because making an object from an
// archetype makes its components through the same lock.
std::recursive_mutex& FactoryMutex();

}  // namespace Ostrel
