#include "engine/core/MetaClass.h"

#include "engine/core/FieldInfo.h"
#include "engine/core/MetaRegistryInst.h"
#include "engine/core/MethodInfo.h"
#include "engine/core/SmallAllocator.h"

namespace Ostrel {

MetaClass::MetaClass(std::string name) : MetaClass(std::move(name), false) {}

MetaClass::MetaClass(std::string name, bool placeholder) : m_placeholder(placeholder), m_name(std::move(name)) {
    // The allocator exists before any meta class, so it is destroyed after
    // all of them (their fields and methods give count cells back).
    DefaultSmallAllocator::Instance();
    MetaRegistryInst::Instance().Register(this);
}

MetaClass::~MetaClass() {
    if (MetaRegistryInst* registry = MetaRegistryInst::InstanceIfAlive()) {
        registry->Unregister(this);
    }
}

void MetaClass::ToScript(const void*) const {}

void MetaClass::FromScript(void*) const {}

void MetaClass::RunScriptBinder(ScriptManager* scripts) const {
    if (m_scriptBinder != nullptr) {
        m_scriptBinder(scripts, *this);
    }
}

MethodInfo* MetaClass::AddMethod(const std::string& name, const RefPtr<VariantMethod>& method) {
    auto [it, inserted] = m_methods.try_emplace(name);
    if (!inserted) {
        return nullptr;
    }
    it->second = std::make_unique<MethodInfoImpl>(name, method);
    return it->second.get();
}

FieldInfo* MetaClass::AddField(const std::string& name, const RefPtr<VariantField>& field) {
    auto [it, inserted] = m_fields.try_emplace(name);
    if (!inserted) {
        return nullptr;
    }
    it->second = std::make_unique<FieldInfoImpl>(name, field);
    return it->second.get();
}

MethodInfo* MetaClass::FindMethod(const std::string& name) const {
    auto it = m_methods.find(name);
    return it == m_methods.end() ? nullptr : it->second.get();
}

FieldInfo* MetaClass::FindField(const std::string& name) const {
    auto it = m_fields.find(name);
    return it == m_fields.end() ? nullptr : it->second.get();
}

}  // namespace Ostrel
