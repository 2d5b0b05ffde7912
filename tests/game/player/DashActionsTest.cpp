#include "tests/game/GameFixture.h"

#include "game/player/DashActions.h"

#include <gtest/gtest.h>

namespace Vandle::GameTest {
namespace {

const char kDashObjects[] = R"(
<dasher-obj>
    <TransformComponent><RotY>-90</RotY></TransformComponent>
    <MessageComponent/>
    <BrainComponent/>
</dasher-obj>
<unplaced-dasher-obj>
    <MessageComponent/>
    <BrainComponent/>
</unplaced-dasher-obj>
)";

using DashTexts = std::vector<std::string>;

struct DashWorld : GameFixture {
    explicit DashWorld(const std::string& archetype = "dasher-obj") : GameFixture(kDashObjects) {
        player = Spawn(archetype);
        AddAction(player, new DodgeRollAction);
        AddAction(player, new JumpAction);
        Record(player, {"AddImpulseAction", "UpdatePlayerAnimation"});
        RecordGlobal({"LockTutorial", "PlaySound"});
    }
    // The sends in order; an impulse's z (a rounding residue of cos 90 deg
    // at most) is written as "~0".
    DashTexts Take() {
        DashTexts texts;
        for (const Sent& s : sent) {
            std::string text = s.text;
            const std::string impulse = "AddImpulseAction((100, 0, ";
            if (text.rfind(impulse, 0) == 0) {
                const float z = std::stof(text.substr(impulse.size()));
                if (std::fabs(z) < 1e-3f) text = impulse + "~0))";
            }
            texts.push_back(text);
        }
        sent.clear();
        return texts;
    }
    Composition* player = nullptr;
};

TEST(DashAction, OneDashPerSecondAlongTheFacingThenBackToTheLoop) {
    DashWorld world;
    world.player->Send("DodgeRoll");
    EXPECT_EQ(world.Take(), (DashTexts{"LockTutorial(use-dash)", "PlaySound(dash-sfx)",
                                       "AddImpulseAction((100, 0, ~0))"}))
        << "facing -90 dashes along +x";
    world.Run(0.3f);
    world.player->Send("DodgeRoll");
    EXPECT_TRUE(world.Take().empty()) << "0.3 s later: still cooling down";

    // The roll ends in the first update after 0.5 s, not at 0.5 s.
    world.Run(0.2f, 0.05f);
    EXPECT_TRUE(world.Take().empty());
    world.Step(0.05f);
    EXPECT_EQ(world.Take(), DashTexts{"UpdatePlayerAnimation()"});

    // The dropped request did not reset the timer: exactly 1.0 s after the
    // first dash the next one goes through, without the tutorial again.
    world.Run(0.45f, 0.05f);
    world.player->Send("DodgeRoll");
    EXPECT_EQ(world.Take(), (DashTexts{"PlaySound(dash-sfx)", "AddImpulseAction((100, 0, ~0))"}));
}

TEST(DashAction, JumpsEveryHalfSecondAndAnUnplacedDasherOnlyCoolsDown) {
    DashWorld world;
    world.player->Send("Jump");
    world.Run(0.25f, 0.05f);
    world.player->Send("Jump");
    EXPECT_EQ(world.Take(), DashTexts{"AddImpulseAction((0, 100, 0))"});
    world.Run(0.25f, 0.05f);
    world.player->Send("Jump");
    EXPECT_EQ(world.Take(), DashTexts{"AddImpulseAction((0, 100, 0))"});

    DashWorld unplaced("unplaced-dasher-obj");
    unplaced.player->Send("DodgeRoll");
    EXPECT_EQ(unplaced.Take(), DashTexts{"LockTutorial(use-dash)"}) << "no transform: no impulse";
    unplaced.Run(1.0f);
    EXPECT_TRUE(unplaced.Take().empty()) << "no roll to end";
}

}  // namespace
}  // namespace Vandle::GameTest
