#include "engine/script/ScriptValues.h"

#include <lua.hpp>

namespace Ostrel {

float CheckScriptNumber(lua_State* L, int index) {
    return float(luaL_checknumber(L, index));
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
