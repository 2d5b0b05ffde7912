#include "engine/physics/RigidBodyIntegrator.h"

#include "engine/components/MovementComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"

#include <algorithm>

namespace Ostrel {

namespace {

struct Derivative {
    Vec3 dx;  // velocity
    Vec3 dv;  // acceleration
};

// The acceleration of a trial state. Forces the bodies feel (gravity, their
// own acceleration) are added after the Runge-Kutta step, so the model itself
// is zero: a trial velocity used here would make every velocity grow by
// about e^h per step.
Vec3 ModelAcceleration(const Vec3& /*position*/, const Vec3& /*velocity*/, float /*t*/) {
    return Vec3(0.0f, 0.0f, 0.0f);
}

Derivative Evaluate(const Vec3& x, const Vec3& v, float t, float k, const Derivative& d) {
    const Vec3 trialX = x + d.dx * k;
    const Vec3 trialV = v + d.dv * k;
    return {trialV, ModelAcceleration(trialX, trialV, t + k)};
}

void EulerStep(TransformComponent& transform, MovementComponent& movement, const PhysicsSettings& s,
               float dt) {
    Vec3& velocity = movement.Velocity();
    velocity += movement.GetAcceleration() * dt;
    if (movement.HasDrag()) velocity *= s.drag;
    if (movement.HasGravity()) velocity.y += s.gravity * dt;
    transform.Position() += velocity * dt;
}

void RungeKuttaBodyStep(TransformComponent& transform, MovementComponent& movement, const PhysicsSettings& s,
                        float t, float dt) {
    Vec3& velocity = movement.Velocity();
    RigidBodyIntegrator::RungeKuttaStep(transform.Position(), velocity, t, dt);
    velocity.y += s.gravity * dt;
    velocity += movement.GetAcceleration() * dt;
}

}  // namespace

void RigidBodyIntegrator::RungeKuttaStep(Vec3& position, Vec3& velocity, float t, float h) {
    const Derivative a = Evaluate(position, velocity, t, 0.0f, Derivative{});
    const Derivative b = Evaluate(position, velocity, t + h / 2.0f, h / 2.0f, a);
    const Derivative c = Evaluate(position, velocity, t + h / 2.0f, h / 2.0f, b);
    const Derivative d = Evaluate(position, velocity, t + h, h, c);
    const Vec3 dxdt = (a.dx + (b.dx + c.dx) * 2.0f + d.dx) * 0.16666667f;
    const Vec3 dvdt = (a.dv + (b.dv + c.dv) * 2.0f + d.dv) * 0.16666667f;
    position += dxdt * h;
    velocity += dvdt * h;
}

void RigidBodyIntegrator::RemoveBody(u32 id) {
    auto it = std::find(m_bodies.begin(), m_bodies.end(), id);
    if (it == m_bodies.end()) return;
    *it = m_bodies.back();
    m_bodies.pop_back();
}

void RigidBodyIntegrator::Step(float dt, bool alreadyStepped) {
    for (u32 id : m_bodies) {
        Composition* object = m_objects ? m_objects->GetObject(id) : nullptr;
        TransformComponent* transform = object ? object->GetTransform() : nullptr;
        auto* movement = object ? object->GetComponentAs<MovementComponent>() : nullptr;
        if (!transform || !movement) continue;
        if (!alreadyStepped) transform->SetPreviousPosition(transform->GetPosition());
        if (m_settings.rk4) {
            RungeKuttaBodyStep(*transform, *movement, m_settings, m_time, dt);
        } else {
            EulerStep(*transform, *movement, m_settings, dt);
        }
    }
    m_time += dt;
}

}  // namespace Ostrel
