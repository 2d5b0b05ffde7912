#include "tests/engine/actions/ActionWorld.h"

#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/DamagePlayerAction.h"
#include "engine/actions/KnockbackEnemyAction.h"
#include "engine/actions/KnockbackPlayerAction.h"
#include "engine/components/ObjectMessages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Ostrel::ActionTest {
namespace {

void Hit(Composition* player, float damage, float coolDown) {
    SendObjectMessageValues(player, "DamagePlayer", damage, coolDown);
}

// dt 0.1 is not exact in binary: steps of 0.125 keep the timer exact.
constexpr float kStep = 0.125f;

TEST(DamagePlayerAction, GatesHitsByTheLastAcceptedCoolDownAndRestoresThePoseAfterHalfASecond) {
    ActionWorld world(kBodies);
    Composition* player = world.Spawn("body-obj");
    world.Add(player, new DamagePlayerAction);
    world.Step(0.0f);
    for (int i = 0; i < 3; ++i) world.Step(kStep);
    Hit(player, 9, 0.25f);  // 0.375 s into its life: before the first 0.5 s
    EXPECT_TRUE(world.local.events.empty());
    EXPECT_TRUE(world.global.events.empty());

    world.Step(kStep);
    Hit(player, 7, 0.75f);
    EXPECT_EQ(world.local.events, (std::vector<std::string>{"TakeDamage 7", "StartColorFlash"}));
    EXPECT_EQ(world.global.events,
              (std::vector<std::string>{"PlaySound light-thud-sfx", "AddVibrate 0.5 12000 12000"}));

    world.Step(kStep);
    world.Step(kStep);
    world.Step(0.0625f);  // about 0.3 s after the hit: ignored entirely
    Hit(player, 5, 0.25f);
    EXPECT_EQ(world.local.Count("TakeDamage"), 1);
    EXPECT_EQ(world.global.events.size(), 2u);

    EXPECT_EQ(world.local.Count("UpdatePlayerAnimation"), 0);
    world.Step(0.1875f);  // the timer reaches exactly 0.5
    EXPECT_EQ(world.local.Count("UpdatePlayerAnimation"), 1);
    Hit(player, 5, 0.25f);  // 0.5 < 0.75, the cool-down the accepted hit gave
    EXPECT_EQ(world.local.Count("TakeDamage"), 1);
    world.Step(kStep);
    world.Step(kStep);
    Hit(player, 4, 0.25f);
    EXPECT_EQ(world.local.Count("TakeDamage"), 2);
    for (int i = 0; i < 8; ++i) world.Step(kStep);
    EXPECT_EQ(world.local.Count("UpdatePlayerAnimation"), 2);  // once per hit
}

TEST(DamagePlayerAction, BypassAcceptsTheNextHitAtOnceAndResetRestartsTheWait) {
    ActionWorld world(kBodies);
    Composition* player = world.Spawn("body-obj");
    auto* damage = world.Add(player, new DamagePlayerAction);
    world.Step(0.0f);
    player->Send("BypassDamageTimer");
    Hit(player, 1, 0.5f);
    player->Send("BypassDamageTimer");
    Hit(player, 2, 0.5f);
    EXPECT_EQ(world.local.Count("TakeDamage"), 2);
    world.Step(0.375f);
    player->Send("ResetDamageTimer");
    world.Step(0.375f);
    Hit(player, 3, 0.5f);
    EXPECT_EQ(world.local.Count("TakeDamage"), 2);
    EXPECT_EQ(damage->GetGate().timer, 0.375f);
    world.Step(kStep);
    Hit(player, 3, 0.5f);
    EXPECT_EQ(world.local.Count("TakeDamage"), 3);
}

TEST(DamageEnemyAction, SpawnsTheEffectAtTheEnemyWithItsRotationAndPassesTheDamageOn) {
    ActionWorld world(kBodies);
    Composition* enemy = world.Spawn("body-obj");
    enemy->GetTransform()->SetPosition(Vec3(3, 0, -4));
    enemy->GetTransform()->SetRotation(Vec3(0, 90, 0));
    world.Add(enemy, new DamageEnemyAction);
    world.Step(0.0f);
    float damage = 6, coolDown = 0.25f;
    SendObjectMessageValues(enemy, "DamageEnemy", damage, coolDown);  // before the first 0.1 s
    EXPECT_EQ(world.objects.GetLiveObjects().size(), 1u);
    world.Step(kStep);
    SendObjectMessageValues(enemy, "DamageEnemy", damage, coolDown);
    SendObjectMessageValues(enemy, "DamageEnemy", damage, coolDown);
    EXPECT_EQ(world.local.events, (std::vector<std::string>{"TakeDamage 6", "StartColorFlash"}));
    ASSERT_EQ(world.objects.GetLiveObjects().size(), 2u);
    Composition* effect = world.objects.GetObject(world.objects.GetLiveObjects()[1]);
    EXPECT_EQ(effect->GetName(), "damage-enemy-fx");
    EXPECT_EQ(effect->GetTransform()->GetPosition(), Vec3(3, 2, -4));
    EXPECT_EQ(effect->GetTransform()->GetRotation(), Vec3(0, 90, 0));
}

TEST(KnockbackActions, ZeroStartsTheCoolDownAndNonFiniteVectorsAreLoggedAndIgnored) {
    ActionWorld world(kBodies);
    Composition* enemy = world.Spawn("body-obj");
    Composition* player = world.Spawn("body-obj");
    auto* enemyKnock = world.Add(enemy, new KnockbackEnemyAction);
    auto* playerKnock = world.Add(player, new KnockbackPlayerAction);
    world.Step(0.0f);
    world.Step(0.5f);
    Vec3 zero;
    SendObjectMessageValues(enemy, "KnockbackEnemy", zero);
    EXPECT_EQ(enemyKnock->GetGate().timer, 0.0f);
    Vec3 push(1, 0, 0);
    SendObjectMessageValues(enemy, "KnockbackEnemy", push);  // within the 0.25 s
    EXPECT_EQ(ActionWorld::Vel(enemy), Vec3());

    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    world.Step(0.25f);
    Vec3 bad(1, 0, nan);
    SendObjectMessageValues(enemy, "KnockbackEnemy", bad);
    EXPECT_EQ(enemyKnock->GetGate().timer, 0.0f);  // the wait restarted all the same
    for (Vec3 badPush : {Vec3(inf, 0, 0), Vec3(0, nan, 0), Vec3(0, 0, -inf)}) {
        player->Send("BypassKnockbackTimer");
        SendObjectMessageValues(player, "KnockbackPlayer", badPush);
    }
    EXPECT_EQ(ActionWorld::Vel(enemy), Vec3());
    EXPECT_EQ(ActionWorld::Vel(player), Vec3());
    EXPECT_NE(world.log.find("KnockbackEnemy for object"), std::string::npos);
    EXPECT_NE(world.log.find("KnockbackPlayer for object"), std::string::npos);

    player->Send("BypassKnockbackTimer");
    SendObjectMessageValues(player, "KnockbackPlayer", push);
    SendObjectMessageValues(player, "KnockbackPlayer", push);  // during the cool-down: no change
    EXPECT_EQ(ActionWorld::Vel(player), Vec3(1, 0, 0));
    EXPECT_EQ(playerKnock->GetGate().timer, 0.0f);
    world.Step(0.25f);
    SendObjectMessageValues(enemy, "KnockbackEnemy", push);
    EXPECT_EQ(ActionWorld::Vel(enemy), Vec3(1, 0, 0));
}

}  // namespace
}  // namespace Ostrel::ActionTest
