#include "engine/components/CameraComponent.h"
#include "engine/components/DefaultCameraLogicComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "tests/engine/components/ComponentWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace Ostrel::ComponentTest {
namespace {

const char* const kArchetypes = R"(
<cam-obj>
    <TransformComponent>
        <PosX>1.000000</PosX>
        <PosY>2.000000</PosY>
        <PosZ>3.000000</PosZ>
    </TransformComponent>
    <CameraComponent>
        <LookAtPos_X>1.000000</LookAtPos_X>
        <LookAtPos_Y>2.000000</LookAtPos_Y>
        <LookAtPos_Z>3.000000</LookAtPos_Z>
    </CameraComponent>
</cam-obj>
<fly-obj>
    <TransformComponent />
    <CameraComponent>
        <LookAtPos_Z>5.000000</LookAtPos_Z>
    </CameraComponent>
    <DefaultCameraLogicComponent>
        <CameraSpeed>10.000000</CameraSpeed>
        <CameraRotationSpeed>90.000000</CameraRotationSpeed>
    </DefaultCameraLogicComponent>
</fly-obj>
<bare-cam-obj>
    <CameraComponent />
    <DefaultCameraLogicComponent />
</bare-cam-obj>
<lone-logic-obj>
    <TransformComponent />
    <DefaultCameraLogicComponent />
</lone-logic-obj>
)";

// Records the three camera messages, in order, as "Name x y z".
class CameraMessages {
public:
    explicit CameraMessages(CoreSystem& core) : m_core(core) {
        for (const char* name : kNames) m_core.Listen(name, Listener(name));
    }
    ~CameraMessages() {
        for (const char* name : kNames) m_core.Unlisten(name, Listener(name));
    }
    void OnPos(float x, float y, float z) { Record("Pos", x, y, z); }
    void OnLookAt(float x, float y, float z) { Record("LookAt", x, y, z); }
    void OnUp(float x, float y, float z) { Record("Up", x, y, z); }

    std::vector<std::string> lines;
    std::vector<Vec3> values;

private:
    static constexpr const char* kNames[] = {"CameraPosUpdate", "CameraLookAtUpdate", "CameraUpUpdate"};
    FunctionRef Listener(const std::string& name) {
        if (name == kNames[0]) return MakeDelegate(this, &CameraMessages::OnPos);
        if (name == kNames[1]) return MakeDelegate(this, &CameraMessages::OnLookAt);
        return MakeDelegate(this, &CameraMessages::OnUp);
    }
    void Record(const char* what, float x, float y, float z) {
        ASSERT_TRUE(std::isfinite(x) && std::isfinite(y) && std::isfinite(z)) << what;
        lines.push_back(what);
        values.push_back(Vec3(x, y, z));
    }
    CoreSystem& m_core;
};

void ExpectVec(const Vec3& actual, const Vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

// Sends "GraphicsUpdate" once per frame with the frame's (clamped, paused)
// step, and pauses the game from the first frame on.
class GraphicsUpdater final : public System {
public:
    explicit GraphicsUpdater(Engine& engine) : m_engine(engine) {}
    void Update(f32 dt) override {
        m_engine.SetPaused(true);
        steps.push_back(dt);
        m_engine.GetCoreSystem()->SendMessageFloat("GraphicsUpdate", dt);
        if (afterUpdate) afterUpdate();
    }
    std::string GetName() const override { return "GraphicsUpdater"; }
    u32 GetId() const override { return FourCC("gupd"); }
    std::vector<f32> steps;
    // Runs after each send, while the objects exist (a run's end tears
    // every object down).
    std::function<void()> afterUpdate;

private:
    Engine& m_engine;
};

TEST(CameraComponent, InitializeLooksAlongZWhenTheLookAtIsThePositionAndOnlyLiveCamerasSend) {
    ComponentWorld world(kArchetypes);
    CameraMessages messages(world.core);
    Composition* object = world.Create("cam-obj");
    auto* camera = world.Get<CameraComponent>(object);
    ASSERT_NE(camera, nullptr);
    ExpectVec(camera->GetDirection(), {0, 0, 1});
    ExpectVec(camera->GetLookAt(), {1, 2, 4});
    ExpectVec(camera->GetUp(), {0, 1, 0});
    EXPECT_FLOAT_EQ(camera->GetPitch(), 0.0f);
    // Initialize: the up axis from UpdateAngles, then the pair and world up.
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"Up", "Pos", "LookAt", "Up"}));
    ExpectVec(messages.values[1], {1, 2, 3});

    // The archetype itself (no handle) was initialised too, and sent nothing:
    // only the live clone's four messages were seen. A moved archetype camera
    // stays silent as well.
    messages.lines.clear();
    auto* prototype = world.factory.FindArchetype("cam-obj")->GetComponentAs<CameraComponent>();
    prototype->MoveForward(1.0f);
    prototype->Rotate(0.1f, 0.0f);
    EXPECT_TRUE(messages.lines.empty());
}

TEST(CameraComponent, RotateClampsPitchLookAtDoesNotAndMovesFollowTheAxes) {
    ComponentWorld world(kArchetypes);
    auto* camera = world.Get<CameraComponent>(world.Create("cam-obj"));
    CameraMessages messages(world.core);

    camera->Rotate(10.0f, 0.0f);
    EXPECT_FLOAT_EQ(camera->GetPitch(), 1.4707963f);
    // Rotate announces world up, not its own up axis.
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"Pos", "LookAt", "Up"}));
    ExpectVec(messages.values[2], {0, 1, 0});
    camera->Rotate(-20.0f, 0.0f);
    EXPECT_FLOAT_EQ(camera->GetPitch(), -1.4707963f);

    // Straight up from (1,2,3): pitch pi/2 unclamped, up axis (0,0,-1).
    messages.lines.clear();
    messages.values.clear();
    camera->SetLookAt(1.0f, 7.0f, 3.0f);
    ExpectVec(camera->GetDirection(), {0, 1, 0});
    EXPECT_FLOAT_EQ(camera->GetPitch(), 1.5707964f);
    ExpectVec(camera->GetUpAxis(), {0, 0, -1});
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"LookAt", "Up"}));
    ExpectVec(messages.values[1], {0, 0, -1});

    // Looking along +x: right is -z; moves change the transform in place.
    camera->SetLookAt(5.0f, 2.0f, 3.0f);
    EXPECT_NEAR(camera->GetYaw(), 1.5707964f, 1e-6f);
    camera->MoveForward(2.0f);
    camera->MoveRight(1.0f);
    camera->MoveUp(0.5f);
    ExpectVec(world.Get<TransformComponent>(camera->GetOwner())->GetPosition(), {3, 2.5f, 2});
    ExpectVec(camera->GetLookAt(), {4, 2.5f, 2});
    camera->SetPositionKeepLookAt(4.0f, 2.5f, 0.0f);
    ExpectVec(camera->GetDirection(), {0, 0, 1});
    ExpectVec(camera->GetLookAt(), {4, 2.5f, 2});
}

TEST(CameraComponent, ALookAtWhoseNormalisedHeightRoundsPastOneGivesNoNaN) {
    ComponentWorld world(kArchetypes);
    auto* camera = world.Get<CameraComponent>(world.Create("fly-obj"));
    CameraMessages messages(world.core);
    // So small that its square is denormal: normalised, y comes out as
    // 1.0000001, and asin of that is NaN.
    camera->SetLookAt(0.0f, 6.93842587e-20f, 0.0f);
    EXPECT_GT(camera->GetDirection().y, 1.0f);
    EXPECT_FLOAT_EQ(camera->GetPitch(), 1.5707964f);
    EXPECT_TRUE(std::isfinite(camera->GetUpAxis().z));
    camera->MoveForward(1.0f);
    ExpectVec(camera->GetPosition(), {0, 1, 0});
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"LookAt", "Up", "Pos", "LookAt"}));
}

TEST(CameraComponent, EditorFieldsSetOneCoordinateAndXAlwaysSendsThePair) {
    ComponentWorld world(kArchetypes);
    auto* camera = world.Get<CameraComponent>(world.Create("cam-obj"));
    Panel panel;
    camera->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries, (std::vector<std::string>{"callback6 CameraPos_X", "callback6 CameraPos_Y",
                                                       "callback6 CameraPos_Z", "callback6 LookAtPos_X",
                                                       "callback6 LookAtPos_Y", "callback6 LookAtPos_Z"}));
    CameraMessages messages(world.core);
    panel.Set<float>("CameraPos_Y", 5.0f);
    EXPECT_FLOAT_EQ(panel.Get<float>("CameraPos_Y"), 5.0f);
    EXPECT_FLOAT_EQ(panel.Get<float>("LookAtPos_Y"), 5.0f);
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"Pos", "LookAt"}));
    messages.lines.clear();
    panel.Set<float>("CameraPos_X", 4.0f);
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"LookAt", "Pos", "LookAt"}));
    messages.lines.clear();
    panel.Set<float>("LookAtPos_X", 9.0f);
    const Vec3 direction = Vec3(5, 0, 1).Normalized();
    ExpectVec(camera->GetDirection(), direction);
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"LookAt", "Up"}));

    // The archetype's camera has no handle: only X sends, and only the pair.
    Panel archetypePanel;
    auto* prototype = world.factory.FindArchetype("cam-obj")->GetComponentAs<CameraComponent>();
    prototype->ExposeProperties(&archetypePanel);
    messages.lines.clear();
    archetypePanel.Set<float>("CameraPos_Z", 1.0f);
    archetypePanel.Set<float>("CameraPos_X", 1.0f);
    EXPECT_EQ(messages.lines, (std::vector<std::string>{"Pos", "LookAt"}));

    // Only the look-at point is stored; the clone keeps the view.
    TextSerializer writer(false);
    camera->Serialize(&writer);
    EXPECT_EQ(writer.written,
              (std::vector<std::string>{"LookAtPos_X=9.000000", "LookAtPos_Y=5.000000", "LookAtPos_Z=4.000000"}));
    std::unique_ptr<Component> clone(camera->Clone());
    ExpectVec(static_cast<CameraComponent*>(clone.get())->GetDirection(), direction);
    ExpectVec(static_cast<CameraComponent*>(clone.get())->GetPosition(), {0, 0, 0});
    world.factory.DestroyComponent(clone.release());
}

TEST(CameraComponent, WithoutATransformItIsLoggedAndDoesNothing) {
    ComponentWorld world(kArchetypes);
    CameraMessages messages(world.core);
    Composition* object = world.Create("bare-cam-obj");
    auto* camera = world.Get<CameraComponent>(object);
    ASSERT_NE(camera, nullptr);
    EXPECT_NE(world.log.find("CameraComponent: object " + std::to_string(object->GetId()) +
                             " ('bare-cam-obj') has no TransformComponent"),
              std::string::npos);
    camera->MoveForward(1.0f);
    camera->Rotate(1.0f, 1.0f);
    camera->SetLookAt(1, 2, 3);
    camera->SetPositionX(4.0f);
    ExpectVec(camera->GetPosition(), {0, 0, 0});
    world.core.SendMessageValues("KeyTriggered", int('W'), true);
    world.core.SendMessageFloat("GraphicsUpdate", 1.0f);
    EXPECT_TRUE(messages.lines.empty());

    // A free-fly camera without a camera sibling moves nothing either.
    world.Create("lone-logic-obj");
    world.core.SendMessageFloat("GraphicsUpdate", 1.0f);
    EXPECT_TRUE(messages.lines.empty());
}

TEST(DefaultCameraLogicComponent, FliesByTheRawFrameTimeWhilePaused) {
    ComponentWorld world(kArchetypes);
    GraphicsUpdater updater(world.engine);
    world.engine.AddSystem(&updater);
    RunSwitches switches;
    switches.maxFrames = 10;
    switches.fixedDt = 0.1;
    world.engine.SetRunSwitches(switches);
    Composition* object = world.Create("fly-obj");
    auto* camera = world.Get<CameraComponent>(object);
    world.core.SendMessageValues("KeyTriggered", int('W'), true);
    Vec3 position;
    Vec3 lookAt;
    updater.afterUpdate = [&] {
        position = camera->GetPosition();
        lookAt = camera->GetLookAt();
    };

    world.engine.Run();
    // Every frame after the first was paused (step 0), yet it flew 10 x 0.1 s.
    EXPECT_EQ(updater.steps.size(), 10u);
    EXPECT_FLOAT_EQ(updater.steps.back(), 0.0f);
    ExpectVec(position, {0, 0, 10});
    ExpectVec(lookAt, {0, 0, 11});
}

TEST(DefaultCameraLogicComponent, TurnsByTheLastDragOnlyAndTheWheelStepsByATenthOfTheSpeed) {
    ComponentWorld world(kArchetypes);
    Composition* object = world.Create("fly-obj");
    auto* camera = world.Get<CameraComponent>(object);
    CoreSystem& core = world.core;

    // One wheel notch forward then back (a delta of 0 counts as back), each
    // one unit at speed 10 whatever the frame time (0 outside a run).
    core.SendMessageInt("MouseWheel", 120);
    core.SendMessageFloat("GraphicsUpdate", 0.0f);
    ExpectVec(camera->GetPosition(), {0, 0, 1});
    core.SendMessageInt("MouseWheel", 0);
    core.SendMessageFloat("GraphicsUpdate", 0.0f);
    ExpectVec(camera->GetPosition(), {0, 0, 0});

    // Right button up: a drag is forgotten. Held: only the last relative
    // motion counts, and absolute motion (mode 0) is ignored.
    core.SendMessageValues("MouseMoved", 1, 40, 0);
    core.SendMessageValues("KeyTriggered", 2, true);
    core.SendMessageValues("MouseMoved", 1, 50, 0);
    core.SendMessageValues("MouseMoved", 1, 2, 0);
    core.SendMessageValues("MouseMoved", 0, 300, 300);
    GraphicsUpdater updater(world.engine);
    world.engine.AddSystem(&updater);
    RunSwitches switches;
    switches.maxFrames = 2;
    switches.fixedDt = 0.5;
    world.engine.SetRunSwitches(switches);
    std::vector<f32> yaws;
    updater.afterUpdate = [&] { yaws.push_back(camera->GetYaw()); };
    world.engine.Run();
    // 90 degrees per second per unit x 2 units x 0.5 s = 90 degrees, once:
    // the motion is used up by the first frame.
    ASSERT_EQ(yaws.size(), 2u);
    EXPECT_NEAR(yaws[0], 1.5707963f, 1e-5f);
    EXPECT_NEAR(yaws[1], 1.5707963f, 1e-5f);
}

TEST(DefaultCameraLogicComponent, ArchetypesDoNotListenAndClonesKeepHeldKeysButNotTheCamera) {
    ComponentWorld world(kArchetypes);
    const Composition* prototype = world.factory.FindArchetype("fly-obj");
    auto* logic = prototype->GetComponentAs<DefaultCameraLogicComponent>();
    world.core.SendMessageValues("KeyTriggered", int('W'), true);
    world.core.SendMessageInt("MouseWheel", 120);
    world.core.SendMessageFloat("GraphicsUpdate", 0.0f);
    ExpectVec(prototype->GetComponentAs<CameraComponent>()->GetPosition(), {0, 0, 0});

    Panel panel;
    logic->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries, (std::vector<std::string>{"float CameraSpeed", "float CameraRotationSpeed"}));
    EXPECT_FLOAT_EQ(*panel.floats["CameraSpeed"], 10.0f);
    EXPECT_FLOAT_EQ(*panel.floats["CameraRotationSpeed"], 90.0f);

    // A destroyed camera stops listening; its clone (made before) flies
    // with its own sibling camera.
    Composition* first = world.Create("fly-obj");
    const u32 copyId = world.objects.CloneObject(first->GetId());
    world.objects.DestroyObject(first->GetId());
    world.objects.Update(0.0f);
    Composition* copy = world.objects.GetObject(copyId);
    ASSERT_NE(copy, nullptr);
    world.core.SendMessageInt("MouseWheel", 120);
    world.core.SendMessageFloat("GraphicsUpdate", 0.0f);
    ExpectVec(copy->GetComponentAs<CameraComponent>()->GetPosition(), {0, 0, 1});
}

}  // namespace
}  // namespace Ostrel::ComponentTest
