#pragma once
// A nest ('spwC'): an engine SpawnAction makes one "SpawnType" object per
// "SpawnTime" while fewer than "SpawnLimit" of them live (0 or less: no
// limit). A "Destroyable" nest takes the companion's hits, flashes and, on
// "ObjectDead", plays "spawner-death-sfx" and goes; what it made lives on.
// A nest of "yak-obj" shows the "spawner-appears" hint once and locks it.
// The editor's "SpawnTime", "SpawnType" and "SpawnLimit" hand all three to
// the running SpawnAction ("UpdateSpawnAction"), which restarts its period.
// "SpawnEffect" is kept (read, written when it was read, copied) but unused.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Vandle {

using Ostrel::f32;
using Ostrel::s32;
using Ostrel::u32;

class SpawnerComponent final : public Ostrel::Component {
public:
    // The shortest spawn period a file may give, in seconds (0, spawn once,
    // is kept).
    static constexpr Ostrel::f32 kMinSpawnTime = 0.1f;

    static constexpr u32 kTypeId = Ostrel::FourCC("spwC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnObjectDead();

    f32 GetSpawnTime() const { return m_spawnTime; }
    void SetSpawnTime(f32 seconds);
    const std::string& GetSpawnType() const { return m_spawnType; }
    void SetSpawnType(const std::string& archetype);
    s32 GetSpawnLimit() const { return m_spawnLimit; }
    void SetSpawnLimit(s32 limit);
    bool GetDestroyable() const { return m_destroyable; }
    void SetDestroyable(bool destroyable);

private:
    void SendUpdate();
    void ListenDeath(bool listen);

    std::string m_spawnType;
    bool m_hasSpawnEffect = false;
    std::string m_spawnEffect;
    f32 m_spawnTime = 10.0f;
    bool m_destroyable = false;
    s32 m_spawnLimit = 0;
    bool m_listeningDeath = false;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::SpawnerComponent);
