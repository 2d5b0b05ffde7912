#pragma once
// One hand-made room of a level, as read from its room file (".xrm"): the
// room's template objects (never live in the object manager), its difficulty
// and, once validated by the levels code, its portals and bounds.
//
// SerializerXML::LoadRoom fills a room: it lets the room read "Attributes"
// (ReadAttributes) and appends every object it builds (AppendObject). The
// room owns its objects and destroys them through the object factory.

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

    // Reads the int "Difficulty"; absent, the difficulty is unchanged.
    void ReadAttributes(Serializer& serializer) override;
    // Takes ownership of object (null is ignored).
    void AppendObject(Composition* object) override;

    const std::string& GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    int GetDifficulty() const { return m_difficulty; }
    bool HasEntrance() const { return m_hasEntrance; }
    Vec3 GetEntrance() const { return m_entrance; }
    bool HasExit() const { return m_hasExit; }
    Vec3 GetExit() const { return m_exit; }
    Vec3 GetSize() const { return m_size; }
    Vec3 GetCentre() const { return m_centre; }
    const std::vector<Composition*>& GetObjects() const { return m_objects; }

private:
    std::vector<Composition*> m_objects;
    std::string m_name;
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
