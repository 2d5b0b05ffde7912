#include "tests/game/GameFixture.h"

#include "engine/actions/TimedMoveToAction.h"
#include "engine/core/Random.h"
#include "engine/io/SerializerLevelSave.h"
#include "game/enemies/FoxComponent.h"
#include "game/enemies/BirdBounceAction.h"
#include "game/enemies/BirdComponent.h"
#include "game/enemies/PlayerSeekAction.h"
#include "game/common/BobAction.h"
#include "game/player/FaceVelocityAction.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>

namespace Vandle::GameTest {
namespace {

const char kBirdWorld[] = R"(
<bird-player-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <PlayerComponent/>
</bird-player-obj>
<red-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/><BrainComponent/>
    <BirdComponent><BirdColor>red</BirdColor><Damage>2</Damage><CanSplit>1</CanSplit></BirdComponent>
</red-obj>
<green-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/><BrainComponent/>
    <BirdComponent><BirdColor>green</BirdColor><Damage>3</Damage><MaxTurnAngle>30</MaxTurnAngle></BirdComponent>
</green-obj>
<blue-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static><CollideWithStatics>1</CollideWithStatics><ResolveWithStatics>1</ResolveWithStatics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MessageComponent/><BrainComponent/>
    <BirdComponent><BirdColor>blue</BirdColor><Damage>1</Damage><MoveSpeed>0</MoveSpeed><CanSplit>1</CanSplit></BirdComponent>
</blue-obj>
<pink-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/><BrainComponent/>
    <BirdComponent><BirdColor>Red</BirdColor><CanSplit>1</CanSplit></BirdComponent>
</pink-obj>
<lone-obj>
    <TransformComponent/><MessageComponent/><BrainComponent/>
    <BirdComponent><BirdColor>blue</BirdColor><Damage>1</Damage><MoveSpeed>0</MoveSpeed><CanSplit>1</CanSplit></BirdComponent>
</lone-obj>
<hollow-obj>
    <TransformComponent/><MessageComponent/><BrainComponent/>
    <BirdComponent><BirdColor>blue</BirdColor><Damage>1</Damage><MoveSpeed>0</MoveSpeed><CanSplit>1</CanSplit></BirdComponent>
</hollow-obj>
<bird-wall-obj>
    <TransformComponent/>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics><ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MessageComponent/>
    <LevelGeometryComponent/>
</bird-wall-obj>
<gate-obj><TransformComponent/><MessageComponent/><GateComponent/></gate-obj>
<fox-obj><TransformComponent/><MessageComponent/><FoxComponent/></fox-obj>
<yak-obj><TransformComponent/><MessageComponent/><EnemyComponent/></yak-obj>
<rock-obj><TransformComponent/><MessageComponent/></rock-obj>
<yak-fx-obj><TransformComponent/></yak-fx-obj>
)";

template <class A>
A* FirstAction(Composition* object) {
    for (IAction* action : object->GetComponentAs<BrainComponent>()->GetActionList()->Actions())
        if (auto* a = dynamic_cast<A*>(action)) return a;
    return nullptr;
}

void Contact(Composition* object, Composition* other, s32 side) {
    CollisionData contact;
    contact.other = other->GetId();
    contact.side = side;
    SendObjectMessageValues(object, "CollisionData", contact);
}

int LiveNamed(const ObjectManager& objects, const std::string& name) {
    int n = 0;
    for (u32 id : objects.GetLiveObjects()) n += objects.GetObject(id)->GetName() == name ? 1 : 0;
    return n;
}

Vec3& VelocityRef(Composition* object) { return object->GetComponentAs<MovementComponent>()->Velocity(); }

TEST(BirdBounce, SidesFlipTheirAxisOnlyOffWallsGatesAndEnemiesAfterTheDeadTime) {
    GameFixture world(kBirdWorld);
    Composition* bird = world.Spawn("blue-obj", Vec3(0, 0, 0));
    Composition* wall = world.Spawn("bird-wall-obj", Vec3(9, 0, 0));
    auto* bounce = FirstAction<BirdBounceAction>(bird);
    ASSERT_NE(bounce, nullptr);
    struct Row {
        s32 side;
        int axis;
        f32 nudge;
    };
    for (const Row& row : {Row{0, 0, 1}, Row{1, 0, -1}, Row{2, 1, 1}, Row{3, 1, -1}, Row{4, 2, 1}, Row{5, 2, -1}}) {
        world.Step(0.2f);
        const Vec3 before = GameFixture::PositionOf(bird);
        VelocityRef(bird) = Vec3(1, 2, 3);
        Contact(bird, wall, row.side);
        Vec3 expectedVelocity(1, 2, 3), expectedPosition = before;
        expectedVelocity[row.axis] = -expectedVelocity[row.axis];
        expectedPosition[row.axis] += row.nudge;
        EXPECT_EQ(VelocityRef(bird), expectedVelocity) << row.side;
        EXPECT_EQ(GameFixture::PositionOf(bird), expectedPosition) << row.side;
        world.Step(0.1f);
        Contact(bird, wall, row.side);  // inside 0.15 s: ignored
        EXPECT_EQ(VelocityRef(bird), expectedVelocity) << row.side;
    }
    // Gates, yaks and foxes bounce; a rock does not; the player, a rock and
    // side -1 restart the dead time all the same.
    for (const char* other : {"gate-obj", "yak-obj", "fox-obj"}) {
        world.Step(0.2f);
        VelocityRef(bird) = Vec3(1, 0, 0);
        Contact(bird, world.Spawn(other, Vec3(50, 0, 50)), 1);
        EXPECT_EQ(VelocityRef(bird).x, -1.0f) << other;
    }
    for (const char* other : {"bird-player-obj", "rock-obj"}) {
        world.Step(0.2f);
        VelocityRef(bird) = Vec3(1, 0, 0);
        Contact(bird, world.Spawn(other, Vec3(50, 0, -50)), 1);
        EXPECT_EQ(VelocityRef(bird).x, 1.0f) << other;
        EXPECT_EQ(bounce->GetTimeSinceBounce(), 0.0f) << other;
    }
    world.Step(0.2f);
    const Vec3 before = GameFixture::PositionOf(bird);
    Contact(bird, wall, kNoSide);
    EXPECT_EQ(bounce->GetTimeSinceBounce(), 0.0f);
    EXPECT_EQ(GameFixture::PositionOf(bird), before);
    EXPECT_EQ(VelocityRef(bird).x, 1.0f);
    world.Step(0.1f);
    Contact(bird, wall, 1);
    EXPECT_EQ(VelocityRef(bird).x, 1.0f) << "the overlap restarted the dead time";
}

TEST(BirdBounce, ThePhysicsStepsSideMakesABirdFlyingAtAWallTurnBack) {
    GameFixture world(kBirdWorld, GameOptions{true});
    Composition* bird = world.Spawn("blue-obj", Vec3(0, 0, 0));
    world.Spawn("bird-wall-obj", Vec3(3, 0, 0));
    world.Run(0.2f, 0.016f);  // past the first dead time
    VelocityRef(bird) = Vec3(20, 0, 0);
    for (int i = 0; i < 30 && VelocityRef(bird).x > 0; ++i) world.Step(0.016f);
    EXPECT_EQ(VelocityRef(bird).x, -20.0f);
    EXPECT_LT(GameFixture::PositionOf(bird).x, 2.0f) << "nudged one unit back from the wall";
}

TEST(Bird, ColoursMoveRedSeeksGreenTurnsSlowlyBlueFliesOnOthersStand) {
    GameFixture world(kBirdWorld);
    world.Spawn("bird-player-obj", Vec3(0, 0, -50));
    Composition* red = world.Spawn("red-obj", Vec3(0, 0, 0));
    Composition* green = world.Spawn("green-obj", Vec3(10, 0, 0));
    green->GetTransform()->SetRotation(Vec3(0, 180, 0));
    SRand(3);
    Composition* blue = world.Spawn("blue-obj", Vec3(-10, 0, 0));
    Composition* pink = world.Spawn("pink-obj", Vec3(20, 0, 0));
    world.Spawn("pink-obj", Vec3(30, 0, 0));
    for (Composition* bird : {red, green, blue, pink}) {
        auto* bob = FirstAction<BobAction>(bird);
        ASSERT_NE(bob, nullptr);
        EXPECT_EQ(bob->GetFrequency(), 1.75f);
        EXPECT_EQ(bob->GetAmplitude(), 4.0f);
        EXPECT_EQ(bob->GetOffset(), 1.0f);
    }
    EXPECT_EQ(FirstAction<PlayerSeekAction>(pink), nullptr);
    EXPECT_EQ(FirstAction<BirdBounceAction>(pink), nullptr);
    const std::string unknown = "unknown \"BirdColor\" 'Red'";
    EXPECT_EQ(world.log.find(unknown), world.log.rfind(unknown)) << "logged once";
    EXPECT_NE(world.log.find(unknown), std::string::npos);
    EXPECT_NE(world.log.find("archetype 'pink-obj' gives no \"Damage\""), std::string::npos);
    const Vec3 blueStart = VelocityRef(blue);
    EXPECT_NEAR(blueStart.Length(), 1.0f, 1e-5f);
    EXPECT_NE(FirstAction<FaceVelocityAction>(blue), nullptr);

    for (int i = 0; i < 10; ++i) {
        const f32 greenYaw = green->GetTransform()->GetRotationY();
        world.Step(0.1f);
        f32 turned = std::fabs(green->GetTransform()->GetRotationY() - greenYaw);
        turned = std::min(turned, 360.0f - turned);
        EXPECT_LE(turned, 3.0f + 1e-3f) << "30 degrees a second";
        EXPECT_GT(turned, 2.9f);
    }
    EXPECT_LT(VelocityRef(red).z, 0.0f) << "red heads for the player";
    EXPECT_NEAR(red->GetTransform()->GetRotationY(), 0.0f, 1e-3f);
    EXPECT_EQ(VelocityRef(blue).x, blueStart.x) << "speed 0: blue keeps its heading";
    EXPECT_NEAR(blue->GetTransform()->GetRotationY(), std::atan2(-blueStart.x, -blueStart.z) * 57.29578f, 1e-3f);
    EXPECT_EQ(VelocityRef(pink).x, 0.0f);
    EXPECT_EQ(VelocityRef(pink).z, 0.0f);
}

// The level editor's world is paused: a blue bird placed there keeps the
// heading it was placed with (what the editor saves) until the world runs.
TEST(Bird, BlueMadeInAPausedWorldPicksItsHeadingOnResume) {
    GameFixture world(kBirdWorld);
    world.engine.SetPaused(true);
    Composition* blue = world.Spawn("blue-obj", Vec3(-10, 0, 0));
    EXPECT_EQ(blue->GetTransform()->GetRotationY(), 0.0f);
    EXPECT_EQ(VelocityRef(blue), Vec3(0, 0, 0));
    world.engine.SetPaused(false);
    world.core.Send("GameResumed");
    EXPECT_NEAR(VelocityRef(blue).Length(), 1.0f, 1e-5f);
    const Vec3 heading = VelocityRef(blue);
    world.core.Send("GameResumed");
    EXPECT_EQ(VelocityRef(blue), heading) << "picked once";
}

TEST(Bird, ContactThrowsTheBirdBackHurtsAndPushesThePlayer) {
    GameFixture world(kBirdWorld);
    world.RecordGlobal({"PlaySound"});
    Composition* player = world.Spawn("bird-player-obj", Vec3(0, 0, 0));
    world.Record(player, {"DamagePlayer", "KnockbackPlayer"});
    Composition* red = world.Spawn("red-obj", Vec3(3, 5, 4));
    Composition* green = world.Spawn("green-obj", Vec3(-4, 0, 0));
    red->GetTransform()->SetRotation(Vec3(0, 33, 0));
    Contact(red, player, 1);
    auto* throwBack = FirstAction<TimedMoveToAction>(red);
    ASSERT_NE(throwBack, nullptr);
    EXPECT_TRUE(throwBack->IsBlocking());
    EXPECT_EQ(red->GetTransform()->GetRotationY(), 33.0f) << "red keeps its facing";
    world.Step(0.05f);
    EXPECT_NEAR(VelocityRef(red).x, 6.0f / 0.2f, 1e-3f) << "10 units along (3, 0, 4) / 5 in 0.2 s";
    EXPECT_NEAR(VelocityRef(red).z, 8.0f / 0.2f, 1e-3f);
    EXPECT_NEAR(VelocityRef(red).y, 0.0f, 1e-3f) << "the bob waits behind the move";
    Contact(green, player, 0);
    EXPECT_NEAR(green->GetTransform()->GetRotationY(), 90.0f, 1e-3f) << "green turns away (toward -x)";
    EXPECT_EQ(world.SentTo(player),
              (std::vector<std::string>{"DamagePlayer(2, 0.5)", "KnockbackPlayer((-30, 0, -40))", "DamagePlayer(3, 0.5)",
                                        "KnockbackPlayer((50, 0, 0))"}));
    world.sent.clear();
    Composition* onTop = world.Spawn("green-obj", Vec3(0, 3, 0));
    Contact(onTop, player, 2);
    EXPECT_EQ(FirstAction<TimedMoveToAction>(onTop), nullptr);
    EXPECT_EQ(world.SentTo(player), (std::vector<std::string>{"DamagePlayer(3, 0.5)", "KnockbackPlayer((0, 0, 0))"}));
    EXPECT_EQ(world.Count("PlaySound(light-thud-sfx)"), 1);
    Composition* pink = world.Spawn("pink-obj", Vec3(1, 0, 0));
    Contact(pink, player, 0);
    EXPECT_EQ(world.SentTo(player).at(2), "DamagePlayer(0, 0.5)") << "no Damage key: 0";
}

TEST(Bird, SplitsDrawTwoBirdsByWeightAndBadPagesDrawNone) {
    GameFixture world(kBirdWorld);
    world.RecordGlobal({"PlaySound"});
    world.AddPropertyPage("bird-split-map",
                          "<red-obj>split-mix</red-obj><blue-obj>split-one</blue-obj><pink-obj>split-zero</pink-obj>"
                          "<green-obj>split-gone</green-obj><hollow-obj>split-empty</hollow-obj>");
    world.AddPropertyPage("split-empty", "");
    world.AddPropertyPage("split-one", "<green-obj>5</green-obj>");
    world.AddPropertyPage("split-mix", "<green-obj>1</green-obj><pink-obj>3</pink-obj>");
    world.AddPropertyPage("split-zero",
                          "<green-obj>0</green-obj><red-obj>-4</red-obj><blue-obj>x</blue-obj><ghost-obj>0</ghost-obj>");
    world.properties.SetPageSource("split-zero", "rsc/pages/split-zero.xpro");
    world.properties.SetPageSource("bird-split-map", "rsc/pages/bird-split-map.xpro");
    auto dies = [&world](const char* archetype) {
        Composition* bird = world.Spawn(archetype, Vec3(2, 0, 2));
        const u32 id = bird->GetId();
        bird->Send("ObjectDead");
        world.Step(0.01f);
        EXPECT_FALSE(world.Alive(id)) << archetype;
    };
    testing::internal::CaptureStdout();
    dies("blue-obj");
    EXPECT_EQ(LiveNamed(world.objects, "green-obj"), 2) << "one entry gives two of it";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the empty split effect asks for nothing";

    int draws[] = {4, 5};  // 4 % 4 = 0 picks green (weight 1), 5 % 4 = 1 pink
    int next = 0;
    SetRandSourceForTests([&] { return draws[next++ % 2]; });
    dies("red-obj");
    SetRandSourceForTests({});
    EXPECT_EQ(LiveNamed(world.objects, "green-obj"), 3);
    EXPECT_EQ(LiveNamed(world.objects, "pink-obj"), 1);

    world.sent.clear();
    const int before = int(world.objects.GetLiveObjects().size());
    dies("pink-obj");  // every weight 0, negative or no number
    dies("hollow-obj");  // an empty page
    Composition* green = world.Spawn("green-obj", Vec3(0, 0, 0));
    SendObjectMessageBool(green, "BirdSetCanSplit", true);
    green->Send("ObjectDead");  // its page does not exist
    world.Step(0.01f);
    EXPECT_EQ(int(world.objects.GetLiveObjects().size()), before);
    EXPECT_EQ(world.Count("PlaySound(bird-split-sfx)"), 3);
    EXPECT_NE(world.log.find("'split-gone' does not exist"), std::string::npos);
    EXPECT_NE(world.log.find("'split-zero' has no positive weights"), std::string::npos);
    // Each bad entry once, on a line that starts with the page's file.
    for (const char* line : {"rsc/pages/split-zero.xpro: property page 'split-zero': 'red-obj' has the weight '-4', not "
                             "a whole number above 0; it is never picked",
                             "rsc/pages/split-zero.xpro: property page 'split-zero': 'blue-obj' has the weight 'x'",
                             "rsc/pages/split-zero.xpro: property page 'split-zero': 'ghost-obj' is no archetype",
                             "rsc/pages/split-zero.xpro: property page 'split-zero' has no positive weights",
                             "rsc/pages/bird-split-map.xpro: BirdComponent: property page 'split-gone' does not exist"}) {
        const std::size_t at = world.log.find(line);
        EXPECT_TRUE(at != std::string::npos && (at == 0 || world.log[at - 1] == '\n')) << line << "\n" << world.log;
    }

    world.sent.clear();
    Composition* lone = world.Spawn("lone-obj", Vec3(0, 0, 0));
    std::string effect = "rock-obj";
    SendObjectMessageStringPtr(lone, "BirdSetSplitFx", &effect);
    lone->Send("ObjectDead");
    world.Step(0.01f);
    EXPECT_EQ(world.SentTo(0u), (std::vector<std::string>{"PlaySound(bird-death-sfx)", "PlaySound(bird-split-sfx)"}));
    EXPECT_EQ(LiveNamed(world.objects, "rock-obj"), 1) << "the split effect, and no children";
    EXPECT_EQ(int(world.objects.GetLiveObjects().size()), before + 1);
}

TEST(Bird, EditedBirdsAndFoxesSurviveARoomRoundTrip) {
    GameFixture world(kBirdWorld);
    RoomObjects placed(world.factory);
    placed.objects = {world.factory.Create("pink-obj"), world.factory.Create("fox-obj")};
    ComponentTest::Panel birdPanel, foxPanel;
    placed.objects[0]->ExposeProperties(&birdPanel);
    placed.objects[1]->ExposeProperties(&foxPanel);
    EXPECT_EQ(std::count(birdPanel.entries.begin(), birdPanel.entries.end(), "string BirdColor"), 1);
    *birdPanel.floats.at("Damage") = 4.0f;
    *birdPanel.floats.at("MaxTurnAngle") = 12.0f;
    *foxPanel.floats.at("TunnelingSpeed") = 6.0f;
    *foxPanel.floats.at("ProjectileCooldownRange_") = 0.75f;

    SerializerLevelSave writer;
    for (Composition* object : placed.objects) writer.WriteObject(*object);
    TiXmlPrinter printer;
    writer.Document().Accept(&printer);
    RoomObjects read(world.factory);
    ASSERT_TRUE(SerializerXML(true).ReadRoomText("trip", printer.CStr(), read));
    ASSERT_EQ(read.objects.size(), 2u);
    auto* bird = read.objects[0]->GetComponentAs<BirdComponent>();
    EXPECT_EQ(bird->GetDamage(), 4.0f);
    EXPECT_EQ(bird->GetBirdColor(), "Red");
    EXPECT_TRUE(bird->CanSplit());
    EXPECT_EQ(read.objects[1]->GetComponentAs<FoxComponent>()->GetProjectileCooldownRange(), 0.75f);
    EXPECT_NE(std::string(printer.CStr()).find("<TunnelingSpeed>6"), std::string::npos);
}

// A split map that leads back to a bird it starts from (blue splits into
// red, red into blue) is told once, on a line that starts with the map's
// file and walks the cycle; the birds still split as the pages say.
TEST(Bird, ASplitMapThatLeadsBackIsToldOnceByItsFile) {
    GameFixture world(kBirdWorld);
    world.AddPropertyPage("bird-split-map", "<red-obj>split-a</red-obj><blue-obj>split-b</blue-obj>");
    world.properties.SetPageSource("bird-split-map", "rsc/pages/bird-split-map.xpro");
    world.AddPropertyPage("split-a", "<blue-obj>1</blue-obj>");
    world.AddPropertyPage("split-b", "<red-obj>2</red-obj><green-obj>1</green-obj>");
    for (const char* archetype : {"red-obj", "blue-obj"}) {
        Composition* bird = world.Spawn(archetype, Vec3(2, 0, 2));
        SendObjectMessageBool(bird, "BirdSetCanSplit", true);
        bird->Send("ObjectDead");
        world.Step(0.01f);
    }
    const std::string line = "rsc/pages/bird-split-map.xpro: property page 'bird-split-map' splits in a cycle "
                             "('blue-obj' -> 'split-b' -> 'red-obj' -> 'split-a' -> 'blue-obj')";
    const std::size_t at = world.log.find(line);
    EXPECT_NE(at, std::string::npos) << world.log;
    EXPECT_EQ(world.log.find(line, at + 1), std::string::npos) << "once";
    EXPECT_EQ(LiveNamed(world.objects, "blue-obj") + LiveNamed(world.objects, "red-obj") +
                  LiveNamed(world.objects, "green-obj"),
              4);
}

}  // namespace
}  // namespace Vandle::GameTest
