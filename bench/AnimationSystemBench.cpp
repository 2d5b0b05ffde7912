// One frame of skinned animation: 1,000 animated objects of 30 bones, each
// advanced by 1/60 s and sampled into its pose (30 keys per track, every bone
// slerped and chained to its parent). Three ways:
//   Threaded - the animation system with its pool (one worker per counted
//              processor, and for comparison 2, 4 and 8; 8 also with 4,000
//              objects), the main thread waiting for all of them;
//   Serial   - the same system with threading off (the F2 debug switch);
//   PlainLoop- the baseline: a plain loop over 1,000 controllers on one
//              thread, the same sampling maths without object look-ups.
// The figure is wall-clock time per frame; the threaded step aims at no more
// than 1 / (0.6 * N) of the serial one on N cores. Each threaded iteration
// also steps one serial frame of the same world, untimed, so the "speedup"
// counter (serial over threaded time) compares frames taken side by side
// under the same load; "efficiency" is the speed-up per worker (0.6 is the
// aim). Take it on a quiet machine and report the load (uptime) with it.

#include "engine/components/MeshComponent.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Variant.h"
#include "engine/graphics/animation/AnimatedComponent.h"
#include "engine/graphics/animation/Animation.h"
#include "engine/graphics/animation/AnimationController.h"
#include "engine/graphics/animation/AnimationSystem.h"
#include "engine/graphics/animation/Skeleton.h"
#include "engine/platform/ProcessorCount.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

using namespace Ostrel;

constexpr u32 kObjects = 1000;
constexpr u32 kBones = 30;
constexpr u32 kKeys = 30;
constexpr float kFrame = 1.0f / 60.0f;

class BenchFidget final : public Component, public AnimatedComponent {
public:
    static constexpr u32 kTypeId = AnimatedComponent::kTypeId;
    void Initialize() override {}
    void Uninitialize() override {}
    Component* Clone() const override { return CompositionFactory::Instance()->CreateComponent(kTypeId); }
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override { return Variant(); }
    void Update(f32 dt) override {
        controller.Advance(dt);
        controller.UpdatePose();
    }
    AnimationController controller;
};

// A chain of kBones bones one unit apart and a 2-second clip bending each.
struct Assets {
    Assets() {
        skeleton.bones.resize(kBones);
        clip.duration = 2.0f;
        clip.tracks.resize(kBones);
        for (u32 b = 0; b < kBones; ++b) {
            Bone& bone = skeleton.bones[b];
            bone.parent = b == 0 ? kNoParentBone : b - 1;
            bone.bindTranslation = Vec3(0, float(b), 0);
            bone.inverseBindTranslation = Vec3(0, -float(b), 0);
            for (u32 k = 0; k < kKeys; ++k) {
                const float angle = float((k * 7 + b * 3) % 40) * 0.02f - 0.4f;
                clip.tracks[b].push_back({clip.duration * float(k) / float(kKeys - 1), Vec3(0, b ? 1.0f : 0.0f, 0),
                                          Quaternion::FromAxisAngle(Vec3(0.6f, 0.0f, 0.8f), angle)});
            }
        }
        LinkBones(skeleton);
    }
    void Start(AnimationController& controller, u32 i) const {
        controller.SetSkeleton(&skeleton);
        controller.SetAnimation(&clip);
        controller.SetPlaying(1);
        controller.SetTime(float(i) * 0.0137f);
    }
    Skeleton skeleton;
    Animation clip;
};

struct World {
    // workers 0: one per counted processor, as in the game.
    World(bool threading, u32 workers = 0, u32 count = kObjects) {
        factory.AddComponentType(new ComponentFactory<MeshComponent>(MeshComponent::kTypeId), MeshComponent::kTypeId,
                                 "MeshComponent");
        factory.AddComponentType(new ComponentFactory<BenchFidget>(BenchFidget::kTypeId), BenchFidget::kTypeId,
                                 "FidgetComponent");
        engine.AddSystem(&core);
        engine.AddSystem(&objects);
        engine.AddSystem(&animation);
        animation.SetProcessorCount(workers);
        animation.Initialize();
        animation.SetThreading(threading && animation.GetWorkerCount() > 0);
        Composition* prototype = factory.Create("blank");
        prototype->AddComponent(factory.CreateComponent(BenchFidget::kTypeId));
        prototype->AddComponent(factory.CreateComponent(MeshComponent::kTypeId));
        for (u32 i = 0; i < count; ++i) {
            const u32 id = objects.CloneComposition(prototype);
            assets.Start(objects.GetObject(id)->GetComponentAs<BenchFidget>()->controller, i);
        }
        factory.Destroy(prototype);
    }
    ~World() {
        animation.Shutdown();
        objects.Shutdown();
    }

    Assets assets;
    CompositionFactory factory;
    Engine engine;
    CoreSystem core;
    ObjectManager objects;
    AnimationSystem animation;
};

void Report(benchmark::State& state, const World& world) {
    state.counters["objects"] = double(world.animation.GetObjectIds().size());
    state.counters["workers"] = world.animation.IsThreading() ? double(world.animation.GetWorkerCount()) : 0.0;
}

double Seconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

void BM_AnimationFrame_Threaded(benchmark::State& state) {
    World world(true, u32(state.range(0)), u32(state.range(1)));
    double threaded = 0.0;
    double serial = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        world.animation.Update(kFrame);
        const double frame = Seconds(start);
        state.SetIterationTime(frame);
        threaded += frame;
        world.animation.SetThreading(false);
        start = std::chrono::steady_clock::now();
        world.animation.Update(kFrame);
        serial += Seconds(start);
        world.animation.SetThreading(true);
    }
    Report(state, world);
    const double workers = double(world.animation.GetWorkerCount());
    if (threaded > 0.0 && workers > 0.0) {
        state.counters["speedup"] = serial / threaded;
        state.counters["efficiency"] = serial / threaded / workers;
    }
}

// The pool's own cost per frame: every worker woken and waited for, with
// no object to step (the frame's fixed overhead in the threaded figures).
void BM_AnimationDispatch_Empty(benchmark::State& state) {
    World world(true, u32(state.range(0)), 0);
    for (auto _ : state) world.animation.Update(kFrame);
    Report(state, world);
}

// The pool's cost when every worker has one object: the wake-up of every
// worker and the wait for the last, with almost no work (an empty world
// wakes no worker at all).
void BM_AnimationDispatch_OnePerWorker(benchmark::State& state) {
    World world(true, u32(state.range(0)), u32(state.range(0)));
    for (auto _ : state) world.animation.Update(kFrame);
    Report(state, world);
}

void BM_AnimationFrame_Serial(benchmark::State& state) {
    World world(false);
    for (auto _ : state) world.animation.Update(kFrame);
    Report(state, world);
}

void BM_AnimationFrame_PlainLoop(benchmark::State& state) {
    const Assets assets;
    std::vector<AnimationController> controllers(kObjects);
    for (u32 i = 0; i < kObjects; ++i) assets.Start(controllers[i], i);
    for (auto _ : state) {
        for (AnimationController& controller : controllers) {
            controller.Advance(kFrame);
            controller.UpdatePose();
        }
        benchmark::DoNotOptimize(controllers.back().GetPoses().back().matrix.m[12]);
    }
    state.counters["processors"] = double(GetLogicalProcessorCount());
}

BENCHMARK(BM_AnimationFrame_PlainLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AnimationFrame_Serial)->Unit(benchmark::kMillisecond)->UseRealTime();
// Arguments: the pool's size (0: the processor count, as in the game) and
// the object count; the pool's fixed cost per frame weighs less with more
// objects.
BENCHMARK(BM_AnimationFrame_Threaded)
    ->Args({0, kObjects})
    ->Args({2, kObjects})
    ->Args({4, kObjects})
    ->Args({8, kObjects})
    ->Args({8, 4 * kObjects})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_AnimationDispatch_Empty)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AnimationDispatch_OnePerWorker)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
