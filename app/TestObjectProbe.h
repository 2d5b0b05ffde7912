#pragma once
// A check for automated runs: when TAVRIN_TEST_OBJECT names an archetype,
// the probe makes one object from it when the first state begins and follows
// it through the engine, writing one log line per step:
//   "Test object <id> created from '<archetype>'"
//   "Test object <id> announced"                      ("ObjectCreated")
//   "Test action of object <id> ran 3 steps"          (its brain, if any)
//   "Test object <id> destroyed and announced"        ("ObjectDestroyed")
// With a BrainComponent the object's brain runs a small action that destroys
// the object after three steps; without one it is destroyed once announced.
// Unset (a normal run), the probe does nothing at all.
//
// The probe listens on the global messages from its construction (after the
// systems, before the run) to its destruction (before the systems).

#include "engine/base/Types.h"
#include "engine/core/VariantFunction.h"

#include <string>

namespace Ostrel {

class Engine;

class TestObjectProbe {
public:
    explicit TestObjectProbe(Engine& engine);
    ~TestObjectProbe();
    TestObjectProbe(const TestObjectProbe&) = delete;
    TestObjectProbe& operator=(const TestObjectProbe&) = delete;

    void OnStateBegin();
    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);

private:
    void Listen(bool on);

    Engine& m_engine;
    std::string m_archetype;
    u32 m_id = 0;
    bool m_created = false;
    FunctionRef m_onStateBegin;
    FunctionRef m_onCreated;
    FunctionRef m_onDestroyed;
};

}  // namespace Ostrel
