// model-converter SOURCE -mv [-s]: converts a model source into
// "mv-asset.bin" in the working folder for the model viewer. Messages go to
// stdout; on failure the exit code is 1 and no file is written.

#include "tools/model-converter/ModelConverter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    std::string source;
    bool viewerOutput = false;
    Ostrel::ConvertOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-mv") {
            viewerOutput = true;
        } else if (arg == "-s") {
            options.scale = true;
        } else if (source.empty()) {
            source = arg;
        } else {
            std::printf("model-converter: unexpected argument '%s'\n", arg.c_str());
            return 2;
        }
    }
    if (source.empty() || !viewerOutput) {
        std::printf("usage: model-converter SOURCE -mv [-s]\n");
        return 2;
    }
    const Ostrel::ConvertResult result = Ostrel::ConvertModelFile(source, "mv-asset.bin", options);
    std::printf("model-converter: %s\n", result.message.c_str());
    return result.ok ? 0 : 1;
}
