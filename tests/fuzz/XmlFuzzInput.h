#pragma once
// The XML loaders read files by path, so each fuzz input is written to a
// scratch file of this process first (the loaders' own file reading is then
// exercised as well).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace Ostrel::Fuzz {

inline std::string WriteInputFile(const char* name, const uint8_t* data, size_t size) {
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder != nullptr ? folder : "/tmp") + "/lv-fuzz-" +
                             std::to_string(getpid()) + "-" + name;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0) {
            std::fwrite(data, 1, size, file);
        }
        std::fclose(file);
    }
    return path;
}

}  // namespace Ostrel::Fuzz
