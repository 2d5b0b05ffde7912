#pragma once
// Makes a flying enemy (the blue bird, the bird boss) rebound off level
// geometry ('lgeo'), gates ('gatC') and other enemies ('emyC', 'foxC'): on a
// contact it mirrors the velocity along the axis of the touched side and
// nudges the owner one unit away from it along that axis. The side is the
// contact's side code, where the other object lies as seen from the owner
// (0 toward -x, 1 toward +x, 2 below, 3 above, 4 toward -z, 5 toward +z);
// a contact without a side (-1) moves nothing.
//
// A dead time of 0.15 s keeps one contact from flipping the velocity twice.
// Every contact that comes after the dead time restarts it, whatever it
// touched (the player, side -1), bounce or not. Never finishes.

#include "engine/actions/ActionSupport.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class BirdBounceAction final : public Ostrel::ActionBase {
public:
    static constexpr f32 kDeadTime = 0.15f;

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnCollision(Ostrel::CollisionData* contact);

    f32 GetTimeSinceBounce() const { return m_timeSinceBounce; }

private:
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    Ostrel::ComponentRef<Ostrel::CollisionComponent> m_collision;
    f32 m_timeSinceBounce = 0.0f;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::BirdBounceAction);
