// Entry point of lantern-vaults: the game (no argument), the level editor
// ("-l") and the model viewer ("-m").

#include "engine/core/Random.h"
#include "engine/platform/RunSwitches.h"

#include <cstdio>

int main(int, char**) {
    const Ostrel::RunSwitches& switches = Ostrel::RunSwitches::FromEnvironment();
    for (const std::string& error : switches.errors) std::fprintf(stderr, "%s\n", error.c_str());
    if (switches.seed) Ostrel::SRand(*switches.seed);
    return 0;
}
