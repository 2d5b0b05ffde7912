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

#include <algorithm>
#include <cmath>

namespace Ostrel {

namespace {

const Vec3 kDebugColour(1.0f, 1.0f, 0.0f);
constexpr u32 kLevelGeometryTypeId = FourCC("lgeo");
constexpr u32 kNoEntry = ~0u;

// Whether two corner boxes touch, with a margin so that rounding never
// rejects a pair the exact tests (touching counts for boxes and spheres)
// would accept; the margin only lets more pairs through to those tests.
bool CornersTouch(const Vec3& minA, const Vec3& maxA, const Vec3& minB, const Vec3& maxB) {
    constexpr float kMargin = 1e-3f;
    return minA.x <= maxB.x + kMargin && minB.x <= maxA.x + kMargin && minA.z <= maxB.z + kMargin &&
           minB.z <= maxA.z + kMargin && minA.y <= maxB.y + kMargin && minB.y <= maxA.y + kMargin;
}

// Removes the first occurrence of value by moving the last entry into its place.
template <class T>
void SwapRemove(std::vector<T>& list, const T& value) {
    auto it = std::find(list.begin(), list.end(), value);
    if (it == list.end()) return;
    *it = list.back();
    list.pop_back();
}

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
    if (object->GetComponentAs<MovementComponent>()) {
        m_dynamic.push_back(collider->GetHandle());
        return;
    }
    std::lock_guard lock(m_staticMutex);
    m_static.push_back(collider->GetHandle());
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

u32 CollisionWorld::AddEntry(CollisionComponent* collider) {
    const ColliderFlags& flags = collider->GetFlags();
    const bool swept = flags.isStatic && collider->GetOwner()->GetComponent(kLevelGeometryTypeId) != nullptr;
    m_entries.push_back({collider, collider->GetMin(), collider->GetMax(), collider->GetOwnerId(), swept});
    return static_cast<u32>(m_entries.size() - 1);
}

void CollisionWorld::Refresh(Entry& entry) {
    entry.min = entry.collider->GetMin();
    entry.max = entry.collider->GetMax();
}

bool CollisionWorld::TestPair(u32 ia, u32 ib, bool pairLists, bool bIsDynamic) {
    Entry& a = m_entries[ia];
    Entry& b = m_entries[ib];
    // Both checks are free of side effects, so the cheaper one goes first.
    const bool swept = a.sweptAgainst || b.sweptAgainst;
    if (!swept && !CornersTouch(a.min, a.max, b.min, b.max)) return false;
    if (pairLists) {
        const std::vector<u32>& pairs = a.collider->PairList();
        if (std::find(pairs.begin(), pairs.end(), b.id) != pairs.end()) return false;
    }
    const bool hit = PairTest(*a.collider, *b.collider);
    if (swept) {  // the swept test may have stopped the mover
        Refresh(a);
        Refresh(b);
    }
    if (!hit) return swept;
    if (pairLists) {
        a.collider->PairList().push_back(b.id);
        // Only dynamic colliders meet again as A in a later cell; a static's
        // list would only grow (nothing clears or reads it).
        if (bIsDynamic) b.collider->PairList().push_back(a.id);
    }
    const s32 side = Resolve(*a.collider, *b.collider);
    m_contacts.back().a.side = side;
    m_contacts.back().b.side = OppositeSide(side);
    Refresh(a);
    Refresh(b);
    return true;
}

void CollisionWorld::DetectBruteForce() {
    m_entries.clear();
    for (u32 id : m_all) {
        CollisionComponent* collider = ColliderOfObject(id);
        if (collider && collider->HasTransform()) AddEntry(collider);
    }
    const u32 count = static_cast<u32>(m_entries.size());
    for (u32 i = 0; i < count; ++i) {
        for (u32 j = i + 1; j < count; ++j) TestPair(i, j, false, false);
    }
}

void CollisionWorld::DetectInGrid() {
    FillDynamicCells();
    for (int x = 0; x < kCells; ++x) {
        for (int z = 0; z < kCells; ++z) TestCell(x, z);
    }
}

void CollisionWorld::FillDynamicCells() {
    for (auto& column : m_dynamicCells) {
        for (auto& cell : column) cell.clear();
    }
    m_entries.clear();
    for (u32 handle : m_dynamic) {
        if (CollisionComponent* collider = Collider(handle)) {
            collider->PairList().clear();
            AddEntry(collider);
        }
    }
    for (u32 i = 0; i < m_entries.size(); ++i) {
        // The box around the mover's path through this frame's steps.
        const Entry& entry = m_entries[i];
        const Vec3 back = entry.collider->GetCachedTransform()->GetPreviousPosition() - entry.collider->GetPosition();
        const Vec3 min(std::min(entry.min.x, entry.min.x + back.x), 0.0f, std::min(entry.min.z, entry.min.z + back.z));
        const Vec3 max(std::max(entry.max.x, entry.max.x + back.x), 0.0f, std::max(entry.max.z, entry.max.z + back.z));
        CellSpan span;
        if (!ClampedCellSpanLocked(min, max, span)) continue;
        for (int x = span.x0; x <= span.x1; ++x) {
            for (int z = span.z0; z <= span.z1; ++z) m_dynamicCells[x][z].push_back(i);
        }
    }
    // One entry per static collider, however many cells hold it, so a push
    // seen in one cell is seen in the others.
    for (u32 handle : m_static) {
        CollisionComponent* collider = Collider(handle);
        const u32 slot = HandleTable::SlotOf(handle);
        if (slot >= m_staticEntries.size()) m_staticEntries.resize(slot + 1);
        m_staticEntries[slot] = collider ? AddEntry(collider) : kNoEntry;
    }
}

void CollisionWorld::CellBoxes::Load(const std::vector<Entry>& all, const std::vector<u32>& which) {
    const std::size_t n = which.size();
    for (auto* column : {&minX, &maxX, &minY, &maxY, &minZ, &maxZ}) column->resize(n);
    always.resize(n);
    entries = which;
    for (std::size_t k = 0; k < n; ++k) Store(k, all[which[k]]);
}

void CollisionWorld::CellBoxes::Store(std::size_t slot, const Entry& entry) {
    minX[slot] = entry.min.x;
    maxX[slot] = entry.max.x;
    minY[slot] = entry.min.y;
    maxY[slot] = entry.max.y;
    minZ[slot] = entry.min.z;
    maxZ[slot] = entry.max.z;
    always[slot] = entry.sweptAgainst ? 1 : 0;
}

void CollisionWorld::TestCell(int x, int z) {
    const std::vector<u32>& dynamics = m_dynamicCells[x][z];
    if (dynamics.empty()) return;
    m_cellStatics.clear();
    for (u32 handle : m_staticCells[x][z]) {
        const u32 entry = m_staticEntries[HandleTable::SlotOf(handle)];
        if (entry != kNoEntry) m_cellStatics.push_back(entry);
    }
    // Loaded per cell: pushes in earlier cells are already in the entries.
    m_staticBoxes.Load(m_entries, m_cellStatics);
    m_dynamicBoxes.Load(m_entries, dynamics);
    for (std::size_t i = 0; i < dynamics.size(); ++i) {
        ScanCell(dynamics[i], m_staticBoxes, 0, false);
        ScanCell(dynamics[i], m_dynamicBoxes, i + 1, true);
    }
}

void CollisionWorld::ScanCell(u32 ia, CellBoxes& boxes, std::size_t begin, bool bIsDynamic) {
    constexpr float kMargin = 1e-3f;
    const std::size_t end = boxes.entries.size();
    if (m_touching.size() < end) m_touching.resize(end);
    bool marked = false;
    for (std::size_t k = begin; k < end; ++k) {
        if (!marked) {
            // Written without branches so that it runs as a vector loop.
            const Entry& a = m_entries[ia];
            const float x0 = a.min.x - kMargin, x1 = a.max.x + kMargin;
            const float y0 = a.min.y - kMargin, y1 = a.max.y + kMargin;
            const float z0 = a.min.z - kMargin, z1 = a.max.z + kMargin;
            // Plain pointers: stores through u8 may alias anything, which
            // would make the compiler reload every array for every box.
            const float* minX = boxes.minX.data();
            const float* maxX = boxes.maxX.data();
            const float* minY = boxes.minY.data();
            const float* maxY = boxes.maxY.data();
            const float* minZ = boxes.minZ.data();
            const float* maxZ = boxes.maxZ.data();
            const u8* always = boxes.always.data();
            u8* touching = m_touching.data();
            for (std::size_t m = k; m < end; ++m) {
                touching[m] = u8((minX[m] <= x1) & (maxX[m] >= x0) & (minZ[m] <= z1) & (maxZ[m] >= z0) &
                                 (minY[m] <= y1) & (maxY[m] >= y0)) |
                              always[m];
            }
            marked = true;
        }
        if (!m_touching[k]) continue;
        const u32 ib = boxes.entries[k];
        if (TestPair(ia, ib, true, bIsDynamic)) {
            boxes.Store(k, m_entries[ib]);
            marked = false;  // A moved, or may have: mark the rest again
        }
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
