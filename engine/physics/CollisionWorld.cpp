#include "engine/physics/CollisionWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/MessageComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/MessageListenerTable.h"
#include "engine/core/ObjectManager.h"
#include "engine/physics/DebugVolume.h"

#include <algorithm>

namespace Ostrel {

namespace {

const Vec3 kDebugColour(1.0f, 1.0f, 0.0f);

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

void CollisionWorld::TestAndResolve(CollisionComponent& a, CollisionComponent& b) {
    if (!PairTest(a, b)) return;
    const s32 side = Resolve(a, b);
    m_contacts.back().a.side = side;
    m_contacts.back().b.side = OppositeSide(side);
}

void CollisionWorld::DetectBruteForce() {
    m_colliders.clear();
    for (u32 id : m_all) {
        CollisionComponent* collider = ColliderOfObject(id);
        if (collider && collider->HasTransform()) m_colliders.push_back(collider);
    }
    for (std::size_t i = 0; i < m_colliders.size(); ++i) {
        for (std::size_t j = i + 1; j < m_colliders.size(); ++j) TestAndResolve(*m_colliders[i], *m_colliders[j]);
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
    m_colliders.clear();
    for (u32 handle : m_dynamic) {
        if (CollisionComponent* collider = Collider(handle)) {
            collider->PairList().clear();
            m_colliders.push_back(collider);
        }
    }
    for (CollisionComponent* collider : m_colliders) {
        CellSpan span;
        if (!CellSpanLocked(collider->GetMin(), collider->GetMax(), span)) continue;
        for (int x = span.x0; x <= span.x1; ++x) {
            for (int z = span.z0; z <= span.z1; ++z) m_dynamicCells[x][z].push_back(collider);
        }
    }
}

void CollisionWorld::TestCell(int x, int z) {
    const std::vector<CollisionComponent*>& dynamics = m_dynamicCells[x][z];
    if (dynamics.empty()) return;
    // The cell's statics once, not once per dynamic collider.
    m_colliders.clear();
    for (u32 handle : m_staticCells[x][z]) {
        if (CollisionComponent* collider = Collider(handle)) m_colliders.push_back(collider);
    }
    for (std::size_t i = 0; i < dynamics.size(); ++i) {
        CollisionComponent& a = *dynamics[i];
        for (CollisionComponent* b : m_colliders) TestGridPair(a, *b, false);
        for (std::size_t j = i + 1; j < dynamics.size(); ++j) TestGridPair(a, *dynamics[j], true);
    }
}

void CollisionWorld::TestGridPair(CollisionComponent& a, CollisionComponent& b, bool bIsDynamic) {
    std::vector<u32>& pairs = a.PairList();
    const u32 bId = b.GetOwnerId();
    if (std::find(pairs.begin(), pairs.end(), bId) != pairs.end()) return;
    if (!PairTest(a, b)) return;
    pairs.push_back(bId);
    // Only dynamic colliders meet again as A in a later cell; a static's list
    // would only grow (nothing clears or reads it).
    if (bIsDynamic) b.PairList().push_back(a.GetOwnerId());
    const s32 side = Resolve(a, b);
    m_contacts.back().a.side = side;
    m_contacts.back().b.side = OppositeSide(side);
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
