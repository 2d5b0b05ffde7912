#include "tests/game/GameFixture.h"

#include "engine/base/Log.h"
#include "game/objects/PlayerTriggerComponent.h"
#include "game/objects/TimedTriggerAction.h"
#include "game/objects/TimedTriggerComponent.h"
#include "game/objects/TriggerListenerComponent.h"

#include <gtest/gtest.h>

namespace Vandle::GameTest {
namespace {

const char kTriggerObjects[] = R"(
<player-obj>
    <TransformComponent><PosX>-100</PosX></TransformComponent>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static><CollideWithStatics>1</CollideWithStatics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MessageComponent/>
    <PlayerComponent/>
</player-obj>
<enemy-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static><CollideWithStatics>1</CollideWithStatics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MessageComponent/>
</enemy-obj>
<trigger-obj>
    <TransformComponent/>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MessageComponent/>
    <PlayerTriggerComponent><TriggerId>7</TriggerId></PlayerTriggerComponent>
</trigger-obj>
<triple-trigger-obj>
    <TransformComponent/>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MessageComponent/>
    <PlayerTriggerComponent><TriggerId>8</TriggerId><NumUses>3</NumUses></PlayerTriggerComponent>
</triple-trigger-obj>
<listener-7-obj>
    <MessageComponent/>
    <TriggerListenerComponent><TriggerId>7</TriggerId></TriggerListenerComponent>
</listener-7-obj>
<listener-8-obj>
    <MessageComponent/>
    <TriggerListenerComponent><TriggerId>8</TriggerId></TriggerListenerComponent>
</listener-8-obj>
<brood-listener-obj>
    <MessageComponent/>
    <TriggerListenerComponent><TriggerId>1112687665</TriggerId></TriggerListenerComponent>
</brood-listener-obj>
<timer-obj>
    <MessageComponent/>
    <BrainComponent/>
    <TimedTriggerComponent/>
</timer-obj>
<zero-timer-obj>
    <MessageComponent/>
    <BrainComponent/>
    <TimedTriggerComponent><RepeatTime>0</RepeatTime></TimedTriggerComponent>
</zero-timer-obj>
)";

constexpr f32 kPhysicsStep = 0.016f;

struct TriggerWorld : GameFixture {
    TriggerWorld() : GameFixture(kTriggerObjects, GameOptions{true}) { RecordGlobal({"TriggerActivated"}); }
    Composition* Listener(const std::string& archetype) {
        Composition* object = Spawn(archetype);
        Record(object, {"TriggerFired"});
        return object;
    }
    static PlayerTriggerComponent* Trigger(Composition* o) { return o->GetComponentAs<PlayerTriggerComponent>(); }
};

TEST(Trigger, PlayerTouchFiresListenersOfItsIdOncePerUse) {
    TriggerWorld world;
    Composition* trigger = world.Spawn("trigger-obj", Vec3(0, 0, 0));
    Composition* triple = world.Spawn("triple-trigger-obj", Vec3(20, 0, 0));
    Composition* sevenA = world.Listener("listener-7-obj");
    Composition* sevenB = world.Listener("listener-7-obj");
    Composition* eight = world.Listener("listener-8-obj");

    // An enemy overlapping the trigger on consecutive steps: nothing, no use spent.
    Composition* enemy = world.Spawn("enemy-obj", Vec3(0.5f, 0, 0));
    world.Run(3 * kPhysicsStep, kPhysicsStep);
    EXPECT_TRUE(world.sent.empty());
    EXPECT_EQ(TriggerWorld::Trigger(trigger)->GetNumUses(), 1);
    world.objects.DestroyObject(enemy->GetId());

    // The player overlapping it on consecutive steps: one use, fired once.
    Composition* player = world.Spawn("player-obj", Vec3(0.5f, 0, 0));
    world.Run(3 * kPhysicsStep, kPhysicsStep);
    EXPECT_EQ(world.SentTo(0u), std::vector<std::string>{"TriggerActivated(7)"});
    EXPECT_EQ(world.SentTo(sevenA), std::vector<std::string>{"TriggerFired()"});
    EXPECT_EQ(world.SentTo(sevenB), std::vector<std::string>{"TriggerFired()"});
    EXPECT_TRUE(world.SentTo(eight).empty());
    EXPECT_EQ(TriggerWorld::Trigger(trigger)->GetNumUses(), 0);

    // Three uses are spent on three consecutive steps of one touch.
    world.sent.clear();
    player->GetTransform()->SetPosition(Vec3(20.5f, 0, 0));
    world.Run(5 * kPhysicsStep, kPhysicsStep);
    EXPECT_EQ(world.Count("TriggerActivated(8)"), 3);
    EXPECT_EQ(world.SentTo(eight).size(), 3u);
    EXPECT_EQ(TriggerWorld::Trigger(triple)->GetNumUses(), 0);
}

TEST(Trigger, DeactivateLeftOfSpendsTriggersUpToThePointAndCodesAnswer) {
    TriggerWorld world;
    std::vector<Composition*> triggers;
    for (f32 x : {9.5f, 10.0005f, 10.002f}) triggers.push_back(world.Spawn("triple-trigger-obj", Vec3(x, 0, 0)));
    world.core.SendMessageVec3("DeactivateLeftOf", Vec3(10.0f, 0, 0));
    EXPECT_EQ(TriggerWorld::Trigger(triggers[0])->GetNumUses(), 0);
    EXPECT_EQ(TriggerWorld::Trigger(triggers[1])->GetNumUses(), 0);
    EXPECT_EQ(TriggerWorld::Trigger(triggers[2])->GetNumUses(), 3);

    Composition* brood = world.Listener("brood-listener-obj");
    world.core.SendMessageInt("TriggerActivated", int(FourCC("BRD1")));
    world.core.SendMessageInt("TriggerActivated", int(FourCC("BRD2")));
    EXPECT_EQ(world.SentTo(brood), std::vector<std::string>{"TriggerFired()"});
    EXPECT_EQ(brood->GetComponentAs<TriggerListenerComponent>()->GetTriggerId(), 1112687665);
}

struct TimerWorld : GameFixture {
    TimerWorld() : GameFixture(kTriggerObjects) {}
    Composition* Timer(const std::string& archetype = "timer-obj") {
        Composition* object = Spawn(archetype);
        Record(object, {"TriggerFired"});
        return object;
    }
    TimedTriggerAction* ActionOf(Composition* object) {
        auto actions = object->GetComponentAs<BrainComponent>()->GetActionList()->Actions();
        return actions.empty() ? nullptr : dynamic_cast<TimedTriggerAction*>(actions.front());
    }
};

TEST(TimedTrigger, StrictPeriodsWithTheRemainderCarried) {
    TimerWorld world;
    Composition* timer = world.Timer();
    TimedTriggerAction* action = world.ActionOf(timer);
    ASSERT_NE(action, nullptr);
    world.Run(1.0f, 0.25f);
    EXPECT_EQ(world.SentTo(timer).size(), 0u) << "1.0 counted is not more than the period";
    world.Step(0.25f);
    EXPECT_EQ(world.SentTo(timer).size(), 1u) << "the fifth step fires";
    EXPECT_FLOAT_EQ(action->GetAccumulated(), 0.25f);

    world.sent.clear();
    timer->Send("ResetTimedTrigger");
    world.Step(3.5f);
    EXPECT_EQ(world.SentTo(timer).size(), 3u);
    EXPECT_FLOAT_EQ(action->GetAccumulated(), 0.5f);

    // Paused time is not counted; the count reached before is kept.
    world.sent.clear();
    timer->Send("PauseTimedTrigger");
    world.Run(10.0f, 0.25f);
    timer->Send("ResumeTimedTrigger");
    world.Run(0.5f, 0.25f);
    EXPECT_EQ(world.SentTo(timer).size(), 0u);
    world.Step(0.25f);
    EXPECT_EQ(world.SentTo(timer).size(), 1u);

    // The editor's field restarts the count with the new period.
    world.sent.clear();
    world.Run(0.75f, 0.25f);
    ComponentTest::Panel panel;
    timer->GetComponentAs<TimedTriggerComponent>()->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries, std::vector<std::string>{"callback6 RepeatTime"});
    panel.Set<float>("RepeatTime", 2.0f);
    EXPECT_EQ(panel.Get<float>("RepeatTime"), 2.0f);
    world.Run(2.0f, 0.5f);
    EXPECT_EQ(world.SentTo(timer).size(), 0u);
    world.Step(0.5f);
    EXPECT_EQ(world.SentTo(timer).size(), 1u);
}

TEST(TimedTrigger, PeriodsOfZeroOrLessFireNothingAndAreLoggedOnce) {
    TimerWorld world;
    Composition* zero = world.Timer("zero-timer-obj");
    world.Run(3.0f, 1.0f);
    EXPECT_TRUE(world.SentTo(zero).empty());
    const std::string line = "'zero-timer-obj'): RepeatTime 0 is not above 0";
    EXPECT_NE(world.log.find(line), std::string::npos) << world.log;
    EXPECT_EQ(world.log.find(line), world.log.rfind(line)) << "logged once";

    Composition* timer = world.Timer();
    for (f32 period : {-1.0f, 0.0f}) {
        SendObjectMessageFloat(timer, "UpdateTimedTriggerAction", period);
        world.Run(2.0f, 0.5f);
    }
    EXPECT_TRUE(world.SentTo(timer).empty());
    // A period far below the step ends the update after a bounded number
    // of firings instead of running for ages.
    SendObjectMessageFloat(timer, "UpdateTimedTriggerAction", 1e-30f);
    world.Step(0.032f);
    EXPECT_EQ(world.SentTo(timer).size(), std::size_t(TimedTriggerAction::kMaxFiringsPerUpdate));
}

// A room file's negative use count is told with the room's file and read as
// 0; the trigger then never fires, as before.
TEST(Trigger, NegativeNumUsesFromARoomIsLoggedWithItsFileAndTakenAsZero) {
    GameFixture world(kTriggerObjects);
    RoomObjects read(world.factory);
    {
        Ostrel::LogSourceScope source("rsc/level/bad-room.xrm");
        ASSERT_TRUE(Ostrel::SerializerXML(true).ReadRoomText(
            "bad-room", "<Level><Objects><trigger-obj><PlayerTriggerComponent><NumUses>-5</NumUses>"
                        "</PlayerTriggerComponent></trigger-obj></Objects></Level>", read));
    }
    ASSERT_EQ(read.objects.size(), 1u);
    EXPECT_EQ(read.objects[0]->GetComponentAs<PlayerTriggerComponent>()->GetNumUses(), 0);
    EXPECT_NE(world.log.find("rsc/level/bad-room.xrm: player trigger 7: NumUses -5 is negative; taken as 0"),
              std::string::npos) << world.log;
}

}  // namespace
}  // namespace Vandle::GameTest
