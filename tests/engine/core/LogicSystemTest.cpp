#include "engine/core/ActionBase.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/Engine.h"
#include "engine/core/LogicSystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace Ostrel {
namespace {

class CountingAction : public ActionBase {
public:
    explicit CountingAction(int& count) : m_count(count) {}
    int OnUpdate(f32) override {
        ++m_count;
        if (hook) hook();
        return kActionRunning;
    }
    std::function<void()> hook;

private:
    int& m_count;
};

// A factory with brains, objects looked up by id through a table the test
// controls, and a logic system reading that table.
class LogicSystemTest : public ::testing::Test {
protected:
    LogicSystemTest() {
        m_factory.AddComponentType(new ComponentFactory<BrainComponent>(BrainComponent::kTypeId), BrainComponent::kTypeId,
                                   "BrainComponent");
        m_logic.SetObjectLookup([this](u32 id) -> Composition* {
            auto it = m_objects.find(id);
            return it == m_objects.end() ? nullptr : it->second;
        });
    }
    ~LogicSystemTest() override {
        for (auto& [id, object] : m_objects) m_factory.Destroy(object);
    }
    Composition* MakeObject(u32 id, bool withBrain) {
        Composition* object = m_factory.Create("blank");
        object->SetId(id);
        if (withBrain) object->AddComponent(m_factory.CreateComponent(BrainComponent::kTypeId));
        m_objects[id] = object;
        return object;
    }
    BrainComponent* Brain(u32 id) { return GetBrainComponentOf(m_objects[id]); }

    CompositionFactory m_factory;
    std::map<u32, Composition*> m_objects;
    LogicSystem m_logic;
};

TEST_F(LogicSystemTest, StepsOnlyAnnouncedObjectsWithABrainAndForgetsDestroyedOnes) {
    MakeObject(1, true);
    MakeObject(2, false);
    MakeObject(3, true);
    int steps1 = 0, steps3 = 0;
    Brain(1)->AddAction(new CountingAction(steps1));
    Brain(3)->AddAction(new CountingAction(steps3));
    m_logic.OnObjectCreated(1);
    m_logic.OnObjectCreated(2);
    m_logic.OnObjectCreated(3);
    m_logic.OnObjectCreated(99);  // unknown id
    EXPECT_EQ(m_logic.GetObjectIds(), (std::vector<u32>{1, 3}));
    m_logic.Update(0.1f);
    EXPECT_EQ(steps1, 1);
    EXPECT_EQ(steps3, 1);
    m_logic.OnObjectDestroyed(1);
    m_logic.OnObjectDestroyed(1);  // absent: nothing
    m_logic.Update(0.1f);
    EXPECT_EQ(steps1, 1);
    EXPECT_EQ(steps3, 2);
}

TEST_F(LogicSystemTest, PrunesObjectsThatVanishedWithoutAMessageKeepingTheOrder) {
    for (u32 id : {4u, 5u, 6u, 7u}) MakeObject(id, true);
    for (u32 id : {4u, 5u, 6u, 7u}) m_logic.OnObjectCreated(id);
    m_factory.Destroy(m_objects[5]);
    m_objects.erase(5);
    m_logic.Update(0.1f);
    EXPECT_EQ(m_logic.GetObjectIds(), (std::vector<u32>{4, 6, 7}));
}

TEST_F(LogicSystemTest, ObjectAnnouncedDuringABrainUpdateIsSteppedInTheSamePass) {
    MakeObject(1, true);
    MakeObject(2, true);
    int steps1 = 0, steps2 = 0;
    auto* spawner = new CountingAction(steps1);
    spawner->hook = [&] {
        if (steps1 == 1) m_logic.OnObjectCreated(2);  // a clone announced at once
    };
    Brain(1)->AddAction(spawner);
    Brain(2)->AddAction(new CountingAction(steps2));
    m_logic.OnObjectCreated(1);
    m_logic.Update(0.1f);
    EXPECT_EQ(steps2, 1);
}

TEST_F(LogicSystemTest, PausedEngineStepsNothing) {
    Engine engine;
    engine.AddSystem(&m_logic);
    MakeObject(1, true);
    int steps = 0;
    Brain(1)->AddAction(new CountingAction(steps));
    m_logic.OnObjectCreated(1);
    engine.SetPaused(true);
    m_logic.Update(0.1f);
    EXPECT_EQ(steps, 0);
    engine.SetPaused(false);
    m_logic.Update(0.1f);
    EXPECT_EQ(steps, 1);
}

TEST_F(LogicSystemTest, ObjectDestroyedByItsOwnActionEndsEveryActionOnce) {
    MakeObject(1, true);
    int steps = 0;
    auto* other = new CountingAction(steps);
    auto* killer = new CountingAction(steps);
    killer->hook = [&] {
        // Immediate teardown of the object from inside its brain's update.
        Composition* object = m_objects[1];
        m_objects.erase(1);
        object->Uninitialize();
        m_factory.Destroy(object);
    };
    Brain(1)->AddAction(other);
    Brain(1)->AddAction(killer);
    m_logic.OnObjectCreated(1);
    m_logic.Update(0.1f);  // ASan: nothing touched after the teardown
    EXPECT_EQ(steps, 1);
    m_logic.Update(0.1f);
    EXPECT_TRUE(m_logic.GetObjectIds().empty());
}

}  // namespace
}  // namespace Ostrel
