#include "engine/io/SerializerXML.h"

#include "XmlTestFiles.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <string>
#include <vector>

namespace Ostrel {
namespace {

// A stand-in object of two components with one field of each kind. Like a
// composition, it opens and closes a block per component when writing and,
// when reading, walks the blocks until "EOF", dispatching on their tags.
struct FakeObject {
    std::string name = "torch";
    float x = 0.0f;
    int count = 0;
    bool lit = false;
    float speed = 0.0f;

    void Transform(Serializer& s) {
        s.SerializeFloat("x", &x);
        s.SerializeInt("count", &count);
    }
    void Light(Serializer& s) {
        s.SerializeString("name", &name);
        s.SerializeBool("lit", &lit);
        s.SerializeFloat("speed", &speed);
    }
    void Serialize(Serializer& s) {
        if (s.IsReading()) {
            for (std::string block; block != "EOF";) {
                s.SerializeBlock(block);
                if (block == "TransformComponent") Transform(s);
                if (block == "LightComponent") Light(s);
            }
            return;
        }
        std::string block = "TransformComponent";
        s.SerializeBlock(block);
        Transform(s);
        block = "EOF";
        s.SerializeBlock(block);
        block = "LightComponent";
        s.SerializeBlock(block);
        Light(s);
        block = "EOF";
        s.SerializeBlock(block);
    }
};

std::string Print(const TiXmlNode& node) {
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    node.Accept(&printer);
    return printer.Str();
}

std::string Block(Serializer& s, std::string name) {
    s.SerializeBlock(name);
    return name;
}

TEST(SerializerXML, WritesValueTextsAndAnswersFalse) {
    SerializerXML writer(false);
    float half = 1.5f;
    float huge = 1e15f;
    bool yes = true;
    int minus = -7;
    std::string empty;
    std::string word = "lamp";
    EXPECT_FALSE(writer.SerializeFloat("f", &half));
    EXPECT_FALSE(writer.SerializeFloat("big", &huge));
    EXPECT_FALSE(writer.SerializeBool("b", &yes));
    EXPECT_FALSE(writer.SerializeInt("i", &minus));
    EXPECT_FALSE(writer.SerializeString("empty", &empty));
    EXPECT_FALSE(writer.SerializeString("s", &word));
    EXPECT_EQ(Print(writer.Document()),
              "<f>1.500000</f><big>999999986991104.000000</big><b>1</b><i>-7</i><s>lamp</s>");
}

TEST(SerializerXML, WritesLargestFloatsInFull) {
    SerializerXML writer(false);
    float largest = 3.4028235e38f;
    writer.SerializeFloat("v", &largest);
    const std::string text = writer.Document().FirstChildElement("v")->GetText();
    EXPECT_EQ(text, "340282346638528859811704183484516925440.000000");
}

TEST(SerializerXML, WritingBlocksKeepsFirstAsParentOfCurrent) {
    SerializerXML writer(false);
    TiXmlNode* root = writer.Current();
    int value = 3;
    Block(writer, "A");
    TiXmlNode* a = writer.Current();
    EXPECT_EQ(writer.First(), root);
    Block(writer, "B");
    EXPECT_EQ(writer.First(), a);
    EXPECT_EQ(writer.First(), writer.Current()->Parent());
    writer.SerializeInt("v", &value);
    Block(writer, "EOF");
    EXPECT_EQ(writer.Current(), a);
    EXPECT_EQ(writer.First(), root);
    Block(writer, "EOF");
    EXPECT_EQ(writer.Current(), root);
    EXPECT_EQ(Print(writer.Document()), "<A><B><v>3</v></B></A>");
}

TEST(SerializerXML, ReadingBlocksGivesTagsThenEofThenStartsAgain) {
    SerializerXML reader(true);
    reader.Document().Parse("<list><a/><b/><c/></list>");
    reader.BeginBlockList(reader.Document().FirstChildElement()->FirstChildElement());
    std::vector<std::string> tags;
    for (int i = 0; i < 6; ++i) {
        tags.push_back(Block(reader, "ignored"));
    }
    EXPECT_EQ(tags, (std::vector<std::string>{"a", "b", "c", "EOF", "a", "b"}));
}

TEST(SerializerXML, ObjectRoundTripsThroughAFile) {
    FakeObject original;
    original.name = "blue flame";
    original.x = -2.25f;
    original.count = 42;
    original.lit = true;
    original.speed = 0.125f;
    SerializerXML writer(false);
    Block(writer, "torch-obj");
    original.Serialize(writer);
    Block(writer, "EOF");
    const std::string path = XmlTest::ScratchPath("round-trip.xml");
    ASSERT_TRUE(writer.SaveFile(path));

    SerializerXML reader(true);
    ASSERT_TRUE(reader.Document().LoadFile(path.c_str()));
    reader.BeginBlockList(reader.Document().FirstChildElement()->FirstChildElement());
    FakeObject copy;
    copy.Serialize(reader);
    EXPECT_EQ(copy.name, original.name);
    EXPECT_EQ(copy.x, original.x);
    EXPECT_EQ(copy.count, original.count);
    EXPECT_EQ(copy.lit, original.lit);
    EXPECT_EQ(copy.speed, original.speed);
}

TEST(SerializerXML, ReadingAnswersTrueOnceTheElementIsFound) {
    SerializerXML reader(true);
    reader.Document().Parse("<o><f>abc</f><i>12x</i><e/><s>word</s><neg>-1</neg><zero>0</zero><bad>no</bad></o>");
    reader.SetCurrent(reader.Document().FirstChildElement());
    float f = 4.5f;
    EXPECT_TRUE(reader.SerializeFloat("f", &f));
    EXPECT_EQ(f, 4.5f) << "a text that is no number leaves the field";
    int i = 0;
    EXPECT_TRUE(reader.SerializeInt("i", &i));
    EXPECT_EQ(i, 12);
    int e = 9;
    EXPECT_TRUE(reader.SerializeInt("e", &e));
    EXPECT_EQ(e, 9) << "an element without text leaves the field";
    std::string s = "old";
    EXPECT_TRUE(reader.SerializeString("e", &s));
    EXPECT_EQ(s, "");
    EXPECT_TRUE(reader.SerializeString("s", &s));
    EXPECT_EQ(s, "word");
    std::string missing = "kept";
    EXPECT_FALSE(reader.SerializeString("absent", &missing));
    EXPECT_EQ(missing, "kept");
}

TEST(SerializerXML, BoolsAreReadThroughTheIntRule) {
    SerializerXML reader(true);
    reader.Document().Parse("<o><neg>-1</neg><zero>0</zero><seven>7</seven><bad>no</bad></o>");
    reader.SetCurrent(reader.Document().FirstChildElement());
    bool value = false;
    EXPECT_TRUE(reader.SerializeBool("neg", &value));
    EXPECT_TRUE(value);
    EXPECT_TRUE(reader.SerializeBool("zero", &value));
    EXPECT_FALSE(value);
    EXPECT_TRUE(reader.SerializeBool("seven", &value));
    EXPECT_TRUE(value);
    EXPECT_TRUE(reader.SerializeBool("bad", &value));
    EXPECT_TRUE(value) << "an unparsable bool keeps its value";
    value = false;
    EXPECT_FALSE(reader.SerializeBool("absent", &value));
    EXPECT_FALSE(value);
}

// A subclass whose ints are doubled shows that bools go through the virtual
// int operation.
class DoublingSerializer : public SerializerXML {
public:
    using SerializerXML::SerializerXML;
    std::vector<std::string> intNames;
    bool SerializeInt(const std::string& name, int* value) override {
        intNames.push_back(name);
        return SerializerXML::SerializeInt(name, value);
    }
};

TEST(SerializerXML, BoolsGoThroughTheVirtualIntOperation) {
    DoublingSerializer writer(false);
    bool flag = true;
    writer.SerializeBool("flag", &flag);
    EXPECT_EQ(writer.intNames, std::vector<std::string>{"flag"});
}

TEST(SerializerXML, NullCurrentReadsAndWritesNothing) {
    SerializerXML reader(true);
    reader.SetCurrent(nullptr);
    int value = 5;
    EXPECT_FALSE(reader.SerializeInt("x", &value));
    EXPECT_EQ(value, 5);

    SerializerXML writer(false);
    Block(writer, "EOF");  // closes the document itself: nothing is open any more
    Block(writer, "EOF");
    Block(writer, "A");
    writer.SerializeInt("x", &value);
    EXPECT_EQ(Print(writer.Document()), "");
}

TEST(SerializerXML, SaveFileReplacesTheFileAndLeavesNoTemporary) {
    const std::string path = XmlTest::WriteFile("replace.xml", "<old/>");
    SerializerXML writer(false);
    Block(writer, "new");
    ASSERT_TRUE(writer.SaveFile(path));
    EXPECT_EQ(XmlTest::ReadFile(path), "<new />\n");
    EXPECT_EQ(XmlTest::ReadFile(path + ".tmp"), "");
}

TEST(SerializerXML, SaveFileIntoAMissingFolderAnswersFalse) {
    SerializerXML writer(false);
    Block(writer, "new");
    const std::string path = XmlTest::ScratchPath("no-such-folder/room.xrm");
    EXPECT_FALSE(writer.SaveFile(path));
}

TEST(SerializerXML, AFailedSaveRemovesOnlyTheTemporaryItWrote) {
    namespace fs = std::filesystem;
    SerializerXML writer(false);
    Block(writer, "new");
    XmlTest::LogCapture log;

    // A folder already named like the temporary: the save cannot write and
    // the folder, empty or not, is still there afterwards.
    const std::string blocked = XmlTest::WriteFile("blocked.xrm", "<old/>");
    fs::remove_all(blocked + ".tmp");
    ASSERT_TRUE(fs::create_directory(blocked + ".tmp"));
    EXPECT_FALSE(writer.SaveFile(blocked));
    EXPECT_TRUE(fs::is_directory(blocked + ".tmp"));
    EXPECT_EQ(XmlTest::ReadFile(blocked), "<old/>");
    EXPECT_NE(log.Text().find("Failed to save file '" + blocked + "'"), std::string::npos) << log.Text();
    fs::remove_all(blocked + ".tmp");

    // The temporary was written but cannot replace the target (a folder
    // with something in it): this save's temporary goes, the target stays.
    const std::string target = XmlTest::ScratchPath("target-folder.xrm");
    fs::remove_all(target);
    fs::create_directories(target + "/inside");
    EXPECT_FALSE(writer.SaveFile(target));
    EXPECT_FALSE(fs::exists(target + ".tmp"));
    EXPECT_TRUE(fs::is_directory(target + "/inside"));
    fs::remove_all(target);
}

}  // namespace
}  // namespace Ostrel
