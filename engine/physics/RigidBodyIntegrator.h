#pragma once
// Moves the bodies (objects with a MovementComponent) through one fixed step.
//
// Semi-implicit Euler, per body and in this order: velocity += acceleration
// * dt; with the body's Drag flag, velocity *= DRAG (once per step, not scaled
// by dt); with its Gravity flag, velocity.y += GRAVITY * dt; position +=
// velocity * dt.
//
// RK4 mode: position and velocity go through a fourth-order Runge-Kutta step
// whose acceleration model is zero (so the velocity never grows by itself),
// then velocity.y += GRAVITY * dt for every body whatever its Gravity flag,
// then velocity += acceleration * dt; no drag.
//
// The first step of a frame (alreadyStepped false) saves each body's
// position as its previous position first; the swept collision test reads
// it. Bodies whose object is gone or lacks a transform or a movement
// component stay listed and are skipped.
//
// Main thread only.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"

#include <vector>

namespace Ostrel {

class ObjectManager;

struct PhysicsSettings {
    float gravity = 0.0f;
    float drag = 0.0f;
    bool rk4 = false;
    bool drawCollision = false;
};

class RigidBodyIntegrator {
public:
    void SetSettings(const PhysicsSettings& settings) { m_settings = settings; }
    const PhysicsSettings& GetSettings() const { return m_settings; }
    void SetObjectManager(ObjectManager* objects) { m_objects = objects; }

    // No test for duplicates: an id added twice is stepped twice.
    void AddBody(u32 id) { m_bodies.push_back(id); }
    // Removes the first occurrence by moving the last entry into its place.
    void RemoveBody(u32 id);
    const std::vector<u32>& GetBodies() const { return m_bodies; }

    void Step(float dt, bool alreadyStepped);
    // Sum of every step length since the last Reset.
    float GetSimulatedTime() const { return m_time; }
    void ResetTime() { m_time = 0.0f; }

    // One Runge-Kutta step of (position, velocity) over h under a zero
    // acceleration model; public for tests.
    static void RungeKuttaStep(Vec3& position, Vec3& velocity, float t, float h);

private:
    PhysicsSettings m_settings;
    std::vector<u32> m_bodies;
    ObjectManager* m_objects = nullptr;
    float m_time = 0.0f;
};

}  // namespace Ostrel
