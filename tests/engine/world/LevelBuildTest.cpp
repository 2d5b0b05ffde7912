#include "engine/world/LevelInstanceManager.h"

#include "LevelWorld.h"

#include "engine/components/PortalComponent.h"
#include "engine/core/TransformComponent.h"

#include <gtest/gtest.h>

#include <set>

namespace Ostrel {
namespace {

using namespace LevelTest;

std::string Spawners(float x = 0.0f) {
    return Object("spawner-Luvo", x, 1, 0) + Object("spawner-qil-obj", x - 2, 1.5f, 1) +
           Object("spawner-camera", x - 6, 5, -2);
}

class LevelBuild : public ::testing::Test {
protected:
    LevelBuild() {
        for (const char* name : {"start", "mid", "end", "bare-start", "blind", "wall"}) {
            m_rooms[name] = std::make_unique<RoomInstance>();
            m_loaded[name] = m_rooms[name]->Load(name);
        }
    }
    RoomInstance* R(const char* name) {
        EXPECT_TRUE(m_loaded[name]) << name << "\n" << world.log;
        return m_rooms[name].get();
    }
    // The level's objects of one archetype, in level order.
    std::vector<Composition*> All(const std::string& archetype) const {
        std::vector<Composition*> found;
        for (Composition* object : world.level.GetLevel()->GetObjects()) {
            if (object->GetName() == archetype) found.push_back(object);
        }
        return found;
    }
    static Vec3 At(const Composition* object) { return object->GetTransform()->GetPosition(); }
    static u32 IdOf(const Composition* object) {
        if (auto* t = object->GetComponentAs<FakePlayerTrigger>()) return t->id;
        return object->GetComponentAs<FakeTriggerListener>()->id;
    }

    LevelWorld world{{
        {"start.xrm", PortalRoom(0, kNone, 10, Spawners(2) + Trigger("trigger-obj", 7))},
        {"mid.xrm", PortalRoom(1, -2, 12,
                               Object("wall-obj", 5, 0, 0) + Trigger("trigger-obj", 7) + Trigger("listener-obj", 7) +
                                   Trigger("listener-obj", 9) + Trigger("trigger-obj", 9))},
        {"end.xrm", PortalRoom(0, 0, kNone, Object("wall-obj", 1, 0, 0))},
        {"bare-start.xrm", PortalRoom(0, kNone, 10, Object("spawner-qil-obj", 0, 0, 0))},
        {"blind.xrm", PortalRoom(0, 3, kNone)},
        {"wall.xrm", PortalRoom(0, kNone, 4, Object("wall-obj", 0, 0, 0))},
    }};
    std::map<std::string, std::unique_ptr<RoomInstance>> m_rooms;
    std::map<std::string, bool> m_loaded;
};

TEST_F(LevelBuild, RoomsChainEntranceOnExitAndRoomNumbersFollowTheEnds) {
    ASSERT_TRUE(world.level.Build({R("start"), R("mid"), R("mid"), R("end")})) << world.log;
    EXPECT_EQ(world.level.GetRoomCount(), 4);
    EXPECT_EQ(world.level.GetRoomEnds(), (std::vector<float>{10, 24, 38}));

    // Portals in level order: start exit, (entrance, exit) twice, end entrance.
    const std::vector<Composition*> portals = All("portal-obj");
    ASSERT_EQ(portals.size(), 6u);
    EXPECT_EQ(At(portals[0]), Vec3(10, 0, 0)) << "the first room keeps its file coordinates";
    for (std::size_t exit = 0; exit + 1 < portals.size(); exit += 2) {
        ASSERT_EQ(portals[exit]->GetComponentAs<PortalComponent>()->GetType(), u32(kPortalExit));
        ASSERT_EQ(portals[exit + 1]->GetComponentAs<PortalComponent>()->GetType(), u32(kPortalEntrance));
        EXPECT_EQ(At(portals[exit + 1]), At(portals[exit])) << "entrance " << exit / 2 + 1;
    }
    EXPECT_EQ(At(All("wall-obj")[0]), Vec3(17, 0, 0));  // 5 + (10 - -2)
    EXPECT_EQ(At(All("wall-obj")[2]), Vec3(39, 0, 0));  // 1 + 38

    EXPECT_EQ(world.level.GetRoomAt(Vec3(-50, 0, 0)), 1);
    EXPECT_EQ(world.level.GetRoomAt(Vec3(9.99f, 0, 0)), 1);
    EXPECT_EQ(world.level.GetRoomAt(Vec3(10, 0, 0)), 2) << "on a room end is the next room";
    EXPECT_EQ(world.level.GetRoomAt(Vec3(24, 0, 0)), 3);
    EXPECT_EQ(world.level.GetRoomAt(Vec3(1000, 0, 0)), 4);

    // The room templates themselves never move.
    EXPECT_EQ(R("mid")->GetObjects()[0]->GetTransform()->GetPosition(), Vec3(5, 0, 0));
}

TEST_F(LevelBuild, EveryRoomCopyGetsItsOwnTriggerIdsWithListenersPaired) {
    ASSERT_TRUE(world.level.Build({R("start"), R("mid"), R("mid"), R("end")}));
    const std::vector<Composition*> triggers = All("trigger-obj");
    const std::vector<Composition*> listeners = All("listener-obj");
    ASSERT_EQ(triggers.size(), 5u);
    ASSERT_EQ(listeners.size(), 4u);
    // Start room: 7 -> 0. Each mid copy: 7, then 9 -> the next two numbers.
    EXPECT_EQ(IdOf(triggers[0]), 0u);
    for (int copy = 0; copy < 2; ++copy) {
        const u32 seven = IdOf(triggers[1 + 2 * copy]);
        const u32 nine = IdOf(triggers[2 + 2 * copy]);
        EXPECT_EQ(seven, 1u + 2u * copy);
        EXPECT_EQ(nine, seven + 1);
        EXPECT_EQ(IdOf(listeners[2 * copy]), seven) << "listener stays paired with its trigger";
        EXPECT_EQ(IdOf(listeners[2 * copy + 1]), nine);
    }
    std::set<u32> ids;
    for (Composition* t : triggers) ids.insert(IdOf(t));
    EXPECT_EQ(ids.size(), 5u) << "no two copies share an id";
    EXPECT_EQ(R("mid")->GetObjects()[1]->GetComponentAs<FakePlayerTrigger>()->id, 7) << "templates keep file ids";

    // A new build numbers from 0 again.
    ASSERT_TRUE(world.level.Build({R("start")}));
    EXPECT_EQ(IdOf(All("trigger-obj")[0]), 0u);
}

TEST_F(LevelBuild, SpawnersAreFoundAndMoveTogether) {
    ASSERT_TRUE(world.level.Build({R("start"), R("mid"), R("end")}));
    ASSERT_NE(world.level.GetPlayerSpawner(), nullptr);
    EXPECT_EQ(At(world.level.GetPlayerSpawner()), Vec3(2, 1, 0));
    EXPECT_EQ(world.level.GetCompanionOffset(), Vec3(-2, 0.5f, 1));
    EXPECT_EQ(world.level.GetCameraOffset(), Vec3(-6, 4, -2));

    world.level.MoveSpawners(Vec3(30, 99, -4));
    EXPECT_EQ(At(world.level.GetPlayerSpawner()), Vec3(30, 1, -4)) << "the player's height stays";
    EXPECT_EQ(At(world.level.GetCompanionSpawner()), Vec3(28, 1.5f, -3));
    EXPECT_EQ(At(world.level.GetCameraSpawner()), Vec3(24, 5, -6));

    const std::size_t templates = world.level.GetLevel()->GetObjects().size();
    world.level.Instantiate();
    EXPECT_EQ(world.objects.GetLiveObjects().size(), templates);
    world.level.Instantiate();
    EXPECT_EQ(world.objects.GetLiveObjects().size(), 2 * templates) << "templates stay for the next start";
}

TEST_F(LevelBuild, BadLevelsAreRefusedAndLeaveNoLevel) {
    world.level.SetTitle("Vault");
    const std::pair<std::vector<RoomInstance*>, const char*> cases[] = {
        {{}, "Level 'Vault': the layout has no rooms; the level is refused"},
        {{R("start"), R("blind"), R("end")},
         "Level 'Vault': room [blind] has no exit but is room 2 of 3; the level is refused"},
        {{R("bare-start"), R("end")},
         "Level 'Vault' lacks the spawner 'spawner-Luvo', 'spawner-camera'; the level is refused"},
        {{R("wall")}, "Level 'Vault' lacks the spawner 'spawner-Luvo', 'spawner-qil-obj', 'spawner-camera'"},
    };
    for (const auto& [rooms, line] : cases) {
        ASSERT_TRUE(world.level.Build({R("start"), R("end")}));
        EXPECT_FALSE(world.level.Build(rooms)) << line;
        EXPECT_TRUE(world.Logged(line)) << world.log;
        EXPECT_EQ(world.level.GetLevel(), nullptr);
        EXPECT_EQ(world.level.GetRoomCount(), 0);
        EXPECT_EQ(world.level.GetRoomAt(Vec3(100, 0, 0)), 1);
        world.level.MoveSpawners(Vec3(1, 2, 3));
        world.level.Instantiate();
        EXPECT_TRUE(world.objects.GetLiveObjects().empty());
    }
    // One room only: not moved, its exit is its room end.
    ASSERT_TRUE(world.level.Build({R("start")}));
    EXPECT_EQ(world.level.GetRoomEnds(), (std::vector<float>{10}));
}

TEST(LevelFromPalette, GenerateLayoutBuildsFromThePaletteOrRefuses) {
    LevelWorld files({
        {"start.xrm", PortalRoom(0, kNone, 10, Spawners())},
        {"mid.xrm", PortalRoom(1, 0, 8)},
        {"end.xrm", PortalRoom(0, 0, kNone)},
        {"temple.rmp", "name: Deep-Vault ordered start random 1 1 mid ordered end"},
        {"no-spawners.rmp", "ordered mid end"},
        {"broken.rmp", "ordered start random 2 1 mid ordered end"},
        {"title-only.rmp", "name: Empty"},
        {"blind.xrm", PortalRoom(0, kNone, kNone)},
        {"blind-vault.rmp", "ordered start blind end"},
    });
    EXPECT_TRUE(files.game.GenerateLayout("temple")) << files.log;
    EXPECT_EQ(files.level.GetRoomCount(), 3);
    EXPECT_EQ(files.level.GetTitle(), "Deep Vault");
    EXPECT_EQ(files.level.GetRoomEnds(), (std::vector<float>{10, 18}));
    EXPECT_EQ(files.game.GetRefusal(), "");
    // Why each is refused, first cause first, for the screen that says so.
    const std::pair<const char*, const char*> refusals[] = {
        {"no-spawners", "the level lacks the spawner 'spawner-Luvo', 'spawner-qil-obj', 'spawner-camera'"},
        {"broken", "random group has min > max (2 > 1)"},
        {"title-only", "the layout has no rooms"},
        {"blind-vault", "Room [blind] has no entrance or exit"},
    };
    for (const auto& [refused, why] : refusals) {
        EXPECT_FALSE(files.game.GenerateLayout(refused)) << refused;
        EXPECT_EQ(files.level.GetLevel(), nullptr) << refused;
        EXPECT_NE(files.game.GetRefusal().find(why), std::string::npos) << refused << ": " << files.game.GetRefusal();
    }
    ASSERT_TRUE(files.game.GenerateLayout("temple"));
    EXPECT_TRUE(files.game.GenerateLayout("unknown")) << "the previous palette's rooms are laid out";
    EXPECT_EQ(files.level.GetRoomCount(), 3);
}

}  // namespace
}  // namespace Ostrel
