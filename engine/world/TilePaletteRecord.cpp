#include "engine/world/TilePaletteRecord.h"

#include "engine/base/Log.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/DataValue.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/FilePath.h"
#include "engine/base/Serializer.h"
#include "engine/io/SerializerXML.h"
#include "engine/world/PaletteRegistry.h"

#include <memory>
#include <sstream>

namespace Ostrel {

void TilePaletteRecord::Serialize(Serializer& s) {
    SerializeValue(s, "TileDimensionX", &tileWidth, Between(1, kMaxTileDimension));
    SerializeValue(s, "TileDimensionY", &tileHeight, Between(1, kMaxTileDimension));
    SerializeValue(s, "NumberOfTilesX", &tilesX, Between(1, kMaxTileCount));
    SerializeValue(s, "NumberOfTilesY", &tilesY, Between(1, kMaxTileCount));
    s.SerializeString("AtlasName", &atlasName);
    s.SerializeString("TileNames", &m_tileNamesText);
    ResolveAtlas();
    tileNames.clear();
    std::istringstream words(m_tileNamesText);
    for (std::string word; words >> word;) tileNames.push_back(word);
}

// The atlas must be loaded before the palette; without it the tiles have no
// size (logged).
void TilePaletteRecord::ResolveAtlas() {
    const TextureManager* textures = TextureManager::Instance();
    atlas = textures && !atlasName.empty() ? textures->Find(atlasName) : nullptr;
    atlasWidth = atlas ? static_cast<s32>(atlas->GetWidth()) : 0;
    atlasHeight = atlas ? static_cast<s32>(atlas->GetHeight()) : 0;
    if (!atlas) LogErrorf("Tile palette '%s': no atlas texture '%s' is loaded\n", name.c_str(), atlasName.c_str());
    tileU = atlasWidth > 0 ? static_cast<f32>(tileWidth) / static_cast<f32>(atlasWidth) : 0.0f;
    tileV = atlasHeight > 0 ? static_cast<f32>(tileHeight) / static_cast<f32>(atlasHeight) : 0.0f;
}

void LoadTilePaletteResource(const std::string& path) {
    PaletteRegistry* registry = PaletteRegistry::Instance();
    if (!registry) return;
    auto record = std::make_unique<TilePaletteRecord>();
    record->name = FilePath(path).GetBaseName();
    if (!SerializerXML(true).LoadPalette(path, *record)) {
        LogErrorf("%s: tile palette not read, skipped\n", path.c_str());
        return;
    }
    if (record->tilesX < 1 || record->tilesY < 1) {
        LogErrorf("%s: tile palette has %d x %d tiles; taken as at least 1 x 1\n", path.c_str(), record->tilesX,
                  record->tilesY);
        if (record->tilesX < 1) record->tilesX = 1;
        if (record->tilesY < 1) record->tilesY = 1;
    }
    const std::string name = record->name;
    registry->Insert(name, std::move(record));
}

}  // namespace Ostrel
