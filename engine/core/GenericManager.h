#pragma once
// Class-wide instance pointers for the managers the mains construct once per
// run (resource, sound, font, room, script, UI managers...).
//
// GenericManager<M> records the one M: its constructor makes the new object
// the instance (a second instance silently replaces the first) and its
// destructor clears the pointer, so Instance() is null before a main builds
// the manager and after its teardown; callers that may run then check.
//
// GenericAssetManager<M, A> adds a table of named assets that the manager
// owns: its destructor deletes every non-null asset, in name order.

#include <map>
#include <memory>
#include <string>

namespace Ostrel {

template <class M>
class GenericManager {
public:
    GenericManager() { s_instance = this; }
    virtual ~GenericManager() {
        if (s_instance == this) s_instance = nullptr;
    }
    GenericManager(const GenericManager&) = delete;
    GenericManager& operator=(const GenericManager&) = delete;

    // The manager, or null when none exists.
    static M* Instance() { return static_cast<M*>(s_instance); }

private:
    // Kept as the base pointer: the constructor runs before M exists.
    static inline GenericManager* s_instance = nullptr;
};

template <class M, class A>
class GenericAssetManager : public GenericManager<M> {
public:
    GenericAssetManager() = default;
    ~GenericAssetManager() override { DeleteAll(); }

    // The asset of that name, or null.
    A* Find(const std::string& name) const {
        auto it = m_assets.find(name);
        return it == m_assets.end() ? nullptr : it->second.get();
    }

    // Takes ownership. A name already filed keeps its first asset: the new one
    // is deleted and false returned.
    bool Add(const std::string& name, std::unique_ptr<A> asset) {
        return m_assets.try_emplace(name, std::move(asset)).second;
    }
    bool Add(const std::string& name, A* asset) { return Add(name, std::unique_ptr<A>(asset)); }

    // Deletes the asset of that name; false when there is none.
    bool Remove(const std::string& name) {
        auto it = m_assets.find(name);
        if (it == m_assets.end()) return false;
        m_assets.erase(it);
        return true;
    }

    // Deletes every non-null asset in name order and empties the table.
    void DeleteAll() {
        for (auto& [name, asset] : m_assets) asset.reset();
        m_assets.clear();
    }

    const std::map<std::string, std::unique_ptr<A>>& Assets() const { return m_assets; }

protected:
    std::map<std::string, std::unique_ptr<A>> m_assets;
};

}  // namespace Ostrel
