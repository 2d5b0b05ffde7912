#pragma once
// Keeps every UI element that exists, by address, so that elements nobody
// deleted (made by a script's "new" and never handed to a scene) are deleted
// when the manager goes at exit. Elements register themselves when they are
// made and unregister when they are destroyed; the manager has no lookup by
// name.
//
// Locking rule: scene scripts make elements on the resource-loading thread
// while the main thread clones and destroys the elements of live scenes, so
// the set is guarded by the manager's own mutex. The elements themselves
// are not: a scene template is filled under the render device lock, and the
// main thread takes that lock around everything that reads templates
// (UiSceneManager::Instantiate) and around drawing.
//
// Build it before anything makes elements and destroy it after the scene
// manager (the mains declare it first): elements still registered then are
// deleted, and a scene that still held one would delete it twice.

#include "engine/core/GenericManager.h"

#include <cstddef>
#include <mutex>
#include <set>

namespace Ostrel {

class UiElementBase;

class UiElementManager : public GenericManager<UiElementManager> {
public:
    UiElementManager() = default;
    // Deletes every element still registered that has no owner (owned ones go
    // with their owners).
    ~UiElementManager() override;

    void Register(UiElementBase* element);
    // An element that is not registered is ignored.
    void Unregister(UiElementBase* element);
    bool Contains(const UiElementBase* element) const;
    std::size_t Count() const;

    // Through the instance; nothing when there is none.
    static void RegisterElement(UiElementBase* element);
    static void UnregisterElement(UiElementBase* element);

private:
    mutable std::mutex m_mutex;
    std::set<UiElementBase*> m_elements;
};

}  // namespace Ostrel
