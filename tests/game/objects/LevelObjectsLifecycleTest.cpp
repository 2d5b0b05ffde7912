// What the level objects share: the shipped archetypes live and die by the
// thousand without leaving a listener behind, and every value survives a
// room saved by the editor and read back.
#include "tests/game/GameFixture.h"

#include "engine/io/SerializerLevelSave.h"
#include "game/enemies/DamageTrapComponent.h"
#include "game/enemies/ProjectileComponent.h"
#include "game/objects/CheckpointComponent.h"
#include "game/objects/GateComponent.h"
#include "game/objects/GoalComponent.h"
#include "game/objects/HealthComponent.h"
#include "game/objects/HealthPackComponent.h"
#include "game/objects/PowerUpAttackComponent.h"
#include "game/objects/PowerUpDropComponent.h"
#include "game/objects/RumbleEffectComponent.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <fstream>
#include <map>
#include <sstream>

namespace Vandle::GameTest {
namespace {

std::string ShippedObjects(const std::string& relative) {
    std::ifstream in(std::string(LV_SOURCE_DIR) + "/rsc/objects/" + relative);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The shipped level objects, a player and a yak that drops.
std::string LevelObjectArchetypes() {
    return ShippedObjects("gate-objects.xobj") + ShippedObjects("pickup-objects.xobj") +
           ShippedObjects("level-objects.xobj") + ShippedObjects("player-objects.xobj") + R"(
<dropping-yak-obj>
    <TransformComponent/>
    <MessageComponent/>
    <HealthComponent/>
    <PowerUpDropComponent><DropChance>100</DropChance></PowerUpDropComponent>
</dropping-yak-obj>
)";
}

const char* const kScopeGlobals[] = {"ObjectCreated", "ObjectDestroyed", "TriggerActivated", "CheckpointUpdated",
                                     "GoalReached",   "PlaySound",       "ShowTutorial",     "LockTutorial"};

std::map<std::string, std::size_t> ScopeListenerCounts(GameFixture& world) {
    std::map<std::string, std::size_t> counts;
    for (const char* name : kScopeGlobals) counts[name] = world.core.GetTable().GetListeners(name).size();
    return counts;
}

void BroadcastScope(GameFixture& world, u32 someId) {
    world.core.SendMessageUInt("ObjectCreated", someId);
    world.core.SendMessageUInt("ObjectDestroyed", someId);
    world.core.SendMessageInt("TriggerActivated", 301);
    world.core.SendMessageVec3("CheckpointUpdated", Vec3(1, 2, 3));
    world.core.Send("GoalReached");
    world.core.SendMessageString("PlaySound", "menhir-move-sfx");
    world.core.SendMessageString("ShowTutorial", "power-up-appears");
    world.core.SendMessageString("LockTutorial", "power-up-appears");
}

TEST(LevelObjectsLifecycle, AThousandOfEachComeAndGoWithoutAListenerLeftBehind) {
    GameFixture world(LevelObjectArchetypes());
    world.AddPropertyPage("powerup-drop-map", "<dropping-yak-obj>few-drops</dropping-yak-obj>\n");
    world.AddPropertyPage("few-drops", "<meteor-powerup-obj>1</meteor-powerup-obj>\n");
    const auto none = ScopeListenerCounts(world);
    Composition* player = world.Spawn("spawner-Luvo", Vec3(0, 0, 0));
    u32 playerId = player->GetId();
    world.Step(0.01f);
    const auto before = ScopeListenerCounts(world);

    for (const char* archetype : {"menhir-gate-obj", "rumble-obj", "health-pack-obj", "health-station-obj",
                                  "meteor-powerup-obj", "spike-trap-obj", "rock-projectile-obj", "checkpoint-obj",
                                  "goal-obj", "dropping-yak-obj"}) {
        std::vector<u32> ids;
        for (int i = 0; i < 1000; ++i) {
            Composition* object = world.Create(archetype);
            ASSERT_NE(object, nullptr) << archetype;
            ids.push_back(object->GetId());
        }
        world.Step(0.05f);
        // Half of them are taken, touched, set off or killed before they go.
        for (std::size_t i = 0; i < ids.size(); i += 2) {
            Composition* object = world.objects.GetObject(ids[i]);
            if (!object) continue;
            CollisionData contact;
            contact.other = playerId;
            SendObjectMessageValues(object, "CollisionData", contact);
            object = world.objects.GetObject(ids[i]);
            if (object) object->Send("ObjectDead");
        }
        BroadcastScope(world, ids.front());
        world.Step(0.05f);  // what was taken or spent goes now
        for (u32 id : ids)
            if (world.Alive(id)) world.objects.DestroyObject(id);
        world.Step(0.05f);
        world.objects.DestroyAllObjects();  // what they left behind: rumbles, effects, drops
        world.Step(0.05f);
        world.Step(0.05f);
        EXPECT_TRUE(world.objects.GetLiveObjects().empty()) << archetype;
        EXPECT_EQ(ScopeListenerCounts(world), none) << archetype;
        player = world.Spawn("spawner-Luvo", Vec3(0, 0, 0));
        world.Step(0.01f);
        EXPECT_EQ(ScopeListenerCounts(world), before) << archetype;
        playerId = player->GetId();
    }
}

// Reads the values over the component, as a room's values are read over a
// copy of its archetype.
void Apply(Composition* object, u32 typeId, std::map<std::string, std::string> values) {
    ComponentTest::TextSerializer reader(true);
    reader.values = std::move(values);
    object->GetComponent(typeId)->Serialize(&reader);
}

TEST(LevelObjectsLifecycle, EveryValueSurvivesARoomSavedAndReadBack) {
    GameFixture world(LevelObjectArchetypes() + R"(
<projectile-obj><TransformComponent/><ProjectileComponent/></projectile-obj>
)");
    RoomObjects placed(world.factory);
    for (const char* name : {"menhir-gate-obj", "health-pack-obj", "meteor-powerup-obj", "spike-trap-obj",
                             "projectile-obj", "dropping-yak-obj", "checkpoint-obj", "goal-obj", "rumble-obj"})
        placed.objects.push_back(world.factory.Create(name));
    Apply(placed.objects[0], GateComponent::kTypeId,
          {{"GrowthTime", "4.5"}, {"Amplitude", "7"}, {"Frequency", "9"}, {"RiseEffect", "dust-obj"}});
    Apply(placed.objects[1], HealthPackComponent::kTypeId,
          {{"DieOnUse", "0"}, {"HealAmount", "12"}, {"HealIsPercent", "1"}});
    Apply(placed.objects[2], PowerUpAttackComponent::kTypeId, {{"NewAttack", "ArcAttack"}, {"NumAttacks", "8"}});
    Apply(placed.objects[3], DamageTrapComponent::kTypeId, {{"Damage", "3"}, {"Cooldown", "2"}});
    Apply(placed.objects[4], ProjectileComponent::kTypeId,
          {{"Damage", "4"}, {"Cooldown", "1"}, {"LifeTimeAfterCollision", "2"}, {"Knockback", "5"}, {"Rolling", "1"}});
    Apply(placed.objects[5], PowerUpDropComponent::kTypeId,
          {{"DropChance", "35"}, {"PositionModifierX", "1"}, {"PositionModifierY", "2"}, {"PositionModifierZ", "3"}});

    SerializerLevelSave writer;
    for (Composition* object : placed.objects) writer.WriteObject(*object);
    TiXmlPrinter printer;
    writer.Document().Accept(&printer);
    RoomObjects read(world.factory);
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("trip", printer.CStr(), read));
    ASSERT_EQ(read.objects.size(), placed.objects.size());

    auto* gate = read.objects[0]->GetComponentAs<GateComponent>();
    EXPECT_EQ(gate->GetGrowthTime(), 4.5f);
    EXPECT_EQ(gate->GetAmplitude(), 7.0f);
    EXPECT_EQ(gate->GetFrequency(), 9.0f);
    EXPECT_EQ(gate->GetRiseEffect(), "dust-obj");
    auto* pack = read.objects[1]->GetComponentAs<HealthPackComponent>();
    EXPECT_FALSE(pack->GetDieOnUse());
    EXPECT_EQ(pack->GetHealAmount(), 12.0f);
    EXPECT_TRUE(pack->IsHealPercent());
    auto* attack = read.objects[2]->GetComponentAs<PowerUpAttackComponent>();
    EXPECT_EQ(attack->GetNewAttack(), "ArcAttack");
    EXPECT_EQ(attack->GetNumAttacks(), 8);
    auto* trap = read.objects[3]->GetComponentAs<DamageTrapComponent>();
    EXPECT_EQ(trap->GetDamage(), 3.0f);
    EXPECT_EQ(trap->GetCooldown(), 2.0f);
    auto* projectile = read.objects[4]->GetComponentAs<ProjectileComponent>();
    EXPECT_EQ(projectile->GetDamage(), 4.0f);
    EXPECT_EQ(projectile->GetCooldown(), 1.0f);
    EXPECT_EQ(projectile->GetLifeTimeAfterCollision(), 2.0f);
    EXPECT_EQ(projectile->GetKnockback(), 5.0f);
    EXPECT_TRUE(projectile->IsRolling());
    auto* drop = read.objects[5]->GetComponentAs<PowerUpDropComponent>();
    EXPECT_EQ(drop->GetDropChance(), 35);
    EXPECT_EQ(drop->GetPositionModifier(), Vec3(1, 2, 3));
    EXPECT_NE(read.objects[6]->GetComponentAs<CheckpointComponent>(), nullptr);
    EXPECT_NE(read.objects[7]->GetComponentAs<GoalComponent>(), nullptr);
    EXPECT_NE(read.objects[8]->GetComponentAs<RumbleEffectComponent>(), nullptr);

    // The editor panels show the fields under their key names.
    ComponentTest::Panel panel;
    read.objects[0]->ExposeProperties(&panel);
    read.objects[1]->ExposeProperties(&panel);
    read.objects[2]->ExposeProperties(&panel);
    read.objects[5]->ExposeProperties(&panel);
    for (const char* entry : {"float GrowthTime", "float HealAmount", "bool HealIsPercent", "bool DieOnUse",
                              "string NewAttack", "callback0 NumAttacks", "callback0 DropChance",
                              "float PositionModifierX", "float PositionModifierY", "float PositionModifierZ"})
        EXPECT_NE(std::find(panel.entries.begin(), panel.entries.end(), entry), panel.entries.end()) << entry;
}


// The shipped pieces on a walk: the player holds Right and passes a
// checkpoint, a health pack and the goal, under physics without gravity.
TEST(LevelObjectsLifecycle, ThePlayerWalksThroughACheckpointAHealthPackAndTheGoal) {
    GameOptions options;
    options.physics = true;
    options.physicsSettings.gravity = 0.0f;
    options.physicsSettings.drag = 0.9f;
    GameFixture world(LevelObjectArchetypes(), options);
    world.meshes.meshes["healthpack-mesh"] = ComponentTest::BoxCorners(Vec3(1, 1, 0.3f));
    world.meshes.meshes["Sphere"] = ComponentTest::BoxCorners(Vec3(1, 1, 1));
    world.meshes.meshes["goal-mesh"] = ComponentTest::BoxCorners(Vec3(1, 1, 1));  // the goal's gem in its ring
    world.meshes.meshes["luvo"] = ComponentTest::BoxCorners(Vec3(1, 1, 1));  // the player's bounds
    world.RecordGlobal({"CheckpointUpdated", "PlaySound", "GoalReached"});
    world.Spawn("checkpoint-obj", Vec3(5, 0.05f, 0));
    world.Spawn("health-pack-obj", Vec3(10, 1, 0));
    world.Spawn("goal-obj", Vec3(15, 1, 0));
    Composition* player = world.Spawn("spawner-Luvo", Vec3(0, 0.5f, 0));
    SendObjectMessageFloat(player, "TakeDamage", 50.0f);
    world.core.SendMessageValueBool("KeyTriggered", 39, true);
    world.Run(2.5f, 0.016f);
    EXPECT_GT(GameFixture::PositionOf(player).x, 15.0f) << "walked onto the goal";
    EXPECT_LT(GameFixture::PositionOf(player).x, 16.0f) << "and stopped there, Right still held";
    EXPECT_EQ(world.SentTo(0u), (std::vector<std::string>{"PlaySound(checkpoint-sfx)", "CheckpointUpdated((5, 0.05, 0))",
                                                          "PlaySound(powerup-health-sfx)", "GoalReached()"}));
    EXPECT_EQ(player->GetComponentAs<HealthComponent>()->GetHealth(), 75.0f);
}

}  // namespace
}  // namespace Vandle::GameTest
