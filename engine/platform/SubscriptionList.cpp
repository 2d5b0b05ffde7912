#include "engine/platform/SubscriptionList.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"

namespace Ostrel {

namespace {
CoreSystem* Core() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}
}  // namespace

void SubscriptionList::Listen(const std::string& name, const FunctionRef& function) {
    CoreSystem* core = Core();
    if (!core) return;
    core->Listen(name, function);
    m_entries.emplace_back(name, function);
}

void SubscriptionList::Clear() {
    CoreSystem* core = Core();
    if (core) {
        for (const auto& [name, function] : m_entries) core->Unlisten(name, function);
    }
    m_entries.clear();
}

}  // namespace Ostrel
