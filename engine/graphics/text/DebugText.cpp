#include "engine/graphics/text/DebugText.h"

#include "engine/graphics/DebugDrawQueue.h"

namespace Ostrel {

TextFontDesc DebugFontDesc() {
    return TextFontDesc{"Arial", 12, 8, 400, false};
}

TextRect DrawDebugTextEntry(TextFont& font, const DebugTextCall& text) {
    TextRect rect;
    font.DrawText(nullptr, text.text, rect, DT_CALCRECT, text.PackedColour());
    const int x = static_cast<int>(text.x);
    const int y = static_cast<int>(text.y);
    rect.left += x;
    rect.right += x;
    rect.top += y;
    rect.bottom += y;
    font.DrawText(nullptr, text.text, rect, DT_TOP | DT_LEFT, text.PackedColour());
    return rect;
}

}  // namespace Ostrel
