#pragma once
// SerializerLevelSave: writes a room file for the level editor. It first
// records, for every archetype, the values its components start with (from
// one instance of each, made through the CompositionFactory); each placed
// object is then written with only the component values that differ from its
// archetype, so room files stay small and later changes to an archetype reach
// every room that did not override them.
//
// Output: "Level" > "Attributes" (the room's "Difficulty") and "Objects" > one element per object named after its
// archetype > one element per component with a differing value (created only
// once a value is written; components in the object's ascending type-id
// order) > one element per such field. Floats compare exactly; a default
// recorded with another type, or a field or component without a recorded
// default, counts as differing. "ParticleEmitterComponent" and
// "HealthPackComponent" are always written in full. An empty string is never written,
// nor a float that is infinite or not a number (logged; the archetype's value
// stands).

#include "engine/base/Serializer.h"

#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class TiXmlDocument;
class TiXmlNode;

namespace Ostrel {

class Composition;

class SerializerLevelSave : public Serializer {
public:
    // Collects the defaults of every archetype the factory holds now.
    SerializerLevelSave();
    // Destroys the default instances through the factory.
    ~SerializerLevelSave() override;
    SerializerLevelSave(const SerializerLevelSave&) = delete;
    SerializerLevelSave& operator=(const SerializerLevelSave&) = delete;

    bool SerializeString(const std::string& name, std::string* value) override;
    bool SerializeFloat(const std::string& name, float* value) override;
    bool SerializeBool(const std::string& name, bool* value) override;
    bool SerializeInt(const std::string& name, int* value) override;
    bool SerializeBlock(std::string& name) override;
    bool IsReading() const override { return false; }
    bool IsWriting() const override { return true; }

    // Writes the room's attributes: "Difficulty" (read back by RoomInstance).
    void WriteAttributes(int difficulty);
    // Writes one object: its archetype-named element and its differing values.
    void WriteObject(Composition& object);
    // Writes the document through a temporary file; false (logged, the
    // system's reason in why when given) on failure.
    bool SaveFile(const std::string& path, std::string* why = nullptr) const;
    const TiXmlDocument& Document() const { return *m_document; }

    // The editor's save: writes the objects that carry the save flag to
    // "<root>/level/<saveName>.xrm" (creating the folder) with the room's
    // difficulty as its attributes, and on success
    // makes the room findable at once under its lower-case name. A name
    // that a file of another kind holds ("hud", the HUD's scene) is refused
    // with that file in why: the room would hide it from the game. Answers
    // whether the file was written; why (may be null) receives the reason
    // when it was not. Built with the resource manager
    // (engine/resources/SerializerLevelSaveRoom.cpp).
    static bool SaveRoom(const std::string& saveName, const std::vector<Composition*>& objects, int difficulty = 0,
                         std::string* why = nullptr);
    // What SaveRoom writes, to the file at path (the folder must exist):
    // the room's difficulty, then every object that carries the save flag.
    // roomName names the room in the log. Used by SaveRoom and by the room
    // generator's writer (tools/room-writer), so shipped rooms are in the
    // editor's own form. why as for SaveRoom.
    static bool WriteRoomFile(const std::string& path, const std::string& roomName,
                              const std::vector<Composition*>& objects, int difficulty, std::string* why = nullptr);

private:
    // A default as recorded: its type decides what counts as equal.
    using DefaultValue = std::variant<std::string, float, bool, int>;
    // A component may read several fields from one key: one default per
    // read of the key, in reading order.
    using FieldDefaults = std::map<std::string, std::vector<DefaultValue>>;
    using ComponentDefaults = std::map<std::string, FieldDefaults>;

    void CollectDefaults();
    template <class T>
    bool HandleValue(const std::string& name, const T& value, const std::string& text);
    bool DiffersFromDefault(const std::string& name, const DefaultValue& value);
    void WriteField(const std::string& name, const std::string& text);
    void CloseBlock();
    void OpenComponent(const std::string& name);
    void OpenObject(const std::string& name);

    std::unique_ptr<TiXmlDocument> m_document;
    TiXmlNode* m_parent = nullptr;
    TiXmlNode* m_current = nullptr;
    std::string m_blockName;
    TiXmlNode* m_objectElement = nullptr;
    std::map<std::string, ComponentDefaults> m_defaults;
    ComponentDefaults* m_openArchetype = nullptr;
    FieldDefaults* m_openComponent = nullptr;
    // How often each key was read so far in the open component.
    std::map<std::string, size_t> m_reads;
    bool m_collecting = false;
    std::vector<Composition*> m_instances;
};

}  // namespace Ostrel
