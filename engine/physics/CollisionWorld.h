#pragma once
// The collision world keeps every object that has a CollisionComponent, finds
// the overlapping pairs once per frame (after the physics steps), pushes them
// apart and reports each contact to both objects with the local message
// "CollisionData" (see CollisionData.h).
//
// Lists: every collider's object id in order of arrival (the all list);
// handles of the colliders of objects with a MovementComponent (dynamic) and
// without one (static). "Dynamic" and "static" here are about movement; the
// collider flag Static is a separate setting read by the pair filter and the
// pushes. A collider without a transform is kept out of both handle lists and
// skipped everywhere (it has no place in the world).
//
// Detection tests every pair of the all list (statics with statics too) until
// the grid is ready; from then on it sorts colliders into a 3 x 3 grid over
// x and z. The grid spans the bounds of every static collider ever added,
// grown to include the origin, in cells of a third of the extent + 0.001. A
// static collider goes into every cell its corners span, or into none when
// part of it lies outside. A dynamic collider goes into every cell its box
// spans, clamped to the grid (one that reaches past the outermost wall still
// meets it); a body that moved far enough this frame to be swept against
// level geometry (NeedsSweep) goes into every cell of the box around its
// place at the start of the frame's physics and its place now, so a fast
// mover meets every wall on its path. Dynamic colliders meet the statics of
// their cells and the dynamics after them; statics never meet statics. A
// pair goes to PairTest only when the boxes touch, or, for level geometry,
// when the wall touches the mover's swept box. Each collider's pair list
// keeps a pair that shares several cells from being reported twice.
//
// A body pushed by another body (not by level geometry) after its own wall
// tests may have been shoved into or through a wall: once every pair is
// done, each such body is swept again, from where it stood when the frame's
// physics began, against the level geometry its way crossed, and held at
// the wall.
//
// Threads: BuildStaticGrid and SetGridReady run on the level-load thread
// while the main thread goes on. The static list, the static cells and the
// world bounds are guarded by one mutex, which the main thread also holds
// while it detects, resolves and draws (those read and move static
// colliders). The grid-ready flag is published after the cells are filled.
// Everything else is main-thread only.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/physics/CollisionData.h"

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace Ostrel {

class CollisionComponent;
class ObjectManager;

class CollisionWorld {
public:
    static constexpr int kCells = 3;
    // Cell size = extent / 3 + this, on each axis.
    static constexpr float kCellPadding = 0.001f;

    // Inclusive cell indices of a collider.
    struct CellSpan {
        int x0 = 0, x1 = -1, z0 = 0, z1 = -1;
    };

    void SetObjectManager(ObjectManager* objects) { m_objects = objects; }

    // The object must be live. Appends its id to the all list and its
    // collider's handle to the dynamic or static list; a static collider
    // grows the world bounds and, once the grid is ready, enters its cells.
    void Add(u32 id);
    // Takes the object's id and handle out of every list and cell (the last
    // entry fills the gap). The world bounds never shrink.
    void Remove(u32 id);

    // Finds, tests and resolves this frame's pairs into the contact list.
    void Detect();
    // Sends each contact's "CollisionData" to A's own MessageComponent, then
    // B's; an object without one gets nothing. Empties the contact list.
    void Dispatch();
    // Outlines every collider with a transform in yellow.
    void DebugDraw();

    // Any thread: empties the static cells and sorts every static collider
    // into them.
    void BuildStaticGrid();
    void SetGridReady() { m_gridReady.store(true, std::memory_order_release); }
    bool IsGridReady() const { return m_gridReady.load(std::memory_order_acquire); }

    // The flag filter, the overlap by shape (kind 2 never overlaps) and, when
    // B (or else A) is Static level geometry, the swept test of the other
    // against it (which may stop the mover at the wall). A true result
    // appends a contact with no side.
    bool PairTest(CollisionComponent& a, CollisionComponent& b);
    // The resolve-flag filter and the push by shapes; returns the side for A
    // (kNoSide when nothing was pushed apart).
    s32 Resolve(CollisionComponent& a, CollisionComponent& b);

    // Inspection.
    const std::vector<u32>& GetAllIds() const { return m_all; }
    std::size_t GetDynamicCount() const { return m_dynamic.size(); }
    std::size_t GetStaticCount() const;
    const std::vector<ContactPair>& GetContacts() const { return m_contacts; }
    Vec3 GetWorldMin() const;
    Vec3 GetWorldMax() const;
    Vec3 GetCellSize() const;
    // A copy of the handles in one static cell.
    std::vector<u32> GetStaticCell(int x, int z) const;
    // The cells a box with these corners occupies under the current bounds;
    // false when any part lies outside the grid.
    bool GetCellSpan(const Vec3& min, const Vec3& max, CellSpan& span) const;
    // The cells of a dynamic collider's box: parts beyond the grid count in
    // its outermost cells. False only while there is no grid (no statics).
    bool GetClampedCellSpan(const Vec3& min, const Vec3& max, CellSpan& span) const;

private:
    template <class T>
    using Grid = std::array<std::array<std::vector<T>, kCells>, kCells>;

    CollisionComponent* Collider(u32 handle) const;
    CollisionComponent* ColliderOfObject(u32 id) const;
    bool CellSpanLocked(const Vec3& min, const Vec3& max, CellSpan& span) const;
    bool ClampedCellSpanLocked(const Vec3& min, const Vec3& max, CellSpan& span) const;
    void GrowWorldBounds(const CollisionComponent& collider);
    void InsertStatic(u32 handle, const CollisionComponent& collider);

    // One collider taking part in this frame's detection, with its current
    // corners and its reach: the corners, grown for a body that needs
    // sweeping to its box at the start of the frame's physics. A pair that
    // cannot meet by these (MayMeet) cannot pass PairTest (every overlap
    // test implies touching corners, and a swept test only finds walls its
    // swept box touches) and is skipped without calling it. Both are
    // refreshed whenever a test or a push moves the collider.
    struct Entry {
        CollisionComponent* collider;
        Vec3 min;
        Vec3 max;
        Vec3 reachMin;
        Vec3 reachMax;
        u32 id;
        bool sweptAgainst;  // Static with a LevelGeometryComponent
        bool moves;         // has a MovementComponent
        bool shoved;        // pushed by a body other than level geometry after wallsTested
        bool wallsTested;   // its tests against the statics have begun
    };

    static constexpr u32 kNoEntry = ~0u;
    // Whether a collider's object is level geometry, or moves, by handle
    // slot: looked up once, when it joins.
    enum : u8 { kKindLevelGeometry = 1, kKindMoves = 2 };
    u8 KindOf(const CollisionComponent& collider) const;
    // Whether two corner boxes touch, with a margin so that rounding never
    // rejects a pair the exact tests (touching counts for boxes and spheres)
    // would accept; the margin only lets more pairs through to those tests.
    static constexpr float kTouchMargin = 1e-3f;
    static bool CornersTouch(const Vec3& minA, const Vec3& maxA, const Vec3& minB, const Vec3& maxB) {
        return minA.x <= maxB.x + kTouchMargin && minB.x <= maxA.x + kTouchMargin &&
               minA.z <= maxB.z + kTouchMargin && minB.z <= maxA.z + kTouchMargin &&
               minA.y <= maxB.y + kTouchMargin && minB.y <= maxA.y + kTouchMargin;
    }

    u32 AddEntry(CollisionComponent* collider);
    void Refresh(Entry& entry);
    static bool MayMeet(const Entry& a, const Entry& b) {
        if (b.sweptAgainst) return CornersTouch(a.reachMin, a.reachMax, b.min, b.max);
        if (a.sweptAgainst) return CornersTouch(b.reachMin, b.reachMax, a.min, a.max);
        return CornersTouch(a.min, a.max, b.min, b.max);
    }
    void DetectBruteForce();
    void DetectInGrid();
    void FillDynamicCells();
    // The static colliders' entries (the first of this frame's entries) are
    // kept from frame to frame and made again only when statics join or
    // leave; a static that moved is refreshed.
    void RefreshStatics();

    // The colliders of one cell on a finer grid of their own over x and z
    // (about one bucket per collider), so a collider finds the few it may
    // meet without looking at every other one of the cell. Slots are
    // positions in the cell's list. A collider that moves is added to the
    // buckets of its new place as well, so each bucket holds at least
    // every collider that is in it now.
    struct Buckets {
        float x0 = 0.0f, z0 = 0.0f, perX = 0.0f, perZ = 0.0f;
        int sidesX = 1, sidesZ = 1;
        std::vector<std::vector<u32>> lists;
        std::vector<u32> stamps;  // by slot: the last gathering that took it
        std::vector<std::array<int, 4>> spans;  // by slot: the buckets it last went into
        u32 stamp = 0;
        void Build(const std::vector<Entry>& all, const std::vector<u32>& which, float scale);
        void Insert(u32 slot, const Vec3& min, const Vec3& max);
        // First and last bucket on x, then on z.
        using Span4 = std::array<int, 4>;
        // Appends to out, once each in a gathering, the slots from `from`
        // on in the buckets of span, unsorted.
        void Gather(const Span4& span, u32 from, std::vector<u32>& out);
        void NewGathering();
        // The buckets min..max spans, within the touch margin.
        void Span(const Vec3& min, const Vec3& max, int& i0, int& i1, int& k0, int& k1) const;
    };

    // The buckets of a cell's statics, made again after a static moved.
    Buckets& StaticBuckets(int x, int z);
    void TestCell(int x, int z);
    // A against the cell's colliders from slot begin on, in slot order,
    // through TestPair for those its reach may meet; after a test that moved
    // something, the moved collider is bucketed anew and A looks again.
    void ScanCell(u32 a, Buckets& buckets, const std::vector<u32>& slots, u32 begin, bool bIsDynamic);
    // The pair (a, b) of this frame's entries; with pairLists, the grid's
    // de-duplication through the pair lists (b's list only when b is
    // dynamic). Returns whether a collider may have moved.
    bool TestPair(u32 a, u32 b, bool pairLists, bool bIsDynamic);
    // The filters, the overlap and the swept test of PairTest, without the
    // contact; whether each is level geometry is given.
    bool Meet(CollisionComponent& a, CollisionComponent& b, bool aIsWall, bool bIsWall);
    // The pass over shoved bodies (see the top of this file); in the grid
    // the walls come from the cells of each shove, else from every entry.
    void HoldShovedAtWalls(bool grid);
    void HoldAtWall(u32 mover, u32 wall);

    std::vector<u32> m_all;
    std::vector<u32> m_dynamic;
    std::vector<u32> m_static;  // guarded
    std::vector<ContactPair> m_contacts;
    Grid<u32> m_dynamicCells;                  // entries, rebuilt by every grid detection
    Grid<u32> m_staticCells;                   // guarded
    Vec3 m_worldMin{0.0f, 0.0f, 0.0f};         // guarded
    Vec3 m_worldMax{0.0f, 0.0f, 0.0f};         // guarded
    Vec3 m_cellSize{0.0f, 0.0f, 0.0f};         // guarded
    std::atomic<bool> m_gridReady{false};
    ObjectManager* m_objects = nullptr;
    mutable std::mutex m_staticMutex;

    // Scratch reused from frame to frame.
    std::vector<Entry> m_entries;
    std::vector<u32> m_staticEntries;  // entry of each static collider, by handle slot
    Buckets m_dynamicBuckets;
    Grid<u32> m_cellStaticEntries;
    std::vector<u32> m_candidates;
    std::vector<u32> m_seen;  // per entry: the last shoved body it was tried for, + 1
    std::vector<u8> m_kinds;  // by handle slot
    std::array<std::array<Buckets, kCells>, kCells> m_staticBuckets;
    std::array<std::array<u32, kCells>, kCells> m_staticBucketsVersion{};
    u32 m_staticVersion = 1;      // raised whenever a static moves
    u32 m_staticCount = 0;        // entries of statics, kept between frames
    bool m_staticsChanged = true;  // guarded: statics joined or left
    std::vector<ContactPair> m_sending;
};

}  // namespace Ostrel
