// Text drawn by the GL device under the offscreen driver: every pixel read
// back matches the glyph coverage at the place the layout gave it (no
// half-pixel shift), debug text at (10.7, 20.2) starts at pixel (10, 20), and
// the render states around text come back as they were.

#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/text/DebugText.h"
#include "engine/graphics/text/DeviceTextRenderer.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/text/TextFont.h"
#include "engine/graphics/device/Device.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include "tests/engine/graphics/text/FontTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Ostrel;

namespace {

constexpr u32 kWidth = 160;
constexpr u32 kHeight = 64;

// Forwards to the device renderer and keeps the quads for the comparison.
class TeeRenderer : public TextRenderer {
public:
    explicit TeeRenderer(TextRenderer& inner) : m_inner(inner) {}
    void BeginText() override { m_inner.BeginText(); }
    void DrawQuads(const GlyphAtlas& atlas, std::span<const TextQuad> quads) override {
        recorded.DrawQuads(atlas, quads);
        m_inner.DrawQuads(atlas, quads);
    }
    void EndText() override { m_inner.EndText(); }
    FontTest::RecordingRenderer recorded;

private:
    TextRenderer& m_inner;
};

}  // namespace

TEST(TextDrawGl, DebugTextPixelsSitExactlyWhereTheLayoutPutThemAndStatesAreRestored) {
    std::string error;
    auto device = rd::CreateGlDevice({kWidth, kHeight, true, nullptr}, &error);
    ASSERT_NE(device, nullptr) << error;
    ResourceManager resources;
    RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
    FontRegistry::Instance().Clear();
    FontRegistry::Instance().Register(FontTest::ShippedFontBytes(), "DejaVuSans.ttf");
    {
        DeviceTextRenderer text(*device);
        TeeRenderer tee(text);
        auto font = TextFont::Create(DebugFontDesc(), &tee);
        ASSERT_NE(font, nullptr);

        device->SetRenderTarget(0, device->BackBuffer());
        device->SetRenderState(rd::RS::AlphaBlendEnable, 0);
        device->SetRenderState(rd::RS::ZEnable, 1);
        device->SetRenderState(rd::RS::CullMode, rd::Cull::CounterClockwise);
        device->SetRenderState(rd::RS::DestBlend, rd::Blend::Zero);
        device->Clear(rd::kClearTarget | rd::kClearZBuffer, 0xFF000000, 1.0f);
        device->BeginScene();
        const TextRect rect = DrawDebugTextEntry(*font, {"Tavrin 42", 10.7f, 20.2f, 255, 255, 255, 255});
        device->EndScene();
        EXPECT_EQ(device->GetRenderState(rd::RS::AlphaBlendEnable), 0u);
        EXPECT_EQ(device->GetRenderState(rd::RS::ZEnable), 1u);
        EXPECT_EQ(device->GetRenderState(rd::RS::CullMode), rd::Cull::CounterClockwise);
        EXPECT_EQ(device->GetRenderState(rd::RS::DestBlend), rd::Blend::Zero);

        std::vector<u8> pixels;
        ASSERT_TRUE(device->ReadPixels(device->BackBuffer(), pixels));
        ASSERT_EQ(pixels.size(), size_t(kWidth * kHeight * 4));
        // The coverage each pixel should show, from the quads the layout made.
        std::vector<int> expected(kWidth * kHeight, 0);
        const GlyphAtlas& atlas = font->GetAtlas();
        for (const TextQuad& q : tee.recorded.quads) {
            for (int y = int(q.top); y < int(q.bottom); ++y)
                for (int x = int(q.left); x < int(q.right); ++x)
                    expected[size_t(y) * kWidth + x] =
                        atlas.Pixels()[size_t(q.atlasY + y - int(q.top)) * atlas.Width() + q.atlasX + x - int(q.left)];
        }
        int inkLeft = kWidth, inkTop = kHeight, mismatches = 0;
        for (u32 y = 0; y < kHeight; ++y) {
            for (u32 x = 0; x < kWidth; ++x) {
                const int red = pixels[(size_t(y) * kWidth + x) * 4];
                if (std::abs(red - expected[size_t(y) * kWidth + x]) > 2) ++mismatches;
                if (red > 0) {
                    inkLeft = std::min(inkLeft, int(x));
                    inkTop = std::min(inkTop, int(y));
                    EXPECT_TRUE(int(x) >= rect.left && int(x) < rect.right && int(y) >= rect.top && int(y) < rect.bottom)
                        << x << "," << y;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(rect.left, 10);
        EXPECT_EQ(rect.top, 20);
        // "T" starts at the corner's column; its bar lies in the cell's top rows.
        EXPECT_LE(inkLeft, 11);
        EXPECT_GE(inkLeft, 10);
        EXPECT_LE(inkTop, 23);
        EXPECT_GE(inkTop, 20);
    }
    FontRegistry::Instance().Clear();
}
