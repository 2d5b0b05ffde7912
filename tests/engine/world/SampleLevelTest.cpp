// The shipped sample levels build: every palette of the level order lays out
// into a chained level with its spawners; every level but the last (whose
// fight ends the game) closes with its goal.
#include "LevelWorld.h"

#include "engine/core/Random.h"
#include "engine/core/TransformComponent.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>

namespace Ostrel {
namespace {

using namespace LevelTest;

TEST(SampleLevel, EveryShippedPaletteBuildsAPlayableLevel) {
    const std::string rsc = std::string(LV_SOURCE_DIR) + "/rsc";
    std::vector<std::string> archetypes;
    for (const auto& entry : std::filesystem::directory_iterator(rsc + "/objects"))
        if (entry.path().extension() == ".xobj") archetypes.push_back(entry.path().string());
    LevelWorld world({}, rsc, archetypes);
    std::vector<std::string> order;
    SerializerXML(true).LoadLevelOrder(rsc + "/levels/levels.xlod", order);
    ASSERT_FALSE(order.empty());
    for (const std::string& palette : order) {
        ASSERT_TRUE(world.palettes.Has(palette)) << palette;
        for (unsigned seed : {1u, 2u, 3u, 77u}) {
            SRand(seed);
            ASSERT_TRUE(world.game.GenerateLayout(palette)) << palette << "\n" << world.log;
            EXPECT_GE(world.level.GetRoomCount(), 2) << palette;
            EXPECT_EQ(world.rooms.GetStartRoom()->GetName(), "room-start");
            if (palette == order.back()) continue;
            // The end room closes the level: its goal is the level's last
            // (only lanterns and trims, which dress a room, come after it).
            const auto& objects = world.level.GetLevel()->GetObjects();
            auto goal = std::find_if(objects.rbegin(), objects.rend(), [](const auto& object) {
                const std::string& name = object->GetName();
                return name.find("lantern") == std::string::npos && name != "wall-trim-obj";
            });
            ASSERT_NE(goal, objects.rend()) << palette;
            EXPECT_EQ((*goal)->GetName(), "goal-obj") << palette << ": the end room closes the level";
            EXPECT_GT((*goal)->GetTransform()->GetPosition().x, world.level.GetRoomEnds().back());
        }
    }
    EXPECT_EQ(world.level.GetTitle(), "Fox Arena");
    EXPECT_EQ(world.log.find("refused"), std::string::npos) << world.log;
}

}  // namespace
}  // namespace Ostrel
