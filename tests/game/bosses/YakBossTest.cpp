#include "tests/game/GameFixture.h"

#include "engine/actions/TimedMoveToAction.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Random.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "game/bosses/YakBossAIAction.h"
#include "game/bosses/YakBossComponent.h"
#include "game/enemies/ChargerAIAction.h"
#include "game/objects/HealthComponent.h"

#include <gtest/gtest.h>

namespace Vandle::GameTest::YakBossTest {
namespace {

const char kArena[] = R"(
<player-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <PlayerComponent/>
</player-obj>
<arena-obj>
    <TransformComponent><PosY>5</PosY><ScaX>60</ScaX><ScaY>10</ScaY><ScaZ>60</ScaZ></TransformComponent>
    <RegionComponent/>
</arena-obj>
<narrow-arena-obj>
    <TransformComponent><PosY>5</PosY><ScaX>2</ScaX><ScaY>10</ScaY><ScaZ>2</ScaZ></TransformComponent>
    <RegionComponent/>
</narrow-arena-obj>
<rock-obj><TransformComponent/><LevelGeometryComponent/></rock-obj>
<tile-obj><TransformComponent/><YakTileComponent><Anything>1</Anything></YakTileComponent></tile-obj>
<yak-boss-obj>
    <TransformComponent><PosZ>10</PosZ></TransformComponent>
    <MovementComponent><Gravity>1</Gravity><Drag>1</Drag></MovementComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <ShadowComponent/>
    <CollisionComponent><CollideWithDynamics>1</CollideWithDynamics><CollideWithStatics>1</CollideWithStatics></CollisionComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>100</Health></HealthComponent>
    <YakBossComponent><WaitTime>3</WaitTime><StunTime>2</StunTime></YakBossComponent>
</yak-boss-obj>
<yak-mini-boss-obj><TransformComponent/><MessageComponent/></yak-mini-boss-obj>
<yak-boss-projectile-obj><TransformComponent/></yak-boss-projectile-obj>
<yak-boss-fx><TransformComponent/></yak-boss-fx>
<damage-enemy-fx><TransformComponent/></damage-enemy-fx>
)";

constexpr f32 kDt = 0.25f;

std::vector<Composition*> Named(const ObjectManager& objects, const std::string& name) {
    std::vector<Composition*> found;
    for (u32 id : objects.GetLiveObjects())
        if (Composition* object = objects.GetObject(id); object->GetName() == name) found.push_back(object);
    return found;
}

template <class A>
A* BrainAction(Composition* object) {
    for (IAction* action : object->GetComponentAs<BrainComponent>()->GetActionList()->Actions())
        if (auto* found = dynamic_cast<A*>(action)) return found;
    return nullptr;
}

bool Shown(Composition* boss) { return boss->GetComponentAs<MeshComponent>()->IsVisible(); }

void Touch(Composition* object, u32 other) {
    CollisionData contact;
    contact.other = other;
    SendObjectMessageValues(object, "CollisionData", contact);
}

// The arena: a player at (0, 0, -20), the region 60 x 10 x 60 around
// (0, 5, 0), a floor below the boss and a wall level with it, two tiles,
// and the head shake 0.9 s long.
struct Arena {
    explicit Arena(const char* region = "arena-obj", bool tiles = true, const std::string& archetypes = kArena,
                   f32 headShake = 0.9f)
        : world(archetypes) {
        if (headShake > 0.0f) animations.AddAnimSet("yak-headshake-anim")->duration = headShake;
        world.RecordGlobal();
        player = world.Spawn("player-obj", Vec3(0, 0, -20));
        if (region) world.Spawn(region);
        floor = world.Spawn("rock-obj", Vec3(0, -1, 0))->GetId();
        wall = world.Spawn("rock-obj", Vec3(0, 0, -30))->GetId();
        if (tiles) {
            tileA = world.Spawn("tile-obj", Vec3(-10, 0, 0))->GetId();
            tileB = world.Spawn("tile-obj", Vec3(10, 0, 0))->GetId();
        }
        boss = world.Spawn("yak-boss-obj");  // home at (0, 0, 10): its place at start
        ai = BrainAction<YakBossAIAction>(boss);
        world.Record(boss, {"ResetDamageTimer", "SetAnimation", "TerminateAction", "BlockMovement",
                            "UnblockMovement", "PauseBossAI", "ResumeBossAI", "TakeDamage"});
    }
    // Steps until the AI charges (at most 20 steps); answers the steps taken.
    int RunToCharge() {
        int steps = 0;
        while (!ai->IsCharging() && steps < 20) {
            world.Step(kDt);
            ++steps;
        }
        return steps;
    }
    int Local(const std::string& text) const {
        int n = 0;
        for (const std::string& s : world.SentTo(boss)) n += s == text ? 1 : 0;
        return n;
    }
    void Hit(f32 damage) { SendObjectMessageFloat(boss, "TakeDamage", damage); }
    f32 Health() const { return boss->GetComponentAs<HealthComponent>()->GetHealth(); }

    AnimationManager animations;
    GameFixture world;
    Composition* player = nullptr;
    Composition* boss = nullptr;
    YakBossAIAction* ai = nullptr;
    u32 floor = 0, wall = 0, tileA = 0, tileB = 0;
};

TEST(YakBossAI, WaitsShakesChargesSlamsIntoAWallAndIsStunnedForTwiceItsStunTime) {
    Arena arena;
    GameFixture& world = arena.world;
    EXPECT_FLOAT_EQ(arena.ai->GetHeadShakeLength(), 0.9f);

    // 3 s of waiting at 0.25 s: "ResetDamageTimer" every step, the head
    // shake when the timer passes 0.9 (step 9), the charge at 0 (step 12).
    EXPECT_EQ(arena.RunToCharge(), 12);
    EXPECT_EQ(arena.Local("ResetDamageTimer()"), 12);
    EXPECT_EQ(world.SentTo(arena.boss).at(9), "SetAnimation(yak-headshake-anim)");
    EXPECT_EQ(arena.Local("SetAnimation(yak-headshake-anim)"), 1);
    world.Step(kDt);
    EXPECT_EQ(arena.Local("SetAnimation(yak-charge-anim)"), 1);
    EXPECT_EQ(arena.Local("ResetDamageTimer()"), 12) << "the charge holds the AI";
    const Vec3 velocity = arena.boss->GetComponentAs<MovementComponent>()->GetVelocity();
    EXPECT_NEAR(velocity.z, -700.0f * kDt, 1e-2f) << "charging at the player along -z";

    // Floor (centre below the boss) is remembered and skipped; a tile is no
    // level geometry.
    Touch(arena.boss, arena.floor);
    Touch(arena.boss, arena.tileA);
    EXPECT_EQ(arena.ai->GetFloorId(), arena.floor);
    EXPECT_TRUE(arena.ai->IsCharging());

    // The wall: shake, rocks, slam sound, the boss's transform kept.
    arena.boss->GetTransform()->SetPosition(Vec3(0, 0, -28));
    const Vec3 rotation = arena.boss->GetTransform()->GetRotation();
    world.sent.clear();
    Touch(arena.boss, arena.wall);
    const std::vector<std::string> global = world.SentTo(0u);
    ASSERT_GE(global.size(), 2u);
    EXPECT_EQ(global.front(), "CameraShake(0.5, 100, 3)");
    EXPECT_EQ(global.back(), "PlaySound(yak-slam-sfx)");
    std::vector<Composition*> rocks = Named(world.objects, "yak-boss-projectile-obj");
    EXPECT_EQ(rocks.size(), 15u);
    for (Composition* rock : rocks) {
        const Vec3 at = GameFixture::PositionOf(rock);
        EXPECT_EQ(at.y, 10.0f) << "from the arena's top";
        EXPECT_TRUE(at.x >= -30 && at.x <= 30 && at.z >= -30 && at.z <= 30) << at.x << " " << at.z;
        EXPECT_EQ(rock->GetTransform()->GetRotation(), Vec3()) << "dropped unturned";
    }
    EXPECT_EQ(GameFixture::PositionOf(arena.boss), Vec3(0, 0, -28));
    EXPECT_EQ(arena.boss->GetTransform()->GetRotation(), rotation);
    const std::vector<std::string> local = world.SentTo(arena.boss);
    ASSERT_EQ(local.size(), 2u);
    EXPECT_EQ(local[0], "BlockMovement()");
    EXPECT_EQ(local[1].rfind("TerminateAction(", 0), 0u) << "the charge ended by its id";
    EXPECT_FALSE(arena.ai->IsCharging());

    // Stunned: both 2 s blocks hold the AI, 16 steps in all; the 17th ends
    // the stun: hidden, released, gliding home in 1 s between two effects.
    for (int i = 0; i < 16; ++i) world.Step(kDt);
    EXPECT_TRUE(Shown(arena.boss));
    EXPECT_EQ(arena.Local("UnblockMovement()"), 0);
    EXPECT_EQ(arena.Local("ResetDamageTimer()"), 0) << "no damage-timer resets while stunned";
    world.Step(kDt);
    EXPECT_FALSE(Shown(arena.boss));
    EXPECT_EQ(arena.Local("UnblockMovement()"), 1);
    world.Step(kDt);
    EXPECT_EQ(Named(world.objects, "yak-boss-fx").size(), 1u) << "where it vanished";
    auto* glide = BrainAction<TimedMoveToAction>(arena.boss);
    ASSERT_NE(glide, nullptr);
    EXPECT_EQ(glide->GetStepVelocity(), (Vec3(0, 0, 10) - Vec3(0, 0, -28)) * 1.0f);
    for (int i = 0; i < 3; ++i) world.Step(kDt);
    EXPECT_EQ(arena.Local("ResetDamageTimer()"), 0) << "the glide holds the AI for 1 s";
    EXPECT_EQ(Named(world.objects, "yak-boss-fx").size(), 1u);
    world.Step(kDt);
    EXPECT_EQ(Named(world.objects, "yak-boss-fx").size(), 2u) << "and at home";
    EXPECT_EQ(arena.Local("ResetDamageTimer()"), 1) << "waiting again";
    EXPECT_TRUE(Shown(arena.boss));
}

TEST(YakBossAI, AChargeEndingOnThePlayerSkipsTheStunAndNarrowArenasTakeTheLastTry) {
    {
        Arena arena;
        arena.RunToCharge();
        arena.world.Step(kDt);
        arena.world.sent.clear();
        Touch(arena.boss, arena.player->GetId());
        EXPECT_EQ(arena.world.Count("CameraShake(0.5, 100, 3)"), 0);
        EXPECT_EQ(arena.Local("BlockMovement()"), 1);
        arena.world.Step(kDt);
        EXPECT_FALSE(Shown(arena.boss)) << "recovering at once";
        EXPECT_TRUE(Named(arena.world.objects, "yak-boss-projectile-obj").empty());
    }
    {  // Every try lands outside a 2-unit arena: 25 tries of 4 draws per rock.
        Arena arena("narrow-arena-obj");
        arena.RunToCharge();
        int draws = 0;
        SetRandSourceForTests([&draws] {
            ++draws;
            return kRandMax;
        });
        Touch(arena.boss, arena.wall);
        SetRandSourceForTests({});
        EXPECT_EQ(draws, 15 * 25 * 4);
        std::vector<Composition*> rocks = Named(arena.world.objects, "yak-boss-projectile-obj");
        ASSERT_EQ(rocks.size(), 15u);
        EXPECT_GT(std::abs(GameFixture::PositionOf(rocks[0]).z), 1.0f) << "outside, used as it is";
    }
    {  // Paused mid-charge: the run ends and its speed goes; no clip, no head shake.
        Arena arena("arena-obj", true, kArena, 0.0f);
        EXPECT_EQ(arena.ai->GetHeadShakeLength(), 0.0f);
        EXPECT_EQ(arena.RunToCharge(), 12);
        EXPECT_EQ(arena.Local("SetAnimation(yak-headshake-anim)"), 0);
        arena.world.Step(kDt);
        arena.boss->Send("PauseBossAI");
        EXPECT_FALSE(arena.ai->IsCharging());
        EXPECT_EQ(arena.boss->GetComponentAs<MovementComponent>()->GetVelocity(), Vec3());
        EXPECT_EQ(GameFixture::PositionOf(arena.boss), Vec3(0, 0, 10));
        arena.world.Step(kDt);
        EXPECT_EQ(BrainAction<EnemyChargeAction>(arena.boss), nullptr) << "ended by its id";
        Touch(arena.boss, arena.wall);
        EXPECT_EQ(arena.world.Count("CameraShake(0.5, 100, 3)"), 0) << "a hidden boss never slams";
        arena.boss->Send("ResumeBossAI");
        arena.world.Step(kDt);
        EXPECT_FLOAT_EQ(arena.ai->GetWaitTimer(), 1.5f - kDt) << "waiting from half the wait time";
    }
    {  // No arena: logged at start; a slam drops nothing and the fight goes on.
        Arena arena(nullptr);
        EXPECT_NE(arena.world.log.find("no RegionComponent object marks the arena"), std::string::npos);
        arena.RunToCharge();
        Touch(arena.boss, arena.wall);
        EXPECT_EQ(arena.world.Count("PlaySound(yak-slam-sfx)"), 1);
        EXPECT_TRUE(Named(arena.world.objects, "yak-boss-projectile-obj").empty());
    }
}

TEST(YakBoss, WavesHideItBehindMiniBossesAndItsDeathSinksIt) {
    Arena arena;
    GameFixture& world = arena.world;
    EXPECT_EQ(world.Count("PlayBackgroundSound(boss-battle-bgm)"), 1);
    EXPECT_EQ(world.Count("PlaySound(yak-spawn-sfx)"), 1);
    EXPECT_EQ(world.Count("BossHealthChanged(ui-yak, 1)"), 1);
    auto damageSounds = [&world] {
        return world.Count("PlaySound(yak-boss-dmg-1-sfx)") + world.Count("PlaySound(yak-boss-dmg-2-sfx)") +
               world.Count("PlaySound(yak-boss-dmg-3-sfx)");
    };
    EXPECT_EQ(damageSounds(), 1);

    // 1.0 -> 0.7 is cut at 0.8: hidden, paused at home, a mini-boss per tile.
    arena.boss->GetTransform()->SetPosition(Vec3(5, 0, 5));
    arena.Hit(30);
    EXPECT_FLOAT_EQ(arena.Health(), 80.0f);
    EXPECT_EQ(world.Count("BossHealthChanged(ui-yak, 0.8)"), 1);
    EXPECT_FALSE(Shown(arena.boss));
    EXPECT_TRUE(arena.ai->IsPaused());
    EXPECT_EQ(GameFixture::PositionOf(arena.boss), Vec3(0, 0, 10));
    std::vector<Composition*> minis = Named(world.objects, "yak-mini-boss-obj");
    ASSERT_EQ(minis.size(), 2u);
    EXPECT_EQ(GameFixture::PositionOf(minis[0]), Vec3(-10, 0, 0));
    EXPECT_EQ(GameFixture::PositionOf(minis[1]), Vec3(10, 0, 0));

    // Each mini-boss costs 100 x 0.2 / 2; the last brings the boss back at 0.6.
    world.objects.DestroyObject(minis[0]->GetId());
    world.Step(kDt);
    EXPECT_EQ(arena.Local("TakeDamage(10)"), 1);
    EXPECT_FALSE(Shown(arena.boss));
    world.objects.DestroyObject(minis[1]->GetId());
    world.Step(kDt);
    EXPECT_EQ(world.Count("BossHealthChanged(ui-yak, 0.6)"), 1);
    EXPECT_EQ(arena.Local("ResumeBossAI()"), 1);
    EXPECT_FALSE(arena.ai->IsPaused());
    world.Step(kDt);
    EXPECT_TRUE(Shown(arena.boss));

    // A tile destroyed since the start gives no mini-boss, and the one made
    // carries the whole share: hidden at 0.4, back at 0.2.
    world.objects.DestroyObject(arena.tileA);
    world.Step(kDt);
    arena.Hit(20);
    EXPECT_FALSE(Shown(arena.boss));
    minis = Named(world.objects, "yak-mini-boss-obj");
    ASSERT_EQ(minis.size(), 1u);
    world.objects.DestroyObject(minis[0]->GetId());
    world.Step(kDt);
    EXPECT_EQ(arena.Local("TakeDamage(20)"), 2) << "the hit, then the one mini-boss's share";
    EXPECT_EQ(world.Count("BossHealthChanged(ui-yak, 0.2)"), 1);
    EXPECT_EQ(arena.ai->IsPaused(), false);

    // Death from anywhere: the bar to 0, an effect where it stood, home,
    // the camera back, a 0.2 s pause and the sink, then "battle-bgm".
    arena.boss->GetTransform()->SetPosition(Vec3(3, 0, 3));
    const u32 id = arena.boss->GetId();
    const size_t destroyedListeners = world.core.GetTable().GetListeners("ObjectDestroyed").size();
    world.sent.clear();
    arena.Hit(30);
    EXPECT_EQ(world.Count("BossHealthChanged(ui-yak, 0)"), 1);
    EXPECT_EQ(world.Count("PlaySound(yak-brood-death-sfx)"), 1);
    EXPECT_EQ(world.Count("InterpolateToPreviousCameraState(1)"), 1);
    std::vector<Composition*> fx = Named(world.objects, "yak-boss-fx");
    ASSERT_EQ(fx.size(), 1u);
    EXPECT_EQ(GameFixture::PositionOf(fx[0]), Vec3(3, 0, 3));
    EXPECT_EQ(GameFixture::PositionOf(arena.boss), Vec3(0, 0, 10));
    EXPECT_FALSE(arena.boss->GetComponentAs<CollisionComponent>()->GetFlags().collideWithStatics);
    EXPECT_FALSE(arena.boss->GetComponentAs<MovementComponent>()->HasGravity());
    const f32 height = arena.boss->GetComponentAs<CollisionComponent>()->GetVolume().size.y;
    EXPECT_GT(height, 0.0f);
    world.Run(YakBossComponent::kSinkTime + 0.25f, kDt);
    EXPECT_TRUE(world.Alive(id)) << "still sinking";
    EXPECT_NEAR(GameFixture::PositionOf(arena.boss).y, -height, 1e-4f) << "sunk by its height";
    EXPECT_NEAR(GameFixture::PositionOf(arena.boss).z, 10.0f, 1e-4f);
    EXPECT_EQ(world.Count("PlayBackgroundSound(battle-bgm)"), 0);
    world.Run(1.0f, kDt);
    EXPECT_FALSE(world.Alive(id));
    EXPECT_EQ(world.Count("PlayBackgroundSound(battle-bgm)"), 1);
    EXPECT_EQ(world.core.GetTable().GetListeners("ObjectDestroyed").size(), destroyedListeners - 1)
        << "the boss left no listener behind";
}

TEST(YakBoss, NoTilesHidesItForGoodAndFailedMiniBossesNeverLockTheFight) {
    {
        Arena arena("arena-obj", false);
        EXPECT_NE(arena.world.log.find("the level has no yak tile"), std::string::npos);
        arena.Hit(25);
        arena.world.Run(10.0f, kDt);
        EXPECT_FALSE(Shown(arena.boss));
        EXPECT_TRUE(arena.ai->IsPaused());
        EXPECT_TRUE(Named(arena.world.objects, "yak-mini-boss-obj").empty());
    }
    // Tiles, but the mini-boss archetype cannot be made: the wave ends at once.
    std::string unmade = kArena;
    unmade.replace(unmade.find("<yak-mini-boss-obj>"), 19, "<other-mini-obj>");
    unmade.replace(unmade.find("</yak-mini-boss-obj>"), 20, "</other-mini-obj>");
    Arena arena("arena-obj", true, unmade);
    arena.Hit(25);
    EXPECT_TRUE(Shown(arena.boss));
    EXPECT_FALSE(arena.ai->IsPaused());
    EXPECT_FLOAT_EQ(arena.Health(), 60.0f);
    EXPECT_EQ(arena.world.Count("BossHealthChanged(ui-yak, 0.6)"), 1);
}

}  // namespace
}  // namespace Vandle::GameTest::YakBossTest
