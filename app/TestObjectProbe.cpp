#include "app/TestObjectProbe.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/ActionBase.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/base/Log.h"

#include <cstdio>
#include <cstdlib>

namespace Ostrel {

namespace {

constexpr int kInfoLevel = 1;
constexpr int kTestSteps = 3;

ObjectManager* Objects(Engine& engine) { return static_cast<ObjectManager*>(engine.GetObjectManager()); }

void Report(const std::string& line) { LogMessage(line + "\n", kInfoLevel); }

// The fitted collision volume, so a run shows what the collider made of its mesh.
void ReportCollider(u32 id, const Composition* object) {
    const auto* collider = object ? object->GetComponentAs<CollisionComponent>() : nullptr;
    if (!collider) return;
    const BoundingVolume& v = collider->GetVolume();
    char text[160];
    std::snprintf(text, sizeof text, "Test object %u collider: kind %u, size %.3f %.3f %.3f", id, v.kind,
                  double(v.size.x), double(v.size.y), double(v.size.z));
    Report(text);
}

// The tile grid of a mesh with a palette, so a run shows the palette and the
// tile text were read.
void ReportTiles(u32 id, const Composition* object) {
    const auto* mesh = object ? object->GetComponentAs<MeshComponent>() : nullptr;
    if (!mesh || !mesh->HasPalette()) return;
    std::string cells;
    // Appended piece by piece: " " + a number made GCC's Release build warn
    // (-Wrestrict) of an overlapping copy that cannot happen.
    for (s32 cell : mesh->GetGrid()) {
        cells += ' ';
        cells += std::to_string(cell);
    }
    Report("Test object " + std::to_string(id) + " tiles: " + std::to_string(mesh->GetTilesX()) + " x " +
           std::to_string(mesh->GetTilesY()) + " from '" + mesh->GetTilePaletteName() + "':" + cells);
}

// Destroys its object after a few steps of the brain.
class TestAction : public ActionBase {
public:
    int OnUpdate(f32) override {
        if (++m_steps < kTestSteps) return kActionRunning;
        Report("Test action of object " + std::to_string(GetOwner()) + " ran " + std::to_string(m_steps) +
               " steps");
        if (Engine* engine = Engine::Instance())
            if (ObjectManager* objects = Objects(*engine)) objects->DestroyObject(GetOwner());
        return kActionFinished;
    }

private:
    int m_steps = 0;
};

}  // namespace

TestObjectProbe::TestObjectProbe(Engine& engine) : m_engine(engine) {
    const char* archetype = std::getenv("TAVRIN_TEST_OBJECT");
    if (!archetype || !*archetype) return;
    m_archetype = archetype;
    m_onStateBegin = MakeDelegate(this, &TestObjectProbe::OnStateBegin);
    m_onCreated = MakeDelegate(this, &TestObjectProbe::OnObjectCreated);
    m_onDestroyed = MakeDelegate(this, &TestObjectProbe::OnObjectDestroyed);
    Listen(true);
}

TestObjectProbe::~TestObjectProbe() {
    if (!m_archetype.empty()) Listen(false);
}

void TestObjectProbe::Listen(bool on) {
    CoreSystem* core = m_engine.GetCoreSystem();
    if (!core) return;
    if (on) {
        core->Listen("StateBegin", m_onStateBegin);
        core->Listen("ObjectCreated", m_onCreated);
        core->Listen("ObjectDestroyed", m_onDestroyed);
    } else {
        core->Unlisten("StateBegin", m_onStateBegin);
        core->Unlisten("ObjectCreated", m_onCreated);
        core->Unlisten("ObjectDestroyed", m_onDestroyed);
    }
}

void TestObjectProbe::OnStateBegin() {
    ObjectManager* objects = Objects(m_engine);
    if (m_created || !objects) return;
    m_created = true;
    m_id = objects->CreateObject(m_archetype, nullptr);
    if (m_id == 0) {
        Report("Test object could not be created from '" + m_archetype + "'");
        return;
    }
    Report("Test object " + std::to_string(m_id) + " created from '" + m_archetype + "'");
}

void TestObjectProbe::OnObjectCreated(u32 id) {
    if (m_id == 0 || id != m_id) return;
    Report("Test object " + std::to_string(id) + " announced");
    ObjectManager* objects = Objects(m_engine);
    Composition* object = objects ? objects->GetObject(id) : nullptr;
    ReportCollider(id, object);
    ReportTiles(id, object);
    if (BrainComponent* brain = GetBrainComponentOf(object)) {
        auto* action = new TestAction;
        action->SetOwner(id);
        brain->AddAction(action);
    } else if (objects) {
        objects->DestroyObject(id);
    }
}

void TestObjectProbe::OnObjectDestroyed(u32 id) {
    if (m_id == 0 || id != m_id) return;
    Report("Test object " + std::to_string(id) + " destroyed and announced");
}

}  // namespace Ostrel
