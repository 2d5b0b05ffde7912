#include "tests/engine/physics/PhysicsWorld.h"

#include "engine/core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace Ostrel {
namespace {

using PhysicsTest::Inbox;
using PhysicsTest::PhysicsWorld;

// "block": a static-list unit box; "crate": a unit box with movement;
// "ball": a sphere of size 1 (radius 0.5) with movement; "mute": a crate
// without a MessageComponent; "slab": a 20 x 1 x 20 static floor. Every
// collider takes every flag; tests clear the ones they need cleared.
const char* const kColliders = R"(
<block>
    <TransformComponent />
    <MessageComponent />
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <CollisionComponent>
        <Static>1</Static>
        <CollideWithDynamics>1</CollideWithDynamics><CollideWithStatics>1</CollideWithStatics>
        <ResolveWithDynamics>1</ResolveWithDynamics><ResolveWithStatics>1</ResolveWithStatics>
    </CollisionComponent>
</block>
<crate>
    <TransformComponent />
    <MessageComponent />
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MovementComponent />
    <CollisionComponent>
        <Static>0</Static>
        <CollideWithDynamics>1</CollideWithDynamics><CollideWithStatics>1</CollideWithStatics>
        <ResolveWithDynamics>1</ResolveWithDynamics><ResolveWithStatics>1</ResolveWithStatics>
    </CollisionComponent>
</crate>
<ball>
    <TransformComponent />
    <MessageComponent />
    <MeshComponent><MeshID>Ball</MeshID></MeshComponent>
    <MovementComponent />
    <CollisionComponent>
        <ShapeName>SPHERE</ShapeName>
        <Static>0</Static>
        <CollideWithDynamics>1</CollideWithDynamics><CollideWithStatics>1</CollideWithStatics>
        <ResolveWithDynamics>1</ResolveWithDynamics><ResolveWithStatics>1</ResolveWithStatics>
    </CollisionComponent>
</ball>
<mute>
    <TransformComponent />
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MovementComponent />
    <CollisionComponent>
        <Static>0</Static>
        <CollideWithDynamics>1</CollideWithDynamics><CollideWithStatics>1</CollideWithStatics>
        <ResolveWithDynamics>1</ResolveWithDynamics><ResolveWithStatics>1</ResolveWithStatics>
    </CollisionComponent>
</mute>
<loose>
    <MessageComponent />
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MovementComponent />
    <CollisionComponent>
        <Static>0</Static>
        <CollideWithDynamics>1</CollideWithDynamics><CollideWithStatics>1</CollideWithStatics>
    </CollisionComponent>
</loose>
<slab>
    <TransformComponent><ScaX>20.0</ScaX><ScaZ>20.0</ScaZ></TransformComponent>
    <MessageComponent />
    <MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <CollisionComponent>
        <Static>1</Static>
        <CollideWithDynamics>1</CollideWithDynamics><ResolveWithDynamics>1</ResolveWithDynamics>
    </CollisionComponent>
</slab>
)";

class CollisionWorldTest : public ::testing::Test {
protected:
    CollisionWorldTest() : world(kColliders) {
        // A point cloud whose bounds have a diagonal of 2: a sphere of size 1.
        world.meshes.meshes["Ball"] = PhysicsTest::SpherePoints(2.0f / std::sqrt(3.0f));
    }

    CollisionWorld& Collision() { return world.physics.GetCollisionWorld(); }
    static CollisionComponent& Collider(Composition* object) { return *object->GetComponentAs<CollisionComponent>(); }
    static ColliderFlags& Flags(Composition* object) { return Collider(object).Flags(); }
    static float X(Composition* object) { return PhysicsWorld::PositionOf(object).x; }

    // One detection and dispatch, as a physics frame runs them.
    void DetectAndDispatch() {
        Collision().Detect();
        Collision().Dispatch();
    }

    PhysicsWorld world;
};

TEST(CollisionFlags, CollideFlagsDecideTheReportAndResolveFlagsThePush) {
    struct Case {
        const char* what;
        ColliderFlags a, b;
        bool reported, resolved;
    };
    // Flags: Static, CollideWithDynamics, CollideWithStatics, ResolveWithDynamics, ResolveWithStatics.
    const Case cases[] = {
        {"dynamic on static, all allowed", {false, 1, 1, 1, 1}, {true, 1, 0, 1, 0}, true, true},
        {"static lacks CollideWithDynamics", {false, 1, 1, 1, 1}, {true, 0, 0, 1, 0}, false, false},
        {"dynamic lacks CollideWithStatics", {false, 1, 0, 1, 1}, {true, 1, 0, 1, 0}, false, false},
        {"dynamic lacks ResolveWithStatics", {false, 1, 1, 1, 0}, {true, 1, 0, 1, 0}, true, false},
        {"static lacks ResolveWithDynamics", {false, 1, 1, 1, 1}, {true, 1, 0, 0, 0}, true, false},
        {"two dynamics, one refuses to resolve", {false, 1, 0, 1, 0}, {false, 1, 0, 0, 0}, true, false},
        {"two dynamics, one refuses to collide", {false, 1, 0, 1, 0}, {false, 0, 0, 1, 0}, false, false},
        {"two statics that take statics", {true, 0, 1, 0, 1}, {true, 0, 1, 0, 1}, true, true},
        {"two statics without the flag", {true, 1, 0, 1, 0}, {true, 1, 0, 1, 0}, false, false},
    };
    for (const Case& c : cases) {
        for (bool swapped : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (swapped ? " (B first)" : ""));
            PhysicsWorld fresh(kColliders);
            Composition* a = fresh.Spawn("crate", Vec3(0, 0, 0));
            Composition* b = fresh.Spawn("crate", Vec3(0.9f, 0, 0));
            a->GetComponentAs<CollisionComponent>()->Flags() = swapped ? c.b : c.a;
            b->GetComponentAs<CollisionComponent>()->Flags() = swapped ? c.a : c.b;
            Inbox& inboxA = fresh.Watch(a);
            Inbox& inboxB = fresh.Watch(b);
            fresh.physics.Update(0.016f);
            ASSERT_EQ(inboxA.received.size(), c.reported ? 1u : 0u);
            ASSERT_EQ(inboxB.received.size(), c.reported ? 1u : 0u);
            if (!c.reported) continue;
            EXPECT_EQ(inboxA.received[0].other, b->GetId());
            EXPECT_EQ(inboxB.received[0].other, a->GetId());
            EXPECT_EQ(inboxA.received[0].side, c.resolved ? 1 : kNoSide);
            EXPECT_EQ(inboxB.received[0].side, c.resolved ? 0 : kNoSide);
            const float gap = PhysicsWorld::PositionOf(b).x - PhysicsWorld::PositionOf(a).x;
            EXPECT_EQ(gap >= 1.0f - 1e-6f, c.resolved) << "resolved pairs end up touching";
        }
    }
}

TEST_F(CollisionWorldTest, ShapeTwoNeverOverlapsAndAnObjectWithoutMessagesIsPushedSilently) {
    Composition* odd = world.Spawn("crate", Vec3(0, 0, 0));
    Composition* other = world.Spawn("crate", Vec3(0.2f, 0, 0));
    Collider(odd).SetShape(kShapeNoOverlap);
    Inbox& inbox = world.Watch(other);
    DetectAndDispatch();
    EXPECT_TRUE(inbox.received.empty());
    EXPECT_EQ(X(other), 0.2f);

    Composition* mute = world.Spawn("mute", Vec3(0, 5, 0));
    Composition* loud = world.Spawn("crate", Vec3(0.9f, 5, 0));
    Inbox& loudInbox = world.Watch(loud);
    DetectAndDispatch();
    EXPECT_NEAR(X(mute), -0.05f, 1e-5f) << "resolved all the same";
    ASSERT_EQ(loudInbox.received.size(), 1u);
    EXPECT_EQ(loudInbox.received[0].side, 0);
}

TEST_F(CollisionWorldTest, CollidersWithoutATransformTakeNoPartInAnyMode) {
    Composition* loose = world.Spawn("loose", Vec3());
    Composition* crate = world.Spawn("crate", Vec3(0, 0, 0));
    Composition* slab = world.Spawn("slab", Vec3(0, 0, 0));
    EXPECT_EQ(Collision().GetAllIds().size(), 3u);
    EXPECT_EQ(Collision().GetDynamicCount(), 1u) << "only the crate";
    EXPECT_EQ(Collision().GetStaticCount(), 1u);
    EXPECT_NE(world.log.find("has no TransformComponent"), std::string::npos);
    Inbox& inbox = world.Watch(loose);
    PhysicsSettings settings;
    settings.drawCollision = true;
    world.physics.SetSettings(settings);
    for (bool grid : {false, true}) {
        if (grid) world.BuildGridOnLoaderThread();
        PhysicsTest::DrawnVolumes().clear();
        world.physics.Update(0.016f);
        EXPECT_TRUE(inbox.received.empty());
        EXPECT_EQ(PhysicsTest::DrawnVolumes().size(), 2u) << "outlines of the crate and the slab only";
    }
    (void)crate;
    (void)slab;
}

TEST_F(CollisionWorldTest, BoxPushesSplitTieToTheLowerAxisAndStopOnlyTheLanding) {
    // Equal overlap on x and y: x wins; neither Static, so each moves half.
    Composition* a = world.Spawn("crate", Vec3(0, 0, 0));
    Composition* b = world.Spawn("crate", Vec3(0.75f, 0.75f, 0));
    Inbox& inboxA = world.Watch(a);
    Inbox& inboxB = world.Watch(b);
    a->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(0, -3, 0));
    DetectAndDispatch();
    EXPECT_NEAR(X(a), -0.125f, 1e-6f);
    EXPECT_NEAR(X(b), 0.875f, 1e-6f);
    EXPECT_EQ(PhysicsWorld::PositionOf(b).y, 0.75f);
    EXPECT_EQ(inboxA.received.at(0).side, 1);
    EXPECT_EQ(inboxB.received.at(0).side, 0);
    EXPECT_EQ(PhysicsWorld::VelocityOf(a).y, -3.0f) << "no vertical push between two non-Static boxes";

    // A non-Static box landing on a Static one loses its vertical speed; the
    // Static one does not move.
    Composition* base = world.Spawn("block", Vec3(10, 0, 0));
    Composition* lander = world.Spawn("crate", Vec3(10.1f, 0.9f, 0));
    Composition* pusher = world.Spawn("crate", Vec3(8.9f + 0.2f, -5, 0));
    Composition* wall = world.Spawn("block", Vec3(10, -5, 0));
    for (Composition* moving : {lander, pusher}) {
        moving->GetComponentAs<MovementComponent>()->SetVelocity(Vec3(2, -4, 0));
    }
    DetectAndDispatch();
    EXPECT_EQ(PhysicsWorld::PositionOf(base), Vec3(10, 0, 0));
    EXPECT_NEAR(PhysicsWorld::PositionOf(lander).y, 1.0f, 1e-6f);
    EXPECT_EQ(PhysicsWorld::VelocityOf(lander), Vec3(2, 0, 0));
    EXPECT_NEAR(X(pusher), 9.0f, 1e-6f) << "pushed along x";
    EXPECT_EQ(PhysicsWorld::VelocityOf(pusher), Vec3(2, -4, 0)) << "a push along x keeps the velocity";
    EXPECT_EQ(PhysicsWorld::PositionOf(wall), Vec3(10, -5, 0));
}

TEST_F(CollisionWorldTest, SpherePairsTouchByTheirRulesAndTakeTheSideOfTheLargestPush) {
    // A unit box and a radius-0.5 sphere exactly touching do not overlap.
    Composition* box = world.Spawn("block", Vec3(0, 0, 0));
    Composition* ball = world.Spawn("ball", Vec3(1.0f, 0, 0));
    DetectAndDispatch();
    EXPECT_EQ(X(ball), 1.0f);

    // Sphere A left of a Static box B: A is pushed toward -x; B lies at +x
    // from A (side 1), A at -x from B (side 0).
    Composition* left = world.Spawn("ball", Vec3(20 - 0.9f, 0.1f, 0));
    Composition* wall = world.Spawn("block", Vec3(20, 0, 0));
    Inbox& leftInbox = world.Watch(left);
    Inbox& wallInbox = world.Watch(wall);
    DetectAndDispatch();
    EXPECT_NEAR(X(left), 19.0f, 1e-5f);
    EXPECT_EQ(leftInbox.received.at(0).side, 1);
    EXPECT_EQ(wallInbox.received.at(0).side, 0);

    // Touching spheres overlap; one toward -x of the other.
    Composition* first = world.Spawn("ball", Vec3(40, 0, 0));
    Composition* second = world.Spawn("ball", Vec3(39.2f, 0, 0));
    Inbox& firstInbox = world.Watch(first);
    Inbox& secondInbox = world.Watch(second);
    DetectAndDispatch();
    EXPECT_NEAR(X(first) - X(second), 1.0f, 1e-5f);
    EXPECT_EQ(firstInbox.received.at(0).side, 0);
    EXPECT_EQ(secondInbox.received.at(0).side, 1);
    // Sizes of exactly 1, so the radii add up to exactly 1.
    Collider(first).Volume().size = Collider(second).Volume().size = Vec3(1, 1, 1);
    first->GetTransform()->SetPosition(Vec3(40, 0, 0));
    second->GetTransform()->SetPosition(Vec3(39, 0, 0));
    DetectAndDispatch();
    EXPECT_EQ(firstInbox.received.size(), 2u) << "exactly touching spheres overlap";

    // A sphere whose centre is inside a box: reported with no side, not moved.
    Composition* inside = world.Spawn("ball", Vec3(0.2f, 60, 0));
    Composition* around = world.Spawn("block", Vec3(0, 60, 0));
    Inbox& insideInbox = world.Watch(inside);
    Inbox& aroundInbox = world.Watch(around);
    DetectAndDispatch();
    EXPECT_EQ(PhysicsWorld::PositionOf(inside), Vec3(0.2f, 60, 0));
    EXPECT_EQ(insideInbox.received.at(0).side, kNoSide);
    EXPECT_EQ(aroundInbox.received.at(0).side, kNoSide);
    (void)box;
}

TEST_F(CollisionWorldTest, GridCellsTruncateTowardZeroAndCoverOnlyWhatFitsEntirely) {
    world.Spawn("block", Vec3(50, 5, 50));
    world.BuildGridOnLoaderThread();
    ASSERT_TRUE(Collision().IsGridReady());
    EXPECT_EQ(Collision().GetWorldMin(), Vec3(0, 0, 0)) << "the bounds include the origin";
    EXPECT_EQ(Collision().GetWorldMax(), Vec3(50.5f, 5.5f, 50.5f));
    const float cell = 50.5f / 3.0f + 0.001f;
    EXPECT_FLOAT_EQ(Collision().GetCellSize().x, cell);
    EXPECT_EQ(Collision().GetStaticCell(2, 2).size(), 1u);

    CollisionWorld::CellSpan span;
    ASSERT_TRUE(Collision().GetCellSpan(Vec3(-0.5f * cell, 0, 1), Vec3(cell + 1, 0, 2), span));
    EXPECT_EQ(span.x0, 0) << "-0.5 truncates to 0";
    EXPECT_EQ(span.x1, 1);
    EXPECT_EQ(span.z0, 0);
    EXPECT_FALSE(Collision().GetCellSpan(Vec3(-1.01f * cell, 0, 1), Vec3(1, 0, 2), span));
    EXPECT_TRUE(Collision().GetCellSpan(Vec3(1, 0, 1), Vec3(50.5f + 0.002f, 0, 2), span));
    EXPECT_FALSE(Collision().GetCellSpan(Vec3(1, 0, 1), Vec3(50.5f + 0.004f, 0, 2), span));
    EXPECT_FALSE(Collision().GetCellSpan(Vec3(1, 0, 1), Vec3(2, 0, 60), span)) << "z counts as well";
}

TEST_F(CollisionWorldTest, GridReportsEachPairOnceAndNeverPairsStatics) {
    Composition* slab = world.Spawn("slab", Vec3(0, 0, 0));
    Composition* overlapping = world.Spawn("block", Vec3(0, 0, 0));
    Flags(slab).collideWithStatics = true;
    Inbox& slabInbox = world.Watch(slab);
    DetectAndDispatch();
    ASSERT_EQ(slabInbox.received.size(), 1u) << "brute force pairs statics with statics";

    world.BuildGridOnLoaderThread();
    const float cell = 20.0f / 3.0f + 0.001f;
    // Straddles the boundary between columns 0 and 1, resting into the slab.
    Composition* crate = world.Spawn("crate", Vec3(-10 + cell, 0.95f, 0));
    Inbox& crateInbox = world.Watch(crate);
    slabInbox.received.clear();
    for (int frame = 0; frame < 3; ++frame) {
        crate->GetTransform()->SetPosition(Vec3(-10 + cell, 0.95f, 0));
        DetectAndDispatch();
        EXPECT_EQ(crateInbox.received.size(), std::size_t(frame + 1)) << "one contact per frame";
    }
    EXPECT_EQ(crateInbox.received.back().side, 2);
    EXPECT_EQ(slabInbox.received.size(), 3u) << "and none between the two statics";
    EXPECT_TRUE(Collider(slab).PairList().empty()) << "a static's pair list never grows";

    // Reaching past the world's maximum x (a body pushed against the
    // outermost wall) it still meets what it overlaps: the parts of a
    // dynamic box beyond the grid count in its outermost cells. Far beyond,
    // it meets nothing.
    crateInbox.received.clear();
    for (float x : {10.002f - 0.5f, 10.004f - 0.5f, 10.3f}) {
        crate->GetTransform()->SetPosition(Vec3(x, 0.95f, 0));
        crate->GetTransform()->SetPreviousPosition(Vec3(x, 0.95f, 0));
        DetectAndDispatch();
    }
    EXPECT_EQ(crateInbox.received.size(), 3u);
    crate->GetTransform()->SetPosition(Vec3(40, 0.95f, 0));
    DetectAndDispatch();
    EXPECT_EQ(crateInbox.received.size(), 3u);
    CollisionWorld::CellSpan span;
    ASSERT_TRUE(Collision().GetClampedCellSpan(Vec3(-30, 0, 9), Vec3(40, 0, 60), span));
    EXPECT_EQ(span.x0, 0);
    EXPECT_EQ(span.x1, 2);
    EXPECT_EQ(span.z0, 2);
    EXPECT_EQ(span.z1, 2);
    (void)overlapping;
}

TEST_F(CollisionWorldTest, APushIntoALaterStaticOfTheSameCellIsStillFound) {
    Composition* first = world.Spawn("block", Vec3(-0.2f, 5, 0));
    Composition* second = world.Spawn("block", Vec3(1.7f, 5, 0));
    world.Spawn("block", Vec3(30, 5, 30));  // grows the grid: everything else shares cell (0, 0)
    world.BuildGridOnLoaderThread();
    ASSERT_EQ(Collision().GetStaticCell(0, 0).size(), 2u);
    // Overlaps the first by 0.3 and misses the second by 0.2 until the first
    // pushes it 0.3 toward +x.
    Composition* crate = world.Spawn("crate", Vec3(0.5f, 5, 0));
    Inbox& inbox = world.Watch(crate);
    DetectAndDispatch();
    ASSERT_EQ(inbox.received.size(), 2u);
    EXPECT_EQ(inbox.received[0].other, first->GetId());
    EXPECT_EQ(inbox.received[1].other, second->GetId());
    EXPECT_NEAR(X(crate), 0.7f, 1e-5f);
}

TEST_F(CollisionWorldTest, DestroyedStaticsLeaveTheirCellsAndStaticPairListsStayEmpty) {
    Composition* slab = world.Spawn("slab", Vec3(0, 0, 0));
    Composition* post = world.Spawn("block", Vec3(0, 1, 0));
    world.BuildGridOnLoaderThread();
    const u32 postHandle = Collider(post).GetHandle();
    auto inCell = [&](int x, int z) {
        const std::vector<u32> cell = Collision().GetStaticCell(x, z);
        return std::count(cell.begin(), cell.end(), postHandle);
    };
    ASSERT_EQ(inCell(1, 1), 1);
    // Added after the grid is ready: straight into its cells.
    Composition* late = world.Spawn("block", Vec3(-8, 1, -8));
    EXPECT_EQ(Collision().GetStaticCell(0, 0).size(), 2u);
    world.objects.DestroyObject(post->GetId());
    world.objects.DestroyObject(late->GetId());
    world.objects.Update(0.0f);
    for (int x = 0; x < 3; ++x) {
        for (int z = 0; z < 3; ++z) EXPECT_EQ(Collision().GetStaticCell(x, z).size(), 1u) << "only the slab";
    }
    EXPECT_EQ(Collision().GetStaticCount(), 1u);

    Composition* crate = world.Spawn("crate", Vec3(0, 0.99f, 0));
    crate->GetComponentAs<MovementComponent>()->SetGravity(true);
    PhysicsSettings settings;
    settings.gravity = -30.0f;
    world.physics.SetSettings(settings);
    world.physics.Initialize();
    for (int frame = 0; frame < 10000; ++frame) world.physics.Update(0.016f);
    EXPECT_NEAR(PhysicsWorld::PositionOf(crate).y, 1.0f, 1e-4f);
    EXPECT_TRUE(Collider(slab).PairList().empty());
    EXPECT_LE(Collider(crate).PairList().size(), 1u);
}

}  // namespace
}  // namespace Ostrel

namespace Ostrel {
namespace {

// What grid detection must do, written plainly from its rules: cells in x
// then z order; each dynamic collider of a cell against the cell's statics,
// then against the dynamics after it; pairs already met are skipped.
struct GridOutcome {
    std::vector<std::array<s32, 4>> contacts;  // A id, B id, A's side, B's side
    std::vector<Vec3> positions;
};

std::vector<Composition*> CrowdedScene(PhysicsWorld& world) {
    std::vector<Composition*> objects{world.Spawn("slab", Vec3(0, 0, 0))};
    SRand(99);
    auto spread = [](float range) { return float(Rand() % 1000) / 1000.0f * range - range / 2; };
    for (int i = 0; i < 12; ++i) objects.push_back(world.Spawn("block", Vec3(spread(14), 1, spread(14))));
    world.BuildGridOnLoaderThread();
    for (int i = 0; i < 60; ++i) {
        const char* kind = i % 3 == 0 ? "ball" : "crate";
        objects.push_back(world.Spawn(kind, Vec3(spread(14), 0.6f + spread(1.2f), spread(14))));
    }
    return objects;
}

std::vector<Vec3> Positions(const std::vector<Composition*>& objects) {
    std::vector<Vec3> positions;
    for (Composition* object : objects) positions.push_back(PhysicsWorld::PositionOf(object));
    return positions;
}

TEST(CollisionGrid, DetectionMatchesThePlainRulesOnACrowdedScene) {
    const char* const archetypes = kColliders;
    GridOutcome fast;
    {
        PhysicsWorld world(archetypes);
        world.meshes.meshes["Ball"] = PhysicsTest::SpherePoints(2.0f / std::sqrt(3.0f));
        const std::vector<Composition*> objects = CrowdedScene(world);
        world.physics.GetCollisionWorld().Detect();
        for (const ContactPair& c : world.physics.GetCollisionWorld().GetContacts()) {
            fast.contacts.push_back({s32(c.b.other), s32(c.a.other), c.a.side, c.b.side});
        }
        fast.positions = Positions(objects);
    }
    GridOutcome plain;
    {
        PhysicsWorld world(archetypes);
        world.meshes.meshes["Ball"] = PhysicsTest::SpherePoints(2.0f / std::sqrt(3.0f));
        const std::vector<Composition*> objects = CrowdedScene(world);
        CollisionWorld& collision = world.physics.GetCollisionWorld();
        std::vector<CollisionComponent*> cells[3][3];
        for (Composition* object : objects) {
            if (!object->GetComponentAs<MovementComponent>()) continue;
            auto* c = object->GetComponentAs<CollisionComponent>();
            // The box around the path from the previous position, clamped.
            const Vec3 back = object->GetTransform()->GetPreviousPosition() - c->GetPosition();
            Vec3 min = c->GetMin(), max = c->GetMax();
            for (int axis = 0; axis < 3; ++axis) {
                min[axis] = std::min(min[axis], min[axis] + back[axis]);
                max[axis] = std::max(max[axis], max[axis] + back[axis]);
            }
            CollisionWorld::CellSpan span;
            if (!collision.GetClampedCellSpan(min, max, span)) continue;
            for (int x = span.x0; x <= span.x1; ++x)
                for (int z = span.z0; z <= span.z1; ++z) cells[x][z].push_back(c);
        }
        std::map<u32, std::vector<u32>> met;
        auto attempt = [&](CollisionComponent& a, CollisionComponent& b) {
            std::vector<u32>& pairs = met[a.GetOwnerId()];
            if (std::find(pairs.begin(), pairs.end(), b.GetOwnerId()) != pairs.end()) return;
            if (!collision.PairTest(a, b)) return;
            pairs.push_back(b.GetOwnerId());
            met[b.GetOwnerId()].push_back(a.GetOwnerId());
            const s32 side = collision.Resolve(a, b);
            plain.contacts.push_back({s32(a.GetOwnerId()), s32(b.GetOwnerId()), side, OppositeSide(side)});
        };
        for (int x = 0; x < 3; ++x) {
            for (int z = 0; z < 3; ++z) {
                const auto& dynamics = cells[x][z];
                for (std::size_t i = 0; i < dynamics.size(); ++i) {
                    for (u32 handle : collision.GetStaticCell(x, z)) {
                        attempt(*dynamics[i],
                                *static_cast<CollisionComponent*>(world.objects.GetComponentByHandle(handle)));
                    }
                    for (std::size_t j = i + 1; j < dynamics.size(); ++j) attempt(*dynamics[i], *dynamics[j]);
                }
            }
        }
        plain.positions = Positions(objects);
    }
    EXPECT_GT(plain.contacts.size(), 40u) << "a scene crowded enough for pushes to cascade";
    EXPECT_EQ(fast.contacts, plain.contacts);
    EXPECT_EQ(fast.positions, plain.positions);
}

}  // namespace
}  // namespace Ostrel
