#pragma once
// The mesh registry: every mesh by name, owned here. The primitives are
// made at start-up, model meshes by the background loader, the debug and
// skybox shapes by the graphics system.
//
// Create under a name that is taken files a new mesh under it; the old mesh
// stays alive (retired) until Clear, so a pointer someone still holds never
// dangles. ReleaseAllBuffers and RebuildAllBuffers give every mesh's device
// buffers back and build them again from the kept lists (device lost and
// reset).
//
// Threads: the loader thread creates meshes while the main thread looks them
// up, so map access takes the manager's lock. A mesh itself is filled by one
// thread before anything draws it.

#include "engine/core/GenericManager.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Ostrel {

class Mesh;

class MeshManager : public GenericManager<MeshManager> {
public:
    MeshManager();
    ~MeshManager() override;

    // A new empty mesh stored under name; the manager keeps ownership.
    Mesh* Create(const std::string& name);
    // The mesh of that name, or null.
    Mesh* Find(const std::string& name) const;
    void ReleaseAllBuffers();
    void RebuildAllBuffers();
    // Deletes every mesh (their buffers first) and empties the registry.
    void Clear();
    std::size_t Count() const;

private:
    std::vector<Mesh*> AllMeshes(bool withRetired) const;

    mutable std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<Mesh>> m_meshes;
    std::vector<std::unique_ptr<Mesh>> m_retired;
};

// The live mesh manager, or null before the mains build it.
inline MeshManager* GetMeshManager() { return MeshManager::Instance(); }

}  // namespace Ostrel
