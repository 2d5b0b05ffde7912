// The game's main: the start-up services, the game's systems and managers,
// the run, and the teardown in exactly the reverse order of declaration.

#include "app/MainSteps.h"
#include "app/Mains.h"
#include "app/SampleScene.h"
#include "app/TestObjectProbe.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/LogicSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/AnimationSystem.h"
#include "engine/graphics/text/FontManager.h"
#include "engine/graphics/text/FontTemplateManager.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/models/MeshManagerLookup.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/PropertyManager.h"
#include "engine/io/UserConfigManager.h"
#include "engine/physics/HbvManager.h"
#include "engine/physics/Physics.h"
#include "engine/platform/DeviceParams.h"
#include "engine/platform/Input.h"
#include "engine/platform/WindowSystem.h"
#include "engine/script/ScriptManager.h"
#include "engine/script/ScriptSystem.h"
#include "engine/sound/SoundDeviceManager.h"
#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSystem.h"
#include "engine/ui/UiElementManager.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiSystem.h"
#include "engine/world/GameSystem.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomPaletteManager.h"
#include "engine/world/TutorialManager.h"
#include "engine/world/WorldVisualLookup.h"

namespace Ostrel {

namespace {

// The game's systems in construction order; GameMain adds them in update order.
struct GameSystems {
    ObjectManager objectManager;
    WindowSystem windowSystem{kGameTitle};
    Graphics graphics;
    Input input;
    SoundSystem soundSystem;
    UiSystem uiSystem;
    CoreSystem coreSystem;
    AnimationSystem animationSystem;
    Physics physics;
    LogicSystem logicSystem;
    ScriptSystem scriptSystem;
    GameSystem gameSystem;
};

// The game's managers in construction order.
struct GameManagers {
    explicit GameManagers(const std::string& userFolder) { userConfig.SetDirectory(userFolder); }

    RenderDevice renderDevice;
    MeshManager meshManager;
    MeshManagerLookup meshLookup{meshManager};
    TextureManager textureManager;
    LightManager lightManager;
    MatrixManager matrixManager;
    PaletteRegistry paletteRegistry;
    WorldVisualLookup visualLookup{textureManager, paletteRegistry};
    RoomInstanceManager roomInstanceManager;
    LevelInstanceManager levelInstanceManager;
    RoomPaletteManager roomPaletteManager;
    AnimationManager animationManager;
    FontTemplateManager fontTemplateManager;
    FontManager fontManager;
    SkeletonManager skeletonManager;
    UiElementManager uiElementManager;
    UiSceneManager uiSceneManager;
    SoundDeviceManager soundDeviceManager;
    SoundManager soundManager;
    PropertyManager propertyManager;
    HbvManager hbvManager;
    UserConfigManager userConfig{true};  // saves the user settings when it goes
    TutorialManager tutorialManager;
    // Last, so it goes first: the Lua state closes while every element,
    // scene and manager a script object or finaliser names still exists.
    ScriptManager scriptManager;

    // The window parameters to the services that need them; the listening
    // managers subscribe here so they hear the first frame.
    // False when no render device could be started: the run then ends in
    // order, with a non-zero exit.
    bool Connect(const DeviceParams& params, GameSystems& systems) {
        renderDevice.SetWindowParameters(params);
        systems.input.SetWindow(params);
        systems.uiSystem.SetScreenSize(params);
        matrixManager.SetScreenSize(params);
        if (!StartRenderDevice(renderDevice)) return false;
        lightManager.Initialize();
        matrixManager.Initialize();
        hbvManager.Initialize();
        fontManager.SetScreenSize(params);
        fontManager.Initialize();
        tutorialManager.Connect();
        return true;
    }
};

}  // namespace

void GameMain() {
    StartupServices services;
    GameSystems systems;
    Engine engine;
    engine.PushState("GamePlay");
    ConnectEngine(engine, services);
    AddSystems(engine, {&systems.objectManager, &systems.windowSystem, &systems.input, &systems.soundSystem,
                        &systems.graphics, &systems.uiSystem, &systems.coreSystem, &systems.animationSystem,
                        &systems.physics, &systems.logicSystem, &systems.scriptSystem, &systems.gameSystem});
    LogUpdateOrder(engine);
    GameManagers managers(services.userFolder);
    // The window exists after the creation step.
    engine.LoadSystemConfigs();
    ConnectWindowToGraphics(systems.windowSystem, managers.renderDevice, managers.matrixManager);
    engine.CreateSystems();
    if (!managers.Connect(systems.windowSystem.GetDeviceParams(), systems)) return;
    services.resources.LoadRequiredResource("loading-pkg");
    CreatePrimitiveMeshes(managers.meshManager);
    TestObjectProbe probe(engine);  // acts only when TAVRIN_TEST_OBJECT is set
    SampleScene sampleScene(engine, services.resources);  // only with TAVRIN_SAMPLE_SCENE=1
    engine.Run();
    LogRunEnd(engine);
    managers.lightManager.Shutdown();
}

}  // namespace Ostrel
