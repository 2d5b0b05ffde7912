#include "tests/game/GameFixture.h"

#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/OrbitAction.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/core/Engine.h"
#include "engine/io/ConfigureFileXML.h"
#include "game/objects/BurnAction.h"
#include "game/objects/HealthComponent.h"
#include "game/player/ArcAttackAction.h"
#include "game/common/BobAction.h"
#include "game/player/MeteorAttackAction.h"
#include "game/player/PlayerComponent.h"
#include "game/player/QilComponent.h"
#include "game/player/ShieldAttackAction.h"
#include "game/player/VictoryAction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

namespace Vandle::GameTest {
namespace {

std::string AttackDataText(const std::string& relative) {
    std::ifstream in(std::string(LV_SOURCE_DIR) + "/" + relative);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Test-only objects: a sturdy target with the enemies' damage gate (added by
// the test), burnable and half-burnable targets, and a companion that lacks
// its movement.
const char kAttackTestObjects[] = R"(
<sturdy-target-obj>
    <TransformComponent><ScaX>1.200000</ScaX><ScaY>3.000000</ScaY><ScaZ>1.200000</ScaZ></TransformComponent>
    <MessageComponent/>
    <BrainComponent/>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics></CollisionComponent>
    <HealthComponent><Health>1000</Health></HealthComponent>
</sturdy-target-obj>
<brainless-target-obj>
    <TransformComponent><ScaY>3.000000</ScaY></TransformComponent>
    <MessageComponent/>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics></CollisionComponent>
    <HealthComponent><Health>1000</Health></HealthComponent>
</brainless-target-obj>
<healthless-target-obj>
    <TransformComponent><ScaY>3.000000</ScaY></TransformComponent>
    <MessageComponent/>
    <BrainComponent/>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics></CollisionComponent>
</healthless-target-obj>
<still-qil-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <CollisionComponent><ShapeName>SPHERE</ShapeName><Static>0</Static></CollisionComponent>
    <QilComponent/>
</still-qil-obj>
<rumble-obj>
    <TransformComponent/>
    <MessageComponent/>
</rumble-obj>
)";

// The shipped player, companion, level pieces and effects under the shipped
// physics (with or without gravity), stepped at 60 frames per second.
struct AttackWorld : GameFixture {
    explicit AttackWorld(bool gravity = false, const std::string& companionText = ShippedCompanion())
        : GameFixture(AttackDataText("rsc/objects/player-objects.xobj") + companionText +
                          AttackDataText("rsc/objects/level-objects.xobj") + kAttackTestObjects,
                      GameOptions{true, Physics(gravity)}) {
        meshes.meshes["Sphere"] = {Vec3(0.5f, 0, 0), Vec3(-0.5f, 0, 0), Vec3(0, 0.5f, 0),
                                   Vec3(0, -0.5f, 0), Vec3(0, 0, 0.5f), Vec3(0, 0, -0.5f)};
        AddPropertyPage("qil-colors", AttackDataText("rsc/pages/qil-colors.xpro"));
        AddPropertyPage("qil-light", AttackDataText("rsc/pages/qil-light.xpro"));
    }
    static std::string ShippedCompanion() { return AttackDataText("rsc/objects/companion-objects.xobj"); }
    static PhysicsSettings Physics(bool gravity) {
        ConfigureFileXML config(true);
        config.Load(std::string(LV_SOURCE_DIR) + "/rsc/physics.xcfg");
        Ostrel::Physics shipped;
        shipped.LoadConfig(&config);
        PhysicsSettings settings = shipped.GetSettings();
        if (!gravity) settings.gravity = 0.0f;
        return settings;
    }
    void Place(const Vec3& playerAt = Vec3(0.0f, 1.0f, 0.0f)) {
        player = Spawn("spawner-Luvo", playerAt);
        qil = Spawn("spawner-qil-obj", playerAt + Vec3(1.0f, 0.0f, 1.5f));
    }
    // The player's current attack with that many charges.
    void Choose(const char* attack, int charges) {
        SendObjectMessageStringInt(player, "ChangePlayerAttack", attack, charges);
    }
    void Attack(const Vec3& aim) { SendObjectMessageVec3(player, "PlayerAttack", aim); }
    void BuildGrid() {
        physics->GetCollisionWorld().BuildStaticGrid();
        physics->GetCollisionWorld().SetGridReady();
    }
    QilComponent* Qil() { return Get<QilComponent>(qil); }
    PlayerComponent* Hero() { return Get<PlayerComponent>(player); }
    Vec3 QilPosition() { return PositionOf(qil); }
    Vec3 ColliderSize() { return Get<CollisionComponent>(qil)->GetVolume().size; }
    std::vector<IAction*> QilActions() { return GetBrainComponentOf(qil)->GetActionList()->Actions(); }
    template <class A>
    int CountActions(Composition* object, u32 lane) {
        int n = 0;
        for (IAction* action : GetBrainComponentOf(object)->GetActionList()->Actions())
            n += dynamic_cast<A*>(action) && action->GetLane() == lane ? 1 : 0;
        return n;
    }
    int CountNamed(const char* archetype) {
        std::vector<u32> ids;
        objects.FindObjectsWithComponent(TransformComponent::kTypeId, ids);
        int n = 0;
        for (u32 id : ids) n += objects.GetObject(id)->GetName() == archetype ? 1 : 0;
        return n;
    }
    Composition* player = nullptr;
    Composition* qil = nullptr;
};

constexpr f32 kAttackFrame = 1.0f / 60.0f;

bool Holds(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(SpecialAttacks, ArcSweepsAHalfCircleAroundThePlayerWithABigColliderAndHitsWhatItTouches) {
    AttackWorld world;
    world.Place();
    Composition* dummy = world.Spawn("target-dummy-obj", Vec3(0.0f, 3.0f, 6.0f));
    world.Run(1.0f);
    const Vec3 restSize = world.ColliderSize();
    world.Record(world.qil, {"FinishedAttack", "TransformUpdated"});
    world.Record(dummy, {"DamageEnemy", "KnockbackEnemy"});
    world.RecordGlobal({"PlaySound"});
    world.Choose("ArcAttack", -1);
    world.Attack(Vec3(0.0f, 0.0f, 2.0f));  // normalised by the companion

    // The points of the sweep, aiming along +z.
    ArcAttackAction* arc = nullptr;
    for (IAction* action : world.QilActions())
        if (auto* found = dynamic_cast<ArcAttackAction*>(action)) arc = found;
    ASSERT_NE(arc, nullptr);
    EXPECT_FLOAT_EQ(arc->GetStartAngle(), 90.0f);
    const Vec3 centre(1.0f, 2.0f, 3.0f);
    const Vec3 expected[] = {Vec3(-6.0f, 3.0f, 0.0f), Vec3(0.0f, 3.0f, 6.0f), Vec3(6.0f, 3.0f, 0.0f)};
    for (int i = 0; i < 3; ++i) {
        const Vec3 point = arc->ArcPoint(centre, 90.0f * f32(i)) - centre;
        EXPECT_NEAR(point.x, expected[i].x, 1e-4f) << i;
        EXPECT_NEAR(point.y, expected[i].y, 1e-4f) << i;
        EXPECT_NEAR(point.z, expected[i].z, 1e-4f) << i;
    }
    // Collides at three times its size, drawn at 0.75.
    EXPECT_NEAR(world.ColliderSize().x, restSize.x * 3.0f, 1e-3f);
    EXPECT_EQ(world.qil->GetTransform()->GetScale(), Vec3(0.75f, 0.75f, 0.75f));

    // The sweep: on the circle 6 out and 3 up, turning from -x over +z to +x.
    std::vector<Vec3> sweep;
    int frames = 0;
    while (world.Qil()->IsAttacking() && frames++ < 60) {
        world.Step(kAttackFrame);
        if (!world.Qil()->IsAttacking() || frames <= 4) continue;
        sweep.push_back(world.QilPosition() - world.PositionOf(world.player));
        EXPECT_EQ(world.Get<MovementComponent>(world.qil)->GetVelocity(), Vec3(0.0f, 0.0f, 0.0f))
            << "placed on the arc, not carried off it";
    }
    EXPECT_FALSE(world.Qil()->IsAttacking());
    ASSERT_GE(sweep.size(), 8u);
    f32 lastAngle = -1.0f;
    for (const Vec3& gap : sweep) {
        EXPECT_NEAR(std::sqrt(gap.x * gap.x + gap.z * gap.z), 6.0f, 1e-3f);
        EXPECT_NEAR(gap.y, 3.0f, 1e-3f);
        const f32 swept = std::atan2(gap.z, -gap.x) * 57.29578f;  // 0 at -x, 90 at +z
        EXPECT_GT(swept, lastAngle);
        lastAngle = swept;
    }
    EXPECT_LT(sweep.front().x, -3.5f);
    EXPECT_GT(sweep.back().x, 5.0f);

    const auto dummyGot = world.SentTo(dummy);

    ASSERT_FALSE(dummyGot.empty()) << "the sweep passes through the dummy";
    EXPECT_EQ(dummyGot.front(), "DamageEnemy(50, 0.2)");
    EXPECT_TRUE(Holds(dummyGot, "KnockbackEnemy((0, 0, 200))"));
    EXPECT_TRUE(Holds(world.SentTo(0u), "PlaySound(attack-arc-sfx)"));
    const auto qilGot = world.SentTo(world.qil);
    ASSERT_GE(qilGot.size(), 2u);
    EXPECT_EQ(qilGot[qilGot.size() - 2], "TransformUpdated()");
    EXPECT_EQ(qilGot.back(), "FinishedAttack()");
    EXPECT_NEAR(world.ColliderSize().x, restSize.x * 0.75f / 0.7f, 1e-3f) << "refitted to the drawn size";
}

TEST(SpecialAttacks, MeteorLandsOnTheFloorShakesAndHurlsWhatIsNearOnceThenRestoresItsFlags) {
    AttackWorld world(true);
    world.Spawn("floor-piece-obj", Vec3(0.0f, -0.5f, -4.0f));  // top at 0, from z -9 to 1
    world.Place();
    world.BuildGrid();
    world.Run(1.0f);
    const Vec3 start = world.QilPosition();
    Composition* target = world.Spawn("sturdy-target-obj", Vec3(start.x, 1.5f, start.z - 7.0f));
    world.AddAction(target, new DamageEnemyAction, FourCC("dama"));
    target->Send("BypassDamageTimer");
    world.Record(target, {"DamageEnemy", "KnockbackEnemy"});
    world.RecordGlobal({"CameraShake", "PlaySound"});
    world.Choose("MeteorAttack", -1);
    world.Attack(Vec3(0.0f, 0.0f, -1.0f));
    auto* collision = world.Get<CollisionComponent>(world.qil);

    f32 landedAt = -1.0f;
    Vec3 landing;
    f32 highest = start.y;
    for (int frame = 1; frame <= 120 && landedAt < 0.0f; ++frame) {
        world.Step(kAttackFrame);



        highest = std::max(highest, world.QilPosition().y);
        if (world.Count("CameraShake(0.25, 75, 0.5)") > 0) {
            landedAt = f32(frame) * kAttackFrame;
            landing = world.QilPosition();
        }
    }
    ASSERT_GT(landedAt, 0.0f) << "the meteor lands on the floor";
    EXPECT_NEAR(landedAt, 0.7f, 0.1f);
    EXPECT_NEAR(landing.z - start.z, -7.0f, 1.0f);
    EXPECT_GT(highest, start.y + 10.0f) << "thrown high first";
    EXPECT_FALSE(collision->GetFlags().resolveWithStatics) << "the big collider rests in the floor";
    EXPECT_TRUE(Holds(world.SentTo(0u), "PlaySound(attack-meteor-sfx)"));
    EXPECT_EQ(world.Count("CameraShake(0.25, 75, 0.5)"), 1);

    world.Run(0.3f);
    EXPECT_FALSE(world.Qil()->IsAttacking());
    EXPECT_TRUE(collision->GetFlags().resolveWithStatics);
    EXPECT_FLOAT_EQ(world.Get<HealthComponent>(target)->GetHealth(), 900.0f) << "hit once in the window";
    const auto hits = world.SentTo(target);
    ASSERT_TRUE(Holds(hits, "DamageEnemy(100, 0.2)"));
    int thrown = 0;
    for (const std::string& text : hits) {
        float x = 0, up = 0, z = 0;
        if (std::sscanf(text.c_str(), "KnockbackEnemy((%f, %f, %f))", &x, &up, &z) != 3) continue;
        EXPECT_GT(up, 50.0f) << "thrown up: " << text;
        ++thrown;
    }
    EXPECT_GE(thrown, 1);
    EXPECT_EQ(world.qil->GetTransform()->GetScale(), Vec3(0.75f, 0.75f, 0.75f));
    EXPECT_FLOAT_EQ(world.Get<ShadowComponent>(world.qil)->GetScale().x, 1.0f);
}

TEST(SpecialAttacks, MeteorLandsOnlyOnGeometryBelowItsCentreAndEndsAfterThreeSecondsWithoutGround) {
    AttackWorld world;
    world.Place();
    Composition* wall = world.Spawn("wall-piece-obj", Vec3(0.0f, 2.0f, -10.0f));  // top at 4
    Composition* floor = world.Spawn("floor-piece-obj", Vec3(0.0f, -0.5f, -40.0f));  // top at 0
    world.RecordGlobal({"CameraShake"});
    world.Choose("MeteorAttack", -1);
    world.Attack(Vec3(0.0f, 0.0f, -1.0f));
    world.qil->GetTransform()->Position().y = 2.0f;
    CollisionData byWall{wall->GetId(), kNoSide};
    SendObjectMessageArg(world.qil, "CollisionData", byWall);
    EXPECT_EQ(world.Count("CameraShake(0.25, 75, 0.5)"), 0) << "a wall reaching above the centre";
    CollisionData byFloor{floor->GetId(), kNoSide};
    SendObjectMessageArg(world.qil, "CollisionData", byFloor);
    EXPECT_EQ(world.Count("CameraShake(0.25, 75, 0.5)"), 1) << "geometry below the centre";
    world.Run(0.3f);
    EXPECT_FALSE(world.Qil()->IsAttacking());

    // A centre that fell through the top within the frame still lands, set
    // back to its height before the frame.
    world.Run(1.0f);
    world.Attack(Vec3(0.0f, 0.0f, -1.0f));
    world.qil->GetTransform()->SetPreviousPosition(Vec3(0.0f, 0.4f, -40.0f));
    world.qil->GetTransform()->SetPosition(Vec3(0.0f, -0.6f, -40.0f));
    SendObjectMessageArg(world.qil, "CollisionData", byFloor);
    EXPECT_EQ(world.Count("CameraShake(0.25, 75, 0.5)"), 2);
    EXPECT_FLOAT_EQ(world.QilPosition().y, 0.4f);
    world.Run(0.3f);
    EXPECT_FALSE(world.Qil()->IsAttacking());

    // No ground at all: after 3 s it ends as landed attacks do, logged once,
    // and the companion comes back and unlocks the player.
    world.Run(1.0f);
    world.sent.clear();
    world.Record(world.qil, {"FinishedAttack"});
    world.Attack(Vec3(0.0f, 0.0f, -1.0f));
    world.Run(2.9f);
    EXPECT_TRUE(world.Qil()->IsAttacking());
    world.Run(0.2f);
    EXPECT_FALSE(world.Qil()->IsAttacking());
    EXPECT_EQ(world.Count("FinishedAttack()"), 1);
    const std::string logged = "found no ground within 3 s";
    EXPECT_NE(world.log.find(logged), std::string::npos);
    EXPECT_EQ(world.log.find(logged), world.log.rfind(logged));
    EXPECT_TRUE(world.Get<CollisionComponent>(world.qil)->GetFlags().resolveWithStatics);
    world.Run(0.5f);
    EXPECT_FALSE(world.Hero()->AreAttacksLocked());

    // Ended from outside while landed: the flag still comes back.
    auto* meteor = new MeteorAttackAction(0.0f, 0.0f, -1.0f);
    meteor->SetId(77);
    meteor->SetListenTerminate(true);
    world.AddAction(world.qil, meteor);
    world.qil->GetTransform()->Position().y = 2.0f;
    SendObjectMessageArg(world.qil, "CollisionData", byFloor);
    EXPECT_FALSE(world.Get<CollisionComponent>(world.qil)->GetFlags().resolveWithStatics);
    unsigned id = 77;
    SendObjectMessageUInt(world.qil, "TerminateAction", id);
    world.Step(kAttackFrame);
    EXPECT_TRUE(world.Get<CollisionComponent>(world.qil)->GetFlags().resolveWithStatics);

    // A companion without movement: the throw is skipped and logged once.
    Composition* still = world.Spawn("still-qil-obj", Vec3(1.0f, 1.0f, 0.0f));
    world.AddAction(still, new MeteorAttackAction(0.0f, 0.0f, 1.0f));
    world.AddAction(still, new MeteorAttackAction(0.0f, 0.0f, 1.0f));
    world.Step(kAttackFrame);
    const std::string missing = "has no MovementComponent";
    EXPECT_NE(world.log.find(missing), std::string::npos);
}

TEST(SpecialAttacks, ShieldChargesWhileHeldThroughTheRealCompanionAndEndsItsOwnMotionOnly) {
    AttackWorld world;
    world.Place();
    world.Run(1.0f);
    world.Choose("ShieldAttack", 10);
    world.Record(world.qil, {"FinishedAttack", "StartedAttack", "TerminateAction"});
    world.Record(world.player, {"LockAttacks", "DecrementEnergy"});
    world.RecordGlobal({"LockTutorial"});
    SendObjectMessageVec3(world.player, "PlayerAttack", Vec3(0.0f, 0.0f, -1.0f));
    EXPECT_TRUE(world.Qil()->IsAttacking());
    EXPECT_EQ(world.CountActions<BobAction>(world.qil, FourCC("shld")), 1);
    EXPECT_EQ(world.CountActions<OrbitAction>(world.qil, FourCC("shld")), 1);
    EXPECT_EQ(world.CountNamed("shield-attack-fx"), 1);
    u32 orbitId = 0, bobId = 0;
    for (IAction* action : world.QilActions()) {
        if (auto* shield = dynamic_cast<ShieldAttackAction*>(action)) {
            orbitId = shield->GetOrbitActionId();
            bobId = shield->GetBobActionId();
        }
    }
    ASSERT_NE(orbitId, 0u);
    ASSERT_NE(bobId, orbitId);

    // Held for 1 s: charges at 0, 0.32, 0.64 and 0.96 s, each "FinishedAttack"
    // then "StartedAttack", with no return flight and no lock in between.
    std::vector<f32> charges;
    f32 farthest = 0.0f;
    const f32 dt = 0.01f;
    for (int step = 1; step <= 100; ++step) {
        const size_t before = world.sent.size();
        world.Step(dt);
        for (size_t i = before; i < world.sent.size(); ++i)
            if (world.sent[i].text == "StartedAttack()") charges.push_back(f32(step) * dt);
        const Vec3 gap = world.QilPosition() - world.PositionOf(world.player);
        farthest = std::max(farthest, std::sqrt(gap.x * gap.x + gap.z * gap.z));
    }
    ASSERT_EQ(charges.size(), 3u);
    EXPECT_NEAR(charges[0], 0.32f, 0.011f);
    EXPECT_NEAR(charges[1], 0.64f, 0.011f);
    EXPECT_NEAR(charges[2], 0.96f, 0.011f);
    EXPECT_EQ(world.Count("LockAttacks()"), 0);
    EXPECT_EQ(world.Count("LockTutorial(use-shield)"), 3);
    EXPECT_EQ(world.Hero()->GetEnergy(), 6) << "one charge at the start and three while held";
    EXPECT_GT(farthest, 6.0f) << "the shield's own wide orbit steers the companion";
    const auto qilGot = world.SentTo(world.qil);
    for (size_t i = 0; i + 1 < qilGot.size(); ++i)
        if (qilGot[i] == "FinishedAttack()") {
            EXPECT_EQ(qilGot[i + 1], "StartedAttack()");
        }

    // Release: its bob and orbit end by id, the companion's own run on.
    world.sent.clear();
    world.player->Send("ReleaseAttack");
    world.Step(dt);
    world.Step(dt);
    EXPECT_FALSE(world.Qil()->IsAttacking());
    EXPECT_EQ(world.CountActions<BobAction>(world.qil, FourCC("shld")), 0);
    EXPECT_EQ(world.CountActions<OrbitAction>(world.qil, FourCC("shld")), 0);
    EXPECT_EQ(world.CountActions<BobAction>(world.qil, 0), 1);
    EXPECT_EQ(world.CountActions<OrbitAction>(world.qil, 0), 1);
    // An id is printed with the archetype of the object that has the same id.
    const auto ended = world.SentTo(world.qil);
    ASSERT_EQ(ended.size(), 3u);
    EXPECT_EQ(ended[0].rfind("TerminateAction(" + std::to_string(orbitId), 0), 0u) << ended[0];
    EXPECT_EQ(ended[1].rfind("TerminateAction(" + std::to_string(bobId), 0), 0u) << ended[1];
    EXPECT_EQ(ended[2], "FinishedAttack()");
    EXPECT_EQ(world.Count("LockAttacks()"), 1) << "the companion flies back once";
    world.Step(dt);
    EXPECT_EQ(world.CountNamed("shield-attack-fx"), 0) << "the effect is destroyed";
    EXPECT_TRUE(world.Get<CollisionComponent>(world.qil)->GetFlags().resolveWithStatics);

    // A change of attack ends it too; so does running out of energy.
    world.Run(0.5f);
    ASSERT_FALSE(world.Hero()->AreAttacksLocked());
    world.Choose("ShieldAttack", 2);
    SendObjectMessageVec3(world.player, "PlayerAttack", Vec3(0.0f, 0.0f, -1.0f));
    ASSERT_TRUE(world.Qil()->IsAttacking());
    world.Run(0.7f, dt);
    EXPECT_FALSE(world.Qil()->IsAttacking()) << "the second charge used the energy up";
    EXPECT_EQ(world.Hero()->GetCurrentAttack(), "ShootQil");
}

TEST(SpecialAttacks, FireFliesFastAndBigThroughTargetsBurningEachOnceAndStopsAtGeometry) {
    AttackWorld world;
    world.Place();
    world.Run(1.0f);
    const Vec3 playerAt = world.PositionOf(world.player);
    const f32 y = world.QilPosition().y;
    Composition* sturdy = world.Spawn("sturdy-target-obj", Vec3(playerAt.x, y, playerAt.z - 4.0f));
    Composition* brainless = world.Spawn("brainless-target-obj", Vec3(playerAt.x, y, playerAt.z - 5.5f));
    Composition* healthless = world.Spawn("healthless-target-obj", Vec3(playerAt.x, y, playerAt.z - 7.0f));
    for (Composition* target : {sturdy, brainless, healthless}) world.Record(target, {"DamageEnemy"});
    world.Record(world.qil, {"FinishedAttack"});
    world.Choose("FirestarterAttack", -1);
    world.Attack(Vec3(0.0f, 0.0f, -1.0f));
    EXPECT_FLOAT_EQ(world.QilPosition().z, playerAt.z - 2.0f);
    EXPECT_EQ(world.qil->GetTransform()->GetScale(), Vec3(1.4f, 1.4f, 1.4f)) << "twice 0.7";
    world.Step(kAttackFrame);
    EXPECT_FLOAT_EQ(world.Get<MovementComponent>(world.qil)->GetVelocity().z, -18.75f);
    world.Run(0.5f);
    EXPECT_FALSE(world.Qil()->IsAttacking());
    for (Composition* target : {sturdy, brainless, healthless}) {
        const auto got = world.SentTo(target);
        EXPECT_EQ(std::count(got.begin(), got.end(), "DamageEnemy(1, 0)"), 1) << target->GetName();
    }
    EXPECT_EQ(world.CountActions<BurnAction>(sturdy, 0), 1) << "brain and health: it burns";
    EXPECT_EQ(world.CountActions<BurnAction>(healthless, 0), 0);
    EXPECT_EQ(world.qil->GetTransform()->GetScale(), Vec3(0.75f, 0.75f, 0.75f));
    EXPECT_EQ(world.Count("FinishedAttack()"), 1);

    // Level geometry ends a flight early.
    world.Run(0.5f);
    world.sent.clear();
    Composition* wall = world.Spawn("wall-piece-obj", Vec3(playerAt.x, 2.0f, playerAt.z + 4.0f));
    (void)wall;
    world.Attack(Vec3(0.0f, 0.0f, 1.0f));
    int frames = 0;
    while (world.Qil()->IsAttacking() && frames < 60) {
        world.Step(kAttackFrame);
        ++frames;
    }
    EXPECT_LT(frames, 18) << "the wall ends the flight before its 0.35 s";
    EXPECT_LT(world.QilPosition().z, playerAt.z + 4.0f);
}

TEST(SpecialAttacks, VictoryCirclesRisesWithFireworksAndCompletesTheGameOnceAfterSixSeconds) {
    AttackWorld world;
    world.Place();
    world.Run(0.5f);
    world.RecordGlobal({"GameComplete", "PlaySound"});
    world.core.Send("InitiateVictory");
    EXPECT_TRUE(Holds(world.SentTo(0u), "PlaySound(qil-ascent-sfx)"));
    EXPECT_TRUE(world.Hero()->AreAttacksLocked());
    VictoryAction* victory = nullptr;
    for (IAction* action : world.QilActions())
        if (auto* found = dynamic_cast<VictoryAction*>(action)) victory = found;
    ASSERT_NE(victory, nullptr);
    EXPECT_FLOAT_EQ(victory->GetRemaining(), 6.0f);
    const u32 fireworks = victory->GetFireworksId();
    const u32 effect = victory->GetVictoryEffectId();
    ASSERT_TRUE(world.Alive(fireworks));
    ASSERT_TRUE(world.Alive(effect));
    bool circlesTheCompanion = false;
    for (IAction* action : GetBrainComponentOf(world.objects.GetObject(fireworks))->GetActionList()->Actions())
        if (auto* orbit = dynamic_cast<OrbitAction*>(action)) circlesTheCompanion = orbit->GetTarget() == world.qil->GetId();
    EXPECT_TRUE(circlesTheCompanion);
    EXPECT_FALSE(world.Get<ShadowComponent>(world.qil)->IsVisible());
    EXPECT_FALSE(world.Get<CollisionComponent>(world.qil)->GetFlags().resolveWithStatics);
    EXPECT_EQ(world.CountActions<OrbitAction>(world.qil, FourCC("viob")), 1);

    const f32 startY = world.QilPosition().y;
    world.Run(5.9f);
    EXPECT_EQ(world.Count("GameComplete()"), 0);
    EXPECT_GT(world.QilPosition().y, startY + 50.0f) << "rising ever faster";
    world.Run(0.2f);
    EXPECT_EQ(world.Count("GameComplete()"), 1);
    EXPECT_EQ(world.CountActions<OrbitAction>(world.qil, FourCC("viob")), 0);
    world.Step(kAttackFrame);
    EXPECT_FALSE(world.Alive(fireworks));
    EXPECT_FALSE(world.Alive(effect));
    world.Run(1.0f);
    EXPECT_EQ(world.Count("GameComplete()"), 1) << "exactly once";

    // A flight torn down before its time completes nothing.
    world.core.Send("InitiateVictory");
    world.Run(1.0f);
    world.objects.DestroyObject(world.qil->GetId());
    world.Run(0.5f);
    EXPECT_EQ(world.Count("GameComplete()"), 1);
}

TEST(SpecialAttacks, ACompanionWithoutABrainIgnoresTheVictory) {
    AttackWorld bare(false, "<brainless-qil-obj><TransformComponent/><MessageComponent/><QilComponent/>"
                            "</brainless-qil-obj>");
    bare.Spawn("brainless-qil-obj");
    bare.RecordGlobal({"PlaySound"});
    bare.core.Send("InitiateVictory");
    bare.Run(0.1f);
    EXPECT_EQ(bare.SentTo(0u), std::vector<std::string>{});
}

TEST(SpecialAttacks, ShippedEffectsLiveByThemselvesUnlessTheCodeDestroysThem) {
    AttackWorld world;
    for (const char* name : {"arc-attack-fx", "meteor-attack-fx", "firestarter-attack-fx", "shield-attack-fx",
                             "victory-fx", "fireworks-fx"}) {
        Composition* fx = world.Spawn(name);
        ASSERT_NE(fx, nullptr) << name;
        EXPECT_NE(GetBrainComponentOf(fx), nullptr) << name;
        const bool destroyedByCode = std::string(name) == "shield-attack-fx" || std::string(name) == "victory-fx" ||
                                     std::string(name) == "fireworks-fx";
        EXPECT_EQ(fx->GetComponent(FourCC("tmlC")) != nullptr, !destroyedByCode) << name;
    }
}

TEST(SpecialAttacks, WithoutTheirEffectArchetypesTheAttacksRunAndLeaveNothing) {
    const std::string stripped =
        std::regex_replace(AttackWorld::ShippedCompanion(), std::regex("<([a-z-]+-fx)>[\\s\\S]*?</\\1>"), "");
    AttackWorld plain(false, stripped);
    plain.Place();
    plain.Run(0.5f);
    std::vector<u32> before;
    plain.objects.FindObjectsWithComponent(TransformComponent::kTypeId, before);
    plain.Choose("ArcAttack", -1);
    plain.Attack(Vec3(1.0f, 0.0f, 0.0f));
    plain.Run(0.5f);
    plain.Choose("ShieldAttack", -1);
    plain.Attack(Vec3(1.0f, 0.0f, 0.0f));
    plain.Run(0.5f);
    plain.player->Send("ReleaseAttack");
    plain.Run(0.5f);
    std::vector<u32> after;
    plain.objects.FindObjectsWithComponent(TransformComponent::kTypeId, after);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_FALSE(plain.Qil()->IsAttacking());

    // A shield and a victory still running when the level goes: torn down
    // with the objects, quietly.
    plain.Attack(Vec3(1.0f, 0.0f, 0.0f));
    plain.core.Send("InitiateVictory");
    plain.Run(0.2f);
    EXPECT_TRUE(plain.Qil()->IsAttacking());
}

}  // namespace
}  // namespace Vandle::GameTest
