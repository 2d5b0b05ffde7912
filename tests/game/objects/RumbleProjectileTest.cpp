// Rumble effects (the rising and sinking action, the rumble object with its
// anchor and whirling effect) and the projectile that hurts the player.
#include "tests/game/GameFixture.h"

#include "game/enemies/ProjectileComponent.h"
#include "game/objects/RumbleSpawnAction.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Vandle::GameTest {
namespace {

const char kRumbleObjects[] = R"(
<stone-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
</stone-obj>
<rumble-obj>
    <TransformComponent><PosX>5</PosX><PosZ>3</PosZ></TransformComponent>
    <BrainComponent/>
    <RumbleEffectComponent/>
</rumble-obj>
)";

const char kAnchor[] = "<anchor-obj><TransformComponent/><BrainComponent/></anchor-obj>";
const char kRumbleFx[] = R"(
<rumble-fx>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <BrainComponent/>
    <ParticleEmitterComponent><EffectLifeTime>1.0</EffectLifeTime><ParticleLifeTime>0.5</ParticleLifeTime></ParticleEmitterComponent>
</rumble-fx>
)";

RumbleSpawnAction* MakeRumble(Vec3 from, Vec3 to, Vec3 fromScale, Vec3 toScale, f32 seconds, bool rising) {
    auto* action = new RumbleSpawnAction;
    action->SetStartPosition(from);
    action->SetEndPosition(to);
    action->SetStartScale(fromScale);
    action->SetEndScale(toScale);
    action->SetDuration(seconds);
    action->SetRising(rising);
    return action;
}

std::size_t ActionCount(Composition* object) {
    return object->GetComponentAs<BrainComponent>()->GetActionList()->Actions().size();
}

// The first live object made from the archetype, or 0.
u32 NamedObject(const GameFixture& world, const std::string& archetype) {
    for (u32 id : world.objects.GetLiveObjects())
        if (world.objects.GetObject(id)->GetName() == archetype) return id;
    return 0;
}

bool IsFinite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TEST(Rumble, MovesInEqualStepsShakingSidewaysAndPlacesTheEndPoseOnTheStepAfterTheTime) {
    GameFixture world(kRumbleObjects);
    Composition* stone = world.Spawn("stone-obj");
    TransformComponent* at = stone->GetTransform();
    world.AddAction(stone, MakeRumble(Vec3(4, -1, 2), Vec3(4, 1, 2), Vec3(1, 1, 1), Vec3(1, 2, 1), 2.0f, true));
    EXPECT_EQ(at->GetPosition(), Vec3(4, -1, 2)) << "the start pose at once";
    EXPECT_EQ(at->GetScale(), Vec3(1, 1, 1));
    for (int step = 1; step <= 4; ++step) {
        world.Step(0.5f);
        EXPECT_NEAR(at->GetPosition().y, -1.0f + 0.5f * f32(step), 1e-5f) << step;
        EXPECT_NEAR(at->GetScale().y, 1.0f + 0.25f * f32(step), 1e-5f) << step;
        // Three samples of at most 1 times the magnitude 0.5.
        EXPECT_LE(std::fabs(at->GetPosition().x - 4.0f), 1.5f) << step;
        EXPECT_LE(std::fabs(at->GetPosition().z - 2.0f), 1.5f) << step;
        EXPECT_EQ(ActionCount(stone), 1u) << step;
    }
    world.Step(0.5f);
    EXPECT_EQ(at->GetPosition(), Vec3(4, 1, 2)) << "the fifth step places the end pose";
    EXPECT_EQ(at->GetScale(), Vec3(1, 2, 1));
    EXPECT_EQ(ActionCount(stone), 0u);

    // No time at all: the end pose at once, nothing divided by zero.
    auto* instant = world.AddAction(stone, MakeRumble(Vec3(0, -3, 0), Vec3(0, 5, 0), Vec3(), Vec3(2, 2, 2), 0.0f, true));
    EXPECT_EQ(at->GetPosition(), Vec3(0, 5, 0));
    EXPECT_EQ(at->GetScale(), Vec3(2, 2, 2));
    EXPECT_TRUE(IsFinite(instant->GetVelocity()) && IsFinite(instant->GetScaleVelocity()));
    world.Step(0.5f);
    EXPECT_EQ(at->GetPosition(), Vec3(0, 5, 0));
    EXPECT_EQ(ActionCount(stone), 0u);
    world.AddAction(stone, MakeRumble(Vec3(), Vec3(0, 1, 0), Vec3(), Vec3(1, 1, 1), std::nanf(""), false));
    world.Step(0.5f);
    EXPECT_TRUE(IsFinite(at->GetPosition()) && IsFinite(at->GetScale()));
}

TEST(Rumble, AStartingSinkEndsARiseAndTheOtherWayRoundButNotItsOwnDirection) {
    GameFixture world(kRumbleObjects);
    Composition* stone = world.Spawn("stone-obj");
    TransformComponent* at = stone->GetTransform();
    auto* rise = world.AddAction(stone, MakeRumble(Vec3(0, -1, 0), Vec3(), Vec3(1, 1, 1), Vec3(1, 2, 1), 2.0f, true));
    auto* secondRise = world.AddAction(stone, MakeRumble(Vec3(0, -1, 0), Vec3(), Vec3(1, 1, 1), Vec3(1, 2, 1), 2.0f, true));
    world.Step(0.5f);
    EXPECT_EQ(ActionCount(stone), 2u) << "two rises leave each other alone";
    (void)rise;
    (void)secondRise;

    auto* sink = world.AddAction(stone, MakeRumble(Vec3(0, 3, 0), Vec3(0, 1, 0), Vec3(1, 2, 1), Vec3(1, 1, 1), 1.0f, false));
    EXPECT_EQ(at->GetPosition(), Vec3(0, 3, 0)) << "the sink runs from its own start pose";
    world.Step(0.25f);
    const auto actions = stone->GetComponentAs<BrainComponent>()->GetActionList()->Actions();
    ASSERT_EQ(actions.size(), 1u) << "both rises ended at their next update";
    EXPECT_EQ(actions.front(), sink);
    EXPECT_NEAR(at->GetPosition().y, 2.5f, 1e-5f) << "only the sink moved the stone";

    // A rise starting now ends the sink in turn, and only the sink.
    world.AddAction(stone, MakeRumble(Vec3(0, 0, 0), Vec3(0, 2, 0), Vec3(1, 1, 1), Vec3(1, 1, 1), 1.0f, true));
    world.Step(0.25f);
    ASSERT_EQ(ActionCount(stone), 1u);
    EXPECT_TRUE(dynamic_cast<RumbleSpawnAction*>(
                    stone->GetComponentAs<BrainComponent>()->GetActionList()->Actions().front())
                    ->IsRising());
}

TEST(Rumble, TheRumbleObjectWhirlsAnEffectRoundAnAnchorAndEachGoesOnTime) {
    GameFixture world(std::string(kRumbleObjects) + kAnchor + kRumbleFx);
    const u32 rumble = world.Spawn("rumble-obj")->GetId();
    ASSERT_EQ(world.objects.GetLiveObjects().size(), 3u);
    const u32 anchor = NamedObject(world, "anchor-obj");
    const u32 effect = NamedObject(world, "rumble-fx");
    EXPECT_EQ(GameFixture::PositionOf(world.objects.GetObject(anchor)), Vec3(5, 2, 3)) << "lifted to a height of 2";
    EXPECT_EQ(GameFixture::PositionOf(world.objects.GetObject(effect)), Vec3(5, 2, 3));

    // Steps of 1/8 s add up exactly: the rumble object's 0.2 s are passed at
    // the second step and it goes at the third; the effect's 1.0 + 0.5 +
    // 0.1 s at the thirteenth, gone at the fourteenth.
    world.Step(0.125f);
    const Vec3 whirl = world.objects.GetObject(effect)->GetComponentAs<MovementComponent>()->GetVelocity();
    EXPECT_NE(whirl.x, 0.0f) << "the orbit steers the effect";
    world.Step(0.125f);
    EXPECT_TRUE(world.Alive(rumble));
    world.Step(0.125f);
    EXPECT_FALSE(world.Alive(rumble));
    for (int step = 4; step <= 13; ++step) world.Step(0.125f);
    EXPECT_TRUE(world.Alive(anchor) && world.Alive(effect));
    world.Step(0.125f);
    EXPECT_FALSE(world.Alive(anchor));
    EXPECT_FALSE(world.Alive(effect));
}

TEST(Rumble, WithoutAnchorOrEffectNothingIsMadeAndTheGapIsLogged) {
    {
        GameFixture world(std::string(kRumbleObjects) + kRumbleFx);
        const u32 rumble = world.Spawn("rumble-obj")->GetId();
        EXPECT_EQ(world.objects.GetLiveObjects().size(), 1u);
        EXPECT_NE(world.log.find("archetype 'anchor-obj' could not be created"), std::string::npos) << world.log;
        world.Run(0.5f);
        EXPECT_FALSE(world.Alive(rumble)) << "the rumble object still goes";
    }
    {
        GameFixture world(std::string(kRumbleObjects) + kAnchor);
        world.Spawn("rumble-obj");
        EXPECT_NE(world.log.find("archetype 'rumble-fx' could not be created"), std::string::npos) << world.log;
        world.Step(0.01f);
        EXPECT_EQ(world.objects.GetLiveObjects().size(), 1u) << "the anchor made for it is removed again";
    }
}

const std::string kProjectileObjects = std::string(kStillPlayerArchetype) + R"(
<rock-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static><ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
    <MessageComponent/>
    <BrainComponent/>
    <ProjectileComponent><Damage>7</Damage><Cooldown>0.25</Cooldown><Knockback>10</Knockback></ProjectileComponent>
</rock-obj>
<boulder-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <ProjectileComponent><Rolling>1</Rolling><LifeTimeAfterCollision>0.5</LifeTimeAfterCollision></ProjectileComponent>
</boulder-obj>
<wall-obj>
    <TransformComponent/>
    <CollisionComponent><ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
</wall-obj>
<post-obj>
    <TransformComponent/>
    <CollisionComponent/>
</post-obj>
<fox-boss-obj>
    <TransformComponent/>
    <CollisionComponent><ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
    <FoxBossComponent/>
</fox-boss-obj>
<damage-enemy-fx><TransformComponent/></damage-enemy-fx>
)";

void Contact(Composition* object, Composition* other) {
    CollisionData contact;
    contact.other = other->GetId();
    SendObjectMessageValues(object, "CollisionData", contact);
}

Vec3 VelocityOfObject(Composition* object) { return object->GetComponentAs<MovementComponent>()->GetVelocity(); }

TEST(Projectile, TheFirstCountedContactSpendsItAndOnlyThePlayerIsHurt) {
    GameFixture world(kProjectileObjects);
    Composition* player = world.Spawn("player-obj", Vec3(3, 5, 4));
    Composition* rock = world.Spawn("rock-obj", Vec3(0, 0, 0));
    rock->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(0, 0, 9));
    world.Record(player, {"DamagePlayer", "KnockbackPlayer"});
    world.Record(rock, {"ObjectDead"});
    auto* projectile = rock->GetComponentAs<ProjectileComponent>();

    // Neither a post that does not resolve against dynamics, nor another
    // projectile, nor the fox boss spends it.
    Contact(rock, world.Spawn("post-obj"));
    Contact(rock, world.Spawn("rock-obj", Vec3(9, 0, 0)));
    Contact(rock, world.Spawn("fox-boss-obj"));
    EXPECT_FALSE(projectile->HasCollided());
    EXPECT_TRUE(world.sent.empty());

    Contact(rock, player);
    EXPECT_TRUE(projectile->HasCollided());
    EXPECT_EQ(world.SentTo(rock), (std::vector<std::string>{"ObjectDead()"}));
    EXPECT_EQ(world.SentTo(player), (std::vector<std::string>{"DamagePlayer(7, 0.25)", "KnockbackPlayer((6, 4, 8))"}))
        << "the way to the player on the ground, y 0.4, times 10";
    EXPECT_EQ(VelocityOfObject(rock), Vec3(0, 0, 0));
    Contact(rock, player);
    EXPECT_EQ(world.SentTo(player).size(), 2u) << "spent: later contacts are ignored";
    const u32 id = rock->GetId();
    world.Step(0.01f);
    EXPECT_FALSE(world.Alive(id)) << "no life time after the contact: gone at the next update";

    // Right under the player: no horizontal push, only the lift.
    world.sent.clear();
    Contact(world.Spawn("rock-obj", Vec3(3, 0, 4)), player);
    EXPECT_EQ(world.SentTo(player), (std::vector<std::string>{"DamagePlayer(7, 0.25)", "KnockbackPlayer((0, 4, 0))"}));
}

TEST(Projectile, ARollingOneKeepsItsVelocityAndHurtsUntilItsTimeIsUp) {
    GameFixture world(kProjectileObjects);
    Composition* player = world.Spawn("player-obj", Vec3(0, 2, 0));
    Composition* boulder = world.Spawn("boulder-obj", Vec3(0, 0, 0));
    boulder->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(4, 0, 0));
    world.Record(player, {"DamagePlayer", "KnockbackPlayer"});
    world.Record(boulder, {"ObjectDead"});

    Contact(boulder, world.Spawn("wall-obj"));
    EXPECT_EQ(world.SentTo(boulder), (std::vector<std::string>{"ObjectDead()"}));
    EXPECT_EQ(VelocityOfObject(boulder), Vec3(4, 0, 0)) << "a rolling projectile keeps its velocity";
    Contact(boulder, player);
    Contact(boulder, player);
    // Standing on the same spot on the ground: no horizontal push, and a
    // knockback of 0 zeroes the lift too.
    EXPECT_EQ(world.SentTo(player), (std::vector<std::string>{"DamagePlayer(10, 0.5)", "KnockbackPlayer((0, 0, 0))",
                                                              "DamagePlayer(10, 0.5)", "KnockbackPlayer((0, 0, 0))"}));
    EXPECT_EQ(world.SentTo(boulder).size(), 1u) << "ObjectDead once";

    const u32 id = boulder->GetId();
    world.Run(0.45f, 0.05f);
    EXPECT_TRUE(world.Alive(id));
    world.Run(0.15f, 0.05f);
    EXPECT_FALSE(world.Alive(id));
}

TEST(Projectile, KeysCloneAndPanelFollowTheirOrder) {
    GameFixture world(kProjectileObjects);
    ComponentTest::TextSerializer reader(true);
    reader.values = {{"Damage", "3"}, {"Cooldown", "1.5"}, {"LifeTimeAfterCollision", "2"}, {"Knockback", "8"},
                     {"Rolling", "1"}};
    ProjectileComponent read;
    read.Serialize(&reader);
    auto* copy = static_cast<ProjectileComponent*>(read.Clone());
    EXPECT_EQ(copy->GetDamage(), 3.0f);
    EXPECT_EQ(copy->GetCooldown(), 1.5f);
    EXPECT_EQ(copy->GetLifeTimeAfterCollision(), 2.0f);
    EXPECT_EQ(copy->GetKnockback(), 8.0f);
    EXPECT_TRUE(copy->IsRolling());
    ComponentTest::Panel panel;
    copy->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries, (std::vector<std::string>{"float Damage", "float Cooldown", "float LifeTimeAfterCollision",
                                                       "float Knockback", "bool Rolling"}));
    world.factory.DestroyComponent(copy);
}

}  // namespace
}  // namespace Vandle::GameTest
