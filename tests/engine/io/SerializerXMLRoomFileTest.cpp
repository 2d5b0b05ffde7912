#include "engine/io/SerializerLevelSave.h"
#include "engine/io/SerializerXML.h"

#include "XmlObjectFixture.h"
#include "XmlTestFiles.h"

#include "engine/core/Composition.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/RoomInstance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;
using XmlTest::MarkerComponent;
using XmlTest::ProbeComponent;

// The probe world over a resource tree of its own (without a "level" folder:
// the save makes it), with the resource manager a main would make.
class RoomFileTest : public ::testing::Test {
protected:
    RoomFileTest() {
        fs::remove_all(m_root);
        fs::create_directories(m_root + "/misc");
        XmlTest::WriteFile(Leaf() + "/rsc/misc/old-room.xrm",
                           "<Level><Attributes><Difficulty>2</Difficulty></Attributes>"
                           "<Objects><probe-obj/></Objects></Level>");
        RegisterResourceKinds(m_resources, m_root);
    }
    ~RoomFileTest() override {
        for (Composition* object : m_placed) m_world.factory.Destroy(object);
    }
    static std::string Leaf() { return "room-files-" + std::to_string(getpid()); }
    Composition* Place(const std::string& archetype) {
        m_placed.push_back(m_world.factory.Create(archetype));
        return m_placed.back();
    }

    const std::string m_root = XmlTest::ScratchPath(Leaf()) + "/rsc";
    XmlTest::ObjectWorld m_world;
    ResourceManager m_resources;
    std::vector<Composition*> m_placed;
};

TEST_F(RoomFileTest, SavedRoomIsFoundAtOnceAndLoadsTheChangedValuesBack) {
    Composition* moved = Place("probe-obj");
    moved->GetComponentAs<MarkerComponent>()->height = 3.5f;
    Place("spark-obj");
    Composition* unsaved = Place("probe-obj");
    unsaved->SetSaveFlag(false);

    ASSERT_TRUE(SerializerLevelSave::SaveRoom("Temple-Entry", m_placed));
    const std::string path = m_root + "/level/Temple-Entry.xrm";
    EXPECT_EQ(XmlTest::ReadFile(path),
              "<Level>\n    <Attributes>\n        <Difficulty>0</Difficulty>\n    </Attributes>\n"
              "    <Objects>\n        <probe-obj>\n            <MarkerComponent>\n"
              "                <Height>3.500000</Height>\n            </MarkerComponent>\n"
              "        </probe-obj>\n        <spark-obj>\n            <ParticleEmitterComponent>\n"
              "                <Rate>2.000000</Rate>\n                <Burst>3</Burst>\n"
              "            </ParticleEmitterComponent>\n        </spark-obj>\n    </Objects>\n</Level>\n");
    EXPECT_EQ(m_resources.GetPath("temple-entry").GetString(), path) << "found without a new walk";
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    RoomInstance room("temple-entry");
    ASSERT_TRUE(SerializerXML(true).LoadRoom("temple-entry", room));
    ASSERT_EQ(room.GetObjects().size(), 2u);
    EXPECT_EQ(room.GetObjects()[0]->GetComponentAs<MarkerComponent>()->height, 3.5f);
    EXPECT_EQ(room.GetObjects()[0]->GetComponentAs<ProbeComponent>()->speed, 4.5f);
    EXPECT_EQ(room.GetObjects()[1]->GetName(), "spark-obj");
}

TEST_F(RoomFileTest, RoomsFromTheWalkLoadByAnyCaseOfTheirName) {
    RoomInstance room;
    ASSERT_TRUE(SerializerXML(true).LoadRoom("Old-Room", room));
    EXPECT_EQ(room.GetDifficulty(), 2);
    ASSERT_EQ(room.GetObjects().size(), 1u);
    EXPECT_EQ(room.GetObjects()[0]->GetComponentAs<MarkerComponent>()->height, 1.0f);
}

TEST_F(RoomFileTest, FailedSaveAnswersFalseLogsAndRegistersNothing) {
    fs::create_directories(m_root + "/level/Blocked.xrm");  // a folder where the file should go
    Place("probe-obj");
    XmlTest::LogCapture log;
    std::string why;
    EXPECT_FALSE(SerializerLevelSave::SaveRoom("Blocked", m_placed, 0, &why));
    EXPECT_EQ(why, std::strerror(EISDIR));  // the system's own words
    EXPECT_EQ(log.Text(), "Failed to save file '" + m_root + "/level/Blocked.xrm': " + why + "\n");
    EXPECT_NE(m_resources.GetPath("blocked").GetString(), m_root + "/level/Blocked.xrm");
}

TEST_F(RoomFileTest, MissingRoomIsLoggedAndSkipped) {
    RoomInstance room;
    XmlTest::LogCapture log;
    EXPECT_FALSE(SerializerXML(true).LoadRoom("no-such-room", room));
    EXPECT_EQ(log.Text(), "unable to read designated room file: no-such-room, room skipped\n");
}

}  // namespace
}  // namespace Ostrel
