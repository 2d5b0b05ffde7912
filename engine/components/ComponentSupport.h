#pragma once
// Small helpers shared by the stock components: making the empty component a
// Clone starts from, and the live-object test that decides whether a
// component subscribes to messages (archetypes, id 0, stay passive).

#include "engine/core/CompositionFactory.h"
#include "engine/base/Types.h"

namespace Ostrel {

class Component;
class ObjectManager;

// A new default T from its factory, or null when there is no factory.
template <class T>
T* NewComponentOf() {
    CompositionFactory* factory = CompositionFactory::Instance();
    return factory ? static_cast<T*>(factory->CreateComponent(T::kTypeId)) : nullptr;
}

// The current engine's object manager, or null.
ObjectManager* CurrentObjectManager();

// Whether the component's owner is a live object of the current engine's
// object manager (false without an owner, an engine or an object manager).
bool IsOwnerLive(const Component& component);

}  // namespace Ostrel
