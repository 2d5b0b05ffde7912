#pragma once
// A headless world for the levels tests: the real factory with every
// component type (trigger components replaced by fakes that carry a trigger
// id), an engine with its object manager and core system, the levels
// managers, meshes from point lists, and a resource tree of its own holding
// the room files and palettes a test writes before it starts.

#include "tests/engine/components/ComponentWorld.h"

#include "engine/core/Component.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/Variant.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/GameSystem.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomPaletteManager.h"
#include "engine/world/TriggerIdHolder.h"

#include <filesystem>
#include <map>
#include <string>

namespace Ostrel::LevelTest {

// Stands in for the game's trigger components: one id, key "TriggerId".
template <u32 TypeId>
class FakeTrigger final : public Component, public TriggerIdHolder {
public:
    static constexpr u32 kTypeId = TypeId;
    s32 GetTriggerId() const override { return id; }
    void SetTriggerId(s32 value) override { id = value; }
    void Initialize() override {}
    void Uninitialize() override {}
    Component* Clone() const override {
        auto* copy = static_cast<FakeTrigger*>(CompositionFactory::Instance()->CreateComponent(kTypeId));
        copy->id = id;
        return copy;
    }
    void Serialize(Serializer* s) override {
        int value = static_cast<int>(id);
        if (s->SerializeInt("TriggerId", &value)) id = value;
    }
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override { return Variant(); }

    s32 id = 0;
};
using FakePlayerTrigger = FakeTrigger<kPlayerTriggerTypeId>;
using FakeTriggerListener = FakeTrigger<kTriggerListenerTypeId>;

// Archetypes every room file of the tests may place. "Wide" is 4 x 1 x 2.
inline const char* const kArchetypes = R"(
<portal-obj><TransformComponent/><PortalComponent><type-name>Entrance</type-name></PortalComponent></portal-obj>
<wall-obj><TransformComponent/><MeshComponent><MeshID>Wide</MeshID></MeshComponent><CollisionComponent/></wall-obj>
<spawner-Luvo><TransformComponent/></spawner-Luvo>
<spawner-qil-obj><TransformComponent/></spawner-qil-obj>
<spawner-camera><TransformComponent/></spawner-camera>
<trigger-obj><TransformComponent/><PlayerTriggerComponent/></trigger-obj>
<listener-obj><TransformComponent/><TriggerListenerComponent/></listener-obj>
<loose-portal-obj><PortalComponent><type-name>Exit</type-name></PortalComponent></loose-portal-obj>
<loose-wall-obj><MeshComponent><MeshID>Wide</MeshID></MeshComponent><CollisionComponent/></loose-wall-obj>
)";

// The text of one object element: archetype at (x, y, z) with extra component
// elements after the transform.
inline std::string Object(const std::string& archetype, float x, float y, float z, const std::string& extra = "") {
    return "<" + archetype + "><TransformComponent><PosX>" + std::to_string(x) + "</PosX><PosY>" +
           std::to_string(y) + "</PosY><PosZ>" + std::to_string(z) + "</PosZ></TransformComponent>" + extra +
           "</" + archetype + ">";
}
inline std::string Portal(const char* type, float x, float y = 0.0f, float z = 0.0f) {
    return Object("portal-obj", x, y, z, std::string("<PortalComponent><type-name>") + type + "</type-name></PortalComponent>");
}
inline std::string Trigger(const char* archetype, int id, float x = 0.0f) {
    const char* component = std::string(archetype) == "trigger-obj" ? "PlayerTriggerComponent" : "TriggerListenerComponent";
    return Object(archetype, x, 0, 0,
                  std::string("<") + component + "><TriggerId>" + std::to_string(id) + "</TriggerId></" + component + ">");
}
inline std::string Room(int difficulty, const std::string& objects) {
    return "<Level><Attributes><Difficulty>" + std::to_string(difficulty) + "</Difficulty></Attributes><Objects>" +
           objects + "</Objects></Level>";
}
// A room with an entrance at entranceX (none when < -999) and an exit at
// exitX (none when < -999).
inline std::string PortalRoom(int difficulty, float entranceX, float exitX, const std::string& more = "") {
    std::string objects = more;
    if (entranceX > -999.0f) objects += Portal("Entrance", entranceX);
    if (exitX > -999.0f) objects += Portal("Exit", exitX);
    return Room(difficulty, objects);
}
inline constexpr float kNone = -1000.0f;

class LevelWorld {
public:
    // files: name (with extension) -> text, written under a fresh "rsc" tree
    // that the resource manager then walks; with existingRoot, that tree is
    // walked instead and extraArchetypes (".xobj" paths) are loaded too.
    explicit LevelWorld(const std::map<std::string, std::string>& files, const std::string& existingRoot = "",
                        const std::vector<std::string>& extraArchetypes = {}) {
        previousLogger = Logger::Current();
        Logger::SetCurrent(&logger);
        logger.AddProvider(std::make_unique<ComponentTest::detail::AppendingLog>(&log));
        engine.SetLog(&logger);
        engine.AddSystem(&objects);
        engine.AddSystem(&core);
        factory.AddComponentType(new ComponentFactory<FakePlayerTrigger>(FakePlayerTrigger::kTypeId),
                                 FakePlayerTrigger::kTypeId, "PlayerTriggerComponent");
        factory.AddComponentType(new ComponentFactory<FakeTriggerListener>(FakeTriggerListener::kTypeId),
                                 FakeTriggerListener::kTypeId, "TriggerListenerComponent");
        Vandle::RegisterComponentTypes(factory);
        meshes.meshes["Wide"] = ComponentTest::BoxCorners(Vec3(4, 1, 2));
        meshes.meshes["Cube"] = ComponentTest::BoxCorners(Vec3(1, 1, 1));
        meshes.meshes["Sphere"] = ComponentTest::BoxCorners(Vec3(1, 1, 1));
        SerializerXML(true).LoadObjects(ComponentTest::WriteScratchFile("level-archetypes.xobj", kArchetypes));
        for (const std::string& path : extraArchetypes) SerializerXML(true).LoadObjects(path);
        factory.InitializeArchetypes();
        static int s_trees = 0;
        root = existingRoot.empty() ? (std::filesystem::path(LV_TEST_TMP) /
                                       ("levels-" + std::to_string(getpid()) + "-" + std::to_string(++s_trees)) /
                                       "rsc")
                                          .string()
                                    : existingRoot;
        if (existingRoot.empty()) {
            std::filesystem::remove_all(root);
            std::filesystem::create_directories(root + "/level");
        }
        for (const auto& [name, text] : files) Write(name, text);
        RegisterResourceKinds(resources, root);
        resources.RegisterLoader(kKindRoomPalette, LoadRoomPaletteResource);
        resources.LoadAllOfKind(kKindRoomPalette);
    }
    ~LevelWorld() {
        level.Build({});  // templates go before the factory
        rooms.Clear();
        objects.Shutdown();
        Logger::SetCurrent(previousLogger);
    }
    // (Re)writes a file of the tree; the resource manager finds files written
    // before construction, and reads them again on every open.
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(root + "/level/" + name, std::ios::binary) << text;
    }
    // Names of the level's rooms in build order, from the room list.
    static std::vector<std::string> Names(const std::vector<RoomInstance*>& list) {
        std::vector<std::string> names;
        for (const RoomInstance* room : list) names.push_back(room->GetName());
        return names;
    }
    std::vector<RoomInstanceGroup*> Groups() const {
        std::vector<RoomInstanceGroup*> groups;
        rooms.GetGroups(groups);
        return groups;
    }
    bool Logged(const std::string& text) const { return log.find(text) != std::string::npos; }

    std::string log;
    Logger logger;
    Logger* previousLogger = nullptr;
    CompositionFactory factory;
    Engine engine;
    CoreSystem core;
    ObjectManager objects;
    ComponentTest::PointMeshes meshes;
    std::string root;
    ResourceManager resources;
    RoomInstanceManager rooms;
    LevelInstanceManager level;
    RoomPaletteManager palettes;
    GameSystem game;
};

}  // namespace Ostrel::LevelTest
