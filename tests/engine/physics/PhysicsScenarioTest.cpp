// The game's own data: the stock archetypes and physics.xcfg from rsc, run
// frame by frame in brute-force mode and after the level loader's thread has
// built the collision grid.

#include "tests/engine/physics/PhysicsWorld.h"

#include "engine/core/Random.h"
#include "engine/io/ConfigureFileXML.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace Ostrel {
namespace {

using PhysicsTest::DrawnVolumes;
using PhysicsTest::Inbox;
using PhysicsTest::PhysicsWorld;

constexpr float kFrame = 0.016f;
constexpr float kFloorTop = 0.5f;

float HalfHeight(Composition* object) {
    return object->GetComponentAs<CollisionComponent>()->GetVolume().size.y / 2.0f;
}

std::string ReadSource(const std::string& path) {
    std::ifstream in(std::string(LV_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A world over the game's archetypes (floor-obj and ball-obj are stock
// objects; crate-obj, a 2 x 2 x 2 box with gravity, is a core test object),
// configured from the game's physics.xcfg.
class StockWorld : public PhysicsWorld {
public:
    StockWorld()
        : PhysicsWorld(ReadSource("rsc/objects/stock-objects.xobj") +
                       ReadSource("rsc/objects/core-test-objects.xobj")) {
        ConfigureFileXML config(true);
        EXPECT_TRUE(config.Load(std::string(LV_SOURCE_DIR) + "/rsc/physics.xcfg"));
        physics.LoadConfig(&config);
        physics.Initialize();
    }
};

enum class Mode { kBruteForce, kGrid };

class FloorScenario : public ::testing::TestWithParam<Mode> {
protected:
    FloorScenario() {
        EXPECT_FLOAT_EQ(world.physics.GetSettings().gravity, -30.0f);
        floor = world.Spawn("floor-obj", Vec3(0, 0, 0));
        if (GetParam() == Mode::kGrid) world.BuildGridOnLoaderThread();
        EXPECT_EQ(world.physics.GetCollisionWorld().IsGridReady(), GetParam() == Mode::kGrid);
    }

    StockWorld world;
    Composition* floor = nullptr;
};

TEST_P(FloorScenario, CrateComesToRestOnTheTopFaceAndBothHearOfItEveryFrame) {
    Composition* crate = world.Spawn("crate-obj", Vec3(2, 3, -4));
    Inbox& crateInbox = world.Watch(crate);
    Inbox& floorInbox = world.Watch(floor);
    int touchingFrames = 0;
    for (int frame = 0; frame < 120; ++frame) {
        const std::size_t before = crateInbox.received.size();
        world.Frame(kFrame);
        if (crateInbox.received.size() == before) {
            EXPECT_EQ(touchingFrames, 0) << "once landed it stays in contact, frame " << frame;
            continue;
        }
        ++touchingFrames;
        ASSERT_EQ(crateInbox.received.size(), before + 1);
        EXPECT_EQ(crateInbox.received.back().other, floor->GetId());
        EXPECT_EQ(crateInbox.received.back().side, 2) << "the floor lies below";
        EXPECT_EQ(floorInbox.received.back().other, crate->GetId());
        EXPECT_EQ(floorInbox.received.back().side, 3) << "the crate lies above";
    }
    EXPECT_GT(touchingFrames, 60);
    EXPECT_EQ(floorInbox.received.size(), crateInbox.received.size());
    EXPECT_EQ(HalfHeight(crate), 1.0f);
    EXPECT_NEAR(PhysicsWorld::PositionOf(crate).y, kFloorTop + HalfHeight(crate), 1e-5f);
    EXPECT_EQ(PhysicsWorld::VelocityOf(crate).y, 0.0f);
    EXPECT_EQ(PhysicsWorld::PositionOf(floor), Vec3(0, 0, 0));
}

// Box-sphere pairs get no vertical push: the ball is put back on the floor
// every frame but its falling speed keeps growing.
TEST_P(FloorScenario, BallIsPushedOutEveryFrameButKeepsItsFallingSpeed) {
    Composition* ball = world.Spawn("ball-obj", Vec3(0, 2, 0));
    const float radius = ball->GetComponentAs<CollisionComponent>()->GetVolume().size.x / 2.0f;
    Inbox& ballInbox = world.Watch(ball);
    Inbox& floorInbox = world.Watch(floor);
    while (ballInbox.received.empty()) world.Frame(kFrame);
    for (int frame = 0; frame < 30; ++frame) {
        const float speed = PhysicsWorld::VelocityOf(ball).y;
        world.Frame(kFrame);
        ASSERT_EQ(ballInbox.received.size(), std::size_t(frame + 2));
        EXPECT_EQ(ballInbox.received.back().side, 2);
        EXPECT_EQ(floorInbox.received.back().side, 3);
        EXPECT_NEAR(PhysicsWorld::PositionOf(ball).y, kFloorTop + radius, 1e-4f);
        EXPECT_LT(PhysicsWorld::VelocityOf(ball).y, speed);
    }
}

// A knockback or a dash moves a body by more than half the floor's
// thickness a frame, so the floor's swept test runs: missing the floor with
// its path, it must keep the contact the boxes have, or gravity sinks the
// body through the floor within a few frames.
TEST_P(FloorScenario, CrateShovedFastAcrossTheFloorStaysOnIt) {
    Composition* crate = world.Spawn("crate-obj", Vec3(-8, kFloorTop + 1.0f, 0));
    for (int frame = 0; frame < 10; ++frame) world.Frame(kFrame);
    const float resting = PhysicsWorld::PositionOf(crate).y;
    EXPECT_NEAR(resting, kFloorTop + HalfHeight(crate), 1e-5f);
    crate->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(60, 0, 0));
    for (int frame = 0; frame < 15; ++frame) {
        world.Frame(kFrame);
        EXPECT_NEAR(PhysicsWorld::PositionOf(crate).y, resting, 1e-4f) << "frame " << frame;
    }
    EXPECT_GT(PhysicsWorld::PositionOf(crate).x, 0.0f) << "the shove carried it on";
}

TEST_P(FloorScenario, PausedFramesSendNothingButStillDrawTheVolumes) {
    Composition* crate = world.Spawn("crate-obj", Vec3(0, 1.5f, 0));
    Inbox& crateInbox = world.Watch(crate);
    world.Frame(kFrame);
    ASSERT_EQ(crateInbox.received.size(), 1u);
    EXPECT_TRUE(DrawnVolumes().empty()) << "DRAW_COLLISION is off in the game's data";

    PhysicsSettings settings = world.physics.GetSettings();
    settings.drawCollision = true;
    world.physics.SetSettings(settings);
    world.engine.SetPaused(true);
    for (int frame = 0; frame < 3; ++frame) world.Frame(0.0f);  // a paused engine's frame time
    EXPECT_EQ(crateInbox.received.size(), 1u);
    ASSERT_EQ(DrawnVolumes().size(), 6u);
    const PhysicsTest::DrawnVolume& floorOutline = DrawnVolumes()[0];
    EXPECT_EQ(floorOutline.size, Vec3(20, 1, 20));
    EXPECT_EQ(floorOutline.red, 255);
    EXPECT_EQ(floorOutline.green, 255);
    EXPECT_EQ(floorOutline.blue, 0);
    EXPECT_EQ(DrawnVolumes()[1].centre, PhysicsWorld::PositionOf(crate));

    // The show-debug message draws too, with DRAW_COLLISION off.
    settings.drawCollision = false;
    world.physics.SetSettings(settings);
    DrawnVolumes().clear();
    world.core.SendMessageValues("ShowDebugUpdated", true);
    world.Frame(0.0f);
    EXPECT_EQ(DrawnVolumes().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Modes, FloorScenario, ::testing::Values(Mode::kBruteForce, Mode::kGrid),
                         [](const auto& info) { return info.param == Mode::kGrid ? "Grid" : "BruteForce"; });

TEST(PhysicsLevelLoad, GridBuildsOnTheLoaderThreadWhileTheMainThreadCreatesDestroysAndSteps) {
    StockWorld world;
    Composition* floor = world.Spawn("floor-obj", Vec3(0, 0, 0));
    SRand(7);
    auto somewhere = [] { return float(Rand() % 1200) / 100.0f - 8.0f; };
    std::vector<u32> made;
    for (int level = 0; level < 20; ++level) {
        std::thread loader = world.StartLevelLoad();
        for (int frame = 0; frame < 4; ++frame) {
            made.push_back(world.objects.CreateObject("barrel-obj", nullptr));
            world.objects.GetObject(made.back())->GetTransform()->SetPosition(Vec3(somewhere(), 3, somewhere()));
            made.push_back(world.objects.CreateObject("crate-obj", nullptr));
            world.objects.GetObject(made.back())->GetTransform()->SetPosition(Vec3(somewhere(), 1.6f, somewhere()));
            if (made.size() > 12) {
                world.objects.DestroyObject(made.front());
                made.erase(made.begin());
            }
            world.Frame(kFrame);
        }
        loader.join();
    }
    EXPECT_TRUE(world.physics.GetCollisionWorld().IsGridReady());
    for (int frame = 0; frame < 60; ++frame) world.Frame(kFrame);
    Composition* crate = world.Spawn("crate-obj", Vec3(8.5f, 3, 8.5f));
    for (int frame = 0; frame < 60; ++frame) world.Frame(kFrame);
    EXPECT_NEAR(PhysicsWorld::PositionOf(crate).y, kFloorTop + HalfHeight(crate), 1e-5f);
    EXPECT_EQ(PhysicsWorld::PositionOf(floor), Vec3(0, 0, 0));
}

// A room's end: a floor from x 0 to 20 whose top is at 0, closed by a wall
// 0.25 thick that is the outermost static of the world (the grid ends 0.003
// past it), and a runner of 1 x 1.8 x 1 with the game's gravity and drag.
const char* const kRoomEnd = R"(
<room-floor>
    <TransformComponent><ScaX>20</ScaX><ScaZ>10</ScaZ></TransformComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics>
        <ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
    <LevelGeometryComponent />
</room-floor>
<thin-wall>
    <TransformComponent><ScaX>0.25</ScaX><ScaY>4</ScaY><ScaZ>10</ScaZ></TransformComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics>
        <ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
    <LevelGeometryComponent />
</thin-wall>
<runner>
    <TransformComponent><ScaY>1.8</ScaY></TransformComponent>
    <MessageComponent />
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MovementComponent><Gravity>1</Gravity><Drag>1</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static><CollideWithDynamics>1</CollideWithDynamics>
        <CollideWithStatics>1</CollideWithStatics><ResolveWithDynamics>1</ResolveWithDynamics>
        <ResolveWithStatics>1</ResolveWithStatics></CollisionComponent>
</runner>
)";

class RoomEndScenario : public ::testing::TestWithParam<Mode> {
protected:
    static constexpr float kWallFace = 20.0f;
    static constexpr float kResting = 0.9f;
    static constexpr float kCarry = 0.144f;

    RoomEndScenario() : world(kRoomEnd, PhysicsSettings{-30.0f, 0.9f, false, false}) {
        world.Spawn("room-floor", Vec3(10, -0.5f, 0));
        world.Spawn("thin-wall", Vec3(kWallFace + 0.125f, 2, 0));
        if (GetParam() == Mode::kGrid) world.BuildGridOnLoaderThread();
    }

    PhysicsWorld world;
};

// Driven at the wall along x (and at a slant) from touching, overlapping and
// distant starts at the game's speeds and frame times from 1/144 s to the
// loop's longest: the runner never gets past the wall's near face, ends
// against it on the floor, and slides along it.
TEST_P(RoomEndScenario, ARunnerDrivenAtTheOutermostThinWallStaysInside) {
    const float starts[] = {kWallFace - 0.5f, kWallFace - 0.4f, 17.0f, 8.0f};
    const float speeds[] = {60.0f, 100.0f, 150.0f};
    const float frames[] = {1.0f / 144.0f, 1.0f / 60.0f, 1.0f / 30.0f, 0.032f};
    for (float start : starts) {
        for (float speed : speeds) {
            for (float frame : frames) {
                SCOPED_TRACE(testing::Message() << "start " << start << ", speed " << speed << ", frame " << frame);
                Composition* runner = world.Spawn("runner", Vec3(start, kResting, 0));
                runner->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(speed, 0, speed / 8));
                float furthest = start;
                for (float time = 0.0f; time < 1.0f; time += frame) {
                    world.Frame(frame);
                    furthest = std::max(furthest, PhysicsWorld::PositionOf(runner).x);
                }
                const Vec3 at = PhysicsWorld::PositionOf(runner);
                EXPECT_LE(furthest, std::max(start, kWallFace - 0.5f) + 1e-3f);
                // The drag of 0.9 a step lets a push of v carry a body 0.144 v.
                if (start + speed * kCarry > kWallFace) {
                    EXPECT_NEAR(at.x, kWallFace - 0.5f, 1e-3f) << "it ends against the wall";
                }
                EXPECT_NEAR(at.y, kResting, 1e-3f) << "still on the floor";
                EXPECT_GT(at.z, 0.0f);
                world.objects.DestroyObject(runner->GetId());
                world.objects.Update(0.0f);
            }
        }
    }
}

// A runner against the wall shoved by another running into her from
// behind (added after her, so the shove comes after her own wall tests):
// however hard and at whatever frame time, she stays at the wall's face.
TEST_P(RoomEndScenario, ARunnerShovedIntoTheWallByAnotherStaysInside) {
    const float frames[] = {1.0f / 144.0f, 1.0f / 30.0f, 0.032f};
    for (float speed : {20.0f, 150.0f, 700.0f}) {
        for (float frame : frames) {
            SCOPED_TRACE(testing::Message() << "speed " << speed << ", frame " << frame);
            Composition* pinned = world.Spawn("runner", Vec3(kWallFace - 0.5f, kResting, 0));
            Composition* shover = world.Spawn("runner", Vec3(kWallFace - 1.6f, kResting, 0.2f));
            float furthest = 0.0f;
            for (float time = 0.0f; time < 0.5f; time += frame) {
                shover->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(speed, 0, 0));
                world.Frame(frame);
                furthest = std::max({furthest, PhysicsWorld::PositionOf(pinned).x, PhysicsWorld::PositionOf(shover).x});
            }
            EXPECT_LE(furthest, kWallFace - 0.5f + 1e-3f) << "never past the wall's face";
            for (Composition* body : {pinned, shover}) world.objects.DestroyObject(body->GetId());
            world.objects.Update(0.0f);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RoomEndScenario, ::testing::Values(Mode::kBruteForce, Mode::kGrid),
                         [](const auto& info) { return info.param == Mode::kGrid ? "Grid" : "BruteForce"; });

}  // namespace
}  // namespace Ostrel
