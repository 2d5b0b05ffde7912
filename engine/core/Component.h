#pragma once
// Objects are compositions of components. Component is the base of every
// component class: it knows its object (owner), its handle in the object
// manager's component table and an active flag, and declares the operations
// through which the engine initialises, copies, tears down, stores and shows
// a component.
//
// Rules every component class follows:
// - It is made and destroyed only through its ComponentFactory, reached via
//   CompositionFactory::CreateComponent / DestroyComponent.
// - Initialize runs once the object is complete (all siblings added). By
//   convention it subscribes to messages only when ObjectManager::IsValid
//   holds for GetOwnerId(), so archetypes (id 0) stay passive.
// - Clone makes a new component of the same type through
//   CompositionFactory::CreateComponent and copies the class's data fields;
//   the clone has no owner, no handle and is active.

#include "engine/base/Types.h"

namespace Ostrel {

class Composition;
template <class T>
class ComponentFactory;
class Serializer;
class TweakBarGroup;
class TransformComponent;
class Variant;

class Component {
public:
    Component() = default;
    virtual ~Component() = default;

    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    virtual void Initialize() = 0;
    virtual Component* Clone() const = 0;
    virtual void Uninitialize() = 0;
    // Reads or writes the class's fields by name; the serializer's mode
    // decides the direction.
    virtual void Serialize(Serializer* serializer) = 0;
    virtual void ExposeProperties(TweakBarGroup* panel) = 0;
    virtual u32 GetTypeId() const = 0;
    // A non-owning variant of the component's own class referring to it.
    virtual Variant ToVariant() = 0;

    Composition* GetOwner() const { return m_owner; }
    // Set by Composition::AddComponent.
    void SetOwner(Composition* owner) { m_owner = owner; }
    // The owner's object id; needs an owner (use from Initialize onward).
    u32 GetOwnerId() const;
    // The owner's component of that type, or null; needs an owner.
    Component* GetSibling(u32 typeId) const;
    template <class T>
    T* GetSiblingAs() const {
        return static_cast<T*>(GetSibling(T::kTypeId));
    }
    TransformComponent* GetTransform() const;

    bool IsActive() const { return m_active != 0; }
    u32 GetHandle() const { return m_handle; }
    void SetHandle(u32 handle) { m_handle = handle; }

protected:
    void SetActive(bool active) { m_active = active ? 1 : 0; }

private:
    template <class T>
    friend class ComponentFactory;

    Composition* m_owner = nullptr;
    u32 m_handle = 0;
    u8 m_active = 1;
    // Position in the making factory's list (ComponentFactory bookkeeping).
    u32 m_factoryIndex = 0;
};

}  // namespace Ostrel
