// One physics frame of collision work on a level of 1,000 static boxes
// (floor tiles 2 x 1 x 2 on a 40 x 25 grid, level geometry as the game's
// floors and walls are) and 200, 1,000 or 5,000 dynamic unit boxes and
// radius-0.5 spheres (half each) scattered over and into the tiles, each
// having moved as in one frame of the game (two steps of 0.016 s): most at
// a walk (up to 9.5 units a second), one in twenty at a dash (100), which is
// far enough to be swept against the tiles. Ours: CollisionWorld::Detect
// (pair finding, tests, sweeps, pushes) and Dispatch, in brute-force and in
// grid mode; the positions and speeds the pushes changed are put back
// between iterations, outside the timing. Baseline, in the same
// run and on the same shapes and positions: Bullet's collision world doing its
// broad phase (dynamic AABB tree), narrow phase and contact generation
// (performDiscreteCollisionDetection), statics not paired with statics.
// The "contacts" counter shows both sides see comparable work.

#include "engine/components/CollisionComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Random.h"
#include "game/RegisterComponentTypes.h"
#include "engine/physics/Physics.h"

#include <benchmark/benchmark.h>
#include <btBulletCollisionCommon.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace Ostrel;

constexpr int kTilesX = 40;
constexpr int kTilesZ = 25;
constexpr float kTileSpacing = 2.5f;
const Vec3 kTileSize(2.0f, 1.0f, 2.0f);

struct Placed {
    Vec3 position;
    Vec3 velocity;
    bool sphere;
};

constexpr float kFrame = 0.032f;

float Uniform(float low, float high) { return low + (high - low) * float(Rand()) / float(kRandMax); }

// The same scene for both sides: tile centres, then the dynamics.
struct Scene {
    explicit Scene(int dynamics) {
        SRand(1234);
        for (int i = 0; i < kTilesX; ++i) {
            for (int j = 0; j < kTilesZ; ++j) tiles.push_back(Vec3(i * kTileSpacing + 1, 0, j * kTileSpacing + 1));
        }
        for (int n = 0; n < dynamics; ++n) {
            const Vec3 at(Uniform(0, kTilesX * kTileSpacing), Uniform(0.3f, 2.0f), Uniform(0, kTilesZ * kTileSpacing));
            const float heading = Uniform(0, 6.2831853f);
            const float speed = n % 20 == 7 ? 100.0f : Uniform(0, 9.5f);
            movers.push_back({at, Vec3(std::sin(heading), 0, std::cos(heading)) * speed, n % 2 == 1});
        }
    }
    std::vector<Vec3> tiles;
    std::vector<Placed> movers;
};

// Our engine: objects from three archetypes whose volumes are set directly.
class OurWorld {
public:
    explicit OurWorld(const Scene& scene) {
        Vandle::RegisterComponentTypes(factory);
        engine.AddSystem(&objects);
        engine.AddSystem(&core);
        engine.AddSystem(&physics);
        physics.Initialize();
        MakeArchetype("tile", kTileSize, kShapeBox, false);
        MakeArchetype("box", Vec3(1, 1, 1), kShapeBox, true);
        MakeArchetype("ball", Vec3(1, 1, 1), kShapeSphere, true);
        for (const Vec3& at : scene.tiles) Place("tile", at);
        for (const Placed& mover : scene.movers) {
            TransformComponent* transform = Place(mover.sphere ? "ball" : "box", mover.position);
            m_movers.push_back(transform);
            m_speeds.push_back(transform->GetOwner()->GetComponentAs<MovementComponent>());
            m_start.push_back(mover);
        }
        objects.Update(0.0f);  // announces every object to physics
        Restore();
    }
    ~OurWorld() { objects.Shutdown(); }

    // Where each mover stands after this frame's steps, where it stood
    // before them, and its speed.
    void Restore() {
        for (std::size_t i = 0; i < m_movers.size(); ++i) {
            m_movers[i]->SetPosition(m_start[i].position);
            m_movers[i]->SetPreviousPosition(m_start[i].position - m_start[i].velocity * kFrame);
            m_speeds[i]->SetVelocity(m_start[i].velocity);
        }
    }

    CompositionFactory factory;
    Engine engine;
    ObjectManager objects;
    CoreSystem core;
    Physics physics;

private:
    void MakeArchetype(const char* name, const Vec3& size, u32 shape, bool moving) {
        Composition* archetype = factory.Create("blank");
        archetype->AddComponent(factory.CreateComponentByName("TransformComponent"));
        auto* collider = static_cast<CollisionComponent*>(factory.CreateComponentByName("CollisionComponent"));
        collider->Volume() = {size, Vec3(), shape};
        collider->SetShape(shape);
        collider->Flags() = moving ? ColliderFlags{false, true, true, true, true}
                                   : ColliderFlags{true, true, false, true, false};
        archetype->AddComponent(collider);
        if (moving) archetype->AddComponent(factory.CreateComponentByName("MovementComponent"));
        if (!moving) archetype->AddComponent(factory.CreateComponentByName("LevelGeometryComponent"));
        factory.AddArchetype(archetype, name);
    }

    TransformComponent* Place(const char* archetype, const Vec3& at) {
        TransformComponent* transform = objects.GetObject(objects.CreateObject(archetype, nullptr))->GetTransform();
        transform->SetPosition(at);
        return transform;
    }

    std::vector<TransformComponent*> m_movers;
    std::vector<MovementComponent*> m_speeds;
    std::vector<Placed> m_start;
};

void RunOurs(benchmark::State& state, bool grid) {
    const Scene scene(static_cast<int>(state.range(0)));
    OurWorld world(scene);
    CollisionWorld& collision = world.physics.GetCollisionWorld();
    if (grid) world.physics.OnLevelLoaded();
    std::size_t contacts = 0;
    for (auto _ : state) {
        collision.Detect();
        contacts = collision.GetContacts().size();
        collision.Dispatch();
        state.PauseTiming();
        world.Restore();
        state.ResumeTiming();
    }
    state.counters["contacts"] = double(contacts);
}

void BM_OursBruteForce(benchmark::State& state) { RunOurs(state, false); }
void BM_OursGrid(benchmark::State& state) { RunOurs(state, true); }

struct BulletWorld {
    explicit BulletWorld(const Scene& scene)
        : dispatcher(&configuration),
          world(&dispatcher, &broadphase, &configuration),
          tileShape(btVector3(kTileSize.x / 2, kTileSize.y / 2, kTileSize.z / 2)),
          boxShape(btVector3(0.5f, 0.5f, 0.5f)),
          ballShape(0.5f) {
        for (const Vec3& at : scene.tiles) {
            Add(&tileShape, at, btCollisionObject::CF_STATIC_OBJECT, btBroadphaseProxy::StaticFilter,
                btBroadphaseProxy::AllFilter ^ btBroadphaseProxy::StaticFilter);
        }
        for (const Placed& mover : scene.movers) {
            Add(mover.sphere ? static_cast<btCollisionShape*>(&ballShape) : &boxShape, mover.position, 0,
                btBroadphaseProxy::DefaultFilter, btBroadphaseProxy::AllFilter);
        }
    }
    ~BulletWorld() {
        for (auto& object : objects) world.removeCollisionObject(object.get());
    }

    void Add(btCollisionShape* shape, const Vec3& at, int flags, int group, int mask) {
        auto object = std::make_unique<btCollisionObject>();
        object->setCollisionShape(shape);
        object->setWorldTransform(btTransform(btQuaternion::getIdentity(), btVector3(at.x, at.y, at.z)));
        object->setCollisionFlags(flags);
        world.addCollisionObject(object.get(), group, mask);
        objects.push_back(std::move(object));
    }

    int Contacts() {
        int touching = 0;
        for (int i = 0; i < dispatcher.getNumManifolds(); ++i) {
            if (dispatcher.getManifoldByIndexInternal(i)->getNumContacts() > 0) ++touching;
        }
        return touching;
    }

    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher;
    btDbvtBroadphase broadphase;
    btCollisionWorld world;
    btBoxShape tileShape;
    btBoxShape boxShape;
    btSphereShape ballShape;
    std::vector<std::unique_ptr<btCollisionObject>> objects;
};

void BM_Bullet(benchmark::State& state) {
    const Scene scene(static_cast<int>(state.range(0)));
    BulletWorld bullet(scene);
    for (auto _ : state) bullet.world.performDiscreteCollisionDetection();
    state.counters["contacts"] = double(bullet.Contacts());
}

BENCHMARK(BM_OursBruteForce)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursGrid)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bullet)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
