#pragma once
// Checked argument reads and results for bound functions, beside ScriptArgs:
// the checks raise Lua's standard argument error (a wrong type never passes
// as 0 or empty); the pushes return values to the script.

#include <optional>
#include <string>

struct lua_State;

namespace Ostrel {

// Every check below raises Lua's argument error, which names the bound
// function, the argument and what was wrong ("rsc/ui/x.scn:12: bad argument
// #2 to 'SetWidth' (finite number expected, got nan)"): a value no engine
// field can hold never passes silently as 0, a clipped integer or infinity.

// Argument index as a finite number that fits a float (a numeric string is
// converted).
double CheckFiniteNumber(lua_State* L, int index);
// CheckFiniteNumber, with nil or a missing argument read as 0.
double OptFiniteNumber(lua_State* L, int index);
// Argument index as a whole-number-or-not value inside the 32-bit range,
// truncated toward zero (2^40 and NaN are refused).
int CheckIntegerInRange(lua_State* L, int index);
// CheckIntegerInRange, with nil or a missing argument read as 0.
int OptIntegerInRange(lua_State* L, int index);
// Argument index as text (nil or missing: empty; a number: its text); a
// table, function, boolean or userdata is refused.
std::string OptText(lua_State* L, int index);
// t[position] of the table argument at index, which must be a finite number;
// with a fallback, a missing entry reads as the fallback.
float CheckTableNumber(lua_State* L, int index, int position, std::optional<float> fallback = std::nullopt);
// t.key of the table argument at index: nothing when absent, else an
// integer checked as CheckIntegerInRange checks an argument.
std::optional<int> OptTableInteger(lua_State* L, int index, const char* key);

// Argument index as a number; raises an argument error unless it is a finite
// one that fits a float.
float CheckScriptNumber(lua_State* L, int index);
// Argument index as a string (a number is turned into text); raises an
// argument error for anything else.
std::string CheckScriptText(lua_State* L, int index);
void PushScriptNumber(lua_State* L, double value);
void PushScriptText(lua_State* L, const std::string& text);

}  // namespace Ostrel
