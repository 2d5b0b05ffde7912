#include "engine/io/ArchetypeLoader.h"
#include "engine/io/SerializerLevelSave.h"

#include "XmlTestFiles.h"

#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/TransformComponent.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/RoomInstance.h"
#include "game/RegisterComponentTypes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

// A resource tree of its own holding the sample archetypes, with the factory
// and resource manager a main would make.
class LevelSaveRoundTrip : public ::testing::Test {
protected:
    LevelSaveRoundTrip() {
        fs::remove_all(m_root);
        fs::create_directories(m_root + "/objects");
        fs::copy_file(std::string(LV_SOURCE_DIR) + "/rsc/objects/test.xobj", m_root + "/objects/test.xobj");
        Vandle::RegisterComponentTypes(m_factory);
        RegisterResourceKinds(m_resources, m_root);
        m_resources.RegisterLoader(kKindArchetype, &LoadArchetypeResource);
        m_resources.LoadAllOfKind(kKindArchetype);
    }
    ~LevelSaveRoundTrip() override {
        for (Composition* object : m_placed) m_factory.Destroy(object);
    }
    Composition* Place(const std::string& archetype) {
        m_placed.push_back(m_factory.Create(archetype));
        return m_placed.back();
    }

    const std::string m_root = XmlTest::ScratchPath("round-trip-" + std::to_string(getpid())) + "/rsc";
    CompositionFactory m_factory;
    ResourceManager m_resources;
    std::vector<Composition*> m_placed;
};

TEST_F(LevelSaveRoundTrip, TempleEntryKeepsTheMovedPositionOnly) {
    ASSERT_NE(m_factory.FindArchetype("test-obj"), nullptr);
    ASSERT_NE(m_factory.FindArchetype("other-obj"), nullptr);
    Composition* moved = Place("test-obj");
    moved->GetComponentAs<TransformComponent>()->Position().x = 3.5f;
    Place("other-obj");

    ASSERT_TRUE(SerializerLevelSave::SaveRoom("Temple-Entry", m_placed));
    const std::string path = m_root + "/level/Temple-Entry.xrm";
    // One component element with one field: the position that moved.
    EXPECT_EQ(XmlTest::ReadFile(path),
              "<Level>\n    <Attributes>\n        <Difficulty>0</Difficulty>\n    </Attributes>\n"
              "    <Objects>\n        <test-obj>\n            <TransformComponent>\n"
              "                <PosX>3.500000</PosX>\n            </TransformComponent>\n"
              "        </test-obj>\n        <other-obj />\n    </Objects>\n</Level>\n");
    EXPECT_TRUE(m_resources.GetPath("temple-entry").IsValid()) << "found at once, without a new walk";

    RoomInstance room("temple-entry");
    ASSERT_TRUE(SerializerXML(true).LoadRoom("temple-entry", room));
    ASSERT_EQ(room.GetObjects().size(), 2u);
    EXPECT_EQ(room.GetObjects()[0]->GetComponentAs<TransformComponent>()->GetPosition().x, 3.5f);
    EXPECT_EQ(room.GetObjects()[1]->GetComponentAs<TransformComponent>()->GetPosition().y, 2.0f);
}

}  // namespace
}  // namespace Ostrel
