#pragma once
// The system (id 1, first in every update order) that gives objects their ids
// and components their handles, makes objects from archetypes and carries out
// their destruction.
//
// Creation takes effect at once (the object exists, is initialised and is
// found by id); its global "ObjectCreated"(id) waits for the next Update,
// except for CloneObject/CloneComposition, which announce at once. Destruction
// is a request: the next Update sends "ObjectDestroyed"(id) while the object
// can still be found, then releases the id (GetObject answers null from then
// on), uninitialises the object, releases its component handles and destroys
// it through the CompositionFactory. Within one Update the destroy pass runs
// before the announce pass, and both passes take in requests that their
// listeners make during the pass.
//
// The manager does not own objects; the CompositionFactory does. Everything
// here runs on the main thread, except GetComponentByHandle / GetObject /
// IsValid, which the level-load thread may call (see HandleTable).

#include "engine/base/Types.h"
#include "engine/core/HandleTable.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/RefPtr.h"
#include "engine/core/System.h"

#include <string>
#include <vector>

namespace Ostrel {

class Component;
class Composition;
class TransformComponent;
class VariantFunction;

class ObjectManager : public System {
public:
    static constexpr u32 kSystemId = 1;
    static constexpr u32 kInitialObjectSlots = 10;
    static constexpr u32 kInitialComponentSlots = 50;

    ObjectManager();
    ~ObjectManager() override;

    // System hooks. Initialize subscribes the (empty) "KeyTriggered" handler;
    // Shutdown unsubscribes it and tears every object down at once, without
    // any "ObjectDestroyed".
    void Update(f32 dt) override;
    void Initialize() override;
    void Shutdown() override;
    std::string GetName() const override { return "ObjectManager"; }
    u32 GetId() const override { return kSystemId; }

    // Clones the archetype, places it (archetype position + source position;
    // rotation replaced by the source's; scale untouched), registers and
    // initialises it; "ObjectCreated" follows at the next Update. Returns 0
    // when the archetype is not loaded or the tables are full.
    u32 CreateObject(std::string archetypeName, TransformComponent* source);
    // CreateObject for what game code makes while a level runs (effects,
    // spawns, drops, helpers): the object's room-save flag is cleared before
    // it is initialised, so the level editor never writes it into a room.
    u32 CreateRunTimeObject(std::string archetypeName, TransformComponent* source);
    // First half of CreateObject: the object with its id and component
    // handles, not initialised and not yet live; null on failure.
    Composition* SpawnComposition(std::string archetypeName);
    // Second half: handles for components added since, Initialize, live.
    void InitializeObject(Composition* object);
    // Duplicates a live object / makes a live object of any composition;
    // "ObjectCreated" is sent before these return. 0 for a dead id or null.
    u32 CloneObject(u32 id);
    u32 CloneComposition(const Composition* source);
    // Whether that many more objects and components fit the id and handle
    // tables (each holds HandleTable::kMaxSlots): a caller placing a whole
    // room asks first, so the room is made entirely or not at all.
    bool HasRoomFor(u64 objects, u64 components) const;
    // How many more objects of componentsEach components each fit those
    // tables beside what they hold now (objects queued for destruction keep
    // their ids and handles until the next Update): a caller making many
    // copies asks first, so it can refuse a number that does not fit.
    u64 RoomForObjects(u64 componentsEach) const;

    // Only queues the id; see Update.
    void DestroyObject(u32 id);
    // Whether the id waits in the destroy queue. Code that ends an object it
    // made (an effect, a helper) while its own object is being destroyed
    // asks first: a level being cleared has queued both already, and a
    // second request would destroy the helper twice.
    bool IsDestroyQueued(u32 id) const;
    // Drops pending announcements and queues every live object.
    void DestroyAllObjects();
    // The destroy pass of Update, run now: a caller that replaces the whole
    // world (a level load) has the old objects' "ObjectDestroyed" sent
    // before the new ones' "ObjectCreated". Not for use while an object's
    // own code is on the stack.
    void DestroyPendingNow();

    // Null when the id is 0, stale, released or never given.
    Composition* GetObject(u32 id) const;
    // True for a live object and also for one destroyed whose slot has not
    // been reused since; false for archetypes (id 0).
    bool IsValid(u32 id) const;
    Component* GetComponentByHandle(u32 handle) const;
    // Appends, in live order, every live object that has a component of that
    // type; true when it appended any.
    bool FindObjectsWithComponent(u32 typeId, std::vector<u32>& ids) const;
    bool FindPlayerObjects(std::vector<u32>& ids) const;

    const std::vector<u32>& GetLiveObjects() const { return m_live; }

private:
    // Subscribed to "KeyTriggered" for the whole run; does nothing (the
    // debug object list has no keys).
    void OnKeyTriggered(int key, bool pressed);

    bool RegisterObject(Composition* object);
    bool RegisterNewComponents(Composition* object);
    void PlaceObject(Composition* object, const TransformComponent& source);
    void DestroyNow(u32 id);
    void DestroyAllNow();
    void AddToLive(u32 id);
    void RemoveFromLive(u32 id);
    void Announce(const char* message, u32 id);
    // Logs line the first time a table refuses an object; the refusals
    // after it go unlogged until an object is destroyed and frees its id
    // and handles, so a caller that keeps making objects into a full table
    // writes one line, not one per object.
    void ReportFullTable(bool& said, const std::string& line);

    std::vector<u32> m_pendingDestroy;
    HandleTable m_objects{kInitialObjectSlots};
    HandleTable m_components{kInitialComponentSlots};
    std::vector<u32> m_live;
    std::vector<u32> m_pendingCreate;
    // Per object slot: position in m_live + 1, or 0 when not live. Keeps the
    // swap-with-last removal constant-time.
    std::vector<u32> m_livePosition;
    RefPtr<VariantFunction> m_keyListener;
    // Whether the object / component table's refusal has been logged since
    // an object was last destroyed.
    bool m_objectTableFullSaid = false;
    bool m_componentTableFullSaid = false;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ObjectManager);
