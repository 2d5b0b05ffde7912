// CollisionWorld: the scan of one grid cell's pairs, and the pass that holds
// bodies shoved by other bodies at the level geometry.

#include "engine/components/CollisionComponent.h"
#include "engine/core/HandleTable.h"
#include "engine/core/TransformComponent.h"
#include "engine/physics/CollisionWorld.h"

#include <algorithm>
#include <cmath>

namespace Ostrel {

namespace {

// At most this many buckets a side, whatever the crowd.
constexpr int kMaxBucketSide = 64;

}  // namespace

void CollisionWorld::Buckets::Build(const std::vector<Entry>& all, const std::vector<u32>& which) {
    const std::size_t n = which.size();
    float lowX = INFINITY, lowZ = INFINITY, highX = -INFINITY, highZ = -INFINITY;
    for (u32 entry : which) {
        lowX = std::min(lowX, all[entry].reachMin.x);
        lowZ = std::min(lowZ, all[entry].reachMin.z);
        highX = std::max(highX, all[entry].reachMax.x);
        highZ = std::max(highZ, all[entry].reachMax.z);
    }
    side = std::clamp(static_cast<int>(std::ceil(std::sqrt(static_cast<float>(n)))), 1, kMaxBucketSide);
    const bool finite = std::isfinite(lowX) && std::isfinite(lowZ) && std::isfinite(highX) && std::isfinite(highZ);
    x0 = finite ? lowX : 0.0f;
    z0 = finite ? lowZ : 0.0f;
    // Buckets per unit; 0 puts everything into the first bucket.
    perX = finite && highX > lowX ? float(side) / (highX - lowX) : 0.0f;
    perZ = finite && highZ > lowZ ? float(side) / (highZ - lowZ) : 0.0f;
    if (perX == 0.0f && perZ == 0.0f) side = 1;
    lists.resize(std::size_t(side) * std::size_t(side));
    for (auto& list : lists) list.clear();
    stamps.assign(n, 0);
    stamp = 0;
    spans.assign(n, {0, -1, 0, -1});
    for (u32 slot = 0; slot < n; ++slot) Insert(slot, all[which[slot]].reachMin, all[which[slot]].reachMax);
}

void CollisionWorld::Buckets::Span(const Vec3& min, const Vec3& max, int& i0, int& i1, int& k0, int& k1) const {
    // Clamping keeps the order of places, so boxes that touch beyond the
    // covered region still share its edge buckets; NaN spans everything.
    const auto index = [this](float at, float origin, float per, int fallback) {
        const float cell = std::floor((at - origin) * per);
        if (!(cell == cell)) return fallback;
        return static_cast<int>(std::clamp(cell, 0.0f, float(side - 1)));
    };
    i0 = index(min.x - kTouchMargin, x0, perX, 0);
    i1 = index(max.x + kTouchMargin, x0, perX, side - 1);
    k0 = index(min.z - kTouchMargin, z0, perZ, 0);
    k1 = index(max.z + kTouchMargin, z0, perZ, side - 1);
}

void CollisionWorld::Buckets::Insert(u32 slot, const Vec3& min, const Vec3& max) {
    int i0, i1, k0, k1;
    Span(min, max, i0, i1, k0, k1);
    // The buckets it was last put into hold it already.
    const std::array<int, 4> last = spans[slot];
    for (int i = i0; i <= i1; ++i) {
        for (int k = k0; k <= k1; ++k) {
            if (i >= last[0] && i <= last[1] && k >= last[2] && k <= last[3]) continue;
            lists[std::size_t(i) * side + k].push_back(slot);
        }
    }
    spans[slot] = {i0, i1, k0, k1};
}

void CollisionWorld::Buckets::NewGathering() {
    if (++stamp == 0) {  // wrapped: forget every old mark
        std::fill(stamps.begin(), stamps.end(), 0u);
        stamp = 1;
    }
}

void CollisionWorld::Buckets::Gather(const Vec3& min, const Vec3& max, u32 from, std::vector<u32>& out) {
    int i0, i1, k0, k1;
    Span(min, max, i0, i1, k0, k1);
    for (int i = i0; i <= i1; ++i) {
        for (int k = k0; k <= k1; ++k) {
            for (u32 slot : lists[std::size_t(i) * side + k]) {
                if (slot < from || stamps[slot] == stamp) continue;
                stamps[slot] = stamp;
                out.push_back(slot);
            }
        }
    }
}

void CollisionWorld::TestCell(int x, int z) {
    const std::vector<u32>& dynamics = m_dynamicCells[x][z];
    if (dynamics.empty()) return;
    m_cellStatics.clear();
    for (u32 handle : m_staticCells[x][z]) {
        const u32 entry = m_staticEntries[HandleTable::SlotOf(handle)];
        if (entry != kNoEntry) m_cellStatics.push_back(entry);
    }
    // Built per cell: pushes in earlier cells are already in the entries.
    m_staticBuckets.Build(m_entries, m_cellStatics);
    m_dynamicBuckets.Build(m_entries, dynamics);
    for (u32 i = 0; i < dynamics.size(); ++i) {
        ScanCell(dynamics[i], m_staticBuckets, m_cellStatics, 0, false);
        ScanCell(dynamics[i], m_dynamicBuckets, dynamics, i + 1, true);
    }
}

void CollisionWorld::ScanCell(u32 ia, Buckets& buckets, const std::vector<u32>& slots, u32 begin, bool bIsDynamic) {
    // Level geometry that moves (rare) meets by the other's reach: every
    // collider goes to the exact check.
    const auto gather = [&](u32 from) {
        const Entry& a = m_entries[ia];
        if (a.sweptAgainst) {
            for (u32 slot = from; slot < slots.size(); ++slot) {
                if (buckets.stamps[slot] != buckets.stamp) {
                    buckets.stamps[slot] = buckets.stamp;
                    m_candidates.push_back(slot);
                }
            }
        } else {
            buckets.Gather(a.reachMin, a.reachMax, from, m_candidates);
        }
    };
    m_candidates.clear();
    buckets.NewGathering();
    gather(begin);
    std::sort(m_candidates.begin(), m_candidates.end());
    for (std::size_t c = 0; c < m_candidates.size(); ++c) {
        const u32 slot = m_candidates[c];
        const u32 ib = slots[slot];
        if (!TestPair(ia, ib, true, bIsDynamic)) continue;
        // Something moved: B into buckets of its new place, and A finds
        // what it may meet from its own new place, after this slot.
        buckets.Insert(slot, m_entries[ib].reachMin, m_entries[ib].reachMax);
        const std::size_t known = m_candidates.size();
        gather(slot + 1);
        if (m_candidates.size() > known) std::sort(m_candidates.begin() + std::ptrdiff_t(c) + 1, m_candidates.end());
    }
}

void CollisionWorld::HoldShovedAtWalls(bool grid) {
    const u32 count = static_cast<u32>(m_entries.size());
    bool anyShoved = false;
    for (const Entry& entry : m_entries) anyShoved = anyShoved || entry.shoved;
    if (!anyShoved) return;
    m_seen.assign(count, 0);
    for (auto& column : m_wallBucketsReady) column.fill(false);
    for (u32 i = 0; i < count; ++i) {
        if (!m_entries[i].shoved) continue;
        Entry& mover = m_entries[i];
        // The box around its way since the frame's physics began: the place
        // it started from was left clear of walls by the last frame.
        const Vec3 back = mover.collider->GetCachedTransform()->GetPreviousPosition() - mover.collider->GetPosition();
        Vec3 min, max;
        for (int axis = 0; axis < 3; ++axis) {
            min[axis] = std::min(mover.min[axis], mover.min[axis] + back[axis]);
            max[axis] = std::max(mover.max[axis], mover.max[axis] + back[axis]);
        }
        const auto tryWall = [&](u32 wall) {
            if (wall == kNoEntry || wall == i || m_seen[wall] == i + 1) return;
            m_seen[wall] = i + 1;
            if (m_entries[wall].sweptAgainst && CornersTouch(min, max, m_entries[wall].min, m_entries[wall].max)) {
                HoldAtWall(i, wall);
            }
        };
        CellSpan span;
        if (!grid) {
            for (u32 wall = 0; wall < count; ++wall) tryWall(wall);
        } else if (ClampedCellSpanLocked(min, max, span)) {
            for (int x = span.x0; x <= span.x1; ++x) {
                for (int z = span.z0; z <= span.z1; ++z) {
                    std::vector<u32>& walls = m_cellWalls[x][z];
                    Buckets& buckets = m_wallBuckets[x][z];
                    if (!m_wallBucketsReady[x][z]) {
                        walls.clear();
                        for (u32 handle : m_staticCells[x][z]) {
                            const u32 entry = m_staticEntries[HandleTable::SlotOf(handle)];
                            if (entry != kNoEntry && m_entries[entry].sweptAgainst) walls.push_back(entry);
                        }
                        buckets.Build(m_entries, walls);
                        m_wallBucketsReady[x][z] = true;
                    }
                    m_candidates.clear();
                    buckets.NewGathering();
                    buckets.Gather(min, max, 0, m_candidates);
                    std::sort(m_candidates.begin(), m_candidates.end());
                    for (u32 slot : m_candidates) tryWall(walls[slot]);
                }
            }
        }
        Refresh(mover);
    }
}

void CollisionWorld::HoldAtWall(u32 im, u32 iw) {
    Entry& mover = m_entries[im];
    Entry& wall = m_entries[iw];
    if (!Meet(*mover.collider, *wall.collider)) return;
    std::vector<u32>& pairs = mover.collider->PairList();
    const bool reported = std::find(pairs.begin(), pairs.end(), wall.id) != pairs.end();
    const s32 side = Resolve(*mover.collider, *wall.collider);
    if (!reported) {
        pairs.push_back(wall.id);
        m_contacts.push_back({{wall.id, side}, {mover.id, OppositeSide(side)}});
    }
    Refresh(mover);
    Refresh(wall);
}

}  // namespace Ostrel
