#pragma once
// The brood mother's running part. Every frame with a player it turns her
// to face the player; on the first such frame it has her place her nests;
// and it pulses the roaming nests with the global "TriggerActivated"('BRD2')
// each time spawnTime seconds have summed up since the last pulse or since
// her local "ResetSpawnTimer". Without a player nothing happens at all,
// the timer included. The owner must carry a BroodMotherComponent for the
// nests to be placed. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class BroodSpawnAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void SetSpawnTime(f32 seconds) { m_spawnTime = seconds; }
    void OnResetSpawnTimer() { m_timer = 0.0f; }

    f32 GetTimer() const { return m_timer; }
    bool HasPlacedSpawners() const { return !m_firstUpdate; }

private:
    f32 m_spawnTime = 10.0f;
    f32 m_timer = 0.0f;
    bool m_firstUpdate = true;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    u32 m_targetId = 0;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::BroodSpawnAction);
