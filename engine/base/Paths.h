#pragma once
// Path helpers for data written with Windows separators. Data files, package
// lists and the start-up code join paths with "\\"; on Linux a backslash is a
// legal file-name character, so every path is normalised to "/" before it
// reaches the file system.

#include <string>
#include <string_view>

namespace Ostrel {

// Returns path with every '\\' turned into '/'.
std::string NormalizeSeparators(std::string_view path);

// Joins two path pieces with exactly one '/' between them (either may already
// end or start with a separator of either kind).
std::string JoinPath(std::string_view base, std::string_view leaf);

// Creates directory path and its parents (mode 0755). Answers true when the
// directory exists afterwards.
bool CreateDirectories(std::string_view path);

}  // namespace Ostrel
