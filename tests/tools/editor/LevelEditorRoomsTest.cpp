// The level editor's room commands headless: save, start over, load (twice,
// missing, by key), a save that cannot be written, and test-playing a room
// through the game system.

#include "tools/editor/LevelEditor.h"

#include "engine/base/Logger.h"
#include "engine/components/CameraComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/GameSystem.h"
#include "engine/world/LevelInstanceManager.h"
#include "tests/tools/editor/EditorTestWorld.h"
#include "tools/editor/ObjectHandle.h"
#include "tools/panels/PanelModel.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <unistd.h>

namespace Ostrel {
namespace {

using EditorTest::EditorWorld;

const char* kRoomArchetypes = R"(
<DefaultCamera>
    <TransformComponent><PosZ>-10</PosZ></TransformComponent>
    <CameraComponent />
</DefaultCamera>
<crate>
    <TransformComponent />
    <MeshComponent><MeshID>Box</MeshID></MeshComponent>
    <CollisionComponent />
</crate>
<exit-obj>
    <TransformComponent><PosX>20</PosX></TransformComponent>
    <PortalComponent><type-name>Exit</type-name></PortalComponent>
</exit-obj>
<entrance-obj>
    <TransformComponent />
    <PortalComponent><type-name>Entrance</type-name></PortalComponent>
</entrance-obj>
<spawner-Luvo><TransformComponent /></spawner-Luvo>
<spawner-qil-obj><TransformComponent /></spawner-qil-obj>
<spawner-camera><TransformComponent /><CameraComponent><LookAtPos_X>9</LookAtPos_X></CameraComponent></spawner-camera>
)";

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct RoomEar {
    void Resumed() { resumed++; }
    void Loaded() { loaded++; }
    void CameraChange(u32 id) { camera = id; }
    void LookAt(float x, float y, float z) { lookAt = Vec3(x, y, z); }
    int resumed = 0;
    int loaded = 0;
    u32 camera = 0;
    Vec3 lookAt;
};

class EditorRoomsTest : public ::testing::Test {
protected:
    EditorRoomsTest() : w(kRoomArchetypes) {
        Logger::SetCurrent(&w.world.logger);
        root = std::filesystem::path(LV_TEST_TMP) / "editor-rooms" / std::to_string(getpid()) / "rsc";
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        resources.LoadHierarchy(root.string());
        w.world.engine.AddSystem(&editor);
        editor.Initialize();
        editor.Update(0.0f);
        Frame();
    }
    ~EditorRoomsTest() override {
        editor.Shutdown();
        Logger::SetCurrent(nullptr);
    }

    void Frame() {
        w.Step();
        editor.Update(0.0f);
    }
    u32 Make(const std::string& archetype, float x = 0.0f) {
        RequireArchetype(archetype);
        model.Commit("Editor Info", "Object Creation", "Selected Archetype", archetype);
        editor.Update(0.0f);  // the text selects the archetype
        EXPECT_TRUE(model.Press("Editor Info", "Object Creation", "Create New"));
        const u32 id = editor.GetSelection();
        if (x != 0.0f) {
            EXPECT_TRUE(model.Commit("Object Info", "TransformComponent", "PosX", x));
        }
        return id;
    }
    void RequireArchetype(const std::string& name) {
        const auto& names = editor.GetArchetypeNames();
        ASSERT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
    bool Save(const std::string& name) {
        model.Commit("Editor Info", "I/O", "Saving To", name);
        const size_t before = w.world.log.size();
        model.Press("Editor Info", "I/O", "Save Level");
        return w.world.log.find("LevelEditor: saved the room '" + name + "'", before) != std::string::npos;
    }
    void Load(const std::string& name) {
        model.Commit("Editor Info", "I/O", "Loading From", name);
        model.Press("Editor Info", "I/O", "Load Level");
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> names;
        for (u32 id : editor.GetObjectList()) names.push_back(ObjectHandle(id).GetObject()->GetName());
        return names;
    }
    float PosX(u32 id) { return ObjectHandle(id).GetObject()->GetTransform()->GetPosition().x; }
    std::filesystem::path RoomFile(const std::string& name) { return root / "level" / (name + ".xrm"); }

    EditorWorld w;
    std::filesystem::path root;
    ResourceManager resources;
    PanelModel model;
    LevelEditor editor;
};

TEST_F(EditorRoomsTest, SaveNewLoadRoundTrip) {
    const u32 crate = Make("crate", 7.5f);
    ASSERT_TRUE(Save("MyRoom"));
    // Only the changed field is written: crate > TransformComponent > PosX.
    TiXmlDocument document;
    document.Parse(FileText(RoomFile("MyRoom")).c_str());
    const TiXmlElement* objects = document.FirstChildElement("Level")->FirstChildElement("Objects");
    ASSERT_NE(objects, nullptr);
    const TiXmlElement* object = objects->FirstChildElement();
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->Value(), "crate");
    EXPECT_EQ(object->NextSiblingElement(), nullptr);
    const TiXmlElement* component = object->FirstChildElement();
    ASSERT_NE(component, nullptr);
    EXPECT_STREQ(component->Value(), "TransformComponent");
    EXPECT_EQ(component->NextSiblingElement(), nullptr);
    ASSERT_NE(component->FirstChildElement("PosX"), nullptr);
    EXPECT_FLOAT_EQ(std::stof(component->FirstChildElement("PosX")->GetText()), 7.5f);
    EXPECT_EQ(component->FirstChildElement()->NextSiblingElement(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(RoomFile("MyRoom").string() + ".tmp"));

    // "New Level": the list empties at once, the objects go at the next update.
    ASSERT_TRUE(model.Press("Editor Info", "I/O", "New Level"));
    EXPECT_TRUE(editor.GetObjectList().empty());
    EXPECT_EQ(editor.GetSelection(), 0u);
    Frame();
    EXPECT_EQ(ObjectHandle(crate).GetObject(), nullptr);

    // Loaded in the same run, by its name; twice leaves one copy.
    model.Commit("Editor Info", "I/O", "Saving To", std::string("Elsewhere"));
    Load("MyRoom");
    EXPECT_EQ(editor.GetSaveName(), "Untitled");
    Load("MyRoom");
    Frame();
    Frame();
    ASSERT_EQ(Listed(), std::vector<std::string>{"crate"});
    EXPECT_FLOAT_EQ(PosX(editor.GetObjectList()[0]), 7.5f);
    EXPECT_EQ(w.world.objects.GetLiveObjects().size(), 2u);  // the crate and the camera
    EXPECT_EQ(editor.GetSelection(), editor.GetObjectList()[0]);
    EXPECT_EQ(editor.GetCollisionPicks().size(), 1u);

    // ';' loads at the next update, also when let go before it.
    w.world.core.SendMessageValues("KeyTriggered", 186, true);
    w.world.core.SendMessageValues("KeyTriggered", 186, false);
    EXPECT_EQ(editor.GetObjectList().size(), 1u);
    Frame();
    Frame();
    EXPECT_EQ(Listed(), std::vector<std::string>{"crate"});
    EXPECT_EQ(w.world.objects.GetLiveObjects().size(), 2u);

    // A Load that fails keeps the room being edited and says why on the
    // status line: a name that names no room, a broken file, a file that is
    // no room, a file that cannot be opened.
    std::ofstream(RoomFile("Broken")) << FileText(RoomFile("MyRoom")).substr(0, 60);
    resources.AddResourcePath(RoomFile("Broken").string());
    std::ofstream(root / "notes.xcfg") << "<Notes />";
    resources.AddResourcePath((root / "notes.xcfg").string());
    std::ofstream(RoomFile("Locked")) << FileText(RoomFile("MyRoom"));
    resources.AddResourcePath(RoomFile("Locked").string());
    std::filesystem::permissions(RoomFile("Locked"), std::filesystem::perms::none);
    const bool canOpenLocked = std::ifstream(RoomFile("Locked")).is_open();  // root reads it anyway
    const std::vector<u32> kept = editor.GetObjectList();
    const struct {
        const char* name;
        std::string reason;
    } failures[] = {
        {"NoSuchRoom", "no such room"},
        {"Broken", "line "},
        {"notes", "is not a room file (.xrm)"},
        {"Locked", canOpenLocked ? "" : "Permission denied"},
    };
    for (const auto& failure : failures) {
        if (failure.reason.empty()) continue;
        Load(failure.name);
        Frame();
        EXPECT_EQ(editor.GetObjectList(), kept) << failure.name;
        EXPECT_FALSE(editor.ObjectBar()->entries.empty()) << failure.name;
        EXPECT_EQ(w.world.objects.GetLiveObjects().size(), 2u) << failure.name;
        EXPECT_EQ(editor.GetSaveName(), "Untitled");
        const std::string status = model.Status().Text();
        EXPECT_EQ(status.rfind(std::string("Load Level: '") + failure.name + "' not loaded: ", 0), 0u) << status;
        EXPECT_NE(status.find(failure.reason), std::string::npos) << status;
        EXPECT_NE(w.world.log.find(std::string("the room '") + failure.name +
                                   "' could not be loaded (" + status.substr(status.find(": ", 13) + 2) +
                                   "); the editor keeps the room it had"),
                  std::string::npos)
            << w.world.log;
    }
    EXPECT_NE(w.world.log.find("unable to read designated room file: NoSuchRoom, room skipped"), std::string::npos);
    std::filesystem::permissions(RoomFile("Locked"), std::filesystem::perms::owner_all);
    model.Commit("Editor Info", "I/O", "Saving To", std::string("Kept"));
    ASSERT_TRUE(Save("Kept"));
    EXPECT_EQ(FileText(RoomFile("Kept")), FileText(RoomFile("MyRoom")));

    // An empty room saves and loads as empty.
    ASSERT_TRUE(model.Press("Editor Info", "I/O", "New Level"));
    ASSERT_TRUE(Save("Empty"));
    Load("Empty");
    Frame();
    EXPECT_TRUE(editor.GetObjectList().empty());
}

// The editor's camera is no room object: the picker never offers it, a
// fresh editor's "Create New" makes a room object, and a room file that
// holds a camera (saved by an older editor) loads without it.
TEST_F(EditorRoomsTest, TheEditorsCameraIsNeverPickedSavedOrLoaded) {
    const auto& names = editor.GetArchetypeNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(std::find(names.begin(), names.end(), "DefaultCamera"), names.end());
    EXPECT_NE(editor.GetSelectedArchetype(), "DefaultCamera");
    for (size_t i = 0; i <= names.size(); ++i) {
        editor.NextArchetype(true);
        EXPECT_NE(editor.GetSelectedArchetype(), "DefaultCamera");
    }
    model.Commit("Editor Info", "Object Creation", "Selected Archetype", std::string("DefaultCamera"));
    editor.Update(0.0f);
    EXPECT_NE(editor.GetSelectedArchetype(), "DefaultCamera");
    const u32 camera = editor.GetCameraId();
    ASSERT_TRUE(model.Press("Editor Info", "Object Creation", "Create New"));
    ASSERT_EQ(editor.GetObjectList().size(), 1u);
    const std::vector<std::string> made = Listed();
    EXPECT_NE(made[0], "DefaultCamera");
    EXPECT_EQ(editor.GetCameraId(), camera);

    ASSERT_TRUE(Save("Plain"));
    std::string text = FileText(RoomFile("Plain"));
    EXPECT_EQ(text.find("DefaultCamera"), std::string::npos);
    const size_t objects = text.find("<Objects>") + std::string("<Objects>").size();
    ASSERT_NE(objects, std::string::npos);
    text.insert(objects, "<DefaultCamera><TransformComponent><PosX>3</PosX></TransformComponent></DefaultCamera>");
    std::ofstream(RoomFile("WithCamera")) << text;
    resources.AddResourcePath(RoomFile("WithCamera").string());
    Load("WithCamera");
    Frame();
    EXPECT_EQ(Listed(), made);
    EXPECT_EQ(editor.GetCameraId(), camera);
    size_t cameras = 0;
    for (u32 id : w.world.objects.GetLiveObjects()) cameras += ObjectHandle(id).GetObject()->GetName() == "DefaultCamera";
    EXPECT_EQ(cameras, 1u);
    EXPECT_NE(w.world.log.find("the room 'WithCamera' holds the editor's camera ('DefaultCamera'); it is left out"),
              std::string::npos)
        << w.world.log;
}

TEST_F(EditorRoomsTest, FailedSaveKeepsTheEarlierFileAndTheObjects) {
    const u32 crate = Make("crate", 1.0f);
    ASSERT_TRUE(Save("MyRoom"));
    const std::string before = FileText(RoomFile("MyRoom"));

    // The temporary file cannot be made: a folder holds its name (this
    // fails for root too).
    const std::filesystem::path blocker = RoomFile("MyRoom").string() + ".tmp";
    std::filesystem::create_directories(blocker);
    std::ofstream(blocker / "keep") << "user data";
    model.Commit("Object Info", "TransformComponent", "PosX", 2.0f);
    EXPECT_FALSE(Save("MyRoom"));
    // The system's reason, in the log and on the window's status line.
    const std::string reason = std::strerror(EISDIR);
    EXPECT_NE(w.world.log.find("Failed to save file '" + RoomFile("MyRoom").string() + "': " + reason),
              std::string::npos)
        << w.world.log;
    EXPECT_NE(w.world.log.find("the room 'MyRoom' was not saved (" + reason + "); the editor keeps its objects"),
              std::string::npos);
    EXPECT_EQ(model.Status().Text(), "Save Level: 'MyRoom' not saved: " + reason);
    EXPECT_EQ(FileText(RoomFile("MyRoom")), before);
    EXPECT_EQ(FileText(blocker / "keep"), "user data");
    EXPECT_EQ(editor.GetObjectList(), std::vector<u32>{crate});
    EXPECT_FLOAT_EQ(PosX(crate), 2.0f);

    std::filesystem::remove_all(blocker);
    ASSERT_TRUE(Save("MyRoom"));
    EXPECT_NE(FileText(RoomFile("MyRoom")), before);

    // Room names are file names inside the level folder.
    for (const char* bad : {"../escape", "sub/room", "", "..", "a\\b"}) {
        EXPECT_FALSE(Save(bad)) << bad;
    }
    EXPECT_EQ(model.Status().Text(), "Save Level: 'a\\b' not saved: a room name holds no folders");
    EXPECT_FALSE(std::filesystem::exists(root / "escape.xrm"));
    EXPECT_FALSE(std::filesystem::exists(root / "level" / "sub"));
}

// "1e999" typed into a field reaches the panel as infinity: refused, the
// crate stays in sight. A value that is not finite all the same (set by
// code) is left out of the room file, which keeps the archetype's value.
TEST_F(EditorRoomsTest, NonFiniteNumbersReachNeitherTheObjectNorTheRoom) {
    const u32 crate = Make("crate", 1.5f);
    EXPECT_FALSE(model.Commit("Object Info", "TransformComponent", "PosX", std::numeric_limits<float>::infinity()));
    EXPECT_FLOAT_EQ(PosX(crate), 1.5f);
    EXPECT_EQ(editor.ObjectBar()->Find("TransformComponent", "PosX")->note, "inf is not a finite number; kept 1.5");
    EXPECT_NE(w.world.log.find("panel field 'PosX' of bar 'Object Info': inf is not a finite number; kept 1.5"),
              std::string::npos);
    ObjectHandle(crate).GetObject()->GetTransform()->Position().y = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(Save("Odd"));
    const std::string text = FileText(RoomFile("Odd"));
    EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    EXPECT_EQ(text.find("PosY"), std::string::npos) << text;
    EXPECT_NE(text.find("<PosX>1.500000</PosX>"), std::string::npos) << text;
    EXPECT_NE(w.world.log.find("PosY of TransformComponent in 'crate' is nan, not a finite number"), std::string::npos);
}

// A room may not take a name that other game data holds, in any case: it
// would hide that file from the game. A save that then works clears the
// refusal from the status line.
TEST_F(EditorRoomsTest, ASaveNeverTakesTheNameOfOtherData) {
    Make("crate");
    const std::filesystem::path hud = root / "ui" / "hud.scn";
    std::filesystem::create_directories(hud.parent_path());
    std::ofstream(hud) << "function LoadScene(scene) end";
    resources.AddResourcePath(hud.string());
    for (const std::string taken : {"hud", "HUD"}) {
        EXPECT_FALSE(Save(taken));
        EXPECT_EQ(model.Status().Text(), "Save Level: '" + taken + "' not saved: the name is taken by '" +
                                             hud.string() + "'");
        EXPECT_EQ(resources.PathOf(taken), hud.string());
    }
    EXPECT_FALSE(std::filesystem::exists(RoomFile("hud")));
    ASSERT_TRUE(Save("MyRoom"));
    EXPECT_FALSE(model.Status().Visible()) << model.Status().Text();
    // Another spelling of a room's name is that room to the game: a second
    // file would hide one of the two. Its own spelling writes it again.
    // A file copied in under another spelling while the editor runs counts.
    std::ofstream(RoomFile("Copied-In")) << "<Level><Objects/></Level>";
    const std::pair<std::string, std::string> spellings[] = {{"myroom", "MyRoom"}, {"MYROOM", "MyRoom"},
                                                             {"copied-in", "Copied-In"}};
    for (const auto& [typed, holder] : spellings) {
        EXPECT_FALSE(Save(typed)) << typed;
        EXPECT_EQ(model.Status().Text(), "Save Level: '" + typed + "' not saved: the name is taken by '" +
                                             RoomFile(holder).string() +
                                             "' (names that differ only in letter case are one name)");
        EXPECT_FALSE(std::filesystem::exists(RoomFile(typed))) << typed;
    }
    EXPECT_TRUE(Save("MyRoom"));
}

class EditorTestPlayTest : public EditorRoomsTest {
protected:
    EditorTestPlayTest() {
        w.world.engine.AddSystem(&game);
        game.Initialize();
        w.world.core.Listen("GameResumed", MakeDelegate(&ear, &RoomEar::Resumed));
        w.world.core.Listen("LevelLoaded", MakeDelegate(&ear, &RoomEar::Loaded));
        w.world.core.Listen("CameraChange", MakeDelegate(&ear, &RoomEar::CameraChange));
        w.world.core.Listen("CameraLookAtUpdate", MakeDelegate(&ear, &RoomEar::LookAt));
    }
    ~EditorTestPlayTest() override { game.Shutdown(); }

    size_t CountLive(const std::string& archetype) {
        size_t n = 0;
        for (u32 id : w.world.objects.GetLiveObjects()) n += ObjectHandle(id).GetObject()->GetName() == archetype;
        return n;
    }

    LevelInstanceManager levels;
    GameSystem game;
    RoomEar ear;
};

TEST_F(EditorTestPlayTest, RefusedRoomsKeepTheEditorAndAPlayableOneStartsUnpaused) {
    const u32 camera = editor.GetCameraId();
    Make("crate");
    ASSERT_TRUE(Save("NoPortal"));
    Make("exit-obj");
    ASSERT_TRUE(Save("NoSpawners"));
    // Loaded, the room opens for editing, with the game's reason.
    Load("NoPortal");
    EXPECT_EQ(model.Status().Text(),
              "Load Level: 'NoPortal' opened, but the game refuses it as it is: the room has no entrance or exit");
    Make("exit-obj");
    for (const std::string room : {"NoPortal", "NoSpawners", "Missing"}) {
        model.Commit("Editor Info", "I/O", "Loading From", room);
        EXPECT_FALSE(editor.TestLevel()) << room;
        const std::string why = room == "Missing"    ? "no such room"
                                : room == "NoPortal" ? "the game refuses it: the room has no entrance or exit"
                                                     : "the game refuses it: the level lacks the spawner "
                                                       "'spawner-Luvo', 'spawner-qil-obj', 'spawner-camera'";
        EXPECT_EQ(model.Status().Text(), "Test Level: '" + room + "' not played: " + why);
        EXPECT_FALSE(game.IsPlayLevelPending());
        EXPECT_TRUE(w.world.engine.GetStateStack().empty()) << room;  // nothing pushed
        EXPECT_EQ(editor.GetObjectList().size(), 2u);
        EXPECT_TRUE(editor.GetShowDebug());
        EXPECT_EQ(editor.GetCameraId(), camera);
    }
    EXPECT_NE(w.world.log.find("Room [NoPortal]"), std::string::npos) << w.world.log;
    EXPECT_NE(w.world.log.find("lacks the spawner"), std::string::npos);
    EXPECT_NE(w.world.log.find("the room 'NoSpawners' cannot be test-played; the editor stays"), std::string::npos);

    Make("spawner-Luvo", 3.0f);
    Make("spawner-qil-obj", 1.0f);
    Make("spawner-camera", -6.0f);
    ASSERT_TRUE(Save("Playable"));
    model.Commit("Editor Info", "I/O", "Loading From", std::string("Playable"));
    ASSERT_TRUE(model.Press("Editor Info", "", "Test Level"));
    EXPECT_FALSE(model.Status().Visible()) << model.Status().Text();
    EXPECT_EQ(w.world.engine.GetStateStack(), std::vector<std::string>{"GamePlay"});
    EXPECT_FALSE(editor.GetShowDebug());
    EXPECT_TRUE(editor.GetObjectList().empty());
    EXPECT_EQ(editor.GetCameraId(), 0u);                    // dropped by the announcement
    EXPECT_NE(ObjectHandle(camera).GetObject(), nullptr);  // but alive
    EXPECT_TRUE(w.world.engine.IsPaused());
    EXPECT_EQ(ear.resumed, 0);

    // The pushed state begins: the world resumes and the room's level loads.
    w.world.engine.UpdateStates();
    EXPECT_FALSE(w.world.engine.IsPaused());
    EXPECT_EQ(ear.resumed, 1);
    for (int i = 0; i < 3; ++i) {
        w.Step();
        game.Update(0.016f);
    }
    EXPECT_EQ(ear.loaded, 1);
    EXPECT_EQ(game.GetPlayRoom(), "Playable");
    EXPECT_TRUE(game.IsLevelRunning());
    EXPECT_EQ(game.GetReadyCount(), 1u);
    EXPECT_EQ(CountLive("spawner-Luvo"), 1u);
    EXPECT_EQ(CountLive("exit-obj"), 1u);
    EXPECT_EQ(CountLive("crate"), 1u);
}

// Test Level and back: the pause menu's "Back to editor" ends the play and
// the editor comes back as it was, whatever the play did to the world.
TEST_F(EditorTestPlayTest, BackToEditorRestoresTheRoomTheCameraAndThePanels) {
    w.world.engine.PushState("LevelEditor");
    w.world.engine.UpdateStates();
    Make("spawner-Luvo", 3.0f);
    Make("spawner-qil-obj", 1.0f);
    Make("spawner-camera", -6.0f);
    Make("exit-obj", 20.0f);
    Make("crate", 7.5f);
    ASSERT_TRUE(Save("Before"));
    const std::string before = FileText(RoomFile("Before"));
    const std::vector<std::string> listed = Listed();
    // The designer flies somewhere after the last load and turns.
    Load("Before");
    Frame();
    CameraComponent* flown = ObjectHandle(editor.GetCameraId()).GetObject()->GetComponentAs<CameraComponent>();
    ASSERT_NE(flown, nullptr);
    flown->SetPosition(4, 5, 6);
    flown->Rotate(-0.3f, 0.7f);
    flown->MoveForward(2.0f);
    const Vec3 position = flown->GetPosition();
    const Vec3 lookAt = flown->GetLookAt();
    ASSERT_FALSE(position == Vec3(4, 5, 6));

    ASSERT_TRUE(model.Press("Editor Info", "", "Test Level"));
    EXPECT_TRUE(editor.IsTesting());
    EXPECT_TRUE(model.Bars().empty()) << "the panels leave the screen to the game";
    w.world.engine.UpdateStates();
    for (int i = 0; i < 3; ++i) {
        w.Step();
        game.Update(0.016f);
        editor.Update(0.016f);
    }
    ASSERT_TRUE(game.IsLevelRunning());
    EXPECT_TRUE(editor.GetObjectList().empty()) << "the play's objects are not the editor's";
    // Keys during the play are the game's: ';' loads nothing.
    w.world.core.SendMessageValues("KeyTriggered", 186, true);
    editor.Update(0.016f);
    EXPECT_TRUE(editor.GetObjectList().empty());

    w.world.core.Send("BackToEditor");
    w.world.engine.UpdateStates();  // "GamePlay" pops; the editor's state returns
    EXPECT_EQ(w.world.engine.GetStateStack(), std::vector<std::string>{"LevelEditor"});
    w.world.engine.SetPaused(false);  // as the pause menu leaving does
    Frame();
    EXPECT_FALSE(editor.IsTesting());
    EXPECT_FALSE(game.IsLevelRunning());
    EXPECT_TRUE(w.world.engine.IsPaused());
    EXPECT_TRUE(editor.GetShowDebug());
    EXPECT_EQ(model.Bars().size(), 3u);
    ASSERT_NE(editor.GetCameraId(), 0u);
    const CameraComponent* back = ObjectHandle(editor.GetCameraId()).GetObject()->GetComponentAs<CameraComponent>();
    ASSERT_NE(back, nullptr);
    EXPECT_LT((back->GetPosition() - position).Length(), 1e-4f);
    EXPECT_LT((back->GetLookAt() - lookAt).Length(), 1e-4f);
    // The new camera is the view at once, whatever other camera the room or
    // the play left.
    EXPECT_EQ(ear.camera, editor.GetCameraId());
    // The room's camera spawner, made again after the camera, does not take
    // the view either: the renderer was last told the editor camera's look.
    EXPECT_LT((ear.lookAt - lookAt).Length(), 1e-4f);
    Frame();
    EXPECT_EQ(Listed(), listed);
    EXPECT_EQ(w.world.objects.GetLiveObjects().size(), listed.size() + 1) << "the room and the camera only";
    EXPECT_EQ(CountLive("crate"), 1u);
    ASSERT_TRUE(Save("After"));
    EXPECT_EQ(FileText(RoomFile("After")), before);
}

// A room the player walks into (it has an entrance and no spawners) is
// test-played behind the start room.
TEST_F(EditorTestPlayTest, ARoomWithAnEntranceIsPlayedBehindTheStartRoom) {
    Make("entrance-obj");
    Make("crate", 4.0f);
    ASSERT_TRUE(Save("Inner"));
    model.Commit("Editor Info", "I/O", "Loading From", std::string("Inner"));
    EXPECT_FALSE(editor.TestLevel()) << "no start room yet";
    EXPECT_NE(w.world.log.find("played without the start room 'room-start'"), std::string::npos);

    ASSERT_TRUE(model.Press("Editor Info", "I/O", "New Level"));
    Frame();
    Make("spawner-Luvo", 3.0f);
    Make("spawner-qil-obj", 1.0f);
    Make("spawner-camera", -6.0f);
    Make("exit-obj", 20.0f);
    ASSERT_TRUE(Save("room-start"));
    EXPECT_TRUE(editor.TestLevel());
    EXPECT_EQ(w.world.engine.GetStateStack(), std::vector<std::string>{"GamePlay"});
}

}  // namespace
}  // namespace Ostrel
