// Replays a fuzz corpus through one fuzz target's LLVMFuzzerTestOneInput, so
// the corpus runs as a normal test with g++ (no libFuzzer needed). The first
// argument names the target (its file name without "Fuzz.cpp"); the others
// are files or directories (every file inside, sorted). Exit code 0 when
// every input ran; a crash or trap fails the test as it would fail the fuzzer.

#include "tests/fuzz/FuzzReplayTargets.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

namespace {

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

FuzzEntry FindTarget(std::string_view name) {
    for (std::size_t i = 0; i < kFuzzReplayTargetCount; ++i)
        if (name == kFuzzReplayTargets[i].name) return kFuzzReplayTargets[i].run;
    return nullptr;
}

bool RunFile(FuzzEntry target, const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    target(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    FuzzEntry target = argc > 1 ? FindTarget(argv[1]) : nullptr;
    if (target == nullptr) {
        std::fprintf(stderr, "usage: %s TARGET CORPUS...; targets:", argv[0]);
        for (std::size_t i = 0; i < kFuzzReplayTargetCount; ++i) std::fprintf(stderr, " %s", kFuzzReplayTargets[i].name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    std::size_t count = 0;
    bool ok = true;
    for (int i = 2; i < argc; ++i) {
        std::filesystem::path arg(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg))
                if (entry.is_regular_file()) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(arg);
        }
        for (const auto& file : files) {
            ok = RunFile(target, file) && ok;
            ++count;
        }
    }
    // Also the empty input, which every parser must survive.
    target(nullptr, 0);
    std::printf("replayed %zu inputs\n", count);
    if (count == 0) {
        std::fprintf(stderr, "no corpus inputs found\n");
        return 1;
    }
    return ok ? 0 : 1;
}
