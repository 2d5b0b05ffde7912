#pragma once
// Drawing of the frame's queued debug text (Graphics::DrawDebugText) with the
// debug font: a 12-pixel "Arial" cell 8 pixels wide per character, which the
// font registry maps to the shipped face. Each text is measured first
// (multi-line included) and then drawn into exactly that rectangle moved to
// its position truncated toward zero, so text queued at (10.7, 20.2) has its
// top-left corner at pixel (10, 20).

#include "engine/graphics/text/TextFont.h"

namespace Ostrel {

struct DebugTextCall;

// The debug font's description.
TextFontDesc DebugFontDesc();

// Measures and draws one record; answers the rectangle it was drawn in.
TextRect DrawDebugTextEntry(TextFont& font, const DebugTextCall& text);

}  // namespace Ostrel
