#include "engine/core/Composition.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/core/Component.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/TweakBarGroup.h"

namespace Ostrel {

namespace {

const char* const kEndOfBlocks = "EOF";

}  // namespace

bool Composition::AddComponent(Component* component) {
    component->SetOwner(this);
    if (m_components.emplace(component->GetTypeId(), component).second) return true;
    if (CompositionFactory* factory = CompositionFactory::Instance()) {
        factory->DestroyComponent(component);
    }
    return false;
}

Component* Composition::GetComponent(u32 typeId) const {
    auto it = m_components.find(typeId);
    return it == m_components.end() ? nullptr : it->second;
}

void Composition::Initialize() {
    for (auto& [id, component] : m_components) component->Initialize();
}

void Composition::Uninitialize() {
    for (auto& [id, component] : m_components) component->Uninitialize();
}

Composition* Composition::Clone() const {
    CompositionFactory* factory = CompositionFactory::Instance();
    if (!factory) return nullptr;
    Composition* copy = factory->Create("blank");
    for (const auto& [id, component] : m_components) {
        if (Component* clone = component->Clone()) copy->AddComponent(clone);
    }
    copy->SetName(m_name);
    return copy;
}

void Composition::Serialize(Serializer* serializer) {
    if (serializer->IsWriting()) {
        WriteComponents(serializer);
    } else {
        ReadComponents(serializer);
    }
}

void Composition::WriteComponents(Serializer* serializer) {
    CompositionFactory* factory = CompositionFactory::Instance();
    if (!factory) return;
    for (auto& [id, component] : m_components) {
        // A component kept out of the factory has no name a file could
        // create it by again: it is not written.
        if (!factory->IsRegistered(id)) continue;
        std::string name = factory->GetComponentTypeName(id);
        serializer->SerializeBlock(name);
        component->Serialize(serializer);
        std::string end = kEndOfBlocks;
        serializer->SerializeBlock(end);
    }
}

void Composition::ReadComponents(Serializer* serializer) {
    CompositionFactory* factory = CompositionFactory::Instance();
    if (!factory) return;
    std::string name;
    serializer->SerializeBlock(name);
    while (name != kEndOfBlocks) {
        // The component reads its fields before it is added, so its owner is
        // still null during its Serialize.
        if (Component* component = factory->CreateComponentByName(name)) {
            component->Serialize(serializer);
            AddComponent(component);
        } else {
            const std::string where = m_name.empty() ? "" : "object '" + m_name + "': ";
            LogMessage(where + "unknown component block '" + name + "', skipped\n", 5);
        }
        serializer->SerializeBlock(name);
    }
}

void Composition::ExposeProperties(TweakBarGroup* panel) {
    CompositionFactory* factory = CompositionFactory::Instance();
    if (!factory) return;
    for (auto& [id, component] : m_components) {
        panel->BeginGroup(factory->GetComponentTypeName(id));
        component->ExposeProperties(panel);
    }
}

}  // namespace Ostrel
