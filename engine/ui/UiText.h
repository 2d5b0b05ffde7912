#pragma once
// The text elements: UiLabel shows one line, UiTextArea wraps its text to a
// width. Both draw through the font manager in the element colour, with
// their centre as the top-left corner of the text, and take their width and
// height from the measured text when they are attached (SetParent): text or
// font changed later is measured at the next attachment (a scene's clone).
// The font is the font manager's cached holder, shared by copies.

#include "engine/base/TextLimit.h"
#include "engine/graphics/text/FontManager.h"
#include "engine/ui/UiElementBase.h"

#include <string>

namespace Ostrel {

class UiLabel : public UiElementBase {
public:
    UiLabel() = default;

    std::unique_ptr<UiElementBase> Clone() const override;
    void Draw(UiDrawContext& context) override;
    // Stores the parent, then measures the text on one line.
    void SetParent(UiBase* parent) override;
    float GetTop() const override { return GetY(); }
    float GetLeft() const override { return GetX(); }

    // Longer texts are cut to kMaxDrawnTextBytes (TextLimit.h).
    void SetText(const std::string& text) {
        m_text = text;
        CapUtf8(m_text);
    }
    void SetFont(FontManager::FontHolder* font) { m_font = font; }
    void SetAlignment(int alignment) { m_alignment = alignment; }
    const std::string& GetText() const { return m_text; }
    FontManager::FontHolder* GetFont() const { return m_font; }
    int GetAlignment() const { return m_alignment; }

protected:
    UiLabel(const UiLabel& source) = default;

private:
    FontManager::FontHolder* m_font = nullptr;
    std::string m_text;
    int m_alignment = 0;
};

class UiTextArea : public UiElementBase {
public:
    UiTextArea() = default;

    std::unique_ptr<UiElementBase> Clone() const override;
    void Draw(UiDrawContext& context) override;
    // Stores the parent, then measures the text wrapped at the whole units
    // of the wrap width.
    void SetParent(UiBase* parent) override;
    float GetTop() const override { return GetY(); }
    float GetLeft() const override { return GetX(); }
    virtual void SetWrapWidth(float width) { m_wrapWidth = width; }

    // Longer texts are cut to kMaxDrawnTextBytes (TextLimit.h).
    void SetText(const std::string& text) {
        m_text = text;
        CapUtf8(m_text);
    }
    void SetFont(FontManager::FontHolder* font) { m_font = font; }
    void SetAlignment(int alignment) { m_alignment = alignment; }
    const std::string& GetText() const { return m_text; }
    FontManager::FontHolder* GetFont() const { return m_font; }
    int GetAlignment() const { return m_alignment; }
    float GetWrapWidth() const { return m_wrapWidth; }

protected:
    UiTextArea(const UiTextArea& source) = default;

private:
    FontManager::FontHolder* m_font = nullptr;
    std::string m_text;
    int m_alignment = 0;
    float m_wrapWidth = 0.0f;
};

// Sets the text of a label or text area; other elements are left alone.
void SetElementText(UiElementBase* element, const std::string& text);

}  // namespace Ostrel
