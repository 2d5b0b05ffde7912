#include "engine/platform/CommandLine.h"

namespace Ostrel {

std::string JoinCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

Program SelectProgram(const std::string& commandLine) {
    if (commandLine == "-l") return Program::LevelEditor;
    if (commandLine == "-m") return Program::ModelViewer;
    return Program::Game;
}

}  // namespace Ostrel
