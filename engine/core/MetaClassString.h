#pragma once
// The meta class of text (std::string), registered as "OstrelString" (kind
// 12): atoi / atof to numbers, stream formatting from numbers.

#include "engine/core/MetaClass.h"

#include <string>

namespace Ostrel {

// Memory operations for values of T made with new (create, copy, delete).
template <class T>
class MetaClassMem : public MetaClass {
public:
    using MetaClass::MetaClass;

    void NewCopy(void*& out, const void* source) const override {
        out = new T(*static_cast<const T*>(source));
    }
    void* New() const override { return new T(); }
    void Delete(void* value) const override { delete static_cast<T*>(value); }
    bool CanNewCopy() const override { return true; }
    bool CanNew() const override { return true; }
    bool CanDelete() const override { return true; }
};

class MetaClassString final : public MetaClassMem<std::string> {
public:
    explicit MetaClassString(std::string name = "OstrelString");

    int ToInt(const void* value) const override;
    double ToFloat(const void* value) const override;
    std::string& ToString(std::string& out, const void* value) const override;
    void FromInt(void* value, int number) const override;
    void FromFloat(void* value, double number) const override;
    void FromString(void* value, const std::string& text) const override;
    int GetKind() const override { return kKindString; }
};

}  // namespace Ostrel
