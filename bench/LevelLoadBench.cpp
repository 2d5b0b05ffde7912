// Loading the shipped first level the way a player does: from Enter on the
// shipped main menu ("GameFreshStart" and the loading screen) through the
// game system's two loading updates, the loading screen's worker (physics
// grid and view hierarchy) and "GameReady", to the first frame with the HUD
// on top. Every frame runs the game's systems in their update order (objects,
// UI, physics, logic, game) without graphics, as fast as they go, so the
// figure is the work of the load, not the 60 Hz frame pacing of the game
// (the frames it took are reported as a counter). Target: at most 0.5 s.
// The baseline, in the same run, is the bare build of the same level
// (GameSystem::GenerateLayout: room files read, laid out and built).

#include "engine/base/Logger.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/LogicSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/ScriptEnums.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/ArchetypeLoader.h"
#include "engine/io/PropertyManager.h"
#include "engine/physics/HbvManager.h"
#include "engine/physics/Physics.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/ui/UiElementManager.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiSystem.h"
#include "engine/world/GameSystem.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomPaletteManager.h"
#include "game/RegisterComponentTypes.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Ostrel;

constexpr float kFrame = 1.0f / 60.0f;
constexpr int kMaxFrames = 100000;

// The shipped data tree with the loaders the level and the menus need; it is
// walked before the script manager looks for the start-up script.
struct ShippedResources {
    ShippedResources() {
        Logger::SetCurrent(&logger);  // no providers: the lines go nowhere
        RegisterResourceKinds(resources, std::string(LV_BENCH_SOURCE_DIR) + "/rsc");
        resources.RegisterLoader(kKindArchetype, LoadArchetypeResource);
        resources.RegisterLoader(kKindProperty, LoadPropertyAsset);
        resources.RegisterLoader(kKindImage, LoadTextureResource);
        resources.RegisterLoader(kKindRoomPalette, LoadRoomPaletteResource);
        resources.RegisterLoader(kKindScene, LoadSceneResource);
        resources.RegisterLoader(kKindLevelOrder, LoadLevelOrderResource);
    }
    ~ShippedResources() { Logger::SetCurrent(nullptr); }
    Logger logger;
    ResourceManager resources;
};

struct ShippedGame {
    ShippedGame() {
        Vandle::RegisterComponentTypes(factory);
        for (const char* kind : {kKindArchetype, kKindProperty, kKindRoomPalette, kKindScene})
            resources.LoadAllOfKind(kind);
        resources.LoadResource("menu-button");
        factory.InitializeArchetypes();
        for (System* system : Order()) engine.AddSystem(system);
        for (System* system : Order()) system->Initialize();
        hbv.Initialize();
        ui.SetStartScene("main-menu");
        Frame();
    }
    ~ShippedGame() {
        const std::vector<System*> order = Order();
        for (auto it = order.rbegin(); it != order.rend(); ++it) (*it)->Shutdown();
        level.Build({});
        rooms.Clear();
    }
    std::vector<System*> Order() { return {&objects, &ui, &core, &physics, &logic, &game}; }
    void Frame() {
        for (System* system : Order()) system->Update(kFrame);
    }
    const std::string TopScene() const {
        const UiScene* top = ui.GetTop();
        return top ? top->GetName() : std::string();
    }
    // Frames until the named scene is on top; -1 when it never comes.
    int RunUntilTop(const std::string& scene) {
        for (int frames = 1; frames <= kMaxFrames; ++frames) {
            Frame();
            if (TopScene() == scene) return frames;
        }
        return -1;
    }
    void Press(int key) {
        core.SendMessageValueBool("KeyTriggered", key, true);
        core.SendMessageValueBool("KeyTriggered", key, false);
    }

    ShippedResources shipped;
    ResourceManager& resources = shipped.resources;
    CompositionFactory factory;
    Engine engine;
    PropertyManager properties;
    TextureManager textures;
    ScriptManager scripts;
    UiElementManager elements;
    UiSceneManager scenes;
    RoomInstanceManager rooms;
    LevelInstanceManager level;
    RoomPaletteManager palettes;
    HbvManager hbv;
    ObjectManager objects;
    UiSystem ui;
    CoreSystem core;
    Physics physics;
    LogicSystem logic;
    GameSystem game;
};

void BM_LoadFirstLevelFromMainMenu(benchmark::State& state) {
    ShippedGame game;
    if (game.TopScene() != "main-menu") {
        state.SkipWithError("the shipped main menu did not come up");
        return;
    }
    int frames = 0;
    for (auto _ : state) {
        game.Press(13);
        frames = game.RunUntilTop("hud");
        state.PauseTiming();
        if (frames < 0) {
            state.SkipWithError("the HUD never came up");
            break;
        }
        // Back to the main menu as the pause menu's Quit does.
        game.core.Send("GameEnding");
        std::string menu = "main-menu";
        game.core.SendMessageValues("UiChangeScene", &menu, UiSceneChangeMethod::Goto);
        game.RunUntilTop("main-menu");
        game.Frame();
        state.ResumeTiming();
    }
    state.counters["frames"] = frames;
    state.counters["objects"] = double(game.level.GetLevel() ? game.level.GetLevel()->GetObjects().size() : 0);
}
BENCHMARK(BM_LoadFirstLevelFromMainMenu)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the bare layout and build of the same level in the same world.
void BM_BuildFirstLevelOnly(benchmark::State& state) {
    ShippedGame game;
    for (auto _ : state) {
        if (!game.game.GenerateLayout("temple-1")) {
            state.SkipWithError("temple-1 was refused");
            return;
        }
    }
    state.counters["objects"] = double(game.level.GetLevel()->GetObjects().size());
}
BENCHMARK(BM_BuildFirstLevelOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
