#include "tests/game/GameFixture.h"

#include "engine/actions/DamageEnemyAction.h"
#include "game/objects/ColorChangeAction.h"
#include "game/objects/HealthComponent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace Vandle::GameTest {
namespace {

const char kArchetypes[] = R"(
<hurt-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <HealthComponent><Health>100</Health><TotalHealth>100</TotalHealth></HealthComponent>
</hurt-obj>
<small-obj>
    <MessageComponent/>
    <HealthComponent><Health>10</Health><TotalHealth>100</TotalHealth></HealthComponent>
</small-obj>
<health-only-obj>
    <MessageComponent/>
    <HealthComponent><Health>30</Health></HealthComponent>
</health-only-obj>
<no-total-obj>
    <MessageComponent/>
    <HealthComponent><Health>40</Health><TotalHealth>0</TotalHealth></HealthComponent>
</no-total-obj>
<damage-enemy-fx>
    <TransformComponent/>
</damage-enemy-fx>
)";

struct HealthWorld : GameFixture {
    HealthWorld() : GameFixture(kArchetypes) {}
    Composition* Watched(const std::string& archetype) {
        Composition* object = Spawn(archetype);
        Record(object, {"TakeDamage", "HealthChanged", "ObjectDead"});
        return object;
    }
    static HealthComponent* Health(Composition* object) { return object->GetComponentAs<HealthComponent>(); }
};

TEST(Health, RealDamagePathReportsTakeDamageThenTheNewFraction) {
    HealthWorld world;
    Composition* yak = world.Watched("hurt-obj");
    world.AddAction(yak, new DamageEnemyAction, FourCC("dama"));
    world.AddAction(yak, new ColorChangeAction, ColorChangeAction::kLane);
    world.Step(0.1f);
    const float damage = 30.0f;
    const float coolDown = 0.1f;
    SendObjectMessageFloat2(yak, "DamageEnemy", damage, coolDown);
    EXPECT_EQ(world.SentTo(yak), (std::vector<std::string>{"TakeDamage(30)", "HealthChanged(0.7)"}));
    // The gate now waits its new cool-down: a hit at once does not land.
    SendObjectMessageFloat2(yak, "DamageEnemy", damage, coolDown);
    EXPECT_EQ(world.SentTo(yak).size(), 2u);
}

TEST(Health, DamageAndHealTable) {
    struct Case {
        const char* archetype;
        std::vector<std::pair<char, float>> steps;  // 'd' damage, 'h' heal, 'p' heal as percent
        std::vector<std::string> expected;
        float health;
    };
    const std::vector<Case> cases = {
        {"hurt-obj", {{'d', 100}}, {"ObjectDead()"}, 0.0f},
        {"small-obj", {{'d', 25}, {'d', 5}}, {"ObjectDead()", "HealthChanged(-0.2)"}, -20.0f},
        {"hurt-obj", {{'d', 10}, {'p', 0.5f}}, {"HealthChanged(0.9)", "HealthChanged(1)"}, 100.0f},
        {"hurt-obj", {{'d', 60}, {'h', 15}}, {"HealthChanged(0.4)", "HealthChanged(0.55)"}, 55.0f},
        {"hurt-obj", {{'d', 10}, {'d', -30}}, {"HealthChanged(0.9)", "HealthChanged(1)"}, 100.0f},
        {"health-only-obj", {{'d', 3}}, {"HealthChanged(0.9)"}, 27.0f},
        // Death is an edge: a heal back above 0 arms it again.
        {"small-obj", {{'d', 10}, {'p', 0.1f}, {'d', 10}}, {"ObjectDead()", "HealthChanged(0.1)", "ObjectDead()"}, 0.0f},
        // A total of 0 never reports a non-finite fraction.
        {"no-total-obj", {{'d', 10}, {'d', 40}, {'p', 1.0f}, {'h', 50.0f}},
         {"ObjectDead()", "HealthChanged(0)", "HealthChanged(0)", "HealthChanged(0)"}, 0.0f},
    };
    for (const Case& c : cases) {
        HealthWorld world;
        Composition* object = world.Watched(c.archetype);
        for (auto [kind, amount] : c.steps) {
            if (kind == 'd') {
                SendObjectMessageFloat(object, "TakeDamage", amount);
            } else {
                const bool percent = kind == 'p';
                SendObjectMessageFloatBool(object, "Heal", amount, percent);
            }
        }
        std::vector<std::string> seen;
        for (const std::string& text : world.SentTo(object))
            if (text.rfind("TakeDamage", 0) != 0) seen.push_back(text);
        EXPECT_EQ(seen, c.expected) << c.archetype;
        EXPECT_FLOAT_EQ(HealthWorld::Health(object)->GetHealth(), c.health) << c.archetype;
        EXPECT_LE(HealthWorld::Health(object)->GetHealth(), std::fmax(HealthWorld::Health(object)->GetTotalHealth(), 0.0f));
    }
}

TEST(Health, ArchetypeTotalsAndTheBadTotalLogLine) {
    HealthWorld world;
    EXPECT_FLOAT_EQ(HealthWorld::Health(world.Spawn("health-only-obj"))->GetTotalHealth(), 30.0f);

    // A room's "Health" alone, read over a copy of a 100-of-100 archetype and
    // later over the live object, gives a full bar of that size each time.
    Composition* yak = world.Watched("hurt-obj");
    auto read = [&](std::map<std::string, std::string> values) {
        ComponentTest::TextSerializer reader(true);
        reader.values = std::move(values);
        HealthWorld::Health(yak)->Serialize(&reader);
    };
    read({{"Health", "30"}});
    EXPECT_FLOAT_EQ(HealthWorld::Health(yak)->GetTotalHealth(), 30.0f);
    SendObjectMessageFloat(yak, "TakeDamage", 3.0f);
    read({{"Health", "12"}});
    EXPECT_FLOAT_EQ(HealthWorld::Health(yak)->GetTotalHealth(), 12.0f);
    read({{"Health", "50"}, {"TotalHealth", "80"}});
    EXPECT_FLOAT_EQ(HealthWorld::Health(yak)->GetTotalHealth(), 80.0f);
    read({{"TotalHealth", "90"}});
    EXPECT_FLOAT_EQ(HealthWorld::Health(yak)->GetHealth(), 50.0f) << "no \"Health\": the health stays";
    SendObjectMessageFloat(yak, "TakeDamage", 5.0f);
    EXPECT_EQ(world.SentTo(yak->GetId()), (std::vector<std::string>{"TakeDamage(3)", "HealthChanged(0.9)",
                                                                 "TakeDamage(5)", "HealthChanged(0.5)"}));
    world.log.clear();
    world.Spawn("no-total-obj");
    EXPECT_NE(world.log.find("'no-total-obj'): TotalHealth 0 is not above 0"), std::string::npos) << world.log;
    world.Spawn("hurt-obj");
    EXPECT_EQ(world.log.find("hurt-obj"), std::string::npos);
}

}  // namespace
}  // namespace Vandle::GameTest
