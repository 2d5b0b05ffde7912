#pragma once
// The element a navigator selects and the player confirms: it shows its
// texture only while selected (or always with debug on), and Activate raises
// the UI event "UiCommand" on its own table, where the handlers attached to
// the button act on it.

#include "engine/ui/UiElementBase.h"

namespace Ostrel {

class Texture;

class UiButton : public UiElementBase {
public:
    UiButton() = default;

    // As UiImage::SetTexture: sizes the button; an unknown name leaves none.
    void SetTexture(const std::string& name);
    Texture* GetTexture() const { return m_texture; }
    void SetDebug(bool debug) { m_debug = debug; }

    bool IsVisible() const override;
    // Selected exactly when element is this button.
    void SelectElement(UiElementBase* element, bool selected) override;
    void Activate() override;
    std::unique_ptr<UiElementBase> Clone() const override;
    void Draw(UiDrawContext& context) override;

protected:
    UiButton(const UiButton& source) = default;

private:
    Texture* m_texture = nullptr;  // owned by the texture registry
    bool m_debug = false;
};

}  // namespace Ostrel
