#include "engine/sound/SoundManager.h"

namespace Ostrel {

SoundManager::~SoundManager() {
    // The base deletes the filed assets; the retired ones go with them.
    std::lock_guard lock(m_mutex);
    m_retired.clear();
}

SoundAsset* SoundManager::Find(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    auto it = m_assets.find(name);
    return it == m_assets.end() ? nullptr : it->second.get();
}

void SoundManager::Store(const std::string& name, std::unique_ptr<SoundAsset> asset) {
    std::lock_guard lock(m_mutex);
    std::unique_ptr<SoundAsset>& entry = m_assets[name];
    if (entry) m_retired.push_back(std::move(entry));
    entry = std::move(asset);
}

std::size_t SoundManager::RetiredCount() const {
    std::lock_guard lock(m_mutex);
    return m_retired.size();
}

}  // namespace Ostrel
