#include "engine/script/ScriptValues.h"

#include <lua.hpp>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace Ostrel {

namespace {

bool IsAbsent(lua_State* L, int index) {
    return lua_type(L, index) == LUA_TNONE || lua_type(L, index) == LUA_TNIL;
}

// Raises "what expected, got <value>" on the argument (never returns).
[[noreturn]] void RefuseNumber(lua_State* L, int index, const char* what, double value) {
    luaL_argerror(L, index, lua_pushfstring(L, "%s expected, got %s", what, std::isnan(value) ? "nan" : lua_tostring(L, index)));
    std::abort();  // luaL_argerror does not return
}

double FiniteValue(lua_State* L, int index, double value) {
    if (!std::isfinite(value)) RefuseNumber(L, index, "finite number", value);
    if (std::fabs(value) > double(FLT_MAX)) RefuseNumber(L, index, "number within the float range", value);
    return value;
}

int IntegerValue(lua_State* L, int index, double value) {
    if (std::isnan(value) || value <= double(INT_MIN) - 1.0 || value >= double(INT_MAX) + 1.0)
        RefuseNumber(L, index, "32-bit integer", value);
    return int(value);
}

}  // namespace

double CheckFiniteNumber(lua_State* L, int index) {
    return FiniteValue(L, index, luaL_checknumber(L, index));
}

double OptFiniteNumber(lua_State* L, int index) {
    return IsAbsent(L, index) ? 0.0 : CheckFiniteNumber(L, index);
}

int CheckIntegerInRange(lua_State* L, int index) {
    return IntegerValue(L, index, luaL_checknumber(L, index));
}

int OptIntegerInRange(lua_State* L, int index) {
    return IsAbsent(L, index) ? 0 : CheckIntegerInRange(L, index);
}

std::string OptText(lua_State* L, int index) {
    return IsAbsent(L, index) ? std::string() : CheckScriptText(L, index);
}

float CheckTableNumber(lua_State* L, int index, int position, std::optional<float> fallback) {
    luaL_checktype(L, index, LUA_TTABLE);
    lua_rawgeti(L, index, position);
    if (fallback && lua_isnil(L, -1)) {
        lua_pop(L, 1);
        return *fallback;
    }
    if (lua_type(L, -1) != LUA_TNUMBER) {
        luaL_argerror(L, index, lua_pushfstring(L, "entry %d: number expected, got %s", position, luaL_typename(L, -1)));
    }
    const double value = lua_tonumber(L, -1);
    lua_pop(L, 1);
    if (!std::isfinite(value) || std::fabs(value) > double(FLT_MAX))
        luaL_argerror(L, index, lua_pushfstring(L, "entry %d: finite number expected", position));
    return float(value);
}

std::optional<int> OptTableInteger(lua_State* L, int index, const char* key) {
    luaL_checktype(L, index, LUA_TTABLE);
    lua_getfield(L, index, key);
    const int type = lua_type(L, -1);
    const double value = lua_tonumber(L, -1);
    lua_pop(L, 1);
    if (type == LUA_TNIL) return std::nullopt;
    if (type != LUA_TNUMBER) {
        luaL_argerror(L, index, lua_pushfstring(L, "field '%s': number expected, got %s", key, lua_typename(L, type)));
    }
    if (std::isnan(value) || value <= double(INT_MIN) - 1.0 || value >= double(INT_MAX) + 1.0)
        luaL_argerror(L, index, lua_pushfstring(L, "field '%s': 32-bit integer expected", key));
    return int(value);
}

float CheckScriptNumber(lua_State* L, int index) {
    return float(CheckFiniteNumber(L, index));
}

std::string CheckScriptText(lua_State* L, int index) {
    std::size_t length = 0;
    const char* text = luaL_checklstring(L, index, &length);
    return std::string(text, length);
}

void PushScriptNumber(lua_State* L, double value) {
    lua_pushnumber(L, value);
}

void PushScriptText(lua_State* L, const std::string& text) {
    lua_pushlstring(L, text.data(), text.size());
}

}  // namespace Ostrel
