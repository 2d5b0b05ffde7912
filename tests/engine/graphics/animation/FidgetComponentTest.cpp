#include "tests/engine/components/ComponentWorld.h"
#include "tests/engine/graphics/animation/AnimationTestSupport.h"

#include "engine/actions/DamagePlayerAction.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/MessageListenerTable.h"
#include "engine/graphics/animation/AnimationController.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/AnimationSystem.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "engine/graphics/animation/SkeletonManager.h"

#include <gtest/gtest.h>

#include <memory>

namespace Ostrel {
namespace {

using ComponentTest::ComponentWorld;
using ComponentTest::TextSerializer;

const char kArchetypes[] = R"(
<prop-obj>
    <TransformComponent/>
    <MessageComponent/>
    <BrainComponent/>
    <FidgetComponent>
        <skeleton-name>rig</skeleton-name>
        <animation-name>idle-anim</animation-name>
    </FidgetComponent>
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
</prop-obj>
)";

// The asset managers come first: the archetypes look their assets up when
// the world initialises them.
struct Assets {
    Assets() {
        animations.AddAnimation("idle-anim", ToClipData(AnimationTest::MakeBendClip(3, 5, 2.0f)));
        animations.AddAnimation("brisa-ouch-anim", ToClipData(AnimationTest::MakeBendClip(3, 3, 1.0f)));
        skeletons.AddSkeleton("rig", AnimationTest::MakeChain(3));
        skeletons.AddSkeleton("tall-rig", AnimationTest::MakeChain(5));
    }
    static ModelAnimationData ToClipData(const Animation& clip) { return {clip.duration, clip.tracks}; }

    AnimationManager animations;
    SkeletonManager skeletons;
};

struct FidgetWorld : Assets, ComponentWorld {
    FidgetWorld() : ComponentWorld(kArchetypes) {}
    static FidgetComponent* Fidget(Composition* o) { return o->GetComponentAs<FidgetComponent>(); }
};

TEST(FidgetComponent, AHitOnThePlayerSwitchesToTheHurtClipAtRateOneAndAHalf) {
    FidgetWorld world;
    Composition* player = world.Create("prop-obj");
    auto* damage = new DamagePlayerAction;
    damage->SetOwner(player->GetId());
    player->GetComponentAs<BrainComponent>()->AddAction(damage);
    damage->OnBypassTimer();
    float amount = 3, coolDown = 0.5f;
    SendObjectMessageValues(player, "DamagePlayer", amount, coolDown);
    FidgetComponent* fidget = FidgetWorld::Fidget(player);
    EXPECT_EQ(fidget->GetAnimationName(), "brisa-ouch-anim");
    EXPECT_EQ(fidget->GetController().GetAnimation(), world.animations.Find("brisa-ouch-anim"));
    EXPECT_EQ(fidget->GetController().GetRate(), 1.5f);
}

TEST(FidgetComponent, AnUnknownNameKeepsTheClipPlayingButReadsNoLength) {
    FidgetWorld world;
    FidgetComponent* fidget = FidgetWorld::Fidget(world.Create("prop-obj"));
    const Animation* idle = world.animations.Find("idle-anim");
    ASSERT_EQ(fidget->GetAnimation(), idle);
    EXPECT_EQ(fidget->GetAnimationLength(), 2.0f);
    std::string unknown = "no-such-anim";
    SendObjectMessageValues(fidget->GetOwner(), "SetAnimation", &unknown);
    EXPECT_EQ(fidget->GetAnimation(), nullptr);
    EXPECT_EQ(fidget->GetAnimationLength(), 0.0f);
    EXPECT_EQ(fidget->GetAnimationName(), "idle-anim");
    EXPECT_EQ(fidget->GetController().GetAnimation(), idle);
    fidget->Update(0.5f);
    EXPECT_EQ(fidget->GetAnimationTime(), 0.5f);

    // Before Initialize a name is only stored; Initialize looks it up.
    auto* fresh = static_cast<FidgetComponent*>(world.factory.CreateComponent(FidgetComponent::kTypeId));
    fresh->SetAnimation("brisa-ouch-anim");
    EXPECT_EQ(fresh->GetAnimation(), nullptr);
    fresh->Initialize();
    EXPECT_EQ(fresh->GetAnimation(), world.animations.Find("brisa-ouch-anim"));
    world.factory.DestroyComponent(fresh);
}

TEST(FidgetComponent, RefreshRebuildsThePoseOfAStoppedFidgetWithoutMovingTime) {
    FidgetWorld world;
    FidgetComponent* fidget = FidgetWorld::Fidget(world.Create("prop-obj"));
    fidget->SetRunning(false);
    fidget->SetAnimationTime(0.75f);
    EXPECT_EQ(fidget->GetController().GetPoses()[2].matrix, Matrix4());  // never posed yet
    fidget->GetOwner()->Send("RefreshAnimation");
    EXPECT_EQ(fidget->GetAnimationTime(), 0.75f);
    EXPECT_NE(fidget->GetController().GetPoses()[2].matrix, Matrix4());
    fidget->Update(0.25f);
    EXPECT_EQ(fidget->GetAnimationTime(), 0.75f);

    bool show = true;
    SendObjectMessageValues(fidget->GetOwner(), "SetShowBindPose", show);
    EXPECT_EQ(fidget->GetController().GetPlaying(), 0u);
    show = false;
    SendObjectMessageValues(fidget->GetOwner(), "SetShowBindPose", show);
    EXPECT_EQ(fidget->GetController().GetPlaying(), 1u);
    EXPECT_EQ(fidget->GetAnimationTime(), 0.75f);
}

TEST(FidgetComponent, ReadingASkeletonNameIntoACloneDropsTheCopiedSkeleton) {
    FidgetWorld world;
    FidgetComponent* prototype = FidgetWorld::Fidget(world.Create("prop-obj"));
    auto* clone = static_cast<FidgetComponent*>(prototype->Clone());
    EXPECT_EQ(clone->GetSkeleton(), world.skeletons.Find("rig"));
    EXPECT_EQ(clone->GetController().GetSkeleton(), world.skeletons.Find("rig"));
    EXPECT_NE(&clone->GetController(), &prototype->GetController());
    TextSerializer reader(true);
    reader.values["skeleton-name"] = "tall-rig";
    clone->Serialize(&reader);
    EXPECT_EQ(clone->GetSkeleton(), nullptr);
    EXPECT_EQ(clone->GetAnimation(), world.animations.Find("idle-anim"));  // its name was not read
    clone->Initialize();
    EXPECT_EQ(clone->GetSkeleton(), world.skeletons.Find("tall-rig"));
    EXPECT_EQ(clone->GetController().GetPoses().size(), 5u);
    world.factory.DestroyComponent(clone);
}

TEST(FidgetComponent, AfterUninitializeItsFourMessagesNoLongerReachIt) {
    FidgetWorld world;
    Composition* prop = world.Create("prop-obj");
    FidgetComponent* fidget = FidgetWorld::Fidget(prop);
    MessageListenerTable& table = prop->GetComponentAs<MessageComponent>()->GetTable();
    const char* names[] = {"SetAnimation", "SetSkeleton", "SetShowBindPose", "RefreshAnimation"};
    for (const char* name : names) EXPECT_EQ(table.GetListeners(name).size(), 1u) << name;
    fidget->Uninitialize();
    for (const char* name : names) EXPECT_TRUE(table.GetListeners(name).empty()) << name;
    std::string ouch = "brisa-ouch-anim";
    SendObjectMessageValues(prop, "SetAnimation", &ouch);
    EXPECT_EQ(fidget->GetAnimationName(), "idle-anim");
    fidget->Initialize();  // back on the object, once
    for (const char* name : names) EXPECT_EQ(table.GetListeners(name).size(), 1u) << name;
}

TEST(FidgetComponent, TheAnimationWorkersStepEveryFidgetOnce) {
    FidgetWorld world;
    AnimationSystem animation;
    animation.SetProcessorCount(4);
    world.engine.AddSystem(&animation);
    animation.Initialize();
    std::vector<FidgetComponent*> fidgets;
    for (int i = 0; i < 40; ++i) fidgets.push_back(FidgetWorld::Fidget(world.Create("prop-obj")));
    fidgets[7]->SetRunning(false);
    world.objects.Update(0.0f);
    animation.Update(0.25f);
    animation.Shutdown();
    for (std::size_t i = 0; i < fidgets.size(); ++i) {
        EXPECT_EQ(fidgets[i]->GetAnimationTime(), i == 7 ? 0.0f : 0.25f) << i;
        EXPECT_NE(fidgets[i]->GetController().GetPoses()[2].matrix, Matrix4()) << i;
    }
}

}  // namespace
}  // namespace Ostrel
