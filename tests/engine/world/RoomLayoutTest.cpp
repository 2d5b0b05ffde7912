#include "engine/world/RoomLayout.h"

#include "LevelWorld.h"

#include "engine/core/Random.h"

#include <gtest/gtest.h>

#include <deque>

namespace Ostrel {
namespace {

using namespace LevelTest;

// Spawners, so that the built level is accepted.
std::string SpawnerStartRoom() {
    return PortalRoom(0, kNone, 10,
                      Object("spawner-Luvo", 0, 1, 0) + Object("spawner-qil-obj", -2, 1, 0) +
                          Object("spawner-camera", -5, 4, 0));
}

// Rand answers from the list, then 16384.
class ScriptedRand {
public:
    explicit ScriptedRand(std::deque<int> values) : m_values(std::move(values)) {
        SetRandSourceForTests([this] {
            if (m_values.empty()) return 16384;
            const int value = m_values.front();
            m_values.pop_front();
            return value;
        });
    }
    ~ScriptedRand() { SetRandSourceForTests({}); }

private:
    std::deque<int> m_values;
};

TEST(RoomLayout, SeededLayoutGivesTheExpectedRoomsAndLeavesThePaletteOrder) {
    LevelWorld world({
        {"room-start.xrm", SpawnerStartRoom()},
        {"room-a.xrm", PortalRoom(3, 0, 10)},
        {"room-b.xrm", PortalRoom(1, 0, 10)},
        {"room-c.xrm", PortalRoom(2, 0, 10)},
        {"room-end.xrm", PortalRoom(0, 0, kNone)},
        {"vault.rmp", "name: Test_Vault\nordered room-start\nrandom 2 4 room-a room-b room-c\nordered room-end"},
    });
    SRand(1);
    ASSERT_TRUE(world.game.GenerateLayout("vault"));
    // Worked out by hand from the generator (seed 1) and the float formula.
    EXPECT_EQ(world.level.GetRoomCount(), 6);
    EXPECT_EQ(world.level.GetTitle(), "Test Vault");
    EXPECT_EQ(world.game.GetReadyCount(), 0u);
    EXPECT_FALSE(world.game.GetRebuild());

    SRand(1);
    world.palettes.Select("vault");
    std::vector<RoomInstance*> sequence;
    ASSERT_TRUE(AppendRoomSequence(world.Groups(), sequence));
    EXPECT_EQ(LevelWorld::Names(sequence),
              (std::vector<std::string>{"room-start", "room-b", "room-c", "room-a", "room-b", "room-end"}));
    sequence.clear();
    ASSERT_TRUE(AppendRoomSequence(world.Groups(), sequence));
    EXPECT_EQ(LevelWorld::Names(sequence), (std::vector<std::string>{"room-start", "room-b", "room-c", "room-end"}));
    EXPECT_EQ(LevelWorld::Names(world.Groups()[1]->rooms),
              (std::vector<std::string>{"room-a", "room-b", "room-c"}))
        << "the difficulty sort works on a copy";
}

TEST(RoomLayout, SelectionSortIsUnstableAmongEqualDifficulties) {
    RoomInstance a("a"), b("b"), c("c"), d("d");
    a.SetDifficulty(2);
    b.SetDifficulty(1);
    c.SetDifficulty(2);
    d.SetDifficulty(1);
    std::vector<RoomInstance*> rooms{&a, &b, &c, &d};
    SortRoomsByDifficulty(rooms);
    EXPECT_EQ(LevelWorld::Names(rooms), (std::vector<std::string>{"b", "d", "c", "a"}));
}

TEST(RoomLayout, RandomGroupEdgeCases) {
    RoomInstance lo("lo"), hi("hi"), solo("solo"), after("after");
    hi.SetDifficulty(5);
    RoomInstanceGroup pair{kRoomsRandom, 2, 2, {&hi, &lo}};
    RoomInstanceGroup one{kRoomsRandom, 3, 3, {&solo}};
    RoomInstanceGroup none{kRoomsRandom, 0, 0, {&solo}};
    RoomInstanceGroup ordered{kRoomsOrdered, 0, 0, {&after, &solo}};
    RoomInstanceGroup other{7, 1, 1, {&solo}};
    auto layout = [](std::vector<RoomInstanceGroup*> groups) {
        std::vector<RoomInstance*> out;
        EXPECT_TRUE(AppendRoomSequence(groups, out));
        return LevelWorld::Names(out);
    };
    {
        // Both picks aim at index 0 (all draws -1): the second takes index 1.
        ScriptedRand rand({0, 0, 0, 0, 0, 0, 0});
        EXPECT_EQ(layout({&pair}), (std::vector<std::string>{"lo", "hi"}));
    }
    {
        // Both picks land on the last index (all draws +1): the repeat wraps to 0.
        ScriptedRand rand({0, 32767, 32767, 32767, 32767, 32767, 32767});
        EXPECT_EQ(layout({&pair}), (std::vector<std::string>{"hi", "lo"}));
    }
    EXPECT_EQ(layout({&one}), (std::vector<std::string>{"solo", "solo", "solo"})) << "a one-room group repeats";
    EXPECT_TRUE(layout({&none}).empty()) << "min = max = 0 adds nothing";
    EXPECT_EQ(layout({&other, &none, &ordered}), (std::vector<std::string>{"after", "solo"}));

    // The pick count is Rand() % (max - min + 1) + min.
    RoomInstanceGroup range{kRoomsRandom, 1, 3, {&solo}};
    ScriptedRand rand({5});  // 5 % 3 + 1 = 3
    EXPECT_EQ(layout({&range}).size(), 3u);
}

TEST(RoomLayout, PickRoomIndexAimsAlongTheListWithClampedNoise) {
    {
        ScriptedRand rand({16384, 16384, 16384});  // each draw 1/32767 above 0
        EXPECT_EQ(PickRoomIndex(5, 2, 4), 2);      // 0.5 * 4 + 0.5
        EXPECT_EQ(PickRoomIndex(1, 0, 3), 0);
    }
    {
        ScriptedRand rand({0, 0, 0});  // mean -1: 3/4 * 4 - 4 + 0.5 = -0.5, truncated to 0
        EXPECT_EQ(PickRoomIndex(5, 3, 4), 0);
    }
    {
        ScriptedRand rand({32767, 32767, 32767});  // mean +1: 3 + 4 + 0.5, clamped
        EXPECT_EQ(PickRoomIndex(5, 3, 4), 4);
    }
    {
        // Draws order: r1 + r2 first. 0, 32767, 24576 give (-1 + 1 + 0.5) / 3 * 9.
        ScriptedRand rand({0, 32767, 24576});
        EXPECT_EQ(PickRoomIndex(10, 1, 3), 5);  // 3 + 1.50004 + 0.5 = 5.00004
    }
}

TEST(RoomLayout, GroupsThatCannotBeDrawnFromEndTheLayout) {
    LevelWorld world({});
    RoomInstance room("room");
    RoomInstanceGroup first{kRoomsOrdered, 0, 0, {&room}};
    RoomInstanceGroup inverted{kRoomsRandom, 3, 1, {&room}};
    RoomInstanceGroup empty{kRoomsRandom, 1, 1, {}};
    RoomInstanceGroup huge{kRoomsRandom, 0, 2000000000, {&room}};
    for (RoomInstanceGroup* bad : {&inverted, &empty, &huge}) {
        std::vector<RoomInstance*> out;
        EXPECT_FALSE(AppendRoomSequence({&first, bad}, out));
        EXPECT_EQ(out.size(), 1u);
    }
    EXPECT_TRUE(world.Logged("Room layout: random group has min > max (3 > 1); the layout is refused")) << world.log;
    EXPECT_TRUE(world.Logged("Room layout: random group has no rooms")) << world.log;
}

}  // namespace
}  // namespace Ostrel
