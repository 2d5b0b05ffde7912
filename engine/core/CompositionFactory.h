#pragma once
// The one object factory. It keeps:
// - one component factory per registered class, by type id, and the class
//   names (the names archetype and room files use for component blocks);
// - the archetypes: complete template objects loaded from ".xobj" files, by
//   name (byte-wise order), each with id 0;
// - the live list: every object it made and not yet destroyed or filed as an
//   archetype, in creation order.
// A new object is empty ("blank") or a deep copy of an archetype.
//
// Problems are printed to stdout, not logged: the factory's texts are part of
// its output that tools and tests read on stdout. Each
// program's main makes exactly one instance as a local, right at the start,
// and registers the component types (RegisterComponentTypes); the destructor
// reports objects never destroyed and frees everything, components before
// their factories.
//
// Threads: archetype files load on the background-load thread, so the tables
// and the component factories' lists are guarded by FactoryMutex().

#include "engine/base/Types.h"

#include <list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Ostrel {

class Component;
class Composition;
class Factory;

class CompositionFactory {
public:
    CompositionFactory();
    ~CompositionFactory();
    CompositionFactory(const CompositionFactory&) = delete;
    CompositionFactory& operator=(const CompositionFactory&) = delete;

    // The instance; when there is none, prints "Factory was never
    // instantiated.\nDid you forget to make one?\n" and returns null.
    static CompositionFactory* Instance();

    // Takes ownership of factory. An id or a name already filed keeps its
    // first entry; a factory that is not filed is deleted.
    void AddComponentType(Factory* factory, u32 typeId, std::string className);
    // A new default component of that type; null (and a line on stdout) when
    // no factory is registered under the id.
    Component* CreateComponent(u32 typeId);
    Component* CreateComponentByName(const std::string& className);
    // 0 for a name that is not registered.
    u32 GetComponentTypeId(const std::string& className) const;
    // The first registered class name in name order with that id, or
    // "Could not find.".
    std::string GetComponentTypeName(u32 typeId) const;
    // Destroys the component through its type's factory; a component of a
    // type with no factory (made in code) is deleted directly.
    void DestroyComponent(Component* component);
    bool IsRegistered(u32 typeId) const;
    // Registered type ids, ascending.
    std::vector<u32> GetComponentTypeIds() const;

    // "blank": a new empty object. Otherwise a clone of the archetype, or
    // null after printing "Could not find composition of type <name>".
    Composition* Create(const std::string& archetypeName);
    // Destroys a live object or an archetype with its components; does not
    // uninitialise (callers that initialised it do that first).
    void Destroy(Composition* object);

    // Files object as the archetype name and takes it off the live list. When
    // the name is already filed, the first archetype stays and object is
    // destroyed (a file loaded twice must not leak its objects).
    void AddArchetype(Composition* object, std::string name);
    const Composition* FindArchetype(const std::string& name) const;
    void InitializeArchetypes();
    std::vector<std::string> GetArchetypeNames() const;
    // Destroys every archetype and runs the loader of every "ARCHETYPE"
    // resource again. Objects already made are untouched. Built with the
    // resource manager (engine/resources/ArchetypeReload.cpp).
    void ReloadArchetypes();

    std::size_t GetLiveCount() const;

private:
    void DestroyComponentsAndDelete(Composition* object);
    bool TakeOffLiveList(Composition* object);
    void DestroyAllArchetypes();

    static CompositionFactory* s_instance;

    std::map<u32, std::unique_ptr<Factory>> m_factories;
    std::map<std::string, Composition*> m_archetypes;
    std::map<std::string, u32> m_typeIds;
    // Creation order, with an index for constant-time removal.
    std::list<Composition*> m_live;
    std::unordered_map<Composition*, std::list<Composition*>::iterator> m_liveIndex;
};

}  // namespace Ostrel
