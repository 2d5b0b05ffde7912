#pragma once
// A game object: at most one component per type id, kept in ascending
// unsigned id order (27 transform, 42 mesh, then four-character codes, so
// upper-case-initial codes come before lower-case ones). Every walk over the
// components (Initialize, Uninitialize, Clone, Serialize, ExposeProperties)
// follows that order.
//
// A composition does not own its components: CompositionFactory::Destroy
// destroys them through their factories and then deletes the composition.
// Objects are made only by the CompositionFactory ("blank" or a clone of an
// archetype); their id comes from the ObjectManager (0 for archetypes).

#include "engine/base/Types.h"

#include <map>
#include <string>

namespace Ostrel {

class Component;
class MessageComponent;
class Serializer;
class TransformComponent;
class TweakBarGroup;
class VariantFunction;
template <class T>
class RefPtr;

class Composition {
public:
    using ComponentMap = std::map<u32, Component*>;

    Composition() = default;
    Composition(const Composition&) = delete;
    Composition& operator=(const Composition&) = delete;

    u32 GetId() const { return m_id; }
    void SetId(u32 id) { m_id = id; }
    const std::string& GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    // Whether the level editor writes the object into a room file.
    bool GetSaveFlag() const { return m_saveFlag != 0; }
    void SetSaveFlag(bool save) { m_saveFlag = save ? 1 : 0; }

    // Sets the component's owner and files it under its type id. When that id
    // is already present the first component stays, and the later one is
    // destroyed through the factory (it would otherwise be held by nothing).
    // Returns whether the component was filed.
    bool AddComponent(Component* component);
    Component* GetComponent(u32 typeId) const;
    template <class T>
    T* GetComponentAs() const {
        return static_cast<T*>(GetComponent(T::kTypeId));
    }
    TransformComponent* GetTransform() const;
    MessageComponent* GetMessageComponent() const;
    const ComponentMap& GetComponents() const { return m_components; }

    void Initialize();
    void Uninitialize();
    // A new object (on the factory's live list) with clones of every
    // component and this object's name; id 0, no handles, not initialised,
    // save flag 1.
    Composition* Clone() const;
    // Writing: one block per registered component, named by its class and
    // closed by "EOF" (a component the factory does not know is left out).
    // Reading: blocks until "EOF", each creating the component its
    // name registers; an unregistered name is logged and skipped.
    void Serialize(Serializer* serializer);
    void ExposeProperties(TweakBarGroup* panel);

    // The object's own messages, through its MessageComponent; an object
    // without one ignores all three silently.
    void Send(const std::string& name);
    void Listen(const std::string& name, const RefPtr<VariantFunction>& listener);
    void Unlisten(const std::string& name, const RefPtr<VariantFunction>& listener);

private:
    void WriteComponents(Serializer* serializer);
    void ReadComponents(Serializer* serializer);

    ComponentMap m_components;
    u32 m_id = 0;
    std::string m_name;
    u8 m_saveFlag = 1;
};

}  // namespace Ostrel
