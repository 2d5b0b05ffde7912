#include "game/bosses/YakBossComponent.h"

#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/ImmovableAction.h"
#include "engine/actions/TimedBlockAction.h"
#include "engine/actions/TimedLifeAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/components/ShadowComponent.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"
#include "game/bosses/YakBossAIAction.h"
#include "game/bosses/YakTileComponent.h"
#include "game/common/ContactDamage.h"
#include "game/common/CountField.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"
#include "game/common/PlayerLookup.h"
#include "game/enemies/PlayerSeekAction.h"
#include "game/objects/ColorChangeAction.h"
#include "game/objects/HealthComponent.h"
#include "game/objects/RumbleSpawnAction.h"

#include <algorithm>

LV_REFLECT_CLASS(Vandle::YakBossComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

constexpr const char* kBar = "ui-yak";
constexpr f32 kWaveEpsilon = 0.001f;
const char* const kDamageSounds[] = {"yak-boss-dmg-1-sfx", "yak-boss-dmg-2-sfx", "yak-boss-dmg-3-sfx"};


}  // namespace

void YakBossComponent::Initialize() {
    CoreSystem* core = GameCore();
    ObjectManager* objects = CurrentObjectManager();
    if (Listening() || !core || !objects || !IsOwnerLive(*this)) return;
    Composition* owner = GetOwner();
    core->SendMessageString("PlayBackgroundSound", "boss-battle-bgm");
    AddActions(*owner);
    if (const TransformComponent* transform = owner->GetTransform()) m_home = transform->GetPosition();
    core->SendMessageString("PlaySound", "yak-spawn-sfx");
    Subscribe(true);

    m_yakTiles.clear();
    objects->FindObjectsWithComponent(YakTileComponent::kTypeId, m_yakTiles);
    if (m_yakTiles.empty())
        LogErrorf("YakBossComponent: object %u ('%s'): the level has no yak tile; at its first wave the boss "
                  "will hide for good\n",
                  GetOwnerId(), owner->GetName().c_str());
    if (!HasWaves())
        LogErrorf("YakBossComponent: object %u ('%s'): WaveHealth %g is not above 0.001; the fight has no waves\n",
                  GetOwnerId(), owner->GetName().c_str(), double(m_waveHealth));
    if (const auto* health = owner->GetComponentAs<HealthComponent>())
        m_totalHealth = health->GetTotalHealth();
    else
        LogErrorf("YakBossComponent: object %u ('%s') has no HealthComponent; it can be neither hurt nor "
                  "killed\n",
                  GetOwnerId(), owner->GetName().c_str());
    m_waveCount = 0;
    m_waveCountdown = m_waveHealth;
    OnHealthChanged(1.0f);
}

void YakBossComponent::AddActions(Composition& owner) {
    auto* brain = owner.GetComponentAs<BrainComponent>();
    if (!brain) {
        LogErrorf("YakBossComponent: object %u ('%s') has no BrainComponent; it will not fight\n", owner.GetId(),
                  owner.GetName().c_str());
        return;
    }
    const u32 id = owner.GetId();
    AddOwnedAction(*brain, id, new FacePlayerAction, 0);
    auto* ai = new YakBossAIAction;
    ai->SetChargeSpeed(m_chargeSpeed);
    ai->SetProjectileName(m_projectileName);
    ai->SetStunTime(m_stunTime);
    ai->SetWaitTime(m_waitTime);
    ai->SetProjectileNum(m_projectileNum);
    AddOwnedAction(*brain, id, ai, 0);
    AddOwnedAction(*brain, id, new DamageEnemyAction, FourCC("dama"));
    AddOwnedAction(*brain, id, new ImmovableAction, 0);
    AddOwnedAction(*brain, id, ColorChangeAction::HitFlash(), ColorChangeAction::kLane);
}

void YakBossComponent::Uninitialize() {
    if (!Listening()) return;
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlayBackgroundSound", "battle-bgm");
    Subscribe(false);
}

void YakBossComponent::Subscribe(bool on) {
    Composition* owner = GetOwner();
    if (on == Listening() || !owner) return;
    if (on) {
        m_listeners.Listen(*owner, "ObjectDead", MakeDelegate(this, &YakBossComponent::OnObjectDead));
        m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &YakBossComponent::OnCollision));
        m_listeners.Listen(*owner, "HealthChanged", MakeDelegate(this, &YakBossComponent::OnHealthChanged));
        m_globals.Listen("ObjectDestroyed", MakeDelegate(this, &YakBossComponent::OnObjectDestroyed));
    } else {
        m_listeners.UnlistenAll();
        m_globals.Clear();
    }
}

Component* YakBossComponent::Clone() const {
    auto* copy = NewComponentOf<YakBossComponent>();
    if (!copy) return nullptr;
    copy->m_chargeSpeed = m_chargeSpeed;
    copy->m_waitTime = m_waitTime;
    copy->m_stunTime = m_stunTime;
    copy->m_projectileName = m_projectileName;
    copy->m_projectileNum = m_projectileNum;
    copy->m_waveHealth = m_waveHealth;
    copy->m_damage = m_damage;
    return copy;
}

void YakBossComponent::Serialize(Serializer* s) {
    s->SerializeFloat("ChargeSpeed", &m_chargeSpeed);
    s->SerializeFloat("WaitTime", &m_waitTime);
    s->SerializeFloat("StunTime", &m_stunTime);
    s->SerializeString("ProjectileName", &m_projectileName);
    SerializeCount(s, "ProjectileNum", &m_projectileNum, "no rocks thrown");
    s->SerializeFloat("WaveHealth", &m_waveHealth);
    s->SerializeFloat("Damage", &m_damage);
}

Variant YakBossComponent::ToVariant() { return Variant(this); }

bool YakBossComponent::HasWaves() const { return m_waveHealth > kWaveEpsilon; }

void YakBossComponent::OnHealthChanged(f32 fraction) {
    if (!(fraction > kWaveEpsilon)) return;
    CoreSystem* core = GameCore();
    if (core) core->SendMessageString("PlaySound", kDamageSounds[Rand() % 3]);
    const f32 drop = m_lastFraction - fraction;
    m_lastFraction = fraction;
    m_waveCountdown -= drop;
    if (HasWaves() && !(m_waveCountdown > kWaveEpsilon)) ChangeWave();
    if (core) core->SendMessageStringFloat("BossHealthChanged", kBar, m_lastFraction);
}

void YakBossComponent::ChangeWave() {
    m_waveCountdown = m_waveHealth;
    ++m_waveCount;
    m_lastFraction = 1.0f - f32(m_waveCount) * m_waveHealth;
    Composition* owner = GetOwner();
    if (!owner) return;
    if (auto* health = owner->GetComponentAs<HealthComponent>()) health->SetHealth(m_lastFraction * m_totalHealth);
    if (m_waveCount % 2 == 0) {
        SetBossPresence(owner, true);
        owner->Send("ResumeBossAI");
    } else {
        owner->Send("PauseBossAI");
        SetBossPresence(owner, false);
        SpawnMiniBosses();
    }
}

void YakBossComponent::SpawnMiniBosses() {
    ObjectManager* objects = CurrentObjectManager();
    m_liveMiniBosses.clear();
    for (u32 tileId : m_yakTiles) {
        Composition* tile = objects ? objects->GetObject(tileId) : nullptr;
        if (!tile) continue;  // destroyed since the boss started
        if (Composition* made = CreateGameObject("yak-mini-boss-obj", tile->GetTransform(), "YakBossComponent"))
            m_liveMiniBosses.push_back(made->GetId());
    }
    m_miniBossCount = f32(m_liveMiniBosses.size());
    if (m_liveMiniBosses.empty() && !m_yakTiles.empty()) {
        LogErrorf("YakBossComponent: object %u: no mini-boss could be made; the boss returns at once\n",
                  GetOwnerId());
        ChangeWave();
    }
}

void YakBossComponent::OnObjectDestroyed(u32 id) {
    auto it = std::find(m_liveMiniBosses.begin(), m_liveMiniBosses.end(), id);
    if (it == m_liveMiniBosses.end()) return;
    m_liveMiniBosses.erase(it);
    const f32 share = m_totalHealth * m_waveHealth / m_miniBossCount;
    SendObjectMessageFloat(GetOwner(), "TakeDamage", share);
}

void YakBossComponent::OnCollision(CollisionData* contact) {
    if (!contact || !GetOwner()) return;
    HitPlayer(*GetOwner(), contact->other,
              {.damage = m_damage, .coolDown = kContactCoolDown, .push = PushRule::AwayOnGround,
               .strength = kKnockback});
}

void YakBossComponent::OnObjectDead() {
    if (CoreSystem* core = GameCore()) {
        core->SendMessageStringFloat("BossHealthChanged", kBar, 0.0f);
        core->SendMessageString("PlaySound", "yak-brood-death-sfx");
    }
    const u32 id = GetOwnerId();
    if (Composition* self = GetOwner())
        if (Composition* smoke = CreateGameObject("yak-boss-fx", nullptr, "YakBossComponent"))
            if (TransformComponent* at = smoke->GetTransform())
                if (const TransformComponent* here = self->GetTransform()) at->SetPosition(here->GetPosition());
    ObjectManager* objects = CurrentObjectManager();
    Composition* self = objects ? objects->GetObject(id) : nullptr;
    if (!self) return;
    TransformComponent* transform = self->GetTransform();
    if (transform) transform->SetPosition(m_home);
    if (auto* mesh = self->GetComponentAs<MeshComponent>()) mesh->SetImportant(false);
    auto* collider = self->GetComponentAs<CollisionComponent>();
    if (collider) collider->Flags().collideWithStatics = false;
    if (auto* movement = self->GetComponentAs<MovementComponent>()) {
        movement->SetGravity(false);
        Vec3 velocity = movement->GetVelocity();
        velocity.y = 0.0f;
        movement->SetVelocity(velocity);
    }
    AddSinking(*self, collider ? collider->GetVolume().size.y : 0.0f);
    if (auto* shadow = self->GetComponentAs<ShadowComponent>()) shadow->SetVisible(false);
    SendObjectMessageBool(self, "SetShowBindPose", true);
    if (transform) {
        Vec3 rotation = transform->GetRotation();
        rotation.y = 0.0f;
        transform->SetRotation(rotation);
    }
    if (CoreSystem* core = GameCore()) core->SendMessageFloat("InterpolateToPreviousCameraState", 1.0f);
}

void YakBossComponent::AddSinking(Composition& self, f32 height) {
    auto* brain = self.GetComponentAs<BrainComponent>();
    if (!brain) {
        if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(self.GetId());
        return;
    }
    const u32 id = self.GetId();
    auto* end = new TimedLifeAction(0.01f);
    end->SetBlocking(true);
    AddOwnedAction(*brain, id, end, 0);
    if (const TransformComponent* transform = self.GetTransform()) {
        auto* sink = new RumbleSpawnAction;
        sink->SetStartPosition(transform->GetPosition());
        sink->SetEndPosition(transform->GetPosition() - Vec3(0.0f, height, 0.0f));
        sink->SetStartScale(transform->GetScale());
        sink->SetEndScale(transform->GetScale());
        sink->SetRising(false);
        sink->SetDuration(kSinkTime);
        sink->SetBlocking(true);
        AddOwnedAction(*brain, id, sink, 0);
    }
    AddOwnedAction(*brain, id, new TimedBlockAction(0.2f), 0);
}

}  // namespace Vandle
