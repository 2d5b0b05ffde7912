#include "ObjectTestSupport.h"

#include "engine/core/ComponentFactory.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace ObjectTest;
using Ostrel::Component;
using Ostrel::Composition;
using Ostrel::CompositionFactory;
using Ostrel::FourCC;

namespace {

// Builds an archetype "name" holding the given probes, filed with the factory.
Composition* FileArchetype(CompositionFactory& factory, const std::string& name,
                           std::initializer_list<u32> ids, int value = 0) {
    Composition* object = factory.Create("blank");
    for (u32 id : ids) {
        Component* component = factory.CreateComponent(id);
        if (id == 27) static_cast<Probe<27>*>(component)->value = value;
        object->AddComponent(component);
    }
    object->SetName(name);
    factory.AddArchetype(object, name);
    return object;
}

// A component factory that records its own deletion among the probe events.
template <u32 Id>
class RecordingFactory final : public Ostrel::Factory {
public:
    Component* Create() override { return inner.Create(); }
    void Destroy(Component* component) override { inner.Destroy(component); }
    ~RecordingFactory() override { Events().push_back("factory " + IdText(Id)); }
    Ostrel::ComponentFactory<Probe<Id>> inner{Id};
};

}  // namespace

TEST(CompositionFactory, BlankGivesDistinctEmptyLiveObjects) {
    CompositionFactory factory;
    Composition* a = factory.Create("blank");
    Composition* b = factory.Create("blank");
    EXPECT_NE(a, b);
    EXPECT_TRUE(a->GetComponents().empty());
    EXPECT_EQ(factory.GetLiveCount(), 2u);
    factory.Destroy(a);
    factory.Destroy(b);
    EXPECT_EQ(factory.GetLiveCount(), 0u);
}

TEST(CompositionFactory, PrintsItsFixedTextsOnStdout) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(CompositionFactory::Instance(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Factory was never instantiated.\nDid you forget to make one?\n");

    CompositionFactory factory;
    RegisterProbes(factory);
    testing::internal::CaptureStdout();
    EXPECT_EQ(factory.Create("ghost-obj"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not find composition of type ghost-obj\n");
    EXPECT_EQ(factory.GetLiveCount(), 0u);

    Composition stray;
    testing::internal::CaptureStdout();
    factory.Destroy(&stray);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Could not find composition in list. We did not allocate this composition. Where the "
              "hell did it come from?!?.\n");

    // A component handed to a factory that did not make it is reported with
    // that factory's id and left alone.
    Ostrel::ComponentFactory<Probe<27>> transforms(27);
    Ostrel::ComponentFactory<Probe<FourCC("brnC")>> brains(FourCC("brnC"));
    Component* brain = brains.Create();
    Component* transform = transforms.Create();
    testing::internal::CaptureStdout();
    transforms.Destroy(brain);
    brains.Destroy(transform);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "We passed an improper pointer to factory with type 27\n"
              "We passed an improper pointer to factory with type 1651666499\n");
    brains.Destroy(brain);
    transforms.Destroy(transform);
}

TEST(CompositionFactory, TypeNamesAndIds) {
    CompositionFactory factory;
    RegisterProbes(factory);
    // A second name for an id: the first name in name order answers.
    factory.AddComponentType(new Ostrel::ComponentFactory<Probe<27>>(27), 27, "ATransformAlias");
    EXPECT_EQ(factory.GetComponentTypeName(27), "ATransformAlias");
    EXPECT_EQ(factory.GetComponentTypeName(42), "MeshProbe");
    EXPECT_EQ(factory.GetComponentTypeName(FourCC("zzzz")), "Could not find.");
    EXPECT_EQ(factory.GetComponentTypeId("MeshProbe"), 42u);
    EXPECT_EQ(factory.GetComponentTypeId("TriggeredDeathComponent"), 0u);

    // The first factory of an id stays: it made this component, so it can
    // destroy it without a complaint.
    testing::internal::CaptureStdout();
    Component* component = factory.CreateComponent(27);
    factory.DestroyComponent(component);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(CompositionFactory, UnregisteredIdGivesNullInsteadOfCrashing) {
    CompositionFactory factory;
    testing::internal::CaptureStdout();
    EXPECT_EQ(factory.CreateComponent(FourCC("trdC")), nullptr);
    EXPECT_EQ(factory.CreateComponentByName("NoSuchComponent"), nullptr);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("No component factory is registered with type"), std::string::npos);
}

TEST(CompositionFactory, ClonesArchetypesAndKeepsClonesAcrossArchetypeChanges) {
    CompositionFactory factory;
    RegisterProbes(factory);
    FileArchetype(factory, "bat-obj", {27, FourCC("msgC")}, 5);
    EXPECT_EQ(factory.GetLiveCount(), 0u) << "an archetype leaves the live list";

    Composition* bat = factory.Create("bat-obj");
    ASSERT_NE(bat, nullptr);
    EXPECT_EQ(bat->GetName(), "bat-obj");
    EXPECT_EQ(static_cast<Probe<27>*>(bat->GetComponent(27))->value, 5);

    // Destroying the archetype removes it; the clone is untouched.
    factory.Destroy(const_cast<Composition*>(factory.FindArchetype("bat-obj")));
    testing::internal::CaptureStdout();
    EXPECT_EQ(factory.Create("bat-obj"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not find composition of type bat-obj\n");
    EXPECT_EQ(static_cast<Probe<27>*>(bat->GetComponent(27))->value, 5);
    factory.Destroy(bat);
}

TEST(CompositionFactory, DuplicateArchetypeKeepsTheFirstAndFreesTheLater) {
    CompositionFactory factory;
    RegisterProbes(factory);
    Events().clear();
    FileArchetype(factory, "static-obj", {27}, 1);
    FileArchetype(factory, "static-obj", {27}, 5);
    EXPECT_EQ(Events(), std::vector<std::string>{"delete 27"});
    EXPECT_EQ(factory.GetLiveCount(), 0u);
    Composition* object = factory.Create("static-obj");
    EXPECT_EQ(static_cast<Probe<27>*>(object->GetComponent(27))->value, 1);
    factory.Destroy(object);

    FileArchetype(factory, "a-obj", {});
    EXPECT_EQ(factory.GetArchetypeNames(), (std::vector<std::string>{"a-obj", "static-obj"}));
}

TEST(CompositionFactory, InitializesArchetypesInNameOrder) {
    CompositionFactory factory;
    RegisterProbes(factory);
    FileArchetype(factory, "z-obj", {42});
    FileArchetype(factory, "a-obj", {27});
    Events().clear();
    factory.InitializeArchetypes();
    EXPECT_EQ(Events(), (std::vector<std::string>{"init 27", "init 42"}));
}

TEST(CompositionFactory, ShutdownReportsOnceAndFreesComponentsBeforeFactories) {
    Events().clear();
    testing::internal::CaptureStdout();
    {
        CompositionFactory factory;
        factory.AddComponentType(new RecordingFactory<27>(), 27, "TransformProbe");
        factory.AddComponentType(new RecordingFactory<42>(), 42, "MeshProbe");
        for (int i = 0; i < 2; ++i) {
            Composition* object = factory.Create("blank");
            object->AddComponent(factory.CreateComponent(27));
            object->AddComponent(factory.CreateComponent(42));
        }
        Composition* archetype = factory.Create("blank");
        archetype->AddComponent(factory.CreateComponent(42));
        factory.AddArchetype(archetype, "mesh-obj");
    }
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string header = "Not all compositions were freed on shutdown.\n\nUnfreed compositions were:\n";
    EXPECT_EQ(out.find(header), 0u) << out;
    EXPECT_EQ(out.find(header, 1), std::string::npos) << "the header is printed once";
    EXPECT_EQ(Events(), (std::vector<std::string>{"delete 27", "delete 42", "delete 27", "delete 42",
                                                  "delete 42", "factory 27", "factory 42"}));
}

TEST(CompositionFactory, ArchetypesLoadOnAnotherThreadWhileObjectsAreMade) {
    CompositionFactory factory;
    RegisterProbes(factory);
    FileArchetype(factory, "bat-obj", {27, 42, FourCC("msgC")});
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int i = 0; i < 300; ++i) {
            FileArchetype(factory, "loaded-" + std::to_string(i % 50), {27, 42});
        }
        done = true;
    });
    int made = 0;
    while (!done.load() || made < 300) {
        Composition* object = factory.Create("bat-obj");
        factory.Destroy(object);
        ++made;
    }
    loader.join();
    EXPECT_EQ(factory.GetArchetypeNames().size(), 51u);
    EXPECT_EQ(factory.GetLiveCount(), 0u);
}
