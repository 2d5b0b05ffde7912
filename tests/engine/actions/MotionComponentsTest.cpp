#include "engine/actions/OrbitAction.h"
#include "engine/actions/OrbitObjectComponent.h"
#include "engine/actions/RotationalVelocityComponent.h"
#include "engine/actions/TimedLifeComponent.h"
#include "engine/actions/WaveMotionComponent.h"
#include "engine/core/ActionList.h"
#include "engine/physics/CollisionData.h"
#include "tests/engine/actions/ActionWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace Ostrel::ActionTest {
namespace {

using ComponentTest::Panel;

// The shipped sample archetypes, plus what only the tests need: a stand-in
// for the player (its class name is what the orbiters look for) and a few
// broken or overridden variants.
std::string Archetypes() {
    std::ifstream file(std::string(LV_SOURCE_DIR) + "/rsc/objects/motion-objects.xobj");
    std::stringstream text;
    text << file.rdbuf();
    return text.str() + R"(
<player-stand-in>
    <TransformComponent><PosX>10</PosX></TransformComponent>
    <PlayerComponent />
</player-stand-in>
<brainless-fuse-obj>
    <TransformComponent />
    <TimedLifeComponent><LifeTime>0</LifeTime></TimedLifeComponent>
</brainless-fuse-obj>
<centred-wave-obj>
    <TransformComponent />
    <MessageComponent />
    <BrainComponent />
    <WaveMotionComponent>
        <frequency>2</frequency>
        <amplitude>3</amplitude>
        <center-x>5</center-x>
        <center-z>5</center-z>
    </WaveMotionComponent>
</centred-wave-obj>
)";
}

std::size_t ActionCount(const Composition* object) {
    const BrainComponent* brain = object->GetComponentAs<BrainComponent>();
    return brain && brain->GetActionList() ? brain->GetActionList()->Actions().size() : 0;
}

TEST(MotionComponents, SpinnersAndFusesActOnlyAsLiveObjects) {
    ActionWorld world(Archetypes());
    // The archetypes were initialised at load and started nothing.
    EXPECT_EQ(ActionCount(world.factory.FindArchetype("spinner-obj")), 0u);
    EXPECT_EQ(ActionCount(world.factory.FindArchetype("fuse-obj")), 0u);

    Composition* spinner = world.Create("spinner-obj");
    Composition* fuse = world.Create("fuse-obj");
    const u32 fuseId = fuse->GetId();
    world.Step(0.0f);
    EXPECT_NE(world.objects.GetObject(fuseId), nullptr) << "a frame without time is not a step";
    world.Step(0.5f);
    EXPECT_EQ(spinner->GetTransform()->GetRotation(), Vec3(0, 45, 0));
    world.Step(0.0f);
    EXPECT_EQ(world.objects.GetObject(fuseId), nullptr) << "LifeTime 0 ends on the first positive step";

    // Without a brain the component can do nothing, and says so.
    Composition* brainless = world.Create("brainless-fuse-obj");
    EXPECT_NE(world.log.find("TimedLifeComponent: object " + std::to_string(brainless->GetId()) +
                             " ('brainless-fuse-obj') has no BrainComponent"),
              std::string::npos);
}

TEST(MotionComponents, WaveObjectsCircleTheOriginUnlessTheirOwnDataSetsTheCentre) {
    ActionWorld world(Archetypes());
    // Made from an archetype whose data sets a centre: the clone forgets it.
    Composition* wave = world.Create("centred-wave-obj");
    world.Step(0.0f);
    for (int i = 0; i < 5; ++i) {
        world.Step(0.25f);
        const Vec3 p = wave->GetTransform()->GetPosition();
        EXPECT_NEAR(std::sqrt(p.x * p.x + p.z * p.z), 3.0f, 1e-4f) << i;
    }
    const Vec3 p = wave->GetTransform()->GetPosition();
    EXPECT_NEAR(p.x, 3.0f * std::sin(1.25f * 2.0f), 1e-4f);
    EXPECT_NEAR(p.z, 3.0f * std::cos(1.25f * 2.0f), 1e-4f);
    EXPECT_EQ(world.Get<WaveMotionComponent>(wave)->GetCenter(), Vec3(0, 0, 0));
    EXPECT_EQ(world.factory.FindArchetype("centred-wave-obj")->GetComponentAs<WaveMotionComponent>()->GetCenter(),
              Vec3(5, 0, 5));

    // The editor's button takes the object's position as the new centre.
    Panel panel;
    world.Get<WaveMotionComponent>(wave)->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries, (std::vector<std::string>{"float frequency", "float amplitude", "float center-x",
                                                       "float center-y", "float center-z", "button Get Position"}));
    world.Get<WaveMotionComponent>(wave)->CenterOnPosition();
    EXPECT_EQ(world.Get<WaveMotionComponent>(wave)->GetCenter(), p);
}

TEST(MotionComponents, EveryContactOfAWaveObjectIsLoggedWithARisingCount) {
    ActionWorld world(Archetypes());
    Composition* wave = world.Create("wave-obj");
    world.Step(0.0f);
    CollisionData contact;
    contact.side = 3;
    for (u32 other : {0x10003u, 0x20004u, 0x10003u}) {
        contact.other = other;
        SendObjectMessageArg(wave, "CollisionData", contact);
    }
    char expected[3][96];
    const u32 self = wave->GetId();
    std::snprintf(expected[0], sizeof expected[0], "ow! I'm 0x%.8x and i've collided 0 times, last with 0x00010003.\n", self);
    std::snprintf(expected[1], sizeof expected[1], "ow! I'm 0x%.8x and i've collided 1 times, last with 0x00020004.\n", self);
    std::snprintf(expected[2], sizeof expected[2], "ow! I'm 0x%.8x and i've collided 2 times, last with 0x00010003.\n", self);
    const std::size_t first = world.log.find(expected[0]);
    const std::size_t second = world.log.find(expected[1]);
    const std::size_t third = world.log.find(expected[2]);
    ASSERT_NE(first, std::string::npos) << world.log;
    ASSERT_NE(second, std::string::npos);
    ASSERT_NE(third, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_EQ(world.Get<WaveMotionComponent>(wave)->GetCollisionCount(), 3u);

    // Torn down, it stops listening: a later send reaches nothing.
    const u32 id = wave->GetId();
    world.objects.DestroyObject(id);
    world.Step(0.0f);
    EXPECT_EQ(world.objects.GetObject(id), nullptr);
}

TEST(MotionComponents, OrbitersCircleTheFirstObjectOfTheirTargetClass) {
    ActionWorld world(Archetypes());
    // Before any player exists an orbiter has no target.
    Composition* early = world.Create("orbiter-obj");
    EXPECT_EQ(world.Get<OrbitObjectComponent>(early)->GetTarget(), 0u);

    Composition* player = world.Create("player-stand-in");
    Composition* other = world.Create("player-stand-in");
    other->GetTransform()->SetPosition(Vec3(-10, 0, 0));
    Composition* a = world.Create("orbiter-obj");
    Composition* b = world.Create("orbiter-obj");
    EXPECT_EQ(world.Get<OrbitObjectComponent>(a)->GetTarget(), player->GetId());
    EXPECT_EQ(world.Get<OrbitObjectComponent>(b)->GetTarget(), player->GetId());
    EXPECT_EQ(ActionCount(world.factory.FindArchetype("orbiter-obj")), 0u);

    early->Listen("LostOrbitTarget", MakeDelegate(&world.local, &Recorder::OnLostOrbitTarget));
    world.Step(0.0f);
    for (int i = 0; i < 400; ++i) world.Step(0.016f);
    // Steered onto the circle of radius 3 around the first player.
    for (Composition* orbiter : {a, b}) {
        const Vec3 d = world.Pos(orbiter) - world.Pos(player);
        EXPECT_NEAR(std::sqrt(d.x * d.x + d.z * d.z), 3.0f, 0.35f);
    }
    EXPECT_GT(world.local.Count("LostOrbitTarget"), 100);
}

}  // namespace
}  // namespace Ostrel::ActionTest
