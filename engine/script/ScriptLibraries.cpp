#include "engine/script/ScriptLibraries.h"

#include <lua.hpp>

#include <cmath>
#include <cstring>

namespace Ostrel {

namespace {

constexpr const char* kRemovedGlobals[] = {"dofile", "loadfile", "load", "loadstring", "require", "module", "newproxy"};
constexpr const char* kGuardedStringFunctions[] = {"find", "match", "gmatch", "gsub", "gfind"};

bool HasSpecials(const char* pattern, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (std::strchr("^$*+?.([%-", pattern[i]) != nullptr) return true;
    }
    return false;
}

// Upvalue 1: the library's function; upvalue 2: its name.
int GuardedPatternCall(lua_State* L) {
    const char* name = lua_tostring(L, lua_upvalueindex(2));
    std::size_t subjectLength = 0;
    std::size_t patternLength = 0;
    luaL_checklstring(L, 1, &subjectLength);
    const char* pattern = luaL_checklstring(L, 2, &patternLength);
    const bool isFind = std::strcmp(name, "find") == 0;
    const bool plain = isFind && (lua_toboolean(L, 4) || !HasSpecials(pattern, patternLength));
    if (!plain) {
        // gmatch reads '^' as a plain character; the others anchor with it.
        const bool anchorable = std::strcmp(name, "gmatch") != 0 && std::strcmp(name, "gfind") != 0;
        const double steps = PatternWorstCase(pattern, patternLength, subjectLength, anchorable);
        if (steps < 0.0) {
            return luaL_error(L, "string.%s: the pattern is longer than %d bytes", name, int(kMaxPatternLength));
        }
        if (steps > kMaxPatternSteps) {
            return luaL_error(L, "string.%s: the pattern is too costly for a subject of %d bytes", name,
                              int(subjectLength > 0x7fffffff ? 0x7fffffff : subjectLength));
        }
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

void GuardStringFunctions(lua_State* L) {
    lua_getglobal(L, LUA_STRLIBNAME);
    for (const char* name : kGuardedStringFunctions) {
        lua_getfield(L, -1, name);
        if (!lua_isfunction(L, -1)) {
            lua_pop(L, 1);
            continue;
        }
        lua_pushstring(L, name);
        lua_pushcclosure(L, &GuardedPatternCall, 2);
        lua_setfield(L, -2, name);
    }
    lua_pushnil(L);
    lua_setfield(L, -2, "dump");
    lua_pop(L, 1);
}

}  // namespace

double PatternWorstCase(const char* pattern, std::size_t patternLength, std::size_t subjectLength, bool anchorable) {
    if (patternLength > kMaxPatternLength) return -1.0;
    std::size_t start = 0;
    const bool anchored = anchorable && patternLength > 0 && pattern[0] == '^';
    if (anchored) start = 1;
    // Each '*', '+' or '-' item may try every length of the rest of the
    // subject before it gives up; each '?' two ways.
    int repetitions = 0;
    int optionals = 0;
    bool inSet = false;
    for (std::size_t i = start; i < patternLength; ++i) {
        const char c = pattern[i];
        if (c == '%') {
            ++i;  // the escaped character is plain
            continue;
        }
        if (inSet) {
            if (c == ']') inSet = false;
            continue;
        }
        if (c == '[') {
            inSet = true;
            if (i + 1 < patternLength && pattern[i + 1] == '^') ++i;
            if (i + 1 < patternLength && pattern[i + 1] == ']') ++i;  // a leading ']' is a member
            continue;
        }
        if (c == '*' || c == '+' || c == '-') ++repetitions;
        if (c == '?') ++optionals;
    }
    const double n = double(subjectLength) + 1.0;
    const double starts = anchored ? 1.0 : n;
    return starts * std::pow(n, repetitions) * std::pow(2.0, optionals) * double(patternLength + 1);
}

int OpenScriptLibraries(lua_State* L) {
    const luaL_Reg libraries[] = {{"", luaopen_base},
                                  {LUA_TABLIBNAME, luaopen_table},
                                  {LUA_STRLIBNAME, luaopen_string},
                                  {LUA_MATHLIBNAME, luaopen_math}};
    for (const luaL_Reg& library : libraries) {
        lua_pushcfunction(L, library.func);
        lua_pushstring(L, library.name);
        lua_call(L, 1, 0);
    }
    for (const char* name : kRemovedGlobals) {
        lua_pushnil(L);
        lua_setglobal(L, name);
    }
    GuardStringFunctions(L);
    return 0;
}

}  // namespace Ostrel
