#include "app/MainSteps.h"

#include "engine/core/CompositionFactory.h"
#include "engine/core/Engine.h"
#include "engine/core/System.h"
#include "engine/graphics/FontTemplateManager.h"
#include "engine/graphics/MeshBuilders.h"
#include "engine/graphics/MeshManager.h"
#include "engine/graphics/ModelLoaders.h"
#include "engine/graphics/TextureManager.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/io/Log.h"
#include "engine/io/LogStartup.h"
#include "engine/io/Logger.h"
#include "engine/io/PropertyManager.h"
#include "engine/io/SerializerXML.h"
#include "engine/io/StateResourceTable.h"
#include "engine/platform/SoundDeviceManager.h"
#include "engine/io/FilePath.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

namespace Ostrel {

namespace {

constexpr int kInfoLevel = 1;

}  // namespace

void RegisterResources(ResourceManager& resources) {
    RegisterResourceKinds(resources);
    resources.RegisterLoader(kKindArchetype, LoadArchetypeResource);
    RegisterSoundLoaders(resources);
    resources.RegisterLoader(kKindProperty, LoadPropertyAsset);
    RegisterModelLoaders(resources);
    RegisterFontLoader(resources);
    resources.RegisterLoader(kKindImage, LoadTextureResource);
}

void StartLog(Logger& logger, const std::string& userFolder) {
    AddStandardLogProviders(logger, userFolder + "error_log.log");
    Logger::SetCurrent(&logger);
}

std::string LoadStates(ResourceManager& resources, SerializerXML& reader, StateResourceTable& states) {
    const FilePath path = resources.GetPath("States");
    if (path.IsValid()) reader.LoadStates(path.GetString(), states);
    return path.IsValid() ? path.GetString() : std::string();
}

void ConnectEngine(Engine& engine, ResourceManager& resources, StateResourceTable& states) {
    engine.SetConfigSource([&resources](System& system) {
        const FilePath path = resources.GetPath(system.GetName());
        ConfigureFileXML config(true);
        if (path.IsValid() && config.Load(path.GetString())) {
            system.LoadConfig(&config);
            return;
        }
        if (path.IsValid()) {
            LogMessage(path.GetString() + ": configuration of " + system.GetName() + " could not be read (" +
                       config.LoadError() + "), its defaults are kept\n");
        }
        system.LoadConfig(nullptr);
    });
    engine.SetStateSelector([&states](const std::string& state) { states.SelectCurrent(state); });
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
