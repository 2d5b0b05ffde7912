#include "engine/base/Log.h"
#include "engine/base/Logger.h"
#include "engine/io/FileLog.h"
#include "engine/io/LogException.h"
#include "engine/io/LogStartup.h"
#include "engine/io/UserDataFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cctype>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

fs::path FreshDir(const std::string& name) {
    fs::path dir = fs::path(LV_TEST_TMP) / "io-logger" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// "[Sun Sep 07 09:05:03 2025] ": fixed positions of blanks, colons and digits.
bool LooksLikeStamp(const std::string& line) {
    const std::string shape = "[Aaa Aaa 00 00:00:00 0000] ";
    if (line.size() < shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        char want = shape[i], got = line[i];
        if (want == '0' && !std::isdigit(static_cast<unsigned char>(got))) return false;
        if (want == 'A' && !std::isupper(static_cast<unsigned char>(got))) return false;
        if (want == 'a' && !std::islower(static_cast<unsigned char>(got))) return false;
        if (want != '0' && want != 'A' && want != 'a' && want != got) return false;
    }
    return true;
}

struct RecordingProvider : ILogProvider {
    RecordingProvider(std::vector<std::string>* sink, std::string tag) : m_sink(sink), m_tag(tag) {}
    ~RecordingProvider() override { m_sink->push_back(m_tag + ":deleted"); }
    void Write(const char* text) override { m_sink->push_back(m_tag + ":" + text); }
    std::vector<std::string>* m_sink;
    std::string m_tag;
};

TEST(FileLog, TimeTextIsZeroPaddedAsciiTime) {
    std::tm when{};
    when.tm_year = 2025 - 1900;
    when.tm_mon = 8;
    when.tm_mday = 7;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_sec = 3;
    when.tm_isdst = -1;
    std::string text = FileLog::TimeText(std::mktime(&when));
    EXPECT_EQ(text, "Sun Sep 07 09:05:03 2025");
    EXPECT_EQ(text.size(), 24u);
}

TEST(FileLog, TwoRunsAppendStartAndEndLinesAndMessagesContinueLines) {
    fs::path path = FreshDir("runs") / "error_log.log";
    for (int run = 0; run < 2; ++run) {
        Logger logger;
        AddStandardLogProviders(logger, path.string());
        logger.Write("first part ", 5);
        logger.Write("second part\n", 5);
        logger.Write("dropped at level six\n", 6);
    }
    std::string text = ReadText(path);
    std::istringstream lines(text);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_EQ(all.size(), 6u) << text;
    for (int run = 0; run < 2; ++run) {
        EXPECT_TRUE(LooksLikeStamp(all[run * 3])) << all[run * 3];
        EXPECT_NE(all[run * 3].find("] Starting application"), std::string::npos);
        EXPECT_EQ(all[run * 3 + 1], "first part second part");
        EXPECT_NE(all[run * 3 + 2].find("] Terminating application"), std::string::npos);
    }
    EXPECT_EQ(text.find("level six"), std::string::npos);
}

TEST(FileLog, UnopenableFileThrowsWithItsPath) {
    fs::path path = fs::path(LV_TEST_TMP) / "io-logger" / "no-such-dir" / "x" / "error_log.log";
    try {
        FileLog log(path.string(), std::ios_base::app);
        FAIL() << "expected LogException";
    } catch (const LogException& e) {
        EXPECT_EQ(std::string(e.what()), "unable to open requested log file: " + path.string());
    }
}

TEST(Logger, WritesProvidersInOrderAndDeletesThemInOrder) {
    std::vector<std::string> sink;
    {
        Logger logger;
        logger.AddProvider(std::make_unique<RecordingProvider>(&sink, "file"));
        logger.AddProvider(std::make_unique<RecordingProvider>(&sink, "console"));
        logger.Write("hello\n", 5);
        logger.Write("too verbose\n", 6);
    }
    EXPECT_EQ(sink, (std::vector<std::string>{"file:hello\n", "console:hello\n", "file:deleted",
                                              "console:deleted"}));
}

TEST(Logger, StartsWithoutFileWhenFolderIsMissing) {
    Logger logger;
    testing::internal::CaptureStderr();
    bool fileOpen = AddStandardLogProviders(logger, "/nonexistent-folder/for/sure/error_log.log");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fileOpen);
    EXPECT_EQ(logger.GetProviderCount(), 1u);
    EXPECT_NE(err.find("unable to open requested log file: /nonexistent-folder"), std::string::npos);
}

TEST(Logger, ConcurrentWritersNeverTearLines) {
    fs::path path = FreshDir("threads") / "error_log.log";
    {
        Logger logger;
        logger.AddProvider(std::make_unique<FileLog>(path.string(), std::ios_base::app));
        Logger::SetCurrent(&logger);
        auto writer = [](char c) {
            std::string line(200, c);
            line += "\n";
            for (int i = 0; i < 200; ++i) LogMessagef("%s", line.c_str());
        };
        std::thread a(writer, 'a');
        std::thread b(writer, 'b');
        writer('c');
        a.join();
        b.join();
    }
    EXPECT_EQ(Logger::Current(), nullptr);
    std::istringstream lines(ReadText(path));
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("application") != std::string::npos) continue;
        ASSERT_EQ(line.size(), 200u);
        EXPECT_EQ(line.find_first_not_of(line[0]), std::string::npos);
        ++count;
    }
    EXPECT_EQ(count, 600);
}

// Lines logged while a file is read name it once, at the line's start; the
// innermost scope wins, and another thread's lines are not touched.
TEST(Log, SourceScopesNameTheFileBeingRead) {
    std::vector<std::string> lines;
    {
        Logger logger;
        logger.AddProvider(std::make_unique<RecordingProvider>(&lines, "p"));
        Logger::SetCurrent(&logger);
        LogMessage("before\n");
        {
            LogSourceScope palette("rsc/levels/a.rmp");
            LogMessage("Room palette a is refused\n");
            LogErrorf("rsc/levels/a.rmp: already named\n");
            {
                LogSourceScope room("rsc/level/r.xrm");
                LogMessage("Room [r] has no exit; ");
                LogMessage("the room is refused\n");
                LogSourceScope none("");
                LogErrorf("%s\n", "still the room");
                std::thread([] { LogMessage("other thread\n"); }).join();
            }
            LogMessage("back to the palette\n");
        }
        LogMessage("after\n");
        Logger::SetCurrent(nullptr);
    }
    const std::vector<std::string> expected = {
        "p:before\n",
        "p:rsc/levels/a.rmp: Room palette a is refused\n",
        "p:rsc/levels/a.rmp: already named\n",
        "p:rsc/level/r.xrm: Room [r] has no exit; ",
        "p:the room is refused\n",
        "p:rsc/level/r.xrm: still the room\n",
        "p:other thread\n",
        "p:rsc/levels/a.rmp: back to the palette\n",
        "p:after\n",
        "p:deleted",
    };
    EXPECT_EQ(lines, expected);
}

TEST(Log, FallsBackToStderrWithoutAHub) {
    ASSERT_EQ(Logger::Current(), nullptr);
    testing::internal::CaptureStderr();
    LogMessagef("value %d%%\n", 42);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "value 42%\n");
}

TEST(UserDataFolder, CreatesNestedFolderAndAcceptsExistingOne) {
    fs::path base = FreshDir("xdg") / "deep" / "share";
    setenv("XDG_DATA_HOME", base.c_str(), 1);
    EXPECT_EQ(GetUserDataPath(kUserFolderName), (base / "Brisa and Qil Lantern Vaults").string());
    EXPECT_TRUE(CreateUserDataFolder(kUserFolderName));
    EXPECT_TRUE(CreateUserDataFolder(kUserFolderName));
    EXPECT_TRUE(fs::is_directory(base / kUserFolderName));
    std::string home = getenv("HOME") ? getenv("HOME") : "";
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    EXPECT_EQ(GetLocalAppDataPath(), ".");
    if (!home.empty()) setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace Ostrel
