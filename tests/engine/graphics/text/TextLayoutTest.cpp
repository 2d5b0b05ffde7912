// Text layout with the DT_ format rules, over a font whose metrics are round
// numbers: every character advances 10 pixels, "AV" kerns by -3, and a line
// is 12 pixels high.

#include "engine/graphics/text/TextLayout.h"

#include <gtest/gtest.h>

using namespace Ostrel;

namespace {

class TenPixelFont : public GlyphMetrics {
public:
    int Advance(char32_t c) override { return c < 0x20 ? 0 : 10; }
    int Kerning(char32_t left, char32_t right) override { return left == U'A' && right == U'V' ? -3 : 0; }
    int LineHeight() const override { return 12; }
};

struct Laid {
    TextLayout layout;
    std::vector<std::u32string> lines;
};

Laid Lay(const std::string& text, TextRect rect, u32 format) {
    TenPixelFont font;
    const std::u32string chars = DecodeUtf8(text);
    Laid out{LayOutText(chars, rect, format, font), {}};
    for (const TextLine& line : out.layout.lines) out.lines.push_back(chars.substr(line.begin, line.end - line.begin));
    return out;
}

}  // namespace

TEST(TextLayout, CalcRectOfOneLineBoundsItsTextWithKerning) {
    Laid one = Lay("Hello", {5, 7, 6, 8}, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP);
    EXPECT_EQ(one.layout.bounds, (TextRect{5, 7, 55, 19}));
    EXPECT_EQ(one.layout.height, 12);
    EXPECT_EQ(Lay("AVA", {}, DT_CALCRECT).layout.bounds.right, 27);
    // Nothing to measure: an empty rectangle at the origin and height 0.
    Laid empty = Lay("", {3, 4, 100, 100}, DT_CALCRECT);
    EXPECT_EQ(empty.layout.bounds, (TextRect{3, 4, 3, 4}));
    EXPECT_EQ(empty.layout.height, 0);
}

TEST(TextLayout, WordBreakKeepsLinesInTheBoxAndCalcRectShrinksToTheWidestLine) {
    // 75 pixels hold "aaa bbb" (70) but not "aaa bbb ccc" (110).
    Laid laid = Lay("aaa bbb ccc dd", {0, 0, 75, 1}, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(laid.lines, (std::vector<std::u32string>{U"aaa bbb", U"ccc dd"}));
    EXPECT_EQ(laid.layout.bounds, (TextRect{0, 0, 70, 24}));
    for (const TextLine& line : laid.layout.lines) EXPECT_LE(line.width, 75);

    // The blanks at a break are dropped, leading blanks of the text are kept,
    // and a word exactly filling the width stays on its line.
    Laid blanks = Lay("  aa   bb", {0, 0, 50, 1}, DT_WORDBREAK);
    EXPECT_EQ(blanks.lines, (std::vector<std::u32string>{U"  aa", U"bb"}));
    EXPECT_EQ(Lay("aaaaa", {0, 0, 50, 1}, DT_WORDBREAK).lines.size(), 1u);

    // A word wider than the box is not split: it gets its own line and
    // DT_CALCRECT widens to it.
    Laid wide = Lay("a bbbbbbbb c", {0, 0, 30, 1}, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(wide.lines, (std::vector<std::u32string>{U"a", U"bbbbbbbb", U"c"}));
    EXPECT_EQ(wide.layout.bounds.right, 80);
    EXPECT_EQ(wide.layout.bounds.bottom, 36);
}

TEST(TextLayout, LineBreaksSplitLinesUnlessSingleLine) {
    Laid laid = Lay("ab\ncdef\r\ng\rh\n", {0, 0, 0, 0}, DT_CALCRECT);
    EXPECT_EQ(laid.lines, (std::vector<std::u32string>{U"ab", U"cdef", U"g", U"h"}));
    EXPECT_EQ(laid.layout.bounds, (TextRect{0, 0, 40, 48}));
    Laid blank = Lay("a\n\nb", {}, DT_CALCRECT);
    EXPECT_EQ(blank.lines.size(), 3u);

    Laid single = Lay("ab\ncd", {0, 0, 0, 0}, DT_CALCRECT | DT_SINGLELINE);
    ASSERT_EQ(single.lines.size(), 1u);
    EXPECT_EQ(single.layout.bounds, (TextRect{0, 0, 40, 12}));

    // Word breaking works per line of a multi-line text.
    Laid both = Lay("aa bb\ncc", {0, 0, 40, 1}, DT_WORDBREAK);
    EXPECT_EQ(both.lines, (std::vector<std::u32string>{U"aa", U"bb", U"cc"}));
}

TEST(TextLayout, AlignmentPlacesEachLineInTheRectangle) {
    const TextRect box{100, 50, 201, 90};  // 101 wide, 40 high
    Laid left = Lay("abc", box, DT_LEFT);
    Laid centre = Lay("abc\na", box, DT_CENTER);
    Laid right = Lay("abc", box, DT_RIGHT);
    EXPECT_EQ(left.layout.lines[0].x, 100);
    EXPECT_EQ(centre.layout.lines[0].x, 100 + (101 - 30) / 2);
    EXPECT_EQ(centre.layout.lines[1].x, 100 + (101 - 10) / 2);
    EXPECT_EQ(centre.layout.lines[1].y, 62);
    EXPECT_EQ(right.layout.lines[0].x, 201 - 30);

    // Vertical placement applies to single lines only.
    EXPECT_EQ(Lay("a", box, DT_SINGLELINE | DT_VCENTER).layout.lines[0].y, 50 + (40 - 12) / 2);
    EXPECT_EQ(Lay("a", box, DT_SINGLELINE | DT_BOTTOM).layout.lines[0].y, 90 - 12);
    EXPECT_EQ(Lay("a", box, DT_SINGLELINE | DT_BOTTOM).layout.height, 40);
    EXPECT_EQ(Lay("a", box, DT_BOTTOM).layout.lines[0].y, 50);
}

TEST(TextLayout, Utf8DecodingKeepsEveryByte) {
    EXPECT_EQ(DecodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), (std::u32string{U'a', 0xE9, 0x20AC, 0x1F600}));
    // Stray, truncated, overlong and surrogate sequences become Latin-1 characters.
    EXPECT_EQ(DecodeUtf8("\xE9t\xC3"), (std::u32string{0xE9, U't', 0xC3}));
    EXPECT_EQ(DecodeUtf8("\xC0\xAF"), (std::u32string{0xC0, 0xAF}));
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80").size(), 3u);
    EXPECT_EQ(DecodeUtf8("\xE2\x82"), (std::u32string{0xE2, 0x82}));
}
