#include "tests/engine/components/ComponentWorld.h"
#include "tests/engine/components/VisualTestSupport.h"

#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Ostrel::ComponentTest {
namespace {

// "Wide" spans x -2..2 and z -1..1.
const char kTileGridArchetypes[] = R"(
<floor-obj>
    <TransformComponent/>
    <MeshComponent>
        <MeshID>Wide</MeshID>
        <TextureTiles_x>3</TextureTiles_x><TextureTiles_y>2</TextureTiles_y>
        <TilePalette>floor-tiles</TilePalette>
        <TileMapping>1 2 3 4 5 6</TileMapping>
    </MeshComponent>
</floor-obj>
<plain-obj>
    <MeshComponent>
        <MeshID>Wide</MeshID><DiffuseTexID>crate</DiffuseTexID>
        <TextureTiles_x>2</TextureTiles_x><TextureTiles_y>2</TextureTiles_y>
        <TilePalette>no-such-palette</TilePalette>
        <TileMapping>7 8 x</TileMapping>
    </MeshComponent>
</plain-obj>
<short-obj>
    <MeshComponent>
        <MeshID>Wide</MeshID>
        <TextureTiles_x>3</TextureTiles_x><TextureTiles_y>2</TextureTiles_y>
        <TilePalette>floor-tiles</TilePalette>
        <TileMapping>9 9 oops 9</TileMapping>
    </MeshComponent>
</short-obj>
)";

std::string WrittenTileMapping(MeshComponent& mesh) {
    TextSerializer writer(false);
    mesh.Serialize(&writer);
    return writer.written.back();
}

// The cell under (x, z) on "Wide" for a 4 x 2 grid is column floor(x + 2),
// row 0 for z > 0 and row 1 for z < 0.
Vec4 Point(float x, float z) { return Vec4(x, 0.5f, z, 1.0f); }

MeshComponent* NewGrid(ComponentWorld& world, int width, int height, std::vector<s32> cells) {
    Composition* object = world.Create("floor-obj");
    auto* mesh = world.Get<MeshComponent>(object);
    mesh->SetTilesX(width);
    mesh->SetTilesY(height);
    for (int i = 0; i < width * height; ++i) mesh->SetTile(i % width, i / width, cells[i]);
    return mesh;
}

TEST(MeshTileGrid, TextIsReadIntoTheGridAndWrittenBackOnlyWithAPalette) {
    FakeVisuals visuals;
    ComponentWorld world(kTileGridArchetypes);
    auto* floor = world.Get<MeshComponent>(world.Create("floor-obj"));
    ASSERT_TRUE(floor->HasPalette());
    EXPECT_EQ(floor->GetGrid(), (std::vector<s32>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(WrittenTileMapping(*floor), "TileMapping=1 2 3 4 5 6");
    floor->SetTile(2, 1, 11);
    EXPECT_EQ(WrittenTileMapping(*floor), "TileMapping=1 2 3 4 5 11");
    // The object's texture holds the grid with the palette's 4 columns.
    const auto& texture = visuals.live.at(floor->GetTileTexture());
    EXPECT_EQ(texture.grid, (std::vector<s32>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(texture.width * 10 + texture.height, 32);
    EXPECT_EQ(texture.columns, 4);

    // Without a palette the text is kept as it was and nothing is built.
    auto* plain = world.Get<MeshComponent>(world.Create("plain-obj"));
    EXPECT_FALSE(plain->HasPalette());
    EXPECT_EQ(plain->GetTexture(), visuals.Handle(0));
    EXPECT_EQ(WrittenTileMapping(*plain), "TileMapping=7 8 x");
    EXPECT_TRUE(plain->GetGrid().empty());
    EXPECT_EQ(plain->GetTileTexture(), nullptr);
    plain->SetTilesX(5);
    plain->PaintTiles(Point(0, 0), 0, 3, nullptr);
    EXPECT_TRUE(plain->GetGrid().empty());

    // A short or unreadable text fills the rest with 0 and says so.
    auto* shortGrid = world.Get<MeshComponent>(world.Create("short-obj"));
    EXPECT_EQ(shortGrid->GetGrid(), (std::vector<s32>{9, 9, 0, 0, 0, 0}));
    EXPECT_NE(world.log.find("'TileMapping' holds 2 of 3 x 2 values"), std::string::npos) << world.log;
}

TEST(MeshTileGrid, ResizingKeepsTheCellsThatStillFit) {
    FakeVisuals visuals;
    ComponentWorld world(kTileGridArchetypes);
    const s32 a = 1, b = 2, c = 3, d = 4;
    MeshComponent* mesh = NewGrid(world, 2, 2, {a, b, c, d});
    ASSERT_EQ(mesh->GetGrid(), (std::vector<s32>{a, b, c, d}));
    mesh->SetTilesX(3);
    EXPECT_EQ(mesh->GetGrid(), (std::vector<s32>{a, b, 0, c, d, 0}));
    mesh->SetTilesX(1);
    EXPECT_EQ(mesh->GetGrid(), (std::vector<s32>{a, c}));
    mesh->SetTilesY(3);
    EXPECT_EQ(mesh->GetGrid(), (std::vector<s32>{a, c, 0}));

    // The same size again rebuilds the texture and keeps the grid.
    const int made = visuals.Made();
    const std::size_t live = visuals.live.size();
    mesh->SetTilesY(3);
    EXPECT_EQ(visuals.Made(), made + 1);
    EXPECT_EQ(mesh->GetGrid(), (std::vector<s32>{a, c, 0}));
    EXPECT_EQ(visuals.live.size(), live) << "each rebuild replaces the one texture";

    // A negative size from the editor's int field is 0: an empty grid that
    // is neither painted nor turned into a texture.
    Panel panel;
    mesh->ExposeProperties(&panel);
    panel.Set("TextureTiles_x", -4);
    EXPECT_EQ(panel.Get<int>("TextureTiles_x"), 0);
    EXPECT_TRUE(mesh->GetGrid().empty());
    mesh->PaintTiles(Point(0, 0), 0, 5, nullptr);
    mesh->SetTile(0, 0, 5);
    EXPECT_TRUE(mesh->GetGrid().empty());

    // A palette set for the first time gives an all-zero grid; the editor's
    // palette field shows and sets the name.
    auto* plain = world.Get<MeshComponent>(world.Create("plain-obj"));
    Panel plainPanel;
    plain->ExposeProperties(&plainPanel);
    plainPanel.Set("TilePalette", std::string("floor-tiles"));
    EXPECT_EQ(plainPanel.Get<std::string>("TilePalette"), "floor-tiles");
    EXPECT_EQ(plain->GetGrid(), (std::vector<s32>(4, 0)));
    EXPECT_TRUE(plain->HasPalette());
}

TEST(MeshTileGrid, TheBrushPaintsCellsRectanglesAndWholeGridsNeverOutsideTheGrid) {
    FakeVisuals visuals;
    ComponentWorld world(kTileGridArchetypes);
    MeshComponent* mesh = NewGrid(world, 4, 2, std::vector<s32>(8, 0));
    mesh->PaintTiles(Point(-0.5f, -0.5f), 0, 7, nullptr);  // cell (1, 1)
    EXPECT_EQ(mesh->GetGrid(), (std::vector<s32>{0, 0, 0, 0, 0, 7, 0, 0}));
    const TileBrushFlags rectangle{1, 0};
    mesh->PaintTiles(Point(1.5f, 0.5f), 0, 7, &rectangle);  // to cell (3, 0)
    EXPECT_EQ(mesh->GetGrid(), (std::vector<s32>{0, 7, 7, 7, 0, 7, 7, 7}));
    EXPECT_EQ(mesh->GetLastPaintedX() * 10 + mesh->GetLastPaintedY(), 30);

    // Row 0 lies at the largest z; beyond the largest x is the last column.
    mesh->PaintTiles(Point(50.0f, 0.9f), 0, 4, nullptr);
    EXPECT_EQ(mesh->GetGrid()[3], 4);
    const TileBrushFlags whole{0, 1};
    mesh->PaintTiles(Point(0, 0), 0, 2, &whole);
    EXPECT_EQ(mesh->GetGrid(), (std::vector<s32>(8, 2)));

    // Points far off the mesh, or not numbers at all, paint an edge cell;
    // cells outside the grid are never written (ASan would see it).
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Vec4 wild[] = {Point(-1e9f, 1e9f), Point(1e9f, -1e9f), Point(nan, nan), Point(-inf, inf)};
    for (const Vec4& p : wild) {
        mesh->PaintTiles(p, 0, 9, &rectangle);
        mesh->PaintTiles(p, 0, 9, nullptr);
    }
    EXPECT_EQ(mesh->GetGrid().size(), 8u);
    EXPECT_EQ(mesh->GetGrid()[4], 9) << "x far below the minimum and z far below it: (0, 1)";
    for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, 2}, {0, -1}, {1 << 20, 1 << 20}}) mesh->SetTile(x, y, 5);
    for (s32 v : mesh->GetGrid()) EXPECT_NE(v, 5);

    // Narrowing after a paint at the far corner keeps the rectangle's corner
    // inside the grid.
    mesh->SetTilesX(2);
    EXPECT_LT(mesh->GetLastPaintedX(), 2);
    mesh->PaintTiles(Point(-1.5f, 0.5f), 0, 3, &rectangle);
    EXPECT_EQ(mesh->GetGrid().size(), 4u);
}

TEST(MeshTileGrid, ACloneBuildsItsOwnTextureAndUninitializeDestroysIt) {
    FakeVisuals visuals;
    ComponentWorld world(kTileGridArchetypes);
    const Composition* archetype = world.factory.FindArchetype("floor-obj");
    Texture* prototypeTexture = archetype->GetComponentAs<MeshComponent>()->GetTileTexture();
    ASSERT_NE(prototypeTexture, nullptr) << "an archetype builds its texture when initialised";

    Composition* object = world.Create("floor-obj");
    auto* mesh = world.Get<MeshComponent>(object);
    Texture* own = mesh->GetTileTexture();
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, prototypeTexture);
    EXPECT_NE(mesh->GetTileTextureName(), archetype->GetComponentAs<MeshComponent>()->GetTileTextureName());
    EXPECT_EQ(visuals.live.count(own), 1u);
    mesh->Uninitialize();
    EXPECT_EQ(mesh->GetTileTexture(), nullptr);
    EXPECT_EQ(visuals.live.count(own), 0u);
    EXPECT_EQ(visuals.live.count(prototypeTexture), 1u) << "the archetype keeps its own";
}

}  // namespace
}  // namespace Ostrel::ComponentTest
