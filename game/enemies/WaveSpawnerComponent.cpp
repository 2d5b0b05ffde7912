#include "game/enemies/WaveSpawnerComponent.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "game/common/CountField.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"
#include "game/enemies/SpawnerSupport.h"

#include <algorithm>

LV_REFLECT_CLASS(Vandle::WaveSpawnerComponent);

namespace Vandle {

using namespace Ostrel;

void WaveSpawnerComponent::Initialize() {
    CoreSystem* core = GameCore();
    if (!m_globals.Empty() || !core || !IsOwnerLive(*this)) return;
    m_listeners.Listen(*GetOwner(), "TriggerFired", MakeDelegate(this, &WaveSpawnerComponent::OnTriggerFired));
    m_globals.Listen("ObjectDestroyed", MakeDelegate(this, &WaveSpawnerComponent::OnObjectDestroyed));
    if (m_destroyable) {
        ListenDeath(true);
        AddDestroyableActions(*this, "WaveSpawnerComponent");
    }
    if (m_spawnLimit < 0)
        LogErrorf("WaveSpawnerComponent: object %u ('%s'): SpawnLimit %d is negative; it counts as always "
                  "full and nothing is spawned\n",
                  GetOwnerId(), GetOwner()->GetName().c_str(), m_spawnLimit);
}

void WaveSpawnerComponent::Uninitialize() {
    ListenDeath(false);
    m_listeners.UnlistenAll();
    m_globals.Clear();
}

void WaveSpawnerComponent::ListenDeath(bool listen) {
    Composition* owner = GetOwner();
    if (listen == m_listeningDeath || !owner) return;
    if (listen && m_globals.Empty()) return;  // only live objects listen
    // Death is heard only while the spawner is armed, so it is paired by hand.
    if (listen)
        owner->Listen("ObjectDead", MakeDelegate(this, &WaveSpawnerComponent::OnObjectDead));
    else
        owner->Unlisten("ObjectDead", MakeDelegate(this, &WaveSpawnerComponent::OnObjectDead));
    m_listeningDeath = listen;
}

Component* WaveSpawnerComponent::Clone() const {
    auto* copy = NewComponentOf<WaveSpawnerComponent>();
    if (!copy) return nullptr;
    copy->m_spawnType = m_spawnType;
    copy->m_destroyable = m_destroyable;
    copy->m_hasSpawnEffect = m_hasSpawnEffect;
    copy->m_spawnEffect = m_spawnEffect;
    copy->m_spawnLimit = m_spawnLimit;
    return copy;
}

void WaveSpawnerComponent::Serialize(Serializer* s) {
    s->SerializeString("SpawnType", &m_spawnType);
    s->SerializeBool("Destroyable", &m_destroyable);
    s->SerializeInt("SpawnLimit", &m_spawnLimit);
    if (s->IsReading() && m_spawnLimit < 0) ReportNegativeCount(s, "SpawnLimit", m_spawnLimit, "the spawner counts as always full");
    SerializeOptionalString(s, "SpawnEffect", &m_spawnEffect, &m_hasSpawnEffect);
}

void WaveSpawnerComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddCallbackVar(
        "SpawnType", kTweakString,
        [](const void* v, void* c) {
            static_cast<WaveSpawnerComponent*>(c)->SetSpawnType(*static_cast<const std::string*>(v));
        },
        [](void* v, void* c) {
            *static_cast<std::string*>(v) = static_cast<const WaveSpawnerComponent*>(c)->GetSpawnType();
        },
        this);
    panel->AddCallbackVar(
        "Destroyable", kTweakBool,
        [](const void* v, void* c) {
            static_cast<WaveSpawnerComponent*>(c)->SetDestroyable(*static_cast<const bool*>(v));
        },
        [](void* v, void* c) { *static_cast<bool*>(v) = static_cast<const WaveSpawnerComponent*>(c)->GetDestroyable(); },
        this);
    panel->AddBool("SpawnEffect", &m_hasSpawnEffect, false);
    panel->AddString("SpawnEffectName", &m_spawnEffect, false);
    AddIntField<WaveSpawnerComponent, &WaveSpawnerComponent::GetSpawnLimit, &WaveSpawnerComponent::SetSpawnLimit>(
        panel, "SpawnLimit", this);
}

Variant WaveSpawnerComponent::ToVariant() { return Variant(this); }

void WaveSpawnerComponent::SetDestroyable(bool destroyable) {
    ListenDeath(destroyable);
    m_destroyable = destroyable;
}

void WaveSpawnerComponent::OnTriggerFired() {
    if (m_spawnLimit != 0 && s32(m_spawnedIds.size()) >= m_spawnLimit) {
        if (GetOwner()) GetOwner()->Send("PauseTimedTrigger");
        return;
    }
    if (const u32 id = SpawnOne(m_spawnType)) m_spawnedIds.push_back(id);
    if (m_hasSpawnEffect) SpawnOne(m_spawnEffect);
}

u32 WaveSpawnerComponent::SpawnOne(const std::string& archetype) {
    Composition* owner = GetOwner();
    Composition* made = CreateGameObject(archetype, owner ? owner->GetTransform() : nullptr, "WaveSpawnerComponent");
    if (!made) return 0;
    const u32 id = made->GetId();
    made->SetSaveFlag(false);
    made->Send("FinishedSpawning");
    return id;
}

void WaveSpawnerComponent::OnObjectDestroyed(u32 id) {
    auto it = std::find(m_spawnedIds.begin(), m_spawnedIds.end(), id);
    if (it == m_spawnedIds.end()) return;
    *it = m_spawnedIds.back();
    m_spawnedIds.pop_back();
    if (m_spawnLimit != 0 && s32(m_spawnedIds.size()) == m_spawnLimit - 1 && GetOwner()) {
        GetOwner()->Send("ResetTimedTrigger");
        if (GetOwner()) GetOwner()->Send("ResumeTimedTrigger");
    }
}

void WaveSpawnerComponent::OnObjectDead() { DieAsSpawner(*this); }

}  // namespace Vandle
