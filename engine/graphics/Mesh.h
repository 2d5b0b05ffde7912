#pragma once
// Placeholder for the graphics subsystem's Mesh. As it stands, a mesh holds no
// vertices yet. The mesh registry (MeshManager) hands these out by name.

namespace Ostrel {

class Mesh {
public:
    Mesh() = default;
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;
};

}  // namespace Ostrel
