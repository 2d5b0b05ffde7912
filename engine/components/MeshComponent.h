#pragma once
// The mesh an object draws (type id 42, the small number): the mesh and
// diffuse texture by name, visibility flags, a tint, and an optional tile
// grid painted from a tile palette. It holds data only; the renderer and the
// volume hierarchy read it, and the collision component fits its volume to
// the named mesh's vertices.
//
// Data keys, in order: "MeshID", "DiffuseTexID" (text), "Visible",
// "Scaffolding" (booleans), "Color_r", "Color_g", "Color_b" (floats, lower
// case), "IsImportant" (boolean), "TextureTiles_x", "TextureTiles_y" (floats
// holding whole numbers: the grid's width and height), "TilePalette",
// "TileMapping" (text).
//
// The tile grid: width x height cell values, cell (x, y) at y x width + x,
// row 0 lying at the mesh's largest z. "TileMapping" is its text (the values
// in grid order, one blank apart). The grid is used only while the palette
// resolves: then the text is read into the grid when the component is
// initialised, rebuilt from the grid when written, and the grid is turned
// into a float tile texture that this component owns. Without a palette the
// text is kept and written back unchanged, and the grid is neither resized,
// painted nor turned into a texture. Every grid write is bounds-checked and
// the grid is kept at exactly width x height values (missing ones are 0).
//
// Meshes come through MeshLookup; textures, palettes and the tile texture
// through VisualLookup. Names that name nothing leave the pointer null.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec2.h"
#include "engine/core/Vec4.h"

#include <string>
#include <vector>

namespace Ostrel {

class Mesh;
class Texture;
class TilePaletteRecord;

// The brush flags PaintTiles reads (two bytes).
struct TileBrushFlags {
    u8 rectangle = 0;  // from the last painted cell to this one
    u8 wholeGrid = 0;  // every cell (when rectangle is clear)
};

class MeshComponent final : public Component {
public:
    static constexpr u32 kTypeId = 42;
    // Largest grid width and height; larger values from data or the editor
    // are taken as this.
    static constexpr int kMaxTiles = 4096;

    // Looks up the mesh, texture and palette that are still null (archetypes
    // do this too, so their clones start with the pointers), then reads the
    // tile text into the grid and builds the tile texture when a palette is
    // set.
    void Initialize() override;
    // Copies the data and the grid; the clone builds a tile texture of its
    // own and starts not highlighted.
    Component* Clone() const override;
    // Destroys the tile texture.
    void Uninitialize() override;
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // MeshID = name and the mesh looked up again (null for an unknown name).
    void SetMesh(const std::string& name);
    // DiffuseTexID = name and the texture looked up again.
    void SetDiffuseTexture(const std::string& name);
    // The run-time highlight colour (alpha 1).
    void SetColor(f32 r, f32 g, f32 b) { m_highlightColor = Vec4(r, g, b, 1.0f); }
    void SetHighlighted(bool highlighted) { m_highlighted = highlighted; }

    // The grid's width and height as whole numbers (0 to kMaxTiles).
    int GetTilesX() const;
    int GetTilesY() const;
    // Sets the width (height) and resizes the grid, keeping the cells that
    // still fit. A negative n is taken as 0.
    void SetTilesX(int n);
    void SetTilesY(int n);
    // TilePalette = name and the palette looked up again; a changed palette
    // resizes the grid (a first palette gives an all-zero grid).
    void SetTilePalette(const std::string& name);
    // One cell; a cell outside the grid is ignored.
    void SetTile(int x, int y, s32 value);
    // The editor's brush at a world point on the mesh (x and z are read):
    // the cell under it, or with flags the rectangle from the last painted
    // cell or the whole grid, is set to value. Points off the mesh paint the
    // nearest edge cell. Needs a palette, a mesh and a grid of at least 1 x 1.
    void PaintTiles(const Vec4& point, u32 unused, s32 value, const TileBrushFlags* flags);
    // Rebuilds the tile texture from the grid (with a palette and a grid of
    // at least 1 x 1).
    void RebuildTileTexture();
    // Brings the grid to the current width and height, copying the cells of
    // the previous size that still fit, and rebuilds the tile texture.
    void ResizeTileGrid();

    const std::string& GetMeshId() const { return m_meshId; }
    Mesh* GetMesh() const { return m_mesh; }
    const std::string& GetDiffuseTextureId() const { return m_diffuseTexId; }
    Texture* GetTexture() const { return m_texture; }
    void SetTexture(Texture* texture) { m_texture = texture; }
    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    bool IsScaffolding() const { return m_scaffolding; }
    void SetScaffolding(bool scaffolding) { m_scaffolding = scaffolding; }
    bool IsImportant() const { return m_important; }
    void SetImportant(bool important) { m_important = important; }
    const Vec4& GetTint() const { return m_tint; }
    // The run-time tint (the colour flash of a hit); "Color_r/g/b" set it from data.
    void SetTint(const Vec4& tint) { m_tint = tint; }
    const Vec2& GetTiles() const { return m_tiles; }
    // How often the diffuse texture repeats across the mesh (u, v).
    void SetTiles(const Vec2& tiles) { m_tiles = tiles; }
    bool IsHighlighted() const { return m_highlighted; }
    const Vec4& GetHighlightColor() const { return m_highlightColor; }
    const std::string& GetTilePaletteName() const { return m_tilePalette; }
    TilePaletteRecord* GetPalette() const { return m_palette; }
    bool HasPalette() const { return m_hasPalette; }
    const std::string& GetTileMapping() const { return m_tileMapping; }
    const std::vector<s32>& GetGrid() const { return m_grid; }
    Texture* GetTileTexture() const { return m_tileTexture; }
    const std::string& GetTileTextureName() const { return m_tileTextureName; }
    int GetLastPaintedX() const { return m_lastPaintedX; }
    int GetLastPaintedY() const { return m_lastPaintedY; }

private:
    void ReadTileMapping();
    std::string WriteTileMapping() const;
    void BuildTileTexture();
    void DestroyTileTexture();
    int PaletteColumns() const;
    void SetTileCount(float* tiles, int* previous, int n);

    std::string m_meshId;
    std::string m_diffuseTexId;
    Mesh* m_mesh = nullptr;
    Texture* m_texture = nullptr;
    bool m_visible = true;
    bool m_scaffolding = false;
    bool m_important = false;
    Vec4 m_tint{1.0f, 1.0f, 1.0f, 1.0f};
    Vec2 m_tiles{1.0f, 1.0f};
    bool m_highlighted = false;
    Vec4 m_highlightColor{0.0f, 0.0f, 0.0f, 0.0f};
    Texture* m_tileTexture = nullptr;
    std::string m_tilePalette;
    // The file and object the data was read from, for log lines.
    std::string m_source;
    TilePaletteRecord* m_palette = nullptr;
    std::string m_tileMapping;
    std::vector<s32> m_grid;
    std::string m_tileTextureName;
    int m_previousWidth = 0;
    int m_previousHeight = 0;
    int m_lastPaintedX = 0;
    int m_lastPaintedY = 0;
    bool m_hasPalette = false;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::MeshComponent);
