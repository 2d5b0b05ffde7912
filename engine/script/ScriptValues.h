#pragma once
// Checked argument reads and results for bound functions, beside ScriptArgs:
// the checks raise Lua's standard argument error (a wrong type never passes
// as 0 or empty); the pushes return values to the script.

#include <string>

struct lua_State;

namespace Ostrel {

// Argument index as a number; raises an argument error unless it is one.
float CheckScriptNumber(lua_State* L, int index);
// Argument index as a string (a number is turned into text); raises an
// argument error for anything else.
std::string CheckScriptText(lua_State* L, int index);
void PushScriptNumber(lua_State* L, double value);
void PushScriptText(lua_State* L, const std::string& text);

}  // namespace Ostrel
