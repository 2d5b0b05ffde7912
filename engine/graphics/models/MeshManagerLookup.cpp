#include "engine/graphics/models/MeshManagerLookup.h"

#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshManager.h"

#include <cstddef>

namespace Ostrel {

static_assert(offsetof(Vertex, position) == 0, "PointView reads the position at the start of a record");

MeshManagerLookup::MeshManagerLookup(const MeshManager& meshes)
    : m_meshes(meshes), m_previous(MeshLookup::Install(this)) {}

MeshManagerLookup::~MeshManagerLookup() {
    if (MeshLookup::Current() == this) MeshLookup::Install(m_previous);
}

Mesh* MeshManagerLookup::FindMesh(const std::string& name) const { return m_meshes.Find(name); }

PointView MeshManagerLookup::GetVertexPositions(const Mesh& mesh) const {
    const std::vector<Vertex>& vertices = mesh.GetVertices();
    return PointView(vertices.data(), vertices.size(), sizeof(Vertex));
}

void MeshManagerLookup::GetBounds(const Mesh& mesh, Vec3* centre, Vec3* halfExtents) const {
    *centre = mesh.GetCentre();
    *halfExtents = mesh.GetHalfExtents();
}

}  // namespace Ostrel
