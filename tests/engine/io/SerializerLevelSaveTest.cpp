#include "engine/io/SerializerLevelSave.h"

#include "XmlObjectFixture.h"
#include "XmlTestFiles.h"

#include "engine/core/Composition.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace Ostrel {
namespace {

using XmlTest::ObjectWorld;
using XmlTest::ParticleProbe;
using XmlTest::ProbeComponent;

std::string Saved(const SerializerLevelSave& writer) {
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    writer.Document().Accept(&printer);
    return printer.Str();
}

class LevelSaveTest : public ::testing::Test {
protected:
    ObjectWorld world;
    Composition* Place(const std::string& archetype) {
        Composition* object = world.factory.Create(archetype);
        placed.push_back(object);
        return object;
    }
    ~LevelSaveTest() override {
        for (Composition* object : placed) world.factory.Destroy(object);
    }
    std::vector<Composition*> placed;
};

TEST_F(LevelSaveTest, UnchangedObjectIsAnEmptyElement) {
    Composition* probe = Place("probe-obj");
    SerializerLevelSave writer;
    writer.WriteObject(*probe);
    EXPECT_EQ(Saved(writer), "<Level><Objects><probe-obj /></Objects></Level>");
}

TEST_F(LevelSaveTest, OneChangedFloatGivesOneComponentWithOneField) {
    Composition* probe = Place("probe-obj");
    probe->GetComponentAs<XmlTest::MarkerComponent>()->height = 2.5f;
    SerializerLevelSave writer;
    writer.WriteObject(*probe);
    EXPECT_EQ(Saved(writer),
              "<Level><Objects><probe-obj><MarkerComponent><Height>2.500000</Height>"
              "</MarkerComponent></probe-obj></Objects></Level>");
}

TEST_F(LevelSaveTest, ChangedFieldsOfSeveralComponentsComeInTypeIdOrder) {
    Composition* probe = Place("probe-obj");
    auto* values = probe->GetComponentAs<ProbeComponent>();
    values->speed = 4.5000005f;  // differs in the last bit only: floats compare exactly
    values->count = 7;
    values->on = false;
    values->label = "torch";
    probe->GetComponentAs<XmlTest::MarkerComponent>()->height = 0.0f;
    SerializerLevelSave writer;
    writer.WriteObject(*probe);
    EXPECT_EQ(Saved(writer),
              "<Level><Objects><probe-obj>"
              "<MarkerComponent><Height>0.000000</Height></MarkerComponent>"
              "<ProbeComponent><Speed>4.500000</Speed><Count>7</Count><On>0</On><Label>torch</Label>"
              "</ProbeComponent></probe-obj></Objects></Level>");
}

TEST_F(LevelSaveTest, ParticleEmitterIsWrittenInFullAndEmptyStringsNever) {
    Composition* spark = Place("spark-obj");
    Composition* probe = Place("probe-obj");
    probe->GetComponentAs<ProbeComponent>()->label.clear();  // differs, but empty
    SerializerLevelSave writer;
    writer.WriteObject(*spark);
    writer.WriteObject(*probe);
    EXPECT_EQ(Saved(writer),
              "<Level><Objects><spark-obj><ParticleEmitterComponent><Rate>2.000000</Rate>"
              "<Burst>3</Burst></ParticleEmitterComponent></spark-obj><probe-obj /></Objects></Level>");
}

TEST_F(LevelSaveTest, ObjectWithoutArchetypeDefaultsIsWrittenInFull) {
    Composition* loose = Place("blank");
    loose->SetName("loose-obj");
    loose->AddComponent(world.factory.CreateComponent(ParticleProbe::kTypeId));
    loose->AddComponent(world.factory.CreateComponent(ProbeComponent::kTypeId));
    SerializerLevelSave writer;
    writer.WriteObject(*loose);
    EXPECT_EQ(Saved(writer),
              "<Level><Objects><loose-obj><ProbeComponent><Speed>1.000000</Speed><Count>2</Count><On>1</On>"
              "<Label>lamp</Label></ProbeComponent><ParticleEmitterComponent><Rate>2.000000</Rate>"
              "<Burst>3</Burst></ParticleEmitterComponent></loose-obj></Objects></Level>");
}

TEST_F(LevelSaveTest, DefaultInstancesAreDestroyedWithTheWriter) {
    const std::size_t live = world.factory.GetLiveCount();
    {
        SerializerLevelSave writer;
        EXPECT_EQ(world.factory.GetLiveCount(), live + 2) << "one instance per archetype";
    }
    EXPECT_EQ(world.factory.GetLiveCount(), live);
}

}  // namespace
}  // namespace Ostrel
