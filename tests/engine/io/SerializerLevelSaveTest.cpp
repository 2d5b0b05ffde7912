#include "engine/io/SerializerLevelSave.h"

#include "XmlObjectFixture.h"
#include "XmlTestFiles.h"

#include "engine/core/Composition.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <limits>
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

// A value typed or computed out of range never reaches the file: the key
// is left out (the archetype's value stands when the room is read), logged,
// and the values around it are written as ever; also in components that are
// written in full.
TEST_F(LevelSaveTest, NonFiniteFloatsAreLeftOutAndLogged) {
    Composition* probe = Place("probe-obj");
    probe->GetComponentAs<XmlTest::MarkerComponent>()->height = std::numeric_limits<float>::infinity();
    auto* values = probe->GetComponentAs<ProbeComponent>();
    values->speed = std::numeric_limits<float>::quiet_NaN();
    values->count = 7;
    Composition* spark = Place("spark-obj");
    spark->GetComponentAs<ParticleProbe>()->rate = -std::numeric_limits<float>::infinity();
    XmlTest::LogCapture log;
    SerializerLevelSave writer;
    writer.WriteObject(*probe);
    writer.WriteObject(*spark);
    const std::string saved = Saved(writer);
    EXPECT_EQ(saved.find("inf"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("nan"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Height"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<Count>7</Count>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<Burst>3</Burst>"), std::string::npos) << saved;
    for (const char* line : {"Height of MarkerComponent in 'probe-obj' is inf, not a finite number",
                             "Speed of ProbeComponent in 'probe-obj' is nan, not a finite number",
                             "Rate of ParticleEmitterComponent in 'spark-obj' is -inf, not a finite number"}) {
        EXPECT_NE(log.Text().find(line), std::string::npos) << log.Text();
    }
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
