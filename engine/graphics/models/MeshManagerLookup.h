#pragma once
// Serves the stock components' mesh look-ups (MeshLookup) from a MeshManager:
// meshes by name, and each mesh's vertex positions read from its 56-byte
// vertex records. A main makes one right after its MeshManager; it is
// installed while it lives (and puts back whatever it replaced).

#include "engine/components/MeshLookup.h"

namespace Ostrel {

class MeshManager;

class MeshManagerLookup final : public MeshLookup {
public:
    explicit MeshManagerLookup(const MeshManager& meshes);
    ~MeshManagerLookup() override;
    MeshManagerLookup(const MeshManagerLookup&) = delete;
    MeshManagerLookup& operator=(const MeshManagerLookup&) = delete;

    Mesh* FindMesh(const std::string& name) const override;
    PointView GetVertexPositions(const Mesh& mesh) const override;
    // The bounds the mesh keeps.
    void GetBounds(const Mesh& mesh, Vec3* centre, Vec3* halfExtents) const override;

private:
    const MeshManager& m_meshes;
    MeshLookup* m_previous;
};

}  // namespace Ostrel
