#include "engine/actions/SpawnAction.h"

#include "engine/actions/ActionSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/base/Log.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <algorithm>

LV_REFLECT_CLASS(Ostrel::SpawnAction);

namespace Ostrel {

SpawnAction::SpawnAction(const std::string& archetype, f32 period, int maximum)
    : m_period(period), m_archetype(archetype), m_maximum(maximum) {}

void SpawnAction::OnStart() {
    ActionBase::OnStart();
    SetFixedStep(true);
    SetStep(m_period);
    if (Composition* owner = FindActionObject(GetOwner()))
        m_ownerListeners.Listen(*owner, "UpdateSpawnAction", MakeDelegate(this, &SpawnAction::OnUpdateSpawnAction));
    CoreSystem* core = ActionCore();
    if (core && !m_onDestroyed) {
        m_onDestroyed = MakeDelegate(this, &SpawnAction::OnObjectDestroyed);
        core->Listen("ObjectDestroyed", m_onDestroyed);
    }
}

void SpawnAction::OnEnd() {
    StopListening();
    ActionBase::OnEnd();
}

SpawnAction::~SpawnAction() { StopListening(); }

void SpawnAction::StopListening() {
    if (m_onDestroyed) {
        if (CoreSystem* core = ActionCore()) core->Unlisten("ObjectDestroyed", m_onDestroyed);
        m_onDestroyed = FunctionRef();
    }
    m_ownerListeners.UnlistenAll();
}

int SpawnAction::OnUpdate(f32) {
    const int result = m_period == 0.0f ? kActionFinished : kActionRunning;
    if (CanSpawn()) Spawn();
    return result;
}

bool SpawnAction::CanSpawn() const {
    return m_maximum < 1 || m_spawned.size() < std::size_t(m_maximum);
}

void SpawnAction::Spawn() {
    ObjectManager* objects = ActionObjects();
    if (!objects) return;
    Composition* owner = objects->GetObject(GetOwner());
    const u32 id = objects->CreateRunTimeObject(m_archetype, owner ? owner->GetTransform() : nullptr);
    Composition* spawned = objects->GetObject(id);
    if (!spawned) {
        if (m_reportedMissing.insert(m_archetype).second)
            LogErrorf("SpawnAction of object %u: archetype '%s' could not be created; spawning goes on\n",
                      GetOwner(), m_archetype.c_str());
        return;
    }
    m_spawned.push_back(id);
    spawned->SetSaveFlag(false);
    spawned->Send("FinishedSpawning");
}

void SpawnAction::OnUpdateSpawnAction(const std::string& archetype, f32 period, int maximum) {
    m_archetype = archetype;
    m_period = period;
    m_maximum = maximum;
    SetStep(m_period);
}

void SpawnAction::OnObjectDestroyed(u32 id) {
    auto it = std::find(m_spawned.begin(), m_spawned.end(), id);
    if (it == m_spawned.end()) return;
    *it = m_spawned.back();
    m_spawned.pop_back();
}

}  // namespace Ostrel
