#include "tests/game/GameFixture.h"

#include "engine/actions/RotationalVelocityAction.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Random.h"
#include "engine/graphics/animation/AnimationController.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "game/enemies/FoxAIAction.h"
#include "game/enemies/FoxComponent.h"
#include "game/enemies/ThrowRubbleAction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace Vandle::GameTest {
namespace {

const char kFoxWorld[] = R"(
<fox-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static><CollideWithStatics>1</CollideWithStatics></CollisionComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <FidgetComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>10</Health></HealthComponent>
    <FoxComponent>
        <WorkTime>10</WorkTime><TravelTime>1</TravelTime><DigUpAnimLength>1</DigUpAnimLength>
        <LookAroundAnimLength>1.5</LookAroundAnimLength><ProjectileName>rock-obj</ProjectileName>
    </FoxComponent>
</fox-obj>
<steady-fox-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static></CollisionComponent>
    <MessageComponent/>
    <BrainComponent/>
    <FoxComponent><ProjectileInnerAngle>30</ProjectileInnerAngle><ProjectileCooldownRange>0</ProjectileCooldownRange>
        <SpawnEffect>puff-obj</SpawnEffect><ProjectileName>rock-obj</ProjectileName></FoxComponent>
</steady-fox-obj>
<rock-obj>
    <TransformComponent><PosY>1</PosY></TransformComponent>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <RotationalVelocityComponent/>
</rock-obj>
<wall-obj>
    <TransformComponent><PosY>0</PosY></TransformComponent>
    <CollisionComponent><Static>1</Static><ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
    <MessageComponent/>
</wall-obj>
<trap-obj>
    <TransformComponent><PosY>2</PosY></TransformComponent>
    <CollisionComponent><Static>1</Static><ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
    <MessageComponent/>
    <DamageTrapComponent/>
</trap-obj>
<fox-player-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <PlayerComponent/>
</fox-player-obj>
<puff-obj><TransformComponent/></puff-obj>
<yak-fx-obj><TransformComponent/></yak-fx-obj>
<damage-enemy-fx><TransformComponent/></damage-enemy-fx>
)";

template <class A>
std::vector<A*> ActionsOf(Composition* object) {
    std::vector<A*> found;
    for (IAction* action : object->GetComponentAs<BrainComponent>()->GetActionList()->Actions())
        if (auto* a = dynamic_cast<A*>(action)) found.push_back(a);
    return found;
}

int CountLive(const ObjectManager& objects, const std::string& name) {
    int n = 0;
    for (u32 id : objects.GetLiveObjects()) n += objects.GetObject(id)->GetName() == name ? 1 : 0;
    return n;
}

void TouchWith(Composition* object, Composition* other, s32 side = kNoSide) {
    CollisionData contact;
    contact.other = other->GetId();
    contact.side = side;
    SendObjectMessageValues(object, "CollisionData", contact);
}

// Clips of known lengths: dig-up 0.5 s, look 3 s, dig-down 0.25 s.
struct FoxClips {
    FoxClips() {
        for (auto [name, seconds] : {std::pair{"boxfox-dig-up-anim", 0.5f}, std::pair{"boxfox-look-anim", 3.0f},
                                     std::pair{"boxfox-dig-down-anim", 0.25f}}) {
            ModelAnimationData clip;
            clip.duration = seconds;
            animations.AddAnimation(name, clip);
        }
    }
    AnimationManager animations;
};

TEST(Fox, SurfacesAtTheEndOfItsTenthLegWithItsSequenceWhileOnlyDamageAndFlashRun) {
    FoxClips clips;
    SRand(5);
    GameFixture world(kFoxWorld, GameOptions{true});
    world.RecordGlobal({"PlaySound"});
    Composition* fox = world.Spawn("fox-obj", Vec3(0, 0, 0));
    world.Record(fox, {"SetAnimation", "TakeDamage"});
    FoxAIAction* ai = ActionsOf<FoxAIAction>(fox).at(0);
    EXPECT_EQ(ActionsOf<ThrowRubbleAction>(fox).size(), 2u);
    EXPECT_FLOAT_EQ(ai->GetDigUpSpeed(), 0.5f);
    EXPECT_FLOAT_EQ(ai->GetLookSpeed(), 2.0f);
    EXPECT_FLOAT_EQ(ai->GetDigDownSpeed(), 0.25f);
    const auto& flags = world.Get<CollisionComponent>(fox)->GetFlags();
    auto* mesh = world.Get<MeshComponent>(fox);

    // Steps of 0.125 s: the first begins tunnelling; legs last 8 steps, so
    // the 10th ends at step 81 with 10.125 s of work.
    int step = 0;
    int surfaced = 0;
    while (step < 200 && !surfaced) {
        world.Step(0.125f);
        ++step;
        if (world.Count("PlaySound(fox-surface-sfx)")) surfaced = step;
        if (step == 2) {
            EXPECT_TRUE(ai->IsTunnelling());
            EXPECT_EQ(mesh->GetMeshId(), "boxfox-tail-mesh");
            EXPECT_TRUE(mesh->IsVisible() && mesh->IsImportant());
            EXPECT_FALSE(flags.collideWithDynamics || flags.resolveWithDynamics);
        }
    }
    EXPECT_EQ(surfaced, 81);
    EXPECT_EQ(mesh->GetMeshId(), "boxfox-dig-up-anim");
    EXPECT_FALSE(mesh->IsVisible() || mesh->IsImportant());
    EXPECT_TRUE(flags.collideWithDynamics && flags.resolveWithDynamics);
    const int rocksBefore = CountLive(world.objects, "rock-obj");
    EXPECT_GT(rocksBefore, 10) << "two throwers ran while it tunnelled";

    world.sent.clear();
    std::map<std::string, int> firstStep;
    f32 reddest = 1.0f;
    int rocksDuring = -1;
    std::vector<f32> rates;
    for (int i = 1; i <= 30; ++i) {
        if (i == 4) {
            SendObjectMessageFloat2(fox, "DamageEnemy", 3.0f, 0.0f);
            fox->Send("StartColorFlash");
        }
        world.Step(0.125f);
        for (const Sent& s : world.sent) firstStep.try_emplace(s.text, i);
        if (i == 1 || i == 10 || i == 20) rates.push_back(world.Get<FidgetComponent>(fox)->GetController().GetRate());
        if (i == 25) rocksDuring = CountLive(world.objects, "rock-obj");
        if (i >= 4 && i <= 6) reddest = std::min(reddest, mesh->GetTint().y);
        if (i < 26) {
            EXPECT_TRUE(flags.collideWithDynamics) << i;
        }
    }
    const std::vector<std::string> expected = {
        "SetAnimation(boxfox-dig-up-anim)", "PlaySound(fox-pant-sfx)", "SetAnimation(boxfox-look-anim)",
        "PlaySound(fox-burrow-sfx)", "SetAnimation(boxfox-dig-down-anim)", "SetAnimation(boxfox-tail-mesh)"};
    std::vector<std::string> order;
    for (const Sent& s : world.sent)
        if (s.text.rfind("SetAnimation", 0) == 0 || s.text.rfind("PlaySound", 0) == 0) order.push_back(s.text);
    EXPECT_EQ(order, expected);
    EXPECT_EQ(firstStep["SetAnimation(boxfox-dig-up-anim)"], 1);
    EXPECT_EQ(firstStep["PlaySound(fox-pant-sfx)"], 8) << "0.99 s of dig-up";
    EXPECT_EQ(firstStep["PlaySound(fox-burrow-sfx)"], 19) << "1.49 s of looking";
    EXPECT_EQ(firstStep["SetAnimation(boxfox-tail-mesh)"], 27) << "0.99 s of digging down, then a new leg";
    EXPECT_EQ(rates, (std::vector<f32>{0.5f, 2.0f, 0.25f})) << "natural length / wanted length";
    EXPECT_EQ(reddest, 0.0f) << "the flash lane runs during the sequence";
    EXPECT_EQ(firstStep["TakeDamage(3)"], 4) << "the damage lane runs during the sequence";
    EXPECT_EQ(rocksDuring, rocksBefore) << "the throwers are held above ground";
    EXPECT_FALSE(flags.collideWithDynamics) << "tunnelling again";
}

TEST(Fox, TurnsBackOffWallsOnlyAndWandersWithinItsTurnLimit) {
    {  // Without a player each leg turns by at most the limit; the top draw
       // turns +90 degrees: x' = cos a x + sin a z, z' = -sin a x + cos a z.
        GameFixture world(kFoxWorld);
        Composition* fox = world.Spawn("steady-fox-obj", Vec3(0, 0, 0));
        FoxAIAction* ai = ActionsOf<FoxAIAction>(fox).at(0);
        SetRandSourceForTests([] { return kRandMax; });
        world.Step(0.125f);
        SetRandSourceForTests({});
        EXPECT_NEAR(ai->GetHeading().x, 0.0f, 1e-6f);
        EXPECT_NEAR(ai->GetHeading().z, -1.0f, 1e-6f);
        EXPECT_NEAR(fox->GetTransform()->GetRotationY(), 0.0f, 1e-4f) << "facing -z";
        SRand(9);
        Vec3 last = ai->GetHeading();
        for (int i = 0; i < 80; ++i) {
            world.Step(0.125f);
            const Vec3 h = ai->GetHeading();
            const f32 turned = std::acos(std::clamp(h.x * last.x + h.z * last.z, -1.0f, 1.0f)) * 57.29578f;
            EXPECT_LE(turned, 90.0f + 1e-3f);
            last = h;
        }
    }
    GameFixture world(kFoxWorld);
    Composition* fox = world.Spawn("steady-fox-obj", Vec3(0, 1, 0));
    Composition* floor = world.Spawn("wall-obj", Vec3(0, 0, 0));
    Composition* wall = world.Spawn("wall-obj", Vec3(3, 1, 0));
    Composition* trap = world.Spawn("trap-obj", Vec3(-3, 2, 0));
    FoxAIAction* ai = ActionsOf<FoxAIAction>(fox).at(0);
    world.Run(0.75f, 0.125f);
    const Vec3 legEnd = ai->GetLegEnd();
    TouchWith(fox, floor);
    TouchWith(fox, trap);
    EXPECT_EQ(ai->GetLegEnd().x, legEnd.x);
    EXPECT_NE(world.Get<MovementComponent>(fox)->GetVelocity().LengthSquared(), 0.0f) << "neither turned it";
    TouchWith(fox, wall);
    const Vec3 back = (GameFixture::PositionOf(fox) - legEnd).Normalized();
    EXPECT_NEAR(ai->GetHeading().x, back.x, 1e-5f);
    EXPECT_NEAR(ai->GetHeading().z, back.z, 1e-5f);
    EXPECT_EQ(world.Get<MovementComponent>(fox)->GetVelocity().LengthSquared(), 0.0f);
    const Vec3 turned = ai->GetHeading();
    world.Step(0.125f);
    TouchWith(fox, wall);  // 0.125 s later: inside the half second
    EXPECT_EQ(ai->GetHeading().x, turned.x);
    EXPECT_NE(world.Get<MovementComponent>(fox)->GetVelocity().LengthSquared(), 0.0f);
}

TEST(Fox, MissingClipsPlayAtRateOneLoggedOnceAndContactsHurtThePlayer) {
    GameFixture world(kFoxWorld);
    world.RecordGlobal({"PlaySound"});
    Composition* player = world.Spawn("fox-player-obj", Vec3(0, 0, 3));
    world.Record(player, {"KnockbackPlayer", "DamagePlayer"});
    Composition* fox = world.Spawn("fox-obj", Vec3(0, 0, 0));
    world.Spawn("fox-obj", Vec3(5, 0, 0));
    FoxAIAction* ai = ActionsOf<FoxAIAction>(fox).at(0);
    EXPECT_EQ(AnimationManager::Instance(), nullptr);
    EXPECT_EQ(ai->GetDigUpSpeed(), 1.0f);
    EXPECT_EQ(ai->GetLookSpeed(), 1.0f);
    auto lines = [&world](const std::string& text) {
        int n = 0;
        for (size_t at = world.log.find(text); at != std::string::npos; at = world.log.find(text, at + 1)) ++n;
        return n;
    };
    // Once per clip name in the whole run: two foxes here log it once at most.
    EXPECT_LE(lines("clip 'boxfox-look-anim' is not loaded"), 1) << world.log;
    EXPECT_LE(lines("clip 'boxfox-dig-down-anim' is not loaded"), 1);
    EXPECT_EQ(FoxAIAction::PlaybackRate("fox-test-missing-clip", 2.0f), 1.0f);
    EXPECT_EQ(FoxAIAction::PlaybackRate("fox-test-missing-clip", 2.0f), 1.0f);
    EXPECT_EQ(lines("clip 'fox-test-missing-clip' is not loaded"), 1);
    {
        FoxClips clips;
        EXPECT_EQ(FoxAIAction::PlaybackRate("boxfox-look-anim", 0.0f), 1.0f) << "no division by 0";
        EXPECT_EQ(FoxAIAction::PlaybackRate("boxfox-look-anim", -1.0f), 1.0f);
        EXPECT_EQ(FoxAIAction::PlaybackRate("boxfox-look-anim", 6.0f), 0.5f);
    }

    TouchWith(fox, player);
    Composition* twin = world.Spawn("fox-player-obj", Vec3(0, 0, 0));
    world.Record(twin, {"KnockbackPlayer", "DamagePlayer"});
    TouchWith(fox, twin);
    EXPECT_EQ(world.SentTo(player), (std::vector<std::string>{"KnockbackPlayer((0, 0, 50))", "DamagePlayer(1, 1)"}));
    EXPECT_EQ(world.SentTo(twin), (std::vector<std::string>{"DamagePlayer(1, 1)"})) << "no push from the same point";
    EXPECT_EQ(world.Count("PlaySound(light-thud-sfx)"), 2);

    const u32 foxId = fox->GetId();
    fox->Send("FinishedSpawning");
    fox->Send("ObjectDead");
    EXPECT_EQ(world.Count("PlaySound(fox-spawn-sfx)"), 1);
    EXPECT_EQ(world.Count("PlaySound(fox-death-sfx)"), 1);
    world.Step(0.01f);
    EXPECT_FALSE(world.Alive(foxId));
    EXPECT_EQ(CountLive(world.objects, "yak-fx-obj"), 2);
}

TEST(Fox, KeysCloneAndPanelAndTheSharedAngleKey) {
    GameFixture world(kFoxWorld);
    Composition* fox = world.Spawn("steady-fox-obj", Vec3(0, 0, 0));
    auto* component = world.Get<FoxComponent>(fox);
    EXPECT_EQ(component->GetProjectileInnerAngle(), 30.0f);
    EXPECT_EQ(component->GetProjectileOuterAngle(), 30.0f) << "one key sets both angles";
    EXPECT_EQ(component->GetProjectileCooldownRange(), 0.0f);
    for (ThrowRubbleAction* thrower : ActionsOf<ThrowRubbleAction>(fox)) {
        EXPECT_EQ(thrower->GetInnerAngle(), 30.0f);
        EXPECT_EQ(thrower->GetOuterAngle(), 30.0f);
    }
    auto* copy = static_cast<FoxComponent*>(component->Clone());
    EXPECT_EQ(copy->GetSpawnEffect(), "puff-obj");
    EXPECT_EQ(copy->GetProjectileOuterAngle(), 30.0f);
    world.factory.DestroyComponent(copy);
    ComponentTest::Panel panel;
    component->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries,
              (std::vector<std::string>{"float TunnelingSpeed", "float TravelTime", "float MaxTurnAngle",
                                        "float WorkTime", "float BreakLength", "float CircleDistance",
                                        "float CircleWeight", "float ProjectileSpeed", "float ProjectileSpeedRange",
                                        "float ProjectileCooldown", "float ProjectileCooldownRange_",
                                        "float ProjectileInnerAngle", "float ProjectileInnerAngle",
                                        "string ProjectileName", "string DeathEffect", "string SpawnEffect"}));
    fox->Send("FinishedSpawning");
    world.Step(0.01f);
    EXPECT_EQ(CountLive(world.objects, "puff-obj"), 1);
}

// Throws from a still thrower at (5, 0, 2) facing heading 0, at 0.01 s steps.
struct Throws {
    std::vector<Vec3> velocities, positions, spins;
    std::vector<f32> times;
};
Throws Throw(f32 inner, f32 outer, int steps) {
    GameFixture world(kFoxWorld);
    Composition* thrower = world.Spawn("fox-player-obj", Vec3(5, 0, 2));
    auto* action = new ThrowRubbleAction;
    action->SetAngles(inner, outer);
    action->SetCooldown(0.5f, 0.3f);
    action->SetSpeed(20.0f, 5.0f);
    action->SetProjectileName("rock-obj");
    world.AddAction(thrower, action);
    Throws out;
    std::set<u32> seen;
    for (int i = 1; i <= steps; ++i) {
        world.Step(0.01f);
        for (u32 id : world.objects.GetLiveObjects()) {
            Composition* rock = world.objects.GetObject(id);
            if (rock->GetName() != "rock-obj" || !seen.insert(id).second) continue;
            out.times.push_back(f32(i) * 0.01f);
            out.velocities.push_back(world.Get<MovementComponent>(rock)->GetVelocity());
            out.positions.push_back(GameFixture::PositionOf(rock));
            out.spins.push_back(ActionsOf<RotationalVelocityAction>(rock).at(0)->GetRate());
        }
    }
    return out;
}

TEST(Rubble, TiltsSpeedsIntervalsStartsAndSpinsStayInTheirRanges) {
    SRand(77);
    const Throws t = Throw(10.0f, 60.0f, 3000);
    ASSERT_GT(t.times.size(), 30u);
    bool left = false, right = false;
    for (size_t i = 0; i < t.times.size(); ++i) {
        const Vec3& v = t.velocities[i];
        const f32 speed = v.Length();
        EXPECT_GE(speed, 20.0f - 1e-3f);
        EXPECT_LE(speed, 25.0f + 1e-3f);
        const f32 tilt = std::atan2(std::sqrt(v.x * v.x + v.z * v.z), v.y) * 57.29578f;
        EXPECT_GE(tilt, 10.0f - 1e-2f);
        EXPECT_LE(tilt, 60.0f + 1e-2f);
        EXPECT_NEAR(v.z, 0.0f, 1e-4f) << "heading 0 tilts about z only";
        (v.x < 0 ? left : right) = true;
        EXPECT_EQ(t.positions[i].x, 5.0f);
        EXPECT_EQ(t.positions[i].y, 1.0f) << "the archetype's offset";
        EXPECT_EQ(t.positions[i].z, 2.0f);
        const Vec3& s = t.spins[i];
        EXPECT_FLOAT_EQ(s.y, -s.x);
        EXPECT_GE(s.Length(), 1000.0f - 0.5f);
        EXPECT_LE(s.Length(), 1414.3f);
        if (i > 0) {
            const f32 interval = t.times[i] - t.times[i - 1];
            EXPECT_GE(interval, 0.5f - 1e-4f);
            EXPECT_LE(interval, 0.8f + 0.01f + 1e-4f);
        }
    }
    EXPECT_TRUE(left && right) << "mirrored on every other draw";
    for (const Vec3& v : Throw(0.0f, 0.0f, 300).velocities) {
        EXPECT_EQ(v.x, 0.0f);
        EXPECT_EQ(v.z, 0.0f);
        EXPECT_GE(v.y, 20.0f);
    }
}

}  // namespace
}  // namespace Vandle::GameTest
