#include "engine/graphics/MeshManager.h"

#include "engine/graphics/Mesh.h"

namespace Ostrel {

MeshManager::MeshManager() = default;
MeshManager::~MeshManager() = default;

Mesh* MeshManager::Create(const std::string& name) {
    std::unique_ptr<Mesh>& slot = m_meshes[name];
    slot = std::make_unique<Mesh>();
    return slot.get();
}

Mesh* MeshManager::Find(const std::string& name) const {
    auto it = m_meshes.find(name);
    return it == m_meshes.end() ? nullptr : it->second.get();
}

}  // namespace Ostrel
