#include "engine/io/SerializerXML.h"
#include "engine/io/StateResourceTable.h"

#include "XmlTestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {
namespace {

TEST(SerializerXMLLoaders, PropertiesKeepTheFirstValueOfADuplicateTag) {
    const std::string path = XmlTest::WriteFile("dup.xpro", "<b>2</b><a>1</a><c>x</c><a>9</a><empty/>");
    PropertyPage page{{"c", "kept"}};
    SerializerXML reader(true);
    ASSERT_TRUE(reader.LoadProperties(path, page));
    EXPECT_EQ(page, (PropertyPage{{"a", "1"}, {"b", "2"}, {"c", "kept"}, {"empty", ""}}));
}

TEST(SerializerXMLLoaders, LevelOrderListsTopLevelTagsInDocumentOrder) {
    const std::string path = XmlTest::WriteFile("order.xlod", "<a><ignored/></a>\n<b/><c>text</c>");
    std::vector<std::string> order{"before"};
    SerializerXML reader(true);
    ASSERT_TRUE(reader.LoadLevelOrder(path, order));
    EXPECT_EQ(order, (std::vector<std::string>{"before", "a", "b", "c"}));
}

TEST(SerializerXMLLoaders, UnreadableFilesLeaveTheTargetUnchanged) {
    const std::string missing = XmlTest::ScratchPath("missing.xpro");
    const std::string broken = XmlTest::WriteFile("broken.xlod", "<a><b></a>");
    PropertyPage page{{"x", "1"}};
    std::vector<std::string> order;
    SerializerXML reader(true);
    EXPECT_FALSE(reader.LoadProperties(missing, page));
    EXPECT_FALSE(reader.LoadLevelOrder(broken, order));
    EXPECT_FALSE(reader.LoadLevelOrder(XmlTest::ScratchPath(""), order)) << "a folder is no file";
    EXPECT_EQ(page, (PropertyPage{{"x", "1"}}));
    EXPECT_TRUE(order.empty());
    // The serializer is free for the next file after a failure.
    const std::string good = XmlTest::WriteFile("good.xlod", "<only/>");
    EXPECT_TRUE(reader.LoadLevelOrder(good, order));
    EXPECT_EQ(order, std::vector<std::string>{"only"});
}

struct SoundRecord {
    std::string name;
    bool stream = true;
    bool loop = false;
    float volume = 1.0f;
    int instances = 0;
    void Serialize(Serializer& s) {
        s.SerializeString("name", &name);
        s.SerializeBool("stream", &stream);
        s.SerializeBool("loop", &loop);
        s.SerializeFloat("volume", &volume);
        s.SerializeInt("instances", &instances);
    }
};

struct SoundTable {
    std::map<std::string, std::unique_ptr<SoundRecord>> records;
    SoundRecord* GetOrCreate(const std::string& name) {
        auto& record = records[name];
        if (!record) {
            record = std::make_unique<SoundRecord>();
            record->name = name;
        }
        return record.get();
    }
};

TEST(SerializerXMLLoaders, SoundManifestFillsRecordsByName) {
    const std::string path = XmlTest::WriteFile(
        "sounds.xsm",
        "<sounds><s><name>menu-bgm</name><loop>1</loop><volume>0.5</volume></s>"
        "<x><name>light-thud-sfx</name><stream>0</stream><instances>2</instances></x>"
        "<s><volume>0.25</volume></s>"
        "<s><name>menu-bgm</name><instances>1</instances></s></sounds>");
    SoundTable table;
    SerializerXML reader(true);
    ASSERT_TRUE(reader.LoadSoundManifest(path, table));
    ASSERT_EQ(table.records.size(), 3u);
    const SoundRecord& bgm = *table.records["menu-bgm"];
    EXPECT_TRUE(bgm.stream);
    EXPECT_TRUE(bgm.loop);
    EXPECT_EQ(bgm.volume, 0.5f) << "a later entry of the name keeps earlier values it does not name";
    EXPECT_EQ(bgm.instances, 1);
    const SoundRecord& thud = *table.records["light-thud-sfx"];
    EXPECT_FALSE(thud.stream);
    EXPECT_EQ(thud.instances, 2);
    EXPECT_EQ(table.records[""]->volume, 0.25f) << "an entry without a name files under the empty name";
}

TEST(SerializerXMLLoaders, MissingExpectedElementsReadNothing) {
    const std::string manifest = XmlTest::WriteFile("nosounds.xsm", "<other><s><name>a</name></s></other>");
    const std::string palette = XmlTest::WriteFile("nopalette.xpal", "<Palet><TileDimensionX>4</TileDimensionX></Palet>");
    SoundTable table;
    int paletteReads = 0;
    SerializerXML reader(true);
    EXPECT_TRUE(reader.LoadSoundManifest(manifest, table));
    EXPECT_TRUE(reader.LoadPaletteWith(palette, [&](Serializer&) { ++paletteReads; }));
    EXPECT_TRUE(table.records.empty());
    EXPECT_EQ(paletteReads, 0);
}

struct PaletteRecord {
    int tileX = 0;
    std::string atlas;
    void Serialize(Serializer& s) {
        s.SerializeInt("TileDimensionX", &tileX);
        s.SerializeString("AtlasName", &atlas);
    }
};

TEST(SerializerXMLLoaders, PaletteReadsThePaletteElement) {
    const std::string path = XmlTest::WriteFile(
        "tiles.xpal", "<Other><TileDimensionX>1</TileDimensionX></Other>"
                      "<Palette><TileDimensionX>32</TileDimensionX><AtlasName>stone</AtlasName></Palette>");
    PaletteRecord palette;
    SerializerXML reader(true);
    ASSERT_TRUE(reader.LoadPalette(path, palette));
    EXPECT_EQ(palette.tileX, 32);
    EXPECT_EQ(palette.atlas, "stone");
}

TEST(SerializerXMLLoaders, ASecondLoadDuringALoadDoesNothing) {
    const std::string manifest = XmlTest::WriteFile("nested.xsm", "<sounds><s><name>a</name></s></sounds>");
    const std::string order = XmlTest::WriteFile("nested.xlod", "<x/>");
    SerializerXML reader(true);
    std::vector<std::string> levels;
    bool nestedAnswer = true;
    reader.LoadSoundManifestWith(manifest, [&](const std::string&, Serializer&) {
        nestedAnswer = reader.LoadLevelOrder(order, levels);
    });
    EXPECT_FALSE(nestedAnswer);
    EXPECT_TRUE(levels.empty());
    EXPECT_FALSE(reader.IsLoaded());
    EXPECT_TRUE(reader.LoadLevelOrder(order, levels)) << "the finished load frees the serializer";
}

TEST(SerializerXMLLoaders, StatesKeepTheFirstOfADuplicateStateAndType) {
    const std::string path = XmlTest::WriteFile(
        "states.xstt",
        "<GamePlay><player-obj><Activity>1</Activity><ObjectFlags>3</ObjectFlags></player-obj>"
        "<bat-obj><Activity>2</Activity></bat-obj>"
        "<player-obj><Activity>9</Activity><ObjectFlags>9</ObjectFlags></player-obj></GamePlay>"
        "<LevelEditor/>"
        "<GamePlay><other-obj><Activity>5</Activity></other-obj></GamePlay>");
    StateResourceTable table;
    SerializerXML reader(true);
    ASSERT_TRUE(reader.LoadStates(path, table));
    ASSERT_EQ(table.States().size(), 2u);
    const StateRecord* game = table.Find("GamePlay");
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(game->size(), 2u);
    EXPECT_EQ(game->at("player-obj").activity, 1);
    EXPECT_EQ(game->at("player-obj").objectFlags, 3u);
    EXPECT_EQ(game->at("bat-obj").activity, 2);
    EXPECT_EQ(game->at("bat-obj").objectFlags, 0u) << "a missing ObjectFlags reads as 0";
    ASSERT_NE(table.Find("LevelEditor"), nullptr);
    EXPECT_TRUE(table.Find("LevelEditor")->empty());
}

TEST(SerializerXMLLoaders, StatesGoIntoTheRunsTable) {
    const std::string path = XmlTest::WriteFile("run-states.xstt", "<GamePlay><a-obj/></GamePlay>");
    SerializerXML reader(true);
    EXPECT_FALSE(reader.LoadStates(path)) << "no table exists";
    StateResourceTable table;
    ASSERT_TRUE(reader.LoadStates(path));
    ASSERT_NE(table.Find("GamePlay"), nullptr);
    EXPECT_EQ(table.Find("GamePlay")->count("a-obj"), 1u);
}

}  // namespace
}  // namespace Ostrel

namespace Ostrel {
namespace {

TEST(SerializerXMLLoaders, LogsTheExactFailureTexts) {
    XmlTest::LogCapture log;
    const std::string missing = XmlTest::ScratchPath("absent.file");
    SerializerXML reader(true);
    PropertyPage page;
    std::vector<std::string> order;
    StateResourceTable table;
    reader.LoadProperties(missing, page);
    reader.LoadLevelOrder(missing, order);
    reader.LoadStates(missing, table);
    reader.LoadPaletteWith(missing, [](Serializer&) {});
    // The long-standing line, then the reason on a line of its own.
    const std::string why = missing + ": no such file\n";
    EXPECT_EQ(log.Text(),
              "Failed to open file '" + missing + "'. Is the file name correct?\n" + why +
              "Failed to open file '" + missing + "'. Is the file name correct?\n" + why +
              "Failed to open file'" + missing + "'. Is the file name correct?\n" + why +
              "Failed to open file'" + missing + "'. Is the file name correct?\n" + why);
}

TEST(SerializerXMLLoaders, MissingExpectedElementIsLoggedOnce) {
    const std::string path = XmlTest::WriteFile("empty-manifest.xsm", "<sound/>");
    XmlTest::LogCapture log;
    SerializerXML reader(true);
    reader.LoadSoundManifestWith(path, [](const std::string&, Serializer&) {});
    EXPECT_EQ(log.Text(), path + ": no element 'sounds', nothing read\n");
}

TEST(SerializerXMLLoaders, FailedSaveIsLoggedAndKeepsTheOldFile) {
    const std::string folder = XmlTest::ScratchPath("occupied");
    std::filesystem::create_directories(folder + "/inside");
    SerializerXML writer(false);
    std::string block = "Level";
    writer.SerializeBlock(block);
    XmlTest::LogCapture log;
    EXPECT_FALSE(writer.SaveFile(folder)) << "a folder stands where the file should go";
    EXPECT_EQ(log.Text(), "Failed to save file '" + folder + "': " + std::strerror(EISDIR) + "\n");
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/inside"));
    EXPECT_FALSE(std::filesystem::exists(folder + ".tmp"));
}

}  // namespace
}  // namespace Ostrel

#include "engine/io/XmlDocumentFile.h"

namespace Ostrel {
namespace {

TEST(XmlDocumentFile, DeeplyNestedFilesAreRefusedNotACrash) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    const std::string path = XmlTest::WriteFile("deep.xlod", deep);
    std::vector<std::string> order;
    SerializerXML reader(true);
    {
        XmlTest::LogCapture log;
        EXPECT_FALSE(reader.LoadLevelOrder(path, order));
        EXPECT_NE(log.Text().find("Failed to open file '" + path + "'. Is the file name correct?\n" + path +
                                  ": elements nested 100000 levels deep (at most 256 are read)\n"),
                  std::string::npos)
            << log.Text();
    }
    EXPECT_TRUE(order.empty());
    std::string limit;
    for (std::size_t i = 0; i < kMaxXmlDepth; ++i) limit = "<a>" + limit + "</a>";
    EXPECT_TRUE(reader.LoadLevelOrder(XmlTest::WriteFile("limit.xlod", limit), order));
    EXPECT_EQ(order, std::vector<std::string>{"a"});
}

TEST(XmlDocumentFile, ParseFailuresSayWhereAndWhy) {
    const std::string path = XmlTest::WriteFile("broken.xobj", "<a>\n  <b></c>\n</a>");
    SerializerXML reader(true);
    XmlTest::LogCapture log;
    EXPECT_FALSE(reader.LoadObjects(path));
    EXPECT_FALSE(reader.LoadObjects(XmlTest::ScratchPath("")));
    EXPECT_EQ(log.Text(), "Failed to open file'" + path + "'. Is the file name correct?\n" + path +
                              ": line 2, column 6: Error reading end tag.\n" +
                              "Failed to open file'" + XmlTest::ScratchPath("") +
                              "'. Is the file name correct?\n" + XmlTest::ScratchPath("") +
                              ": a folder, not a file\n");
}

TEST(XmlDocumentFile, CarriageReturnsReadAsLineEnds) {
    const std::string path = XmlTest::WriteFile("crlf.xpro", "<a>one\r\ntwo\rthree</a>\r\n<b>x</b>");
    PropertyPage page;
    SerializerXML reader(true);
    ASSERT_TRUE(reader.LoadProperties(path, page));
    EXPECT_EQ(page["a"], "one two three") << "line ends are white space, condensed";
    EXPECT_EQ(page["b"], "x");
}

}  // namespace
}  // namespace Ostrel
