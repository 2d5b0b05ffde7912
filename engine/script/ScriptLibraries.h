#pragma once
// The Lua libraries scripts get. Scene files and the start-up script are
// data: they must not end the program, read or write files, load compiled
// code or take away the instruction budget. So the state opens only the base
// library (with coroutines), table, string and math; io, os, debug and
// package are left out, and so are the base functions that load files or
// code (dofile, loadfile, load, loadstring, require, module), newproxy and
// string.dump.
//
// The string library's pattern functions (find, match, gmatch, gsub) work in
// one C call that the instruction budget never sees, and recurse in C once
// per pattern item. They are replaced by guarded forms that refuse, with a
// Lua error naming the function, a pattern longer than kMaxPatternLength and
// a pattern whose worst-case work on the subject (every start position times
// the subject length for each repetition item) passes kMaxPatternSteps.
// Plain finds and patterns without repetition are linear and pass whatever
// the subject's size.

#include <cstddef>

struct lua_State;

namespace Ostrel {

inline constexpr std::size_t kMaxPatternLength = 256;
inline constexpr double kMaxPatternSteps = 4e8;

// Opens the libraries above in L (run inside a protected call).
int OpenScriptLibraries(lua_State* L);

// The worst-case number of steps the pattern matcher may take for a pattern
// on a subject of subjectLength bytes (see the file comment), or a negative
// number when the pattern is longer than kMaxPatternLength.
double PatternWorstCase(const char* pattern, std::size_t patternLength, std::size_t subjectLength, bool anchorable);

}  // namespace Ostrel
