#pragma once
// The mesh an object draws (type id 42, the small number): the mesh and
// diffuse texture by name, visibility flags, a tint and the tile settings.
// It holds data only; the renderer and the volume hierarchy read it, and the
// collision component fits its volume to the named mesh's vertices.
//
// Data keys, in order: "MeshID", "DiffuseTexID" (text), "Visible",
// "Scaffolding" (booleans), "Color_r", "Color_g", "Color_b" (floats, lower
// case), "IsImportant" (boolean), "TextureTiles_x", "TextureTiles_y" (floats
// holding whole numbers), "TilePalette", "TileMapping" (text). The tile grid
// is kept as its text here and written back unchanged.
//
// The mesh pointer is looked up by name through MeshLookup (null when the
// name names nothing); the registry owns the mesh.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec2.h"
#include "engine/core/Vec4.h"

#include <string>

namespace Ostrel {

class Mesh;
class Texture;

class MeshComponent final : public Component {
public:
    static constexpr u32 kTypeId = 42;

    // Looks the mesh up by MeshID when it has none yet; archetypes do this
    // too, so their clones start with the pointer.
    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // MeshID = name and the mesh looked up again (null for an unknown name).
    void SetMesh(const std::string& name);
    // DiffuseTexID = name; the texture is looked up by the graphics layer.
    void SetDiffuseTexture(const std::string& name);
    // The run-time highlight colour (alpha 1).
    void SetColor(f32 r, f32 g, f32 b) { m_highlightColor = Vec4(r, g, b, 1.0f); }
    void SetHighlighted(bool highlighted) { m_highlighted = highlighted; }

    const std::string& GetMeshId() const { return m_meshId; }
    Mesh* GetMesh() const { return m_mesh; }
    const std::string& GetDiffuseTextureId() const { return m_diffuseTexId; }
    Texture* GetTexture() const { return m_texture; }
    void SetTexture(Texture* texture) { m_texture = texture; }
    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    bool IsScaffolding() const { return m_scaffolding; }
    bool IsImportant() const { return m_important; }
    const Vec4& GetTint() const { return m_tint; }
    const Vec2& GetTiles() const { return m_tiles; }
    bool IsHighlighted() const { return m_highlighted; }
    const Vec4& GetHighlightColor() const { return m_highlightColor; }
    const std::string& GetTilePaletteName() const { return m_tilePalette; }
    const std::string& GetTileMapping() const { return m_tileMapping; }

private:
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
    std::string m_tilePalette;
    std::string m_tileMapping;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::MeshComponent);
