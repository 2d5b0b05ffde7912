#include "engine/core/LogicSystem.h"

#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <algorithm>

LV_REFLECT_CLASS(Ostrel::LogicSystem);

namespace Ostrel {

LogicSystem::LogicSystem() = default;

LogicSystem::~LogicSystem() { Unsubscribe(); }

void LogicSystem::Initialize() {
    CoreSystem* core = m_engine ? m_engine->GetCoreSystem() : nullptr;
    if (!core || m_subscribed) return;
    m_onCreated = MakeDelegate(this, &LogicSystem::OnObjectCreated);
    m_onDestroyed = MakeDelegate(this, &LogicSystem::OnObjectDestroyed);
    core->Listen("ObjectCreated", m_onCreated);
    core->Listen("ObjectDestroyed", m_onDestroyed);
    m_subscribed = true;
}

void LogicSystem::Shutdown() { Unsubscribe(); }

void LogicSystem::Unsubscribe() {
    if (!m_subscribed) return;
    m_subscribed = false;
    // The engine may already be gone in teardown; then so is the table.
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (!core) return;
    core->Unlisten("ObjectCreated", m_onCreated);
    core->Unlisten("ObjectDestroyed", m_onDestroyed);
}

Composition* LogicSystem::FindObject(u32 id) const {
    if (m_lookup) return m_lookup(id);
    Engine* engine = m_engine ? m_engine : Engine::Instance();
    auto* objects = engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
    return objects ? objects->GetObject(id) : nullptr;
}

void LogicSystem::OnObjectCreated(u32 id) {
    if (GetBrainComponentOf(FindObject(id))) m_objects.push_back(id);
}

void LogicSystem::OnObjectDestroyed(u32 id) {
    auto it = std::find(m_objects.begin(), m_objects.end(), id);
    if (it == m_objects.end()) return;
    *it = m_objects.back();
    m_objects.pop_back();
}

void LogicSystem::Update(f32 dt) {
    if (m_engine && m_engine->IsPaused()) return;
    PruneVanished();
    StepBrains(dt);
}

void LogicSystem::PruneVanished() {
    std::erase_if(m_objects, [this](u32 id) { return FindObject(id) == nullptr; });
}

void LogicSystem::StepBrains(f32 dt) {
    // By index, re-reading the length: "ObjectCreated" may append during a
    // brain's update.
    for (size_t i = 0; i < m_objects.size(); ++i) {
        if (BrainComponent* brain = GetBrainComponentOf(FindObject(m_objects[i]))) brain->Update(dt);
    }
}

}  // namespace Ostrel
