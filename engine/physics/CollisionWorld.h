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
// part of it lies outside. A dynamic collider goes into every cell that the
// box around its place at the start of the frame's physics and its place now
// spans, clamped to the grid: a fast mover meets every wall on its path, and
// one that reaches past the outermost wall still meets it. Dynamic colliders
// meet the statics of their cells and the dynamics after them; statics never
// meet statics. Each collider's pair list
// keeps a pair that shares several cells from being reported twice.
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
    // corners. A pair whose corners are apart cannot pass PairTest (every
    // overlap test implies touching corners) and is skipped without calling
    // it, unless one of them is Static level geometry, where the swept test
    // may still find a hit. Corners are refreshed whenever a test or a push
    // moves one.
    struct Entry {
        CollisionComponent* collider;
        Vec3 min;
        Vec3 max;
        u32 id;
        bool sweptAgainst;  // Static with a LevelGeometryComponent
    };

    u32 AddEntry(CollisionComponent* collider);
    void Refresh(Entry& entry);
    void DetectBruteForce();
    void DetectInGrid();
    void FillDynamicCells();
    // The corners of one cell's colliders side by side, so the corner check
    // of one A against all of them runs as one tight loop.
    struct CellBoxes {
        std::vector<float> minX, maxX, minY, maxY, minZ, maxZ;
        std::vector<u8> always;  // swept-against: never skipped
        std::vector<u32> entries;
        void Load(const std::vector<Entry>& all, const std::vector<u32>& which);
        void Store(std::size_t slot, const Entry& entry);
    };

    void TestCell(int x, int z);
    // A against boxes [begin, end) in order, through TestPair for those whose
    // corners touch A's; the marks are taken again after anything moved.
    void ScanCell(u32 a, CellBoxes& boxes, std::size_t begin, bool bIsDynamic);
    // The pair (a, b) of this frame's entries; with pairLists, the grid's
    // de-duplication through the pair lists (b's list only when b is
    // dynamic). Returns whether a collider may have moved.
    bool TestPair(u32 a, u32 b, bool pairLists, bool bIsDynamic);

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
    std::vector<u32> m_cellStatics;
    CellBoxes m_staticBoxes;
    CellBoxes m_dynamicBoxes;
    std::vector<u8> m_touching;
    std::vector<ContactPair> m_sending;
};

}  // namespace Ostrel
