#pragma once
// The mesh registry: meshes by name, owned by the manager. Create under an
// existing name replaces the earlier mesh (pointers to it become invalid).
//
// Threads: the background loader creates model meshes while the main thread
// looks meshes up, so Create and Find take the manager's mutex. A mesh is
// filled and built by the thread that created it before anything draws it.

#include "engine/core/GenericManager.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

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

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<Mesh>> m_meshes;
};

// The live mesh manager, or null before the mains build it.
inline MeshManager* GetMeshManager() { return MeshManager::Instance(); }

}  // namespace Ostrel
