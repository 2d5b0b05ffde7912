#include "tests/game/GameFixture.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/core/Random.h"
#include "engine/io/SerializerLevelSave.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "game/bosses/BirdBossComponent.h"
#include "game/bosses/FoxBossAIAction.h"
#include "game/bosses/FoxBossComponent.h"
#include "game/bosses/FoxBossRockShowerAction.h"
#include "game/bosses/FoxManagerComponent.h"
#include "game/bosses/FoxTileComponent.h"
#include "game/bosses/TailSlamAction.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>

namespace Vandle::GameTest::FoxBossTest {
namespace {

const char kFoxArena[] = R"(
<arena-player-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <PlayerComponent/>
</arena-player-obj>
<fox-boss-obj>
    <TransformComponent><PosX>5</PosX></TransformComponent>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static><CollideWithStatics>1</CollideWithStatics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <ShadowComponent><ScaleX>2</ScaleX><ScaleZ>2</ScaleZ></ShadowComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>100</Health></HealthComponent>
    <FoxBossComponent>
        <MoveTime>1</MoveTime><SlamsBetweenRests>2</SlamsBetweenRests><TailFlourishAnimLength>0.5</TailFlourishAnimLength>
        <TailBurrowAnimLength>0.5</TailBurrowAnimLength><TailSlamAnimLength>0.5</TailSlamAnimLength>
        <DigUpAnimLength>0.5</DigUpAnimLength><LookAroundAnimLength>0.5</LookAroundAnimLength><Damage>3</Damage>
    </FoxBossComponent>
</fox-boss-obj>
<fox-boss-second-obj>
    <TransformComponent/><MessageComponent/>
    <FoxBossComponent><FirstFox>0</FirstFox></FoxBossComponent>
</fox-boss-second-obj>
<fox-tile-obj><TransformComponent/><FoxTileComponent><MinAngle>-90</MinAngle><MaxAngle>90</MaxAngle></FoxTileComponent></fox-tile-obj>
<fox-manager-obj><TransformComponent/><MessageComponent/><FoxManagerComponent><TotalFoxNumber>2</TotalFoxNumber></FoxManagerComponent></fox-manager-obj>
<fox-boss-projectile-obj><TransformComponent/><MovementComponent><VelY>5</VelY><Gravity>0</Gravity></MovementComponent></fox-boss-projectile-obj>
<fox-boss-tremor-obj><TransformComponent/><MovementComponent><VelX>30</VelX><Gravity>0</Gravity><Drag>0</Drag></MovementComponent></fox-boss-tremor-obj>
<fox-boss-tremor-trail-obj><TransformComponent/><MessageComponent/><BrainComponent/></fox-boss-tremor-trail-obj>
<fox-boss-tail-mound-fx-obj><TransformComponent/><MessageComponent/><BrainComponent/></fox-boss-tail-mound-fx-obj>
<fox-boss-mound-fx-obj><TransformComponent/><MessageComponent/><BrainComponent/></fox-boss-mound-fx-obj>
<plain-obj><TransformComponent/><MessageComponent/><BrainComponent/></plain-obj>
<damage-enemy-fx><TransformComponent/></damage-enemy-fx>
)";

// A step that sums exactly in floats, so the section ends are exact.
constexpr f32 kStep = 0.0625f;

std::vector<Composition*> AllNamed(const ObjectManager& objects, const std::string& name) {
    std::vector<Composition*> found;
    for (u32 id : objects.GetLiveObjects())
        if (Composition* object = objects.GetObject(id); object->GetName() == name) found.push_back(object);
    return found;
}

template <class A>
A* FindAction(Composition* object) {
    for (IAction* action : object->GetComponentAs<BrainComponent>()->GetActionList()->Actions())
        if (auto* found = dynamic_cast<A*>(action)) return found;
    return nullptr;
}

f32 YawOf(const Vec3& velocity) { return std::atan2(-velocity.x, -velocity.z) * 57.29578f; }

f32 AngleBetween(f32 a, f32 b) {
    f32 d = std::fmod(a - b + 540.0f, 360.0f) - 180.0f;
    return d;
}

TEST(FoxRockShower, RingsHoldMoreRocksFartherOutAndSpreadThemOverTheArc) {
    GameFixture world(kFoxArena);
    world.RecordGlobal({"CameraShake"});
    Composition* thrower = world.Spawn("plain-obj", Vec3(1, 2, 3));
    struct Row {
        f32 radius, minRadius, maxRadius;
        s32 count;
    };
    for (const Row& row : {Row{34.5f, 5, 64, 12}, Row{5, 5, 64, 5}, Row{64, 5, 64, 20}, Row{4.9f, 5, 64, 0},
                           Row{64.1f, 5, 64, 0}, Row{10, 10, 10, 20}, Row{9, 10, 10, 0}}) {
        FoxBossRockShowerAction ring;
        ring.SetRocks(5, 20);
        ring.SetRadiusLimits(row.minRadius, row.maxRadius);
        ring.SetRadius(row.radius);
        EXPECT_EQ(ring.RockCount(), row.count) << row.radius << " in " << row.minRadius << ".." << row.maxRadius;
    }

    auto* ring = new FoxBossRockShowerAction;
    ring->SetRocks(5, 5);
    ring->SetRadius(20);
    world.AddAction(thrower, ring);
    EXPECT_EQ(world.SentTo(0u), (std::vector<std::string>{"CameraShake(0.5, 75, 2.5)"})) << "shaken when queued";
    world.Step(kStep);
    const std::vector<Composition*> rocks = AllNamed(world.objects, "fox-boss-projectile-obj");
    ASSERT_EQ(rocks.size(), 5u);
    const f32 yaws[] = {-90, -54, -18, 18, 54};
    for (size_t i = 0; i < rocks.size(); ++i) {
        const Vec3 v = rocks[i]->GetComponentAs<MovementComponent>()->GetVelocity();
        EXPECT_NEAR(rocks[i]->GetTransform()->GetRotation().y, yaws[i], 1e-3f);
        EXPECT_NEAR(YawOf(v), yaws[i], 1e-3f);
        EXPECT_NEAR(std::hypot(v.x, v.z), 20.0f, 1e-3f) << "the radius in one second";
        EXPECT_EQ(v.y, 5.0f) << "the archetype's own";
        EXPECT_EQ(GameFixture::PositionOf(rocks[i]), Vec3(1, 2, 3));
    }
}

TEST(FoxTailSlam, ShakesPlaysAndSendsATremorAlongTheFacingWithItsTrail) {
    GameFixture world(kFoxArena);
    world.RecordGlobal({"CameraShake", "PlaySound"});
    Composition* fox = world.Spawn("plain-obj", Vec3(0, 0, 0));
    fox->GetTransform()->Rotation().y = 90.0f;
    world.AddAction(fox, new TailSlamAction);
    world.Step(kStep);
    EXPECT_EQ(world.SentTo(0u),
              (std::vector<std::string>{"CameraShake(0.25, 75, 1)", "PlaySound(fox-slam-sfx)"}));
    const std::vector<Composition*> tremors = AllNamed(world.objects, "fox-boss-tremor-obj");
    ASSERT_EQ(tremors.size(), 1u);
    const Vec3 v = tremors[0]->GetComponentAs<MovementComponent>()->GetVelocity();
    EXPECT_NEAR(v.x, -30.0f, 1e-4f);
    EXPECT_NEAR(v.z, 0.0f, 1e-4f);
    tremors[0]->GetTransform()->SetPosition(Vec3(-7, 0, 1));
    world.Step(kStep);
    const std::vector<Composition*> trails = AllNamed(world.objects, "fox-boss-tremor-trail-obj");
    ASSERT_EQ(trails.size(), 1u);
    EXPECT_EQ(GameFixture::PositionOf(trails[0]), Vec3(-7, 0, 1)) << "the trail keeps to the tremor";
}

// The fox arena: the player at the origin, one emerge tile at (0, 0, 30)
// facing 180, a manager for two foxes, and the first fox at (5, 0, 0).
struct FoxArena {
    explicit FoxArena(bool startFight = true) : world(kFoxArena) {
        SRand(4);
        world.RecordGlobal({"PlaySound", "CameraShake", "PlayBackgroundSound", "BossHealthChanged", "InitiateVictory"});
        player = world.Spawn("arena-player-obj", Vec3(0, 0, 0));
        tile = world.Spawn("fox-tile-obj", Vec3(0, 0, 30))->GetId();
        world.objects.GetObject(tile)->GetTransform()->Rotation().y = 180.0f;
        Composition* keeper = world.Spawn("fox-manager-obj", Vec3(0, 0, 0));
        manager = keeper->GetComponentAs<FoxManagerComponent>();
        if (startFight) keeper->Send("TriggerFired");
        animations.AddAnimSet("foxtail-attack-anim")->duration = 1.5f;
        boss = world.Spawn("fox-boss-obj");
        bossId = boss->GetId();
        ai = FindAction<FoxBossAIAction>(boss);
    }
    // Steps until the AI's above-ground flag is the wanted one (at most 400
    // steps); answers the steps taken.
    int RunUntilAbove(bool above) {
        int steps = 0;
        while (ai->IsAboveGround() != above && steps < 400) {
            world.Step(kStep);
            ++steps;
        }
        return steps;
    }
    f32 Scale() const { return boss->GetTransform()->GetScale().x; }
    f32 ShadowScale() const { return boss->GetComponentAs<ShadowComponent>()->GetScale().x; }
    f32 OffsetZ() const { return boss->GetComponentAs<CollisionComponent>()->GetOffset().z; }

    AnimationManager animations;
    GameFixture world;
    Composition* player = nullptr;
    Composition* boss = nullptr;
    u32 bossId = 0;
    u32 tile = 0;
    FoxManagerComponent* manager = nullptr;
    FoxBossAIAction* ai = nullptr;
};

TEST(FoxBossAI, BurrowsAtOnceThenTailAttacksThenEmergesAtALentTileAndBurrowsAgain) {
    FoxArena arena;
    GameFixture& world = arena.world;
    ASSERT_NE(arena.ai, nullptr);
    EXPECT_EQ(world.Count("PlayBackgroundSound(boss-battle-bgm)"), 1);
    const f32 halfDepth = 0.5f * arena.boss->GetComponentAs<CollisionComponent>()->GetVolume().size.z;
    ASSERT_GT(halfDepth, 0.0f);

    // The first pass dives: the burrow, which ends in the tail form.
    world.Step(kStep);
    EXPECT_FALSE(arena.ai->IsAboveGround());
    EXPECT_EQ(arena.ai->GetSlamCounter(), 1);
    EXPECT_NEAR(arena.ShadowScale(), 2.0f / 3.25f, 1e-5f);
    EXPECT_FALSE(arena.boss->GetComponentAs<ShadowComponent>()->IsVisible());
    int steps = 0;
    while (arena.Scale() == 1.0f && steps++ < 40) world.Step(kStep);
    EXPECT_FLOAT_EQ(arena.Scale(), 3.25f);
    EXPECT_EQ(world.Count("PlaySound(fox-burrow-sfx)"), 1);

    // Underground from here: the pass of the burrow counted 0.0625 s, this
    // step's pass 0.125 s and began a section; sections end at 0.375, 0.625,
    // 0.875 and 1.125 s, the first strictly past 1 s: 16 steps on.
    EXPECT_EQ(arena.RunUntilAbove(true), 16);
    EXPECT_EQ(arena.ai->GetSlamCounter(), 1) << "a tail attack";
    EXPECT_TRUE(arena.boss->GetComponentAs<ShadowComponent>()->IsVisible());
    EXPECT_NEAR(arena.OffsetZ(), -halfDepth, 1e-5f);
    EXPECT_EQ(arena.boss->GetComponentAs<MeshComponent>()->GetMeshId(), "boxfox-tail-mesh");
    EXPECT_EQ(AllNamed(world.objects, "fox-boss-tail-mound-fx-obj").size(), 1u);
    EXPECT_FLOAT_EQ(arena.ai->GetSlamRate(), 3.0f) << "1.5 s of clip played in 0.5 s";
    EXPECT_FLOAT_EQ(arena.ai->GetDigUpRate(), 1.0f) << "a missing clip plays at 1.0";

    world.sent.clear();
    arena.RunUntilAbove(false);
    EXPECT_EQ(world.Count("PlaySound(fox-slam-sfx)"), 3);
    EXPECT_EQ(world.Count("CameraShake(0.25, 75, 1)"), 3);
    std::vector<Composition*> tremors = AllNamed(world.objects, "fox-boss-tremor-obj");
    ASSERT_EQ(tremors.size(), 3u);
    const f32 facing = YawOf(tremors[0]->GetComponentAs<MovementComponent>()->GetVelocity());
    EXPECT_NEAR(AngleBetween(YawOf(tremors[1]->GetComponentAs<MovementComponent>()->GetVelocity()), facing), 45.0f,
                1e-3f);
    EXPECT_NEAR(AngleBetween(YawOf(tremors[2]->GetComponentAs<MovementComponent>()->GetVelocity()), facing), -45.0f,
                1e-3f);
    EXPECT_NEAR(AngleBetween(facing, YawOf(Vec3(-5, 0, 0))), 0.0f, 1e-3f) << "faces the player";
    EXPECT_EQ(AllNamed(world.objects, "fox-boss-tremor-trail-obj").size(), 3u);
    EXPECT_EQ(arena.ai->GetSlamCounter(), 2);
    EXPECT_NEAR(arena.OffsetZ(), 0.0f, 1e-5f) << "the tail retracted";
    world.Step(kStep);
    EXPECT_TRUE(AllNamed(world.objects, "fox-boss-tail-mound-fx-obj").empty());

    // The second tail attack, then the emergence at the tile.
    arena.RunUntilAbove(true);
    arena.RunUntilAbove(false);
    EXPECT_EQ(world.Count("PlaySound(fox-slam-sfx)"), 6);
    EXPECT_EQ(world.Count("CameraShake(0.5, 75, 2.5)"), 0) << "no emergence before SlamsBetweenRests tail attacks";
    EXPECT_EQ(arena.ai->GetSlamCounter(), 0);
    arena.RunUntilAbove(true);
    EXPECT_EQ(arena.ai->GetHeldTile(), arena.tile);
    EXPECT_TRUE(arena.manager->GetFreePoints().empty());
    EXPECT_EQ(GameFixture::PositionOf(arena.boss), Vec3(0, 0, 30));
    EXPECT_EQ(arena.boss->GetTransform()->GetRotation().y, 180.0f);
    EXPECT_FLOAT_EQ(arena.Scale(), 1.0f);
    EXPECT_FLOAT_EQ(arena.ShadowScale(), 2.0f);
    const std::vector<Composition*> mounds = AllNamed(world.objects, "fox-boss-mound-fx-obj");
    ASSERT_EQ(mounds.size(), 1u);
    EXPECT_NEAR(GameFixture::PositionOf(mounds[0]).z, 27.0f, 1e-4f) << "3 ahead of the tile's facing";
    EXPECT_EQ(world.Count("CameraShake(0.5, 75, 2.5)"), 3) << "the three rings shake when queued";
    arena.RunUntilAbove(false);
    // Rings at 30, 45 and 15 of 5..64 hold 11, 15 and 7 rocks.
    EXPECT_EQ(AllNamed(world.objects, "fox-boss-projectile-obj").size(), 33u);
    EXPECT_EQ(world.Count("PlaySound(fox-boss-pant-sfx)"), 1);
    EXPECT_EQ(arena.manager->GetFreePoints(), std::vector<u32>{arena.tile}) << "released at the burrow";
    EXPECT_EQ(arena.ai->GetHeldTile(), 0u);
    EXPECT_EQ(arena.ai->GetSlamCounter(), 1);
}

TEST(FoxBossAI, ABossGoneWhileEmergedGivesItsTileBackAndTakesItsMound) {
    FoxArena arena;
    GameFixture& world = arena.world;
    // Straight to the emergence: the counter is 0 after a full cycle.
    for (int surfacing = 0; surfacing < 3; ++surfacing) {
        arena.RunUntilAbove(true);
        arena.RunUntilAbove(false);
    }
    arena.RunUntilAbove(true);
    ASSERT_EQ(arena.ai->GetHeldTile(), arena.tile);
    ASSERT_NE(arena.ai->GetMound(), 0u);
    const u32 mound = arena.ai->GetMound();
    world.objects.DestroyObject(arena.bossId);
    world.Step(kStep);
    world.Step(kStep);
    EXPECT_EQ(arena.manager->GetFreePoints(), std::vector<u32>{arena.tile});
    EXPECT_TRUE(arena.manager->GetUsedPoints().empty());
    EXPECT_FALSE(world.Alive(mound));
}

// Quitting or retrying mid-fight clears the whole level: the boss and its
// mound are queued together, and the boss's ending must not queue the mound
// a second time (the object manager would log a double delete).
TEST(FoxBossAI, ALevelClearedWhileTheMoundStandsDestroysEachObjectOnce) {
    FoxArena arena;
    GameFixture& world = arena.world;
    arena.RunUntilAbove(false);
    for (int step = 0; step < 400 && arena.ai->GetMound() == 0; ++step) world.Step(kStep);
    const u32 mound = arena.ai->GetMound();
    ASSERT_NE(mound, 0u);
    world.objects.DestroyAllObjects();
    testing::internal::CaptureStderr();
    world.Step(kStep);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("double delete"), std::string::npos) << log;
    EXPECT_FALSE(world.Alive(mound));
    EXPECT_TRUE(world.objects.GetLiveObjects().empty());
}

TEST(FoxBossAI, WithNoTileToBorrowItEmergesWhereItIsAndThrowsOverTheDefaultArc) {
    FoxArena arena(false);  // the fight never started: nothing to lend
    GameFixture& world = arena.world;
    for (int surfacing = 0; surfacing < 3; ++surfacing) {
        arena.RunUntilAbove(true);
        arena.RunUntilAbove(false);
    }
    const Vec3 here = GameFixture::PositionOf(arena.boss);
    arena.RunUntilAbove(true);
    EXPECT_EQ(arena.ai->GetHeldTile(), 0u);
    EXPECT_EQ(GameFixture::PositionOf(arena.boss), here);
    world.Step(kStep);
    arena.RunUntilAbove(false);
    world.Step(kStep);
    const std::vector<Composition*> rocks = AllNamed(world.objects, "fox-boss-projectile-obj");
    ASSERT_FALSE(rocks.empty());
    EXPECT_NEAR(rocks.front()->GetTransform()->GetRotation().y, -90.0f, 1e-3f);
    EXPECT_TRUE(arena.manager->GetFreePoints().empty()) << "nothing, and never 0, was given back";
}

TEST(FoxManager, LendsEachTileOnceAndNeverZeroAndCountsOnlyFoxBosses) {
    GameFixture world(kFoxArena);
    world.RecordGlobal({"PlayBackgroundSound", "InitiateVictory"});
    Composition* keeper = world.Spawn("fox-manager-obj", Vec3(0, 0, 0));
    auto* manager = keeper->GetComponentAs<FoxManagerComponent>();
    CoreSystem& core = world.core;
    u32 out = 77;
    core.SendMessageUIntPtr("GetFoxEmergePoint", &out);
    EXPECT_EQ(out, 77u) << "nothing to lend before the start: untouched";
    const u32 a = world.Spawn("fox-tile-obj", Vec3(1, 0, 0))->GetId();
    const u32 b = world.Spawn("fox-tile-obj", Vec3(2, 0, 0))->GetId();
    keeper->Send("TriggerFired");
    keeper->Send("TriggerFired");  // a second firing lists nothing twice
    EXPECT_EQ(manager->GetFreePoints().size(), 2u);
    EXPECT_EQ(world.Count("PlayBackgroundSound(boss-battle-bgm)"), 2);

    u32 first = 0, second = 0, third = 0;
    core.SendMessageUIntPtr("GetFoxEmergePoint", &first);
    core.SendMessageUIntPtr("GetFoxEmergePoint", &second);
    core.SendMessageUIntPtr("GetFoxEmergePoint", &third);
    EXPECT_TRUE((first == a && second == b) || (first == b && second == a));
    EXPECT_EQ(third, 0u) << "all lent: the caller's 0 stays";
    keeper->Send("TriggerFired");
    EXPECT_TRUE(manager->GetFreePoints().empty()) << "lent tiles are not listed again";

    core.SendMessageUInt("ReleaseFoxEmergePoint", 0u);
    core.SendMessageUInt("ReleaseFoxEmergePoint", keeper->GetId());  // no tile
    core.SendMessageUInt("ReleaseFoxEmergePoint", 9999u);  // no object
    EXPECT_TRUE(manager->GetFreePoints().empty());
    core.SendMessageUInt("ReleaseFoxEmergePoint", first);
    core.SendMessageUInt("ReleaseFoxEmergePoint", first);
    EXPECT_EQ(manager->GetFreePoints(), std::vector<u32>{first});
    EXPECT_EQ(manager->GetUsedPoints(), std::vector<u32>{second});
    core.SendMessageUIntPtr("GetFoxEmergePoint", &third);
    EXPECT_EQ(third, first) << "a released tile is lent again";

    // Two fox bosses destroyed end the fight; other objects count nothing.
    world.objects.DestroyObject(world.Spawn("plain-obj", Vec3(0, 0, 0))->GetId());
    world.objects.DestroyObject(world.Spawn("fox-boss-second-obj", Vec3(0, 0, 0))->GetId());
    world.Step(kStep);
    EXPECT_EQ(world.Count("InitiateVictory()"), 0);
    world.objects.DestroyObject(world.Spawn("fox-boss-second-obj", Vec3(0, 0, 0))->GetId());
    world.Step(kStep);
    world.objects.DestroyObject(world.Spawn("fox-boss-second-obj", Vec3(0, 0, 0))->GetId());
    world.Step(kStep);
    const std::vector<std::string> global = world.SentTo(0u);
    ASSERT_GE(global.size(), 2u);
    EXPECT_EQ(global[global.size() - 2], "PlayBackgroundSound(battle-bgm)");
    EXPECT_EQ(global.back(), "InitiateVictory()");
    EXPECT_EQ(world.Count("InitiateVictory()"), 1) << "once";
    EXPECT_EQ(manager->GetTotalFoxNumber(), 0);
}

TEST(FoxBoss, ReportsHurtsAndBringsTheSecondFoxOnEachDownwardCrossingOfOneHalf) {
    FoxArena arena;
    GameFixture& world = arena.world;
    const std::vector<std::string> start = world.SentTo(0u);
    EXPECT_NE(std::find(start.begin(), start.end(), "PlaySound(fox-boss-spawn-sfx)"), start.end());
    EXPECT_EQ(start.back(), "BossHealthChanged(ui-fox0, 1)");

    world.Record(arena.player, {"DamagePlayer", "KnockbackPlayer"});
    CollisionData contact;
    contact.other = arena.player->GetId();
    SendObjectMessageValues(arena.boss, "CollisionData", contact);
    arena.player->GetTransform()->SetPosition(Vec3(5, 4, 0));
    SendObjectMessageValues(arena.boss, "CollisionData", contact);
    EXPECT_EQ(world.SentTo(arena.player), (std::vector<std::string>{"KnockbackPlayer((-40, 0, 0))",
                                                                    "DamagePlayer(3, 0.5)", "DamagePlayer(3, 0.5)"}));

    auto hit = [&](f32 damage) { SendObjectMessageFloat(arena.boss, "TakeDamage", damage); };
    hit(40);  // 0.6: no second fox yet
    EXPECT_TRUE(AllNamed(world.objects, "fox-boss-second-obj").empty());
    world.sent.clear();
    hit(10);  // exactly 0.5
    std::vector<Composition*> seconds = AllNamed(world.objects, "fox-boss-second-obj");
    ASSERT_EQ(seconds.size(), 1u);
    EXPECT_EQ(GameFixture::PositionOf(seconds[0]), Vec3(0, 0, 30)) << "at the borrowed tile";
    EXPECT_EQ(arena.manager->GetFreePoints(), std::vector<u32>{arena.tile}) << "given back at once";
    EXPECT_EQ(world.Count("BossHealthChanged(ui-fox1, 1)"), 1) << "the second fox's bar";
    EXPECT_EQ(world.Count("BossHealthChanged(ui-fox0, 0.5)"), 1);
    hit(5);
    EXPECT_EQ(AllNamed(world.objects, "fox-boss-second-obj").size(), 1u) << "only on the crossing";

    // Healed above one half and down again: another, where the first fox is
    // when no tile is free.
    u32 borrowed = 0;
    world.core.SendMessageUIntPtr("GetFoxEmergePoint", &borrowed);
    ASSERT_EQ(borrowed, arena.tile);
    SendObjectMessageFloatBool(arena.boss, "Heal", 20.0f, false);
    arena.boss->GetTransform()->SetPosition(Vec3(-8, 0, 2));
    hit(20);
    seconds = AllNamed(world.objects, "fox-boss-second-obj");
    ASSERT_EQ(seconds.size(), 2u);
    EXPECT_EQ(GameFixture::PositionOf(seconds[1]), Vec3(-8, 0, 2));
    EXPECT_TRUE(arena.manager->GetFreePoints().empty()) << "no 0 was released";

    world.sent.clear();
    hit(100);
    const std::vector<std::string> death = world.SentTo(0u);
    ASSERT_EQ(death.size(), 3u);
    EXPECT_EQ(death[1], "BossHealthChanged(ui-fox0, 0)");
    EXPECT_EQ(death[2], "PlaySound(fox-boss-death-sfx)");
    world.Step(kStep);
    EXPECT_FALSE(world.Alive(arena.bossId));
    EXPECT_EQ(arena.manager->GetTotalFoxNumber(), 1) << "the manager counted it";
}

TEST(FoxBoss, EditedBossPiecesSurviveARoomRoundTrip) {
    GameFixture world(std::string(kFoxArena) +
                      "<bird-boss-obj><TransformComponent/><BirdBossComponent/></bird-boss-obj>");
    RoomObjects placed(world.factory);
    placed.objects = {world.factory.Create("fox-boss-obj"), world.factory.Create("fox-boss-second-obj"),
                      world.factory.Create("fox-tile-obj"), world.factory.Create("fox-manager-obj"),
                      world.factory.Create("bird-boss-obj")};
    ComponentTest::Panel tile, manager, bird;
    placed.objects[2]->ExposeProperties(&tile);
    placed.objects[3]->ExposeProperties(&manager);
    placed.objects[4]->ExposeProperties(&bird);
    *tile.floats.at("MaxAngle") = 45.0f;
    EXPECT_EQ(manager.Get<int>("TotalFoxNumber"), 2);
    manager.Set<int>("TotalFoxNumber", 3);
    *bird.floats.at("Damage") = 6.0f;
    EXPECT_EQ(std::count(bird.entries.begin(), bird.entries.end(), "string ForceDeadEffect"), 1);

    SerializerLevelSave writer;
    for (Composition* object : placed.objects) writer.WriteObject(*object);
    TiXmlPrinter printer;
    writer.Document().Accept(&printer);
    RoomObjects read(world.factory);
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("trip", printer.CStr(), read));
    ASSERT_EQ(read.objects.size(), 5u);
    EXPECT_EQ(read.objects[0]->GetComponentAs<FoxBossComponent>()->GetSlamsBetweenRests(), 2);
    EXPECT_FALSE(read.objects[1]->GetComponentAs<FoxBossComponent>()->IsFirstFox());
    EXPECT_EQ(read.objects[2]->GetComponentAs<FoxTileComponent>()->GetMinAngle(), -90.0f);
    EXPECT_EQ(read.objects[2]->GetComponentAs<FoxTileComponent>()->GetMaxAngle(), 45.0f);
    EXPECT_EQ(read.objects[3]->GetComponentAs<FoxManagerComponent>()->GetTotalFoxNumber(), 3);
    EXPECT_NE(std::string(printer.CStr()).find("<Damage>6"), std::string::npos);
}

}  // namespace
}  // namespace Vandle::GameTest::FoxBossTest
