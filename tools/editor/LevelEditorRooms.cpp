// The level editor's room commands: start over, save, load and test-play.
//
// Saving goes through SerializerLevelSave::SaveRoom: a temporary file
// renamed over "<root>/level/<name>.xrm", so a failed save leaves the
// earlier file as it was; the editor keeps its objects either way.
//
// Testing keeps the room as a room file's text and the camera's pose, and
// builds both again when the designer comes back ("Back to editor" in the
// pause menu), so a test never changes the room being edited.

#include "tools/editor/LevelEditor.h"

#include "engine/base/Log.h"
#include "engine/components/CameraComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/ScriptEnums.h"
#include "engine/core/TransformComponent.h"
#include "engine/io/FilePath.h"
#include "engine/io/SerializerLevelSave.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/GameSystem.h"
#include "engine/world/RoomInstance.h"
#include "tools/editor/ObjectHandle.h"
#include "tools/panels/PanelStatus.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace Ostrel {

namespace {

// The game's HUD, shown while a room is tested (its Escape opens the pause
// menu, whose "Back to editor" ends the test), and the editor's own scene.
constexpr const char* kTestHudScene = "hud";
constexpr const char* kEditorScene = "le-hud";

// A room name becomes a file name inside the level folder: it may not be
// empty, name a folder or leave the level folder.
TransformComponent* TransformOf(u32 id) {
    Composition* object = ObjectHandle(id).GetObject();
    return object ? object->GetTransform() : nullptr;
}

CameraComponent* CameraOf(u32 id) {
    Composition* object = ObjectHandle(id).GetObject();
    return object ? object->GetComponentAs<CameraComponent>() : nullptr;
}

bool IsRoomFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
}

bool HasRoomExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == "xrm";
}

// The resource manager walks "rsc" once, at start-up; a room file put into
// the rooms folder while the editor runs (copied in, written by another
// editor) is looked for there when a name is not known, and recorded, so
// that Load, Save and Test Level find it as they find the others. Of two
// files whose names differ only in case, the one spelled in lower case (as
// the walk keys it) is taken, else the first in sorted order.
void RecordNewRoomFile(ResourceManager& resources, const std::string& name) {
    if (!IsRoomFileName(name) || !resources.PathOf(name).empty()) return;
    const std::filesystem::path folder =
        std::filesystem::path(resources.MakeRootPath("\\level\\" + name + ".xrm").GetString()).parent_path();
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    std::vector<std::string> found;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string fileName = it->path().filename().string();
        if (!it->is_regular_file(error) || !HasRoomExtension(fileName)) continue;
        if (ToLowerAscii(FilePath(fileName).GetBaseName()) == ToLowerAscii(name)) found.push_back(fileName);
    }
    if (found.empty()) return;
    std::sort(found.begin(), found.end());
    const auto keySpelled = std::find_if(found.begin(), found.end(), [&name](const std::string& fileName) {
        return FilePath(fileName).GetBaseName() == ToLowerAscii(name);
    });
    const std::string& chosen = keySpelled != found.end() ? *keySpelled : found.front();
    // Named as a save of the room names it.
    const std::string path = resources.MakeRootPath("\\level\\" + chosen).GetString();
    resources.AddResourcePath(path);
    LogMessage("LevelEditor: the room file '" + path + "' appeared after the start; it is used for '" + name + "'\n");
}

// A room's or level's fault as the status line says it: "Room [x] has no
// entrance or exit" becomes "the room has no entrance or exit" (the line
// names the room already).
std::string RefusalReason(const std::string& fault) {
    if (fault.empty()) return "the log says why";
    const size_t close = fault.find("] ");
    if (fault.rfind("Room [", 0) == 0 && close != std::string::npos) return "the room " + fault.substr(close + 2);
    return fault;
}

// "2 objects of the archetypes 'ghost-obj', 'old-crate-obj'": what a Load
// left out, each archetype named once.
std::string DescribeLeftOut(const std::vector<std::string>& archetypes) {
    std::vector<std::string> names;
    for (const std::string& name : archetypes) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    std::string text = std::to_string(archetypes.size()) + (archetypes.size() == 1 ? " object" : " objects") +
                       (names.size() == 1 ? " of the archetype " : " of the archetypes ");
    for (size_t i = 0; i < names.size(); ++i) text += (i ? ", '" : "'") + names[i] + "'";
    return text;
}

// A room as the editor reads it: the objects go into the room, except
// copies of the editor's own camera, which a room must not hold (an older
// editor could save one): they are logged and dropped.
class EditorRoomTarget : public RoomTarget {
public:
    explicit EditorRoomTarget(RoomInstance& room) : m_room(room) {}
    void ReadAttributes(Serializer& serializer) override { m_room.ReadAttributes(serializer); }
    void AppendObject(Composition* object) override {
        if (object == nullptr || object->GetName() != LevelEditor::kCameraArchetype) {
            m_room.AppendObject(object);
            return;
        }
        LogMessage("LevelEditor: the room '" + m_room.GetName() + "' holds the editor's camera ('" +
                   LevelEditor::kCameraArchetype + "'); it is left out\n");
        if (CompositionFactory* factory = CompositionFactory::Instance()) factory->Destroy(object);
    }

private:
    RoomInstance& m_room;
};

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

std::vector<Composition*> LevelEditor::RoomObjects() const {
    std::vector<Composition*> room;
    for (u32 id : m_objects) {
        // What game code made at run time (effects, spawns) is listed so
        // that it goes with the room, but it is no part of the room.
        Composition* object = ObjectHandle(id).GetObject();
        if (object && object->GetSaveFlag()) room.push_back(object);
    }
    return room;
}

bool LevelEditor::SaveLevel() {
    if (!IsRoomFileName(m_saveName)) {
        LogMessage("LevelEditor: '" + m_saveName + "' is not a room name (no folders); nothing was saved\n");
        ShowPanelStatus("Save Level: '" + m_saveName + "' not saved: a room name holds no folders");
        return false;
    }
    // A file of that name under another spelling, copied in while the editor
    // runs, refuses the name as one found at the start does.
    if (ResourceManager* resources = ResourceManager::Instance()) RecordNewRoomFile(*resources, m_saveName);
    const std::vector<Composition*> room = RoomObjects();
    std::string why;
    if (!SerializerLevelSave::SaveRoom(m_saveName, room, m_difficulty, &why)) {
        LogMessage("LevelEditor: the room '" + m_saveName + "' was not saved (" + why +
                   "); the editor keeps its objects\n");
        ShowPanelStatus("Save Level: '" + m_saveName + "' not saved: " + why);
        return false;
    }
    LogMessage("LevelEditor: saved the room '" + m_saveName + "' (" + std::to_string(room.size()) + " objects)\n");
    ClearPanelStatus("Save Level: ");
    return true;
}

bool LevelEditor::LoadLevel() {
    // The room being edited stays until the new one has been read whole: a
    // mistyped name or a broken file must not cost the designer their work.
    ResourceManager* resources = ResourceManager::Instance();
    if (resources != nullptr) RecordNewRoomFile(*resources, m_loadName);
    const std::string path = resources != nullptr ? resources->PathOf(m_loadName) : std::string();
    if (!path.empty() && !HasRoomExtension(path)) return RefuseLoad("'" + path + "' is not a room file (.xrm)");
    // What the room's objects log while they are read names the room file.
    LogSourceScope source(path);
    RoomInstance room(m_loadName);
    EditorRoomTarget target(room);
    SerializerXML reader(true);
    if (!reader.LoadRoom(m_loadName, target)) return RefuseLoad(reader.RoomFailure());

    m_saveName = "Untitled";
    DestroyAllObjects();
    m_difficulty = room.GetDifficulty();
    // Each copy is announced at once and listed by OnObjectCreated.
    room.InstantiateObjects();
    // Objects of archetypes the game no longer knows are not in the editor,
    // so the next save of the room drops them: said before it can happen.
    std::string status;
    if (!reader.LeftOutArchetypes().empty()) {
        const std::string leftOut = DescribeLeftOut(reader.LeftOutArchetypes());
        LogMessage("LevelEditor: the room '" + m_loadName + "' is open without " + leftOut +
                   ", which the game does not know; a save of the room drops them\n");
        status = " without " + leftOut + ", which the game does not know: a save drops them";
    }
    // The editor opens rooms the game refuses (a room being made may lack
    // its portals), but says so, with the game's own reason.
    if (!room.Validate()) {
        LogMessage("LevelEditor: the room '" + m_loadName + "' is open for editing, but the game refuses it as it is\n");
        status += (status.empty() ? ", but" : "; and") + std::string(" the game refuses it as it is: ") +
                  RefusalReason(room.GetFault());
    } else {
        LogMessage("LevelEditor: loaded the room '" + m_loadName + "' (" + std::to_string(room.GetObjects().size()) +
                   " objects)\n");
    }
    if (!status.empty()) ShowPanelStatus("Load Level: '" + m_loadName + "' opened" + status);
    else ClearPanelStatus("Load Level: ");
    return true;
}

bool LevelEditor::RefuseLoad(const std::string& why) {
    const std::string reason = why.empty() ? std::string("it could not be read") : why;
    LogMessage("LevelEditor: the room '" + m_loadName + "' could not be loaded (" + reason +
               "); the editor keeps the room it had\n");
    ShowPanelStatus("Load Level: '" + m_loadName + "' not loaded: " + reason);
    return false;
}

bool LevelEditor::TestLevel() {
    Engine* engine = RunningEngine();
    CoreSystem* core = Core();
    if (!engine || !core || m_testing) return false;
    ResourceManager* resources = ResourceManager::Instance();
    if (resources != nullptr) RecordNewRoomFile(*resources, m_loadName);
    std::string name = m_loadName;
    core->SendMessageStringPtr("SetNewPlayLevel", &name);
    auto* game = dynamic_cast<GameSystem*>(engine->GetGameSystem());
    if (!game || !game->IsPlayLevelPending()) {
        LogMessage("LevelEditor: the room '" + m_loadName + "' cannot be test-played; the editor stays\n");
        const std::string path = resources != nullptr ? resources->PathOf(m_loadName) : std::string();
        std::string refusal;  // the room's or the level's fault, as the game found it
        core->SendMessageStringPtr("QueryLevelRefusal", &refusal);
        const std::string why = path.empty()             ? "no such room"
                                : !HasRoomExtension(path) ? "'" + path + "' is not a room file (.xrm)"
                                                          : "the game refuses it: " + RefusalReason(refusal);
        ShowPanelStatus("Test Level: '" + m_loadName + "' not played: " + why);
        return false;
    }
    // What the designer comes back to: the room as it is now (the play
    // moves, spawns and destroys), and the camera's place.
    m_testSnapshot = RoomSnapshot();
    m_hasCameraPose = false;
    if (const TransformComponent* at = TransformOf(m_cameraId)) {
        m_cameraPosition = at->GetPosition();
        m_cameraRotation = at->GetRotation();
        const CameraComponent* camera = CameraOf(m_cameraId);
        m_cameraLookAt = camera ? camera->GetLookAt() : m_cameraPosition + Vec3(0.0f, 0.0f, 1.0f);
        m_hasCameraPose = true;
    }
    ClearPanelStatus("Test Level: ");
    m_showDebugBeforeTest = m_showDebug;
    SetShowDebug(false);
    engine->PushState("GamePlay");
    DestroyAllObjects();
    // Systems that keep per-object lists drop the editor's camera; the
    // camera itself lives on until the game clears the world for its level.
    const u32 camera = m_cameraId;
    if (camera != 0) core->SendMessageUInt("ObjectDestroyed", camera);
    m_testing = true;
    m_returnPending = false;
    // The panels keep their places for the way back and leave the screen to
    // the game, whose HUD (with its pause menu) comes up.
    ReadLayoutBack();
    DeleteBars();
    std::string hud = kTestHudScene;
    core->SendMessageValues("UiChangeScene", &hud, UiSceneChangeMethod::Goto);
    LogMessage("LevelEditor: test-playing the room '" + m_loadName + "'\n");
    return true;
}

void LevelEditor::OnBackToEditor() {
    if (!m_testing || m_returnPending) return;
    Engine* engine = RunningEngine();
    CoreSystem* core = Core();
    if (!engine || !core) return;
    m_returnPending = true;
    // The game stops its level and clears the world; "GamePlay" pops at
    // the next frame and its "StateReturn" brings the editor back.
    core->Send("GameEnding");
    engine->PopState();
}

// The editor's state is back. The UI drops the game's scenes in this
// frame's update (a pause menu leaving resumes the world); the editor's own
// update, which comes after it, then puts the editor back.
void LevelEditor::OnStateReturn() {
    if (!m_returnPending) return;
    m_returnPending = false;
    m_restorePending = true;
    std::string editorScene = kEditorScene;
    if (CoreSystem* core = Core()) core->SendMessageValues("UiChangeScene", &editorScene, UiSceneChangeMethod::Goto);
}

void LevelEditor::ReturnFromTest() {
    if (!m_testing) return;
    m_testing = false;
    m_returnPending = false;
    m_restorePending = false;
    Engine* engine = RunningEngine();
    CoreSystem* core = Core();
    // Paused before the room is made again, so nothing in it moves itself.
    if (core) core->Send("GamePaused");
    if (engine) engine->SetPaused(true);
    if (ObjectManager* objects = Objects()) objects->DestroyAllObjects();  // whatever the play left
    m_keys.fill(false);
    CreateCamera();
    RestoreCameraPose();
    RestoreRoom(m_testSnapshot);
    m_testSnapshot.clear();
    if (core) core->SendMessageBool("ShowScaffolding", true);
    SetShowDebug(m_showDebugBeforeTest);
    MakeBars();
    LogMessage("LevelEditor: back from test-playing the room '" + m_loadName + "'\n");
}

// Through the camera component, which keeps where the camera looks and
// tells the renderer: the view is the one the designer left.
void LevelEditor::RestoreCameraPose() {
    if (!m_hasCameraPose) return;
    if (TransformComponent* at = TransformOf(m_cameraId)) at->SetRotation(m_cameraRotation);
    if (CameraComponent* camera = CameraOf(m_cameraId)) {
        camera->SetPosition(m_cameraPosition.x, m_cameraPosition.y, m_cameraPosition.z);
        camera->SetLookAt(m_cameraLookAt.x, m_cameraLookAt.y, m_cameraLookAt.z);
    } else if (TransformComponent* at = TransformOf(m_cameraId)) {
        at->SetPosition(m_cameraPosition);
    }
}

std::string LevelEditor::RoomSnapshot() const {
    SerializerLevelSave writer;
    writer.WriteAttributes(m_difficulty);
    for (Composition* object : RoomObjects()) writer.WriteObject(*object);
    TiXmlPrinter printer;
    writer.Document().Accept(&printer);
    return printer.CStr();
}

void LevelEditor::RestoreRoom(const std::string& snapshot) {
    RoomInstance room("editor room");
    if (!SerializerXML(true).ReadRoomText("editor room", snapshot.c_str(), room)) {
        LogMessage("LevelEditor: the room from before the test could not be made again\n");
        return;
    }
    // Each copy is announced at once and listed by OnObjectCreated.
    room.InstantiateObjects();
}

}  // namespace Ostrel
