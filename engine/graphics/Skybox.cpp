#include "engine/graphics/Skybox.h"

#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/FilePath.h"

namespace Ostrel {

const char* const Skybox::kMeshNames[kFaceCount] = {"SkyboxTopPlane",  "SkyboxBottomPlane", "SkyboxRightPlane",
                                                     "SkyboxLeftPlane", "SkyboxFrontPlane",  "SkyboxBackPlane"};
const char* const Skybox::kSuffixes[kFaceCount] = {"-top", "-bottom", "-right", "-left", "-front", "-back"};

void Skybox::BuildPlanes(MeshManager& meshes) {
    const float h = m_size / 2.0f;
    const Vec3 positions[kFaceCount] = {{0, h, 0}, {0, -h, 0}, {h, 0, 0}, {-h, 0, 0}, {0, 0, h}, {0, 0, -h}};
    const Vec3 rotations[kFaceCount] = {{-90, 0, 0}, {90, 0, 0}, {0, 90, 0}, {0, -90, 0}, {0, 0, 0}, {0, 180, 0}};
    for (int face = 0; face < kFaceCount; ++face) {
        Mesh* mesh = meshes.Create(kMeshNames[face]);
        BuildGridPlaneMesh(mesh, 1, 1);
        mesh->position = positions[face];
        mesh->rotation = rotations[face];
        mesh->scale = Vec3(m_size, m_size, m_size);
        m_planes[face] = mesh;
    }
}

void Skybox::SetTextures(const std::string& name, const TextureManager& textures) {
    const std::string base = FilePath(name).GetBaseName();
    for (int face = 0; face < kFaceCount; ++face) m_textures[face] = textures.Find(base + kSuffixes[face]);
    m_loaded = true;
}

Matrix4 Skybox::SkyView(const Vec3& direction, const Vec3& up) {
    Matrix4 view;
    LookAtMatrix(view, Vec3(0, 0, 0), direction, up);
    return view;
}

}  // namespace Ostrel
