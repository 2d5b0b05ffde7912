#include "tests/game/GameFixture.h"

#include "engine/actions/OrbitAction.h"
#include "engine/actions/TimedMoveToObjectAction.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/LightComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/DestructibleComponent.h"
#include "engine/io/ConfigureFileXML.h"
#include "game/objects/HealthComponent.h"
#include "game/common/BobAction.h"
#include "game/player/FaceVelocityAction.h"
#include "game/player/PlayerComponent.h"
#include "game/player/QilComponent.h"
#include "game/player/QilReturnAction.h"
#include "game/player/ShootQilAction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace Vandle::GameTest {
namespace {

std::string CompanionDataText(const std::string& relative) {
    std::ifstream in(std::string(LV_SOURCE_DIR) + "/" + relative);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Test-only archetypes: a companion without light, mesh and movement, and
// objects the shot must pass through.
const char kCompanionTestObjects[] = R"(
<bare-qil-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <QilComponent/>
</bare-qil-obj>
<trigger-volume-obj>
    <TransformComponent/>
    <MessageComponent/>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics></CollisionComponent>
    <PlayerTriggerComponent><TriggerId>4</TriggerId></PlayerTriggerComponent>
</trigger-volume-obj>
)";

const std::vector<std::string> kPlayerSideNames = {"AimQil",       "ShootQil",     "ObjectDead",
                                                   "ArcAttack",    "MeteorAttack", "ShieldAttack",
                                                   "FirestarterAttack", "ReleaseAttack"};

// The shipped player, companion and dummy under the shipped physics, without
// gravity (there is no floor), stepped at 60 frames per second.
struct CompanionWorld : GameFixture {
    explicit CompanionWorld(const std::string& lightPage = CompanionDataText("rsc/pages/qil-light.xpro"))
        : GameFixture(CompanionDataText("rsc/objects/player-objects.xobj") +
                          CompanionDataText("rsc/objects/companion-objects.xobj") + kCompanionTestObjects,
                      GameOptions{true, ShippedPhysics()}) {
        // The built-in sphere: a unit sphere's extreme points.
        meshes.meshes["Sphere"] = {Vec3(0.5f, 0, 0), Vec3(-0.5f, 0, 0), Vec3(0, 0.5f, 0),
                                   Vec3(0, -0.5f, 0), Vec3(0, 0, 0.5f), Vec3(0, 0, -0.5f)};
        AddPropertyPage("qil-colors", CompanionDataText("rsc/pages/qil-colors.xpro"));
        AddPropertyPage("qil-light", lightPage);
    }
    static PhysicsSettings ShippedPhysics() {
        ConfigureFileXML config(true);
        config.Load(std::string(LV_SOURCE_DIR) + "/rsc/physics.xcfg");
        Physics shipped;
        shipped.LoadConfig(&config);
        PhysicsSettings settings = shipped.GetSettings();
        settings.gravity = 0.0f;
        return settings;
    }
    void Place() {
        player = Spawn("spawner-Luvo", Vec3(0.0f, 1.0f, 0.0f));
        qil = Spawn("spawner-qil-obj", Vec3(1.0f, 1.0f, 1.5f));
        dummy = Spawn("target-dummy-obj", Vec3(0.0f, 1.5f, -6.0f));
    }
    QilComponent* Qil() { return Get<QilComponent>(qil); }
    Vec3 QilPosition() { return PositionOf(qil); }
    Vec3& QilVelocity() { return Get<MovementComponent>(qil)->Velocity(); }
    void PressX(bool down) { core.SendMessageValueBool("KeyTriggered", 88, down); }
    size_t PlayerListeners(Composition* on, const std::string& name) {
        return GetObjectMessageTable(on)->GetListeners(name).size();
    }
    std::vector<std::string> Take() {
        std::vector<std::string> texts;
        for (const Sent& s : sent) texts.push_back(s.text);
        sent.clear();
        return texts;
    }
    Composition* player = nullptr;
    Composition* qil = nullptr;
    Composition* dummy = nullptr;
};

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Position of the first occurrence, or -1.
long IndexOf(const std::vector<std::string>& texts, const std::string& text) {
    const auto it = std::find(texts.begin(), texts.end(), text);
    return it == texts.end() ? -1 : long(it - texts.begin());
}

TEST(Companion, OrbitsAndBobsAroundThePlayer) {
    CompanionWorld world;
    world.Place();
    world.Run(1.0f);  // settles onto its circle
    const f32 radius = 2.5f, amplitude = 0.4f, offset = 1.5f;
    const f32 radiusTolerance = 0.4f, heightTolerance = 0.05f;
    f32 lowest = 1e9f, highest = -1e9f;
    for (int frame = 0; frame < 300; ++frame) {
        world.Step(1.0f / 60.0f);
        const Vec3 gap = world.QilPosition() - world.PositionOf(world.player);
        const f32 flat = std::sqrt(gap.x * gap.x + gap.z * gap.z);
        ASSERT_NEAR(flat, radius, radiusTolerance) << "frame " << frame;
        ASSERT_NEAR(gap.y, offset, amplitude + heightTolerance) << "frame " << frame;
        lowest = std::min(lowest, gap.y);
        highest = std::max(highest, gap.y);
    }
    // The vertical velocity closes the gap per second, so the swing lags and
    // stays below the full amplitude on each side, but it clearly swings.
    EXPECT_GT(highest - lowest, amplitude);
    EXPECT_FALSE(world.Qil()->IsAttacking());
}

TEST(Companion, SlingshotHitsTheDummyThenReturnsAndUnlocks) {
    CompanionWorld world;
    world.Place();
    world.Run(1.0f);
    world.Record(world.player);
    world.Record(world.qil, {"BeganAttack", "FinishedAttack", "ReachedTarget", "StopAttack"});
    world.Record(world.dummy, {"DamageEnemy", "KnockbackEnemy", "TakeDamage"});
    world.RecordGlobal({"PlaySound"});
    const Vec3 playerAt = world.PositionOf(world.player);

    world.PressX(true);
    world.PressX(false);
    auto texts = world.Take();
    EXPECT_TRUE(Contains(texts, "PlayerAttack((0, 0, -1))"));
    EXPECT_TRUE(Contains(texts, "ShootQil((0, 0, -1))"));
    EXPECT_TRUE(Contains(texts, "BeganAttack()"));
    EXPECT_TRUE(Contains(texts, "PlaySound(whoosh-sfx)"));
    EXPECT_TRUE(world.Qil()->IsAttacking());
    EXPECT_FLOAT_EQ(world.QilPosition().x, playerAt.x);
    EXPECT_FLOAT_EQ(world.QilPosition().z, playerAt.z - 2.0f) << "set down 2 units along the aim";

    // A second press during the flight spends nothing and starts nothing.
    world.Step(1.0f / 60.0f);
    world.Take();
    world.PressX(true);
    texts = world.Take();
    EXPECT_TRUE(Contains(texts, "ShootQil((0, 0, -1))"));
    EXPECT_FALSE(Contains(texts, "BeganAttack()"));
    EXPECT_FALSE(Contains(texts, "DecrementEnergy()"));
    world.PressX(false);

    // The hit, the end of the shot and the return flight.
    bool hit = false;
    for (int frame = 0; frame < 40 && !hit; ++frame) {
        world.Step(1.0f / 60.0f);
        hit = world.Get<HealthComponent>(world.dummy)->GetHealth() < 70.0f;
    }
    ASSERT_TRUE(hit) << "the shot reaches the dummy 6 units ahead";
    EXPECT_FLOAT_EQ(world.Get<HealthComponent>(world.dummy)->GetHealth(), 35.0f);
    texts = world.Take();
    EXPECT_TRUE(Contains(texts, "DamageEnemy(35, 0.1)"));
    EXPECT_TRUE(Contains(texts, "KnockbackEnemy((0, 0, -30))"));
    EXPECT_TRUE(Contains(texts, "PlaySound(low-thud-sfx)"));
    // The shot ends in the step of the contact.
    EXPECT_LT(IndexOf(texts, "DamageEnemy(35, 0.1)"), IndexOf(texts, "FinishedAttack()"));
    EXPECT_LT(IndexOf(texts, "FinishedAttack()"), IndexOf(texts, "CheckEnergy()"));
    EXPECT_LT(IndexOf(texts, "CheckEnergy()"), IndexOf(texts, "LockAttacks()"));
    EXPECT_FALSE(world.Qil()->IsAttacking());
    const auto& flags = world.Get<CollisionComponent>(world.qil)->GetFlags();
    EXPECT_FALSE(flags.collideWithDynamics || flags.collideWithStatics) << "returning through walls";
    EXPECT_TRUE(world.Get<PlayerComponent>(world.player)->AreAttacksLocked());

    // Attacks are locked during the return: the press is not forwarded.
    world.PressX(true);
    world.PressX(false);
    EXPECT_FALSE(Contains(world.Take(), "ShootQil((0, 0, -1))"));

    int frames = 0;
    while (world.Get<PlayerComponent>(world.player)->AreAttacksLocked() && frames < 60) {
        world.Step(1.0f / 60.0f);
        ++frames;
    }
    EXPECT_LE(frames, 10) << "back within the 0.15 s flight";
    texts = world.Take();
    EXPECT_LT(IndexOf(texts, "ReachedTarget()"), IndexOf(texts, "UnlockAttacks()"));
    EXPECT_GE(IndexOf(texts, "ReachedTarget()"), 0);
    EXPECT_TRUE(flags.collideWithDynamics && flags.collideWithStatics);
    const Vec3 gap = world.QilPosition() - world.PositionOf(world.player);
    EXPECT_NEAR(gap.x, 0.0f, 1e-3f);
    EXPECT_NEAR(gap.z, 0.0f, 1e-3f);
    EXPECT_NEAR(gap.y, 2.0f, 1e-3f) << "2 units above the player";

    // A shot along +x hits nothing: 0.35 s at 15 units/s from 2 units out.
    world.Take();
    world.Record(world.qil);
    Vec3 east(1.0f, 0.0f, 0.0f);
    SendObjectMessageVec3(world.player, "PlayerAttack", east);
    const f32 start = world.QilPosition().x;
    EXPECT_FLOAT_EQ(start, world.PositionOf(world.player).x + 2.0f);
    f32 farthest = start;
    for (int frame = 0; frame < 30; ++frame) {
        world.Step(1.0f / 60.0f);
        farthest = std::max(farthest, world.QilPosition().x);
        if (!world.Qil()->IsAttacking()) break;
    }
    EXPECT_NEAR(farthest - start, 5.25f, 0.3f);
    EXPECT_EQ(world.Count("DamageEnemy(35, 0.1)"), 0);
}

TEST(Companion, ReturnFlightHoldsOrbitAndBobButNotTheFacingAndAShotHoldsTheReturnCheck) {
    CompanionWorld world;
    world.Place();
    world.Run(0.5f);
    // Newest first: the facing in its own lane, then orbit, bob and return.
    std::vector<std::string> kinds;
    for (IAction* action : GetBrainComponentOf(world.qil)->GetActionList()->Actions()) {
        const std::string lane = action->GetLane() ? " face" : "";
        if (dynamic_cast<FaceVelocityAction*>(action)) kinds.push_back("face" + lane);
        else if (dynamic_cast<OrbitAction*>(action)) kinds.push_back("orbit" + lane);
        else if (dynamic_cast<BobAction*>(action)) kinds.push_back("bob" + lane);
        else if (dynamic_cast<QilReturnAction*>(action)) kinds.push_back("return" + lane);
        else kinds.push_back("other");
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"face face", "orbit", "bob", "return"}));
    EXPECT_EQ(world.Get<QilComponent>(world.qil)->GetPlayerId(), world.player->GetId());

    // A shot holds lane 0: far from the player, no return starts until it ends.
    world.Record(world.player, {"LockAttacks", "UnlockAttacks"});
    Vec3 south(0.0f, 0.0f, 1.0f);
    SendObjectMessageVec3(world.player, "PlayerAttack", south);
    world.Step(1.0f / 60.0f);
    world.qil->GetTransform()->Position().z = 30.0f;
    world.Run(0.2f);
    EXPECT_EQ(world.Count("LockAttacks()"), 0) << "the return check waits during the shot";
    world.Run(0.2f);
    EXPECT_EQ(world.Count("LockAttacks()"), 1) << "the shot's end starts one return";

    // During the return flight: the move holds lane 0, the facing turns.
    world.Step(1.0f / 60.0f);
    auto* move = dynamic_cast<TimedMoveToObjectAction*>(
        GetBrainComponentOf(world.qil)->GetActionList()->Actions().front());
    ASSERT_NE(move, nullptr) << "the flight runs first";
    world.QilVelocity().y = 123.0f;
    world.Step(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(world.QilVelocity().y, 123.0f) << "the bob is held";
    EXPECT_FLOAT_EQ(world.QilVelocity().x, move->GetStepVelocity().x) << "the orbit is held";
    EXPECT_FLOAT_EQ(world.QilVelocity().z, move->GetStepVelocity().z);
    const Vec3 v = world.QilVelocity();
    EXPECT_NEAR(world.qil->GetTransform()->GetRotationY(), std::atan2(-v.x, -v.z) * 180.0f / 3.1415927f, 1e-3f)
        << "the facing runs in its own lane";
    world.Run(0.3f);
    EXPECT_EQ(world.Count("UnlockAttacks()"), 1);
}

TEST(Companion, WearsTheAttackColoursAndSkipsWhatItLacks) {
    CompanionWorld world("<ShootQil>0.1 0.2 0.3</ShootQil><ArcAttack>1 x 3</ArcAttack>");
    world.Place();
    auto* mesh = world.Get<MeshComponent>(world.qil);
    auto* light = world.Get<LightComponent>(world.qil);
    std::string arc = "ArcAttack";
    world.core.SendMessageStringValue("PlayerAttackChanged", arc);
    EXPECT_EQ(mesh->GetDiffuseTextureId(), "qil-arc");
    EXPECT_EQ(light->GetColor(), Vec3(1.0f, 0.85f, 0.45f)) << "a malformed entry keeps the archetype's colour";
    EXPECT_NE(world.log.find("qil-light: entry 'ArcAttack'"), std::string::npos);
    world.core.SendMessageStringValue("PlayerAttackChanged", std::string("ShootQil"));
    EXPECT_EQ(mesh->GetDiffuseTextureId(), "qil-basic");
    EXPECT_EQ(light->GetColor(), Vec3(0.1f, 0.2f, 0.3f));
    world.core.SendMessageStringValue("PlayerAttackChanged", std::string("NoSuchAttack"));
    EXPECT_EQ(mesh->GetDiffuseTextureId(), "") << "a missing entry sets the empty name";
    EXPECT_EQ(light->GetColor(), Vec3(0.1f, 0.2f, 0.3f)) << "and keeps the light";

    // The editor's fields send the running bob and orbit their new values.
    ComponentTest::Panel panel;
    world.Qil()->ExposeProperties(&panel);
    world.Record(world.qil, {"UpdateBobAction", "UpdateOrbitAction"});
    panel.Set<f32>("bob-amplitude", 0.9f);
    panel.Set<f32>("orbit-frequency", 2.0f);
    EXPECT_EQ(world.SentTo(world.qil),
              (std::vector<std::string>{"UpdateBobAction(0.9, 2, 1.5)", "UpdateOrbitAction(2.5, 2)"}));
    EXPECT_EQ(panel.entries.back(), "float ShootSpeed");

    // A companion without light, mesh and movement skips those writes,
    // logged once each.
    Composition* bare = world.Spawn("bare-qil-obj", Vec3(0.0f, 1.0f, 1.0f));
    world.core.SendMessageStringValue("PlayerAttackChanged", arc);
    world.core.SendMessageStringValue("PlayerAttackChanged", arc);
    bare->Send("FinishedAttack");
    bare->Send("FinishedAttack");
    for (const char* missing : {"no LightComponent", "no MeshComponent", "no MovementComponent"}) {
        const size_t at = world.log.find(missing);
        EXPECT_NE(at, std::string::npos) << missing;
        EXPECT_EQ(at, world.log.rfind(missing)) << missing;
    }
}

TEST(Companion, DiesWithThePlayerLeavesNoListenersAndRebindsToANewPlayer) {
    CompanionWorld world;
    world.player = world.Spawn("spawner-Luvo", Vec3(0.0f, 1.0f, 0.0f));
    std::map<std::string, size_t> before;
    for (const std::string& name : kPlayerSideNames) before[name] = world.PlayerListeners(world.player, name);
    world.qil = world.Spawn("spawner-qil-obj", Vec3(1.0f, 1.0f, 1.5f));
    for (const std::string& name : kPlayerSideNames)
        EXPECT_EQ(world.PlayerListeners(world.player, name), before[name] + 1) << name;

    // Destroyed first, mid-shot: nothing of it stays on the player.
    Vec3 north(0.0f, 0.0f, -1.0f);
    SendObjectMessageVec3(world.player, "PlayerAttack", north);
    world.Step(1.0f / 60.0f);
    world.objects.DestroyObject(world.qil->GetId());
    world.Run(0.5f);
    for (const std::string& name : kPlayerSideNames)
        EXPECT_EQ(world.PlayerListeners(world.player, name), before[name]) << name;
    world.Get<PlayerComponent>(world.player)->OnUnlockAttacks();

    // A new player: the orbit and the return action lose theirs, the
    // companion binds the next one, once, however often it is asked.
    world.qil = world.Spawn("spawner-qil-obj", Vec3(1.0f, 1.0f, 1.5f));
    const u32 old = world.player->GetId();
    world.objects.DestroyObject(old);
    Composition* next = world.Spawn("spawner-Luvo", Vec3(5.0f, 1.0f, 0.0f));
    world.Step(1.0f / 60.0f);
    EXPECT_EQ(world.Qil()->GetPlayerId(), next->GetId());
    for (IAction* action : GetBrainComponentOf(world.qil)->GetActionList()->Actions()) {
        if (auto* orbit = dynamic_cast<OrbitAction*>(action)) {
            EXPECT_EQ(orbit->GetTarget(), next->GetId());
        }
        if (auto* ret = dynamic_cast<QilReturnAction*>(action)) {
            EXPECT_EQ(ret->GetPlayerId(), next->GetId()) << "a player that is gone counts as none";
        }
    }
    world.qil->Send("LostPlayer");
    world.qil->Send("LostOrbitTarget");
    for (const std::string& name : kPlayerSideNames)
        EXPECT_EQ(world.PlayerListeners(next, name), before[name] + 1) << name;

    // The player's death leaves a "qil-death-fx" where the companion was.
    world.Run(0.5f);
    const Vec3 last = world.QilPosition();
    const u32 qilId = world.qil->GetId();
    next->Send("ObjectDead");
    world.Step(1.0f / 60.0f);
    EXPECT_FALSE(world.Alive(qilId));
    std::vector<u32> effects;
    world.objects.FindObjectsWithComponent(FourCC("tmlC"), effects);
    bool placed = false;
    for (u32 id : effects) {
        Composition* effect = world.objects.GetObject(id);
        if (effect->GetName() == "qil-death-fx" && world.PositionOf(effect) == last) placed = true;
    }
    EXPECT_TRUE(placed);
}

TEST(Companion, AnOutOfRangePressSpendsTheChargeAndFallsBackAtOnce) {
    CompanionWorld world;
    world.Place();
    auto* hero = world.Get<PlayerComponent>(world.player);
    world.RecordGlobal({"PlayerAttackChanged", "PlayerEnergyChanged"});
    SendObjectMessageStringInt(world.player, "ChangePlayerAttack", "ArcAttack", 1);
    world.qil->GetTransform()->Position() = Vec3(9.0f, 1.0f, 0.0f);  // 81 > 80
    Vec3 east(1.0f, 0.0f, 0.0f);
    SendObjectMessageVec3(world.player, "PlayerAttack", east);
    EXPECT_EQ(world.Take(), (std::vector<std::string>{"PlayerAttackChanged(ArcAttack)", "PlayerEnergyChanged(1)",
                                                      "PlayerEnergyChanged(0)", "PlayerAttackChanged(ShootQil)",
                                                      "PlayerEnergyChanged(0)"}));
    EXPECT_EQ(hero->GetCurrentAttack(), "ShootQil");
    EXPECT_EQ(hero->GetEnergy(), 0);
    EXPECT_FALSE(world.Qil()->IsAttacking());
    SendObjectMessageVec3(world.player, "PlayerAttack", east);
    EXPECT_EQ(hero->GetEnergy(), 0) << "never below 0";

    // At 8.9 units no return starts; at 9 one does.
    world.Record(world.player, {"LockAttacks"});
    world.Take();
    world.qil->GetTransform()->Position() = Vec3(8.9f, 1.0f, 0.0f);
    world.Step(1.0f / 60.0f);
    EXPECT_EQ(world.Count("LockAttacks()"), 0);
}

TEST(Companion, ShotPassesThroughTheExcludedAndHitsTheFirstOther) {
    CompanionWorld world;
    world.Place();
    Composition* trigger = world.Spawn("trigger-volume-obj", Vec3(0.0f, 1.0f, -4.0f));
    world.Record(trigger, {"DamageEnemy"});
    world.Record(world.player, {"DamageEnemy"});
    Vec3 north(0.0f, 0.0f, -1.0f);
    SendObjectMessageVec3(world.player, "PlayerAttack", north);
    world.Run(0.4f);
    EXPECT_EQ(world.SentTo(trigger), std::vector<std::string>{}) << "a player trigger is passed";
    EXPECT_EQ(world.SentTo(world.player), std::vector<std::string>{});
    EXPECT_FLOAT_EQ(world.Get<HealthComponent>(world.dummy)->GetHealth(), 35.0f);

    // A shot ended early still gives the player its attacks back.
    auto* shot = new ShootQilAction(0.0f, 0.0f, 1.0f, world.player->GetId());
    QilAttackFlag flag;
    flag.Bind(*world.Qil());
    shot->SetAttackingFlag(flag);
    shot->SetId(9);
    shot->SetListenTerminate(true);
    world.Qil()->SetAttacking(true);
    world.AddAction(world.qil, shot);
    unsigned id = 9;
    SendObjectMessageUInt(world.qil, "TerminateAction", id);
    world.Step(1.0f / 60.0f);
    EXPECT_FALSE(world.Qil()->IsAttacking());
}

TEST(Companion, ShippedDataHoldsTheCompanionItsEffectsPagesAndTheDummy) {
    CompanionWorld world;
    Composition* qil = world.Spawn("spawner-qil-obj");
    ASSERT_NE(qil, nullptr);
    EXPECT_NE(qil->GetTransform(), nullptr);
    ASSERT_NE(world.Get<MovementComponent>(qil), nullptr);
    EXPECT_FALSE(world.Get<MovementComponent>(qil)->HasGravity());
    EXPECT_NE(world.Get<CollisionComponent>(qil), nullptr);
    ASSERT_NE(world.Get<MeshComponent>(qil), nullptr);
    EXPECT_EQ(world.Get<MeshComponent>(qil)->GetMeshId(), "Sphere");
    EXPECT_NE(world.Get<LightComponent>(qil), nullptr);
    EXPECT_NE(qil->GetComponent(FourCC("Shad")), nullptr);
    EXPECT_NE(GetBrainComponentOf(qil), nullptr);
    EXPECT_NE(qil->GetMessageComponent(), nullptr);
    ComponentTest::Panel panel;
    world.Get<QilComponent>(qil)->ExposeProperties(&panel);
    for (const char* key : {"bob-frequency", "bob-amplitude", "bob-offset", "orbit-frequency", "orbit-amplitude"})
        EXPECT_GT(panel.Get<f32>(key), 0.0f) << key << " must be set: it defaults to 0";
    EXPECT_FLOAT_EQ(world.Get<QilComponent>(qil)->GetShootSpeed(), 15.0f);

    for (const char* effect : {"slingshot-attack-fx", "qil-death-fx"}) {
        Composition* fx = world.Spawn(effect);
        ASSERT_NE(fx, nullptr) << effect;
        EXPECT_NE(GetBrainComponentOf(fx), nullptr) << effect << " follows by its brain";
        EXPECT_NE(fx->GetComponent(FourCC("tmlC")), nullptr) << effect << " ends by itself";
    }
    Composition* dummy = world.Spawn("target-dummy-obj");
    for (u32 type : {FourCC("msgC"), FourCC("coll"), FourCC("desC"), MeshComponent::kTypeId})
        EXPECT_NE(dummy->GetComponent(type), nullptr) << type;
    EXPECT_FLOAT_EQ(world.Get<HealthComponent>(dummy)->GetHealth(), 70.0f);

    for (const char* attack : {"ShootQil", "ArcAttack", "MeteorAttack", "ShieldAttack", "FirestarterAttack"}) {
        std::string texture, light;
        EXPECT_TRUE(world.properties.GetPageProperty("qil-colors", attack, texture)) << attack;
        EXPECT_TRUE(world.properties.GetPageProperty("qil-light", attack, light)) << attack;
        std::istringstream in(light);
        f32 r = -1, g = -1, b = -1;
        EXPECT_TRUE(in >> r >> g >> b) << attack;
    }
}

}  // namespace
}  // namespace Vandle::GameTest
