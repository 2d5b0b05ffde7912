#include "engine/core/ActionBase.h"
#include "engine/core/ActionList.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/MessageListenerTable.h"
#include "engine/core/ObjectManager.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

class EndlessAction : public ActionBase {
public:
    explicit EndlessAction(int& ends) : m_ends(ends) {}
    int OnUpdate(f32) override { return kActionRunning; }
    void OnEnd() override {
        ActionBase::OnEnd();
        ++m_ends;
    }

private:
    int& m_ends;
};

// A live object with a brain and a message component, in a real object
// manager registered with an engine.
class ActionTerminateTest : public ::testing::Test {
protected:
    ActionTerminateTest() {
        m_factory.AddComponentType(new ComponentFactory<BrainComponent>(BrainComponent::kTypeId),
                                   BrainComponent::kTypeId, "BrainComponent");
        m_factory.AddComponentType(new ComponentFactory<MessageComponent>(MessageComponent::kTypeId),
                                   MessageComponent::kTypeId, "MessageComponent");
        m_engine.AddSystem(&m_core);
        m_engine.AddSystem(&m_objects);
        Composition* object = m_objects.SpawnComposition("blank");
        object->AddComponent(m_factory.CreateComponent(BrainComponent::kTypeId));
        object->AddComponent(m_factory.CreateComponent(MessageComponent::kTypeId));
        m_objects.InitializeObject(object);
        m_id = object->GetId();
    }
    ~ActionTerminateTest() override { m_objects.Shutdown(); }

    Composition* Object() { return m_objects.GetObject(m_id); }
    BrainComponent* Brain() { return GetBrainComponentOf(Object()); }
    void Terminate(u32 actionId) {
        Object()->GetComponentAs<MessageComponent>()->GetTable().SendUInt("TerminateAction", actionId);
    }
    EndlessAction* AddListening(u32 owner, u32 actionId) {
        auto* action = new EndlessAction(m_ends);
        action->SetOwner(owner);
        action->SetId(actionId);
        action->SetListenTerminate(true);
        Brain()->AddAction(action);
        return action;
    }

    CompositionFactory m_factory;
    CoreSystem m_core;
    ObjectManager m_objects;
    Engine m_engine;
    u32 m_id = 0;
    int m_ends = 0;
};

TEST_F(ActionTerminateTest, TerminateActionWithItsIdFinishesOnlyThatAction) {
    EndlessAction* first = AddListening(m_id, 7);
    EndlessAction* second = AddListening(m_id, 8);
    Terminate(9);
    EXPECT_FALSE(first->IsFinished());
    EXPECT_FALSE(second->IsFinished());
    Terminate(7);
    EXPECT_TRUE(first->IsFinished());
    EXPECT_FALSE(second->IsFinished());
    Brain()->Update(0.1f);  // reports finished, ended and deleted after the pass
    EXPECT_EQ(m_ends, 1);
    Terminate(7);  // the ended action no longer listens (ASan: no call into freed memory)
    EXPECT_EQ(Brain()->GetActionList()->Actions().size(), 1u);
}

TEST_F(ActionTerminateTest, ActionWhoseOwnerIsGoneStartsWithoutListening) {
    EndlessAction* orphan = AddListening(m_id + 12345, 3);  // no such object
    Terminate(3);
    EXPECT_FALSE(orphan->IsFinished());
    Brain()->Update(0.1f);
    EXPECT_EQ(m_ends, 0);
}

}  // namespace
}  // namespace Ostrel
