#pragma once
// The binding scheme every scripted class follows. A class publishes a Lua
// metatable under "Ostrel." + its name and a global table of its name holding
// "new" (left out for classes scripts cannot create). Engine objects reach
// Lua as userdata holding a borrowed pointer: Lua never frees them; whoever a
// script hands an object to becomes its owner (ClaimForOwner refuses a second
// owner). A class with a scripted base gets a methods table whose metatable is
// the base's metatable, so methods it lacks are found in the base.
//
// Objects "new" makes are the script's until handed over; a class that sets
// ScriptClass::ownership has those never handed over deleted when the state
// closes.
//
// To bind a class, describe it once and attach the description to its meta
// class in its registration line; ScriptManager then registers it (base first,
// each class once) when the Lua state opens:
//
//   int SetTimeout(lua_State* L);
//   constexpr ScriptMethod kTimerMethods[] = {{"SetTimeout", &SetTimeout}};
//   constexpr ScriptClass kTimerScript{"UiTimerHandler", "missing uitimerhandler instance",
//                                      kTimerMethods, ScriptClass::kCreatable, "UiEventHandler"};
//   int SetTimeout(lua_State* L) {
//       ScriptArgs args(L);
//       args.Self<UiTimerHandler>(kTimerScript).SetTimeout(args.Number(2));
//       return 0;
//   }
//   LV_REFLECT_CLASS(Ostrel::UiTimerHandler,
//                    [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, kTimerScript); });
//
// Rules a bound class must keep:
// - The userdata holds the pointer that the class's meta class New made, or
//   that PushObject was given, as void*. Every class of one scripted hierarchy
//   reads it back as the class it asks for (static_cast), so the hierarchy
//   must be single inheritance with the scripted root at offset zero. Push an
//   object as the type whose ScriptClass you pass.
// - Method entry goes through ScriptArgs::Self, which refuses anything but a
//   userdata of the class or of a scripted subclass with the class's
//   "missing ... instance" message on argument 1 (a dot instead of a colon);
//   later object arguments go through ScriptArgs::Object (a Lua type error).
//   An object that no longer exists (see ScriptLiveness) is a Lua error
//   naming the call and the class.
// - Text, Number and Integer read a missing or nil argument as empty or 0;
//   any other value that does not fit (a table for a number, NaN, 2^40 for an
//   integer) is a Lua argument error naming the function and the argument
//   (ScriptValues.h). Flag reads any value as Lua truth. Tables are checked
//   (CheckTable) before they are read, and their entries as they are read.
// - Errors are Lua errors (raised with luaL_error semantics); inside the
//   protected calls of ScriptManager they are logged and the program goes on.
//
// Lua headers stay in engine/script: the types here only name lua_State.

#include "engine/core/ScriptTable.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

struct lua_State;

namespace Ostrel {

class MetaClass;
class ScriptManager;
struct EnumValue;

// Tells a script's userdata whether the engine object it names still exists.
// Objects that scripts may keep past their life (a scene's elements, the
// scene itself, handlers, navigators) hold one; the userdata records its
// serial when the object is pushed or made, and every method entry checks
// it: a kept object whose scene is gone is a Lua error naming the call, not a
// read of freed memory. Serials are never reused, so an object made later at
// the same address is not taken for the gone one. Thread-safe (scene scripts
// run on the loading thread).
class ScriptLiveness {
public:
    ScriptLiveness();
    // A copy is another object: it gets a serial of its own.
    ScriptLiveness(const ScriptLiveness&);
    ScriptLiveness& operator=(const ScriptLiveness&) { return *this; }
    ~ScriptLiveness();

    unsigned long long Serial() const { return m_serial; }
    static bool IsAlive(unsigned long long serial);

private:
    unsigned long long m_serial;
};

// Whether an engine object has been handed to an owner from a script. Kept by
// the objects scripts hand over (elements, handlers, navigators); it is also
// their liveness record.
class ScriptOwnership : public ScriptLiveness {
public:
    bool HasOwner() const { return m_hasOwner; }
    // For owners that give an object back (it may be handed over again).
    void Release() { m_hasOwner = false; }

private:
    friend void ClaimForOwner(lua_State* L, ScriptOwnership& ownership, const char* what);
    bool m_hasOwner = false;
};

using ScriptFunction = int (*)(lua_State*);

struct ScriptMethod {
    const char* name;
    ScriptFunction function;
};

struct ScriptClass {
    enum Creation { kNotCreatable, kCreatable };

    const char* name;            // global table and class name ("UiTimerHandler")
    const char* missingMessage;  // argument-1 error ("missing uitimerhandler instance")
    std::span<const ScriptMethod> methods;
    Creation creation = kNotCreatable;  // kCreatable: "new" makes one through the meta class
    const char* base = nullptr;         // scripted base class name, or null
    const char* prefix = "Ostrel.";     // registry key prefix
    // For classes scripts hand to owners: the object's ownership record.
    // Objects "new" made that never got an owner are then deleted when the
    // Lua state closes instead of leaking.
    ScriptOwnership* (*ownership)(void* object) = nullptr;
    // The object's liveness record, for classes whose objects may go while a
    // script holds them; a subclass may leave it to its scripted base. Left
    // null, the ownership record serves.
    const ScriptLiveness* (*liveness)(void* object) = nullptr;

    std::string RegistryKey() const { return std::string(prefix) + name; }
};

// Records cls as meta's script binding and sets meta's script binder. Call it
// from the class's registration function (static initialisation).
void BindScriptClass(MetaClass& meta, const ScriptClass& cls);
// The description recorded for meta, or null.
const ScriptClass* FindScriptClass(const MetaClass& meta);

// Registers cls in the manager's state now: its base first (through the
// base's meta class, when the base is not registered yet), then the class.
// False, and nothing done, when the class is registered already. The meta
// class is the one "new" creates through. A base that is not a registered,
// bound meta class is logged and the class is registered without it.
bool RegisterScriptClass(ScriptManager& scripts, const MetaClass& meta, const ScriptClass& cls);

// Publishes an enumeration as the global table name = {value name = integer}.
void RegisterScriptEnum(lua_State* L, const char* name, std::span<const EnumValue> values);

// Pushes object as a borrowed userdata of cls (nil for a null object).
void PushObject(lua_State* L, void* object, const ScriptClass& cls);
// The object at index when it is a userdata of cls or of a scripted subclass
// and the object still exists, else null.
void* ToObject(lua_State* L, int index, const ScriptClass& cls);
// True when the value at index is a userdata whose metatable is cls's or
// one of its scripted subclasses'.
bool IsInstanceOf(lua_State* L, int index, const ScriptClass& cls);

// Marks the object as owned (the Lua state no longer answers for it); raises
// the Lua error "<what> already has an owner" and changes nothing when it has
// one.
void ClaimForOwner(lua_State* L, ScriptOwnership& ownership, const char* what);

// Reads the arguments of a bound function.
class ScriptArgs {
public:
    explicit ScriptArgs(lua_State* L) : m_state(L) {}

    lua_State* State() const { return m_state; }
    int Count() const;

    // Argument 1 as cls's object; raises cls's missing-instance message.
    template <class T>
    T& Self(const ScriptClass& cls) const {
        return *static_cast<T*>(CheckSelf(cls));
    }
    // Argument index as cls's object; raises a type error naming the class.
    template <class T>
    T& Object(int index, const ScriptClass& cls) const {
        return *static_cast<T*>(CheckObject(index, cls));
    }
    void* CheckSelf(const ScriptClass& cls) const;
    void* CheckObject(int index, const ScriptClass& cls) const;

    // A string or a number as text; anything else is empty.
    std::string Text(int index) const;
    float Number(int index) const;
    bool Flag(int index) const;
    int Integer(int index) const;
    // Raises an argument error unless the value is a number.
    int CheckInteger(int index) const;
    // Raises an argument error unless the value is a table.
    void CheckTable(int index) const;
    // t[position] of the table at index; an argument error unless it is a
    // finite number (or, with a fallback, missing: then the fallback).
    float TableNumber(int index, int position, std::optional<float> fallback = std::nullopt) const;

    // Raises a Lua error with the text (never returns).
    [[noreturn]] void Error(const std::string& text) const;

private:
    lua_State* m_state;
};

// A Lua table seen as a ScriptTable (for FromScript readers such as
// FontDescription): install it with ScriptTable::ScopedTop. The table must
// stay at its stack index while it is read.
class LuaTableView final : public ScriptTable {
public:
    LuaTableView(lua_State* L, int index);

    std::optional<int> Integer(std::string_view key) const override;
    std::optional<bool> Boolean(std::string_view key) const override;
    std::optional<std::string> Text(std::string_view key) const override;

private:
    lua_State* m_state;
    int m_index;
};

}  // namespace Ostrel
