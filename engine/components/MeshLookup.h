#pragma once
// How the stock components reach meshes. The mesh registry belongs to the
// graphics layer, which sits above the components, so the components see it
// only through this interface: the graphics layer installs an implementation
// for as long as its registry lives (MeshManagerLookup), and tests install
// their own. With none installed every look-up finds nothing, which the
// components treat like an unknown mesh name.
//
// Main thread only, like the components that use it.

#include "engine/core/BoundingVolume.h"
#include "engine/core/Vec3.h"

#include <string>

namespace Ostrel {

class Mesh;

class MeshLookup {
public:
    virtual ~MeshLookup() = default;

    // The registry's mesh of that name, or null. The registry keeps ownership.
    virtual Mesh* FindMesh(const std::string& name) const = 0;
    // The positions of the mesh's vertex list as kept in memory (the first
    // three floats of each vertex record).
    virtual PointView GetVertexPositions(const Mesh& mesh) const = 0;
    // The mesh's model-space bounding box as centre and half extents. The
    // default measures the vertex positions (a box of zero size at the origin
    // for a mesh without vertices); a registry that keeps bounds answers them.
    virtual void GetBounds(const Mesh& mesh, Vec3* centre, Vec3* halfExtents) const;

    // The installed look-up, or null.
    static MeshLookup* Current();
    // Installs lookup (null uninstalls). Returns the one it replaces.
    static MeshLookup* Install(MeshLookup* lookup);
};

// The mesh named name through the installed look-up; null without one.
Mesh* FindMeshByName(const std::string& name);

}  // namespace Ostrel
