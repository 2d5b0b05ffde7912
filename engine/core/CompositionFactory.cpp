#include "engine/core/CompositionFactory.h"

#include "engine/core/Component.h"
#include "engine/core/Composition.h"
#include "engine/core/Factory.h"

#include <cstdio>
#include <iostream>
#include <mutex>

namespace Ostrel {

namespace {

const char* const kBlank = "blank";

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

std::recursive_mutex& FactoryMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

CompositionFactory* CompositionFactory::s_instance = nullptr;

CompositionFactory::CompositionFactory() {
    s_instance = this;
}

CompositionFactory::~CompositionFactory() {
    if (s_instance == this) s_instance = nullptr;
    if (!m_live.empty()) {
        Print("Not all compositions were freed on shutdown.\n\nUnfreed compositions were:\n");
    }
    while (!m_live.empty()) {
        Composition* object = m_live.front();
        Print("  " + (object->GetName().empty() ? std::string(kBlank) : object->GetName()) + "\n");
        TakeOffLiveList(object);
        DestroyComponentsAndDelete(object);
    }
    DestroyAllArchetypes();
    for (auto& [id, factory] : m_factories) factory.reset();
    m_factories.clear();
    m_typeIds.clear();
}

CompositionFactory* CompositionFactory::Instance() {
    if (!s_instance) Print("Factory was never instantiated.\nDid you forget to make one?\n");
    return s_instance;
}

void CompositionFactory::AddComponentType(Factory* factory, u32 typeId, std::string className) {
    std::lock_guard lock(FactoryMutex());
    m_factories.try_emplace(typeId, std::unique_ptr<Factory>(factory));
    m_typeIds.emplace(std::move(className), typeId);
}

Component* CompositionFactory::CreateComponent(u32 typeId) {
    std::lock_guard lock(FactoryMutex());
    auto it = m_factories.find(typeId);
    if (it == m_factories.end()) {
        Print("No component factory is registered with type " + std::to_string(typeId) + "\n");
        return nullptr;
    }
    return it->second->Create();
}

Component* CompositionFactory::CreateComponentByName(const std::string& className) {
    const u32 typeId = GetComponentTypeId(className);
    return typeId == 0 ? nullptr : CreateComponent(typeId);
}

u32 CompositionFactory::GetComponentTypeId(const std::string& className) const {
    std::lock_guard lock(FactoryMutex());
    auto it = m_typeIds.find(className);
    return it == m_typeIds.end() ? 0 : it->second;
}

std::string CompositionFactory::GetComponentTypeName(u32 typeId) const {
    std::lock_guard lock(FactoryMutex());
    for (const auto& [name, id] : m_typeIds) {
        if (id == typeId) return name;
    }
    return "Could not find.";
}

void CompositionFactory::DestroyComponent(Component* component) {
    if (!component) return;
    std::lock_guard lock(FactoryMutex());
    auto it = m_factories.find(component->GetTypeId());
    if (it == m_factories.end()) {
        // A component of a type kept out of the factory on purpose, made in
        // code (new, or its meta class): nothing else would ever free it.
        delete component;
        return;
    }
    it->second->Destroy(component);
}

bool CompositionFactory::IsRegistered(u32 typeId) const {
    std::lock_guard lock(FactoryMutex());
    return m_factories.count(typeId) != 0;
}

std::vector<u32> CompositionFactory::GetComponentTypeIds() const {
    std::lock_guard lock(FactoryMutex());
    std::vector<u32> ids;
    for (const auto& [id, factory] : m_factories) ids.push_back(id);
    return ids;
}

Composition* CompositionFactory::Create(const std::string& archetypeName) {
    std::lock_guard lock(FactoryMutex());
    if (archetypeName == kBlank) {
        auto* object = new Composition();
        m_live.push_back(object);
        m_liveIndex.emplace(object, std::prev(m_live.end()));
        return object;
    }
    auto it = m_archetypes.find(archetypeName);
    if (it == m_archetypes.end()) {
        std::cout << "Could not find composition of type " << archetypeName << std::endl;
        return nullptr;
    }
    return it->second->Clone();
}

bool CompositionFactory::TakeOffLiveList(Composition* object) {
    auto it = m_liveIndex.find(object);
    if (it == m_liveIndex.end()) return false;
    m_live.erase(it->second);
    m_liveIndex.erase(it);
    return true;
}

void CompositionFactory::Destroy(Composition* object) {
    std::lock_guard lock(FactoryMutex());
    if (!TakeOffLiveList(object)) {
        auto it = m_archetypes.begin();
        while (it != m_archetypes.end() && it->second != object) ++it;
        if (it == m_archetypes.end()) {
            Print("Could not find composition in list. We did not allocate this composition. "
                  "Where the hell did it come from?!?.\n");
            return;
        }
        m_archetypes.erase(it);
    }
    DestroyComponentsAndDelete(object);
}

void CompositionFactory::DestroyComponentsAndDelete(Composition* object) {
    for (const auto& [id, component] : object->GetComponents()) DestroyComponent(component);
    delete object;
}

void CompositionFactory::AddArchetype(Composition* object, std::string name) {
    std::lock_guard lock(FactoryMutex());
    const bool filed = m_archetypes.emplace(std::move(name), object).second;
    TakeOffLiveList(object);
    if (!filed) DestroyComponentsAndDelete(object);
}

const Composition* CompositionFactory::FindArchetype(const std::string& name) const {
    std::lock_guard lock(FactoryMutex());
    auto it = m_archetypes.find(name);
    return it == m_archetypes.end() ? nullptr : it->second;
}

void CompositionFactory::InitializeArchetypes() {
    std::lock_guard lock(FactoryMutex());
    for (auto& [name, archetype] : m_archetypes) archetype->Initialize();
}

std::vector<std::string> CompositionFactory::GetArchetypeNames() const {
    std::lock_guard lock(FactoryMutex());
    std::vector<std::string> names;
    names.reserve(m_archetypes.size());
    for (const auto& [name, archetype] : m_archetypes) names.push_back(name);
    return names;
}

void CompositionFactory::DestroyAllArchetypes() {
    std::lock_guard lock(FactoryMutex());
    for (auto& [name, archetype] : m_archetypes) DestroyComponentsAndDelete(archetype);
    m_archetypes.clear();
}

std::size_t CompositionFactory::GetLiveCount() const {
    std::lock_guard lock(FactoryMutex());
    return m_live.size();
}

}  // namespace Ostrel
