// The volume hierarchy over static boxes: building the tree, and asking it
// what a camera sees, for 1,000, 10,000 and 50,000 boxes. The baseline tests
// every box against the same six planes (the brute force the tree replaces).
//
// The scene: boxes of 1 to 4 units scattered over a square field (about 100
// square units per box) and 0 to 5 units high; the camera stands at the
// field's centre, 3 units up, looking along +x, with its far plane set so it
// sees about a tenth of the boxes (the "visible" counter says how many it
// does see).

#include "engine/core/Matrix4.h"
#include "engine/core/Random.h"
#include "engine/physics/HbvTree.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace Ostrel;

struct Box {
    Vec3 low, high, centre;
};

float Uniform(float low, float high) { return low + (high - low) * static_cast<float>(Rand()) / 32767.0f; }

struct Scene {
    explicit Scene(int count) {
        SRand(7);
        side = std::sqrt(static_cast<float>(count) * 100.0f);
        for (int i = 0; i < count; ++i) {
            const Vec3 centre(Uniform(0, side), Uniform(0, 5), Uniform(0, side));
            const Vec3 half(Uniform(0.5f, 2), Uniform(0.5f, 2), Uniform(0.5f, 2));
            boxes.push_back({centre - half, centre + half, centre});
        }
        Matrix4 view, projection;
        const Vec3 eye(side / 2, 3, side / 2);
        LookAtMatrix(view, eye, eye + Vec3(1, 0, 0), Vec3(0, 1, 0));
        PerspectiveMatrix(projection, 3.1415927f * 0.33f, 1.0f, 0.36f * side, 640, 480);
        viewProjection = view * projection;
    }
    void Fill(HbvTree& tree) const {
        tree.Reset();
        for (std::size_t i = 0; i < boxes.size(); ++i)
            tree.AddObject(static_cast<u32>(i), boxes[i].low, boxes[i].high, boxes[i].centre);
    }
    float side;
    std::vector<Box> boxes;
    Matrix4 viewProjection;
};

void BM_HbvBuild(benchmark::State& state) {
    const Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        HbvTree tree;
        scene.Fill(tree);
        tree.Build();
        benchmark::DoNotOptimize(tree.GetRoot());
    }
}

void BM_HbvQuery(benchmark::State& state) {
    const Scene scene(static_cast<int>(state.range(0)));
    HbvTree tree;
    scene.Fill(tree);
    tree.Build();
    std::vector<u32> found;
    for (auto _ : state) {
        tree.Query(scene.viewProjection, found);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["found"] = static_cast<double>(found.size());
}

void BM_BruteForceQuery(benchmark::State& state) {
    const Scene scene(static_cast<int>(state.range(0)));
    std::vector<u32> found;
    for (auto _ : state) {
        found.clear();
        const auto planes = FrustumPlanes(scene.viewProjection);
        for (std::size_t i = 0; i < scene.boxes.size(); ++i) {
            if (!BoxOutsideAnyPlane(planes, scene.boxes[i].low, scene.boxes[i].high))
                found.push_back(static_cast<u32>(i));
        }
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["visible"] = static_cast<double>(found.size());
}

}  // namespace

BENCHMARK(BM_HbvBuild)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HbvQuery)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BruteForceQuery)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
