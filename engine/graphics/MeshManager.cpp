#include "engine/graphics/MeshManager.h"

#include "engine/graphics/Mesh.h"

namespace Ostrel {

MeshManager::MeshManager() = default;
MeshManager::~MeshManager() = default;

Mesh* MeshManager::Create(const std::string& name) {
    auto mesh = std::make_unique<Mesh>();
    Mesh* created = mesh.get();
    std::unique_ptr<Mesh> replaced;  // deleted after the lock is released
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<Mesh>& slot = m_meshes[name];
    replaced = std::move(slot);
    slot = std::move(mesh);
    return created;
}

Mesh* MeshManager::Find(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_meshes.find(name);
    return it == m_meshes.end() ? nullptr : it->second.get();
}

}  // namespace Ostrel
