// The tile grid of MeshComponent: its text form, resizing, the editor's brush
// and the tile texture.

#include "engine/components/MeshComponent.h"

#include "engine/components/MeshLookup.h"
#include "engine/components/VisualLookup.h"
#include "engine/core/Composition.h"
#include "engine/base/Log.h"
#include "engine/core/Vec3.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <utility>

namespace Ostrel {

namespace {

// A float tile count as a whole number from 0 to the largest grid size.
int WholeTiles(float value) {
    if (!(value > 0.0f)) return 0;  // also NaN
    return value >= static_cast<float>(MeshComponent::kMaxTiles) ? MeshComponent::kMaxTiles
                                                                   : static_cast<int>(value);
}

// A brush coordinate as a cell index from 0 to count - 1 (count > 0).
int CellIndex(float f, int count) {
    if (!std::isfinite(f) || f < 0.0f) return 0;
    if (f >= static_cast<float>(count)) return count - 1;
    return std::min(static_cast<int>(f), count - 1);
}

std::size_t CellCount(int width, int height) { return static_cast<std::size_t>(width) * height; }

}  // namespace

int MeshComponent::GetTilesX() const { return WholeTiles(m_tiles.x); }

int MeshComponent::GetTilesY() const { return WholeTiles(m_tiles.y); }

void MeshComponent::SetTilesX(int n) { SetTileCount(&m_tiles.x, &m_previousWidth, n); }

void MeshComponent::SetTilesY(int n) { SetTileCount(&m_tiles.y, &m_previousHeight, n); }

void MeshComponent::SetTileCount(float* tiles, int* previous, int n) {
    n = std::clamp(n, 0, kMaxTiles);
    *previous = WholeTiles(*tiles);
    *tiles = static_cast<float>(n);
    ResizeTileGrid();
    *previous = n;
}

void MeshComponent::SetTilePalette(const std::string& name) {
    m_tilePalette = name;
    TilePaletteRecord* palette = FindTilePaletteByName(name);
    if (palette != m_palette) {
        m_palette = palette;
        ResizeTileGrid();
    }
    m_hasPalette = m_palette != nullptr;
}

void MeshComponent::SetTile(int x, int y, s32 value) {
    const int width = GetTilesX();
    if (x < 0 || y < 0 || x >= width || y >= GetTilesY()) return;
    const std::size_t cell = static_cast<std::size_t>(y) * width + x;
    if (cell < m_grid.size()) m_grid[cell] = value;
}

void MeshComponent::ResizeTileGrid() {
    if (!m_palette) return;
    const int width = GetTilesX();
    const int height = GetTilesY();
    if (m_grid.size() == CellCount(width, height)) {
        RebuildTileTexture();
        return;
    }
    if (m_lastPaintedX >= width) m_lastPaintedX = std::max(0, width - 1);
    if (m_lastPaintedY >= height) m_lastPaintedY = std::max(0, height - 1);

    std::vector<s32> old;
    if (m_hasPalette) {
        old.assign(CellCount(m_previousWidth, m_previousHeight), 0);
        std::copy_n(m_grid.begin(), std::min(old.size(), m_grid.size()), old.begin());
    }
    m_grid.assign(CellCount(width, height), 0);
    if (m_hasPalette) {
        const int rows = std::min(m_previousHeight, height);
        const int columns = std::min(m_previousWidth, width);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                m_grid[CellCount(r, width) + c] = old[CellCount(r, m_previousWidth) + c];
            }
        }
    }
    RebuildTileTexture();
}

void MeshComponent::PaintTiles(const Vec4& point, u32 /*unused*/, s32 value, const TileBrushFlags* flags) {
    const int width = GetTilesX();
    const int height = GetTilesY();
    MeshLookup* meshes = MeshLookup::Current();
    if (!m_palette || width == 0 || height == 0 || !m_mesh || !meshes) return;
    if (m_grid.size() != CellCount(width, height)) ResizeTileGrid();

    Vec3 centre, half;
    meshes->GetBounds(*m_mesh, &centre, &half);
    const float fx = (point.x - (centre.x - half.x)) / (2.0f * half.x) * static_cast<float>(width);
    const float fy = static_cast<float>(height) -
                     (point.z - (centre.z - half.z)) / (2.0f * half.z) * static_cast<float>(height);
    const int ix = CellIndex(fx, width);
    const int iy = CellIndex(fy, height);

    int x0 = ix, y0 = iy, x1 = ix, y1 = iy;
    if (flags && flags->rectangle) {
        x0 = std::clamp(m_lastPaintedX, 0, width - 1);
        y0 = std::clamp(m_lastPaintedY, 0, height - 1);
    } else if (flags && flags->wholeGrid) {
        x0 = 0, y0 = 0, x1 = width - 1, y1 = height - 1;
    }
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) m_grid[CellCount(y, width) + x] = value;
    }
    m_lastPaintedX = ix;
    m_lastPaintedY = iy;
}

void MeshComponent::RebuildTileTexture() {
    if (!m_palette || GetTilesX() == 0 || GetTilesY() == 0) return;
    BuildTileTexture();
}

// Reads height rows of width values from the text, as whitespace-separated
// integers; a text that ends early or holds something else leaves the rest
// of the grid 0 (logged).
void MeshComponent::ReadTileMapping() {
    const int width = GetTilesX();
    const int height = GetTilesY();
    const std::size_t cells = CellCount(width, height);
    m_grid.clear();
    m_grid.reserve(cells);
    std::istringstream text(m_tileMapping);
    s32 value = 0;
    while (m_grid.size() < cells && text >> value) m_grid.push_back(value);
    if (m_grid.size() < cells) {
        const Composition* owner = GetOwner();
        LogErrorf("MeshComponent of '%s': 'TileMapping' holds %zu of %d x %d values; the other cells are 0\n",
                  owner ? owner->GetName().c_str() : "", m_grid.size(), width, height);
    }
    m_grid.resize(cells, 0);
}

std::string MeshComponent::WriteTileMapping() const {
    std::string text;
    for (std::size_t i = 0; i < m_grid.size(); ++i) {
        if (i != 0) text += ' ';
        text += std::to_string(m_grid[i]);
    }
    return text;
}

void MeshComponent::BuildTileTexture() {
    VisualLookup* lookup = VisualLookup::Current();
    if (!lookup || !m_palette) return;
    const int width = GetTilesX();
    const int height = GetTilesY();
    m_grid.resize(CellCount(width, height), 0);
    lookup->BuildTileTexture(&m_tileTexture, m_grid, width, height, PaletteColumns(), &m_tileTextureName);
}

void MeshComponent::DestroyTileTexture() {
    if (!m_tileTexture) return;
    if (VisualLookup* lookup = VisualLookup::Current()) lookup->DestroyTexture(m_tileTexture);
    m_tileTexture = nullptr;
}

int MeshComponent::PaletteColumns() const {
    VisualLookup* lookup = VisualLookup::Current();
    return lookup && m_palette ? std::max(1, lookup->GetPaletteColumns(*m_palette)) : 1;
}

}  // namespace Ostrel
