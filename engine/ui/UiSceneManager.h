#pragma once
// Keeps one template scene per scene file (".scn"), filed under the file's
// base name, and hands out live copies of them. LoadSceneFile is the loader
// of the SCENE resource kind: it makes the template and runs the file's
// script into it once; a second file of the same base name is ignored.
// Instantiate clones a template, enters the clone and keeps it among the
// live copies until Release destroys it. Destroying the manager leaves and
// destroys the live copies, then the templates.
//
// Locking rule: scene files are loaded on the resource-loading thread while
// the main thread instantiates, releases and draws. Everything that reads
// or writes templates, and every scene script run, holds the template lock
// (Lock): it takes the render device's recursive lock, when a render device
// exists, and then the manager's own recursive mutex (always in that order).
// LoadSceneFile, Instantiate, InstantiateWithoutEnter and Release take it
// themselves; the UI system takes it around its update. Live copies are
// otherwise the main thread's alone.

#include "engine/core/Clock.h"
#include "engine/core/GenericManager.h"
#include "engine/ui/UiScene.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace Ostrel {

class RenderDevice;

class UiSceneManager : public GenericAssetManager<UiSceneManager, UiScene> {
public:
    // Holds the template lock for its lifetime.
    class Lock {
    public:
        explicit Lock(UiSceneManager& manager);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        UiSceneManager& m_manager;
        RenderDevice* m_device;
    };

    UiSceneManager() = default;
    ~UiSceneManager() override;

    static UiSceneManager* GetInstance() { return Instance(); }

    // The SCENE loader (see the file comment). A file that cannot be read,
    // or whose script fails, leaves an empty (or partly built) template and
    // a log line.
    void LoadSceneFile(const std::string& path);
    // A new empty template filed under name; null (logged) when the name is
    // taken.
    UiScene* CreateTemplate(const std::string& name);

    // A live, entered copy of the template of that name, or null when there
    // is no such template.
    UiScene* Instantiate(const std::string& name);
    // The same copy without Enter (tutorial pages enter it after the push).
    UiScene* InstantiateWithoutEnter(const std::string& name);
    // Forgets and destroys a live copy (its Leave is the caller's); a scene
    // that is not a live copy is ignored.
    void Release(UiScene* scene);

    bool IsLive(const UiScene* scene) const;
    std::size_t GetLiveCount() const;
    // The clock the copies' input gates read (default: the engine's).
    void SetInputClock(const IClock* clock) { m_clock = clock; }
    const IClock* GetInputClock() const { return m_clock; }

private:
    mutable std::recursive_mutex m_mutex;
    std::set<UiScene*> m_live;
    const IClock* m_clock = nullptr;
};

// The SCENE resource loader for ResourceManager::RegisterLoader: forwards to
// the scene manager, when there is one.
void LoadSceneResource(const std::string& path);

}  // namespace Ostrel
