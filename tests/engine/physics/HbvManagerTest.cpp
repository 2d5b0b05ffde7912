#include "tests/engine/components/ComponentWorld.h"

#include "engine/components/MeshComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Matrix4.h"
#include "engine/physics/HbvManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

namespace Ostrel::ComponentTest {
namespace {

const char kArchetypes[] = R"(
<cube-obj><TransformComponent/><MeshComponent><MeshID>Cube</MeshID></MeshComponent></cube-obj>
<hidden-obj><TransformComponent/><MeshComponent><MeshID>Cube</MeshID><Visible>0</Visible></MeshComponent></hidden-obj>
<scaffold-obj><TransformComponent/><MeshComponent><MeshID>Cube</MeshID><Scaffolding>1</Scaffolding></MeshComponent></scaffold-obj>
<important-obj><TransformComponent/><MeshComponent><MeshID>Cube</MeshID><IsImportant>1</IsImportant></MeshComponent></important-obj>
<mover-obj><TransformComponent/><MovementComponent/><MeshComponent><MeshID>Cube</MeshID></MeshComponent></mover-obj>
<barrel-obj><TransformComponent/><DestructibleComponent/><MeshComponent><MeshID>Cube</MeshID></MeshComponent></barrel-obj>
<loose-obj><MeshComponent><MeshID>Cube</MeshID></MeshComponent></loose-obj>
<nameless-obj><TransformComponent/><MeshComponent><MeshID>no-such-mesh</MeshID></MeshComponent></nameless-obj>
)";

struct Level {
    ComponentWorld world{kArchetypes};
    HbvManager hbv;
    std::vector<FunctionRef> jobs;
    std::vector<std::pair<u32, Vec3>> cubes;  // mesh handle, position
    std::set<u32> excluded;

    Level() { hbv.Initialize(); }
    ~Level() { hbv.Shutdown(); }

    // A new object announced at once (as the object manager's next update
    // does for CreateObject), placed at position.
    u32 Place(const std::string& archetype, const Vec3& position) {
        Composition* object = world.Create(archetype);
        if (auto* transform = object->GetTransform()) transform->SetPosition(position);
        world.objects.Update(0.0f);
        return object->GetComponentAs<MeshComponent>()->GetHandle();
    }
    // 200 unit cubes, 20 along x and 10 along z, 3 apart.
    void PlaceCubeGrid() {
        for (int i = 0; i < 200; ++i) {
            const Vec3 p(3.0f * (i % 20), 0.0f, 3.0f * (i / 20));
            cubes.push_back({Place("cube-obj", p), p});
        }
    }
    void PlaceExcluded() {
        for (const char* name : {"hidden-obj", "scaffold-obj", "important-obj", "mover-obj", "barrel-obj",
                                 "loose-obj", "nameless-obj"})
            excluded.insert(Place(name, Vec3(3, 0, 3)));
    }
    // The loader's side: collect the jobs on this thread, run them on another.
    std::thread StartBuild() {
        jobs.clear();
        world.core.SendMessageValues("RequestBackgroundLoadTargets", &jobs);
        return std::thread([this] {
            for (const FunctionRef& job : jobs) job->Call();
        });
    }
};

void CameraMatrices(const Vec3& eye, const Vec3& at, Matrix4* view, Matrix4* projection) {
    LookAtMatrix(*view, eye, at, Vec3(0, 1, 0));
    PerspectiveMatrix(*projection, 3.1415927f * 0.33f, 1.0f, 5000.0f, 640, 480);
}

TEST(HbvManager, ALevelOfStaticCubesAnswersWhatTheCameraSees) {
    Level level;
    level.world.core.Send("LevelLoadStarted");
    EXPECT_TRUE(level.hbv.IsCollecting());
    level.PlaceCubeGrid();
    level.PlaceExcluded();
    level.world.core.Send("LevelLoaded");
    EXPECT_FALSE(level.hbv.IsCollecting());
    level.Place("cube-obj", Vec3(0, 0, 0));  // made after the level loaded: never added
    level.StartBuild().join();
    EXPECT_EQ(level.hbv.GetObjectCount(), 200u);

    struct View {
        Vec3 eye, at;
    } views[] = {{{-5, 2, -5}, {0, 0, 0}},   {{-5, 2, -5}, {10, 0, 10}}, {{28, 40, 13}, {28, 0, 14}},
                 {{60, 1, 30}, {0, 0, 0}},   {{28, 1, 13}, {28, 1, 100}}, {{-20, 1, 13}, {-40, 1, 13}}};
    for (const View& v : views) {
        Matrix4 view, projection;
        CameraMatrices(v.eye, v.at, &view, &projection);
        std::vector<u32> found;
        level.hbv.Query(found, view, projection);
        const std::set<u32> seen(found.begin(), found.end());
        const auto planes = FrustumPlanes(view * projection);
        int visible = 0;
        for (const auto& [handle, p] : level.cubes) {
            if (BoxOutsideAnyPlane(planes, p - Vec3(0.5f, 0.5f, 0.5f), p + Vec3(0.5f, 0.5f, 0.5f))) continue;
            ++visible;
            EXPECT_EQ(seen.count(handle), 1u) << "camera at " << v.eye.x << "," << v.eye.z;
        }
        for (u32 handle : found) EXPECT_EQ(level.excluded.count(handle), 0u);
        EXPECT_LE(found.size(), static_cast<std::size_t>(visible) + 20) << "culls close to the frustum";
    }
    // Looking away from the whole level gives nothing.
    Matrix4 view, projection;
    CameraMatrices(Vec3(-20, 1, 13), Vec3(-40, 1, 13), &view, &projection);
    std::vector<u32> found{1};
    level.hbv.Query(found, view, projection);
    EXPECT_TRUE(found.empty());

    // A new level starts from nothing.
    level.world.core.Send("LevelLoadStarted");
    EXPECT_EQ(level.hbv.GetObjectCount(), 0u);
}

TEST(HbvManager, EmptyLevelsQueriesBeforeTheFirstLevelAndDebugKeys) {
    Level level;
    Matrix4 view, projection;
    CameraMatrices(Vec3(-5, 2, -5), Vec3(0, 0, 0), &view, &projection);
    std::vector<u32> found{1, 2};
    level.hbv.Query(found, view, projection);
    EXPECT_TRUE(found.empty()) << "before the first level";

    level.world.core.Send("LevelLoadStarted");
    level.world.core.Send("LevelLoaded");
    level.StartBuild().join();
    level.hbv.Query(found, view, projection);
    EXPECT_TRUE(found.empty());

    // While inactive no level is collected.
    level.hbv.SetActive(false);
    level.world.core.Send("LevelLoadStarted");
    level.PlaceCubeGrid();
    EXPECT_EQ(level.hbv.GetObjectCount(), 0u);

    auto key = [&](int code, bool pressed) { level.world.core.SendMessageValues("KeyTriggered", code, pressed); };
    key(188, true);
    EXPECT_EQ(level.hbv.GetDebugDepth(), 0);
    key(190, true);
    key(190, true);
    key(190, false);
    EXPECT_EQ(level.hbv.GetDebugDepth(), 2);
    key(188, true);
    EXPECT_EQ(level.hbv.GetDebugDepth(), 1);
}

// The build runs on the loader's thread while this thread keeps making
// objects and asking for the view: each answer is either empty (the build
// holds the tree) or the whole answer. Run under ThreadSanitizer by hand.
TEST(HbvManager, QueriesWhileTheLoaderBuildsAreSafe) {
    Level level;
    level.world.core.Send("LevelLoadStarted");
    level.PlaceCubeGrid();
    level.world.core.Send("LevelLoaded");
    Matrix4 view, projection;
    CameraMatrices(Vec3(28, 80, 13), Vec3(28, 0, 14), &view, &projection);

    std::thread loader = level.StartBuild();
    std::vector<u32> found;
    for (int i = 0; i < 200; ++i) {
        level.hbv.Query(found, view, projection);
        EXPECT_TRUE(found.empty() || found.size() == 200u) << found.size();
        if (i % 20 == 0) level.Place("cube-obj", Vec3(1000, 0, 0));
    }
    loader.join();
    level.hbv.Query(found, view, projection);
    EXPECT_EQ(found.size(), 200u);
}

}  // namespace
}  // namespace Ostrel::ComponentTest
