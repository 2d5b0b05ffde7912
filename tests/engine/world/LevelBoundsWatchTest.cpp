// The net under the physics: the game's own player, companion and yak with
// the shipped archetypes and physics, on a floor piece of the shipped level
// objects. A body off the level's floors falls and, a few units below them,
// is dealt with once: the player dies by its own flow, an enemy is
// destroyed, the companion is put back beside the player.

#include "tests/game/GameFixture.h"

#include "engine/components/CollisionComponent.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/world/LevelBoundsWatch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace Vandle::GameTest {
namespace {

std::string BoundsShippedText(const std::string& relative) {
    std::ifstream in(std::string(LV_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

PhysicsSettings BoundsShippedPhysics() {
    ConfigureFileXML config(true);
    EXPECT_TRUE(config.Load(std::string(LV_SOURCE_DIR) + "/rsc/physics.xcfg"));
    Physics shipped;
    shipped.LoadConfig(&config);
    return shipped.GetSettings();
}

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class BoundsWorld : public GameFixture {
public:
    BoundsWorld()
        : GameFixture(BoundsShippedText("rsc/objects/level-objects.xobj") +
                          BoundsShippedText("rsc/objects/player-objects.xobj") +
                          BoundsShippedText("rsc/objects/companion-objects.xobj") +
                          BoundsShippedText("rsc/objects/enemy-objects.xobj"),
                      {true, BoundsShippedPhysics()}) {
        // The shipped floor piece: 20 x 1 x 10, its top at 0, x from 0 to 20.
        Spawn("floor-piece-obj", Vec3(10, -0.5f, 0));
        watch.Measure(objects);
        RecordGlobal({"PlayerDeath", "PlayerHealthChanged"});
    }

    // Frames of 1/60 s with the watch's check after each, as the game
    // system runs it while the level plays.
    void Play(float seconds) {
        for (float t = 0.0f; t < seconds; t += 1.0f / 60.0f) {
            Step(1.0f / 60.0f);
            watch.Check(objects);
        }
    }

    LevelBoundsWatch watch;
};

TEST(LevelBoundsWatch, APlayerOffTheFloorsEdgeFallsAndDiesOnceThroughItsOwnFlow) {
    BoundsWorld world;
    EXPECT_TRUE(world.watch.HasLevel());
    EXPECT_FLOAT_EQ(world.watch.GetLowestFloor(), 0.0f);
    EXPECT_TRUE(world.watch.Contains(Vec3(21.9f, 0, 6.9f))) << "within the margin of the level's box";
    EXPECT_FALSE(world.watch.Contains(Vec3(22.1f, 0, 0)));
    EXPECT_FALSE(world.watch.Contains(Vec3(10, -5.1f, 0)));

    Composition* player = world.Spawn("spawner-Luvo", Vec3(19, 1, 0));
    const u32 id = player->GetId();
    world.Play(0.5f);
    EXPECT_TRUE(world.Alive(id)) << "standing on the floor: " << world.log;
    EXPECT_TRUE(world.sent.empty());

    // Walked off the end of the floor.
    player->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(8, 0, 0));
    world.Play(2.0f);
    EXPECT_FALSE(world.Alive(id));
    EXPECT_EQ(world.Count("PlayerDeath(" + std::to_string(id) + " 'spawner-Luvo')"), 1) << world.log;
    EXPECT_EQ(world.Count("PlayerHealthChanged(0)"), 1);
    EXPECT_EQ(Occurrences(world.log, "LevelBoundsWatch: the player 'spawner-Luvo' (object " + std::to_string(id) +
                                         ") left the level at ("),
              1)
        << world.log;
    EXPECT_NE(world.log.find("below its lowest floor; the player dies"), std::string::npos);
}

TEST(LevelBoundsWatch, AnEnemyOutsideIsDestroyedAndACompanionIsPutBackBesideThePlayer) {
    BoundsWorld world;
    Composition* player = world.Spawn("spawner-Luvo", Vec3(5, 1, 0));
    Composition* yak = world.Spawn("yak-obj", Vec3(15, 1, 0));
    const u32 playerId = player->GetId(), yakId = yak->GetId();
    world.Play(0.3f);
    ASSERT_TRUE(world.Alive(playerId) && world.Alive(yakId));

    yak->GetTransform()->SetPosition(Vec3(40, 1, 0));  // beyond the rooms
    world.Play(0.1f);
    EXPECT_FALSE(world.Alive(yakId));
    EXPECT_TRUE(world.Alive(playerId));
    EXPECT_EQ(Occurrences(world.log, "'yak-obj' (object " + std::to_string(yakId) + ") left the level at (40.00"), 1)
        << world.log;
    EXPECT_NE(world.log.find("outside the level's rooms; destroyed"), std::string::npos);
    EXPECT_EQ(world.Count("PlayerDeath(" + std::to_string(playerId) + " 'spawner-Luvo')"), 0);

    // The companion below the floors (a meteor thrown over a corridor's wall
    // lands beyond it) is put back above the player; the player lives.
    Composition* companion = world.Spawn("spawner-qil-obj", Vec3(5, -9, 0));
    companion->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(0, -40, 0));
    world.Play(0.1f);
    EXPECT_TRUE(world.Alive(playerId));
    EXPECT_EQ(world.Count("PlayerDeath(" + std::to_string(playerId) + " 'spawner-Luvo')"), 0);
    EXPECT_TRUE(world.watch.Contains(GameFixture::PositionOf(companion)));
    EXPECT_NEAR(GameFixture::PositionOf(companion).x, GameFixture::PositionOf(player).x, 1.0f);
    EXPECT_NE(world.log.find("the companion 'spawner-qil-obj' (object " + std::to_string(companion->GetId()) +
                             ") left the level at (5.00, -9."),
              std::string::npos)
        << world.log;
    EXPECT_NE(world.log.find("below its lowest floor; it is put back beside the player"), std::string::npos);
    companion->GetTransform()->SetPosition(Vec3(5, -9, 0));
    world.Play(0.1f);
    EXPECT_EQ(Occurrences(world.log, "the companion 'spawner-qil-obj'"), 2) << "each time it leaves";

    // A new level forgets the old one's bodies and extent.
    world.watch.Clear();
    EXPECT_FALSE(world.watch.HasLevel());
    EXPECT_TRUE(world.watch.Contains(Vec3(1000, -1000, 0))) << "no level: nothing is outside";
}

}  // namespace
}  // namespace Vandle::GameTest
