#pragma once
// A named field of a reflected class: a name and the VariantField that reads
// and writes it. Owned by the class's MetaClass.

#include "engine/core/RefPtr.h"
#include "engine/core/VariantField.h"

#include <string>

namespace Ostrel {

class MetaClass;

class FieldInfo {
public:
    virtual const std::string& GetName() const = 0;
    virtual MetaClass* GetClass() const = 0;
    virtual MetaClass* GetType() const = 0;
    virtual const RefPtr<VariantField>& GetField() const = 0;
    virtual ~FieldInfo() = default;
};

class FieldInfoImpl final : public FieldInfo {
public:
    FieldInfoImpl(std::string name, RefPtr<VariantField> field)
        : m_name(std::move(name)), m_field(std::move(field)) {}

    const std::string& GetName() const override { return m_name; }
    MetaClass* GetClass() const override { return m_field->GetClass(); }
    MetaClass* GetType() const override { return m_field->GetType(); }
    const RefPtr<VariantField>& GetField() const override { return m_field; }

private:
    std::string m_name;
    RefPtr<VariantField> m_field;
};

}  // namespace Ostrel
