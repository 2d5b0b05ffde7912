#include "game/player/MeteorAttackAction.h"

#include "engine/base/Log.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/CollisionData.h"
#include "game/common/GameSupport.h"
#include "game/player/QilAttackSupport.h"

#include <algorithm>
#include <cmath>

LV_REFLECT_CLASS(Vandle::MeteorAttackAction);

namespace Vandle {

using namespace Ostrel;

namespace {

constexpr u32 kLevelGeometryTypeId = FourCC("lgeo");
const Vec3 kLandedFit(5.0f, 3.0f, 5.0f);
const Vec3 kStill(0.0f, 0.0f, 0.0f);

}  // namespace

void MeteorAttackAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_movement.Bind(owner);
    m_transform.Bind(owner);
    m_shadow.Bind(owner);
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlaySound", "whoosh-sfx");
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &MeteorAttackAction::OnCollision));
    if (auto* movement = RequiredPart(m_movement, m_reportedMovement, "MeteorAttackAction", "MovementComponent",
                                      GetOwner())) {
        movement->SetVelocity(Vec3(0.0f, kLaunchUp, 0.0f) + m_direction * kLaunchAlong);
        movement->SetAcceleration(Vec3(0.0f, kFall, 0.0f));
    }
    CreateAttachedEffect("meteor-attack-fx", *owner);
}

void MeteorAttackAction::OnEnd() {
    m_listeners.UnlistenAll();
    if (Composition* owner = FindActionObject(GetOwner())) {
        if (MovementComponent* movement = m_movement.Get()) {
            movement->SetVelocity(kStill);
            movement->SetAcceleration(kStill);
        }
        SetResolveWithStatics(*owner, true);
        owner->Send("TransformUpdated");
    }
    m_attackingFlag.Clear();
    ActionBase::OnEnd();
}

void MeteorAttackAction::SetShadowScale(f32 x, f32 z) {
    if (ShadowComponent* shadow = m_shadow.Get()) shadow->SetScale(x, z);
}

void MeteorAttackAction::Grow(f32 dt) {
    if (auto* transform = RequiredPart(m_transform, m_reportedTransform, "MeteorAttackAction",
                                       "TransformComponent", GetOwner())) {
        transform->Scale() += Vec3(kGrowth * dt, kGrowth * dt, kGrowth * dt);
    }
    if (ShadowComponent* shadow = m_shadow.Get())
        shadow->SetScale(shadow->GetScale().x + kShadowGrowth * dt, shadow->GetScale().y + kShadowGrowth * dt);
}

int MeteorAttackAction::OnUpdate(f32 dt) {
    if (m_landed) {
        if (m_timer > kLandingWindow) {
            m_landed = false;
            m_flying = false;
            m_timer = 0.0f;
            if (Composition* owner = FindActionObject(GetOwner())) owner->Send("TransformUpdated");
        } else {
            m_timer += dt;
        }
    }
    if (!m_landed) Grow(dt);
    if (!m_everLanded && m_flying) {
        m_airTime += dt;
        if (m_airTime > kGroundSearchTime) {
            LogErrorf("MeteorAttackAction: object %u found no ground within %g s; the attack ends in the air\n",
                      unsigned(GetOwner()), double(kGroundSearchTime));
            m_flying = false;
        }
    }
    if (m_flying) return kActionBlocking;
    if (TransformComponent* transform = m_transform.Get())
        transform->SetScale(Vec3(kQilRestScale, kQilRestScale, kQilRestScale));
    SetShadowScale(1.0f, 1.0f);
    m_attackingFlag.Clear();
    if (Composition* owner = FindActionObject(GetOwner())) owner->Send("FinishedAttack");
    return kActionFinished;
}

bool MeteorAttackAction::IsLanding(const Composition& other) const {
    if (m_landed || m_everLanded || !other.GetComponent(kLevelGeometryTypeId)) return false;
    Composition* owner = FindActionObject(GetOwner());
    auto* own = owner ? owner->GetComponentAs<CollisionComponent>() : nullptr;
    auto* theirs = other.GetComponentAs<CollisionComponent>();
    TransformComponent* transform = m_transform.Get();
    TransformComponent* otherTransform = other.GetTransform();
    if (!own || !theirs || !transform || !otherTransform) return false;
    const f32 otherTop = otherTransform->GetPosition().y + theirs->GetVolume().size.y / 2.0f;
    // The companion falls more than its own size in one frame: its centre
    // may already have passed the top of a thin floor when the contact is
    // found, so where it was before the frame's physics counts as well.
    const f32 highest = std::max(transform->GetPosition().y, transform->GetPreviousPosition().y);
    return otherTop < highest + own->GetVolume().centre.y;
}

void MeteorAttackAction::SetBackAboveTop(const Composition& other) {
    TransformComponent* transform = m_transform.Get();
    TransformComponent* otherTransform = other.GetTransform();
    auto* theirs = other.GetComponentAs<CollisionComponent>();
    if (!transform || !otherTransform || !theirs) return;
    const f32 otherTop = otherTransform->GetPosition().y + theirs->GetVolume().size.y / 2.0f;
    if (transform->GetPosition().y < otherTop) transform->Position().y = transform->GetPreviousPosition().y;
}

void MeteorAttackAction::Land(Composition& owner) {
    SetResolveWithStatics(owner, false);
    m_landed = true;
    m_everLanded = true;
    m_timer = 0.0f;
    if (MovementComponent* movement = m_movement.Get()) {
        movement->SetVelocity(kStill);
        movement->SetAcceleration(kStill);
    }
    RefitCollider(owner, kLandedFit);
    SetShadowScale(1.0f, 1.0f);
    if (CoreSystem* core = GameCore()) {
        // Duration, frequency, magnitude.
        core->SendMessageFloat3("CameraShake", 0.25f, 75.0f, 0.5f);
        core->SendMessageString("PlaySound", "attack-meteor-sfx");
    }
    if (ObjectManager* objects = ActionObjects()) objects->CreateRunTimeObject("rumble-obj", m_transform.Get());
}

void MeteorAttackAction::Hurl(u32 otherId) {
    const f32 damage = kDamage;
    const f32 coolDown = kDamageCoolDown;
    SendObjectMessageFloat2(FindActionObject(otherId), "DamageEnemy", damage, coolDown);
    // The damage may have torn the other down: look it up again.
    Composition* other = FindActionObject(otherId);
    TransformComponent* otherTransform = other ? other->GetTransform() : nullptr;
    TransformComponent* transform = m_transform.Get();
    if (!otherTransform || !transform) return;
    Vec3 away = otherTransform->GetPosition() - transform->GetPosition();
    const f32 length = std::sqrt(away.LengthSquared());
    away.y = kKnockbackLift - length;
    if (length > 0.001f) away = away.Normalized();
    SendObjectMessageVec3(other, "KnockbackEnemy", away * kKnockback);
}

void MeteorAttackAction::OnCollision(CollisionData* contact) {
    Composition* other = contact ? FindActionObject(contact->other) : nullptr;
    if (!other || !other->GetComponentAs<CollisionComponent>()) return;
    const u32 otherId = contact->other;
    if (IsLanding(*other)) {
        Composition* owner = FindActionObject(GetOwner());
        if (!owner) return;
        SetBackAboveTop(*other);
        Land(*owner);
    }
    if (m_landed) Hurl(otherId);
}

}  // namespace Vandle
