#include "engine/core/ActionBase.h"
#include "engine/core/ActionList.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"

#include <gtest/gtest.h>

#include <functional>

namespace Ostrel {
namespace {

class HookAction : public ActionBase {
public:
    HookAction(int& steps, int& ends) : m_steps(steps), m_ends(ends) {}
    int OnUpdate(f32) override {
        ++m_steps;
        if (hook) hook();
        return kActionRunning;
    }
    void OnEnd() override {
        ActionBase::OnEnd();
        ++m_ends;
    }
    std::function<void()> hook;

private:
    int& m_steps;
    int& m_ends;
};

class BrainComponentTest : public ::testing::Test {
protected:
    BrainComponentTest() {
        m_factory.AddComponentType(new ComponentFactory<BrainComponent>(BrainComponent::kTypeId),
                                   BrainComponent::kTypeId, "BrainComponent");
        m_object = m_factory.Create("blank");
        m_object->AddComponent(m_factory.CreateComponent(BrainComponent::kTypeId));
    }
    ~BrainComponentTest() override {
        if (m_object) m_factory.Destroy(m_object);
    }
    BrainComponent* Brain() { return GetBrainComponentOf(m_object); }

    CompositionFactory m_factory;
    Composition* m_object = nullptr;
    int m_steps = 0;
    int m_ends = 0;
};

TEST_F(BrainComponentTest, CloneIsANewEmptyBrain) {
    Brain()->AddAction(new HookAction(m_steps, m_ends));
    Component* clone = Brain()->Clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone, Brain());
    auto* cloneBrain = static_cast<BrainComponent*>(clone);
    ASSERT_NE(cloneBrain->GetActionList(), nullptr);
    EXPECT_TRUE(cloneBrain->GetActionList()->IsEmpty());
    EXPECT_FALSE(Brain()->GetActionList()->IsEmpty());
    m_factory.DestroyComponent(clone);
}

TEST_F(BrainComponentTest, UninitializeEndsActionsAndLaterActionsAreDropped) {
    Brain()->AddAction(new HookAction(m_steps, m_ends));
    Brain()->Uninitialize();
    EXPECT_EQ(m_ends, 1);
    EXPECT_EQ(Brain()->GetActionList(), nullptr);
    Brain()->AddAction(new HookAction(m_steps, m_ends));  // deleted at once (LSan checks)
    Brain()->Update(0.1f);
    EXPECT_EQ(m_steps, 0);
}

TEST_F(BrainComponentTest, ObjectTornDownByItsOwnActionEndsEveryActionOnce) {
    auto* other = new HookAction(m_steps, m_ends);
    auto* killer = new HookAction(m_steps, m_ends);
    killer->hook = [&] {
        Composition* object = m_object;
        m_object = nullptr;
        object->Uninitialize();
        m_factory.Destroy(object);
    };
    Brain()->AddAction(other);
    Brain()->AddAction(killer);
    BrainComponent* brain = Brain();
    brain->Update(0.1f);  // ASan: nothing of the brain or list touched afterwards
    EXPECT_EQ(m_steps, 1);
    EXPECT_EQ(m_ends, 2);
}

}  // namespace
}  // namespace Ostrel
