#pragma once
// The engine of the GL benchmarks, built as the game's main builds it but
// without the window, input, sound and script systems: a GL device of
// 1280 x 720 (offscreen llvmpipe when there is no display) and the shipped
// data read from the source tree.
//
// Two sizes of world:
//   Scene  the object manager, graphics and core systems with the sample
//          scene's data (the tile palettes and gfx-test-pkg);
//   Game   every system the game updates but those four, in the game's update
//          order, with all shipped data loaded as the loading screen leaves
//          it, the fonts, and the UI on the shipped menus.
// Either way the constructor leaves `ready` false when no GL device starts.

#include "engine/base/Logger.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/LogicSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/AnimationSystem.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/models/MeshManagerLookup.h"
#include "engine/graphics/models/ModelLoaders.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/text/FontManager.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/text/FontTemplateManager.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/ArchetypeLoader.h"
#include "engine/io/PropertyManager.h"
#include "engine/io/SerializerXML.h"
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
#include "engine/world/PaletteRegistry.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomPaletteManager.h"
#include "engine/world/TilePaletteRecord.h"
#include "engine/world/WorldVisualLookup.h"
#include "game/RegisterComponentTypes.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace Ostrel {

class GlBenchWorld {
public:
    enum class Kind { Scene, Game };
    static constexpr u32 kWidth = 1280;
    static constexpr u32 kHeight = 720;
    static constexpr float kFrame = 0.016f;

    GlBenchWorld(Kind kind, bool postProcess, bool useHbv) : data(kind), m_kind(kind) {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        engine.SetLog(&logger);
        Vandle::RegisterComponentTypes(factory);
        for (System* system : Systems()) engine.AddSystem(system);
        const DeviceParams params{kWidth, kHeight, nullptr, true};
        renderDevice.SetWindowParameters(params);
        matrices.SetScreenSize(params);
        ui.SetScreenSize(params);
        if (!renderDevice.Create()) return;
        lights.Initialize();
        matrices.Initialize();
        hbv.Initialize();
        fonts.SetScreenSize(params);
        fonts.Initialize();
        BuildCubeMesh(meshes.Create("Cube"), 1, 1);
        BuildSphereMesh(meshes.Create("Sphere"), 15, 15);
        BuildSpriteMesh(meshes.Create("Sprite"));
        BuildPlaneMesh(meshes.Create("Plane"));
        LoadData();
        factory.InitializeArchetypes();
        StartGraphics(postProcess, useHbv);
        for (System* system : Systems()) {
            if (system != &graphics) system->Initialize();
        }
        ready = true;
    }
    ~GlBenchWorld() {
        // In update order, as the engine's loop ends.
        for (System* system : Systems()) {
            if (ready || system == &objects) system->Shutdown();
        }
        level.Build({});
        rooms.Clear();
        hbv.Shutdown();
        lights.Shutdown();
    }
    GlBenchWorld(const GlBenchWorld&) = delete;
    GlBenchWorld& operator=(const GlBenchWorld&) = delete;

    // The systems in the game's update order.
    std::vector<System*> Systems() {
        if (m_kind == Kind::Scene) return {&objects, &graphics, &core};
        return {&objects, &graphics, &ui, &core, &animation, &physics, &logic, &game};
    }
    // One frame of every system, as the engine's loop runs it.
    void Frame() {
        for (System* system : Systems()) system->Update(kFrame);
    }

    u32 Place(const std::string& archetype) { return objects.CreateObject(archetype, nullptr); }
    // Every archetype of the sample scene but the static copy of the hinge,
    // the invisible cube selected as the editor selects.
    void PlaceSampleScene() {
        std::vector<std::string> names = factory.GetArchetypeNames();
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            if (name.rfind("gfx-", 0) != 0 || name == "gfx-hinge-static") continue;
            Composition* object = objects.GetObject(Place(name));
            if (auto* mesh = object ? object->GetComponentAs<MeshComponent>() : nullptr; mesh && !mesh->IsVisible()) {
                mesh->SetHighlighted(true);
                mesh->SetColor(1, 0, 1);
            }
        }
        objects.Update(0.0f);
    }
    // The sample scene's frame: two debug shapes and the graphics update.
    void SceneFrame() {
        Graphics::DrawDebugShape(0, -6, 3, 3.5f, 6, 3, 3.5f, 255, 0, 0, 255);
        Graphics::DrawDebugShape(3, 3, 2.6f, 1, 1.2f, -1, -1, 0, 255, 0, 255);
        graphics.Update(kFrame);
    }

    std::string TopScene() const {
        const UiScene* top = ui.GetTop();
        return top ? top->GetName() : std::string();
    }
    // Frames until the named scene is on top; -1 when it does not come
    // within `limit` frames.
    int RunUntilTop(const std::string& scene, int limit) {
        for (int frames = 1; frames <= limit; ++frames) {
            Frame();
            if (TopScene() == scene) return frames;
        }
        return -1;
    }
    void Press(int key) {
        core.SendMessageValueBool("KeyTriggered", key, true);
        core.SendMessageValueBool("KeyTriggered", key, false);
    }
    // The first live object made from the archetype, or null.
    Composition* Find(const std::string& archetype) const {
        for (u32 id : objects.GetLiveObjects()) {
            Composition* object = objects.GetObject(id);
            if (object && object->GetName() == archetype) return object;
        }
        return nullptr;
    }

    // The log (current while it lives; no providers: the lines go nowhere)
    // and the data tree with its loaders: made before the script manager,
    // which looks for the start-up script when it is made.
    struct Data {
        explicit Data(Kind kind);
        ~Data() { Logger::SetCurrent(nullptr); }
        Logger logger;
        ResourceManager resources;
    };

    CompositionFactory factory;
    Data data;
    Logger& logger = data.logger;
    ResourceManager& resources = data.resources;
    Engine engine;
    ObjectManager objects;
    Graphics graphics;
    UiSystem ui;
    CoreSystem core;
    AnimationSystem animation;
    Physics physics;
    LogicSystem logic;
    GameSystem game;
    RenderDevice renderDevice;
    MeshManager meshes;
    MeshManagerLookup meshLookup{meshes};
    TextureManager textures;
    LightManager lights;
    MatrixManager matrices;
    PaletteRegistry palettes;
    WorldVisualLookup visualLookup{textures, palettes};
    RoomInstanceManager rooms;
    LevelInstanceManager level;
    RoomPaletteManager roomPalettes;
    AnimationManager animations;
    FontTemplateManager fontTemplates;
    FontManager fonts;
    SkeletonManager skeletons;
    ScriptManager scripts;
    UiElementManager elements;
    UiSceneManager scenes;
    PropertyManager properties;
    HbvManager hbv;
    bool ready = false;

private:
    void LoadData() {
        if (m_kind == Kind::Scene) {
            std::ifstream font(std::string(LV_BENCH_SOURCE_DIR) + "/rsc/fonts/DejaVuSans.ttf", std::ios::binary);
            FontRegistry::Instance().Register(
                std::vector<u8>(std::istreambuf_iterator<char>(font), std::istreambuf_iterator<char>()),
                "DejaVuSans.ttf");
            for (const char* name : {"tiles", "floor-tiles", "gfx-test-pkg"}) resources.LoadResource(name);
            return;
        }
        resources.LoadResource("loading-pkg");
        for (const char* kind : {kKindFont, kKindImage, kKindGeometry, kKindAnimWrapper, kKindTilePalette,
                                 kKindArchetype, kKindProperty, kKindRoomPalette, kKindScene})
            resources.LoadAllOfKind(kind);
    }
    void StartGraphics(bool postProcess, bool useHbv) {
        struct Config final : Serializer {
            bool post, hbv;
            Config(bool p, bool h) : post(p), hbv(h) {}
            bool SerializeBool(const std::string& n, bool* v) override {
                if (n == "DoPostProcess") *v = post;
                if (n == "UseHBV") *v = hbv;
                return n == "DoPostProcess" || n == "UseHBV";
            }
            bool SerializeString(const std::string&, std::string*) override { return false; }
            bool SerializeFloat(const std::string&, float*) override { return false; }
            bool SerializeInt(const std::string&, int*) override { return false; }
            bool SerializeBlock(std::string&) override { return false; }
            bool IsReading() const override { return true; }
            bool IsWriting() const override { return false; }
        } config(postProcess, useHbv);
        graphics.LoadConfig(&config);
        graphics.Create();
        graphics.Initialize();
    }

    Kind m_kind;
};

inline GlBenchWorld::Data::Data(Kind kind) {
    Logger::SetCurrent(&logger);
    RegisterResourceKinds(resources, std::string(LV_BENCH_SOURCE_DIR) + "/rsc");
    resources.RegisterLoader(kKindArchetype, LoadArchetypeResource);
    resources.RegisterLoader(kKindImage, LoadTextureResource);
    resources.RegisterLoader(kKindTilePalette, LoadTilePaletteResource);
    RegisterModelLoaders(resources);
    if (kind == Kind::Scene) return;
    resources.RegisterLoader(kKindProperty, LoadPropertyAsset);
    RegisterFontLoader(resources);
    resources.RegisterLoader(kKindRoomPalette, LoadRoomPaletteResource);
    resources.RegisterLoader(kKindScene, LoadSceneResource);
    resources.RegisterLoader(kKindLevelOrder, LoadLevelOrderResource);
}

}  // namespace Ostrel
