#include "engine/platform/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace Ostrel {
namespace {

// The first argument chooses, compared whole; whatever follows (or a first
// argument that chooses nothing) is left over to be reported as ignored.
TEST(ChooseProgram, FirstArgumentChoosesAndTheRestIsIgnored) {
    struct Row {
        std::vector<const char*> args;
        Program expected;
        std::vector<std::string> ignored;
    };
    const Row rows[] = {
        {{}, Program::Game, {}},
        {{"-l"}, Program::LevelEditor, {}},
        {{"-m"}, Program::ModelViewer, {}},
        {{"-m", "box.fbx"}, Program::ModelViewer, {"box.fbx"}},
        {{"-l", "-m"}, Program::LevelEditor, {"-m"}},
        {{"-l", ""}, Program::LevelEditor, {""}},
        {{"-m", "a b", "-l"}, Program::ModelViewer, {"a b", "-l"}},
        {{"box.fbx", "-m"}, Program::Game, {"box.fbx", "-m"}},
        {{"-L"}, Program::Game, {"-L"}},
        {{"-l "}, Program::Game, {"-l "}},
        {{"-lm"}, Program::Game, {"-lm"}},
    };
    for (const Row& row : rows) {
        std::vector<const char*> argv{"lantern-vaults"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        const ProgramChoice choice = ChooseProgram(int(argv.size()), argv.data());
        const std::string what = row.args.empty() ? "(none)" : std::string(row.args[0]);
        EXPECT_EQ(choice.program, row.expected) << what;
        EXPECT_EQ(choice.ignored, row.ignored) << what;
    }
    EXPECT_EQ(IgnoredArgumentLine(Program::ModelViewer, "box.fbx"),
              "Command line: 'box.fbx' ignored; the model viewer takes no further arguments (drop files on its "
              "window)");
}

}  // namespace
}  // namespace Ostrel
