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

#include "engine/base/Logger.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/models/MeshManagerLookup.h"
#include "engine/graphics/models/ModelLoaders.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/ArchetypeLoader.h"
#include "engine/io/SerializerXML.h"
#include "engine/physics/HbvManager.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/TilePaletteRecord.h"
#include "engine/world/WorldVisualLookup.h"
#include "game/RegisterComponentTypes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace Ostrel;

namespace {

constexpr u32 kWidth = 1280;
constexpr u32 kHeight = 720;

// An engine with the systems and managers the frame reads, the sample data
// loaded and a GL device of 1280 x 720.
struct SceneWorld {
    explicit SceneWorld(bool postProcess, bool useHbv) {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        Logger::SetCurrent(&logger);  // no providers: start-up lines go nowhere
        engine.SetLog(&logger);
        RegisterComponentTypes(factory);
        engine.AddSystem(&objects);
        engine.AddSystem(&graphics);
        engine.AddSystem(&core);
        RegisterResourceKinds(resources, std::string(LV_BENCH_SOURCE_DIR) + "/rsc");
        resources.RegisterLoader(kKindArchetype, LoadArchetypeResource);
        resources.RegisterLoader(kKindImage, LoadTextureResource);
        resources.RegisterLoader(kKindTilePalette, LoadTilePaletteResource);
        RegisterModelLoaders(resources);
        std::ifstream font(std::string(LV_BENCH_SOURCE_DIR) + "/rsc/fonts/DejaVuSans.ttf", std::ios::binary);
        FontRegistry::Instance().Register(
            std::vector<u8>(std::istreambuf_iterator<char>(font), std::istreambuf_iterator<char>()), "DejaVuSans.ttf");
        renderDevice.SetWindowParameters({kWidth, kHeight, nullptr, true});
        matrices.SetScreenSize({kWidth, kHeight, nullptr, true});
        if (!renderDevice.Create()) return;
        lights.Initialize();
        matrices.Initialize();
        hbv.Initialize();
        BuildCubeMesh(meshes.Create("Cube"), 1, 1);
        BuildSphereMesh(meshes.Create("Sphere"), 15, 15);
        BuildSpriteMesh(meshes.Create("Sprite"));
        BuildPlaneMesh(meshes.Create("Plane"));
        for (const char* name : {"tiles", "floor-tiles", "gfx-test-pkg"}) resources.LoadResource(name);
        factory.InitializeArchetypes();
        struct Config final : Serializer {
            bool post, hbv;
            Config(bool p, bool h) : post(p), hbv(h) {}
            bool SerializeBool(const std::string& n, bool* v) override {
                if (n == "DoPostProcess") *v = post;
                if (n == "UseHBV") *v = hbv;
                return n == "DoPostProcess" || n == "UseHBV";
            }
            bool SerializeString(const std::string&, std::string*) override { return false; }
            bool SerializeFloat(const std::string&, float*) override { return false; }
            bool SerializeInt(const std::string&, int*) override { return false; }
            bool SerializeBlock(std::string&) override { return false; }
            bool IsReading() const override { return true; }
            bool IsWriting() const override { return false; }
        } config(postProcess, useHbv);
        graphics.LoadConfig(&config);
        graphics.Create();
        graphics.Initialize();
        ready = true;
    }
    ~SceneWorld() {
        objects.Shutdown();
        graphics.Shutdown();
        hbv.Shutdown();
        lights.Shutdown();
        Logger::SetCurrent(nullptr);
    }
    u32 Place(const std::string& archetype) { return objects.CreateObject(archetype, nullptr); }
    // Every archetype of the sample scene but the static copy of the hinge,
    // the invisible cube selected as the editor selects.
    void PlaceSampleScene() {
        std::vector<std::string> names = factory.GetArchetypeNames();
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            if (name.rfind("gfx-", 0) != 0 || name == "gfx-hinge-static") continue;
            Composition* object = objects.GetObject(Place(name));
            if (auto* mesh = object ? object->GetComponentAs<MeshComponent>() : nullptr; mesh && !mesh->IsVisible()) {
                mesh->SetHighlighted(true);
                mesh->SetColor(1, 0, 1);
            }
        }
        objects.Update(0.0f);
    }
    void Frame() {
        Graphics::DrawDebugShape(0, -6, 3, 3.5f, 6, 3, 3.5f, 255, 0, 0, 255);
        Graphics::DrawDebugShape(3, 3, 2.6f, 1, 1.2f, -1, -1, 0, 255, 0, 255);
        graphics.Update(0.016f);
    }

    Logger logger;
    CompositionFactory factory;
    Engine engine;
    ObjectManager objects;
    CoreSystem core;
    Graphics graphics;
    ResourceManager resources;
    RenderDevice renderDevice;
    MeshManager meshes;
    MeshManagerLookup meshLookup{meshes};
    TextureManager textures;
    LightManager lights;
    MatrixManager matrices;
    PaletteRegistry palettes;
    WorldVisualLookup visualLookup{textures, palettes};
    AnimationManager animations;
    SkeletonManager skeletons;
    HbvManager hbv;
    bool ready = false;
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
