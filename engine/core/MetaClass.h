#pragma once
// Reflection: every type that travels in a Variant has exactly one MetaClass,
// a process-wide object that names the type, converts values of it to and
// from int, double and text, creates, copies and deletes values of it, tells
// its kind code, and may carry named fields, named methods, an enumeration's
// value table and a script binder. Values are always passed as untyped
// pointers to their storage; nothing checks that the pointer really points to
// a value of the type.
//
// Meta classes are static objects made by the registration macros
// (Reflect.h); each registers itself by name in MetaRegistryInst (the first
// of a name stays).

#include "engine/core/RefPtr.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class FieldInfo;
class MethodInfo;
class VariantField;
class VariantMethod;
class ScriptManager;

// Kind codes (GetKind). There is no kind 14.
enum MetaKind : int {
    kKindNil = 0,
    kKindChar = 1,
    kKindUnsignedChar = 2,
    kKindFloat = 3,
    kKindDouble = 4,
    kKindInt = 5,
    kKindUnsignedInt = 6,
    kKindLong = 7,
    kKindUnsignedLong = 8,
    kKindShort = 9,
    kKindUnsignedShort = 10,
    kKindBool = 11,
    kKindString = 12,
    kKindEnum = 13,
    kKindClass = 15,
};

// One named value of an enumeration (for the script tables).
struct EnumValue {
    const char* name;
    int value;
};

class MetaClass {
public:
    // Registers the type with the scripting language; set by the scripting
    // subsystem, called at script start-up for every meta class that has one.
    using ScriptBinder = void (*)(ScriptManager* scripts, const MetaClass& meta);

    explicit MetaClass(std::string name);
    virtual ~MetaClass();
    MetaClass(const MetaClass&) = delete;
    MetaClass& operator=(const MetaClass&) = delete;

    const std::string& GetName() const { return m_name; }
    // True for the stand-in of a class that is not written yet
    // (MetaClassPlaceholder): the real class's meta class replaces it in the
    // registry, whichever of the two is built first.
    bool IsPlaceholder() const { return m_placeholder; }

    virtual int ToInt(const void* value) const = 0;
    virtual double ToFloat(const void* value) const = 0;
    virtual std::string& ToString(std::string& out, const void* value) const = 0;
    virtual void FromInt(void* value, int number) const = 0;
    virtual void FromFloat(void* value, double number) const = 0;
    virtual void FromString(void* value, const std::string& text) const = 0;
    // out receives a new heap copy of source (nullptr when the type does not copy).
    virtual void NewCopy(void*& out, const void* source) const = 0;
    // A new default value, or nullptr when the type cannot be created.
    virtual void* New() const = 0;
    // Destroys a value made by New or NewCopy; nullptr is ignored.
    virtual void Delete(void* value) const = 0;
    virtual bool CanNewCopy() const = 0;
    virtual bool CanNew() const = 0;
    virtual bool CanDelete() const = 0;
    virtual int GetKind() const = 0;
    virtual void ToScript(const void* value) const;
    virtual void FromScript(void* value) const;

    // Another name for New.
    void* Create() const { return New(); }

    void SetScriptBinder(ScriptBinder binder) { m_scriptBinder = binder; }
    ScriptBinder GetScriptBinder() const { return m_scriptBinder; }
    void RunScriptBinder(ScriptManager* scripts) const;

    // nullptr when a method (field) of that name exists already; nothing is replaced.
    MethodInfo* AddMethod(const std::string& name, const RefPtr<VariantMethod>& method);
    FieldInfo* AddField(const std::string& name, const RefPtr<VariantField>& field);
    MethodInfo* FindMethod(const std::string& name) const;
    FieldInfo* FindField(const std::string& name) const;
    const std::map<std::string, std::unique_ptr<MethodInfo>>& GetMethods() const { return m_methods; }
    const std::map<std::string, std::unique_ptr<FieldInfo>>& GetFields() const { return m_fields; }

    // The value table of an enumeration (empty for other kinds).
    void SetEnumValues(std::vector<EnumValue> values) { m_enumValues = std::move(values); }
    const std::vector<EnumValue>& GetEnumValues() const { return m_enumValues; }

protected:
    // For MetaClassPlaceholder: the flag must be known when the constructor
    // registers the meta class.
    MetaClass(std::string name, bool placeholder);

private:
    ScriptBinder m_scriptBinder = nullptr;
    bool m_placeholder = false;
    std::string m_name;
    std::map<std::string, std::unique_ptr<MethodInfo>> m_methods;
    std::map<std::string, std::unique_ptr<FieldInfo>> m_fields;
    std::vector<EnumValue> m_enumValues;
};

}  // namespace Ostrel
