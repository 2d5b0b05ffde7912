#include "engine/base/Assert.h"
#include "engine/base/Logger.h"
#include "engine/io/FileLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel {
namespace {

struct ExitMarker {
    ~ExitMarker() { std::fputs("destructor ran\n", stderr); }
};

int AnswerWith(int answer) {
    static int s_answer;
    s_answer = answer;
    SetAssertHandler([](const char*, const char*, const char*, int) { return s_answer; });
    return s_answer;
}

void FailWithAnswer(int answer) {
    ExitMarker marker;
    // DebugTrace installs the dialog handler; replace it afterwards by asking
    // AssertFailure directly, as the macro does.
    const char* trace = DebugTrace(__FILE__, __LINE__, "answer %d", answer);
    AnswerWith(answer);
    EndAssertion(AssertFailure("false", __FILE__, __LINE__, "%s", trace));
}

TEST(AssertDeathTest, EveryAnswerEndsWithExitCodeThreeWithoutDestructors) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int answer : {0, 1, 2}) {
        EXPECT_EXIT(FailWithAnswer(answer), testing::ExitedWithCode(3),
                    "AssertTest\\.cpp\\([0-9]+\\):answer [012]")
            << "answer " << answer;
    }
    EXPECT_EXIT(FailWithAnswer(1), testing::ExitedWithCode(3),
                testing::Not(testing::HasSubstr("destructor ran")));
}

TEST(AssertDeathTest, MacroReportsFileLineAndMessageVerbatimHeadless) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    const char* hostile = "room %s%n%x";
    EXPECT_EXIT(OSTREL_ASSERT(1 + 1 == 3, "bad room: %s", hostile), testing::ExitedWithCode(3),
                "AssertTest\\.cpp\\([0-9]+\\):bad room: room %s%n%x.*Assertion failed!"
                ".*Expression: 1 \\+ 1 == 3");
}

TEST(AssertDeathTest, FailedAssertionLeavesNoLogEndLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::filesystem::path path = std::filesystem::path(LV_TEST_TMP) / "io-assert-log.log";
    std::filesystem::remove(path);
    auto run = [&] {
        Logger logger;
        logger.AddProvider(std::make_unique<FileLog>(path.string(), std::ios_base::app));
        logger.Write("before\n", 5);
        OSTREL_ASSERT(false, "stop");
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(3), "stop");
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Starting application"), std::string::npos);
    EXPECT_NE(text.str().find("before\n"), std::string::npos);
    EXPECT_EQ(text.str().find("Terminating application"), std::string::npos);
}

TEST(AssertBox, ShortensLongProgramPathToItsLast49Characters) {
    std::string path = "/opt/games/lantern-vaults/release/bin/lantern-vaults-x86"; // 56
    path = "/home/player" + path.substr(0, 48);                                    // 60
    ASSERT_EQ(path.size(), 60u);
    std::string shortened = ShortenAssertProgramPath(path);
    EXPECT_EQ(shortened.size(), 49u);
    EXPECT_EQ(shortened.substr(0, 3), "...");
    EXPECT_EQ(shortened.substr(3), path.substr(14));
    EXPECT_EQ(ShortenAssertProgramPath("/usr/bin/lv"), "/usr/bin/lv");
}

TEST(AssertBox, ShortensLongFileNamesByTheirShape) {
    // Long directory, short last component: keep the component whole.
    std::string a = "/work/some/very/long/directory/name/for/sources/engine/Rm.cpp";
    std::string ra = ShortenAssertFileName(a);
    EXPECT_EQ(ra, a.substr(0, 49 - 7) + "..." + "/Rm.cpp");
    // Long directory and long last component: head, middle and tail pieces.
    std::string b = "/work/some/very/long/directory/name/ResourceManagerWithAVeryLongName.cpp";
    std::size_t k = b.size() - b.rfind('/');
    std::string rb = ShortenAssertFileName(b);
    EXPECT_EQ(rb, b.substr(0, 32) + "..." + b.substr(b.size() - k, 7) + "..." + b.substr(b.size() - 7));
    // Short directory: split the last component around the cut.
    std::string c = "src/AnExtremelyLongFileNameThatGoesOnAndOnForeverAndEver.cpp";
    std::size_t kc = c.size() - c.rfind('/');
    EXPECT_EQ(ShortenAssertFileName(c), c.substr(0, 49 - kc / 2) + "..." + c.substr(c.size() - kc / 2));
    EXPECT_EQ(ShortenAssertFileName("short.cpp"), "short.cpp");
}

TEST(AssertBox, TextStaysWithinLimitAndCutsTheExpressionLine) {
    std::string expression(800, 'x');
    std::string text = BuildAssertBoxText("/usr/bin/lantern-vaults", expression.c_str(), "msg",
                                          "engine/io/Thing.cpp", 12);
    EXPECT_LE(text.size(), 540u);
    EXPECT_NE(text.find("xxx...\n\n"), std::string::npos);
    EXPECT_NE(text.find("Line: 12\n"), std::string::npos);
    EXPECT_EQ(text.rfind("(Press Retry to debug the application - JIT must be enabled)"),
              text.size() - 60);
    std::string shortText = BuildAssertBoxText("/p", "a > b", " message", "f.cpp", 1);
    EXPECT_NE(shortText.find("Expression: a > b message\n\n"), std::string::npos);
}

}  // namespace
}  // namespace Ostrel
