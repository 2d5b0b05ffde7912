#include "engine/graphics/models/MeshManager.h"

#include "engine/graphics/models/Mesh.h"

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

// The device lock is never taken while the map's lock is held (buffers are
// made and released under the device lock, and a thread holding the device
// lock may look meshes up), so these work on a copy of the list.
std::vector<Mesh*> MeshManager::AllMeshes(bool withRetired) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Mesh*> meshes;
    for (const auto& [name, mesh] : m_meshes) meshes.push_back(mesh.get());
    if (withRetired)
        for (const auto& mesh : m_retired) meshes.push_back(mesh.get());
    return meshes;
}

void MeshManager::ReleaseAllBuffers() {
    for (Mesh* mesh : AllMeshes(true)) mesh->ReleaseBuffers();
}

void MeshManager::RebuildAllBuffers() {
    for (Mesh* mesh : AllMeshes(false)) mesh->Build();
}

void MeshManager::Clear() {
    std::map<std::string, std::unique_ptr<Mesh>> meshes;
    std::vector<std::unique_ptr<Mesh>> retired;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        meshes.swap(m_meshes);
        retired.swap(m_retired);
    }
}

std::size_t MeshManager::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_meshes.size();
}

}  // namespace Ostrel
