#pragma once
// A tile palette: a texture atlas cut into a grid of equally sized, named
// tiles. Palettes come from ".xpal" files (a "Palette" element holding
// "TileDimensionX", "TileDimensionY", "NumberOfTilesX", "NumberOfTilesY",
// "AtlasName" and "TileNames") and live in the PaletteRegistry for the whole
// run. A mesh that draws tiles looks its palette up by name and uses the
// column count to turn a tile index into an atlas cell.

#include "engine/base/Types.h"

#include <string>
#include <vector>

namespace Ostrel {

class Serializer;
class Texture;

class TilePaletteRecord {
public:
    // Larger values are refused (logged; the key keeps its default): no
    // texture is wider, and no atlas holds more tiles a side.
    static constexpr int kMaxTileDimension = 16384;
    static constexpr int kMaxTileCount = 4096;

    // Reads the six values (absent keys keep what the record holds), then
    // resolves the atlas and splits "TileNames" at white space.
    void Serialize(Serializer& serializer);

    std::string name;        // the resource's base name
    std::string atlasName;   // "AtlasName"
    Texture* atlas = nullptr;  // looked up by atlasName; owned by the texture registry
    std::vector<std::string> tileNames;
    s32 tilesX = 1;      // "NumberOfTilesX": the atlas's columns
    s32 tilesY = 1;      // "NumberOfTilesY": its rows
    s32 tileWidth = 0;   // "TileDimensionX", pixels
    s32 tileHeight = 0;  // "TileDimensionY", pixels
    s32 atlasWidth = 0;  // the atlas's size in pixels (0 while it is unknown)
    s32 atlasHeight = 0;
    f32 tileU = 0.0f;    // tileWidth / atlasWidth (0 while the atlas is unknown)
    f32 tileV = 0.0f;

private:
    void ResolveAtlas();
    std::string m_tileNamesText;
};

// The TILE_PALETTE resource loader: reads the file into a new record named
// after the file's base name and files it in the PaletteRegistry (a name
// already there keeps its first record). A file that cannot be read is
// logged and skipped.
void LoadTilePaletteResource(const std::string& path);

}  // namespace Ostrel
