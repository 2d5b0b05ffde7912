// Gates, checkpoints, the goal, damage traps and triggered deaths.
#include "tests/game/GameFixture.h"

#include "engine/world/RoomInstance.h"
#include "game/enemies/TriggeredDeathComponent.h"
#include "game/objects/GateComponent.h"
#include "game/objects/GoalComponent.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Vandle::GameTest {
namespace {

const char kGateObjects[] = R"(
<gate-obj>
    <TransformComponent><ScaY>4</ScaY></TransformComponent>
    <MessageComponent/>
    <BrainComponent/>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <CollisionComponent/>
    <GateComponent><GrowthTime>3</GrowthTime></GateComponent>
</gate-obj>
<instant-gate-obj>
    <TransformComponent><PosY>6</PosY><ScaY>2</ScaY></TransformComponent>
    <MessageComponent/>
    <BrainComponent/>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <CollisionComponent/>
    <GateComponent><GrowthTime>0</GrowthTime></GateComponent>
</instant-gate-obj>
<yak-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent/>
    <EnemyComponent/>
</yak-obj>
<nest-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <SpawnerComponent><SpawnType>pup-obj</SpawnType><SpawnLimit>1</SpawnLimit></SpawnerComponent>
    <EnemyComponent/>
</nest-obj>
<pup-obj><TransformComponent/></pup-obj>
<rumble-obj><TransformComponent/></rumble-obj>
)";

const char kGateRoom[] = R"(<Level><Objects>
<gate-obj><TransformComponent><PosX>10</PosX><PosY>2</PosY></TransformComponent></gate-obj>
<yak-obj><TransformComponent><PosX>1</PosX></TransformComponent></yak-obj>
<yak-obj><TransformComponent><PosX>2</PosX></TransformComponent></yak-obj>
<yak-obj><TransformComponent><PosX>3</PosX></TransformComponent></yak-obj>
</Objects></Level>)";

TEST(Gate, RisesOverItsGrowthTimeCountsTheRoomsEnemiesAndSinksAfterTheLast) {
    GameFixture world(kGateObjects);
    world.RecordGlobal({"PlaySound"});
    const u32 early = world.Spawn("yak-obj")->GetId();  // announced before the gate exists

    RoomInstance room;
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("gate-room", kGateRoom, room));
    room.InstantiateObjects();
    std::vector<u32> yaks;
    u32 gateId = 0;
    for (u32 id : world.objects.GetLiveObjects()) {
        const std::string& name = world.objects.GetObject(id)->GetName();
        if (name == "gate-obj") gateId = id;
        if (name == "yak-obj" && id != early) yaks.push_back(id);
    }
    ASSERT_EQ(yaks.size(), 3u);
    Composition* gate = world.objects.GetObject(gateId);
    auto* component = gate->GetComponentAs<GateComponent>();
    EXPECT_EQ(component->GetGrowthTime(), 3.0f) << "the archetype's growth time survives the clone";
    EXPECT_EQ(component->GetLiveIds(), yaks) << "the yaks placed after the gate, in order";
    TransformComponent* at = gate->GetTransform();
    EXPECT_EQ(at->GetPosition(), Vec3(10, 0, 0)) << "risen from half its height of 4 below";
    EXPECT_EQ(at->GetScale(), Vec3(1, 2, 1));
    EXPECT_EQ(world.Count("PlaySound(menhir-move-sfx)"), 1);

    for (int step = 1; step <= 6; ++step) world.Step(0.5f);
    EXPECT_NEAR(at->GetPosition().y, 2.0f, 1e-5f) << "3 s of rise";
    world.Step(0.5f);
    EXPECT_EQ(at->GetPosition(), Vec3(10, 2, 0));
    EXPECT_EQ(at->GetScale(), Vec3(1, 4, 1));

    // Uncounted and non-last destructions keep the gate closed.
    world.objects.DestroyObject(early);
    world.objects.DestroyObject(yaks[0]);
    world.objects.DestroyObject(yaks[1]);
    world.Step(0.5f);
    EXPECT_EQ(world.Count("PlaySound(menhir-move-sfx)"), 1);
    EXPECT_EQ(component->GetLiveIds(), std::vector<u32>{yaks[2]});

    world.objects.DestroyObject(yaks[2]);
    world.Step(0.5f);  // announced: the sinking starts and takes its first step
    EXPECT_EQ(world.Count("PlaySound(menhir-move-sfx)"), 2) << "the last kill gives one sound";
    for (int step = 2; step <= 6; ++step) world.Step(0.5f);
    EXPECT_NEAR(at->GetPosition().y, 0.0f, 1e-5f);
    EXPECT_TRUE(world.Alive(gateId));
    world.Step(0.01f);  // the sunk pose; the removal counts its first 0.01 s, not more
    EXPECT_EQ(at->GetPosition(), Vec3(10, 0, 0));
    EXPECT_EQ(at->GetScale(), Vec3(1, 2, 1));
    world.Step(0.01f);  // more than 0.01 s: the removal is queued
    EXPECT_TRUE(world.Alive(gateId));
    world.Step(0.01f);
    EXPECT_FALSE(world.Alive(gateId));
}

// The level editor keeps its room in a paused world: a gate made there
// stands where it was placed (what the editor shows and saves) and rises
// once the world resumes. What the rise makes is run-time only and never
// carries the room-save flag.
TEST(Gate, MadeInAPausedWorldStandsPlacedAndRisesOnResume) {
    GameFixture world(kGateObjects);
    world.RecordGlobal({"PlaySound"});
    world.engine.SetPaused(true);
    RoomInstance room;
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("gate-room", kGateRoom, room));
    room.InstantiateObjects();
    world.Step(0.5f);
    Composition* gate = nullptr;
    for (u32 id : world.objects.GetLiveObjects()) {
        Composition* object = world.objects.GetObject(id);
        if (object->GetName() == "gate-obj") gate = object;
        EXPECT_NE(object->GetName(), "rumble-obj");
    }
    ASSERT_NE(gate, nullptr);
    TransformComponent* at = gate->GetTransform();
    EXPECT_EQ(at->GetPosition(), Vec3(10, 2, 0));
    EXPECT_EQ(at->GetScale(), Vec3(1, 4, 1));
    EXPECT_TRUE(gate->GetComponentAs<GateComponent>()->IsRisePending());
    EXPECT_EQ(world.Count("PlaySound(menhir-move-sfx)"), 0);

    world.engine.SetPaused(false);
    world.core.Send("GameResumed");
    world.core.Send("GameResumed");  // a second resume does not rise again
    EXPECT_EQ(at->GetPosition(), Vec3(10, 0, 0)) << "the rise starts from the sunk pose";
    EXPECT_EQ(world.Count("PlaySound(menhir-move-sfx)"), 1);
    world.Step(0.5f);
    size_t rumbles = 0;
    for (u32 id : world.objects.GetLiveObjects()) {
        const Composition* object = world.objects.GetObject(id);
        if (object->GetName() != "rumble-obj") continue;
        ++rumbles;
        EXPECT_FALSE(object->GetSaveFlag());
    }
    EXPECT_EQ(rumbles, 1u);
    EXPECT_TRUE(gate->GetSaveFlag());
}

TEST(Gate, CountsObjectsOnceByTheirComponentsInTheOrderTheyAreAnnounced) {
    GameFixture world(kGateObjects);
    world.Spawn("yak-obj");                          // announced before the gate: not counted
    const u32 pending = world.Create("yak-obj")->GetId();  // made before it, announced after
    Composition* gate = world.Spawn("instant-gate-obj");
    auto* component = gate->GetComponentAs<GateComponent>();
    const u32 nest = world.Spawn("nest-obj")->GetId();  // a spawner and an enemy: once
    world.Run(1.0f);  // its pup carries nothing the gate watches
    EXPECT_EQ(component->GetLiveIds(), (std::vector<u32>{pending, nest}));

    // A growth time of 0: the placed pose at once, nothing divided by zero.
    EXPECT_EQ(gate->GetTransform()->GetPosition(), Vec3(0, 6, 0));
    EXPECT_EQ(gate->GetTransform()->GetScale(), Vec3(1, 2, 1));

    world.objects.DestroyObject(pending);
    world.Step(0.1f);
    EXPECT_EQ(component->GetLiveIds(), std::vector<u32>{nest}) << "the spawner keeps the gate closed";
    world.objects.DestroyObject(nest);
    world.Step(0.1f);  // sinks at once (no time), then counts its 0.01 s
    const Vec3 sunk = gate->GetTransform()->GetPosition();
    EXPECT_TRUE(std::isfinite(sunk.y));
    EXPECT_EQ(sunk, Vec3(0, 5, 0));
    const u32 gateId = gate->GetId();
    world.Step(0.1f);
    EXPECT_FALSE(world.Alive(gateId));
}

const char kProgressObjects[] = R"(
<player-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <CollisionComponent><Static>0</Static><CollideWithStatics>1</CollideWithStatics><CollideWithDynamics>1</CollideWithDynamics></CollisionComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>100</Health></HealthComponent>
    <PlayerComponent/>
</player-obj>
<walker-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <CollisionComponent><Static>0</Static><CollideWithStatics>1</CollideWithStatics></CollisionComponent>
    <MessageComponent/>
</walker-obj>
<goal-obj>
    <TransformComponent/>
    <MessageComponent/>
    <MeshComponent><MeshID>Wide</MeshID></MeshComponent>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics></CollisionComponent>
    <GoalComponent/>
</goal-obj>
<checkpoint-obj>
    <TransformComponent/>
    <MessageComponent/>
    <TriggerListenerComponent><TriggerId>4</TriggerId></TriggerListenerComponent>
    <CheckpointComponent/>
</checkpoint-obj>
<scenery-obj>
    <TransformComponent/>
    <MessageComponent/>
    <TriggerListenerComponent><TriggerId>7</TriggerId></TriggerListenerComponent>
</scenery-obj>
<trap-obj>
    <TransformComponent/>
    <MessageComponent/>
    <DamageTrapComponent><Damage>12</Damage></DamageTrapComponent>
</trap-obj>
<damage-enemy-fx><TransformComponent/></damage-enemy-fx>
)";

TEST(Progress, ACheckpointAnnouncesItsPlaceEachTimeAndTheGoalIsReachedOnce) {
    GameFixture world(kProgressObjects, GameOptions{.physics = true});
    world.RecordGlobal({"PlaySound", "CheckpointUpdated", "GoalReached"});
    Composition* checkpoint = world.Spawn("checkpoint-obj", Vec3(1, 2, 3));
    world.core.SendMessageInt("TriggerActivated", 4);
    checkpoint->GetTransform()->SetPosition(Vec3(-4, 0, 8));  // moved before it fires again
    world.core.SendMessageInt("TriggerActivated", 4);
    EXPECT_EQ(world.SentTo(0u), (std::vector<std::string>{"PlaySound(checkpoint-sfx)", "CheckpointUpdated((1, 2, 3))",
                                                          "PlaySound(checkpoint-sfx)", "CheckpointUpdated((-4, 0, 8))"}));

    // Standing on the goal for 30 physics steps: one "GoalReached". Another
    // object on another goal: nothing.
    world.sent.clear();
    Composition* goal = world.Spawn("goal-obj", Vec3(0, 0, 20));
    world.Spawn("player-obj", Vec3(0.5f, 0, 20));
    Composition* enemyGoal = world.Spawn("goal-obj", Vec3(50, 0, 0));
    world.Spawn("walker-obj", Vec3(50.5f, 0, 0));
    for (int step = 0; step < 30; ++step) world.Step(0.016f);
    EXPECT_EQ(world.SentTo(0u), std::vector<std::string>{"GoalReached()"});
    EXPECT_TRUE(goal->GetComponentAs<GoalComponent>()->IsReached());
    EXPECT_FALSE(enemyGoal->GetComponentAs<GoalComponent>()->IsReached());
}

void Bump(Composition* object, Composition* other) {
    CollisionData contact;
    contact.other = other->GetId();
    SendObjectMessageValues(object, "CollisionData", contact);
}

TEST(Progress, ATrapPushesThePlayerAlongTheDominantAxisAndIgnoresOthers) {
    GameFixture world(kProgressObjects);
    Composition* trap = world.Spawn("trap-obj", Vec3(1, 0, 1));
    Composition* player = world.Spawn("player-obj", Vec3(4, 9, 4));
    world.Record(player, {"DamagePlayer", "KnockbackPlayer"});
    Bump(trap, world.Spawn("walker-obj", Vec3(1, 0, 2)));
    EXPECT_TRUE(world.sent.empty());
    Bump(trap, player);  // diagonal: a tie goes to z
    player->GetTransform()->SetPosition(Vec3(-2, 0, 1.5f));
    Bump(trap, player);
    player->GetTransform()->SetPosition(Vec3(1, 3, 1));
    Bump(trap, player);  // right above the centre: no push
    EXPECT_EQ(world.SentTo(player),
              (std::vector<std::string>{"DamagePlayer(12, 0.5)", "KnockbackPlayer((0, 0, 25))", "DamagePlayer(12, 0.5)",
                                        "KnockbackPlayer((-25, 0, 0))", "DamagePlayer(12, 0.5)",
                                        "KnockbackPlayer((0, 0, 0))"}));
}

TEST(Progress, ATriggeredDeathGivenInCodeRemovesItsObjectAndItsClones) {
    GameFixture world(kProgressObjects);
    const std::size_t listenersBefore = world.core.GetTable().GetListeners("TriggerActivated").size();
    Composition* scenery = world.Spawn("scenery-obj");
    auto* death = new TriggeredDeathComponent;
    ASSERT_TRUE(scenery->AddComponent(death));
    death->Initialize();
    EXPECT_FALSE(world.factory.IsRegistered(TriggeredDeathComponent::kTypeId)) << "kept out of the factory";
    // The clone's component comes from the meta class; both are freed by the
    // factory when their objects go (the leak check would see otherwise).
    const u32 copy = world.objects.CloneObject(scenery->GetId());
    ASSERT_NE(world.objects.GetObject(copy)->GetComponent(TriggeredDeathComponent::kTypeId), nullptr);
    const u32 other = world.Spawn("scenery-obj")->GetId();
    world.core.SendMessageInt("TriggerActivated", 6);
    world.Step(0.1f);
    EXPECT_TRUE(world.Alive(scenery->GetId()));
    world.core.SendMessageInt("TriggerActivated", 7);
    world.core.SendMessageInt("TriggerActivated", 7);  // queued twice: reported once and skipped
    world.Step(0.1f);
    EXPECT_FALSE(world.Alive(copy));
    EXPECT_TRUE(world.Alive(other)) << "a listener without the component only fires";
    EXPECT_EQ(world.objects.GetLiveObjects(), std::vector<u32>{other});
    world.objects.DestroyObject(other);
    world.Step(0.1f);
    EXPECT_EQ(world.core.GetTable().GetListeners("TriggerActivated").size(), listenersBefore);
}

}  // namespace
}  // namespace Vandle::GameTest
