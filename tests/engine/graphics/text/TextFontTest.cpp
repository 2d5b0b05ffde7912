// The FreeType text engine on the shipped face: registration by family name
// and the fallback, sizes from the face's metrics, kerning, synthetic styles,
// the glyph atlas and clipping of drawn text.

#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/text/GlyphAtlas.h"
#include "engine/graphics/text/TextFont.h"
#include "engine/graphics/text/TextSprite.h"

#include "tests/engine/graphics/text/FontTestSupport.h"

#include <gtest/gtest.h>

using namespace Ostrel;
using FontTest::CapturedLog;
using FontTest::RecordingRenderer;

namespace {

// Family names no machine has: they fall back to the shipped face.
constexpr const char* kMissing = "Lantern Vaults Missing Face";
constexpr const char* kOtherMissing = "Lantern Vaults Other Face";

class TextFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        FontRegistry::Instance().Clear();
        ASSERT_NE(FontRegistry::Instance().Register(FontTest::ShippedFontBytes(), "DejaVuSans.ttf"), 0u);
    }
    void TearDown() override { FontRegistry::Instance().Clear(); }

    static std::unique_ptr<TextFont> Make(int height, int weight = 0, bool italic = false, int width = 0,
                                          TextRenderer* renderer = nullptr, const std::string& family = "DejaVu Sans") {
        auto font = TextFont::Create({family, height, width, weight, italic}, renderer);
        EXPECT_NE(font, nullptr);
        return font;
    }
    static int Width(TextFont& font, const std::string& text) {
        TextRect rect;
        font.DrawText(nullptr, text, rect, DT_CALCRECT | DT_SINGLELINE, 0);
        return rect.Width();
    }
    // Coverage drawn for text: (ink pixel count, horizontal ink centre of the
    // upper half minus that of the lower half).
    static std::pair<long, double> Ink(TextFont& font, RecordingRenderer& renderer, const std::string& text) {
        renderer.Reset();
        TextRect rect{0, 0, 400, 200};
        font.DrawText(nullptr, text, rect, DT_NOCLIP, 0xFFFFFFFF);
        const GlyphAtlas& atlas = font.GetAtlas();
        long ink = 0;
        double sums[2] = {0, 0}, weights[2] = {0, 0};
        const float middle = float(font.Ascent()) / 2;
        for (const TextQuad& q : renderer.quads) {
            for (int y = 0; y < int(q.bottom - q.top); ++y) {
                for (int x = 0; x < int(q.right - q.left); ++x) {
                    const int v = atlas.Pixels()[size_t(q.atlasY + y) * atlas.Width() + q.atlasX + x];
                    ink += v;
                    const int half = q.top + y < middle ? 0 : 1;
                    sums[half] += v * (q.left + x);
                    weights[half] += v;
                }
            }
        }
        return {ink, sums[0] / std::max(1.0, weights[0]) - sums[1] / std::max(1.0, weights[1])};
    }
};

}  // namespace

TEST_F(TextFontTest, FamiliesMatchWithoutCaseAndUnknownOnesFallBackOnceEach) {
    CapturedLog log;
    FontRegistry& registry = FontRegistry::Instance();
    EXPECT_TRUE(registry.IsRegistered("dejavu sans"));
    auto match = registry.Find("DEJAVU SANS", false, false);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->family, "DejaVu Sans");
    EXPECT_FALSE(match->syntheticBold);

    // The shipped face has no bold or italic style: both are made.
    auto boldItalic = registry.Find("DejaVu Sans", true, true);
    EXPECT_TRUE(boldItalic->syntheticBold && boldItalic->syntheticItalic);

    // Families neither registered nor installed (fontconfig offers only its
    // generic default for them).
    for (int i = 0; i < 3; ++i) EXPECT_EQ(registry.Find(kMissing, false, false)->family, "DejaVu Sans");
    EXPECT_EQ(registry.Find(kMissing, true, false)->family, "DejaVu Sans");
    EXPECT_EQ(registry.Find(kOtherMissing, true, false)->family, "DejaVu Sans");
    EXPECT_EQ(log.Count(std::string("'") + kMissing + "' is not registered; using 'DejaVu Sans'"), 1u);
    EXPECT_EQ(log.Count(std::string("'") + kOtherMissing + "' is not registered"), 1u);
    EXPECT_EQ(log.Lines().size(), 2u);

    // Bytes that are no font are logged with their origin and kept out.
    const u32 bad = registry.Register(std::vector<u8>(64, 7), "rsc/fonts/broken.ttf");
    EXPECT_EQ(bad, 0u);
    // FreeType's message is given even where its library has no strings.
    EXPECT_EQ(log.Count("rsc/fonts/broken.ttf: not a font file (FreeType error 85: invalid stream operation), font "
                        "skipped"),
              1u)
        << log.Lines().back();

    // With no face registered and no resources, nothing can be drawn.
    registry.Clear();
    EXPECT_FALSE(registry.Find(kMissing, false, false));
    EXPECT_EQ(TextFont::Create({kMissing, 12, 0, 0, false}, nullptr), nullptr);
}

// The machine is set up with the Liberation faces (scripts/setup-deps.sh),
// which fontconfig configures as the metric-compatible stand-ins of Arial,
// Times New Roman and Courier New.
TEST_F(TextFontTest, FamiliesNoResourceRegistersAreLookedUpAmongTheInstalledFonts) {
    auto fileName = [](const std::string& family, bool bold, bool italic) {
        const std::string path = FindSystemFontFile(family, bold, italic);
        return path.substr(path.find_last_of('/') + 1);
    };
    EXPECT_EQ(fileName("Arial", false, false), "LiberationSans-Regular.ttf");
    EXPECT_EQ(fileName("arial", true, false), "LiberationSans-Bold.ttf");
    EXPECT_EQ(fileName("Arial", true, true), "LiberationSans-BoldItalic.ttf");
    EXPECT_EQ(fileName("Times New Roman", false, true), "LiberationSerif-Italic.ttf");
    EXPECT_EQ(fileName("Liberation Mono", false, false), "LiberationMono-Regular.ttf");
    EXPECT_EQ(FindSystemFontFile(kMissing, false, false), "") << "a generic default is no answer";
    EXPECT_EQ(FindSystemFontFile("", false, false), "");
    EXPECT_EQ(FindSystemFontFile("sans-serif", false, false), "") << "nor is a generic name";

    CapturedLog log;
    FontRegistry& registry = FontRegistry::Instance();
    auto regular = registry.Find("Arial", false, false);
    ASSERT_TRUE(regular);
    EXPECT_EQ(regular->family, "Liberation Sans");
    EXPECT_FALSE(regular->syntheticBold || regular->syntheticItalic);
    // Each style is its own face; asking again answers the same face.
    auto bold = registry.Find("ARIAL", true, false);
    ASSERT_TRUE(bold);
    EXPECT_FALSE(bold->syntheticBold) << "the installed bold face, not a thickened regular";
    EXPECT_NE(bold->bytes, regular->bytes);
    EXPECT_EQ(registry.Find("arial", false, false)->bytes, regular->bytes);
    EXPECT_EQ(registry.Find("Liberation Sans", false, false)->bytes, regular->bytes) << "read once";

    // A family a resource registers is never looked up: the shipped face has
    // no bold, and its bold stays synthetic although DejaVu Sans Bold is
    // installed.
    EXPECT_TRUE(registry.Find("DejaVu Sans", true, false)->syntheticBold);
    EXPECT_TRUE(log.Lines().empty());

    // The debug font's description draws with the installed face.
    RecordingRenderer renderer;
    auto font = Make(12, 400, false, 8, &renderer, "Arial");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->LineHeight(), 12);
    EXPECT_GT(Ink(*font, renderer, "Arial").first, 0);
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(TextFontTest, NegativeHeightsAreEmHeightsAndPositiveOnesCellHeights) {
    auto cell = Make(20);
    EXPECT_EQ(cell->LineHeight(), 20);
    auto em = Make(-20);
    // The shipped face's cell is about 1.16 em.
    EXPECT_GE(em->LineHeight(), 23);
    EXPECT_LE(em->LineHeight(), 24);
    EXPECT_GT(Width(*em, "Lantern"), Width(*cell, "Lantern"));
    // Twice the size, twice the width (hinting rounds each advance).
    auto twice = Make(-40);
    EXPECT_NEAR(Width(*twice, "Lantern vaults"), 2 * Width(*em, "Lantern vaults"), 8);
    // An average character width stretches the glyphs horizontally only.
    auto wide = Make(12, 0, false, 8);
    auto plain = Make(12);
    EXPECT_EQ(wide->LineHeight(), 12);
    EXPECT_NEAR(Width(*wide, "abcdefghijklmnopqrstuvwxyz") / 26.0, 8.0, 1.5);
    EXPECT_LT(Width(*plain, "abcdefghijklmnopqrstuvwxyz"), Width(*wide, "abcdefghijklmnopqrstuvwxyz"));

    // A size from data far beyond the screen is cut, not rendered.
    CapturedLog log;
    auto huge = Make(-1000000, 0, false, 5000000);
    EXPECT_EQ(log.Count("height -1000000 pixels is out of range; using -400"), 1u);
    EXPECT_EQ(log.Count("width 5000000 pixels is out of range; using 400"), 1u);
    EXPECT_LE(huge->LineHeight(), 480);
}

TEST_F(TextFontTest, KerningComesFromTheFace) {
    auto font = Make(-48);
    EXPECT_LT(font->Kerning(U'A', U'V'), 0);
    EXPECT_EQ(Width(*font, "AV"), font->Advance(U'A') + font->Advance(U'V') + font->Kerning(U'A', U'V'));
    EXPECT_EQ(font->Kerning(U'\n', U'A'), 0);
}

TEST_F(TextFontTest, SyntheticBoldWidensAndThickensAndSyntheticItalicSlants) {
    RecordingRenderer renderer;
    auto regular = Make(-32, 0, false, 0, &renderer);
    auto bold = Make(-32, 1000, false, 0, &renderer, kMissing);
    auto italic = Make(-32, 0, true, 0, &renderer);
    EXPECT_GT(Width(*bold, "llll"), Width(*regular, "llll"));
    EXPECT_EQ(Width(*italic, "llll"), Width(*regular, "llll"));
    const auto [regularInk, regularSlant] = Ink(*regular, renderer, "l");
    const auto [boldInk, boldSlant] = Ink(*bold, renderer, "l");
    const auto [italicInk, italicSlant] = Ink(*italic, renderer, "l");
    EXPECT_GT(boldInk, regularInk * 5 / 4);
    EXPECT_NEAR(regularSlant, 0.0, 0.5);
    // 0.2 pixel to the right per pixel up: the upper half sits a few pixels right.
    EXPECT_GT(italicSlant, 2.0);
}

TEST_F(TextFontTest, GlyphsAreRenderedOnceAndClippedToTheRectangleUnlessNoClip) {
    RecordingRenderer renderer;
    auto font = Make(-20, 0, false, 0, &renderer);
    TextRect rect{10, 20, 40, 30};  // shorter and narrower than "Hello"
    font->DrawText(nullptr, "Hello", rect, DT_LEFT, 0xFF00FF00);
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"begin", "draw", "end"}));
    const auto box = renderer.Bounds();
    EXPECT_GE(box[0], 10);
    EXPECT_GE(box[1], 20);
    EXPECT_LE(box[2], 40);
    EXPECT_LE(box[3], 30);
    for (const TextQuad& q : renderer.quads) EXPECT_EQ(q.argb, 0xFF00FF00u);

    const u32 version = font->GetAtlas().Version();
    renderer.Reset();
    font->DrawText(nullptr, "Hello", rect, DT_NOCLIP, 0xFF00FF00);
    EXPECT_EQ(font->GetAtlas().Version(), version);
    EXPECT_GT(renderer.Bounds()[2], 40);
    EXPECT_GT(renderer.Bounds()[3], 30);

    // Measuring draws nothing.
    renderer.Reset();
    font->DrawText(nullptr, "Hello", rect, DT_CALCRECT, 0);
    EXPECT_TRUE(renderer.calls.empty());
}

TEST(GlyphAtlas, PlacementsNeverOverlapAndSurviveGrowth) {
    GlyphAtlas atlas(64, 16);
    std::vector<std::array<int, 4>> placed;
    for (int i = 0; i < 60; ++i) {
        const int w = 3 + i % 7, h = 2 + i % 5;
        std::vector<u8> block(size_t(w * h), u8(i + 1));
        int x = 0, y = 0;
        ASSERT_TRUE(atlas.Add(w, h, block.data(), x, y));
        placed.push_back({x, y, w, h});
    }
    EXPECT_GT(atlas.Height(), 16);
    for (size_t i = 0; i < placed.size(); ++i) {
        const auto [x, y, w, h] = placed[i];
        ASSERT_LE(x + w, atlas.Width());
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col)
                ASSERT_EQ(atlas.Pixels()[size_t(y + row) * atlas.Width() + x + col], u8(i + 1)) << i;
    }
    int x = 0, y = 0;
    const u32 version = atlas.Version();
    std::vector<u8> wide(size_t(64 * 2));
    EXPECT_FALSE(atlas.Add(64, 2, wide.data(), x, y));
    std::vector<u8> tall(size_t(GlyphAtlas::kMaxHeight));
    EXPECT_FALSE(atlas.Add(1, GlyphAtlas::kMaxHeight, tall.data(), x, y));
    EXPECT_EQ(atlas.Version(), version);
}
