#include "tests/engine/actions/ActionWorld.h"

#include "engine/actions/AttachAction.h"
#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/DamagePlayerAction.h"
#include "engine/actions/ImmovableAction.h"
#include "engine/actions/ImpulseAction.h"
#include "engine/actions/KnockbackEnemyAction.h"
#include "engine/actions/KnockbackPlayerAction.h"
#include "engine/actions/ModifyTransformAction.h"
#include "engine/actions/MoveForwardAction.h"
#include "engine/actions/OrbitAction.h"
#include "engine/actions/RotationalVelocityAction.h"
#include "engine/actions/TimedMoveToAction.h"
#include "engine/actions/TimedMoveToObjectAction.h"
#include "engine/actions/VelocityMovementAction.h"
#include "engine/core/ActionList.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/MessageListenerTable.h"
#include "engine/core/MetaClass.h"
#include "engine/core/MetaRegistryInst.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Ostrel::ActionTest {
namespace {

bool Near(const Vec3& a, const Vec3& b, float tolerance = 1e-4f) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance;
}

size_t ActionCount(Composition* object) {
    return object->GetComponentAs<BrainComponent>()->GetActionList()->Actions().size();
}

TEST(MovementActions, TwoImpulsesInOneFrameAddOnlyTheSecondOnceAndAPausedEngineStepsNothing) {
    ActionWorld world(kBodies);
    Composition* body = world.Spawn("body-obj");
    world.Add(body, new ImpulseAction);
    world.Step(0.0f);
    Vec3 first(5, 0, 0), second(0, 3, 0);
    SendObjectMessageValues(body, "AddImpulseAction", &first);
    SendObjectMessageValues(body, "AddImpulseAction", &second);

    world.engine.SetPaused(true);
    world.Step(0.1f);
    EXPECT_TRUE(Near(ActionWorld::Vel(body), Vec3()));  // paused: the impulse waits

    world.engine.SetPaused(false);
    world.Step(0.1f);
    world.Step(0.1f);
    EXPECT_TRUE(Near(ActionWorld::Vel(body), Vec3(0, 3, 0)));
}

TEST(MovementActions, TimedMoveEndsAtItsTargetAndFinishesOnTheStepBelowZero) {
    ActionWorld world(kBodies);
    Composition* body = world.Spawn("body-obj");
    auto* move = new TimedMoveToAction(0.5f);
    move->SetTarget(Vec3(4, 0, 2));
    world.Add(body, move);
    world.Step(0.0f);  // announce; remaining 0.5 - 0 is not below 0
    for (int i = 0; i < 4; ++i) world.Step(0.125f);
    EXPECT_TRUE(Near(ActionWorld::Pos(body), Vec3(4, 0, 2)));
    EXPECT_EQ(ActionCount(body), 1u);  // remaining is exactly 0: still running
    world.Step(0.125f);
    EXPECT_EQ(ActionCount(body), 0u);
    EXPECT_TRUE(Near(ActionWorld::Vel(body), Vec3(8, 0, 4)));  // the body keeps its last velocity
}

TEST(MovementActions, TimedMoveOfNoTimePlacesTheObjectOnItsTargetWithoutAnUnboundedVelocity) {
    for (float duration : {0.0f, -1.0f}) {
        ActionWorld world(kBodies);
        Composition* body = world.Spawn("body-obj");
        auto* move = new TimedMoveToAction(duration);
        move->SetTarget(Vec3(3, 1, -2));
        world.Add(body, move);
        EXPECT_TRUE(Near(ActionWorld::Pos(body), Vec3(3, 1, -2)));
        world.Step(0.016f);
        world.Step(0.016f);
        EXPECT_EQ(ActionCount(body), 0u) << duration;
        EXPECT_TRUE(std::isfinite(ActionWorld::Vel(body).x));
        EXPECT_TRUE(Near(ActionWorld::Pos(body), Vec3(3, 1, -2)));
    }
}

TEST(MovementActions, TimedMoveToObjectSnapsWithinOneUnitAndReportsArrivalOnce) {
    ActionWorld world(kBodies);
    Composition* body = world.Spawn("body-obj");
    Composition* marker = world.Spawn("marker-obj");
    marker->GetTransform()->SetPosition(Vec3(0.5f, 3, 0.5f));
    auto* move = new TimedMoveToObjectAction(2.0f);
    move->SetTarget(marker->GetId());
    move->SetOffset(Vec3(0, -3, 0));
    world.Add(body, move);
    world.Step(0.1f);
    EXPECT_TRUE(Near(ActionWorld::Pos(body), Vec3(0.5f, 0, 0.5f)));
    world.Step(0.1f);
    world.Step(0.1f);
    EXPECT_EQ(world.local.Count("ReachedTarget"), 1);
    EXPECT_EQ(ActionCount(body), 0u);
}

TEST(MovementActions, TimedMoveToObjectHoldsItsLaneSteersInXZAndNeverDividesByZero) {
    ActionWorld world(kBodies);
    Composition* body = world.Spawn("body-obj");
    Composition* marker = world.Spawn("marker-obj");  // at (10, 0, 0)
    auto* move = new TimedMoveToObjectAction(0.5f);
    move->SetTarget(marker->GetId());
    world.Add(body, move);
    world.Step(0.0f);
    ActionWorld::SetVel(body, Vec3(0, -2, 0));
    EXPECT_EQ(move->Update(0.25f), kActionBlocking);
    EXPECT_TRUE(Near(ActionWorld::Vel(body), Vec3(20, -2, 0)));  // 10 units in 0.5 s; y left alone
    // The target moves while the step leaves exactly no time.
    marker->GetTransform()->SetPosition(Vec3(20, 0, 0));
    EXPECT_EQ(move->Update(0.25f), kActionFinished);
    EXPECT_TRUE(std::isfinite(ActionWorld::Vel(body).x));
    EXPECT_TRUE(Near(ActionWorld::Pos(body), Vec3(20, 0, 0)));
    EXPECT_EQ(world.local.Count("ReachedTarget"), 1);
}

TEST(MovementActions, OrbitReportsALostTargetEveryStepUntilANewOneIsNamed) {
    ActionWorld world(kBodies);
    Composition* body = world.Spawn("body-obj");
    Composition* centre = world.Spawn("body-obj");
    Composition* other = world.Spawn("marker-obj");
    auto* orbit = new OrbitAction;
    orbit->SetRadius(2.0f);
    orbit->SetTarget(centre->GetId());
    world.Add(body, orbit);
    world.Step(0.0f);
    world.Step(0.5f);
    // Steered toward (2 sin 0.5, ., 2 cos 0.5) from the origin with gain 4.
    EXPECT_TRUE(Near(ActionWorld::Vel(body), Vec3(8 * std::sin(0.5f), 0, 8 * std::cos(0.5f))));
    EXPECT_EQ(world.local.Count("LostOrbitTarget"), 0);

    world.objects.DestroyObject(centre->GetId());
    for (int i = 0; i < 3; ++i) world.Step(0.1f);
    EXPECT_EQ(world.local.Count("LostOrbitTarget"), 3);

    u32 next = other->GetId();
    SendObjectMessageValues(body, "NewOrbitTarget", next);
    float radius = 1.0f, speed = 2.0f;
    SendObjectMessageValues(body, "UpdateOrbitAction", radius, speed);
    world.Step(0.1f);
    EXPECT_EQ(world.local.Count("LostOrbitTarget"), 3);
    EXPECT_EQ(orbit->GetSpeed(), 2.0f);
}

TEST(MovementActions, ImmovableHoldsTheObjectAgainstVelocityUntilUnblocked) {
    ActionWorld world(kBodies);
    Composition* body = world.Spawn("body-obj");
    world.Add(body, new ImmovableAction);
    auto* push = new VelocityMovementAction;
    world.Add(body, push);
    body->GetTransform()->SetPosition(Vec3(1, 2, 3));
    world.Step(0.0f);
    body->Send("BlockMovement");
    Vec3 acceleration(10, 0, 0);
    SendObjectMessageValues(body, "UpdateVelocityMoveAction", &acceleration);
    for (int i = 0; i < 3; ++i) world.Step(0.1f);
    // The list runs newest first: the push, then the hold; the Euler move of
    // Step comes after both, so the position is held and moved by one step.
    EXPECT_NEAR(ActionWorld::Vel(body).x, 3.0f, 1e-4f);
    EXPECT_NEAR(ActionWorld::Pos(body).x, 1.0f + 3.0f * 0.1f, 1e-4f);
    body->Send("UnblockMovement");
    world.Step(0.1f);
    world.Step(0.1f);
    EXPECT_GT(ActionWorld::Pos(body).x, 2.0f);
}

TEST(MovementActions, SpinAttachModifyAndMoveForward) {
    ActionWorld world(kBodies);
    Composition* body = world.Spawn("body-obj");
    Composition* leader = world.Spawn("marker-obj");
    auto* spin = new RotationalVelocityAction;
    spin->SetRate(0, 90, 0);
    world.Add(body, spin);
    auto* modify = new ModifyTransformAction;
    modify->SetScale(Vec3(2, 2, 2));
    modify->SetRotationDelta(Vec3(10, 0, 0));
    world.Add(body, modify);
    world.Add(body, new MoveForwardAction)->SetSpeed(5.0f);
    world.Step(0.0f);
    world.Step(0.5f);
    EXPECT_TRUE(Near(body->GetTransform()->GetRotation(), Vec3(10, 45, 0)));
    EXPECT_TRUE(Near(body->GetTransform()->GetScale(), Vec3(2, 2, 2)));
    EXPECT_TRUE(Near(ActionWorld::Vel(body), Vec3()));  // at rest: nothing to follow
    Vec3 rate(0, 0, 30);
    SendObjectMessageValues(body, "UpdateRotationalVelocity", rate);
    ActionWorld::SetVel(body, Vec3(0, 0, 2));
    world.Step(0.5f);
    EXPECT_TRUE(Near(body->GetTransform()->GetRotation(), Vec3(10, 45, 15)));
    EXPECT_TRUE(Near(ActionWorld::Vel(body), Vec3(0, 0, 4.5f)));

    world.Add(body, new AttachAction(leader->GetTransform()->GetHandle()));
    world.Step(0.0f);
    EXPECT_TRUE(Near(ActionWorld::Pos(body), Vec3(10, 0, 0)));
    world.objects.DestroyObject(leader->GetId());
    world.Step(0.0f);  // a stale followed handle does nothing
    world.Step(0.1f);
}

// Every reflected action can be made through its meta class, ends on its
// "TerminateAction" and leaves no handler behind on its owner.
template <class A>
void CheckReflectedAndTerminable(const char* name, std::vector<const char*> messages) {
    SCOPED_TRACE(name);
    MetaClass* meta = MetaRegistryInst::Instance().Find(name);
    ASSERT_NE(meta, nullptr);
    EXPECT_EQ(meta, MetaClassOf<A>());
    void* made = meta->New();
    ASSERT_NE(made, nullptr);
    meta->Delete(made);

    ActionWorld world(kBodies);
    Composition* body = world.Spawn("body-obj");
    MessageListenerTable& table = body->GetComponentAs<MessageComponent>()->GetTable();
    auto* action = new A;
    action->SetOwner(body->GetId());
    action->SetId(41);
    action->SetListenTerminate(true);
    action->OnStart();  // a second start subscribes nothing twice
    world.Add(body, action);
    for (const char* message : messages) EXPECT_EQ(table.GetListeners(message).size(), 1u) << message;
    world.Step(0.0f);
    u32 id = 41;
    SendObjectMessageValues(body, "TerminateAction", id);
    world.Step(0.01f);
    EXPECT_EQ(ActionCount(body), 0u);
    for (const char* message : messages) EXPECT_TRUE(table.GetListeners(message).empty()) << message;
    EXPECT_TRUE(table.GetListeners("TerminateAction").empty());
}

TEST(Actions, AreReflectedUnderTheirNamesAndEndOnTerminateAction) {
    CheckReflectedAndTerminable<VelocityMovementAction>("VelocityMovementAction", {"UpdateVelocityMoveAction"});
    CheckReflectedAndTerminable<ImpulseAction>("ImpulseAction", {"AddImpulseAction"});
    CheckReflectedAndTerminable<ImmovableAction>("ImmovableAction", {"BlockMovement", "UnblockMovement"});
    CheckReflectedAndTerminable<TimedMoveToAction>("TimedMoveToAction", {});
    CheckReflectedAndTerminable<TimedMoveToObjectAction>("TimedMoveToObjectAction", {});
    CheckReflectedAndTerminable<MoveForwardAction>("MoveForwardAction", {});
    CheckReflectedAndTerminable<RotationalVelocityAction>("RotationalVelocityAction", {"UpdateRotationalVelocity"});
    CheckReflectedAndTerminable<AttachAction>("AttachAction", {});
    CheckReflectedAndTerminable<OrbitAction>("OrbitAction", {"UpdateOrbitAction", "NewOrbitTarget"});
    CheckReflectedAndTerminable<ModifyTransformAction>("ModifyTransformAction", {});
    CheckReflectedAndTerminable<DamagePlayerAction>("DamagePlayerAction",
                                                    {"DamagePlayer", "ResetDamageTimer", "BypassDamageTimer"});
    CheckReflectedAndTerminable<KnockbackPlayerAction>(
        "KnockbackPlayerAction", {"KnockbackPlayer", "ResetKnockbackTimer", "BypassKnockbackTimer"});
    CheckReflectedAndTerminable<DamageEnemyAction>("DamageEnemyAction",
                                                   {"DamageEnemy", "ResetDamageTimer", "BypassDamageTimer"});
    CheckReflectedAndTerminable<KnockbackEnemyAction>(
        "KnockbackEnemyAction", {"KnockbackEnemy", "ResetKnockbackTimer", "BypassKnockbackTimer"});
    EXPECT_EQ(MetaRegistryInst::Instance().Find("WaveAction"), nullptr);
}

TEST(Actions, AGuardedActionWhoseOwnerIsGoneStaysUnsubscribedAndHarmless) {
    ActionWorld world(kBodies);
    Composition* body = world.Spawn("body-obj");
    auto* orbit = new OrbitAction;
    orbit->SetOwner(0x7fff0001);  // no such object
    body->GetComponentAs<BrainComponent>()->AddAction(orbit);
    auto* move = new TimedMoveToObjectAction(0.1f);
    move->SetOwner(0x7fff0001);
    body->GetComponentAs<BrainComponent>()->AddAction(move);
    world.Step(0.05f);
    world.Step(0.1f);
    EXPECT_EQ(ActionCount(body), 1u);  // the orbit never finishes; the move ran out
}

}  // namespace
}  // namespace Ostrel::ActionTest
