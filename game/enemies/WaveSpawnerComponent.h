#pragma once
// A spawner driven by pulses ('wspC'): each local "TriggerFired" (from a
// trigger listener or a timed trigger on the same object) makes one
// "SpawnType" object at the spawner and, when "SpawnEffect" was given, one
// effect object beside it; both get "FinishedSpawning" and are never saved
// with a room. It keeps the ids of the objects it made (not the effects).
//
// With a "SpawnLimit" a pulse while full makes nothing and sends
// "PauseTimedTrigger"; the destruction that brings the count to exactly one
// below the limit sends "ResetTimedTrigger" then "ResumeTimedTrigger", so a
// paused timer starts a full period again. A negative limit is always full:
// every pulse pauses and nothing is made (logged once when it starts).
// "Destroyable" as for the plain spawner.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/platform/SubscriptionList.h"

#include <string>
#include <vector>

namespace Vandle {

using Ostrel::s32;
using Ostrel::u32;

class WaveSpawnerComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("wspC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnTriggerFired();
    void OnObjectDestroyed(u32 id);
    void OnObjectDead();

    const std::string& GetSpawnType() const { return m_spawnType; }
    void SetSpawnType(const std::string& archetype) { m_spawnType = archetype; }
    bool GetDestroyable() const { return m_destroyable; }
    void SetDestroyable(bool destroyable);
    s32 GetSpawnLimit() const { return m_spawnLimit; }
    void SetSpawnLimit(s32 limit) { m_spawnLimit = limit; }
    const std::vector<u32>& GetSpawned() const { return m_spawnedIds; }

private:
    void ListenDeath(bool listen);
    u32 SpawnOne(const std::string& archetype);

    std::string m_spawnType;
    bool m_destroyable = false;
    bool m_hasSpawnEffect = false;
    std::string m_spawnEffect;
    s32 m_spawnLimit = 0;
    std::vector<u32> m_spawnedIds;
    Ostrel::OwnerListeners m_listeners;
    Ostrel::SubscriptionList m_globals;
    bool m_listeningDeath = false;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::WaveSpawnerComponent);
