#pragma once
// A tree of axis-aligned boxes over a fixed set of objects, built once by a
// volume cost heuristic and then asked which objects may lie in a view
// frustum. HbvManager fills it with the static meshes of a level; the tree
// itself knows only handles and world boxes, so it can be built on another
// thread without touching any object.
//
// Build: every node holds the objects of its whole subtree. A node is split
// by trying, on x, then y, then z, every cut of its objects sorted by their
// sort key on that axis; a cut costs volume(left) / volume(node) x
// count(left) + the same for the right, using boxes built from prefix and
// suffix runs. The cheapest cut wins (earlier axes and earlier cuts win
// ties), and the objects go to the children in the winning axis's order. A
// node becomes inner only when one of its children holds 2 or more objects.
//
// Query: the six planes of the frustum come unnormalised from view x
// projection (row vectors, depth 0..w). A node is tested against its
// positive and negative corners, starting with the plane that rejected it
// last time; a node wholly inside gives all its objects without visiting its
// children, and so does an intersecting leaf, so a query answers a superset
// of the objects whose boxes meet the frustum. A node is tested only against
// the planes its parent straddles: a box wholly inside a plane holds its
// children's boxes, which are inside that plane too, so the deeper a walk
// goes along the frustum's edge the fewer planes each node costs. The query walks a compact
// depth-first copy of the tree (nodes side by side, each node's handles one
// run of a shared list), made after each change; the answer holds the same
// objects as the nodes' own lists, in depth-first order.
//
// Not thread-safe: the owner serialises Build, Query and changes.

#include "engine/core/Matrix4.h"
#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/core/Vec4.h"

#include <array>
#include <memory>
#include <vector>

namespace Ostrel {

struct HbvNode {
    bool leaf = true;
    std::unique_ptr<HbvNode> left;
    std::unique_ptr<HbvNode> right;
    Vec3 centre;
    Vec3 halfSize;
    // Every object of the subtree, as indices into the tree's object list.
    std::vector<u32> objects;
    // Where the query keeps this node (see HbvTree::LayOut).
    u32 layoutIndex = 0;

    // Grows the box to include [low, high]. Each half size stays at least
    // 0.001, and a new node's box starts as the point at the origin.
    void Grow(const Vec3& low, const Vec3& high);
};

// One split result (and an entry of the build's work queue).
struct HbvSplit {
    float costLeft;
    float costRight;
    float totalCost;
    u32 leftCount = 0;
    HbvNode* node = nullptr;
};

// The six clip-space planes (left, right, bottom, top, near, far) of a
// depth-0..w projection, in world space: component i of each plane is row i
// of viewProjection dotted with the clip-space plane. Not normalised.
std::array<Vec4, 6> FrustumPlanes(const Matrix4& viewProjection);

// Whether the box lies wholly on the negative side of one of the planes.
bool BoxOutsideAnyPlane(const std::array<Vec4, 6>& planes, const Vec3& low, const Vec3& high);

class HbvTree {
public:
    HbvTree() = default;
    ~HbvTree();
    HbvTree(const HbvTree&) = delete;
    HbvTree& operator=(const HbvTree&) = delete;

    // Drops the tree and starts a new empty root.
    void Reset();
    // Drops the tree; there is no root afterwards.
    void Clear();
    bool HasRoot() const { return m_root != nullptr; }
    const HbvNode* GetRoot() const { return m_root.get(); }

    // Adds an object to the root: its handle, its world box and its sort key
    // (its mesh centre in world space). Nothing without a root or once built.
    void AddObject(u32 handle, const Vec3& low, const Vec3& high, const Vec3& sortKey);
    std::size_t GetObjectCount() const { return m_objects.size(); }
    u32 GetHandle(u32 index) const { return m_objects[index].handle; }

    // Splits the root until no node is worth splitting. Nothing without a
    // root or when built already; a root with fewer than 2 objects stays a
    // leaf.
    void Build();

    // Empties out, then appends the handles of every object of the nodes the
    // frustum of viewProjection reaches (see above). Nothing without a root.
    void Query(const Matrix4& viewProjection, std::vector<u32>& out);
    // The frustum plane that last rejected the node (0 when none did, or
    // when the last query accepted it): the first one its next test tries.
    u32 GetCachedPlane(const HbvNode& node) const;

private:
    struct Object {
        u32 handle;
        Vec3 low;
        Vec3 high;
        Vec3 key;
    };
    // A node as the query walks it: depth-first, next to its left child; 32
    // bytes, two to a cache line. A leaf's subtree is itself (end is its
    // index + 1). Its handles are m_layoutHandles from m_layoutFirst[its
    // index] to m_layoutFirst[end]: the list grows only at leaves, in the
    // walk's order, so a subtree's handles are one run.
    struct LaidOutNode {
        Vec3 centre;
        Vec3 halfSize;
        u32 end;          // the index after its subtree
        u32 cachedPlane;  // the plane that rejected it last, tested first
    };
    enum TestResult { kInside = 0, kOutside = 1, kIntersecting = 2 };

    HbvSplit Split(HbvNode& node);
    void SortByAxis(std::vector<u32>& objects, int axis) const;
    void LayOut();
    // Tests the planes of mask (bit k: plane k); straddled receives those
    // of them the node's box crosses.
    TestResult TestNode(LaidOutNode& node, u32 mask, u32& straddled) const;

    std::vector<Object> m_objects;
    std::unique_ptr<HbvNode> m_root;
    std::array<Vec4, 6> m_planes{};
    // Per plane: the normal with each component's sign turned towards the
    // positive corner (normal . that corner's offset from a box centre is
    // this . the half size).
    std::array<Vec3, 6> m_positiveCorner{};
    bool m_built = false;
    // The query's copy of the tree, rebuilt when the tree changed.
    std::vector<LaidOutNode> m_layout;
    std::vector<u32> m_layoutHandles;
    // Per laid-out node, where its run starts, and the list's length last.
    std::vector<u32> m_layoutFirst;
    bool m_layoutStale = true;
    // The query's walk: per inner node stepped into, where its subtree ends
    // and the plane mask in force outside it.
    struct Entered {
        u32 end;
        u32 mask;
    };
    std::vector<Entered> m_entered;
};

}  // namespace Ostrel
