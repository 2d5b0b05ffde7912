#include "ObjectTestSupport.h"

#include "engine/core/ComponentFactory.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/HandleTable.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"

#include <gtest/gtest.h>

using namespace ObjectTest;
using Ostrel::Composition;
using Ostrel::CompositionFactory;
using Ostrel::HandleTable;
using Ostrel::ObjectManager;
using Ostrel::TransformComponent;
using Ostrel::Vec3;

namespace {

// Records, on Uninitialize, whether its object could still be found by id.
class UninitWitness final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("wtns");
    static inline ObjectManager* s_manager = nullptr;
    void Initialize() override {}
    void Uninitialize() override {
        Events().push_back(s_manager->GetObject(GetOwnerId()) ? "uninit found" : "uninit gone");
    }
    Component* Clone() const override { return CompositionFactory::Instance()->CreateComponent(kTypeId); }
    void Serialize(Ostrel::Serializer*) override {}
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override { return Ostrel::Variant(); }
};

class ObjectManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.AddSystem(&core);
        // TransformComponent takes id 27 before the probes can.
        factory.AddComponentType(new Ostrel::ComponentFactory<TransformComponent>(27), 27,
                                 "TransformComponent");
        RegisterProbes(factory);
        factory.AddComponentType(new Ostrel::ComponentFactory<UninitWitness>(UninitWitness::kTypeId),
                                 UninitWitness::kTypeId, "UninitWitness");
        UninitWitness::s_manager = &manager;
        MakeArchetype("thing-obj", {42, Ostrel::FourCC("msgC")});
        MakeArchetype("witness-obj", {UninitWitness::kTypeId});
        Composition* placed = MakeArchetype("placed-obj", {27});
        placed->GetTransform()->SetPosition(Vec3(0, 1, 0));
        placed->GetTransform()->SetRotation(Vec3(5, 6, 7));
        listeners.push_back(ListenForId(core, "ObjectCreated", [this](u32 id) {
            trace.push_back("created " + std::to_string(id));
            if (onCreated) onCreated(id);
        }));
        listeners.push_back(ListenForId(core, "ObjectDestroyed", [this](u32 id) {
            trace.push_back("destroyed " + std::to_string(id) +
                            (manager.GetObject(id) ? " (found)" : " (gone)"));
            if (onDestroyed) onDestroyed(id);
        }));
        Events().clear();
    }

    Composition* MakeArchetype(const std::string& name, std::initializer_list<u32> ids) {
        Composition* object = factory.Create("blank");
        for (u32 id : ids) object->AddComponent(factory.CreateComponent(id));
        object->SetName(name);
        factory.AddArchetype(object, name);
        return object;
    }

    // Runs an update and returns what it logged.
    std::string UpdateAndLog() {
        testing::internal::CaptureStderr();
        manager.Update(0.016f);
        return testing::internal::GetCapturedStderr();
    }

    CompositionFactory factory;
    Ostrel::Engine engine;
    Ostrel::CoreSystem core;
    ObjectManager manager;
    std::vector<std::unique_ptr<IdListener>> listeners;
    std::vector<std::string> trace;
    std::function<void(u32)> onCreated;
    std::function<void(u32)> onDestroyed;
};

// How often part occurs in text.
size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

}  // namespace

TEST_F(ObjectManagerTest, FirstIdsAndSlotsFollowTheFreeList) {
    std::vector<u32> slots;
    for (int i = 0; i < 12; ++i) {
        const u32 id = manager.CreateObject("thing-obj", nullptr);
        if (i == 0) {
            EXPECT_EQ(id, 1u);
        } else if (i == 1) {
            EXPECT_EQ(id, 589825u);
        }
        slots.push_back(HandleTable::SlotOf(id));
    }
    EXPECT_EQ(slots, (std::vector<u32>{0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 10, 19}));
    // Components got handles and are found by them.
    Composition* object = manager.GetObject(1);
    for (const auto& [type, component] : object->GetComponents()) {
        EXPECT_EQ(manager.GetComponentByHandle(component->GetHandle()), component);
    }
}

TEST_F(ObjectManagerTest, CreationIsAnnouncedAtTheNextUpdateOnly) {
    const u32 id = manager.CreateObject("thing-obj", nullptr);
    EXPECT_NE(manager.GetObject(id), nullptr) << "usable at once";
    EXPECT_TRUE(trace.empty());
    manager.Update(0.016f);
    manager.Update(0.016f);
    EXPECT_EQ(trace, std::vector<std::string>{"created 1"});
}

TEST_F(ObjectManagerTest, DestructionIsAnnouncedWhileTheObjectCanStillBeFound) {
    const u32 id = manager.CreateObject("witness-obj", nullptr);
    manager.Update(0.016f);
    manager.DestroyObject(id);
    EXPECT_NE(manager.GetObject(id), nullptr) << "only queued";
    manager.Update(0.016f);
    EXPECT_EQ(trace, (std::vector<std::string>{"created 1", "destroyed 1 (found)"}));
    EXPECT_EQ(Events(), std::vector<std::string>{"uninit gone"}) << "Uninitialize after the release";
    EXPECT_EQ(manager.GetObject(id), nullptr);
    EXPECT_TRUE(manager.IsValid(id)) << "valid until the slot is reused";
    EXPECT_EQ(factory.GetLiveCount(), 0u);

    manager.DestroyObject(id);
    EXPECT_EQ(UpdateAndLog(), "ObjectManager was told to double delete an object.\n");

    // Slot 0 went to the back of the free list; fill the table until it
    // comes round again: the new id differs and the old one is stale.
    u32 reused = manager.CreateObject("thing-obj", nullptr);
    for (int i = 0; i < 10 && HandleTable::SlotOf(reused) != 0; ++i) {
        reused = manager.CreateObject("thing-obj", nullptr);
    }
    EXPECT_EQ(HandleTable::SlotOf(reused), 0u);
    EXPECT_NE(reused, id);
    EXPECT_FALSE(manager.IsValid(id));
}

TEST_F(ObjectManagerTest, QueuedTwiceAndBadIdsAreLoggedNotRepeated) {
    const u32 id = manager.CreateObject("thing-obj", nullptr);
    manager.Update(0.016f);
    trace.clear();
    EXPECT_FALSE(manager.IsDestroyQueued(id));
    manager.DestroyObject(id);
    EXPECT_TRUE(manager.IsDestroyQueued(id)) << "callers ask before they queue a second time";
    manager.DestroyObject(id);
    manager.DestroyObject(0);
    manager.DestroyObject(12345);
    EXPECT_EQ(UpdateAndLog(), "ObjectManager was told to double delete an object.\n"
                              "ObjectManager was given a bad ID.\n"
                              "ObjectManager was given a bad ID.\n");
    EXPECT_EQ(trace, std::vector<std::string>{"destroyed 1 (found)"});
    EXPECT_FALSE(manager.IsDestroyQueued(id)) << "the queue is empty after the pass";
}

TEST_F(ObjectManagerTest, CreatedAndDestroyedInOneFrameIsNeverAnnouncedAsCreated) {
    const u32 id = manager.CreateObject("thing-obj", nullptr);
    manager.DestroyObject(id);
    EXPECT_EQ(UpdateAndLog(), "ObjectManager created and deleted an object in the same frame.\n");
    EXPECT_EQ(trace, std::vector<std::string>{"destroyed 1 (found)"});
}

TEST_F(ObjectManagerTest, PassesTakeInRequestsMadeByTheirListeners) {
    const u32 a = manager.CreateObject("thing-obj", nullptr);
    const u32 b = manager.CreateObject("thing-obj", nullptr);
    // A listener of "ObjectCreated" creates an object: announced in the same pass.
    u32 spawned = 0;
    onCreated = [&](u32 id) {
        if (id == a) spawned = manager.CreateObject("thing-obj", nullptr);
    };
    manager.Update(0.016f);
    onCreated = nullptr;
    ASSERT_NE(spawned, 0u);
    EXPECT_EQ(trace, (std::vector<std::string>{"created " + std::to_string(a), "created " + std::to_string(b),
                                               "created " + std::to_string(spawned)}));
    // A listener of "ObjectDestroyed" destroys another: destroyed in the same pass.
    trace.clear();
    onDestroyed = [&](u32 id) {
        if (id == a) manager.DestroyObject(b);
    };
    manager.DestroyObject(a);
    manager.Update(0.016f);
    EXPECT_EQ(trace, (std::vector<std::string>{"destroyed " + std::to_string(a) + " (found)",
                                               "destroyed " + std::to_string(b) + " (found)"}));
    EXPECT_EQ(manager.GetLiveObjects(), std::vector<u32>{spawned});
}

TEST_F(ObjectManagerTest, ClonesAreAnnouncedAtOnceAndNotAgain) {
    const u32 id = manager.CreateObject("thing-obj", nullptr);
    manager.Update(0.016f);
    trace.clear();
    bool liveDuringAnnouncement = true;
    onCreated = [&](u32 clone) {
        const auto& live = manager.GetLiveObjects();
        liveDuringAnnouncement = std::find(live.begin(), live.end(), clone) != live.end();
    };
    const u32 clone = manager.CloneObject(id);
    EXPECT_EQ(trace, std::vector<std::string>{"created " + std::to_string(clone)});
    EXPECT_FALSE(liveDuringAnnouncement) << "found by id, but not yet live";
    EXPECT_EQ(manager.GetObject(clone)->GetName(), "thing-obj");
    manager.Update(0.016f);
    EXPECT_EQ(trace.size(), 1u);

    const u32 fromArchetype = manager.CloneComposition(factory.FindArchetype("thing-obj"));
    EXPECT_NE(manager.GetObject(fromArchetype), nullptr);
    EXPECT_EQ(trace.size(), 2u);
}

TEST_F(ObjectManagerTest, MissingArchetypesAndDeadIdsGiveZeroInsteadOfCrashing) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(manager.CreateObject("ghost-obj", nullptr), 0u);
    EXPECT_EQ(manager.SpawnComposition("ghost-obj"), nullptr);
    EXPECT_EQ(manager.CloneObject(4242), 0u);
    EXPECT_EQ(manager.CloneComposition(nullptr), 0u);
    const std::string log = testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("ObjectManager was asked to clone a bad ID.\n"), std::string::npos);
    EXPECT_TRUE(manager.GetLiveObjects().empty());
}

TEST_F(ObjectManagerTest, CreateObjectOffsetsPositionAndReplacesRotation) {
    TransformComponent source;
    source.SetPosition(Vec3(10, 0, 5));
    source.SetRotation(Vec3(0, 90, 0));
    source.SetScale(Vec3(3, 3, 3));
    TransformComponent* placed = manager.GetObject(manager.CreateObject("placed-obj", &source))->GetTransform();
    EXPECT_EQ(placed->GetPosition(), Vec3(10, 1, 5));
    EXPECT_EQ(placed->GetRotation(), Vec3(0, 90, 0));
    EXPECT_EQ(placed->GetScale(), Vec3(1, 1, 1)) << "scale untouched";

    TransformComponent* unplaced = manager.GetObject(manager.CreateObject("placed-obj", nullptr))->GetTransform();
    EXPECT_EQ(unplaced->GetPosition(), Vec3(0, 1, 0));
    EXPECT_EQ(unplaced->GetRotation(), Vec3(5, 6, 7));
}

TEST_F(ObjectManagerTest, SpawnThenInitializeGivesLateComponentsHandles) {
    Composition* object = manager.SpawnComposition("blank");
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(manager.IsValid(object->GetId()));
    EXPECT_TRUE(manager.GetLiveObjects().empty());
    object->AddComponent(factory.CreateComponent(42));
    manager.InitializeObject(object);
    EXPECT_NE(object->GetComponent(42)->GetHandle(), 0u);
    EXPECT_EQ(Events(), std::vector<std::string>{"init 42"});
    EXPECT_EQ(manager.GetLiveObjects(), std::vector<u32>{object->GetId()});
}

TEST_F(ObjectManagerTest, DestroyAllDropsPendingAnnouncementsAndTeardownSendsNothing) {
    const u32 a = manager.CreateObject("thing-obj", nullptr);
    manager.Update(0.016f);
    const u32 b = manager.CreateObject("thing-obj", nullptr);
    manager.DestroyAllObjects();
    const u32 c = manager.CreateObject("thing-obj", nullptr);
    trace.clear();
    manager.Update(0.016f);
    EXPECT_EQ(trace, (std::vector<std::string>{"destroyed " + std::to_string(a) + " (found)",
                                               "destroyed " + std::to_string(b) + " (found)",
                                               "created " + std::to_string(c)}));

    manager.CreateObject("witness-obj", nullptr);
    trace.clear();
    Events().clear();
    manager.Shutdown();
    EXPECT_TRUE(trace.empty());
    // Every live object is uninitialised (ids still valid) before any is destroyed.
    EXPECT_EQ(Events(), (std::vector<std::string>{"uninit 42", "uninit msgC", "uninit found",
                                                  "delete 42", "delete msgC"}));
    EXPECT_EQ(factory.GetLiveCount(), 0u);
    // Generations survive the reset: the next id differs from every earlier one.
    EXPECT_NE(manager.CreateObject("thing-obj", nullptr), a);
}

TEST_F(ObjectManagerTest, FindsLiveObjectsByComponentType) {
    const u32 thing = manager.CreateObject("thing-obj", nullptr);
    manager.CreateObject("placed-obj", nullptr);
    std::vector<u32> found;
    EXPECT_TRUE(manager.FindObjectsWithComponent(42, found));
    EXPECT_EQ(found, std::vector<u32>{thing});
    EXPECT_FALSE(manager.FindPlayerObjects(found));
}

TEST_F(ObjectManagerTest, RefusesObjectsPastTheIdLimit) {
    for (u32 i = 0; i < HandleTable::kMaxSlots; ++i) {
        ASSERT_NE(manager.CreateObject("blank", nullptr), 0u);
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(manager.CreateObject("thing-obj", nullptr), 0u);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("object table is full"), std::string::npos);
    EXPECT_EQ(factory.GetLiveCount(), HandleTable::kMaxSlots) << "the refused object is freed";
    manager.Shutdown();
}

// A clone the tables refuse is destroyed at once (the factory's live list
// would otherwise keep it until shutdown, and a component half-registered
// would keep its handle), both when the ids run out and when the component
// handles do; the object and component it was cloned from stay intact.
// The full table is logged once, and again only after an object was freed;
// RoomForObjects counts what fits beforehand.
TEST_F(ObjectManagerTest, RefusedClonesAreDestroyedNotKept) {
    const Composition* archetype = factory.FindArchetype("thing-obj");
    EXPECT_EQ(manager.RoomForObjects(2), HandleTable::kMaxSlots / 2);
    // thing-obj has two components: 32768 of them take every component handle.
    u32 first = 0;
    for (u32 i = 0; i < HandleTable::kMaxSlots / 2; ++i) {
        const u32 id = manager.CreateObject("thing-obj", nullptr);
        ASSERT_NE(id, 0u);
        if (i == 0) first = id;
    }
    EXPECT_EQ(manager.RoomForObjects(2), 0u);
    const std::size_t live = factory.GetLiveCount();
    testing::internal::CaptureStderr();
    EXPECT_EQ(manager.CloneComposition(archetype), 0u);
    EXPECT_EQ(manager.CloneObject(first), 0u);
    EXPECT_EQ(manager.CreateObject("thing-obj", nullptr), 0u);
    EXPECT_EQ(Occurrences(testing::internal::GetCapturedStderr(), "component table is full"), 1u);
    EXPECT_EQ(factory.GetLiveCount(), live) << "the refused clones are freed";
    EXPECT_EQ(manager.GetLiveObjects().size(), HandleTable::kMaxSlots / 2);
    Composition* source = manager.GetObject(first);
    ASSERT_NE(source, nullptr);
    for (const auto& [type, component] : source->GetComponents()) {
        EXPECT_NE(component->GetHandle(), 0u);
        EXPECT_EQ(manager.GetComponentByHandle(component->GetHandle()), component) << "source keeps its handles";
    }

    // Freeing one object makes room for exactly one more clone, not two,
    // and the next refusal is logged again, once.
    manager.DestroyObject(first);
    manager.Update(0.016f);
    EXPECT_EQ(manager.RoomForObjects(2), 1u);
    const u32 clone = manager.CloneComposition(archetype);
    EXPECT_NE(clone, 0u);
    testing::internal::CaptureStderr();
    EXPECT_EQ(manager.CloneObject(clone), 0u);
    EXPECT_EQ(manager.CloneObject(clone), 0u);
    EXPECT_EQ(Occurrences(testing::internal::GetCapturedStderr(), "component table is full"), 1u);
    EXPECT_EQ(factory.GetLiveCount(), live);
    manager.Shutdown();
    EXPECT_EQ(factory.GetLiveCount(), 0u);
}

TEST_F(ObjectManagerTest, ClonesPastTheIdLimitAreDestroyed) {
    u32 first = 0;
    for (u32 i = 0; i < HandleTable::kMaxSlots; ++i) {
        const u32 id = manager.CreateObject("blank", nullptr);
        ASSERT_NE(id, 0u);
        if (i == 0) first = id;
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(manager.CloneComposition(factory.FindArchetype("thing-obj")), 0u);
    EXPECT_EQ(manager.CloneObject(first), 0u);
    EXPECT_EQ(Occurrences(testing::internal::GetCapturedStderr(), "object table is full"), 1u);
    EXPECT_EQ(factory.GetLiveCount(), HandleTable::kMaxSlots) << "the refused clones are freed";
    manager.Shutdown();
}
