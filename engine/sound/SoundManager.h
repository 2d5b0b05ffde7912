#pragma once
// The loaded sounds by name (SoundAsset.h). Sounds arrive from the loading
// thread while the main thread plays them, so the table is guarded. A sound
// loaded again under a name already filed (a package and the background load
// both reach it) replaces the entry for later plays, but the old asset is not
// deleted: it goes to a retired list until the manager ends, so that a caller
// holding it and the plays it started are not cut off.

#include "engine/core/GenericManager.h"
#include "engine/platform/SoundAsset.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Ostrel {

class SoundManager : public GenericAssetManager<SoundManager, SoundAsset> {
public:
    SoundManager() = default;
    ~SoundManager() override;

    // The sound of that name, or null. The asset stays valid until the
    // manager ends, even when it is replaced meanwhile.
    SoundAsset* Find(const std::string& name) const;
    // Files asset under name; an asset already there is retired.
    void Store(const std::string& name, std::unique_ptr<SoundAsset> asset);
    std::size_t RetiredCount() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<SoundAsset>> m_retired;
};

}  // namespace Ostrel
