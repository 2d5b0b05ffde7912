#include "engine/physics/Physics.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/base/Serializer.h"
#include "engine/io/DataValue.h"

LV_REFLECT_CLASS(Ostrel::Physics);
LV_REFLECT_VALUE(Ostrel::CollisionData);

namespace Ostrel {

Physics::Physics() = default;

Physics::~Physics() { Unsubscribe(); }

ObjectManager* Physics::Objects() const {
    Engine* engine = m_engine ? m_engine : Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

void Physics::LoadConfig(Serializer* config) {
    if (!config) return;
    config->SerializeFloat("GRAVITY", &m_settings.gravity);
    // Drag scales the velocity every step: a negative factor would flip it.
    SerializeValue(*config, "DRAG", &m_settings.drag, NonNegative<float>());
    config->SerializeBool("RK4", &m_settings.rk4);
    config->SerializeBool("DRAW_COLLISION", &m_settings.drawCollision);
}

void Physics::Initialize() {
    CoreSystem* core = m_engine ? m_engine->GetCoreSystem() : nullptr;
    if (core && !m_subscribed) {
        m_onCreated = MakeDelegate(this, &Physics::OnObjectCreated);
        m_onDestroyed = MakeDelegate(this, &Physics::OnObjectDestroyed);
        m_onShowDebug = MakeDelegate(this, &Physics::OnShowDebugUpdated);
        m_onRequestTargets = MakeDelegate(this, &Physics::OnRequestBackgroundLoadTargets);
        core->Listen("ObjectCreated", m_onCreated);
        core->Listen("ObjectDestroyed", m_onDestroyed);
        core->Listen("ShowDebugUpdated", m_onShowDebug);
        core->Listen("RequestBackgroundLoadTargets", m_onRequestTargets);
        m_subscribed = true;
    }
    m_integrator.SetSettings(m_settings);
    m_integrator.ResetTime();
    m_integrator.SetObjectManager(Objects());
    m_world.SetObjectManager(Objects());
    m_showDebug = false;
}

void Physics::SetSettings(const PhysicsSettings& settings) {
    m_settings = settings;
    m_integrator.SetSettings(settings);
}

void Physics::Shutdown() { Unsubscribe(); }

void Physics::Unsubscribe() {
    if (!m_subscribed) return;
    m_subscribed = false;
    // In teardown the engine, and with it the table, may already be gone.
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (!core) return;
    core->Unlisten("ObjectCreated", m_onCreated);
    core->Unlisten("ObjectDestroyed", m_onDestroyed);
    core->Unlisten("ShowDebugUpdated", m_onShowDebug);
    core->Unlisten("RequestBackgroundLoadTargets", m_onRequestTargets);
}

void Physics::OnObjectCreated(u32 id) {
    ObjectManager* objects = Objects();
    Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (!object) return;
    if (object->GetComponentAs<MovementComponent>()) m_integrator.AddBody(id);
    if (object->GetComponentAs<CollisionComponent>()) m_world.Add(id);
}

void Physics::OnObjectDestroyed(u32 id) {
    ObjectManager* objects = Objects();
    Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (!object) return;
    if (object->GetComponentAs<MovementComponent>()) m_integrator.RemoveBody(id);
    if (object->GetComponentAs<CollisionComponent>()) m_world.Remove(id);
}

void Physics::OnShowDebugUpdated(bool show) { m_showDebug = show; }

void Physics::OnRequestBackgroundLoadTargets(std::vector<FunctionRef>* targets) {
    if (targets) targets->push_back(MakeDelegate(this, &Physics::OnLevelLoaded));
}

void Physics::OnLevelLoaded() {
    m_world.BuildStaticGrid();
    m_world.SetGridReady();
}

void Physics::Update(f32 dt) {
    m_accumulator += dt;
    bool stepped = false;
    while (m_accumulator >= kStep) {
        m_integrator.Step(kStep, stepped);
        stepped = true;
        m_accumulator -= kStep;
    }
    if (stepped) {
        m_world.Detect();
        m_world.Dispatch();
    }
    if (m_settings.drawCollision || m_showDebug) m_world.DebugDraw();
}

}  // namespace Ostrel
