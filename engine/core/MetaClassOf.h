#pragma once
// MetaClassOf<T>(): the one meta class of a reflected type T. Each reflected
// type defines it once with a registration macro (Reflect.h) in its .cpp; the
// meta class is built on the first call (so nothing depends on the order in
// which translation units initialise) and the macro also calls it during
// static initialisation, so the registry is complete before main.
//
// Declare it in the type's header with LV_DECLARE_META_CLASS(T) (at global
// scope) so other files may use it; the declaration also lets delegates tell
// the target's class (MetaClassOrNil).

#include <string>
#include <type_traits>
#include <vector>

namespace Ostrel {

class MetaClass;

template <class T>
MetaClass* MetaClassOf();

// True for types declared with LV_DECLARE_META_CLASS.
template <class T>
struct IsReflected : std::false_type {};

// The nil meta class "EntityUnknown" (kind 0): the type of no type.
MetaClass* GetNilMetaClass();

// MetaClassOf<T>() for declared types, the nil meta class otherwise.
template <class T>
MetaClass* MetaClassOrNil() {
    if constexpr (IsReflected<std::remove_cv_t<T>>::value) {
        return MetaClassOf<std::remove_cv_t<T>>();
    } else {
        return GetNilMetaClass();
    }
}

}  // namespace Ostrel

#define LV_DECLARE_META_CLASS(...)                                              \
    template <>                                                                 \
    struct Ostrel::IsReflected<__VA_ARGS__> : std::true_type {};                \
    template <>                                                                 \
    Ostrel::MetaClass* Ostrel::MetaClassOf<__VA_ARGS__>()

// The types the core registers itself.
LV_DECLARE_META_CLASS(bool);
LV_DECLARE_META_CLASS(char);
LV_DECLARE_META_CLASS(unsigned char);
LV_DECLARE_META_CLASS(short);
LV_DECLARE_META_CLASS(unsigned short);
LV_DECLARE_META_CLASS(int);
LV_DECLARE_META_CLASS(unsigned);
LV_DECLARE_META_CLASS(long);
LV_DECLARE_META_CLASS(unsigned long);
LV_DECLARE_META_CLASS(float);
LV_DECLARE_META_CLASS(double);
LV_DECLARE_META_CLASS(std::string);
