#include "engine/ui/UiElementManager.h"

#include "engine/base/Log.h"
#include "engine/ui/UiElementBase.h"

namespace Ostrel {

UiElementManager::~UiElementManager() {
    // Only elements without an owner are deleted here: an owned element (a
    // child of a scroll group nobody took) goes with its owner, which
    // unregisters it. Deleting may unregister other elements, so take one at
    // a time and let go of the lock before deleting.
    for (;;) {
        UiElementBase* element = nullptr;
        {
            std::lock_guard lock(m_mutex);
            if (m_elements.empty()) break;
            for (UiElementBase* candidate : m_elements) {
                if (candidate->GetParent() == nullptr) {
                    element = candidate;
                    break;
                }
            }
            if (element == nullptr) {
                // Owned by something that is gone or was never destroyed:
                // deleting them could delete twice.
                LogMessagef("UiElementManager: %zu elements left with an owner at exit, not deleted\n",
                            m_elements.size());
                m_elements.clear();
                break;
            }
            m_elements.erase(element);
        }
        delete element;
    }
}

void UiElementManager::Register(UiElementBase* element) {
    std::lock_guard lock(m_mutex);
    m_elements.insert(element);
}

void UiElementManager::Unregister(UiElementBase* element) {
    std::lock_guard lock(m_mutex);
    m_elements.erase(element);
}

bool UiElementManager::Contains(const UiElementBase* element) const {
    std::lock_guard lock(m_mutex);
    return m_elements.count(const_cast<UiElementBase*>(element)) != 0;
}

std::size_t UiElementManager::Count() const {
    std::lock_guard lock(m_mutex);
    return m_elements.size();
}

void UiElementManager::RegisterElement(UiElementBase* element) {
    if (UiElementManager* manager = Instance()) manager->Register(element);
}

void UiElementManager::UnregisterElement(UiElementBase* element) {
    if (UiElementManager* manager = Instance()) manager->Unregister(element);
}

}  // namespace Ostrel
