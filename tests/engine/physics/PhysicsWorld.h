#pragma once
// A headless world for the physics tests: the component world of the stock
// component tests plus the Physics system, frames driven by hand, a
// recorder of each object's "CollisionData" and of debug outlines.

#include "tests/engine/components/ComponentWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/core/MessageComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/DebugVolume.h"
#include "engine/physics/Physics.h"

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace Ostrel::PhysicsTest {

// Every "CollisionData" an object received, in order.
class Inbox {
public:
    void OnCollisionData(CollisionData* data) { received.push_back(*data); }
    std::vector<CollisionData> received;
};

struct DrawnVolume {
    u32 kind;
    Vec3 centre;
    Vec3 size;
    u8 red, green, blue;
};

inline std::vector<DrawnVolume>& DrawnVolumes() {
    static std::vector<DrawnVolume> s_drawn;
    return s_drawn;
}

inline void RecordVolume(u32 kind, const Vec3& centre, const Vec3& size, u8 r, u8 g, u8 b, u8) {
    DrawnVolumes().push_back({kind, centre, size, r, g, b});
}

// The eight corners and six face points of a sphere's bounds of the given
// diameter, centred on the origin.
inline std::vector<Vec3> SpherePoints(float diameter) {
    std::vector<Vec3> points = ComponentTest::BoxCorners(Vec3(diameter, diameter, diameter) * 0.5f);
    for (int axis = 0; axis < 3; ++axis) {
        for (float s : {-0.5f, 0.5f}) {
            Vec3 p;
            p[axis] = s * diameter;
            points.push_back(p);
        }
    }
    return points;
}

class PhysicsWorld : public ComponentTest::ComponentWorld {
public:
    explicit PhysicsWorld(const std::string& archetypes, const PhysicsSettings& settings = {})
        : ComponentWorld(archetypes), m_previousDrawer(InstallDebugVolumeDrawer(&RecordVolume)) {
        DrawnVolumes().clear();
        meshes.meshes["Sphere"] = SpherePoints(1.0f);
        engine.AddSystem(&physics);
        physics.SetSettings(settings);
        physics.Initialize();
    }
    ~PhysicsWorld() {
        physics.Shutdown();
        InstallDebugVolumeDrawer(m_previousDrawer);
    }

    // A live object announced to physics (the object manager's update sends
    // "ObjectCreated"), at the given position.
    Composition* Spawn(const std::string& archetype, const Vec3& at) {
        Composition* object = Create(archetype);
        if (!object) return nullptr;
        if (TransformComponent* transform = object->GetTransform()) transform->SetPosition(at);
        objects.Update(0.0f);
        return object;
    }

    // Records the object's "CollisionData" from now on.
    Inbox& Watch(Composition* object) {
        auto& inbox = m_inboxes[object->GetId()];
        if (!inbox) {
            inbox = std::make_unique<Inbox>();
            object->Listen("CollisionData", MakeDelegate(inbox.get(), &Inbox::OnCollisionData));
        }
        return *inbox;
    }

    // One engine frame of the two systems that matter here.
    void Frame(float dt) {
        objects.Update(dt);
        physics.Update(dt);
    }

    // What the level loader does: collect the jobs on the main thread, run
    // them on its own thread. The caller joins before the next level load;
    // the jobs are released on the main thread.
    std::thread StartLevelLoad() {
        m_jobs.clear();
        core.SendMessageValues("RequestBackgroundLoadTargets", &m_jobs);
        return std::thread([jobs = &m_jobs] {
            for (const FunctionRef& job : *jobs) job->Call();
        });
    }

    void BuildGridOnLoaderThread() { StartLevelLoad().join(); }

    static Vec3 PositionOf(Composition* object) { return object->GetTransform()->GetPosition(); }
    static Vec3 VelocityOf(Composition* object) {
        return object->GetComponentAs<MovementComponent>()->GetVelocity();
    }

    Physics physics;

private:
    std::map<u32, std::unique_ptr<Inbox>> m_inboxes;
    std::vector<FunctionRef> m_jobs;
    DebugVolumeDrawer m_previousDrawer;
};

}  // namespace Ostrel::PhysicsTest
