#include "app/MainSteps.h"

#include "engine/base/Log.h"
#include "engine/core/Engine.h"
#include "engine/core/ScopedProfiler.h"
#include "engine/core/System.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/io/FilePath.h"
#include "engine/io/LogStartup.h"
#include "engine/io/UserDataFolder.h"
#include "engine/platform/QuitSignal.h"
#include "engine/resources/ResourceKinds.h"
#include "game/RegisterComponentTypes.h"
#include "game/RegisterResourceLoaders.h"

#include <filesystem>

namespace Ostrel {

namespace {

constexpr int kInfoLevel = 1;

// The resource kinds, the walk of "rsc", and the loaders of the formats whose
// owners exist today.
void RegisterResources(ResourceManager& resources) {
    RegisterResourceKinds(resources);
    RegisterResourceLoaders(resources);
}

void LoadStates(ResourceManager& resources, SerializerXML& reader, StateResourceTable& states) {
    const FilePath path = resources.GetPath("States");
    if (path.IsValid()) reader.LoadStates(path.GetString(), states);
}

}  // namespace

StartupServices::StartupServices() {
    Vandle::RegisterComponentTypes(factory);
    CreateUserDataFolder(kUserFolderName);
    userFolder = GetUserDataPath(kUserFolderName) + "/";
    // The log opens before the walk of "rsc", so that what the walk finds
    // wrong (a name two files claim) is in the log file too.
    AddStandardLogProviders(logger, userFolder + "error_log.log");
    Logger::SetCurrent(&logger);
    RegisterResources(resources);
    // A SIGINT or SIGTERM during start-up loading stops the loads; the window
    // system then ends the run in order at its first pump.
    resources.SetStopCheck([] { return QuitSignal::Received() != 0; });
    LoadStates(resources, statesReader, states);
}

namespace {

// Any root tag is read, but one naming another system is most likely a
// configuration copied into the wrong file.
void ReportForeignRoot(const ConfigureFileXML& config, const std::string& path, const std::string& systemName) {
    const std::string root = config.RootName();
    if (ToLowerAscii(root) == ToLowerAscii(systemName)) return;
    LogMessage(path + ": the root element is '" + root + "', not '" + systemName + "'; its keys are read anyway\n");
}

// The walk records files only, so a folder named like the configuration
// would leave the system silently on its defaults.
void ReportConfigFolder(const ResourceManager& resources, const std::string& systemName) {
    const std::string folder = resources.MakeRootPath(ToLowerAscii(systemName) + ".xcfg").GetString();
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return;
    LogMessage(folder + ": configuration of " + systemName + " is a folder, not a file; its defaults are kept\n");
}

}  // namespace

void ConnectEngine(Engine& engine, StartupServices& services) {
    engine.SetLog(&services.logger);
    ResourceManager& resources = services.resources;
    engine.SetConfigSource([&resources](System& system) {
        const FilePath path = resources.GetPath(system.GetName());
        ConfigureFileXML config(true);
        if (path.IsValid() && config.Load(path.GetString())) {
            ReportForeignRoot(config, path.GetString(), system.GetName());
            system.LoadConfig(&config);
            return;
        }
        if (path.IsValid()) {
            LogMessage(path.GetString() + ": configuration of " + system.GetName() + " could not be read (" +
                       config.LoadError() + "), its defaults are kept\n");
        } else {
            ReportConfigFolder(resources, system.GetName());
        }
        system.LoadConfig(nullptr);
    });
    StateResourceTable& states = services.states;
    engine.SetStateSelector([&states](const std::string& state) { states.SelectCurrent(state); });
    engine.GetProfiler().SetTextDrawer(&Graphics::DrawDebugText);
}

void AddSystems(Engine& engine, std::initializer_list<System*> updateOrder) {
    for (System* system : updateOrder) engine.AddSystem(system);
}

void LogUpdateOrder(const Engine& engine) {
    const auto& systems = engine.GetUpdateOrder();
    std::string line = "Update order (" + std::to_string(systems.size()) + "):";
    for (size_t i = 0; i < systems.size(); ++i) line += (i ? ", " : " ") + systems[i]->GetName();
    if (Logger* log = engine.GetLog()) log->Write((line + "\n").c_str(), kInfoLevel);
}

void LogRunEnd(const Engine& engine) {
    const std::string line = "Run ended after " + std::to_string(engine.GetFrameCount()) + " frames\n";
    if (Logger* log = engine.GetLog()) log->Write(line.c_str(), kInfoLevel);
}

void CreatePrimitiveMeshes(MeshManager& meshes) {
    BuildCubeMesh(meshes.Create("Cube"), 1, 1);
    BuildSphereMesh(meshes.Create("Sphere"), 15, 15);
    BuildSpriteMesh(meshes.Create("Sprite"));
    BuildPlaneMesh(meshes.Create("Plane"));
}

}  // namespace Ostrel
