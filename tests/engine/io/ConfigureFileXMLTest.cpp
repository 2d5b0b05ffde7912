#include "engine/io/ConfigureFileXML.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

ConfigureFileXML Reader(const std::string& text) {
    ConfigureFileXML file(true);
    EXPECT_TRUE(file.LoadFromText(text));
    return file;
}

TEST(ConfigureFileXML, ReadsKeysAndKeepsDefaultsForMissingOnes) {
    ConfigureFileXML file(true);
    ASSERT_TRUE(file.LoadFromText(
        "<CoreSystem><debug>1</debug><max-fps>30</max-fps><name>core</name><empty/></CoreSystem>"));
    Serializer& s = file;
    bool debug = false;
    float maxFps = 60.0f;
    float missing = 2.5f;
    std::string name, empty = "default";
    EXPECT_TRUE(s.SerializeBool("debug", &debug));
    EXPECT_TRUE(s.SerializeFloat("max-fps", &maxFps));
    EXPECT_FALSE(s.SerializeFloat("gravity", &missing));
    EXPECT_TRUE(s.SerializeString("name", &name));
    EXPECT_TRUE(s.SerializeString("empty", &empty));
    EXPECT_TRUE(debug);
    EXPECT_FLOAT_EQ(maxFps, 30.0f);
    EXPECT_FLOAT_EQ(missing, 2.5f);
    EXPECT_EQ(name, "core");
    EXPECT_EQ(empty, "");
    EXPECT_TRUE(s.IsReading());
    EXPECT_FALSE(s.IsWriting());
    std::string block = "x";
    s.SerializeBlock(block);
    EXPECT_EQ(block, "x");
}

TEST(ConfigureFileXML, BoolTreatsMinusOneAsMissingZeroAsFalseOtherIntegersAsTrue) {
    ConfigureFileXML file =
        Reader("<c><a>-1</a><b>0</b><c>7</c><d>junk</d><e></e><f>1</f><f>0</f></c>");
    struct Case {
        const char* key;
        bool start;
        bool expected;
        bool found;
    } cases[] = {{"a", true, true, false},  {"a", false, false, false}, {"b", true, false, true},
                 {"c", false, true, true},  {"d", true, true, false},  {"e", false, false, false},
                 {"f", false, true, true},  {"zz", true, true, false}};
    for (const Case& c : cases) {
        bool value = c.start;
        EXPECT_EQ(file.SerializeBool(c.key, &value), c.found) << c.key;
        EXPECT_EQ(value, c.expected) << c.key;
    }
}

TEST(ConfigureFileXML, NumbersThatDoNotParseLeaveTheValue) {
    ConfigureFileXML file = Reader("<c><i>abc</i><f>x1</f><j>12</j></c>");
    int i = 5, j = 0;
    float f = 1.5f;
    file.Int("i", &i);
    file.Float("f", &f);
    file.Int("j", &j);
    EXPECT_EQ(i, 5);
    EXPECT_FLOAT_EQ(f, 1.5f);
    EXPECT_EQ(j, 12);
}

TEST(ConfigureFileXML, WriterAppendsKeysInOrderAndTwiceWrittenKeyReadsFirst) {
    ConfigureFileXML writer(false, "UserSettings");
    int width = 1280;
    bool full = true;
    float big = 1e15f;
    std::string empty;
    EXPECT_FALSE(writer.SerializeInt("WindowWidth", &width));
    writer.Bool("Fullscreen", &full);
    writer.Float("Big", &big);
    writer.String("Nothing", &empty);
    width = 800;
    writer.Int("WindowWidth", &width);
    EXPECT_EQ(writer.GetKeys(),
              (std::vector<std::string>{"WindowWidth", "Fullscreen", "Big", "WindowWidth"}));
    std::string text = writer.ToText();
    EXPECT_NE(text.find("<Fullscreen>1</Fullscreen>"), std::string::npos);
    EXPECT_NE(text.find("<Big>999999986991104.000000</Big>"), std::string::npos);

    ConfigureFileXML reader = Reader(text);
    int readWidth = 0;
    reader.Int("WindowWidth", &readWidth);
    EXPECT_EQ(readWidth, 1280);
}

TEST(ConfigureFileXML, SaveWritesThroughTemporaryFileAndReportsFailure) {
    fs::path dir = fs::path(LV_TEST_TMP) / "io-config";
    fs::create_directories(dir);
    fs::path path = dir / "saved.xcfg";
    ConfigureFileXML writer(false, "UserSettings");
    int v = 3;
    writer.Int("k", &v);
    ASSERT_TRUE(writer.SaveFile(path.string()));
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));
    ConfigureFileXML reader(true);
    ASSERT_TRUE(reader.Load(path.string()));
    int back = 0;
    reader.Int("k", &back);
    EXPECT_EQ(back, 3);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(writer.SaveFile((dir / "missing-dir" / "x.xcfg").string()));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Failed to save file '"), std::string::npos);
}

TEST(ConfigureFileXML, MalformedOrRootlessDocumentsReadNothing) {
    ConfigureFileXML broken(true);
    EXPECT_FALSE(broken.LoadFromText("<a><b>1</a>"));
    int v = 4;
    EXPECT_FALSE(broken.SerializeInt("b", &v));
    EXPECT_EQ(v, 4);
    ConfigureFileXML missing(true);
    EXPECT_FALSE(missing.Load("/nonexistent/config.xcfg"));
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_FALSE(missing.SerializeInt("b", &v));
}

TEST(ConfigureFileXML, RefusesDocumentsNestedDeepEnoughToExhaustTheStack) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    ConfigureFileXML file(true);
    EXPECT_FALSE(file.LoadFromText("<c>" + deep + "</c>"));
    int v = 1;
    EXPECT_FALSE(file.SerializeInt("a", &v));
    EXPECT_TRUE(file.LoadFromText("<c><a>2</a></c>"));
    EXPECT_TRUE(file.SerializeInt("a", &v));
    EXPECT_EQ(v, 2);
}

TEST(ConfigureFileXML, CarriesOverOnlyKeysNotRewritten) {
    ConfigureFileXML old = Reader(
        "<UserSettings><WindowWidth>640</WindowWidth><bgm-mute>1</bgm-mute><sfx-mute>0</sfx-mute>"
        "</UserSettings>");
    ConfigureFileXML writer(false, "UserSettings");
    int width = 1024;
    writer.Int("WindowWidth", &width);
    writer.CarryOverMissingKeys(old);
    EXPECT_EQ(writer.GetKeys(), (std::vector<std::string>{"WindowWidth", "bgm-mute", "sfx-mute"}));
    ConfigureFileXML back = Reader(writer.ToText());
    int w = 0;
    bool bgm = false;
    back.Int("WindowWidth", &w);
    back.Bool("bgm-mute", &bgm);
    EXPECT_EQ(w, 1024);
    EXPECT_TRUE(bgm);
}

TEST(ConfigureFileXML, CarryOverKeepsOnlyPlainKeysAndTheirText) {
    // Found by fuzzing: names TinyXML accepts but prints back differently
    // would have changed the settings file's keys on the next run.
    ConfigureFileXML old = Reader(
        "<UserSettings><ok-key_1.x>5<inner>9</inner></ok-key_1.x><k:ns>1</k:ns>"
        "</UserSettings>");
    ConfigureFileXML writer(false, "UserSettings");
    writer.CarryOverMissingKeys(old);
    EXPECT_EQ(writer.GetKeys(), std::vector<std::string>{"ok-key_1.x"});
    EXPECT_EQ(writer.ToText().find("inner"), std::string::npos);
    EXPECT_TRUE(IsPlainKeyName("WindowWidth"));
    EXPECT_TRUE(IsPlainKeyName("bgm-mute"));
    EXPECT_FALSE(IsPlainKeyName("-x"));
    EXPECT_FALSE(IsPlainKeyName(""));
}

}  // namespace
}  // namespace Ostrel
