#include "tests/game/GameFixture.h"

#include "engine/actions/OrbitAction.h"
#include "engine/actions/RotationalVelocityAction.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/core/Random.h"
#include "game/bosses/BirdBossComponent.h"
#include "game/enemies/BirdComponent.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Vandle::GameTest::BirdBossTest {
namespace {

const char kBirdBossWorld[] = R"(
<boss-player-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <PlayerComponent/>
</boss-player-obj>
<bird-boss-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>1</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static><CollideWithStatics>1</CollideWithStatics><CollideWithDynamics>1</CollideWithDynamics></CollisionComponent>
    <ShadowComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>100</Health></HealthComponent>
    <BirdBossComponent><Damage>4</Damage><ForceDeadEffect>poof-obj</ForceDeadEffect></BirdBossComponent>
</bird-boss-obj>
<chick-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/><BrainComponent/>
    <BirdComponent><BirdColor>blue</BirdColor><MoveSpeed>0</MoveSpeed><CanSplit>1</CanSplit></BirdComponent>
</chick-obj>
<hen-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/><BrainComponent/>
    <BirdComponent><BirdColor>blue</BirdColor><MoveSpeed>0</MoveSpeed></BirdComponent>
</hen-obj>
<anchor-obj><TransformComponent/><MessageComponent/><BrainComponent/></anchor-obj>
<poof-obj><TransformComponent/></poof-obj>
<yak-fx-obj><TransformComponent/></yak-fx-obj>
<damage-enemy-fx><TransformComponent/></damage-enemy-fx>
)";

f32 Heading(Composition* boss) {
    const Vec3 v = boss->GetComponentAs<MovementComponent>()->GetVelocity();
    return std::atan2(v.x, v.z);
}

int CountNamed(const ObjectManager& objects, const std::string& name) {
    int n = 0;
    for (u32 id : objects.GetLiveObjects()) n += objects.GetObject(id)->GetName() == name ? 1 : 0;
    return n;
}

struct BirdArena {
    explicit BirdArena(const std::string& archetypes = kBirdBossWorld) : world(archetypes) {
        SRand(21);
        world.RecordGlobal({"PlayBackgroundSound", "BossHealthChanged", "PlaySound", "InterpolateToPreviousCameraState"});
        player = world.Spawn("boss-player-obj", Vec3(0, 0, 0));
        earlyBird = world.Spawn("hen-obj", Vec3(40, 0, 40))->GetId();
        boss = world.Spawn("bird-boss-obj", Vec3(10, 6, 0));
        component = boss->GetComponentAs<BirdBossComponent>();
    }
    void Hit(f32 damage) { SendObjectMessageFloat(boss, "TakeDamage", damage); }

    GameFixture world;
    Composition* player = nullptr;
    Composition* boss = nullptr;
    BirdBossComponent* component = nullptr;
    u32 earlyBird = 0;
};

TEST(BirdBoss, SpeedSoundsAndHeadingFollowEveryHealthChangeAndItsTouchHurts) {
    BirdArena arena;
    GameFixture& world = arena.world;
    const std::vector<std::string> start = world.SentTo(0u);
    ASSERT_EQ(start.size(), 3u);
    EXPECT_EQ(start[0], "PlayBackgroundSound(boss-battle-bgm)");
    EXPECT_EQ(start[1], "BossHealthChanged(ui-bird, 1)");
    EXPECT_EQ(start[2].rfind("PlaySound(bird-boss-dmg-", 0), 0u);
    EXPECT_FLOAT_EQ(arena.component->GetSpeed(), 7.0f);

    // Rand() % 3 picks the sound (0, 1, 2 in order), the next draw the heading.
    struct Row {
        f32 damage;
        int draw;
        f32 speed;
        const char* sound;
    };
    for (const Row& row : {Row{25, 3 * 1000 + 1, 132, "PlaySound(bird-boss-dmg-2-sfx)"},
                           Row{25, 3 * 2000 + 2, 257, "PlaySound(bird-boss-dmg-3-sfx)"}}) {
        world.sent.clear();
        int draws[] = {row.draw, row.draw % 3 == 1 ? 8191 : 24575};
        int next = 0;
        SetRandSourceForTests([&] { return draws[next++ % 2]; });
        arena.Hit(row.damage);
        SetRandSourceForTests({});
        EXPECT_FLOAT_EQ(arena.component->GetSpeed(), row.speed);
        EXPECT_EQ(world.SentTo(0u).at(1), row.sound);
        // 8191 / 32767 of a turn is 90 degrees: heading -x; 24575 is 270: +x.
        const Vec3 v = arena.boss->GetComponentAs<MovementComponent>()->GetVelocity();
        EXPECT_NEAR(v.x, row.draw % 3 == 1 ? -1.0f : 1.0f, 1e-3f);
        EXPECT_NEAR(v.y, 0.0f, 1e-6f);
    }
    EXPECT_EQ(world.SentTo(0u).at(0), "BossHealthChanged(ui-bird, 0.5)");

    // Touch: damage, thud, a push of 100 away on the ground; none from above.
    // The player's and the global sends land in one list, in the order sent.
    world.Record(arena.player, {"DamagePlayer", "KnockbackPlayer"});
    world.sent.clear();
    CollisionData contact;
    contact.other = arena.player->GetId();
    arena.player->GetTransform()->SetPosition(Vec3(10, 0, 20));
    SendObjectMessageValues(arena.boss, "CollisionData", contact);
    arena.player->GetTransform()->SetPosition(Vec3(10, -3, 0));
    SendObjectMessageValues(arena.boss, "CollisionData", contact);
    std::vector<std::string> touches;
    for (const Sent& s : world.sent) touches.push_back(s.text);
    EXPECT_EQ(touches, (std::vector<std::string>{"DamagePlayer(4, 0.5)", "PlaySound(light-thud-sfx)",
                                                 "KnockbackPlayer((0, 0, 100))", "DamagePlayer(4, 0.5)",
                                                 "PlaySound(light-thud-sfx)", "KnockbackPlayer((0, 0, 0))"}));

    // The killing blow: bar 0, top speed, a new heading.
    const f32 before = Heading(arena.boss);
    world.sent.clear();
    arena.Hit(50);
    EXPECT_FLOAT_EQ(arena.component->GetSpeed(), 507.0f);
    EXPECT_EQ(world.SentTo(0u).at(0), "BossHealthChanged(ui-bird, 0)");
    EXPECT_NE(Heading(arena.boss), before);
}

TEST(BirdBoss, EachTriggerHatchesOneWeightedChildBelowAndBadPagesHatchNone) {
    BirdArena arena;
    GameFixture& world = arena.world;
    world.AddPropertyPage("bird-split-map", "<bird-boss-obj>boss-hatch</bird-boss-obj>");
    world.AddPropertyPage("boss-hatch", "<chick-obj>1</chick-obj><hen-obj>3</hen-obj>");
    arena.boss->GetTransform()->Rotation() = Vec3(0, 33, 0);
    int draw = 4;  // 4 % 4 = 0: the chick (weight 1); 5 % 4 = 1: a hen
    SetRandSourceForTests([&] { return draw; });
    arena.boss->Send("TriggerFired");
    draw = 5;
    arena.boss->Send("TriggerFired");
    SetRandSourceForTests({});
    world.Step(0.01f);
    EXPECT_EQ(CountNamed(world.objects, "chick-obj"), 1);
    EXPECT_EQ(CountNamed(world.objects, "hen-obj"), 2);
    EXPECT_EQ(arena.boss->GetTransform()->GetRotation(), Vec3(0, 33, 0)) << "the rotation is restored";
    EXPECT_EQ(world.Count("PlaySound(bird-spawn-sfx)"), 2) << "each hatchling got FinishedSpawning";
    const std::vector<u32> children = arena.component->GetChildren();
    ASSERT_EQ(children.size(), 2u) << "the early bird is no child";
    for (u32 id : children) {
        EXPECT_NE(id, arena.earlyBird);
        EXPECT_NEAR(world.objects.GetObject(id)->GetTransform()->GetPosition().y, -2.0f, 0.5f) << "8 below";
    }

    // A missing entry, a missing page, a zero total: nothing, no crash.
    const size_t live = world.objects.GetLiveObjects().size();
    for (const char* map : {"<other-obj>boss-hatch</other-obj>", "<bird-boss-obj>gone</bird-boss-obj>",
                            "<bird-boss-obj>zero</bird-boss-obj>"}) {
        world.properties.AddPage("bird-split-map").clear();
        world.AddPropertyPage("bird-split-map", map);
        world.AddPropertyPage("zero", "<chick-obj>0</chick-obj>");
        arena.boss->Send("TriggerFired");
        world.Step(0.01f);
        EXPECT_EQ(world.objects.GetLiveObjects().size(), live) << map;
    }
}

TEST(BirdBoss, DeathKillsEveryChildWithoutSplitThenCirclesUpAndGoes) {
    BirdArena arena;
    GameFixture& world = arena.world;
    Composition* child = world.Spawn("chick-obj", Vec3(-5, 0, 0));
    const u32 childId = child->GetId();
    world.Record(child, {"BirdSetCanSplit", "BirdSetSplitFx", "ObjectDead"});
    const u32 bossId = arena.boss->GetId();
    world.sent.clear();
    arena.Hit(100);
    EXPECT_EQ(world.SentTo(childId), (std::vector<std::string>{"BirdSetCanSplit(false)", "BirdSetSplitFx(poof-obj)",
                                                               "ObjectDead()"}));
    const std::vector<std::string> global = world.SentTo(0u);
    ASSERT_GE(global.size(), 4u);
    EXPECT_EQ(global[0], "BossHealthChanged(ui-bird, 0)");
    EXPECT_EQ(global[2], "PlaySound(bird-boss-death-sfx)");
    EXPECT_EQ(global.back(), "InterpolateToPreviousCameraState(1)");
    EXPECT_TRUE(arena.component->GetChildren().empty());
    world.Step(0.01f);
    EXPECT_FALSE(world.Alive(childId));
    EXPECT_EQ(CountNamed(world.objects, "chick-obj"), 0) << "it did not split";
    EXPECT_EQ(CountNamed(world.objects, "poof-obj"), 1) << "its split effect is the boss's";
    EXPECT_EQ(CountNamed(world.objects, "anchor-obj"), 1);
    EXPECT_FALSE(arena.boss->GetComponentAs<ShadowComponent>()->IsVisible());
    EXPECT_FALSE(arena.boss->GetComponentAs<CollisionComponent>()->GetFlags().collideWithStatics);
    auto* orbit = [&]() -> OrbitAction* {
        for (IAction* action : arena.boss->GetComponentAs<BrainComponent>()->GetActionList()->Actions())
            if (auto* found = dynamic_cast<OrbitAction*>(action)) return found;
        return nullptr;
    }();
    ASSERT_NE(orbit, nullptr);
    EXPECT_FLOAT_EQ(orbit->GetRadius(), 45.0f);
    const auto* movement = arena.boss->GetComponentAs<MovementComponent>();
    EXPECT_EQ(movement->GetVelocity().y, 10.0f) << "it rises";
    EXPECT_EQ(movement->GetAcceleration().y, 15.0f);
    EXPECT_FALSE(movement->HasDrag());
    world.Run(2.9f, 0.1f);
    ASSERT_TRUE(world.Alive(bossId));
    world.Run(0.2f, 0.1f);
    EXPECT_FALSE(world.Alive(bossId)) << "gone after 3 s";
    EXPECT_EQ(world.Count("PlayBackgroundSound(battle-bgm)"), 1);
}

TEST(BirdBoss, WithoutAnAnchorArchetypeItStillRisesAndGoes) {
    std::string archetypes = kBirdBossWorld;
    for (size_t at; (at = archetypes.find("<anchor-obj>")) != std::string::npos;) archetypes.replace(at, 12, "<other-obj>");
    archetypes.replace(archetypes.find("</anchor-obj>"), 13, "</other-obj>");
    BirdArena arena(archetypes);
    const u32 bossId = arena.boss->GetId();
    arena.Hit(100);
    arena.world.Run(3.2f, 0.1f);
    EXPECT_FALSE(arena.world.Alive(bossId));
}

}  // namespace
}  // namespace Vandle::GameTest::BirdBossTest
