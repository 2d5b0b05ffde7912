// Fuzz target: package lists. Every entry must be non-empty and free of line
// ends, and the entries joined with LF must parse back to the same list.

#include "engine/resources/ResourceManager.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    std::vector<std::string> entries = Ostrel::ParsePackageText(text, size);
    std::string joined;
    for (const std::string& entry : entries) {
        if (entry.empty()) __builtin_trap();
        if (entry.find_first_of("\r\n") != std::string::npos) __builtin_trap();
        if (entry.find('\0') != std::string::npos) __builtin_trap();
        joined += entry + "\n";
    }
    if (Ostrel::ParsePackageText(joined.data(), joined.size()) != entries) __builtin_trap();
    return 0;
}
