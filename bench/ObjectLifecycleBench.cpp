// The whole life of game objects, per object: clone an archetype of five
// components (CreateObject: clone, ids, handles, Initialize), announce it
// ("ObjectCreated" at the next update), queue its destruction and carry it
// out ("ObjectDestroyed", Uninitialize, release, destroy through the
// factories). Batches of 1,000 and 10,000 objects; the figure is objects per
// second through the whole cycle. The baseline allocates and frees the same
// number of heap blocks (one object, five components) with plain new/delete.

#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "game/RegisterComponentTypes.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace Ostrel;

// A system that keeps per-object lists from the two announcements, like the
// graphics and physics systems do.
struct Watcher {
    void OnCreated(unsigned id) { ids.push_back(id); }
    void OnDestroyed(unsigned) { ids.pop_back(); }
    std::vector<unsigned> ids;
};

struct World {
    World() {
        Vandle::RegisterComponentTypes(factory);
        engine.AddSystem(&core);
        engine.AddSystem(&objects);
        core.Listen("ObjectCreated", MakeDelegate(&watcher, &Watcher::OnCreated));
        core.Listen("ObjectDestroyed", MakeDelegate(&watcher, &Watcher::OnDestroyed));
        Composition* archetype = factory.Create("blank");
        for (const char* name : {"TransformComponent", "MessageComponent", "MeshComponent",
                                 "MovementComponent", "CollisionComponent"}) {
            archetype->AddComponent(factory.CreateComponentByName(name));
        }
        archetype->GetTransform()->SetPosition(Vec3(0, 1, 0));
        factory.AddArchetype(archetype, "bench-obj");
    }
    ~World() { objects.Shutdown(); }

    CompositionFactory factory;
    Engine engine;
    CoreSystem core;
    ObjectManager objects;
    Watcher watcher;
};

void BM_ObjectLifecycle(benchmark::State& state) {
    World world;
    const int batch = static_cast<int>(state.range(0));
    std::vector<u32> ids(batch);
    TransformComponent source;
    source.SetPosition(Vec3(10, 0, 5));
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) ids[i] = world.objects.CreateObject("bench-obj", &source);
        world.objects.Update(0.016f);  // announces
        for (u32 id : ids) world.objects.DestroyObject(id);
        world.objects.Update(0.016f);  // destroys
    }
    state.SetItemsProcessed(state.iterations() * batch);
    state.counters["objects/s"] = benchmark::Counter(double(state.iterations() * batch),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ObjectLifecycle)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

struct Block {
    char bytes[48];
};

void BM_RawAllocationBaseline(benchmark::State& state) {
    const int batch = static_cast<int>(state.range(0));
    std::vector<std::unique_ptr<Block>> blocks(static_cast<size_t>(batch) * 6);
    for (auto _ : state) {
        for (auto& block : blocks) block = std::make_unique<Block>();
        benchmark::DoNotOptimize(blocks.data());
        for (auto& block : blocks) block.reset();
    }
    state.SetItemsProcessed(state.iterations() * batch);
    state.counters["objects/s"] = benchmark::Counter(double(state.iterations() * batch),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RawAllocationBaseline)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
