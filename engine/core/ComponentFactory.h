#pragma once
// Makes and destroys the components of one class T. The factory remembers
// every component it made and not yet destroyed, and deletes only those:
// a pointer it did not make is reported on stdout and left alone. Its
// destructor frees its bookkeeping only; at shutdown every component is gone
// before any factory (CompositionFactory::~CompositionFactory).

#include "engine/core/Factory.h"

#include "engine/core/Component.h"

#include <cstdio>
#include <mutex>
#include <vector>

namespace Ostrel {

template <class T>
class ComponentFactory final : public Factory {
public:
    // typeId is only used in the "improper pointer" report.
    explicit ComponentFactory(u32 typeId) : m_typeId(typeId) {}

    Component* Create() override {
        T* component = new T();
        std::lock_guard lock(FactoryMutex());
        component->m_factoryIndex = static_cast<u32>(m_made.size());
        m_made.push_back(component);
        return component;
    }

    void Destroy(Component* component) override {
        {
            std::lock_guard lock(FactoryMutex());
            if (!Made(component)) {
                std::printf("We passed an improper pointer to factory with type %u\n", m_typeId);
                std::fflush(stdout);
                return;
            }
            // The last component takes the destroyed one's place.
            Component* last = m_made.back();
            m_made[component->m_factoryIndex] = last;
            last->m_factoryIndex = component->m_factoryIndex;
            m_made.pop_back();
        }
        delete component;
    }

    std::size_t GetLiveCount() const { return m_made.size(); }

private:
    // Each component knows its place in the list, so the membership check is
    // constant-time for the thousands of components a level holds. A pointer
    // this factory did not make fails the check (its index leads elsewhere);
    // the index is only read once the pointer is known to be a component.
    bool Made(Component* component) const {
        const u32 index = component->m_factoryIndex;
        return index < m_made.size() && m_made[index] == component;
    }

    u32 m_typeId;
    std::vector<Component*> m_made;
};

}  // namespace Ostrel
