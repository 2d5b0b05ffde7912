#pragma once
// The game's volume hierarchy over the static, visible meshes of a level
// (one per run, game only). Between "LevelLoadStarted" and "LevelLoaded" it
// collects every announced object whose MeshComponent is Visible, not
// Scaffolding and not IsImportant, on an object that has a transform and a
// mesh and can neither move ('move') nor be destroyed ('desC'). On
// "RequestBackgroundLoadTargets" it hands the level loader a job,
// OnLevelLoaded, that builds the tree (HbvTree) on the loader's thread. The
// render pass then asks Query for the mesh-component handles that may be in
// view; handles of meshes destroyed since stay in the tree until the next
// level, and the caller's handle look-up skips them.
//
// Threads: the tree sits behind a lock. Collecting stops on the main thread
// when "LevelLoaded" arrives (and again when the job starts); the job holds
// the lock for the whole build, and a Query that finds the lock taken answers
// an empty list instead of waiting. Before the first level, Query answers an
// empty list too.
//
// Keys 188 (comma) and 190 (full stop) lower and raise a debug depth for the
// renderer's debug drawing; it never goes below 0.

#include "engine/core/Matrix4.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/RefPtr.h"
#include "engine/base/Types.h"
#include "engine/core/VariantFunction.h"
#include "engine/physics/HbvTree.h"
#include "engine/platform/SubscriptionList.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace Ostrel {

class HbvManager {
public:
    static constexpr int kKeyLowerDepth = 188;
    static constexpr int kKeyRaiseDepth = 190;

    HbvManager() = default;
    ~HbvManager();
    HbvManager(const HbvManager&) = delete;
    HbvManager& operator=(const HbvManager&) = delete;

    // The manager Initialize registered, or null.
    static HbvManager* GetInstance() { return s_instance; }

    // Registers the instance and subscribes to "LevelLoadStarted",
    // "ObjectCreated", "LevelLoaded", "KeyTriggered" and
    // "RequestBackgroundLoadTargets" in the running engine's core system.
    void Initialize();
    // Unsubscribes and deletes the tree.
    void Shutdown();
    // While inactive (the renderer's "UseHBV" is off) no level is collected.
    void SetActive(bool active) { m_active = active; }
    bool IsActive() const { return m_active; }

    void OnLevelLoadStarted();
    void OnObjectCreated(u32 id);
    // The main thread's "LevelLoaded": collecting stops.
    void OnLevelLoadFinished();
    void OnKeyTriggered(int key, bool pressed);
    void OnRequestBackgroundLoadTargets(std::vector<FunctionRef>* targets);
    // The level loader's job: stops collecting and builds the tree.
    void OnLevelLoaded();

    // Empties out and appends the handles of the MeshComponents that may lie
    // in the frustum of view x projection (the matrix manager's matrices).
    void Query(std::vector<u32>& out, const Matrix4& view, const Matrix4& projection);

    bool IsCollecting() const { return m_collecting; }
    int GetDebugDepth() const { return m_debugDepth; }
    // How many meshes the current tree holds (0 without one).
    std::size_t GetObjectCount() const;

private:
    mutable std::mutex m_mutex;
    HbvTree m_tree;  // guarded by m_mutex
    std::atomic<bool> m_collecting{false};
    bool m_active = true;
    int m_debugDepth = 0;
    SubscriptionList m_subscriptions;

    static inline HbvManager* s_instance = nullptr;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::HbvManager);
