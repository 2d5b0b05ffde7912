#include "engine/ui/UiText.h"

#include "engine/ui/UiDrawContext.h"

namespace Ostrel {

namespace {

// A wrap width in whole units; negative, non-finite or huge widths give 0
// (one line) rather than an undefined conversion.
int WholeUnits(float width) {
    if (!(width > 0.0f) || width >= 2147483520.0f) return 0;
    return int(width);
}

// The text's size in the element's font, the manager's current font kept;
// (0, 0) when there is no font manager.
Vec2 Measure(FontManager::FontHolder* font, const std::string& text, int wrap) {
    FontManager* fonts = FontManager::Instance();
    if (fonts == nullptr) return Vec2(0.0f, 0.0f);
    FontManager::FontHolder* previous = fonts->GetCurrentFont();
    fonts->SetFont(font);
    const Vec2 size = fonts->MeasureText(text, wrap);
    fonts->SetFont(previous);
    return size;
}

// Colour and font into the font manager, text and position into the context.
// The manager's current font is left as the element's.
void DrawTextElement(const UiElementBase& element, FontManager::FontHolder* font, const std::string& text,
                     UiDrawContext& context) {
    if (FontManager* fonts = FontManager::Instance()) {
        const Vec4 colour = element.GetColor();
        fonts->SetColor(colour.x, colour.y, colour.z, colour.w);
        fonts->SetFont(font);
    }
    context.SetText(text.c_str());
    context.SetTextPosition(element.GetAbsoluteX() + 0.5f, element.GetAbsoluteY() + 0.5f);
}

}  // namespace

std::unique_ptr<UiElementBase> UiLabel::Clone() const {
    return std::unique_ptr<UiElementBase>(new UiLabel(*this));
}

void UiLabel::SetParent(UiBase* parent) {
    UiElementBase::SetParent(parent);
    const Vec2 size = Measure(m_font, m_text, 0);
    SetWidth(size.x);
    SetHeight(size.y);
}

void UiLabel::Draw(UiDrawContext& context) {
    DrawTextElement(*this, m_font, m_text, context);
    context.SetAlignment(m_alignment);
}

std::unique_ptr<UiElementBase> UiTextArea::Clone() const {
    return std::unique_ptr<UiElementBase>(new UiTextArea(*this));
}

void UiTextArea::SetParent(UiBase* parent) {
    UiElementBase::SetParent(parent);
    const Vec2 size = Measure(m_font, m_text, WholeUnits(m_wrapWidth));
    SetWidth(size.x);
    SetHeight(size.y);
}

void UiTextArea::Draw(UiDrawContext& context) {
    DrawTextElement(*this, m_font, m_text, context);
    context.SetWrapWidth(WholeUnits(m_wrapWidth));
    context.SetAlignment(m_alignment);
}

void SetElementText(UiElementBase* element, const std::string& text) {
    if (auto* area = dynamic_cast<UiTextArea*>(element)) {
        area->SetText(text);
    } else if (auto* label = dynamic_cast<UiLabel*>(element)) {
        label->SetText(text);
    }
}

}  // namespace Ostrel
