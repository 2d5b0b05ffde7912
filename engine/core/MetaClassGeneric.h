#pragma once
// The meta class of a C++ type T, assembled from four policies: identity
// (the kind code), memory (create, copy, delete), data (conversions) and
// script (push to / read from the script stack). MetaClassPod (the eleven
// plain types) and MetaClassEnum (enumerations) are MetaClassGeneric with the
// plain and enumeration data policies. Use the macros of Reflect.h rather than
// naming these directly.

#include "engine/core/MetaClass.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <type_traits>

namespace Ostrel {

template <class T>
constexpr int KindOf() {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_same_v<U, bool>) return kKindBool;
    else if constexpr (std::is_same_v<U, char>) return kKindChar;
    else if constexpr (std::is_same_v<U, unsigned char>) return kKindUnsignedChar;
    else if constexpr (std::is_same_v<U, short>) return kKindShort;
    else if constexpr (std::is_same_v<U, unsigned short>) return kKindUnsignedShort;
    else if constexpr (std::is_same_v<U, int>) return kKindInt;
    else if constexpr (std::is_same_v<U, unsigned>) return kKindUnsignedInt;
    else if constexpr (std::is_same_v<U, long>) return kKindLong;
    else if constexpr (std::is_same_v<U, unsigned long>) return kKindUnsignedLong;
    else if constexpr (std::is_same_v<U, float>) return kKindFloat;
    else if constexpr (std::is_same_v<U, double>) return kKindDouble;
    else if constexpr (std::is_same_v<U, std::string>) return kKindString;
    else if constexpr (std::is_enum_v<U>) return kKindEnum;
    else return kKindClass;
}

namespace Private {

// Converts a floating value to the integer type I, truncating toward zero;
// out-of-range values saturate and NaN gives 0 (a plain cast would be
// undefined for them).
template <class I>
I TruncateToInteger(double number) {
    if (std::isnan(number)) return I(0);
    constexpr double kLow = double(std::numeric_limits<I>::lowest());
    constexpr double kHigh = double(std::numeric_limits<I>::max());
    if (number <= kLow) return std::numeric_limits<I>::lowest();
    if (number >= kHigh) return std::numeric_limits<I>::max();
    return I(number);
}

// The C library's atoi, without its undefined result on overflow (saturates).
int AsciiToInt(const std::string& text);
double AsciiToFloat(const std::string& text);

}  // namespace Private

template <class T>
struct IdOpsDefault {
    static int GetKind() { return KindOf<T>(); }
};

// What MemOpsDefault may do with values of a class.
enum MemCaps : unsigned {
    kMemNone = 0,
    kMemNew = 1,
    kMemDelete = 2,
    kMemCopy = 4,
    kMemCreateDelete = kMemNew | kMemDelete,
    kMemAll = kMemNew | kMemDelete | kMemCopy,
};

template <class T, unsigned Caps = kMemCreateDelete>
struct MemOpsDefault {
    static constexpr bool kCanNew = (Caps & kMemNew) != 0 && std::is_default_constructible_v<T> &&
                                    !std::is_abstract_v<T>;
    static constexpr bool kCanDelete = (Caps & kMemDelete) != 0;
    static constexpr bool kCanCopy = (Caps & kMemCopy) != 0 && std::is_copy_constructible_v<T> &&
                                     !std::is_abstract_v<T>;

    static void* New() {
        if constexpr (kCanNew) {
            return new T();
        } else {
            return nullptr;
        }
    }
    static void NewCopy(void*& out, const void* source) {
        if constexpr (kCanCopy) {
            out = new T(*static_cast<const T*>(source));
        } else {
            (void)out;
            (void)source;
        }
    }
    static void Delete(void* value) {
        if constexpr (kCanDelete) {
            delete static_cast<T*>(value);
        } else {
            (void)value;
        }
    }
};

// Classes and structures: no conversions; the text of a value is the class name.
template <class T>
struct DataOpsNop {
    static int ToInt(const void*) { return 0; }
    static double ToFloat(const void*) { return 0.0; }
    static std::string& ToString(std::string& out, const void*, const std::string& className) {
        out = className;
        return out;
    }
    static void FromInt(void*, int) {}
    static void FromFloat(void*, double) {}
    static void FromString(void*, const std::string&) {}
};

// The plain types: C conversions (floating values truncated toward zero),
// text written with a default-formatted string stream (char as a character,
// bool as 1 or 0) and read with atoi / atof.
template <class T>
struct DataOpsPod {
    static const T& Read(const void* value) { return *static_cast<const T*>(value); }
    static T& Write(void* value) { return *static_cast<T*>(value); }

    static int ToInt(const void* value) {
        if constexpr (std::is_floating_point_v<T>) {
            return Private::TruncateToInteger<int>(double(Read(value)));
        } else {
            return int(Read(value));
        }
    }
    static double ToFloat(const void* value) { return double(Read(value)); }
    static std::string& ToString(std::string& out, const void* value, const std::string&) {
        std::ostringstream stream;
        stream << Read(value);
        out = stream.str();
        return out;
    }
    static void FromInt(void* value, int number) {
        if constexpr (std::is_same_v<T, bool>) {
            Write(value) = number != 0;
        } else {
            Write(value) = T(number);
        }
    }
    static void FromFloat(void* value, double number) {
        if constexpr (std::is_same_v<T, bool>) {
            Write(value) = number != 0.0;
        } else if constexpr (std::is_floating_point_v<T>) {
            Write(value) = T(number);
        } else {
            Write(value) = Private::TruncateToInteger<T>(number);
        }
    }
    static void FromString(void* value, const std::string& text) {
        if constexpr (std::is_floating_point_v<T>) {
            Write(value) = T(Private::AsciiToFloat(text));
        } else {
            FromInt(value, Private::AsciiToInt(text));
        }
    }
};

// Enumerations behave as their integer value (decimal text).
template <class T>
struct DataOpsEnum {
    using Int = DataOpsPod<int>;
    static int Read(const void* value) { return int(*static_cast<const T*>(value)); }
    static void Write(void* value, int number) { *static_cast<T*>(value) = T(number); }

    static int ToInt(const void* value) { return Read(value); }
    static double ToFloat(const void* value) { return double(Read(value)); }
    static std::string& ToString(std::string& out, const void* value, const std::string& name) {
        const int number = Read(value);
        return Int::ToString(out, &number, name);
    }
    static void FromInt(void* value, int number) { Write(value, number); }
    static void FromFloat(void* value, double number) {
        Write(value, Private::TruncateToInteger<int>(number));
    }
    static void FromString(void* value, const std::string& text) {
        Write(value, Private::AsciiToInt(text));
    }
};

template <class T>
struct ScriptOpsDefault {
    static void ToScript(const void*) {}
    static void FromScript(void*) {}
};

template <class T, class IdOps = IdOpsDefault<T>, class MemOps = MemOpsDefault<T>,
          class DataOps = DataOpsNop<T>, class ScriptOps = ScriptOpsDefault<T>>
class MetaClassGeneric : public MetaClass, public IdOps, public MemOps, public DataOps, public ScriptOps {
public:
    using RegisterFunction = void (*)(MetaClass& meta);

    // registerReflection (may be null) adds the type's fields, methods and
    // script binder.
    explicit MetaClassGeneric(std::string name, RegisterFunction registerReflection = nullptr)
        : MetaClass(std::move(name)) {
        if (registerReflection != nullptr) {
            registerReflection(*this);
        }
    }

    int ToInt(const void* value) const override { return DataOps::ToInt(value); }
    double ToFloat(const void* value) const override { return DataOps::ToFloat(value); }
    std::string& ToString(std::string& out, const void* value) const override {
        return DataOps::ToString(out, value, GetName());
    }
    void FromInt(void* value, int number) const override { DataOps::FromInt(value, number); }
    void FromFloat(void* value, double number) const override { DataOps::FromFloat(value, number); }
    void FromString(void* value, const std::string& text) const override {
        DataOps::FromString(value, text);
    }
    void NewCopy(void*& out, const void* source) const override { MemOps::NewCopy(out, source); }
    void* New() const override { return MemOps::New(); }
    void Delete(void* value) const override { MemOps::Delete(value); }
    bool CanNewCopy() const override { return MemOps::kCanCopy; }
    bool CanNew() const override { return MemOps::kCanNew; }
    bool CanDelete() const override { return MemOps::kCanDelete; }
    int GetKind() const override { return IdOps::GetKind(); }
    void ToScript(const void* value) const override { ScriptOps::ToScript(value); }
    void FromScript(void* value) const override { ScriptOps::FromScript(value); }
};

template <class T>
class MetaClassPod final
    : public MetaClassGeneric<T, IdOpsDefault<T>, MemOpsDefault<T, kMemAll>, DataOpsPod<T>,
                              ScriptOpsDefault<T>> {
public:
    using MetaClassPod::MetaClassGeneric::MetaClassGeneric;
};

template <class T>
class MetaClassEnum final
    : public MetaClassGeneric<T, IdOpsDefault<T>, MemOpsDefault<T, kMemAll>, DataOpsEnum<T>,
                              ScriptOpsDefault<T>> {
public:
    using MetaClassEnum::MetaClassGeneric::MetaClassGeneric;
};

}  // namespace Ostrel
