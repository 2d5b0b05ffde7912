#include "tests/game/GameFixture.h"

#include "engine/actions/ImmovableAction.h"
#include "engine/actions/TimedBlockAction.h"
#include "engine/actions/TimedMoveToAction.h"
#include "engine/core/Random.h"
#include "engine/io/SerializerLevelSave.h"
#include "game/bosses/BroodMotherComponent.h"
#include "game/bosses/BroodSpawnAction.h"
#include "game/enemies/WanderAction.h"
#include "game/objects/TriggerListenerComponent.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>

namespace Vandle::GameTest::BroodTest {
namespace {

const std::string kBroodObjects = std::string(kStillPlayerArchetype) + R"(
<walker-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
</walker-obj>
<brood-mother-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>100</Health></HealthComponent>
    <BroodMotherComponent>
        <RoomMinX>-50</RoomMinX><RoomMinZ>-20</RoomMinZ><RoomMaxX>150</RoomMaxX><RoomMaxZ>20</RoomMaxZ>
    </BroodMotherComponent>
</brood-mother-obj>
<mother-nest-obj>
    <TransformComponent/>
    <MessageComponent/>
    <WaveSpawnerComponent><SpawnType>brood-mother-obj</SpawnType></WaveSpawnerComponent>
</mother-nest-obj>
<spawner-yak-obj>
    <TransformComponent/>
    <MessageComponent/>
    <TriggerListenerComponent/>
    <WaveSpawnerComponent><SpawnType>pup-obj</SpawnType></WaveSpawnerComponent>
</spawner-yak-obj>
<moving-spawner-yak-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>1</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <TriggerListenerComponent/>
    <WaveSpawnerComponent><SpawnType>pup-obj</SpawnType></WaveSpawnerComponent>
</moving-spawner-yak-obj>
<pup-obj><TransformComponent/><MessageComponent/></pup-obj>
<yak-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent/>
    <EnemyComponent/>
</yak-obj>
<yak-fx-obj><TransformComponent/></yak-fx-obj>
<damage-enemy-fx><TransformComponent/></damage-enemy-fx>
)";

constexpr int kBrd1 = 1112687665;
constexpr int kBrd2 = 1112687666;

// Actions of the object's brain, front (run first) to back.
std::vector<IAction*> BrainOrder(Composition* object) {
    return object->GetComponentAs<BrainComponent>()->GetActionList()->Actions();
}

template <class A>
A* BrainAction(Composition* object) {
    for (IAction* action : BrainOrder(object))
        if (auto* found = dynamic_cast<A*>(action)) return found;
    return nullptr;
}

std::vector<Composition*> Named(const ObjectManager& objects, const std::string& name) {
    std::vector<Composition*> found;
    for (u32 id : objects.GetLiveObjects())
        if (Composition* object = objects.GetObject(id); object->GetName() == name) found.push_back(object);
    return found;
}

// Runs every lane-0 step it is given; counts them.
class LaneProbe final : public ActionBase {
public:
    int OnUpdate(f32) override {
        ++steps;
        return kActionRunning;
    }
    int steps = 0;
};

TEST(Wander, LegsStayInTheBoxAndEachMovesFirstWhileItsBlockHoldsLaneZero) {
    GameFixture world(kBroodObjects);
    SRand(4242);
    Composition* walker = world.Spawn("walker-obj", Vec3(3, 1, 2));
    auto* probe = world.AddAction(walker, new LaneProbe);
    auto* wander = new WanderAction;
    const Vec3 boxMin(-10, 0, 5), boxMax(10, 4, 15);
    wander->SetBounds(boxMin, boxMax);
    wander->SetMoveTime(1.0f);
    world.AddAction(walker, wander);

    int legs = 0;
    Vec3 lastTarget(1e9f, 0, 0);
    for (int step = 0; step < 60; ++step) {
        const int probeBefore = probe->steps;
        world.Step(0.25f);
        if (wander->GetTarget() == lastTarget) {
            EXPECT_EQ(probe->steps, probeBefore) << "an older lane-0 action is held while a leg runs, step " << step;
            continue;
        }
        // A new leg was drawn this step: the lane was free, so the probe ran.
        ++legs;
        lastTarget = wander->GetTarget();
        EXPECT_EQ(probe->steps, probeBefore + 1);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_GE(lastTarget[axis], boxMin[axis]);
            EXPECT_LE(lastTarget[axis], boxMax[axis]);
        }
        world.Step(0.25f);  // the leg starts: move first, then its block, then the wander
        const std::vector<IAction*> order = BrainOrder(walker);
        ASSERT_GE(order.size(), 4u);
        ASSERT_NE(dynamic_cast<TimedMoveToAction*>(order[0]), nullptr);
        EXPECT_NE(dynamic_cast<TimedBlockAction*>(order[1]), nullptr);
        EXPECT_EQ(order[2], wander);
        const Vec3 expected = (lastTarget - GameFixture::PositionOf(walker)) * (1.0f / 1.0f);
        const Vec3 velocity = walker->GetComponentAs<MovementComponent>()->GetVelocity();
        EXPECT_NEAR(velocity.x, expected.x, 1e-4f);
        EXPECT_NEAR(velocity.z, expected.z, 1e-4f);
        ++step;
    }
    // A leg of 1 s at 0.25 s steps lasts five steps (a block remaining exactly
    // 0 still holds): twelve legs in 60 steps.
    EXPECT_EQ(legs, 12);

    // The default box is the segment from x = -1 to 1 at y = z = 0.
    auto* plain = new WanderAction;
    Composition* other = world.Spawn("walker-obj", Vec3(0, 7, 7));
    world.AddAction(other, plain);
    for (int step = 0; step < 20; ++step) {
        world.Step(0.25f);
        EXPECT_LE(std::abs(plain->GetTarget().x), 1.0f);
        EXPECT_EQ(plain->GetTarget().y, 0.0f);
        EXPECT_EQ(plain->GetTarget().z, 0.0f);
    }
}

struct BroodWorld {
    BroodWorld() : world(kBroodObjects) { world.RecordGlobal(); }

    // The mother, made by her wave spawner at (100, 0, 0).
    Composition* MakeMother() {
        Composition* nest = world.Spawn("mother-nest-obj", Vec3(100, 0, 0));
        nest->Send("TriggerFired");
        std::vector<Composition*> mothers = Named(world.objects, "brood-mother-obj");
        return mothers.size() == 1 ? mothers.front() : nullptr;
    }
    int Pulses(int id) const { return world.Count("TriggerActivated(" + std::to_string(id) + ")"); }
    void Hit(Composition* mother, f32 damage) { SendObjectMessageFloat(mother, "TakeDamage", damage); }
    size_t Count(const std::string& archetype) { return Named(world.objects, archetype).size(); }

    GameFixture world;
};

TEST(BroodMother, SpawnedSheKillsTheYaksAndPlacesHerNestsOnTheFirstFrameWithAPlayer) {
    BroodWorld brood;
    GameFixture& world = brood.world;
    Composition* yak = world.Spawn("yak-obj", Vec3(5, 0, 5));
    const u32 yakId = yak->GetId();
    Composition* mother = brood.MakeMother();
    ASSERT_NE(mother, nullptr);
    EXPECT_EQ(world.Count("BossHealthChanged(ui-yak, 1)"), 1);
    EXPECT_EQ(world.Count("PlayBackgroundSound(boss-battle-bgm)"), 1);
    EXPECT_TRUE(BrainAction<ImmovableAction>(mother)->IsBlocked()) << "\"BlockMovement\" on FinishedSpawning";
    world.Step(0.25f);
    EXPECT_FALSE(world.Alive(yakId)) << "the yak got \"ObjectDead\"";
    EXPECT_EQ(world.Count("PlaySound(yak-death-sfx)"), 1);

    for (int i = 0; i < 8; ++i) world.Step(0.25f);
    EXPECT_EQ(brood.Count("spawner-yak-obj"), 0u) << "no player, nothing placed";
    EXPECT_EQ(brood.Pulses(kBrd2), 0) << "and no timer";

    Composition* player = world.Spawn("player-obj", Vec3(90, 0, 0));
    world.Step(0.25f);
    EXPECT_NEAR(mother->GetTransform()->GetRotationY(), 90.0f, 1e-3f) << "facing the player at -x";
    std::vector<Composition*> fixed = Named(world.objects, "spawner-yak-obj");
    std::vector<Composition*> moving = Named(world.objects, "moving-spawner-yak-obj");
    ASSERT_EQ(fixed.size(), 3u);
    ASSERT_EQ(moving.size(), 1u);
    const Vec3 expected[] = {{86, 0, -8}, {86, 0, 8}, {75, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(GameFixture::PositionOf(fixed[i]), expected[i]) << i;
        EXPECT_EQ(fixed[i]->GetComponentAs<TriggerListenerComponent>()->GetTriggerId(), kBrd1);
    }
    EXPECT_EQ(GameFixture::PositionOf(moving[0]), Vec3(60, 0, 0));
    EXPECT_EQ(moving[0]->GetComponentAs<TriggerListenerComponent>()->GetTriggerId(), kBrd2);
    ASSERT_NE(BrainAction<WanderAction>(moving[0]), nullptr);
    EXPECT_EQ(BrainAction<WanderAction>(moving[0])->GetBoxMax(), Vec3(150, 0, 20));

    // 'BRD2' on the frame the summed time reaches 10 s (40 steps from the
    // first frame with a player), then 10 s later; a reset 9 s after a pulse
    // puts the next one 10 s after the reset. Nests are placed once.
    for (int i = 0; i < 38; ++i) world.Step(0.25f);
    EXPECT_EQ(brood.Pulses(kBrd2), 0);
    world.Step(0.25f);
    EXPECT_EQ(brood.Pulses(kBrd2), 1);
    for (int i = 0; i < 36; ++i) world.Step(0.25f);
    mother->Send("ResetSpawnTimer");
    for (int i = 0; i < 39; ++i) world.Step(0.25f);
    EXPECT_EQ(brood.Pulses(kBrd2), 1);
    world.Step(0.25f);
    EXPECT_EQ(brood.Pulses(kBrd2), 2);
    EXPECT_EQ(brood.Pulses(kBrd1), 0);
    EXPECT_EQ(brood.Count("spawner-yak-obj"), 3u);
    EXPECT_GE(brood.Count("pup-obj"), 2u) << "the roaming nest answers 'BRD2'";
    (void)player;
}

TEST(BroodMother, HealthLossGivesWavesAndRoamingNestsAndHerDeathTakesTheBroodWithHer) {
    {  // 0.8 then 0.6: a wave, then a roaming nest and a wave.
        BroodWorld brood;
        brood.world.Spawn("player-obj", Vec3(0, 0, 0));
        Composition* mother = brood.MakeMother();
        brood.world.Step(0.25f);
        brood.Hit(mother, 20);
        EXPECT_EQ(brood.Pulses(kBrd1), 1);
        EXPECT_EQ(brood.Count("moving-spawner-yak-obj"), 1u);
        EXPECT_FLOAT_EQ(BrainAction<BroodSpawnAction>(mother)->GetTimer(), 0.0f) << "\"ResetSpawnTimer\"";
        brood.Hit(mother, 20);
        EXPECT_EQ(brood.Pulses(kBrd1), 2);
        EXPECT_EQ(brood.Pulses(kBrd2), 2);
        EXPECT_EQ(brood.Count("moving-spawner-yak-obj"), 2u);
    }
    {  // 1.0 to 0.5 in one hit: exactly one of each.
        BroodWorld brood;
        brood.world.Spawn("player-obj", Vec3(0, 0, 0));
        Composition* mother = brood.MakeMother();
        brood.world.Step(0.25f);
        brood.Hit(mother, 50);
        EXPECT_EQ(brood.Pulses(kBrd1), 1);
        EXPECT_EQ(brood.Count("moving-spawner-yak-obj"), 2u);
    }
    {  // A heal of 0.1 first: losing 0.25 gives nothing, 0.27 a wave.
        BroodWorld brood;
        Composition* mother = brood.MakeMother();
        SendObjectMessageFloat(mother, "HealthChanged", 1.1f);
        SendObjectMessageFloat(mother, "HealthChanged", 0.85f);
        EXPECT_EQ(brood.Pulses(kBrd1), 0);
        SendObjectMessageFloat(mother, "HealthChanged", 0.83f);
        EXPECT_EQ(brood.Pulses(kBrd1), 1);
    }
    // Death: the bar goes to 0 before anything is destroyed; she and her
    // roaming nests go, the fixed nests stay, smoke where she stood, and
    // every yak dies.
    BroodWorld brood;
    GameFixture& world = brood.world;
    world.Spawn("player-obj", Vec3(0, 0, 0));
    Composition* mother = brood.MakeMother();
    world.Step(0.25f);
    brood.Hit(mother, 50);  // a second roaming nest
    world.Spawn("yak-obj", Vec3(1, 0, 1));
    world.Spawn("yak-obj", Vec3(2, 0, 2));
    world.Step(0.25f);
    world.sent.clear();
    brood.Hit(mother, 60);
    world.Step(0.25f);
    std::vector<std::string> global = world.SentTo(0u);
    const auto bar = std::find(global.begin(), global.end(), "BossHealthChanged(ui-yak, 0)");
    const auto firstDestroyed = std::find_if(global.begin(), global.end(), [](const std::string& text) {
        return text.rfind("ObjectDestroyed(", 0) == 0;
    });
    ASSERT_NE(bar, global.end());
    ASSERT_NE(firstDestroyed, global.end());
    EXPECT_LT(bar, firstDestroyed);
    EXPECT_EQ(world.Count("PlaySound(yak-brood-death-sfx)"), 1);
    EXPECT_EQ(world.Count("PlaySound(yak-death-sfx)"), 2) << "both yaks died";
    EXPECT_EQ(brood.Count("yak-obj"), 0u);
    EXPECT_EQ(brood.Count("brood-mother-obj"), 0u);
    EXPECT_EQ(brood.Count("moving-spawner-yak-obj"), 0u);
    EXPECT_EQ(brood.Count("spawner-yak-obj"), 3u);
    std::vector<Composition*> smoke = Named(world.objects, "yak-fx-obj");
    EXPECT_TRUE(std::any_of(smoke.begin(), smoke.end(),
                            [](Composition* s) { return GameFixture::PositionOf(s) == Vec3(100, 0, 0); }));
}

TEST(BroodMother, HerNineFieldsShowInOrderAndSurviveARoomRoundTrip) {
    GameFixture world(kBroodObjects);
    RoomObjects placed(world.factory);
    placed.objects = {world.factory.Create("brood-mother-obj")};
    ComponentTest::Panel panel;
    placed.objects[0]->GetComponentAs<BroodMotherComponent>()->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries,
              (std::vector<std::string>{"float SpawnTime", "float WaveHealthLossTrigger",
                                        "float WanderingHealthLossTrigger", "float RoomMinX", "float RoomMinY",
                                        "float RoomMinZ", "float RoomMaxX", "float RoomMaxY", "float RoomMaxZ"}));
    *panel.floats.at("SpawnTime") = 4.0f;
    *panel.floats.at("WanderingHealthLossTrigger") = 0.5f;
    *panel.floats.at("RoomMaxY") = 3.0f;

    SerializerLevelSave writer;
    writer.WriteObject(*placed.objects[0]);
    TiXmlPrinter printer;
    writer.Document().Accept(&printer);
    RoomObjects read(world.factory);
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("brood", printer.CStr(), read));
    ASSERT_EQ(read.objects.size(), 1u);
    ComponentTest::Panel back;
    read.objects[0]->GetComponentAs<BroodMotherComponent>()->ExposeProperties(&back);
    const std::pair<const char*, f32> expected[] = {{"SpawnTime", 4},  {"WaveHealthLossTrigger", 0.16f},
                                                    {"WanderingHealthLossTrigger", 0.5f},
                                                    {"RoomMinX", -50}, {"RoomMaxX", 150},
                                                    {"RoomMaxY", 3},   {"RoomMaxZ", 20}};
    for (const auto& [key, value] : expected) EXPECT_FLOAT_EQ(*back.floats.at(key), value) << key;
}

}  // namespace
}  // namespace Vandle::GameTest::BroodTest
