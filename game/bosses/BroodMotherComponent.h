#pragma once
// The brood mother ('brdC'): a large yak that stands still, faces the player
// and fights through her brood. Her BroodSpawnAction turns her, places her
// nests on its first frame with a player (three fixed "spawner-yak-obj"
// answering the trigger id 'BRD1' and one "moving-spawner-yak-obj" roaming
// the room box and answering 'BRD2') and pulses 'BRD2' every "SpawnTime".
//
// Health loss is summed twice: every "WaveHealthLossTrigger" of it launches
// a wave ("ResetSpawnTimer", then "TriggerActivated" 'BRD1' and 'BRD2'),
// every "WanderingHealthLossTrigger" adds a roaming nest. A heal lowers both
// sums; what lies beyond a trigger is dropped when its sum restarts, so one
// big hit gives at most one of each. Her bar is the HUD's "ui-yak".
//
// When she starts, and when she dies, every ordinary yak ('emyC') of the
// level gets "ObjectDead". Her death hides the bar first, then destroys her
// and her roaming nests (the fixed ones stay) and leaves a "yak-fx-obj".
// Nests that cannot be made, or lack the parts they need, are logged and
// skipped.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

#include <vector>

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::s32;
using Ostrel::u32;

class BroodMotherComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("brdC");
    static constexpr s32 kFixedTrigger = s32(Ostrel::FourCC("BRD1"));
    static constexpr s32 kWanderingTrigger = s32(Ostrel::FourCC("BRD2"));
    static constexpr f32 kWanderLegTime = 5.0f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollision(Ostrel::CollisionData* contact);
    void OnObjectDead();
    void OnHealthChanged(f32 fraction);
    void OnFinishedSpawning();

    // Three fixed nests in front of her (x - 14 / z - 8, x - 14 / z + 8,
    // x - 25), listening to 'BRD1'.
    void PlaceFixedSpawners();
    // One roaming nest at x - 40 listening to 'BRD2', wandering the room box
    // in legs of 5 s.
    void AddWanderingSpawner();

    f32 GetSpawnTime() const { return m_spawnTime; }
    const std::vector<u32>& GetWanderingSpawners() const { return m_wanderingSpawnerIds; }

private:
    void LaunchWave();
    // Places an object of the archetype at her position plus offset and sets
    // its listener's trigger id; null when it could not be made.
    Ostrel::Composition* MakeNest(const char* archetype, const Ostrel::Vec3& offset, s32 triggerId);
    void KillOrdinaryEnemies();
    void Subscribe(bool on);

    f32 m_spawnTime = 10.0f;
    f32 m_waveHealthLossTrigger = 0.16f;
    f32 m_wanderingHealthLossTrigger = 0.33f;
    Ostrel::Vec3 m_roomMin;
    Ostrel::Vec3 m_roomMax;
    f32 m_waveLoss = 0.0f;
    f32 m_wanderLoss = 0.0f;
    f32 m_lastHealth = 1.0f;
    std::vector<u32> m_wanderingSpawnerIds;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::BroodMotherComponent);
