#include "engine/graphics/models/ModelLoaders.h"

#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/models/ModelData.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/io/ChunkReader.h"
#include "engine/io/FilePath.h"
#include "engine/io/FileSystemFile.h"
#include "engine/base/Log.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

namespace Ostrel {

void BuildMeshFromModelData(Mesh* mesh, const ModelMeshData* data) {
    if (!mesh || !data) return;
    mesh->SetPrimitiveType(kPrimitiveTriangleList);
    const bool skinned = data->format == kModelSkinnedFormat;
    for (u32 i = 0; i < data->vertexCount; ++i) {
        const ModelVertexRecord v = data->GetVertex(i);
        if (skinned) {
            mesh->AddSkinnedVertex(v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y,
                                   v.normal.z, v.u, v.v, 1, 1, 1, 1, v.weights[0], v.weights[1],
                                   v.weights[2], v.weights[3], v.bones[0], v.bones[1], v.bones[2],
                                   v.bones[3]);
        } else {
            mesh->AddVertex(v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z,
                            v.u, v.v, 255, 255, 0, 50);
        }
    }
    for (u32 i = 0; i + 2 < data->indexCount; i += 3)
        mesh->AddTriangle(data->GetIndex(i), data->GetIndex(i + 1), data->GetIndex(i + 2));
    mesh->Build();
}

ModelData ReadModelFile(const std::string& path) {
    ModelData model;
    auto file = std::make_unique<FileSystemFile>(path);
    if (!file->Open()) {
        LogMessagef("model file %s: cannot be opened; skipped\n", path.c_str());
        return model;
    }
    ChunkReader reader(std::move(file));
    model.Read(reader, path);
    reader.Close();
    return model;
}

void LoadGeometryResource(const std::string& path) {
    const ModelData model = ReadModelFile(path);
    const std::string name = FilePath(path).GetBaseName();
    if (model.mesh) {
        if (MeshManager* meshes = GetMeshManager()) BuildMeshFromModelData(meshes->Create(name), model.mesh.get());
    }
    if (model.animation) {
        if (AnimationManager* animations = AnimationManager::Instance())
            animations->AddAnimation(name, *model.animation);
    }
    if (model.skeleton) {
        if (SkeletonManager* skeletons = SkeletonManager::Instance())
            skeletons->AddSkeleton(name, *model.skeleton);
    }
}

u32 ReplaceGeometryParts(const std::string& name, const ModelData& model, u32 mask) {
    u32 replaced = 0;
    MeshManager* meshes = GetMeshManager();
    if ((mask & kModelPartMesh) && model.mesh && meshes) {
        Mesh* mesh = meshes->Find(name);
        if (!mesh) mesh = meshes->Create(name);
        mesh->Clear();
        BuildMeshFromModelData(mesh, model.mesh.get());
        replaced |= kModelPartMesh;
    }
    AnimationManager* animations = AnimationManager::Instance();
    if ((mask & kModelPartAnimation) && model.animation && animations) {
        animations->ReplaceAnimation(name, *model.animation);
        replaced |= kModelPartAnimation;
    }
    SkeletonManager* skeletons = SkeletonManager::Instance();
    if ((mask & kModelPartSkeleton) && model.skeleton && skeletons) {
        skeletons->ReplaceSkeleton(name, *model.skeleton);
        replaced |= kModelPartSkeleton;
    }
    return replaced;
}

u32 ReloadGeometryResource(const std::string& path, u32 mask) {
    return ReplaceGeometryParts(FilePath(path).GetBaseName(), ReadModelFile(path), mask);
}

void RegisterModelLoaders(ResourceManager& resources) {
    resources.RegisterLoader(kKindGeometry, LoadGeometryResource);
    resources.RegisterLoader(kKindAnimWrapper, LoadAnimWrapperResource);
}

}  // namespace Ostrel
