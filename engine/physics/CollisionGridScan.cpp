// CollisionWorld: the scan of one grid cell's pairs, and the pass that holds
// bodies shoved by other bodies at the level geometry.

#include "engine/components/CollisionComponent.h"
#include "engine/core/HandleTable.h"
#include "engine/core/TransformComponent.h"
#include "engine/physics/CollisionWorld.h"
#include "engine/physics/ShapeTests.h"

#include <algorithm>
#include <cmath>

namespace Ostrel {

namespace {

// At most this many buckets a side, whatever the crowd.
constexpr int kMaxBucketSide = 64;

}  // namespace

void CollisionWorld::Buckets::Build(const std::vector<Entry>& all, const std::vector<u32>& which, float scale) {
    const std::size_t n = which.size();
    float lowX = INFINITY, lowZ = INFINITY, highX = -INFINITY, highZ = -INFINITY;
    float sizeX = 0.0f, sizeZ = 0.0f;
    for (u32 entry : which) {
        const Entry& e = all[entry];
        lowX = std::min(lowX, e.reachMin.x);
        lowZ = std::min(lowZ, e.reachMin.z);
        highX = std::max(highX, e.reachMax.x);
        highZ = std::max(highZ, e.reachMax.z);
        sizeX += e.reachMax.x - e.reachMin.x;
        sizeZ += e.reachMax.z - e.reachMin.z;
    }
    // Buckets scale times as large as the colliders are on average, so each
    // collider lies in few buckets and each bucket holds few colliders.
    const auto count = [n, scale](float low, float high, float sizes) {
        const float extent = high - low;
        if (!(extent > 0.0f) || !std::isfinite(extent) || !std::isfinite(sizes)) return 1;
        const float mean = std::max(scale * sizes / float(n), extent / float(kMaxBucketSide));
        return std::clamp(static_cast<int>(std::ceil(extent / mean)), 1, kMaxBucketSide);
    };
    sidesX = count(lowX, highX, sizeX);
    sidesZ = count(lowZ, highZ, sizeZ);
    x0 = sidesX > 1 ? lowX : 0.0f;
    z0 = sidesZ > 1 ? lowZ : 0.0f;
    // Buckets per unit; 0 puts everything into the first bucket.
    perX = sidesX > 1 ? float(sidesX) / (highX - lowX) : 0.0f;
    perZ = sidesZ > 1 ? float(sidesZ) / (highZ - lowZ) : 0.0f;
    lists.resize(std::size_t(sidesX) * std::size_t(sidesZ));
    for (auto& list : lists) list.clear();
    stamps.assign(n, 0);
    stamp = 0;
    spans.assign(n, {0, -1, 0, -1});
    for (u32 slot = 0; slot < n; ++slot) Insert(slot, all[which[slot]].reachMin, all[which[slot]].reachMax);
}

inline void CollisionWorld::Buckets::Span(const Vec3& min, const Vec3& max, int& i0, int& i1, int& k0, int& k1) const {
    // Clamping keeps the order of places, so boxes that touch beyond the
    // covered region still share its edge buckets; NaN spans everything.
    const auto index = [](float at, float origin, float per, int sides, int fallback) {
        const float last = float(sides - 1);
        const float cell = (at - origin) * per;
        if (cell >= 0.0f) return cell < last ? static_cast<int>(cell) : sides - 1;
        return cell < 0.0f ? 0 : fallback;
    };
    i0 = index(min.x - kTouchMargin, x0, perX, sidesX, 0);
    i1 = index(max.x + kTouchMargin, x0, perX, sidesX, sidesX - 1);
    k0 = index(min.z - kTouchMargin, z0, perZ, sidesZ, 0);
    k1 = index(max.z + kTouchMargin, z0, perZ, sidesZ, sidesZ - 1);
}

void CollisionWorld::Buckets::Insert(u32 slot, const Vec3& min, const Vec3& max) {
    int i0, i1, k0, k1;
    Span(min, max, i0, i1, k0, k1);
    // The buckets it was last put into hold it already.
    const std::array<int, 4> last = spans[slot];
    for (int i = i0; i <= i1; ++i) {
        for (int k = k0; k <= k1; ++k) {
            if (i >= last[0] && i <= last[1] && k >= last[2] && k <= last[3]) continue;
            lists[std::size_t(i) * sidesZ + k].push_back(slot);
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

void CollisionWorld::Buckets::Gather(const Span4& span, u32 from, std::vector<u32>& out) {
    for (int i = span[0]; i <= span[1]; ++i) {
        for (int k = span[2]; k <= span[3]; ++k) {
            for (u32 slot : lists[std::size_t(i) * sidesZ + k]) {
                if (slot < from || stamps[slot] == stamp) continue;
                stamps[slot] = stamp;
                out.push_back(slot);
            }
        }
    }
}

CollisionWorld::Buckets& CollisionWorld::StaticBuckets(int x, int z) {
    if (m_staticBucketsVersion[x][z] != m_staticVersion) {
        m_staticBuckets[x][z].Build(m_entries, m_cellStaticEntries[x][z], 1.0f);
        m_staticBucketsVersion[x][z] = m_staticVersion;
    }
    return m_staticBuckets[x][z];
}

void CollisionWorld::TestCell(int x, int z) {
    const std::vector<u32>& dynamics = m_dynamicCells[x][z];
    if (dynamics.empty()) return;
    m_dynamicBuckets.Build(m_entries, dynamics, 2.0f);
    for (u32 i = 0; i < dynamics.size(); ++i) {
        // Made again here when a static moved in an earlier cell.
        m_entries[dynamics[i]].wallsTested = true;
        ScanCell(dynamics[i], StaticBuckets(x, z), m_cellStaticEntries[x][z], 0, false);
        ScanCell(dynamics[i], m_dynamicBuckets, dynamics, i + 1, true);
    }
}

void CollisionWorld::ScanCell(u32 ia, Buckets& buckets, const std::vector<u32>& slots, u32 begin, bool bIsDynamic) {
    // Gathers, in slot order, the colliders from slot `from` on that A may
    // meet where it stands now (only A and the B of a test move while A
    // scans, so after a test that moved something the rest is gathered
    // again).
    const auto gather = [&](u32 from) {
        buckets.NewGathering();
        const Entry& a = m_entries[ia];
        Buckets::Span4 span{0, buckets.sidesX - 1, 0, buckets.sidesZ - 1};
        // Level geometry that moves (rare) meets by the other's reach: it
        // looks at every collider.
        if (!a.sweptAgainst) buckets.Span(a.reachMin, a.reachMax, span[0], span[1], span[2], span[3]);
        const std::size_t known = m_candidates.size();
        for (int i = span[0]; i <= span[1]; ++i) {
            for (int k = span[2]; k <= span[3]; ++k) {
                for (u32 slot : buckets.lists[std::size_t(i) * buckets.sidesZ + k]) {
                    if (slot < from || buckets.stamps[slot] == buckets.stamp) continue;
                    buckets.stamps[slot] = buckets.stamp;
                    if (MayMeet(a, m_entries[slots[slot]])) m_candidates.push_back(slot);
                }
            }
        }
        std::sort(m_candidates.begin() + std::ptrdiff_t(known), m_candidates.end());
    };
    m_candidates.clear();
    gather(begin);
    const auto same = [](const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; };
    for (std::size_t c = 0; c < m_candidates.size(); ++c) {
        const u32 slot = m_candidates[c];
        const u32 ib = slots[slot];
        const Vec3 reachMin = m_entries[ia].reachMin, reachMax = m_entries[ia].reachMax;
        const Vec3 bMin = m_entries[ib].min;
        if (!TestPair(ia, ib, true, bIsDynamic)) continue;
        // Something may have moved: B into buckets of its new place, and A
        // gathers again from its own new place, after this slot.
        if (!same(bMin, m_entries[ib].min)) buckets.Insert(slot, m_entries[ib].reachMin, m_entries[ib].reachMax);
        if (same(reachMin, m_entries[ia].reachMin) && same(reachMax, m_entries[ia].reachMax)) continue;
        m_candidates.resize(c + 1);
        gather(slot + 1);
    }
}

void CollisionWorld::HoldShovedAtWalls(bool grid) {
    const u32 count = static_cast<u32>(m_entries.size());
    bool anyShoved = false;
    for (const Entry& entry : m_entries) anyShoved = anyShoved || entry.shoved;
    if (!anyShoved) return;
    m_seen.assign(count, 0);
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
        // A body that moved too little to need sweeping can only have been
        // shoved into a wall it now overlaps; one that merely touches a wall
        // (standing on a floor, pushed along it) is left as it is.
        const bool sweeps = MotionNeedsSweep(*mover.collider);
        const auto tryWall = [&](u32 wall) {
            if (wall == kNoEntry || wall == i || m_seen[wall] == i + 1) return;
            m_seen[wall] = i + 1;
            const Entry& w = m_entries[wall];
            if (!w.sweptAgainst || !CornersTouch(min, max, w.min, w.max)) return;
            if (!sweeps) {
                for (int axis = 0; axis < 3; ++axis) {
                    const float depth = std::min(mover.max[axis] - w.min[axis], w.max[axis] - mover.min[axis]);
                    if (depth <= kTouchMargin) return;
                }
            }
            HoldAtWall(i, wall);
        };
        CellSpan span;
        if (!grid) {
            for (u32 wall = 0; wall < count; ++wall) tryWall(wall);
        } else if (ClampedCellSpanLocked(min, max, span)) {
            for (int x = span.x0; x <= span.x1; ++x) {
                for (int z = span.z0; z <= span.z1; ++z) {
                    const std::vector<u32>& walls = m_cellStaticEntries[x][z];
                    Buckets& buckets = StaticBuckets(x, z);
                    m_candidates.clear();
                    buckets.NewGathering();
                    Buckets::Span4 span4;
                    buckets.Span(min, max, span4[0], span4[1], span4[2], span4[3]);
                    buckets.Gather(span4, 0, m_candidates);
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
    if (!Meet(*mover.collider, *wall.collider, mover.sweptAgainst, wall.sweptAgainst)) return;
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
