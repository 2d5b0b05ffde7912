#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "game/RegisterComponentTypes.h"

#include <gtest/gtest.h>

using Ostrel::Composition;
using Ostrel::CompositionFactory;
using Ostrel::MessageComponent;

namespace {

struct Counter {
    void OnRelease() { ++calls; }
    int calls = 0;
};

}  // namespace

TEST(MessageComponent, CarriesTheObjectsOwnMessages) {
    CompositionFactory factory;
    Vandle::RegisterComponentTypes(factory);
    Composition* object = factory.Create("blank");
    object->AddComponent(factory.CreateComponent(MessageComponent::kTypeId));
    Counter counter;
    auto listener = Ostrel::MakeDelegate(&counter, &Counter::OnRelease);
    object->Listen("ReleaseAttack", listener);
    object->Send("ReleaseAttack");
    EXPECT_EQ(counter.calls, 1);

    // A clone starts with an empty table: listeners are never copied.
    Composition* clone = object->Clone();
    ASSERT_NE(clone->GetMessageComponent(), nullptr);
    clone->Send("ReleaseAttack");
    EXPECT_EQ(counter.calls, 1);

    object->Unlisten("ReleaseAttack", listener);
    object->Send("ReleaseAttack");
    EXPECT_EQ(counter.calls, 1);
    factory.Destroy(clone);
    factory.Destroy(object);
}

TEST(MessageComponent, ObjectWithoutOneIgnoresMessagesSilently) {
    CompositionFactory factory;
    Vandle::RegisterComponentTypes(factory);
    Composition* object = factory.Create("blank");
    Counter counter;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    object->Listen("ReleaseAttack", Ostrel::MakeDelegate(&counter, &Counter::OnRelease));
    object->Send("ReleaseAttack");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(counter.calls, 0);
    factory.Destroy(object);
}
