// Power-up drops and the pickups: health packs and attack power-ups, and what
// every level object shares (inert templates, no listener left behind, room
// round trips).
#include "tests/game/GameFixture.h"

#include "engine/core/Random.h"
#include "engine/io/SerializerLevelSave.h"
#include "game/objects/HealthComponent.h"
#include "game/objects/HealthPackComponent.h"
#include "game/objects/PowerUpAnimateComponent.h"
#include "game/objects/PowerUpDropComponent.h"
#include "game/common/BobAction.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <deque>

namespace Vandle::GameTest {
namespace {

const char kPickupObjects[] = R"(
<player-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>40</Health><TotalHealth>100</TotalHealth></HealthComponent>
    <PlayerComponent/>
</player-obj>
<walker-obj><TransformComponent/><MessageComponent/></walker-obj>
<drop-yak-obj>
    <TransformComponent/>
    <MessageComponent/>
    <HealthComponent><Health>10</Health></HealthComponent>
    <PowerUpDropComponent><DropChance>100</DropChance><PositionModifierY>1</PositionModifierY></PowerUpDropComponent>
</drop-yak-obj>
<ghost-yak-obj>
    <MessageComponent/>
    <PowerUpDropComponent><DropChance>100</DropChance></PowerUpDropComponent>
</ghost-yak-obj>
<shy-yak-obj>
    <TransformComponent/>
    <MessageComponent/>
    <PowerUpDropComponent><DropChance>0</DropChance></PowerUpDropComponent>
</shy-yak-obj>
<empty-yak-obj><TransformComponent/><MessageComponent/><PowerUpDropComponent><DropChance>100</DropChance></PowerUpDropComponent></empty-yak-obj>
<zero-yak-obj><TransformComponent/><MessageComponent/><PowerUpDropComponent><DropChance>100</DropChance></PowerUpDropComponent></zero-yak-obj>
<lost-yak-obj><TransformComponent/><MessageComponent/><PowerUpDropComponent><DropChance>100</DropChance></PowerUpDropComponent></lost-yak-obj>
<unmapped-yak-obj><TransformComponent/><MessageComponent/><PowerUpDropComponent><DropChance>100</DropChance></PowerUpDropComponent></unmapped-yak-obj>
<health-pack-obj>
    <TransformComponent><PosY>7</PosY></TransformComponent>
    <MessageComponent/>
    <HealthPackComponent><HealAmount>25</HealAmount></HealthPackComponent>
</health-pack-obj>
<half-pack-obj>
    <TransformComponent/>
    <MessageComponent/>
    <HealthPackComponent><HealAmount>0.5</HealAmount><DieOnUse>0</DieOnUse></HealthPackComponent>
</half-pack-obj>
<healthpack-fx><TransformComponent/></healthpack-fx>
<meteor-powerup-obj>
    <TransformComponent/>
    <MessageComponent/>
    <PowerUpAttackComponent><NewAttack>MeteorAttack</NewAttack><NumAttacks>3</NumAttacks></PowerUpAttackComponent>
</meteor-powerup-obj>
)";

const char kDropMap[] = R"(<drop-yak-obj>yak-drops</drop-yak-obj>
<ghost-yak-obj>yak-drops</ghost-yak-obj>
<shy-yak-obj>yak-drops</shy-yak-obj>
<empty-yak-obj>empty-drops</empty-yak-obj>
<zero-yak-obj>zero-drops</zero-yak-obj>
<lost-yak-obj>no-such-drops</lost-yak-obj>
)";
// Written out of order; read in name order: the health pack (weight 1)
// before the meteor power-up (3).
const char kYakDrops[] = "<meteor-powerup-obj>3</meteor-powerup-obj>\n<health-pack-obj>1</health-pack-obj>\n";

struct DropWorld : GameFixture {
    DropWorld() : GameFixture(kPickupObjects) {
        AddPropertyPage("powerup-drop-map", kDropMap);
        AddPropertyPage("yak-drops", kYakDrops);
        properties.AddPage("empty-drops");
        AddPropertyPage("zero-drops", "<health-pack-obj>0</health-pack-obj>\n<meteor-powerup-obj>-2</meteor-powerup-obj>\n"
                                      "<shield-powerup-obj>nan</shield-powerup-obj>\n");
        properties.SetPageSource("zero-drops", "rsc/pages/zero-drops.xpro");
        RecordGlobal({"ShowTutorial", "LockTutorial"});
    }
    ~DropWorld() { SetRandSourceForTests({}); }

    // Rand() answers these, in order.
    void Draws(std::deque<int> values) {
        m_draws = std::move(values);
        SetRandSourceForTests([this] {
            const int value = m_draws.empty() ? 0 : m_draws.front();
            if (!m_draws.empty()) m_draws.pop_front();
            return value;
        });
    }
    // Kills one object of the archetype at the position and answers the
    // names of the objects that appeared.
    std::vector<std::string> Kill(const std::string& archetype, Vec3 at = Vec3(2, 0, 5)) {
        Composition* victim = Spawn(archetype, at);
        const std::size_t before = objects.GetLiveObjects().size();
        victim->Send("ObjectDead");
        std::vector<std::string> made;
        for (std::size_t i = before; i < objects.GetLiveObjects().size(); ++i)
            made.push_back(objects.GetObject(objects.GetLiveObjects()[i])->GetName());
        return made;
    }
    Composition* Newest() { return objects.GetObject(objects.GetLiveObjects().back()); }

private:
    std::deque<int> m_draws;
};

TEST(PowerUpDrop, DrawsByWeightInNameOrderAndPlacesTheDropWhereTheEnemyDied) {
    DropWorld world;
    world.Draws({99, 0});
    EXPECT_EQ(world.Kill("drop-yak-obj"), std::vector<std::string>{"health-pack-obj"}) << "r = 0: the first";
    EXPECT_EQ(GameFixture::PositionOf(world.Newest()), Vec3(2, 1, 5)) << "the death point plus the modifier";
    EXPECT_FALSE(world.Newest()->GetSaveFlag());
    EXPECT_EQ(world.SentTo(0u), (std::vector<std::string>{"ShowTutorial(power-up-appears)",
                                                          "LockTutorial(power-up-appears)"}));
    for (int r : {1, 2, 3, 7}) {
        world.Draws({0, r});
        EXPECT_EQ(world.Kill("drop-yak-obj"), std::vector<std::string>{"meteor-powerup-obj"}) << r;
    }
    world.Draws({0, 4});  // 4 % 4 = 0
    EXPECT_EQ(world.Kill("drop-yak-obj"), std::vector<std::string>{"health-pack-obj"});

    // A dying object without a place: the drop stays at its archetype's
    // position, is still never saved with a room, and shows no tutorial.
    world.sent.clear();
    world.Draws({0, 0});
    EXPECT_EQ(world.Kill("ghost-yak-obj"), std::vector<std::string>{"health-pack-obj"});
    EXPECT_EQ(GameFixture::PositionOf(world.Newest()), Vec3(0, 7, 0));
    EXPECT_FALSE(world.Newest()->GetSaveFlag());
    EXPECT_TRUE(world.SentTo(0u).empty()) << "no place, no tutorial";

    world.Draws({0, 0});
    EXPECT_TRUE(world.Kill("shy-yak-obj").empty()) << "a chance of 0 never drops";
    world.Draws({99, 0});
    EXPECT_EQ(world.Kill("drop-yak-obj").size(), 1u) << "a chance of 100 always drops";
}

TEST(PowerUpDrop, MissingEmptyOrWeightlessTablesDropNothingAndSaySo) {
    DropWorld world;
    world.Draws({0, 0, 0, 0, 0, 0, 0, 0});
    world.properties.SelectPage("yak-drops");  // an unknown page must not fall back on this one
    for (const char* archetype : {"unmapped-yak-obj", "empty-yak-obj", "zero-yak-obj", "lost-yak-obj"})
        EXPECT_TRUE(world.Kill(archetype).empty()) << archetype;
    EXPECT_TRUE(world.SentTo(0u).empty()) << "no drop, no tutorial";
    EXPECT_NE(world.log.find("drop page 'empty-drops' of 'empty-yak-obj' has no weights above 0"), std::string::npos);
    EXPECT_NE(world.log.find("weight -2 of 'meteor-powerup-obj' is below 0"), std::string::npos);
    // The page's faults start with its file.
    EXPECT_NE(world.log.find("rsc/pages/zero-drops.xpro: PowerUpDropComponent: drop page 'zero-drops': weight 'nan' "
                             "of 'shield-powerup-obj' is no number"),
              std::string::npos)
        << world.log;
    EXPECT_NE(world.log.find("drop page 'zero-drops' of 'zero-yak-obj' has no weights above 0"), std::string::npos);
    EXPECT_NE(world.log.find("'lost-yak-obj' drops from page 'no-such-drops', which is not loaded"),
              std::string::npos);
}

void Pick(Composition* pickup, Composition* taker) {
    CollisionData contact;
    contact.other = taker->GetId();
    SendObjectMessageValues(pickup, "CollisionData", contact);
}

f32 HealthOf(Composition* object) { return object->GetComponentAs<HealthComponent>()->GetHealth(); }

TEST(Pickups, HealthPacksHealOnceByPointsOrShareAndOnlyThePlayer) {
    GameFixture world(kPickupObjects);
    world.RecordGlobal({"PlaySound"});
    Composition* player = world.Spawn("player-obj");
    Composition* pack = world.Spawn("health-pack-obj");
    world.Record(pack, {"TriggerFired"});
    EXPECT_FALSE(pack->GetComponentAs<HealthPackComponent>()->IsHealPercent()) << "25 without the key: points";
    Pick(pack, world.Spawn("walker-obj"));
    EXPECT_TRUE(world.sent.empty()) << "an enemy takes nothing";
    Pick(pack, player);
    Pick(pack, player);  // the next physics step, before the pack is gone
    EXPECT_EQ(HealthOf(player), 65.0f);
    EXPECT_EQ(world.Count("PlaySound(powerup-health-sfx)"), 1);
    EXPECT_EQ(world.Count("TriggerFired()"), 1);
    const u32 packId = pack->GetId();
    world.Step(0.01f);
    EXPECT_FALSE(world.Alive(packId));

    // 0.5 without the key: half the maximum. The pack stays; its effect goes.
    Composition* half = world.Spawn("half-pack-obj", Vec3(3, 0, 3));
    const u32 effect = half->GetComponentAs<HealthPackComponent>()->GetEffectId();
    ASSERT_TRUE(world.Alive(effect));
    EXPECT_FALSE(world.objects.GetObject(effect)->GetSaveFlag());
    Pick(half, player);
    Pick(half, player);
    EXPECT_EQ(HealthOf(player), 100.0f) << "65 + 50, capped";
    world.Step(0.01f);
    EXPECT_FALSE(world.Alive(effect));
    EXPECT_TRUE(world.Alive(half->GetId()));
    EXPECT_FALSE(half->GetComponentAs<HealthPackComponent>()->IsAvailable());
}

TEST(Pickups, AnAttackPowerUpTouchedTwiceGivesItsAttackOnce) {
    GameFixture world(kPickupObjects);
    world.RecordGlobal({"PlaySound"});
    Composition* player = world.Spawn("player-obj");
    Composition* meteor = world.Spawn("meteor-powerup-obj");
    world.Record(player, {"ChangePlayerAttack"});
    Pick(meteor, world.Spawn("walker-obj"));
    Pick(meteor, player);
    Pick(meteor, player);  // still there until the next update
    EXPECT_EQ(world.SentTo(player), std::vector<std::string>{"ChangePlayerAttack(MeteorAttack, 3)"});
    EXPECT_EQ(world.Count("PlaySound(powerup-attack-sfx)"), 1);
    const u32 id = meteor->GetId();
    world.Step(0.01f);
    EXPECT_FALSE(world.Alive(id));
}

TEST(Pickups, AChangedHealAmountKeepsItsMeaningThroughASavedRoom) {
    GameFixture world(kPickupObjects);
    RoomObjects placed(world.factory);
    placed.objects = {world.factory.Create("health-pack-obj"), world.factory.Create("half-pack-obj")};
    ComponentTest::Panel panel;
    placed.objects[0]->ExposeProperties(&panel);
    *panel.floats.at("HealAmount") = 0.5f;  // still hit points: "HealIsPercent" stays off

    SerializerLevelSave writer;
    for (Composition* object : placed.objects) writer.WriteObject(*object);
    TiXmlPrinter printer;
    writer.Document().Accept(&printer);
    const std::string text = printer.CStr();
    EXPECT_NE(text.find("<HealIsPercent>0</HealIsPercent>"), std::string::npos) << "written with the amount\n"
                                                                                << text;
    RoomObjects read(world.factory);
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("packs", text.c_str(), read));
    ASSERT_EQ(read.objects.size(), 2u);
    auto* edited = read.objects[0]->GetComponentAs<HealthPackComponent>();
    EXPECT_EQ(edited->GetHealAmount(), 0.5f);
    EXPECT_FALSE(edited->IsHealPercent());
    auto* untouched = read.objects[1]->GetComponentAs<HealthPackComponent>();
    EXPECT_TRUE(untouched->IsHealPercent());
    EXPECT_FALSE(untouched->GetDieOnUse());

    // A room written before packs were saved whole: the missing flag is the
    // archetype's, not guessed from the new amount.
    const char older[] = "<Level><Objects><health-pack-obj><HealthPackComponent><HealAmount>0.5</HealAmount>"
                         "</HealthPackComponent></health-pack-obj></Objects></Level>";
    RoomObjects old(world.factory);
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("old-packs", older, old));
    ASSERT_EQ(old.objects.size(), 1u);
    EXPECT_FALSE(old.objects[0]->GetComponentAs<HealthPackComponent>()->IsHealPercent());
}

const char kFloatingPickups[] = R"(
<floating-pack-obj>
    <TransformComponent><PosX>4</PosX><PosY>1</PosY></TransformComponent>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthPackComponent/>
    <PowerUpAnimateComponent>
        <bob-frequency>2</bob-frequency><bob-amplitude>0.25</bob-amplitude><bob-offset>1</bob-offset>
        <DeathEffect>sparkle-fx</DeathEffect>
    </PowerUpAnimateComponent>
</floating-pack-obj>
<plain-powerup-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <PowerUpAttackComponent><NewAttack>ArcAttack</NewAttack><NumAttacks>1</NumAttacks></PowerUpAttackComponent>
    <PowerUpAnimateComponent/>
</plain-powerup-obj>
<sparkle-fx><TransformComponent><PosY>0.5</PosY></TransformComponent></sparkle-fx>
)";

TEST(Pickups, PickupsFloatOnTheirBobAndLeaveTheirDeathEffectWhereTaken) {
    GameFixture world(std::string(kPickupObjects) + kFloatingPickups);
    Composition* player = world.Spawn("player-obj");
    Composition* pack = world.Spawn("floating-pack-obj");
    auto* animate = pack->GetComponentAs<PowerUpAnimateComponent>();
    BobAction* bob = nullptr;
    for (IAction* action : pack->GetComponentAs<BrainComponent>()->GetActionList()->Actions())
        if (auto* found = dynamic_cast<BobAction*>(action)) bob = found;
    ASSERT_NE(bob, nullptr);
    EXPECT_EQ(bob->GetAmplitude(), 0.25f);
    EXPECT_EQ(bob->GetFrequency(), 2.0f);
    EXPECT_EQ(bob->GetOffset(), 1.0f);
    // An editor change reaches the running bob at once.
    ComponentTest::Panel panel;
    pack->ExposeProperties(&panel);
    panel.Set<float>("bob-amplitude", 0.75f);
    EXPECT_EQ(bob->GetAmplitude(), 0.75f);
    EXPECT_EQ(panel.Get<float>("bob-frequency"), 2.0f);

    // "DeathEffect" is written only when it was read.
    ComponentTest::TextSerializer writer(false);
    animate->Serialize(&writer);
    EXPECT_EQ(writer.written.back(), "DeathEffect=sparkle-fx");
    ComponentTest::TextSerializer plainWriter(false);
    auto* plain = world.Spawn("plain-powerup-obj")->GetComponentAs<PowerUpAnimateComponent>();
    EXPECT_FALSE(plain->HasDeathEffect());
    plain->Serialize(&plainWriter);
    EXPECT_EQ(plainWriter.written.size(), 3u);

    Pick(pack, player);
    u32 effect = 0;
    for (u32 id : world.objects.GetLiveObjects())
        if (world.objects.GetObject(id)->GetName() == "sparkle-fx") effect = id;
    ASSERT_NE(effect, 0u);
    const Vec3 taken = GameFixture::PositionOf(pack);
    EXPECT_EQ(GameFixture::PositionOf(world.objects.GetObject(effect)), taken + Vec3(0, 0.5f, 0));
    EXPECT_FALSE(world.objects.GetObject(effect)->GetSaveFlag());

    world.Step(0.01f);  // the pack goes
    const std::size_t before = world.objects.GetLiveObjects().size();
    Pick(world.Spawn("plain-powerup-obj"), player);
    EXPECT_EQ(world.objects.GetLiveObjects().size(), before + 1) << "without a death effect nothing is left";
}

}  // namespace
}  // namespace Vandle::GameTest
