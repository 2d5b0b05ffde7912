#pragma once
// The executable holds three programs and picks one from its command line.
// The choice looks at the whole command line as one text (the arguments
// joined by single blanks) and compares it, case-sensitively, with "-l" and
// "-m". Anything else runs the game: there are no other options, so a
// command line like "-l -m", "-L" or "-l " (an argument with a trailing
// blank) starts the game, never an error.

#include <string>

namespace Ostrel {

enum class Program { Game, LevelEditor, ModelViewer };

// argv[1..argc-1] joined by one blank; an empty text without arguments.
std::string JoinCommandLine(int argc, const char* const* argv);

// "-l" -> LevelEditor, "-m" -> ModelViewer, anything else -> Game.
Program SelectProgram(const std::string& commandLine);

}  // namespace Ostrel
