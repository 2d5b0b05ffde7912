#pragma once
// What the engine's actions share (engine/actions). An action never keeps a
// pointer to its owner or to another object: it keeps ids and component
// handles and looks them up through the current engine's ObjectManager each
// time, so a destroyed object or component is simply not found.
//
// Start and end: a guarded start looks the owner up and does nothing at all
// when it is gone; otherwise it starts the ActionBase part, caches handles
// and subscribes its handlers on the owner's MessageComponent. A guarded end
// unsubscribes exactly those handlers when the owner still exists, and ends
// the ActionBase part in any case. OwnerListeners keeps the subscribed
// delegates, so starting twice subscribes once and ending twice (or deleting
// an action that was never ended) unsubscribes nothing that is not there.

#include "engine/base/Types.h"
#include "engine/core/Component.h"
#include "engine/core/Composition.h"
#include "engine/core/VariantFunction.h"
#include "engine/core/Vec3.h"

#include <string>
#include <utility>
#include <vector>

namespace Ostrel {

class CoreSystem;
class ObjectManager;

// The current engine's object manager / core system, or null.
ObjectManager* ActionObjects();
CoreSystem* ActionCore();
// True when every component is finite; otherwise logs that the message's
// vector was ignored for that object. A knockback must never carry infinity
// or NaN into velocities and positions.
bool IsFiniteKnockback(const Vec3& knockback, const char* message, u32 ownerId);
// The live object of that id, or null (no engine, id 0, destroyed).
Composition* FindActionObject(u32 id);
// The component behind a handle, or null when the handle is stale.
Component* FindComponentByHandle(u32 handle);

// A component of some object, kept by handle. Get answers null once the
// component is gone (or when it was never found), never a stale pointer.
template <class T>
class ComponentRef {
public:
    // Refers to the object's T, or to nothing when it has none.
    void Bind(const Composition* object) {
        T* component = object ? object->GetComponentAs<T>() : nullptr;
        m_handle = component ? component->GetHandle() : 0;
    }
    void BindHandle(u32 handle) { m_handle = handle; }
    u32 GetHandle() const { return m_handle; }
    T* Get() const {
        Component* component = m_handle ? FindComponentByHandle(m_handle) : nullptr;
        return component && component->GetTypeId() == T::kTypeId ? static_cast<T*>(component) : nullptr;
    }

private:
    u32 m_handle = 0;
};

// The handlers an action subscribed on its owner's messages.
class OwnerListeners {
public:
    OwnerListeners() = default;
    OwnerListeners(const OwnerListeners&) = delete;
    OwnerListeners& operator=(const OwnerListeners&) = delete;
    // Unsubscribes what is left, when the owner still exists.
    ~OwnerListeners();

    // Subscribes listener to the owner's message name, unless a listener for
    // that name is already held.
    void Listen(Composition& owner, const std::string& name, const FunctionRef& listener);
    // Unsubscribes every held listener from the object it was subscribed on,
    // in the order they were subscribed, and forgets them. With that object
    // gone its message table went with it, and only the record is dropped.
    void UnlistenAll();
    bool IsEmpty() const { return m_listeners.empty(); }

private:
    std::vector<std::pair<std::string, FunctionRef>> m_listeners;
    u32 m_owner = 0;
};

}  // namespace Ostrel

namespace Ostrel {

// The cool-down of the damage and knockback actions. The timer counts the
// seconds since the last accepted hit, from 0 at construction, so a first
// hit must also wait one cool-down. A hit is accepted when the cool-down is
// not greater than the timer; accepting restarts the timer.
struct CoolDownGate {
    explicit CoolDownGate(f32 seconds) : coolDown(seconds) {}

    bool Accept() {
        if (coolDown > timer) return false;
        timer = 0.0f;
        return true;
    }
    // The next hit waits a full cool-down.
    void Reset() { timer = 0.0f; }
    // The next hit is accepted at once.
    void Bypass() { timer = coolDown; }

    f32 coolDown;
    f32 timer = 0.0f;
};

}  // namespace Ostrel
