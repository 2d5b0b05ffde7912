#pragma once
// The physics system ('phyx'). Every frame it adds the frame time to an
// accumulator and runs fixed steps of 0.016 s while the accumulator holds at
// least that much (no limit per frame; the remainder carries over). Only the
// first step of a frame saves previous positions. When at least one step ran,
// the collision world detects, resolves and reports contacts once, after all
// of the frame's steps; a frame without a step (a paused engine) reports
// nothing. Collision volumes are outlined every frame while "DRAW_COLLISION"
// or the "ShowDebugUpdated" flag is set.
//
// Objects join through the global "ObjectCreated" (a MovementComponent makes
// a body, a CollisionComponent a collider; both make both) and leave through
// "ObjectDestroyed". On "RequestBackgroundLoadTargets" it hands the level
// loader a job, OnLevelLoaded, that builds the static collision grid on the
// loader's thread and switches detection to it for the rest of the run.
//
// Configuration ("physics"): "GRAVITY" (float, 0), "DRAG" (float, 0: a body
// with its Drag flag stops dead), "RK4" (bool), "DRAW_COLLISION" (bool).
// Initialize copies the settings into the integrator; later changes do not
// reach it.

#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/base/Types.h"
#include "engine/core/VariantFunction.h"
#include "engine/physics/CollisionWorld.h"
#include "engine/physics/RigidBodyIntegrator.h"

#include <string>
#include <vector>

namespace Ostrel {

class ObjectManager;

class Physics : public System {
public:
    static constexpr u32 kId = FourCC("phyx");
    static constexpr float kStep = 0.016f;

    Physics();
    ~Physics() override;

    void LoadConfig(Serializer* config) override;
    void Initialize() override;
    void Update(f32 dt) override;
    void Shutdown() override;
    std::string GetName() const override { return "Physics"; }
    u32 GetId() const override { return kId; }

    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);
    void OnShowDebugUpdated(bool show);
    void OnRequestBackgroundLoadTargets(std::vector<FunctionRef>* targets);
    // The level loader's job (its thread): build the grid, then use it.
    void OnLevelLoaded();

    const PhysicsSettings& GetSettings() const { return m_settings; }
    // Takes effect at the next step, before or after Initialize.
    void SetSettings(const PhysicsSettings& settings);
    RigidBodyIntegrator& GetIntegrator() { return m_integrator; }
    CollisionWorld& GetCollisionWorld() { return m_world; }
    float GetAccumulator() const { return m_accumulator; }

private:
    ObjectManager* Objects() const;
    void Unsubscribe();

    RigidBodyIntegrator m_integrator;
    CollisionWorld m_world;
    PhysicsSettings m_settings;
    float m_accumulator = 0.0f;
    bool m_showDebug = false;

    FunctionRef m_onCreated;
    FunctionRef m_onDestroyed;
    FunctionRef m_onShowDebug;
    FunctionRef m_onRequestTargets;
    bool m_subscribed = false;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::Physics);
