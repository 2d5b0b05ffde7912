// Lua bindings of Vec2, Vec3 and Vec4: value objects that Lua owns. A vector
// userdata holds the object pointer and an owns flag; "__gc" frees an owned
// vector through its meta class and clears the pointer, so a vector finalised
// early (v:__gc() from a script) is never freed twice, and any later use of
// it is a Lua error instead of a read of freed memory. Fields are "x", "y"
// (, "z", "w"); other keys read nil and are ignored on write. Vec3 also finds
// its metatable's entries through "__index" ("NormalizeThis").
//
// The binders are attached to the vector meta classes (and the enumeration
// tables to theirs) during static initialisation, below.

#include "engine/core/MetaClass.h"
#include "engine/core/ScriptEnums.h"
#include "engine/core/Vec2.h"
#include "engine/core/Vec3.h"
#include "engine/core/Vec4.h"
#include "engine/script/ScriptBinding.h"
#include "engine/script/ScriptManager.h"

#include <lua.hpp>

#include <cmath>
#include <string_view>

namespace Ostrel {

namespace {

struct OwnedValue {
    void* object;
    unsigned char owns;
};

template <class T>
struct VectorTraits;

template <>
struct VectorTraits<Vec2> {
    static constexpr std::string_view kKeys = "xy";
    static float& Field(Vec2& v, std::size_t i) { return i == 0 ? v.x : v.y; }
};

template <>
struct VectorTraits<Vec3> {
    static constexpr std::string_view kKeys = "xyz";
    static float& Field(Vec3& v, std::size_t i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }
};

template <>
struct VectorTraits<Vec4> {
    static constexpr std::string_view kKeys = "xyzw";
    static float& Field(Vec4& v, std::size_t i) { return i == 0 ? v.x : i == 1 ? v.y : i == 2 ? v.z : v.w; }
};

constexpr const char* kMissingVector = "missing vector instance";

template <class T>
const ScriptClass& ClassOf();

// The vector userdata of argument 1 (the class's missing-instance error
// otherwise).
template <class T>
OwnedValue& CheckValue(lua_State* L) {
    if (!IsInstanceOf(L, 1, ClassOf<T>()) || lua_objlen(L, 1) < sizeof(OwnedValue)) {
        luaL_argerror(L, 1, kMissingVector);
    }
    return *static_cast<OwnedValue*>(lua_touserdata(L, 1));
}

// The live vector of argument 1; a finalised one is a Lua error.
template <class T>
T& CheckVector(lua_State* L) {
    OwnedValue& value = CheckValue<T>(L);
    if (value.object == nullptr) luaL_error(L, "%s used after it was freed", ClassOf<T>().name);
    return *static_cast<T*>(value.object);
}

// The field index of a one-letter string key, or npos.
template <class T>
std::size_t FieldIndex(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TSTRING) return std::string_view::npos;
    std::size_t length = 0;
    const char* key = lua_tolstring(L, index, &length);
    if (length != 1) return std::string_view::npos;
    return VectorTraits<T>::kKeys.find(key[0]);
}

template <class T>
int Index(lua_State* L) {
    T& v = CheckVector<T>(L);
    const std::size_t field = FieldIndex<T>(L, 2);
    if (field != std::string_view::npos) {
        lua_pushnumber(L, VectorTraits<T>::Field(v, field));
        return 1;
    }
    if constexpr (std::is_same_v<T, Vec3>) {
        if (lua_type(L, 2) == LUA_TSTRING) {
            lua_getmetatable(L, 1);
            lua_getfield(L, -1, lua_tostring(L, 2));
            return 1;
        }
    }
    return 0;
}

template <class T>
int NewIndex(lua_State* L) {
    T& v = CheckVector<T>(L);
    const std::size_t field = FieldIndex<T>(L, 2);
    if (field != std::string_view::npos) VectorTraits<T>::Field(v, field) = float(lua_tonumber(L, 3));
    return 0;
}

// Never raises: the collector calls it too, also for a foreign userdata the
// debug library gave a vector metatable.
template <class T>
int Collect(lua_State* L) {
    if (!IsInstanceOf(L, 1, ClassOf<T>()) || lua_objlen(L, 1) < sizeof(OwnedValue)) return 0;
    OwnedValue& value = *static_cast<OwnedValue*>(lua_touserdata(L, 1));
    void* object = value.object;
    const bool owned = value.owns != 0;
    value.object = nullptr;
    value.owns = 0;
    if (owned && object != nullptr) MetaClassOf<T>()->Delete(object);
    return 0;
}

template <class T>
int ToString(lua_State* L) {
    T& v = CheckVector<T>(L);
    if constexpr (std::is_same_v<T, Vec2>) {
        lua_pushfstring(L, "(%f, %f)", double(v.x), double(v.y));
    } else if constexpr (std::is_same_v<T, Vec3>) {
        lua_pushfstring(L, "(%f, %f, %f)", double(v.x), double(v.y), double(v.z));
    } else {
        lua_pushfstring(L, "(%f, %f, %f, %f)", double(v.x), double(v.y), double(v.z), double(v.w));
    }
    return 1;
}

int NormalizeThis(lua_State* L) {
    Vec3& v = CheckVector<Vec3>(L);
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length != 0.0f) {
        v.x /= length;
        v.y /= length;
        v.z /= length;
    }
    return 0;
}

template <class T>
int New(lua_State* L) {
    auto* value = static_cast<OwnedValue*>(lua_newuserdata(L, sizeof(OwnedValue)));
    value->object = nullptr;
    value->owns = 0;
    luaL_getmetatable(L, ClassOf<T>().RegistryKey().c_str());
    lua_setmetatable(L, -2);
    value->object = MetaClassOf<T>()->New();
    value->owns = 1;
    return 1;
}

template <class T>
constexpr ScriptMethod kVectorMethods[] = {
    {"__index", &Index<T>}, {"__newindex", &NewIndex<T>}, {"__gc", &Collect<T>}, {"__tostring", &ToString<T>}};
constexpr ScriptMethod kVec3Methods[] = {{"__index", &Index<Vec3>},       {"__newindex", &NewIndex<Vec3>},
                                         {"__gc", &Collect<Vec3>},        {"__tostring", &ToString<Vec3>},
                                         {"NormalizeThis", &NormalizeThis}};

constexpr ScriptClass kVec2Class{"Vec2", kMissingVector, kVectorMethods<Vec2>};
constexpr ScriptClass kVec3Class{"Vec3", kMissingVector, kVec3Methods};
constexpr ScriptClass kVec4Class{"Vec4", kMissingVector, kVectorMethods<Vec4>};

template <>
const ScriptClass& ClassOf<Vec2>() {
    return kVec2Class;
}
template <>
const ScriptClass& ClassOf<Vec3>() {
    return kVec3Class;
}
template <>
const ScriptClass& ClassOf<Vec4>() {
    return kVec4Class;
}

// Registers the class (the metatable holds the metamethods), then puts the
// owned-value "new" into its global table.
template <class T>
void BindVector(ScriptManager* scripts, const MetaClass& meta) {
    if (scripts == nullptr || !RegisterScriptClass(*scripts, meta, ClassOf<T>())) return;
    lua_State* L = scripts->GetState();
    lua_getfield(L, LUA_GLOBALSINDEX, ClassOf<T>().name);
    lua_pushcfunction(L, &New<T>);
    lua_setfield(L, -2, "new");
    lua_pop(L, 1);
}

void BindEnumeration(ScriptManager* scripts, const MetaClass& meta) {
    if (scripts == nullptr || scripts->GetState() == nullptr) return;
    RegisterScriptEnum(scripts->GetState(), meta.GetName().c_str(), meta.GetEnumValues());
}

bool AttachBinders() {
    MetaClassOf<Vec2>()->SetScriptBinder(&BindVector<Vec2>);
    MetaClassOf<Vec3>()->SetScriptBinder(&BindVector<Vec3>);
    MetaClassOf<Vec4>()->SetScriptBinder(&BindVector<Vec4>);
    for (MetaClass* meta : {MetaClassOf<BarDirection>(), MetaClassOf<UiSceneChangeMethod>(),
                            MetaClassOf<UiDirection>(), MetaClassOf<FontAlignment>(), MetaClassOf<UiKey>()}) {
        meta->SetScriptBinder(&BindEnumeration);
    }
    return true;
}

[[maybe_unused]] const bool s_bindersAttached = AttachBinders();

}  // namespace

}  // namespace Ostrel
