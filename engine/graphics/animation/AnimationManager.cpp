#include "engine/graphics/animation/AnimationManager.h"

#include "engine/io/FilePath.h"
#include "engine/io/FileSystemFile.h"
#include "engine/base/Log.h"
#include "engine/io/DataValue.h"
#include "engine/io/StreamBufferedReader.h"

#include <charconv>

namespace Ostrel {

namespace {

Animation CopyOfClip(const ModelAnimationData& clip, float scale) {
    Animation animation;
    animation.duration = clip.duration;
    animation.scale = scale;
    animation.tracks = clip.tracks;
    return animation;
}

// The whole file at path, or false.
bool ReadTextFile(const std::string& path, std::string& text) {
    FileSystemFile file(path);
    if (!file.Open()) return false;
    const s32 size = file.ReadAll(nullptr);
    if (size < 0) return false;
    text.assign(std::size_t(size), '\0');
    return size == 0 || file.ReadAll(text.data()) == size;
}

}  // namespace

AnimationSetText ParseAnimationSet(std::string_view text, const std::string& source) {
    AnimationSetText set;
    std::unique_ptr<StreamBufferedReader> reader = StreamBufferedReader::FromText(std::string(text));
    std::string token;
    while (reader->ReadToken(token)) {
        if (token == "anim:") {
            reader->ReadToken(set.animName);
        } else if (token == "scale:") {
            std::string number;
            if (!reader->ReadToken(number)) break;
            // Any finite rate: a negative one plays the clip backwards.
            ReadDataValue(source, "scale:", number.c_str(), &set.scale, {}, NumberText::Leading);
        }
    }
    return set;
}

AnimationManager::~AnimationManager() {
    std::lock_guard<std::mutex> lock(m_mutex);
    DeleteAll();
    m_displaced.clear();
}

Animation* AnimationManager::File(const std::string& name, std::unique_ptr<Animation> animation) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<Animation>& slot = m_assets[name];
    if (slot) m_displaced.push_back(std::move(slot));
    slot = std::move(animation);
    return slot.get();
}

Animation* AnimationManager::AddAnimSet(const std::string& name) {
    return File(name, std::make_unique<Animation>());
}

Animation* AnimationManager::AddAnimation(const std::string& name, const ModelAnimationData& clip) {
    return File(name, std::make_unique<Animation>(CopyOfClip(clip, 1.0f)));
}

Animation* AnimationManager::ReplaceAnimation(const std::string& name, const ModelAnimationData& clip) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<Animation>& slot = m_assets[name];
    if (!slot) slot = std::make_unique<Animation>();
    *slot = CopyOfClip(clip, slot->scale);
    return slot.get();
}

Animation* AnimationManager::Find(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_assets.find(name);
    return it == m_assets.end() ? nullptr : it->second.get();
}

Animation* AnimationManager::LoadAnimationSet(const std::string& path) {
    const std::string name = FilePath(path).GetBaseName();
    std::string text;
    if (!ReadTextFile(path, text)) {
        LogMessagef("animation set %s: cannot be read, skipped\n", path.c_str());
        return nullptr;
    }
    const AnimationSetText set = ParseAnimationSet(text, path);
    if (set.animName.empty()) {
        LogMessagef("animation set %s: no 'anim:' entry, skipped\n", path.c_str());
        return nullptr;
    }
    // Copy the source before filing: a set may name itself or a clip that a
    // reload replaces meanwhile, and the copy must be complete when filed.
    std::unique_ptr<Animation> entry;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_assets.find(set.animName);
        if (it != m_assets.end() && it->second) entry = std::make_unique<Animation>(*it->second);
    }
    if (!entry) {
        LogMessagef("animation set %s: clip '%s' is not loaded, skipped\n", path.c_str(),
                    set.animName.c_str());
        return nullptr;
    }
    entry->scale = set.scale;
    return File(name, std::move(entry));
}

void LoadAnimWrapperResource(const std::string& path) {
    if (AnimationManager* manager = AnimationManager::Instance()) manager->LoadAnimationSet(path);
}

}  // namespace Ostrel
