#include "engine/world/WorldVisualLookup.h"

#include "engine/graphics/TextureManager.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/TilePaletteRecord.h"

namespace Ostrel {

WorldVisualLookup::WorldVisualLookup(TextureManager& textures, const PaletteRegistry& palettes)
    : m_textures(textures), m_palettes(palettes), m_previous(VisualLookup::Install(this)) {}

WorldVisualLookup::~WorldVisualLookup() {
    if (VisualLookup::Current() == this) VisualLookup::Install(m_previous);
}

Texture* WorldVisualLookup::FindTexture(const std::string&) const { return nullptr; }

TilePaletteRecord* WorldVisualLookup::FindTilePalette(const std::string& name) const {
    return m_palettes.Find(name);
}

int WorldVisualLookup::GetPaletteColumns(const TilePaletteRecord& palette) const { return palette.tilesX; }

void WorldVisualLookup::BuildTileTexture(Texture** slot, const std::vector<s32>&, int, int, int,
                                         std::string* name) {
    *slot = nullptr;
    name->clear();
}

void WorldVisualLookup::DestroyTexture(Texture*) {}

}  // namespace Ostrel
