#pragma once
// The headless world of the game tests: the real factory with every
// component type, the object manager, the core and logic systems, an
// optional physics system, archetypes and property pages from XML texts, a
// recorder of local and global messages, and Step(dt), one frame of the
// systems in the game's update order (objects, physics, logic).
//
// Messages are recorded by observing a table (never by listening: the
// listeners of one name must share argument types). Each recorded send is
// one line "Name(arg, arg)" (DescribeSend), in the order sent.

#include "tests/engine/components/ComponentWorld.h"

#include "game/common/LogOnce.h"

#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/ActionList.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/IAction.h"
#include "engine/core/LogicSystem.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/MessageTrace.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Vec3.h"
#include "engine/io/PropertyManager.h"
#include "engine/io/SerializerXML.h"
#include "engine/physics/CollisionData.h"
#include "engine/physics/Physics.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace Vandle::GameTest {

using namespace Ostrel;

// One recorded send.
struct Sent {
    u32 object;  // 0 for a global message
    std::string text;  // "Name(arg, arg)"
};

// Records every send on one message table whose name it wants (all names
// when none were given), as DescribeSend's text.
class SendRecorder final : public MessageListenerTable::SendObserver {
public:
    SendRecorder(std::vector<Sent>* sink, u32 object, std::vector<std::string> names)
        : m_sink(sink), m_object(object), m_names(std::move(names)) {}
    bool Wants(std::string_view name) const override {
        if (m_names.empty()) return true;
        for (const std::string& wanted : m_names)
            if (wanted == name) return true;
        return false;
    }
    void OnSend(std::string_view name, const VariantList& arguments) override {
        m_sink->push_back({m_object, DescribeSend(name, arguments)});
    }

private:
    std::vector<Sent>* m_sink;
    u32 m_object;
    std::vector<std::string> m_names;
};

struct GameOptions {
    bool physics = false;
    PhysicsSettings physicsSettings{};
};

// A player archetype that holds still where it is put: no gravity or drag,
// 100 health, a brain for the damage and knockback actions.
inline constexpr char kStillPlayerArchetype[] = R"(
<player-obj>
    <TransformComponent/>
    <MovementComponent><Gravity>0</Gravity><Drag>0</Drag></MovementComponent>
    <MessageComponent/>
    <BrainComponent/>
    <HealthComponent><Health>100</Health></HealthComponent>
    <PlayerComponent/>
</player-obj>
)";

class GameFixture : public ComponentTest::ComponentWorld {
public:
    explicit GameFixture(const std::string& archetypes, const GameOptions& options = {})
        : ComponentWorld(archetypes) {
        // Gaps logged once are reported again in each fresh world.
        Vandle::ForgetReports();
        if (options.physics) {
            physics = std::make_unique<Physics>();
            engine.AddSystem(physics.get());
            physics->SetSettings(options.physicsSettings);
            physics->Initialize();
        }
        engine.AddSystem(&logic);
        logic.Initialize();
    }
    ~GameFixture() {
        // Objects go first, while the taps and systems they talk to exist.
        objects.Shutdown();
        core.GetTable().SetObserver(nullptr);
        logic.Shutdown();
        if (physics) physics->Shutdown();
    }

    // A live object at the given position (the archetype's position is
    // replaced), announced at once so that the logic system (and physics)
    // steps it from the next Step.
    Composition* Spawn(const std::string& archetype, const Vec3& at) {
        Composition* object = Create(archetype);
        if (!object) return nullptr;
        if (TransformComponent* transform = object->GetTransform()) transform->SetPosition(at);
        objects.Update(0.0f);
        return object;
    }
    Composition* Spawn(const std::string& archetype) {
        Composition* object = Create(archetype);
        if (object) objects.Update(0.0f);
        return object;
    }

    // Fills a property page from the text of an ".xpro" file.
    void AddPropertyPage(const std::string& page, const std::string& xml) {
        const std::string path = ComponentTest::WriteScratchFile(page + ".xpro", xml);
        SerializerXML(true).LoadProperties(path, properties.AddPage(page));
    }

    // One frame of the systems, in the game's update order.
    void Step(f32 dt) {
        objects.Update(dt);
        if (physics) physics->Update(dt);
        logic.Update(dt);
    }
    // Steps of dt for seconds (rounded to whole steps).
    void Run(f32 seconds, f32 dt = 1.0f / 60.0f) {
        const long steps = std::lround(double(seconds) / double(dt));
        for (long i = 0; i < steps; ++i) Step(dt);
    }

    // Hands the action to the object's brain (it starts at once).
    template <class A>
    A* AddAction(Composition* object, A* action, u32 lane = 0) {
        action->SetOwner(object->GetId());
        action->SetLane(lane);
        object->GetComponentAs<BrainComponent>()->AddAction(action);
        return action;
    }

    // Records the sends on the object's own table (the named messages, or
    // all), in the order sent, before any receiver runs.
    void Record(Composition* object, std::vector<std::string> names = {}) {
        MessageListenerTable* table = GetObjectMessageTable(object);
        if (!table) return;
        m_recorders.push_back(std::make_unique<SendRecorder>(&sent, object->GetId(), std::move(names)));
        table->SetObserver(m_recorders.back().get());
    }
    // Records the sends of the named global messages (or all of them).
    void RecordGlobal(std::vector<std::string> names = {}) {
        m_recorders.push_back(std::make_unique<SendRecorder>(&sent, 0u, std::move(names)));
        core.GetTable().SetObserver(m_recorders.back().get());
    }

    // The recorded sends of one object (0: the global ones), in order.
    std::vector<std::string> SentTo(u32 object) const {
        std::vector<std::string> texts;
        for (const Sent& s : sent)
            if (s.object == object) texts.push_back(s.text);
        return texts;
    }
    std::vector<std::string> SentTo(const Composition* object) const { return SentTo(object->GetId()); }
    int Count(const std::string& text) const {
        int n = 0;
        for (const Sent& s : sent) n += s.text == text ? 1 : 0;
        return n;
    }

    // Whether the id names a live object (IsValid also answers true for a
    // destroyed object until its slot is reused).
    bool Alive(u32 id) const { return objects.GetObject(id) != nullptr; }

    static Vec3 PositionOf(const Composition* object) { return object->GetTransform()->GetPosition(); }

    PropertyManager properties;
    LogicSystem logic;
    std::unique_ptr<Physics> physics;
    std::vector<Sent> sent;

private:
    std::vector<std::unique_ptr<SendRecorder>> m_recorders;
};

// Reads a room's objects into a list it owns.
class RoomObjects final : public Ostrel::RoomTarget {
public:
    explicit RoomObjects(Ostrel::CompositionFactory& factory) : m_factory(factory) {}
    ~RoomObjects() {
        for (Composition* object : objects) m_factory.Destroy(object);
    }
    void ReadAttributes(Ostrel::Serializer&) override {}
    void AppendObject(Ostrel::Composition* object) override { objects.push_back(object); }
    std::vector<Ostrel::Composition*> objects;

private:
    Ostrel::CompositionFactory& m_factory;
};

}  // namespace Vandle::GameTest
