#include "engine/script/ScriptBinding.h"

#include "engine/base/Log.h"
#include "engine/core/MetaClass.h"
#include "engine/core/MetaClassGeneric.h"
#include "engine/core/MetaRegistryInst.h"
#include "engine/script/ScriptManager.h"
#include "engine/script/ScriptValues.h"

#include <lua.hpp>

#include <cstdlib>
#include <map>
#include <mutex>
#include <unordered_set>

namespace Ostrel {

namespace {

// Registry table: class metatable -> its scripted base's metatable. Kept out
// of the metatables so scripts cannot see or change it.
constexpr const char* kBasesKey = "Ostrel.ScriptBases";
// A chain deeper than this is not a class hierarchy of ours.
constexpr int kMaxDepth = 32;

// What a userdata of ours holds: the object and the serial of its liveness
// record (0 for classes without one).
struct ObjectSlot {
    void* object;
    unsigned long long serial;
};

struct LiveSerials {
    std::mutex mutex;
    std::unordered_set<unsigned long long> serials;
    unsigned long long next = 1;
};

LiveSerials& Live() {
    static LiveSerials* s_live = new LiveSerials;  // outlives every static object
    return *s_live;
}

// The class of cls's hierarchy (itself or its nearest scripted base) that
// knows its objects' liveness records, or null (the vectors: Lua owns them).
const ScriptClass* LivenessClass(const ScriptClass& cls) {
    const ScriptClass* current = &cls;
    for (int depth = 0; current != nullptr && depth < kMaxDepth; ++depth) {
        if (current->liveness != nullptr || current->ownership != nullptr) return current;
        if (current->base == nullptr) return nullptr;
        const MetaClass* baseMeta = MetaRegistryInst::Instance().Find(current->base);
        current = baseMeta != nullptr ? FindScriptClass(*baseMeta) : nullptr;
    }
    return nullptr;
}

const ScriptLiveness* LivenessOf(const ScriptClass& cls, void* object) {
    const ScriptClass* owner = LivenessClass(cls);
    if (owner == nullptr) return nullptr;
    return owner->liveness != nullptr ? owner->liveness(object) : owner->ownership(object);
}

void FillSlot(ObjectSlot& slot, void* object, const ScriptClass& cls) {
    slot.object = object;
    const ScriptLiveness* liveness = object != nullptr ? LivenessOf(cls, object) : nullptr;
    slot.serial = liveness != nullptr ? liveness->Serial() : 0;
}

enum class Found { kNo, kGone, kYes };

Found FindObject(lua_State* L, int index, const ScriptClass& cls, void*& object) {
    object = nullptr;
    if (!IsInstanceOf(L, index, cls)) return Found::kNo;
    const auto* slot = static_cast<const ObjectSlot*>(lua_touserdata(L, index));
    if (LivenessClass(cls) != nullptr && lua_objlen(L, index) >= sizeof(ObjectSlot) && slot->serial != 0 &&
        !ScriptLiveness::IsAlive(slot->serial)) {
        return Found::kGone;
    }
    object = slot->object;
    return object != nullptr ? Found::kYes : Found::kNo;
}

[[noreturn]] void RaiseGone(lua_State* L, int index, const ScriptClass& cls) {
    lua_Debug ar{};
    const char* call = "?";
    if (lua_getstack(L, 0, &ar) && lua_getinfo(L, "n", &ar) && ar.name != nullptr) call = ar.name;
    luaL_error(L, "%s: argument %d: the %s it names no longer exists (its scene or owner is gone)", call, index,
               cls.name);
    std::abort();  // luaL_error does not return
}

std::map<const MetaClass*, const ScriptClass*>& BoundClasses() {
    static std::map<const MetaClass*, const ScriptClass*> s_classes;
    return s_classes;
}

void RunBoundClass(ScriptManager* scripts, const MetaClass& meta) {
    if (scripts == nullptr) return;
    if (const ScriptClass* cls = FindScriptClass(meta)) RegisterScriptClass(*scripts, meta, *cls);
}

void SetMethods(lua_State* L, std::span<const ScriptMethod> methods) {
    for (const ScriptMethod& method : methods) {
        lua_pushcfunction(L, method.function);
        lua_setfield(L, -2, method.name);
    }
}

// "new" of a creatable class: upvalues are its meta class and description.
int NewObject(lua_State* L) {
    const auto* meta = static_cast<const MetaClass*>(lua_touserdata(L, lua_upvalueindex(1)));
    const auto* cls = static_cast<const ScriptClass*>(lua_touserdata(L, lua_upvalueindex(2)));
    // The userdata first: if Lua runs out of memory nothing is leaked.
    auto* slot = static_cast<ObjectSlot*>(lua_newuserdata(L, sizeof(ObjectSlot)));
    *slot = ObjectSlot{nullptr, 0};
    void* object = meta->New();
    if (object == nullptr) return luaL_error(L, "%s cannot be created", cls->name);
    FillSlot(*slot, object, *cls);
    if (cls->ownership != nullptr) {
        if (ScriptManager* scripts = ScriptManager::FromState(L)) scripts->TrackCreated(cls->ownership(object), object, *meta);
    }
    luaL_getmetatable(L, cls->RegistryKey().c_str());
    lua_setmetatable(L, -2);
    return 1;
}

// Records in the registry that the metatable at -1 derives from baseKey's.
void RecordBase(lua_State* L, const std::string& baseKey) {
    lua_getfield(L, LUA_REGISTRYINDEX, kBasesKey);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_setfield(L, LUA_REGISTRYINDEX, kBasesKey);
    }
    lua_pushvalue(L, -2);
    lua_getfield(L, LUA_REGISTRYINDEX, baseKey.c_str());
    lua_rawset(L, -3);
    lua_pop(L, 1);
}

// The registry key of cls's base after registering the base; empty when
// there is none or it is not bound.
std::string PrepareBase(ScriptManager& scripts, const ScriptClass& cls) {
    if (cls.base == nullptr) return {};
    MetaClass* baseMeta = MetaRegistryInst::Instance().Find(cls.base);
    const ScriptClass* baseClass = baseMeta != nullptr ? FindScriptClass(*baseMeta) : nullptr;
    if (baseClass == nullptr) {
        LogErrorf("lua: %s: its base %s has no script binding; bound without it\n", cls.name, cls.base);
        return {};
    }
    std::string baseKey = baseClass->RegistryKey();
    lua_State* L = scripts.GetState();
    luaL_getmetatable(L, baseKey.c_str());
    const bool registered = !lua_isnil(L, -1);
    lua_pop(L, 1);
    // Through the base's own binder, which registers its base in turn.
    if (!registered) baseMeta->RunScriptBinder(&scripts);
    return baseKey;
}

}  // namespace

void BindScriptClass(MetaClass& meta, const ScriptClass& cls) {
    BoundClasses()[&meta] = &cls;
    meta.SetScriptBinder(&RunBoundClass);
}

const ScriptClass* FindScriptClass(const MetaClass& meta) {
    const auto& classes = BoundClasses();
    auto it = classes.find(&meta);
    return it == classes.end() ? nullptr : it->second;
}

bool RegisterScriptClass(ScriptManager& scripts, const MetaClass& meta, const ScriptClass& cls) {
    lua_State* L = scripts.GetState();
    if (L == nullptr) return false;
    const std::string key = cls.RegistryKey();
    luaL_getmetatable(L, key.c_str());
    const bool registered = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (registered) return false;

    const std::string baseKey = PrepareBase(scripts, cls);
    luaL_newmetatable(L, key.c_str());
    // getmetatable gives scripts false: they cannot change a class's methods
    // or give its objects a finaliser that would run at teardown.
    lua_pushboolean(L, 0);
    lua_setfield(L, -2, "__metatable");
    if (baseKey.empty()) {
        // The metatable is its own __index: methods are found in it.
        lua_pushvalue(L, -1);
        lua_setfield(L, -2, "__index");
        SetMethods(L, cls.methods);
    } else {
        // A methods table that falls back to the base's metatable.
        lua_createtable(L, 0, int(cls.methods.size()));
        SetMethods(L, cls.methods);
        lua_getfield(L, LUA_REGISTRYINDEX, baseKey.c_str());
        lua_setmetatable(L, -2);
        lua_setfield(L, -2, "__index");
        RecordBase(L, baseKey);
    }
    static const luaL_Reg kNoFunctions[] = {{nullptr, nullptr}};
    luaL_register(L, cls.name, kNoFunctions);
    if (cls.creation == ScriptClass::kCreatable) {
        lua_pushlightuserdata(L, const_cast<MetaClass*>(&meta));
        lua_pushlightuserdata(L, const_cast<ScriptClass*>(&cls));
        lua_pushcclosure(L, &NewObject, 2);
        lua_setfield(L, -2, "new");
    }
    lua_settop(L, -3);
    return true;
}

void RegisterScriptEnum(lua_State* L, const char* name, std::span<const EnumValue> values) {
    static const luaL_Reg kNoFunctions[] = {{nullptr, nullptr}};
    luaL_register(L, name, kNoFunctions);
    for (const EnumValue& value : values) {
        lua_pushinteger(L, value.value);
        lua_setfield(L, -2, value.name);
    }
    lua_settop(L, -2);
}

void PushObject(lua_State* L, void* object, const ScriptClass& cls) {
    if (object == nullptr) {
        lua_pushnil(L);
        return;
    }
    auto* slot = static_cast<ObjectSlot*>(lua_newuserdata(L, sizeof(ObjectSlot)));
    FillSlot(*slot, object, cls);
    luaL_getmetatable(L, cls.RegistryKey().c_str());
    lua_setmetatable(L, -2);
}

bool IsInstanceOf(lua_State* L, int index, const ScriptClass& cls) {
    // Light userdata has no metatable of its own; a userdata smaller than a
    // pointer is none of ours (the debug library can give it our metatable).
    if (lua_type(L, index) != LUA_TUSERDATA || lua_objlen(L, index) < sizeof(void*)) return false;
    if (!lua_getmetatable(L, index)) return false;
    luaL_getmetatable(L, cls.RegistryKey().c_str());
    lua_getfield(L, LUA_REGISTRYINDEX, kBasesKey);
    // Stack: current metatable, wanted metatable, bases table.
    bool found = false;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        if (lua_rawequal(L, -3, -2)) {
            found = true;
            break;
        }
        if (!lua_istable(L, -1)) break;
        lua_pushvalue(L, -3);
        lua_rawget(L, -2);
        if (lua_isnil(L, -1)) {
            lua_pop(L, 1);
            break;
        }
        lua_replace(L, -4);
    }
    lua_pop(L, 3);
    return found;
}

void* ToObject(lua_State* L, int index, const ScriptClass& cls) {
    void* object = nullptr;
    FindObject(L, index, cls, object);
    return object;
}

ScriptLiveness::ScriptLiveness() {
    LiveSerials& live = Live();
    std::lock_guard lock(live.mutex);
    m_serial = live.next++;
    live.serials.insert(m_serial);
}

ScriptLiveness::ScriptLiveness(const ScriptLiveness&) : ScriptLiveness() {}

ScriptLiveness::~ScriptLiveness() {
    LiveSerials& live = Live();
    std::lock_guard lock(live.mutex);
    live.serials.erase(m_serial);
}

bool ScriptLiveness::IsAlive(unsigned long long serial) {
    LiveSerials& live = Live();
    std::lock_guard lock(live.mutex);
    return live.serials.count(serial) != 0;
}

void ClaimForOwner(lua_State* L, ScriptOwnership& ownership, const char* what) {
    if (ownership.m_hasOwner) luaL_error(L, "%s already has an owner", what);
    ownership.m_hasOwner = true;
    if (ScriptManager* scripts = ScriptManager::FromState(L)) scripts->ForgetCreated(&ownership);
}

int ScriptArgs::Count() const {
    return lua_gettop(m_state);
}

void* ScriptArgs::CheckSelf(const ScriptClass& cls) const {
    void* object = nullptr;
    const Found found = FindObject(m_state, 1, cls, object);
    if (found == Found::kGone) RaiseGone(m_state, 1, cls);
    if (found == Found::kNo) luaL_argerror(m_state, 1, cls.missingMessage);
    return object;
}

void* ScriptArgs::CheckObject(int index, const ScriptClass& cls) const {
    void* object = nullptr;
    const Found found = FindObject(m_state, index, cls, object);
    if (found == Found::kGone) RaiseGone(m_state, index, cls);
    if (found == Found::kNo) luaL_typerror(m_state, index, cls.name);
    return object;
}

std::string ScriptArgs::Text(int index) const {
    return OptText(m_state, index);
}

float ScriptArgs::Number(int index) const {
    return float(OptFiniteNumber(m_state, index));
}

bool ScriptArgs::Flag(int index) const {
    return lua_toboolean(m_state, index) != 0;
}

int ScriptArgs::Integer(int index) const {
    return OptIntegerInRange(m_state, index);
}

int ScriptArgs::CheckInteger(int index) const {
    return CheckIntegerInRange(m_state, index);
}

void ScriptArgs::CheckTable(int index) const {
    luaL_checktype(m_state, index, LUA_TTABLE);
}

float ScriptArgs::TableNumber(int index, int position, std::optional<float> fallback) const {
    return CheckTableNumber(m_state, index, position, fallback);
}

void ScriptArgs::Error(const std::string& text) const {
    luaL_error(m_state, "%s", text.c_str());
    std::abort();  // luaL_error does not return
}

LuaTableView::LuaTableView(lua_State* L, int index)
    : m_state(L), m_index(index < 0 && index > LUA_REGISTRYINDEX ? lua_gettop(L) + index + 1 : index) {}

std::optional<int> LuaTableView::Integer(std::string_view key) const {
    if (!lua_istable(m_state, m_index)) return std::nullopt;
    return OptTableInteger(m_state, m_index, std::string(key).c_str());
}

std::optional<bool> LuaTableView::Boolean(std::string_view key) const {
    if (!lua_istable(m_state, m_index)) return std::nullopt;
    lua_getfield(m_state, m_index, std::string(key).c_str());
    std::optional<bool> value;
    if (lua_type(m_state, -1) == LUA_TBOOLEAN) value = lua_toboolean(m_state, -1) != 0;
    if (lua_type(m_state, -1) == LUA_TNUMBER) value = lua_tonumber(m_state, -1) != 0;
    lua_pop(m_state, 1);
    return value;
}

std::optional<std::string> LuaTableView::Text(std::string_view key) const {
    if (!lua_istable(m_state, m_index)) return std::nullopt;
    lua_getfield(m_state, m_index, std::string(key).c_str());
    std::optional<std::string> value;
    if (lua_type(m_state, -1) == LUA_TSTRING) {
        std::size_t length = 0;
        const char* text = lua_tolstring(m_state, -1, &length);
        value = std::string(text, length);
    }
    lua_pop(m_state, 1);
    return value;
}

}  // namespace Ostrel
