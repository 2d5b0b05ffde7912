// A GL frame of the yak boss fight with the HUD against the sample scene's
// frame, both at 1280 x 720 on the GL device (offscreen llvmpipe when there
// is no display), in milliseconds per frame. Target: at most 16.7 ms on two
// cores.
//   BM_YakArenaFrameGl   the shipped "yak-boss" level as a player reaches
//                        it: Play on the shipped main menu, the loading
//                        screen, the level built by the game system and
//                        the HUD on top, the camera's fly-over skipped;
//                        then the player stands on the arena's trigger, the
//                        boss stands where the arena's wave spawner makes
//                        it and takes a hit (its bar shows on the HUD), a
//                        mini-boss rises at each yak tile, three yaks come
//                        at the player, and a second of play passes.
//   BM_SampleSceneFrameGl  the baseline: the sample scene of SceneBench,
//                        drawn directly (BM_SampleSceneGl/0 there).
// Each iteration is one Graphics::Update (the scene, the UI drawn over it
// and Present) of a world that holds still while it is timed.
// LV_BENCH_SHOT=FILE.png writes the fight's first timed frame to FILE.
// Run under callgrind with LV_BENCH_CALLGRIND_FRAMES=N, each benchmark
// zeroes the counts after its set-up and dumps them after N more frames:
// the instructions of N frames in every thread (the driver's rasteriser
// threads too), a measure that a loaded machine does not change. The
// frame after them is drawn before the dump, so the rasteriser has
// finished the N frames, give or take the one in flight.

#include "bench/GlBenchWorld.h"
#include "engine/components/ObjectMessages.h"

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstdlib>

using namespace Ostrel;

namespace {

constexpr int kFrameLimit = 2000;
constexpr int kPlayFrames = 60;

void Skip(benchmark::State& state, const char* why) {
    state.SkipWithError(why);
}

// Under callgrind with LV_BENCH_CALLGRIND_FRAMES set: the counts of that
// many frames of draw, dumped under the benchmark's name.
template <class DrawFrame>
void CountFrames(const char* name, DrawFrame draw) {
    const char* frames = std::getenv("LV_BENCH_CALLGRIND_FRAMES");
    if (!frames || !RUNNING_ON_VALGRIND) return;
    const int count = std::atoi(frames);
    draw();
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < count; ++i) draw();
    CALLGRIND_DUMP_STATS_AT(name);
}

// Moves an object to the position of another.
void PutOn(Composition* object, const Composition* place) {
    object->GetTransform()->SetPosition(place->GetTransform()->GetPosition());
}

// The fight as the benchmark draws it; an empty text when it is set, else
// what is missing.
const char* StartFight(GlBenchWorld& world) {
    world.ui.SetStartScene("main-menu");
    if (world.RunUntilTop("main-menu", kFrameLimit) < 0) return "the shipped main menu did not come up";
    // Play sends "GameFreshStart", which reads the level order; the level
    // is built at the game system's next update, from this order.
    world.Press(13);
    world.game.SetLevelNames({"yak-boss"});
    if (world.RunUntilTop("hud", kFrameLimit) < 0) return "the HUD never came up";
    // Skips the level's camera fly-over as a key does after its cool-down.
    world.Frame();
    world.core.Send("EndCameraFlyOver");
    // The boss as the arena's wave spawner makes it, the player on the
    // arena's trigger.
    std::vector<u32> players;
    Composition* trigger = world.Find("boss-trigger-obj");
    Composition* spawner = world.Find("yak-boss-spawner-obj");
    if (!world.objects.FindPlayerObjects(players) || !trigger || !spawner) return "no player, trigger or boss spawner";
    PutOn(world.objects.GetObject(players.front()), trigger);
    Composition* boss = world.objects.GetObject(world.Place("yak-boss-obj"));
    if (!boss) return "no boss";
    PutOn(boss, spawner);
    world.Frame();
    SendObjectMessageFloat(boss, "TakeDamage", 35.0f);
    std::vector<u32> tiles;
    for (u32 id : world.objects.GetLiveObjects()) {
        Composition* object = world.objects.GetObject(id);
        if (object && object->GetName() == "yak-tile-obj") tiles.push_back(id);
    }
    if (tiles.empty()) return "the arena has no yak tile";
    for (u32 tile : tiles) PutOn(world.objects.GetObject(world.Place("yak-mini-boss-obj")), world.objects.GetObject(tile));
    for (int i = 0; i < 3; ++i) {
        Composition* yak = world.objects.GetObject(world.Place("yak-obj"));
        PutOn(yak, boss);
        yak->GetTransform()->SetPosition(yak->GetTransform()->GetPosition() + Vec3(-8.0f, 0.0f, -6.0f + 6.0f * float(i)));
    }
    for (int i = 0; i < kPlayFrames; ++i) world.Frame();
    if (world.TopScene() != "hud") return "the HUD is gone after a second of the fight";
    return "";
}

void BM_YakArenaFrameGl(benchmark::State& state) {
    GlBenchWorld world(GlBenchWorld::Kind::Game, false, true);
    if (!world.ready) return Skip(state, "no GL device");
    if (const char* missing = StartFight(world); *missing) return Skip(state, missing);
    if (const char* shot = std::getenv("LV_BENCH_SHOT")) world.renderDevice.RequestScreenshot(shot, 0);
    world.graphics.Update(GlBenchWorld::kFrame);
    CountFrames("yak-arena", [&] { world.graphics.Update(GlBenchWorld::kFrame); });
    for (auto _ : state) world.graphics.Update(GlBenchWorld::kFrame);
    state.counters["objects"] = double(world.objects.GetLiveObjects().size());
    state.counters["drawList"] = double(world.graphics.GetDrawList().size());
    state.counters["lights"] = double(world.lights.GetMovingLights().size() + world.lights.GetStaticLights().size());
}

void BM_SampleSceneFrameGl(benchmark::State& state) {
    GlBenchWorld world(GlBenchWorld::Kind::Scene, false, true);
    if (!world.ready) return Skip(state, "no GL device");
    world.PlaceSampleScene();
    world.SceneFrame();
    CountFrames("sample-scene", [&] { world.SceneFrame(); });
    for (auto _ : state) world.SceneFrame();
    state.counters["drawList"] = double(world.graphics.GetDrawList().size());
    state.counters["lights"] = double(world.lights.GetMovingLights().size() + world.lights.GetStaticLights().size());
}

}  // namespace

// The CPU column is the whole process's: the driver's rasteriser threads
// shade the pixels, so it is the frame's work in core time, which a loaded
// machine stretches far less than the wall-clock time.
BENCHMARK(BM_YakArenaFrameGl)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_SampleSceneFrameGl)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_MAIN();
