#include "engine/ui/UiImage.h"

#include "engine/base/Log.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/ui/UiDrawContext.h"

namespace Ostrel {

Texture* FindUiTexture(const std::string& name, const char* what) {
    TextureManager* textures = TextureManager::Instance();
    Texture* texture = textures ? textures->Find(name) : nullptr;
    if (texture == nullptr) LogMessagef("%s: no texture '%s', drawn without one\n", what, name.c_str());
    return texture;
}

void DrawTexturedElement(UiDrawContext& context, const UiElementBase& element, Texture* texture) {
    context.SetTechnique("UiTech");
    context.DrawQuad(element);
    context.SetTexture(texture);
    const Vec4 colour = element.GetColor();
    context.SetColor(colour.x, colour.y, colour.z, colour.w);
    if (texture == nullptr) context.CancelDraw();
}

void UiImage::SetTexture(const std::string& name) {
    m_texture = FindUiTexture(name, "UiImage");
    if (m_texture == nullptr) return;
    SetWidth(m_texture->GetWidth());
    SetHeight(m_texture->GetHeight());
}

std::unique_ptr<UiElementBase> UiImage::Clone() const {
    return std::unique_ptr<UiElementBase>(new UiImage(*this));
}

void UiImage::Draw(UiDrawContext& context) {
    DrawTexturedElement(context, *this, m_texture);
}

}  // namespace Ostrel
