#pragma once
// Level building: turns the room list of a layout into a level. Every room's
// template objects are copied; each room after the first is moved so that
// its entrance sits on the exit of the room before it (the first room keeps
// its file coordinates); the trigger ids of every room copy are renumbered
// level-wide (a trigger and its listeners stay paired inside a copy, and no
// two copies share an id); and the three spawners are found: the first
// objects of the archetypes "spawner-Luvo" (player), "spawner-qil-obj"
// (companion) and "spawner-camera".
//
// The level's objects are templates too: Instantiate clones them into the
// object manager on every (re)start, so a retry needs no file. Levels run
// along +x; room numbers compare x only.
//
// A level is refused, with a log line, when the layout is empty, when a room
// other than the last has no exit (the rooms after it would pile up on one
// spot), or when a spawner is missing. A refused Build leaves no level:
// Instantiate, MoveSpawners and the queries then do nothing or answer for an
// empty level.

#include "engine/base/Types.h"
#include "engine/core/GenericManager.h"
#include "engine/core/Vec3.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class Composition;
class RoomInstance;

// The template objects of one built level, owned: discarding the level
// uninitialises each and destroys it through the object factory.
class LevelInstance {
public:
    LevelInstance() = default;
    ~LevelInstance();
    LevelInstance(const LevelInstance&) = delete;
    LevelInstance& operator=(const LevelInstance&) = delete;

    void Append(Composition* object) { m_objects.push_back(object); }
    const std::vector<Composition*>& GetObjects() const { return m_objects; }

private:
    std::vector<Composition*> m_objects;
};

class LevelInstanceManager : public GenericManager<LevelInstanceManager> {
public:
    static constexpr const char* kPlayerSpawner = "spawner-Luvo";
    static constexpr const char* kCompanionSpawner = "spawner-qil-obj";
    static constexpr const char* kCameraSpawner = "spawner-camera";

    LevelInstanceManager() = default;
    ~LevelInstanceManager() override;

    // Discards the current level and builds one from rooms (a room may occur
    // more than once). False when the level was refused (see the header
    // comment); there is then no level.
    // A layout of more than kMaxRooms rooms is refused (each room's objects
    // are copied into the level).
    static constexpr std::size_t kMaxRooms = 256;
    bool Build(const std::vector<RoomInstance*>& rooms);
    // Why the last Build refused the level ("the layout has no rooms"), for
    // the screens that tell a person; empty after a level was built.
    const std::string& GetFault() const { return m_fault; }
    // Clones every template object into the current object manager, in
    // order; each clone is announced with "ObjectCreated" at once. Nothing
    // without a level or an object manager.
    void Instantiate() const;
    // The player spawner takes the x and z of position (its y stays); the
    // companion and camera spawners follow at their offsets from it. Used on
    // "CheckpointUpdated", so the next Instantiate starts there.
    void MoveSpawners(const Vec3& position);
    // 1 + the number of leading room ends not greater than position.x: the
    // first room is 1, a position exactly on a room end is in the next room.
    int GetRoomAt(const Vec3& position) const;
    int GetRoomCount() const { return m_roomCount; }
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }

    const LevelInstance* GetLevel() const { return m_level.get(); }
    const std::vector<float>& GetRoomEnds() const { return m_roomEnds; }
    Composition* GetPlayerSpawner() const { return m_playerSpawner; }
    Composition* GetCompanionSpawner() const { return m_companionSpawner; }
    Composition* GetCameraSpawner() const { return m_cameraSpawner; }
    Vec3 GetCompanionOffset() const { return m_companionOffset; }
    Vec3 GetCameraOffset() const { return m_cameraOffset; }

private:
    void Discard();
    void Reset();
    // Logs "Level '<title>': <fault>; the level is refused<detail>", keeps
    // the fault and answers false.
    bool Refuse(const std::string& fault, const std::string& detail = std::string());
    bool CheckRooms(const std::vector<RoomInstance*>& rooms);
    void PlaceRoom(const RoomInstance& room, bool first);
    void TakeSpawner(Composition& object);
    void RenumberTriggers(Composition& object, u32 typeId, std::map<s32, s32>& ids);
    bool CheckSpawners(const RoomInstance* startRoom);

    std::string m_title;
    std::string m_fault;
    std::unique_ptr<LevelInstance> m_level;
    s32 m_nextTriggerId = 0;
    Vec3 m_exitPoint{0.0f, 0.0f, 0.0f};
    Composition* m_playerSpawner = nullptr;
    Composition* m_companionSpawner = nullptr;
    Composition* m_cameraSpawner = nullptr;
    Vec3 m_companionOffset{0.0f, 0.0f, 0.0f};
    Vec3 m_cameraOffset{0.0f, 0.0f, 0.0f};
    int m_roomCount = 0;
    std::vector<float> m_roomEnds;
    // A trigger component without a readable id was reported for this level.
    bool m_reportedOpaqueTrigger = false;
};

}  // namespace Ostrel
