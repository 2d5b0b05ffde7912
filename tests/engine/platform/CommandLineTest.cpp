#include "engine/platform/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace Ostrel {
namespace {

TEST(SelectProgram, OnlyTheExactWholeLineSelectsEditorOrViewer) {
    struct Row {
        const char* line;
        Program expected;
    };
    const Row rows[] = {
        {"-l", Program::LevelEditor}, {"-m", Program::ModelViewer}, {"", Program::Game},
        {"-l -m", Program::Game},     {"-L", Program::Game},        {"-l ", Program::Game},
        {" -l", Program::Game},       {"-m ", Program::Game},       {"-M", Program::Game},
        {"-lm", Program::Game},       {"l", Program::Game},
    };
    for (const Row& row : rows) EXPECT_EQ(SelectProgram(row.line), row.expected) << '"' << row.line << '"';
}

TEST(JoinCommandLine, JoinsArgumentsWithOneBlankAndKeepsTheirOwnBlanks) {
    const char* none[] = {"lantern-vaults"};
    EXPECT_EQ(JoinCommandLine(1, none), "");
    const char* two[] = {"lantern-vaults", "-l", "-m"};
    EXPECT_EQ(JoinCommandLine(3, two), "-l -m");
    EXPECT_EQ(SelectProgram(JoinCommandLine(3, two)), Program::Game);
    const char* trailing[] = {"lantern-vaults", "-l "};
    EXPECT_EQ(SelectProgram(JoinCommandLine(2, trailing)), Program::Game);
    const char* emptyArg[] = {"lantern-vaults", "-l", ""};
    EXPECT_EQ(JoinCommandLine(3, emptyArg), "-l ");
    EXPECT_EQ(SelectProgram(JoinCommandLine(3, emptyArg)), Program::Game);
    const char* editor[] = {"lantern-vaults", "-l"};
    EXPECT_EQ(SelectProgram(JoinCommandLine(2, editor)), Program::LevelEditor);
}

}  // namespace
}  // namespace Ostrel
