#include "engine/components/MeshComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/components/MeshLookup.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::MeshComponent);

namespace Ostrel {

namespace {

void SetDiffuseTextureField(const void* value, void* clientData) {
    static_cast<MeshComponent*>(clientData)->SetDiffuseTexture(*static_cast<const std::string*>(value));
}

void GetDiffuseTextureField(void* value, void* clientData) {
    *static_cast<std::string*>(value) = static_cast<MeshComponent*>(clientData)->GetDiffuseTextureId();
}

}  // namespace

void MeshComponent::Initialize() {
    if (!m_mesh) m_mesh = FindMeshByName(m_meshId);
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
    copy->m_tilePalette = m_tilePalette;
    copy->m_tileMapping = m_tileMapping;
    return copy;  // highlighted starts cleared
}

void MeshComponent::Serialize(Serializer* s) {
    s->SerializeString("MeshID", &m_meshId);
    s->SerializeString("DiffuseTexID", &m_diffuseTexId);
    s->SerializeBool("Visible", &m_visible);
    s->SerializeBool("Scaffolding", &m_scaffolding);
    s->SerializeFloat("Color_r", &m_tint.x);
    s->SerializeFloat("Color_g", &m_tint.y);
    s->SerializeFloat("Color_b", &m_tint.z);
    s->SerializeBool("IsImportant", &m_important);
    s->SerializeFloat("TextureTiles_x", &m_tiles.x);
    s->SerializeFloat("TextureTiles_y", &m_tiles.y);
    s->SerializeString("TilePalette", &m_tilePalette);
    s->SerializeString("TileMapping", &m_tileMapping);
}

void MeshComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddString("MeshID", &m_meshId, false);
    panel->AddCallbackVar("DiffuseTexID", kTweakString, &SetDiffuseTextureField, &GetDiffuseTextureField,
                          this);
    panel->AddBool("Visible", &m_visible, false);
    panel->AddBool("Scaffolding", &m_scaffolding, false);
    panel->AddBool("IsImportant", &m_important, false);
}

Variant MeshComponent::ToVariant() { return Variant(this); }

void MeshComponent::SetMesh(const std::string& name) {
    m_meshId = name;
    m_mesh = FindMeshByName(name);
}

void MeshComponent::SetDiffuseTexture(const std::string& name) {
    m_diffuseTexId = name;
    m_texture = nullptr;
}

}  // namespace Ostrel
