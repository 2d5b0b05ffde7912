#include "engine/world/PaletteRegistry.h"
#include "engine/world/TilePaletteRecord.h"
#include "engine/world/WorldVisualLookup.h"

#include "tests/engine/components/ComponentWorld.h"

#include "engine/components/MeshComponent.h"
#include "engine/components/VisualLookup.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/base/ILogProvider.h"
#include "engine/base/Logger.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace Ostrel {
namespace {

class CapturedLog final : public ILogProvider {
public:
    explicit CapturedLog(std::string* text) : m_text(text) {}
    void Write(const char* text) override { *m_text += text; }

private:
    std::string* m_text;
};

std::string WritePalette(const std::string& name, const std::string& text) {
    const auto folder = std::filesystem::path(LV_TEST_TMP) / ("palettes-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Each bad value is logged with the file and the key and leaves its default
// (tiles 1, dimensions 0); the good keys of the same file still load.
TEST(TilePalette, BadNumbersKeepTheirDefaultsAndNameFileAndKey) {
    std::string log;
    Logger logger;
    logger.AddProvider(std::make_unique<CapturedLog>(&log));
    Logger* previous = Logger::Current();
    Logger::SetCurrent(&logger);
    PaletteRegistry registry;
    const struct {
        const char* key;
        const char* text;
        const char* problem;
    } cases[] = {
        {"TileDimensionX", "-16", "is below 1"},       {"TileDimensionY", "abc", "is not a whole number"},
        {"TileDimensionX", "99999", "is above 16384"}, {"NumberOfTilesX", "5000", "is above 4096"},
        {"NumberOfTilesY", "", "is blank"},            {"NumberOfTilesY", "0x10", "is below 1"},
        {"NumberOfTilesX", "-3", "is below 1"},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.text);
        const std::string name = "bad" + std::to_string(index++);
        const std::string path = WritePalette(name + ".xpal", std::string("<Palette><AtlasName>a</AtlasName><") + c.key +
                                                                  ">" + c.text + "</" + c.key + "></Palette>");
        log.clear();
        LoadTilePaletteResource(path);
        const TilePaletteRecord* record = registry.Find(name);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->tilesX * 10 + record->tilesY, 11);
        EXPECT_EQ(record->tileWidth + record->tileHeight, 0);
        EXPECT_NE(log.find(path + ": key '" + c.key + "': '" + c.text + "' " + c.problem), std::string::npos) << log;
    }
    Logger::SetCurrent(previous);
}

TEST(TilePalette, FilesLoadIntoTheRegistryByBaseNameAndTheFirstOfANameStays) {
    std::string log;
    Logger logger;
    logger.AddProvider(std::make_unique<CapturedLog>(&log));
    Logger* previous = Logger::Current();
    Logger::SetCurrent(&logger);
    PaletteRegistry registry;

    LoadTilePaletteResource(WritePalette("floor-tiles.xpal", R"(<Palette>
        <TileDimensionX>32</TileDimensionX><TileDimensionY>16</TileDimensionY>
        <NumberOfTilesX>4</NumberOfTilesX><NumberOfTilesY>3</NumberOfTilesY>
        <AtlasName>tiles</AtlasName>
        <TileNames>grass  stone
            water	sand</TileNames>
    </Palette>)"));
    LoadTilePaletteResource(WritePalette("bare.xpal", "<Palette><TileNames/></Palette>"));
    LoadTilePaletteResource(WritePalette("zero.xpal", "<Palette><NumberOfTilesX>0</NumberOfTilesX></Palette>"));
    LoadTilePaletteResource(WritePalette("broken.xpal", "<Palette><TileDimensionX>3</Palet"));
    // A second file of a loaded name changes nothing.
    std::filesystem::create_directories(std::filesystem::path(WritePalette("x", "")).parent_path() / "again");
    LoadTilePaletteResource(WritePalette("again/floor-tiles.xpal", "<Palette><NumberOfTilesX>9</NumberOfTilesX></Palette>"));

    const TilePaletteRecord* floor = registry.Find("floor-tiles");
    ASSERT_NE(floor, nullptr);
    EXPECT_EQ(floor->name, "floor-tiles");
    EXPECT_EQ(floor->tileWidth * 100 + floor->tileHeight, 3216);
    EXPECT_EQ(floor->tilesX * 10 + floor->tilesY, 43);
    EXPECT_EQ(floor->atlasName, "tiles");
    EXPECT_EQ(floor->tileNames, (std::vector<std::string>{"grass", "stone", "water", "sand"}));
    EXPECT_EQ(floor->tileU, 0.0f) << "no atlas known";
    EXPECT_EQ(floor->atlas, nullptr) << "kept, untextured";
    EXPECT_NE(log.find("Tile palette 'floor-tiles': no atlas texture 'tiles' is loaded"), std::string::npos) << log;

    const TilePaletteRecord* bare = registry.Find("bare");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->tilesX * 10 + bare->tilesY, 11) << "absent counts keep 1";
    EXPECT_TRUE(bare->tileNames.empty());
    EXPECT_EQ(registry.Find("zero")->tilesX, 1) << "a palette needs at least one column";
    EXPECT_NE(log.find("zero.xpal: key 'NumberOfTilesX': '0' is below 1; the default 1 is kept"), std::string::npos)
        << log;
    EXPECT_EQ(registry.Find("broken"), nullptr);
    EXPECT_NE(log.find("broken.xpal"), std::string::npos) << log;
    EXPECT_EQ(registry.Find(""), nullptr);

    std::vector<TilePaletteRecord*> all;
    registry.ListPalettes(all);
    std::vector<std::string> names;
    for (const TilePaletteRecord* p : all) names.push_back(p->name);
    EXPECT_EQ(names, (std::vector<std::string>{"bare", "floor-tiles", "zero"}));

    // The components reach palettes through the installed look-up.
    TextureManager textures;
    {
        WorldVisualLookup lookup(textures, registry);
        EXPECT_EQ(FindTilePaletteByName("floor-tiles"), floor);
        EXPECT_EQ(VisualLookup::Current()->GetPaletteColumns(*floor), 4);
    }
    EXPECT_EQ(VisualLookup::Current(), nullptr);
    Logger::SetCurrent(previous);
}

// With the real registries: the atlas gives the tile size, and each mesh's
// tile texture is a float texture in the texture registry whose texel for a
// cell is (value mod columns, value div columns, 0), grid row 0 on top.
TEST(TilePalette, AtlasSizesAndMeshTileTexturesComeFromTheTextureRegistry) {
    TextureManager textures;
    const std::string atlasBytes = BuildFloatTextureImage(std::vector<int>(32, 0), 8, 4, 1);
    textures.Create("tiles")->CreateFromBytes("tiles", reinterpret_cast<const u8*>(atlasBytes.data()),
                                              atlasBytes.size());
    PaletteRegistry registry;
    LoadTilePaletteResource(WritePalette("atlas-tiles.xpal", R"(<Palette>
        <TileDimensionX>2</TileDimensionX><TileDimensionY>1</TileDimensionY>
        <NumberOfTilesX>4</NumberOfTilesX><NumberOfTilesY>4</NumberOfTilesY><AtlasName>tiles</AtlasName>
    </Palette>)"));
    const TilePaletteRecord* palette = registry.Find("atlas-tiles");
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->atlas, textures.Find("tiles"));
    EXPECT_EQ(palette->atlasWidth * 10 + palette->atlasHeight, 84);
    EXPECT_FLOAT_EQ(palette->tileU, 0.25f);
    EXPECT_FLOAT_EQ(palette->tileV, 0.25f);

    WorldVisualLookup lookup(textures, registry);
    ComponentTest::ComponentWorld world(R"(<tiled-obj><MeshComponent><MeshID>Wide</MeshID>
        <TextureTiles_x>3</TextureTiles_x><TextureTiles_y>2</TextureTiles_y>
        <TilePalette>atlas-tiles</TilePalette><TileMapping>1 2 3 4 5 6</TileMapping>
    </MeshComponent></tiled-obj>)");
    auto* mesh = world.Get<MeshComponent>(world.Create("tiled-obj"));
    Texture* tiles = mesh->GetTileTexture();
    ASSERT_NE(tiles, nullptr);
    EXPECT_EQ(textures.Find(mesh->GetTileTextureName()), tiles);
    const Image* image = tiles->GetImage();
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width * 10 + image->height, 32u);
    float texel[4];
    image->FloatsAt(1, 1, texel);  // value 5: column 1, row 1
    EXPECT_EQ(texel[0] * 10 + texel[1], 11.0f);
    image->FloatsAt(2, 0, texel);  // value 3: column 3, row 0
    EXPECT_EQ(texel[0] * 10 + texel[1], 30.0f);
    const std::string name = mesh->GetTileTextureName();
    mesh->Uninitialize();
    EXPECT_EQ(textures.Find(name), nullptr);
}

// A mapping naming no palette (or a texture) is logged once however many
// objects use it; a negative tile count keeps its default.
TEST(TilePalette, MeshesNamingNoPaletteOrBadTileCountsAreLoggedOnce) {
    std::string log;
    Logger logger;
    logger.AddProvider(std::make_unique<CapturedLog>(&log));
    Logger* previous = Logger::Current();
    Logger::SetCurrent(&logger);
    TextureManager textures;
    textures.Create("tiles");
    PaletteRegistry registry;
    WorldVisualLookup lookup(textures, registry);
    ComponentTest::ComponentWorld world(R"(<texture-named-obj><MeshComponent><MeshID>Wide</MeshID>
        <TextureTiles_x>-3</TextureTiles_x><TextureTiles_y>2</TextureTiles_y><TilePalette>tiles</TilePalette>
    </MeshComponent></texture-named-obj>)");
    for (int i = 0; i < 3; ++i) {
        auto* mesh = world.Get<MeshComponent>(world.Create("texture-named-obj"));
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->GetTilesX(), 1);
        EXPECT_EQ(mesh->GetTileTexture(), nullptr);
    }
    const std::string line = "key 'TilePalette': 'tiles' is not a loaded tile palette; no tiles are drawn";
    const std::size_t first = log.find(line);
    EXPECT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(line, first + 1), std::string::npos) << log;
    EXPECT_NE(log.find("key 'TextureTiles_x': '-3' is below 0; the default 1 is kept"), std::string::npos) << log;
    Logger::SetCurrent(previous);
}

}  // namespace
}  // namespace Ostrel
