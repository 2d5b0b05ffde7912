#include "tests/game/GameFixture.h"

#include "engine/components/AimerComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/components/TransparentPlaneComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/actions/DamagePlayerAction.h"
#include "engine/actions/ImpulseAction.h"
#include "engine/actions/KnockbackPlayerAction.h"
#include "engine/actions/VelocityMovementAction.h"
#include "game/objects/ColorChangeAction.h"
#include "game/player/DashActions.h"
#include "game/player/PlayerComponent.h"

#include "engine/io/ConfigureFileXML.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace Vandle::GameTest {
namespace {

const char kPlayerObjects[] = R"(
<hero-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <AimerComponent><TextureID>old</TextureID></AimerComponent>
    <PlayerComponent><MoveSpeed>10</MoveSpeed></PlayerComponent>
</hero-obj>
<shield-hero-obj>
    <MessageComponent/>
    <PlayerComponent><DefaultAttack>ShieldAttack</DefaultAttack></PlayerComponent>
</shield-hero-obj>
)";

const char kAimerPage[] = R"(<ArcAttack>arc-aim 2 3 1.5</ArcAttack>
<MeteorAttack>meteor-aim two 3</MeteorAttack>
)";

using HeroTexts = std::vector<std::string>;

struct HeroWorld : GameFixture {
    HeroWorld() : GameFixture(kPlayerObjects) {
        AddPropertyPage("player-aimer", kAimerPage);
        RecordGlobal();
        hero = Spawn("hero-obj", Vec3(3.0f, 0.0f, 0.0f));
        Record(hero);
    }
    HeroTexts Take() {
        HeroTexts texts;
        for (const Sent& s : sent) texts.push_back(s.text);
        sent.clear();
        return texts;
    }
    void Direction(Vec3 d) { SendObjectMessageVec3(hero, "UpdatePlayerDirection", d); }
    void Change(const char* name, int charges) { SendObjectMessageStringInt(hero, "ChangePlayerAttack", name, charges); }
    PlayerComponent* Hero() { return Get<PlayerComponent>(hero); }
    Composition* hero = nullptr;
};

TEST(Player, WalksTurnsAndAnimatesOnlyOnChanges) {
    HeroWorld world;
    EXPECT_EQ(world.Take(), (HeroTexts{"PlayerEnergyChanged(0)", "DeactivateLeftOf((0, 0, 0))",
                                       "ObjectCreated(1 'hero-obj')"}))
        << "triggers are spent left of where the player is made";
    world.Direction(Vec3(1.0f, 0.0f, 0.0f));
    world.Direction(Vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(world.Take(), (HeroTexts{"UpdatePlayerDirection((1, 0, 0))", "LockTutorial(move-basic)",
                                       "UpdateVelocityMoveAction((10, 0, 0))", "SetAnimation(luvo-walk-anim)",
                                       "UpdatePlayerDirection((1, 0, 0))", "UpdateVelocityMoveAction((10, 0, 0))"}));
    EXPECT_FLOAT_EQ(world.hero->GetTransform()->GetRotationY(), -90.0f);
    world.Direction(Vec3());
    EXPECT_EQ(world.Take(), (HeroTexts{"UpdatePlayerDirection((0, 0, 0))", "UpdateVelocityMoveAction((0, 0, 0))",
                                       "SetAnimation(luvo)"}));
    EXPECT_FLOAT_EQ(world.hero->GetTransform()->GetRotationY(), -90.0f) << "a zero vector does not turn";

    world.hero->Send("AimPlayer");
    world.Direction(Vec3(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(world.Take(), (HeroTexts{"AimPlayer()", "UpdatePlayerDirection((0, 0, 1))",
                                       "UpdateVelocityMoveAction((0, 0, 0))"}))
        << "aiming: no velocity, no walk";
    EXPECT_FLOAT_EQ(std::fabs(world.hero->GetTransform()->GetRotationY()), 180.0f) << "the body still turns";
    world.hero->Send("UpdatePlayerAnimation");
    EXPECT_EQ(world.Take(), (HeroTexts{"UpdatePlayerAnimation()", "SetAnimation(luvo)"}));

    // A non-finite direction is skipped for the facing and logged once.
    const float nan = std::nanf("");
    world.Direction(Vec3(nan, 0.0f, 0.0f));
    world.Direction(Vec3(nan, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(std::fabs(world.hero->GetTransform()->GetRotationY()), 180.0f);
    EXPECT_EQ(world.log.find("non-finite"), world.log.rfind("non-finite"));
    EXPECT_NE(world.log.find("non-finite"), std::string::npos);
}

TEST(Player, ChargesCountDownStopAtZeroAndReturnToTheDefaultAttack) {
    HeroWorld world;
    world.Take();
    world.Change("ArcAttack", 3);
    for (int i = 0; i < 4; ++i) world.hero->Send("DecrementEnergy");
    world.hero->Send("CheckEnergy");
    HeroTexts expected{"ChangePlayerAttack(ArcAttack, 3)", "PlayerAttackChanged(ArcAttack)", "PlayerEnergyChanged(1)",
                       "DecrementEnergy()", "PlayerEnergyChanged(0.666667)", "DecrementEnergy()",
                       "PlayerEnergyChanged(0.333333)", "DecrementEnergy()", "PlayerEnergyChanged(0)",
                       "DecrementEnergy()", "CheckEnergy()", "PlayerAttackChanged(ShootQil)", "PlayerEnergyChanged(0)"};
    EXPECT_EQ(world.Take(), expected) << "the fourth decrement stops at 0";
    EXPECT_EQ(world.Hero()->GetEnergy(), 0);

    AimerComponent* aimer = world.Get<AimerComponent>(world.hero);
    EXPECT_EQ(aimer->GetTextureId(), "arc-aim");
    EXPECT_FLOAT_EQ(aimer->GetScale().x, 2.0f);
    EXPECT_FLOAT_EQ(aimer->GetScale().y, 3.0f);
    EXPECT_FLOAT_EQ(aimer->GetAdjustRadius(), 1.5f);
    world.Change("MeteorAttack", 2);
    EXPECT_EQ(aimer->GetTextureId(), "arc-aim") << "a malformed entry changes nothing";
    EXPECT_NE(world.log.find("player-aimer: entry 'MeteorAttack'"), std::string::npos);

    // Choosing the current attack refills it quietly; -1 is never spent.
    world.Take();
    world.Change("MeteorAttack", -1);
    world.hero->Send("DecrementEnergy");
    world.hero->Send("CheckEnergy");
    EXPECT_EQ(world.Take(), (HeroTexts{"ChangePlayerAttack(MeteorAttack, -1)", "PlayerEnergyChanged(0)",
                                       "DecrementEnergy()", "CheckEnergy()"}));
    EXPECT_EQ(world.Hero()->GetCurrentAttack(), "MeteorAttack");
}

TEST(Player, AttacksForwardUnderTheirNameUntilLockedAndDeathRemovesThePlayer) {
    HeroWorld world;
    Vec3 east(1.0f, 0.0f, 0.0f);
    SendObjectMessageVec3(world.hero, "PlayerAttack", east);
    world.Change("ShieldAttack", 0);
    world.core.Send("InitiateVictory");
    SendObjectMessageVec3(world.hero, "PlayerAttack", east);
    world.Take();
    world.hero->Send("UnlockAttacks");
    SendObjectMessageVec3(world.hero, "PlayerAttack", east);
    EXPECT_EQ(world.Take(), (HeroTexts{"UnlockAttacks()", "PlayerAttack((1, 0, 0))", "ShieldAttack((1, 0, 0))"}));
    EXPECT_EQ(world.Count("ShootQil((1, 0, 0))"), 0);

    // The actions, newest first in the brain: the knockback lane leads.
    world.Run(0.1f);
    std::vector<std::string> kinds;
    for (IAction* action : GetBrainComponentOf(world.hero)->GetActionList()->Actions()) {
        const std::string lane = std::to_string(action->GetLane());
        if (dynamic_cast<KnockbackPlayerAction*>(action)) kinds.push_back("knock " + lane);
        else if (dynamic_cast<DamagePlayerAction*>(action)) kinds.push_back("damage " + lane);
        else if (dynamic_cast<ColorChangeAction*>(action)) kinds.push_back("flash " + lane);
        else if (dynamic_cast<VelocityMovementAction*>(action)) kinds.push_back("velocity");
        else if (dynamic_cast<DodgeRollAction*>(action)) kinds.push_back("dash");
        else if (dynamic_cast<JumpAction*>(action)) kinds.push_back("jump");
        else if (dynamic_cast<ImpulseAction*>(action)) kinds.push_back("impulse");
        else kinds.push_back("other");
    }
    const std::string knoc = std::to_string(FourCC("knoc")), dama = std::to_string(FourCC("dama"));
    const std::string flas = std::to_string(ColorChangeAction::kLane);
    EXPECT_EQ(kinds,
              (HeroTexts{"knock " + knoc, "damage " + dama, "flash " + flas, "velocity", "dash", "jump", "impulse"}));
    const u32 id = world.hero->GetId();
    world.hero->Send("ObjectDead");
    EXPECT_EQ(world.Take(), (HeroTexts{"ObjectDead()", "PlaySound(player-death-sfx)", "PlayerHealthChanged(0)",
                                       "PlayerDeath(" + std::to_string(id) + " 'hero-obj')"}));
    EXPECT_TRUE(world.Alive(id)) << "the object goes at the next update";
    world.Step(0.016f);
    EXPECT_FALSE(world.Alive(id));

    // A copy of an archetype with another default attack starts on
    // "ShootQil" until its first reset.
    Composition* shield = world.Spawn("shield-hero-obj");
    auto* shieldHero = world.Get<PlayerComponent>(shield);
    EXPECT_EQ(shieldHero->GetCurrentAttack(), "ShootQil");
    shieldHero->OnResetPlayerAttack();
    EXPECT_EQ(shieldHero->GetCurrentAttack(), "ShieldAttack");
}

}  // namespace
}  // namespace Vandle::GameTest

namespace Vandle::GameTest {
namespace {

std::string ShippedText(const std::string& relative) {
    std::ifstream in(std::string(LV_SOURCE_DIR) + "/" + relative);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The shipped player (the level's player spawner) under the shipped physics
// walks at 8 to 12 units/s within half a second of holding Right and stops
// as fast on release; it carries its shadow, direction plane and aim
// marker, and the shipped "player-aimer" page has a good entry for every
// attack.
TEST(Player, ShippedPlayerWalksAtItsSpeedAndStops) {
    ConfigureFileXML config(true);
    ASSERT_TRUE(config.Load(std::string(LV_SOURCE_DIR) + "/rsc/physics.xcfg"));
    Physics shipped;
    shipped.LoadConfig(&config);
    PhysicsSettings settings = shipped.GetSettings();
    ASSERT_FLOAT_EQ(settings.drag, 0.9f);
    settings.gravity = 0.0f;  // no floor here: only the walk is measured
    GameFixture world(ShippedText("rsc/objects/player-objects.xobj"), GameOptions{true, settings});
    Composition* player = world.Spawn("spawner-Luvo");
    ASSERT_NE(player, nullptr);
    EXPECT_FLOAT_EQ(world.Get<PlayerComponent>(player)->GetMoveSpeed(), 66.0f);
    auto speed = [&] { return world.Get<MovementComponent>(player)->GetVelocity().x; };
    world.core.SendMessageValueBool("KeyTriggered", 39, true);
    world.Run(0.5f);
    EXPECT_GE(speed(), 8.0f);
    world.Run(1.0f);
    EXPECT_GE(speed(), 8.0f);
    EXPECT_LE(speed(), 12.0f);
    world.core.SendMessageValueBool("KeyTriggered", 39, false);
    world.Run(0.5f);
    EXPECT_LT(std::fabs(speed()), 0.5f);

    for (u32 type : {ShadowComponent::kTypeId, TransparentPlaneComponent::kTypeId, AimerComponent::kTypeId})
        EXPECT_NE(player->GetComponent(type), nullptr) << type;
    world.AddPropertyPage("player-aimer", ShippedText("rsc/pages/player-aimer.xpro"));
    auto* aimer = world.Get<AimerComponent>(player);
    for (const char* attack : {"ArcAttack", "MeteorAttack", "ShieldAttack", "FirestarterAttack", "ShootQil"}) {
        SendObjectMessageStringInt(player, "ChangePlayerAttack", attack, 2);
        EXPECT_EQ(world.Get<PlayerComponent>(player)->GetCurrentAttack(), attack);
    }
    EXPECT_EQ(world.log.find("player-aimer"), std::string::npos) << world.log;
    EXPECT_EQ(aimer->GetTextureId(), "marker");
    EXPECT_FLOAT_EQ(aimer->GetAdjustRadius(), 1.5f);
}

}  // namespace
}  // namespace Vandle::GameTest
