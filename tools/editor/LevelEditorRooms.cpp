// The level editor's room commands: start over, save, load and test-play.
//
// Saving goes through SerializerLevelSave::SaveRoom: a temporary file
// renamed over "<root>/level/<name>.xrm", so a failed save leaves the
// earlier file as it was; the editor keeps its objects either way.

#include "tools/editor/LevelEditor.h"

#include "engine/base/Log.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/io/FilePath.h"
#include "engine/io/SerializerLevelSave.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/GameSystem.h"
#include "engine/world/RoomInstance.h"
#include "tools/editor/ObjectHandle.h"

namespace Ostrel {

namespace {

// A room name becomes a file name inside the level folder: it may not be
// empty, name a folder or leave the level folder.
bool IsRoomFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
}

}  // namespace

void LevelEditor::DestroyAllObjects() {
    ObjectManager* objects = Objects();
    for (u32 id : m_objects) {
        if (objects) objects->DestroyObject(id);
    }
    m_objects.clear();
    // Their "ObjectDestroyed" comes at the object manager's next update;
    // until then nothing may pick or show them.
    m_collisionPicks.clear();
    m_boundsEntries.clear();
    m_boundsCursor = 0;
    ClearSelection();
}

bool LevelEditor::SaveLevel() {
    if (!IsRoomFileName(m_saveName)) {
        LogMessage("LevelEditor: '" + m_saveName + "' is not a room name (no folders); nothing was saved\n");
        return false;
    }
    std::vector<Composition*> room;
    for (u32 id : m_objects) {
        if (Composition* object = ObjectHandle(id).GetObject()) room.push_back(object);
    }
    if (!SerializerLevelSave::SaveRoom(m_saveName, room)) {
        LogMessage("LevelEditor: the room '" + m_saveName + "' was not saved; the editor keeps its objects\n");
        return false;
    }
    LogMessage("LevelEditor: saved the room '" + m_saveName + "' (" + std::to_string(room.size()) + " objects)\n");
    return true;
}

bool LevelEditor::LoadLevel() {
    m_saveName = "Untitled";
    DestroyAllObjects();
    // What the room's objects log while they are read names the room file.
    const ResourceManager* resources = ResourceManager::Instance();
    const FilePath path = resources != nullptr ? resources->GetPath(m_loadName) : FilePath();
    LogSourceScope source(path.IsValid() ? path.GetString() : std::string());
    RoomInstance room(m_loadName);
    SerializerXML reader(true);
    if (!reader.LoadRoom(m_loadName, room)) {
        LogMessage("LevelEditor: the room '" + m_loadName + "' could not be loaded; the editor holds no objects\n");
        return false;
    }
    // Each copy is announced at once and listed by OnObjectCreated.
    room.InstantiateObjects();
    // The editor opens rooms the game refuses (a room being made may lack
    // its portals), but says so: the game's own check logs the fault.
    if (!room.Validate()) {
        LogMessage("LevelEditor: the room '" + m_loadName + "' is open for editing, but the game refuses it as it is\n");
    } else {
        LogMessage("LevelEditor: loaded the room '" + m_loadName + "' (" + std::to_string(room.GetObjects().size()) +
                   " objects)\n");
    }
    return true;
}

bool LevelEditor::TestLevel() {
    Engine* engine = RunningEngine();
    CoreSystem* core = Core();
    if (!engine || !core) return false;
    std::string name = m_loadName;
    core->SendMessageStringPtr("SetNewPlayLevel", &name);
    auto* game = dynamic_cast<GameSystem*>(engine->GetGameSystem());
    if (!game || !game->IsPlayLevelPending()) {
        LogMessage("LevelEditor: the room '" + m_loadName + "' cannot be test-played; the editor stays\n");
        return false;
    }
    SetShowDebug(false);
    engine->PushState("GamePlay");
    DestroyAllObjects();
    // Systems that keep per-object lists drop the editor's camera; the
    // camera itself lives on.
    const u32 camera = m_cameraId;
    if (camera != 0) core->SendMessageUInt("ObjectDestroyed", camera);
    return true;
}

}  // namespace Ostrel
