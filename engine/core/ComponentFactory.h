#pragma once
// Makes and destroys the components of one class T. The factory remembers
// every component it made and not yet destroyed, and deletes only those:
// a pointer it did not make is reported on stdout and left alone. Its
// destructor frees its bookkeeping only; at shutdown every component is gone
// before any factory (CompositionFactory::~CompositionFactory).

#include "engine/core/Factory.h"

#include <cstdio>
#include <mutex>
#include <unordered_set>

namespace Ostrel {

template <class T>
class ComponentFactory final : public Factory {
public:
    // typeId is only used in the "improper pointer" report.
    explicit ComponentFactory(u32 typeId) : m_typeId(typeId) {}

    Component* Create() override {
        T* component = new T();
        std::lock_guard lock(FactoryMutex());
        m_made.insert(component);
        return component;
    }

    void Destroy(Component* component) override {
        {
            std::lock_guard lock(FactoryMutex());
            if (m_made.erase(component) == 0) {
                std::printf("We passed an improper pointer to factory with type %u\n", m_typeId);
                std::fflush(stdout);
                return;
            }
        }
        delete component;
    }

    std::size_t GetLiveCount() const { return m_made.size(); }

private:
    u32 m_typeId;
    // Membership is all that matters; a hash set keeps Destroy constant-time
    // for the thousands of components a level holds.
    std::unordered_set<Component*> m_made;
};

}  // namespace Ostrel
