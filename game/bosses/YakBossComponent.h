#pragma once
// The yak boss ('yboC'). When its object starts it fills the brain (a
// continuous FacePlayerAction, the YakBossAIAction of its tuning, the damage
// receiver 'dama', an ImmovableAction and a red flash 'flas'), starts
// "boss-battle-bgm", remembers its home and collects the yak tiles ('ykti')
// of the level. Touching the player knocks it back by 150 on the ground and
// sends "DamagePlayer"("Damage", 0.5), whatever the AI is doing.
//
// The fight runs in waves of "WaveHealth" (a share of the total health):
// a blow that passes the next threshold is cut at it (the health is set
// without a message). Odd waves hide the boss, pause its AI and raise a
// "yak-mini-boss-obj" at every tile; each mini-boss destroyed costs the boss
// total x "WaveHealth" / (mini-bosses made), so the last one brings the next
// (even) wave, which shows the boss and resumes the AI. A tile destroyed
// since the start is skipped; when tiles were there but no mini-boss could
// be made the wave ends at once, so the fight never locks. A level without
// tiles is logged when the boss starts: the boss then hides at its first
// wave and never returns. A "WaveHealth" at or below 0.001 means no waves
// (logged).
//
// Death: the bar goes to 0, a "yak-boss-fx" is left where it stood, the
// boss goes home, sinks through the floor for 5 s after a 0.2 s pause and is
// destroyed; the camera returns to its previous state. "battle-bgm" plays
// when the object goes.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"

#include <string>
#include <vector>

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::s32;
using Ostrel::u32;

class YakBossComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("yboC");
    static constexpr f32 kKnockback = 150.0f;
    static constexpr f32 kContactCoolDown = 0.5f;
    static constexpr f32 kSinkTime = 5.0f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnObjectDead();
    void OnCollision(Ostrel::CollisionData* contact);
    void OnHealthChanged(f32 fraction);
    void OnObjectDestroyed(u32 id);

    int GetWaveCount() const { return m_waveCount; }
    f32 GetLastFraction() const { return m_lastFraction; }
    const std::vector<u32>& GetYakTiles() const { return m_yakTiles; }
    const std::vector<u32>& GetLiveMiniBosses() const { return m_liveMiniBosses; }

private:
    void AddActions(Ostrel::Composition& owner);
    void ChangeWave();
    void SpawnMiniBosses();
    // Queues the end: a 0.2 s pause, the sink by height over kSinkTime, then
    // destruction (each blocking lane 0, so the AI never runs again).
    void AddSinking(Ostrel::Composition& self, f32 height);
    void Subscribe(bool on);
    bool HasWaves() const;

    f32 m_chargeSpeed = 700.0f;
    f32 m_waitTime = 3.0f;
    f32 m_stunTime = 2.0f;
    std::string m_projectileName = "yak-boss-projectile-obj";
    s32 m_projectileNum = 15;
    f32 m_waveHealth = 0.2f;
    f32 m_damage = 5.0f;

    std::vector<u32> m_yakTiles;
    std::vector<u32> m_liveMiniBosses;
    f32 m_miniBossCount = 0.0f;
    f32 m_lastFraction = 1.0f;
    f32 m_waveCountdown = 0.2f;
    int m_waveCount = 0;
    f32 m_totalHealth = 0.0f;
    Ostrel::Vec3 m_home;
    bool Listening() const { return !m_listeners.IsEmpty(); }

    Ostrel::OwnerListeners m_listeners;
    Ostrel::SubscriptionList m_globals;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::YakBossComponent);
