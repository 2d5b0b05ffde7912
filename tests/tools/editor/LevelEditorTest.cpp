// The level editor system headless on the panel model: its bars at start,
// the first update, the object list with its selection and pick lists, the
// archetype chooser, key states, and the layout file.

#include "tools/editor/LevelEditor.h"

#include "engine/base/Logger.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/io/UserDataFolder.h"
#include "engine/resources/ResourceManager.h"
#include "tests/tools/editor/EditorTestWorld.h"
#include "tools/editor/ObjectHandle.h"
#include "tools/panels/PanelApi.h"
#include "tools/panels/PanelModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace Ostrel {
namespace {

using EditorTest::EditorWorld;

// The items of a group as shown: entry names, and subgroups as "[name]".
std::vector<std::string> Shown(const PanelBar& bar, const std::string& group) {
    std::vector<std::pair<u64, std::string>> items;
    for (const PanelEntry& e : bar.entries) {
        if (e.group == group) items.emplace_back(e.order, e.name);
    }
    for (const PanelGroupInfo& g : bar.groups) {
        if (g.parent == group) items.emplace_back(g.order, "[" + g.name + "]");
    }
    std::sort(items.begin(), items.end());
    std::vector<std::string> names;
    for (auto& item : items) names.push_back(item.second);
    return names;
}

// Reads every field of every bar, as the renderer does each frame.
void ReadEverything(const PanelModel& model) {
    for (const auto& bar : model.Bars()) {
        for (const PanelEntry& entry : bar->entries) (void)model.Read(entry);
    }
}

struct Ear {
    void Paused() { heard.push_back("GamePaused"); }
    void Scaffolding(bool on) { heard.push_back(std::string("ShowScaffolding ") + (on ? "1" : "0")); }
    void ShowDebug(bool on) { heard.push_back(std::string("ShowDebugUpdated ") + (on ? "1" : "0")); }
    std::vector<std::string> heard;
};

class LevelEditorTest : public ::testing::Test {
protected:
    explicit LevelEditorTest(const std::string& archetypes = EditorTest::kEditorArchetypes) : w(archetypes) {
        // A data root of this process's own, where the layout is written.
        root = std::filesystem::path(LV_TEST_TMP) / "editor-tests" / std::to_string(getpid()) / "rsc";
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        resources.RegisterExtension("Config", "xcfg");
        resources.LoadHierarchy(root.string());
        w.world.engine.AddSystem(&editor);
        core().Listen("GamePaused", MakeDelegate(&ear, &Ear::Paused));
        core().Listen("ShowScaffolding", MakeDelegate(&ear, &Ear::Scaffolding));
        core().Listen("ShowDebugUpdated", MakeDelegate(&ear, &Ear::ShowDebug));
    }
    ~LevelEditorTest() override { editor.Shutdown(); }

    CoreSystem& core() { return w.world.core; }
    // One frame: the object manager's announcements, then the editor.
    void Frame() {
        w.Step();
        editor.Update(0.0f);
    }
    std::vector<std::string> Names(const std::vector<u32>& ids) {
        std::vector<std::string> names;
        for (u32 id : ids) names.push_back(ObjectHandle(id).GetObject()->GetName());
        return names;
    }

    EditorWorld w;
    Ear ear;
    std::filesystem::path root;
    ResourceManager resources;
    PanelModel model;
    LevelEditor editor;
};

TEST_F(LevelEditorTest, StartMakesThreeBarsWithTheirPlacesAndEntries) {
    editor.Initialize();
    ASSERT_EQ(model.Bars().size(), 3u);
    EXPECT_EQ(model.Bars()[0]->name, "Editor Info");
    EXPECT_EQ(model.Bars()[1]->name, "Object Info");
    EXPECT_EQ(model.Bars()[2]->name, "Tile Palette");
    EXPECT_TRUE(model.Contained());
    const std::array<u8, 3> colours[] = {{200, 200, 200}, {250, 50, 50}, {50, 50, 250}};
    const s32 x[] = {10, 320, 630};
    for (int i = 0; i < 3; ++i) {
        const PanelBar& bar = *model.Bars()[size_t(i)];
        EXPECT_EQ(bar.colour, colours[i]);
        EXPECT_EQ(bar.lightText, i != 0);
        EXPECT_EQ(bar.size, (std::array<s32, 2>{300, 400}));
        EXPECT_EQ(bar.position, (std::array<s32, 2>{x[i], 10}));
    }
    const PanelBar& info = *editor.EditorBar();
    EXPECT_EQ(Shown(info, ""), (std::vector<std::string>{"I/OSeparator", "[I/O]", "EndI/O", "Separator", "Test Level",
                                                         "BeginObjectCreation", "Object CreationSeparator",
                                                         "[Object Creation]", "EndObjectCreation", "Total Objects",
                                                         "Show Debug", "Separator 5"}));
    EXPECT_EQ(Shown(info, "I/O"), (std::vector<std::string>{"New Level", "NewLevelSeparator", "Loading From",
                                                            "Load Level", "Separator 1", "Saving To", "Save Level",
                                                            "Difficulty"}));
    EXPECT_EQ(Shown(info, "Object Creation"),
              (std::vector<std::string>{"Selected Archetype", "Create New", "Separator 3", "Clone Selected",
                                        "[Clone Settings]"}));
    EXPECT_EQ(Shown(info, "Clone Settings"), (std::vector<std::string>{"Number of Clones", "ClonePositionModX",
                                                                      "ClonePositionModY", "ClonePositionModZ"}));
    const PanelGroupInfo* clone = const_cast<PanelBar&>(info).FindGroup("Clone Settings");
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->parent, "Object Creation");
    EXPECT_FALSE(clone->opened);
    EXPECT_TRUE(editor.ObjectBar()->entries.empty());
    EXPECT_EQ(std::get<std::string>(model.Read("Editor Info", "I/O", "Loading From")), "Untitled");
    EXPECT_EQ(std::get<u32>(model.Read("Editor Info", "Clone Settings", "Number of Clones")), 1u);
    // Archetype names in the factory's order; the first is chosen.
    EXPECT_EQ(editor.GetSelectedArchetype(), editor.GetArchetypeNames().at(0));
}

TEST_F(LevelEditorTest, FirstUpdatePausesMakesTheUnlistedCameraAndShowsItsFields) {
    editor.Initialize();
    editor.Update(0.0f);
    EXPECT_EQ(ear.heard, (std::vector<std::string>{"GamePaused", "ShowScaffolding 1", "ShowDebugUpdated 1"}));
    EXPECT_TRUE(w.world.engine.IsPaused());
    const u32 camera = editor.GetCameraId();
    ASSERT_NE(ObjectHandle(camera).GetObject(), nullptr);
    EXPECT_EQ(ObjectHandle(camera).GetObject()->GetName(), "DefaultCamera");
    const auto top = Shown(*editor.EditorBar(), "");
    EXPECT_NE(std::find(top.begin(), top.end(), "[CameraComponent]"), top.end());
    EXPECT_NE(std::find(top.begin(), top.end(), "[TransformComponent]"), top.end());
    for (int i = 0; i < 3; ++i) Frame();  // the camera's announcement
    EXPECT_EQ(ear.heard.size(), 3u);      // only once
    EXPECT_TRUE(editor.GetObjectList().empty());
    EXPECT_EQ(editor.GetSelection(), 0u);
    EXPECT_EQ(std::get<u32>(model.Read("Editor Info", "", "Total Objects")), 0u);

    // "Show Debug" is a callback field: its setter stores and announces.
    EXPECT_TRUE(model.Commit("Editor Info", "", "Show Debug", false));
    EXPECT_FALSE(editor.GetShowDebug());
    EXPECT_EQ(ear.heard.back(), "ShowDebugUpdated 0");
    EXPECT_FALSE(std::get<bool>(model.Read("Editor Info", "", "Show Debug")));
    EXPECT_FALSE(model.Commit("Editor Info", "", "Total Objects", u32(5)));  // read-only

    // The camera announced as destroyed twice (a fake, then the real one):
    // its fields leave the bar at the first, nothing happens at the second.
    editor.OnObjectDestroyed(camera);
    editor.OnObjectDestroyed(camera);
    const auto after = Shown(*editor.EditorBar(), "");
    EXPECT_EQ(std::find(after.begin(), after.end(), "[CameraComponent]"), after.end());
    w.world.objects.DestroyObject(camera);
    Frame();
    ReadEverything(model);
    EXPECT_TRUE(editor.GetObjectList().empty());
}

TEST_F(LevelEditorTest, ObjectListSelectionPickListsAndVolumes) {
    editor.Initialize();
    editor.Update(0.0f);
    const u32 crate = w.Create("crate");
    const u32 floor = w.Create("floor");
    const u32 marker = w.Create("marker");
    DebugDrawQueue::Instance().Clear();
    Frame();
    EXPECT_EQ(Names(editor.GetObjectList()), (std::vector<std::string>{"crate", "floor", "marker"}));
    EXPECT_EQ(editor.GetSelection(), crate);  // the first object of an empty room
    EXPECT_EQ(editor.GetCollisionPicks(), std::vector<u32>{crate});
    ASSERT_EQ(editor.GetBoundsEntries().size(), 1u);  // the marker has no mesh to fit
    EXPECT_EQ(editor.GetBoundsEntries()[0].id, floor);
    EXPECT_FLOAT_EQ(editor.GetBoundsEntries()[0].volume.size.x, 1.0f);
    EXPECT_EQ(std::get<u32>(model.Read("Editor Info", "", "Total Objects")), 3u);
    EXPECT_EQ(std::get<std::string>(model.Read("Object Info", "", "ObjectName")), "crate");
    EXPECT_FALSE(Shown(*editor.ObjectBar(), "CollisionComponent").empty());

    // One volume per bounds entry and frame, cyan, at the object's position.
    auto shapes = DebugDrawQueue::Instance().TakeShapes();
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(shapes[0].kind, 3);
    EXPECT_EQ(shapes[0].x, 10.0f);
    EXPECT_EQ((std::array<u8, 4>{shapes[0].red, shapes[0].green, shapes[0].blue, shapes[0].alpha}),
              (std::array<u8, 4>{0, 255, 255, 255}));
    editor.Update(0.0f);
    EXPECT_EQ(DebugDrawQueue::Instance().TakeShapes().size(), 1u);

    // Scaling announces the transform: the entry is fitted again.
    TransformComponent* transform = ObjectHandle(floor).GetObject()->GetTransform();
    transform->SetScale(Vec3(3.0f, 1.0f, 1.0f));
    transform->NotifyUpdated();
    EXPECT_FLOAT_EQ(editor.GetBoundsEntries()[0].volume.size.x, 3.0f);

    editor.SetShowDebug(false);
    editor.Update(0.0f);
    EXPECT_TRUE(DebugDrawQueue::Instance().TakeShapes().empty());

    // Destroying the selection selects the next object; a second
    // announcement of the same id changes nothing.
    w.world.objects.DestroyObject(crate);
    Frame();
    EXPECT_EQ(editor.GetSelection(), floor);
    EXPECT_EQ(std::get<std::string>(model.Read("Object Info", "", "ObjectName")), "floor");
    EXPECT_TRUE(editor.GetCollisionPicks().empty());
    editor.OnObjectDestroyed(crate);
    EXPECT_EQ(editor.GetSelection(), floor);
    EXPECT_EQ(editor.GetObjectList().size(), 2u);

    w.world.objects.DestroyObject(marker);
    w.world.objects.DestroyObject(floor);
    Frame();
    EXPECT_EQ(editor.GetSelection(), 0u);  // the last one gone: no selection
    EXPECT_TRUE(editor.ObjectBar()->entries.empty());
    EXPECT_TRUE(editor.GetBoundsEntries().empty());
    EXPECT_EQ(std::get<u32>(model.Read("Editor Info", "", "Total Objects")), 0u);

    // An object that is gone by the time it is announced is listed only.
    const u32 brief = w.Create("floor");
    w.world.objects.DestroyObject(brief);
    w.Step();
    editor.OnObjectCreated(brief);
    EXPECT_EQ(editor.GetObjectList().size(), 1u);
    EXPECT_TRUE(editor.GetBoundsEntries().empty());
}

// Under AddressSanitizer: the bars are read every frame while the selected
// object and then every object goes; nothing may point into them.
TEST_F(LevelEditorTest, ObjectInfoNeverOutlivesTheSelectedObject) {
    editor.Initialize();
    editor.Update(0.0f);
    w.Create("crate");
    const u32 floor = w.Create("floor");
    Frame();
    editor.SelectObject(floor);
    ASSERT_FALSE(editor.ObjectBar()->entries.empty());
    w.world.objects.DestroyAllObjects();  // the room emptied, camera included
    for (int i = 0; i < 3; ++i) {
        Frame();
        ReadEverything(model);
    }
    EXPECT_EQ(editor.GetSelection(), 0u);
    EXPECT_TRUE(editor.ObjectBar()->entries.empty());
    EXPECT_EQ(editor.GetCameraId(), 0u);
    // Selecting something that is not listed selects nothing.
    editor.SelectObject(12345);
    EXPECT_EQ(editor.GetSelection(), 0u);
    EXPECT_TRUE(editor.ObjectBar()->entries.empty());
}

TEST_F(LevelEditorTest, ArchetypeTextSelectsKnownNamesAndSnapsBack) {
    editor.Initialize();
    const auto& names = editor.GetArchetypeNames();
    const u32 floorIndex = u32(std::find(names.begin(), names.end(), "floor") - names.begin());
    ASSERT_LT(floorIndex, names.size());
    ASSERT_TRUE(model.Commit("Editor Info", "Object Creation", "Selected Archetype", std::string("floor")));
    editor.Update(0.0f);
    EXPECT_EQ(editor.GetArchetypeIndex(), floorIndex);
    ASSERT_TRUE(model.Commit("Editor Info", "Object Creation", "Selected Archetype", std::string("flo")));
    editor.Update(0.0f);
    EXPECT_EQ(editor.GetSelectedArchetype(), "floor");
    EXPECT_EQ(editor.GetArchetypeIndex(), floorIndex);
    // The field says why it snapped back, and so does the status line; a
    // long name is quoted by its start.
    const PanelEntry* field = model.FindBar("Editor Info")->Find("Object Creation", "Selected Archetype");
    EXPECT_EQ(field->note, "'flo' names no archetype; kept 'floor'");
    ASSERT_TRUE(model.Commit("Editor Info", "Object Creation", "Selected Archetype", "floor" + std::string(300, 'x')));
    editor.Update(0.0f);
    EXPECT_EQ(editor.GetSelectedArchetype(), "floor");
    EXPECT_EQ(field->note, "'floorxxxxxxxxxxxxxxx...' names no archetype; kept 'floor'");
    EXPECT_EQ(model.Status().Text(), "Selected Archetype: " + field->note);
}

TEST_F(LevelEditorTest, KeyStatesCoverCodesBelow256AndFocusClearsThem) {
    editor.Initialize();
    core().SendMessageValues("KeyTriggered", 65, true);
    core().SendMessageValues("KeyTriggered", 255, true);
    core().SendMessageValues("KeyTriggered", 256, true);
    core().SendMessageValues("KeyTriggered", -1, true);
    core().SendMessageValues("KeyTriggered", 100000, true);
    EXPECT_TRUE(editor.IsKeyDown(65));
    EXPECT_TRUE(editor.IsKeyDown(255));
    EXPECT_FALSE(editor.IsKeyDown(256));
    EXPECT_FALSE(editor.IsKeyDown(-1));
    core().Send("SetFocus");
    EXPECT_FALSE(editor.IsKeyDown(65));
    EXPECT_FALSE(editor.IsKeyDown(255));
    // After shutdown nothing is heard.
    editor.Shutdown();
    core().SendMessageValues("KeyTriggered", 65, true);
    EXPECT_FALSE(editor.IsKeyDown(65));
}

class NoArchetypesEditorTest : public LevelEditorTest {
protected:
    NoArchetypesEditorTest() : LevelEditorTest("") {}
};

TEST_F(NoArchetypesEditorTest, TextStaysEmptyAndTheCameraIsMissingQuietly) {
    editor.Initialize();
    EXPECT_EQ(editor.GetSelectedArchetype(), "");
    editor.Update(0.0f);
    EXPECT_EQ(editor.GetCameraId(), 0u);
    model.Commit("Editor Info", "Object Creation", "Selected Archetype", std::string("typed"));
    editor.Update(0.0f);
    EXPECT_EQ(editor.GetSelectedArchetype(), "typed");  // nothing to snap back to
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(LevelEditorTest, LayoutIsReadBackFromTheBarsAndKeptInTheUserFolder) {
    // A per-user folder of this test's own.
    const char* before = std::getenv("XDG_DATA_HOME");
    const std::string savedXdg = before ? before : "";
    setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
    Logger::SetCurrent(&w.world.logger);
    const std::string file = (root / "xdg" / kUserFolderName / "leveleditor.xcfg").string();
    {
        editor.Initialize();
        // The user drags "Editor Info" and resizes "Tile Palette".
        const s32 moved[2] = {110, 40};
        const s32 resized[2] = {200, 250};
        TwSetParam(editor.EditorBar(), nullptr, "position", PanelParamType::Int32, 2, moved);
        TwSetParam(editor.PaletteBar(), nullptr, "size", PanelParamType::Int32, 2, resized);
        model.Commit("Editor Info", "I/O", "Loading From", std::string("cellar"));
        model.Commit("Editor Info", "I/O", "Saving To", std::string("cellar-2"));
        editor.Shutdown();
        EXPECT_TRUE(model.Bars().empty());
    }
    EXPECT_FALSE(std::filesystem::exists(root / "leveleditor.xcfg")) << "the data folder is not written";
    const std::string text = ReadText(file);
    EXPECT_NE(text.find("<SystemBarPosX>110</SystemBarPosX>"), std::string::npos) << text;
    EXPECT_NE(text.find("<PaletteBarSizeY>250</PaletteBarSizeY>"), std::string::npos);
    EXPECT_NE(text.find("<ObjectBarPosX>320</ObjectBarPosX>"), std::string::npos);
    EXPECT_NE(text.find("<LoadingFrom>cellar</LoadingFrom>"), std::string::npos);
    EXPECT_NE(text.find("<SavingTo>cellar-2</SavingTo>"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));

    // The next run reads the layout and the load name; the save name starts
    // over.
    ConfigureFileXML config(true);
    ASSERT_TRUE(config.Load(file));
    LevelEditor next;
    next.LoadConfig(&config);
    EXPECT_EQ(next.GetLayout()[0].posX, 110);
    EXPECT_EQ(next.GetLayout()[0].posY, 40);
    EXPECT_EQ(next.GetLayout()[2].sizeX, 200);
    EXPECT_EQ(next.GetLoadName(), "cellar");
    EXPECT_EQ(next.GetSaveName(), "Untitled");

    // A configuration missing keys keeps the defaults for those.
    std::filesystem::remove(file);
    ConfigureFileXML partial(true);
    ASSERT_TRUE(partial.LoadFromText("<x><ObjectBarPosY>77</ObjectBarPosY><SystemBarSizeX>oops</SystemBarSizeX></x>"));
    LevelEditor other;
    other.LoadConfig(&partial);
    other.LoadConfig(nullptr);
    EXPECT_EQ(other.GetLayout()[1].posY, 77);
    EXPECT_EQ(other.GetLayout()[1].posX, 320);
    EXPECT_EQ(other.GetLayout()[0].sizeX, 300);

    // The user's layout goes over the shipped default; a broken one is
    // reported and leaves the default.
    std::ofstream(file, std::ios::trunc) << "<LevelEditor><SystemBarPosX>110</SystemBarPosX></LevelEditor>";
    LevelEditor over;
    over.LoadConfig(&partial);
    EXPECT_EQ(over.GetLayout()[0].posX, 110);
    EXPECT_EQ(over.GetLayout()[1].posY, 77);
    std::ofstream(file, std::ios::trunc) << "<LevelEditor><SystemBarPosX>5</Sys";
    LevelEditor broken;
    broken.LoadConfig(&partial);
    EXPECT_EQ(broken.GetLayout()[0].posX, 10);
    EXPECT_EQ(broken.GetLayout()[1].posY, 77);
    EXPECT_NE(w.world.log.find("configuration of LevelEditor could not be read"), std::string::npos);
    Logger::SetCurrent(nullptr);
    if (before) {
        setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

}  // namespace
}  // namespace Ostrel
