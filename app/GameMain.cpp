// The game's main: builds every engine object as a local in a fixed order,
// runs the loop and tears everything down in exactly the reverse order (the
// order of declaration below is the order of construction).

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

#include <string>

namespace Ostrel {

void GameMain() {
    // 1. Objects first: the factory outlives everything and reports leaks last.
    CompositionFactory factory;
    RegisterComponentTypes(factory);
    // 2. Names and the per-user folder (a failure is ignored: see the log step).
    const std::string folderName = "Brisa and Qil Lantern Vaults";
    const std::string title = "Brisa and Qil: Lantern Vaults";
    CreateUserDataFolder(folderName.c_str());
    std::string userFolder = GetUserDataPath(folderName.c_str());
    // 3. Resources.
    ResourceManager resources;
    RegisterResources(resources);
    // 4.
    userFolder += kUserFolderSeparator;
    // 5. The log: file first, then the console.
    Logger logger;
    StartLog(logger, userFolder);
    // 6. The "States" settings, read before the engine exists.
    StateResourceTable states;
    SerializerXML statesReader(true);
    const std::string statesPath = LoadStates(resources, statesReader, states);
    // 7. Systems, in construction order.
    ObjectManager objectManager;
    WindowSystem windowSystem(title.c_str());
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
    // 8.
    Engine engine;
    engine.PushState("GamePlay");
    engine.SetLog(&logger);
    ConnectEngine(engine, resources, states);
    // 9. The update order.
    engine.AddSystem(&objectManager);
    engine.AddSystem(&windowSystem);
    engine.AddSystem(&input);
    engine.AddSystem(&soundSystem);
    engine.AddSystem(&graphics);
    engine.AddSystem(&uiSystem);
    engine.AddSystem(&coreSystem);
    engine.AddSystem(&animationSystem);
    engine.AddSystem(&physics);
    engine.AddSystem(&logicSystem);
    engine.AddSystem(&scriptSystem);
    engine.AddSystem(&gameSystem);
    LogUpdateOrder(engine);
    // 10. Managers.
    RenderDevice renderDevice;
    MeshManager meshManager;
    MeshManagerLookup meshLookup(meshManager);
    TextureManager textureManager;
    LightManager lightManager;
    MatrixManager matrixManager;
    PaletteRegistry paletteRegistry;
    RoomInstanceManager roomInstanceManager;
    LevelInstanceManager levelInstanceManager;
    RoomPaletteManager roomPaletteManager;
    AnimationManager animationManager;
    FontTemplateManager fontTemplateManager;
    FontManager fontManager;
    SkeletonManager skeletonManager;
    ScriptManager scriptManager;
    UiElementManager uiElementManager;
    UiSceneManager uiSceneManager;
    SoundDeviceManager soundDeviceManager;
    SoundManager soundManager;
    PropertyManager propertyManager;
    HbvManager hbvManager;
    UserConfigManager userConfig(true);
    TutorialManager tutorialManager;
    // 11.
    userConfig.SetDirectory(userFolder);
    // 12. The window exists after the creation step.
    engine.LoadSystemConfigs();
    ConnectWindowToGraphics(windowSystem, renderDevice, matrixManager);
    engine.CreateSystems();
    // 13. Window parameters to the services that need them; the listening
    // managers subscribe here so they hear the first frame.
    const DeviceParams params = windowSystem.GetDeviceParams();
    renderDevice.SetWindowParameters(params);
    input.SetWindow(params);
    uiSystem.SetScreenSize(params);
    matrixManager.SetScreenSize(params);
    // Without a device the run ends here, in order, with a non-zero exit.
    if (!StartRenderDevice(renderDevice)) return;
    lightManager.Initialize();
    matrixManager.Initialize();
    hbvManager.Initialize();
    fontManager.SetScreenSize(params);
    fontManager.Initialize();
    tutorialManager.Connect();
    // 14.-16.
    resources.LoadRequiredResource("loading-pkg");
    CreatePrimitiveMeshes(meshManager);
    // Only acts in automated runs that name a test object (TAVRIN_TEST_OBJECT).
    TestObjectProbe probe(engine);
    engine.Run();
    LogRunEnd(engine);
    // Teardown: the light manager's shutdown, then every local in reverse.
    lightManager.Shutdown();
}

}  // namespace Ostrel
