#include "tests/game/GameFixture.h"

#include "engine/base/Log.h"
#include "engine/actions/DamagePlayerAction.h"
#include "engine/actions/KnockbackPlayerAction.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Random.h"
#include "engine/io/SerializerLevelSave.h"
#include "game/enemies/ChargerAIAction.h"
#include "game/enemies/ChargerComponent.h"
#include "game/enemies/EnemyComponent.h"
#include "game/enemies/PlayerSeekAction.h"
#include "game/enemies/SpawnerComponent.h"
#include "game/enemies/WaveSpawnerComponent.h"
#include "game/objects/HealthComponent.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <numbers>

namespace Vandle::GameTest {
namespace {

const std::string kPlayer = std::string(kStillPlayerArchetype) + R"(
<walker-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
</walker-obj>
<damage-enemy-fx><TransformComponent/></damage-enemy-fx>
)";

const char kYaks[] = R"(
<yak-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>100</Health></HealthComponent>
    <EnemyComponent/>
</yak-obj>
<patient-yak-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent/>
    <EnemyComponent><ChargeWaitTime>1.0</ChargeWaitTime></EnemyComponent>
</patient-yak-obj>
<charger-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>10</Health></HealthComponent>
    <ChargerComponent><ChargeSpeed>20</ChargeSpeed></ChargerComponent>
</charger-obj>
<nest-obj>
    <TransformComponent><PosY>1</PosY></TransformComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>10</Health></HealthComponent>
    <SpawnerComponent><SpawnType>yak-obj</SpawnType><SpawnLimit>3</SpawnLimit><Destroyable>1</Destroyable></SpawnerComponent>
</nest-obj>
<pup-obj><TransformComponent/><MessageComponent/></pup-obj>
<puff-obj><TransformComponent/><MessageComponent/></puff-obj>
<wave-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <TimedTriggerComponent><RepeatTime>1</RepeatTime></TimedTriggerComponent>
    <WaveSpawnerComponent><SpawnType>pup-obj</SpawnType><SpawnLimit>2</SpawnLimit><SpawnEffect>puff-obj</SpawnEffect></WaveSpawnerComponent>
</wave-obj>
<full-wave-obj>
    <TransformComponent/>
    <MessageComponent/>
    <WaveSpawnerComponent><SpawnType>pup-obj</SpawnType><SpawnLimit>-1</SpawnLimit></WaveSpawnerComponent>
</full-wave-obj>
)";

const char kSmoke[] = "<yak-fx-obj><TransformComponent/></yak-fx-obj>";

std::string Objects(bool smoke = true) { return std::string(kPlayer) + kYaks + (smoke ? kSmoke : ""); }

template <class A>
A* FindAction(Composition* object) {
    for (IAction* action : object->GetComponentAs<BrainComponent>()->GetActionList()->Actions())
        if (auto* found = dynamic_cast<A*>(action)) return found;
    return nullptr;
}

Vec3 VelocityOf(Composition* object) { return object->GetComponentAs<MovementComponent>()->GetVelocity(); }
void SetVelocity(Composition* object, Vec3 v) { object->GetComponentAs<MovementComponent>()->SetVelocity(v); }
f32 RotY(Composition* object) { return object->GetTransform()->GetRotationY(); }
void SetRotY(Composition* object, f32 degrees) { object->GetTransform()->SetRotation(Vec3(0, degrees, 0)); }

int CountNamed(const ObjectManager& objects, const std::string& name) {
    int n = 0;
    for (u32 id : objects.GetLiveObjects()) n += objects.GetObject(id)->GetName() == name ? 1 : 0;
    return n;
}

void Touch(Composition* object, Composition* other) {
    CollisionData contact;
    contact.other = other->GetId();
    SendObjectMessageValues(object, "CollisionData", contact);
}

// Every draw of Rand() gives the top value, so each charger tick adds
// exactly 0.08 to the urge.
struct TopDraws {
    TopDraws() { SetRandSourceForTests([] { return kRandMax; }); }
    ~TopDraws() { SetRandSourceForTests({}); }
};

TEST(Yak, SpawnBlockHoldsTheSeekWhileTheOtherLanesRun) {
    GameFixture world(Objects(), GameOptions{true});
    world.Spawn("player-obj", Vec3(20, 0, 0));
    Composition* yak = world.Spawn("yak-obj", Vec3(0, 0, 0));
    world.Record(yak, {"SetShowBindPose", "TakeDamage"});
    auto* brain = FindAction<ChargerAIAction>(yak);
    ASSERT_NE(brain, nullptr);
    EXPECT_EQ(brain->GetLane(), ChargerAIAction::kLane);

    // Four steps of 0.125 s: the 0.5 s block still holds lane 0 (a remaining
    // time of exactly 0 holds), while the brain, damage, knockback and flash
    // lanes run.
    world.Step(0.125f);
    world.Step(0.125f);
    yak->Send("StartColorFlash");
    SendObjectMessageFloat2(yak, "DamageEnemy", 10.0f, 0.1f);
    SendObjectMessageVec3(yak, "KnockbackEnemy", Vec3(1, 0, 0));
    world.Step(0.125f);
    EXPECT_EQ(yak->GetComponentAs<MeshComponent>()->GetTint().y, 0.0f) << "the flash runs";
    world.Step(0.125f);
    EXPECT_EQ(world.SentTo(yak), (std::vector<std::string>{"TakeDamage(10)"}));
    EXPECT_EQ(brain->ActionBase::GetAccumulator(), 0.5f) << "the brain's clock runs during the block";
    EXPECT_EQ(VelocityOf(yak).x, 1.0f) << "knockback applied, and no seek added to it";
    EXPECT_EQ(VelocityOf(yak).z, 0.0f);

    world.Step(0.125f);  // the block ends; the bind pose goes, the seek starts
    EXPECT_EQ(world.SentTo(yak).back(), "SetShowBindPose(false)");
    world.Step(0.125f);
    EXPECT_GT(VelocityOf(yak).x, 1.0f) << "seeking the player at +x";
    EXPECT_NEAR(RotY(yak), -90.0f, 1e-3f);
}

TEST(Yak, ChargerBrainWaitsFacingThenChargesAlongItsFacing) {
    {  // The urge never grows more than 0.08 a tick under the real generator.
        GameFixture world(Objects());
        SRand(12345);
        world.Spawn("player-obj", Vec3(100, 0, 0));
        Composition* walker = world.Spawn("walker-obj");
        auto* brain = new ChargerAIAction;
        brain->SetChargeChance(1000.0f);
        world.AddAction(walker, brain, ChargerAIAction::kLane);
        f32 last = 0.0f;
        f32 top = 0.0f;
        for (int i = 0; i < 400; ++i) {
            world.Step(0.125f);
            const f32 grew = brain->GetUrge() - last;
            top = std::max(top, grew);
            EXPECT_GE(grew, 0.0f);
            last = brain->GetUrge();
        }
        EXPECT_LE(top, 0.08f + 1e-6f);
        EXPECT_GT(top, 0.0f);
    }
    TopDraws draws;
    GameFixture world(Objects());
    world.RecordGlobal({"PlaySound"});
    Composition* player = world.Spawn("player-obj", Vec3(-2, 0, 0));
    Composition* yak = world.Spawn("yak-obj", Vec3(0, 0, 0));
    world.Record(yak, {"SetAnimation", "TerminateAction"});
    auto* brain = FindAction<ChargerAIAction>(yak);
    EXPECT_FLOAT_EQ(brain->GetChargeRange(), 28.0f) << "2 x (7 x 2) x 1, compared with the squared distance";
    // Ticks fall at steps 5, 9, 13, 17 of 0.125 s; the 4th makes 0.32 >= 0.3.
    for (int i = 0; i < 16; ++i) world.Step(0.125f);
    EXPECT_FALSE(brain->IsWaiting());
    EXPECT_NE(VelocityOf(yak).x, 0.0f) << "seeking before the wait";
    world.Step(0.125f);
    ASSERT_TRUE(brain->IsWaiting());
    EXPECT_FLOAT_EQ(brain->GetUrge(), 0.0f);
    EXPECT_EQ(VelocityOf(yak).x, 0.0f) << "stopped for the wait";
    for (int i = 0; i < 3; ++i) world.Step(0.125f);
    EXPECT_EQ(VelocityOf(yak).x, 0.0f) << "the blocking face action holds the seek";
    EXPECT_NEAR(RotY(yak), 90.0f, 1e-3f) << "facing the player at -x";
    EXPECT_EQ(world.SentTo(yak), (std::vector<std::string>{"SetAnimation(yak-headshake-anim)"}));

    // The face action's id happens to be 1, which the trace also names as an object.
    ASSERT_EQ(brain->GetFaceActionId(), 1u);
    const std::string terminate = "TerminateAction(1 'player-obj')";
    world.Step(0.125f);  // the wait's tick: the face action ends, the run is queued
    EXPECT_EQ(world.SentTo(yak).back(), terminate);
    world.Step(0.125f);  // the run starts and takes its first step
    EXPECT_EQ(world.Count("PlaySound(yak-charge-sfx)"), 1);
    EXPECT_EQ(world.SentTo(yak),
              (std::vector<std::string>{"SetAnimation(yak-headshake-anim)", terminate,
                                        "SetAnimation(yak-charge-anim)"}));
    auto* run = FindAction<EnemyChargeAction>(yak);
    ASSERT_NE(run, nullptr);
    EXPECT_NEAR(run->GetDirection().x, -1.0f, 1e-6f);
    EXPECT_NEAR(run->GetDirection().z, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(VelocityOf(yak).x, -14.0f * 0.125f);
    // The editor's speed changes the seek live; the run keeps its speed.
    yak->GetComponentAs<EnemyComponent>()->SetSpeed(3.5f);
    EXPECT_EQ(FindAction<PlayerSeekAction>(yak)->GetSpeed(), 3.5f);
    for (int i = 0; i < 6; ++i) world.Step(0.125f);
    EXPECT_FLOAT_EQ(VelocityOf(yak).x, -14.0f * 0.875f);
    EXPECT_NEAR(VelocityOf(yak).z, 0.0f, 1e-6f) << "the run holds lane 0: no seek";
    EXPECT_NE(FindAction<EnemyChargeAction>(yak), nullptr);
    // The 8th step completes direction x speed x the duration and ends the
    // run, so the seek (at its new speed) takes its step in the same pass.
    world.Step(0.125f);
    EXPECT_FLOAT_EQ(VelocityOf(yak).x, -14.0f - 3.5f * 0.125f);
    EXPECT_EQ(FindAction<EnemyChargeAction>(yak), nullptr);
    EXPECT_EQ(world.SentTo(yak).back(), "SetAnimation(yak-mesh)");
    (void)player;
}

TEST(Yak, LeavingTheRangeDuringTheWaitEndsItWithoutACharge) {
    TopDraws draws;
    GameFixture world(Objects());
    world.RecordGlobal({"PlaySound"});
    Composition* player = world.Spawn("player-obj", Vec3(0, 0, -5));  // 25 <= 28
    Composition* yak = world.Spawn("patient-yak-obj", Vec3(0, 0, 0));
    auto* brain = FindAction<ChargerAIAction>(yak);
    for (int i = 0; i < 17; ++i) world.Step(0.125f);
    ASSERT_TRUE(brain->IsWaiting());
    player->GetTransform()->SetPosition(Vec3(0, 0, -5.4f));  // 29.16 > 28, though within 5.4
    for (int i = 0; i < 4; ++i) world.Step(0.125f);
    EXPECT_FALSE(brain->IsWaiting());
    world.Step(0.125f);
    EXPECT_LT(VelocityOf(yak).z, 0.0f) << "seeking again";
    for (int i = 0; i < 16; ++i) world.Step(0.125f);
    EXPECT_EQ(world.Count("PlaySound(yak-charge-sfx)"), 0);
    EXPECT_EQ(FindAction<EnemyChargeAction>(yak), nullptr);
}

TEST(Seek, StandsStillNearTheTargetAndTurnsAtMostItsRateTheShortWay) {
    GameFixture world(Objects());
    Composition* player = world.Spawn("player-obj", Vec3(0.02f, 0, 0));
    Composition* walker = world.Spawn("walker-obj");
    auto* seek = new PlayerSeekAction;
    seek->SetSpeed(10.0f);
    world.AddAction(walker, seek);
    SetRotY(walker, 45.0f);
    world.Step(0.1f);
    EXPECT_EQ(RotY(walker), 45.0f);
    EXPECT_EQ(VelocityOf(walker).LengthSquared(), 0.0f);

    // Facing -Z with the player behind (+Z): 9 degrees per 0.1 s, and the
    // push goes along the new facing.
    seek->SetMaxTurnRate(90.0f);
    SetRotY(walker, 0.0f);
    player->GetTransform()->SetPosition(Vec3(-0.5f, 0, 10));
    world.Step(0.1f);
    EXPECT_NEAR(RotY(walker), 9.0f, 1e-4f);
    const f32 nine = 9.0f * std::numbers::pi_v<f32> / 180.0f;
    EXPECT_NEAR(VelocityOf(walker).x, -std::sin(nine) * 10.0f * 0.1f, 1e-5f);
    EXPECT_NEAR(VelocityOf(walker).z, -std::cos(nine) * 10.0f * 0.1f, 1e-5f);

    // From 350 towards a heading of 10: up through 360.
    const f32 ten = 10.0f * std::numbers::pi_v<f32> / 180.0f;
    player->GetTransform()->SetPosition(Vec3(-std::sin(ten) * 10.0f, 0, -std::cos(ten) * 10.0f));
    SetRotY(walker, 350.0f);
    world.Step(0.1f);
    EXPECT_NEAR(RotY(walker), 359.0f, 1e-3f);
    world.Step(0.1f);
    EXPECT_NEAR(RotY(walker), 368.0f, 1e-3f);
    world.Step(0.1f);
    EXPECT_NEAR(RotY(walker), 10.0f, 1e-3f) << "within the step: the exact heading";

    // A new speed by message, from the next update on.
    SetVelocity(walker, Vec3());
    SendObjectMessageFloat(walker, "UpdatePlayerSeekAction", 3.5f);
    world.Step(0.1f);
    EXPECT_NEAR(VelocityOf(walker).Length(), 0.35f, 1e-5f);

    // A one-shot face action finishes even with no player; a seek without
    // a player keeps running and does nothing.
    world.objects.DestroyObject(player->GetId());
    world.Step(0.1f);
    auto* face = new FacePlayerAction;
    face->SetContinuous(false);
    world.AddAction(walker, face, FourCC("face"));
    SetVelocity(walker, Vec3());
    world.Step(0.1f);
    EXPECT_EQ(FindAction<FacePlayerAction>(walker), nullptr);
    EXPECT_EQ(VelocityOf(walker).LengthSquared(), 0.0f);
    EXPECT_NE(FindAction<PlayerSeekAction>(walker), nullptr);
}

TEST(Yak, ContactHurtsAndPushesAndDeathLeavesSmoke) {
    GameFixture world(Objects());
    world.RecordGlobal({"PlaySound"});
    Composition* player = world.Spawn("player-obj", Vec3(0, 0, -1));
    world.AddAction(player, new DamagePlayerAction, FourCC("dama"));
    world.AddAction(player, new KnockbackPlayerAction, FourCC("knoc"));
    world.Record(player, {"DamagePlayer", "KnockbackPlayer"});
    Composition* yak = world.Spawn("yak-obj", Vec3(3, 0, 4));
    Composition* walker = world.Spawn("walker-obj");

    Touch(yak, walker);
    EXPECT_TRUE(world.SentTo(player).empty()) << "only the player counts";
    Touch(yak, player);
    EXPECT_EQ(world.SentTo(player), (std::vector<std::string>{"DamagePlayer(5, 0.5)"})) << "at rest: no push";
    EXPECT_EQ(world.Count("PlaySound(light-thud-sfx)"), 1);
    world.sent.clear();
    SetVelocity(yak, Vec3(0, 0, -0.25f));
    Touch(yak, player);
    EXPECT_EQ(world.SentTo(player), (std::vector<std::string>{"KnockbackPlayer((0, 0, -60))", "DamagePlayer(5, 0.5)"}));

    // Death: the sound, smoke at the yak (whatever SpawnEffect says), the yak
    // gone at the next frame.
    const u32 id = yak->GetId();
    SendObjectMessageFloat(yak, "TakeDamage", 100.0f);
    EXPECT_EQ(world.Count("PlaySound(yak-death-sfx)"), 1);
    ASSERT_EQ(CountNamed(world.objects, "yak-fx-obj"), 1);
    world.Step(0.01f);
    EXPECT_FALSE(world.Alive(id));
    for (u32 live : world.objects.GetLiveObjects())
        if (world.objects.GetObject(live)->GetName() == "yak-fx-obj") {
            EXPECT_EQ(GameFixture::PositionOf(world.objects.GetObject(live)).x, 3.0f);
            EXPECT_EQ(GameFixture::PositionOf(world.objects.GetObject(live)).z, 4.0f);
        }
}

TEST(Yak, MissingSmokeOrSpawnEffectIsLoggedOnceAndSkipped) {
    GameFixture world(Objects(false));
    Composition* first = world.Spawn("yak-obj", Vec3(1, 0, 0));
    Composition* second = world.Spawn("yak-obj", Vec3(2, 0, 0));
    const u32 a = first->GetId();
    const u32 b = second->GetId();
    first->Send("FinishedSpawning");
    first->Send("ObjectDead");
    second->Send("ObjectDead");
    world.Step(0.01f);
    EXPECT_FALSE(world.Alive(a));
    EXPECT_FALSE(world.Alive(b));
    std::size_t lines = 0;
    for (std::size_t at = world.log.find("'yak-fx-obj' could not be created"); at != std::string::npos;
         at = world.log.find("'yak-fx-obj' could not be created", at + 1))
        ++lines;
    EXPECT_EQ(lines, 1u) << world.log;
}

TEST(Spawner, NestFillsToItsLimitRefillsAndDiesAlone) {
    GameFixture world(Objects());
    world.RecordGlobal({"ShowTutorial", "LockTutorial", "PlaySound"});
    Composition* nest = world.Spawn("nest-obj", Vec3(5, 1, 0));
    EXPECT_EQ(world.SentTo(0u)[0], "ShowTutorial(spawner-appears)");
    EXPECT_EQ(world.SentTo(0u)[1], "LockTutorial(spawner-appears)");
    std::vector<u32> yaks;
    auto countYaks = [&] {
        yaks.clear();
        world.objects.FindObjectsWithComponent(EnemyComponent::kTypeId, yaks);
        return int(yaks.size());
    };
    world.Run(29.0f, 0.25f);
    EXPECT_EQ(countYaks(), 2);
    world.Run(1.5f, 0.25f);
    EXPECT_EQ(countYaks(), 3);
    EXPECT_EQ(CountNamed(world.objects, "yak-fx-obj"), 3) << "each yak shows its spawn effect";
    EXPECT_EQ(GameFixture::PositionOf(world.objects.GetObject(yaks[0])).x, 5.0f);
    EXPECT_EQ(GameFixture::PositionOf(world.objects.GetObject(yaks[0])).y, 1.0f);
    world.Run(10.0f, 0.25f);
    EXPECT_EQ(countYaks(), 3) << "full";

    SendObjectMessageFloat(world.objects.GetObject(yaks[0]), "TakeDamage", 100.0f);
    world.Step(0.25f);
    EXPECT_EQ(countYaks(), 2);
    world.Run(10.0f, 0.25f);
    EXPECT_EQ(countYaks(), 3) << "refilled at the next period";

    // The editor's fields reach the running spawn action all at once.
    world.Record(nest, {"UpdateSpawnAction"});
    nest->GetComponentAs<SpawnerComponent>()->SetSpawnTime(5.0f);
    EXPECT_EQ(world.SentTo(nest), (std::vector<std::string>{"UpdateSpawnAction(yak-obj, 5, 3)"}));

    const u32 nestId = nest->GetId();
    SendObjectMessageFloat2(nest, "DamageEnemy", 50.0f, 0.1f);
    EXPECT_EQ(world.Count("PlaySound(spawner-death-sfx)"), 1);
    world.Step(0.25f);
    EXPECT_FALSE(world.Alive(nestId));
    EXPECT_EQ(countYaks(), 3) << "its yaks live on";
    EXPECT_EQ(world.Count("ShowTutorial(spawner-appears)"), 1);
}

TEST(WaveSpawner, PausesWhenFullAndRestartsItsTimerOneBelowTheLimit) {
    GameFixture world(Objects());
    Composition* wave = world.Spawn("wave-obj");
    world.Record(wave, {"PauseTimedTrigger", "ResetTimedTrigger", "ResumeTimedTrigger"});
    auto* spawner = wave->GetComponentAs<WaveSpawnerComponent>();
    world.Run(2.5f, 0.25f);  // pulses at 1.25 and 2.25 s
    ASSERT_EQ(spawner->GetSpawned().size(), 2u);
    EXPECT_EQ(CountNamed(world.objects, "puff-obj"), 2) << "an effect with each, not counted";
    EXPECT_TRUE(world.SentTo(wave).empty());
    world.Run(1.0f, 0.25f);  // pulse 3
    EXPECT_EQ(world.SentTo(wave), (std::vector<std::string>{"PauseTimedTrigger()"}));
    world.Run(5.0f, 0.25f);
    EXPECT_EQ(world.SentTo(wave).size(), 1u) << "paused: no more pulses";
    EXPECT_EQ(CountNamed(world.objects, "pup-obj"), 2);

    // An effect's death counts nothing.
    for (u32 id : world.objects.GetLiveObjects())
        if (world.objects.GetObject(id)->GetName() == "puff-obj") world.objects.DestroyObject(id);
    world.Step(0.0f);
    EXPECT_EQ(world.SentTo(wave).size(), 1u);
    // Both spawned objects go in one frame: the first brings the count to
    // exactly limit - 1, the second to 0.
    const std::vector<u32> spawned = spawner->GetSpawned();
    world.objects.DestroyObject(spawned[0]);
    world.objects.DestroyObject(spawned[1]);
    world.Step(0.0f);
    EXPECT_EQ(world.SentTo(wave),
              (std::vector<std::string>{"PauseTimedTrigger()", "ResetTimedTrigger()", "ResumeTimedTrigger()"}));
    EXPECT_TRUE(spawner->GetSpawned().empty());
    world.Run(1.25f, 0.25f);
    EXPECT_EQ(spawner->GetSpawned().size(), 1u) << "a full period after the restart";

    // A negative limit is always full: it pauses and makes nothing, and says
    // so once when it starts.
    Composition* full = world.Spawn("full-wave-obj");
    world.Record(full, {"PauseTimedTrigger"});
    full->Send("TriggerFired");
    full->Send("TriggerFired");
    EXPECT_EQ(world.SentTo(full), (std::vector<std::string>{"PauseTimedTrigger()", "PauseTimedTrigger()"}));
    EXPECT_TRUE(full->GetComponentAs<WaveSpawnerComponent>()->GetSpawned().empty());
    EXPECT_NE(world.log.find("SpawnLimit -1 is negative"), std::string::npos);
}

TEST(PeriodicCharger, EveryContactHurtsAndPushesAndItDiesSilently) {
    GameFixture world(Objects());
    world.RecordGlobal({"PlaySound"});
    Composition* player = world.Spawn("player-obj", Vec3(0, 0, -30));
    Composition* charger = world.Spawn("charger-obj");
    auto* brain = FindAction<ChargerAIAction>(charger);
    ASSERT_NE(brain, nullptr);
    EXPECT_EQ(brain->GetChargeSpeed(), 20.0f);
    EXPECT_EQ(charger->GetComponentAs<ChargerComponent>()->GetChargePercentage(), 5u);
    EXPECT_EQ(FindAction<PlayerSeekAction>(charger)->GetSpeed(), 2.0f);

    Touch(charger, player);
    EXPECT_EQ(VelocityOf(player).LengthSquared(), 0.0f) << "at rest: no push";
    SetVelocity(charger, Vec3(1, 0, 2));
    world.Step(0.016f);
    SetVelocity(charger, Vec3(1, 0, 2));
    Touch(charger, player);
    EXPECT_EQ(player->GetComponentAs<HealthComponent>()->GetHealth(), 90.0f) << "two contacts deal 10";
    EXPECT_EQ(VelocityOf(player).x, 3.0f);
    EXPECT_EQ(VelocityOf(player).z, 6.0f);

    const u32 id = charger->GetId();
    SendObjectMessageFloat(charger, "TakeDamage", 10.0f);
    world.Step(0.016f);
    EXPECT_FALSE(world.Alive(id));
    EXPECT_EQ(world.Count("PlaySound(yak-death-sfx)"), 0);
    EXPECT_TRUE(world.sent.empty());
}

TEST(EnemyLifecycle, TemplatesStayInertObjectsLeaveNoListenersAndEditsSurviveARoom) {
    GameFixture world(Objects());
    const std::vector<std::string> archetypes = {"yak-obj", "charger-obj", "nest-obj", "wave-obj"};
    for (const std::string& name : archetypes) {
        const Composition* archetype = world.factory.FindArchetype(name);
        for (const char* local : {"CollisionData", "ObjectDead", "FinishedSpawning", "TriggerFired"})
            EXPECT_FALSE(archetype->GetMessageComponent()->GetTable().HasEntry(local)) << name << " " << local;
        EXPECT_TRUE(archetype->GetComponentAs<BrainComponent>()->GetActionList()->IsEmpty()) << name;
    }
    // The logic system is the one listener the world starts with.
    const std::size_t before = world.core.GetTable().GetListeners("ObjectDestroyed").size();
    EXPECT_EQ(before, 1u);
    for (const std::string& name : archetypes) {
        std::vector<u32> ids;
        for (int i = 0; i < 300; ++i) ids.push_back(world.Spawn(name)->GetId());
        world.Step(0.1f);
        for (u32 id : ids) world.objects.DestroyObject(id);
        world.Step(0.1f);
        EXPECT_EQ(world.core.GetTable().GetListeners("ObjectDestroyed").size(), before) << name;
    }

    RoomObjects placed(world.factory);
    placed.objects = {world.factory.Create("yak-obj"), world.factory.Create("nest-obj"),
                      world.factory.Create("wave-obj"), world.factory.Create("charger-obj")};
    ComponentTest::Panel yak, nest, wave, charger;
    placed.objects[0]->ExposeProperties(&yak);
    placed.objects[1]->ExposeProperties(&nest);
    placed.objects[2]->ExposeProperties(&wave);
    placed.objects[3]->ExposeProperties(&charger);
    yak.Set<float>("speed", 3.5f);
    nest.Set<int>("SpawnLimit", 5);
    nest.Set<float>("SpawnTime", 4.0f);
    wave.Set<int>("SpawnLimit", -1);
    EXPECT_EQ(charger.Get<float>("ChargeSpeed"), 20.0f);
    EXPECT_EQ(charger.Get<unsigned>("ChargePercentage"), 5u);

    SerializerLevelSave writer;
    for (Composition* object : placed.objects) writer.WriteObject(*object);
    TiXmlPrinter printer;
    writer.Document().Accept(&printer);
    RoomObjects read(world.factory);
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("trip", printer.CStr(), read));
    ASSERT_EQ(read.objects.size(), 4u);
    EXPECT_EQ(read.objects[0]->GetComponentAs<EnemyComponent>()->GetSpeed(), 3.5f);
    auto* nestRead = read.objects[1]->GetComponentAs<SpawnerComponent>();
    EXPECT_EQ(nestRead->GetSpawnLimit(), 5);
    EXPECT_EQ(nestRead->GetSpawnTime(), 4.0f);
    EXPECT_EQ(nestRead->GetSpawnType(), "yak-obj");
    EXPECT_EQ(read.objects[2]->GetComponentAs<WaveSpawnerComponent>()->GetSpawnLimit(), -1);
    EXPECT_EQ(read.objects[3]->GetComponentAs<ChargerComponent>()->GetChargeSpeed(), 20.0f);
    EXPECT_EQ(std::string(printer.CStr()).find("SpawnEffect"), std::string::npos)
        << "an unread SpawnEffect is never written";
}

// Periods from a room between 0 (spawn once) and a tenth of a second spawn
// every frame: told with the room's file and raised to the tenth.
TEST(Spawner, NearZeroPeriodFromARoomIsLoggedWithItsFileAndRaised) {
    GameFixture world(Objects());
    RoomObjects read(world.factory);
    {
        Ostrel::LogSourceScope source("rsc/level/bad-nests.xrm");
        ASSERT_TRUE(SerializerXML(true).ReadRoomText(
            "bad-nests",
            "<Level><Objects><nest-obj><SpawnerComponent><SpawnTime>0.000001</SpawnTime></SpawnerComponent></nest-obj>"
            "<nest-obj><SpawnerComponent><SpawnTime>0</SpawnTime></SpawnerComponent></nest-obj></Objects></Level>",
            read));
    }
    ASSERT_EQ(read.objects.size(), 2u);
    EXPECT_EQ(read.objects[0]->GetComponentAs<SpawnerComponent>()->GetSpawnTime(), SpawnerComponent::kMinSpawnTime);
    EXPECT_EQ(read.objects[1]->GetComponentAs<SpawnerComponent>()->GetSpawnTime(), 0.0f) << "0 spawns once";
    EXPECT_NE(world.log.find("rsc/level/bad-nests.xrm: spawner: SpawnTime 1e-06 s is below 0.1 s; taken as 0.1 s"),
              std::string::npos) << world.log;
}

}  // namespace
}  // namespace Vandle::GameTest
