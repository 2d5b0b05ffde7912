#pragma once
// Textures and tile palettes for the visual-component tests: a VisualLookup
// that hands out tile textures as records (so tests see exactly what was
// built, and which textures are still alive) and serves palettes kept here.

#include "engine/components/VisualLookup.h"
#include "engine/world/TilePaletteRecord.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel::ComponentTest {

class FakeVisuals final : public VisualLookup {
public:
    struct TileTexture {
        std::vector<s32> grid;
        int width, height, columns;
    };

    FakeVisuals() : m_previous(VisualLookup::Install(this)) {
        auto& floor = palettes["floor-tiles"];
        floor.name = "floor-tiles";
        floor.tilesX = 4;
        floor.tilesY = 4;
    }
    ~FakeVisuals() override { VisualLookup::Install(m_previous); }

    Texture* FindTexture(const std::string& name) const override {
        return name == "crate" ? Handle(0) : nullptr;
    }
    TilePaletteRecord* FindTilePalette(const std::string& name) const override {
        auto it = palettes.find(name);
        return it == palettes.end() ? nullptr : const_cast<TilePaletteRecord*>(&it->second);
    }
    int GetPaletteColumns(const TilePaletteRecord& palette) const override { return palette.tilesX; }
    void BuildTileTexture(Texture** slot, const std::vector<s32>& grid, int width, int height, int columns,
                          std::string* name) override {
        DestroyTexture(*slot);
        *slot = Handle(++m_made);
        *name = ":" + std::to_string(m_made);
        live[*slot] = {grid, width, height, columns};
    }
    void DestroyTexture(Texture* texture) override { live.erase(texture); }

    // A distinct fake texture address for each number.
    Texture* Handle(int n) const { return reinterpret_cast<Texture*>(&m_cells[n]); }
    int Made() const { return m_made; }

    std::map<std::string, TilePaletteRecord> palettes;
    std::map<Texture*, TileTexture> live;

private:
    VisualLookup* m_previous;
    int m_made = 0;
    mutable std::byte m_cells[4096] = {};
};

}  // namespace Ostrel::ComponentTest
