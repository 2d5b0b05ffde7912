#include "engine/graphics/MeshManager.h"

#include "engine/graphics/Mesh.h"

namespace Ostrel {

MeshManager::MeshManager() = default;
MeshManager::~MeshManager() { Clear(); }

Mesh* MeshManager::Create(const std::string& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<Mesh>& slot = m_meshes[name];
    if (slot) m_retired.push_back(std::move(slot));
    slot = std::make_unique<Mesh>();
    return slot.get();
}

Mesh* MeshManager::Find(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_meshes.find(name);
    return it == m_meshes.end() ? nullptr : it->second.get();
}

void MeshManager::ReleaseAllBuffers() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& [name, mesh] : m_meshes) mesh->ReleaseBuffers();
    for (auto& mesh : m_retired) mesh->ReleaseBuffers();
}

void MeshManager::RebuildAllBuffers() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& [name, mesh] : m_meshes) mesh->Build();
}

void MeshManager::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_meshes.clear();
    m_retired.clear();
}

std::size_t MeshManager::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_meshes.size();
}

}  // namespace Ostrel
