#include "game/bosses/BirdBossComponent.h"

#include "engine/actions/AnimationAction.h"
#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/MoveForwardAction.h"
#include "engine/actions/OrbitAction.h"
#include "engine/actions/RandomFloat.h"
#include "engine/actions/RotationalVelocityAction.h"
#include "engine/actions/TimedLifeAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/components/ShadowComponent.h"
#include "engine/core/ActionList.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/io/PropertyManager.h"
#include "engine/physics/CollisionData.h"
#include "game/common/BobAction.h"
#include "game/common/ContactDamage.h"
#include "game/common/GameSupport.h"
#include "game/common/Heading.h"
#include "game/common/ObjectCreation.h"
#include "game/common/PlayerLookup.h"
#include "game/enemies/BirdBounceAction.h"
#include "game/enemies/BirdComponent.h"
#include "game/enemies/WeightedPick.h"
#include "game/objects/ColorChangeAction.h"

#include <algorithm>

LV_REFLECT_CLASS(Vandle::BirdBossComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

const char kBar[] = "ui-bird";
const char kSplitMap[] = "bird-split-map";
const char* const kDamageSounds[] = {"bird-boss-dmg-1-sfx", "bird-boss-dmg-2-sfx", "bird-boss-dmg-3-sfx"};



}  // namespace

void BirdBossComponent::Initialize() {
    CoreSystem* core = GameCore();
    if (!m_globals.Empty() || !core || !IsOwnerLive(*this)) return;
    Composition* owner = GetOwner();
    core->SendMessageString("PlayBackgroundSound", "boss-battle-bgm");
    if (owner->GetComponentAs<BrainComponent>())
        AddActions(*owner);
    else
        LogErrorf("BirdBossComponent: object %u ('%s') has no BrainComponent; it will not fly\n", GetOwnerId(),
                  owner->GetName().c_str());
    OnHealthChanged(1.0f);
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &BirdBossComponent::OnCollision));
    m_listeners.Listen(*owner, "ObjectDead", MakeDelegate(this, &BirdBossComponent::OnObjectDead));
    m_listeners.Listen(*owner, "FinishedSpawning", MakeDelegate(this, &BirdBossComponent::OnFinishedSpawning));
    m_listeners.Listen(*owner, "TriggerFired", MakeDelegate(this, &BirdBossComponent::OnTriggerFired));
    m_listeners.Listen(*owner, "HealthChanged", MakeDelegate(this, &BirdBossComponent::OnHealthChanged));
    m_globals.Listen("ObjectCreated", MakeDelegate(this, &BirdBossComponent::OnObjectCreated));
    m_globals.Listen("ObjectDestroyed", MakeDelegate(this, &BirdBossComponent::OnObjectDestroyed));
}

void BirdBossComponent::AddActions(Composition& owner) {
    auto& brain = *owner.GetComponentAs<BrainComponent>();
    const u32 id = owner.GetId();
    m_forward = new MoveForwardAction;
    m_forward->SetSpeed(m_moveSpeed);
    m_speed = m_moveSpeed;
    AddOwnedAction(brain, id, m_forward);
    NewHeading();
    AddOwnedAction(brain, id, new BirdBounceAction, FourCC("boun"));
    AddOwnedAction(brain, id, new DamageEnemyAction, FourCC("dama"));
    auto* bob = new BobAction;
    bob->SetAmplitude(0.0f);
    bob->SetFrequency(4.0f);
    bob->SetOffset(6.0f);
    AddOwnedAction(brain, id, bob);
    AddOwnedAction(brain, id, ColorChangeAction::HitFlash(), ColorChangeAction::kLane);
    auto* pose = new AnimationAction;
    pose->SetShowBindPose(false);
    AddOwnedAction(brain, id, pose);
}

void BirdBossComponent::Uninitialize() {
    if (m_globals.Empty()) return;
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlayBackgroundSound", "battle-bgm");
    m_globals.Clear();
    m_listeners.UnlistenAll();
    m_forward = nullptr;
}

Component* BirdBossComponent::Clone() const {
    auto* copy = NewComponentOf<BirdBossComponent>();
    if (!copy) return nullptr;
    copy->m_moveSpeed = m_moveSpeed;
    copy->m_spawnEffect = m_spawnEffect;
    copy->m_maxTurnAngle = m_maxTurnAngle;
    copy->m_damage = m_damage;
    copy->m_forceDeadEffect = m_forceDeadEffect;
    return copy;
}

void BirdBossComponent::Serialize(Serializer* s) {
    s->SerializeFloat("MoveSpeed", &m_moveSpeed);
    s->SerializeString("SpawnEffect", &m_spawnEffect);
    s->SerializeFloat("MaxTurnAngle", &m_maxTurnAngle);
    s->SerializeFloat("Damage", &m_damage);
    s->SerializeString("ForceDeadEffect", &m_forceDeadEffect);
}

void BirdBossComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("MoveSpeed", &m_moveSpeed, false);
    panel->AddString("SpawnEffect", &m_spawnEffect, false);
    panel->AddFloat("MaxTurnAngle", &m_maxTurnAngle, false);
    panel->AddFloat("Damage", &m_damage, false);
    panel->AddString("ForceDeadEffect", &m_forceDeadEffect, false);
}

Variant BirdBossComponent::ToVariant() { return Variant(this); }

// The forward action while the brain still holds it (it goes with the brain).
MoveForwardAction* BirdBossComponent::Forward() const {
    const Composition* owner = GetOwner();
    const auto* brain = owner ? owner->GetComponentAs<BrainComponent>() : nullptr;
    const ActionList* list = brain ? brain->GetActionList() : nullptr;
    if (!m_forward || !list) return nullptr;
    const std::vector<IAction*> actions = list->Actions();
    return std::find(actions.begin(), actions.end(), m_forward) != actions.end() ? m_forward : nullptr;
}

f32 BirdBossComponent::GetSpeed() const { return Forward() ? m_speed : -1.0f; }

void BirdBossComponent::NewHeading() {
    const f32 a = RandomFloat(0.0f, 360.0f);
    Composition* owner = GetOwner();
    if (auto* movement = owner ? owner->GetComponentAs<MovementComponent>() : nullptr)
        movement->SetVelocity(HeadingDirection(a));
}

void BirdBossComponent::OnHealthChanged(f32 fraction) {
    const f32 boost = (1.0f - fraction) * kSpeedBoost;
    if (CoreSystem* core = GameCore()) core->SendMessageStringFloat("BossHealthChanged", kBar, fraction);
    PlayGameSound(kDamageSounds[Rand() % 3]);
    if (MoveForwardAction* forward = Forward()) {
        m_speed = m_moveSpeed + boost;
        forward->SetSpeed(m_speed);
    }
    NewHeading();
}

void BirdBossComponent::OnCollision(CollisionData* contact) {
    if (!contact || !GetOwner()) return;
    HitPlayer(*GetOwner(), contact->other,
              {.damage = m_damage, .coolDown = 0.5f, .push = PushRule::AwayOnGround, .strength = kPush,
               .damageFirst = true, .pushWhenStill = true, .soundBeforePush = true});
}

void BirdBossComponent::OnFinishedSpawning() {
    if (Composition* owner = GetOwner()) CreateGameObject(m_spawnEffect, owner->GetTransform(), "BirdBossComponent");
    PlayGameSound("bird-spawn-sfx");
}

void BirdBossComponent::OnTriggerFired() {
    Composition* owner = GetOwner();
    TransformComponent* transform = owner ? owner->GetTransform() : nullptr;
    if (!transform) return;
    const u32 id = GetOwnerId();
    const Vec3 rotation = transform->GetRotation();
    transform->SetRotation(Vec3(0.0f, 0.0f, 0.0f));
    std::string page;
    PropertyManager* properties = PropertyManager::Instance();
    WeightedPick table;
    if (properties && properties->GetPageProperty(kSplitMap, owner->GetName(), page) &&
        table.Load(*properties, page, "BirdBossComponent", kSplitMap)) {
        if (Composition* bird = CreateGameObject(table.Pick(), transform, "BirdBossComponent")) {
            if (TransformComponent* at = bird->GetTransform()) at->Position().y -= kHatchDrop;
            bird->Send("FinishedSpawning");
        }
    }
    // The creation may have moved the component tables: look the boss up again.
    if (Composition* self = FindActionObject(id))
        if (TransformComponent* again = self->GetTransform()) again->SetRotation(rotation);
}

void BirdBossComponent::OnObjectCreated(u32 id) {
    ObjectManager* objects = CurrentObjectManager();
    const Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (object && object->GetComponent(BirdComponent::kTypeId) &&
        std::find(m_children.begin(), m_children.end(), id) == m_children.end())
        m_children.push_back(id);
}

void BirdBossComponent::OnObjectDestroyed(u32 id) {
    m_children.erase(std::remove(m_children.begin(), m_children.end(), id), m_children.end());
}

void BirdBossComponent::KillChildren() {
    const std::vector<u32> children = m_children;
    m_children.clear();
    ObjectManager* objects = CurrentObjectManager();
    for (u32 id : children) {
        Composition* child = objects ? objects->GetObject(id) : nullptr;
        if (!child) continue;
        SendObjectMessageBool(child, "BirdSetCanSplit", false);
        std::string effect = m_forceDeadEffect;
        SendObjectMessageStringPtr(child, "BirdSetSplitFx", &effect);
        if ((child = objects->GetObject(id))) child->Send("ObjectDead");
    }
}

void BirdBossComponent::OnObjectDead() {
    OnHealthChanged(0.0f);
    PlayGameSound("bird-boss-death-sfx");
    KillChildren();
    const u32 id = GetOwnerId();
    Composition* self = FindActionObject(id);
    if (self) StartDeathFlight(*self);
    if (CoreSystem* core = GameCore()) core->SendMessageFloat("InterpolateToPreviousCameraState", 1.0f);
}

void BirdBossComponent::StartDeathFlight(Composition& self) {
    const u32 id = self.GetId();
    u32 anchorId = 0;
    if (Composition* anchor = CreateGameObject("anchor-obj", self.GetTransform(), "BirdBossComponent")) {
        anchorId = anchor->GetId();
        if (auto* brain = anchor->GetComponentAs<BrainComponent>()) AddOwnedAction(*brain, anchorId, new TimedLifeAction(10.0f));
        if (TransformComponent* at = anchor->GetTransform()) at->Position().y = 2.0f;
    }
    Composition* boss = FindActionObject(id);
    if (!boss) return;
    if (auto* movement = boss->GetComponentAs<MovementComponent>()) {
        Vec3 velocity = movement->GetVelocity();
        velocity.y = 10.0f;
        movement->SetVelocity(velocity);
        movement->Acceleration().y = 15.0f;
        movement->SetDrag(false);
    }
    if (auto* collision = boss->GetComponentAs<CollisionComponent>()) {
        collision->Flags().collideWithStatics = false;
        collision->Flags().collideWithDynamics = false;
    }
    if (auto* shadow = boss->GetComponentAs<ShadowComponent>()) shadow->SetVisible(false);
    auto* brain = boss->GetComponentAs<BrainComponent>();
    if (!brain) {
        if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(id);
        return;
    }
    auto* life = new TimedLifeAction(kDeathFlight);
    life->SetBlocking(true);
    AddOwnedAction(*brain, id, life);
    if (anchorId != 0) {
        auto* orbit = new OrbitAction;
        orbit->SetTarget(anchorId);
        orbit->SetRadius(45.0f);
        orbit->SetSpeed(20.0f);
        AddOwnedAction(*brain, id, orbit);
    }
    auto* spin = new RotationalVelocityAction;
    const f32 x = RandomFloat(-1.0f, 1.0f);
    const f32 z = RandomFloat(-1.0f, 1.0f);
    spin->SetRate(x * 1000.0f, 0.0f, z * 1000.0f);
    AddOwnedAction(*brain, id, spin);
}

}  // namespace Vandle
