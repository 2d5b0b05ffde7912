#include "engine/components/MeshComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/components/MeshLookup.h"
#include "engine/components/VisualLookup.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"
#include "engine/io/DataValue.h"

LV_REFLECT_CLASS(Ostrel::MeshComponent);

namespace Ostrel {

namespace {

MeshComponent* Self(void* clientData) { return static_cast<MeshComponent*>(clientData); }

void SetDiffuseTextureField(const void* value, void* client) {
    Self(client)->SetDiffuseTexture(*static_cast<const std::string*>(value));
}
void GetDiffuseTextureField(void* value, void* client) {
    *static_cast<std::string*>(value) = Self(client)->GetDiffuseTextureId();
}
void SetTilesXField(const void* value, void* client) { Self(client)->SetTilesX(*static_cast<const int*>(value)); }
void GetTilesXField(void* value, void* client) { *static_cast<int*>(value) = Self(client)->GetTilesX(); }
void SetTilesYField(const void* value, void* client) { Self(client)->SetTilesY(*static_cast<const int*>(value)); }
void GetTilesYField(void* value, void* client) { *static_cast<int*>(value) = Self(client)->GetTilesY(); }
void SetTilePaletteField(const void* value, void* client) {
    Self(client)->SetTilePalette(*static_cast<const std::string*>(value));
}
void GetTilePaletteField(void* value, void* client) {
    *static_cast<std::string*>(value) = Self(client)->GetTilePaletteName();
}

}  // namespace

void MeshComponent::Initialize() {
    if (!m_mesh) m_mesh = FindMeshByName(m_meshId);
    if (!m_texture) m_texture = FindTextureByName(m_diffuseTexId);
    if (!m_palette) m_palette = FindTilePaletteByName(m_tilePalette);
    if (!m_palette && !m_tilePalette.empty() && VisualLookup::Current()) {
        LogDataOnce((m_source.empty() ? std::string() : m_source + ": ") + "key 'TilePalette': '" + m_tilePalette +
                    "' is not a loaded tile palette; no tiles are drawn\n");
    }
    m_previousWidth = GetTilesX();
    m_previousHeight = GetTilesY();
    m_lastPaintedX = 0;
    m_lastPaintedY = 0;
    m_hasPalette = m_palette != nullptr;
    if (!m_palette) return;
    if (!m_tileMapping.empty() && m_previousWidth > 0 && m_previousHeight > 0) {
        ReadTileMapping();
        BuildTileTexture();
    } else {
        // A grid that a short or missing text left smaller than the size
        // would be painted past its end.
        m_grid.resize(static_cast<std::size_t>(m_previousWidth) * m_previousHeight, 0);
    }
}

Component* MeshComponent::Clone() const {
    auto* copy = NewComponentOf<MeshComponent>();
    if (!copy) return nullptr;
    copy->m_meshId = m_meshId;
    copy->m_diffuseTexId = m_diffuseTexId;
    copy->m_mesh = m_mesh;
    copy->m_texture = m_texture;
    copy->m_visible = m_visible;
    copy->m_scaffolding = m_scaffolding;
    copy->m_tint = m_tint;
    copy->m_important = m_important;
    copy->m_tiles = m_tiles;
    copy->m_highlightColor = m_highlightColor;
    copy->m_palette = m_palette;
    copy->m_tilePalette = m_tilePalette;
    copy->m_source = m_source;
    copy->m_tileMapping = m_tileMapping;
    copy->m_grid = m_grid;
    // highlighted starts cleared and the tile texture null: the resize gives
    // the clone a texture of its own.
    copy->ResizeTileGrid();
    return copy;
}

void MeshComponent::Uninitialize() { DestroyTileTexture(); }

void MeshComponent::Serialize(Serializer* s) {
    s->SerializeString("MeshID", &m_meshId);
    s->SerializeString("DiffuseTexID", &m_diffuseTexId);
    s->SerializeBool("Visible", &m_visible);
    s->SerializeBool("Scaffolding", &m_scaffolding);
    s->SerializeFloat("Color_r", &m_tint.x);
    s->SerializeFloat("Color_g", &m_tint.y);
    s->SerializeFloat("Color_b", &m_tint.z);
    s->SerializeBool("IsImportant", &m_important);
    SerializeValue(*s, "TextureTiles_x", &m_tiles.x, NonNegative(float(kMaxTiles)));
    SerializeValue(*s, "TextureTiles_y", &m_tiles.y, NonNegative(float(kMaxTiles)));
    s->SerializeString("TilePalette", &m_tilePalette);
    if (s->IsReading()) m_source = s->Where();
    if (s->IsWriting() && m_palette) m_tileMapping = WriteTileMapping();
    s->SerializeString("TileMapping", &m_tileMapping);
}

void MeshComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddString("MeshID", &m_meshId, false);
    panel->AddCallbackVar("DiffuseTexID", kTweakString, &SetDiffuseTextureField, &GetDiffuseTextureField,
                          this);
    panel->AddBool("Visible", &m_visible, false);
    panel->AddBool("Scaffolding", &m_scaffolding, false);
    panel->AddBool("IsImportant", &m_important, false);
    panel->AddCallbackVar("TextureTiles_x", kTweakInt, &SetTilesXField, &GetTilesXField, this);
    panel->AddCallbackVar("TextureTiles_y", kTweakInt, &SetTilesYField, &GetTilesYField, this);
    panel->AddCallbackVar("TilePalette", kTweakString, &SetTilePaletteField, &GetTilePaletteField, this);
}

Variant MeshComponent::ToVariant() { return Variant(this); }

void MeshComponent::SetMesh(const std::string& name) {
    m_meshId = name;
    m_mesh = FindMeshByName(name);
}

void MeshComponent::SetDiffuseTexture(const std::string& name) {
    m_diffuseTexId = name;
    m_texture = FindTextureByName(name);
}

}  // namespace Ostrel
