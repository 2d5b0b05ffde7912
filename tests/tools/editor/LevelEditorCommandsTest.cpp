// The level editor's commands headless: the key table, cloning, picking
// through the renderer's real inverse matrices, the tile brushes and
// palettes, and resetting a tile map.

#include "tools/editor/LevelEditor.h"

#include "engine/base/Logger.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/platform/DeviceParams.h"
#include "engine/resources/ResourceManager.h"
#include "tests/tools/editor/EditorTestWorld.h"
#include "tools/editor/ObjectHandle.h"
#include "tools/panels/PanelModel.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace Ostrel {
namespace {

using EditorTest::EditorWorld;
using EditorTest::RegistryVisuals;

// Our own test archetypes: the editor camera, boxes with and without a
// collider, tiled floors with a loaded, no and an unknown palette.
const char* kCommandArchetypes = R"(
<DefaultCamera>
    <TransformComponent><PosZ>-10</PosZ></TransformComponent>
    <CameraComponent />
</DefaultCamera>
<block>
    <TransformComponent />
    <MeshComponent><MeshID>Box</MeshID></MeshComponent>
</block>
<crate>
    <TransformComponent />
    <MeshComponent><MeshID>Box</MeshID></MeshComponent>
    <CollisionComponent />
</crate>
<tiled>
    <TransformComponent><ScaX>16</ScaX><ScaZ>16</ScaZ></TransformComponent>
    <MeshComponent>
        <MeshID>Box</MeshID><TextureTiles_x>4</TextureTiles_x><TextureTiles_y>4</TextureTiles_y>
        <TilePalette>ground-tiles</TilePalette>
    </MeshComponent>
</tiled>
<tiled-small>
    <TransformComponent><ScaX>16</ScaX><ScaZ>16</ScaZ></TransformComponent>
    <MeshComponent>
        <MeshID>SmallBox</MeshID><TextureTiles_x>4</TextureTiles_x><TextureTiles_y>4</TextureTiles_y>
        <TilePalette>ground-tiles</TilePalette>
    </MeshComponent>
</tiled-small>
<tiled-bare>
    <TransformComponent />
    <MeshComponent><MeshID>Box</MeshID><TextureTiles_x>5</TextureTiles_x><TextureTiles_y>3</TextureTiles_y></MeshComponent>
</tiled-bare>
<tiled-lost>
    <TransformComponent />
    <MeshComponent>
        <MeshID>Box</MeshID><TextureTiles_x>4</TextureTiles_x><TextureTiles_y>3</TextureTiles_y>
        <TilePalette>missing-tiles</TilePalette>
    </MeshComponent>
</tiled-lost>
)";

struct Heard {
    void Paused() { names.push_back("GamePaused"); }
    void Resumed() { names.push_back("GameResumed"); }
    std::vector<std::string> names;
};

class EditorCommandsTest : public ::testing::Test {
protected:
    // The palettes exist before the archetypes are read.
    EditorCommandsTest() : w((AddPalettes(visuals), kCommandArchetypes)) {
        Logger::SetCurrent(&w.world.logger);
        root = std::filesystem::path(LV_TEST_TMP) / "editor-commands" / std::to_string(getpid()) / "rsc";
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        resources.LoadHierarchy(root.string());
        DeviceParams screen;
        screen.width = 800;
        screen.height = 600;
        matrices.SetScreenSize(screen);
        w.world.engine.AddSystem(&editor);
        w.world.core.Listen("GamePaused", MakeDelegate(&heard, &Heard::Paused));
        w.world.core.Listen("GameResumed", MakeDelegate(&heard, &Heard::Resumed));
        editor.Initialize();
        editor.Update(0.0f);  // the camera
        Frame();
        heard.names.clear();
    }
    ~EditorCommandsTest() override {
        editor.Shutdown();
        Logger::SetCurrent(nullptr);
    }
    static void AddPalettes(RegistryVisuals& visuals) {
        visuals.Add("floor-tiles");
        visuals.Add("garden-a");
        visuals.Add("garden-b");
        visuals.Add("ground-tiles", {"ground", "ground-cracked", "ground-moss", "ground-dark", "boards", "boards-worn",
                                     "boards-dark", "boards-broken", "turf", "turf-dry", "turf-flowers", "soil",
                                     "pool", "ground-edge", "shore", "pebbles"});
    }

    void Frame() {
        w.Step();
        editor.Update(0.0f);
    }
    void Key(int key, bool down) { w.world.core.SendMessageValues("KeyTriggered", key, down); }
    void Tap(int key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            Key(key, true);
            Key(key, false);
        }
    }
    u32 Make(const std::string& archetype, const Vec3& position = Vec3(0, 0, 0), const Vec3& scale = Vec3(1, 1, 1)) {
        const u32 id = w.Create(archetype);
        TransformComponent* transform = Transform(id);
        transform->SetPosition(position);
        transform->SetScale(scale);
        w.Step();  // announced and listed
        return id;
    }
    TransformComponent* Transform(u32 id) { return ObjectHandle(id).GetObject()->GetTransform(); }
    MeshComponent* MeshOf(u32 id) { return ObjectHandle(id).GetObject()->GetComponentAs<MeshComponent>(); }

    // The editor camera and the renderer's view both at eye, looking at at.
    void Aim(const Vec3& eye, const Vec3& at, const Vec3& up = Vec3(0, 1, 0)) {
        Transform(editor.GetCameraId())->SetPosition(eye);
        matrices.OnCameraPosUpdate(eye.x, eye.y, eye.z);
        matrices.OnCameraLookAtUpdate(at.x, at.y, at.z);
        matrices.OnCameraUpUpdate(up.x, up.y, up.z);
        matrices.OnGraphicsUpdate(0.0f);
    }
    // The window pixel of a world point, through the forward matrices.
    std::array<int, 2> Pixel(const Vec3& point) {
        Vec4 p = Vec4(point, 1.0f) * *matrices.GetView() * *matrices.GetProjection();
        p = Vec4(p.x / p.w, p.y / p.w, p.z / p.w, 1.0f) * *matrices.GetScreen();
        return {int(std::lround(p.x)), int(std::lround(p.y))};
    }
    // A press at from and a release at to (window pixels).
    void Click(std::array<int, 2> from, std::array<int, 2> to) {
        w.world.core.SendMessageValues("MouseMoved", 0, from[0], from[1]);
        Key(1, true);
        w.world.core.SendMessageValues("MouseMoved", 0, to[0], to[1]);
        Key(1, false);
    }
    void Click(const Vec3& point) { Click(Pixel(point), Pixel(point)); }

    RegistryVisuals visuals;
    EditorWorld w;
    std::filesystem::path root;
    ResourceManager resources;
    PanelModel model;
    MatrixManager matrices;
    Heard heard;
    LevelEditor editor;
};

void ExpectVec(const Vec3& got, const Vec3& want, const std::string& what) {
    EXPECT_FLOAT_EQ(got.x, want.x) << what;
    EXPECT_FLOAT_EQ(got.y, want.y) << what;
    EXPECT_FLOAT_EQ(got.z, want.z) << what;
}

TEST_F(EditorCommandsTest, KeyTable) {
    const u32 block = Make("block");
    ASSERT_EQ(editor.GetSelection(), block);
    struct Row {
        int key;
        bool ctrl;
        int times;
        Vec3 position, rotation, scale;
    };
    const Vec3 o(0, 0, 0), one(1, 1, 1);
    const Row rows[] = {
        {102, false, 1, {1, 0, 0}, o, one},        {102, true, 1, {4, 0, 0}, o, one},
        {100, false, 1, {-1, 0, 0}, o, one},       {100, true, 2, {-8, 0, 0}, o, one},
        {97, false, 1, {0, -1, 0}, o, one},        {99, true, 1, {0, 4, 0}, o, one},
        {101, false, 1, {0, 0, -1}, o, one},       {104, false, 3, {0, 0, 3}, o, one},
        {103, false, 4, o, {0, -360, 0}, one},     {105, true, 1, o, {0, 90, 0}, one},
        {73, false, 1, o, o, {1, 1, 2}},           {74, false, 1, o, o, {0, 1, 1}},
        {75, true, 1, o, o, {1, 1, -3}},           {76, true, 1, o, o, {5, 1, 1}},
    };
    for (const Row& row : rows) {
        TransformComponent* t = Transform(block);
        t->SetPosition(o);
        t->SetRotation(o);
        t->SetScale(one);
        if (row.ctrl) Key(17, true);
        Tap(row.key, row.times);
        if (row.ctrl) Key(17, false);
        const std::string what = "key " + std::to_string(row.key) + (row.ctrl ? " with Ctrl" : "");
        ExpectVec(t->GetPosition(), row.position, what);
        ExpectVec(t->GetRotation(), row.rotation, what);
        ExpectVec(t->GetScale(), row.scale, what);
    }
    EXPECT_EQ(editor.GetMoveStep(), 1.0f);  // Ctrl released

    // Scaling refits the bounds entry; moving leaves it as it is.
    Transform(block)->SetScale(one);
    Tap(76);
    ASSERT_EQ(editor.GetBoundsEntries().size(), 1u);
    EXPECT_FLOAT_EQ(editor.GetBoundsEntries()[0].volume.size.x, 2.0f);

    // 'P' and 'O' act on press and on release.
    Tap(80);
    EXPECT_TRUE(w.world.engine.IsPaused());
    Tap(79);
    EXPECT_FALSE(w.world.engine.IsPaused());
    EXPECT_EQ(heard.names, (std::vector<std::string>{"GamePaused", "GamePaused", "GameResumed", "GameResumed"}));

    // Archetypes cycle both ways and wrap.
    const auto& names = editor.GetArchetypeNames();
    const u32 count = u32(names.size());
    ASSERT_GT(count, 2u);
    Tap(90);  // Z from the first: the last
    EXPECT_EQ(editor.GetArchetypeIndex(), count - 1);
    Tap(118);  // F7
    EXPECT_EQ(editor.GetArchetypeIndex(), 0u);
    Tap(88);
    Tap(116, 2);  // F5
    EXPECT_EQ(editor.GetArchetypeIndex(), count - 1);
    EXPECT_EQ(editor.GetSelectedArchetype(), names.back());
}

TEST_F(EditorCommandsTest, SelectionCyclesDeletesAndCreatesWithoutTheCamera) {
    const u32 camera = editor.GetCameraId();
    // Nothing listed: the camera is never selected, deleted or cloned.
    Tap(221);
    Tap(219);
    Tap(46);
    Tap(86);
    Frame();
    EXPECT_EQ(editor.GetSelection(), 0u);
    EXPECT_TRUE(editor.GetObjectList().empty());
    ASSERT_NE(ObjectHandle(camera).GetObject(), nullptr);

    const u32 a = Make("block"), b = Make("block"), c = Make("crate");
    EXPECT_EQ(editor.GetSelection(), a);
    EXPECT_TRUE(MeshOf(a)->IsHighlighted());
    Tap(219);  // '[' from the first: the last
    EXPECT_EQ(editor.GetSelection(), c);
    EXPECT_FALSE(MeshOf(a)->IsHighlighted());
    EXPECT_TRUE(MeshOf(c)->IsHighlighted());
    EXPECT_EQ(MeshOf(c)->GetHighlightColor().y, 0.0f);
    Tap(221);  // ']' from the last: the first
    EXPECT_EQ(editor.GetSelection(), a);
    Tap(221);
    EXPECT_EQ(editor.GetSelection(), b);

    // Delete takes the selection out at once and selects the next.
    Tap(46);
    EXPECT_EQ(editor.GetSelection(), c);
    EXPECT_EQ(editor.GetObjectList(), (std::vector<u32>{a, c}));
    Tap(46);
    EXPECT_EQ(editor.GetSelection(), a);  // wrapped
    Frame();
    EXPECT_EQ(ObjectHandle(b).GetObject(), nullptr);
    EXPECT_EQ(ObjectHandle(c).GetObject(), nullptr);
    EXPECT_TRUE(editor.GetCollisionPicks().empty());
    EXPECT_EQ(std::get<std::string>(model.Read("Object Info", "", "ObjectName")), "block");
    Tap(46);
    EXPECT_EQ(editor.GetSelection(), 0u);
    EXPECT_TRUE(editor.ObjectBar()->entries.empty());

    // C asks, the next update creates an object of the selected archetype
    // and selects it; F6 likewise. A key held over several frames makes one
    // object; a tap let go before the update still makes one.
    ASSERT_TRUE(model.Commit("Editor Info", "Object Creation", "Selected Archetype", std::string("crate")));
    Key(67, true);
    EXPECT_TRUE(editor.GetObjectList().empty());
    Frame();
    ASSERT_EQ(editor.GetObjectList().size(), 1u);
    const u32 made = editor.GetSelection();
    EXPECT_EQ(ObjectHandle(made).GetObject()->GetName(), "crate");
    Frame();
    Key(67, false);
    Frame();
    EXPECT_EQ(editor.GetObjectList().size(), 1u);
    Tap(117);
    Frame();
    EXPECT_EQ(editor.GetObjectList().size(), 2u);
    EXPECT_NE(editor.GetSelection(), made);
    Tap(67);
    Frame();
    EXPECT_EQ(editor.GetObjectList().size(), 3u);
    Frame();  // the announcements list nothing twice
    EXPECT_EQ(editor.GetObjectList().size(), 3u);
    EXPECT_EQ(ObjectHandle(camera).GetObject()->GetName(), "DefaultCamera");
}

TEST_F(EditorCommandsTest, ClonesAreOffsetSelectedAndNeverMoreThanTheTablesHold) {
    const u32 source = Make("crate", Vec3(1, 2, 3));
    ASSERT_TRUE(model.Commit("Editor Info", "Clone Settings", "Number of Clones", u32(3)));
    ASSERT_TRUE(model.Commit("Editor Info", "Clone Settings", "ClonePositionModX", 2.0f));
    ASSERT_TRUE(model.Press("Editor Info", "Object Creation", "Clone Selected"));
    const auto& list = editor.GetObjectList();
    ASSERT_EQ(list.size(), 4u);
    for (int i = 1; i <= 3; ++i) ExpectVec(Transform(list[size_t(i)])->GetPosition(), Vec3(1.0f + 2 * i, 2, 3), "clone");
    EXPECT_EQ(editor.GetSelection(), list[3]);
    EXPECT_EQ(editor.GetCollisionPicks().size(), 4u);
    EXPECT_EQ(std::get<u32>(model.Read("Editor Info", "Clone Settings", "Number of Clones")), 1u);
    EXPECT_EQ(std::get<f32>(model.Read("Editor Info", "Clone Settings", "ClonePositionModX")), 0.0f);
    ExpectVec(Transform(source)->GetPosition(), Vec3(1, 2, 3), "source");

    // No copies: nothing selected, an empty "Object Info", nothing dangling.
    ASSERT_TRUE(model.Commit("Editor Info", "Clone Settings", "Number of Clones", u32(0)));
    Tap(86);
    EXPECT_EQ(editor.GetSelection(), 0u);
    EXPECT_TRUE(editor.ObjectBar()->entries.empty());
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(editor.GetCloneCount(), 1u);

    // More copies than the tables hold make none: the status line says how
    // many fit, the log says it once, and the settings stay. Blocks (2
    // handles each, never announced) fill the component table until 10
    // handles are free: room for 3 crates (3 each).
    while (w.world.objects.HasRoomFor(1, 11)) ASSERT_NE(w.Create("block"), 0u);
    editor.SelectObject(source);
    const size_t from = w.world.log.size();
    ASSERT_TRUE(model.Commit("Editor Info", "Clone Settings", "Number of Clones", u32(4)));
    Tap(86);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(model.Status().Text(), "Clone: 4 copies of 'crate' not made: the object tables hold room for 3 more");
    ASSERT_TRUE(model.Commit("Editor Info", "Clone Settings", "Number of Clones", u32(4294967295)));
    Tap(86);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(editor.GetCloneCount(), 4294967295u);
    const std::string said = "no copy of 'crate' made: 4294967295 copies asked for, the object tables hold room for 3";
    const size_t at = w.world.log.find(said, from);
    EXPECT_TRUE(at != std::string::npos && w.world.log.find(said, at + 1) == std::string::npos) << w.world.log;

    // 3 fit and take the refusal off the status line; then 1 finds the
    // tables full. No table ever said it was full.
    ASSERT_TRUE(model.Commit("Editor Info", "Clone Settings", "Number of Clones", u32(3)));
    Tap(86);
    EXPECT_EQ(list.size(), 7u);
    EXPECT_FALSE(model.Status().Visible()) << model.Status().Text();
    editor.SelectObject(source);
    Tap(86);
    EXPECT_EQ(model.Status().Text(), "Clone: 1 copy of 'crate' not made: the object tables are full");
    EXPECT_EQ(w.world.log.find("table is full", from), std::string::npos) << w.world.log;
}

TEST_F(EditorCommandsTest, PicksTheNearerHitWalksWithAltAndKeepsTheSelectionOnEmptySpace) {
    Aim(Vec3(0, 0, -10), Vec3(0, 0, 0));
    // Listed far first. Far is 8 times larger: its front face (z = 6) is
    // nearer in its own space than the near box's, but not along the ray.
    const u32 far = Make("block", Vec3(0, 0, 10), Vec3(8, 8, 8));
    const u32 near = Make("crate", Vec3(0, 0, 0));
    const u32 aside = Make("block", Vec3(30, 0, 0));

    // Off the faces' diagonals: a point on a triangle's edge is no hit.
    const Vec3 spot(0.1f, 0.13f, 0.0f);
    Vec4 origin, direction;
    ASSERT_TRUE(editor.MakePickRay(Pixel(spot)[0], Pixel(spot)[1], origin, direction));
    const auto hits = editor.FindHits(origin, direction);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].id, near);
    EXPECT_NEAR(hits[0].distance, 9.5f, 0.05f);  // along the ray, whatever the scale
    EXPECT_EQ(hits[1].id, far);
    EXPECT_NEAR(hits[1].distance, 16.0f, 0.05f);

    editor.SelectObject(aside);
    Click(spot);
    EXPECT_EQ(editor.GetSelection(), near);
    Click(spot);  // again: kept
    EXPECT_EQ(editor.GetSelection(), near);
    Key(18, true);  // Alt walks front to back and wraps
    Click(spot);
    EXPECT_EQ(editor.GetSelection(), far);
    Click(spot);
    EXPECT_EQ(editor.GetSelection(), near);
    Key(18, false);

    // Empty space keeps the selection.
    Click(Vec3(6, 5, 0));
    EXPECT_EQ(editor.GetSelection(), near);

    // A click is a release within 3 pixels: (3, 0) picks, (3, 1) does not.
    editor.SelectObject(aside);
    const auto p = Pixel(spot);
    Click(p, {p[0] + 3, p[1] + 1});
    EXPECT_EQ(editor.GetSelection(), aside);
    Click(p, {p[0] + 3, p[1]});
    EXPECT_EQ(editor.GetSelection(), near);
    EXPECT_EQ(editor.GetListCursor(), 1u);
    Tap(221);
    EXPECT_EQ(editor.GetSelection(), aside);
}

TEST_F(EditorCommandsTest, FloorBrushPaintsLocalCellsAndPaletteBrushSetsThePalette) {
    Aim(Vec3(20, 30, 0), Vec3(20, 0, 0), Vec3(0, 0, 1));
    const u32 floor = Make("tiled", Vec3(20, 0, 0), Vec3(16, 1, 16));
    ASSERT_EQ(editor.GetSelection(), floor);
    EXPECT_EQ(editor.GetPaletteName(), "ground-tiles");  // taken from the selection
    MeshComponent* mesh = MeshOf(floor);
    ASSERT_NE(mesh->GetPalette(), nullptr);

    // No brush: clicking the selection changes nothing.
    Click(Vec3(21.6f, 0.5f, -3.2f));
    EXPECT_EQ(mesh->GetGrid(), std::vector<s32>(16, 0));

    ASSERT_TRUE(model.Commit("Tile Palette", "", "Floor Brush", true));
    ASSERT_TRUE(model.Commit("Tile Palette", "Palette", "Floor Tile", std::string("tu")));
    EXPECT_EQ(editor.GetFloorTileName(), "turf");  // three share "tu": the first
    // Local (0.1, -0.2) of the 16 x 16 floor: column 2, row 2 (row 0 at +z).
    Click(Vec3(21.6f, 0.5f, -3.2f));
    std::vector<s32> want(16, 0);
    want[2 * 4 + 2] = 8;
    EXPECT_EQ(mesh->GetGrid(), want);
    const int builtBefore = visuals.built;
    // Shift: the rectangle from the last cell to local (-0.4, 0.45): column 0, row 0.
    ASSERT_TRUE(model.Commit("Tile Palette", "Palette", "Floor Tile", std::string("pool")));
    Key(16, true);
    Click(Vec3(20 - 6.4f, 0.5f, 7.2f));
    Key(16, false);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) want[size_t(y * 4 + x)] = (x <= 2 && y <= 2) ? 12 : 0;
    }
    EXPECT_EQ(mesh->GetGrid(), want);
    EXPECT_GT(visuals.built, builtBefore);  // the tile texture was rebuilt

    // The palette brush gives the floor the current palette.
    ASSERT_TRUE(model.Commit("Tile Palette", "", "Palette Brush", true));
    EXPECT_FALSE(std::get<bool>(model.Read("Tile Palette", "", "Floor Brush")));
    ASSERT_TRUE(model.Commit("Tile Palette", "Palette", "Floor Palette", std::string("fl")));
    Click(Vec3(20.3f, 0.5f, 0.7f));
    EXPECT_EQ(mesh->GetTilePaletteName(), "floor-tiles");

    // A mesh whose triangles reach past its stored bounds (half its size):
    // hits beyond them paint the edge cells (AddressSanitizer watches).
    Mesh& small = w.meshes.AddBox("SmallBox");
    w.meshes.storedBounds[&small] = {Vec3(0, 0, 0), Vec3(0.25f, 0.25f, 0.25f)};
    const u32 beyond = Make("tiled-small", Vec3(20, 0, 0), Vec3(16, 1, 16));
    w.world.objects.DestroyObject(floor);
    Frame();
    editor.SelectObject(beyond);
    ASSERT_TRUE(model.Commit("Tile Palette", "", "Floor Brush", true));
    ASSERT_TRUE(model.Commit("Tile Palette", "Palette", "Floor Palette", std::string("gr")));
    ASSERT_TRUE(model.Commit("Tile Palette", "Palette", "Floor Tile", std::string("shore")));
    Click(Vec3(20 - 7.2f, 0.5f, 7.0f));   // local (-0.45, 0.44): column -1.6, row -1.5
    Click(Vec3(20 + 7.2f, 0.5f, -7.0f));  // local (0.45, -0.44): column 5.6, row 5.5
    std::vector<s32> corners(16, 0);
    corners[0] = corners[15] = 14;
    EXPECT_EQ(MeshOf(beyond)->GetGrid(), corners);
}

TEST_F(EditorCommandsTest, PalettesAndTilesByLongestBeginning) {
    // Name order: floor-tiles, garden-a, garden-b, ground-tiles.
    const std::pair<const char*, const char*> palettes[] = {
        {"g", "garden-a"},        {"gr", "ground-tiles"}, {"garden-c", "garden-a"}, {"garden-b2", "garden-b"},
        {"zebra", "garden-b"},    {"", "garden-b"},       {"f", "floor-tiles"},
    };
    const PanelEntry& field = *model.FindBar("Tile Palette")->Find("Palette", "Floor Palette");
    for (const auto& [text, want] : palettes) {
        // A text that begins no name changes nothing and says so.
        const bool named = text[0] != 'z' && text[0] != '\0';
        EXPECT_EQ(model.Commit("Tile Palette", "Palette", "Floor Palette", std::string(text)), named) << text;
        EXPECT_EQ(std::get<std::string>(model.Read("Tile Palette", "Palette", "Floor Palette")), want) << text;
        EXPECT_EQ(field.note, named ? "" : "'" + std::string(text) + "' begins no palette's name; kept '" + want + "'");
    }
    ASSERT_TRUE(model.Press("Tile Palette", "Palette", "Prev Palette"));  // wraps to the last
    EXPECT_EQ(editor.GetPaletteName(), "ground-tiles");
    ASSERT_TRUE(model.Commit("Tile Palette", "Palette", "Floor Tile", std::string("boards-x")));
    EXPECT_EQ(editor.GetFloorTileName(), "boards-worn");  // "boards-" beats "boards"
    ASSERT_TRUE(model.Commit("Tile Palette", "Palette", "Floor Tile", std::string("boar")));
    EXPECT_EQ(editor.GetFloorTileName(), "boards");
    ASSERT_TRUE(model.Commit("Tile Palette", "Palette", "Floor Tile", std::string("boards-d")));
    EXPECT_EQ(editor.GetFloorTileName(), "boards-dark");
    EXPECT_FALSE(model.Commit("Tile Palette", "Palette", "Floor Tile", std::string("x")));
    EXPECT_EQ(model.FindBar("Tile Palette")->Find("Palette", "Floor Tile")->note,
              "'x' begins no tile's name; kept 'boards-dark'");
    ASSERT_TRUE(model.Press("Tile Palette", "Palette", "Next Floor Tile"));
    EXPECT_EQ(editor.GetFloorTileIndex(), 7u);
    ASSERT_TRUE(model.Press("Tile Palette", "Palette", "Next Palette"));  // wraps; tile back to 0
    EXPECT_EQ(editor.GetPaletteName(), "floor-tiles");
    EXPECT_EQ(editor.GetFloorTileIndex(), 0u);
    ASSERT_TRUE(model.Press("Tile Palette", "Palette", "Prev Floor Tile"));
    EXPECT_EQ(editor.GetFloorTileName(), "floor-tiles15");
}

TEST_F(EditorCommandsTest, ResetTileMapFramesRowsAndNeedsALoadedPalette) {
    const u32 tall = Make("tiled-bare");  // 5 x 3, no palette yet
    Tap(82);
    MeshComponent* mesh = MeshOf(tall);
    EXPECT_EQ(mesh->GetTilePaletteName(), "ground-tiles");
    std::vector<s32> want(15, 0);
    for (int x = 0; x < 5; ++x) want[size_t(x)] = want[size_t(10 + x)] = 13;
    EXPECT_EQ(mesh->GetGrid(), want);

    const u32 square = Make("tiled");  // 4 x 4
    editor.SelectObject(square);
    MeshOf(square)->SetTile(1, 3, 5);
    Tap(82);
    std::vector<s32> top(16, 0);
    for (int x = 0; x < 4; ++x) top[size_t(x)] = 13;
    EXPECT_EQ(MeshOf(square)->GetGrid(), top);

    // A palette that is not loaded: no grid to write into; logged, nothing
    // written (AddressSanitizer watches the writes).
    const u32 lost = Make("tiled-lost");
    editor.SelectObject(lost);
    Tap(82);
    EXPECT_TRUE(MeshOf(lost)->GetGrid().empty());
    EXPECT_NE(w.world.log.find("'missing-tiles' is not loaded; the tile map was not reset"), std::string::npos);
}

TEST(GroundTilesPalette, ShipsAtLeastFourteenTiles) {
    PaletteRegistry registry;
    LoadTilePaletteResource(std::string(LV_SOURCE_DIR) + "/rsc/palettes/ground-tiles.xpal");
    const TilePaletteRecord* ground = registry.Find("ground-tiles");
    ASSERT_NE(ground, nullptr);
    EXPECT_GE(ground->tileNames.size(), 14u);
    EXPECT_GE(ground->tilesX * ground->tilesY, 14);
}

}  // namespace
}  // namespace Ostrel
