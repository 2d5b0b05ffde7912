#include "engine/graphics/text/TextLayout.h"

#include <algorithm>

namespace Ostrel {

namespace {

bool IsBlank(char32_t c) {
    return c == U' ' || c == U'\t';
}

bool IsLineBreak(char32_t c) {
    return c == U'\n' || c == U'\r';
}

// One paragraph [begin, end) broken into lines no wider than maxWidth where
// the words allow it.
void BreakWords(std::u32string_view text, size_t begin, size_t end, int maxWidth, GlyphMetrics& metrics,
                std::vector<TextLine>& lines) {
    size_t lineStart = begin;
    for (;;) {
        int width = 0;
        char32_t previous = 0;
        size_t breakEnd = std::u32string_view::npos;
        int breakWidth = 0;
        bool broke = false;
        for (size_t i = lineStart; i < end; ++i) {
            const char32_t c = text[i];
            const int step = metrics.Advance(c) + (previous ? metrics.Kerning(previous, c) : 0);
            if (IsBlank(c)) {
                if (i > lineStart && !IsBlank(text[i - 1])) {
                    breakEnd = i;
                    breakWidth = width;
                }
            } else if (width + step > maxWidth && breakEnd != std::u32string_view::npos) {
                // The word holding c does not fit: the line ends after the
                // previous word and the blanks between are dropped.
                lines.push_back({lineStart, breakEnd, 0, 0, breakWidth});
                lineStart = breakEnd;
                while (lineStart < end && IsBlank(text[lineStart])) ++lineStart;
                broke = true;
                break;
            }
            width += step;
            previous = c;
        }
        if (!broke) {
            lines.push_back({lineStart, end, 0, 0, width});
            return;
        }
    }
}

std::vector<TextLine> BreakLines(std::u32string_view text, const TextRect& rect, u32 format,
                                 GlyphMetrics& metrics) {
    std::vector<TextLine> lines;
    if (text.empty()) return lines;
    if (format & DT_SINGLELINE) {
        lines.push_back({0, text.size(), 0, 0, MeasureRun(text, 0, text.size(), metrics)});
        return lines;
    }
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = begin;
        while (end < text.size() && !IsLineBreak(text[end])) ++end;
        if (format & DT_WORDBREAK) {
            BreakWords(text, begin, end, rect.Width(), metrics, lines);
        } else {
            lines.push_back({begin, end, 0, 0, MeasureRun(text, begin, end, metrics)});
        }
        if (end >= text.size()) break;
        // "\r\n" is one break.
        size_t next = end + 1;
        if (text[end] == U'\r' && next < text.size() && text[next] == U'\n') ++next;
        if (next >= text.size()) break;  // a final line break adds no line
        begin = next;
    }
    return lines;
}

int HorizontalStart(const TextRect& rect, u32 format, int lineWidth) {
    if (format & DT_RIGHT) return rect.right - lineWidth;
    if (format & DT_CENTER) return rect.left + (rect.Width() - lineWidth) / 2;
    return rect.left;
}

int VerticalStart(const TextRect& rect, u32 format, int lineHeight) {
    if (!(format & DT_SINGLELINE)) return rect.top;
    if (format & DT_BOTTOM) return rect.bottom - lineHeight;
    if (format & DT_VCENTER) return rect.top + (rect.Height() - lineHeight) / 2;
    return rect.top;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = lead;
        if (lead >= 0xC2 && lead < 0xE0) {
            extra = 1;
            c = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            extra = 2;
            c = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            extra = 3;
            c = lead & 0x07u;
        }
        bool valid = lead < 0x80 || (extra > 0 && i + extra < text.size());
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        if (valid && extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
        if (valid && extra == 3 && (c < 0x10000 || c > 0x10FFFF)) valid = false;
        if (!valid) {
            out.push_back(lead);
            ++i;
            continue;
        }
        out.push_back(c);
        i += extra + 1;
    }
    return out;
}

int MeasureRun(std::u32string_view text, size_t begin, size_t end, GlyphMetrics& metrics) {
    int width = 0;
    char32_t previous = 0;
    for (size_t i = begin; i < end; ++i) {
        width += metrics.Advance(text[i]) + (previous ? metrics.Kerning(previous, text[i]) : 0);
        previous = text[i];
    }
    return width;
}

TextLayout LayOutText(std::u32string_view text, const TextRect& rect, u32 format, GlyphMetrics& metrics) {
    TextLayout layout;
    layout.lines = BreakLines(text, rect, format, metrics);
    const int lineHeight = metrics.LineHeight();
    int widest = 0;
    int y = VerticalStart(rect, format, lineHeight);
    for (TextLine& line : layout.lines) {
        line.x = HorizontalStart(rect, format, line.width);
        line.y = y;
        y += lineHeight;
        widest = std::max(widest, line.width);
    }
    const int lineCount = static_cast<int>(layout.lines.size());
    layout.bounds = {rect.left, rect.top, rect.left + widest, rect.top + lineCount * lineHeight};
    layout.height = lineCount ? layout.lines.back().y + lineHeight - rect.top : 0;
    return layout;
}

}  // namespace Ostrel
