#include "game/bosses/YakBossAIAction.h"

#include "engine/actions/AnimationAction.h"
#include "engine/actions/SpawnAction.h"
#include "engine/actions/TimedBlockAction.h"
#include "engine/actions/TimedMoveToAction.h"
#include "engine/base/Log.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/LevelGeometryComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/components/RegionComponent.h"
#include "engine/components/ShadowComponent.h"
#include "engine/core/Engine.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/physics/CollisionData.h"
#include "game/common/GameSupport.h"
#include "game/common/Heading.h"
#include "game/common/LogOnce.h"
#include "game/common/ObjectCreation.h"
#include "game/enemies/ChargerAIAction.h"

#include <cmath>
#include <numbers>
#include <vector>

LV_REFLECT_CLASS(Vandle::YakBossAIAction);

namespace Vandle {

using namespace Ostrel;

namespace {

constexpr const char* kHeadShake = "yak-headshake-anim";
constexpr const char* kChargeAnimation = "yak-charge-anim";
constexpr const char* kEffect = "yak-boss-fx";

AnimationAction* NewAnimation(const char* name) {
    auto* animation = new AnimationAction;
    animation->SetSkeletonName(name);
    animation->SetAnimationName(name);
    return animation;
}

f32 Radians(f32 degrees) { return f32(double(degrees) * std::numbers::pi / 180.0); }

}  // namespace

void SetBossPresence(Composition* boss, bool present) {
    if (!boss) return;
    if (auto* mesh = boss->GetComponentAs<MeshComponent>()) mesh->SetVisible(present);
    if (auto* collider = boss->GetComponentAs<CollisionComponent>()) collider->Flags().collideWithDynamics = present;
    if (auto* shadow = boss->GetComponentAs<ShadowComponent>()) shadow->SetVisible(present);
}

void YakBossAIAction::OnStart() {
    ObjectManager* objects = ActionObjects();
    Composition* owner = FindActionObject(GetOwner());
    if (!owner || !objects) return;
    std::vector<u32> ids;
    if (objects->FindPlayerObjects(ids)) m_playerId = ids.front();
    ids.clear();
    if (objects->FindObjectsWithComponent(RegionComponent::kTypeId, ids)) {
        const TransformComponent* region = objects->GetObject(ids.front())->GetTransform();
        if (region) {
            m_regionSize = region->GetScale();
            m_regionMin = region->GetPosition() - m_regionSize * 0.5f;
            m_regionMax = region->GetPosition() + m_regionSize * 0.5f;
            m_hasRegion = true;
        }
    }
    if (m_playerId == 0)
        LogErrorf("YakBossAIAction: object %u ('%s') started before the player; its slams will drop nothing\n",
                  GetOwner(), owner->GetName().c_str());
    if (!m_hasRegion)
        LogErrorf("YakBossAIAction: object %u ('%s'): no RegionComponent object marks the arena; its slams will "
                  "drop nothing\n",
                  GetOwner(), owner->GetName().c_str());
    m_transform.Bind(owner);
    if (const TransformComponent* transform = m_transform.Get()) m_home = transform->GetPosition();
    m_brain.Bind(owner);
    m_waitTimer = m_waitTime;
    ActionBase::OnStart();
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &YakBossAIAction::OnCollision));
    m_listeners.Listen(*owner, "PauseBossAI", MakeDelegate(this, &YakBossAIAction::OnPauseBossAI));
    m_listeners.Listen(*owner, "ResumeBossAI", MakeDelegate(this, &YakBossAIAction::OnResumeBossAI));
    m_started = true;
    ReadHeadShakeLength();
    ShowBindPose(true);
}

void YakBossAIAction::ReadHeadShakeLength() {
    const AnimationManager* animations = AnimationManager::Instance();
    const Animation* clip = animations ? animations->Find(kHeadShake) : nullptr;
    if (!clip) {
        if (FirstReport(std::string("YakBossAIAction: no animation ") + kHeadShake))
            LogErrorf("YakBossAIAction: no animation '%s'; the boss will not shake its head\n", kHeadShake);
        m_headShakeLength = 0.0f;
        return;
    }
    // A clip played backwards lasts as long as forwards.
    m_headShakeLength = clip->duration * std::fabs(clip->scale);
}

void YakBossAIAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int YakBossAIAction::OnUpdate(f32 dt) {
    if (!m_started || m_charging || m_paused) return kActionRunning;
    if (m_recovering) {
        EndStun();
        return kActionRunning;
    }
    Wait(dt);
    return kActionRunning;
}

void YakBossAIAction::Wait(f32 dt) {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    owner->Send("ResetDamageTimer");
    SetBossPresence(owner, true);
    const f32 before = m_waitTimer;
    m_waitTimer -= dt;
    if (before > m_headShakeLength && m_waitTimer < m_headShakeLength) {
        ShowBindPose(false);
        AddToBrain(NewAnimation(kHeadShake));
    }
    if (m_waitTimer <= 0.0f) Charge();
}

void YakBossAIAction::Charge() {
    m_charging = true;
    ShowBindPose(false);
    const TransformComponent* transform = m_transform.Get();
    const Vec3 direction = HeadingDirection(transform ? transform->GetRotationY() : 0.0f);
    auto* charge = new EnemyChargeAction(direction);
    charge->SetSpeed(m_chargeSpeed);
    charge->SetDuration(kChargeDuration);
    Engine* engine = Engine::Instance();
    m_chargeActionId = engine ? engine->NextUniqueId() : 0;
    charge->SetId(m_chargeActionId);
    charge->SetListenTerminate(true);
    AddToBrain(charge);
    AddToBrain(NewAnimation(kChargeAnimation));
}

void YakBossAIAction::OnCollision(CollisionData* contact) {
    if (m_charging && contact) OnWallHit(contact->other);
}

void YakBossAIAction::OnWallHit(u32 otherId) {
    if (otherId == m_floorId && m_floorId != 0) return;
    if (otherId == m_playerId && m_playerId != 0) {
        StopCharge();
        return;
    }
    const Composition* other = FindActionObject(otherId);
    if (!other || !other->GetComponent(LevelGeometryComponent::kTypeId)) return;
    const TransformComponent* own = m_transform.Get();
    const TransformComponent* at = other->GetTransform();
    if (!own || !at) return;
    if (own->GetPosition().y > at->GetPosition().y) {
        m_floorId = otherId;
        return;
    }
    if (CoreSystem* core = GameCore()) core->SendMessageFloat3("CameraShake", 0.5f, 100.0f, 3.0f);
    DropProjectiles();
    StopCharge();
    PlayGameSound("yak-slam-sfx");
    Stun();
}

Vec3 YakBossAIAction::DropPoint(const Vec3& player) const {
    Vec3 point;
    for (int attempt = 0; attempt < kDropTries; ++attempt) {
        const f32 angle = Radians(RandomRange(0.0f, 360.0f));
        const f32 spread = RandomRange(-1.0f, 1.0f) + RandomRange(-1.0f, 1.0f) + RandomRange(-1.0f, 1.0f);
        const f32 distance = spread * m_regionSize.x / 6.0f;
        point = Vec3(player.x - std::sin(angle) * distance, m_regionMax.y, player.z - std::cos(angle) * distance);
        if (m_regionMin.x <= point.x && point.x <= m_regionMax.x && m_regionMin.z <= point.z &&
            point.z <= m_regionMax.z)
            break;
    }
    return point;
}

void YakBossAIAction::DropProjectiles() {
    TransformComponent* own = m_transform.Get();
    const Composition* player = FindActionObject(m_playerId);
    const TransformComponent* target = player ? player->GetTransform() : nullptr;
    if (!own || !target || !m_hasRegion) return;
    const Vec3 keptPosition = own->GetPosition();
    const Vec3 keptRotation = own->GetRotation();
    const Vec3 around = target->GetPosition();
    own->SetRotation(Vec3());
    for (s32 i = 0; i < m_projectileCount; ++i) {
        // Making objects may grow the tables: fetch the transform each time.
        if (TransformComponent* transform = m_transform.Get()) {
            transform->SetPosition(DropPoint(around));
            CreateGameObject(m_projectileName, transform, "YakBossAIAction");
        }
    }
    if (TransformComponent* transform = m_transform.Get()) {
        transform->SetRotation(keptRotation);
        transform->SetPosition(keptPosition);
    }
}

void YakBossAIAction::StopCharge() {
    Composition* owner = FindActionObject(GetOwner());
    if (owner) owner->Send("BlockMovement");
    m_charging = false;
    const u32 id = m_chargeActionId;
    SendObjectMessageUInt(FindActionObject(GetOwner()), "TerminateAction", id);
    m_recovering = true;
}

void YakBossAIAction::Stun() {
    AddToBrain(new TimedBlockAction(m_stunTime));
    AddToBrain(new TimedBlockAction(m_stunTime));
    AnimationAction* shake = NewAnimation(kHeadShake);
    shake->SetLoop(false);
    AddToBrain(shake);
}

void YakBossAIAction::EndStun() {
    Composition* owner = FindActionObject(GetOwner());
    if (owner) owner->Send("UnblockMovement");
    ShowBindPose(true);
    SetBossPresence(FindActionObject(GetOwner()), false);
    m_waitTimer = m_waitTime;
    m_recovering = false;
    AddToBrain(new SpawnAction(kEffect, 0.0f, 0));
    auto* glide = new TimedMoveToAction(kGlideTime);
    glide->SetTarget(m_home);
    glide->SetBlocking(true);
    AddToBrain(glide);
    AddToBrain(new SpawnAction(kEffect, 0.0f, 0));
}

void YakBossAIAction::OnPauseBossAI() {
    Composition* owner = FindActionObject(GetOwner());
    if (owner) owner->Send("UnblockMovement");
    m_paused = true;
    if (m_charging) {
        // A hidden boss must not go on charging: end the run and its speed.
        m_charging = false;
        const u32 id = m_chargeActionId;
        SendObjectMessageUInt(FindActionObject(GetOwner()), "TerminateAction", id);
        if (Composition* self = FindActionObject(GetOwner()))
            if (auto* movement = self->GetComponentAs<MovementComponent>()) movement->SetVelocity(Vec3());
    }
    if (TransformComponent* transform = m_transform.Get()) transform->SetPosition(m_home);
    m_waitTimer = m_waitTime / 2.0f;
}

void YakBossAIAction::OnResumeBossAI() {
    m_paused = false;
    m_charging = false;
    m_recovering = false;
}

void YakBossAIAction::AddToBrain(ActionBase* action) {
    BrainComponent* brain = m_brain.Get();
    if (!brain) {
        delete action;
        return;
    }
    action->SetOwner(GetOwner());
    action->SetLane(0);
    brain->AddAction(action);
}

void YakBossAIAction::ShowBindPose(bool show) {
    SendObjectMessageBool(FindActionObject(GetOwner()), "SetShowBindPose", show);
}

}  // namespace Vandle
