// The graphics system on the GL device (offscreen llvmpipe when there is no
// display):
//   BM_InitializeAndFirstFrameGl  Graphics::Initialize (nine programs compiled
//                                 and linked, targets, layouts, debug meshes,
//                                 sky planes, debug font) plus the first frame,
//                                 then Shutdown
//   BM_ResizeRoundTripGl          a window change: every device object
//                                 released and made again at a new size
//                                 ("LostDevice" / "ResetDevice"), and a frame
//   BM_EmptyFrameGl               the baseline: one frame of an initialized
//                                 system (clear and present)

#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/base/Logger.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace Ostrel;

namespace {

struct GlWorld {
    GlWorld() {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        Logger::SetCurrent(&logger);  // no providers: start-up lines go nowhere
        RegisterResourceKinds(resources, std::string(LV_BENCH_SOURCE_DIR) + "/rsc");
        std::ifstream font(std::string(LV_BENCH_SOURCE_DIR) + "/rsc/fonts/DejaVuSans.ttf", std::ios::binary);
        FontRegistry::Instance().Register(
            std::vector<u8>(std::istreambuf_iterator<char>(font), std::istreambuf_iterator<char>()), "DejaVuSans.ttf");
        renderDevice.SetWindowParameters({640, 480, nullptr, true});
        renderDevice.Create();
        matrices.SetScreenSize({640, 480, nullptr, true});
    }
    ~GlWorld() { Logger::SetCurrent(nullptr); }
    Logger logger;
    ResourceManager resources;
    RenderDevice renderDevice;
    MeshManager meshes;
    TextureManager textures;
    MatrixManager matrices;
    LightManager lights;
};

void BM_InitializeAndFirstFrameGl(benchmark::State& state) {
    GlWorld world;
    if (!world.renderDevice.GetDevice()) {
        state.SkipWithError("no GL device");
        return;
    }
    for (auto _ : state) {
        Graphics graphics;
        graphics.Initialize();
        graphics.Update(0.016f);
        state.PauseTiming();
        graphics.Shutdown();
        world.meshes.Clear();
        state.ResumeTiming();
    }
}

void BM_ResizeRoundTripGl(benchmark::State& state) {
    GlWorld world;
    if (!world.renderDevice.GetDevice()) {
        state.SkipWithError("no GL device");
        return;
    }
    Graphics graphics;
    graphics.Initialize();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        graphics.OnWindowScreenStateChange(true, wide ? 800 : 640, wide ? 600 : 480);
        graphics.Update(0.016f);
    }
    graphics.Shutdown();
}

void BM_EmptyFrameGl(benchmark::State& state) {
    GlWorld world;
    if (!world.renderDevice.GetDevice()) {
        state.SkipWithError("no GL device");
        return;
    }
    Graphics graphics;
    graphics.Initialize();
    for (auto _ : state) graphics.Update(0.016f);
    graphics.Shutdown();
}

}  // namespace

BENCHMARK(BM_InitializeAndFirstFrameGl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeRoundTripGl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyFrameGl)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
