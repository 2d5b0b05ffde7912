#include "tests/game/GameFixture.h"

#include "engine/core/Engine.h"
#include "game/common/BobAction.h"
#include "game/player/FaceVelocityAction.h"

#include <gtest/gtest.h>

namespace Vandle::GameTest {
namespace {

const char kFloatObjects[] = R"(
<floater-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <MovementComponent/>
</floater-obj>
<float-player-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <PlayerComponent/>
</float-player-obj>
)";

struct FloatWorld : GameFixture {
    FloatWorld() : GameFixture(kFloatObjects) { floater = Spawn("floater-obj", Vec3(0.0f, 0.0f, 0.0f)); }
    Vec3& Velocity() { return Get<MovementComponent>(floater)->Velocity(); }
    Vec3& Rotation() { return floater->GetTransform()->Rotation(); }
    Composition* floater = nullptr;
};

TEST(BobAction, SwingsAroundThePlayersHeightAndFindsTheNextPlayer) {
    FloatWorld world;
    auto* bob = world.AddAction(world.floater, new BobAction);
    bob->SetAmplitude(2.0f);
    bob->SetFrequency(1.5f);
    bob->SetOffset(3.0f);
    world.Velocity() = Vec3(4.0f, 9.0f, 5.0f);
    world.Step(0.5f);
    EXPECT_EQ(world.Velocity(), Vec3(4.0f, 9.0f, 5.0f)) << "no player: nothing is written";

    Composition* player = world.Spawn("float-player-obj", Vec3(7.0f, 2.0f, 0.0f));
    world.floater->GetTransform()->Position().y = 1.0f;
    world.Step(0.5f);
    EXPECT_EQ(bob->GetTargetId(), player->GetId());
    EXPECT_FLOAT_EQ(world.Velocity().y, std::sin(0.5f * 1.5f) * 2.0f + 2.0f + 3.0f - 1.0f)
        << "the clock stood still while there was no player";
    EXPECT_FLOAT_EQ(world.Velocity().x, 4.0f) << "x and z are left to other actions";
    EXPECT_FLOAT_EQ(world.Velocity().z, 5.0f);

    // The clock wraps at 2 pi before the frequency multiplies it: at 6.5 s
    // the phase is 6.5 - 2 pi, so a frequency of 1.5 jumps.
    world.Run(6.0f, 0.5f);
    const f32 wrapped = 6.5f - 6.2831855f;
    EXPECT_NEAR(world.Velocity().y, std::sin(wrapped * 1.5f) * 2.0f + 5.0f - 1.0f, 1e-4f);

    // New settings from the editor, then a new player after the first is gone.
    f32 amplitude = 0.0f, frequency = 1.0f, offset = 3.0f;
    SendObjectMessageFloat3(world.floater, "UpdateBobAction", amplitude, frequency, offset);
    EXPECT_EQ(bob->GetAmplitude(), 0.0f);
    world.objects.DestroyObject(player->GetId());
    Composition* next = world.Spawn("float-player-obj", Vec3(0.0f, -4.0f, 0.0f));
    world.Step(0.1f);
    EXPECT_EQ(bob->GetTargetId(), next->GetId());
    EXPECT_FLOAT_EQ(world.Velocity().y, -4.0f + 3.0f - 1.0f) << "amplitude 0, offset 3: 3 above the player";
}

TEST(BobAction, EndsOnItsTerminateIdAndLeavesNoListener) {
    FloatWorld world;
    MessageListenerTable* table = GetObjectMessageTable(world.floater);
    auto* bob = new BobAction;
    bob->SetId(77);
    bob->SetListenTerminate(true);
    world.AddAction(world.floater, bob, FourCC("shld"));
    EXPECT_TRUE(table->HasEntry("UpdateBobAction"));
    unsigned id = 77;
    SendObjectMessageUInt(world.floater, "TerminateAction", id);
    world.Step(0.1f);
    EXPECT_TRUE(GetBrainComponentOf(world.floater)->GetActionList()->IsEmpty());
    EXPECT_TRUE(table->GetListeners("UpdateBobAction").empty());
}

TEST(FaceVelocityAction, FacesTheMotionOrCopiesItUntilTheAttackEnds) {
    FloatWorld world;
    world.AddAction(world.floater, new FaceVelocityAction, FourCC("face"));
    world.Rotation() = Vec3(10.0f, 33.0f, 20.0f);
    world.Velocity() = Vec3(0.0f, 5.0f, -2.0f);
    world.Step(0.1f);
    EXPECT_EQ(world.Rotation(), Vec3(10.0f, 0.0f, 20.0f)) << "along -z: heading 0, x and z kept";
    world.Velocity() = Vec3(3.0f, 0.0f, 0.0f);
    world.Step(0.1f);
    EXPECT_FLOAT_EQ(world.Rotation().y, -90.0f);
    world.Velocity() = Vec3(0.0f, 7.0f, 0.0f);
    world.Step(0.1f);
    EXPECT_FLOAT_EQ(world.Rotation().y, -90.0f) << "no horizontal motion keeps the heading";
    world.Velocity() = Vec3(std::nanf(""), 0.0f, 1.0f);
    world.Step(0.1f);
    EXPECT_FLOAT_EQ(world.Rotation().y, -90.0f) << "a velocity that is not finite is not copied";

    world.floater->Send("UseIncorrectRotation");
    world.Velocity() = Vec3(40.0f, -70.0f, 3.0f);
    world.Run(0.2f, 0.1f);
    EXPECT_EQ(world.Rotation(), Vec3(40.0f, -70.0f, 3.0f)) << "tumbling: the velocity is the rotation";
    world.floater->Send("FinishedAttack");
    world.Velocity() = Vec3(0.0f, 0.0f, 1.0f);
    world.Step(0.1f);
    EXPECT_FLOAT_EQ(std::fabs(world.Rotation().y), 180.0f);
    EXPECT_EQ(world.Rotation().x, 40.0f);
}

}  // namespace
}  // namespace Vandle::GameTest
