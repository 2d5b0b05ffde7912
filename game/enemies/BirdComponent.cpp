#include "game/enemies/BirdComponent.h"

#include "engine/actions/AnimationAction.h"
#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/KnockbackEnemyAction.h"
#include "engine/actions/MoveForwardAction.h"
#include "engine/actions/RandomFloat.h"
#include "engine/actions/TimedMoveToAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/Engine.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/ObjectManager.h"
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
#include "game/common/LogOnce.h"
#include "game/common/ObjectCreation.h"
#include "game/common/PlayerLookup.h"
#include "game/enemies/BirdBounceAction.h"
#include "game/enemies/PlayerSeekAction.h"
#include "game/enemies/SplitMapCheck.h"
#include "game/enemies/WeightedPick.h"
#include "game/objects/ColorChangeAction.h"
#include "game/player/FaceVelocityAction.h"

#include <cmath>

LV_REFLECT_CLASS(Vandle::BirdComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

const char kSplitMap[] = "bird-split-map";



// Logs a line once per text.
void LogOnce(const std::string& line) {
    if (FirstReport(line)) LogErrorf("%s\n", line.c_str());
}

}  // namespace

void BirdComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    Composition* owner = GetOwner();
    if (!m_hasDamage)
        LogOnce("BirdComponent: archetype '" + owner->GetName() + "' gives no \"Damage\"; its touch deals 0");
    if (auto* brain = owner->GetComponentAs<BrainComponent>())
        AddActions(*brain);
    else
        LogErrorf("BirdComponent: object %u ('%s') has no BrainComponent; it will not move\n", GetOwnerId(),
                  owner->GetName().c_str());
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &BirdComponent::OnCollision));
    m_listeners.Listen(*owner, "ObjectDead", MakeDelegate(this, &BirdComponent::OnObjectDead));
    m_listeners.Listen(*owner, "FinishedSpawning", MakeDelegate(this, &BirdComponent::OnFinishedSpawning));
    m_listeners.Listen(*owner, "BirdSetCanSplit", MakeDelegate(this, &BirdComponent::OnBirdSetCanSplit));
    m_listeners.Listen(*owner, "BirdSetSplitFx", MakeDelegate(this, &BirdComponent::OnBirdSetSplitFx));
}

void BirdComponent::AddActions(BrainComponent& brain) {
    const u32 id = GetOwnerId();
    AddMovement(brain);
    AddOwnedAction(brain, id, new DamageEnemyAction, FourCC("dama"));
    auto* bob = new BobAction;
    bob->SetFrequency(kBobFrequency);
    bob->SetAmplitude(kBobAmplitude);
    bob->SetOffset(kBobOffset);
    AddOwnedAction(brain, id, bob);
    AddOwnedAction(brain, id, ColorChangeAction::HitFlash(), ColorChangeAction::kLane);
    AddOwnedAction(brain, id, new KnockbackEnemyAction, FourCC("knoc"));
    auto* pose = new AnimationAction;
    pose->SetShowBindPose(false);
    AddOwnedAction(brain, id, pose);
}

void BirdComponent::AddMovement(BrainComponent& brain) {
    const u32 id = GetOwnerId();
    if (m_birdColor == "red" || m_birdColor == "green") {
        auto* seek = new PlayerSeekAction;
        seek->SetSpeed(m_moveSpeed);
        if (m_birdColor == "green") seek->SetMaxTurnRate(m_maxTurnAngle);
        AddOwnedAction(brain, id, seek);
        return;
    }
    if (m_birdColor != "blue") {
        LogOnce("BirdComponent: unknown \"BirdColor\" '" + m_birdColor + "'; such a bird does not move");
        return;
    }
    auto* forward = new MoveForwardAction;
    forward->SetSpeed(m_moveSpeed);
    AddOwnedAction(brain, id, forward);
    // A bird made in a paused world (the level editor's) keeps its placed
    // heading, which the editor shows and saves, until the world runs.
    const Engine* engine = Engine::Instance();
    if (engine && engine->IsPaused() && GameCore())
        m_resumed.Listen("GameResumed", MakeDelegate(this, &BirdComponent::OnGameResumed));
    else
        PickHeading();
    AddOwnedAction(brain, id, new BirdBounceAction);
    AddOwnedAction(brain, id, new FaceVelocityAction);
}

void BirdComponent::PickHeading() {
    const f32 r = RandomFloat(0.0f, 360.0f);
    if (TransformComponent* transform = GetOwner()->GetTransform()) transform->Rotation().y = r;
    if (auto* movement = GetOwner()->GetComponentAs<MovementComponent>())
        movement->SetVelocity(Vec3(-std::sin(r * kRadiansPerDegree), 0.0f, -std::cos(r * kRadiansPerDegree)));
}

void BirdComponent::OnGameResumed() {
    if (m_resumed.Empty()) return;
    m_resumed.Clear();
    if (GetOwner()) PickHeading();
}

void BirdComponent::Uninitialize() {
    m_resumed.Clear();
    m_listeners.UnlistenAll();
}

Component* BirdComponent::Clone() const {
    auto* copy = NewComponentOf<BirdComponent>();
    if (!copy) return nullptr;
    copy->m_spawnEffect = m_spawnEffect;
    copy->m_splitEffect = m_splitEffect;
    copy->m_birdColor = m_birdColor;
    copy->m_moveSpeed = m_moveSpeed;
    copy->m_canSplit = m_canSplit;
    copy->m_splitScale = m_splitScale;
    copy->m_maxTurnAngle = m_maxTurnAngle;
    copy->m_damage = m_damage;
    copy->m_hasDamage = m_hasDamage;
    return copy;
}

void BirdComponent::Serialize(Serializer* s) {
    s->SerializeFloat("MoveSpeed", &m_moveSpeed);
    s->SerializeString("SpawnEffect", &m_spawnEffect);
    s->SerializeString("BirdColor", &m_birdColor);
    s->SerializeBool("CanSplit", &m_canSplit);
    s->SerializeFloat("SplitScale", &m_splitScale);
    s->SerializeFloat("MaxTurnAngle", &m_maxTurnAngle);
    if (s->SerializeFloat("Damage", &m_damage) && s->IsReading()) m_hasDamage = true;
    s->SerializeString("SplitEffect", &m_splitEffect);
}

void BirdComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("MoveSpeed", &m_moveSpeed, false);
    panel->AddString("SpawnEffect", &m_spawnEffect, false);
    panel->AddString("SplitEffect", &m_splitEffect, false);
    panel->AddString("BirdColor", &m_birdColor, false);
    panel->AddBool("CanSplit", &m_canSplit, false);
    panel->AddFloat("SplitScale", &m_splitScale, false);
    panel->AddFloat("MaxTurnAngle", &m_maxTurnAngle, false);
    panel->AddFloat("Damage", &m_damage, false);
}

Variant BirdComponent::ToVariant() { return Variant(this); }

void BirdComponent::OnBirdSetSplitFx(std::string* archetype) {
    if (archetype) m_splitEffect = *archetype;
}

void BirdComponent::OnCollision(CollisionData* contact) {
    Composition* player = contact ? FindLivePlayer(contact->other) : nullptr;
    Composition* self = GetOwner();
    TransformComponent* transform = self ? self->GetTransform() : nullptr;
    if (!player || !transform || !player->GetTransform()) return;
    const Vec3 bird = transform->GetPosition();
    const Vec3 b(bird.x, 0.0f, bird.z);
    const Vec3 p(player->GetTransform()->GetPosition().x, 0.0f, player->GetTransform()->GetPosition().z);
    Vec3 away = b - p;
    auto* brain = self->GetComponentAs<BrainComponent>();
    if (away.LengthSquared() != 0.0f && brain) {
        away = away.Normalized() * kThrowBack;
        auto* throwBack = new TimedMoveToAction(kThrowBackTime);
        throwBack->SetBlocking(true);
        throwBack->SetTarget(bird + away);
        AddOwnedAction(*brain, GetOwnerId(), throwBack);
        if (m_birdColor != "red") transform->Rotation().y = std::atan2(-away.x, -away.z) * kDegreesPerRadian;
    }
    HitPlayer(*self, player->GetId(),
              {.damage = m_damage, .coolDown = kContactCoolDown, .push = PushRule::AwayOnGround, .strength = kPush,
               .damageFirst = true, .pushWhenStill = true});
}

void BirdComponent::OnObjectDead() {
    PlayGameSound("bird-death-sfx");
    if (Composition* owner = GetOwner()) CreateGameObject(m_splitEffect, owner->GetTransform(), "BirdComponent");
    if (m_canSplit) Split();
    if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(GetOwnerId());
}

// Two birds drawn from the bird's split page, made where the bird is.
void BirdComponent::Split() {
    PlayGameSound("bird-split-sfx");
    PropertyManager* properties = PropertyManager::Instance();
    Composition* owner = GetOwner();
    std::string page;
    if (!properties || !owner) return;
    CheckSplitMapOnce(*properties, kSplitMap);
    if (!properties->GetPageProperty(kSplitMap, owner->GetName(), page)) return;
    WeightedPick table;
    if (!table.Load(*properties, page, "BirdComponent", kSplitMap)) return;
    const u32 id = GetOwnerId();
    for (int i = 0; i < 2; ++i) {
        // Each creation may move the object tables: look the bird up again.
        Composition* bird = FindActionObject(id);
        if (!bird) return;
        CreateGameObject(table.Pick(), bird->GetTransform(), "BirdComponent");
    }
}

void BirdComponent::OnFinishedSpawning() {
    if (Composition* owner = GetOwner()) CreateGameObject(m_spawnEffect, owner->GetTransform(), "BirdComponent");
    PlayGameSound("bird-spawn-sfx");
}

}  // namespace Vandle
