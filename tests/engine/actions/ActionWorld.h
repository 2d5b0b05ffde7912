#pragma once
// A headless world for the action tests: the component world (real factory,
// object manager, core system, archetypes from XML) plus the logic system,
// recorders of the messages the actions send, and Step(dt), one frame of the
// object manager and the logic system followed by a plain Euler move of
// every body (Pos += Vel * dt) standing in for the physics step.

#include "tests/engine/components/ComponentWorld.h"

#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/ActionBase.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/LogicSystem.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"

#include <string>
#include <vector>

namespace Ostrel::ActionTest {

using ComponentTest::ComponentWorld;

// Records every message it was subscribed to, in order, with its first
// argument as text where there is one.
struct Recorder {
    void OnTakeDamage(float damage) { events.push_back("TakeDamage " + std::to_string(int(damage))); }
    void OnStartColorFlash() { events.push_back("StartColorFlash"); }
    void OnUpdatePlayerAnimation() { events.push_back("UpdatePlayerAnimation"); }
    void OnReachedTarget() { events.push_back("ReachedTarget"); }
    void OnLostOrbitTarget() { events.push_back("LostOrbitTarget"); }
    void OnPlaySound(std::string* name) { events.push_back("PlaySound " + (name ? *name : "?")); }
    void OnAddVibrate(float seconds, short left, short right) {
        events.push_back("AddVibrate " + std::to_string(seconds).substr(0, 3) + " " + std::to_string(left) + " " +
                         std::to_string(right));
    }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& e : events) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }
    std::vector<std::string> events;
};

class ActionWorld : public ComponentWorld {
public:
    explicit ActionWorld(const std::string& archetypes) : ComponentWorld(archetypes) {
        engine.AddSystem(&logic);
        logic.Initialize();
        core.Listen("PlaySound", MakeDelegate(&global, &Recorder::OnPlaySound));
        core.Listen("AddVibrate", MakeDelegate(&global, &Recorder::OnAddVibrate));
    }
    ~ActionWorld() { logic.Shutdown(); }

    // A live object whose local messages of interest are recorded in local.
    Composition* Spawn(const std::string& archetype) {
        Composition* object = Create(archetype);
        if (!object) return nullptr;
        object->Listen("TakeDamage", MakeDelegate(&local, &Recorder::OnTakeDamage));
        object->Listen("StartColorFlash", MakeDelegate(&local, &Recorder::OnStartColorFlash));
        object->Listen("UpdatePlayerAnimation", MakeDelegate(&local, &Recorder::OnUpdatePlayerAnimation));
        object->Listen("ReachedTarget", MakeDelegate(&local, &Recorder::OnReachedTarget));
        object->Listen("LostOrbitTarget", MakeDelegate(&local, &Recorder::OnLostOrbitTarget));
        return object;
    }

    // Hands the action to the object's brain (it starts at once).
    template <class A>
    A* Add(Composition* object, A* action) {
        action->SetOwner(object->GetId());
        object->GetComponentAs<BrainComponent>()->AddAction(action);
        return action;
    }

    void Step(f32 dt) {
        objects.Update(dt);
        logic.Update(dt);
        for (u32 id : objects.GetLiveObjects()) {
            Composition* object = objects.GetObject(id);
            auto* movement = object->GetComponentAs<MovementComponent>();
            if (movement && object->GetTransform()) {
                object->GetTransform()->SetPosition(object->GetTransform()->GetPosition() +
                                                    movement->GetVelocity() * dt);
            }
        }
    }

    static Vec3 Pos(Composition* o) { return o->GetTransform()->GetPosition(); }
    static Vec3 Vel(Composition* o) { return o->GetComponentAs<MovementComponent>()->GetVelocity(); }
    static void SetVel(Composition* o, const Vec3& v) { o->GetComponentAs<MovementComponent>()->SetVelocity(v); }

    LogicSystem logic;
    Recorder global;
    Recorder local;
};

// A body with a brain: transform, movement (no gravity or drag) and messages.
inline const char kBodies[] = R"(
<body-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
</body-obj>
<marker-obj>
    <TransformComponent><PosX>10</PosX><PosZ>0</PosZ></TransformComponent>
    <MessageComponent/>
</marker-obj>
<damage-enemy-fx>
    <TransformComponent><PosY>2</PosY></TransformComponent>
</damage-enemy-fx>
)";

}  // namespace Ostrel::ActionTest
