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

float PlaneDistance(const Vec4& plane, const Vec3& p) {
    return plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w;
}

// The corner of centre +- half that lies farthest along the plane's normal
// (positive) or against it.
Vec3 Corner(const Vec4& plane, const Vec3& centre, const Vec3& half, bool positive) {
    Vec3 corner = centre;
    const float normal[3] = {plane.x, plane.y, plane.z};
    for (int a = 0; a < 3; ++a) corner[a] += (normal[a] > 0.0f) == positive ? half[a] : -half[a];
    return corner;
}

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
    const Vec3 centre = (high + low) * 0.5f;
    const Vec3 half = (high - low) * 0.5f;
    for (const Vec4& plane : planes) {
        if (PlaneDistance(plane, Corner(plane, centre, half, true)) < 0.0f) return true;
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
}

void HbvTree::AddObject(u32 handle, const Vec3& low, const Vec3& high, const Vec3& sortKey) {
    if (!m_root) return;
    m_root->Grow(low, high);
    m_root->objects.push_back(static_cast<u32>(m_objects.size()));
    m_objects.push_back({handle, low, high, sortKey});
}

void HbvTree::Build() {
    if (!m_root) return;
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

HbvTree::TestResult HbvTree::TestNode(HbvNode& node) const {
    TestResult result = kInside;
    for (u32 i = 0; i < 6; ++i) {
        const u32 k = (i + node.cachedPlane) % 6;
        const Vec4& plane = m_planes[k];
        if (PlaneDistance(plane, Corner(plane, node.centre, node.halfSize, true)) < 0.0f) {
            node.cachedPlane = k;
            return kOutside;
        }
        if (PlaneDistance(plane, Corner(plane, node.centre, node.halfSize, false)) < 0.0f) {
            result = kIntersecting;
        }
    }
    node.cachedPlane = 0;
    return result;
}

void HbvTree::Query(const Matrix4& viewProjection, std::vector<u32>& out) {
    out.clear();
    m_planes = FrustumPlanes(viewProjection);
    if (!m_root) return;
    // Depth first, left before right, with a stack of our own (see Clear).
    std::vector<HbvNode*> pending{m_root.get()};
    while (!pending.empty()) {
        HbvNode& node = *pending.back();
        pending.pop_back();
        const TestResult result = TestNode(node);
        if (result == kOutside) continue;
        if (result == kIntersecting && !node.leaf) {
            pending.push_back(node.right.get());
            pending.push_back(node.left.get());
            continue;
        }
        for (u32 index : node.objects) out.push_back(m_objects[index].handle);
    }
}

}  // namespace Ostrel
