#include "engine/io/UserConfigManager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

fs::path FreshConfigDir(const std::string& name) {
    fs::path dir = fs::path(LV_TEST_TMP) / "io-userconfig" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> KeysOf(const fs::path& path) {
    ConfigureFileXML file(true);
    EXPECT_TRUE(file.Load(path.string()));
    return file.GetKeys();
}

TEST(UserConfigManager, MissingFileGivesNullReaderUntilItAppears) {
    fs::path dir = FreshConfigDir("retry");
    UserConfigManager manager(false);
    manager.SetDirectory(dir.string() + "/");
    EXPECT_EQ(UserConfigManager::Instance(), &manager);
    EXPECT_EQ(manager.GetReader(), nullptr);
    EXPECT_EQ(manager.GetReader(), nullptr);
    std::ofstream(dir / "UserConfig.xcfg") << "<UserSettings><WindowWidth>800</WindowWidth></UserSettings>";
    ConfigureFileXML* reader = manager.GetReader();
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(manager.GetReader(), reader);
    int width = 0;
    reader->Int("WindowWidth", &width);
    EXPECT_EQ(width, 800);
}

TEST(UserConfigManager, WritesExactlyTheKeysWrittenInOrderWhenNoFileExisted) {
    fs::path dir = FreshConfigDir("fresh");
    {
        UserConfigManager manager(true);
        manager.SetDirectory(dir.string());
        EXPECT_EQ(manager.GetReader(), nullptr);
        int width = 1280, height = 720, full = 1;
        bool bgm = false, sfx = true;
        ConfigureFileXML* writer = manager.GetWriter();
        writer->Int("WindowWidth", &width);
        writer->Int("WindowHeight", &height);
        writer->Int("Fullscreen", &full);
        writer->Bool("bgm-mute", &bgm);
        writer->Bool("sfx-mute", &sfx);
    }
    EXPECT_EQ(KeysOf(dir / "UserConfig.xcfg"),
              (std::vector<std::string>{"WindowWidth", "WindowHeight", "Fullscreen", "bgm-mute",
                                        "sfx-mute"}));
    EXPECT_THAT(ReadText(dir / "UserConfig.xcfg"), testing::HasSubstr("<UserSettings>"));
    EXPECT_FALSE(fs::exists(dir / "UserConfig.xcfg.tmp"));
    EXPECT_EQ(UserConfigManager::Instance(), nullptr);
}

TEST(UserConfigManager, KeysNobodyRewroteAreCarriedOver) {
    fs::path dir = FreshConfigDir("carry");
    std::ofstream(dir / "UserConfig.xcfg")
        << "<UserSettings><WindowWidth>640</WindowWidth><WindowHeight>480</WindowHeight>"
           "<Fullscreen>0</Fullscreen><bgm-mute>1</bgm-mute><sfx-mute>1</sfx-mute></UserSettings>";
    {
        // A tool run: only the window writes its keys.
        UserConfigManager manager(true);
        manager.SetDirectory(dir.string());
        int width = 1024, height = 768, full = 1;
        manager.GetWriter()->Int("WindowWidth", &width);
        manager.GetWriter()->Int("WindowHeight", &height);
        manager.GetWriter()->Int("Fullscreen", &full);
    }
    EXPECT_EQ(KeysOf(dir / "UserConfig.xcfg"),
              (std::vector<std::string>{"WindowWidth", "WindowHeight", "Fullscreen", "bgm-mute",
                                        "sfx-mute"}));
    ConfigureFileXML back(true);
    ASSERT_TRUE(back.Load((dir / "UserConfig.xcfg").string()));
    int width = 0;
    bool bgm = false;
    back.Int("WindowWidth", &width);
    back.Bool("bgm-mute", &bgm);
    EXPECT_EQ(width, 1024);
    EXPECT_TRUE(bgm);
}

TEST(UserConfigManager, FailedSaveIsLoggedAndLeavesNoFile) {
    fs::path dir = FreshConfigDir("readonly") / "missing-folder";
    UserConfigManager manager(false);
    manager.SetDirectory(dir.string());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(manager.Save());
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
                testing::HasSubstr("Failed to save file '" + (dir / "UserConfig.xcfg").string()));
}

// A settings file that does not parse is set aside under a name of its own
// (never written over, not even by a later broken file), what the parser
// read completely before the fault is still used, and one line says so.
TEST(UserConfigManager, UnreadableSettingsAreKeptAsideAndWhatIsWholeIsUsed) {
    struct Case {
        const char* text;
        const char* reason;
        std::vector<std::string> recovered;
    };
    const Case cases[] = {
        {"<UserSettings><WindowWidth>800</WindowWidth><WindowHeight>600</WindowHeight>"
         "<Fullscreen>0</Fullscreen><bgm-mu",
         "(line 1, column 104: Failed to read Element name)", {"WindowWidth", "WindowHeight", "Fullscreen"}},
        {"<UserSettings><WindowWidth>800</WindowWidth><WindowHeight>6", "(Error reading Element value.)",
         {"WindowWidth"}},
        {"", "(empty file)", {}},
        {"\x93\xff binary \x01", "(Error document empty.)", {}},
        {"<UserSettings><\">", "(Error reading Element value.)", {}},
    };
    fs::path dir = FreshConfigDir("broken");
    std::string expectedAside = "UserConfig.xcfg.broken";
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        std::ofstream(dir / "UserConfig.xcfg", std::ios::binary) << c.text;
        testing::internal::CaptureStderr();
        {
            UserConfigManager manager(true);
            manager.SetDirectory(dir.string());
            ConfigureFileXML* reader = manager.GetReader();
            EXPECT_EQ(reader == nullptr, c.recovered.empty()) << c.text;
            if (reader) {
                EXPECT_EQ(reader->GetKeys(), c.recovered);
            }
        }
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_THAT(log, testing::HasSubstr("UserConfig.xcfg could not be read (")) << c.text;
        EXPECT_THAT(log, testing::HasSubstr(c.reason));
        EXPECT_THAT(log, testing::HasSubstr("): kept as " + expectedAside + ", using the defaults"));
        EXPECT_EQ(ReadText(dir / expectedAside), c.text) << "kept byte for byte";
        if (!c.recovered.empty()) {
            EXPECT_EQ(KeysOf(dir / "UserConfig.xcfg"), c.recovered) << "the new file holds what was recovered";
        }
        expectedAside = "UserConfig.xcfg.broken-" + std::to_string(i + 2);
    }
    EXPECT_EQ(ReadText(dir / "UserConfig.xcfg.broken"), cases[0].text);
}

}  // namespace
}  // namespace Ostrel
