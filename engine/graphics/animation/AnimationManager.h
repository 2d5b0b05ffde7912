#pragma once
// The animation clips by name: each model file's clip under the file's base
// name, and the animation sets (".anim" files), each a copy of a loaded clip
// with its own playback rate under the set's base name.
//
// An animation set is text of whitespace-separated tokens: "anim:" followed
// by the clip's name, "scale:" followed by the playback rate (negative plays
// backwards; 1.0 when absent). Other tokens are ignored and a later entry
// overrides an earlier one. The clip must be loaded first: sets load after
// the model files in the background order.
//
// Threads: as for SkeletonManager. The background loader files clips while
// the main thread looks them up; every map access takes the mutex, entries
// are complete before they are filed, and displaced entries live until the
// manager is destroyed. ReplaceAnimation rewrites in place: main thread only.

#include "engine/core/GenericManager.h"
#include "engine/graphics/animation/Animation.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace Ostrel {

// What an animation set file says.
struct AnimationSetText {
    std::string animName;
    float scale = 1.0f;
};

// Reads the tokens of a set file; source names the file in log lines.
AnimationSetText ParseAnimationSet(std::string_view text, const std::string& source);

class AnimationManager : public GenericAssetManager<AnimationManager, Animation> {
public:
    AnimationManager() = default;
    ~AnimationManager() override;

    // A new entry (scale 1.0, no tracks) filed under name.
    Animation* AddAnimSet(const std::string& name);
    // A new entry with the file clip's duration and keys, scale 1.0.
    Animation* AddAnimation(const std::string& name, const ModelAnimationData& clip);
    // The entry of that name (created when missing) takes the clip's duration
    // and keys and keeps its scale.
    Animation* ReplaceAnimation(const std::string& name, const ModelAnimationData& clip);
    // The entry of that name, or null.
    Animation* Find(const std::string& name) const;

    // Reads the set file at path and files a copy of the clip it names, with
    // the set's scale, under the file's base name. A file that cannot be read,
    // or that names no loaded clip, is logged and makes no entry; returns the
    // entry or null.
    Animation* LoadAnimationSet(const std::string& path);

private:
    // The base's unlocked operations are not for use here.
    using GenericAssetManager::Add;
    using GenericAssetManager::Remove;

    Animation* File(const std::string& name, std::unique_ptr<Animation> animation);

    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<Animation>> m_displaced;
};

// The ANIM_WRAPPER loader: LoadAnimationSet on the live manager.
void LoadAnimWrapperResource(const std::string& path);

}  // namespace Ostrel
