#pragma once
// Placeholder for the graphics subsystem's MeshManager. As it stands, the
// registry keeps empty meshes by name. Create under an existing name replaces
// the earlier mesh (pointers to it become invalid).

#include <map>
#include <memory>
#include <string>

namespace Ostrel {

class Mesh;

class MeshManager {
public:
    MeshManager();
    ~MeshManager();
    MeshManager(const MeshManager&) = delete;
    MeshManager& operator=(const MeshManager&) = delete;

    // A new empty mesh stored under name; the manager keeps ownership.
    Mesh* Create(const std::string& name);
    // The mesh of that name, or null.
    Mesh* Find(const std::string& name) const;

private:
    std::map<std::string, std::unique_ptr<Mesh>> m_meshes;
};

}  // namespace Ostrel
