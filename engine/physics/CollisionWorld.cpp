#include "engine/physics/CollisionWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/core/MessageComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/HandleTable.h"
#include "engine/core/MessageListenerTable.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/physics/DebugVolume.h"
#include "engine/physics/ShapeTests.h"

#include <algorithm>
#include <cmath>

namespace Ostrel {

namespace {

const Vec3 kDebugColour(1.0f, 1.0f, 0.0f);
constexpr u32 kLevelGeometryTypeId = FourCC("lgeo");

// Removes the first occurrence of value by moving the last entry into its place.
template <class T>
void SwapRemove(std::vector<T>& list, const T& value) {
    auto it = std::find(list.begin(), list.end(), value);
    if (it == list.end()) return;
    *it = list.back();
    list.pop_back();
}

bool Same(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Every entry's collider has its transform.
const Vec3& At(const CollisionComponent* collider) { return collider->GetCachedTransform()->GetPosition(); }

void SendCollisionData(Composition* object, const CollisionData& record) {
    MessageComponent* messages = object ? object->GetMessageComponent() : nullptr;
    if (messages) messages->GetTable().SendValues("CollisionData", record);
}

}  // namespace

CollisionComponent* CollisionWorld::Collider(u32 handle) const {
    return m_objects ? static_cast<CollisionComponent*>(m_objects->GetComponentByHandle(handle)) : nullptr;
}

CollisionComponent* CollisionWorld::ColliderOfObject(u32 id) const {
    Composition* object = m_objects ? m_objects->GetObject(id) : nullptr;
    return object ? object->GetComponentAs<CollisionComponent>() : nullptr;
}

void CollisionWorld::Add(u32 id) {
    Composition* object = m_objects ? m_objects->GetObject(id) : nullptr;
    if (!object) return;
    m_all.push_back(id);
    auto* collider = object->GetComponentAs<CollisionComponent>();
    // A collider without a transform has logged so itself; it stays out.
    if (!collider || !collider->HasTransform()) return;
    const u32 slot = HandleTable::SlotOf(collider->GetHandle());
    if (slot >= m_kinds.size()) m_kinds.resize(slot + 1);
    m_kinds[slot] = u8((object->GetComponent(kLevelGeometryTypeId) ? kKindLevelGeometry : 0) |
                       (object->GetComponentAs<MovementComponent>() ? kKindMoves : 0));
    if (object->GetComponentAs<MovementComponent>()) {
        m_dynamic.push_back(collider->GetHandle());
        return;
    }
    std::lock_guard lock(m_staticMutex);
    m_static.push_back(collider->GetHandle());
    m_staticsChanged = true;
    GrowWorldBounds(*collider);
    if (IsGridReady()) InsertStatic(collider->GetHandle(), *collider);
}

void CollisionWorld::Remove(u32 id) {
    SwapRemove(m_all, id);
    CollisionComponent* collider = ColliderOfObject(id);
    if (!collider) return;
    const u32 handle = collider->GetHandle();
    SwapRemove(m_dynamic, handle);
    std::lock_guard lock(m_staticMutex);
    m_staticsChanged = true;
    SwapRemove(m_static, handle);
    for (auto& column : m_staticCells) {
        for (auto& cell : column) SwapRemove(cell, handle);
    }
}

void CollisionWorld::GrowWorldBounds(const CollisionComponent& collider) {
    const Vec3 min = collider.GetMin();
    const Vec3 max = collider.GetMax();
    for (int axis = 0; axis < 3; ++axis) {
        m_worldMin[axis] = std::min(m_worldMin[axis], min[axis]);
        m_worldMax[axis] = std::max(m_worldMax[axis], max[axis]);
        m_cellSize[axis] = (m_worldMax[axis] - m_worldMin[axis]) / 3.0f + kCellPadding;
    }
}

bool CollisionWorld::CellSpanLocked(const Vec3& min, const Vec3& max, CellSpan& span) const {
    const float x0 = (min.x - m_worldMin.x) / m_cellSize.x;
    const float x1 = (max.x - m_worldMin.x) / m_cellSize.x;
    const float z0 = (min.z - m_worldMin.z) / m_cellSize.z;
    const float z1 = (max.z - m_worldMin.z) / m_cellSize.z;
    // Truncation toward zero puts everything above -1 into index 0, so the
    // first cell reaches one cell size below the minimum. Written so that NaN
    // (no statics yet: a zero cell size) fails too.
    const bool inside = x0 > -1.0f && z0 > -1.0f && x1 < float(kCells) && z1 < float(kCells) &&
                        x1 > -1.0f && z1 > -1.0f && x0 < float(kCells) && z0 < float(kCells);
    if (!inside) return false;
    span = {static_cast<int>(x0), static_cast<int>(x1), static_cast<int>(z0), static_cast<int>(z1)};
    return true;
}

bool CollisionWorld::GetCellSpan(const Vec3& min, const Vec3& max, CellSpan& span) const {
    std::lock_guard lock(m_staticMutex);
    return CellSpanLocked(min, max, span);
}

bool CollisionWorld::ClampedCellSpanLocked(const Vec3& min, const Vec3& max, CellSpan& span) const {
    const float x0 = (min.x - m_worldMin.x) / m_cellSize.x;
    const float x1 = (max.x - m_worldMin.x) / m_cellSize.x;
    const float z0 = (min.z - m_worldMin.z) / m_cellSize.z;
    const float z1 = (max.z - m_worldMin.z) / m_cellSize.z;
    if (!(std::isfinite(x0) && std::isfinite(x1) && std::isfinite(z0) && std::isfinite(z1))) return false;
    const auto cell = [](float at) { return std::clamp(static_cast<int>(std::floor(at)), 0, kCells - 1); };
    span = {cell(x0), cell(x1), cell(z0), cell(z1)};
    return true;
}

bool CollisionWorld::GetClampedCellSpan(const Vec3& min, const Vec3& max, CellSpan& span) const {
    std::lock_guard lock(m_staticMutex);
    return ClampedCellSpanLocked(min, max, span);
}

void CollisionWorld::InsertStatic(u32 handle, const CollisionComponent& collider) {
    CellSpan span;
    if (!CellSpanLocked(collider.GetMin(), collider.GetMax(), span)) return;
    for (int x = span.x0; x <= span.x1; ++x) {
        for (int z = span.z0; z <= span.z1; ++z) m_staticCells[x][z].push_back(handle);
    }
}

void CollisionWorld::BuildStaticGrid() {
    std::lock_guard lock(m_staticMutex);
    m_staticsChanged = true;
    for (auto& column : m_staticCells) {
        for (auto& cell : column) cell.clear();
    }
    for (u32 handle : m_static) {
        if (const CollisionComponent* collider = Collider(handle)) InsertStatic(handle, *collider);
    }
}

void CollisionWorld::Detect() {
    std::lock_guard lock(m_staticMutex);
    if (IsGridReady()) {
        DetectInGrid();
    } else {
        DetectBruteForce();
    }
}

u8 CollisionWorld::KindOf(const CollisionComponent& collider) const {
    const u32 slot = HandleTable::SlotOf(collider.GetHandle());
    if (slot < m_kinds.size()) return m_kinds[slot];
    // Not added through Add: look it up.
    const Composition* owner = collider.GetOwner();
    return u8((owner->GetComponent(kLevelGeometryTypeId) ? kKindLevelGeometry : 0) |
              (owner->GetComponentAs<MovementComponent>() ? kKindMoves : 0));
}

u32 CollisionWorld::AddEntry(CollisionComponent* collider) {
    const u8 kind = KindOf(*collider);
    const bool swept = collider->GetFlags().isStatic && (kind & kKindLevelGeometry);
    const bool moves = (kind & kKindMoves) != 0;
    Entry entry{collider, {}, {}, {}, {}, collider->GetOwnerId(), swept, moves, false, false};
    Refresh(entry);
    m_entries.push_back(entry);
    return static_cast<u32>(m_entries.size() - 1);
}

void CollisionWorld::Refresh(Entry& entry) {
    entry.min = entry.collider->GetMin();
    entry.max = entry.collider->GetMax();
    entry.reachMin = entry.min;
    entry.reachMax = entry.max;
    if (!entry.moves || !MotionNeedsSweep(*entry.collider)) return;
    const Vec3 back = entry.collider->GetCachedTransform()->GetPreviousPosition() - At(entry.collider);
    for (int axis = 0; axis < 3; ++axis) {
        entry.reachMin[axis] = std::min(entry.min[axis], entry.min[axis] + back[axis]);
        entry.reachMax[axis] = std::max(entry.max[axis], entry.max[axis] + back[axis]);
    }
}

bool CollisionWorld::TestPair(u32 ia, u32 ib, bool pairLists, bool bIsDynamic) {
    Entry& a = m_entries[ia];
    Entry& b = m_entries[ib];
    // Both checks are free of side effects, so the cheaper one goes first.
    const bool swept = a.sweptAgainst || b.sweptAgainst;
    if (!MayMeet(a, b)) return false;
    if (pairLists) {
        const std::vector<u32>& pairs = a.collider->PairList();
        if (std::find(pairs.begin(), pairs.end(), b.id) != pairs.end()) return false;
    }
    const Vec3 beforeA = At(a.collider);
    const Vec3 beforeB = At(b.collider);
    const bool hit = Meet(*a.collider, *b.collider, a.sweptAgainst, b.sweptAgainst);
    if (hit) m_contacts.push_back({{b.id, kNoSide}, {a.id, kNoSide}});
    // The swept test may have stopped the mover.
    const bool stopped = swept && !(Same(At(a.collider), beforeA) && Same(At(b.collider), beforeB));
    if (stopped) {
        Refresh(a);
        Refresh(b);
    }
    // A static pushed about: the buckets of its cells are made again.
    if ((ia < m_staticCount && !Same(At(a.collider), beforeA)) ||
        (ib < m_staticCount && !Same(At(b.collider), beforeB))) {
        ++m_staticVersion;
    }
    if (!hit) return stopped;
    if (pairLists) {
        a.collider->PairList().push_back(b.id);
        // Only dynamic colliders meet again as A in a later cell; a static's
        // list would only grow (nothing clears or reads it).
        if (bIsDynamic) b.collider->PairList().push_back(a.id);
    } else {
        // Brute force keeps them for movers only, for the shoved bodies' pass.
        if (a.moves) a.collider->PairList().push_back(b.id);
        if (b.moves) b.collider->PairList().push_back(a.id);
    }
    const Vec3 atA = At(a.collider);
    const Vec3 atB = At(b.collider);
    const s32 side = Resolve(*a.collider, *b.collider);
    m_contacts.back().a.side = side;
    m_contacts.back().b.side = OppositeSide(side);
    // A push by another body after the pushed body's wall tests began: they
    // may not see it (a shove before them is seen by them).
    const auto shoved = [](Entry& entry, const Vec3& before, const Entry& by) {
        if (entry.moves && entry.wallsTested && !by.sweptAgainst && !Same(At(entry.collider), before)) {
            entry.shoved = true;
        }
    };
    shoved(a, atA, b);
    shoved(b, atB, a);
    Refresh(a);
    Refresh(b);
    // A static pushed about: the buckets of its cells are made again.
    if ((ia < m_staticCount && !Same(At(a.collider), atA)) ||
        (ib < m_staticCount && !Same(At(b.collider), atB))) {
        ++m_staticVersion;
    }
    return true;
}

void CollisionWorld::DetectBruteForce() {
    m_entries.clear();
    m_staticCount = 0;
    m_staticsChanged = true;
    for (u32 id : m_all) {
        CollisionComponent* collider = ColliderOfObject(id);
        if (!collider || !collider->HasTransform()) continue;
        const u32 entry = AddEntry(collider);
        // Pairs come in list order here, walls and bodies mixed.
        m_entries[entry].wallsTested = true;
        // Only the pass over shoved bodies reads movers' lists here.
        if (m_entries[entry].moves) collider->PairList().clear();
    }
    const u32 count = static_cast<u32>(m_entries.size());
    for (u32 i = 0; i < count; ++i) {
        for (u32 j = i + 1; j < count; ++j) TestPair(i, j, false, false);
    }
    HoldShovedAtWalls(false);
}

void CollisionWorld::DetectInGrid() {
    FillDynamicCells();
    for (int x = 0; x < kCells; ++x) {
        for (int z = 0; z < kCells; ++z) TestCell(x, z);
    }
    HoldShovedAtWalls(true);
}

void CollisionWorld::FillDynamicCells() {
    for (auto& column : m_dynamicCells) {
        for (auto& cell : column) cell.clear();
    }
    RefreshStatics();
    m_entries.resize(m_staticCount);
    for (u32 handle : m_dynamic) {
        if (CollisionComponent* collider = Collider(handle)) {
            collider->PairList().clear();
            AddEntry(collider);
        }
    }
    for (u32 i = m_staticCount; i < m_entries.size(); ++i) {
        // Its box, or the box around its path through this frame's steps.
        const Entry& entry = m_entries[i];
        CellSpan span;
        if (!ClampedCellSpanLocked(entry.reachMin, entry.reachMax, span)) continue;
        for (int x = span.x0; x <= span.x1; ++x) {
            for (int z = span.z0; z <= span.z1; ++z) m_dynamicCells[x][z].push_back(i);
        }
    }
}

void CollisionWorld::RefreshStatics() {
    if (m_staticsChanged) {
        // One entry per static collider, however many cells hold it, so a
        // push seen in one cell is seen in the others.
        m_entries.clear();
        for (u32 handle : m_static) {
            CollisionComponent* collider = Collider(handle);
            const u32 slot = HandleTable::SlotOf(handle);
            if (slot >= m_staticEntries.size()) m_staticEntries.resize(slot + 1);
            m_staticEntries[slot] = collider ? AddEntry(collider) : kNoEntry;
        }
        m_staticCount = static_cast<u32>(m_entries.size());
        for (int x = 0; x < kCells; ++x) {
            for (int z = 0; z < kCells; ++z) {
                std::vector<u32>& entries = m_cellStaticEntries[x][z];
                entries.clear();
                for (u32 handle : m_staticCells[x][z]) {
                    const u32 entry = m_staticEntries[HandleTable::SlotOf(handle)];
                    if (entry != kNoEntry) entries.push_back(entry);
                }
            }
        }
        m_staticsChanged = false;
        ++m_staticVersion;
        return;
    }
    // Moved by game code (a gate rising), or a flag changed, since the last frame.
    for (u32 i = 0; i < m_staticCount; ++i) {
        Entry& entry = m_entries[i];
        entry.sweptAgainst = entry.collider->GetFlags().isStatic && (KindOf(*entry.collider) & kKindLevelGeometry);
        if (Same(entry.collider->GetMin(), entry.min) && Same(entry.collider->GetMax(), entry.max)) continue;
        Refresh(entry);
        ++m_staticVersion;
    }
}

void CollisionWorld::Dispatch() {
    // Receivers may make objects that join the world at once, so the
    // contacts are sent from a list of their own.
    m_sending.swap(m_contacts);
    m_contacts.clear();
    for (const ContactPair& contact : m_sending) {
        SendCollisionData(m_objects ? m_objects->GetObject(contact.b.other) : nullptr, contact.a);
        SendCollisionData(m_objects ? m_objects->GetObject(contact.a.other) : nullptr, contact.b);
    }
    m_sending.clear();
}

void CollisionWorld::DebugDraw() {
    std::lock_guard lock(m_staticMutex);
    for (u32 id : m_all) {
        const CollisionComponent* collider = ColliderOfObject(id);
        if (!collider || !collider->HasTransform()) continue;
        DrawDebugVolume(collider->GetVolume(), collider->GetShape(), collider->GetPosition(), kDebugColour);
    }
}

std::size_t CollisionWorld::GetStaticCount() const {
    std::lock_guard lock(m_staticMutex);
    return m_static.size();
}

Vec3 CollisionWorld::GetWorldMin() const {
    std::lock_guard lock(m_staticMutex);
    return m_worldMin;
}

Vec3 CollisionWorld::GetWorldMax() const {
    std::lock_guard lock(m_staticMutex);
    return m_worldMax;
}

Vec3 CollisionWorld::GetCellSize() const {
    std::lock_guard lock(m_staticMutex);
    return m_cellSize;
}

std::vector<u32> CollisionWorld::GetStaticCell(int x, int z) const {
    std::lock_guard lock(m_staticMutex);
    if (x < 0 || x >= kCells || z < 0 || z >= kCells) return {};
    return m_staticCells[x][z];
}

}  // namespace Ostrel
