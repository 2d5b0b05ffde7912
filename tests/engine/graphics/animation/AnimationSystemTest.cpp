#include "tests/engine/graphics/animation/AnimationTestSupport.h"

#include "engine/components/MeshComponent.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/PlaceholderComponent.h"
#include "engine/graphics/animation/AnimationSystem.h"
#include "engine/io/ConfigureFileXML.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace Ostrel {
namespace {

using AnimationTest::AnimatedProbe;
using AnimationTest::FinishesWithin;
using AnimationTest::MakeBendClip;
using AnimationTest::MakeChain;
using Slice = AnimationSystem::Slice;

// The real object manager and message table with mesh components and the
// probe under the animating type id.
class AnimationSystemTest : public ::testing::Test {
protected:
    AnimationSystemTest() {
        factory.AddComponentType(new ComponentFactory<MeshComponent>(MeshComponent::kTypeId), MeshComponent::kTypeId,
                                 "MeshComponent");
        factory.AddComponentType(new ComponentFactory<AnimatedProbe>(AnimatedProbe::kTypeId), AnimatedProbe::kTypeId,
                                 "FidgetComponent");
        engine.AddSystem(&core);
        engine.AddSystem(&objects);
        engine.AddSystem(&system);
    }
    ~AnimationSystemTest() override {
        system.Shutdown();
        objects.Shutdown();
    }

    void Start(u32 processors) {
        system.SetProcessorCount(processors);
        system.Initialize();
    }
    // A live, announced object with the chosen components.
    u32 Spawn(bool animated = true, bool mesh = true) {
        Composition* prototype = factory.Create("blank");
        if (animated) prototype->AddComponent(factory.CreateComponent(AnimatedProbe::kTypeId));
        if (mesh) prototype->AddComponent(factory.CreateComponent(MeshComponent::kTypeId));
        const u32 id = objects.CloneComposition(prototype);
        factory.Destroy(prototype);
        return id;
    }
    std::vector<u32> SpawnMany(int count) {
        std::vector<u32> ids;
        for (int i = 0; i < count; ++i) ids.push_back(Spawn());
        return ids;
    }
    AnimatedProbe& Probe(u32 id) { return *objects.GetObject(id)->GetComponentAs<AnimatedProbe>(); }

    // Every listed object was stepped exactly once more than before, and the
    // ids of each worker's slice on one worker thread of its own.
    void ExpectSlicesSteppedOnce(const std::vector<u32>& ids, const std::vector<Slice>& slices) {
        std::set<std::thread::id> threads;
        for (std::size_t w = 0; w < slices.size(); ++w) {
            EXPECT_EQ(system.GetLastSlice(w), slices[w]) << "worker " << w;
            for (s32 k = slices[w].first; k < slices[w].end; ++k) {
                const AnimatedProbe& probe = Probe(ids[std::size_t(k)]);
                EXPECT_EQ(probe.updates, 1) << "index " << k;
                EXPECT_EQ(probe.thread, Probe(ids[std::size_t(slices[w].first)]).thread) << "index " << k;
                EXPECT_NE(probe.thread, std::this_thread::get_id());
            }
            if (slices[w].first < slices[w].end) threads.insert(Probe(ids[std::size_t(slices[w].first)]).thread);
        }
        std::size_t nonEmpty = 0;
        for (const Slice& slice : slices) nonEmpty += slice.first < slice.end;
        EXPECT_EQ(threads.size(), nonEmpty) << "one thread per slice";
    }

    CompositionFactory factory;
    Engine engine;
    CoreSystem core;
    ObjectManager objects;
    AnimationSystem system;
};

TEST_F(AnimationSystemTest, ListsObjectsWithBothComponentsAndDropsThemBySwappingTheLastIn) {
    Start(1);
    const u32 a = Spawn();
    Spawn(true, false);
    Spawn(false, true);
    const u32 b = Spawn(), c = Spawn(), d = Spawn();
    EXPECT_EQ(system.GetObjectIds(), (std::vector<u32>{a, b, c, d}));
    objects.DestroyObject(b);
    objects.Update(0.0f);
    EXPECT_EQ(system.GetObjectIds(), (std::vector<u32>{a, d, c}));
    system.OnObjectDestroyed(12345);
    EXPECT_EQ(system.GetObjectIds().size(), 3u);

    // Objects gone without a message (the object manager's teardown) are
    // pruned before anything is stepped.
    objects.Shutdown();
    EXPECT_TRUE(FinishesWithin([&] { system.Update(0.1f); }));
    EXPECT_TRUE(system.GetObjectIds().empty());

    // A stand-in class under the animating type id is skipped, like none.
    Composition standIn;
    PlaceholderComponent<AnimatedComponent::kTypeId> placeholder;
    standIn.AddComponent(&placeholder);
    AnimationSystem::UpdateObject(&standIn, 0.1f);
    AnimationSystem::UpdateObject(nullptr, 0.1f);
}

TEST_F(AnimationSystemTest, F2TogglesThreadingOnlyInDebugMode) {
    Start(4);
    const u32 id = Spawn();
    EXPECT_TRUE(system.IsThreading());
    EXPECT_EQ(system.GetWorkerCount(), 4u);
    system.OnKeyTriggered(AnimationSystem::kToggleThreadingKey, true);
    EXPECT_TRUE(system.IsThreading()) << "debug is off";

    ConfigureFileXML config(true);
    ASSERT_TRUE(config.LoadFromText("<AnimationSystem><debug>1</debug></AnimationSystem>"));
    system.LoadConfig(&config);
    system.LoadConfig(nullptr);
    ASSERT_TRUE(system.IsDebug());
    system.OnKeyTriggered(AnimationSystem::kToggleThreadingKey, false);
    system.OnKeyTriggered('T', true);
    EXPECT_TRUE(system.IsThreading()) << "only a press of F2 toggles";
    const int key = AnimationSystem::kToggleThreadingKey;
    const bool pressed = true;
    core.SendMessageValues("KeyTriggered", key, pressed);
    EXPECT_FALSE(system.IsThreading());
    system.Update(0.1f);
    EXPECT_EQ(Probe(id).thread, std::this_thread::get_id()) << "serial: the main thread steps";
    system.OnKeyTriggered(AnimationSystem::kToggleThreadingKey, true);
    system.Update(0.1f);
    EXPECT_NE(Probe(id).thread, std::this_thread::get_id());
}

TEST_F(AnimationSystemTest, OneProcessorBuildsNoWorkersAndStaysSerial) {
    Start(1);
    const u32 id = Spawn();
    EXPECT_FALSE(system.IsThreading());
    EXPECT_EQ(system.GetWorkerCount(), 0u);
    system.SetThreading(true);
    system.Update(0.1f);
    EXPECT_EQ(Probe(id).updates, 1);
    EXPECT_EQ(Probe(id).thread, std::this_thread::get_id());
}

TEST(AnimationSystemSlices, AreContiguousSlicesOfCountOverWorkersPlusOne) {
    struct Case {
        s32 count, workers;
        std::vector<Slice> slices;
    };
    const Case cases[] = {
        {10, 4, {{0, 3}, {3, 6}, {6, 9}, {9, 10}}},
        {12, 4, {{0, 4}, {4, 8}, {8, 12}, {12, 12}}},
        {3, 8, {{0, 1}, {1, 2}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}, {7, 3}}},
        {0, 4, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
    };
    for (const Case& c : cases) {
        for (s32 w = 0; w < c.workers; ++w) {
            EXPECT_EQ(AnimationSystem::SliceFor(w, c.workers, c.count), c.slices[std::size_t(w)])
                << c.count << " ids, worker " << w << " of " << c.workers;
        }
    }
}

TEST_F(AnimationSystemTest, TenObjectsOnFourWorkersAreSteppedOnceEachInTheirSlices) {
    Start(4);
    const std::vector<u32> ids = SpawnMany(10);
    system.Update(0.02f);
    ExpectSlicesSteppedOnce(ids, {{0, 3}, {3, 6}, {6, 9}, {9, 10}});
}

TEST_F(AnimationSystemTest, ThreeObjectsOnEightWorkersLeaveFiveWorkersIdle) {
    Start(8);
    const std::vector<u32> ids = SpawnMany(3);
    system.Update(0.02f);
    ExpectSlicesSteppedOnce(ids, {{0, 1}, {1, 2}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}, {7, 3}});
}

// The workers' poses must not depend on the threads: 200 objects over
// several frames with mixed clips, rates, loop and play flags, stepped once
// on eight workers and once serially from the same start, compare bit for bit.
TEST_F(AnimationSystemTest, ThreadedPosesEqualSerialPosesBitForBit) {
    Start(8);
    const Skeleton skeleton = MakeChain(12);
    std::vector<Animation> clips = {MakeBendClip(12, 9, 2.0f), MakeBendClip(12, 5, 0.75f), MakeBendClip(12, 1, 1.0f),
                                    MakeBendClip(8, 4, 1.5f)};
    clips[1].scale = -1.5f;
    const std::vector<u32> ids = SpawnMany(200);
    const float steps[] = {0.016f, 0.033f, 0.0f, 0.25f, 0.016f, 0.5f, 0.032f};

    auto run = [&](bool threading) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            AnimatedProbe& probe = Probe(ids[i]);
            probe.controller.SetSkeleton(&skeleton);
            probe.controller.SetAnimation(&clips[i % clips.size()]);
            probe.controller.SetLooping(i % 3 != 0);
            probe.controller.SetTime(float(i) * 0.013f);
            probe.controller.SetPlaying(i % 7 != 0);
            probe.running = i % 5 != 0;
        }
        system.SetThreading(threading);
        for (float dt : steps) system.Update(dt);
        std::vector<float> state;
        for (u32 id : ids) {
            const AnimationController& controller = Probe(id).controller;
            state.push_back(controller.GetTime());
            state.push_back(controller.GetRate());
            for (const PoseEntry& entry : controller.GetPoses()) state.insert(state.end(), entry.matrix.m, entry.matrix.m + 16);
        }
        return state;
    };
    const std::vector<float> threaded = run(true);
    EXPECT_NE(Probe(ids[0]).thread, std::this_thread::get_id());
    const std::vector<float> serial = run(false);
    EXPECT_EQ(Probe(ids[0]).thread, std::this_thread::get_id());
    ASSERT_EQ(threaded.size(), serial.size());
    EXPECT_EQ(std::memcmp(threaded.data(), serial.data(), threaded.size() * sizeof(float)), 0);
}

TEST_F(AnimationSystemTest, ShutdownJoinsEveryWorkerAndLaterUpdatesRunSerially) {
    Start(8);
    const u32 id = Spawn();
    EXPECT_TRUE(FinishesWithin([&] {
        for (int frame = 0; frame < 50; ++frame) system.Update(0.016f);
        system.Shutdown();
    }));
    EXPECT_EQ(system.GetWorkerCount(), 0u);
    EXPECT_EQ(Probe(id).updates, 50);
    system.Update(0.016f);
    EXPECT_EQ(Probe(id).thread, std::this_thread::get_id());
    system.Shutdown();

    // A system that never saw Shutdown still stops its workers when it goes.
    EXPECT_TRUE(FinishesWithin([] {
        AnimationSystem other;
        other.SetProcessorCount(3);
        other.Initialize();
        other.Update(0.016f);
    }));
}

}  // namespace
}  // namespace Ostrel
