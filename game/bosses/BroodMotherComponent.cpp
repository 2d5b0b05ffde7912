#include "game/bosses/BroodMotherComponent.h"

#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/ImmovableAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"
#include "game/bosses/BroodSpawnAction.h"
#include "game/common/ContactDamage.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"
#include "game/common/PlayerLookup.h"
#include "game/enemies/EnemyComponent.h"
#include "game/enemies/WanderAction.h"
#include "game/objects/ColorChangeAction.h"
#include "game/objects/TriggerListenerComponent.h"

LV_REFLECT_CLASS(Vandle::BroodMotherComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

constexpr const char* kBar = "ui-yak";
constexpr f32 kContactDamage = 10.0f;
constexpr f32 kContactCoolDown = 1.0f;


Vec3 PositionOf(const Composition* object) {
    const TransformComponent* transform = object ? object->GetTransform() : nullptr;
    return transform ? transform->GetPosition() : Vec3();
}

}  // namespace

void BroodMotherComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    Composition* owner = GetOwner();
    const u32 id = GetOwnerId();
    if (auto* brain = owner->GetComponentAs<BrainComponent>()) {
        auto* spawning = new BroodSpawnAction;
        spawning->SetSpawnTime(m_spawnTime);
        AddOwnedAction(*brain, id, spawning, 0);
        auto* flash = new ColorChangeAction;
        flash->SetFlashColor(0.8f, 0.501f, 0.89f);
        flash->SetToggleInterval(0.075f);
        flash->SetFlashDuration(0.3f);
        AddOwnedAction(*brain, id, flash, ColorChangeAction::kLane);
        AddOwnedAction(*brain, id, new DamageEnemyAction, FourCC("dama"));
        AddOwnedAction(*brain, id, new ImmovableAction, 0);
    } else {
        LogErrorf("BroodMotherComponent: object %u ('%s') has no BrainComponent; she will neither turn nor "
                  "place her nests\n",
                  id, owner->GetName().c_str());
    }
    Subscribe(true);
    KillOrdinaryEnemies();
    OnHealthChanged(1.0f);
}

void BroodMotherComponent::Uninitialize() { Subscribe(false); }

void BroodMotherComponent::Subscribe(bool on) {
    Composition* owner = GetOwner();
    const bool listening = !m_listeners.IsEmpty();
    if (on == listening || !owner) return;
    if (on) {
        m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &BroodMotherComponent::OnCollision));
        m_listeners.Listen(*owner, "ObjectDead", MakeDelegate(this, &BroodMotherComponent::OnObjectDead));
        m_listeners.Listen(*owner, "HealthChanged", MakeDelegate(this, &BroodMotherComponent::OnHealthChanged));
        m_listeners.Listen(*owner, "FinishedSpawning", MakeDelegate(this, &BroodMotherComponent::OnFinishedSpawning));
    } else {
        m_listeners.UnlistenAll();
    }
}

Component* BroodMotherComponent::Clone() const {
    auto* copy = NewComponentOf<BroodMotherComponent>();
    if (!copy) return nullptr;
    copy->m_spawnTime = m_spawnTime;
    copy->m_waveHealthLossTrigger = m_waveHealthLossTrigger;
    copy->m_wanderingHealthLossTrigger = m_wanderingHealthLossTrigger;
    copy->m_roomMin = m_roomMin;
    copy->m_roomMax = m_roomMax;
    return copy;
}

void BroodMotherComponent::Serialize(Serializer* s) {
    s->SerializeFloat("SpawnTime", &m_spawnTime);
    s->SerializeFloat("WaveHealthLossTrigger", &m_waveHealthLossTrigger);
    s->SerializeFloat("WanderingHealthLossTrigger", &m_wanderingHealthLossTrigger);
    s->SerializeFloat("RoomMinX", &m_roomMin.x);
    s->SerializeFloat("RoomMinY", &m_roomMin.y);
    s->SerializeFloat("RoomMinZ", &m_roomMin.z);
    s->SerializeFloat("RoomMaxX", &m_roomMax.x);
    s->SerializeFloat("RoomMaxY", &m_roomMax.y);
    s->SerializeFloat("RoomMaxZ", &m_roomMax.z);
}

void BroodMotherComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("SpawnTime", &m_spawnTime, false);
    panel->AddFloat("WaveHealthLossTrigger", &m_waveHealthLossTrigger, false);
    panel->AddFloat("WanderingHealthLossTrigger", &m_wanderingHealthLossTrigger, false);
    panel->AddFloat("RoomMinX", &m_roomMin.x, false);
    panel->AddFloat("RoomMinY", &m_roomMin.y, false);
    panel->AddFloat("RoomMinZ", &m_roomMin.z, false);
    panel->AddFloat("RoomMaxX", &m_roomMax.x, false);
    panel->AddFloat("RoomMaxY", &m_roomMax.y, false);
    panel->AddFloat("RoomMaxZ", &m_roomMax.z, false);
}

Variant BroodMotherComponent::ToVariant() { return Variant(this); }

void BroodMotherComponent::OnHealthChanged(f32 fraction) {
    if (CoreSystem* core = GameCore()) core->SendMessageStringFloat("BossHealthChanged", kBar, fraction);
    if (Composition* owner = GetOwner()) owner->Send("StartColorFlash");
    const f32 loss = m_lastHealth - fraction;
    m_lastHealth = fraction;
    m_wanderLoss += loss;
    if (m_wanderLoss >= m_wanderingHealthLossTrigger) {
        AddWanderingSpawner();
        m_wanderLoss = 0.0f;
    }
    m_waveLoss += loss;
    if (m_waveLoss >= m_waveHealthLossTrigger) {
        LaunchWave();
        m_waveLoss = 0.0f;
    }
}

void BroodMotherComponent::LaunchWave() {
    if (Composition* owner = GetOwner()) owner->Send("ResetSpawnTimer");
    CoreSystem* core = GameCore();
    if (!core) return;
    core->SendMessageInt("TriggerActivated", kFixedTrigger);
    core->SendMessageInt("TriggerActivated", kWanderingTrigger);
}

Composition* BroodMotherComponent::MakeNest(const char* archetype, const Vec3& offset, s32 triggerId) {
    const Vec3 at = PositionOf(GetOwner()) + offset;
    Composition* nest = CreateGameObject(archetype, nullptr, "BroodMotherComponent");
    if (!nest) return nullptr;
    if (TransformComponent* transform = nest->GetTransform()) transform->SetPosition(at);
    if (auto* listener = nest->GetComponentAs<TriggerListenerComponent>())
        listener->SetTriggerId(triggerId);
    else
        LogErrorf("BroodMotherComponent: '%s' has no TriggerListenerComponent; it will never release a yak\n",
                  archetype);
    return nest;
}

void BroodMotherComponent::PlaceFixedSpawners() {
    MakeNest("spawner-yak-obj", Vec3(-14.0f, 0.0f, -8.0f), kFixedTrigger);
    MakeNest("spawner-yak-obj", Vec3(-14.0f, 0.0f, 8.0f), kFixedTrigger);
    MakeNest("spawner-yak-obj", Vec3(-25.0f, 0.0f, 0.0f), kFixedTrigger);
}

void BroodMotherComponent::AddWanderingSpawner() {
    Composition* nest = MakeNest("moving-spawner-yak-obj", Vec3(-40.0f, 0.0f, 0.0f), kWanderingTrigger);
    if (!nest) return;
    const u32 id = nest->GetId();
    if (auto* brain = nest->GetComponentAs<BrainComponent>()) {
        auto* wander = new WanderAction;
        wander->SetBounds(m_roomMin, m_roomMax);
        wander->SetMoveTime(kWanderLegTime);
        AddOwnedAction(*brain, id, wander, 0);
    } else {
        LogErrorf("BroodMotherComponent: 'moving-spawner-yak-obj' has no BrainComponent; it stays where it "
                  "is put\n");
    }
    m_wanderingSpawnerIds.push_back(id);
}

void BroodMotherComponent::OnFinishedSpawning() {
    if (Composition* owner = GetOwner()) owner->Send("BlockMovement");
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlayBackgroundSound", "boss-battle-bgm");
}

void BroodMotherComponent::OnCollision(CollisionData* contact) {
    if (!contact || !GetOwner()) return;
    HitPlayer(*GetOwner(), contact->other,
              {.damage = kContactDamage, .coolDown = kContactCoolDown, .push = PushRule::CarryAlong});
}

void BroodMotherComponent::OnObjectDead() {
    if (CoreSystem* core = GameCore()) {
        core->SendMessageStringFloat("BossHealthChanged", kBar, 0.0f);
        core->SendMessageString("PlaySound", "yak-brood-death-sfx");
    }
    ObjectManager* objects = CurrentObjectManager();
    if (!objects) return;
    const Vec3 at = PositionOf(GetOwner());
    objects->DestroyObject(GetOwnerId());
    // A roaming nest destroyed earlier left its id here: skip it.
    for (u32 id : m_wanderingSpawnerIds) DestroyMadeObject(id);
    m_wanderingSpawnerIds.clear();
    if (Composition* smoke = CreateGameObject("yak-fx-obj", nullptr, "BroodMotherComponent"))
        if (TransformComponent* transform = smoke->GetTransform()) transform->SetPosition(at);
    KillOrdinaryEnemies();
}

void BroodMotherComponent::KillOrdinaryEnemies() {
    ObjectManager* objects = CurrentObjectManager();
    std::vector<u32> yaks;
    if (!objects || !objects->FindObjectsWithComponent(EnemyComponent::kTypeId, yaks)) return;
    for (u32 id : yaks)
        if (Composition* yak = objects->GetObject(id)) yak->Send("ObjectDead");
}

}  // namespace Vandle
