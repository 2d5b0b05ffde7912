#pragma once
// The sky: six textured quads around the camera, drawn before anything else
// with depth testing off so that they lie behind the whole scene.
//
// The six planes are meshes of the mesh manager ("SkyboxTopPlane" ...
// "SkyboxBackPlane"), each a 1 x 1 grid plane carrying its own placement in
// the mesh's position, rotation and scale. The textures are chosen by a base
// name: base + "-top", "-bottom", "-right", "-left", "-front", "-back", each
// looked up in the texture manager (a missing one stays null and its plane
// draws untextured). Nothing is drawn until a name was set once.
//
// Graphics::DrawSkybox draws it. The sky is drawn with a view that has the camera's orientation but no
// translation (LookAt from the origin along the camera's direction), so the
// cube stays centred on the eye.

#include "engine/core/Matrix4.h"
#include "engine/core/Vec3.h"

#include <array>
#include <string>

namespace Ostrel {

class Mesh;
class MeshManager;
class Texture;
class TextureManager;

class Skybox {
public:
    enum Face { kTop, kBottom, kRight, kLeft, kFront, kBack, kFaceCount };
    static const char* const kMeshNames[kFaceCount];
    static const char* const kSuffixes[kFaceCount];

    explicit Skybox(float size) : m_size(size) {}

    // Creates and places the six plane meshes in the mesh manager.
    void BuildPlanes(MeshManager& meshes);
    // Chooses the six textures of name's base name (directory and extension
    // cut off); loaded from then on, found or not.
    void SetTextures(const std::string& name, const TextureManager& textures);

    // LookAt from the origin toward direction with the given up vector.
    static Matrix4 SkyView(const Vec3& direction, const Vec3& up);

    bool IsLoaded() const { return m_loaded; }
    float GetSize() const { return m_size; }
    Mesh* GetPlane(Face face) const { return m_planes[face]; }
    Texture* GetTexture(Face face) const { return m_textures[face]; }

private:
    std::array<Mesh*, kFaceCount> m_planes{};
    std::array<Texture*, kFaceCount> m_textures{};
    float m_size;
    bool m_loaded = false;
};

}  // namespace Ostrel
