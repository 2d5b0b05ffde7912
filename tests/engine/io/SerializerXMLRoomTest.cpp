#include "engine/io/SerializerXML.h"

#include "XmlObjectFixture.h"
#include "XmlTestFiles.h"

#include "engine/core/ComponentFactory.h"
#include "engine/core/Composition.h"
#include "engine/world/RoomInstance.h"

#include <gtest/gtest.h>

#include <string>

namespace Ostrel {
namespace {

using XmlTest::ObjectWorld;
using XmlTest::ProbeComponent;

TEST(SerializerXMLObjects, ArchetypesAreFiledByTagWithTheirComponents) {
    ObjectWorld world;
    EXPECT_EQ(world.factory.GetArchetypeNames(), (std::vector<std::string>{"probe-obj", "spark-obj"}));
    const Composition* probe = world.factory.FindArchetype("probe-obj");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->GetName(), "probe-obj");
    EXPECT_EQ(probe->GetComponentAs<ProbeComponent>()->speed, 4.5f);
    EXPECT_EQ(probe->GetComponentAs<ProbeComponent>()->count, 2) << "absent fields keep their defaults";
    EXPECT_EQ(probe->GetComponentAs<XmlTest::MarkerComponent>()->height, 1.0f);
}

TEST(SerializerXMLObjects, UnknownComponentsAndTheBlankNameAreSkipped) {
    XmlTest::LogCapture log;
    ObjectWorld world("<blank><ProbeComponent/></blank><odd-obj><NoSuchComponent><x>1</x></NoSuchComponent>"
                      "<ProbeComponent><Count>5</Count></ProbeComponent></odd-obj>");
    EXPECT_EQ(world.factory.GetArchetypeNames(), std::vector<std::string>{"odd-obj"});
    EXPECT_EQ(world.factory.FindArchetype("odd-obj")->GetComponentAs<ProbeComponent>()->count, 5);
    EXPECT_NE(log.Text().find("archetype name 'blank' is reserved"), std::string::npos) << log.Text();
}

// Tries to load another archetype file from inside a component's Serialize.
class NestingComponent : public ProbeComponent {
public:
    static constexpr u32 kTypeId = FourCC("nstC");
    u32 GetTypeId() const override { return kTypeId; }
    bool nestedAnswer = true;
    void Serialize(Serializer* s) override {
        if (auto* xml = dynamic_cast<SerializerXML*>(s)) {
            nestedAnswer = xml->LoadObjects(XmlTest::WriteFile("nested.xobj", "<other-obj/>"));
        }
    }
};

TEST(SerializerXMLObjects, ASecondLoadObjectsDuringALoadDoesNothing) {
    ObjectWorld world("");
    world.factory.AddComponentType(new ComponentFactory<NestingComponent>(NestingComponent::kTypeId),
                                   NestingComponent::kTypeId, "NestingComponent");
    SerializerXML reader(true);
    ASSERT_TRUE(reader.LoadObjects(XmlTest::WriteFile("outer.xobj", "<outer-obj><NestingComponent/></outer-obj>")));
    EXPECT_EQ(world.factory.GetArchetypeNames(), std::vector<std::string>{"outer-obj"});
    const Composition* outer = world.factory.FindArchetype("outer-obj");
    ASSERT_NE(outer, nullptr);
    auto* nesting = static_cast<NestingComponent*>(outer->GetComponent(NestingComponent::kTypeId));
    ASSERT_NE(nesting, nullptr);
    EXPECT_FALSE(nesting->nestedAnswer);
}

const char kRoom[] =
    "<Level><Attributes><Difficulty>4</Difficulty></Attributes><Objects>"
    "<probe-obj><ProbeComponent><Speed>9.25</Speed></ProbeComponent></probe-obj>"
    "<ghost-obj><ProbeComponent/></ghost-obj>"
    "<probe-obj><Missing><x>1</x></Missing><MarkerComponent><Height>-3</Height></MarkerComponent></probe-obj>"
    "</Objects></Level>";

TEST(SerializerXMLRoom, RoomValuesOverrideTheArchetypeBeforeInitialize) {
    ObjectWorld world;
    XmlTest::LogCapture log;
    {
        RoomInstance room("cave");
        SerializerXML reader(true);
        ASSERT_TRUE(reader.ReadRoomText("cave", kRoom, room));
        EXPECT_EQ(room.GetDifficulty(), 4);
        ASSERT_EQ(room.GetObjects().size(), 2u);
        auto* first = room.GetObjects()[0]->GetComponentAs<ProbeComponent>();
        EXPECT_EQ(first->speed, 9.25f);
        EXPECT_EQ(first->speedAtInitialize, 9.25f);
        auto* second = room.GetObjects()[1];
        EXPECT_EQ(second->GetComponentAs<XmlTest::MarkerComponent>()->height, -3.0f);
        EXPECT_EQ(second->GetComponentAs<ProbeComponent>()->speedAtInitialize, 4.5f);
    }
    EXPECT_EQ(log.Text(),
              "Room [cave]: unknown archetype 'ghost-obj'\n"
              "Room [cave]: object 'probe-obj' has no component 'Missing', skipped\n");
    EXPECT_EQ(world.factory.GetLiveCount(), 0u) << "the room destroyed its objects";
}

TEST(SerializerXMLRoom, BrokenOrIncompleteRoomsAreLoggedAndReadNothing) {
    ObjectWorld world;
    XmlTest::LogCapture log;
    RoomInstance room;
    SerializerXML reader(true);
    EXPECT_FALSE(reader.ReadRoomText("broken", "<Level><Objects>", room));
    EXPECT_TRUE(reader.ReadRoomText("bare", "<Level/>", room));
    EXPECT_TRUE(reader.ReadRoomText("only", "<Level><Objects><blank/></Objects></Level>", room));
    EXPECT_TRUE(room.GetObjects().empty());
    EXPECT_EQ(room.GetDifficulty(), 0);
    EXPECT_EQ(log.Text(),
              "Failed to parse file'broken'. Is the file name correct?\n"
              "broken: Error reading Element value.\n"
              "Room [bare]: no element 'Attributes', attributes left as they were\n"
              "Room [bare]: no element 'Objects', no objects read\n"
              "Room [only]: no element 'Attributes', attributes left as they were\n"
              "Room [only]: unknown archetype 'blank'\n");
}

// 40,000 objects of two components each need 80,000 component handles: more
// than the tables hold. The room is refused whole, with one line naming the
// file, instead of being made up to the point where the table is full.
TEST(SerializerXMLRoom, ARoomTooBigForTheObjectTablesIsRefusedWhole) {
    ObjectWorld world;
    XmlTest::LogCapture log;
    std::string text = "<Level><Attributes/><Objects>";
    for (int i = 0; i < 40000; ++i) text += "<probe-obj/>";
    text += "</Objects></Level>";
    RoomInstance room("swarm");
    SerializerXML reader(true);
    EXPECT_FALSE(reader.ReadRoomText("swarm", text.c_str(), room, "rsc/level/swarm.xrm"));
    EXPECT_TRUE(room.GetObjects().empty());
    EXPECT_EQ(world.factory.GetLiveCount(), 0u) << "no object was made";
    EXPECT_EQ(log.Text(),
              "rsc/level/swarm.xrm: room [swarm] places 40000 objects with 80000 components, more than the object "
              "tables hold (65536 each); the room is refused\n");
}

}  // namespace
}  // namespace Ostrel
