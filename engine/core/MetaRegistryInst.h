#pragma once
// The registry of meta classes by name: every MetaClass registers itself here
// when it is constructed; the first meta class of a name stays, a later one of
// the same name is refused. The registry does not own the meta classes (they
// are static objects); a meta class destroyed before the registry removes
// itself. Lookups are safe from any thread.
//
// A singleton (Lifetime.h, longevity 100), destroyed at exit before the
// small-object allocator.

#include "engine/core/Lifetime.h"

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace Ostrel {

class MetaClass;

class MetaRegistryInst {
public:
    static MetaRegistryInst& Instance();
    // The registry, or nullptr when it does not exist (never creates it).
    static MetaRegistryInst* InstanceIfAlive();

    // False (and nothing stored) when the name is taken already, unless the
    // name is held by a placeholder and meta is not: then meta replaces it.
    bool Register(MetaClass* meta);
    // Forgets meta if it is the one registered under its name.
    void Unregister(const MetaClass* meta);

    MetaClass* Find(std::string_view name) const;
    std::size_t GetCount() const;
    // Every registered meta class in ascending name order (byte-wise).
    std::vector<MetaClass*> GetAll() const;

private:
    friend class LongLivedSingleton<MetaRegistryInst, kLongevityMetaRegistry>;
    MetaRegistryInst() = default;

    mutable std::mutex m_mutex;
    std::map<std::string, MetaClass*, std::less<>> m_classes;
};

}  // namespace Ostrel
