#include "ObjectTestSupport.h"

#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"

#include <gtest/gtest.h>

using namespace ObjectTest;
using Ostrel::Composition;
using Ostrel::CompositionFactory;
using Ostrel::FourCC;

namespace {

class CompositionTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterProbes(factory);
        Events().clear();
    }

    // An object with the four probes added in scrambled order.
    Composition* MakeFour() {
        Composition* object = factory.Create("blank");
        for (u32 id : {FourCC("msgC"), 27u, FourCC("brnC"), 42u}) {
            object->AddComponent(factory.CreateComponent(id));
        }
        return object;
    }

    CompositionFactory factory;
};

}  // namespace

TEST_F(CompositionTest, InitialisesAndUninitialisesInAscendingTypeIdOrder) {
    Composition* object = MakeFour();
    object->Initialize();
    object->Uninitialize();
    EXPECT_EQ(Events(), (std::vector<std::string>{"init 27", "init 42", "init brnC", "init msgC",
                                                  "uninit 27", "uninit 42", "uninit brnC",
                                                  "uninit msgC"}));
    factory.Destroy(object);
}

TEST_F(CompositionTest, SecondComponentOfATypeIsNotFiledAndIsDestroyed) {
    Composition* object = factory.Create("blank");
    auto* first = static_cast<Probe<27>*>(factory.CreateComponent(27));
    auto* second = static_cast<Probe<27>*>(factory.CreateComponent(27));
    EXPECT_TRUE(object->AddComponent(first));
    Events().clear();
    EXPECT_FALSE(object->AddComponent(second));
    EXPECT_EQ(object->GetComponent(27), first);
    EXPECT_EQ(Events(), std::vector<std::string>{"delete 27"}) << "the later one must not leak";
    factory.Destroy(object);
}

TEST_F(CompositionTest, CloneCopiesComponentsAndNameButNotIdOrSaveFlag) {
    Composition* source = MakeFour();
    source->SetName("bat-obj");
    source->SetId(77);
    source->SetSaveFlag(false);
    static_cast<Probe<42>*>(source->GetComponent(42))->value = 9;
    source->GetComponent(27)->SetHandle(5);
    const std::size_t liveBefore = factory.GetLiveCount();

    Composition* copy = source->Clone();
    EXPECT_EQ(factory.GetLiveCount(), liveBefore + 1);
    EXPECT_EQ(copy->GetName(), "bat-obj");
    EXPECT_EQ(copy->GetId(), 0u);
    EXPECT_TRUE(copy->GetSaveFlag());
    ASSERT_EQ(copy->GetComponents().size(), 4u);
    for (const auto& [id, component] : copy->GetComponents()) {
        EXPECT_NE(component, source->GetComponent(id));
        EXPECT_EQ(component->GetOwner(), copy);
        EXPECT_EQ(component->GetHandle(), 0u);
        EXPECT_TRUE(component->IsActive());
    }
    EXPECT_EQ(static_cast<Probe<42>*>(copy->GetComponent(42))->value, 9);
    factory.Destroy(copy);
    factory.Destroy(source);
}

TEST_F(CompositionTest, WritesBlocksInIdOrderAndReadsThemBack) {
    Composition* object = factory.Create("blank");
    object->AddComponent(factory.CreateComponent(FourCC("brnC")));
    object->AddComponent(factory.CreateComponent(27));
    static_cast<Probe<27>*>(object->GetComponent(27))->value = 4;
    static_cast<Probe<FourCC("brnC")>*>(object->GetComponent(FourCC("brnC")))->value = -2;

    MemorySerializer writer(false);
    object->Serialize(&writer);
    EXPECT_EQ(writer.Describe(), "TransformProbe{Value=4}BrainProbe{Value=-2}");

    MemorySerializer reader = MemorySerializer::ReaderOf(writer.Root());
    Composition* copy = factory.Create("blank");
    copy->Serialize(&reader);
    ASSERT_EQ(copy->GetComponents().size(), 2u);
    EXPECT_EQ(static_cast<Probe<27>*>(copy->GetComponent(27))->value, 4);
    EXPECT_EQ(static_cast<Probe<FourCC("brnC")>*>(copy->GetComponent(FourCC("brnC")))->value, -2);
    EXPECT_EQ(copy->GetComponent(27)->GetOwner(), copy);
    factory.Destroy(copy);
    factory.Destroy(object);
}

TEST_F(CompositionTest, EmptyObjectWritesNothingAndReadsBackEmpty) {
    Composition* object = factory.Create("blank");
    MemorySerializer writer(false);
    object->Serialize(&writer);
    EXPECT_EQ(writer.Describe(), "");
    MemorySerializer reader = MemorySerializer::ReaderOf(writer.Root());
    object->Serialize(&reader);
    EXPECT_TRUE(object->GetComponents().empty());
    factory.Destroy(object);
}

TEST_F(CompositionTest, ReadingSkipsUnregisteredBlocksAndKeepsGoing) {
    MemorySerializer::Node blocks;
    for (const char* tag : {"NoSuchComponent", "TriggeredDeathComponent", "MeshProbe"}) {
        auto node = std::make_unique<MemorySerializer::Node>();
        node->tag = tag;
        node->values.emplace_back("Value", "3");
        blocks.children.push_back(std::move(node));
    }
    MemorySerializer reader = MemorySerializer::ReaderOf(blocks);
    Composition* object = factory.Create("blank");
    testing::internal::CaptureStderr();
    object->Serialize(&reader);
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_EQ(object->GetComponents().size(), 1u);
    EXPECT_EQ(static_cast<Probe<42>*>(object->GetComponent(42))->value, 3);
    EXPECT_NE(log.find("unknown component block 'NoSuchComponent'"), std::string::npos) << log;
    EXPECT_NE(log.find("unknown component block 'TriggeredDeathComponent'"), std::string::npos);
    factory.Destroy(object);
}

TEST_F(CompositionTest, ExposesOneGroupPerComponentInIdOrder) {
    Composition* object = MakeFour();
    RecordingPanel panel;
    object->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries,
              (std::vector<std::string>{"group TransformProbe", "string Probe", "group MeshProbe",
                                        "string Probe", "group BrainProbe", "string Probe",
                                        "group MessageProbe", "string Probe"}));
    factory.Destroy(object);
}
