// Whole frames of drawn scenes on the GL device (offscreen llvmpipe when
// there is no display), in milliseconds per frame:
//   BM_SampleSceneGl/0, /1       the sample scene (gfx-test-pkg: camera, lit
//                                crate, skinned hinge, sky, shadow,
//                                billboard, plane, aimer, tiled floor,
//                                highlight, debug line and cube) at
//                                1280 x 720, drawn directly (0) or through
//                                the post-process composite (1)
//   BM_StaticCratesGl/0, /1      2,000 static crates on a grid, from the
//                                draw list (0, the baseline) or through the
//                                volume hierarchy's frustum query (1)
// Each iteration is one Graphics::Update: the camera's view, the passes and
// Present.

#include "bench/GlBenchWorld.h"

#include <benchmark/benchmark.h>

using namespace Ostrel;

namespace {

// The sample scene's data on the GL device; `ready` is false without one.
struct SceneWorld : GlBenchWorld {
    SceneWorld(bool postProcess, bool useHbv) : GlBenchWorld(Kind::Scene, postProcess, useHbv) {}
    void Frame() { SceneFrame(); }
};

void BM_SampleSceneGl(benchmark::State& state) {
    SceneWorld world(state.range(0) != 0, true);
    if (!world.ready) {
        state.SkipWithError("no GL device");
        return;
    }
    world.PlaceSampleScene();
    world.Frame();
    for (auto _ : state) world.Frame();
}

void BM_StaticCratesGl(benchmark::State& state) {
    const bool hierarchy = state.range(0) != 0;
    SceneWorld world(false, hierarchy);
    if (!world.ready) {
        state.SkipWithError("no GL device");
        return;
    }
    world.Place("gfx-camera");
    world.Place("gfx-crate-light");
    world.objects.Update(0.0f);
    if (hierarchy) world.core.Send("LevelLoadStarted");
    // 50 x 40 crates, 2 apart, in front of the camera and to its sides.
    for (int i = 0; i < 2000; ++i) {
        Composition* crate = world.objects.GetObject(world.Place("gfx-crate"));
        crate->GetTransform()->SetPosition(Vec3(-50.0f + 2.0f * float(i % 50), 2.0f, 2.0f * float(i / 50)));
        crate->GetTransform()->SetScale(Vec3(1, 1, 1));
    }
    world.objects.Update(0.0f);
    if (hierarchy) {
        std::vector<FunctionRef> jobs;
        world.core.SendMessageValues("RequestBackgroundLoadTargets", &jobs);
        for (const FunctionRef& job : jobs) job->Call();
        world.core.Send("LevelLoaded");
    }
    world.Frame();
    for (auto _ : state) world.graphics.Update(0.016f);
    state.counters["drawList"] = double(world.graphics.GetDrawList().size());
}

}  // namespace

BENCHMARK(BM_SampleSceneGl)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaticCratesGl)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
