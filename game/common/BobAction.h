#pragma once
// Floats its owner on a sine wave around the player's height: each step the
// phase clock (seconds, wrapped at 2 pi before the frequency multiplies it)
// gives the wanted height sin(angle x frequency) x amplitude + player y +
// offset, and the owner's vertical velocity is set to the gap, closing one
// whole gap per second. The other velocity components are left to other
// actions (the companion's orbit steers x and z). The followed player is the
// first object with a PlayerComponent, looked up again whenever it is gone;
// with no player the step does nothing and the clock stands still.
//
// "UpdateBobAction"(amplitude, frequency, offset) on the owner replaces the
// three settings. Never finishes. Used by the companion, the shield attack,
// the birds, the bird boss and the pickups' float.

#include "engine/actions/ActionSupport.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/TransformComponent.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class BobAction final : public Ostrel::ActionBase {
public:
    void SetAmplitude(f32 amplitude) { m_amplitude = amplitude; }
    void SetFrequency(f32 frequency) { m_frequency = frequency; }
    void SetOffset(f32 offset) { m_offset = offset; }

    void OnStart() override;
    void OnEnd() override;
    int OnUpdate(f32 dt) override;

    void OnUpdateBobAction(f32 amplitude, f32 frequency, f32 offset);

    f32 GetAmplitude() const { return m_amplitude; }
    f32 GetFrequency() const { return m_frequency; }
    f32 GetOffset() const { return m_offset; }
    // The followed player's id; 0 until one was found.
    u32 GetTargetId() const { return m_targetId; }

private:
    // The followed player, found again when the last one is gone.
    Ostrel::Composition* FindTarget();

    f32 m_angle = 0.0f;
    f32 m_amplitude = 1.0f;
    f32 m_frequency = 1.0f;
    f32 m_offset = 1.0f;
    Ostrel::ComponentRef<Ostrel::TransformComponent> m_transform;
    Ostrel::ComponentRef<Ostrel::MovementComponent> m_movement;
    u32 m_targetId = 0;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::BobAction);
