#include "engine/core/MetaRegistryInst.h"

#include "engine/core/MetaClass.h"

namespace Ostrel {

namespace {
using RegistrySingleton = LongLivedSingleton<MetaRegistryInst, kLongevityMetaRegistry>;
}  // namespace

MetaRegistryInst& MetaRegistryInst::Instance() {
    return RegistrySingleton::Instance();
}

MetaRegistryInst* MetaRegistryInst::InstanceIfAlive() {
    return RegistrySingleton::InstanceIfAlive();
}

bool MetaRegistryInst::Register(MetaClass* meta) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto [it, inserted] = m_classes.try_emplace(meta->GetName(), meta);
    if (inserted) return true;
    // A class written since its stand-in was listed takes the stand-in's place.
    if (it->second->IsPlaceholder() && !meta->IsPlaceholder()) {
        it->second = meta;
        return true;
    }
    return false;
}

void MetaRegistryInst::Unregister(const MetaClass* meta) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_classes.find(meta->GetName());
    if (it != m_classes.end() && it->second == meta) {
        m_classes.erase(it);
    }
}

MetaClass* MetaRegistryInst::Find(std::string_view name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_classes.find(name);
    return it == m_classes.end() ? nullptr : it->second;
}

std::size_t MetaRegistryInst::GetCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_classes.size();
}

std::vector<MetaClass*> MetaRegistryInst::GetAll() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<MetaClass*> all;
    all.reserve(m_classes.size());
    for (const auto& [name, meta] : m_classes) {
        all.push_back(meta);
    }
    return all;
}

}  // namespace Ostrel
