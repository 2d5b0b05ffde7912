#pragma once
// Places its owner on a circle in the x-z plane around a centre, one turn
// per 2 pi / frequency seconds (the height is left alone). Finishes when the
// owner has no transform. Not reflected: only the wave-motion component
// makes it.

#include "engine/actions/ActionSupport.h"
#include "engine/core/ActionBase.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

class WaveAction final : public ActionBase {
public:
    void SetAmplitude(f32 amplitude) { m_amplitude = amplitude; }
    void SetFrequency(f32 frequency) { m_frequency = frequency; }
    void SetCenter(const Vec3& centre) { m_centre = centre; }

    void OnStart() override;
    void OnEnd() override { ActionBase::OnEnd(); }
    int OnUpdate(f32 dt) override;

private:
    f32 m_angle = 0.0f;
    f32 m_amplitude = 1.0f;
    f32 m_frequency = 1.0f;
    ComponentRef<TransformComponent> m_transform;
    Vec3 m_centre;
};

}  // namespace Ostrel
