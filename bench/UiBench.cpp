// A menu frame on the GL device (offscreen llvmpipe when there is no
// display), 1280 x 720, in milliseconds per frame:
//   BM_UiMenuFrameGl/0    the baseline: the UI system and the graphics frame
//                         with an empty scene stack
//   BM_UiMenuFrameGl/200  a menu of 200 elements (100 solids, 100 images,
//                         every tenth with a bob handler) over the same frame
// Each iteration is one UiSystem::Update (transitions, UI clock, handlers)
// and one Graphics::Update (the frame, "SceneDrawing" with the menu, Present).

#include "engine/base/Logger.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/physics/HbvManager.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/ui/UiElementManager.h"
#include "engine/ui/UiEventHandlers.h"
#include "engine/ui/UiImage.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiSolid.h"
#include "engine/ui/UiSystem.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace Ostrel;

namespace {

constexpr u32 kWidth = 1280;
constexpr u32 kHeight = 720;

struct UiWorld {
    explicit UiWorld(int elements) {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        Logger::SetCurrent(&logger);
        engine.SetLog(&logger);
        engine.AddSystem(&objects);
        engine.AddSystem(&graphics);
        engine.AddSystem(&ui);
        engine.AddSystem(&core);
        RegisterResourceKinds(resources, std::string(LV_BENCH_SOURCE_DIR) + "/rsc");
        resources.RegisterLoader(kKindImage, LoadTextureResource);
        renderDevice.SetWindowParameters({kWidth, kHeight, nullptr, true});
        matrices.SetScreenSize({kWidth, kHeight, nullptr, true});
        if (!renderDevice.Create()) return;
        lights.Initialize();
        matrices.Initialize();
        hbv.Initialize();
        resources.LoadResource("sign");
        graphics.Create();
        graphics.Initialize();
        ui.Initialize();
        if (elements > 0) {
            UiScene* menu = scenes.CreateTemplate("menu");
            menu->SetColor(Vec4(0, 0, 0.3f, 0.6f));
            for (int i = 0; i < elements; ++i) {
                std::unique_ptr<UiElementBase> element;
                if (i % 2) {
                    auto image = std::make_unique<UiImage>();
                    image->SetTexture("sign");
                    element = std::move(image);
                } else {
                    element = std::make_unique<UiSolid>();
                }
                element->SetX(float(i % 20) * 60.0f - 570.0f);
                element->SetY(float(i / 20) * 60.0f - 270.0f);
                element->SetWidth(50);
                element->SetHeight(50);
                element->SetColor(Vec4(1, 0.5f, 0.25f, 0.9f));
                if (i % 10 == 0) element->AddHandler(new UiBobHandler);
                menu->AddElement(std::move(element));
            }
            std::string name = "menu";
            core.SendMessageValues("UiChangeScene", &name, UiSceneChangeMethod::Push);
        }
        Frame();
        ready = true;
    }
    ~UiWorld() {
        ui.Shutdown();
        graphics.Shutdown();
        hbv.Shutdown();
        lights.Shutdown();
        Logger::SetCurrent(nullptr);
    }
    void Frame() {
        ui.Update(0.016f);
        graphics.Update(0.016f);
    }

    Logger logger;
    CompositionFactory factory;
    Engine engine;
    ObjectManager objects;
    CoreSystem core;
    Graphics graphics;
    UiSystem ui;
    ResourceManager resources;
    RenderDevice renderDevice;
    MeshManager meshes;
    TextureManager textures;
    LightManager lights;
    MatrixManager matrices;
    HbvManager hbv;
    UiElementManager elements;
    UiSceneManager scenes;
    bool ready = false;
};

void BM_UiMenuFrameGl(benchmark::State& state) {
    UiWorld world(int(state.range(0)));
    if (!world.ready) {
        state.SkipWithError("no GL device");
        return;
    }
    for (auto _ : state) world.Frame();
    state.counters["scenes"] = double(world.ui.GetStack().size());
}

}  // namespace

BENCHMARK(BM_UiMenuFrameGl)->Arg(0)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
