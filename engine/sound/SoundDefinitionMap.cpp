#include "engine/sound/SoundDefinitionMap.h"

namespace Ostrel {

namespace {
SoundDefinition* GetOrCreateIn(std::map<std::string, std::unique_ptr<SoundDefinition>>& records,
                               const std::string& name) {
    auto& record = records[name];
    if (!record) record = std::make_unique<SoundDefinition>(name);
    return record.get();
}
}  // namespace

SoundDefinition* SoundDefinitionMap::GetOrCreate(const std::string& name) {
    std::lock_guard lock(m_mutex);
    return GetOrCreateIn(m_records, name);
}

SoundDefinition* SoundDefinitionMap::Find(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    auto it = m_records.find(name);
    return it == m_records.end() ? nullptr : it->second.get();
}

void SoundDefinitionMap::Update(const std::string& name,
                                const std::function<void(SoundDefinition&)>& update) {
    std::lock_guard lock(m_mutex);
    update(*GetOrCreateIn(m_records, name));
}

std::size_t SoundDefinitionMap::Size() const {
    std::lock_guard lock(m_mutex);
    return m_records.size();
}

}  // namespace Ostrel
