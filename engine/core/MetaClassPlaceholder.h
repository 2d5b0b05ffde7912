#pragma once
// Stand-ins in the meta-class registry for classes (and one enumeration) that
// are not written yet, so that the registry lists every reflected name of the
// program from the start. A stand-in converts nothing and creates nothing
// (New gives nullptr); its kind is that of the class it stands for. When the
// real class is written, its registration line replaces the stand-in in the
// registry, whichever is built first.

#include "engine/core/MetaClass.h"

#include <string>
#include <utility>

namespace Ostrel {

class MetaClassPlaceholder final : public MetaClass {
public:
    explicit MetaClassPlaceholder(std::string name, int kind = kKindClass)
        : MetaClass(std::move(name), true), m_kind(kind) {}

    int ToInt(const void*) const override { return 0; }
    double ToFloat(const void*) const override { return 0.0; }
    std::string& ToString(std::string& out, const void*) const override {
        out = GetName();
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
    int GetKind() const override { return m_kind; }

private:
    int m_kind;
};

}  // namespace Ostrel
