#pragma once
// A named method of a reflected class: a name and the VariantMethod binder
// that calls it. Owned by the class's MetaClass.

#include "engine/core/RefPtr.h"
#include "engine/core/VariantMethod.h"

#include <string>

namespace Ostrel {

class MetaClass;

class MethodInfo {
public:
    virtual const std::string& GetName() const = 0;
    virtual MetaClass* GetClass() const = 0;
    virtual int GetArgCount() const = 0;
    virtual MetaClass* GetArgType(int index) const = 0;
    virtual bool IsConst() const = 0;
    virtual MetaClass* GetReturnType() const = 0;
    virtual const RefPtr<VariantMethod>& GetMethod() const = 0;
    virtual ~MethodInfo() = default;
};

class MethodInfoImpl final : public MethodInfo {
public:
    MethodInfoImpl(std::string name, RefPtr<VariantMethod> method)
        : m_name(std::move(name)), m_method(std::move(method)) {}

    const std::string& GetName() const override { return m_name; }
    MetaClass* GetClass() const override { return m_method->GetClass(); }
    int GetArgCount() const override { return m_method->GetArgCount(); }
    MetaClass* GetArgType(int index) const override { return m_method->GetArgType(index); }
    bool IsConst() const override { return m_method->IsConst(); }
    MetaClass* GetReturnType() const override { return m_method->GetReturnType(); }
    const RefPtr<VariantMethod>& GetMethod() const override { return m_method; }

private:
    std::string m_name;
    RefPtr<VariantMethod> m_method;
};

}  // namespace Ostrel
