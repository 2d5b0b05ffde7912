#include "engine/ui/UiToggleImage.h"

#include "engine/graphics/textures/Texture.h"
#include "engine/ui/UiImage.h"

namespace Ostrel {

void UiToggleImage::AddTexture(const std::string& name) {
    m_textures.push_back(FindUiTexture(name, "UiToggleImage"));
}

void UiToggleImage::SetCurrentTexture(int index) {
    if (index < 0 || std::size_t(index) >= m_textures.size()) return;
    m_currentIndex = index;
    m_current = m_textures[std::size_t(index)];
    if (m_current == nullptr) return;
    SetWidth(m_current->GetWidth());
    SetHeight(m_current->GetHeight());
}

bool UiToggleImage::IsVisible() const {
    return UiElementBase::IsVisible() && m_currentIndex >= 0 && std::size_t(m_currentIndex) < m_textures.size();
}

std::unique_ptr<UiElementBase> UiToggleImage::Clone() const {
    return std::unique_ptr<UiElementBase>(new UiToggleImage(*this));
}

void UiToggleImage::Draw(UiDrawContext& context) {
    DrawTexturedElement(context, *this, m_current);
}

}  // namespace Ostrel
