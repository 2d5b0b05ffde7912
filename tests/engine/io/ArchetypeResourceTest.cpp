#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/TransformComponent.h"
#include "engine/io/ArchetypeLoader.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "game/RegisterComponentTypes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using Ostrel::Composition;
using Ostrel::CompositionFactory;
using Ostrel::Vec3;

namespace {

const std::string kObjects = std::string(LV_SOURCE_DIR) + "/rsc/objects/core-test-objects.xobj";
const std::string kData = std::string(LV_SOURCE_DIR) + "/tests/engine/core/data/";

class ArchetypeResourceTest : public ::testing::Test {
protected:
    void SetUp() override { Vandle::RegisterComponentTypes(factory); }

    Vec3 PositionOf(const std::string& archetype) {
        return factory.FindArchetype(archetype)->GetTransform()->GetPosition();
    }

    CompositionFactory factory;
};

}  // namespace

TEST_F(ArchetypeResourceTest, LoadsEveryTopLevelElementAsAnArchetype) {
    Ostrel::LoadArchetypeResource(kObjects);
    EXPECT_EQ(factory.GetArchetypeNames(),
              (std::vector<std::string>{"brain-obj", "crate-obj", "static-obj", "timed-obj"}));
    EXPECT_EQ(factory.GetLiveCount(), 0u);
    EXPECT_EQ(PositionOf("static-obj"), Vec3(0, 1, 0));
    const Composition* timed = factory.FindArchetype("timed-obj");
    EXPECT_EQ(timed->GetComponents().size(), 4u);
    EXPECT_EQ(timed->GetId(), 0u);
    EXPECT_EQ(factory.FindArchetype("crate-obj")->GetComponents().size(), 5u);

    // Objects made from it are deep copies in ascending type-id order.
    Composition* crate = factory.Create("crate-obj");
    std::vector<std::string> order;
    for (const auto& [id, component] : crate->GetComponents()) order.push_back(factory.GetComponentTypeName(id));
    EXPECT_EQ(order, (std::vector<std::string>{"TransformComponent", "MeshComponent",
                                               "CollisionComponent", "MovementComponent",
                                               "MessageComponent"}));
    EXPECT_EQ(crate->GetTransform()->GetScale(), Vec3(2, 2, 2));
    factory.Destroy(crate);
}

TEST_F(ArchetypeResourceTest, LoadingAgainKeepsTheFirstArchetypesWithoutLeaking) {
    Ostrel::LoadArchetypeResource(kObjects);
    Ostrel::LoadArchetypeResource(kObjects);
    Ostrel::LoadArchetypeResource(kData + "core-test-objects-dup.xobj");
    EXPECT_EQ(factory.GetArchetypeNames().size(), 4u);
    EXPECT_EQ(PositionOf("static-obj"), Vec3(0, 1, 0));
    EXPECT_EQ(factory.GetLiveCount(), 0u);
}

TEST_F(ArchetypeResourceTest, UnknownBlocksAndTheReservedNameAreLoggedAndSkipped) {
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    Ostrel::LoadArchetypeResource(kData + "bad-block.xobj");
    Ostrel::LoadArchetypeResource(kData + "reserved-objects.xobj");
    testing::internal::GetCapturedStdout();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("'NoSuchComponent'"), std::string::npos) << log;
    EXPECT_NE(log.find("'TriggeredDeathComponent'"), std::string::npos) << log;
    ASSERT_NE(factory.FindArchetype("bad-obj"), nullptr);
    EXPECT_EQ(factory.FindArchetype("bad-obj")->GetComponents().size(), 1u);
    EXPECT_EQ(PositionOf("bad-obj"), Vec3(0, 0, 3));
    EXPECT_NE(factory.FindArchetype("after-bad-obj"), nullptr) << "loading goes on";
    EXPECT_NE(log.find("reserved-objects.xobj: archetype name 'blank' is reserved, skipped"), std::string::npos)
        << log;
    EXPECT_EQ(factory.FindArchetype("blank"), nullptr);
    EXPECT_NE(factory.FindArchetype("after-blank-obj"), nullptr);
}

TEST_F(ArchetypeResourceTest, MissingOrMalformedFilesAreLoggedAndChangeNothing) {
    const std::string broken = std::string(LV_TEST_TMP) + "/broken-archetypes.xobj";
    std::ofstream(broken) << "<half-obj><TransformComponent><PosX>1.0</PosX>";
    testing::internal::CaptureStderr();
    Ostrel::LoadArchetypeResource(kData + "no-such-file.xobj");
    Ostrel::LoadArchetypeResource(broken);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("no-such-file.xobj"), std::string::npos) << log;
    EXPECT_NE(log.find("broken-archetypes.xobj"), std::string::npos) << log;
    EXPECT_TRUE(factory.GetArchetypeNames().empty());
    EXPECT_EQ(factory.GetLiveCount(), 0u);
}

TEST_F(ArchetypeResourceTest, ReloadReadsTheFilesAgainAndLeavesObjectsAlone) {
    const std::string root = std::string(LV_TEST_TMP) + "/reload-rsc";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "/objects");
    const std::string file = root + "/objects/reload.xobj";
    std::ofstream(file) << "<moved-obj><TransformComponent><PosX>1.000000</PosX></TransformComponent></moved-obj>";

    Ostrel::ResourceManager resources;
    resources.RegisterExtension(Ostrel::kKindArchetype, "xobj");
    resources.RegisterLoader(Ostrel::kKindArchetype, &Ostrel::LoadArchetypeResource);
    resources.LoadHierarchy(root);
    resources.LoadAllOfKind(Ostrel::kKindArchetype);
    Composition* before = factory.Create("moved-obj");
    ASSERT_NE(before, nullptr);

    std::ofstream(file) << "<moved-obj><TransformComponent><PosX>7.000000</PosX></TransformComponent></moved-obj>"
                           "<new-obj />";
    factory.ReloadArchetypes();
    EXPECT_EQ(factory.GetArchetypeNames(), (std::vector<std::string>{"moved-obj", "new-obj"}));
    EXPECT_EQ(PositionOf("moved-obj"), Vec3(7, 0, 0));
    EXPECT_EQ(before->GetTransform()->GetPosition(), Vec3(1, 0, 0));
    factory.Destroy(before);
}

TEST_F(ArchetypeResourceTest, AnObjectWrittenAsXmlReadsBackAsTheSameArchetype) {
    Composition* object = factory.Create("blank");
    for (const char* name : {"MessageComponent", "MeshComponent", "TransformComponent"}) {
        object->AddComponent(factory.CreateComponentByName(name));
    }
    object->GetTransform()->SetPosition(Vec3(1.5f, -2, 3));
    object->GetTransform()->SetRotation(Vec3(0, 90, 0));

    Ostrel::SerializerXML writer(false);
    std::string block = "round-obj";
    writer.SerializeBlock(block);
    object->Serialize(&writer);
    std::string end = "EOF";
    writer.SerializeBlock(end);
    const std::string path = std::string(LV_TEST_TMP) + "/round-trip.xobj";
    ASSERT_TRUE(writer.SaveFile(path));
    factory.Destroy(object);

    Ostrel::LoadArchetypeResource(path);
    const Composition* loaded = factory.FindArchetype("round-obj");
    ASSERT_NE(loaded, nullptr);
    std::vector<std::string> order;
    for (const auto& [id, component] : loaded->GetComponents()) order.push_back(factory.GetComponentTypeName(id));
    EXPECT_EQ(order, (std::vector<std::string>{"TransformComponent", "MeshComponent", "MessageComponent"}));
    EXPECT_EQ(PositionOf("round-obj"), Vec3(1.5f, -2, 3));
    EXPECT_EQ(loaded->GetTransform()->GetRotation(), Vec3(0, 90, 0));
}
