#include "game/enemies/FoxAIAction.h"

#include "engine/actions/AnimationAction.h"
#include "engine/actions/PlaySoundAction.h"
#include "engine/actions/TimedBlockAction.h"
#include "engine/base/Log.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/physics/CollisionData.h"
#include "game/common/ActionSteps.h"
#include "game/common/GameSupport.h"
#include "game/common/Heading.h"
#include "game/common/LogOnce.h"
#include "game/common/Tunnelling.h"

#include <cmath>
#include <initializer_list>
#include <vector>

LV_REFLECT_CLASS(Vandle::FoxAIAction);

namespace Vandle {

using namespace Ostrel;

namespace {

const char kTailMesh[] = "boxfox-tail-mesh";
const char kDigUpClip[] = "boxfox-dig-up-anim";
const char kLookClip[] = "boxfox-look-anim";
const char kDigDownClip[] = "boxfox-dig-down-anim";

void LogRateOnce(const std::string& clip, const char* why) {
    if (FirstReport("FoxAIAction: clip " + clip)) LogErrorf("FoxAIAction: clip '%s' %s; it plays at rate 1.0\n", clip.c_str(), why);
}

}  // namespace

f32 FoxAIAction::PlaybackRate(const std::string& clip, f32 wantedSeconds) {
    AnimationManager* animations = AnimationManager::Instance();
    const Animation* animation = animations ? animations->Find(clip) : nullptr;
    if (!animation) {
        LogRateOnce(clip, "is not loaded");
        return 1.0f;
    }
    if (!(wantedSeconds > 0.0f)) {
        LogRateOnce(clip, "has a wanted length of 0 or less");
        return 1.0f;
    }
    return animation->duration * animation->scale / wantedSeconds;
}

void FoxAIAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    m_tunnelling = false;
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &FoxAIAction::OnCollision));
    m_transform.Bind(owner);
    m_movement.Bind(owner);
    m_collision.Bind(owner);
    m_mesh.Bind(owner);
    m_player.BindHandle(0);
    std::vector<u32> players;
    if (ObjectManager* objects = ActionObjects(); objects && objects->FindPlayerObjects(players))
        m_player.Bind(objects->GetObject(players.front()));
    ActionBase::OnStart();
    m_digUpSpeed = PlaybackRate(kDigUpClip, m_digUpAnimLength);
    m_digDownSpeed = PlaybackRate(kDigDownClip, m_digUpAnimLength);
    m_lookSpeed = PlaybackRate(kLookClip, m_lookAroundAnimLength);
}

void FoxAIAction::OnEnd() {
    ActionBase::OnEnd();
    m_listeners.UnlistenAll();
}

int FoxAIAction::OnUpdate(f32 dt) {
    m_timeSinceTurn += dt;
    m_travelTimer -= dt;
    m_workTimer += dt;
    if (m_travelTimer > 0.0f) {
        if (MovementComponent* movement = m_movement.Get()) movement->SetVelocity(m_heading * m_tunnelingSpeed);
        return kActionRunning;
    }
    if (m_workTimer > m_workTime) {
        m_workTimer = 0.0f;
        Surface();
        return kActionRunning;
    }
    if (!m_tunnelling) BeginTunnelling();
    ChooseHeading();
    return kActionRunning;
}

bool FoxAIAction::PlayerPosition(Vec3& position) {
    const TransformComponent* transform = m_player.Get();
    if (!transform) {
        m_player.BindHandle(0);
        return false;
    }
    position = transform->GetPosition();
    return true;
}

void FoxAIAction::SetYawFromHeading() {
    if (TransformComponent* transform = m_transform.Get())
        transform->Rotation().y = HeadingTowards(m_heading.x, m_heading.z);
}

void FoxAIAction::ChooseHeading() {
    TransformComponent* transform = m_transform.Get();
    if (!transform) return;
    const Vec3 position = transform->GetPosition();
    Vec3 player;
    const bool hasPlayer = PlayerPosition(player);
    m_heading = CirclingHeading(m_heading, position, hasPlayer ? &player : nullptr, m_maxTurnAngle, m_circleDistance,
                                m_circleSense, m_circleWeight);
    SetYawFromHeading();
    m_legEnd = position + m_heading * (m_tunnelingSpeed * m_travelTime);
    m_travelTimer = m_travelTime;
}

void FoxAIAction::BeginTunnelling() {
    if (Rand() % 2 == 1) m_circleSense = !m_circleSense;
    if (MeshComponent* mesh = m_mesh.Get()) {
        mesh->SetVisible(false);
        mesh->SetImportant(true);
        mesh->SetMesh(kTailMesh);
    }
    m_tunnelling = true;
    SetDynamicCollision(m_collision.Get(), false);
    QueueSteps(GetOwner(), {ClipStep(kTailMesh, -1.0f), MeshShownStep(true), new TimedBlockAction(0.01f)});
}

void FoxAIAction::Surface() {
    m_tunnelling = false;
    PlayGameSound("fox-surface-sfx");
    if (MeshComponent* mesh = m_mesh.Get()) {
        mesh->SetVisible(false);
        mesh->SetImportant(false);
        mesh->SetMesh(kDigUpClip);
    }
    SetDynamicCollision(m_collision.Get(), true);
    const f32 digWait = m_digUpAnimLength - kBlockShortening;
    const f32 lookWait = m_lookAroundAnimLength - kBlockShortening;
    QueueSteps(GetOwner(), {ClipStep(kDigUpClip, m_digUpSpeed), MeshShownStep(true), new TimedBlockAction(digWait),
                            SoundStep("fox-pant-sfx"), ClipStep(kLookClip, m_lookSpeed), new TimedBlockAction(lookWait),
                            SoundStep("fox-burrow-sfx"), ClipStep(kDigDownClip, m_digDownSpeed, false),
                            new TimedBlockAction(digWait)});
}

void FoxAIAction::OnCollision(CollisionData* contact) {
    TransformComponent* transform = m_transform.Get();
    if (!contact || m_timeSinceTurn < kTurnDeadTime || !transform || !IsTunnelWall(*transform, *contact)) return;
    m_timeSinceTurn = 0.0f;
    m_heading = BounceHeading(transform->GetPosition(), m_legEnd, m_heading);
    m_travelTimer = m_travelTime;
    if (MovementComponent* movement = m_movement.Get()) movement->SetVelocity(Vec3(0.0f, 0.0f, 0.0f));
    SetYawFromHeading();
}

}  // namespace Vandle
