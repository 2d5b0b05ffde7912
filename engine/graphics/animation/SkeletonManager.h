#pragma once
// The skeletons of the loaded model files, by name (the file's base name).
//
// Threads: the background loader adds skeletons while the main thread looks
// them up, so every access to the map takes the manager's mutex. A skeleton
// is fully built before it is filed, and a skeleton that a later one of the
// same name displaces is kept (not deleted) until the manager is destroyed,
// so a pointer returned by Find stays valid for the whole run.
// ReplaceSkeleton rewrites the filed skeleton in place: call it only from the
// main thread (the model viewer's reload), where nothing reads it meanwhile.

#include "engine/core/GenericManager.h"
#include "engine/graphics/animation/Skeleton.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Ostrel {

class SkeletonManager : public GenericAssetManager<SkeletonManager, Skeleton> {
public:
    SkeletonManager() = default;
    ~SkeletonManager() override;

    // A new empty skeleton filed under name.
    Skeleton* Create(const std::string& name);
    // A copy of source (links rebuilt) filed under name.
    Skeleton* AddSkeleton(const std::string& name, const Skeleton& source);
    // The skeleton of that name (created when missing) becomes a copy of
    // source; no link of its previous content survives.
    Skeleton* ReplaceSkeleton(const std::string& name, const Skeleton& source);
    // The skeleton of that name, or null.
    Skeleton* Find(const std::string& name) const;

private:
    // The base's unlocked operations are not for use here.
    using GenericAssetManager::Add;
    using GenericAssetManager::Remove;

    Skeleton* File(const std::string& name, std::unique_ptr<Skeleton> skeleton);

    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<Skeleton>> m_displaced;
};

}  // namespace Ostrel
