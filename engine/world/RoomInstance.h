#pragma once
// One hand-made room of a level, as read from its room file (".xrm"): the
// room's template objects (never live in the object manager), its difficulty,
// its entrance and exit (the positions of its portal objects) and the bounds
// of its collision objects.
//
// SerializerXML::LoadRoom fills a room: it lets the room read "Attributes"
// (ReadAttributes) and appends every object it builds (AppendObject). The
// room owns its objects and destroys them through the object factory.
//
// Content rules (Validate): at most one entrance and one exit portal, no
// portal of another type, portals and collision objects with a transform, and
// at least one portal. A room that breaks one is refused: the reason is
// logged with the room's name ("Room [cave] has multiple entrances") and
// Load/Validate answer false, so the palette that names it is refused too.
// The program goes on.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/io/SerializerXML.h"

#include <string>
#include <vector>

namespace Ostrel {

class Composition;
class Serializer;

class RoomInstance : public RoomTarget {
public:
    RoomInstance() = default;
    explicit RoomInstance(std::string name);
    ~RoomInstance();
    RoomInstance(const RoomInstance&) = delete;
    RoomInstance& operator=(const RoomInstance&) = delete;

    // Reads the room file of that name (found through the ResourceManager)
    // into this room, names the room after it, then validates. False when the
    // file could not be read or parsed (the loader logs why) or the content
    // was refused.
    bool Load(const std::string& name);
    // Checks the objects and takes the portals and bounds from them (see the
    // header comment). Answers whether the room is usable; the first fault
    // found is logged and ends the check.
    bool Validate();
    // Why the last Load or Validate refused the room ("Room [cave] has no
    // entrance or exit"), for the screens that tell a person; empty when it
    // was accepted.
    const std::string& GetFault() const { return m_fault; }

    // Reads the int "Difficulty"; absent, the difficulty is unchanged.
    void ReadAttributes(Serializer& serializer) override;
    // Takes ownership of object (null is ignored).
    void AppendObject(Composition* object) override;

    // Clones every template object into the current object manager, in
    // order; each clone is announced with "ObjectCreated" at once. Nothing
    // without an object manager. Used by the level editor.
    void InstantiateObjects() const;

    const std::string& GetName() const { return m_name; }
    // The file the room was read from (empty for a room made in memory).
    const std::string& GetPath() const { return m_path; }
    void SetName(std::string name) { m_name = std::move(name); }
    int GetDifficulty() const { return m_difficulty; }
    void SetDifficulty(int difficulty) { m_difficulty = difficulty; }
    bool HasEntrance() const { return m_hasEntrance; }
    Vec3 GetEntrance() const { return m_entrance; }
    bool HasExit() const { return m_hasExit; }
    Vec3 GetExit() const { return m_exit; }
    // Extent (max - min) and centre of the collision bounds. Without collision
    // objects the size is -infinity on every axis and the centre (0, 0, 0).
    Vec3 GetSize() const { return m_size; }
    Vec3 GetCentre() const { return m_centre; }
    u32 GetLevelSlot() const { return m_levelSlot; }
    const std::vector<Composition*>& GetObjects() const { return m_objects; }

private:
    // Logs the fault, keeps it as the room's and answers false.
    bool Refuse(const std::string& what);
    // Each answers false after logging the fault.
    bool TakePortal(const Composition& object);
    bool TakeCollisionBounds(const Composition& object, Vec3& min, Vec3& max);
    void ResetPortals();

    std::vector<Composition*> m_objects;
    std::string m_name;
    std::string m_path;
    std::string m_fault;
    s32 m_difficulty = 0;
    bool m_hasEntrance = false;
    Vec3 m_entrance{0.0f, 0.0f, 0.0f};
    bool m_hasExit = false;
    Vec3 m_exit{0.0f, 0.0f, 0.0f};
    Vec3 m_size{0.0f, 0.0f, 0.0f};
    Vec3 m_centre{0.0f, 0.0f, 0.0f};
    u32 m_levelSlot = 0;
};

}  // namespace Ostrel
