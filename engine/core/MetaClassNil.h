#pragma once
// The meta class of no type at all (kind 0): "EntityUnknown", the type of a
// default Variant, of binder arguments past the last and of every binder's
// result. Nothing converts, nothing is created.

#include "engine/core/MetaClass.h"

namespace Ostrel {

class MetaClassNil final : public MetaClass {
public:
    using MetaClass::MetaClass;

    int ToInt(const void*) const override { return 0; }
    double ToFloat(const void*) const override { return 0.0; }
    std::string& ToString(std::string& out, const void*) const override {
        out.clear();
        return out;
    }
    void FromInt(void*, int) const override {}
    void FromFloat(void*, double) const override {}
    void FromString(void*, const std::string&) const override {}
    void NewCopy(void*& out, const void*) const override { out = nullptr; }
    void* New() const override { return nullptr; }
    void Delete(void*) const override {}
    bool CanNewCopy() const override { return false; }
    bool CanNew() const override { return false; }
    bool CanDelete() const override { return false; }
    int GetKind() const override { return kKindNil; }
};

}  // namespace Ostrel
