// UI scene files (".scn", Lua) from arbitrary bytes, run through the real
// scene loader and every script binding: each input is one scene file of a
// small resource tree, loaded into a fresh scene manager by a fresh Lua
// state with the script manager's limits (a small instruction and memory
// budget, so a runaway loop ends quickly). Whatever the script does, the
// loader must return, and the scene and its elements must be torn down.
#include "engine/base/Logger.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/ui/UiElementManager.h"
#include "engine/ui/UiSceneManager.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The world every input runs in: an engine with its message table, textures
// and elements, and a resource tree holding the one scene file.
struct SceneWorld {
    SceneWorld() {
        Ostrel::Logger::SetCurrent(&quiet);
        engine.AddSystem(&core);
        root = (std::filesystem::temp_directory_path() / ("lv-scene-fuzz-" + std::to_string(getpid())) / "rsc").string();
        std::filesystem::create_directories(root + "/ui");
        scenePath = root + "/ui/fuzz-scene.scn";
        std::ofstream(scenePath, std::ios::binary) << "";
        Ostrel::RegisterResourceKinds(resources, root);
    }

    Ostrel::Logger quiet;
    Ostrel::Engine engine;
    Ostrel::CoreSystem core;
    Ostrel::TextureManager textures;
    Ostrel::UiElementManager elements;
    Ostrel::ResourceManager resources;
    std::string root;
    std::string scenePath;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SceneWorld world;
    std::ofstream(world.scenePath, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    Ostrel::ScriptManager::Limits limits;
    limits.instructions = 200'000;
    limits.memoryBytes = std::size_t(16) << 20;
    {
        Ostrel::ScriptManager scripts(limits);
        Ostrel::UiSceneManager scenes;
        scenes.LoadSceneFile(world.scenePath);
        if (scripts.GetState() != nullptr && !scripts.GetCurrentScriptName().empty()) std::abort();
    }
    return 0;
}
