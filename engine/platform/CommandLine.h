#pragma once
// The executable holds three programs and picks one from its command line:
// its first argument "-l" starts the level editor, "-m" the model viewer,
// compared whole and case-sensitively; no argument, or any other first one,
// starts the game. None of the three takes further arguments: whatever the
// chosen program does not take ("box.fbx" in "-m box.fbx", "-m" in "-l -m",
// "-L") is reported as ignored, never an error.

#include <string>
#include <vector>

namespace Ostrel {

enum class Program { Game, LevelEditor, ModelViewer };

// The program a command line chooses and the arguments it leaves unused.
struct ProgramChoice {
    Program program = Program::Game;
    std::vector<std::string> ignored;
};

// From argv[1..argc-1].
ProgramChoice ChooseProgram(int argc, const char* const* argv);

// The line that reports one ignored argument, e.g. "Command line: 'box.fbx'
// ignored; the model viewer takes no further arguments".
std::string IgnoredArgumentLine(Program program, const std::string& argument);

}  // namespace Ostrel
