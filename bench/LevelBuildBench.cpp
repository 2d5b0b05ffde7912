// Building a level from files: 30 rooms of 200 objects each, laid out from an
// ordered room palette. Each iteration is GameSystem::GenerateLayout: the
// palette is selected (every room file is read, its objects made from their
// archetypes and the room validated), the layout drawn and the level built
// (6,000 template copies, chained, spawners found). Target: at most 0.5 s
// per level. The baseline reads the same 6,000 objects from one archetype
// file (parse, create, read the components) in the same run.

#include "engine/base/Logger.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/GameSystem.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomPaletteManager.h"
#include "game/RegisterComponentTypes.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace Ostrel;

constexpr int kRooms = 30;
constexpr int kObjectsPerRoom = 200;

const char* const kArchetypes = R"(
<block-obj><TransformComponent/><MessageComponent/><CollisionComponent/></block-obj>
<portal-obj><TransformComponent/><PortalComponent><type-name>Entrance</type-name></PortalComponent></portal-obj>
<spawner-Luvo><TransformComponent/></spawner-Luvo>
<spawner-qil-obj><TransformComponent/></spawner-qil-obj>
<spawner-camera><TransformComponent/></spawner-camera>
)";

std::string Position(int i) {
    return "<TransformComponent><PosX>" + std::to_string(i % 20) + "</PosX><PosY>" + std::to_string(i % 3) +
           "</PosY><PosZ>" + std::to_string(i / 20) + "</PosZ><ScaX>2</ScaX></TransformComponent>";
}

// Room r: entrance (not in the first), exit (not in the last), spawners in the
// first, and blocks up to 200 objects.
std::string RoomText(int r) {
    std::string objects;
    int count = 0;
    auto portal = [&](const char* type, int x) {
        objects += std::string("<portal-obj><TransformComponent><PosX>") + std::to_string(x) +
                   "</PosX></TransformComponent><PortalComponent><type-name>" + type +
                   "</type-name></PortalComponent></portal-obj>";
        ++count;
    };
    if (r > 0) portal("Entrance", 0);
    if (r + 1 < kRooms) portal("Exit", 20);
    if (r == 0) {
        for (const char* spawner : {"spawner-Luvo", "spawner-qil-obj", "spawner-camera"}) {
            objects += std::string("<") + spawner + ">" + Position(count) + "</" + spawner + ">";
            ++count;
        }
    }
    for (; count < kObjectsPerRoom; ++count) objects += "<block-obj>" + Position(count) + "</block-obj>";
    return "<Level><Attributes><Difficulty>" + std::to_string(r % 4) + "</Difficulty></Attributes><Objects>" +
           objects + "</Objects></Level>";
}

struct Files {
    Files() {
        root = (std::filesystem::temp_directory_path() / ("lv-level-bench-" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(root + "/rsc/level");
        std::string palette = "name: Bench_Vault\nordered";
        std::string archetypes;
        for (int r = 0; r < kRooms; ++r) {
            const std::string name = "room-" + std::to_string(r);
            std::ofstream(root + "/rsc/level/" + name + ".xrm") << RoomText(r);
            palette += " " + name;
        }
        std::ofstream(root + "/rsc/level/bench.rmp") << palette << "\n";
        std::ofstream(root + "/room-archetypes.xobj") << kArchetypes;
        // The same objects as archetypes, one element each.
        std::ofstream all(root + "/all-objects.xobj");
        for (int i = 0; i < kRooms * kObjectsPerRoom; ++i) {
            all << "<object-" << i << ">" << Position(i % kObjectsPerRoom)
                << "<MessageComponent/><CollisionComponent/></object-" << i << ">";
        }
    }
    ~Files() { std::filesystem::remove_all(root); }
    std::string root;
};

const Files& BenchFiles() {
    static Files files;
    return files;
}

struct World {
    World() {
        Logger::SetCurrent(&logger);  // no providers: the lines go nowhere
        Vandle::RegisterComponentTypes(factory);
        engine.AddSystem(&objects);
        engine.AddSystem(&core);
        SerializerXML(true).LoadObjects(BenchFiles().root + "/room-archetypes.xobj");
        factory.InitializeArchetypes();
        RegisterResourceKinds(resources, BenchFiles().root + "/rsc");
        resources.RegisterLoader(kKindRoomPalette, LoadRoomPaletteResource);
        resources.LoadAllOfKind(kKindRoomPalette);
    }
    ~World() {
        level.Build({});
        rooms.Clear();
        objects.Shutdown();
        Logger::SetCurrent(nullptr);
    }
    Logger logger;
    CompositionFactory factory;
    Engine engine;
    CoreSystem core;
    ObjectManager objects;
    ResourceManager resources;
    RoomInstanceManager rooms;
    LevelInstanceManager level;
    RoomPaletteManager palettes;
    GameSystem game;
};

void BM_BuildLevelFromRoomFiles(benchmark::State& state) {
    World world;
    for (auto _ : state) {
        if (!world.game.GenerateLayout("bench")) {
            state.SkipWithError("the bench level was refused");
            return;
        }
    }
    state.counters["objects"] = double(world.level.GetLevel()->GetObjects().size());
    state.SetItemsProcessed(state.iterations() * kRooms * kObjectsPerRoom);
}
BENCHMARK(BM_BuildLevelFromRoomFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the same 6,000 objects from one archetype file into a fresh
// factory (made and dropped outside the timing).
void BM_LoadSameObjectsFromOneArchetypeFile(benchmark::State& state) {
    Logger logger;
    Logger::SetCurrent(&logger);
    const std::string path = BenchFiles().root + "/all-objects.xobj";
    for (auto _ : state) {
        state.PauseTiming();
        auto factory = std::make_unique<CompositionFactory>();
        Vandle::RegisterComponentTypes(*factory);
        state.ResumeTiming();
        SerializerXML(true).LoadObjects(path);
        state.PauseTiming();
        factory.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRooms * kObjectsPerRoom);
    Logger::SetCurrent(nullptr);
}
BENCHMARK(BM_LoadSameObjectsFromOneArchetypeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
