#include "engine/world/WorldVisualLookup.h"

#include "engine/graphics/textures/TextureManager.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/TilePaletteRecord.h"

namespace Ostrel {

WorldVisualLookup::WorldVisualLookup(TextureManager& textures, const PaletteRegistry& palettes)
    : m_textures(textures), m_palettes(palettes), m_previous(VisualLookup::Install(this)) {}

WorldVisualLookup::~WorldVisualLookup() {
    if (VisualLookup::Current() == this) VisualLookup::Install(m_previous);
}

Texture* WorldVisualLookup::FindTexture(const std::string& name) const {
    return name.empty() ? nullptr : m_textures.Find(name);
}

TilePaletteRecord* WorldVisualLookup::FindTilePalette(const std::string& name) const {
    return m_palettes.Find(name);
}

int WorldVisualLookup::GetPaletteColumns(const TilePaletteRecord& palette) const { return palette.tilesX; }

void WorldVisualLookup::BuildTileTexture(Texture** slot, const std::vector<s32>& grid, int width, int height,
                                         int columns, std::string* name) {
    m_textures.CreateFloatTextureFromRows(slot, grid, static_cast<float>(width), static_cast<float>(height),
                                          columns, name);
}

void WorldVisualLookup::DestroyTexture(Texture* texture) { m_textures.Destroy(texture); }

void WorldVisualLookup::GetPaletteAtlas(const TilePaletteRecord& palette, Texture** atlas, float* tileU,
                                        float* tileV) const {
    *atlas = palette.atlas;
    *tileU = palette.tileU;
    *tileV = palette.tileV;
}

}  // namespace Ostrel
