#include "engine/graphics/animation/SkeletonManager.h"

namespace Ostrel {

SkeletonManager::~SkeletonManager() {
    std::lock_guard<std::mutex> lock(m_mutex);
    DeleteAll();
    m_displaced.clear();
}

Skeleton* SkeletonManager::File(const std::string& name, std::unique_ptr<Skeleton> skeleton) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<Skeleton>& slot = m_assets[name];
    if (slot) m_displaced.push_back(std::move(slot));
    slot = std::move(skeleton);
    return slot.get();
}

Skeleton* SkeletonManager::Create(const std::string& name) {
    return File(name, std::make_unique<Skeleton>());
}

Skeleton* SkeletonManager::AddSkeleton(const std::string& name, const Skeleton& source) {
    return File(name, std::make_unique<Skeleton>(source));
}

Skeleton* SkeletonManager::ReplaceSkeleton(const std::string& name, const Skeleton& source) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<Skeleton>& slot = m_assets[name];
    if (!slot) slot = std::make_unique<Skeleton>();
    CopySkeleton(*slot, source);
    return slot.get();
}

Skeleton* SkeletonManager::Find(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_assets.find(name);
    return it == m_assets.end() ? nullptr : it->second.get();
}

}  // namespace Ostrel
