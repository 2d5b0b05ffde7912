// The level editor's main ("-l"): the game's start-up with the editor's
// systems, title and first state. The SoundSystem is built but never added to
// the engine, so it is never configured, created, updated or shut down.

#include "app/Mains.h"

#include "app/MainSteps.h"
#include "app/TestObjectProbe.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/LogicSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/RegisterComponentTypes.h"
#include "engine/graphics/AnimationManager.h"
#include "engine/graphics/AnimationSystem.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/FontTemplateManager.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/MeshManager.h"
#include "engine/graphics/MeshManagerLookup.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/SkeletonManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/io/Logger.h"
#include "engine/io/PropertyManager.h"
#include "engine/io/SerializerXML.h"
#include "engine/io/StateResourceTable.h"
#include "engine/io/UserConfigManager.h"
#include "engine/io/UserDataFolder.h"
#include "engine/physics/HbvManager.h"
#include "engine/physics/Physics.h"
#include "engine/platform/DeviceParams.h"
#include "engine/platform/Input.h"
#include "engine/platform/SoundDeviceManager.h"
#include "engine/platform/SoundManager.h"
#include "engine/platform/SoundSystem.h"
#include "engine/platform/WindowSystem.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/script/ScriptSystem.h"
#include "engine/ui/UiElementManager.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiSystem.h"
#include "engine/world/GameSystem.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomPaletteManager.h"
#include "engine/world/TutorialManager.h"
#include "tools/editor/LevelEditor.h"

#include <string>

namespace Ostrel {

void RunLevelEditor() {
    CompositionFactory factory;
    RegisterComponentTypes(factory);
    const std::string folderName = "Brisa and Qil Lantern Vaults";
    const std::string title = "Tavrin";
    CreateUserDataFolder(folderName.c_str());
    std::string userFolder = GetUserDataPath(folderName.c_str());
    ResourceManager resources;
    RegisterResources(resources);
    userFolder += kUserFolderSeparator;
    Logger logger;
    StartLog(logger, userFolder);
    StateResourceTable states;
    SerializerXML statesReader(true);
    const std::string statesPath = LoadStates(resources, statesReader, states);
    ObjectManager objectManager;
    WindowSystem windowSystem(title.c_str());
    windowSystem.SetToolMode(true);  // the tools end the run when the window closes
    Graphics graphics;
    UiSystem uiSystem;
    Input input;
    SoundSystem soundSystem;
    CoreSystem coreSystem;
    AnimationSystem animationSystem;
    Physics physics;
    LogicSystem logicSystem;
    ScriptSystem scriptSystem;
    LevelEditor levelEditor;
    GameSystem gameSystem;
    Engine engine;
    engine.PushState("LevelEditor");
    engine.SetLog(&logger);
    ConnectEngine(engine, resources, states);
    engine.AddSystem(&objectManager);
    engine.AddSystem(&windowSystem);
    engine.AddSystem(&input);
    engine.AddSystem(&graphics);
    engine.AddSystem(&uiSystem);
    engine.AddSystem(&coreSystem);
    engine.AddSystem(&animationSystem);
    engine.AddSystem(&physics);
    engine.AddSystem(&logicSystem);
    engine.AddSystem(&scriptSystem);
    engine.AddSystem(&levelEditor);
    engine.AddSystem(&gameSystem);
    LogUpdateOrder(engine);
    RenderDevice renderDevice;
    MeshManager meshManager;
    MeshManagerLookup meshLookup(meshManager);
    LightManager lightManager;
    TextureManager textureManager;
    MatrixManager matrixManager;
    RoomInstanceManager roomInstanceManager;
    LevelInstanceManager levelInstanceManager;
    RoomPaletteManager roomPaletteManager;
    AnimationManager animationManager;
    SkeletonManager skeletonManager;
    ScriptManager scriptManager;
    UiElementManager uiElementManager;
    UiSceneManager uiSceneManager;
    SoundDeviceManager soundDeviceManager;
    SoundManager soundManager;
    FontTemplateManager fontTemplateManager;
    FontManager fontManager;
    PropertyManager propertyManager;
    PaletteRegistry paletteRegistry;
    UserConfigManager userConfig(true);
    TutorialManager tutorialManager;
    userConfig.SetDirectory(userFolder);
    engine.LoadSystemConfigs();
    ConnectWindowToGraphics(windowSystem, renderDevice, matrixManager);
    engine.CreateSystems();
    const DeviceParams params = windowSystem.GetDeviceParams();
    renderDevice.SetWindowParameters(params);
    input.SetWindow(params);
    uiSystem.SetScreenSize(params);
    matrixManager.SetScreenSize(params);
    // Without a device the run ends here, in order, with a non-zero exit.
    if (!StartRenderDevice(renderDevice)) return;
    lightManager.Initialize();
    matrixManager.Initialize();
    fontManager.SetScreenSize(params);
    fontManager.Initialize();
    tutorialManager.Connect();
    resources.LoadRequiredResource("loading-pkg");
    // The editor loads everything on the main thread before its first frame.
    resources.BackgroundLoad();
    CreatePrimitiveMeshes(meshManager);
    uiSystem.SetStartScene("le-hud");
    // Only acts in automated runs that name a test object (TAVRIN_TEST_OBJECT).
    TestObjectProbe probe(engine);
    engine.Run();
    LogRunEnd(engine);
}

}  // namespace Ostrel
