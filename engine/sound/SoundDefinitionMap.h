#pragma once
// The sound records by name (SoundDefinition.h). Records are made on first
// mention and live as long as the map, so pointers to them stay valid. The
// map is guarded: manifests load on the loading thread and on the main
// thread (debug reload) while sounds look their records up.

#include "engine/platform/SoundDefinition.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace Ostrel {

class SoundDefinitionMap {
public:
    // The record of name, made with the defaults when absent.
    SoundDefinition* GetOrCreate(const std::string& name);
    // The record of name, or null.
    SoundDefinition* Find(const std::string& name) const;
    // Runs update on the record of name (made when absent) while no other
    // thread reads or changes the map, so a manifest entry applies whole.
    void Update(const std::string& name, const std::function<void(SoundDefinition&)>& update);
    std::size_t Size() const;

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<SoundDefinition>> m_records;
};

}  // namespace Ostrel
