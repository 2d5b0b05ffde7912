#pragma once
// A horizontal gauge element: a border image, and over it a fill image of
// which only a fraction (the percent) is drawn, anchored at its left or its
// right end. The HUD's scene script makes the bars ("UiEnergyBar".new) and
// places them; the HUD handler then moves their percent and, when the
// player's attack changes, swaps their images.
//
// Geometry: the element's rectangle as last placed is the reference. "SetBar"
// sizes the element to the fill texture. Draw resizes the element to the
// border (centred on the rectangle), then to the fill scaled by the percent
// and shifted by the bar offset from the rectangle's top-left corner, and
// finally puts the top-left corner back with the size last set (the fill's).
// The percent is not clamped: above 1 the fill grows past its image, below 0
// it turns over.
//
// A texture name the registry does not know leaves that image unset (logged
// once per call); an unset image is skipped when drawing, and "SetBar" then
// keeps the size.
//
// Scripts reach every UiElementBase method through the bar's methods table
// (metatable "Ostrel.UiEnergyBar", whose methods fall back to
// "Ostrel.UiElementBase").

#include "engine/core/ScriptEnums.h"
#include "engine/core/Vec2.h"
#include "engine/ui/UiElementBase.h"

#include <memory>
#include <string>

namespace Ostrel {
class Texture;
}

namespace Vandle {

class UiEnergyBar : public Ostrel::UiElementBase {
public:
    UiEnergyBar() = default;

    void SetBorder(const std::string& textureName);
    // Also sizes the element to the fill texture (when it exists).
    void SetBar(const std::string& textureName);
    void SetBarOffset(float x, float y) { m_barOffset = Ostrel::Vec2(x, y); }
    void SetBarAnchor(Ostrel::BarDirection anchor) { m_barAnchor = anchor; }
    void SetPercent(float percent) { m_percent = percent; }

    Ostrel::Texture* GetBorder() const { return m_border; }
    Ostrel::Texture* GetBar() const { return m_bar; }
    const Ostrel::Vec2& GetBarOffset() const { return m_barOffset; }
    Ostrel::BarDirection GetBarAnchor() const { return m_barAnchor; }
    float GetPercent() const { return m_percent; }

    std::unique_ptr<Ostrel::UiElementBase> Clone() const override;
    void Draw(Ostrel::UiDrawContext& context) override;

protected:
    UiEnergyBar(const UiEnergyBar& source) = default;

private:
    // Queues the border at its own size, centred on the rectangle, and
    // flushes it.
    void DrawBorder(Ostrel::UiDrawContext& context);
    // Queues the fill (not flushed); false when there is nothing to draw.
    bool QueueFill(Ostrel::UiDrawContext& context, float left, float top);
    void UseOwnColour(Ostrel::UiDrawContext& context) const;

    Ostrel::Texture* m_border = nullptr;  // owned by the texture registry
    Ostrel::Texture* m_bar = nullptr;     // owned by the texture registry
    Ostrel::Vec2 m_barOffset;
    Ostrel::BarDirection m_barAnchor = Ostrel::BarDirection::Left;
    float m_percent = 1.0f;
};

// The bar's script description (its userdata is checked against it).
extern const Ostrel::ScriptClass kUiEnergyBarScript;

}  // namespace Vandle
