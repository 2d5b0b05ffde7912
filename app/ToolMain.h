#pragma once
// What the level editor's and the model viewer's mains share: the start-up
// services, the tool's systems and managers, the run, and the teardown in
// exactly the reverse order of declaration. The tool's own system (the
// editor or the viewer) updates after the script system and before the game
// system. The SoundSystem is built but never added to the engine, so it is
// never configured, created, updated or shut down. Only the editor has a UI
// system (its tested rooms show the game's scenes); the viewer has none.

#include "app/MainSteps.h"
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
#include "engine/ui/UiSystem.h"
#include "engine/world/GameSystem.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomPaletteManager.h"
#include "engine/world/TutorialManager.h"
#include "engine/world/WorldVisualLookup.h"
#include "tools/panels/PanelModel.h"
#include "tools/panels/PanelOverlay.h"

#include <functional>
#include <optional>

namespace Ostrel {

// How one tool runs.
struct ToolRun {
    bool withUi = false;
    // The UI's first scene (with a UI only).
    const char* startScene = nullptr;
    // Runs once the managers are connected, before the first resources load.
    std::function<void(ScriptManager&)> beforeLoad;
};

// The tool's systems in construction order; RunTool adds them in update
// order.
template <class Tool>
struct ToolSystems {
    explicit ToolSystems(bool withUi) {
        windowSystem.SetToolMode(true);  // closing the window ends the run
        if (withUi) uiSystem.emplace();
    }

    ObjectManager objectManager;
    WindowSystem windowSystem{kToolTitle};
    Graphics graphics;
    std::optional<UiSystem> uiSystem;
    Input input;
    SoundSystem soundSystem;
    CoreSystem coreSystem;
    AnimationSystem animationSystem;
    Physics physics;
    LogicSystem logicSystem;
    ScriptSystem scriptSystem;
    Tool tool;
    GameSystem gameSystem;
};

// The tool's managers in construction order (no volume hierarchy).
struct ToolManagers {
    explicit ToolManagers(const std::string& userFolder) { userConfig.SetDirectory(userFolder); }

    RenderDevice renderDevice;
    MeshManager meshManager;
    MeshManagerLookup meshLookup{meshManager};
    LightManager lightManager;
    TextureManager textureManager;
    MatrixManager matrixManager;
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
    PropertyManager propertyManager;
    PaletteRegistry paletteRegistry;
    WorldVisualLookup visualLookup{textureManager, paletteRegistry};
    UserConfigManager userConfig{true};  // saves the user settings when it goes
    TutorialManager tutorialManager;
    // Last, so it goes first: the Lua state closes while every element,
    // scene and manager a script object or finaliser names still exists.
    ScriptManager scriptManager;

    // The window parameters to the services that need them; the listening
    // managers subscribe here so they hear the first frame.
    // False when no render device could be started: the run then ends in
    // order, with a non-zero exit.
    bool Connect(const DeviceParams& params, Input& input, UiSystem* ui) {
        renderDevice.SetWindowParameters(params);
        input.SetWindow(params);
        if (ui) ui->SetScreenSize(params);
        matrixManager.SetScreenSize(params);
        if (!StartRenderDevice(renderDevice)) return false;
        lightManager.Initialize();
        matrixManager.Initialize();
        fontManager.SetScreenSize(params);
        fontManager.Initialize();
        tutorialManager.Connect();
        return true;
    }
};

template <class Tool>
void RunTool(const ToolRun& run) {
    StartupServices services;
    ToolSystems<Tool> systems(run.withUi);
    Engine engine;
    engine.PushState("LevelEditor");
    ConnectEngine(engine, services);
    if (systems.uiSystem)
        AddSystems(engine, {&systems.objectManager, &systems.windowSystem, &systems.input, &systems.graphics,
                            &*systems.uiSystem, &systems.coreSystem, &systems.animationSystem, &systems.physics,
                            &systems.logicSystem, &systems.scriptSystem, &systems.tool, &systems.gameSystem});
    else
        AddSystems(engine, {&systems.objectManager, &systems.windowSystem, &systems.input, &systems.graphics,
                            &systems.coreSystem, &systems.animationSystem, &systems.physics, &systems.logicSystem,
                            &systems.scriptSystem, &systems.tool, &systems.gameSystem});
    LogUpdateOrder(engine);
    ToolManagers managers(services.userFolder);
    // The window exists after the creation step.
    engine.LoadSystemConfigs();
    ConnectWindowToGraphics(systems.windowSystem, managers.renderDevice, managers.matrixManager);
    engine.CreateSystems();
    UiSystem* ui = systems.uiSystem ? &*systems.uiSystem : nullptr;
    if (!managers.Connect(systems.windowSystem.GetDeviceParams(), systems.input, ui)) return;
    if (run.beforeLoad) run.beforeLoad(managers.scriptManager);
    services.resources.LoadRequiredResource("loading-pkg");
    // A tool loads everything on the main thread before its first frame.
    services.resources.BackgroundLoad();
    CreatePrimitiveMeshes(managers.meshManager);
    if (ui && run.startScene) ui->SetStartScene(run.startScene);
    TestObjectProbe probe(engine);  // acts only when TAVRIN_TEST_OBJECT is set
    // The panels draw over the render device made above; the tool's system
    // fills them. Both outlive the systems' shutdown at the end of the run.
    PanelModel panels;
    PanelOverlay overlay(panels, systems.windowSystem, systems.graphics, managers.renderDevice);
    engine.Run();
    LogRunEnd(engine);
}

}  // namespace Ostrel
