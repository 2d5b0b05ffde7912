#include "tests/engine/physics/PhysicsWorld.h"

#include "engine/io/ConfigureFileXML.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

using PhysicsTest::PhysicsWorld;

const char* const kBodies = R"(
<mover>
    <TransformComponent />
    <MovementComponent><VelX>1.0</VelX></MovementComponent>
</mover>
<faller>
    <TransformComponent />
    <MovementComponent><Gravity>1</Gravity></MovementComponent>
</faller>
<drifter>
    <TransformComponent />
    <MovementComponent><VelX>1.0</VelX><Drag>1</Drag></MovementComponent>
</drifter>
<ghost>
    <MovementComponent><VelX>1.0</VelX></MovementComponent>
</ghost>
)";

PhysicsSettings Settings(float gravity, float drag = 0.0f, bool rk4 = false) {
    PhysicsSettings s;
    s.gravity = gravity;
    s.drag = drag;
    s.rk4 = rk4;
    return s;
}

TEST(PhysicsStep, ShortFramesStepOnlyOnceTheAccumulatorHoldsAStepAndKeepTheRemainder) {
    PhysicsWorld world(kBodies);
    Composition* mover = world.Spawn("mover", Vec3(0, 0, 0));
    float x = 0.0f;
    for (int expectedSteps : {0, 1, 0}) {
        world.physics.Update(0.010f);
        x += expectedSteps * 0.016f;
        EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(mover).x, x);
    }
    EXPECT_NEAR(world.physics.GetAccumulator(), 0.014f, 1e-6f);
}

TEST(PhysicsStep, ALongFrameStepsTwiceAndOnlyTheFirstStepSavesThePreviousPosition) {
    PhysicsWorld fresh(kBodies);
    Composition* other = fresh.Spawn("mover", Vec3(1, 2, 3));
    fresh.physics.Update(0.032f);
    EXPECT_NEAR(PhysicsWorld::PositionOf(other).x, 1.032f, 1e-6f) << "exactly two steps";
    EXPECT_EQ(other->GetTransform()->GetPreviousPosition(), Vec3(1, 2, 3))
        << "only the first step of the frame saves the previous position";
    EXPECT_FLOAT_EQ(fresh.physics.GetIntegrator().GetSimulatedTime(), 0.032f);
}

TEST(PhysicsStep, EulerAppliesAccelerationDragGravityThenMoves) {
    PhysicsWorld world(kBodies, Settings(-9.8f, 0.5f));
    Composition* faller = world.Spawn("faller", Vec3(0, 0, 0));
    Composition* drifter = world.Spawn("drifter", Vec3(0, 0, 0));
    world.physics.Update(0.016f);
    EXPECT_FLOAT_EQ(PhysicsWorld::VelocityOf(faller).y, -0.1568f);
    EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(faller).y, -0.0025088f);
    EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(drifter).x, 0.008f) << "drag once per step, not scaled by dt";
    EXPECT_EQ(PhysicsWorld::VelocityOf(drifter), Vec3(0.5f, 0, 0));
    EXPECT_EQ(PhysicsWorld::VelocityOf(drifter).y, 0.0f) << "no Gravity flag, no gravity";

    Composition* accelerating = world.Spawn("mover", Vec3(0, 0, 0));
    accelerating->GetComponentAs<MovementComponent>()->SetAcceleration(Vec3(10, 0, 0));
    world.physics.Update(0.016f);
    EXPECT_FLOAT_EQ(PhysicsWorld::VelocityOf(accelerating).x, 1.16f);
    EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(accelerating).x, 1.16f * 0.016f);
}

TEST(PhysicsStep, SettingsChangedAfterInitializeTakeEffectAtTheNextStep) {
    PhysicsWorld world(kBodies, Settings(0.0f, 1.0f));  // drag scales the velocity: 1 keeps it
    Composition* faller = world.Spawn("faller", Vec3(0, 0, 0));
    Composition* drifter = world.Spawn("drifter", Vec3(0, 0, 0));
    world.physics.Update(0.016f);
    EXPECT_EQ(PhysicsWorld::VelocityOf(faller).y, 0.0f);
    EXPECT_EQ(PhysicsWorld::VelocityOf(drifter).x, 1.0f);
    world.physics.SetSettings(Settings(-10.0f, 0.5f));
    world.physics.Update(0.016f);
    EXPECT_FLOAT_EQ(PhysicsWorld::VelocityOf(faller).y, -0.16f) << "the new gravity";
    EXPECT_FLOAT_EQ(PhysicsWorld::VelocityOf(drifter).x, 0.5f) << "the new drag";
    world.physics.SetSettings(Settings(-10.0f, 0.5f, true));
    world.physics.Update(0.016f);
    EXPECT_FLOAT_EQ(PhysicsWorld::VelocityOf(drifter).y, -0.16f) << "Runge-Kutta: gravity on every body";
    EXPECT_FLOAT_EQ(PhysicsWorld::VelocityOf(drifter).x, 0.5f) << "and no drag";
    EXPECT_TRUE(world.physics.GetIntegrator().GetSettings().rk4);
}

TEST(PhysicsStep, RungeKuttaDoesNotGrowTheVelocityByItself) {
    PhysicsWorld world(kBodies, Settings(0.0f, 0.0f, true));
    Composition* mover = world.Spawn("mover", Vec3(0, 0, 0));
    for (int i = 0; i < 500; ++i) world.physics.Update(0.016f);
    EXPECT_FLOAT_EQ(PhysicsWorld::VelocityOf(mover).x, 1.0f);
    EXPECT_NEAR(PhysicsWorld::PositionOf(mover).x, 8.0f, 1e-3f);
}

TEST(PhysicsStep, RungeKuttaGivesEveryBodyGravityAndNoDrag) {
    PhysicsWorld heavy(kBodies, Settings(-10.0f, 0.5f, true));
    Composition* drifter = heavy.Spawn("drifter", Vec3(0, 0, 0));
    heavy.physics.Update(0.016f);
    EXPECT_FLOAT_EQ(PhysicsWorld::VelocityOf(drifter).y, -0.16f) << "gravity without the Gravity flag";
    EXPECT_FLOAT_EQ(PhysicsWorld::VelocityOf(drifter).x, 1.0f) << "no drag in this mode";
    EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(drifter).x, 0.016f);
}

TEST(PhysicsStep, BodiesJoinAndLeaveByMessageAndBodiesWithoutATransformAreSkipped) {
    PhysicsWorld world(kBodies);
    Composition* ghost = world.Spawn("ghost", Vec3());
    Composition* mover = world.Spawn("mover", Vec3());
    ASSERT_EQ(world.physics.GetIntegrator().GetBodies().size(), 2u);
    world.physics.Update(0.016f);
    EXPECT_FLOAT_EQ(PhysicsWorld::PositionOf(mover).x, 0.016f);
    EXPECT_EQ(PhysicsWorld::VelocityOf(ghost).x, 1.0f);
    EXPECT_EQ(world.physics.GetIntegrator().GetBodies().size(), 2u) << "the ghost stays listed";

    world.objects.DestroyObject(mover->GetId());
    world.objects.Update(0.0f);
    EXPECT_EQ(world.physics.GetIntegrator().GetBodies(), std::vector<u32>{ghost->GetId()});
}

TEST(PhysicsStep, ConfigurationKeysAreReadAndMissingKeysKeepTheDefaults) {
    Physics physics;
    ConfigureFileXML config(true);
    ASSERT_TRUE(config.LoadFromText("<Physics><GRAVITY>-30.0</GRAVITY><RK4>1</RK4></Physics>"));
    physics.LoadConfig(&config);
    physics.LoadConfig(nullptr);
    EXPECT_FLOAT_EQ(physics.GetSettings().gravity, -30.0f);
    EXPECT_FLOAT_EQ(physics.GetSettings().drag, 0.0f);
    EXPECT_TRUE(physics.GetSettings().rk4);
    EXPECT_FALSE(physics.GetSettings().drawCollision);
}

}  // namespace
}  // namespace Ostrel
