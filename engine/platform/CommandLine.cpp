#include "engine/platform/CommandLine.h"

namespace Ostrel {

ProgramChoice ChooseProgram(int argc, const char* const* argv) {
    ProgramChoice choice;
    int next = 1;
    if (argc > 1 && argv[1] != nullptr) {
        const std::string first = argv[1];
        if (first == "-l") choice.program = Program::LevelEditor;
        if (first == "-m") choice.program = Program::ModelViewer;
        if (choice.program != Program::Game) next = 2;
    }
    for (int i = next; i < argc; ++i) choice.ignored.emplace_back(argv[i] != nullptr ? argv[i] : "");
    return choice;
}

std::string IgnoredArgumentLine(Program program, const std::string& argument) {
    std::string line = "Command line: '" + argument + "' ignored; ";
    switch (program) {
        case Program::LevelEditor: return line + "the level editor takes no further arguments";
        case Program::ModelViewer:
            return line + "the model viewer takes no further arguments (drop files on its window)";
        case Program::Game: break;
    }
    return line + "the game takes no arguments (-l starts the level editor, -m the model viewer)";
}

}  // namespace Ostrel
