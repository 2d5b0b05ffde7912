#pragma once
// Turns its owner to face the way it moves: each step the heading (y
// rotation, degrees) becomes atan2(-vx, -vz), so motion along -z faces 0
// and along +x faces -90. Without horizontal motion (or with a velocity that
// is not finite) the heading is kept, so a companion at rest does not snap
// round. After the owner's "UseIncorrectRotation" it copies the velocity
// into the whole rotation instead (the meteor's fast changing velocity
// tumbles the companion) until the owner's next "FinishedAttack".
// Never finishes; the companion runs it in its own lane 'face', so a
// blocking flight in lane 0 does not hold it back.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

namespace Vandle {

using Ostrel::f32;

class FaceVelocityAction final : public Ostrel::ActionBase {
public:
    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnUseCorrectRotation() { m_useCorrectRotation = true; }
    void OnUseIncorrectRotation() { m_useCorrectRotation = false; }

    bool UsesCorrectRotation() const { return m_useCorrectRotation; }

private:
    bool m_useCorrectRotation = true;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FaceVelocityAction);
