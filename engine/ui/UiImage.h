#pragma once
// An element that shows one texture over its rectangle, tinted by its
// colour. Setting the texture sizes the element to the texture's pixels (as
// UI units); a script may change the size afterwards. A name the texture
// registry does not know leaves no texture and the size unchanged (logged);
// an image without a texture draws nothing.

#include "engine/ui/UiElementBase.h"

namespace Ostrel {

class Texture;

class UiImage : public UiElementBase {
public:
    UiImage() = default;

    void SetTexture(const std::string& name);
    Texture* GetTexture() const { return m_texture; }

    std::unique_ptr<UiElementBase> Clone() const override;
    void Draw(UiDrawContext& context) override;

protected:
    UiImage(const UiImage& source) = default;

private:
    Texture* m_texture = nullptr;  // owned by the texture registry
};

// The registry's texture of that name, or null after logging who asked
// (what) for it.
Texture* FindUiTexture(const std::string& name, const char* what);
// The textured-element draw: texture times colour over the element's quad;
// nothing without a texture.
void DrawTexturedElement(UiDrawContext& context, const UiElementBase& element, Texture* texture);

}  // namespace Ostrel
