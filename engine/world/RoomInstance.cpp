#include "engine/world/RoomInstance.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/PortalComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/io/FilePath.h"
#include "engine/resources/ResourceManager.h"

#include <cfloat>

namespace Ostrel {

RoomInstance::RoomInstance(std::string name) : m_name(std::move(name)) {}

RoomInstance::~RoomInstance() {
    if (m_objects.empty()) {
        return;
    }
    CompositionFactory* factory = CompositionFactory::Instance();
    if (factory == nullptr) {
        return;  // the factory already freed every object it made
    }
    for (Composition* object : m_objects) {
        object->Uninitialize();
        factory->Destroy(object);
    }
}

bool RoomInstance::Load(const std::string& name) {
    m_name = name;
    // Everything the room's objects and validation log names the room file;
    // a room no file holds is told against whoever asked for it.
    const ResourceManager* resources = ResourceManager::Instance();
    const FilePath path = resources != nullptr ? resources->GetPath(name) : FilePath();
    m_path = path.IsValid() ? path.GetString() : std::string();
    LogSourceScope source(m_path);
    SerializerXML reader(true);
    if (!reader.LoadRoom(name, *this)) {
        // The reader has logged why; the fault kept for a screen says it too.
        LogMessage("Room [" + name + "] could not be read; the room is refused\n");
        const std::string& failure = reader.RoomFailure();
        m_fault = "Room [" + name + "] could not be read" + (failure.empty() ? "" : " (" + failure + ")");
        return false;
    }
    return Validate();
}

bool RoomInstance::Refuse(const std::string& what) {
    m_fault = what;
    LogMessage(what + "; the room is refused\n");
    return false;
}

bool RoomInstance::Validate() {
    m_fault.clear();
    ResetPortals();
    Vec3 min(FLT_MAX, FLT_MAX, FLT_MAX);
    Vec3 max(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    for (const Composition* object : m_objects) {
        if (object->GetComponent(PortalComponent::kTypeId) != nullptr && !TakePortal(*object)) return false;
        if (object->GetComponent(CollisionComponent::kTypeId) != nullptr &&
            !TakeCollisionBounds(*object, min, max)) {
            return false;
        }
    }
    if (!m_hasEntrance && !m_hasExit) return Refuse("Room [" + m_name + "] has no entrance or exit");
    m_centre = (min + max) / 2.0f;
    m_size = max - min;
    m_levelSlot = 0;
    return true;
}

void RoomInstance::ResetPortals() {
    m_hasEntrance = false;
    m_hasExit = false;
    m_entrance = Vec3();
    m_exit = Vec3();
}

bool RoomInstance::TakePortal(const Composition& object) {
    const TransformComponent* transform = object.GetTransform();
    if (transform == nullptr) {
        return Refuse("Room [" + m_name + "]: encountered a portal with no transform");
    }
    const u32 type = object.GetComponentAs<PortalComponent>()->GetType();
    if (type == kPortalEntrance) {
        if (m_hasEntrance) {
            return Refuse("Room [" + m_name + "] has multiple entrances");
        }
        m_hasEntrance = true;
        m_entrance = transform->GetPosition();
        return true;
    }
    if (type == kPortalExit) {
        if (m_hasExit) {
            return Refuse("Room [" + m_name + "] has multiple exits");
        }
        m_hasExit = true;
        m_exit = transform->GetPosition();
        return true;
    }
    return Refuse("Room [" + m_name + "] has a portal with unknown type");
}

bool RoomInstance::TakeCollisionBounds(const Composition& object, Vec3& min, Vec3& max) {
    const TransformComponent* transform = object.GetTransform();
    if (transform == nullptr) {
        return Refuse("Room [" + m_name + "]: encountered an object with collision, but no transform");
    }
    const BoundingVolume& volume = object.GetComponentAs<CollisionComponent>()->GetVolume();
    const Vec3 middle = transform->GetPosition() + volume.centre;
    const Vec3 half = volume.size / 2.0f;
    const Vec3 low = middle - half;
    const Vec3 high = middle + half;
    for (int axis = 0; axis < 3; ++axis) {
        if (low[axis] < min[axis]) min[axis] = low[axis];
        if (high[axis] > max[axis]) max[axis] = high[axis];
    }
    return true;
}

void RoomInstance::ReadAttributes(Serializer& serializer) {
    int difficulty = m_difficulty;
    serializer.SerializeInt("Difficulty", &difficulty);
    m_difficulty = difficulty;
}

void RoomInstance::AppendObject(Composition* object) {
    if (object != nullptr) {
        m_objects.push_back(object);
    }
}

void RoomInstance::InstantiateObjects() const {
    ObjectManager* objects = CurrentObjectManager();
    if (objects == nullptr) return;
    u64 components = 0;
    for (const Composition* object : m_objects) components += object->GetComponents().size();
    if (!objects->HasRoomFor(m_objects.size(), components)) {
        LogMessage("Room [" + m_name + "]: its " + std::to_string(m_objects.size()) + " objects do not fit the object " +
                   "tables beside the live ones; none placed\n");
        return;
    }
    for (const Composition* object : m_objects) objects->CloneComposition(object);
}

}  // namespace Ostrel
