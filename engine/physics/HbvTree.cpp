#include "engine/physics/HbvTree.h"

#include <algorithm>
#include <cfloat>
#include <queue>

namespace Ostrel {

namespace {

constexpr float kMinHalfSize = 0.001f;

struct Box {
    Vec3 low;
    Vec3 high;
    void Include(const Vec3& l, const Vec3& h) {
        for (int a = 0; a < 3; ++a) {
            low[a] = std::min(low[a], l[a]);
            high[a] = std::max(high[a], h[a]);
        }
    }
};

// A candidate child: its box as centre and half size (each half size at
// least the minimum) and its object count.
struct Candidate {
    Vec3 centre;
    Vec3 halfSize;
    u32 count = 0;
};

Candidate MakeCandidate(const Box& box, u32 count) {
    Candidate c;
    c.centre = (box.high + box.low) * 0.5f;
    c.halfSize = (box.high - box.low) * 0.5f;
    for (int a = 0; a < 3; ++a) c.halfSize[a] = std::max(c.halfSize[a], kMinHalfSize);
    c.count = count;
    return c;
}

float Volume(const Vec3& halfSize) { return halfSize.x * halfSize.y * halfSize.z; }

struct CheaperFirst {
    bool operator()(const HbvSplit& a, const HbvSplit& b) const { return a.totalCost > b.totalCost; }
};

}  // namespace

void HbvNode::Grow(const Vec3& low, const Vec3& high) {
    Box box{centre - halfSize, centre + halfSize};
    box.Include(low, high);
    centre = (box.high + box.low) * 0.5f;
    halfSize = (box.high - box.low) * 0.5f;
    for (int a = 0; a < 3; ++a) halfSize[a] = std::max(halfSize[a], kMinHalfSize);
}

std::array<Vec4, 6> FrustumPlanes(const Matrix4& m) {
    static const Vec4 kClipPlanes[6] = {{1, 0, 0, 1}, {-1, 0, 0, 1}, {0, 1, 0, 1},
                                        {0, -1, 0, 1}, {0, 0, 1, 0},  {0, 0, -1, 1}};
    std::array<Vec4, 6> planes;
    for (int i = 0; i < 6; ++i) planes[i] = m.TransformVec4(kClipPlanes[i]);
    return planes;
}

bool BoxOutsideAnyPlane(const std::array<Vec4, 6>& planes, const Vec3& low, const Vec3& high) {
    for (const Vec4& n : planes) {
        const float x = n.x > 0.0f ? high.x : low.x;  // the box's positive corner
        const float y = n.y > 0.0f ? high.y : low.y;
        const float z = n.z > 0.0f ? high.z : low.z;
        if (n.x * x + n.y * y + n.z * z + n.w < 0.0f) return true;
    }
    return false;
}

HbvTree::~HbvTree() { Clear(); }

void HbvTree::Reset() {
    Clear();
    m_root = std::make_unique<HbvNode>();
}

// Children before parents, without recursion: a tree cut one object at a time
// can be as deep as it has objects.
void HbvTree::Clear() {
    std::vector<std::unique_ptr<HbvNode>> pending;
    if (m_root) pending.push_back(std::move(m_root));
    while (!pending.empty()) {
        std::unique_ptr<HbvNode> node = std::move(pending.back());
        pending.pop_back();
        if (node->left) pending.push_back(std::move(node->left));
        if (node->right) pending.push_back(std::move(node->right));
    }
    m_objects.clear();
    m_built = false;
    m_layout.clear();
    m_layoutHandles.clear();
    m_layoutFirst.clear();
    m_layoutStale = true;
}

void HbvTree::AddObject(u32 handle, const Vec3& low, const Vec3& high, const Vec3& sortKey) {
    if (!m_root || m_built) return;
    m_root->Grow(low, high);
    m_root->objects.push_back(static_cast<u32>(m_objects.size()));
    m_objects.push_back({handle, low, high, sortKey});
    m_layoutStale = true;
}

void HbvTree::Build() {
    if (!m_root || m_built) return;
    m_built = true;
    std::priority_queue<HbvSplit, std::vector<HbvSplit>, CheaperFirst> work;
    work.push(Split(*m_root));
    while (!work.empty()) {
        HbvNode& node = *work.top().node;
        work.pop();
        if (!node.left || !node.right) continue;
        const std::size_t leftCount = node.left->objects.size();
        const std::size_t rightCount = node.right->objects.size();
        if (leftCount < 2 && rightCount < 2) continue;  // stays a leaf
        node.leaf = false;
        if (leftCount > 1) work.push(Split(*node.left));
        if (rightCount >= 2) work.push(Split(*node.right));
    }
    m_layoutStale = true;
}

void HbvTree::SortByAxis(std::vector<u32>& objects, int axis) const {
    std::stable_sort(objects.begin(), objects.end(),
                     [&](u32 a, u32 b) { return m_objects[a].key[axis] < m_objects[b].key[axis]; });
}

HbvSplit HbvTree::Split(HbvNode& node) {
    HbvSplit record{FLT_MAX, FLT_MAX, FLT_MAX, 0, &node};
    const std::size_t n = node.objects.size();
    if (n < 2) return record;  // nothing to cut (also an empty level)
    node.left = std::make_unique<HbvNode>();
    node.right = std::make_unique<HbvNode>();

    const float nodeVolume = Volume(node.halfSize);
    std::vector<Candidate> prefix(n - 1), suffix(n - 1);
    Candidate bestLeft, bestRight;
    int bestAxis = -1;
    for (int axis = 0; axis < 3; ++axis) {
        SortByAxis(node.objects, axis);
        Box run{m_objects[node.objects[0]].low, m_objects[node.objects[0]].high};
        for (std::size_t i = 0; i + 1 < n; ++i) {
            if (i > 0) run.Include(m_objects[node.objects[i]].low, m_objects[node.objects[i]].high);
            prefix[i] = MakeCandidate(run, static_cast<u32>(i + 1));
        }
        run = {m_objects[node.objects[n - 1]].low, m_objects[node.objects[n - 1]].high};
        for (std::size_t i = n - 1; i-- > 0;) {
            if (i + 2 < n) run.Include(m_objects[node.objects[i + 1]].low, m_objects[node.objects[i + 1]].high);
            suffix[i] = MakeCandidate(run, static_cast<u32>(n - 1 - i));
        }
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const float costLeft = Volume(prefix[i].halfSize) / nodeVolume * static_cast<float>(prefix[i].count);
            const float costRight = Volume(suffix[i].halfSize) / nodeVolume * static_cast<float>(suffix[i].count);
            const float total = costLeft + costRight;
            if (total < record.totalCost && prefix[i].count >= 1 && suffix[i].count >= 1) {
                record = {costLeft, costRight, total, prefix[i].count, &node};
                bestLeft = prefix[i];
                bestRight = suffix[i];
                bestAxis = axis;
            }
        }
    }
    // No finite cost: the node keeps its objects and its empty children, so
    // Build leaves it a leaf instead of cutting it again for ever.
    if (bestAxis < 0) return record;

    node.left->centre = bestLeft.centre;
    node.left->halfSize = bestLeft.halfSize;
    node.right->centre = bestRight.centre;
    node.right->halfSize = bestRight.halfSize;
    SortByAxis(node.objects, bestAxis);
    for (std::size_t i = 0; i < n; ++i) {
        HbvNode& child = i < record.leftCount ? *node.left : *node.right;
        const Object& object = m_objects[node.objects[i]];
        child.Grow(object.low, object.high);
        child.objects.push_back(node.objects[i]);
    }
    return record;
}

u32 HbvTree::GetCachedPlane(const HbvNode& node) const {
    if (m_layoutStale || node.layoutIndex >= m_layout.size()) return 0;
    return m_layout[node.layoutIndex].cachedPlane;
}

// The tree the query walks: the nodes it can reach in depth-first order (left
// before right), each knowing where its subtree ends, and one list of handles
// in which every node's objects form one run. The run of an inner node is its
// children's runs, so it holds the same objects as the node's own list.
void HbvTree::LayOut() {
    m_layout.clear();
    m_layoutHandles.clear();
    m_layoutFirst.clear();
    m_layoutStale = false;
    if (!m_root) return;
    constexpr u32 kEnter = ~0u;
    std::vector<std::pair<HbvNode*, u32>> pending{{m_root.get(), kEnter}};
    while (!pending.empty()) {
        auto [node, index] = pending.back();
        pending.pop_back();
        if (index != kEnter) {  // the subtree of m_layout[index] is complete
            m_layout[index].end = static_cast<u32>(m_layout.size());
            continue;
        }
        node->layoutIndex = static_cast<u32>(m_layout.size());
        m_layout.push_back({node->centre, node->halfSize, node->layoutIndex + 1, 0});
        m_layoutFirst.push_back(static_cast<u32>(m_layoutHandles.size()));
        if (node->leaf) {
            for (u32 object : node->objects) m_layoutHandles.push_back(m_objects[object].handle);
            continue;
        }
        pending.push_back({node, node->layoutIndex});
        pending.push_back({node->right.get(), kEnter});
        pending.push_back({node->left.get(), kEnter});
    }
    m_layoutFirst.push_back(static_cast<u32>(m_layoutHandles.size()));
}

// Inlined into the query's loop: it is the loop's whole work.
[[gnu::always_inline]] inline HbvTree::TestResult HbvTree::TestNode(LaidOutNode& node, u32 mask,
                                                                   u32& straddled) const {
    static constexpr u8 kOrder[6][6] = {{0, 1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, 0}, {2, 3, 4, 5, 0, 1},
                                        {3, 4, 5, 0, 1, 2}, {4, 5, 0, 1, 2, 3}, {5, 0, 1, 2, 3, 4}};
    straddled = 0;
    for (u32 k : kOrder[node.cachedPlane]) {
        if (!(mask & (1u << k))) continue;
        const Vec4& plane = m_planes[k];
        // normal . (positive corner - centre), with the corner's signs
        // folded into the normal (exact: they are +-1).
        const Vec3& towardsCorner = m_positiveCorner[k];
        const float atCentre = plane.x * node.centre.x + plane.y * node.centre.y + plane.z * node.centre.z + plane.w;
        const float towards = towardsCorner.x * node.halfSize.x + towardsCorner.y * node.halfSize.y +
                              towardsCorner.z * node.halfSize.z;
        if (atCentre + towards < 0.0f) {  // the positive corner is outside
            node.cachedPlane = k;
            return kOutside;
        }
        if (atCentre - towards < 0.0f) straddled |= 1u << k;  // the negative corner is
    }
    // Written only when it changes: most nodes keep 0, and an unchanged
    // node's line stays clean.
    if (node.cachedPlane != 0) node.cachedPlane = 0;
    return straddled ? kIntersecting : kInside;
}

void HbvTree::Query(const Matrix4& viewProjection, std::vector<u32>& out) {
    out.clear();
    m_planes = FrustumPlanes(viewProjection);
    // Per plane, which way each axis goes to its positive corner (the
    // negative corner is the opposite one), times the normal's component.
    for (int k = 0; k < 6; ++k) {
        const Vec4& n = m_planes[k];
        m_positiveCorner[k] = Vec3(n.x > 0.0f ? n.x : -n.x, n.y > 0.0f ? n.y : -n.y, n.z > 0.0f ? n.z : -n.z);
    }
    if (!m_root) return;
    if (m_layoutStale) LayOut();
    // Outside: skip the subtree. Intersecting inner node: step into it (its
    // left child comes next) with the planes it straddles. Inside, or an
    // intersecting leaf: take its run and skip the subtree.
    constexpr u32 kAllPlanes = 0x3F;
    u32 mask = kAllPlanes;
    m_entered.clear();
    for (std::size_t i = 0; i < m_layout.size();) {
        while (!m_entered.empty() && i >= m_entered.back().end) {
            mask = m_entered.back().mask;
            m_entered.pop_back();
        }
        LaidOutNode& node = m_layout[i];
        u32 straddled = 0;
        const TestResult result = TestNode(node, mask, straddled);
        if (result == kIntersecting && node.end != i + 1) {  // an inner node
            m_entered.push_back({node.end, mask});
            mask = straddled;
            ++i;
            continue;
        }
        if (result != kOutside) {
            const auto handles = m_layoutHandles.begin();
            out.insert(out.end(), handles + m_layoutFirst[i], handles + m_layoutFirst[node.end]);
        }
        i = node.end;
    }
}

}  // namespace Ostrel
