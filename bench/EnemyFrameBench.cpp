// One game frame (objects, physics, logic) of 200 yaks chasing a player,
// against one frame of the same 200 bodies without game components: the
// difference is what the yaks' brains (charger brain, seek, damage,
// knockback and flash actions, health and enemy components) cost per frame.
// Positions and velocities are put back between frames (outside the timing)
// so every frame is the same chase.

#include "engine/components/CollisionComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/LogicSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/physics/Physics.h"
#include "game/RegisterComponentTypes.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace Ostrel;

constexpr int kBodies = 200;
constexpr f32 kFrame = 1.0f / 60.0f;

class ChaseWorld {
public:
    explicit ChaseWorld(bool yaks) {
        Vandle::RegisterComponentTypes(factory);
        engine.AddSystem(&core);
        engine.AddSystem(&objects);
        engine.AddSystem(&physics);
        engine.AddSystem(&logic);
        physics.Initialize();
        logic.Initialize();
        MakeArchetype("player", {"MessageComponent", "PlayerComponent"});
        std::vector<const char*> extra = {"MessageComponent", "BrainComponent"};
        if (yaks) extra.insert(extra.end(), {"HealthComponent", "EnemyComponent"});
        MakeArchetype("body", extra);
        Place("player", Vec3(0, 0, 0));
        for (int i = 0; i < kBodies; ++i) {
            const Vec3 at(f32(i % 20) * 3.0f - 30.0f, 0.0f, f32(i / 20) * 3.0f + 10.0f);
            Composition* body = Place("body", at);
            m_bodies.push_back(body->GetId());
            m_start.push_back(at);
        }
        objects.Update(0.0f);  // announces every object
    }
    ~ChaseWorld() {
        objects.Shutdown();
        logic.Shutdown();
        physics.Shutdown();
    }

    void Frame() {
        objects.Update(kFrame);
        physics.Update(kFrame);
        logic.Update(kFrame);
    }
    void Restore() {
        for (std::size_t i = 0; i < m_bodies.size(); ++i) {
            Composition* body = objects.GetObject(m_bodies[i]);
            body->GetTransform()->SetPosition(m_start[i]);
            body->GetComponentAs<MovementComponent>()->SetVelocity(Vec3());
        }
    }

    CompositionFactory factory;
    Engine engine;
    CoreSystem core;
    ObjectManager objects;
    Physics physics;
    LogicSystem logic;

private:
    void MakeArchetype(const char* name, const std::vector<const char*>& extra) {
        Composition* archetype = factory.Create("blank");
        archetype->AddComponent(factory.CreateComponentByName("TransformComponent"));
        auto* movement = static_cast<MovementComponent*>(factory.CreateComponentByName("MovementComponent"));
        movement->SetDrag(true);
        archetype->AddComponent(movement);
        auto* collider = static_cast<CollisionComponent*>(factory.CreateComponentByName("CollisionComponent"));
        collider->Volume() = {Vec3(1, 1, 1), Vec3(), kShapeBox};
        collider->SetShape(kShapeBox);
        collider->Flags() = ColliderFlags{false, true, true, true, true};
        archetype->AddComponent(collider);
        for (const char* component : extra) archetype->AddComponent(factory.CreateComponentByName(component));
        factory.AddArchetype(archetype, name);
    }
    Composition* Place(const char* archetype, const Vec3& at) {
        Composition* object = objects.GetObject(objects.CreateObject(archetype, nullptr));
        object->GetTransform()->SetPosition(at);
        return object;
    }

    std::vector<u32> m_bodies;
    std::vector<Vec3> m_start;
};

void RunChase(benchmark::State& state, bool yaks) {
    ChaseWorld world(yaks);
    for (auto _ : state) {
        world.Frame();
        state.PauseTiming();
        world.Restore();
        state.ResumeTiming();
    }
    state.counters["bodies"] = kBodies;
}

void BM_YakChaseFrame(benchmark::State& state) { RunChase(state, true); }
void BM_PlainBodiesFrame(benchmark::State& state) { RunChase(state, false); }
BENCHMARK(BM_YakChaseFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainBodiesFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
