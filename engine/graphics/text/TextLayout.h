#pragma once
// Text layout with the DrawText format flags the engine's text callers use.
// Pure arithmetic over a font's metrics, so it serves measuring and drawing
// alike and is tested without a device.
//
// The rules:
//   - Lines end at "\n", "\r\n" or "\r", unless DT_SINGLELINE, which keeps
//     everything on one line (line-break characters then take no room). A
//     line break that ends the text adds no empty line.
//   - DT_WORDBREAK breaks a line between words when a word would pass the
//     rectangle's right edge; the blanks at the break are dropped. A word
//     wider than the rectangle is never split: it gets a line of its own and
//     sticks out (DT_CALCRECT then widens the rectangle to it).
//   - DT_LEFT / DT_CENTER / DT_RIGHT place each line in the rectangle's
//     width; DT_VCENTER / DT_BOTTOM apply to DT_SINGLELINE text only.
//   - DT_CALCRECT draws nothing: right becomes left + the widest line and
//     bottom becomes top + the lines' height, so the width shrinks to the
//     text (or grows for a single line or an over-long word).
//   - Without DT_NOCLIP, drawing is clipped to the rectangle.
//   - Line height is the font's cell height (ascent + descent); kerning is
//     applied between neighbouring characters of a line.

#include "engine/base/Types.h"

#include <string>
#include <string_view>
#include <vector>

namespace Ostrel {

// The format flags, with the numeric values the text callers were written for.
enum TextFormat : u32 {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
};

// Pixels; right and bottom are exclusive.
struct TextRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const TextRect&) const = default;
};

// What layout needs of a font, in whole pixels.
class GlyphMetrics {
public:
    virtual ~GlyphMetrics() = default;
    // The pen advance of a character; control characters advance 0.
    virtual int Advance(char32_t c) = 0;
    // The adjustment between two neighbouring characters (usually <= 0).
    virtual int Kerning(char32_t left, char32_t right) = 0;
    virtual int LineHeight() const = 0;
};

struct TextLine {
    size_t begin = 0;  // character range in the decoded text, line breaks excluded
    size_t end = 0;
    int x = 0;         // left of the line's pen start
    int y = 0;         // top of the line's cell
    int width = 0;
};

struct TextLayout {
    std::vector<TextLine> lines;
    TextRect bounds;   // what DT_CALCRECT stores
    int height = 0;    // what DrawText answers: from the rectangle's top to the last line's bottom
};

// UTF-8 to characters; a byte that does not start a valid sequence is taken
// as the Latin-1 character of that value, so no input is lost or rejected.
std::u32string DecodeUtf8(std::string_view text);

TextLayout LayOutText(std::u32string_view text, const TextRect& rect, u32 format, GlyphMetrics& metrics);

// The width of text[begin, end) with kerning.
int MeasureRun(std::u32string_view text, size_t begin, size_t end, GlyphMetrics& metrics);

}  // namespace Ostrel
