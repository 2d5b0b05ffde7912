// Entry point of lantern-vaults: the game, the level editor ("-l") or the
// model viewer ("-m"), chosen by the first argument; other arguments are
// reported as ignored. Returns 0, or the code of a failure that ended the run
// early in order (no render device): every failure after start-up is
// reported by the part that meets it.

#include "app/Mains.h"
#include "engine/core/Random.h"
#include "engine/base/Log.h"
#include "engine/platform/AssertBox.h"
#include "engine/platform/CommandLine.h"
#include "engine/platform/ExitCode.h"
#include "engine/base/RunSwitches.h"

#include <string>

int main(int argc, char** argv) {
    Ostrel::InstallAssertBox();
    const Ostrel::RunSwitches& switches = Ostrel::RunSwitches::FromEnvironment();
    // No log hub exists yet: these lines go to stderr.
    for (const std::string& error : switches.errors) Ostrel::LogMessage(error + "\n");
    if (switches.seed) Ostrel::SRand(*switches.seed);
    const Ostrel::ProgramChoice choice = Ostrel::ChooseProgram(argc, argv);
    for (const std::string& argument : choice.ignored)
        Ostrel::LogMessage(Ostrel::IgnoredArgumentLine(choice.program, argument) + "\n");
    switch (choice.program) {
        case Ostrel::Program::LevelEditor: Ostrel::RunLevelEditor(); break;
        case Ostrel::Program::ModelViewer: Ostrel::RunModelViewer(); break;
        case Ostrel::Program::Game: Ostrel::GameMain(); break;
    }
    return Ostrel::ProcessExitCode();
}
