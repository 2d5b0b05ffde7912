#pragma once
// Creates objects of one archetype at the owner's position, one per period,
// keeping at most `maximum` of them alive (a maximum below 1 means no
// limit). It runs in fixed steps of the period, so it spawns at most once a
// frame and only once more than a period has gone by. A period of 0 spawns
// once, on the first frame with a positive time, and finishes.
//
// The spawned objects take the owner's rotation, are never saved with a room
// (their save flag is cleared) and receive the local "FinishedSpawning".
// The list of spawned ids is pruned through the global "ObjectDestroyed".
// The owner's local "UpdateSpawnAction"(archetype, period, maximum) replaces
// all three and restarts the period.
//
// An archetype that cannot be made is logged once per name and skipped: it
// takes no place in the list, so the spawner keeps trying.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/VariantFunction.h"

#include <set>
#include <string>
#include <vector>

namespace Ostrel {

class SpawnAction final : public ActionBase {
public:
    explicit SpawnAction(const std::string& archetype = "", f32 period = 0.0f, int maximum = 0);
    // Unsubscribes what is still subscribed (an action deleted unended).
    ~SpawnAction() override;

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnUpdateSpawnAction(const std::string& archetype, f32 period, int maximum);
    void OnObjectDestroyed(u32 id);

    // Whether another object may be spawned now.
    bool CanSpawn() const;
    const std::vector<u32>& GetSpawned() const { return m_spawned; }

private:
    void Spawn();
    void StopListening();

    f32 m_period;
    std::string m_archetype;
    int m_maximum;
    std::vector<u32> m_spawned;
    std::set<std::string> m_reportedMissing;
    OwnerListeners m_ownerListeners;
    // The global "ObjectDestroyed" listener while started.
    FunctionRef m_onDestroyed;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::SpawnAction);
