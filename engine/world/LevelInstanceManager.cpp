#include "engine/world/LevelInstanceManager.h"

#include "engine/base/Log.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Component.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/world/RoomInstance.h"
#include "engine/world/TriggerIdHolder.h"

namespace Ostrel {

LevelInstance::~LevelInstance() {
    CompositionFactory* factory = CompositionFactory::Instance();
    if (factory == nullptr) return;  // the factory already freed every object it made
    for (Composition* object : m_objects) {
        object->Uninitialize();
        factory->Destroy(object);
    }
}

LevelInstanceManager::~LevelInstanceManager() { Discard(); }

void LevelInstanceManager::Discard() {
    m_level.reset();
    Reset();
}

void LevelInstanceManager::Reset() {
    m_nextTriggerId = 0;
    m_exitPoint = Vec3();
    m_playerSpawner = nullptr;
    m_companionSpawner = nullptr;
    m_cameraSpawner = nullptr;
    m_companionOffset = Vec3();
    m_cameraOffset = Vec3();
    m_roomEnds.clear();
    m_roomCount = 0;
    m_reportedOpaqueTrigger = false;
}

bool LevelInstanceManager::Build(const std::vector<RoomInstance*>& rooms) {
    Discard();
    m_fault.clear();
    if (!CheckRooms(rooms)) return false;
    m_level = std::make_unique<LevelInstance>();
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        PlaceRoom(*rooms[i], i == 0);
        if (i + 1 < rooms.size()) m_exitPoint += rooms[i]->GetExit();
    }
    // The spawners belong in the start room (one without an entrance); when
    // the layout does not start with one, the palette is at fault.
    if (!CheckSpawners(rooms.front()->HasEntrance() ? nullptr : rooms.front())) {
        Discard();
        return false;
    }
    const Vec3 player = m_playerSpawner->GetTransform()->GetPosition();
    m_companionOffset = m_companionSpawner->GetTransform()->GetPosition() - player;
    m_cameraOffset = m_cameraSpawner->GetTransform()->GetPosition() - player;
    return true;
}

namespace {

// A level fault that lies in one room: the line starts with the room's file
// and names the file being read (the palette) when there is one.
void LogRoomFault(const RoomInstance* room, const std::string& text) {
    const std::string& source = CurrentLogSource();
    if (room == nullptr || room->GetPath().empty()) {
        LogMessage(text + "\n");
        return;
    }
    const std::string from = source.empty() || source == room->GetPath() ? "" : " (palette " + source + ")";
    LogMessage(room->GetPath() + ": " + text + from + "\n");
}

}  // namespace

bool LevelInstanceManager::Refuse(const std::string& fault, const std::string& detail) {
    m_fault = fault;
    LogMessage("Level '" + m_title + "': " + fault + "; the level is refused" + detail + "\n");
    return false;
}

bool LevelInstanceManager::CheckRooms(const std::vector<RoomInstance*>& rooms) {
    if (rooms.empty()) return Refuse("the layout has no rooms");
    for (std::size_t i = 0; i + 1 < rooms.size(); ++i) {
        if (rooms[i] == nullptr) return Refuse("the layout holds a missing room");
        if (!rooms[i]->HasExit()) {
            // An end room placed too early: the order is the palette's (the
            // file being read, which starts the line), the room is named.
            const std::string& path = rooms[i]->GetPath();
            return Refuse("room [" + rooms[i]->GetName() + "] has no exit but is room " + std::to_string(i + 1) +
                              " of " + std::to_string(rooms.size()),
                          path.empty() ? "" : " (room file " + path + ")");
        }
    }
    if (rooms.size() > kMaxRooms) {
        return Refuse("the layout holds " + std::to_string(rooms.size()) + " rooms (at most " +
                      std::to_string(kMaxRooms) + ")");
    }
    if (rooms.back() == nullptr) return Refuse("the layout holds a missing room");
    return true;
}

void LevelInstanceManager::PlaceRoom(const RoomInstance& room, bool first) {
    std::vector<Composition*> copies;
    copies.reserve(room.GetObjects().size());
    for (const Composition* object : room.GetObjects()) {
        if (Composition* copy = object->Clone()) copies.push_back(copy);
    }
    Vec3 offset;
    if (!first) {
        offset = m_exitPoint - room.GetEntrance();
        m_exitPoint = offset;
        for (Composition* copy : copies) {
            if (TransformComponent* transform = copy->GetTransform()) transform->Position() += offset;
        }
    }
    if (room.HasExit()) m_roomEnds.push_back((offset + room.GetExit()).x);
    ++m_roomCount;
    std::map<s32, s32> triggerIds;  // this copy's file ids -> level ids
    for (Composition* copy : copies) {
        TakeSpawner(*copy);
        RenumberTriggers(*copy, kPlayerTriggerTypeId, triggerIds);
        RenumberTriggers(*copy, kTriggerListenerTypeId, triggerIds);
        m_level->Append(copy);
    }
}

void LevelInstanceManager::TakeSpawner(Composition& object) {
    const std::string& name = object.GetName();
    if (m_playerSpawner == nullptr && name == kPlayerSpawner) {
        m_playerSpawner = &object;
    } else if (m_companionSpawner == nullptr && name == kCompanionSpawner) {
        m_companionSpawner = &object;
    } else if (m_cameraSpawner == nullptr && name == kCameraSpawner) {
        m_cameraSpawner = &object;
    }
}

void LevelInstanceManager::RenumberTriggers(Composition& object, u32 typeId, std::map<s32, s32>& ids) {
    Component* component = object.GetComponent(typeId);
    if (component == nullptr) return;
    auto* holder = dynamic_cast<TriggerIdHolder*>(component);
    if (holder == nullptr) {
        if (!m_reportedOpaqueTrigger) {
            LogMessage("Level '" + m_title + "': the trigger component of object '" + object.GetName() +
                       "' has no trigger id to renumber; such ids are kept as they are\n");
            m_reportedOpaqueTrigger = true;
        }
        return;
    }
    auto [it, added] = ids.try_emplace(holder->GetTriggerId(), m_nextTriggerId);
    if (added) ++m_nextTriggerId;
    holder->SetTriggerId(it->second);
}

bool LevelInstanceManager::CheckSpawners(const RoomInstance* startRoom) {
    std::string missing;
    const std::pair<const char*, Composition*> spawners[] = {
        {kPlayerSpawner, m_playerSpawner}, {kCompanionSpawner, m_companionSpawner}, {kCameraSpawner, m_cameraSpawner}};
    for (const auto& [name, object] : spawners) {
        if (object == nullptr) {
            missing += std::string(missing.empty() ? "" : ", ") + "'" + name + "'";
        } else if (object->GetTransform() == nullptr) {
            missing += std::string(missing.empty() ? "" : ", ") + "'" + name + "' (it has no transform)";
        }
    }
    if (missing.empty()) return true;
    // The spawners belong in the start room: the line names its file.
    m_fault = "the level lacks the spawner " + missing;
    LogRoomFault(startRoom, "Level '" + m_title + "' lacks the spawner " + missing + "; the level is refused");
    return false;
}

void LevelInstanceManager::Instantiate() const {
    ObjectManager* objects = CurrentObjectManager();
    if (m_level == nullptr || objects == nullptr) return;
    for (const Composition* object : m_level->GetObjects()) objects->CloneComposition(object);
}

void LevelInstanceManager::MoveSpawners(const Vec3& position) {
    if (m_level == nullptr || m_playerSpawner == nullptr) return;
    Vec3& player = m_playerSpawner->GetTransform()->Position();
    player.x = position.x;
    player.z = position.z;
    if (m_companionSpawner != nullptr) m_companionSpawner->GetTransform()->SetPosition(player + m_companionOffset);
    if (m_cameraSpawner != nullptr) m_cameraSpawner->GetTransform()->SetPosition(player + m_cameraOffset);
}

int LevelInstanceManager::GetRoomAt(const Vec3& position) const {
    int room = 1;
    for (float end : m_roomEnds) {
        if (end > position.x) break;
        ++room;
    }
    return room;
}

}  // namespace Ostrel
