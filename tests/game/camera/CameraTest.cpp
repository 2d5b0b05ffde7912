#include "tests/game/GameFixture.h"

#include "engine/components/CameraComponent.h"
#include "engine/core/Clock.h"
#include "engine/core/Random.h"
#include "engine/platform/ControllerData.h"
#include "game/camera/CameraActions.h"
#include "game/camera/CameraModifierComponents.h"
#include "game/camera/FlyOverCameraComponent.h"
#include "game/camera/PlayerCameraLogicComponent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace Vandle::GameTest {
namespace {

const char kCameraObjects[] = R"(
<cam-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <CameraComponent/>
    <PlayerCameraLogicComponent/>
    <FlyOverCameraComponent><ChaseSpeed>10</ChaseSpeed></FlyOverCameraComponent>
    <PlayerCameraModifierComponent/>
</cam-obj>
<stiff-cam-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <CameraComponent/>
    <PlayerCameraLogicComponent><SmoothingAmount>1</SmoothingAmount></PlayerCameraLogicComponent>
    <FlyOverCameraComponent><ChaseSpeed>10</ChaseSpeed></FlyOverCameraComponent>
    <PlayerCameraModifierComponent/>
</stiff-cam-obj>
<blind-cam-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <PlayerCameraLogicComponent/>
    <PlayerCameraModifierComponent/>
</blind-cam-obj>
<slow-cam-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <CameraComponent/>
    <FlyOverCameraComponent/>
</slow-cam-obj>
<hero-obj>
    <TransformComponent/>
    <MessageComponent/>
    <ControllerComponent/>
    <PlayerComponent/>
</hero-obj>
<modifier-obj>
    <MessageComponent/>
    <CameraModifierTriggerListenerComponent>
        <ChaseDistance>60</ChaseDistance><NewAngle>70</NewAngle><TimeToTake>2</TimeToTake>
    </CameraModifierTriggerListenerComponent>
</modifier-obj>
)";

constexpr f32 kFrame = 1.0f / 60.0f;
constexpr int kKeyRight = 39, kKeySpace = 32;
using Texts = std::vector<std::string>;

struct CameraWorld : GameFixture {
    explicit CameraWorld(const char* cameraArchetype = "cam-obj", Vec3 heroAt = Vec3(10.0f, 0.0f, 5.0f))
        : GameFixture(kCameraObjects) {
        hero = Spawn("hero-obj", heroAt);
        camera = Spawn(cameraArchetype);
    }
    CameraComponent* Cam() { return Get<CameraComponent>(camera); }
    PlayerCameraLogicComponent* Chase() { return Get<PlayerCameraLogicComponent>(camera); }
    FlyOverCameraComponent* FlyOver() { return Get<FlyOverCameraComponent>(camera); }
    Vec3 CamPos() { return Cam()->GetPosition(); }
    // Where the chase puts the camera with smoothing 1.
    Vec3 Ideal(f32 distance = 40.0f, f32 angle = 45.0f) {
        const Vec3 p = PositionOf(hero);
        const f32 a = angle * kRadiansPerDegree;
        return Vec3(p.x, 2.0f + std::sin(a) * distance, p.z - std::cos(a) * distance);
    }
    // The camera as the modifiers measure it: (distance to the player, angle).
    std::pair<f32, f32> Measured() {
        const Vec3 v = Cam()->GetDirection();
        return {(PositionOf(hero) - CamPos()).Length(), std::atan2(-v.y, v.z) * kDegreesPerRadian};
    }
    void Key(int key, bool down) { core.SendMessageValueBool("KeyTriggered", key, down); }
    void FlyOverRoute(std::vector<Vec3> points) {
        Vec3* first = points.empty() ? nullptr : points.data();
        const int count = int(points.size());
        core.SendMessageValues("CameraFlyOver", first, count);
    }
    template <class A>
    std::vector<A*> ActionsOf() {
        std::vector<A*> found;
        for (IAction* action : Get<BrainComponent>(camera)->GetActionList()->Actions())
            if (auto* a = dynamic_cast<A*>(action)) found.push_back(a);
        return found;
    }
    Texts TakeGlobal() {
        Texts texts = SentTo(0u);
        sent.clear();
        return texts;
    }
    Composition* hero = nullptr;
    Composition* camera = nullptr;
};

void ExpectNear(const Vec3& a, const Vec3& b, f32 tolerance = 1e-3f, const char* what = "") {
    EXPECT_NEAR(a.x, b.x, tolerance) << what;
    EXPECT_NEAR(a.y, b.y, tolerance) << what;
    EXPECT_NEAR(a.z, b.z, tolerance) << what;
}

// ---- chase -------------------------------------------------------------------

TEST(ChaseCamera, DefaultsSmoothingAngleAndTheGroundAimPoint) {
    CameraWorld world;
    world.Step(kFrame);
    // Smoothing 0.5 from the origin: half of x and z, the height at once.
    ExpectNear(world.CamPos(), Vec3(5.0f, 30.2843f, (5.0f - 28.2843f) * 0.5f));
    world.Run(1.0f);
    ExpectNear(world.CamPos(), Vec3(10.0f, 30.2843f, 5.0f - 28.2843f));
    ExpectNear(world.Cam()->GetLookAt(), Vec3(10.0f, 2.0f, 5.0f));

    world.Chase()->SetSmoothingAmount(1.0f);
    world.hero->GetTransform()->SetPosition(Vec3(-4.0f, 5.0f, 1.0f));
    world.Step(kFrame);
    ExpectNear(world.CamPos(), world.Ideal(), 1e-3f, "smoothing 1 jumps there");
    EXPECT_NEAR(world.Cam()->GetLookAt().y, 2.0f, 1e-4f) << "a player at height 5 is still aimed at y 2";

    world.Chase()->SetSmoothingAmount(0.0f);
    world.Chase()->SetAngle(30.0f);
    world.hero->GetTransform()->SetPosition(Vec3(20.0f, 0.0f, 9.0f));
    const Vec3 before = world.CamPos();
    world.Step(kFrame);
    ExpectNear(world.CamPos(), Vec3(before.x, 22.0f, before.z), 1e-3f, "smoothing 0 follows only the height");

    world.Chase()->SetSmoothingAmount(1.0f);
    world.Chase()->SetAngle(90.0f);
    world.Step(kFrame);
    ExpectNear(world.CamPos(), Vec3(20.0f, 42.0f, 9.0f));
    ExpectNear(world.Cam()->GetDirection(), Vec3(0.0f, -1.0f, 0.0f));
}

TEST(ChaseCamera, EditorFieldsSendDistanceAngleSmoothingAndGapsAreLoggedOnce) {
    CameraWorld world;
    world.Record(world.camera, {"UpdatePlayerCameraAction"});
    ComponentTest::Panel panel;
    world.Chase()->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries, (Texts{"callback6 ChaseDistance", "callback6 SmoothingAmount", "callback6 Angle"}));
    panel.Set<f32>("Angle", 60.0f);
    panel.Set<f32>("ChaseDistance", 25.0f);
    EXPECT_EQ(world.SentTo(world.camera),
              (Texts{"UpdatePlayerCameraAction(40, 60, 0.5)", "UpdatePlayerCameraAction(25, 60, 0.5)"}));
    auto chase = world.ActionsOf<PlayerCameraAction>();
    ASSERT_EQ(chase.size(), 1u);
    EXPECT_EQ(chase[0]->GetChaseDistance(), 25.0f);
    EXPECT_EQ(chase[0]->GetAngle(), 60.0f);

    Composition* blind = world.Spawn("blind-cam-obj");
    for (int i = 0; i < 3; ++i) world.Step(kFrame);
    world.core.SendMessageFloat3("CameraShake", 1.0f, 100.0f, 1.0f);
    for (int i = 0; i < 3; ++i) world.Step(kFrame);
    EXPECT_NE(blind, nullptr);
    std::size_t count = 0;
    for (std::size_t at = world.log.find("PlayerCameraAction: the camera object"); at != std::string::npos;
         at = world.log.find("PlayerCameraAction: the camera object", at + 1))
        ++count;
    EXPECT_EQ(count, 1u) << world.log;
    EXPECT_NE(world.log.find("CameraShakeAction: the camera object"), std::string::npos);
}

// ---- shake -------------------------------------------------------------------

TEST(CameraShake, SeededShakeAlternatesBoundedJoltsAfterTheChase) {
    CameraWorld world("stiff-cam-obj");
    world.Step(kFrame);
    SRand(4242);
    world.core.SendMessageFloat3("CameraShake", 0.0f, 100.0f, 3.0f);
    world.Step(kFrame);
    ExpectNear(world.CamPos(), world.Ideal(), 1e-5f, "a shake of 0 s does nothing");

    world.core.SendMessageFloat3("CameraShake", 0.5f, 100.0f, 3.0f);
    int displaced = 0;
    bool previousDisplaced = false;
    f32 largest = 0.0f;
    for (int frame = 0; frame < 60; ++frame) {
        world.Step(kFrame);
        const Vec3 offset = world.CamPos() - world.Ideal();
        EXPECT_NEAR(offset.z, 0.0f, 1e-5f) << "jolts stay in the camera's x-y plane";
        const bool moved = offset.Length() > 1e-4f;
        if (moved) {
            ++displaced;
            EXPECT_FALSE(previousDisplaced) << "frame " << frame << ": displaced frames alternate with new jolts";
            EXPECT_LE(frame, 31) << "the shake lasts 0.5 s";
        }
        largest = std::max(largest, offset.Length());
        previousDisplaced = moved;
    }
    EXPECT_GE(displaced, 13);
    EXPECT_LE(displaced, 16);
    EXPECT_LE(largest, 4.5f + 1e-4f);
    EXPECT_GT(largest, 0.1f);

    world.core.SendMessageFloat3("CameraShake", 1.0f, 0.0f, 3.0f);
    for (int frame = 0; frame < 5; ++frame) world.Step(kFrame);
    ExpectNear(world.CamPos(), world.Ideal(), 1e-5f, "a frequency of 0 is refused, not a NaN camera");
    EXPECT_NE(world.log.find("shake (1, 0, 3) ignored"), std::string::npos) << world.log;
}

// ---- routes ------------------------------------------------------------------

TEST(CameraRoute, TwoWaypointsGlideBackAndBlockTheChase) {
    CameraWorld world;
    world.RecordGlobal({"CameraPathStarted", "CameraPathFinished", "InterpolateCamera", "EndCameraFlyOver"});
    auto* route = new CameraRouteAction();
    route->SetSpeed(10.0f);
    route->SetOffset(Vec3(0.0f, 10.0f, -10.0f));
    route->AddWaypoints({Vec3(0.0f, 0.0f, 0.0f), Vec3(0.0f, 0.0f, 5.0f)});
    world.AddAction(world.camera, route);
    ExpectNear(world.CamPos(), Vec3(0.0f, 10.0f, -10.0f));
    ExpectNear(world.Cam()->GetLookAt(), Vec3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(world.TakeGlobal(), Texts{"CameraPathStarted()"});
    ASSERT_EQ(world.ActionsOf<CameraMoveToAction>().size(), 1u);
    EXPECT_NE(route->GetMoveActionId(), 0u);

    world.Step(0.1f);
    ExpectNear(world.CamPos(), Vec3(0.0f, 10.0f, -9.0f), 1e-3f, "speed 10 at 0.1 s: one unit, and no chase");
    for (int i = 0; i < 4; ++i) world.Step(0.1f);
    EXPECT_TRUE(world.TakeGlobal().empty());
    EXPECT_NEAR(world.CamPos().x, 0.0f, 1e-5f) << "the chase waits behind the route";
    world.Step(0.1f);
    EXPECT_EQ(world.TakeGlobal(), (Texts{"InterpolateCamera(40, 45, 1)", "CameraPathFinished()"}));
    EXPECT_TRUE(world.ActionsOf<CameraRouteAction>().empty());
    EXPECT_EQ(world.ActionsOf<CameraInterpolateAction>().size(), 1u) << "the camera glides back to the chase";
}

TEST(CameraRoute, EndCameraFlyOverEndsRouteAndGlideWithoutInterpolation) {
    CameraWorld world;
    world.RecordGlobal({"CameraPathFinished", "InterpolateCamera", "TerminateAction"});
    world.Record(world.camera, {"TerminateAction"});
    auto* route = new CameraRouteAction();
    route->AddWaypoints({Vec3(0.0f, 0.0f, 0.0f), Vec3(0.0f, 0.0f, 50.0f), Vec3(0.0f, 0.0f, 100.0f)});
    world.AddAction(world.camera, route);
    world.Step(0.1f);
    world.core.Send("EndCameraFlyOver");
    world.Step(0.1f);
    const Texts local = world.SentTo(world.camera);
    ASSERT_EQ(local.size(), 1u) << "the running move's id goes to the camera object";
    EXPECT_EQ(local[0].rfind("TerminateAction(", 0), 0u);
    EXPECT_EQ(world.TakeGlobal(), Texts{"CameraPathFinished()"});
    EXPECT_TRUE(world.ActionsOf<CameraRouteAction>().empty());
    EXPECT_TRUE(world.ActionsOf<CameraMoveToAction>().empty());

    world.core.SendMessageFloat3("InterpolateCamera", 20.0f, 30.0f, 5.0f);
    world.Step(0.1f);
    EXPECT_EQ(world.ActionsOf<CameraInterpolateAction>().size(), 1u);
    world.core.Send("EndCameraFlyOver");
    world.Step(0.1f);
    EXPECT_TRUE(world.ActionsOf<CameraInterpolateAction>().empty());
}

// ---- fly-over ----------------------------------------------------------------

TEST(FlyOverRoute, CornersAndCatmullRomRefinement) {
    std::vector<Vec3> straight{Vec3(0, 0, 0), Vec3(10, 0, 0), Vec3(20, 0, 0)};
    SmoothRouteCorners(straight);
    ExpectNear(straight[1], Vec3(10, 0, 0), 0.0f);
    RefineRoute(straight);
    ASSERT_EQ(straight.size(), 9u);
    for (std::size_t i = 0; i < straight.size(); ++i) {
        EXPECT_EQ(straight[i].y, 0.0f);
        EXPECT_EQ(straight[i].z, 0.0f);
        if (i > 0) {
            EXPECT_GT(straight[i].x, straight[i - 1].x) << i;
        }
    }
    for (int i : {0, 4, 8}) EXPECT_EQ(straight[i].x, 2.5f * f32(i)) << "the original points stay";
    EXPECT_NEAR(straight[1].x, 1.796875f, 1e-5f);

    std::vector<Vec3> corner{Vec3(0, 0, 0), Vec3(10, 0, 0), Vec3(10, 0, 10)};
    SmoothRouteCorners(corner);
    ExpectNear(corner[2], Vec3(10, 0, 6.4279f), 1e-3f, "pulled to sin 40 of its offset");
    ExpectNear(corner[1], Vec3(7.5f, 0, 1.6070f), 1e-3f, "halfway to its neighbours' middle");
    ExpectNear(corner[0], Vec3(0, 0, 0), 0.0f);

    const f32 c150 = std::cos(150.0f * kRadiansPerDegree), s150 = std::sin(150.0f * kRadiansPerDegree);
    std::vector<Vec3> sharp{Vec3(0, 0, 0), Vec3(10, 0, 0), Vec3(10 + 10 * c150, 0, 10 * s150)};
    const std::vector<Vec3> sharpBefore = sharp;
    SmoothRouteCorners(sharp);
    for (int i = 0; i < 3; ++i) ExpectNear(sharp[i], sharpBefore[i], 0.0f);

    // V0 = V1 = Pi; the outer control is Pi+2, and Pi+1 for the last pair.
    std::vector<Vec3> bend{Vec3(0, 0, 0), Vec3(4, 0, 0), Vec3(4, 0, 4)};
    RefineRoute(bend);
    ASSERT_EQ(bend.size(), 9u);
    ExpectNear(bend[2], Vec3(2.0f, 0, -0.25f), 1e-5f);
    ExpectNear(bend[6], Vec3(4.0f, 0, 2.0f), 1e-5f);
    ExpectNear(bend[4], Vec3(4, 0, 0), 0.0f);

    std::vector<Vec3> pair{Vec3(0, 0, 0), Vec3(0, 0, 7)};
    SmoothRouteCorners(pair);
    RefineRoute(pair);
    EXPECT_EQ(pair.size(), 2u);
}

TEST(FlyOverCamera, TakesInputSkipsAfterTheCoolDownAndGivesInputBack) {
    CameraWorld world;
    ManualClock clock;
    world.FlyOver()->SetSkipClock(clock);
    world.Record(world.hero, {"UpdatePlayerDirection"});
    world.RecordGlobal({"EndCameraFlyOver", "CameraPathFinished", "SetTutorialsActive", "InterpolateCamera",
                        "CameraPathStarted"});

    world.FlyOverRoute({Vec3(100, 0, 0), Vec3(60, 0, 0), Vec3(20, 0, 0)});
    EXPECT_EQ(world.TakeGlobal(), Texts{"CameraPathStarted()"});
    auto routes = world.ActionsOf<CameraRouteAction>();
    ASSERT_EQ(routes.size(), 1u);
    EXPECT_EQ(routes[0]->GetWaypoints().size(), 9u);
    ExpectNear(routes[0]->GetOffset(), Vec3(0.0f, 25.7115f, -30.6418f));
    EXPECT_TRUE(world.FlyOver()->IsFlying());

    world.Key(kKeyRight, true);
    world.Key(kKeyRight, false);
    ControllerData pad;
    pad.leftStick = Vec2(1.0f, 0.0f);
    ControllerData* padPointer = &pad;
    world.core.SendMessageValues("ControllerUpdate", padPointer);
    EXPECT_TRUE(world.SentTo(world.hero).empty()) << "no key and no pad update reaches the controller";

    clock.AdvanceSeconds(0.3);
    world.Key(kKeySpace, true);
    world.Step(kFrame);
    EXPECT_TRUE(world.TakeGlobal().empty()) << "Space within the cool-down does nothing";
    clock.AdvanceSeconds(0.3);
    world.Key(kKeySpace, false);
    world.Key(kKeyRight, true);
    EXPECT_TRUE(world.TakeGlobal().empty()) << "only skip keys going down count";
    world.Key(kKeySpace, true);
    EXPECT_EQ(world.TakeGlobal(), Texts{"EndCameraFlyOver()"});
    EXPECT_NEAR(world.FlyOver()->GetTimeSinceStart(), 0.6f, 1e-4f);

    world.Step(kFrame);
    EXPECT_EQ(world.TakeGlobal(), (Texts{"CameraPathFinished()", "SetTutorialsActive(true)"}));
    EXPECT_FALSE(world.FlyOver()->IsFlying());
    world.Key(kKeyRight, true);
    EXPECT_EQ(world.SentTo(world.hero), Texts{"UpdatePlayerDirection((1, 0, 0))"});
}

TEST(FlyOverCamera, TwoPointsFlyUnrefinedAndShortRoutesEndAtOnce) {
    CameraWorld world;
    world.Record(world.hero, {"UpdatePlayerDirection"});
    world.RecordGlobal({"CameraPathFinished", "SetTutorialsActive"});
    world.FlyOverRoute({Vec3(5, 0, 0)});
    EXPECT_EQ(world.TakeGlobal(), (Texts{"SetTutorialsActive(true)", "CameraPathFinished()"}));
    world.FlyOverRoute({});
    EXPECT_EQ(world.TakeGlobal(), (Texts{"SetTutorialsActive(true)", "CameraPathFinished()"}));
    EXPECT_TRUE(world.ActionsOf<CameraRouteAction>().empty());
    world.Key(kKeyRight, true);
    EXPECT_EQ(world.SentTo(world.hero).size(), 1u) << "input stays with the controller";

    world.FlyOverRoute({Vec3(30, 0, 0), Vec3(0, 0, 0)});
    auto routes = world.ActionsOf<CameraRouteAction>();
    ASSERT_EQ(routes.size(), 1u);
    EXPECT_EQ(routes[0]->GetWaypoints().size(), 2u);
    // 30 units at 10 per second: the route ends by itself and hands over.
    world.Run(3.5f);
    EXPECT_EQ(world.TakeGlobal(), (Texts{"CameraPathFinished()", "SetTutorialsActive(true)"}));
    EXPECT_FALSE(world.FlyOver()->IsFlying());
}

TEST(FlyOverCamera, CameraDestroyedMidFlightGivesInputBackAndSpeedDefaults) {
    CameraWorld world;
    world.Record(world.hero, {"UpdatePlayerDirection"});
    world.FlyOverRoute({Vec3(100, 0, 0), Vec3(60, 0, 0), Vec3(20, 0, 0)});
    world.Step(kFrame);
    world.objects.DestroyObject(world.camera->GetId());
    world.Step(kFrame);
    world.Key(kKeyRight, true);
    EXPECT_EQ(world.SentTo(world.hero), Texts{"UpdatePlayerDirection((1, 0, 0))"});

    Composition* slow = world.Spawn("slow-cam-obj");
    EXPECT_EQ(world.Get<FlyOverCameraComponent>(slow)->GetChaseSpeed(), 10.0f);
    EXPECT_NE(world.log.find("FlyOverCameraComponent has no \"ChaseSpeed\"; using 10"), std::string::npos)
        << world.log;
}

// ---- modifiers ---------------------------------------------------------------

TEST(CameraModifier, TriggerGlidesThereAndThePreviousStateSwapsBack) {
    CameraWorld world("stiff-cam-obj", Vec3(0.0f, 2.0f, 0.0f));
    world.Step(kFrame);
    auto [distance0, angle0] = world.Measured();
    EXPECT_NEAR(distance0, 40.0f, 1e-3f);
    EXPECT_NEAR(angle0, 45.0f, 1e-3f);

    Composition* modifier = world.Spawn("modifier-obj");
    world.RecordGlobal({"InterpolateCamera"});
    modifier->Send("TriggerFired");
    EXPECT_EQ(world.TakeGlobal(), Texts{"InterpolateCamera(60, 70, 2)"});
    auto* memory = world.Get<PlayerCameraModifierComponent>(world.camera);
    EXPECT_NEAR(memory->GetPreviousDistance(), 40.0f, 1e-3f);
    EXPECT_NEAR(memory->GetPreviousAngle(), 45.0f, 1e-3f);

    world.Run(1.0f);
    auto [distance1, angle1] = world.Measured();
    EXPECT_NEAR(distance1, 50.0f, 0.05f);
    EXPECT_NEAR(angle1, 57.5f, 0.05f);
    world.Run(1.1f);
    EXPECT_FLOAT_EQ(world.Chase()->GetChaseDistance(), 60.0f);
    EXPECT_FLOAT_EQ(world.Chase()->GetAngle(), 70.0f);
    EXPECT_TRUE(world.ActionsOf<CameraInterpolateAction>().empty());

    world.core.SendMessageFloat("InterpolateToPreviousCameraState", 1.0f);
    world.Run(1.2f);
    EXPECT_NEAR(world.Chase()->GetChaseDistance(), 40.0f, 1e-3f);
    EXPECT_NEAR(world.Chase()->GetAngle(), 45.0f, 1e-3f);
    world.core.SendMessageFloat("InterpolateToPreviousCameraState", 1.0f);
    world.Run(1.2f);
    EXPECT_NEAR(world.Chase()->GetChaseDistance(), 60.0f, 1e-3f);
    EXPECT_NEAR(world.Chase()->GetAngle(), 70.0f, 1e-3f);

    world.core.SendMessageFloat3("InterpolateCamera", 20.0f, 30.0f, 0.0f);
    world.Step(kFrame);
    EXPECT_FLOAT_EQ(world.Chase()->GetChaseDistance(), 20.0f) << "a time of 0 applies in the first update";
    EXPECT_FLOAT_EQ(world.Chase()->GetAngle(), 30.0f);
}

// A player trigger asks again at every physics step the player stands in it.
TEST(CameraModifier, RepeatedRequestsGlideOnceAndAskingForTheHeldSettingMovesNothing) {
    CameraWorld world("cam-obj", Vec3(0.0f, 0.0f, 0.0f));
    world.Run(0.5f);
    f32 farthest = 0.0f;
    for (int step = 0; step < 180; ++step) {
        world.core.SendMessageFloat3("InterpolateCamera", 60.0f, 70.0f, 2.0f);
        world.Step(kFrame);
        farthest = std::max(farthest, (world.CamPos() - world.Cam()->GetLookAt()).Length());
    }
    EXPECT_LT(farthest, 62.5f) << "each request started the camera over further out";
    EXPECT_FLOAT_EQ(world.Chase()->GetChaseDistance(), 60.0f);
    EXPECT_FLOAT_EQ(world.Chase()->GetAngle(), 70.0f);
    auto* memory = world.Get<PlayerCameraModifierComponent>(world.camera);
    EXPECT_NEAR(memory->GetPreviousAngle(), 45.0f, 0.01f) << "the state left is the one before the first request";

    const Vec3 held = world.CamPos();
    world.core.SendMessageFloat3("InterpolateCamera", 60.0f, 70.0f, 2.0f);
    EXPECT_TRUE(world.ActionsOf<CameraInterpolateAction>().empty());
    world.Step(kFrame);
    ExpectNear(world.CamPos(), held, 1e-4f, "the held setting asked for again");

    // Moved off the setting (a route, a shake), the camera glides back to it.
    world.Cam()->SetPosition(held.x, held.y + 5.0f, held.z);
    world.core.SendMessageFloat3("InterpolateCamera", 60.0f, 70.0f, 2.0f);
    EXPECT_EQ(world.ActionsOf<CameraInterpolateAction>().size(), 1u);
}

TEST(CameraModifier, ANewerGlideReplacesTheRunningOneAndNoPlayerOnlyStores) {
    CameraWorld world("stiff-cam-obj", Vec3(0.0f, 2.0f, 0.0f));
    world.Step(kFrame);
    world.core.SendMessageFloat3("InterpolateCamera", 60.0f, 70.0f, 2.0f);
    world.Run(0.5f);
    world.core.SendMessageFloat3("InterpolateCamera", 30.0f, 20.0f, 0.5f);
    auto glides = world.ActionsOf<CameraInterpolateAction>();
    ASSERT_FALSE(glides.empty());
    EXPECT_EQ(glides[0]->GetTargetDistance(), 30.0f) << "the newest runs in front";
    world.Run(0.6f);
    EXPECT_FLOAT_EQ(world.Chase()->GetChaseDistance(), 30.0f);
    EXPECT_FLOAT_EQ(world.Chase()->GetAngle(), 20.0f);
    EXPECT_TRUE(world.ActionsOf<CameraInterpolateAction>().empty()) << "the replaced glide is gone";
    world.Run(2.0f);
    EXPECT_FLOAT_EQ(world.Chase()->GetChaseDistance(), 30.0f) << "the replaced glide never applies its 60";
    EXPECT_FLOAT_EQ(world.Chase()->GetAngle(), 20.0f);

    world.objects.DestroyObject(world.hero->GetId());
    world.Step(kFrame);
    auto* memory = world.Get<PlayerCameraModifierComponent>(world.camera);
    const f32 previous = memory->GetPreviousDistance();
    world.core.SendMessageFloat3("InterpolateCamera", 11.0f, 12.0f, 13.0f);
    EXPECT_EQ(memory->GetNextDistance(), 11.0f);
    EXPECT_EQ(memory->GetNextAngle(), 12.0f);
    EXPECT_EQ(memory->GetTransitionTime(), 13.0f);
    EXPECT_EQ(memory->GetPreviousDistance(), previous);
    EXPECT_TRUE(world.ActionsOf<CameraInterpolateAction>().empty()) << "no player: no glide";
}

}  // namespace
}  // namespace Vandle::GameTest
