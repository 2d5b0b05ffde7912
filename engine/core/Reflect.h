#pragma once
// Registering a type for reflection: one line per type, at global scope, in
// the type's .cpp. The meta class is built on first use and also during static
// initialisation, so the registry is complete before main whatever the order
// of the translation units (the engine libraries are OBJECT libraries, so no
// registration file is dropped by the linker).
//
//   // Foo.h, after the namespace (lets other files use MetaClassOf<Foo>() and
//   // lets MakeDelegate record the target's class):
//   LV_DECLARE_META_CLASS(Vandle::Foo);
//
//   // Foo.cpp, at global scope:
//   LV_REFLECT_CLASS(Vandle::Foo);                  // created and deleted, not copied
//   LV_REFLECT_VALUE(Ostrel::Vec3, RegisterVec3);   // also copied; RegisterVec3 adds fields
//   LV_REFLECT_CLASS(Ostrel::ScopedProfiler, RegisterProfiler);
//   LV_REFLECT_ABSTRACT(Ostrel::ActionBase);        // never created (New gives nullptr)
//   LV_REFLECT_OPAQUE(Ostrel::UiElementBase);       // neither created nor deleted
//   LV_REFLECT_ENUM(Ostrel::UiDirection, RegisterUiDirection);
//
// The registered name is the type's name without its namespace ("Foo"). The
// optional second argument is a function void(MetaClass&) run once when the
// meta class is built: it adds fields (MakeField), methods (MakeMethod) and
// sets the script binder. Types that travel in variants (message arguments,
// fields) must be registered; a missing registration is a link error naming
// MetaClassOf<T>.
//
//   void RegisterVec3(Ostrel::MetaClass& meta) {
//       meta.AddField("x", Ostrel::MakeField(&Vec3::SetX, &Vec3::GetX));
//   }
//   void RegisterProfiler(Ostrel::MetaClass& meta) {
//       meta.AddMethod("OnActivationKey", Ostrel::MakeMethod(&ScopedProfiler::OnActivationKey));
//   }
//
// Script binders: the scripting subsystem sets them (MetaClass::SetScriptBinder)
// and runs them at script start-up; a registration function may set one too.

#include "engine/core/FieldInfo.h"
#include "engine/core/MetaClassGeneric.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/MetaRegistryInst.h"
#include "engine/core/MethodInfo.h"
#include "engine/core/VariantField.h"
#include "engine/core/VariantMethodBinderInst.h"

#include <string>

namespace Ostrel {

// The meta class of a class or structure with the memory capabilities Caps.
template <unsigned Caps>
struct ClassMetaFor {
    template <class T>
    using Of = MetaClassGeneric<T, IdOpsDefault<T>, MemOpsDefault<T, Caps>>;
};

namespace Private {

// "Vandle::Foo" -> "Foo".
std::string StripNamespace(const char* qualifiedName);

}  // namespace Private

}  // namespace Ostrel

#define LV_REFLECT_CONCAT_INNER(a, b) a##b
#define LV_REFLECT_CONCAT(a, b) LV_REFLECT_CONCAT_INNER(a, b)

// Defines MetaClassOf<T>() as a lazily built MetaType(name, args...) and
// builds it during static initialisation.
#define LV_REFLECT_WITH_META(T, MetaType, ...)                                   \
    template <>                                                                  \
    Ostrel::MetaClass* Ostrel::MetaClassOf<T>() {                                \
        static MetaType s_meta(__VA_ARGS__);                                     \
        return &s_meta;                                                          \
    }                                                                            \
    [[maybe_unused]] static Ostrel::MetaClass* const LV_REFLECT_CONCAT(          \
        s_lvReflected, __COUNTER__) = Ostrel::MetaClassOf<T>()

#define LV_REFLECT_CLASS_CAPS(T, Caps, ...)                                      \
    LV_REFLECT_WITH_META(T, Ostrel::ClassMetaFor<Caps>::Of<T>,                   \
                         Ostrel::Private::StripNamespace(#T) __VA_OPT__(, ) __VA_ARGS__)

#define LV_REFLECT_CLASS(T, ...) LV_REFLECT_CLASS_CAPS(T, Ostrel::kMemCreateDelete, __VA_ARGS__)
#define LV_REFLECT_VALUE(T, ...) LV_REFLECT_CLASS_CAPS(T, Ostrel::kMemAll, __VA_ARGS__)
#define LV_REFLECT_ABSTRACT(T, ...) LV_REFLECT_CLASS_CAPS(T, Ostrel::kMemDelete, __VA_ARGS__)
#define LV_REFLECT_OPAQUE(T, ...) LV_REFLECT_CLASS_CAPS(T, Ostrel::kMemNone, __VA_ARGS__)
#define LV_REFLECT_ENUM(T, ...)                                                  \
    LV_REFLECT_WITH_META(T, Ostrel::MetaClassEnum<T>,                            \
                         Ostrel::Private::StripNamespace(#T) __VA_OPT__(, ) __VA_ARGS__)
