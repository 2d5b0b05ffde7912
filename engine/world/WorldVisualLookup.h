#pragma once
// Serves the visual components' look-ups (VisualLookup) from the run's
// texture registry and tile palettes. A main makes one right after its
// PaletteRegistry; it is installed while it lives (and puts back whatever it
// replaced).

#include "engine/components/VisualLookup.h"

namespace Ostrel {

class PaletteRegistry;
class TextureManager;

class WorldVisualLookup final : public VisualLookup {
public:
    WorldVisualLookup(TextureManager& textures, const PaletteRegistry& palettes);
    ~WorldVisualLookup() override;
    WorldVisualLookup(const WorldVisualLookup&) = delete;
    WorldVisualLookup& operator=(const WorldVisualLookup&) = delete;

    Texture* FindTexture(const std::string& name) const override;
    TilePaletteRecord* FindTilePalette(const std::string& name) const override;
    int GetPaletteColumns(const TilePaletteRecord& palette) const override;
    void BuildTileTexture(Texture** slot, const std::vector<s32>& grid, int width, int height, int columns,
                          std::string* name) override;
    void DestroyTexture(Texture* texture) override;
    void GetPaletteAtlas(const TilePaletteRecord& palette, Texture** atlas, float* tileU,
                         float* tileV) const override;

private:
    TextureManager& m_textures;
    const PaletteRegistry& m_palettes;
    VisualLookup* m_previous;
};

}  // namespace Ostrel
