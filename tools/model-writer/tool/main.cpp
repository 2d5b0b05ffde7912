// model-writer: writes the sample model files (crate.bin, hinge.bin,
// hinge-wave.bin and the set hinge-fast.anim) into a folder.
//   model-writer FOLDER
// scripts/gen-models.sh runs it into rsc/models.

#include "tools/model-writer/SampleModels.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string problems = Ostrel::WriteSampleModels(argv[1]);
    if (!problems.empty()) {
        std::fprintf(stderr, "%s", problems.c_str());
        return 1;
    }
    return 0;
}
