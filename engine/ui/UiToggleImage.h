#pragma once
// An image that shows one texture of a list, chosen by index. Index -1 (the
// start) hides it. An entry whose name the registry did not know stays in
// the list and draws nothing when it is current.

#include "engine/ui/UiElementBase.h"

#include <vector>

namespace Ostrel {

class Texture;

class UiToggleImage : public UiElementBase {
public:
    UiToggleImage() = default;

    void AddTexture(const std::string& name);
    // An index outside the list changes nothing; otherwise the texture
    // becomes current and sizes the element.
    void SetCurrentTexture(int index);
    int GetCurrentIndex() const { return m_currentIndex; }
    Texture* GetCurrentTexture() const { return m_current; }

    bool IsVisible() const override;
    std::unique_ptr<UiElementBase> Clone() const override;
    void Draw(UiDrawContext& context) override;

protected:
    UiToggleImage(const UiToggleImage& source) = default;

private:
    std::vector<Texture*> m_textures;  // owned by the texture registry
    int m_currentIndex = -1;
    Texture* m_current = nullptr;
};

}  // namespace Ostrel
