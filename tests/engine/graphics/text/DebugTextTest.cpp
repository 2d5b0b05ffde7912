// Debug text measured and drawn with the debug font on the CPU side: where it
// lands, its colour and its clipping to the measured rectangle.

#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/text/DebugText.h"
#include "engine/graphics/text/FontRegistry.h"

#include "tests/engine/graphics/text/FontTestSupport.h"

#include <gtest/gtest.h>

using namespace Ostrel;

TEST(DebugText, TopLeftIsThePositionTruncatedAndTheInkStaysInTheMeasuredBox) {
    FontRegistry::Instance().Clear();
    FontRegistry::Instance().Register(FontTest::ShippedFontBytes(), "DejaVuSans.ttf");
    FontTest::RecordingRenderer renderer;
    auto font = TextFont::Create(DebugFontDesc(), &renderer);
    ASSERT_NE(font, nullptr);
    // "Arial" is no resource here: the installed stand-in draws it.
    EXPECT_EQ(font->GetFaceFamily(), "Liberation Sans");
    EXPECT_EQ(font->LineHeight(), 12);

    DebugTextCall call{"Frame 16.7 ms\nObjects 42", 10.7f, 20.2f, 255, 0, 0, 128};
    const TextRect rect = DrawDebugTextEntry(*font, call);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.Height(), 24);
    EXPECT_GT(rect.Width(), 8 * 10);
    ASSERT_FALSE(renderer.quads.empty());
    const auto box = renderer.Bounds();
    EXPECT_GE(box[0], 10);
    EXPECT_GE(box[1], 20);
    EXPECT_LE(box[2], rect.right);
    EXPECT_LE(box[3], rect.bottom);
    // The first glyph's ink starts within a pixel of the corner's column, and
    // the second line's ink below the first line's cell.
    EXPECT_LE(box[0], 11);
    EXPECT_GT(renderer.quads.back().top, 32);
    // Alpha 128 in the top byte, then red 255, green and blue 0.
    EXPECT_EQ(renderer.quads.front().argb, 0x80FF0000u);

    // Negative positions truncate toward zero.
    renderer.Reset();
    const TextRect negative = DrawDebugTextEntry(*font, {"x", -3.9f, -0.5f, 1, 2, 3, 4});
    EXPECT_EQ(negative.left, -3);
    EXPECT_EQ(negative.top, 0);
    FontRegistry::Instance().Clear();
}
