#include "game/bosses/FoxBossAIAction.h"

#include "engine/actions/AnimationAction.h"
#include "engine/actions/ModifyTransformAction.h"
#include "engine/actions/PlaySoundAction.h"
#include "engine/actions/RandomFloat.h"
#include "engine/actions/TimedBlockAction.h"
#include "engine/actions/TimedLifeAction.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/CollisionData.h"
#include "game/bosses/FoxBossRockShowerAction.h"
#include "game/bosses/FoxTileComponent.h"
#include "game/bosses/TailSlamAction.h"
#include "game/common/ActionSteps.h"
#include "game/common/Heading.h"
#include "game/common/ObjectCreation.h"
#include "game/common/Tunnelling.h"
#include "game/enemies/FoxAIAction.h"
#include "game/enemies/PlayerSeekAction.h"

#include <cmath>
#include <vector>

LV_REFLECT_CLASS(Vandle::FoxBossAIAction);

namespace Vandle {

using namespace Ostrel;

namespace {

const char kTailMesh[] = "boxfox-tail-mesh";
const char kSlamClip[] = "foxtail-attack-anim";
const char kFlourishClip[] = "foxtail-flourish-anim";
const char kTailDownClip[] = "foxtail-down-anim";
const char kDigUpClip[] = "boxfox-dig-up-anim";
const char kDigDownClip[] = "boxfox-dig-down-anim";
const char kLookClip[] = "boxfox-look-anim";

// The steps of the sequences beyond the shared ones.
FacePlayerAction* FaceOnce() {
    auto* step = new FacePlayerAction;
    step->SetContinuous(false);
    return step;
}
ModifyTransformAction* Turn(f32 degrees) {
    auto* step = new ModifyTransformAction;
    step->SetRotationDelta(Vec3(0.0f, degrees, 0.0f));
    return step;
}
TimedBlockAction* Wait(f32 seconds) { return new TimedBlockAction(seconds); }

}  // namespace

void FoxBossAIAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &FoxBossAIAction::OnCollision));
    m_transform.Bind(owner);
    m_movement.Bind(owner);
    m_collision.Bind(owner);
    m_mesh.Bind(owner);
    m_shadow.Bind(owner);
    m_player.BindHandle(0);
    std::vector<u32> players;
    if (ObjectManager* objects = ActionObjects(); objects && objects->FindPlayerObjects(players))
        m_player.Bind(objects->GetObject(players.front()));
    QueueSteps(GetOwner(), {FaceOnce()});
    ActionBase::OnStart();
    m_slamRate = FoxAIAction::PlaybackRate(kSlamClip, m_tailSlamLength);
    m_flourishRate = FoxAIAction::PlaybackRate(kFlourishClip, m_tailFlourishLength);
    m_tailDownRate = FoxAIAction::PlaybackRate(kTailDownClip, m_tailBurrowLength);
    m_digUpRate = FoxAIAction::PlaybackRate(kDigUpClip, m_digUpLength);
    m_digDownRate = FoxAIAction::PlaybackRate(kDigDownClip, m_digUpLength);
    m_lookRate = FoxAIAction::PlaybackRate(kLookClip, m_lookAroundLength);
}

void FoxBossAIAction::OnEnd() {
    ActionBase::OnEnd();
    DestroyMound();
    ReleaseTile();
    m_listeners.UnlistenAll();
}

int FoxBossAIAction::OnUpdate(f32 dt) {
    m_timeSinceBounce += dt;
    m_sectionTimer -= dt;
    m_timeUnderground += dt;
    if (m_sectionTimer > 0.0f) {
        if (MovementComponent* movement = m_movement.Get()) movement->SetVelocity(m_heading * m_moveSpeed);
        return kActionRunning;
    }
    if (m_timeUnderground > m_moveTime) {
        m_timeUnderground = 0.0f;
        Surface();
    } else if (m_aboveGround) {
        Dive();
    } else {
        ChooseHeading();
    }
    return kActionRunning;
}

void FoxBossAIAction::SetYawFromHeading() {
    if (TransformComponent* transform = m_transform.Get())
        transform->Rotation().y = HeadingTowards(m_heading.x, m_heading.z);
}

void FoxBossAIAction::ChooseHeading() {
    TransformComponent* transform = m_transform.Get();
    if (!transform) return;
    const Vec3 position = transform->GetPosition();
    const TransformComponent* player = m_player.GetHandle() != 0 ? m_player.Get() : nullptr;
    if (m_player.GetHandle() != 0 && !player) m_player.BindHandle(0);
    const Vec3 playerPosition = player ? player->GetPosition() : Vec3();
    m_heading = CirclingHeading(m_heading, position, player ? &playerPosition : nullptr, m_maxTurnAngle,
                                m_circleDistance, m_circleDirection, m_circleWeight);
    SetYawFromHeading();
    m_sectionEnd = position + m_heading * (m_moveSpeed * m_sectionTime);
    m_sectionTimer = m_sectionTime;
}

void FoxBossAIAction::OnCollision(CollisionData* contact) {
    TransformComponent* transform = m_transform.Get();
    if (!contact || m_timeSinceBounce < kTurnDeadTime || m_aboveGround || !transform ||
        !IsTunnelWall(*transform, *contact))
        return;
    m_timeSinceBounce = 0.0f;
    m_heading = BounceHeading(transform->GetPosition(), m_sectionEnd, m_heading);
    m_sectionTimer = m_sectionTime;
    if (MovementComponent* movement = m_movement.Get()) movement->SetVelocity(Vec3(0.0f, 0.0f, 0.0f));
    SetYawFromHeading();
}

void FoxBossAIAction::ScaleShadow(f32 factor) {
    if (ShadowComponent* shadow = m_shadow.Get()) shadow->SetScale(shadow->GetScale().x * factor, shadow->GetScale().y * factor);
}

void FoxBossAIAction::TransformUpdated() {
    if (Composition* owner = FindActionObject(GetOwner())) owner->Send("TransformUpdated");
}

void FoxBossAIAction::MoveColliderZ(f32 halves) {
    CollisionComponent* collision = m_collision.Get();
    if (!collision) return;
    Vec3 offset = collision->GetOffset();
    offset.z += halves * 0.5f * collision->GetVolume().size.z;
    collision->SetOffset(offset);
}

void FoxBossAIAction::DestroyMound() {
    DestroyMadeObject(m_mound);
    m_mound = 0;
}

void FoxBossAIAction::ReleaseTile() {
    if (!m_holdsTile) return;
    m_holdsTile = false;
    if (CoreSystem* core = ActionCore()) core->SendMessageUInt("ReleaseFoxEmergePoint", m_heldTile);
}

void FoxBossAIAction::Surface() {
    if (MovementComponent* movement = m_movement.Get()) movement->SetVelocity(Vec3(0.0f, 0.0f, 0.0f));
    SetDynamicCollision(m_collision.Get(), true);
    m_aboveGround = true;
    if (m_slamCounter != 0)
        TailAttack();
    else
        Emerge();
    if (ShadowComponent* shadow = m_shadow.Get()) shadow->SetVisible(true);
}

void FoxBossAIAction::Dive() {
    m_aboveGround = false;
    SetDynamicCollision(m_collision.Get(), false);
    if (m_slamCounter != 0)
        RetractTail();
    else
        Burrow();
    m_slamCounter = (m_slamCounter + 1) % m_cycleLength;
    if (ShadowComponent* shadow = m_shadow.Get()) shadow->SetVisible(false);
}

void FoxBossAIAction::TailAttack() {
    if (MeshComponent* mesh = m_mesh.Get()) mesh->SetMesh(kTailMesh);
    TransformUpdated();
    MoveColliderZ(-1.0f);
    TransformUpdated();
    DestroyMound();
    if (Composition* mound = CreateGameObject("fox-boss-tail-mound-fx-obj", m_transform.Get(), "FoxBossAIAction"))
        m_mound = mound->GetId();
    const f32 impact = 0.2f * m_tailSlamLength;
    const f32 followThrough = 0.8f * m_tailSlamLength - kBlockShortening;
    auto slam = [&](f32 angle, std::vector<ActionBase*>& steps) {
        steps.insert(steps.end(), {Turn(angle), ClipStep(kSlamClip, m_slamRate), Wait(impact), new TailSlamAction,
                                   Wait(followThrough), Turn(-angle)});
    };
    std::vector<ActionBase*> steps{FaceOnce(), ClipStep(kFlourishClip, m_flourishRate), MeshShownStep(true),
                                   Wait(m_tailFlourishLength - kBlockShortening), FaceOnce()};
    slam(0.0f, steps);
    slam(kSlamAngle, steps);
    slam(-kSlamAngle, steps);
    steps.push_back(ClipStep(kTailDownClip, m_tailDownRate));
    steps.push_back(Wait(m_tailBurrowLength));
    QueueSteps(GetOwner(), steps);
}

void FoxBossAIAction::RetractTail() {
    MoveColliderZ(1.0f);
    TransformUpdated();
    DestroyMound();
    QueueSteps(GetOwner(), {MeshShownStep(false)});
}

void FoxBossAIAction::Emerge() {
    ScaleShadow(m_tailScaleModifier);
    TransformComponent* transform = m_transform.Get();
    if (transform && m_tailScaleModifier != 0.0f) transform->SetScale(transform->GetScale() * (1.0f / m_tailScaleModifier));

    // The tile: asked for with 0 in the field, so an unanswered request
    // (no manager, no free tile) leaves no stale id behind.
    ReleaseTile();
    m_heldTile = 0;
    if (CoreSystem* core = ActionCore()) core->SendMessageUIntPtr("GetFoxEmergePoint", &m_heldTile);
    Composition* tile = m_heldTile != 0 ? FindActionObject(m_heldTile) : nullptr;
    m_holdsTile = m_heldTile != 0;
    f32 minAngle = FoxTileComponent::kDefaultMinAngle;
    f32 maxAngle = FoxTileComponent::kDefaultMaxAngle;
    if (tile && transform && tile->GetTransform()) {
        transform->SetPosition(tile->GetTransform()->GetPosition());
        transform->Rotation().y = tile->GetTransform()->GetRotation().y;
        if (const auto* marker = tile->GetComponentAs<FoxTileComponent>()) {
            minAngle = marker->GetMinAngle();
            maxAngle = marker->GetMaxAngle();
        }
    }
    if (MovementComponent* movement = m_movement.Get()) movement->SetVelocity(Vec3(0.0f, 0.0f, 0.0f));

    DestroyMound();
    if (transform) {
        const Vec3 here = transform->GetPosition();
        const f32 a = transform->GetRotation().y * kRadiansPerDegree;
        transform->SetPosition(here + Vec3(3.0f * std::sin(a), 0.0f, 3.0f * std::cos(a)));
        Composition* mound = CreateGameObject("fox-boss-mound-fx-obj", transform, "FoxBossAIAction");
        if (mound) m_mound = mound->GetId();
        transform = m_transform.Get();
        if (transform) transform->SetPosition(here);
    }
    if (MeshComponent* mesh = m_mesh.Get()) mesh->SetMesh(kDigUpClip);
    TransformUpdated();

    std::vector<ActionBase*> steps{Wait(kBlockShortening), ClipStep(kDigUpClip, m_digUpRate), MeshShownStep(true),
                                   SoundStep("fox-surface-sfx"), Wait(0.25f * m_digUpLength)};
    const TransformComponent* player = m_player.Get();
    if (player && transform) {
        Vec3 toPlayer = player->GetPosition() - transform->GetPosition();
        toPlayer.y = 0.0f;
        const f32 distance = toPlayer.Length();
        for (f32 radius : {distance, distance + kRingStep, distance - kRingStep}) {
            auto* ring = new FoxBossRockShowerAction;
            ring->SetRadius(radius);
            ring->SetAngles(minAngle, maxAngle);
            ring->SetRocks(m_minRocks, m_maxRocks);
            ring->SetProjectileName(m_projectileName);
            ring->SetRadiusLimits(m_minRadius, m_maxRadius);
            steps.push_back(ring);
        }
    }
    steps.insert(steps.end(), {Wait(0.75f * m_digUpLength - kBlockShortening), ClipStep(kLookClip, m_lookRate),
                               SoundStep("fox-boss-pant-sfx"), Wait(m_lookAroundLength - kBlockShortening)});
    QueueSteps(GetOwner(), steps);
}

void FoxBossAIAction::Burrow() {
    ReleaseTile();
    ScaleShadow(m_tailScaleModifier != 0.0f ? 1.0f / m_tailScaleModifier : 1.0f);
    ObjectManager* objects = ActionObjects();
    if (Composition* mound = m_mound != 0 && objects ? objects->GetObject(m_mound) : nullptr) {
        if (auto* brain = mound->GetComponentAs<BrainComponent>()) {
            auto* life = new TimedLifeAction(m_digUpLength);
            life->SetOwner(m_mound);
            brain->AddAction(life);
        } else {
            objects->DestroyObject(m_mound);
        }
    }
    m_mound = 0;
    auto* tailForm = new ModifyTransformAction;
    const TransformComponent* transform = m_transform.Get();
    tailForm->SetScale((transform ? transform->GetScale() : Vec3(1.0f, 1.0f, 1.0f)) * m_tailScaleModifier);
    QueueSteps(GetOwner(), {ClipStep(kDigDownClip, m_digDownRate, false), SoundStep("fox-burrow-sfx"), Wait(m_digUpLength - kBlockShortening),
           MeshShownStep(false), tailForm});
}

}  // namespace Vandle
