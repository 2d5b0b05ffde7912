#include "engine/ui/UiButton.h"

#include "engine/graphics/textures/Texture.h"
#include "engine/ui/UiImage.h"

namespace Ostrel {

void UiButton::SetTexture(const std::string& name) {
    m_texture = FindUiTexture(name, "UiButton");
    if (m_texture == nullptr) return;
    SetWidth(m_texture->GetWidth());
    SetHeight(m_texture->GetHeight());
}

bool UiButton::IsVisible() const {
    return UiElementBase::IsVisible() && (m_debug || IsSelected());
}

void UiButton::SelectElement(UiElementBase* element, bool selected) {
    SetSelected(element == this ? selected : false);
}

void UiButton::Activate() {
    RaiseEvent("UiCommand");
}

std::unique_ptr<UiElementBase> UiButton::Clone() const {
    return std::unique_ptr<UiElementBase>(new UiButton(*this));
}

void UiButton::Draw(UiDrawContext& context) {
    DrawTexturedElement(context, *this, m_texture);
}

}  // namespace Ostrel
