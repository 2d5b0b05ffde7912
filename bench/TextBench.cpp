// Text on the shipped face, in one run:
//   BM_MeasureStrings        the font manager's MeasureText over 10,000 short
//                            strings (cached advances and kerning)
//   BM_MeasureStringsRaw     the baseline: the same widths summed straight
//                            from FreeType advances and kerning, no caches
//   BM_DrawStringsPerFrame   2,000 short strings laid out and turned into
//                            glyph quads per frame through the font manager,
//                            with a renderer that only counts the quads (the
//                            CPU side of a frame of text)
//   BM_DrawStringsPerFrameGl the same 2,000 strings drawn by the GL device
//                            (offscreen when there is no display) into a
//                            640 x 480 frame that is read back to wait for it
//   BM_EmptyFrameGl          the baseline of the GL one: clear and read back
// The ratios of interest are Raw / MeasureStrings (what the caches buy) and
// the frame time of 2,000 strings (GL minus its empty frame) against a
// 16.7 ms frame.

#include "engine/graphics/text/DeviceTextRenderer.h"
#include "engine/graphics/text/FontFace.h"
#include "engine/graphics/text/FontManager.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/text/TextLayout.h"
#include "engine/graphics/text/TextSprite.h"
#include "engine/graphics/device/Device.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace Ostrel;

std::vector<u8> ShippedFace() {
    std::ifstream in(std::string(LV_BENCH_SOURCE_DIR) + "/rsc/fonts/DejaVuSans.ttf", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> ShortStrings(size_t count) {
    static const char* const words[] = {"Lantern", "vault", "Brisa", "Qil", "score", "depth", "12.5 ms",
                                        "objects", "AVATAR", "to", "fps", "memory", "x 42"};
    std::vector<std::string> out;
    for (size_t i = 0; i < count; ++i) {
        out.push_back(std::string(words[i % 13]) + " " + words[(i * 7 + 3) % 13] + " " + std::to_string(i % 97));
    }
    return out;
}

class CountingRenderer : public TextRenderer {
public:
    void BeginText() override {}
    void DrawQuads(const GlyphAtlas&, std::span<const TextQuad> quads) override { count += quads.size(); }
    void EndText() override {}
    size_t count = 0;
};

struct Setup {
    explicit Setup(TextRenderer* drawer = nullptr, u32 width = 1920, u32 height = 1080) {
        FontRegistry::Instance().Clear();
        FontRegistry::Instance().Register(ShippedFace(), "DejaVuSans.ttf");
        fonts.SetWindowParameters({width, height, nullptr, true});
        fonts.SetTextRenderer(drawer ? drawer : &renderer);
        fonts.OnResetDevice();
        FontDescription description;
        description.height = 12;
        description.name = "DejaVu Sans";
        fonts.SetFont(fonts.GetFont(description));
    }
    CountingRenderer renderer;
    FontManager fonts;
};

void BM_MeasureStrings(benchmark::State& state) {
    Setup setup;
    const auto strings = ShortStrings(10000);
    for (auto _ : state) {
        float total = 0;
        for (const std::string& s : strings) total += setup.fonts.MeasureText(s, 0).x;
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(strings.size()));
}

void BM_MeasureStringsRaw(benchmark::State& state) {
    auto bytes = std::make_shared<const std::vector<u8>>(ShippedFace());
    auto face = FontFace::Open(bytes, {-24, 0, false, false}, nullptr);
    const auto strings = ShortStrings(10000);
    for (auto _ : state) {
        long total = 0;
        for (const std::string& s : strings) {
            u32 previous = 0;
            for (char32_t c : DecodeUtf8(s)) {
                const u32 glyph = face->GlyphIndex(c);
                total += face->Advance(glyph) + (previous ? face->Kerning(previous, glyph) : 0);
                previous = glyph;
            }
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(strings.size()));
}

void DrawFrameOfStrings(FontManager& fonts, const std::vector<std::string>& strings) {
    for (size_t i = 0; i < strings.size(); ++i) {
        fonts.DrawText(strings[i], float(i % 40) * 20 - 600, float(i / 40) * 14 - 350, FontManager::kAlignLeft);
    }
}

void BM_DrawStringsPerFrame(benchmark::State& state) {
    Setup setup;
    const auto strings = ShortStrings(2000);
    for (auto _ : state) DrawFrameOfStrings(setup.fonts, strings);
    state.counters["quads/frame"] = benchmark::Counter(double(setup.renderer.count) / double(state.iterations()));
    state.SetItemsProcessed(state.iterations() * int64_t(strings.size()));
}

// A GL device of its own (offscreen without a display) and the resources the
// text shaders come from; skips the benchmark when no GL can be had.
struct GlSetup {
    GlSetup() {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        RegisterResourceKinds(resources, std::string(LV_BENCH_SOURCE_DIR) + "/rsc");
        device = rd::CreateGlDevice({640, 480, true, nullptr}, &error);
    }
    void Frame(const std::function<void()>& draw) {
        device->SetRenderTarget(0, device->BackBuffer());
        device->Clear(rd::kClearTarget | rd::kClearZBuffer, 0xFF000000, 1.0f);
        device->BeginScene();
        draw();
        device->EndScene();
        device->ReadPixels(device->BackBuffer(), pixels);
    }
    ResourceManager resources;
    std::string error;
    std::unique_ptr<rd::Device> device;
    std::vector<u8> pixels;
};

void BM_DrawStringsPerFrameGl(benchmark::State& state) {
    GlSetup gl;
    if (!gl.device) {
        state.SkipWithError(("no GL device: " + gl.error).c_str());
        return;
    }
    DeviceTextRenderer drawer(*gl.device);
    Setup setup(&drawer, 640, 480);
    const auto strings = ShortStrings(2000);
    for (auto _ : state) gl.Frame([&] { DrawFrameOfStrings(setup.fonts, strings); });
    state.SetItemsProcessed(state.iterations() * int64_t(strings.size()));
}

void BM_EmptyFrameGl(benchmark::State& state) {
    GlSetup gl;
    if (!gl.device) {
        state.SkipWithError(("no GL device: " + gl.error).c_str());
        return;
    }
    for (auto _ : state) gl.Frame([] {});
}

}  // namespace

BENCHMARK(BM_MeasureStrings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureStringsRaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawStringsPerFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawStringsPerFrameGl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyFrameGl)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
