#include "engine/actions/AnimationAction.h"
#include "engine/actions/PlaySoundAction.h"
#include "engine/actions/RandomFloat.h"
#include "engine/actions/SpawnAction.h"
#include "engine/actions/TimedBlockAction.h"
#include "engine/actions/TimedLifeAction.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/FidgetControl.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/ActionList.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/MetaClass.h"
#include "engine/core/MetaRegistryInst.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"
#include "tests/engine/actions/ActionWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel::ComponentTest {

// Counts the "FinishedSpawning" its object receives.
class SpawnProbe final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("tspn");
    void Initialize() override {
        if (GetHandle()) GetOwner()->Listen("FinishedSpawning", MakeDelegate(this, &SpawnProbe::OnFinished));
    }
    Component* Clone() const override { return NewComponentOf<SpawnProbe>(); }
    void Uninitialize() override {}
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override { return Variant(this); }
    void OnFinished() { ++finished; }
    int finished = 0;
};

}  // namespace Ostrel::ComponentTest

LV_DECLARE_META_CLASS(Ostrel::ComponentTest::SpawnProbe);
LV_REFLECT_CLASS(Ostrel::ComponentTest::SpawnProbe);

namespace Ostrel::ActionTest {
namespace {

using ComponentTest::SpawnProbe;
using ComponentTest::WriteScratchFile;

// Records, in order, the animation messages an object receives, as "Name"
// or "Name=value".
class ObjectMessageLog {
public:
    void Listen(Composition& object, const std::string& name) {
        m_named.push_back(std::make_unique<Named>(Named{this, name}));
        Named* named = m_named.back().get();
        if (name == "SetSkeleton" || name == "SetAnimation") {
            object.Listen(name, MakeDelegate(named, &Named::OnText));
        } else if (name == "SetShowBindPose") {
            object.Listen(name, MakeDelegate(named, &Named::OnBool));
        } else {
            object.Listen(name, MakeDelegate(named, &Named::OnBare));
        }
    }
    std::vector<std::string> lines;

private:
    // One per name, so the handler knows which message it got.
    struct Named {
        ObjectMessageLog* log;
        std::string name;
        void OnBare() { log->lines.push_back(name); }
        void OnText(std::string* text) { log->lines.push_back(name + "=" + *text); }
        void OnBool(bool value) { log->lines.push_back(name + (value ? "=1" : "=0")); }
    };
    std::vector<std::unique_ptr<Named>> m_named;
};

// A fidget that only records what the animation action asks of it, into
// the same list as the messages. Owned by the test: the factory did not make
// it and leaves it alone when the object goes.
class RecordingFidget final : public Component, public FidgetControl {
public:
    explicit RecordingFidget(std::vector<std::string>* lines) : m_lines(lines) {}
    void Initialize() override {}
    Component* Clone() const override { return nullptr; }
    void Uninitialize() override {}
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return FidgetControl::kTypeId; }
    Variant ToVariant() override { return Variant(); }
    void SetAnimation(const std::string& name) override { m_lines->push_back("fidget animation " + name); }
    void SetAnimationRate(f32 rate) override { m_lines->push_back("rate=" + std::to_string(rate).substr(0, 3)); }
    void SetLooping(bool looping) override { m_lines->push_back(looping ? "loop=1" : "loop=0"); }

private:
    std::vector<std::string>* m_lines;
};

const char* const kArchetypes = R"(
<spawner-obj>
    <TransformComponent>
        <PosX>5.000000</PosX>
        <RotY>90.000000</RotY>
    </TransformComponent>
    <MessageComponent />
    <BrainComponent />
</spawner-obj>
<minion-obj>
    <TransformComponent>
        <PosY>1.000000</PosY>
    </TransformComponent>
    <MessageComponent />
    <SpawnProbe />
</minion-obj>
<actor-obj>
    <TransformComponent />
    <MessageComponent />
    <BrainComponent />
    <MeshComponent>
        <MeshID>Cube</MeshID>
        <Visible>0</Visible>
    </MeshComponent>
</actor-obj>
)";

class SpawnWorld : public ActionWorld {
public:
    SpawnWorld() : ActionWorld("") {
        factory.AddComponentType(new ComponentFactory<SpawnProbe>(SpawnProbe::kTypeId), SpawnProbe::kTypeId,
                                 "SpawnProbe");
        SerializerXML(true).LoadObjects(WriteScratchFile("spawn-archetypes.xobj", kArchetypes));
        factory.InitializeArchetypes();
        spawner = Create("spawner-obj");
        Step(0.0f);
    }

    SpawnAction* Start(const std::string& archetype, f32 period, int maximum) {
        auto* action = new SpawnAction(archetype, period, maximum);
        action->SetOwner(spawner->GetId());
        GetBrainComponentOf(spawner)->AddAction(action);
        return action;
    }
    // The live objects made from minion-obj.
    std::vector<u32> Minions() const {
        std::vector<u32> ids;
        objects.FindObjectsWithComponent(SpawnProbe::kTypeId, ids);
        return ids;
    }
    // Steps of 0.25 s; returns the number of minions after each.
    std::vector<std::size_t> Run(int steps) {
        std::vector<std::size_t> counts;
        for (int i = 0; i < steps; ++i) {
            Step(0.25f);
            counts.push_back(Minions().size());
        }
        return counts;
    }

    Composition* spawner = nullptr;
};

TEST(SpawnAction, SpawnsOncePerPeriodUpToTheMaximumAndRefillsAfterADestruction) {
    SpawnWorld world;
    SpawnAction* action = world.Start("minion-obj", 1.0f, 3);
    // Strictly more than a period: 1.0 s is not enough, 1.25 s is.
    EXPECT_EQ(world.Run(13), (std::vector<std::size_t>{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3}));
    EXPECT_EQ(world.Run(8), std::vector<std::size_t>(8, 3));

    const std::vector<u32> minions = world.Minions();
    for (u32 id : minions) {
        Composition* minion = world.objects.GetObject(id);
        EXPECT_FALSE(minion->GetSaveFlag());
        EXPECT_EQ(minion->GetComponentAs<SpawnProbe>()->finished, 1);
        // At the spawner plus the archetype's own offset, turned like it.
        const auto* transform = minion->GetTransform();
        EXPECT_EQ(transform->GetPosition(), Vec3(5, 1, 0));
        EXPECT_EQ(transform->GetRotation(), Vec3(0, 90, 0));
    }
    world.objects.DestroyObject(minions[1]);
    EXPECT_EQ(world.Run(1), (std::vector<std::size_t>{2}));
    EXPECT_EQ(action->GetSpawned().size(), 2u);
    // The next period fills the gap.
    EXPECT_EQ(world.Run(4), (std::vector<std::size_t>{2, 2, 3, 3}));
}

TEST(SpawnAction, MaximumBelowOneIsUnlimitedAndPeriodZeroIsOneShot) {
    SpawnWorld world;
    world.Start("minion-obj", 0.5f, 0);
    EXPECT_EQ(world.Run(12).back(), 5u);

    SpawnWorld once;
    once.Start("minion-obj", 0.0f, 1);
    once.Step(0.0f);
    EXPECT_EQ(once.Minions().size(), 0u);
    EXPECT_EQ(once.Run(4), (std::vector<std::size_t>{1, 1, 1, 1}));
    EXPECT_TRUE(GetBrainComponentOf(once.spawner)->GetActionList()->IsEmpty());
}

TEST(SpawnAction, UpdateSpawnActionReplacesEverythingAndPeriodZeroEndsARunningSpawner) {
    SpawnWorld world;
    world.Start("minion-obj", 10.0f, 5);
    world.Run(2);
    SendObjectMessageValues(world.spawner, "UpdateSpawnAction", std::string("minion-obj"), 0.0f, 5);
    EXPECT_EQ(world.Run(3), (std::vector<std::size_t>{1, 1, 1}));
    EXPECT_TRUE(GetBrainComponentOf(world.spawner)->GetActionList()->IsEmpty());
}

TEST(SpawnAction, AMissingArchetypeIsLoggedOnceAndDoesNotStallTheSpawner) {
    SpawnWorld world;
    SpawnAction* action = world.Start("ghost-obj", 0.25f, 1);
    world.Run(6);
    EXPECT_TRUE(action->GetSpawned().empty());
    EXPECT_TRUE(action->CanSpawn());
    const std::string line = "SpawnAction of object " + std::to_string(world.spawner->GetId()) +
                             ": archetype 'ghost-obj' could not be created";
    const auto first = world.log.find(line);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(world.log.find(line, first + 1), std::string::npos);

    SendObjectMessageValues(world.spawner, "UpdateSpawnAction", std::string("minion-obj"), 0.25f, 1);
    EXPECT_EQ(world.Run(3), (std::vector<std::size_t>{0, 1, 1}));
}

TEST(SpawnAction, EndingUnsubscribesSoLaterDestructionsReachNothing) {
    SpawnWorld world;
    auto* action = new SpawnAction("minion-obj", 0.0f, 0);
    action->SetOwner(world.spawner->GetId());
    action->OnStart();
    action->OnUpdate(0.0f);
    ASSERT_EQ(action->GetSpawned().size(), 1u);
    action->OnEnd();
    delete action;
    // The global "ObjectDestroyed" of the spawned object must not reach the
    // deleted action (ASan would report the use).
    world.objects.DestroyObject(world.Minions().front());
    world.Step(0.25f);
    EXPECT_TRUE(world.Minions().empty());
}

TEST(TimedActions, BlockHoldsItsLaneUntilMoreThanItsTimeAndLifeNeedsMoreThanItsTime) {
    TimedBlockAction block(0.5f);
    EXPECT_EQ(block.Update(0.25f), kActionBlocking);
    EXPECT_EQ(block.Update(0.25f), kActionBlocking);
    EXPECT_EQ(block.Update(0.25f), kActionFinished);

    ActionWorld world(kArchetypes);
    Composition* actor = world.Create("actor-obj");
    const u32 id = actor->GetId();
    world.Step(0.0f);
    auto* life = new TimedLifeAction(2.0f);
    life->SetOwner(id);
    GetBrainComponentOf(actor)->AddAction(life);
    for (int i = 0; i < 4; ++i) world.Step(0.5f);
    world.Step(0.0f);
    ASSERT_NE(world.objects.GetObject(id), nullptr) << "exactly 2.0 s is not enough";
    world.Step(0.5f);
    EXPECT_NE(world.objects.GetObject(id), nullptr) << "destroyed at the manager's next update";
    world.Step(0.0f);
    EXPECT_EQ(world.objects.GetObject(id), nullptr);
}

// Counts its steps; queued behind a block in the same lane it waits.
class CountingAction final : public ActionBase {
public:
    explicit CountingAction(int* steps) : m_steps(steps) {}
    int OnUpdate(f32) override {
        ++*m_steps;
        return kActionRunning;
    }

private:
    int* m_steps;
};

TEST(TimedActions, ABlockAddedAfterAnActionOfItsLaneMakesItWait) {
    ActionWorld world(kArchetypes);
    Composition* actor = world.Create("actor-obj");
    world.Step(0.0f);
    int steps = 0;
    BrainComponent* brain = GetBrainComponentOf(actor);
    brain->AddAction(new CountingAction(&steps));
    brain->AddAction(new TimedBlockAction(0.5f));
    for (int i = 0; i < 3; ++i) world.Step(0.25f);
    EXPECT_EQ(steps, 1) << "held twice, released on the step the block finished";
}

TEST(SoundAndAnimationActions, SendTheirMessagesInOrderAndFinishInOneStep) {
    ObjectMessageLog messages;
    RecordingFidget fidget(&messages.lines);
    ActionWorld world(kArchetypes);
    Composition* actor = world.Create("actor-obj");
    ASSERT_TRUE(actor->AddComponent(&fidget));
    world.Step(0.0f);

    std::vector<std::string> sounds;
    struct SoundLog {
        std::vector<std::string>* sounds;
        void OnPlaySound(std::string* name) { sounds->push_back(*name); }
    } soundLog{&sounds};
    const FunctionRef onSound = MakeDelegate(&soundLog, &SoundLog::OnPlaySound);
    world.core.Listen("PlaySound", onSound);
    PlaySoundAction sound;
    sound.SetSound("light-thud-sfx");
    EXPECT_EQ(sound.Update(0.016f), kActionFinished);
    world.core.Unlisten("PlaySound", onSound);
    EXPECT_EQ(sounds, (std::vector<std::string>{"light-thud-sfx"}));

    for (const char* name : {"SetShowBindPose", "SetSkeleton", "SetAnimation", "RefreshAnimation"})
        messages.Listen(*actor, name);
    auto* animation = new AnimationAction;
    animation->SetOwner(actor->GetId());
    animation->SetAnimation("hinge-wave");
    animation->SetMeshVisible(true);
    animation->SetSkeletonName("hinge");
    animation->SetShowBindPose(false);
    animation->SetLoop(false);
    animation->SetRate(1.5f);
    GetBrainComponentOf(actor)->AddAction(animation);
    world.Step(0.016f);
    // The new clip is chosen and refreshed before its rate and looping are set.
    EXPECT_EQ(messages.lines,
              (std::vector<std::string>{"SetShowBindPose=0", "SetSkeleton=hinge", "SetAnimation=hinge-wave",
                                        "RefreshAnimation", "rate=1.5", "loop=0"}));
    EXPECT_TRUE(actor->GetComponentAs<MeshComponent>()->IsVisible());
    EXPECT_TRUE(GetBrainComponentOf(actor)->GetActionList()->IsEmpty());

    // Nothing set: nothing sent. No owner: no effect, still one step.
    messages.lines.clear();
    AnimationAction empty;
    empty.SetOwner(actor->GetId());
    EXPECT_EQ(empty.Update(0.016f), kActionFinished);
    AnimationAction orphan;
    orphan.SetOwner(actor->GetId() + 7);
    orphan.SetAnimation("hinge-wave");
    EXPECT_EQ(orphan.Update(0.016f), kActionFinished);
    EXPECT_TRUE(messages.lines.empty());
}

TEST(EngineActions, AreMetaClassesMadeWithEmptyArguments) {
    for (const char* name : {"SpawnAction", "TimedBlockAction", "TimedLifeAction", "PlaySoundAction",
                             "AnimationAction"}) {
        MetaClass* meta = MetaRegistryInst::Instance().Find(name);
        ASSERT_NE(meta, nullptr) << name;
        void* made = meta->New();
        ASSERT_NE(made, nullptr) << name;
        meta->Delete(made);
    }
}

TEST(RandomFloat, StaysWithinItsRangeAndReachesBothEnds) {
    SRand(7);
    bool low = false;
    bool high = false;
    for (int i = 0; i < 1000000; ++i) {
        const float value = RandomFloat(0.0f, 1.0f);
        ASSERT_GE(value, 0.0f);
        ASSERT_LE(value, 1.0f);
        low = low || value == 0.0f;
        high = high || value == 1.0f;
    }
    EXPECT_TRUE(low);
    EXPECT_TRUE(high);
    EXPECT_EQ(RandomFloat(2.0f, 2.0f), 2.0f);

    // The extreme draws stay within the range, also where rounding the sum
    // back to float could step past an end; the lowest gives min exactly.
    for (int draw : {0, kRandMax}) {
        SetRandSourceForTests([draw] { return draw; });
        for (auto [lo, hi] : {std::pair{0.1f, 0.7f}, {-0.7f, 0.1f}, {-3.3f, 1.9f}, {1e-3f, 12345.678f}, {5.0f, -5.0f}}) {
            const float value = RandomFloat(lo, hi);
            EXPECT_GE(value, std::min(lo, hi)) << lo << " " << hi;
            EXPECT_LE(value, std::max(lo, hi)) << lo << " " << hi;
            if (draw == 0) {
                EXPECT_EQ(value, lo);
            }
        }
    }
    SetRandSourceForTests({});
}

}  // namespace
}  // namespace Ostrel::ActionTest
