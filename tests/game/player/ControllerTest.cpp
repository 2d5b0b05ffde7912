#include "tests/game/GameFixture.h"

#include "engine/components/AimerComponent.h"
#include "engine/components/TransparentPlaneComponent.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/platform/ControllerData.h"
#include "engine/platform/Input.h"
#include "engine/world/GameSystem.h"
#include "game/player/ControllerComponent.h"
#include "tests/engine/platform/PlatformFakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Vandle::GameTest {
namespace {

const char kControlledObjects[] = R"(
<controlled-obj>
    <TransformComponent/>
    <MessageComponent/>
    <ControllerComponent/>
    <TransparentPlaneComponent/>
    <AimerComponent/>
</controlled-obj>
<bare-controlled-obj>
    <MessageComponent/>
    <ControllerComponent/>
</bare-controlled-obj>
)";

constexpr int kLeftKey = 37, kUpKey = 38, kRightKey = 39;

using Texts = std::vector<std::string>;

struct ControlWorld : GameFixture {
    ControlWorld() : GameFixture(kControlledObjects) {
        engine.AddSystem(&game);
        player = Spawn("controlled-obj");
        Record(player);
        RecordGlobal({"LockTutorial"});
    }
    void Key(int key, bool down) { core.SendMessageValueBool("KeyTriggered", key, down); }
    void Stroke(int key) {
        Key(key, true);
        Key(key, false);
    }
    void Pad(Vec2 left, Vec2 right) {
        ControllerData data;
        data.leftStick = left;
        data.rightStick = right;
        ControllerData* pointer = &data;
        core.SendMessageValues("ControllerUpdate", pointer);
    }
    Texts Take() {
        Texts texts = SentTo(player);
        Texts globals = SentTo(0u);
        texts.insert(texts.end(), globals.begin(), globals.end());
        sent.clear();
        return texts;
    }
    void UiCapture(bool capture) { core.SendMessageBool("UiCaptureInput", capture); }
    ControllerComponent* Controls() { return Get<ControllerComponent>(player); }
    AimerComponent* Aimer() { return Get<AimerComponent>(player); }
    TransparentPlaneComponent* Plane() { return Get<TransparentPlaneComponent>(player); }

    GameSystem game;
    Composition* player = nullptr;
};

TEST(Controller, ArrowsSteerKeepFacingThroughZeroAndTurnTheAimer) {
    ControlWorld world;
    world.Key(kLeftKey, true);
    world.Key(kRightKey, true);
    EXPECT_EQ(world.Take(), (Texts{"UpdatePlayerDirection((-1, 0, 0))", "UpdatePlayerDirection((0, 0, 0))"}));
    EXPECT_FLOAT_EQ(world.Controls()->GetFacing().x, -1.0f) << "Left and Right cancel; Facing keeps Left";
    world.Key(kRightKey, false);
    EXPECT_EQ(world.Take(), Texts{"UpdatePlayerDirection((-1, 0, 0))"});
    EXPECT_FLOAT_EQ(world.Aimer()->GetRotationY(), -90.0f);
    EXPECT_FLOAT_EQ(world.Plane()->GetRotationY(), -90.0f);
    world.Key(kLeftKey, false);

    world.Key(kUpKey, true);
    world.Key(kRightKey, true);
    const Vec3 diagonal = world.Controls()->GetFacing();
    EXPECT_NEAR(diagonal.x, 0.7071f, 1e-4f);
    EXPECT_NEAR(diagonal.z, 0.7071f, 1e-4f);
    world.Take();
    world.Key(kUpKey, false);
    world.Key(kRightKey, false);
    EXPECT_EQ(world.Take(), (Texts{"UpdatePlayerDirection((1, 0, 0))", "UpdatePlayerDirection((0, 0, 0))"}));
    EXPECT_FLOAT_EQ(world.Controls()->GetFacing().x, 1.0f);
    EXPECT_FLOAT_EQ(world.Aimer()->GetRotationY(), 90.0f) << "the aimer keeps the last direction";
    EXPECT_FLOAT_EQ(world.Aimer()->GetDirection().x, 1.0f);

    // An unlisted key only turns the aimer.
    world.Key(65, true);
    EXPECT_TRUE(world.Take().empty());
}

TEST(Controller, AttackDashAndDebugKeysFollowTheTablesAndPauseSwallowsKeys) {
    ControlWorld world;
    world.Stroke('X');
    EXPECT_EQ(world.Take(), (Texts{"PlayerAttack((0, 0, -1))", "ReleaseAttack()"}))
        << "no aim: the attack goes along the initial facing";
    world.Stroke('Z');
    EXPECT_EQ(world.Take(), (Texts{"DodgeRoll()", "DodgeRoll()"})) << "'Z' never locks a tutorial";
    world.Stroke('2');
    world.Stroke(192);
    EXPECT_EQ(world.Take(), (Texts{"ChangePlayerAttack(ArcAttack, -1)", "ChangePlayerAttack(ArcAttack, -1)",
                                   "Heal(1, true)", "Heal(1, true)"}));

    ConfigureFileXML config(true);
    ASSERT_TRUE(config.LoadFromText("<GameSystem><debug>0</debug></GameSystem>"));
    world.game.LoadConfig(&config);
    world.Stroke('5');
    world.Stroke(192);
    EXPECT_TRUE(world.Take().empty()) << "debug keys off: they only turn the aimer";

    world.engine.SetPaused(true);
    world.Stroke(kRightKey);
    world.Stroke('X');
    EXPECT_TRUE(world.Take().empty()) << "paused: keys do nothing";
    world.Pad(Vec2(0.0f, 9000.0f), Vec2());
    EXPECT_EQ(world.Take(), Texts{"UpdatePlayerDirection((0, 0, 1))"}) << "pad updates still steer";
    EXPECT_FLOAT_EQ(world.Aimer()->GetRotationY(), 0.0f);
}

TEST(Controller, PadAimsAndLocksTutorialsOnlyWithTheRightControls) {
    ControlWorld world;
    world.Stroke(269);
    world.Stroke(267);
    EXPECT_EQ(world.Take(), (Texts{"DodgeRoll()", "DodgeRoll()", "DodgeRoll()", "DodgeRoll()",
                                   "LockTutorial(use-dash)", "LockTutorial(use-dash-advanced)"}))
        << "the left trigger locks the dash tutorials, once";
    EXPECT_TRUE(world.Controls()->AreDashTutorialsLocked());

    world.Stroke(268);
    world.Stroke(271);
    world.Stroke(266);
    world.Take();
    EXPECT_FALSE(world.Controls()->AreQilTutorialsLocked()) << "the right stick has not moved yet";

    // The right stick points +x; the aim overrides the facing.
    world.Pad(Vec2(), Vec2(20000.0f, 0.0f));
    EXPECT_TRUE(world.Controls()->AreQilTutorialsLocked()) << "the earlier shoulder press counts";
    EXPECT_EQ(world.Take(), (Texts{"UpdatePlayerDirection((0, 0, 0))", "LockTutorial(use-qil-basic)",
                                   "LockTutorial(use-qil-advanced)"}));
    EXPECT_FLOAT_EQ(world.Aimer()->GetRotationY(), 90.0f);
    world.Key('X', true);
    EXPECT_EQ(world.Take(), Texts{"PlayerAttack((1, 0, 0))"});

    // The right stick at rest, the left pushed: the aimer follows the movement.
    world.Pad(Vec2(-3000.0f, 0.0f), Vec2());
    EXPECT_EQ(world.Take(), Texts{"UpdatePlayerDirection((-1, 0, 0))"});
    EXPECT_FLOAT_EQ(world.Aimer()->GetRotationY(), -90.0f);
    world.Stroke(270);
    EXPECT_EQ(world.Take(), (Texts{"PlayerAttack((-1, 0, 0))", "ReleaseAttack()"})) << "locked once only";

    // Broken stick readings count as rest: no NaN reaches the marker or attacks.
    const float inf = std::numeric_limits<float>::infinity();
    world.Pad(Vec2(std::nanf(""), 0.0f), Vec2(inf, -inf));
    EXPECT_FLOAT_EQ(world.Aimer()->GetRotationY(), -90.0f);
    EXPECT_FLOAT_EQ(world.Plane()->GetRotationY(), -90.0f);
    world.Take();
    world.Key('X', true);
    EXPECT_EQ(world.Take(), Texts{"PlayerAttack((-1, 0, 0))"});
}

// Stands in for the fly-over or a menu: the direct handler of the input.
struct InputThief {
    void OnKeyTriggered(int key, bool down) { keys.push_back(down ? key : -key); }
    void OnControllerUpdate(ControllerData*) { ++padUpdates; }
    std::vector<int> keys;
    int padUpdates = 0;
};

struct HeldInputWorld : ControlWorld {
    HeldInputWorld() {
        pads.connected[0] = true;
        input.SetPadSource(pads);
        input.Initialize();
    }
    ~HeldInputWorld() { input.Shutdown(); }
    void Steal() {
        core.SetHandler("KeyTriggered", MakeDelegate(&thief, &InputThief::OnKeyTriggered));
        core.SetHandler("ControllerUpdate", MakeDelegate(&thief, &InputThief::OnControllerUpdate));
    }
    void GiveBack() {
        core.ClearHandler("KeyTriggered");
        core.ClearHandler("ControllerUpdate");
    }
    void PadFrame(PadState state) {
        pads.Press(state);
        input.Update(0.016f);
    }

    Input input;
    OstrelTest::FakePadSource pads;
    InputThief thief;
};

TEST(Controller, PicksUpHeldInputWhenPlayGetsItBackWithoutNewPresses) {
    HeldInputWorld world;
    world.input.SetKey(kLeftKey, true);
    world.input.SetKey('X', true);
    EXPECT_EQ(world.Take(), (Texts{"UpdatePlayerDirection((-1, 0, 0))", "PlayerAttack((-1, 0, 0))"}));

    // The fly-over holds the input: Left and X come up, Right and Z go down.
    world.Steal();
    world.input.SetKey(kLeftKey, false);
    world.input.SetKey('X', false);
    world.input.SetKey(kRightKey, true);
    world.input.SetKey('Z', true);
    EXPECT_EQ(world.thief.keys, (std::vector<int>{-kLeftKey, -'X', kRightKey, 'Z'}));
    EXPECT_TRUE(world.Take().empty());

    // It ends: Right steers at once, the missed release of X ends the
    // attack, and Z (which skipped the flight) neither dashes nor does so on
    // its release. Its next press is play's.
    world.GiveBack();
    world.core.SendMessageBool("SetTutorialsActive", true);
    EXPECT_EQ(world.Take(), (Texts{"UpdatePlayerDirection((1, 0, 0))", "ReleaseAttack()"}));
    EXPECT_FLOAT_EQ(world.Aimer()->GetRotationY(), 90.0f);
    world.input.SetKey('Z', false);
    EXPECT_TRUE(world.Take().empty()) << "the skip key's release is not a dash";
    world.input.SetKey('Z', true);
    world.input.SetKey('Z', false);
    EXPECT_EQ(world.Take(), (Texts{"DodgeRoll()", "DodgeRoll()"}));

    // A menu: the pad moves while it holds the input. When it closes, the
    // stick pushed left wins over the held Right, and the A pressed in the
    // menu attacks on neither edge.
    world.PadFrame(PadState{});
    world.Take();
    world.Steal();
    world.UiCapture(true);
    PadState pushed;
    pushed.thumbLX = -30000;
    pushed.buttons = PadButton::kA;
    world.PadFrame(pushed);
    EXPECT_EQ(world.thief.padUpdates, 1);
    world.GiveBack();
    world.UiCapture(false);
    EXPECT_EQ(world.Take(), Texts{"UpdatePlayerDirection((-1, 0, 0))"});
    pushed.buttons = 0;
    world.PadFrame(pushed);
    EXPECT_EQ(world.Take(), Texts{"UpdatePlayerDirection((-1, 0, 0))"}) << "no ReleaseAttack for A";

    // A capture that starts does not steer; input coming back to nothing held stops the player.
    world.UiCapture(true);
    world.Steal();
    world.core.SendMessageBool("SetTutorialsActive", false);
    world.input.SetKey(kRightKey, false);
    world.PadFrame(PadState{});
    world.GiveBack();
    EXPECT_TRUE(world.Take().empty());
    world.core.SendMessageBool("SetTutorialsActive", true);
    EXPECT_EQ(world.Take(), Texts{"UpdatePlayerDirection((0, 0, 0))"});
    world.UiCapture(false);
    EXPECT_TRUE(world.Take().empty()) << "nothing changed: no still direction (it would count as a move)";
}

TEST(Controller, OnlyLiveObjectsListenAndMissingPartsAreSkipped) {
    ControlWorld world;
    // An object without aimer or plane still sends its messages.
    Composition* bare = world.Spawn("bare-controlled-obj");
    world.Record(bare);
    world.Key(kUpKey, true);
    EXPECT_EQ(world.SentTo(bare), Texts{"UpdatePlayerDirection((0, 0, 1))"});
    world.sent.clear();
    // A destroyed object stops listening.
    world.objects.DestroyObject(bare->GetId());
    world.objects.Update(0.0f);
    world.Key(kUpKey, false);
    EXPECT_EQ(world.sent.size(), 1u) << "only the live player answers";
}

}  // namespace
}  // namespace Vandle::GameTest
