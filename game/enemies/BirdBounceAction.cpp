#include "game/enemies/BirdBounceAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/CollisionData.h"

LV_REFLECT_CLASS(Vandle::BirdBounceAction);

namespace Vandle {

using namespace Ostrel;

namespace {

// What a blue bird rebounds from: level geometry, gates, yaks and foxes.
constexpr u32 kBounceTypes[] = {FourCC("lgeo"), FourCC("gatC"), FourCC("emyC"), FourCC("foxC")};

bool Bounces(const Composition& other) {
    for (u32 type : kBounceTypes)
        if (other.GetComponent(type)) return true;
    return false;
}

}  // namespace

void BirdBounceAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_transform.Bind(owner);
    m_movement.Bind(owner);
    m_collision.Bind(owner);
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &BirdBounceAction::OnCollision));
}

void BirdBounceAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int BirdBounceAction::OnUpdate(f32 dt) {
    m_timeSinceBounce += dt;
    return kActionRunning;
}

void BirdBounceAction::OnCollision(CollisionData* contact) {
    if (!contact || m_timeSinceBounce < kDeadTime) return;
    m_timeSinceBounce = 0.0f;
    const Composition* other = FindActionObject(contact->other);
    if (!other || !Bounces(*other)) return;
    if (contact->side < 0 || contact->side > 5) return;
    MovementComponent* movement = m_movement.Get();
    TransformComponent* transform = m_transform.Get();
    const int axis = contact->side / 2;
    // Even sides: the other lies toward the negative end, so move to +.
    const f32 nudge = contact->side % 2 == 0 ? 1.0f : -1.0f;
    if (movement) movement->Velocity()[axis] = -movement->GetVelocity()[axis];
    if (transform) transform->Position()[axis] += nudge;
}

}  // namespace Vandle
