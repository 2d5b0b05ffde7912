// The model viewer's main ("-m"): the start-up services, the viewer's
// systems and managers, the run, and the teardown in exactly the reverse order
// of declaration. It has no UiSystem at all; the SoundSystem is built but
// never added to the engine, so it is never configured, created, updated or
// shut down.

#include "app/MainSteps.h"
#include "app/Mains.h"
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
#include "engine/world/GameSystem.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomPaletteManager.h"
#include "engine/world/TutorialManager.h"
#include "engine/world/WorldVisualLookup.h"
#include "tools/viewer/ModelView.h"
#include "tools/panels/PanelModel.h"
#include "tools/panels/PanelOverlay.h"

namespace Ostrel {

namespace {

// The viewer's systems in construction order; RunModelViewer adds them in
// update order.
struct ViewerSystems {
    ViewerSystems() { windowSystem.SetToolMode(true); }  // closing the window ends the run

    ObjectManager objectManager;
    WindowSystem windowSystem{kToolTitle};
    Graphics graphics;
    Input input;
    SoundSystem soundSystem;
    CoreSystem coreSystem;
    AnimationSystem animationSystem;
    Physics physics;
    LogicSystem logicSystem;
    ScriptSystem scriptSystem;
    ModelView modelView;
    GameSystem gameSystem;
};

// The viewer's managers in construction order (no volume hierarchy).
struct ViewerManagers {
    explicit ViewerManagers(const std::string& userFolder) { userConfig.SetDirectory(userFolder); }

    RenderDevice renderDevice;
    MeshManager meshManager;
    MeshManagerLookup meshLookup{meshManager};
    LightManager lightManager;
    MatrixManager matrixManager;
    TextureManager textureManager;
    PropertyManager propertyManager;
    RoomInstanceManager roomInstanceManager;
    LevelInstanceManager levelInstanceManager;
    RoomPaletteManager roomPaletteManager;
    AnimationManager animationManager;
    SkeletonManager skeletonManager;
    UiElementManager uiElementManager;
    UiSceneManager uiSceneManager;
    SoundDeviceManager soundDeviceManager;
    SoundManager soundManager;
    FontTemplateManager fontTemplateManager;
    FontManager fontManager;
    PaletteRegistry paletteRegistry;
    WorldVisualLookup visualLookup{textureManager, paletteRegistry};
    UserConfigManager userConfig{true};  // saves the user settings when it goes
    TutorialManager tutorialManager;
    // Last, so it goes first: the Lua state closes while every element,
    // scene and manager a script object or finaliser names still exists.
    ScriptManager scriptManager;

    // The window parameters to the services that need them (there is no UI
    // system); the listening managers subscribe here so they hear the first
    // frame.
    // False when no render device could be started: the run then ends in
    // order, with a non-zero exit.
    bool Connect(const DeviceParams& params, ViewerSystems& systems) {
        renderDevice.SetWindowParameters(params);
        systems.input.SetWindow(params);
        matrixManager.SetScreenSize(params);
        matrixManager.Initialize();
        if (!StartRenderDevice(renderDevice)) return false;
        lightManager.Initialize();
        fontManager.SetScreenSize(params);
        fontManager.Initialize();
        tutorialManager.Connect();
        return true;
    }
};

}  // namespace

void RunModelViewer() {
    StartupServices services;
    ViewerSystems systems;
    Engine engine;
    engine.PushState("LevelEditor");
    ConnectEngine(engine, services);
    AddSystems(engine, {&systems.objectManager, &systems.windowSystem, &systems.input, &systems.graphics,
                        &systems.coreSystem, &systems.animationSystem, &systems.physics, &systems.logicSystem,
                        &systems.scriptSystem, &systems.modelView, &systems.gameSystem});
    LogUpdateOrder(engine);
    ViewerManagers managers(services.userFolder);
    // The window exists after the creation step.
    engine.LoadSystemConfigs();
    ConnectWindowToGraphics(systems.windowSystem, managers.renderDevice, managers.matrixManager);
    engine.CreateSystems();
    if (!managers.Connect(systems.windowSystem.GetDeviceParams(), systems)) return;
    services.resources.LoadRequiredResource("loading-pkg");
    // The viewer loads everything on the main thread before its first frame.
    services.resources.BackgroundLoad();
    CreatePrimitiveMeshes(managers.meshManager);
    TestObjectProbe probe(engine);  // acts only when TAVRIN_TEST_OBJECT is set
    // The panels draw over the render device made above; the tool's system
    // fills them. Both outlive the systems' shutdown at the end of the run.
    PanelModel panels;
    PanelOverlay overlay(panels, systems.windowSystem, systems.graphics, managers.renderDevice);
    engine.Run();
    LogRunEnd(engine);
}

}  // namespace Ostrel
